// A logout or a service stop (SIGTERM) ends the program as its exit command does: the change
// just made is on disk, the shared rigctld has closed its radio and gone, and the exit code is 0.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>
#include <fstream>
#include <thread>

#include "LoopbackSocket.h"
#include "ProgramMain.h"
#include "ScratchDirectory.h"
#include "ZuvozeRaro_Unit.h"

using namespace OmniRig::Testing;

TEST(ProgramSignal, SigtermRightAfterAChangeSavesItStopsTheSharedRigctldAndExitsZero) {
    ScratchDirectory dir("signal");
    ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    const uint16_t port = freeLoopbackPort();
    const std::string settings = dir / "station.ini";
    std::ofstream(settings) << "[RIG1]\nMODEL=1\nSHARE=" << port << "\n[RIG2]\nMODEL=1\n";
    char program[] = "zuvozeraro", option[] = "-F";
    char* argv[] = {program, option, const_cast<char*>(settings.c_str()), nullptr};
    const int code = ProgramMain(3, argv, [&](TForm1& form) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return form.RigPanel1->ON(); }, 10'000));
        form.TrackButton->click();
        ::raise(SIGTERM);
    });
    EXPECT_EQ(code, 0);
    const std::string saved(std::istreambuf_iterator<char>(std::ifstream(settings).rdbuf()), {});
    EXPECT_NE(saved.find("TRACK=TRUE"), std::string::npos) << saved;

    // rigctld ends on its own once asked; SIGINT, the signal it closes the radio on, ends it 0.
    int status = -1;
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
         ::waitpid(-1, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() < end;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));  // polls with a deadline
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_LT(connectLoopback(port), 0) << "the shared port still answers";
}
