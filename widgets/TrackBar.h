#pragma once
// TTrackBar: a horizontal track bar that also holds and draws a selection band between two
// positions, under the groove.

#include <QSlider>

class TTrackBar : public QSlider {
    Q_OBJECT

public:
    explicit TTrackBar(QWidget* parent = nullptr);

    int Position() const { return value(); }
    // Limited to the range; the change signal (valueChanged) fires only when the position moves.
    void SetPosition(int position) { setValue(position); }
    int SelStart() const { return selStart_; }
    void SetSelStart(int value);
    int SelEnd() const { return selEnd_; }
    void SetSelEnd(int value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int selStart_ = 0;
    int selEnd_ = 0;
};
