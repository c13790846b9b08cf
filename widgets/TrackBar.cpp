#include "TrackBar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

TTrackBar::TTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setTickPosition(QSlider::TicksBelow);
}

void TTrackBar::SetSelStart(int value) {
    if (value != selStart_) {
        selStart_ = value;
        update();
    }
}

void TTrackBar::SetSelEnd(int value) {
    if (value != selEnd_) {
        selEnd_ = value;
        update();
    }
}

void TTrackBar::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    if (selEnd_ <= selStart_) {
        return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const int span = groove.width() - handle.width();
    auto x = [&](int v) {
        return groove.left() + handle.width() / 2 +
               QStyle::sliderPositionFromValue(minimum(), maximum(), v, span);
    };
    QPainter painter(this);
    const int y = groove.center().y() - 1;
    painter.fillRect(QRect(QPoint(x(selStart_), y), QPoint(x(selEnd_), y + 2)),
                     palette().color(QPalette::Highlight));
}
