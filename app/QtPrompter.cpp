#include "QtPrompter.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

int QtPrompter::MessageBox(const QString& text, const QString& caption, MessageButtons buttons,
                           MessageIcon icon) {
    // Texts break lines the platform's way, "\r\n"; the box wants plain line feeds.
    QString shown = text;
    shown.replace("\r\n", "\n");
    QMessageBox box(icon == MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon,
                    caption, shown,
                    buttons == MessageButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                        : QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        box.move(screen->availableGeometry().center() - box.rect().center());
    }
    return box.exec() == QMessageBox::Ok ? IDOK : IDCANCEL;
}

void QtPrompter::RunModal(QDialog& dialog) {
    dialog.exec();
}
