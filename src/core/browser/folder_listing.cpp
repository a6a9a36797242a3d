#include "browser/folder_listing.h"

#include <algorithm>

#include "document/document_file.h"
#include "document/import_file.h"
#include "formats/bitmap_reader.h"
#include "formats/mono_files.h"
#include "formats/phone_logo.h"

namespace pelorin {

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool filterTakes(FileFilter filter, FileFilter kind) { return filter == FileFilter::AllSupported || filter == kind; }

// A listing may meet several broken bitmaps; each message says which file
// it is about, on a line of its own unless the text names it already.
class NamingMessages final : public UserMessages {
public:
    NamingMessages(UserMessages& to, const std::string& path) : to_(to), path_(path) {}
    void showMessage(const std::string& text) override {
        to_.showMessage(text.find(path_) == std::string::npos ? text + "\n" + path_ : text);
    }

private:
    UserMessages& to_;
    const std::string& path_;
};

bool isLogoBitmap(FileSystem& files, UserMessages& messages, const std::string& path) {
    BitmapReader reader;
    NamingMessages naming(messages, path);
    if (!reader.load(files, naming, path)) return false;
    if (reader.bitsPerPixel() != 8) return false;
    // The height as stored: a top-down bitmap is not imported as a logo.
    const CanvasSize size{reader.width(), reader.height()};
    for (LogoKind kind : {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator})
        if (size.width == sizeOf(kind).width && size.height == sizeOf(kind).height) return true;
    return false;
}

// The bytes that must be there before a phone-logo file is offered: the
// header for the character formats, header and pixels for nlm.
std::size_t bytesCheckedBeforeOffering(PhoneLogoFormat format) {
    return format == PhoneLogoFormat::Nlm ? phoneLogoFileSize(format) : phoneLogoHeaderSize(format);
}

bool isOperatorSizedPhoneLogo(FileSystem& files, const std::string& path, PhoneLogoFormat format) {
    const std::size_t needed = bytesCheckedBeforeOffering(format);
    const auto bytes = readFilePrefix(files, path, needed);
    if (!bytes || bytes->size() != needed) return false;
    const auto size = phoneLogoDeclaredSize(format, *bytes);
    const CanvasSize operatorSize = sizeOf(LogoKind::Operator);
    return size && size->width == operatorSize.width && size->height == operatorSize.height;
}

FileFilter filterOfPhoneLogo(PhoneLogoFormat format) {
    switch (format) {
        case PhoneLogoFormat::Ngg:
            return FileFilter::Ngg;
        case PhoneLogoFormat::Nol:
            return FileFilter::Nol;
        case PhoneLogoFormat::Nlm:
            return FileFilter::Nlm;
    }
    return FileFilter::AllSupported;
}

struct SilentMessages : UserMessages {
    void showMessage(const std::string&) override {}
};

bool startsWithBitmapMagic(FileSystem& files, const std::string& path) {
    const auto bytes = readFilePrefix(files, path, 2);
    return bytes && bytes->size() == 2 && (*bytes)[0] == 'B' && (*bytes)[1] == 'M';
}

bool isOffered(FileSystem& files, UserMessages& messages, const std::string& path, std::uint64_t size,
               FileFilter filter, bool withPictures) {
    const auto extension = importExtension(path);
    if (!extension) return false;
    const bool pictures = withPictures && filter == FileFilter::AllSupported;
    if (pictures && isBrowsedPictureExtension(*extension)) return true;
    if (*extension == "bmp" && pictures) {
        SilentMessages silent;
        if (isLogoBitmap(files, silent, path) || startsWithBitmapMagic(files, path)) return true;
        return isLogoBitmap(files, messages, path);  // shows why it is not a bitmap
    }
    if (*extension == "bmp") return filterTakes(filter, FileFilter::Bmp) && isLogoBitmap(files, messages, path);
    if (*extension == "plr") return filterTakes(filter, FileFilter::Plr) && documentKindForLength(size).has_value();
    if (const auto mono = monoFileFormatForExtension(*extension)) {
        if (!filterTakes(filter, *mono == MonoFileFormat::Wbmp ? FileFilter::Wbmp : FileFilter::Otb)) return false;
        const auto bytes =
            readFilePrefix(files, path, static_cast<std::size_t>(std::min<std::uint64_t>(size, 1u << 22)));
        return bytes && readMonoFile(*mono, *bytes).picture.has_value();
    }
    // ngg, nol and nlm, checked in that order.
    const auto format = phoneLogoFormatForExtension(*extension);
    return format && filterTakes(filter, filterOfPhoneLogo(*format)) && isOperatorSizedPhoneLogo(files, path, *format);
}

}  // namespace

bool isBrowsedPictureExtension(std::string_view extension) {
    return extension == "png" || extension == "jpg" || extension == "jpeg" || extension == "gif";
}

FileFilter fileFilterAt(int position) {
    if (position < 0 || position >= static_cast<int>(kFileFilterItems.size())) return FileFilter::AllSupported;
    return static_cast<FileFilter>(position);
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    const auto lowerLess = [](char x, char y) { return lowerAscii(x) < lowerAscii(y); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), lowerLess)) return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), lowerLess)) return false;
    return a < b;
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

FolderListing listFolderFiles(FileSystem& files, UserMessages& messages, const std::string& folder, FileFilter filter,
                              bool withPictures) {
    FolderListing listing;
    auto entries = files.listEntries(folder);
    if (!entries) return listing;
    // The system gives entries in no fixed order; sorting first makes the
    // listing, and any messages it shows, the same on every run.
    std::sort(entries->begin(), entries->end(),
              [](const FolderEntry& a, const FolderEntry& b) { return lessIgnoringCase(a.name, b.name); });
    const std::string prefix = folder == "/" ? "/" : folder + "/";
    for (const FolderEntry& entry : *entries) {
        if (entry.type == FolderEntry::Type::Folder) listing.folders.push_back(entry.name);
        if (entry.type != FolderEntry::Type::File) continue;
        const std::string path = prefix + entry.name;
        if (isOffered(files, messages, path, entry.size, filter, withPictures)) listing.files.push_back(path);
    }
    return listing;
}

}  // namespace pelorin
