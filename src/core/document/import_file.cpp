#include "document/import_file.h"

#include "document/document_file.h"
#include "formats/bitmap_import.h"
#include "formats/mono_files.h"
#include "formats/phone_logo.h"

namespace pelorin {

std::optional<std::string> importExtension(const std::string& path) {
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos) return std::nullopt;
    std::string extension = path.substr(dot + 1);
    // ASCII only: file extensions of interest are plain letters.
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return extension;
}

ImportResult readLogoFile(FileSystem& files, const std::string& path) {
    const auto extension = importExtension(path);
    if (!extension) return ImportResult::ignored();
    if (*extension == "bmp") return readBitmapLogo(files, path);
    if (const auto format = phoneLogoFormatForExtension(*extension)) return readPhoneLogo(files, path, *format);
    if (const auto format = monoFileFormatForExtension(*extension)) return readMonoLogoFile(files, path, *format);
    return readDocumentFile(files, path);
}

}  // namespace pelorin
