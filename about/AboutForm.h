#pragma once
// TAboutBox: the About window: the program's icon, product name, credits, remark and web
// address on a bevelled panel, and an OK button.

#include <QDialog>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* owner = nullptr);

    QFrame* Panel1;
    QLabel* ProductName;
    QLabel* Copyright;
    QLabel* Programmer;
    QLabel* Website;
    QFrame* Panel2;
    QLabel* Image1;
    QPushButton* OKButton;

    void SetPicture(const QIcon& icon);
    // Sizes the labels to their texts; the remark and the web address wrap within the panel.
    void FitLabels();

    void OKButtonClick();
};
