#pragma once

// A folder of logo files of every kind the open-file dialog lists, for the
// browser benchmarks: bitmaps of the three sizes, document files of the three
// lengths, ngg, nol and nlm files, and some files that are not offered.

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "document/canvas.h"
#include "document/packed.h"
#include "formats/bitmap_writer.h"
#include "formats/phone_logo.h"

namespace pelorin::bench {

class LogoFolder {
public:
    explicit LogoFolder(int fileCount) {
        std::string pattern = (std::filesystem::temp_directory_path() / "pelorin-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) return;
        path_ = pattern;
        for (int i = 0; i < fileCount; ++i) write(i);
    }
    ~LogoFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    LogoFolder(const LogoFolder&) = delete;
    LogoFolder& operator=(const LogoFolder&) = delete;

    std::string path() const { return path_.string(); }

private:
    static Canvas drawing(LogoKind kind, int seed) {
        Canvas canvas(sizeOf(kind));
        for (int x = 0; x < canvas.width(); ++x)
            for (int y = 0; y < canvas.height(); ++y) canvas.set(x, y, (x * 3 + y * 5 + seed) % 7 == 0);
        return canvas;
    }

    struct Made {
        std::vector<std::uint8_t> bytes;
        std::string extension;
    };

    // Eight kinds in turn; the txt files are never offered.
    static Made made(int i) {
        static constexpr LogoKind kKinds[] = {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator};
        const LogoKind kind = kKinds[i % 3];
        const Canvas operatorLogo = drawing(LogoKind::Operator, i);
        switch (i % 8) {
            case 0:
                return {encodeBitmap(drawing(kind, i)), "bmp"};
            case 1:
                return {packCanvas(drawing(kind, i)), "plr"};
            case 2:
                return {encodePhoneLogo(PhoneLogoFormat::Ngg, operatorLogo), "ngg"};
            case 3:
                return {encodePhoneLogo(PhoneLogoFormat::Nol, operatorLogo), "NOL"};
            case 4:
                return {encodePhoneLogo(PhoneLogoFormat::Nlm, operatorLogo), "nlm"};
            case 5:
                return {encodeBitmap(drawing(kind, i + 1)), "BMP"};
            case 6:
                return {packCanvas(drawing(kind, i)), "plr"};
            default:
                return {std::vector<std::uint8_t>(300, 'x'), "txt"};
        }
    }

    void write(int i) {
        const Made file = made(i);
        std::ofstream(path_ / ("logo" + std::to_string(i) + "." + file.extension), std::ios::binary)
            .write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<std::streamsize>(file.bytes.size()));
    }

    std::filesystem::path path_;
};

}  // namespace pelorin::bench
