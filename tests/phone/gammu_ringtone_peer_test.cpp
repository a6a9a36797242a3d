// Ringtones between Pelorin and Gammu, a program we did not write: Gammu
// sends tunes to pelorin-phone, each side reads the other's .ott files, and
// python3-gammu decodes the messages pelorin-cli encodes. The tunes are
// written in the RTTTL Gammu reads (no spaces, the dot before the octave,
// no double dots) and compared note by note: pitch, octave, duration, dot,
// and the tempo. Gammu writes B as "h" and its own defaults; the test's
// reader below takes both.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "peer_support.h"
#include "support/phone_process.h"
#include "support/phone_store.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace pelorin::phone {
namespace {

constexpr const char* kGammu = "/usr/bin/gammu";
constexpr const char* kPython = "/usr/bin/python3";

// A tune as the tests compare it: the tempo and each note spelled out in
// full, such as "8c#6." or "4p".
struct Spelled {
    int tempo = 0;
    std::vector<std::string> notes;
    friend bool operator==(const Spelled&, const Spelled&) = default;
};

std::ostream& operator<<(std::ostream& out, const Spelled& s) {
    out << "b=" << s.tempo << ":";
    for (const auto& note : s.notes) out << note << ",";
    return out;
}

// RTTTL as Pelorin, pelorin-phone and Gammu write it, read on its own.
Spelled spell(const std::string& text) {
    Spelled result;
    const auto first = text.find(':');
    const auto second = text.find(':', first + 1);
    if (first == std::string::npos || second == std::string::npos) return result;
    std::string duration = "4";
    std::string octave = "6";
    result.tempo = 63;
    std::stringstream defaults(text.substr(first + 1, second - first - 1));
    for (std::string item; std::getline(defaults, item, ',');) {
        if (item.size() < 3) continue;
        const char key = static_cast<char>(std::tolower(item[0]));
        if (key == 'd') duration = item.substr(2);
        if (key == 'o') octave = item.substr(2);
        if (key == 'b') result.tempo = std::stoi(item.substr(2));
    }
    std::stringstream notes(text.substr(second + 1));
    for (std::string item; std::getline(notes, item, ',');) {
        while (!item.empty() && (item.back() == '\n' || item.back() == '\r')) item.pop_back();
        std::size_t i = 0;
        std::string length;
        while (i < item.size() && std::isdigit(static_cast<unsigned char>(item[i]))) length += item[i++];
        std::string pitch(1, static_cast<char>(std::tolower(item.at(i++))));
        if (pitch == "h") pitch = "b";
        if (i < item.size() && item[i] == '#') pitch += item[i++];
        std::string dots;
        while (i < item.size() && item[i] == '.') dots += item[i++];
        std::string noteOctave;
        while (i < item.size() && std::isdigit(static_cast<unsigned char>(item[i]))) noteOctave += item[i++];
        while (i < item.size() && item[i] == '.') dots += item[i++];
        result.notes.push_back((length.empty() ? duration : length) + pitch +
                               (pitch == "p" ? "" : (noteOctave.empty() ? octave : noteOctave)) + dots);
    }
    return result;
}

// Tunes in Gammu's RTTTL: every duration, dots, rests, every octave, sharps
// and the ends of the tempo table.
const char* const kTunes[] = {
    "durations:d=4,o=5,b=25:1c,2d,4e,8f,16g,32a",
    "dotted:d=4,o=5,b=28:1c.,2d.,4e.,8f.,16g.,32a.",
    "rests:d=8,o=5,b=31:c,p,1p,2p.,16p,32p,c",  // Gammu drops rests before the first note
    "low:d=4,o=4,b=35:c,c#,d,d#,e,f,f#,g,g#,a,a#,b",
    "middle:d=8,o=5,b=40:c,c#,d,d#,e,f,f#,g,g#,a,a#,b",
    "high:d=16,o=6,b=45:c,c#,d,d#,e,f,f#,g,g#,a,a#,b",
    "top:d=32,o=7,b=50:c,c#,d,d#,e,f,f#,g,g#,a,a#,b",
    "leaps:d=8,o=5,b=56:a4,a7,a4,a7,g#.5,g#.6",
    "Nokia Tune:d=4,o=5,b=225:8e6,8d6,f#,g#,8c#6,8b,d,e,8b,8a,c#,e,2a",
    "Elise:d=8,o=5,b=160:e6,d#6,e6,d#6,e6,b,d6,c6,4a.,p,c,e,a,4b.,p,e,g#,b,4c.6",
    "fast:d=16,o=6,b=900:c,e,g,c7,g,e,c",
    "slow:d=2,o=5,b=63:c,g,4p,1c6",
    "mixed:d=4,o=6,b=70:8c#.,16d#.5,2p.,32a#7,1f4",
    "thirds:d=8,o=5,b=80:c,e,d,f,e,g,f,a,g,b,a,c6",
    "sharps:d=8,o=6,b=90:c#,d#,f#,g#,a#,c#7,a#5",
    "march:d=8,o=5,b=100:4g,g,g,4d#,16a#,4g,16a#,2g",
    "bells:d=16,o=7,b=112:c,b6,a6,g6,f6,e6,d6,c6",
    "drops:d=4,o=7,b=125:b,b6,b5,b4,p",
    "tempo140:d=8,o=5,b=140:c,d,e,c",
    "tempo500:d=8,o=5,b=500:c,d,e,c,p,c",
    "edges:d=32,o=4,b=800:c,b7,1c.,p",
};

class GammuRingtonePeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(::access(kGammu, X_OK), 0) << "Gammu is missing: scripts/ensure-packages.sh installs it (gammu)";
        std::ofstream(folder.file("gammurc")) << "[gammu]\nconnection = at\ndevice = /dev/null\n";
    }
    pelorin::testing::ProcessResult gammu(std::vector<std::string> args) {
        args.insert(args.begin(), {"-c", folder.file("gammurc")});
        return peers::runPeer(folder.path().string(), kGammu, args);
    }
    pelorin::testing::ProcessResult cli(std::vector<std::string> args) {
        return pelorin::testing::runProcess(PELORIN_CLI_PATH, args);
    }
    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(folder.file(name)) << text << "\n";
        return folder.file(name);
    }
    pelorin::testing::TemporaryFolder folder{"pelorin-gammu-ringtone"};
};

