#pragma once
// The one error display: every entry point that the event loop calls runs inside Guard, which
// shows an error that escapes it in a message box captioned with the program's title.

#include <QString>
#include <exception>
#include <memory>

#include "Prompter.h"

class ErrorDisplay {
public:
    explicit ErrorDisplay(std::shared_ptr<Prompter> prompter) : prompter_(std::move(prompter)) {}

    // The message with a full stop added when its last character sorts after one.
    static QString MessageText(const std::exception& error);
    void Show(const std::exception& error);
    // With nobody there to answer a box (the session is ending), errors go to the error output.
    void SetUnattended(bool unattended) { unattended_ = unattended; }

    template <typename F>
    void Guard(F&& entry) {
        try {
            entry();
        } catch (const std::exception& error) {
            Show(error);
        }
    }

private:
    std::shared_ptr<Prompter> prompter_;
    bool unattended_ = false;
};
