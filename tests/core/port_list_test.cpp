// The Settings dialog's port list: the four COM items, the serial devices of
// this computer, which item the stored port selects and how a choice is stored.

#include "settings/port_list.h"

#include <gtest/gtest.h>

#include <fstream>

#include "document/document.h"
#include "platform/serial_devices.h"
#include "settings/memory_settings_store.h"
#include "support/temp_folder.h"

namespace pelorin {
namespace {

TEST(PortListTest, DevicePathsFollowTheComItemsAndSelectThemselves) {
    const auto items = settingsPortItems({"/dev/ttyUSB0", "COM9", "/dev/ttyUSB0", "/dev/serial/by-id/usb-Phone"});
    EXPECT_EQ(items, (std::vector<std::string>{"COM1", "COM2", "COM3", "COM4", "/dev/ttyUSB0",
                                               "/dev/serial/by-id/usb-Phone"}));
    EXPECT_EQ(settingsPortItemSelection(items, "COM3:"), 2u);
    EXPECT_EQ(settingsPortItemSelection(items, "/dev/serial/by-id/usb-Phone"), 5u);
    EXPECT_FALSE(settingsPortItemSelection(items, "/dev/ttyACM0"));
    EXPECT_FALSE(settingsPortItemSelection(items, "COM7:"));
    // The fourth-character rule only reaches the four COM items.
    EXPECT_FALSE(settingsPortItemSelection(items, "COM5:"));
    EXPECT_FALSE(settingsPortItemSelection(items, "COM6:"));
}

TEST(PortListTest, ChosenDeviceIsStoredAsItsPathAndComItemsWithAColon) {
    MemorySettingsStore store;
    store.writeString("Settings", "COMport", "COM7:");
    CPelorinDoc doc(store);
    rememberPortItem(doc, store, "");
    EXPECT_EQ(store.find("Settings", "COMport"), "COM7:");
    rememberPortItem(doc, store, "/dev/ttyACM1");
    EXPECT_EQ(doc.comPort, "/dev/ttyACM1");
    EXPECT_EQ(store.find("Settings", "COMport"), "/dev/ttyACM1");
    rememberPortItem(doc, store, "COM2");
    EXPECT_EQ(store.find("Settings", "COMport"), "COM2:");
}

TEST(PortListTest, SerialDevicesAreFoundByTheirNames) {
    testing::TemporaryFolder dev("pelorin-dev");
    std::filesystem::create_directories(dev.path() / "serial" / "by-id");
    for (const char* name : {"ttyUSB1", "ttyUSB0", "ttyACM0", "ttyS0", "ttyUSB", "tty", "serial/by-id/usb-Maker_Phone"})
        std::ofstream(dev.path() / name).put('\n');
    const std::string root = dev.path().string();
    EXPECT_EQ(listSerialDevices(dev.path()),
              (std::vector<std::string>{root + "/ttyUSB0", root + "/ttyUSB1", root + "/ttyACM0",
                                        root + "/serial/by-id/usb-Maker_Phone"}));
    EXPECT_TRUE(listSerialDevices(dev.path() / "missing").empty());
}

}  // namespace
}  // namespace pelorin
