#include "RigSettingsPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <limits>

#include "InputCheck.h"
#include "ModelBox.h"
#include "SerialDevices.h"

namespace OmniRig {

namespace {

using PortKind = HamlibLibrary::PortKind;

constexpr int kSpeeds[] = {300,   600,   1200,  2400,   4800,   9600,
                           19200, 38400, 57600, 115200, 230400, 460800};

// Transverters on the usual 28 MHz IF, mixing upright.
struct LoPreset {
    const char* name;
    qlonglong hertz;
};
constexpr LoPreset kLoPresets[] = {
    {QT_TRANSLATE_NOOP("OmniRig::RigSettingsPanel", "None"), 0},
    {QT_TRANSLATE_NOOP("OmniRig::RigSettingsPanel", "2 m on a 28 MHz IF"), 116'000'000},
    {QT_TRANSLATE_NOOP("OmniRig::RigSettingsPanel", "70 cm on a 28 MHz IF"), 404'000'000},
    {QT_TRANSLATE_NOOP("OmniRig::RigSettingsPanel", "6 m on a 28 MHz IF"), 22'000'000},
};

QLabel* messageLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setHidden(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0xb0, 0x00, 0x00));
    label->setPalette(palette);
    return label;
}

}  // namespace

RigSettingsPanel::RigSettingsPanel(int rigNumber, QWidget* parent)
    : QGroupBox(tr("Rig %1").arg(rigNumber), parent),
      rigNumber_(rigNumber),
      model_(new ModelBox(this)),
      port_(new QComboBox(this)),
      speed_(new QComboBox(this)),
      poll_(new QLineEdit(this)),
      share_(new QLineEdit(this)),
      loPreset_(new QComboBox(this)),
      lo_(new QLineEdit(this)),
      loInverted_(new QCheckBox(tr("&Inverted"), this)),
      test_(new QPushButton(tr("&Test"), this)),
      modelMessage_(messageLabel(this)),
      portMessage_(messageLabel(this)),
      pollMessage_(messageLabel(this)),
      shareMessage_(messageLabel(this)),
      loMessage_(messageLabel(this)),
      testResult_(new QLabel(this)),
      fileProblem_(messageLabel(this)) {
    port_->setEditable(true);
    port_->setInsertPolicy(QComboBox::NoInsert);
    port_->setToolTip(tr("A serial device, or host:port for a network rig"));
    poll_->setMaximumWidth(poll_->fontMetrics().horizontalAdvance(QStringLiteral("00000000")));
    share_->setPlaceholderText(tr("not shared"));
    share_->setToolTip(
        tr("A port (on 127.0.0.1) or address:port where the station's other programs reach this "
           "radio through a rigctld of the rig server's own; rigctld has no password, so "
           "anyone who reaches another address can transmit"));
    for (const LoPreset& preset : kLoPresets) {
        loPreset_->addItem(tr(preset.name), preset.hertz);
    }
    loPreset_->addItem(tr("Other"));
    lo_->setMaximumWidth(lo_->fontMetrics().horizontalAdvance(QStringLiteral("-00000000000000")));
    lo_->setToolTip(tr("On the air = radio + offset; inverted, on the air = offset - radio"));
    loInverted_->setToolTip(
        tr("The mixer's LO lies above the band: USB and LSB, CW and CW-R "
           "and the data modes swap"));
    testResult_->setWordWrap(true);
    testResult_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* form = new QFormLayout(this);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(fileProblem_);
    form->addRow(tr("&Model:"), model_);
    form->addRow(QString(), modelMessage_);
    form->addRow(tr("&Port:"), port_);
    form->addRow(QString(), portMessage_);
    form->addRow(tr("&Speed:"), speed_);
    auto* pollRow = new QHBoxLayout;
    pollRow->addWidget(poll_);
    pollRow->addWidget(new QLabel(tr("ms"), this));
    pollRow->addStretch();
    // A label of a row holding a layout has no buddy of its own.
    auto* pollLabel = new QLabel(tr("P&oll interval:"), this);
    pollLabel->setBuddy(poll_);
    form->addRow(pollLabel, pollRow);
    form->addRow(QString(), pollMessage_);
    form->addRow(tr("S&hare on:"), share_);
    form->addRow(QString(), shareMessage_);
    form->addRow(tr("T&ransverter:"), loPreset_);
    auto* loRow = new QHBoxLayout;
    loRow->addWidget(lo_);
    loRow->addWidget(new QLabel(tr("Hz"), this));
    loRow->addWidget(loInverted_);
    loRow->addStretch();
    auto* loLabel = new QLabel(tr("&LO offset:"), this);
    loLabel->setBuddy(lo_);
    form->addRow(loLabel, loRow);
    form->addRow(QString(), loMessage_);
    auto* testRow = new QHBoxLayout;
    testRow->addWidget(test_, 0, Qt::AlignTop);
    testRow->addWidget(testResult_, 1);
    form->addRow(testRow);

    connect(model_, &QComboBox::currentIndexChanged, this, &RigSettingsPanel::modelChanged);
    connect(lo_, &QLineEdit::textChanged, this, &RigSettingsPanel::showPreset);
    connect(loPreset_, &QComboBox::activated, this, [this](int index) {
        const QVariant hertz = loPreset_->itemData(index);
        if (hertz.isValid()) {
            lo_->setText(QString::number(hertz.toLongLong()));
            loInverted_->setChecked(false);  // every preset mixes upright
        }
    });
    connect(test_, &QPushButton::clicked, this, [this] { emit testRequested(rigNumber_); });
    connect(&probe_, &QFutureWatcher<RigProbe>::finished, this, [this] {
        const RigProbe probe = probe_.result();
        const int32_t onAir = probed_.onAir(probe.hertz);
        showTestResult(probe.online && probed_ != Transverter{}
                           ? tr("On-line, %1 kHz on the air (the radio on %2 kHz)")
                                 .arg(QString::fromStdString(RigProbe::kilohertz(onAir)),
                                      QString::fromStdString(RigProbe::kilohertz(probe.hertz)))
                           : QString::fromStdString(probe.text));
        test_->setEnabled(model_->modelNumber().value_or(0) != 0);
    });
}

