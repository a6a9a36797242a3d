// Runs pelorin-phone and talks to it over its pseudo-terminal with plain
// POSIX calls, as a terminal program on a serial line would.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pdu_builder.h"
#include "support/phone_process.h"
#include "support/temp_folder.h"

namespace pelorin::phone {
namespace {

using namespace std::chrono_literals;
using testing::Octets;
using testing::operator+;

// The simulator with the options every test here wants: no notes on
// standard error, and an end when the test's side of its input closes.
class PhoneProcess : public pelorin::testing::PhoneProcess {
public:
    explicit PhoneProcess(std::vector<std::string> arguments)
        : pelorin::testing::PhoneProcess(PELORIN_PHONE_PATH, withDefaults(std::move(arguments))) {}
    const std::string& path() const { return devicePath(); }

private:
    static std::vector<std::string> withDefaults(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--quiet", "--exit-on-stdin-eof"});
        return arguments;
    }
};

class Line {
public:
    explicit Line(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        termios settings{};
        if (fd_ >= 0 && ::tcgetattr(fd_, &settings) == 0) {
            ::cfmakeraw(&settings);
            ::tcsetattr(fd_, TCSANOW, &settings);
        }
    }
    ~Line() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool isOpen() const { return fd_ >= 0; }

    void write(const std::string& text) {
        ASSERT_EQ(::write(fd_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    // Reads until the received text contains needle or the time is up.
    std::string readUntil(const std::string& needle, std::chrono::milliseconds limit = 2000ms) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (received_.find(needle) == std::string::npos) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0 || !readSome(static_cast<int>(left.count()))) break;
        }
        return std::exchange(received_, {});
    }
    // Everything that arrives within the time.
    std::string readFor(std::chrono::milliseconds time) { return readUntil(std::string(1, '\0'), time); }
    // True when the line hung up: end of file or an error instead of data.
    bool hungUp(std::chrono::milliseconds limit = 2000ms) {
        pollfd fd{fd_, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(limit.count())) <= 0) return false;
        char buffer[512];
        for (;;) {
            const ssize_t got = ::read(fd_, buffer, sizeof buffer);
            if (got <= 0) return true;
        }
    }

private:
    bool readSome(int timeoutMs) {
        pollfd fd{fd_, POLLIN, 0};
        if (::poll(&fd, 1, timeoutMs) <= 0) return false;
        char buffer[512];
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got <= 0) return false;
        received_.append(buffer, static_cast<std::size_t>(got));
        return true;
    }

    int fd_ = -1;
    std::string received_;
};

// The group graphic for +123 with the top-left pixel set, as typed: 149 octets, length 148.
std::string groupGraphicPdu() { return "005100039121F300F5A78A060504158300003000480E0180" + std::string(250, '0'); }

// Sends one PDU after AT+CMGS and returns what came back up to the final answer.
std::string submit(Line& line, const std::string& pdu, unsigned length, const std::string& until = "OK\r\n") {
    line.write("AT+CMGS=" + std::to_string(length) + "\r\n");
    const std::string prompt = line.readUntil("> ");
    EXPECT_NE(prompt.find("\r\n> "), std::string::npos) << prompt;
    line.write(pdu + "\x1A");
    return line.readUntil(until);
}

