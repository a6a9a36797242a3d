// The ringtone formats against octets written by hand, the readers' errors
// and a table of tunes carried through RTTTL, the Smart Messaging octets and
// MIDI.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ringtone/midi.h"
#include "ringtone/rtttl.h"
#include "ringtone/smart_messaging.h"
#include "ringtone/sound.h"
#include "util/text.h"

namespace pelorin::ringtone {
namespace {

std::vector<std::uint8_t> fromHex(const std::string& hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string toHex(const std::vector<std::uint8_t>& bytes) { return hexBytes(bytes.data(), bytes.size()); }

Ringtone parsed(const std::string& text) {
    const RtttlReading reading = readRtttl(text);
    EXPECT_TRUE(reading.ringtone) << text << ": " << reading.error;
    return reading.ringtone.value_or(Ringtone{});
}

struct HandEncoded {
    const char* rtttl;
    const char* octets;
    bool scaleEveryNote;
};

// Worked out bit by bit from the format: 02 | 0100101 0 | 0011101 | 001 |
// title | 1 pattern | 000 00 loop count | style, tempo, [volume], scale
// where it changes, the notes | zero bits | 00.
TEST(SmartMessagingTest, EncodesAndDecodesHandWrittenOctets) {
    const HandEncoded cases[] = {
        {":d=4,o=5,b=63:c", "024A3A40040008C884914000", false},
        {"abcd:d=4,o=5,b=125:8c6,8e6,g6,p,16a#4.,2c7,32b", "024A3A5185898D9004001AC8E511615618410420DC564489394000",
         false},
        {"x:d=8,o=6,b=900,l=15,s=s,v=3:c,c", "024A3A45E0041E0CE9FA6A22C22C00", false},
        {"x:d=8,o=6,b=900,l=15,s=s,v=3:c,c", "024A3A45E0041E0EE9FA6A22C5116000", true},
    };
    for (const auto& c : cases) {
        const Ringtone tone = parsed(c.rtttl);
        EncodeOptions options;
        options.scaleEveryNote = c.scaleEveryNote;
        EXPECT_EQ(toHex(encodeSmartMessaging(tone, options)), c.octets) << c.rtttl;
        const auto decoded = decodeSmartMessaging(fromHex(c.octets));
        ASSERT_TRUE(decoded.ringtone) << c.rtttl << ": " << decoded.error;
        EXPECT_EQ(*decoded.ringtone, tone) << c.rtttl;
    }
}

TEST(SmartMessagingTest, DecoderRefusesEveryCutAndEveryUnknownValue) {
    const auto whole = fromHex("024A3A5185898D9004001AC8E511615618410420DC564489394000");
    // Every cut before the last instruction's end is refused, never read past.
    for (std::size_t size = 0; size + 2 < whole.size(); ++size) {
        const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        const auto decoded = decodeSmartMessaging(cut);
        EXPECT_FALSE(decoded.ringtone) << size;
        EXPECT_NE(decoded.error.find("Cut short"), std::string::npos) << size << ": " << decoded.error;
    }
    // Bits as the format lays them out, spaces for reading only.
    const auto bits = [](std::string text) {
        std::erase(text, ' ');
        text.append((8 - text.size() % 8) % 8, '0');
        std::vector<std::uint8_t> octets;
        for (std::size_t i = 0; i < text.size(); i += 8)
            octets.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 8), nullptr, 2)));
        return octets;
    };
    const std::string head = "00000010 0100101 0 0011101 001 0000 00000001 000 00 0000 00000001 ";
    const struct {
        std::string bits;
        const char* error;
    } bad[] = {
        {"00000001 0100101 0", "Not a ringtone: 1 commands at octet 2"},
        {"00000010 0100110 0", "Not a ringing tone programming command at octet 2"},
        {"00000010 0100101 0 0011110", "Not a sound command at octet 3"},
        {"00000010 0100101 0 0011101 100", "Unknown song type 4 at octet 4"},
        {"00000010 0100101 0 0011101 001 0000 00000000", "No pattern at octet 5"},
        {"00000010 0100101 0 0011101 001 0000 00000001 001", "Not a pattern header at octet 6"},
        {head + "001 1101 000 00", "Unknown note value 13 at octet 9"},
        {head + "001 0001 110 00", "Unknown duration 6 at octet 9"},
        {head + "001 0001 000 11", "Two-thirds length is not supported at octet 9"},
        {head + "011 11", "Unknown style 3 at octet 8"},
        {head + "110", "Unknown instruction 6 at octet 8"},
        {head + "000", "Unknown instruction 0 at octet 8"},
    };
    for (const auto& b : bad) {
        const auto decoded = decodeSmartMessaging(bits(b.bits));
        EXPECT_FALSE(decoded.ringtone) << b.bits;
        EXPECT_EQ(decoded.error, b.error) << b.bits;
    }
}

