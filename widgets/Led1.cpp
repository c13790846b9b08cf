#include "Led1.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

TLed::TLed(QWidget* parent) : QWidget(parent) {
    resize(10, 33);
    // Presses inside the lamp are the lamp's, never its parent's.
    setAttribute(Qt::WA_NoMousePropagation);
}

template <typename T>
void TLed::change(T& field, T value) {
    if (field == value) {
        return;
    }
    field = value;
    repaint();
}

void TLed::SetStyle(tLedStyle value) {
    change(style_, value);
}
void TLed::SetColor1(TColor value) {
    change(color1_, value);
}
void TLed::SetColor2(TColor value) {
    change(color2_, value);
}
void TLed::SetColors(TColor color1, TColor color2) {
    if (color1_ == color1 && color2_ == color2) {
        return;
    }
    color1_ = color1;
    color2_ = color2;
    repaint();
}
void TLed::SetOffColor1(TColor value) {
    change(offColor1_, value);
}
void TLed::SetOffColor2(TColor value) {
    change(offColor2_, value);
}
void TLed::SetRadius(uint8_t value) {
    change(radius_, value);
}
void TLed::SetOn(bool value) {
    change(on_, value);
}
void TLed::SetDiagShining(bool value) {
    change(diagShining_, value);
}

void TLed::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const TColor a = on_ ? color1_ : offColor1_;
    const TColor b = on_ ? color2_ : offColor2_;
    // With DiagShining the fill depends on what was drawn before, so that look is not kept.
    if (diagShining_) {
        paintLamp(painter, a, b);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    auto same = std::find_if(drawn_.begin(), drawn_.end(), [&](const Drawn& d) {
        return d.style == style_ && d.a == a && d.b == b && d.radius == radius_ &&
               d.size == size() && d.ratio == ratio;
    });
    if (same == drawn_.end()) {
        constexpr size_t kLooks = 4;
        if (drawn_.size() == kLooks) {
            drawn_.erase(drawn_.begin());
        }
        QPixmap lamp(size() * ratio);
        lamp.setDevicePixelRatio(ratio);
        lamp.fill(Qt::transparent);
        QPainter onLamp(&lamp);
        paintLamp(onLamp, a, b);
        onLamp.end();
        drawn_.push_back({style_, a, b, radius_, size(), ratio, std::move(lamp), canvasBrush_});
        same = drawn_.end() - 1;
    }
    painter.drawPixmap(0, 0, same->lamp);
    // The surface is left with the fill this look's drawing ends on, as if drawn afresh.
    canvasBrush_ = same->fillAfter;
}

void TLed::paintLamp(QPainter& painter, TColor a, TColor b) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (style_ == lsAlternative) {
        paintAlternating(painter, a, b);
    } else {
        paintGradient(painter, a, b);
    }
}

void TLed::paintGradient(QPainter& painter, TColor a, TColor b) {
    const int w = width();
    const int h = height();
    const int d = (style_ == lsGradient1 ? std::max(w, h) : std::min(w, h)) - 1;
    const int rings = d / 2;
    if (rings <= 0) {
        // Too small for a gradient: one ring in the outer colour.
        painter.setPen(toQColor(a));
        setFill(painter, a);
        ring(painter, 0, 0, w - 1, h - 1);
        return;
    }
    auto step = [&](int from, int to) { return (to - from) / rings; };
    const int stepR = step(redOf(a), redOf(b));
    const int stepG = step(greenOf(a), greenOf(b));
    const int stepB = step(blueOf(a), blueOf(b));
    for (int i = 0; i <= rings; ++i) {
        const TColor c = rgb(redOf(a) + i * stepR, greenOf(a) + i * stepG, blueOf(a) + i * stepB);
        painter.setPen(toQColor(c));
        setFill(painter, c);
        ring(painter, i, i, w - i - 1, h - i - 1);
    }
}

void TLed::paintAlternating(QPainter& painter, TColor a, TColor b) {
    const int w = width();
    const int h = height();
    const int pairs = (w - 1) / 4 + 1;
    for (int j = 0; j < pairs; ++j) {
        painter.setPen(toQColor(a));
        setFill(painter, b);
        ring(painter, 2 * j, 2 * j, w - 2 * j - 1, h - 2 * j - 1);
        painter.setPen(toQColor(b));
        setFill(painter, a);
        ring(painter, 2 * j + 1, 2 * j + 1, w - 2 * j - 2, h - 2 * j - 2);
    }
}

void TLed::setFill(QPainter& painter, TColor fill) {
    if (!diagShining_) {
        canvasBrush_ = QBrush(toQColor(fill));
    }
    painter.setBrush(canvasBrush_);
}

// A rectangle with elliptical corners given by its corner points, the right and bottom edges
// excluded, as the platform's rounded-rectangle primitive takes them. Inverted corners are
// swapped; a ring one pixel thin is drawn as a line of the pen's colour.
void TLed::ring(QPainter& painter, int left, int top, int right, int bottom) {
    if (left > right) {
        std::swap(left, right);
    }
    if (top > bottom) {
        std::swap(top, bottom);
    }
    const int w = right - left - 1;
    const int h = bottom - top - 1;
    if (right <= left || bottom <= top) {
        return;
    }
    if (w <= 0 || h <= 0) {
        painter.fillRect(QRect(left, top, right - left, bottom - top), painter.pen().color());
        return;
    }
    const qreal corner = radius_ / 2.0;
    painter.drawRoundedRect(QRectF(left, top, w, h), corner, corner);
}

void TLed::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void TLed::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click && clickAction_) {
        on_ = !on_;
        repaint();
    }
}

void TLed::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton && dblClickAction_) {
        on_ = !on_;
        repaint();
    }
}