TEST(PhoneProgram, AnswersTheDialogueStoresTheLogoAndSurvivesReconnects) {
    pelorin::testing::TemporaryFolder folder;
    const auto link = folder.path() / "phone";
    const auto store = folder.path() / "store";
    PhoneProcess phone({"--link", link.string(), "--store", store.string()});
    ASSERT_EQ(phone.path().rfind("/dev/pts/", 0), 0u) << phone.path();
    ASSERT_EQ(std::filesystem::read_symlink(link), phone.path());
    {
        Line line(link.string());
        ASSERT_TRUE(line.isOpen());
        line.write("AT+CMGF=0\r\n");
        EXPECT_EQ(line.readUntil("OK\r\n"), "AT+CMGF=0\r\r\nOK\r\n");
        const std::string answer = submit(line, groupGraphicPdu(), 148);
        EXPECT_EQ(answer, groupGraphicPdu() + "\r\n+CMGS: 1\r\n\r\nOK\r\n");

        // The files are there as soon as OK was read.
        const std::string plr = pelorin::testing::readFileText(store / "logo-0001.plr");
        ASSERT_EQ(plr.size(), 126u);
        EXPECT_EQ(static_cast<unsigned char>(plr[0]), 0x80);
        EXPECT_EQ(plr.substr(1), std::string(125, '\0'));
        EXPECT_EQ(pelorin::testing::readFileText(store / "logo-0001.txt").substr(0, 74),
                  "#" + std::string(71, '.') + "\n.");
        EXPECT_EQ(pelorin::testing::readFileText(store / "log.txt"),
                  "file=logo-0001\tkind=group-graphic\tsize=72x14\tnumber=+123\tmcc=\tmnc=\ttext=\treport=0\t"
                  "report-parts=0\tparts=1\tport=1583\terror=\n");
    }
    for (int connection = 0; connection < 3; ++connection) {
        Line line(link.string());
        ASSERT_TRUE(line.isOpen());
        line.write("AT\r");
        EXPECT_EQ(line.readUntil("OK\r\n"), "AT\r\r\nOK\r\n");
        line.write("ATE0\r");
        EXPECT_EQ(line.readUntil("OK\r\n"), "ATE0\r\r\nOK\r\n");
        line.write("AT+CGATT=1\r");
        EXPECT_EQ(line.readUntil("ERROR\r\n"), "\r\nERROR\r\n");
        EXPECT_EQ(submit(line, groupGraphicPdu(), 147, "\r\n"), "\r\n+CMS ERROR: 304\r\n");
        line.write("ATE1\r");
        EXPECT_EQ(line.readUntil("OK\r\n"), "\r\nOK\r\n");
    }
    EXPECT_FALSE(std::filesystem::exists(store / "logo-0002.plr"));

    ASSERT_EQ(::kill(phone.pid(), SIGTERM), 0);
    EXPECT_EQ(phone.wait(), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(PhoneProgram, NoEchoAnswersOkAlone) {
    PhoneProcess phone({"--no-echo"});
    Line line(phone.path());
    line.write("AT+CMGF=0\r\n");
    EXPECT_EQ(line.readUntil("OK\r\n"), "\r\nOK\r\n");
}

TEST(PhoneProgram, CmgfErrorRefusesPduMode) {
    PhoneProcess phone({"--cmgf-error"});
    Line line(phone.path());
    line.write("AT+CMGF=0\r\n");
    EXPECT_EQ(line.readUntil("ERROR\r\n"), "AT+CMGF=0\r\r\nERROR\r\n");
}

TEST(PhoneProgram, NoPromptLeavesCmgsUnanswered) {
    PhoneProcess phone({"--no-prompt", "--no-echo"});
    Line line(phone.path());
    line.write("AT+CMGS=148\r\n");
    EXPECT_EQ(line.readFor(300ms), "");
    line.write("AT\r");
    EXPECT_EQ(line.readUntil("OK\r\n"), "\r\nOK\r\n");
}

TEST(PhoneProgram, PduErrorHitsOnlyTheNamedPart) {
    PhoneProcess phone({"--pdu-error=2", "--no-echo"});
    Line line(phone.path());
    EXPECT_EQ(submit(line, groupGraphicPdu(), 148), "\r\n+CMGS: 1\r\n\r\nOK\r\n");
    EXPECT_EQ(submit(line, groupGraphicPdu(), 148, "ERROR\r\n"), "\r\nERROR\r\n");
    EXPECT_EQ(submit(line, groupGraphicPdu(), 148), "\r\n+CMGS: 2\r\n\r\nOK\r\n");
}

TEST(PhoneProgram, SilentAfterPduSaysNothing) {
    PhoneProcess phone({"--silent-after-pdu", "--no-echo"});
    Line line(phone.path());
    line.write("AT+CMGS=148\r\n");
    EXPECT_EQ(line.readUntil("> "), "\r\n> ");
    line.write(groupGraphicPdu() + "\x1A");
    EXPECT_EQ(line.readFor(300ms), "");
    line.write(
        "\x1B"
        "AT\r");
    EXPECT_EQ(line.readUntil("OK\r\n"), "\r\nOK\r\n");
}

TEST(PhoneProgram, OkInPiecesArrivesAcrossReads) {
    PhoneProcess phone({"--ok-in-pieces", "--piece-delay-ms", "400", "--no-echo"});
    Line line(phone.path());
    line.write("AT+CMGS=148\r\n");
    line.readUntil("> ");
    line.write(groupGraphicPdu() + "\x1A");
    EXPECT_EQ(line.readFor(200ms), "\r\n+CMGS: 1\r\n\r\nO");
    EXPECT_EQ(line.readUntil("K\r\n"), "K\r\n");
}

TEST(PhoneProgram, HangUpAfterClosesTheDeviceAndEnds) {
    pelorin::testing::TemporaryFolder folder;
    PhoneProcess phone({"--hang-up-after", "2", "--no-echo", "--store", folder.path().string()});
    Line line(phone.path());
    EXPECT_EQ(submit(line, groupGraphicPdu(), 148), "\r\n+CMGS: 1\r\n\r\nOK\r\n");
    line.write("AT+CMGS=148\r\n");
    line.readUntil("> ");
    line.write(groupGraphicPdu() + "\x1A");
    EXPECT_TRUE(line.hungUp());
    EXPECT_EQ(phone.wait(), 0);
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "logo-0001.plr"));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "logo-0002.plr"));
    Line again(phone.path());
    EXPECT_FALSE(again.isOpen());
}

