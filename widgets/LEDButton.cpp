#include "LEDButton.h"

TLEDButton::TLEDButton(QWidget* owner) : QPushButton(owner), Led(new TLed(this)) {
    Led->setGeometry(7, 6, 14, 14);
    Led->SetStyle(lsGradient1);
    Led->SetColor1(clGreen);
    Led->SetColor2(clLime);
    Led->SetOffColor1(clBlack);
    Led->SetOffColor2(clWhite);
    Led->SetRadius(1);
    Led->SetOn(true);
    Led->SetDiagShining(false);
    Led->SetClickAction(false);
    Led->SetDblClickAction(false);
}
