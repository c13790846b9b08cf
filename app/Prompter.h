#pragma once
// What the window asks of the operator: message boxes and modal dialogs. The program's prompter
// shows them; the tests' one records them and answers as scripted, so no test blocks on a modal
// loop.

#include <QDialog>
#include <QString>

enum class MessageButtons { Ok, OkCancel };
enum class MessageIcon { None, Stop };

// The answers, numbered as the platform's message boxes number them.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual int MessageBox(const QString& text, const QString& caption, MessageButtons buttons,
                           MessageIcon icon) = 0;
    virtual void RunModal(QDialog& dialog) = 0;
};
