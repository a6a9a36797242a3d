// The phone dialogue's recorded cases: every file of tests/data/dialogue is
// one case (the job, what the phone answers to each read, what Pelorin must
// write and report; the format is in that folder's README), and every input
// of the dialogue's fuzz corpus is replayed for a clean end. The list of files
// comes from CMake's glob; each file is its own test.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "dialogue_fakes.h"
#include "sms/network_query.h"
#include "sms/phone_dialogue.h"
#include "support/pdu_reader.h"

// Every case file, by its full path (dialogue_case_list.cpp, written by CMake).
extern const std::vector<std::string_view> kDialogueCaseFiles;

namespace pelorin {
namespace {

using namespace dialogue_test;

// ------------------------------------------------------------ the case files

struct DialogueCase {
    SendJob job;
    bool replyDriven = false;
    bool portRefused = false;
    std::size_t overclaim = 0;
    std::deque<std::optional<std::string>> answers;  // one a read; nothing: the read fails

    std::string outcome;
    std::vector<std::string> details;
    std::vector<std::string> writes;
    std::vector<std::string> events;   // compared whole when given
    std::vector<std::string> reports;  // status, caption and end lines, when given
    std::vector<std::pair<long, std::string>> counts;
    std::optional<std::vector<std::size_t>> readSizes;
    std::optional<long long> elapsedMs;
};

[[noreturn]] void bad(int lineNumber, const std::string& why) {
    throw std::runtime_error("line " + std::to_string(lineNumber) + ": " + why);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A double-quoted text with \r, \n, \t, \\, \" and \xHH.
std::string quoted(const std::string& value, int lineNumber) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') bad(lineNumber, "expected \"text\"");
    std::string out;
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
        const char c = value[i];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i + 2 >= value.size()) bad(lineNumber, "a lone backslash");
        const char e = value[++i];
        if (e == 'r') {
            out += '\r';
        } else if (e == 'n') {
            out += '\n';
        } else if (e == 't') {
            out += '\t';
        } else if (e == '\\' || e == '"') {
            out += e;
        } else if (e == 'x' && i + 3 < value.size() && hexDigit(value[i + 1]) >= 0 && hexDigit(value[i + 2]) >= 0) {
            out += static_cast<char>(hexDigit(value[i + 1]) * 16 + hexDigit(value[i + 2]));
            i += 2;
        } else {
            bad(lineNumber, std::string("unknown escape \\") + e);
        }
    }
    return out;
}

// The same form, for the failure messages.
std::string quote(std::string_view bytes) {
    std::string out = "\"";
    for (char c : bytes) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else {
            out += escaped(std::string_view(&c, 1));
        }
    }
    return out + "\"";
}

SendJobKind kindNamed(const std::string& name, int lineNumber) {
    static const std::pair<const char*, SendJobKind> kinds[] = {
        {"operator-logo", SendJobKind::OperatorLogo},
        {"group-graphic", SendJobKind::GroupGraphic},
        {"restore-operator-logo", SendJobKind::RestoreOperatorLogo},
        {"picture-message", SendJobKind::PictureMessage},
        {"large-operator-logo", SendJobKind::LargeOperatorLogo},
    };
    for (const auto& [text, kind] : kinds)
        if (name == text) return kind;
    bad(lineNumber, "unknown job " + name);
}

std::size_t number(const std::string& text, int lineNumber) {
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        bad(lineNumber, "expected a number, not " + text);
    return std::stoull(text);
}

