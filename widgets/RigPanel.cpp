#include "RigPanel.h"

#include <QPainter>

#include "Fonts.h"
#include "ParamBits.h"

using namespace OmniRig;

void setLabelColors(QLabel* label, TColor background, TColor text) {
    QPalette p = label->palette();
    // Setting an equal palette still sends the label through a change and a repaint.
    if (p.color(QPalette::Window) == toQColor(background) &&
        p.color(QPalette::WindowText) == toQColor(text)) {
        return;
    }
    p.setColor(QPalette::Window, toQColor(background));
    p.setColor(QPalette::WindowText, toQColor(text));
    label->setPalette(p);
}

TColor labelTextColor(const QLabel* label) {
    const QColor c = label->palette().color(QPalette::WindowText);
    return rgb(c.red(), c.green(), c.blue());
}

TRigPanel::TRigPanel(QWidget* owner) : QWidget(owner), split_(SPLITOFF), rit_(RITOFF) {
    InitPanel(owner);
    ShowOffState();
}

void TRigPanel::InitPanel(QWidget* owner) {
    setParent(owner);
    // Created in this order, so that where two labels meet the later one lies on top.
    FreqA = new QLabel(this);
    VFO_A = new QLabel(this);
    VFO_AMode = new QLabel(this);
    RigLED = new TLed(this);
    VFO_ASplit = new QLabel(this);
    RigName = new QLabel(this);
    RigStatus = new QLabel(this);
    FreqADec = new QLabel(this);
    VFO_ARit = new QLabel(this);
    FreqB = new QLabel(this);
    FreqBDec = new QLabel(this);
    VFO_BSplit = new QLabel(this);
    VFO_BRit = new QLabel(this);
    VFO_BMode = new QLabel(this);
    VFO_B = new QLabel(this);
    RigID = new QLabel(this);

    setGeometry(8, 0, 350, 40);
    bevelWidth_ = 2;
    caption_ = QStringLiteral("r");
    setAutoFillBackground(false);

    styleLabel(FreqA, {16, 21, 97, 33}, "28999", 33, true);
    styleLabel(VFO_A, {8, 54, 33, 17}, "VFO-A", 11, false);
    styleLabel(VFO_AMode, {48, 54, 33, 17}, "USB", 11, false);
    RigLED->setGeometry(7, 6, 14, 14);
    RigLED->SetStyle(lsGradient1);
    RigLED->SetColor1(clGreen);
    RigLED->SetColor2(clLime);
    RigLED->SetOffColor1(clBlack);
    RigLED->SetOffColor2(clWhite);
    RigLED->SetRadius(1);
    RigLED->SetOn(true);
    RigLED->SetDiagShining(false);
    RigLED->SetClickAction(false);
    RigLED->SetDblClickAction(false);
    styleLabel(VFO_ASplit, {80, 54, 33, 17}, "SPLIT", 11, false);
    styleLabel(RigName, {26, 7, 153, 13}, "Yaesu FT-840 Rig", 11, false);
    styleLabel(RigStatus, {8, 70, 217, 13}, "Yaesu FT-840 Rig Status operational line", 11, false);
    styleLabel(FreqADec, {115, 25, 22, 24}, "00", 16, true);
    styleLabel(VFO_ARit, {117, 54, 33, 17}, "RIT", 11, false);
    styleLabel(VFO_BSplit, {230, 54, 31, 17}, "SPLIT", 11, false);
    styleLabel(VFO_BRit, {270, 54, 31, 17}, "RIT", 11, false);
    styleLabel(VFO_BMode, {200, 54, 31, 17}, "USB", 11, false);
    styleLabel(VFO_B, {162, 54, 31, 17}, "VFO-B", 11, false);
    styleLabel(FreqB, {168, 21, 95, 33}, "28999", 33, true);
    styleLabel(FreqBDec, {267, 25, 20, 24}, "00", 16, true);
    styleLabel(RigID, {268, 8, 25, 19}, "R1", 13, true);
}

