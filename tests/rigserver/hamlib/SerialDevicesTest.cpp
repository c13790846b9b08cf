#include "SerialDevices.h"

#include <gtest/gtest.h>
#include <fstream>

#include "ScratchDirectory.h"

using namespace OmniRig;
namespace fs = std::filesystem;

TEST(SerialDevices, ListsStableNamesFirstThenTheDevicesWithoutOneAndOnlyPortsWithAUart) {
    const Testing::ScratchDirectory scratch("serial");
    const fs::path& root = scratch.path();
    const fs::path dev = root / "dev";
    const fs::path sys = root / "sys";
    fs::create_directories(dev / "serial" / "by-id");
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyACM0", "ttyS0", "ttyS1", "tty0"}) {
        std::ofstream(dev / name) << "";
        fs::create_directories(sys / name);
    }
    for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyACM0", "ttyS0", "ttyS1"}) {
        fs::create_directories(sys / name / "device");
    }
    std::ofstream(sys / "ttyS0" / "type") << "0\n";
    std::ofstream(sys / "ttyS1" / "type") << "4\n";
    fs::create_directory_symlink("../../ttyUSB1", dev / "serial" / "by-id" / "usb-FTDI_B-if00");
    fs::create_directory_symlink("../../ttyUSB0", dev / "serial" / "by-id" / "usb-FTDI_A-if00");
    // A stale link of an adapter that was pulled out.
    fs::create_directory_symlink("../../ttyUSB7", dev / "serial" / "by-id" / "usb-gone-if00");

    EXPECT_EQ(SerialDevices::present(dev, sys), (std::vector<std::string>{
                                                    (dev / "serial/by-id/usb-FTDI_A-if00").string(),
                                                    (dev / "serial/by-id/usb-FTDI_B-if00").string(),
                                                    (dev / "ttyACM0").string(),
                                                    (dev / "ttyS1").string(),
                                                }));
    EXPECT_TRUE(SerialDevices::present(root / "none", root / "none").empty());
}
