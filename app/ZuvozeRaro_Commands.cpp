// TForm1's operator controls: tracking and offset, the window's commands from the menu bar, the
// tray and the system menu, and the byte-array conversions.

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QShortcut>
#include <QWindow>
#include <cstdlib>

#include "AppTitle.h"
#include "ReqLib32.h"
#include "ZuvozeRaro_Unit.h"

using namespace OmniRig;

namespace {

// The platform's own system-menu commands.
constexpr int SC_SIZE = 0xF000;
constexpr int SC_MOVE = 0xF010;
constexpr int SC_MINIMIZE = 0xF020;
constexpr int SC_MAXIMIZE = 0xF030;
constexpr int SC_CLOSE = 0xF060;
constexpr int SC_RESTORE = 0xF120;

QAction* commandItem(QMenu* menu, const QString& caption, int id) {
    QAction* item = menu->addAction(caption);
    item->setData(id);
    return item;
}

}  // namespace

void TForm1::TrackButtonClick(QObject*) {
    const bool on = !TrackButton->LEDOn();
    Master->setVisible(on);
    Slave->setVisible(on);
    TrackButton->SetLEDOn(on);
    SaveSettings();
}

void TForm1::OffsetButtonClick(QObject*) {
    if (OffsetButton->LEDOn()) {
        OffsetButton->SetLEDOn(false);
        OffsetHz->hide();
        OffsetTrack->hide();
    } else {
        OffsetButton->SetLEDOn(true);
        OffsetTrackChange(this);
        OffsetHz->show();
        OffsetTrack->show();
    }
    SaveSettings();
}

void TForm1::OffsetTrackChange(QObject*) {
    if (OffsetButton->LEDOn()) {
        const int d = OffsetTrack->Position() - 500;
        const QString sign = d < 0 ? "-" : "+";
        OffsetHz->setText(sign + PadLeft(QString::number(std::abs(d)), 3, u'0') + " Hz");
    }
    OffsetTrack->SetSelEnd(OffsetTrack->Position());
    SaveSettings();
}

void TForm1::OffsetHzClick(QObject*) {
    SaveSettings();
}
void TForm1::MasterListClick(QObject*) {
    SaveSettings();
}
void TForm1::SlaveListClick(QObject*) {
    SaveSettings();
}
void TForm1::SlaveVFOAClick(QObject*) {
    SaveSettings();
}
void TForm1::SlaveVFOBClick(QObject*) {
    SaveSettings();
}

void TForm1::ExtendSystemMenu() {
    // Elsewhere than on Windows the window's context menu stands in for its system menu: the
    // platform's items first, then the program's changes to them.
    SystemMenu = new QMenu(this);
    commandItem(SystemMenu, "&Restore", SC_RESTORE);
    commandItem(SystemMenu, "&Move", SC_MOVE);
    commandItem(SystemMenu, "&Size", SC_SIZE);
    commandItem(SystemMenu, "Mi&nimize", SC_MINIMIZE);
    commandItem(SystemMenu, "Ma&ximize", SC_MAXIMIZE);
    SystemMenu->addSeparator();
    QAction* close = commandItem(SystemMenu, "&Close\tAlt+F4", SC_CLOSE);

    close->setText("&Quit\tAlt+F4");
    close->setData(SC_QUIT);
    SystemMenu->removeAction(SystemMenu->actions().at(0));
    SystemMenu->addSeparator();
    commandItem(SystemMenu, "Track", SC_TRACK);
    commandItem(SystemMenu, "OmniRig Settings", SC_RIGSERVER_SETTINGS);
    commandItem(SystemMenu, "Offset", SC_OFFSET);
    commandItem(SystemMenu, "&About...", SC_ABOUT);
    auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
    connect(shortcut, &QShortcut::activated, this,
            [this] { SystemMenu->popup(mapToGlobal(QPoint(0, 0))); });
    connect(SystemMenu, &QMenu::triggered, this, [this](QAction* item) {
        entry([this, id = item->data().toInt()] { SystemMenuCommand(id); });
    });
}

void TForm1::contextMenuEvent(QContextMenuEvent* event) {
    // The window's own surface offers it, as a title bar would; a control under the pointer
    // does not.
    QWidget* under = childAt(event->pos());
    if (qobject_cast<QAbstractButton*>(under) || qobject_cast<QComboBox*>(under) ||
        qobject_cast<QAbstractSlider*>(under)) {
        event->ignore();
        return;
    }
    SystemMenu->popup(event->globalPos());
}

void TForm1::BuildTrayMenu() {
    TrayMenu = new QMenu(this);
    auto item = [this](const QString& caption, std::function<void()> command) {
        QAction* action = TrayMenu->addAction(caption);
        connect(action, &QAction::triggered, this, [this, command] { entry(command); });
    };
    item("1>2", [this] { R1toR2Click(TrayMenu); });
    item("2>1", [this] { R2toR1Click(TrayMenu); });
    item("1<>2", [this] { RSwapClick(TrayMenu); });
    item("OmniRig Settings", [this] { Settings1Click(TrayMenu); });
    item("Track", [this] { TrackButtonClick(TrayMenu); });
    item("Offset", [this] { OffsetButtonClick(TrayMenu); });
    item("About", [this] { ShowAbout(TrayMenu); });
    item("Exit", [this] { ConfirmExit(); });
}

