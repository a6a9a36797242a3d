// pelorin-cli with ringtones: encode and send (to pelorin-phone), show,
// convert between the files, and receive from a phone's memory.

#include <gtest/gtest.h>

#include <fstream>

#include "ringtone/rtttl.h"
#include "ringtone/smart_messaging.h"
#include "support/deliver_builder.h"
#include "support/phone_process.h"
#include "support/phone_store.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace pelorin {
namespace {

using namespace pelorin::testing;

const std::string kTune = "abcd:d=4,o=5,b=125:8c6,8e6,g6,p,16a#4.,2c7,32b";
const std::string kTuneWritten = "abcd:d=4,o=6,b=125:8c,8e,g,p,16a#4.,2c7,32b5";
const DeliverOctets kTuneOctets = {0x02, 0x4A, 0x3A, 0x51, 0x85, 0x89, 0x8D, 0x90, 0x04, 0x00, 0x1A, 0xC8, 0xE5, 0x11,
                                   0x61, 0x56, 0x18, 0x41, 0x04, 0x20, 0xDC, 0x56, 0x44, 0x89, 0x39, 0x40, 0x00};

// A tune of n notes c, d, e... in turn.
std::string longTune(int n) {
    std::string text = "long:d=8,o=5,b=200:";
    for (int k = 0; k < n; ++k) text += std::string(k ? "," : "") + "cdefgab"[k % 7];
    return text;
}

DeliverOctets octetsOf(const std::string& rtttl) {
    return ringtone::encodeSmartMessaging(ringtone::readRtttl(rtttl).ringtone.value());
}

class RingtoneCliTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(folder.file(name)) << text;
        return folder.file(name);
    }
    TemporaryFolder folder{"pelorin-ringtone-cli"};
};

TEST_F(RingtoneCliTest, EncodesOneMessagePartsOrRefusesWithTheNotesThatFit) {
    auto result = runProcess(PELORIN_CLI_PATH, {"encode", "ringtone", "--to", "123", write("t.rtttl", kTune)});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out,
              "AT+CMGS=44\n005100038121F300F5A722060504158100000" + deliverHex(kTuneOctets).substr(1) + "\n");
    EXPECT_EQ(result.err, "");

    result =
        runProcess(PELORIN_CLI_PATH, {"encode", "--report", "ringtone", "--to", "+49", write("l.txt", longTune(150))});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.err,
              "pelorin-cli encode: warning: It takes 2 concatenated messages, which only some phones take\n"
              "pelorin-cli encode: warning: 150 notes: phones that play 58 notes stop early\n");
    const std::string octets = deliverHex(octetsOf(longTune(150)));
    ASSERT_GT(octets.size(), 2u * 128);
    const auto first = result.out.find("\n") + 1;
    const std::string pdu1 = result.out.substr(first, result.out.find('\n', first) - first);
    // No report asked in part 1; port 1581, reference 9E, part 1 of 2.
    EXPECT_EQ(pdu1.substr(0, 44), "00510002919400F5A78C0B05041581000000039E0201") << pdu1;
    EXPECT_NE(result.out.find("0201" + octets.substr(0, 256) + "\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\n00710002919400F5A77C"), std::string::npos) << result.out;  // report on the last
    EXPECT_NE(result.out.find("0202" + octets.substr(256) + "\n"), std::string::npos) << result.out;

    result = runProcess(PELORIN_CLI_PATH, {"encode", "ringtone", "--to", "1", write("x.rtttl", longTune(300))});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "pelorin-cli encode: The ringtone takes 465 octets, more than 3 messages carry (384): its first 246 "
              "notes would fit\n");

    result = runProcess(PELORIN_CLI_PATH, {"encode", "ringtone", "--to", "1", write("bad.rtttl", "x:d=4:c,h")});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err, "pelorin-cli encode: " + folder.file("bad.rtttl") + ": Unknown note 'h' at 9\n");
    result = runProcess(PELORIN_CLI_PATH, {"encode", "ringtone", "--to", "1"});
    EXPECT_EQ(result.exitStatus, 2);
    EXPECT_EQ(result.err, "pelorin-cli encode: ringtone needs a FILE (.rtttl, .txt, .ott or .mid)\n");
}

TEST_F(RingtoneCliTest, SendsToThePhoneWhichStoresTheTune) {
    TemporaryFolder store{"pelorin-ringtone-store"};
    PhoneProcess phone{PELORIN_PHONE_PATH, {"--quiet", "--store", store.path().string()}};
    ASSERT_TRUE(phone.started());
    for (const std::string& tune : {kTune, longTune(200)}) {
        const auto result = runProcess(PELORIN_CLI_PATH, {"send", "ringtone", "--to", "+4917", "--port",
                                                          phone.devicePath(), "--fast", write("s.rtttl", tune)});
        EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
        EXPECT_NE(result.out.find("Ringtone was successfully sent\n"), std::string::npos) << result.out;
    }
    const auto log = readPhoneLog(store.path());
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].at("kind"), "ringtone");
    EXPECT_EQ(log[0].at("size"), "7 notes");
    EXPECT_EQ(log[0].at("text"), "abcd");
    EXPECT_EQ(log[0].at("port"), "1581");
    EXPECT_EQ(log[1].at("parts"), "3");
    EXPECT_EQ(log[1].at("size"), "200 notes");
    EXPECT_EQ(readFileText(store.path() / "ringtone-0001.rtttl"),
              "abcd:d=4,o=5,b=125:8c6,8e6,4g6,4p,16a#4.,2c7,32b5\n");
}