DialogueCase readCase(std::istream& in) {
    DialogueCase c;
    bool haveJob = false;
    std::optional<std::string> numberText, country, operatorCode, text;
    std::string line;
    for (int lineNumber = 1; std::getline(in, line); ++lineNumber) {
        if (line.empty() || line[0] == '#') continue;
        const auto space = line.find(' ');
        const std::string key = line.substr(0, space);
        const std::string value = space == std::string::npos ? "" : line.substr(space + 1);
        if (key == "job") {
            c.job = jobOfKind(kindNamed(value, lineNumber));
            haveJob = true;
        } else if (key == "number") {
            numberText = quoted(value, lineNumber);
        } else if (key == "country") {
            country = quoted(value, lineNumber);
        } else if (key == "operator") {
            operatorCode = quoted(value, lineNumber);
        } else if (key == "text") {
            text = quoted(value, lineNumber);
        } else if (key == "waits") {
            if (value != "fixed" && value != "reply-driven") bad(lineNumber, "waits are fixed or reply-driven");
            c.replyDriven = value == "reply-driven";
        } else if (key == "port") {
            if (value == "refused") {
                c.portRefused = true;
            } else if (value.rfind("overclaims ", 0) == 0) {
                c.overclaim = number(value.substr(11), lineNumber);
            } else {
                bad(lineNumber, "port refused or port overclaims N");
            }
        } else if (key == "phone") {
            if (value == "silent") {
                c.answers.emplace_back(std::string());
            } else if (value == "fails") {
                c.answers.emplace_back(std::nullopt);
            } else if (const auto star = value.find(" * \""); star != std::string::npos && value[0] != '"') {
                std::string repeated;
                const std::string piece = quoted(value.substr(star + 3), lineNumber);
                for (std::size_t n = number(value.substr(0, star), lineNumber); n > 0; --n) repeated += piece;
                c.answers.emplace_back(std::move(repeated));
            } else {
                c.answers.emplace_back(quoted(value, lineNumber));
            }
        } else if (key == "outcome") {
            c.outcome = value;
        } else if (key == "detail") {
            c.details.push_back(value);
        } else if (key == "write") {
            c.writes.push_back(quoted(value, lineNumber));
        } else if (key == "event") {
            c.events.push_back(value);
        } else if (key == "report") {
            c.reports.push_back(value);
        } else if (key == "count") {
            const auto gap = value.find(' ');
            if (gap == std::string::npos) bad(lineNumber, "count N EVENT");
            c.counts.emplace_back(static_cast<long>(number(value.substr(0, gap), lineNumber)), value.substr(gap + 1));
        } else if (key == "read-sizes") {
            std::istringstream sizes(value);
            std::vector<std::size_t> list;
            for (std::string one; sizes >> one;) list.push_back(number(one, lineNumber));
            c.readSizes = list;
        } else if (key == "elapsed") {
            c.elapsedMs = static_cast<long long>(number(value, lineNumber));
        } else {
            bad(lineNumber, "unknown line " + key);
        }
    }
    if (!haveJob) throw std::runtime_error("no job line");
    if (c.outcome.empty()) throw std::runtime_error("no outcome line");
    if (numberText) c.job.Number = *numberText;
    if (country) c.job.CountryCode = *country;
    if (operatorCode) c.job.OperatorCode = *operatorCode;
    if (text) c.job.Text = *text;
    return c;
}

// The semi-octets the PDU must carry for a number: '*' as A, '#' as B.
std::string addressDigitsOf(const std::string& number) {
    std::string digits;
    for (char c : number) {
        if (c == '+') continue;
        digits += c == '*' ? 'A' : c == '#' ? 'B' : c;
    }
    return digits;
}

// ------------------------------------------------------------ the file list

struct CaseFile {
    std::string name;  // the test's name
    std::string path;
    bool fuzzInput = false;
};

// Named by its path in a test's failure message.
void PrintTo(const CaseFile& file, std::ostream* out) { *out << file.path; }