TEST_F(GammuRingtonePeerTest, OttFilesReadTheSameOnBothSides) {
    ASSERT_GE(std::size(kTunes), 20u);
    for (const char* tune : kTunes) {
        const Spelled expected = spell(tune);
        const std::string in = write("tune.rtttl", tune);

        // Pelorin's .ott read by Gammu.
        auto result = cli({"convert", in, folder.file("ours.ott")});
        ASSERT_EQ(result.exitStatus, 0) << tune << ": " << result.err;
        std::filesystem::remove(folder.file("gammu.txt"));
        result = gammu({"copyringtone", folder.file("ours.ott"), folder.file("gammu.txt"), "RTTL"});
        ASSERT_EQ(result.exitStatus, 0) << tune << ": " << result.out << result.err;
        EXPECT_EQ(spell(pelorin::testing::readFileText(folder.file("gammu.txt"))), expected) << tune;

        // Gammu's .ott read by Pelorin.
        std::filesystem::remove(folder.file("theirs.ott"));
        result = gammu({"copyringtone", in, folder.file("theirs.ott")});
        ASSERT_EQ(result.exitStatus, 0) << tune << ": " << result.out << result.err;
        result = cli({"convert", folder.file("theirs.ott"), folder.file("back.rtttl")});
        ASSERT_EQ(result.exitStatus, 0) << tune << ": " << result.err;
        EXPECT_EQ(spell(pelorin::testing::readFileText(folder.file("back.rtttl"))), expected) << tune;
    }
}

