#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <QWidget>

#include "LEDButton.h"
#include "Led1.h"
#include "PaintCounter.h"

namespace {

// The lamp as drawn on a grey parent, so unpainted pixels show.
QImage render(TLed& led) {
    QImage image(led.size(), QImage::Format_RGB32);
    image.fill(QColor(77, 77, 77));
    led.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

struct Lamp {
    QWidget parent;
    TLed* led;
    Lamp(int w, int h, TColor a, TColor b) : led(new TLed(&parent)) {
        led->setGeometry(0, 0, w, h);
        led->SetStyle(lsGradient1);
        led->SetColor1(a);
        led->SetColor2(b);
        led->SetOn(true);
    }
};

}  // namespace

TEST(TLed, GradientRingsStepFromTheOuterToTheInnerColour) {
    Lamp lamp(14, 14, clGreen, clLime);
    const QImage image = render(*lamp.led);
    for (int i = 0; i <= 6; ++i) {
        const QColor c = image.pixelColor(i, 6);
        EXPECT_EQ(c.green(), 128 + 21 * i) << "ring " << i;
        EXPECT_EQ(c.red(), 0);
        EXPECT_EQ(c.blue(), 0);
    }
    // The innermost ring is the single pixel from (6, 6) to (7, 7); the right and bottom edges
    // of every ring are left out, so the last column keeps the parent's colour.
    EXPECT_EQ(image.pixelColor(6, 6).green(), 254);
    EXPECT_EQ(image.pixelColor(7, 7).green(), 233);
    EXPECT_EQ(image.pixelColor(13, 7), QColor(77, 77, 77));
    EXPECT_EQ(image.pixelColor(12, 7).green(), 128);
}

TEST(TLed, OffColoursAndOtherStyles) {
    Lamp lamp(14, 14, clGreen, clLime);
    lamp.led->SetOffColor1(clBlack);
    lamp.led->SetOffColor2(clGreen);
    lamp.led->SetOn(false);
    QImage image = render(*lamp.led);
    for (int i = 0; i <= 6; ++i) {
        EXPECT_EQ(image.pixelColor(i, 6).green(), 21 * i) << "ring " << i;
    }

    // Alternating rings: outer colour, inner colour, outer colour, ...
    lamp.led->SetOn(true);
    lamp.led->SetColor1(clRed);
    lamp.led->SetColor2(clYellow);
    lamp.led->SetStyle(lsAlternative);
    image = render(*lamp.led);
    EXPECT_EQ(image.pixelColor(0, 7), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(1, 7), QColor(255, 255, 0));
    EXPECT_EQ(image.pixelColor(2, 7), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(3, 7), QColor(255, 255, 0));

    // A lamp too small for a gradient is one ring in the outer colour.
    Lamp tiny(2, 2, clMaroon, clWhite);
    EXPECT_EQ(render(*tiny.led).pixelColor(0, 0), QColor(128, 0, 0));
}

TEST(TLed, PaintsAtOnceOnlyWhenAValueChanges) {
    QWidget parent;
    auto* led = new TLed(&parent);
    led->setGeometry(0, 0, 14, 14);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QCoreApplication::processEvents();
    PaintCounter counter(led);

    led->SetColor2(led->Color2());
    led->SetOn(led->On());
    led->SetRadius(led->Radius());
    led->SetStyle(led->Style());
    EXPECT_EQ(counter.paints, 0);
    led->SetColor1(clRed);
    EXPECT_EQ(counter.paints, 1) << "a change paints before the setter returns";
    led->SetClickAction(true);
    EXPECT_EQ(counter.paints, 1);

    // Both on colours at once: one paint, none when both are as they are.
    led->SetColors(clMaroon, clRed);
    EXPECT_EQ(counter.paints, 2);
    EXPECT_EQ(led->Color1(), clMaroon);
    EXPECT_EQ(led->Color2(), clRed);
    led->SetColors(clMaroon, clRed);
    EXPECT_EQ(counter.paints, 2);
}

TEST(TLed, ALookDrawnBeforeIsShownAsAFreshLampWouldBe) {
    Lamp lamp(14, 14, clGreen, clLime);
    Lamp fresh(14, 14, clMaroon, clRed);
    const QImage green = render(*lamp.led);
    lamp.led->SetColors(clMaroon, clRed);
    EXPECT_EQ(render(*lamp.led), render(*fresh.led)) << "the lamp shows its new colours";
    lamp.led->SetColors(clGreen, clLime);
    EXPECT_EQ(render(*lamp.led), green) << "and the earlier look again";

    // A look drawn at another size or radius is not reused.
    lamp.led->resize(10, 10);
    fresh.led->resize(10, 10);
    fresh.led->SetColors(clGreen, clLime);
    EXPECT_EQ(render(*lamp.led), render(*fresh.led));
    lamp.led->SetRadius(8);
    EXPECT_NE(render(*lamp.led), render(*fresh.led));
}

TEST(TLed, ClicksToggleOnlyWhenTheirActionIsOn) {
    QWidget parent;
    auto* led = new TLed(&parent);
    led->setGeometry(0, 0, 14, 14);
    parent.show();
    QTest::mouseClick(led, Qt::LeftButton);
    QTest::mouseDClick(led, Qt::LeftButton);
    EXPECT_FALSE(led->On());
    led->SetClickAction(true);
    QTest::mouseClick(led, Qt::LeftButton);
    EXPECT_TRUE(led->On());
}

TEST(TLEDButton, LampTakesThePressesInsideItsSquare) {
    QWidget parent;
    auto* button = new TLEDButton(&parent);
    button->setGeometry(0, 0, 91, 56);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    EXPECT_TRUE(button->LEDOn()) << "a new button's lamp is lit";
    EXPECT_EQ(button->Led->geometry(), QRect(7, 6, 14, 14));
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    // Through the window, so the press goes to whatever lies under the pointer.
    auto click = [&](QPoint at) {
        QTest::mouseClick(parent.windowHandle(), Qt::LeftButton, {}, button->mapTo(&parent, at));
    };

    click({10, 10});
    click({20, 19});
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(button->LEDOn());
    click({45, 28});
    click({21, 10});
    EXPECT_EQ(clicks, 2);
}

TEST(TLEDButton, PassesItsPropertiesToTheLamp) {
    QWidget parent;
    auto* button = new TLEDButton(&parent);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QCoreApplication::processEvents();
    PaintCounter counter(button->Led);
    button->SetLEDColor1(button->LEDColor1());
    EXPECT_EQ(counter.paints, 0);
    button->SetLEDOffColor2(clGreen);
    button->SetLEDOn(false);
    EXPECT_EQ(button->Led->OffColor2(), clGreen);
    EXPECT_FALSE(button->Led->On());
    EXPECT_EQ(counter.paints, 2);
}
