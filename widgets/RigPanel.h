#pragma once
// TRigPanel: the display of one transceiver on a black panel: name, status, rig number and lamp;
// for VFO A and B the frequency in kHz with two decimals, the mode, and the split and RIT
// indicators of the active VFO. It is passive: the window pushes values in through its
// properties and writes the four frequency labels directly; writes that do not apply in the
// panel's state are ignored.

#include <QLabel>
#include <QString>
#include <QWidget>
#include <cstdint>

#include "Led1.h"

class TRigPanel : public QWidget {
    Q_OBJECT

public:
    explicit TRigPanel(QWidget* owner);

    void InitPanel(QWidget* owner);

    int32_t VFO() const { return vfo_; }
    void SetVFO(int32_t value);
    void SetMode(int32_t value);
    void SetFreq(int32_t hertz);
    int32_t Split() const { return split_; }
    void SetSplit(int32_t value);
    int32_t RIT() const { return rit_; }
    void SetRIT(int32_t value);
    int32_t TX() const { return tx_; }
    void SetTX(int32_t value);
    QString Name() const { return RigName->text(); }
    void SetName(const QString& value) { RigName->setText(value); }
    void SetStatus(const QString& value) { RigStatus->setText(value); }
    int32_t ID() const { return id_; }
    void SetID(int32_t value);
    bool ON() const { return RigLED->On(); }
    void SetON(bool value);

    QString Caption() const { return caption_; }

    static QString ModeText(int32_t mode);
    // The frequency as the two texts of a VFO display: whole kHz right-aligned in five characters,
    // and the hundreds and tens of Hz with a leading zero.
    static QString KiloHertzText(int32_t kiloHertz);
    static QString DecimalsText(int32_t tens);
    // What the frequency displays show for a frequency that is not known (0 Hz).
    static inline const QString kNotKnownKiloHertz = QStringLiteral("-----");
    static inline const QString kNotKnownDecimals = QStringLiteral("--");

    // The sub-controls, in the order they are created and stacked.
    QLabel* FreqA = nullptr;
    QLabel* VFO_A = nullptr;
    QLabel* VFO_AMode = nullptr;
    TLed* RigLED = nullptr;
    QLabel* VFO_ASplit = nullptr;
    QLabel* RigName = nullptr;
    QLabel* RigStatus = nullptr;
    QLabel* FreqADec = nullptr;
    QLabel* VFO_ARit = nullptr;
    QLabel* FreqB = nullptr;
    QLabel* FreqBDec = nullptr;
    QLabel* VFO_BSplit = nullptr;
    QLabel* VFO_BRit = nullptr;
    QLabel* VFO_BMode = nullptr;
    QLabel* VFO_B = nullptr;
    QLabel* RigID = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ShowOffState();
    void ShowOnState();
    void HighlightVFOA();
    void DimVFOA();
    void HighlightVFOB();
    void DimVFOB();
    void showIndicators(QLabel* activeSplitOrRit, QLabel* otherSplitOrRit, bool lit);
    // Split and RIT are one family: a stored switch and its indicator on each VFO.
    void setIndicator(int32_t& stored, int32_t value, int32_t onBit, int32_t offBit, QLabel* labelA,
                      QLabel* labelB);
    void styleLabel(QLabel* label, const QRect& bounds, const QString& caption, int pixelHeight,
                    bool bold);

    int32_t vfo_ = 0;
    int32_t split_;
    int32_t rit_;
    int32_t tx_ = 0;
    int32_t id_ = 0;
    int bevelWidth_ = 1;
    QString caption_;
};

// Colours a label's text and background.
void setLabelColors(QLabel* label, TColor background, TColor text);
TColor labelTextColor(const QLabel* label);