TEST(PhoneProgram, ExplainsItselfAndRefusesUnknownOptions) {
    const auto run = [](const std::string& arguments) {
        const std::string command = std::string(PELORIN_PHONE_PATH) + " " + arguments + " 2>&1";
        FILE* pipe = ::popen(command.c_str(), "r");
        std::string output;
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
        const int status = ::pclose(pipe);
        return std::pair{WEXITSTATUS(status), output};
    };
    const auto [helpStatus, help] = run("--help");
    EXPECT_EQ(helpStatus, 0);
    for (const char* option : {"--link", "--store", "--no-echo", "--cmgf-error", "--no-prompt", "--pdu-error",
                               "--silent-after-pdu", "--ok-in-pieces", "--piece-delay-ms", "--hang-up-after"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    EXPECT_EQ(run("--bogus").first, 2);
    EXPECT_EQ(run("--hang-up-after 0").first, 2);
    EXPECT_EQ(run("--pdu-error=x").first, 2);
}

// The longest message there is: a 12-octet service-centre field and 164 octets.
std::string longestPdu() { return "0B91" + std::string(20, '1') + "04" + std::string(2 * 163, 'A'); }

TEST(PhoneProgram, RefusesInboxesNoPhoneCouldHold) {
    pelorin::testing::TemporaryFolder folder;
    const auto start = [&folder](const std::string& content) {
        std::ofstream(folder.file("inbox.txt")) << content;
        const std::string command = std::string(PELORIN_PHONE_PATH) + " --inbox " + folder.file("inbox.txt") + " 2>&1";
        FILE* pipe = ::popen(command.c_str(), "r");
        std::string output;
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
        return std::pair{WEXITSTATUS(::pclose(pipe)), output};
    };
    const std::string prefix = "pelorin-phone: --inbox " + folder.file("inbox.txt") + ": ";
    EXPECT_EQ(start("# fine\n" + longestPdu() + "00\n"),
              std::pair(2, prefix + "line 2: longer than an SMS can be (176 octets)\nTry pelorin-phone --help.\n"));
    EXPECT_EQ(start(std::string(100'000'000, 'A')),
              std::pair(2, prefix + "larger than 1024 KiB\nTry pelorin-phone --help.\n"));
}

TEST(PhoneProgram, AnnouncesWhatArrivesOnStandardInputAsCnmiAsks) {
    PhoneProcess phone({"--no-echo", "--inbox-from-stdin"});
    Line line(phone.path());
    const std::string hi = "00040791942143F500006221707154004002C834";
    // Nothing is said before AT+CNMI asks for it.
    ASSERT_TRUE(phone.writeInput(hi + "\n"));
    EXPECT_EQ(line.readFor(300ms), "");
    line.write("AT+CNMI=2,1,0,0,0\r");
    EXPECT_EQ(line.readUntil("OK\r\n"), "\r\nOK\r\n");
    // A line that is no message is refused on standard error; the next one arrives.
    ASSERT_TRUE(phone.writeInput("not a message\n1,"));
    ASSERT_TRUE(phone.writeInput(hi + "\n"));
    EXPECT_EQ(line.readUntil("+CMTI: \"SM\",2\r\n"), "\r\n+CMTI: \"SM\",2\r\n");
    line.write("AT+CNMI=2,2,0,0,0;+CMGL=4\r");
    EXPECT_EQ(line.readUntil("OK\r\n"),
              "\r\n+CMGL: 1,0,,19\r\n" + hi + "\r\n+CMGL: 2,1,,19\r\n" + hi + "\r\n\r\nOK\r\n");
    ASSERT_TRUE(phone.writeInput(hi + "\n"));
    EXPECT_EQ(line.readUntil(hi + "\r\n"), "\r\n+CMT: ,19\r\n" + hi + "\r\n");
}

}  // namespace
}  // namespace pelorin::phone