void RigSettingsPanel::load(const RigConfig& config) {
    loaded_ = config;
    clearMessages();
    say(fileProblem_, config.problem.empty()
                          ? QString()
                          : tr("[%1] in the settings file cannot be used: %2")
                                .arg(QString::fromStdString(RigConfig::sectionName(rigNumber_)),
                                     QString::fromStdString(config.problem)));
    testResult_->clear();

    const auto model = HamlibLibrary::model(config.model);
    kind_ = model ? model->port : PortKind::None;
    portByKind_.clear();
    portByKind_[static_cast<int>(kind_)] = QString::fromStdString(config.port);
    fillPorts(kind_);
    speed_->clear();
    {
        const QSignalBlocker quiet(model_);
        model_->setModelNumber(model ? config.model : 0);
    }
    poll_->setText(QString::number(config.pollMs));
    share_->setText(QString::fromStdString(config.share));
    lo_->setText(QString::number(config.transverter.lo));
    loInverted_->setChecked(config.transverter.inverted);
    modelChanged();
    shown_ = current();
}

RigConfig RigSettingsPanel::current() const {
    RigConfig config = loaded_;
    config.problem.clear();
    config.model = model_->modelNumber().value_or(-1);
    if (config.model == 0) {
        return config;
    }
    config.port =
        kind_ == PortKind::None ? std::string() : port_->currentText().trimmed().toStdString();
    config.speed = kind_ == PortKind::Serial ? speed_->currentData().toInt() : 0;
    bool number = false;
    const int poll = poll_->text().trimmed().toInt(&number);
    config.pollMs = number ? poll : -1;
    config.share =
        kind_ == PortKind::Network ? std::string() : share_->text().trimmed().toStdString();
    const qlonglong lo = lo_->text().trimmed().toLongLong(&number);
    // Text that is no number differs from every LO, so that typing it counts as a change.
    config.transverter.lo = number ? lo : std::numeric_limits<int64_t>::min();
    config.transverter.inverted = loInverted_->isChecked();
    return config;
}

std::optional<RigConfig> RigSettingsPanel::checked() {
    clearMessages();
    RigConfig config = current();
    if (config.model < 0) {
        say(modelMessage_, tr("Choose a model from the list"));
        return std::nullopt;
    }
    if (config.model == 0) {
        return config;
    }
    const std::string port = InputCheck::port(kind_, config.port);
    const std::string poll = InputCheck::poll(poll_->text().trimmed().toStdString(), config.pollMs);
    const std::string lo = InputCheck::lo(lo_->text().trimmed().toStdString(), config.model,
                                          config.transverter.inverted, config.transverter.lo);
    say(portMessage_, QString::fromStdString(port));
    const std::string share = InputCheck::share(config.share);
    say(pollMessage_, QString::fromStdString(poll));
    say(shareMessage_, QString::fromStdString(share));
    say(loMessage_, QString::fromStdString(lo));
    if (!port.empty() || !poll.empty() || !share.empty() || !lo.empty()) {
        return std::nullopt;
    }
    return config;
}