TEST(RtttlTest, ErrorsNameTheirPosition) {
    const struct {
        const char* text;
        const char* error;
        std::size_t position;
    } cases[] = {
        {"tune:d=4,o=5,b=125:8c6,h", "Unknown note 'h' at 24", 24},
        {"tune:d=4,o=5,b=125:8c6, 8e6, 4h", "Unknown note 'h' at 31", 31},
        {"tune", "Missing ':' after the name at 5", 5},
        {"tune:d=4", "Missing ':' after the defaults at 9", 9},
        {"tune:x=4:c", "Unknown setting 'x' at 6", 6},
        {"tune:d=3:c", "Unknown duration 3 at 8", 8},
        {"tune:o=9:c", "Octave 9 is outside 4 to 7 at 8", 8},
        {"tune:d=4,d=8:c", "Setting 'd' given twice at 10", 10},
        {"tune:d 4:c", "Missing '=' after 'd' at 8", 8},
        {"tune:b=:c", "Missing number for 'b' at 8", 8},
        {"tune:b=0:c", "Tempo 0 at 8", 8},
        {"tune:l=16:c", "Loop 16 is outside 0 to 15 at 8", 8},
        {"tune:s=x:c", "Unknown style 'x' at 8", 8},
        {"tune:d=4;o=5:c", "Expected ',' or ':' but found ';' at 9", 9},
        {"t::c,3d", "Unknown duration 3 at 6", 6},
        {"t::c,e#", "No sharp of 'e' at 7", 7},
        {"t::c,c3", "Octave 3 is outside 4 to 7 at 7", 7},
        {"t::c...", "More than two dots at 4", 4},
        {"t::c d", "Expected ',' but found 'd' at 6", 6},
        {"t::c,", "Missing note at 6", 6},
        {"\xC3\xA9t\xC3\xA9::c,x", "Unknown note 'x' at 8", 8},  // characters, not bytes
        {"1234567890123456789012345678901::c", "Name longer than 30 characters at 31", 31},
        {"caf\xE2\x82\xAC::c", "Character '\xE2\x82\xAC' in the name cannot be sent at 4", 4},
    };
    for (const auto& c : cases) {
        const RtttlReading reading = readRtttl(c.text);
        EXPECT_FALSE(reading.ringtone) << c.text;
        EXPECT_EQ(reading.error, c.error) << c.text;
        EXPECT_EQ(reading.position, c.position) << c.text;
    }
}

TEST(RtttlTest, ReadsDefaultsInAnyOrderSpacesCaseAndBothDotPlaces) {
    const Ringtone a = parsed(" My Tune : B=120 , O=4 ,D=8 : C#6. , 16P, 2d#.5, e, F7.., g#");
    EXPECT_EQ(a.name, "My Tune");
    EXPECT_EQ(a.tempo, 125);  // the nearest of the format's tempos (112 or 125)
    const std::vector<Note> expected = {
        {Pitch::CSharp, 3, Duration::Eighth, Dots::Dotted},  {Pitch::Rest, 1, Duration::Sixteenth, Dots::None},
        {Pitch::DSharp, 2, Duration::Half, Dots::Dotted},    {Pitch::E, 1, Duration::Eighth, Dots::None},
        {Pitch::F, 4, Duration::Eighth, Dots::DoubleDotted}, {Pitch::GSharp, 1, Duration::Eighth, Dots::None},
    };
    EXPECT_EQ(a.notes, expected);
    const Ringtone defaults = parsed("x::c");  // d=4, o=6, b=63
    EXPECT_EQ(defaults.tempo, 63);
    EXPECT_EQ(defaults.notes, (std::vector<Note>{{Pitch::C, 3, Duration::Quarter, Dots::None}}));
    EXPECT_EQ(parsed("x:b=26:c").tempo, 25);
    EXPECT_EQ(parsed("x:b=5000:c").tempo, 900);
    const RtttlForm gammuForm{true, false};
    EXPECT_EQ(writeRtttl(a, gammuForm), "My Tune:d=8,o=4,b=125:c#.6,16p,2d#.5,e,f..7,g#");
    EXPECT_EQ(writeRtttl(a), "My Tune:d=8,o=4,b=125:c#6.,16p,2d#5.,e,f7..,g#");
}

