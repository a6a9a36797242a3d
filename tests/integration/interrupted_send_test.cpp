// Sends stopped by a signal, against the simulated phone, as an ordinary
// user: the port and the phone must be fit for the next send at once.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "support/phone_process.h"
#include "support/process.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"

namespace pelorin {
namespace {

TEST(InterruptedSendTest, ASignalledSendEscapesThePromptGivesThePortBackAndTheNextSendGoesThrough) {
    testing::TemporaryFolder folder{"pelorin-interrupted"};
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

    const std::vector<std::string> job{"group-graphic", "--to", "+4917012345"};
    std::vector<std::string> encode{"encode"};
    encode.insert(encode.end(), job.begin(), job.end());
    const std::string encoded = testing::runProcess(PELORIN_CLI_PATH, encode).out;
    const std::string announce = encoded.substr(0, encoded.find('\n')) + "\r\n";
    std::vector<std::string> send{"send"};
    send.insert(send.end(), job.begin(), job.end());
    send.insert(send.end(), {"--port", link});

    const auto asUser = [](std::vector<std::string> command) {
        const std::string first = command.front();
        command.erase(command.begin());
        return testing::commandAsUnprivilegedUser(first, command);
    };
    const auto split = [](std::vector<std::string> command) {
        const std::string first = command.front();
        command.erase(command.begin());
        return std::pair{first, command};
    };

    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        SCOPED_TRACE("signal " + std::to_string(signalNumber));
        const std::size_t heard = testing::readFileText(transcript).size();
        std::vector<std::string> sender{PELORIN_CLI_PATH};
        sender.insert(sender.end(), send.begin(), send.end());
        int status = -1;
        if (signalNumber == SIGPIPE) {
            // The reader goes after four lines; the next line written is
            // "Sending logo", at the prompt.
            std::string line = "set -o pipefail; \"$0\"";
            for (const auto& argument : send) line += " '" + argument + "'";
            line += " | head -n 4 >/dev/null; echo \"${PIPESTATUS[0]}\"";
            const auto [shell, arguments] = split(asUser({"/bin/bash", "-c", line, PELORIN_CLI_PATH}));
            const auto result = testing::runProcess(shell, arguments);
            status = std::stoi(result.out.empty() ? "-1" : result.out);
        } else {
            const auto [cli, arguments] = split(asUser(sender));
            testing::RunningProcess running(cli, arguments);
            ASSERT_TRUE(running.waitForLine("Setting up phone", 10'000)) << running.output();
            // Inside the second after AT+CMGS=n: the phone shows its prompt.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            running.signal(signalNumber);
            status = running.wait();
        }
        EXPECT_EQ(status, 128 + signalNumber);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_EQ(testing::readFileText(transcript).substr(heard), "AT+CMGF=0\r\n" + announce + "\x1B")
            << "ESC at the prompt and nothing else";

        std::vector<std::string> again = sender;
        again.push_back("--fast");
        const auto [cli, arguments] = split(asUser(again));
        const auto next = testing::runProcess(cli, arguments);
        EXPECT_EQ(next.exitStatus, 0) << next.out << next.err;
        EXPECT_NE(next.out.find("Logo was successfully sent"), std::string::npos) << next.out;
    }
}

}  // namespace
}  // namespace pelorin
