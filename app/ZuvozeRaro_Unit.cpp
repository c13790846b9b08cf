#include "ZuvozeRaro_Unit.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QStatusBar>

#include "Fonts.h"
#include "ReqLib32.h"
#include "RigServerError.h"

using namespace OmniRig;

namespace {

const std::string kSection = "DIVIZURE";
const QString kListDesignText = QStringLiteral("FT-840");

QPushButton* transferButton(QWidget* parent, const QRect& bounds, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(bounds);
    button->setFont(pixelFont(kArial, 13, true));
    return button;
}

TLEDButton* ledButton(QWidget* parent, const QRect& bounds, const QString& caption) {
    auto* button = new TLEDButton(parent);
    button->setGeometry(bounds);
    button->setText(caption);
    button->setFont(pixelFont(kArial, 16, true));
    button->SetLEDColor1(clGreen);
    button->SetLEDColor2(clLime);
    button->SetLEDOffColor1(clBlack);
    button->SetLEDOffColor2(clGreen);
    button->SetLEDOn(false);
    return button;
}

QComboBox* rigList(QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setGeometry(4, 13, 69, 21);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setEditText(kListDesignText);
    return list;
}

void placePanel(TRigPanel* panel, const QRect& bounds) {
    panel->setGeometry(bounds);
    panel->SetVFO(0);
    panel->SetSplit(SPLITOFF);
    panel->SetRIT(RITOFF);
    panel->SetTX(0);
    panel->SetID(0);
    panel->SetON(false);
}

// The saved offset position, or the middle when the text is no whole 32-bit number; the track
// bar limits it to its range.
int offsetPosition(const QString& text) {
    static const QRegularExpression whole(QStringLiteral("^-?[0-9]+$"));
    bool fits = false;
    const int value = text.toInt(&fits, 10);
    return IsNumericText(text) && whole.match(text).hasMatch() && fits ? value : 500;
}

bool saysOn(const QString& text) {
    const QString upper = UpperText(text);
    return upper == "YES" || upper == "TRUE" || upper == "ON";
}

int listIndex(const QString& text) {
    bool number = false;
    const int value = text.toInt(&number, 10);
    return number && (value == 0 || value == 1) ? value : -1;
}

}  // namespace

TForm1::TForm1(FormEnvironment environment)
    : QMainWindow(nullptr),
      env_(std::move(environment)),
      errors_(env_.prompter),
      settingsSaver_([this](std::exception_ptr failure) {
          // The error reaches the operator through the window's thread, as every other does.
          QMetaObject::invokeMethod(
              this, [this, failure] { entry([failure] { std::rethrow_exception(failure); }); },
              Qt::QueuedConnection);
      }) {
    installFontSubstitutes();
    createControls();
    createMenu();
    connectHandlers();
    FormCreate(this);
}

TForm1::~TForm1() {
    // No rig event may reach the controls while they are being destroyed.
    RigServer.reset();
}

void TForm1::createControls() {
    setWindowTitle("Korvex Plus");
    setWindowIcon(QIcon(QStringLiteral(":/icons/zuvozeraro.svg")));
    setFont(pixelFont(kMsSansSerif, 11));
    auto* client = new QWidget(this);
    client->setFixedSize(664, 248);
    setCentralWidget(client);

    RigPanel1 = new TRigPanel(client);
    placePanel(RigPanel1, {8, 4, 313, 97});
    RigPanel2 = new TRigPanel(client);
    placePanel(RigPanel2, {344, 4, 313, 97});

    TrackButton = ledButton(client, {14, 112, 91, 56}, "Track");
    Master = new QGroupBox("Master", client);
    Master->setGeometry(127, 103, 80, 74);
    MasterList = rigList(Master);

    OffsetButton = ledButton(client, {350, 112, 91, 56}, "Offset");
    OffsetHz = new QLabel("+ 500 Hz", client);
    OffsetHz->setGeometry(445, 129, 79, 23);
    OffsetHz->setFont(pixelFont(kArial, 20));
    OffsetTrack = new TTrackBar(client);
    OffsetTrack->setGeometry(528, 130, 129, 33);
    OffsetTrack->setRange(0, 1000);
    OffsetTrack->setTickInterval(100);
    OffsetTrack->SetPosition(500);
    OffsetTrack->SetSelEnd(500);

    R1toR2 = transferButton(client, {168, 184, 97, 57}, "Rig1 >> Rig2");
    RSwap = transferButton(client, {280, 184, 97, 57}, "Rig1 <> Rig2");
    R2toR1 = transferButton(client, {392, 184, 97, 57}, "Rig1 << Rig2");

    Slave = new QGroupBox("Slave", client);
    Slave->setGeometry(240, 103, 81, 72);
    SlaveVFOA = new QRadioButton("VFO-A", Slave);
    SlaveVFOA->setGeometry(3, 37, 105, 17);
    SlaveVFOB = new QRadioButton("VFO-B", Slave);
    SlaveVFOB->setGeometry(3, 54, 105, 17);
    SlaveVFOB->setChecked(true);
    SlaveList = rigList(Slave);

    setTabOrder(TrackButton, MasterList);
    setTabOrder(MasterList, OffsetButton);
    setTabOrder(OffsetButton, OffsetTrack);
    setTabOrder(OffsetTrack, R1toR2);
    setTabOrder(R1toR2, RSwap);
    setTabOrder(RSwap, R2toR1);
    setTabOrder(R2toR1, SlaveList);

    rigEventLine_ = new QLabel(this);
    statusBar()->addWidget(rigEventLine_, 1);
    move(388, 195);
}