// python3-gammu reads each message pelorin-cli encodes as the tune; a tune
// of two or three messages is joined first, which DecodeSMS cannot do.
TEST_F(GammuRingtonePeerTest, PythonGammuDecodesTheEncodedMessages) {
    ASSERT_EQ(::access(kPython, X_OK), 0) << "python3 is missing";
    const std::string script = R"(
import binascii, sys
import gammu
names = {'C': 'c', 'Cis': 'c#', 'D': 'd', 'Dis': 'd#', 'E': 'e', 'F': 'f', 'Fis': 'f#', 'G': 'g',
         'Gis': 'g#', 'A': 'a', 'Ais': 'a#', 'H': 'b', 'Pause': 'p'}
lengths = {'Full': '1', '1_2': '2', '1_4': '4', '1_8': '8', '1_16': '16', '1_32': '32'}
octaves = {440: '4', 880: '5', 1760: '6', 3520: '7'}
dots = {'NoSpecialDuration': '', 'DottedNote': '.', 'DoubleDottedNote': '..'}
parts = [gammu.DecodePDU(binascii.unhexlify(line.strip()), SMSC=True) for line in sys.stdin if not line.startswith('AT')]
message = dict(parts[0])
if len(parts) > 1:
    message['UDH'] = {'Type': 'NokiaRingtone', 'Text': b'\x06\x05\x04\x15\x81\x00\x00'}
    message['Text'] = b''.join(part['Text'] for part in parts)
ringtone = gammu.DecodeSMS([message])['Entries'][0]['Ringtone']
notes = ringtone['Notes']
out = [ringtone['Name'] + ':d=4,o=5,b=' + str(notes[0]['Tempo']) + ':']
for n in notes:
    out.append(lengths[n['Duration']] + names[n['Note']] + ('' if n['Note'] == 'Pause' else octaves[n['Scale']]) + dots[n['DurationSpec']])
print(out[0] + ','.join(out[1:]))
print(len(parts))
)";
    std::vector<std::string> tunes(std::begin(kTunes), std::end(kTunes));
    std::string longTune = "long:d=8,o=5,b=200:";
    for (int k = 0; k < 120; ++k) longTune += std::string(k ? "," : "") + "cdefgab"[k % 7] + std::to_string(4 + k / 30);
    tunes.push_back(longTune);
    for (const std::string& tune : tunes) {
        auto encoded = cli({"encode", "ringtone", "--to", "+4917012345", write("tune.rtttl", tune)});
        ASSERT_EQ(encoded.exitStatus, 0) << tune << ": " << encoded.err;
        std::ofstream(folder.file("pdus.txt")) << encoded.out;
        const auto decoded = pelorin::testing::runProcess(
            "/bin/sh", {"-c", std::string(kPython) + " -c \"$0\" < \"$1\"", script, folder.file("pdus.txt")});
        ASSERT_EQ(decoded.exitStatus, 0) << tune << ": " << decoded.err;
        const auto lines = decoded.out.find('\n');
        EXPECT_EQ(decoded.out.substr(0, tune.find(':')), tune.substr(0, tune.find(':')));
        EXPECT_EQ(spell(decoded.out.substr(0, lines)), spell(tune)) << tune;
        EXPECT_EQ(decoded.out.substr(lines + 1), tune == longTune ? "2\n" : "1\n") << tune;
    }
}

// Gammu sends over the serial line; pelorin-phone's own decoder stores the
// tunes. Gammu's messages stop at 130 notes.
TEST_F(GammuRingtonePeerTest, GammuSendsTunesThatThePhoneStores) {
    pelorin::testing::TemporaryFolder store{"pelorin-gammu-ringtone-store"};
    pelorin::testing::PhoneProcess phone{PELORIN_PHONE_PATH, {"--quiet", "--store", store.path().string()}};
    ASSERT_TRUE(phone.started());
    std::ofstream(folder.file("gammurc")) << "[gammu]\nconnection = at\ndevice = " << phone.devicePath() << "\n";
    std::string longTune = "long:d=16,o=6,b=180:";
    for (int k = 0; k < 100; ++k) {
        const char letter = "cdefgab"[k % 7];
        longTune += std::string(k ? "," : "") + letter + (k % 5 || letter == 'e' || letter == 'b' ? "" : "#.5");
    }
    const std::vector<std::string> tunes = {kTunes[2], kTunes[8], kTunes[20], longTune};
    for (const std::string& tune : tunes) {
        const auto result = gammu({"sendsms", "RINGTONE", "+4917012345", write("tune.rtttl", tune), "-long"});
        EXPECT_EQ(result.exitStatus, 0) << tune << ": " << result.out << result.err;
    }
    const auto log = pelorin::testing::readPhoneLog(store.path());
    ASSERT_EQ(log.size(), tunes.size());
    for (std::size_t k = 0; k < tunes.size(); ++k) {
        EXPECT_EQ(log[k].at("kind"), "ringtone") << tunes[k];
        EXPECT_EQ(log[k].at("error"), "") << tunes[k];
        EXPECT_EQ(log[k].at("text"), tunes[k].substr(0, tunes[k].find(':')));
        EXPECT_EQ(log[k].at("parts"), k == 3 ? "2" : "1");
        const std::string stored = pelorin::testing::readFileText(store.path() / (log[k].at("file") + ".rtttl"));
        EXPECT_EQ(spell(stored), spell(tunes[k])) << tunes[k];
    }
}

}  // namespace
}  // namespace pelorin::phone
