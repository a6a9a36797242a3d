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

    void write(int i) {
        static constexpr LogoKind kKinds[] = {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator};
        const LogoKind kind = kKinds[i % 3];
        const Canvas operatorLogo = drawing(LogoKind::Operator, i);
        std::vector<std::uint8_t> bytes;
        std::string extension;
        switch (i % 8) {
            case 0:
                bytes = encodeBitmap(drawing(kind, i)), extension = "bmp";
                break;
            case 1:
                bytes = packCanvas(drawing(kind, i)), extension = "plr";
                break;
            case 2:
                bytes = encodePhoneLogo(PhoneLogoFormat::Ngg, operatorLogo), extension = "ngg";
                break;
            case 3:
                bytes = encodePhoneLogo(PhoneLogoFormat::Nol, operatorLogo), extension = "NOL";
                break;
            case 4:
                bytes = encodePhoneLogo(PhoneLogoFormat::Nlm, operatorLogo), extension = "nlm";
                break;
            case 5:
                bytes = encodeBitmap(drawing(kind, i + 1)), extension = "BMP";
                break;
            case 6:
                bytes = packCanvas(drawing(kind, i)), extension = "plr";
                break;
            default:
                bytes.assign(300, 'x'), extension = "txt";
                break;
        }
        std::ofstream(path_ / ("logo" + std::to_string(i) + "." + extension), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    std::filesystem::path path_;
};

}  // namespace pelorin::bench
