#include "AboutForm.h"

#include <QGuiApplication>
#include <QScreen>

#include "Fonts.h"

namespace {

QLabel* label(QWidget* parent, int left, int top, int width, int height, const QString& caption,
              bool wrap) {
    auto* l = new QLabel(caption, parent);
    l->setGeometry(left, top, width, height);
    l->setWordWrap(wrap);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* owner) : QDialog(owner) {
    setWindowTitle("About");
    setFont(pixelFont(kMsSansSerif, 11));
    setFixedSize(296, 182);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    Panel1 = new QFrame(this);
    Panel1->setGeometry(8, 8, 281, 137);
    Panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    ProductName = label(Panel1, 64, 8, 68, 13, "Product Name", false);
    Copyright = label(Panel1, 64, 40, 44, 13, "Copyright", false);
    Programmer = label(Panel1, 64, 72, 59, 13, "Programmer:", true);
    Website = label(Panel1, 64, 104, 44, 13, "WebSite:", true);
    Panel2 = new QFrame(Panel1);
    Panel2->setGeometry(8, 8, 50, 50);
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Image1 = new QLabel(Panel2);
    Image1->setGeometry(1, 1, 48, 48);
    Image1->setAlignment(Qt::AlignCenter);

    OKButton = new QPushButton("OK", this);
    OKButton->setGeometry(111, 152, 75, 25);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TAboutBox::SetPicture(const QIcon& icon) {
    Image1->setPixmap(icon.isNull() ? QPixmap() : icon.pixmap(48, 48));
}

void TAboutBox::FitLabels() {
    const int wrapWidth = Panel1->width() - 64 - 8;
    for (QLabel* l : {ProductName, Copyright}) {
        l->adjustSize();
    }
    for (QLabel* l : {Programmer, Website}) {
        l->setFixedWidth(wrapWidth);
        l->setFixedHeight(l->heightForWidth(wrapWidth));
    }
}

void TAboutBox::OKButtonClick() {
    accept();
}
