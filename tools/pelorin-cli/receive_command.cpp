#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <span>

#include "commands.h"
#include "interrupt.h"
#include "line_options.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "ringtone_commands.h"
#include "sms/inbox_reader.h"
#include "sms/received_messages.h"
#include "util/text.h"

namespace pelorin::cli {

namespace {

struct ReceiveArguments {
    std::string port;
    std::optional<std::filesystem::path> out;
    std::optional<std::string> log;
    bool remove = false;
    bool fast = false;
    bool help = false;
};

std::optional<ReceiveArguments> parseReceiveArguments(const std::vector<std::string>& args, std::string& why) {
    ReceiveArguments parsed;
    bool havePort = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if ((arg == "--port" || arg == "--out" || arg == "--log") && i + 1 >= args.size()) {
            why = arg + " needs a value";
            return std::nullopt;
        }
        if (isHelpOption(arg)) {
            parsed.help = true;
            return parsed;
        }
        if (arg == "--port") {
            parsed.port = args[++i];
            havePort = true;
        } else if (arg == "--out") {
            parsed.out = std::filesystem::path(args[++i]);
        } else if (arg == "--log") {
            parsed.log = args[++i];
        } else if (arg == "--delete") {
            parsed.remove = true;
        } else if (arg == "--fast") {
            parsed.fast = true;
        } else {
            why = "unexpected argument " + arg;
            return std::nullopt;
        }
    }
    if (!havePort) {
        why = "missing --port NAME";
        return std::nullopt;
    }
    if (parsed.remove && !parsed.out) {
        why = "--delete needs --out DIR: only what was written is deleted";
        return std::nullopt;
    }
    return parsed;
}

std::string indexList(const ReceivedItem& item) {
    std::string text = item.memory.empty() ? "" : item.memory + ":";
    for (std::size_t i = 0; i < item.indices.size(); ++i) text += (i ? "," : "") + std::to_string(item.indices[i]);
    return text;
}

std::string describe(const ReceivedItem& item) {
    switch (item.kind) {
        case ReceivedKind::OperatorLogo:
            return std::to_string(item.width) + "x" + std::to_string(item.height) + " " + item.mcc + "-" + item.mnc;
        case ReceivedKind::GroupGraphic:
            return std::to_string(item.width) + "x" + std::to_string(item.height);
        case ReceivedKind::PictureMessage:
            return std::to_string(item.width) + "x" + std::to_string(item.height) + " " + escapedForDisplay(item.text);
        case ReceivedKind::EmsPicture:
            return std::to_string(item.width) + "x" + std::to_string(item.height) + " " + escapedForDisplay(item.text) +
                   (item.reason.empty() ? "" : " (" + escapedForDisplay(item.reason) + ")");
        case ReceivedKind::Text:
            return escapedForDisplay(item.text);
        case ReceivedKind::Ringtone:
            return escapedForDisplay(describeReceivedRingtone(item));
        case ReceivedKind::Other:
        case ReceivedKind::Skipped:
            return escapedForDisplay(item.reason);
    }
    return {};
}

bool isLogo(const ReceivedItem& item) {
    return item.kind == ReceivedKind::OperatorLogo || item.kind == ReceivedKind::GroupGraphic ||
           item.kind == ReceivedKind::PictureMessage || item.kind == ReceivedKind::EmsPicture;
}

// The folder logos are written to, opened once. Every file is created in it
// by name, new and without following a link (O_CREAT | O_EXCL | O_NOFOLLOW):
// whatever already has the name, a file, a folder or a link another user put
// there, even one to nothing, takes the name, and nothing is written through
// it or over it.
class OutputFolder {
public:
    explicit OutputFolder(const std::filesystem::path& path)
        : path_(path), fd_(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~OutputFolder() {
        if (fd_ >= 0) ::close(fd_);
    }
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    bool opened() const { return fd_ >= 0; }
    std::string pathOf(const std::string& name) const { return (path_ / name).string(); }

    // Whether anything at all has the name, a link to nothing included.
    bool taken(const std::string& name) const {
        struct stat st {};
        return ::fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 || errno != ENOENT;
    }

    enum class Created { Yes, NameTaken, Failed };

    // Creates the file with bytes, flushed; a file that could not be written
    // whole is removed again. On a failure, why says what the system said.
    Created create(const std::string& name, std::span<const std::uint8_t> bytes, std::string& why) {
        const int fd = ::openat(fd_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) return Created::NameTaken;
            why = std::strerror(errno);
            return Created::Failed;
        }
        std::size_t done = 0;
        int error = 0;
        while (done < bytes.size() && error == 0) {
            const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (put > 0)
                done += static_cast<std::size_t>(put);
            else if (put == 0 || errno != EINTR)
                error = put == 0 ? EIO : errno;
        }
        if (error == 0 && ::fsync(fd) != 0) error = errno;
        if (::close(fd) != 0 && error == 0) error = errno;
        if (error != 0) {
            why = std::strerror(error);
            remove(name);
            return Created::Failed;
        }
        ::fsync(fd_);  // the new entry is kept too
        return Created::Yes;
    }

