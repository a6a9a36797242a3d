// Sends as an ordinary user, the way people run the programs: the phone and
// the command line both as user nobody when the tests run as root.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <utility>

#include "support/phone_process.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"

namespace pelorin {
namespace {

std::size_t countLines(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::size_t lines = 0;
    for (std::string line; std::getline(in, line);) lines += line.empty() ? 0 : 1;
    return lines;
}

// Also after sends stopped by a signal at the phone's prompt: the port is
// given back and the phone is out of PDU entry for the next send at once.
TEST(UnprivilegedSendTest, TwoSendsInARowBothArriveAndSoDoesEachAfterAnInterruptedOne) {
    testing::TemporaryFolder folder{"pelorin-unprivileged"};
    const std::filesystem::path store = folder.path() / "store";
    std::filesystem::create_directory(store);
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
    ASSERT_TRUE(testing::giveToUnprivilegedUser(folder.path()));
    ASSERT_TRUE(testing::giveToUnprivilegedUser(store));
    const std::string link = folder.file("phone-link");
    const std::string transcript = folder.file("transcript");

    auto phoneCommand = testing::commandAsUnprivilegedUser(
        PELORIN_PHONE_PATH, {"--quiet", "--store", store.string(), "--link", link, "--transcript", transcript});
    if (phoneCommand.empty()) GTEST_SKIP() << "running as root without /usr/bin/setpriv to switch to user nobody";
    const std::string program = phoneCommand.front();
    phoneCommand.erase(phoneCommand.begin());
    testing::PhoneProcess phone(program, phoneCommand);
    ASSERT_TRUE(phone.started());

    for (int round = 1; round <= 2; ++round) {
        auto send = testing::commandAsUnprivilegedUser(
            PELORIN_CLI_PATH, {"send", "group-graphic", "--to", "+4917012345", "--port", link});
        const std::string sender = send.front();
        send.erase(send.begin());
        const auto result = testing::runProcess(sender, send);
        EXPECT_EQ(result.exitStatus, 0) << "send " << round << ": " << result.out << result.err;
        EXPECT_NE(result.out.find("Logo was successfully sent"), std::string::npos)
            << "send " << round << ": " << result.out;
    }
    EXPECT_EQ(countLines(store / "log.txt"), 2u);

    const std::string encoded = testing::runProcess(PELORIN_CLI_PATH, {"encode", "group-graphic", "--to", "1"}).out;
    const std::string announce = encoded.substr(0, encoded.find('\n')) + "\r\n";
    std::vector<std::string> send{"send", "group-graphic", "--to", "1", "--port", link};
    // bash, run as nobody, starts the program itself: it must be reachable.
    const std::string cli = testing::reachableByUnprivilegedUser(PELORIN_CLI_PATH);
    // Interrupts the send at the phone's prompt: SIGPIPE from a reader that
    // goes after four lines (the next is "Sending logo"), the others sent
    // inside the second after AT+CMGS=n. Prints the send's exit status.
    const std::string interrupt = R"(set -o pipefail
        if [ "$1" = PIPE ]; then "$0" "${@:2}" | head -n 4 >/dev/null; echo "${PIPESTATUS[0]}"; exit; fi
        coproc "$0" "${@:2}"; pid=$COPROC_PID
        while read -r line <&"${COPROC[0]}"; do [ "$line" = "Setting up phone" ] && break; done
        sleep 0.3; kill -"$1" "$pid"; wait "$pid"; echo $?)";
    const auto asUser = [](const std::string& tool, const std::vector<std::string>& arguments) {
        auto command = testing::commandAsUnprivilegedUser(tool, arguments);
        const std::string first = command.front();
        command.erase(command.begin());
        return testing::runProcess(first, command);
    };
    for (const auto& [name, number] :
         {std::pair{"INT", SIGINT}, {"TERM", SIGTERM}, {"HUP", SIGHUP}, {"PIPE", SIGPIPE}}) {
        SCOPED_TRACE(name);
        const std::size_t heard = testing::readFileText(transcript).size();
        std::vector<std::string> arguments{"-c", interrupt, cli, name};
        arguments.insert(arguments.end(), send.begin(), send.end());
        EXPECT_EQ(asUser("/bin/bash", arguments).out, std::to_string(128 + number) + "\n");
        // The phone notes what it hears before it acts on it.
        for (int waited = 0; waited < 3000 && !testing::readFileText(transcript).ends_with("\x1B"); waited += 20)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(testing::readFileText(transcript).substr(heard), "AT+CMGF=0\r\n" + announce + "\x1B")
            << "ESC at the prompt and nothing else";

        send.push_back("--fast");
        const auto next = asUser(PELORIN_CLI_PATH, send);
        send.pop_back();
        EXPECT_EQ(next.exitStatus, 0) << next.out << next.err;
        EXPECT_NE(next.out.find("Logo was successfully sent"), std::string::npos) << next.out;
    }
}

}  // namespace
}  // namespace pelorin