TEST_F(RingtoneCliTest, ShowsAndConvertsBetweenTheFiles) {
    auto result = runProcess(PELORIN_CLI_PATH, {"show", write("t.txt", kTune)});
    EXPECT_EQ(result.out, "ringtone " + kTuneWritten + "\nnotes 7\noctets 27\nmessages 1\n");
    result = runProcess(PELORIN_CLI_PATH, {"show", write("l.rtttl", longTune(260))});
    EXPECT_EQ(result.out.substr(result.out.find("\nnotes")),
              "\nnotes 260\noctets 405\nmessages refused: The ringtone takes 405 octets, more than 3 messages carry "
              "(384): its first 246 notes would fit\nwarning 260 notes: phones that play 58 notes stop early\n");

    // RTTTL to .ott to .mid to .rtttl gives the tune back.
    const std::string in = write("in.rtttl", kTune);
    for (const auto& [from, to] :
         std::vector<std::pair<std::string, std::string>>{{in, folder.file("a.ott")},
                                                          {folder.file("a.ott"), folder.file("a.mid")},
                                                          {folder.file("a.mid"), folder.file("b.rtttl")}}) {
        result = runProcess(PELORIN_CLI_PATH, {"convert", from, to});
        EXPECT_EQ(result.exitStatus, 0) << from << ": " << result.err;
    }
    EXPECT_EQ(readFileBytes(folder.file("a.ott")), kTuneOctets);
    EXPECT_EQ(readFileText(folder.file("b.rtttl")), kTuneWritten + "\n");
    result = runProcess(PELORIN_CLI_PATH, {"convert", in, folder.file("a.wav")});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(readFileBytes(folder.file("a.wav")).size(), 44u + 2u * 21120u);  // 5.5 beats at 125 a minute
    result = runProcess(PELORIN_CLI_PATH, {"convert", in, folder.file("a.imy")});
    EXPECT_NE(readFileText(folder.file("a.imy")).find("MELODY:*5c3*5e3*5g2r2*3#a4.*6c1*4b5\r\n"), std::string::npos);

    result = runProcess(PELORIN_CLI_PATH, {"convert", in, folder.file("a.png")});
    EXPECT_EQ(result.exitStatus, 2);
    result = runProcess(PELORIN_CLI_PATH, {"convert", folder.file("a.wav"), folder.file("c.rtttl")});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.err, "pelorin-cli convert: " + folder.file("a.wav") +
                              ": Pelorin writes .imy and .wav ringtones but does not read them\n");
    // A .txt of a document's size that is no RTTTL is still a document.
    result = runProcess(PELORIN_CLI_PATH, {"show", write("doc.txt", std::string(126, '\0'))});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, 15), "operator 72x14\n");
}

TEST_F(RingtoneCliTest, ReceiveReadsRingtonesAlsoInPartsAndWritesThemAsRtttl) {
    const DeliverOctets longOctets = octetsOf(longTune(150));
    const auto parts = deliverParts(0x1581, longOctets, 7);
    ASSERT_EQ(parts.size(), 2u);
    DeliverOctets damaged(kTuneOctets.begin(), kTuneOctets.begin() + 12);
    const std::string inbox = "# ringtones\n" + Deliver{port16(0x1581), kTuneOctets}.hex() + "\n" + parts[1] + "\n" +
                              Deliver{port8(0x81), kTuneOctets}.hex() + "\n" + parts[0] + "\n" +
                              Deliver{port16(0x1581), damaged}.hex() + "\n";
    PhoneProcess phone{PELORIN_PHONE_PATH, {"--quiet", "--inbox", write("inbox.txt", inbox)}};
    ASSERT_TRUE(phone.started());
    const std::string out = folder.file("tones");
    const auto result =
        runProcess(PELORIN_CLI_PATH, {"receive", "--port", phone.devicePath(), "--fast", "--out", out, "--delete"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    const std::string from = "\t+4912345\t2026-12-07 17:45:00 +01:00\t";
    const std::string longWritten = ringtone::writeRtttl(ringtone::readRtttl(longTune(150)).ringtone.value());
    EXPECT_EQ(result.out, "SM:1" + from + "ringtone\t7 notes " + kTuneWritten + "\t" + out + "/SM-1-ringtone.rtttl\n" +
                              "SM:4,2" + from + "ringtone\t150 notes " + longWritten + "\t" + out +
                              "/SM-4-ringtone.rtttl\n" + "SM:3" + from + "ringtone\t7 notes " + kTuneWritten + "\t" +
                              out + "/SM-3-ringtone.rtttl\n" + "SM:5" + from +
                              "skipped\tringtone: Cut short in a tempo at octet 12\n");
    EXPECT_EQ(readFileText(out + "/SM-1-ringtone.rtttl"), kTuneWritten + "\n");
    EXPECT_EQ(readFileText(out + "/SM-4-ringtone.rtttl"), longWritten + "\n");
    // Only the damaged one stays on the phone.
    const auto again = runProcess(PELORIN_CLI_PATH, {"receive", "--port", phone.devicePath(), "--fast"});
    EXPECT_EQ(again.out, "SM:5" + from + "skipped\tringtone: Cut short in a tempo at octet 12\n");
}

}  // namespace
}  // namespace pelorin