// Tunes written for the table: every duration, dots, rests, every scale,
// sharps, loops, styles, volumes and both ends of the tempo table.
const char* const kTunes[] = {
    "full:d=1,o=5,b=25:c,d,e",
    "half:d=2,o=5,b=28:f,g,a",
    "quarter:d=4,o=4,b=900:c,c#,d,d#,e,f,f#,g,g#,a,a#,b",
    "eighth:d=8,o=5,b=31:c,c#,d,d#,e,f,f#,g,g#,a,a#,b",
    "sixteenth:d=16,o=6,b=35:c,c#,d,d#,e,f,f#,g,g#,a,a#,b",
    "thirtysecond:d=32,o=7,b=40:c,c#,d,d#,e,f,f#,g,g#,a,a#,b",
    "dotted:d=4,o=5,b=45:1c.,2d.,4e.,8f.,16g.,32a.",
    "double:d=4,o=5,b=50:1c..,2d..,4e..,8f..,16g..,32a..",
    "rests:d=4,o=5,b=56:p,1p,2p.,8p..,16p,32p,c",
    "scales:d=4,o=5,b=63:c4,c5,c6,c7,b7,b4",
    "leap:d=8,o=6,b=70:a4,a7,a4,a7,g#5,g#6",
    "loop once:d=4,o=5,b=80,l=1:c,e,g",
    "loop forever:d=4,o=5,b=90,l=15:c,p,c",
    "continuous:d=4,o=5,b=100,s=c:c,d",
    "staccato:d=4,o=5,b=112,s=s:c,d",
    "volume:d=4,o=5,b=125,v=15:e,f",
    "quiet:d=4,o=5,b=140,v=0:e,f",
    "Nokia Tune:d=4,o=5,b=225:8e6,8d6,f#,g#,8c#6,8b,d,e,8b,8a,c#,e,2a",
    "Für Elise:d=8,o=5,b=160:e6,d#6,e6,d#6,e6,b,d6,c6,4a.,p,c,e,a,4b.,p,e,g#,b,4c6.",
    "scale jumps:d=16,o=4,b=320:c,c5,c6,c7,c6,c5,c,p,c7",
    "mixed:d=4,o=6,b=500:8c#.,16d#5..,2p.,32a#7,1f4",
    "ends:d=32,o=7,b=900:b,p,1c4..",
};

TEST(RingtoneTableTest, EveryTuneRoundTripsThroughRtttlOctetsAndMidi) {
    ASSERT_GE(std::size(kTunes), 20u);
    for (const char* text : kTunes) {
        const Ringtone tone = parsed(text);
        ASSERT_FALSE(tone.notes.empty()) << text;

        for (const RtttlForm form : {RtttlForm{}, RtttlForm{true, true}}) {
            const RtttlReading again = readRtttl(writeRtttl(tone, form));
            ASSERT_TRUE(again.ringtone) << text << ": " << again.error;
            EXPECT_EQ(*again.ringtone, tone) << text;
        }
        for (const bool everyNote : {false, true}) {
            const auto decoded = decodeSmartMessaging(encodeSmartMessaging(tone, EncodeOptions{everyNote}));
            ASSERT_TRUE(decoded.ringtone) << text << ": " << decoded.error;
            EXPECT_EQ(*decoded.ringtone, tone) << text;
        }
        // MIDI keeps the name, the notes and the tempo, not loop, style or volume.
        const MidiReading midi = readMidi(writeMidi(tone));
        ASSERT_TRUE(midi.ringtone) << text << ": " << midi.error;
        Ringtone plain = tone;
        plain.loop = 0;
        plain.style = Style::Natural;
        plain.volume.reset();
        while (!plain.notes.empty() && plain.notes.front().isRest()) plain.notes.erase(plain.notes.begin());
        EXPECT_EQ(midi.ringtone->name, plain.name) << text;
        EXPECT_EQ(midi.ringtone->tempo, plain.tempo) << text;
        // A rest split by the reader sums to the same length.
        auto lengths = [](const std::vector<Note>& notes) {
            std::vector<std::pair<int, int>> out;  // (key or -1, units), rests merged
            for (const Note& note : notes) {
                const int key = note.isRest() ? -1 : midiKey(note);
                const int units = lengthUnits(note.duration, note.dots);
                if (key == -1 && !out.empty() && out.back().first == -1) {
                    out.back().second += units;
                } else {
                    out.emplace_back(key, units);
                }
            }
            return out;
        };
        EXPECT_EQ(lengths(midi.ringtone->notes), lengths(plain.notes)) << text;
    }
}

