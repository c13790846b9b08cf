// TForm1's rig display, the tracking step and the transfers between the rigs.

#include <QPalette>
#include <cmath>

#include "AppTitle.h"
#include "ReqLib32.h"
#include "ZuvozeRaro_Unit.h"

using namespace OmniRig;

namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// Frequencies add as the rig server's 32-bit integers do, wrapping rather than overflowing.
int32_t plus(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

}  // namespace

std::optional<RigObject> TForm1::SelectRig(int32_t RigNumber, TRigPanel*& panel) {
    // Another number names no rig: nothing is called and nothing changes.
    panel = RigPanel1;
    if (RigNumber == 1) {
        return RigServer->RigObject1();
    }
    if (RigNumber == 2) {
        panel = RigPanel2;
        return RigServer->RigObject2();
    }
    return std::nullopt;
}

void TForm1::RigServerVisibleChange(TOmniRigX*) {}

void TForm1::RigServerRigTypeChange(TOmniRigX*, int32_t RigNumber) {
    TRigPanel* panel = nullptr;
    const auto rig = SelectRig(RigNumber, panel);
    if (!rig) {
        return;
    }
    panel->SetName(text(rig->TypeText()));
    panel->SetStatus(text(rig->StatusText()));
}

void TForm1::RigServerStatusChange(TOmniRigX*, int32_t RigNumber) {
    TRigPanel* panel = nullptr;
    const auto rig = SelectRig(RigNumber, panel);
    if (!rig) {
        return;
    }
    auto status = [&] { return text(rig->StatusText()); };
    panel->SetStatus(status());
    if (status().contains("Port is not available")) {
        panel->SetON(false);
    }
    if (UpperText(status()).contains("RIG IS NOT RESPONDING")) {
        panel->SetON(false);
        return;
    }
    if (UpperText(status()).contains("RIG IS NOT CONFIGURED")) {
        panel->SetON(false);
        return;
    }
    if (!UpperText(status()).contains("ON-LINE")) {
        panel->SetStatus(status());
        return;
    }
    // The rig has come on-line: put it into a known state and show both VFOs.
    panel->SetON(true);
    panel->SetID(RigNumber);
    panel->SetName(text(rig->TypeText()));
    rig->SetVfoBits(VFOA);
    panel->SetVFO(VFOA);
    panel->SetFreq(rig->Frequency());
    panel->SetMode(rig->ModeBits());
    rig->SetSplitBits(SPLITOFF);
    panel->SetSplit(SPLITOFF);
    rig->SetRitBits(RITOFF);
    panel->SetRIT(RITOFF);
    rig->SetVfoBits(VFOB);
    panel->SetVFO(VFOB);
    panel->SetFreq(rig->Frequency());
    panel->SetMode(rig->ModeBits());
    // The panel keeps naming VFO B until the change this switch raises is reported.
    rig->SetVfoBits(VFOA);
}

void TForm1::RigServerParamsChange(TOmniRigX*, int32_t RigNumber, int32_t Params) {
    TRigPanel* panel = nullptr;
    const auto rig = SelectRig(RigNumber, panel);
    if (!rig) {
        return;
    }
    if (rig->StatusCode() != ST_ONLINE) {
        panel->SetStatus(text(rig->StatusText()));
        return;
    }
    panel->SetON(rig->StatusCode() == ST_ONLINE);
    panel->SetID(RigNumber);
    if (Params & SPLITON) {
        panel->SetSplit(SPLITON);
    }
    if (Params & SPLITOFF) {
        panel->SetSplit(SPLITOFF);
    }
    if (Params & RX) {
        panel->SetTX(RX);
    }
    if (Params & TX) {
        panel->SetTX(TX);
    }
    panel->SetName(text(rig->TypeText()));
    panel->SetMode(rig->ModeBits());

    ShowFrequency(panel->FreqA, panel->FreqADec, rig->FrequencyA());
    ShowFrequency(panel->FreqB, panel->FreqBDec, rig->FrequencyB());
    panel->SetStatus(text(rig->StatusText()));

    const int32_t frequencyA = rig->FrequencyA();
    panel->SetVFO(frequencyA == rig->Frequency() ? VFOA : VFOB);
    panel->SetMode(rig->ModeBits());
    panel->SetSplit(rig->SplitBits());
    panel->SetStatus(text(rig->StatusText()));

    if (TrackButton->LEDOn()) {
        TrackingStep();
    }
}

void TForm1::ShowFrequency(QLabel* whole, QLabel* decimals, int32_t frequency) {
    // 0 Hz is a frequency not known (a VFO the radio cannot read), never shown as a value.
    if (frequency == 0) {
        whole->setText(TRigPanel::kNotKnownKiloHertz);
        decimals->setText(TRigPanel::kNotKnownDecimals);
        return;
    }
    int32_t kiloHertz = 0;
    int32_t tens = 0;
    ComputeFreq(frequency, kiloHertz, tens);
    whole->setText(PadLeft(QString::number(kiloHertz), 5, u' '));
    decimals->setText(PadLeft(QString::number(tens), 2, u'0'));
}