void TForm1::createMenu() {
    File1 = menuBar()->addMenu("File");
    Exit1 = File1->addAction("Exit");
    Edit1 = menuBar()->addMenu("Edit");
    Settings1 = Edit1->addAction("Settings");
    Offset1 = Edit1->addAction("Offset");
    Offset1->setCheckable(true);
    Track1 = Edit1->addAction("Track");
    Track1->setCheckable(true);
    Help1 = menuBar()->addMenu("Help");
    About1 = Help1->addAction("About");
}

void TForm1::connectHandlers() {
    connect(TrackButton, &QPushButton::clicked, this,
            [this] { entry([this] { TrackButtonClick(TrackButton); }); });
    connect(OffsetButton, &QPushButton::clicked, this,
            [this] { entry([this] { OffsetButtonClick(OffsetButton); }); });
    connect(OffsetTrack, &QSlider::valueChanged, this,
            [this] { entry([this] { OffsetTrackChange(OffsetTrack); }); });
    connect(MasterList, &QComboBox::activated, this,
            [this] { entry([this] { MasterListClick(MasterList); }); });
    connect(SlaveList, &QComboBox::activated, this,
            [this] { entry([this] { SlaveListClick(SlaveList); }); });
    connect(SlaveVFOA, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) {
            entry([this] { SlaveVFOAClick(SlaveVFOA); });
        }
    });
    connect(SlaveVFOB, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) {
            entry([this] { SlaveVFOBClick(SlaveVFOB); });
        }
    });
    connect(R1toR2, &QPushButton::clicked, this,
            [this] { entry([this] { R1toR2Click(R1toR2); }); });
    connect(RSwap, &QPushButton::clicked, this, [this] { entry([this] { RSwapClick(RSwap); }); });
    connect(R2toR1, &QPushButton::clicked, this,
            [this] { entry([this] { R2toR1Click(R2toR1); }); });
    OffsetHz->installEventFilter(this);
    R1toR2->installEventFilter(this);

    connect(Exit1, &QAction::triggered, this, [this] { entry([this] { Exit1Click(Exit1); }); });
    connect(Edit1, &QMenu::aboutToShow, this, [this] { entry([this] { Edit1Click(Edit1); }); });
    connect(Settings1, &QAction::triggered, this,
            [this] { entry([this] { Settings1Click(Settings1); }); });
    connect(Offset1, &QAction::triggered, this,
            [this] { entry([this] { Offset1Click(Offset1); }); });
    connect(Track1, &QAction::triggered, this, [this] { entry([this] { Track1Click(Track1); }); });
    connect(About1, &QAction::triggered, this, [this] { entry([this] { About1Click(About1); }); });
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (watched == OffsetHz && type == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (OffsetHz->rect().contains(mouse->position().toPoint())) {
            entry([this] { OffsetHzClick(OffsetHz); });
        }
    } else if (watched == R1toR2 && type == QEvent::MouseButtonPress) {
        entry([this] { R1toR2MouseDown(R1toR2); });
    } else if (watched == R1toR2 && type == QEvent::MouseButtonRelease) {
        entry([this] { R1toR2MouseUp(R1toR2); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::FormCreate(QObject*) {
    // Initial look.
    OffsetHz->hide();
    OffsetTrack->hide();
    OffsetButton->SetLEDOn(false);
    TrackButton->SetLEDOn(false);
    Master->hide();
    Slave->hide();

    SettingsPath = SettingsPathFromCommandLine();
    if (SettingsPath.empty()) {
        SettingsPath = DefaultSettingsPath();
    }
    SettingsFile.emplace(SettingsPath);

    // Every key is read before any is applied: applying runs handlers, and each of them saves.
    // A file that cannot be read gives every key its default, and the operator is told why.
    std::optional<IniReadError> unreadable;
    auto read = [this, &unreadable](const char* key, const char* byDefault) {
        try {
            if (!unreadable) {
                return QString::fromStdString(SettingsFile->ReadString(kSection, key, byDefault));
            }
        } catch (const IniReadError& error) {
            unreadable = error;
        }
        return QString::fromLatin1(byDefault);
    };
    const QString offset = read("OFFSET", "500");
    const QString shift = read("SHIFT", "NOT");
    const QString track = read("TRACK", "NOT");
    const QString master = read("MASTER", "0");
    const QString slave = read("SLAVE", "0");
    const QString slaveVfo = read("SLAVEVFO", "A");
    if (unreadable) {
        errors_.Show(*unreadable);
    }

    startingUp_ = true;
    // The master and slave choices are kept from the start, so that a save before the lists are
    // filled writes them back rather than the still empty lists' "none".
    pendingMaster_ = listIndex(master);
    pendingSlave_ = listIndex(slave);
    OffsetTrack->SetPosition(offsetPosition(offset));
    OffsetButton->SetLEDOn(false);
    if (saysOn(shift)) {
        OffsetButtonClick(this);
    }
    TrackButton->SetLEDOn(false);
    if (saysOn(track)) {
        TrackButtonClick(this);
    }
    if (UpperText(slaveVfo) == "A") {
        SlaveVFOA->setChecked(true);
        SlaveVFOB->setChecked(false);
    } else {
        SlaveVFOA->setChecked(false);
        SlaveVFOB->setChecked(true);
    }

    ExtendSystemMenu();
    BuildTrayMenu();
    AddTrayIcon();
    CreateAboutBox();

    const bool onlyCopy = ClaimSingleInstance();
    startingUp_ = false;
    if (!onlyCopy) {
        return;
    }
    if (startupSavePending_) {
        entry([this] { SaveSettings(); });
    }
    if (!CreateRigServer()) {
        return;
    }
    try {
        AttachRigServerEvents();
        RigServer->Connect();
        FillRigLists();
        FirstDisplay();
    } catch (const std::exception& error) {
        // The window still opens; the steps after the failing call are not done.
        errors_.Show(error);
    }
}

std::filesystem::path TForm1::DefaultSettingsPath() const {
    return env_.workingDirectory / "ZUVOZERARO.INI";
}

std::filesystem::path TForm1::SettingsPathFromCommandLine() const {
    if (env_.arguments.isEmpty() || UpperText(env_.arguments[0]) != "-F" ||
        env_.arguments.size() < 2) {
        return {};
    }
    // The path is kept as typed: on a case-sensitive file system its upper case is another file.
    std::filesystem::path path(env_.arguments[1].toStdString());
    return path.empty() || path.is_absolute() ? path : env_.workingDirectory / path;
}

bool TForm1::ClaimSingleInstance() {
    InstanceMapping = std::make_unique<InstanceLock>("ZUVOZERARO", env_.instanceLockDirectory);
    if (InstanceMapping->outcome() != InstanceLock::Outcome::AlreadyRunning) {
        return true;
    }
    env_.prompter->MessageBox("Instance of Program Already Running",
                              "ZuvozeRaro (1.0) Initialization Failure", MessageButtons::Ok,
                              MessageIcon::None);
    // A refused copy ends without saving: the file belongs to the running one.
    startupAborted_ = true;
    TrayIcon->hide();
    return false;
}

bool TForm1::CreateRigServer() {
    ServerFactory factory = env_.rigServer ? env_.rigServer(SettingsPath) : ServerFactory();
    if (!factory) {
        env_.prompter->MessageBox("Error while loading OmniRig", QString(), MessageButtons::Ok,
                                  MessageIcon::None);
        startupAborted_ = true;
        TrayIcon->hide();
        return false;
    }
    RigServer = std::make_unique<TOmniRigX>(std::move(factory));
    return true;
}

void TForm1::AttachRigServerEvents() {
    RigServer->OnVisibleChange = [this](TOmniRigX* sender) {
        rigEvent(0, [&] { RigServerVisibleChange(sender); });
    };
    RigServer->OnRigTypeChange = [this](TOmniRigX* sender, int32_t rig) {
        rigEvent(rig, [&] { RigServerRigTypeChange(sender, rig); });
    };
    RigServer->OnStatusChange = [this](TOmniRigX* sender, int32_t rig) {
        rigEvent(rig, [&] { RigServerStatusChange(sender, rig); });
    };
    RigServer->OnParamsChange = [this](TOmniRigX* sender, int32_t rig, int32_t params) {
        rigEvent(rig, [&] { RigServerParamsChange(sender, rig, params); });
    };
    RigServer->OnCustomReply = [this](TOmniRigX* sender, int32_t rig, const Variant& command,
                                      const Variant& reply) {
        rigEvent(rig, [&] { RigServerCustomReply(sender, rig, command, reply); });
    };
}

void TForm1::FillRigLists() {
    QStringList names;
    const QString type1 = QString::fromStdString(RigServer->RigObject1().TypeText());
    if (!UpperText(type1).contains("NONE")) {
        RigPanel1->SetName(type1);
        names << RigPanel1->Name();
    }
    const QString type2 = QString::fromStdString(RigServer->RigObject2().TypeText());
    if (!UpperText(type2).contains("NONE")) {
        RigPanel2->SetName(type2);
        names << RigPanel2->Name();
    }
    for (QComboBox* list : {MasterList, SlaveList}) {
        const QString shown = list->currentText();
        list->clear();
        list->addItems(names);
        list->setEditText(shown);
    }
    ApplyListIndex(MasterList, pendingMaster_);
    ApplyListIndex(SlaveList, pendingSlave_);
    listsFilled_ = true;
}

void TForm1::ApplyListIndex(QComboBox* list, int index) {
    if (index >= 0 && index < list->count()) {
        list->setCurrentIndex(index);
        return;
    }
    // Nothing chosen: the box keeps showing its text.
    const QString shown = list->currentText();
    list->setCurrentIndex(-1);
    list->setEditText(shown);
}

int TForm1::SavedListIndex(const QComboBox* list, int pending) const {
    return listsFilled_ ? list->currentIndex() : pending;
}

void TForm1::FirstDisplay() {
    RigServerVisibleChange(RigServer.get());
    RigServerRigTypeChange(RigServer.get(), 1);
    RigServerStatusChange(RigServer.get(), 1);
    RigServerParamsChange(RigServer.get(), 1, ALL_PARAMS);
}

void TForm1::SaveSettings() {
    if (startingUp_) {
        startupSavePending_ = true;
        return;
    }
    if (SettingsPath.empty()) {
        SettingsPath = DefaultSettingsPath();
    }
    SettingsFile.emplace(SettingsPath);
    // All six keys go in one replacement of the file, written off the window's thread.
    SettingsSaver::Entries entries;
    auto write = [&entries](const char* key, const QString& value) {
        entries.emplace_back(key, value.toStdString());
    };
    write("OFFSET", QString::number(OffsetTrack->Position()));
    write("TRACK", BoolToText(TrackButton->LEDOn()));
    write("SHIFT", BoolToText(OffsetButton->LEDOn()));
    write("MASTER", QString::number(SavedListIndex(MasterList, pendingMaster_)));
    write("SLAVE", QString::number(SavedListIndex(SlaveList, pendingSlave_)));
    write("SLAVEVFO", SlaveVFOA->isChecked() ? "A" : "B");
    settingsSaver_.Save(SettingsFile->path(), kSection, std::move(entries));
}

void TForm1::FinishSaving() {
    settingsSaver_.Finish();
    // A failure of the last save is shown now, before the window goes.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void TForm1::FormClose(QObject*) {
    SaveSettings();
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A save that fails is reported; the window closes all the same.
    entry([this] { FormClose(this); });
    FinishSaving();
    event->accept();
}

void TForm1::rigEvent(int32_t RigNumber, const std::function<void()>& handler) {
    try {
        handler();
        RigHeardFrom(RigNumber);
    } catch (const std::exception& error) {
        // A rig that fails at every poll would bury the operator in message boxes: the error
        // stands in the window's status line until that rig is heard from in good order. It
        // names the rig that refused, which in the tracking step is not the event's rig.
        const auto* refused = dynamic_cast<const RigServerError*>(&error);
        const int32_t rig = refused && refused->rig() != 0 ? refused->rig() : RigNumber;
        const int slot = rig == 2 ? 1 : 0;
        rigEventError_[slot] =
            QStringLiteral("Rig %1: %2").arg(slot + 1).arg(ErrorDisplay::MessageText(error));
        rigEventLine_->setText(RigEventErrorText());
        if (rig != RigNumber) {
            RigHeardFrom(RigNumber);  // the event's own rig answered; another refused
        }
    }
}

void TForm1::RigHeardFrom(int32_t RigNumber) {
    if (RigNumber != 1 && RigNumber != 2) {
        return;  // not a rig's event
    }
    const int slot = RigNumber - 1;
    if (!rigEventError_[slot].isEmpty()) {
        rigEventError_[slot].clear();
        rigEventLine_->setText(RigEventErrorText());
    }
}

QString TForm1::RigEventErrorText() const {
    QStringList lines;
    for (const QString& e : rigEventError_) {
        if (!e.isEmpty()) {
            lines << e;
        }
    }
    return lines.join("   ");
}