TEST(MidiTest, WritesKeysWithA4At69AndReadsChordsAsTheirHighestNote) {
    const auto bytes = writeMidi(parsed("a:d=4,o=4,b=125:a,c5,a7"));
    const std::string hex = toHex(bytes);
    EXPECT_EQ(hex.substr(0, 36), "4D546864000000060000000101804D54726B");  // format 0, one track, 384 a quarter
    EXPECT_NE(hex.find("0090456483008045"), std::string::npos) << hex;     // a4 is key 69 for 384 ticks
    EXPECT_NE(hex.find("9048"), std::string::npos) << hex;                 // c5 key 72
    EXPECT_NE(hex.find("9069"), std::string::npos) << hex;                 // a7 key 105
    EXPECT_NE(hex.find("FF5103075300"), std::string::npos) << hex;         // 480000 us a quarter

    // Format 1 with a tempo track; a C major chord, then E alone an eighth
    // on channel 2 (ignored: the first note's channel is read), then a rest.
    const std::string track1 = "00FF510307A12000FF2F00";
    const std::string track2 =
        "00903C40"
        "00904040"
        "00904340"
        "00914C40"  // C E G on channel 1, E on channel 2
        "8300803C40"
        "004040"
        "004340"
        "00814C40"  // all off after a quarter, running status
        "00904040"
        "8140804040"   // E alone for an eighth
        "8140FF2F00";  // a closing rest of an eighth
    const auto hexLength = [](const std::string& h) {
        char buffer[20];
        std::snprintf(buffer, sizeof buffer, "%08zX", h.size() / 2);
        return std::string(buffer);
    };
    const std::string file = "4D54686400000006000100020180" + std::string("4D54726B") + hexLength(track1) + track1 +
                             "4D54726B" + hexLength(track2) + track2;
    const MidiReading reading = readMidi(fromHex(file));
    ASSERT_TRUE(reading.ringtone) << reading.error;
    EXPECT_EQ(writeRtttl(*reading.ringtone), ":d=8,o=4,b=125:4g,e,p");  // 120 is no format tempo: 125

    EXPECT_EQ(readMidi(fromHex("4D546864000000060002")).error, "The MIDI header is cut short");
    EXPECT_EQ(readMidi(fromHex("4D546864000000060002000101800000")).error, "MIDI format 2 is not read");
    EXPECT_EQ(readMidi(fromHex("4D54686400000006000000010180"
                               "4D54726B00000002"
                               "0090"))
                  .error,
              "MIDI track 1: an event is cut short");
    EXPECT_EQ(readMidi(fromHex("4D54686400000006000000010180"
                               "4D54726B00000010"))
                  .error,
              "A MIDI chunk is cut short");
    EXPECT_EQ(readMidi(fromHex("4D54686400000006000000010180"
                               "4D54726B00000005"
                               "FFFFFFFF7F"))
                  .error,
              "MIDI track 1: a delta time is damaged");
}

