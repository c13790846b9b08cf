#pragma once
// A prompter for tests: records every message box and dialog and answers as scripted.

#include <QString>
#include <deque>
#include <functional>
#include <vector>

#include "Prompter.h"

class RecordingPrompter : public Prompter {
public:
    struct Message {
        QString text;
        QString caption;
        MessageButtons buttons;
        MessageIcon icon;
    };

    std::vector<Message> messages;
    std::vector<QString> dialogs;  // the titles of the dialogs run
    std::deque<int> answers;       // the next answers; IDOK once they run out
    std::function<void(QDialog&)> onDialog;

    int MessageBox(const QString& text, const QString& caption, MessageButtons buttons,
                   MessageIcon icon) override {
        messages.push_back({text, caption, buttons, icon});
        if (answers.empty()) {
            return IDOK;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void RunModal(QDialog& dialog) override {
        dialogs.push_back(dialog.windowTitle());
        if (onDialog) {
            onDialog(dialog);
        }
    }
};
