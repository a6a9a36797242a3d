// Our serial port and phone dialogue against the simulated phone over a real
// pseudo-terminal: what the phone decoded on its own must be what was drawn.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <map>

#include "document/document.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/phone_dialogue.h"
#include "support/phone_process.h"
#include "support/phone_store.h"
#include "support/temp_folder.h"

namespace pelorin {
namespace {

// The simulated phone with a store folder of its own, removed afterwards.
class StoringPhone {
public:
    explicit StoringPhone(std::vector<std::string> flags) : process_(PELORIN_PHONE_PATH, withStore(flags)) {}

    bool started() const { return process_.started(); }
    const std::string& devicePath() const { return process_.devicePath(); }
    const std::filesystem::path& storeDir() const { return store_.path(); }

    // The lines of the store's log, oldest first.
    std::vector<std::string> logLines() const {
        std::vector<std::string> lines;
        std::ifstream in(storeDir() / "log.txt");
        for (std::string line; std::getline(in, line);)
            if (!line.empty()) lines.push_back(line);
        return lines;
    }

private:
    std::vector<std::string> withStore(std::vector<std::string> flags) const {
        flags.insert(flags.begin(), {"--store", store_.path().string()});
        return flags;
    }

    testing::TemporaryFolder store_{"pelorin-phone-store"};
    testing::PhoneProcess process_;
};

// Waits run at a fifth of their real length: the phone answers within
// milliseconds, and the dialogue's own reads still wait up to 100 ms each.
constexpr double kFastWaits = 0.2;

// The reply-driven dialogue never sleeps; a sleep would be a fault.
class NoSleeper final : public Sleeper {
public:
    void sleepMs(int ms) override { ADD_FAILURE() << "slept " << ms << " ms"; }
};

class RecordingReporter final : public SendReporter {
public:
    void status(std::string text) override { lines.push_back("status " + text); }
    void caption(std::string text) override { lines.push_back("caption " + text); }
    void end(std::string text) override {
        outcome = std::move(text);
        ++ends;
    }
    std::vector<std::string> lines;
    std::string outcome;
    int ends = 0;
};

std::string send(const StoringPhone& phone, const SendJob& job, Sleeper& sleeper) {
    auto opener = makePosixSerialPortOpener();
    RecordingReporter reporter;
    RunSendJob(job, phone.devicePath(), *opener, sleeper, reporter);
    EXPECT_EQ(reporter.ends, 1);
    return reporter.outcome;
}

std::string send(const StoringPhone& phone, const SendJob& job) {
    ScaledSleeper fast(kFastWaits);
    return send(phone, job, fast);
}

// Reply-driven, with bounds measured on a clock that runs five times as fast
// (a silent phone ends the job after 6 s instead of 30 s).
std::string sendReplyDriven(const StoringPhone& phone, const SendJob& job) {
    auto opener = makePosixSerialPortOpener();
    RecordingReporter reporter;
    FastClock clock(5.0);
    DialogueOptions options;
    options.replyDriven = true;
    options.clock = &clock;
    NoSleeper noSleep;
    RunSendJob(job, phone.devicePath(), *opener, noSleep, reporter, options);
    EXPECT_EQ(reporter.ends, 1);
    return reporter.outcome;
}

std::map<std::string, std::string> fields(const std::string& line) { return testing::phoneLogFields(line); }

// The picture the phone stored, '#' and '.', compared with the canvas.
void expectPictureMatches(const StoringPhone& phone, const std::string& file, const Canvas& canvas) {
    EXPECT_EQ(testing::pictureMismatch(testing::readPhonePicture(phone.storeDir(), file), canvas.width(),
                                       canvas.height(), [&](int x, int y) { return canvas.isSet(x, y); }),
              "")
        << file;
}

void fillPattern(Canvas& canvas, int seed) {
    for (int x = 0; x < canvas.width(); ++x)
        for (int y = 0; y < canvas.height(); ++y) canvas.set(x, y, ((x * 13 + y * 5 + seed) % 9) < 4);
}

class SendToPhoneTest : public ::testing::Test {
protected:
    void SetUp() override {
        fillPattern(doc.operatorCanvas, 1);
        fillPattern(doc.pictureCanvas, 2);
        fillPattern(doc.largeOperatorCanvas, 3);
    }

    SendJob job(SendJobKind kind) const {
        SendJob j;
        j.Kind = kind;
        j.Number = "+4917012345";
        j.Document = &doc;
        return j;
    }

