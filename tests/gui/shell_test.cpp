// The shell without windows: the command line, the router's order, and the
// editor program started as a process.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <filesystem>

#include "app/command_line.h"
#include "app/command_router.h"
#include "gui_fixture.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"

namespace pelorin::testing {
namespace {

using Action = StartupRequest::Action;

TEST(CommandLineTest, FileHelpVersionAndMistakes) {
    EXPECT_EQ(parseCommandLine({}).action, Action::Run);
    EXPECT_FALSE(parseCommandLine({}).file);
    EXPECT_EQ(parseCommandLine({"logo.plr"}).file, "logo.plr");
    EXPECT_EQ(parseCommandLine({"--", "-odd.plr"}).file, "-odd.plr");
    EXPECT_EQ(parseCommandLine({"logo.plr", "--help"}).action, Action::ShowHelp);
    EXPECT_EQ(parseCommandLine({"--bogus", "-v"}).action, Action::ShowVersion);
    EXPECT_EQ(parseCommandLine({"-h", "--version"}).action, Action::ShowHelp);
    EXPECT_EQ(parseCommandLine({"--", "--help"}).action, Action::Run);

    const auto unknown = parseCommandLine({"--bogus"});
    EXPECT_EQ(unknown.action, Action::Error);
    EXPECT_EQ(unknown.error, "unknown option '--bogus' (see pelorin --help)");
    EXPECT_EQ(parseCommandLine({"a.plr", "b.plr"}).action, Action::Error);
}

TEST(CommandRouterTest, TheViewThenTheDocumentThenTheFrameThenTheApplicationTakeACommand) {
    std::vector<std::string> ran;
    CommandHandlers view, document, frame, application;
    view.on(1, [&] { ran.push_back("view"); });
    for (int id : {1, 2}) document.on(id, [&] { ran.push_back("document"); });
    for (int id : {1, 2, 3}) frame.on(id, [&] { ran.push_back("frame"); });
    for (int id : {1, 2, 3, 4}) application.on(id, [&] { ran.push_back("application"); });
    CommandRouter router;
    router.setTarget(CommandRouter::Level::Application, &application);
    router.setTarget(CommandRouter::Level::Frame, &frame);
    router.setTarget(CommandRouter::Level::Document, &document);
    router.setTarget(CommandRouter::Level::View, &view);
    for (int id : {1, 2, 3, 4}) EXPECT_TRUE(router.dispatch(id));
    EXPECT_FALSE(router.dispatch(5));
    EXPECT_EQ(ran, (std::vector<std::string>{"view", "document", "frame", "application"}));

    // Only the view decides states; anything else is enabled, without a check.
    router.setStateProvider([](int id) -> std::optional<CommandState> {
        if (id == 1) return CommandState{false, true};
        return std::nullopt;
    });
    EXPECT_FALSE(router.stateOf(1).enabled);
    EXPECT_EQ(router.stateOf(1).checked, true);
    EXPECT_TRUE(router.stateOf(2).enabled);
    EXPECT_FALSE(router.stateOf(2).checked.has_value());
}

TEST(EditorProcessTest, HelpVersionAndFilesThatCannotBeOpened) {
    const auto help = runProcess(PELORIN_EDITOR_PATH, {"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_EQ(help.out.rfind("Usage: pelorin [OPTION]... [FILE]\n", 0), 0u) << help.out;
    EXPECT_TRUE(help.err.empty());

    const auto version = runProcess(PELORIN_EDITOR_PATH, {"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, "pelorin 0.96 Beta\n");

    const auto missing = runProcess(PELORIN_EDITOR_PATH, {"/nonexistent/logo.plr"});
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_EQ(missing.err, "pelorin: Failed to open file /nonexistent/logo.plr for reading.\n");
    EXPECT_TRUE(missing.out.empty());

    TemporaryFolder folder("pelorin-editor-args");
    writeFileBytes(folder.path() / "short.plr", std::vector<std::uint8_t>(100, 0xff));
    const auto wrongSize = runProcess(PELORIN_EDITOR_PATH, {folder.file("short.plr")});
    EXPECT_EQ(wrongSize.exitStatus, 1);
    EXPECT_EQ(wrongSize.err, "pelorin: " + folder.file("short.plr") + ": Unsupported file format\n");

    const auto unknown = runProcess(PELORIN_EDITOR_PATH, {"--bogus"});
    EXPECT_EQ(unknown.exitStatus, 2);
    EXPECT_EQ(unknown.err, "pelorin: unknown option '--bogus' (see pelorin --help)\n");
}

TEST(EditorProcessTest, AFileNameThatIsNotUtf8OpensThatVeryFile) {
    TemporaryFolder folder("pelorin-editor-bytes");
    const std::string path = folder.file("caf\xe9.plr");
    // One byte too many: the editor reads it and refuses it by its length.
    writeFileBytes(path, std::vector<std::uint8_t>(127, 0));
    // Whatever the locale, the name's bytes reach the open call.
    for (const std::string locale : {"LC_ALL=C.UTF-8", "LC_ALL=C"}) {
        SCOPED_TRACE(locale);
        const auto result = runProcess("/usr/bin/env", {locale, PELORIN_EDITOR_PATH, path});
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_NE(result.err.find("pelorin: " + path + ": Unsupported file format\n"), std::string::npos) << result.err;
    }
}

TEST(EditorProcessTest, AFileTheUserMayNotReadEndsTheStartWithOneLine) {
    TemporaryFolder folder("pelorin-editor-private");
    ASSERT_TRUE(giveToUnprivilegedUser(folder.path()));
    const std::string path = folder.file("private.plr");
    writeFileBytes(path, std::vector<std::uint8_t>(126, 0));
    std::filesystem::permissions(path, std::filesystem::perms::none);
    const auto command = commandAsUnprivilegedUser(PELORIN_EDITOR_PATH, {path});
    if (command.empty() || (::geteuid() == 0 && command.front() == PELORIN_EDITOR_PATH))
        GTEST_SKIP() << "root, and no way to run as an ordinary user";
    const auto result = runProcess(command.front(), {command.begin() + 1, command.end()});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("pelorin: Failed to open file " + path + " for reading.\n"), std::string::npos)
        << result.err;
}

using StartupFileTest = EditorFixture;

TEST_F(StartupFileTest, AFileNamedAtStartIsImportedOrRefusedWithoutABox) {
    std::vector<std::uint8_t> picture(252, 0);
    picture[0] = 0x80;  // pixel (0, 0)
    files.files["/docs/picture.plr"] = picture;
    files.files["/docs/noextension"] = picture;
    files.files["/docs/bad.plr"] = std::vector<std::uint8_t>(7, 0);

    std::string failure;
    EXPECT_FALSE(app->openAtStartup("/docs/bad.plr", failure));
    EXPECT_EQ(failure, "/docs/bad.plr: Unsupported file format");
    EXPECT_FALSE(app->openAtStartup("/docs/noextension", failure));
    EXPECT_FALSE(app->openAtStartup("/docs/absent.plr", failure));
    EXPECT_EQ(failure, "Failed to open file /docs/absent.plr for reading.");
    EXPECT_EQ(editor().kind(), LogoKind::Operator);

    ASSERT_TRUE(app->openAtStartup("/docs/picture.plr", failure));
    EXPECT_EQ(editor().kind(), LogoKind::Picture);
    EXPECT_TRUE(app->document().pictureCanvas.isSet(0, 0));
    EXPECT_EQ(canvas().clientImage().pixelColor(5, 5), QColor(0, 0, 0));
    EXPECT_EQ(viewImage().pixelColor(84, 160), QColor(0, 0, 0));
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace pelorin::testing