TEST(LimitsTest, OneMessageTwoOrThreePartsOrRefusedWithTheNotesThatFit) {
    // Name "" and one scale: 11 octets of frame and 12 bits a note.
    const auto tune = [](std::size_t notes) {
        Ringtone tone;
        tone.notes.assign(notes, Note{Pitch::C, 2, Duration::Quarter, Dots::None});
        return tone;
    };
    // The largest tune of one message, and one note more.
    std::size_t single = 0;
    while (encodeSmartMessaging(tune(single + 1)).size() <= kSingleMessageOctets) ++single;
    EXPECT_EQ(single, 81u);
    EXPECT_EQ(measureRingtone(tune(single)).messages, 1);
    EXPECT_EQ(measureRingtone(tune(single + 1)).messages, 2);
    EXPECT_EQ(measureRingtone(tune(160)).messages, 2);
    EXPECT_EQ(measureRingtone(tune(200)).messages, 3);
    const RingtoneBudget refused = measureRingtone(tune(300));
    EXPECT_EQ(refused.messages, 0);
    EXPECT_EQ(refused.notesThatFit, 249u);
    EXPECT_LE(encodeSmartMessaging(tune(249)).size(), 384u);
    EXPECT_GT(encodeSmartMessaging(tune(250)).size(), 384u);
    EXPECT_EQ(refused.refusal,
              "The ringtone takes 461 octets, more than 3 messages carry (384): its first 249 notes would fit");
    // Playable notes are a warning, the smallest count exceeded named.
    EXPECT_TRUE(measureRingtone(tune(58)).warnings.empty());
    EXPECT_EQ(measureRingtone(tune(59)).warnings,
              (std::vector<std::string>{"59 notes: phones that play 58 notes stop early"}));
    const auto two = measureRingtone(tune(90)).warnings;
    EXPECT_EQ(two, (std::vector<std::string>{"It takes 2 concatenated messages, which only some phones take",
                                             "90 notes: phones that play 58 notes stop early"}));

    // The user data: one message behind its port header; parts of 128.
    const auto one = ringtoneUserData(encodeSmartMessaging(tune(1)));
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(toHex(one[0]).substr(0, 14), "06050415810000");
    const auto octets = encodeSmartMessaging(tune(200));
    const auto parts = ringtoneUserData(octets);
    ASSERT_EQ(parts.size(), 3u);
    std::vector<std::uint8_t> joined;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        EXPECT_EQ(toHex(parts[k]).substr(0, 18), "0B0504158100000003") << k;
        EXPECT_EQ(parts[k][9], parts[0][9]) << k;  // one reference
        EXPECT_EQ(parts[k][10], 3) << k;
        EXPECT_EQ(parts[k][11], k + 1) << k;
        EXPECT_EQ(parts[k].size(), k < 2 ? 140u : 12u + octets.size() - 256u) << k;
        joined.insert(joined.end(), parts[k].begin() + 12, parts[k].end());
    }
    EXPECT_EQ(joined, octets);
    EXPECT_TRUE(ringtoneUserData(std::vector<std::uint8_t>(385, 0)).empty());

    // A scale change before every note: the instruction count is what runs out.
    Ringtone jumping;
    for (int k = 0; k < 140; ++k) jumping.notes.push_back(Note{Pitch::A, 1 + k % 2, Duration::Eighth, Dots::None});
    const RingtoneBudget counted = measureRingtone(jumping);
    EXPECT_EQ(counted.messages, 0);
    EXPECT_EQ(counted.refusal,
              "The ringtone takes 282 instructions (notes and scale changes), more than the 255 a pattern holds: its "
              "first 126 notes would fit");
}

TEST(SoundTest, SquareWaveAndWavFile) {
    // a4 (440 Hz) for a quarter at 120 beats: 0.5 s, 4000 samples.
    Ringtone tone = parsed("x:d=4,o=4,b=125,s=c:a,p");
    tone.tempo = 120;
    const auto samples = renderSquareWave(tone);
    ASSERT_EQ(samples.size(), 8000u);
    int changes = 0;
    for (std::size_t k = 1; k < 4000; ++k) changes += (samples[k] > 0) != (samples[k - 1] > 0) ? 1 : 0;
    EXPECT_NEAR(changes, 440, 2);  // two changes a period, half a second
    EXPECT_TRUE(std::all_of(samples.begin() + 4000, samples.end(), [](std::int16_t s) { return s == 0; }));
    tone.style = Style::Staccato;
    const auto staccato = renderSquareWave(tone);
    EXPECT_TRUE(std::all_of(staccato.begin() + 2000, staccato.end(), [](std::int16_t s) { return s == 0; }));
    EXPECT_NE(staccato[1999], 0);

    const auto wav = writeWav(tone);
    ASSERT_EQ(wav.size(), 44u + 16000u);
    EXPECT_EQ(toHex(std::vector<std::uint8_t>(wav.begin(), wav.begin() + 44)),
              "52494646A43E000057415645666D74201000000001000100401F0000803E000002001000646174618"
              "03E0000");
}

TEST(SoundTest, IMelodyText) {
    EXPECT_EQ(writeIMelody(parsed("Tune:d=4,o=5,b=125,l=15,s=s,v=7:8c#6.,p,2b4..")),
              "BEGIN:IMELODY\r\nVERSION:1.2\r\nFORMAT:CLASS1.0\r\nNAME:Tune\r\nBEAT:125\r\nSTYLE:S2\r\n"
              "VOLUME:V7\r\nMELODY:(*5#c3.r2*3b1:@0)\r\nEND:IMELODY\r\n");
}

}  // namespace
}  // namespace pelorin::ringtone
