// Programs we did not write read what pelorin-cli writes, and pelorin-cli
// reads what they write: python-gammu's DecodeSMS (EMS decoding on) the
// messages of "encode ems-picture", one part at a time (see
// data/gammu_decode_ems.py for what Gammu cannot read), Gammu's OTA bitmaps
// (from python-gammu's EncodeSMS: Gammu 1.42's copybitmap neither reads nor
// writes OTB files) our OTB files, netpbm's pbmtowbmp and wbmptopbm the WBMP
// files of "convert". Each fails when its program is missing.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "document/canvas.h"
#include "document/packed.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace pelorin {
namespace {

constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kGammuModule = "/usr/lib/python3/dist-packages/gammu/__init__.py";

Canvas pattern(LogoKind kind) {
    Canvas canvas(sizeOf(kind));
    for (int x = 0; x < canvas.width(); ++x)
        for (int y = 0; y < canvas.height(); ++y) canvas.set(x, y, (x * 7 + y * 3) % 5 < 2 || x == canvas.width() - 1);
    return canvas;
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct Decoded {
    std::vector<std::vector<std::string>> pictures;  // rows of '#' and '.'
    std::string text;                                // the parts' texts one after the other
    unsigned prompt = 0;                             // the strips the prompt indicator announces
};

class EmsPeerTest : public ::testing::Test {
protected:
    // encode ems-picture for the canvas and text, read back by DecodeSMS.
    Decoded decodeByGammu(const Canvas& canvas, const std::string& text) {
        testing::writeFileBytes(folder.file("logo.plr"), packCanvas(canvas));
        const std::string command = quoted(PELORIN_CLI_PATH) + " encode ems-picture --to +4917012345 --text " +
                                    quoted(text) + " " + quoted(folder.file("logo.plr")) + " | " + kPython + " " +
                                    quoted(std::string(PELORIN_SOURCE_DIR) + "/tests/cli/data/gammu_decode_ems.py");
        const auto result = testing::runProcess("/usr/bin/env", {"LC_ALL=C.UTF-8", "/bin/sh", "-c", command});
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        Decoded decoded;
        std::istringstream lines(result.out);
        std::size_t rowsLeft = 0;
        for (std::string line; std::getline(lines, line);) {
            if (rowsLeft > 0) {
                decoded.pictures.back().push_back(line);
                --rowsLeft;
            } else if (line.rfind("PICTURE ", 0) == 0) {
                unsigned width = 0;
                std::istringstream(line.substr(8)) >> width >> rowsLeft;
                decoded.pictures.emplace_back();
            } else if (line.rfind("TEXT ", 0) == 0) {
                decoded.text += line.substr(5);
            } else if (line.rfind("PROMPT ", 0) == 0) {
                decoded.prompt = static_cast<unsigned>(std::stoul(line.substr(7)));
            }
        }
        return decoded;
    }

    testing::TemporaryFolder folder{"pelorin-ems-peer"};
};

TEST_F(EmsPeerTest, GammuReadsEveryCanvasStripBesideStripWithItsText) {
    ASSERT_EQ(::access(kGammuModule, R_OK), 0) << "python-gammu is missing: scripts/ensure-packages.sh installs it";
    struct Row {
        LogoKind kind;
        std::size_t strips;
        std::string text;
    };
    const std::vector<Row> rows = {
        // 100 characters of 7-bit text: 3 behind the picture, the rest in a
        // part whose header is 5 octets.
        {LogoKind::Operator, 1, std::string(60, 'a') + "{[\u00E9\u00DF]}" + std::string(34, 'z')},
        {LogoKind::Picture, 3, "Gr\u00FC\u00DFe \u20AC \u0416"},  // UCS-2
        {LogoKind::LargeOperator, 2, "Hello"},
    };
    for (const Row& row : rows) {
        const Canvas canvas = pattern(row.kind);
        const Decoded decoded = decodeByGammu(canvas, row.text);
        ASSERT_EQ(decoded.pictures.size(), row.strips) << canvas.width();
        // The strips side by side: the canvas, then blank columns up to a
        // whole octet (78 wide: two).
        std::vector<std::string> joined(static_cast<std::size_t>(canvas.height()));
        for (const auto& strip : decoded.pictures) {
            ASSERT_EQ(strip.size(), joined.size());
            for (std::size_t y = 0; y < joined.size(); ++y) joined[y] += strip[y];
        }
        const int padded = (canvas.width() + 7) / 8 * 8;
        for (int y = 0; y < canvas.height(); ++y) {
            std::string expected;
            for (int x = 0; x < padded; ++x) expected += x < canvas.width() && canvas.isSet(x, y) ? '#' : '.';
            EXPECT_EQ(joined[static_cast<std::size_t>(y)], expected) << canvas.width() << " row " << y;
        }
        EXPECT_EQ(decoded.text, row.text) << canvas.width();
        EXPECT_EQ(decoded.prompt, row.strips > 1 ? row.strips : 0u);
    }
}

// A raw or plain PBM as netpbm writes it, as rows of '#' and '.'.
std::vector<std::string> readPbm(const std::string& bytes) {
    std::istringstream in(bytes);
    std::string magic;
    int width = 0, height = 0;
    in >> magic >> width >> height;
    in.get();
    std::vector<std::string> rows;
    const std::size_t stride = static_cast<std::size_t>(width + 7) / 8;
    for (int y = 0; y < height; ++y) {
        std::string row;
        std::string octets(stride, '\0');
        in.read(octets.data(), static_cast<std::streamsize>(stride));
        for (int x = 0; x < width; ++x)
            row +=
                (static_cast<unsigned char>(octets[static_cast<std::size_t>(x / 8)]) & (0x80 >> (x % 8))) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

TEST_F(EmsPeerTest, NetpbmReadsAndWritesTheSameWbmpPixels) {
    ASSERT_EQ(::access("/usr/bin/wbmptopbm", X_OK), 0) << "netpbm is missing: scripts/ensure-packages.sh installs it";
    for (LogoKind kind : {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator}) {
        const Canvas canvas = pattern(kind);
        std::vector<std::string> expected;
        std::string plain = "P1\n" + std::to_string(canvas.width()) + " " + std::to_string(canvas.height()) + "\n";
        for (int y = 0; y < canvas.height(); ++y) {
            std::string row;
            for (int x = 0; x < canvas.width(); ++x) {
                row += canvas.isSet(x, y) ? '#' : '.';
                plain += canvas.isSet(x, y) ? "1 " : "0 ";
            }
            expected.push_back(row);
            plain += "\n";
        }
        // Ours to netpbm.
        testing::writeFileBytes(folder.file("logo.plr"), packCanvas(canvas));
        auto result =
            testing::runProcess(PELORIN_CLI_PATH, {"convert", folder.file("logo.plr"), folder.file("ours.wbmp")});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        result = testing::runProcess("/usr/bin/wbmptopbm", {folder.file("ours.wbmp")});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_EQ(readPbm(result.out), expected) << canvas.width();

        // netpbm's to ours.
        std::ofstream(folder.file("theirs.pbm")) << plain;
        result = testing::runProcess("/bin/sh", {"-c", "/usr/bin/pbmtowbmp " + quoted(folder.file("theirs.pbm")) +
                                                           " > " + quoted(folder.file("theirs.wbmp"))});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        result = testing::runProcess(PELORIN_CLI_PATH, {"show", folder.file("theirs.wbmp")});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        std::string shown;
        for (const auto& row : expected) shown += row + "\n";
        EXPECT_NE(result.out.find("\n" + shown), std::string::npos) << result.out;
    }
}

TEST_F(EmsPeerTest, GammusOtaBitmapsAreOurOtbFilesBothWays) {
    ASSERT_EQ(::access(kGammuModule, R_OK), 0) << "python-gammu is missing: scripts/ensure-packages.sh installs it";
    for (LogoKind kind : {LogoKind::Operator, LogoKind::Picture}) {
        const Canvas canvas = pattern(kind);
        std::string rows;
        for (int y = 0; y < canvas.height(); ++y) {
            for (int x = 0; x < canvas.width(); ++x) rows += canvas.isSet(x, y) ? '#' : '.';
            rows += '\n';
        }
        std::ofstream(folder.file("rows.txt")) << rows;
        const auto gammu = testing::runProcess(
            "/bin/sh", {"-c", std::string(kPython) + " " +
                                  quoted(std::string(PELORIN_SOURCE_DIR) + "/tests/cli/data/gammu_ota_bitmap.py") +
                                  " < " + quoted(folder.file("rows.txt"))});
        ASSERT_EQ(gammu.exitStatus, 0) << gammu.err;

        // Ours, octet for octet.
        testing::writeFileBytes(folder.file("logo.plr"), packCanvas(canvas));
        auto result =
            testing::runProcess(PELORIN_CLI_PATH, {"convert", folder.file("logo.plr"), folder.file("ours.otb")});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        std::string ours;
        for (std::uint8_t octet : testing::readFileBytes(folder.file("ours.otb"))) {
            static constexpr char kDigits[] = "0123456789ABCDEF";
            ours += {kDigits[octet >> 4], kDigits[octet & 15]};
        }
        EXPECT_EQ(ours + "\n", gammu.out) << canvas.height();

        // Gammu's, read by show.
        std::vector<std::uint8_t> theirs;
        for (std::size_t i = 0; i + 1 < gammu.out.size(); i += 2)
            theirs.push_back(static_cast<std::uint8_t>(std::stoul(gammu.out.substr(i, 2), nullptr, 16)));
        testing::writeFileBytes(folder.file("theirs.otb"), theirs);
        result = testing::runProcess(PELORIN_CLI_PATH, {"show", folder.file("theirs.otb")});
        ASSERT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_NE(result.out.find("\n" + rows), std::string::npos) << result.out;
    }
}

}  // namespace
}  // namespace pelorin
