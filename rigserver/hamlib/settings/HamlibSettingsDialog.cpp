#include "HamlibSettingsDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <filesystem>

#include "HamlibRigServer.h"
#include "IniFile.h"
#include "ParamBits.h"
#include "RigSettingsPanel.h"

namespace OmniRig {

namespace {

bool sameDevice(const std::string& a, const std::string& b) {
    std::error_code ec;
    return !a.empty() && (a == b || std::filesystem::equivalent(a, b, ec));
}

bool isSerial(const RigConfig& config) {
    const auto model = HamlibLibrary::model(config.model);
    return model && model->port == HamlibLibrary::PortKind::Serial;
}

// Whether the rig is shared on an address other computers can reach.
bool sharedBeyondThisComputer(const RigConfig& config) {
    const auto endpoint = config.shared() ? RigConfig::shareEndpoint(config.share) : std::nullopt;
    return endpoint && !endpoint->first.starts_with("127.");
}

// Both rigs' changed keys, written in one replacement of the file; the error's text, or nothing.
QString saveRigs(const std::filesystem::path& path, const std::optional<RigConfig> (&configs)[2]) {
    try {
        IniFile settings(path);
        std::vector<std::pair<std::string, IniFile::Entries>> sections;
        for (int i = 0; i < 2; ++i) {
            if (configs[i]) {
                sections.emplace_back(RigConfig::sectionName(i + 1),
                                      configs[i]->changes(settings, i + 1));
            }
        }
        settings.WriteSections(sections);
        return {};
    } catch (const std::runtime_error& e) {
        // Unable to write, or to read what is to be kept around the change.
        return QString::fromUtf8(e.what());
    }
}

}  // namespace

HamlibSettingsDialog::HamlibSettingsDialog(HamlibRigServer& server, QWidget* parent)
    : QDialog(parent),
      server_(server),
      rig1_(new RigSettingsPanel(1, this)),
      rig2_(new RigSettingsPanel(2, this)),
      message_(new QLabel(this)),
      buttons_(new QDialogButtonBox(
          QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this)) {
    setWindowTitle(tr("Rig server settings"));
    // The program ends with its main window even while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    message_->setWordWrap(true);
    auto* file = new QLabel(
        tr("Settings file: %1").arg(QString::fromStdString(server.settingsPath().string())), this);
    file->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* rigs = new QHBoxLayout;
    rigs->addWidget(rig1_);
    rigs->addWidget(rig2_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(rigs);
    layout->addWidget(file);
    layout->addWidget(message_);
    layout->addWidget(buttons_);

    confirm_ = [this](const QString& question) {
        return QMessageBox::question(this, windowTitle(), question,
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    connect(&save_, &QFutureWatcher<QString>::finished, this, &HamlibSettingsDialog::saveFinished);
    connect(buttons_, &QDialogButtonBox::accepted, this, [this] { apply(true); });
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons_->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            [this] { apply(); });
    for (RigSettingsPanel* panel : {rig1_, rig2_}) {
        connect(panel, &RigSettingsPanel::testRequested, this, &HamlibSettingsDialog::test);
    }
    load();
}

HamlibSettingsDialog::~HamlibSettingsDialog() {
    // A save under way is finished, so that the program never ends in the middle of it.
    save_.waitForFinished();
}

void HamlibSettingsDialog::load() {
    const IniFile settings(server_.settingsPath());
    message_->clear();
    try {
        rig1_->load(RigConfig::read(settings, 1));
        rig2_->load(RigConfig::read(settings, 2));
    } catch (const IniReadError& e) {
        // The rigs run on the defaults then, and so does the window.
        rig1_->load(RigConfig{});
        rig2_->load(RigConfig{});
        message_->setText(QString::fromUtf8(e.what()));
    }
}

bool HamlibSettingsDialog::apply(bool close) {
    if (saving_) {
        return false;
    }
    message_->clear();
    // A rig the operator left alone is neither checked nor written: a radio unplugged since
    // must not stop the other rig's change.
    bool good = true;
    std::optional<RigConfig> configs[2];
    RigSettingsPanel* const panels[2] = {rig1_, rig2_};
    for (int i = 0; i < 2; ++i) {
        if (panels[i]->changed()) {
            configs[i] = panels[i]->checked();
            good = good && configs[i].has_value();
        } else {
            panels[i]->clearMessages();
        }
    }
    if (!good || (configs[1] && portTaken(*rig2_, *rig1_)) ||
        (!configs[1] && configs[0] && portTaken(*rig1_, *rig2_)) || !shareConfirmed(configs)) {
        return false;
    }
    if (!configs[0] && !configs[1]) {
        if (close) {
            accept();
        }
        return true;
    }
    save(configs, close);
    return true;
}

bool HamlibSettingsDialog::shareConfirmed(const std::optional<RigConfig> (&configs)[2]) {
    for (int i = 0; i < 2; ++i) {
        // Asked once, when the address is typed; a share confirmed before is not asked again.
        if (!configs[i] || !sharedBeyondThisComputer(*configs[i]) ||
            configs[i]->share == panel(i + 1)->saved().share) {
            continue;
        }
        const QString question =
            tr("Rig %1 is to be shared on %2: anyone who reaches that address and port can "
               "transmit and change the rig, as rigctld asks for no password. Share it there?")
                .arg(i + 1)
                .arg(QString::fromStdString(configs[i]->share));
        if (!confirm_(question)) {
            panel(i + 1)->shareEdit()->setFocus();
            return false;
        }
    }
    return true;
}

void HamlibSettingsDialog::save(const std::optional<RigConfig> (&configs)[2], bool close) {
    saving_ = true;
    closeWhenSaved_ = close;
    // What is shown is what is being saved until the file has it.
    rig1_->setEnabled(false);
    rig2_->setEnabled(false);
    buttons_->setEnabled(false);
    message_->setText(tr("Saving..."));
    const std::filesystem::path path = server_.settingsPath();
    const std::optional<RigConfig> copies[2] = {configs[0], configs[1]};
    save_.setFuture(QtConcurrent::run([path, copies] { return saveRigs(path, copies); }));
}

void HamlibSettingsDialog::saveFinished() {
    const QString error = save_.result();
    saving_ = false;
    rig1_->setEnabled(true);
    rig2_->setEnabled(true);
    buttons_->setEnabled(true);
    message_->setText(error);
    if (error.isEmpty()) {
        for (RigSettingsPanel* panel : {rig1_, rig2_}) {
            panel->markSaved();
        }
        // The rigs switch over to what the file now says.
        server_.reloadSettings();
        if (closeWhenSaved_) {
            accept();
        }
    }
}

void HamlibSettingsDialog::reject() {
    // The window stays until the save under way is done, so that its outcome is seen.
    if (!saving_) {
        QDialog::reject();
    }
}

bool HamlibSettingsDialog::portTaken(RigSettingsPanel& panel, const RigSettingsPanel& other) {
    // Two links on one serial device would each read the other's replies.
    const RigConfig mine = panel.current();
    const RigConfig theirs = other.current();
    if (!isSerial(mine) || !isSerial(theirs) || !sameDevice(mine.port, theirs.port)) {
        return false;
    }
    panel.showPortProblem(tr("Rig %1 is on this port already").arg(other.rigNumber()));
    return true;
}

void HamlibSettingsDialog::test(int rigNumber) {
    RigSettingsPanel& panel = *this->panel(rigNumber);
    const auto config = panel.checked();
    if (!config || config->model == 0) {
        return;
    }
    // A serial device that a rig has open is not opened a second time.
    for (const int running : {1, 2}) {
        const RigConfig& live = server_.rigConfig(running);
        if (!live.configured() || !isSerial(live) || !isSerial(*config) ||
            !sameDevice(live.port, config->port)) {
            continue;
        }
        if (live.model == config->model && live.speed == config->speed) {
            answerFromRunningRig(panel, running);
        } else {
            panel.showTestResult(tr("Rig %1 has %2 open: apply these settings to try them")
                                     .arg(running)
                                     .arg(QString::fromStdString(config->port)));
        }
        return;
    }
    panel.startTest(*config);
}

void HamlibSettingsDialog::answerFromRunningRig(RigSettingsPanel& panel, int rigNumber) {
    std::shared_ptr<IRigX> rig;
    rigNumber == 1 ? server_.get_RigObject1(rig) : server_.get_RigObject2(rig);
    int32_t code = 0;
    int32_t hertz = 0;
    std::string status;
    rig->get_StatusCode(code);
    rig->get_StatusText(status);
    rig->get_Frequency(hertz);
    const std::string found =
        code == ST_ONLINE ? status + ", " + RigProbe::kilohertz(hertz) : status;
    panel.showTestResult(
        tr("Rig %1 runs on these settings: %2").arg(rigNumber).arg(QString::fromStdString(found)));
}

}  // namespace OmniRig