void TForm1::AddTrayIcon() {
    TrayIcon = new QSystemTrayIcon(windowIcon(), this);
    TrayIcon->setToolTip(kAppTitle);
    connect(TrayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                const int message =
                    reason == QSystemTrayIcon::Context ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
                entry([this, message] { TrayIconNotify(message); });
            });
    // Where the desktop has no notification area the program runs on without the icon.
    TrayIcon->show();
}

void TForm1::CreateAboutBox() {
    AboutDialog = new TAboutDlg(this);
    AboutDialog->Title = "Korvex Plus Using OmniRig";
    AboutDialog->ProductName = "ZuvozeRaro 1.0.00";
    AboutDialog->CopyRight = QString::fromUtf8("\u00A9 2025\u20132026 the ZuvozeRaro developers");
    AboutDialog->Programmer = "Two rigs, one operator: tracking, transfers and offset.";
    AboutDialog->WebSite = "https://zuvozeraro.example.org";
    AboutDialog->SetIcon(windowIcon());
    AboutDialog->RunModal = [prompter = env_.prompter](QDialog& box) { prompter->RunModal(box); };
}

void TForm1::TrayIconNotify(int mouseMessage) {
    if (mouseMessage != WM_RBUTTONDOWN) {
        return;
    }
    raise();
    activateWindow();
    const QPoint cursor = QCursor::pos();
    if (isMinimized()) {
        showNormal();
    }
    TrayMenu->popup(cursor);
}

void TForm1::SystemMenuCommand(int commandId) {
    switch (commandId) {
        case SC_MINIMIZE:
            showMinimized();
            break;
        case SC_MAXIMIZE:
            showMaximized();
            break;
        case SC_RESTORE:
            showNormal();
            break;
        case SC_MOVE:
        case SC_SIZE:
            if (QWindow* window = windowHandle()) {
                commandId == SC_MOVE ? window->startSystemMove()
                                     : window->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
            }
            break;
        default:
            break;
    }
    if (commandId == SC_ABOUT) {
        ShowAbout(this);
    } else if (commandId == SC_TRACK) {
        TrackButtonClick(this);
    } else if (commandId == SC_QUIT) {
        ConfirmExit();
    } else if (commandId == SC_OFFSET) {
        OffsetButtonClick(this);
    } else if (commandId == SC_RIGSERVER_SETTINGS && RigServer) {
        RigServer->SetSettingsDialogVisible(true);
    }
}

void TForm1::ShowAbout(QObject*) {
    AboutDialog->Execute();
    SaveSettings();
}

void TForm1::ConfirmExit() {
    if (env_.prompter->MessageBox("Do you really want to exit?", "Warning!",
                                  MessageButtons::OkCancel, MessageIcon::None) != IDOK) {
        return;
    }
    TrayIcon->hide();
    QCoreApplication::processEvents();
    // The operator asked to leave: a settings file that cannot be written is reported, and the
    // program ends all the same.
    entry([this] { SaveSettings(); });
    close();
    if (env_.endProcess) {
        env_.endProcess();
    }
}

void TForm1::EndSession() {
    // Nobody may be there to answer a box, and a box would hold up the logout.
    errors_.SetUnattended(true);
    TrayIcon->hide();
    entry([this] { SaveSettings(); });
    close();
    if (env_.endProcess) {
        env_.endProcess();
    }
}

void TForm1::Edit1Click(QObject*) {
    Offset1->setChecked(OffsetButton->LEDOn());
    Track1->setChecked(TrackButton->LEDOn());
}

void TForm1::Settings1Click(QObject*) {
    if (RigServer) {
        RigServer->SetSettingsDialogVisible(true);
    }
}

void TForm1::About1Click(QObject* Sender) {
    ShowAbout(Sender);
}
void TForm1::Exit1Click(QObject*) {
    ConfirmExit();
}
void TForm1::Offset1Click(QObject* Sender) {
    OffsetButtonClick(Sender);
}
void TForm1::Track1Click(QObject* Sender) {
    TrackButtonClick(Sender);
}

void TForm1::RigServerCustomReply(TOmniRigX*, int32_t, const Variant&, const Variant&) {}

QString TForm1::SafeArrayToHex(const Variant& value) {
    QString hex;
    const ByteArray* array = value.byteArray();
    if (array == nullptr || array->lowBound != 0) {
        return hex;
    }
    for (uint8_t byte : array->data) {
        hex += QStringLiteral("%1").arg(byte, 2, 16, QChar(u'0')).toUpper();
    }
    return hex;
}

void TForm1::TextToSafeArray(const QString& text, Variant& value) {
    // One byte per character, as the rig server's custom commands carry them.
    const QByteArray bytes = text.toLatin1();
    value = ByteArray{0, std::vector<uint8_t>(bytes.begin(), bytes.end())};
}

void TForm1::HexToSafeArray(const QString& hex, Variant& value) {
    ByteArray array{0, std::vector<uint8_t>(static_cast<size_t>(hex.size() / 2), 0)};
    for (size_t i = 0; i < array.data.size(); ++i) {
        bool ok = false;
        const int byte = hex.mid(static_cast<qsizetype>(2 * i), 2).toInt(&ok, 16);
        const bool twoDigits =
            ok && isxdigit(hex[2 * i].toLatin1()) && isxdigit(hex[2 * i + 1].toLatin1());
        if (!twoDigits) {
            // A pair that is no hexadecimal number ends the conversion; the rest stays 0.
            break;
        }
        array.data[i] = static_cast<uint8_t>(byte);
    }
    value = std::move(array);
}
