#pragma once
// TLEDButton: a push button with a lamp in its top-left corner, so that a button that switches a
// mode on and off also shows whether the mode is on. Presses on the lamp are the lamp's.

#include <QPushButton>

#include "Led1.h"

class TLEDButton : public QPushButton {
    Q_OBJECT

public:
    explicit TLEDButton(QWidget* owner);

    TLed* const Led;

    TColor LEDColor1() const { return Led->Color1(); }
    void SetLEDColor1(TColor value) { Led->SetColor1(value); }
    TColor LEDColor2() const { return Led->Color2(); }
    void SetLEDColor2(TColor value) { Led->SetColor2(value); }
    TColor LEDOffColor1() const { return Led->OffColor1(); }
    void SetLEDOffColor1(TColor value) { Led->SetOffColor1(value); }
    TColor LEDOffColor2() const { return Led->OffColor2(); }
    void SetLEDOffColor2(TColor value) { Led->SetOffColor2(value); }
    bool LEDOn() const { return Led->On(); }
    void SetLEDOn(bool value) { Led->SetOn(value); }
};
