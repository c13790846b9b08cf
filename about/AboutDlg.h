#pragma once
// TAboutDlg: holds the About box's texts and icon and builds the box afresh on every Execute.

#include <QDialog>
#include <QIcon>
#include <QObject>
#include <QString>
#include <functional>

class TAboutDlg : public QObject {
    Q_OBJECT

public:
    explicit TAboutDlg(QObject* owner = nullptr);

    QString Title;
    QString ProductName;
    QString CopyRight;
    QString Programmer;
    QString WebSite;

    const QIcon& Icon() const { return icon_; }
    void SetIcon(const QIcon& icon) { icon_ = icon; }

    // Shows the About box modally and returns when it has been closed; the box is destroyed
    // afterwards, also when showing it failed.
    void Execute();

    // Runs a dialog modally; the window hands in its prompter's, so no test blocks on one.
    std::function<void(QDialog&)> RunModal = [](QDialog& dialog) { dialog.exec(); };

private:
    QIcon icon_;
};
