#pragma once

#include <QMessageBox>
#include <memory>

#include "Prompter.h"

// Message boxes centred on the screen, and dialogs run in their own modal loop (which keeps the
// rig events flowing).
class QtPrompter : public Prompter {
public:
    int MessageBox(const QString& text, const QString& caption, MessageButtons buttons,
                   MessageIcon icon) override;
    void RunModal(QDialog& dialog) override;

    // The box as MessageBox shows it, not yet shown. Its title is the caption exactly, also
    // where the caption is empty.
    static std::unique_ptr<QMessageBox> Box(const QString& text, const QString& caption,
                                            MessageButtons buttons, MessageIcon icon);
};
