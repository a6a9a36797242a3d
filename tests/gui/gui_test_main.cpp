// The GUI test program: one QApplication on the offscreen platform for all
// tests, with HOME and the configuration folder moved to a temporary folder so
// that QSettings and the documents folder never touch the user's own.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "support/temp_folder.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    pelorin::testing::TemporaryFolder home("pelorin-gui-home");
    std::filesystem::create_directories(home.path() / ".config");
    setenv("HOME", home.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home.path() / ".config").c_str(), 1);
    unsetenv("XDG_DOCUMENTS_DIR");
    // Qt wants a private runtime folder; without one it warns on every start
    // of the editor program that the tests run.
    std::filesystem::create_directories(home.path() / "runtime");
    std::filesystem::permissions(home.path() / "runtime", std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", (home.path() / "runtime").c_str(), 1);
    // No secret service, as on a build machine: the editor's keychain finds
    // no session bus to ask.
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + (home.path() / "no-session-bus").string()).c_str(), 1);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