std::string testNameOf(const std::string& stem) {
    std::string name;
    for (char c : stem) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

std::vector<CaseFile> caseFiles() {
    std::vector<CaseFile> files;
    for (const std::string_view path : kDialogueCaseFiles) {
        if (path.empty()) continue;  // no file at all
        const std::filesystem::path p(path);
        const bool fuzz = p.extension() != ".txt";
        files.push_back({(fuzz ? "fuzz_corpus_" : "") + testNameOf(p.stem().string()), std::string(path), fuzz});
    }
    return files;
}

class DialogueCaseTest : public PhoneDialogueTest, public ::testing::WithParamInterface<CaseFile> {
protected:
    void replayCase(const DialogueCase& c);
    void replayFuzzInput(const std::vector<std::uint8_t>& data);
};

// What the dialogue did, in the case file's form, for a failure message.
std::string transcript(const std::vector<std::string>& writes, const std::vector<std::string>& details,
                       const std::vector<std::string>& events) {
    std::string out = "\n";
    for (const auto& w : writes) out += "write " + quote(w) + "\n";
    for (const auto& d : details) out += "detail " + d + "\n";
    for (const auto& e : events) out += "event " + e + "\n";
    return out;
}

void DialogueCaseTest::replayCase(const DialogueCase& c) {
    opener.refuse = c.portRefused;
    line.overclaim = c.overclaim;
    line.replies = c.answers;
    if (c.replyDriven) {
        options.replyDriven = true;
        options.clock = &clock;
        line.clockMs = &clock.elapsedMs;
    }
    run(c.job);
    SCOPED_TRACE("the dialogue did:" + transcript(line.writes, reporter.details, events));

    EXPECT_EQ(outcome(), c.outcome);
    EXPECT_EQ(reporter.details, c.details);
    EXPECT_EQ(line.writes, c.writes);
    if (!c.events.empty()) {
        EXPECT_EQ(events, c.events);
    }
    if (!c.reports.empty()) {
        std::vector<std::string> reports;
        for (const auto& e : events)
            if (e.rfind("status ", 0) == 0 || e.rfind("caption ", 0) == 0 || e.rfind("end ", 0) == 0)
                reports.push_back(e);
        EXPECT_EQ(reports, c.reports);
    }
    for (const auto& [times, event] : c.counts) EXPECT_EQ(count(event), times) << event;
    if (c.readSizes) {
        EXPECT_EQ(line.readSizes, *c.readSizes);
    }
    if (c.elapsedMs) {
        EXPECT_EQ(clock.elapsedMs, *c.elapsedMs);
    }

    // Every PDU written is read back by the independent reader: an SMS-SUBMIT
    // to the job's number, as long as its AT+CMGS said.
    for (std::size_t i = 1; i < c.writes.size(); ++i) {
        const std::string& w = c.writes[i];
        const std::string& command = c.writes[i - 1];
        if (w.size() < 2 || w.back() != '\x1A' || command.rfind("AT+CMGS=", 0) != 0) continue;
        std::string why;
        const auto pdu = testing::readSubmitPdu(w.substr(0, w.size() - 1), &why);
        ASSERT_TRUE(pdu) << "write " << i << ": " << why;
        EXPECT_EQ(std::to_string(pdu->octetsAfterServiceCentre) + "\r\n", command.substr(8)) << "write " << i;
        EXPECT_EQ(pdu->addressDigits, addressDigitsOf(c.job.Number)) << "write " << i;
    }
}

// The fuzz target's input: the first byte picks the job's kind and the way
// (fixed waits, reply-driven, or the network query); then each read's result
// as a length byte and that many bytes, 0xFF a failed read.
void DialogueCaseTest::replayFuzzInput(const std::vector<std::uint8_t>& data) {
    ASSERT_FALSE(data.empty());
    std::size_t at = 1;
    while (at < data.size()) {
        const std::uint8_t length = data[at++];
        if (length == 0xFF) {
            line.reply(std::nullopt);
            continue;
        }
        const std::size_t n = std::min<std::size_t>(length, data.size() - at);
        line.reply(std::string(reinterpret_cast<const char*>(data.data() + at), n));
        at += n;
    }
    options.replyDriven = (data[0] & 0x80) != 0;
    options.clock = &clock;
    line.clockMs = &clock.elapsedMs;
    if ((data[0] & 0xC0) == 0x40) {
        const NetworkQueryResult result = QueryNetwork("COM3:", opener, clock, options);
        if (result.status == NetworkQueryResult::Status::Found) {
            EXPECT_EQ(result.mcc.size(), 3u);
            EXPECT_TRUE(result.mnc.size() == 2 || result.mnc.size() == 3) << result.mnc;
        } else {
            EXPECT_FALSE(result.detail.empty());
        }
        EXPECT_EQ(line.closes, 1);
        return;
    }
    SendJob job;
    job.Kind = static_cast<SendJobKind>(1 + data[0] % 5);
    job.Number = "+4917012345";
    job.CountryCode = "262";
    job.OperatorCode = "02";
    job.Text = "fuzz";
    run(job);  // one end, then only the close
    EXPECT_NE(outcome(), "(no end)");
    EXPECT_FALSE(outcome().empty());
}

TEST_P(DialogueCaseTest, Replays) {
    const CaseFile& file = GetParam();
    std::ifstream in(file.path, std::ios::binary);
    ASSERT_TRUE(in) << file.path;
    if (file.fuzzInput) {
        replayFuzzInput(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}));
        return;
    }
    DialogueCase c;
    try {
        c = readCase(in);
    } catch (const std::exception& e) {
        FAIL() << file.path << ": " << e.what();
    }
    replayCase(c);
}

INSTANTIATE_TEST_SUITE_P(Files, DialogueCaseTest, ::testing::ValuesIn(caseFiles()),
                         [](const ::testing::TestParamInfo<CaseFile>& file) { return file.param.name; });

TEST(DialogueCaseFiles, TheListHoldsTheCasesAndTheCorpus) {
    const auto files = caseFiles();
    EXPECT_GE(std::count_if(files.begin(), files.end(), [](const CaseFile& f) { return !f.fuzzInput; }), 30);
    EXPECT_GE(std::count_if(files.begin(), files.end(), [](const CaseFile& f) { return f.fuzzInput; }), 1);
}

}  // namespace
}  // namespace pelorin