void TForm1::ComputeFreq(int32_t frequency, int32_t& kiloHertz, int32_t& tens) {
    kiloHertz = static_cast<int32_t>(std::trunc(frequency / 1000.0));
    tens = static_cast<int32_t>(std::trunc((frequency - kiloHertz * 1000.0) / 10.0));
}

RigObject TForm1::RigForIndex(int itemIndex) {
    return itemIndex == -1 || itemIndex == 0 ? RigServer->RigObject1() : RigServer->RigObject2();
}

void TForm1::TrackingStep() {
    const RigObject master = RigForIndex(MasterList->currentIndex());
    const RigObject slave = RigForIndex(SlaveList->currentIndex());
    const int32_t targetVfo = SlaveVFOA->isChecked() ? VFOA : VFOB;
    const int32_t frequency = slave.Frequency();
    const int32_t frequencyA = slave.FrequencyA();
    const int32_t presentVfo = frequency == frequencyA ? VFOA : VFOB;
    StampFreq(master, slave, presentVfo, targetVfo);
    RigHeardFrom(slave.Number());
}

void TForm1::StampFreq(const RigObject& master, const RigObject& slave, int32_t presentVfo,
                       int32_t targetVfo) {
    // A master not read yet reports 0 Hz: the slave keeps its frequency until the master is known.
    auto setFrequency = [&slave](int32_t frequency) {
        if (frequency != 0) {
            slave.SetFrequency(frequency);
        }
    };
    if (targetVfo == presentVfo) {
        const int32_t frequency = master.Frequency();
        setFrequency(frequency);
        const int32_t mode = master.ModeBits();
        slave.SetModeBits(mode);
        return;
    }
    slave.SetVfoBits(targetVfo);
    const int32_t frequency = master.Frequency();
    setFrequency(frequency);
    const int32_t mode = master.ModeBits();
    slave.SetModeBits(mode);
    slave.SetVfoBits(presentVfo);
}

int32_t TForm1::ActiveOffset() const {
    return OffsetButton->LEDOn() ? OffsetTrack->Position() - 500 : 0;
}

bool TForm1::TransferAllowed() {
    if (RigPanel1->ON() && RigPanel2->ON()) {
        return true;
    }
    const QString message = "ERROR \r\nRig1(" + BoolToText(RigPanel1->ON()) + ") Rig2(" +
                            BoolToText(RigPanel2->ON()) + ")";
    env_.prompter->MessageBox(message, kAppTitle, MessageButtons::Ok, MessageIcon::None);
    return false;
}

bool TForm1::FrequencyKnown(int32_t RigNumber, int32_t frequency) {
    // A rig reads 0 Hz when its frequency is not known (not read yet, or off a transverter's
    // range): copying that, or the bare offset, would tune the other rig to nothing.
    if (frequency != 0) {
        return true;
    }
    const QString message =
        QStringLiteral("The frequency of Rig%1 is not known: nothing was transferred")
            .arg(RigNumber);
    env_.prompter->MessageBox(message, kAppTitle, MessageButtons::Ok, MessageIcon::None);
    return false;
}

void TForm1::R1toR2Click(QObject*) {
    if (!TransferAllowed()) {
        return;
    }
    const int32_t offset = ActiveOffset();
    const int32_t f1 = RigServer->RigObject1().Frequency();
    if (!FrequencyKnown(1, f1)) {
        return;
    }
    RigServer->RigObject2().SetFrequency(plus(f1, offset));
}

void TForm1::R2toR1Click(QObject*) {
    if (!TransferAllowed()) {
        return;
    }
    const int32_t offset = ActiveOffset();
    const int32_t f2 = RigServer->RigObject2().Frequency();
    if (!FrequencyKnown(2, f2)) {
        return;
    }
    RigServer->RigObject1().SetFrequency(plus(f2, -offset));
}

void TForm1::RSwapClick(QObject*) {
    if (!TransferAllowed()) {
        return;
    }
    const int32_t offset = ActiveOffset();
    const int32_t f2 = RigServer->RigObject2().Frequency();
    const int32_t f1 = RigServer->RigObject1().Frequency();
    if (!FrequencyKnown(1, f1) || !FrequencyKnown(2, f2)) {
        return;
    }
    RigServer->RigObject2().SetFrequency(plus(f1, offset));
    RigServer->RigObject1().SetFrequency(plus(f2, -offset));
}

void TForm1::R1toR2MouseDown(QObject*) {
    QPalette p = R1toR2->palette();
    p.setColor(QPalette::ButtonText, toQColor(clRed));
    R1toR2->setPalette(p);
}

void TForm1::R1toR2MouseUp(QObject*) {
    QPalette p = R1toR2->palette();
    p.setColor(QPalette::ButtonText, toQColor(clBlack));
    R1toR2->setPalette(p);
}