void RigSettingsPanel::showPortProblem(const QString& message) {
    say(portMessage_, message);
}

void RigSettingsPanel::clearMessages() {
    for (QLabel* label : {modelMessage_, portMessage_, pollMessage_, shareMessage_, loMessage_}) {
        say(label, {});
    }
}

void RigSettingsPanel::startTest(const RigConfig& config) {
    if (probe_.isRunning()) {
        return;
    }
    showTestResult(tr("Testing…"));
    test_->setEnabled(false);
    probed_ = config.transverter;
    probe_.setFuture(QtConcurrent::run([config] { return RigProbe::run(config); }));
}

void RigSettingsPanel::showTestResult(const QString& text) {
    testResult_->setText(text);
}

void RigSettingsPanel::modelChanged() {
    const auto number = model_->modelNumber();
    if (!number) {
        return;
    }
    say(modelMessage_, {});
    const auto model = HamlibLibrary::model(*number);
    const PortKind kind = model ? model->port : PortKind::None;
    if (kind != kind_) {
        portByKind_[static_cast<int>(kind_)] = port_->currentText();
        kind_ = kind;
        fillPorts(kind);
        say(portMessage_, {});
    }
    const bool keepSpeed = speed_->count() == 0;  // right after a load: the file's speed
    fillSpeeds(model.value_or(HamlibLibrary::Model{}),
               keepSpeed ? loaded_.speed : speed_->currentData().toInt());
    port_->setEnabled(kind != PortKind::None);
    speed_->setEnabled(kind == PortKind::Serial);
    for (QWidget* field : std::initializer_list<QWidget*>{poll_, loPreset_, lo_, loInverted_}) {
        field->setEnabled(*number != 0);
    }
    // A rig over the network is shared by its own server already.
    share_->setEnabled(*number != 0 && kind != PortKind::Network);
    test_->setEnabled(*number != 0 && !probe_.isRunning());
}

void RigSettingsPanel::fillPorts(PortKind kind) {
    port_->clear();
    QString text = portByKind_.value(static_cast<int>(kind));
    if (kind == PortKind::Serial) {
        for (const std::string& device : SerialDevices::present()) {
            port_->addItem(QString::fromStdString(device));
        }
        if (text.isEmpty() && port_->count() > 0) {
            text = port_->itemText(0);
        }
    } else if (kind == PortKind::Network && text.isEmpty()) {
        text = QStringLiteral("127.0.0.1:%1").arg(InputCheck::kRigctldPort);
    }
    const int listed = port_->findText(text);
    port_->setCurrentIndex(listed);
    if (listed < 0) {
        port_->setEditText(text);
    }
}

void RigSettingsPanel::fillSpeeds(const HamlibLibrary::Model& model, int speed) {
    speed_->clear();
    speed_->addItem(model.maxSpeed > 0 ? tr("Model default (%1 baud)").arg(model.maxSpeed)
                                       : tr("Model default"),
                    0);
    for (const int rate : kSpeeds) {
        if (model.maxSpeed == 0 || (rate >= model.minSpeed && rate <= model.maxSpeed)) {
            speed_->addItem(tr("%1 baud").arg(rate), rate);
        }
    }
    // The file's own speed stays, even where Hamlib would not list it.
    if (speed > 0 && speed == loaded_.speed && speed_->findData(speed) < 0) {
        int at = 1;
        while (at < speed_->count() && speed_->itemData(at).toInt() < speed) {
            ++at;
        }
        speed_->insertItem(at, tr("%1 baud").arg(speed), speed);
    }
    speed_->setCurrentIndex(std::max(speed_->findData(speed), 0));
}

void RigSettingsPanel::showPreset() {
    bool number = false;
    const qlonglong hertz = lo_->text().trimmed().toLongLong(&number);
    const int preset = number ? loPreset_->findData(hertz) : -1;
    loPreset_->setCurrentIndex(preset >= 0 ? preset : loPreset_->count() - 1);
}

void RigSettingsPanel::say(QLabel* label, const QString& message) {
    label->setText(message);
    label->setHidden(message.isEmpty());
}

}  // namespace OmniRig
