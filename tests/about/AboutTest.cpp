#include <gtest/gtest.h>

#include <QPointer>

#include "AboutDlg.h"
#include "AboutForm.h"

TEST(TAboutDlg, BuildsTheBoxAfreshOnEveryExecuteAndDestroysIt) {
    TAboutDlg about;
    about.Title = "Korvex Plus Using OmniRig";
    about.ProductName = "ZuvozeRaro 1.0.00";
    about.CopyRight = "(c) 2026";
    about.Programmer = "A remark long enough to need a second line in the About box's panel.";
    about.WebSite = "https://zuvozeraro.example.org";
    QPixmap picture(48, 48);
    picture.fill(Qt::red);
    about.SetIcon(QIcon(picture));

    std::vector<QPointer<QDialog>> shown;
    about.RunModal = [&](QDialog& dialog) {
        auto& box = static_cast<TAboutBox&>(dialog);
        shown.emplace_back(&dialog);
        EXPECT_EQ(box.windowTitle(), "Korvex Plus Using OmniRig");
        EXPECT_EQ(box.ProductName->text(), "ZuvozeRaro 1.0.00");
        EXPECT_EQ(box.Copyright->text(), "(c) 2026");
        EXPECT_EQ(box.Website->text(), "https://zuvozeraro.example.org");
        EXPECT_GT(box.Programmer->height(), 13) << "the remark wraps onto further lines";
        EXPECT_FALSE(box.Image1->pixmap().isNull());
        EXPECT_TRUE(box.OKButton->isDefault());
    };
    about.Execute();
    about.ProductName = "ZuvozeRaro 1.0.01";
    about.RunModal = [&](QDialog& dialog) {
        shown.emplace_back(&dialog);
        EXPECT_EQ(static_cast<TAboutBox&>(dialog).ProductName->text(), "ZuvozeRaro 1.0.01");
    };
    about.Execute();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_TRUE(shown[0].isNull());
    EXPECT_TRUE(shown[1].isNull());
}

TEST(TAboutDlg, EmptyTextsGiveEmptyLabelsAndNoIconABlankImage) {
    TAboutDlg about;
    bool ran = false;
    about.RunModal = [&](QDialog& dialog) {
        auto& box = static_cast<TAboutBox&>(dialog);
        ran = true;
        EXPECT_EQ(box.windowTitle(), "");
        for (QLabel* l : {box.ProductName, box.Copyright, box.Programmer, box.Website}) {
            EXPECT_EQ(l->text(), "");
        }
        EXPECT_TRUE(box.Image1->pixmap().isNull());
    };
    about.Execute();
    EXPECT_TRUE(ran);
}

TEST(TAboutBox, OkEndsTheBoxWithItsResult) {
    TAboutBox box;
    box.show();
    box.OKButton->click();
    EXPECT_EQ(box.result(), QDialog::Accepted);
    EXPECT_FALSE(box.isVisible());
}
