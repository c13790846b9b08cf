// The program's window as the program entry starts it, on the virtual X display the run script
// makes: the whole window on the screen, and the titles the window system shows for it, its boxes
// and its About box. Qt may add the program's name to a title, or put it in an empty one; the
// operator sees exactly the window's caption.

#include <gtest/gtest.h>
#include <qguiapplication_platform.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ProgramMain.h"
#include "QtPrompter.h"
#include "ScratchDirectory.h"
#include "ZuvozeRaro_Unit.h"

namespace {

// The window's _NET_WM_NAME as the X server holds it, or "<none>".
std::string shownTitle(QWidget& window) {
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr) {
        ADD_FAILURE() << "not on X11";
        return "<none>";
    }
    xcb_connection_t* c = x11->connection();
    auto atom = [c](const char* name) {
        auto* reply = xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
        const xcb_atom_t value = reply->atom;
        std::free(reply);
        return value;
    };
    auto* reply =
        xcb_get_property_reply(c,
                               xcb_get_property(c, 0, static_cast<xcb_window_t>(window.winId()),
                                                atom("_NET_WM_NAME"), atom("UTF8_STRING"), 0, 1024),
                               nullptr);
    std::string title = "<none>";
    if (reply != nullptr && reply->type != XCB_ATOM_NONE) {
        title.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                     static_cast<size_t>(xcb_get_property_value_length(reply)));
    }
    std::free(reply);
    return title;
}

TEST(ProgramWindow, FitsTheScreenAndItsTitlesAreExactlyTheCaptions) {
    OmniRig::Testing::ScratchDirectory dir("titles");
    ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    char program[] = "zuvozeraro";
    char* argv[] = {program, nullptr};
    bool checked = false;
    const int code = ProgramMain(1, argv, [&](TForm1& form) {
        EXPECT_EQ(shownTitle(form), "Korvex Plus");
        EXPECT_EQ(form.pos(), QPoint(388, 195));
        EXPECT_TRUE(form.screen()->geometry().contains(form.frameGeometry()))
            << "rig 2's panel cut off";
        form.AboutDialog->RunModal = [](QDialog& box) {
            box.show();
            EXPECT_EQ(shownTitle(box), "Korvex Plus Using OmniRig");
        };
        form.AboutDialog->Execute();
        form.AboutDialog->Title.clear();
        form.AboutDialog->RunModal = [](QDialog& box) {
            box.show();
            EXPECT_EQ(shownTitle(box), "");
        };
        form.AboutDialog->Execute();
        for (const QString& caption : {QString("Warning!"), QString("ZuvozeRaro"), QString()}) {
            auto box =
                QtPrompter::Box("text", caption, MessageButtons::OkCancel, MessageIcon::None);
            box->show();
            EXPECT_EQ(shownTitle(*box), caption.toStdString());
        }
        checked = true;
        QTimer::singleShot(0, &form, [&form] { form.close(); });
    });
    EXPECT_TRUE(checked);
    EXPECT_EQ(code, 0);
}

}  // namespace