    void remove(const std::string& name) { ::unlinkat(fd_, name.c_str(), 0); }

private:
    std::filesystem::path path_;
    int fd_;
};

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Writes an item's file (and a picture message's text beside it) under the
// first name MEMORY-INDEX-KIND, then -2, -3..., whose files are all free; the
// written path, or nothing with why. A text whose file could not be written
// is removed again.
std::optional<std::string> writeItem(OutputFolder& folder, const ReceivedItem& item, const std::string& extension,
                                     std::span<const std::uint8_t> bytes, std::string& why) {
    constexpr unsigned kMostNames = 1000;
    const std::string stem = (item.memory.empty() ? "" : item.memory + "-") +
                             std::to_string(item.indices.empty() ? 0 : item.indices.front()) + "-" +
                             receivedKindName(item.kind);
    const bool withText =
        (item.kind == ReceivedKind::PictureMessage || item.kind == ReceivedKind::EmsPicture) && !item.text.empty();
    for (unsigned n = 1; n <= kMostNames; ++n) {
        const std::string candidate = n == 1 ? stem : stem + "-" + std::to_string(n);
        const std::string fileName = candidate + extension;
        const std::string textName = candidate + ".txt";
        if (folder.taken(fileName) || folder.taken(textName)) continue;
        std::string error;
        if (withText) {
            const auto text = folder.create(textName, bytesOf(item.text + "\n"), error);
            if (text == OutputFolder::Created::NameTaken) continue;
            if (text == OutputFolder::Created::Failed) {
                why = "cannot write " + folder.pathOf(textName) + ": " + error;
                return std::nullopt;
            }
        }
        const auto file = folder.create(fileName, bytes, error);
        if (file == OutputFolder::Created::Yes) return folder.pathOf(fileName);
        if (withText) folder.remove(textName);
        if (file == OutputFolder::Created::Failed) {
            why = "cannot write " + folder.pathOf(fileName) + ": " + error;
            return std::nullopt;
        }
    }
    why = "no free name for " + folder.pathOf(stem + extension);
    return std::nullopt;
}

std::optional<std::string> writeLogo(OutputFolder& folder, const ReceivedItem& item, std::string& why) {
    return writeItem(folder, item, ".plr", item.bitmap, why);
}

// A ringtone is written as its RTTTL text.
std::optional<std::string> writeRingtone(OutputFolder& folder, const ReceivedItem& item, std::string& why) {
    const std::optional<std::string> text = receivedRingtoneText(item, why);
    if (!text) return std::nullopt;
    return writeItem(folder, item, ".rtttl", bytesOf(*text), why);
}

}  // namespace

// Lists what the phone on --port holds; with --out writes each logo, with
// --delete removes from the phone what was written.
int runReceive(const std::vector<std::string>& args) {
    std::string why;
    const auto parsed = parseReceiveArguments(args, why);
    if (!parsed) {
        std::cerr << "pelorin-cli receive: " << why << "\n";
        return kExitBadArguments;
    }
    if (parsed->help) return kShowUsage;
    auto opener = makePosixSerialPortOpener();
    std::unique_ptr<LineLog> log;
    std::unique_ptr<SerialPortOpener> logging;
    if (!openLog(parsed->log, *opener, log, logging, why)) {
        std::cerr << "pelorin-cli receive: " << why << "\n";
        return 1;
    }
    PortOpenFailure failure;
    auto port = (logging ? *logging : *opener).openExplaining(parsed->port, failure);
    if (!port) {
        std::cerr << "pelorin-cli receive: " << describePortOpenFailure(failure) << "\n";
        return 1;
    }
    RealSleeper sleeper;
    DialogueOptions options;
    options.replyDriven = parsed->fast;
    options.cancel = &interruptToken();
    PhoneInbox inbox(std::move(port), sleeper, options);
    std::vector<StoredPdu> listed;
    if (!inbox.readAll(listed, why)) {
        if (interruptSignal() != 0) return 1;  // main exits with the signal's status
        std::cerr << "pelorin-cli receive: " << why << "\n";
        return 1;
    }
    const std::vector<ReceivedItem> items = collectReceived(listed);

    bool folderReady = true;
    std::optional<OutputFolder> folder;
    if (parsed->out) {
        std::error_code error;
        std::filesystem::create_directories(*parsed->out, error);
        if (!error) folder.emplace(*parsed->out);
        if (error || !folder->opened()) {
            const std::string reason = error ? error.message() : std::strerror(errno);
            std::cerr << "pelorin-cli receive: " << parsed->out->string() << ": " << reason << "\n";
            folderReady = false;
        }
    }
    int status = folderReady ? 0 : 1;
    std::vector<const ReceivedItem*> written;
    for (const ReceivedItem& item : items) {
        std::string file;
        if (parsed->out && folderReady && isLogo(item) && !item.canvas) {
            // Nothing failed: the phone keeps it, and the line says why.
            file = "not written: " + std::to_string(item.width) + "x" + std::to_string(item.height) +
                   " is not a size Pelorin edits";
        } else if (parsed->out && folderReady && (item.kind == ReceivedKind::Ringtone || isLogo(item))) {
            const auto path =
                item.kind == ReceivedKind::Ringtone ? writeRingtone(*folder, item, why) : writeLogo(*folder, item, why);
            if (path) {
                file = *path;
                written.push_back(&item);
            } else {
                file = "not written: " + why;
                std::cerr << "pelorin-cli receive: " << indexList(item) << ": " << why << "\n";
                status = 1;
            }
        }
        std::cout << indexList(item) << "\t" << escapedForDisplay(item.sender) << "\t" << item.timeStamp << "\t"
                  << receivedKindName(item.kind) << "\t" << describe(item);
        if (!file.empty()) std::cout << "\t" << escapedForDisplay(file);
        std::cout << "\n";
    }
    std::cout.flush();
    if (!parsed->remove) return status;
    for (const ReceivedItem* item : written) {
        for (unsigned index : item->indices) {
            if (!inbox.remove(StoredPdu{item->memory, index, 0, {}}, why)) {
                if (interruptSignal() != 0) return 1;
                std::cerr << "pelorin-cli receive: deleting " << item->memory << ":" << index << ": " << why << "\n";
                return 1;
            }
        }
    }
    return status;
}

}  // namespace pelorin::cli
