#include "QtPrompter.h"

#include <QGuiApplication>
#include <QScreen>

#include "NativeTitle.h"

std::unique_ptr<QMessageBox> QtPrompter::Box(const QString& text, const QString& caption,
                                             MessageButtons buttons, MessageIcon icon) {
    // Texts break lines the platform's way, "\r\n"; the box wants plain line feeds.
    QString shown = text;
    shown.replace("\r\n", "\n");
    auto box = std::make_unique<QMessageBox>(
        icon == MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon, caption, shown,
        buttons == MessageButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                            : QMessageBox::Ok);
    box->setDefaultButton(QMessageBox::Ok);
    box->adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        box->move(screen->availableGeometry().center() - box->rect().center());
    }
    if (caption.isEmpty()) {
        KeepNativeTitleEmpty(*box);
    }
    return box;
}

int QtPrompter::MessageBox(const QString& text, const QString& caption, MessageButtons buttons,
                           MessageIcon icon) {
    return Box(text, caption, buttons, icon)->exec() == QMessageBox::Ok ? IDOK : IDCANCEL;
}

void QtPrompter::RunModal(QDialog& dialog) {
    dialog.exec();
}