void TRigPanel::styleLabel(QLabel* label, const QRect& bounds, const QString& caption,
                           int pixelHeight, bool bold) {
    label->setGeometry(bounds);
    label->setText(caption);
    label->setAutoFillBackground(true);
    setLabelColors(label, clBlack, clLime);
    label->setFont(pixelFont(kMsSansSerif, pixelHeight, bold));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(false);
    label->setTextFormat(Qt::PlainText);
    label->setContentsMargins(0, 0, 0, 0);
    label->setIndent(0);
}

void TRigPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect r = rect();
    const QColor light = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    // Outer and inner bevel, both raised.
    for (int bevel = 0; bevel < 2; ++bevel) {
        for (int i = 0; i < bevelWidth_ && r.width() > 1 && r.height() > 1; ++i) {
            painter.setPen(light);
            painter.drawLine(r.topLeft(), r.topRight());
            painter.drawLine(r.topLeft(), r.bottomLeft());
            painter.setPen(shadow);
            painter.drawLine(r.bottomLeft(), r.bottomRight());
            painter.drawLine(r.topRight(), r.bottomRight());
            r.adjust(1, 1, -1, -1);
        }
    }
    painter.fillRect(r, toQColor(clBlack));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(r, Qt::AlignCenter, caption_);
}

void TRigPanel::ShowOffState() {
    RigName->setText(QString());
    RigStatus->setText(QString());
    RigID->setText(QString());
    RigLED->SetOn(false);
    RigLED->SetOffColor1(clBlack);
    RigLED->SetOffColor2(clGreen);
    for (QLabel* l : {VFO_ASplit, VFO_BSplit, VFO_ARit, VFO_BRit}) {
        l->hide();
    }
    split_ = SPLITOFF;
    rit_ = RITOFF;
    FreqA->setText("-----");
    FreqB->setText("-----");
    FreqADec->setText(QString());
    FreqBDec->setText(QString());
    for (QLabel* l : {FreqA, FreqADec, FreqB, FreqBDec, VFO_A, VFO_B, VFO_AMode, VFO_BMode}) {
        l->hide();
    }
}

void TRigPanel::ShowOnState() {
    RigLED->SetOffColor1(clBlack);
    RigLED->SetOffColor2(clGreen);
    for (QLabel* l : {VFO_ASplit, VFO_BSplit, VFO_ARit, VFO_BRit}) {
        l->hide();
    }
    // Before the reset below, so VFO A's indicators take the colours of the stored values.
    SetVFO(VFOA);
    split_ = SPLITOFF;
    rit_ = RITOFF;
    FreqA->setText("-----");
    FreqB->setText("-----");
    FreqADec->setText(QString());
    FreqBDec->setText(QString());
    for (QLabel* l : {FreqA, FreqADec, FreqB, FreqBDec, VFO_A, VFO_B, VFO_AMode, VFO_BMode}) {
        l->show();
    }
}

void TRigPanel::HighlightVFOA() {
    for (QLabel* l : {VFO_A, FreqA, FreqADec, VFO_AMode}) {
        setLabelColors(l, clBlack, clLime);
    }
}

void TRigPanel::DimVFOA() {
    for (QLabel* l : {VFO_A, FreqA, FreqADec, VFO_AMode, VFO_ASplit, VFO_ARit}) {
        setLabelColors(l, clBlack, clGreen);
    }
}

void TRigPanel::HighlightVFOB() {
    for (QLabel* l : {VFO_B, FreqB, FreqBDec, VFO_BMode}) {
        setLabelColors(l, clBlack, clLime);
    }
}

void TRigPanel::DimVFOB() {
    for (QLabel* l : {VFO_B, FreqB, FreqBDec, VFO_BMode, VFO_BSplit, VFO_BRit}) {
        setLabelColors(l, clBlack, clGreen);
    }
}