    CPelorinDoc doc;
};

TEST_F(SendToPhoneTest, EveryKindArrivesAsDrawn) {
    StoringPhone phone({"--quiet"});
    ASSERT_TRUE(phone.started());

    SendJob operatorLogo = job(SendJobKind::OperatorLogo);
    operatorLogo.CountryCode = "262";
    operatorLogo.OperatorCode = "02";
    EXPECT_EQ(send(phone, operatorLogo), "Logo was successfully sent");

    SendJob group = job(SendJobKind::GroupGraphic);
    group.Number = "0170123";
    group.DeliveryReport = true;
    EXPECT_EQ(send(phone, group), "Logo was successfully sent");

    EXPECT_EQ(send(phone, job(SendJobKind::RestoreOperatorLogo)), "Logo was successfully sent");

    SendJob picture = job(SendJobKind::PictureMessage);
    picture.Text =
        "Gr\xC3\xBC\xC3\x9F"
        "e aus dem S\xC3\xBC"
        "den";
    picture.DeliveryReport = true;
    EXPECT_EQ(send(phone, picture), "Picture message was successfully sent");

    SendJob large = job(SendJobKind::LargeOperatorLogo);
    large.CountryCode = "310";
    large.OperatorCode = "26";
    EXPECT_EQ(send(phone, large), "Logo was successfully sent");

    const auto log = phone.logLines();
    ASSERT_EQ(log.size(), 5u);
    std::vector<std::map<std::string, std::string>> received;
    for (const auto& line : log) received.push_back(fields(line));

    EXPECT_EQ(received[0]["kind"], "operator-logo");
    EXPECT_EQ(received[0]["size"], "72x14");
    EXPECT_EQ(received[0]["number"], "+4917012345");
    EXPECT_EQ(received[0]["mcc"], "262");
    EXPECT_EQ(received[0]["mnc"], "02");
    EXPECT_EQ(received[0]["report"], "0");
    expectPictureMatches(phone, received[0]["file"], doc.operatorCanvas);

    EXPECT_EQ(received[1]["kind"], "group-graphic");
    EXPECT_EQ(received[1]["number"], "0170123");
    EXPECT_EQ(received[1]["report"], "1");
    expectPictureMatches(phone, received[1]["file"], doc.operatorCanvas);

    EXPECT_EQ(received[2]["kind"], "operator-logo");
    EXPECT_EQ(received[2]["mcc"], "000");
    EXPECT_EQ(received[2]["mnc"], "00");

    EXPECT_EQ(received[3]["kind"], "picture-message");
    EXPECT_EQ(received[3]["size"], "72x28");
    EXPECT_EQ(received[3]["text"], picture.Text);
    EXPECT_EQ(received[3]["parts"], "3");
    EXPECT_EQ(received[3]["report-parts"], "001");
    expectPictureMatches(phone, received[3]["file"], doc.pictureCanvas);

    EXPECT_EQ(received[4]["kind"], "operator-logo");
    EXPECT_EQ(received[4]["size"], "78x21");
    EXPECT_EQ(received[4]["mcc"], "310");
    EXPECT_EQ(received[4]["mnc"], "26");
    EXPECT_EQ(received[4]["parts"], "2");
    expectPictureMatches(phone, received[4]["file"], doc.largeOperatorCanvas);
}

TEST_F(SendToPhoneTest, OneOperatorLogoAtTheRealWaits) {
    StoringPhone phone({"--quiet"});
    ASSERT_TRUE(phone.started());
    SendJob logo = job(SendJobKind::OperatorLogo);
    logo.CountryCode = "231";
    logo.OperatorCode = "01";
    RealSleeper real;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(send(phone, logo, real), "Logo was successfully sent");
    // 1 s after each command and one 2 s round for the acknowledgement.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    ASSERT_EQ(phone.logLines().size(), 1u);
    expectPictureMatches(phone, fields(phone.logLines()[0])["file"], doc.operatorCanvas);
}

struct FaultCase {
    std::vector<std::string> flags;
    SendJobKind kind;
    const char* outcome;
    std::size_t logosStored;
};

class PhoneFaultTest : public SendToPhoneTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(PhoneFaultTest, EndsWithTheRightOutcome) {
    const FaultCase& fault = GetParam();
    std::vector<std::string> flags{"--quiet"};
    flags.insert(flags.end(), fault.flags.begin(), fault.flags.end());
    StoringPhone phone(flags);
    ASSERT_TRUE(phone.started());
    EXPECT_EQ(send(phone, job(fault.kind)), fault.outcome);
    EXPECT_EQ(phone.logLines().size(), fault.logosStored);
}

// The faults both ways of sending meet alike: with the fixed waits and
// reply-driven (which meets one more, below).
const std::vector<FaultCase> kFaults = {
    {{"--no-echo"}, SendJobKind::GroupGraphic, "Communication error", 0},
    {{"--cmgf-error"}, SendJobKind::GroupGraphic, "Communication error", 0},
    {{"--no-prompt"}, SendJobKind::GroupGraphic, "Communication error", 0},
    {{"--pdu-error"}, SendJobKind::GroupGraphic, "Message send error", 0},
    {{"--pdu-error=2"}, SendJobKind::PictureMessage, "Message send error", 0},
    {{"--pdu-error=3"}, SendJobKind::GroupGraphic, "Logo was successfully sent", 1},
    {{"--silent-after-pdu"}, SendJobKind::GroupGraphic, "Message send timeout", 0},
    {{"--ok-in-pieces", "--piece-delay-ms", "700"}, SendJobKind::LargeOperatorLogo, "Logo was successfully sent", 1},
    {{"--hang-up-after", "1"}, SendJobKind::GroupGraphic, "Error in connection", 0},
    {{"--hang-up-after", "2"}, SendJobKind::LargeOperatorLogo, "Error in connection", 0},
};

INSTANTIATE_TEST_SUITE_P(Faults, PhoneFaultTest, ::testing::ValuesIn(kFaults));

TEST_F(SendToPhoneTest, BusyPortCannotBeOpened) {
    StoringPhone phone({"--quiet"});
    ASSERT_TRUE(phone.started());
    auto opener = makePosixSerialPortOpener();
    auto holder = opener->open(phone.devicePath());
    ASSERT_NE(holder, nullptr);
    EXPECT_EQ(send(phone, job(SendJobKind::GroupGraphic)), "Cannot open COM port");
    holder.reset();
    EXPECT_EQ(send(phone, job(SendJobKind::GroupGraphic)), "Logo was successfully sent");
}

TEST_F(SendToPhoneTest, ControlCharactersInTheNumberNeverReachThePhone) {
    StoringPhone phone({"--quiet"});
    ASSERT_TRUE(phone.started());
    for (const char* number : {"+49\x1A"
                               "AT+CMGS=1\r",
                               "+49\r\nATZ", "+49\x1B"}) {
        SendJob bad = job(SendJobKind::GroupGraphic);
        bad.Number = number;
        EXPECT_EQ(send(phone, bad), "Number or network code contains invalid characters");
    }
    // The phone took nothing from those jobs: the next job is its first
    // message and goes through untouched.
    EXPECT_EQ(send(phone, job(SendJobKind::GroupGraphic)), "Logo was successfully sent");
    const auto log = phone.logLines();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(fields(log[0])["number"], "+4917012345");
    EXPECT_EQ(fields(log[0])["file"].substr(0, 9), "logo-0001");
}

TEST_F(SendToPhoneTest, ReplyDrivenSendsPutTheSameBytesOnTheLineForEveryKind) {
    testing::TemporaryFolder transcripts("pelorin-transcripts");
    const auto fixedFile = transcripts.file("fixed"), fastFile = transcripts.file("fast");
    StoringPhone fixedPhone({"--quiet", "--transcript", fixedFile});
    StoringPhone fastPhone({"--quiet", "--transcript", fastFile});
    ASSERT_TRUE(fixedPhone.started() && fastPhone.started());

    SendJob operatorLogo = job(SendJobKind::OperatorLogo);
    operatorLogo.CountryCode = "262";
    operatorLogo.OperatorCode = "02";
    SendJob large = job(SendJobKind::LargeOperatorLogo);
    large.CountryCode = "310";
    large.OperatorCode = "26";
    large.DeliveryReport = true;
    SendJob picture = job(SendJobKind::PictureMessage);
    picture.Text = "Same bytes";
    for (const SendJob& each :
         {operatorLogo, job(SendJobKind::GroupGraphic), job(SendJobKind::RestoreOperatorLogo), picture, large}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(IsSuccessOutcome(sendReplyDriven(fastPhone, each)));
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_TRUE(IsSuccessOutcome(send(fixedPhone, each)));
        EXPECT_LT(took, std::chrono::seconds(3)) << "no fixed waits (generous for a loaded machine)";

        const std::string fixedBytes = testing::readFileText(fixedFile);
        EXPECT_FALSE(fixedBytes.empty());
        EXPECT_EQ(testing::readFileText(fastFile), fixedBytes) << static_cast<int>(each.Kind);
    }
    EXPECT_EQ(fastPhone.logLines(), fixedPhone.logLines());
}

class ReplyDrivenFaultTest : public PhoneFaultTest {};

TEST_P(ReplyDrivenFaultTest, EndsWithTheSameOutcomeAsTheFixedWaits) {
    const FaultCase& fault = GetParam();
    std::vector<std::string> flags{"--quiet"};
    flags.insert(flags.end(), fault.flags.begin(), fault.flags.end());
    StoringPhone phone(flags);
    ASSERT_TRUE(phone.started());
    EXPECT_EQ(sendReplyDriven(phone, job(fault.kind)), fault.outcome);
    EXPECT_EQ(phone.logLines().size(), fault.logosStored);
}

// Reply-driven, a silence after the second of two PDUs as well.
std::vector<FaultCase> replyDrivenFaults() {
    std::vector<FaultCase> faults = kFaults;
    faults.push_back({{"--silent-after-pdu=2"}, SendJobKind::LargeOperatorLogo, "Message send timeout", 0});
    return faults;
}

INSTANTIATE_TEST_SUITE_P(Faults, ReplyDrivenFaultTest, ::testing::ValuesIn(replyDrivenFaults()));

}  // namespace
}  // namespace pelorin
