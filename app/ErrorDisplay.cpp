#include "ErrorDisplay.h"

#include "AppTitle.h"

#include <iostream>

QString ErrorDisplay::MessageText(const std::exception& error) {
    QString text = QString::fromUtf8(error.what());
    if (!text.isEmpty() && text.back() > u'.') {
        text += u'.';
    }
    return text;
}

void ErrorDisplay::Show(const std::exception& error) {
    if (unattended_) {
        std::cerr << kAppTitle.toStdString() << ": " << MessageText(error).toStdString() << '\n';
        return;
    }
    prompter_->MessageBox(MessageText(error), kAppTitle, MessageButtons::Ok, MessageIcon::Stop);
}