void TRigPanel::SetVFO(int32_t value) {
    if (!ON()) {
        return;
    }
    const bool a = value == VFOA;
    const TColor activeA = a ? clLime : clGreen;
    const TColor activeB = a ? clGreen : clLime;
    for (QLabel* l : {FreqA, FreqADec}) {
        setLabelColors(l, clBlack, activeA);
    }
    for (QLabel* l : {FreqB, FreqBDec}) {
        setLabelColors(l, clBlack, activeB);
    }
    setLabelColors(VFO_A, clBlack, activeA);
    setLabelColors(VFO_B, clBlack, activeB);
    setLabelColors(VFO_AMode, clBlack, activeA);
    setLabelColors(VFO_BMode, clBlack, activeB);
    showIndicators(a ? VFO_ASplit : VFO_BSplit, a ? VFO_BSplit : VFO_ASplit, split_ == SPLITON);
    showIndicators(a ? VFO_ARit : VFO_BRit, a ? VFO_BRit : VFO_ARit, rit_ == RITON);
    vfo_ = value;
}

void TRigPanel::showIndicators(QLabel* active, QLabel* other, bool lit) {
    setLabelColors(active, clBlack, lit ? clLime : clGreen);
    active->show();
    other->hide();
}

void TRigPanel::SetMode(int32_t value) {
    if (!ON()) {
        return;
    }
    if (vfo_ == VFOA) {
        VFO_AMode->setText(ModeText(value));
        HighlightVFOA();
        DimVFOB();
    } else if (vfo_ == VFOB) {
        VFO_BMode->setText(ModeText(value));
        DimVFOA();
        HighlightVFOB();
    }
}

void TRigPanel::SetFreq(int32_t hertz) {
    if (!ON()) {
        return;
    }
    const int32_t kiloHertz = hertz / 1000;
    const int32_t tens = (hertz - kiloHertz * 1000) / 10;
    const bool known = hertz != 0;
    const QString whole =
        known ? KiloHertzText(kiloHertz < 0 ? -kiloHertz : kiloHertz) : kNotKnownKiloHertz;
    const QString decimals = known ? DecimalsText(tens) : kNotKnownDecimals;
    if (vfo_ == VFOA) {
        FreqA->setText(whole);
        FreqADec->setText(decimals);
    } else if (vfo_ == VFOB) {
        FreqB->setText(whole);
        FreqBDec->setText(decimals);
    }
}

void TRigPanel::SetSplit(int32_t value) {
    setIndicator(split_, value, SPLITON, SPLITOFF, VFO_ASplit, VFO_BSplit);
}

void TRigPanel::SetRIT(int32_t value) {
    setIndicator(rit_, value, RITON, RITOFF, VFO_ARit, VFO_BRit);
}

void TRigPanel::setIndicator(int32_t& stored, int32_t value, int32_t onBit, int32_t offBit,
                             QLabel* labelA, QLabel* labelB) {
    if (!ON()) {
        return;
    }
    stored = value;
    const bool known = value == onBit || value == offBit;
    if (known && (vfo_ == VFOA || vfo_ == VFOB)) {
        const bool a = vfo_ == VFOA;
        showIndicators(a ? labelA : labelB, a ? labelB : labelA, value == onBit);
    }
}

void TRigPanel::SetTX(int32_t value) {
    if (!ON()) {
        return;
    }
    tx_ = value;
    const bool transmitting = value == OmniRig::TX;
    RigLED->SetColors(transmitting ? clMaroon : clGreen, transmitting ? clRed : clLime);
}

void TRigPanel::SetID(int32_t value) {
    if (value < 1 || value > 2) {
        return;
    }
    id_ = value;
    RigID->setText(QStringLiteral("R%1").arg(value));
}

void TRigPanel::SetON(bool value) {
    RigLED->SetOn(value);
    if (RigLED->On()) {
        ShowOnState();
    } else {
        ShowOffState();
    }
}

QString TRigPanel::ModeText(int32_t mode) {
    switch (mode) {
        case CW:
            return "CW";
        case CW_R:
            return "CW-R";
        case USB:
            return "USB";
        case LSB:
            return "LSB";
        case DIG:
            return "DIG";
        case DIG_R:
            return "DIG";
        case AM:
            return "AM";
        case FM:
            return "FM";
        default:
            return "??";
    }
}

QString TRigPanel::KiloHertzText(int32_t kiloHertz) {
    return QString::number(kiloHertz).rightJustified(5, ' ');
}

QString TRigPanel::DecimalsText(int32_t tens) {
    return QString::number(tens).rightJustified(2, '0');
}
