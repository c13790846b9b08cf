#pragma once
// TLed: a small lamp drawn as concentric rings of colour. It has no surface of its own worth
// keeping: every paint draws the rings straight onto its rectangle, and every visual property
// change paints at once.

#include <QBrush>
#include <QPixmap>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "Colors.h"

enum tLedStyle { lsGradient1 = 0, lsGradient2 = 1, lsAlternative = 2 };

class TLed : public QWidget {
    Q_OBJECT

public:
    explicit TLed(QWidget* parent = nullptr);

    tLedStyle Style() const { return style_; }
    void SetStyle(tLedStyle value);
    TColor Color1() const { return color1_; }
    void SetColor1(TColor value);
    TColor Color2() const { return color2_; }
    void SetColor2(TColor value);
    // Both on colours in one repaint.
    void SetColors(TColor color1, TColor color2);
    TColor OffColor1() const { return offColor1_; }
    void SetOffColor1(TColor value);
    TColor OffColor2() const { return offColor2_; }
    void SetOffColor2(TColor value);
    uint8_t Radius() const { return radius_; }
    void SetRadius(uint8_t value);
    bool On() const { return on_; }
    void SetOn(bool value);
    bool DiagShining() const { return diagShining_; }
    void SetDiagShining(bool value);
    bool ClickAction() const { return clickAction_; }
    void SetClickAction(bool value) { clickAction_ = value; }
    bool DblClickAction() const { return dblClickAction_; }
    void SetDblClickAction(bool value) { dblClickAction_ = value; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    template <typename T>
    void change(T& field, T value);
    void paintGradient(class QPainter& painter, TColor a, TColor b);
    void paintAlternating(class QPainter& painter, TColor a, TColor b);
    void ring(class QPainter& painter, int left, int top, int right, int bottom);
    void setFill(class QPainter& painter, TColor fill);
    void paintLamp(class QPainter& painter, TColor a, TColor b);

    tLedStyle style_ = lsGradient2;
    TColor color1_ = clBlack;
    TColor color2_ = clYellow;
    TColor offColor1_ = clBlack;
    TColor offColor2_ = clWhite;
    uint8_t radius_ = 1;
    bool on_ = false;
    bool diagShining_ = false;
    bool clickAction_ = false;
    bool dblClickAction_ = false;
    bool pressed_ = false;
    // The fill the drawing surface holds; with DiagShining the lamp never changes it.
    QBrush canvasBrush_{Qt::white};

    // The lamp as last drawn in each of its recent looks: an immediate repaint draws hundreds of
    // rounded rectangles, and a rig panel's lamp flips between the same two looks all day.
    struct Drawn {
        tLedStyle style;
        TColor a;
        TColor b;
        uint8_t radius;
        QSize size;
        qreal ratio;
        QPixmap lamp;
        QBrush fillAfter;
    };
    std::vector<Drawn> drawn_;
};
