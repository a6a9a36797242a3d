#include <filesystem>
#include <iostream>

#include "commands.h"
#include "interrupt.h"
#include "document/posix_file_system.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "sms/inbox_reader.h"
#include "sms/received_messages.h"
#include "util/text.h"

namespace pelorin::cli {

namespace {

struct ReceiveArguments {
    std::string port;
    std::optional<std::filesystem::path> out;
    bool remove = false;
    bool fast = false;
    bool help = false;
};

std::optional<ReceiveArguments> parseReceiveArguments(const std::vector<std::string>& args, std::string& why) {
    ReceiveArguments parsed;
    bool havePort = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if ((arg == "--port" || arg == "--out") && i + 1 >= args.size()) {
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

// Control characters, tabs and backslashes escaped, so that one item stays
// one line of tab-separated fields.
std::string escaped(const std::string& text) {
    std::string result;
    for (char c : text) {
        const auto octet = static_cast<unsigned char>(c);
        if (c == '\\') {
            result += "\\\\";
        } else if (c == '\t') {
            result += "\\t";
        } else if (c == '\n') {
            result += "\\n";
        } else if (c == '\r') {
            result += "\\r";
        } else if (octet < 0x20 || octet == 0x7F) {
            result += "\\x" + hexOctet(octet);
        } else {
            result.push_back(c);
        }
    }
    return result;
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
            return std::to_string(item.width) + "x" + std::to_string(item.height) + " " + escaped(item.text);
        case ReceivedKind::EmsPicture:
            return std::to_string(item.width) + "x" + std::to_string(item.height) + " " + escaped(item.text) +
                   (item.reason.empty() ? "" : " (" + escaped(item.reason) + ")");
        case ReceivedKind::Text:
            return escaped(item.text);
        case ReceivedKind::Other:
        case ReceivedKind::Skipped:
            return escaped(item.reason);
    }
    return {};
}

bool isLogo(const ReceivedItem& item) {
    return item.kind == ReceivedKind::OperatorLogo || item.kind == ReceivedKind::GroupGraphic ||
           item.kind == ReceivedKind::PictureMessage || item.kind == ReceivedKind::EmsPicture;
}

// A name in the folder that no file has yet: MEMORY-INDEX-KIND, then -2, -3...
std::filesystem::path freeName(const std::filesystem::path& folder, const ReceivedItem& item) {
    std::string stem = (item.memory.empty() ? "" : item.memory + "-") + std::to_string(item.indices.front()) + "-" +
                       receivedKindName(item.kind);
    for (unsigned n = 1;; ++n) {
        const std::string candidate = n == 1 ? stem : stem + "-" + std::to_string(n);
        std::error_code error;
        if (!std::filesystem::exists(folder / (candidate + ".plr"), error) &&
            !std::filesystem::exists(folder / (candidate + ".txt"), error))
            return folder / candidate;
    }
}

// Writes a logo of a size Pelorin edits (and a picture message's text beside
// it); the written .plr path, or nothing with why.
std::optional<std::string> writeLogo(FileSystem& files, const std::filesystem::path& folder, const ReceivedItem& item,
                                     std::string& why) {
    const std::filesystem::path stem = freeName(folder, item);
    const std::string logoPath = stem.string() + ".plr";
    if ((item.kind == ReceivedKind::PictureMessage || item.kind == ReceivedKind::EmsPicture) && !item.text.empty()) {
        const std::string textPath = stem.string() + ".txt";
        const std::string line = item.text + "\n";
        if (!saveFileSafely(files, textPath,
                            std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()))) {
            why = "cannot write " + textPath;
            return std::nullopt;
        }
    }
    if (!saveFileSafely(files, logoPath, item.bitmap)) {
        why = "cannot write " + logoPath;
        return std::nullopt;
    }
    return logoPath;
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
    PortOpenFailure failure;
    auto port = opener->openExplaining(parsed->port, failure);
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
    if (parsed->out) {
        std::error_code error;
        std::filesystem::create_directories(*parsed->out, error);
        if (error) {
            std::cerr << "pelorin-cli receive: " << parsed->out->string() << ": " << error.message() << "\n";
            folderReady = false;
        }
    }
    PosixFileSystem files;
    int status = folderReady ? 0 : 1;
    std::vector<const ReceivedItem*> written;
    for (const ReceivedItem& item : items) {
        std::string file;
        if (parsed->out && folderReady && isLogo(item) && !item.canvas) {
            // Nothing failed: the phone keeps it, and the line says why.
            file = "not written: " + std::to_string(item.width) + "x" + std::to_string(item.height) +
                   " is not a size Pelorin edits";
        } else if (parsed->out && folderReady && isLogo(item)) {
            if (const auto path = writeLogo(files, *parsed->out, item, why)) {
                file = *path;
                written.push_back(&item);
            } else {
                file = "not written: " + why;
                std::cerr << "pelorin-cli receive: " << indexList(item) << ": " << why << "\n";
                status = 1;
            }
        }
        std::cout << indexList(item) << "\t" << escaped(item.sender) << "\t" << item.timeStamp << "\t"
                  << receivedKindName(item.kind) << "\t" << describe(item);
        if (!file.empty()) std::cout << "\t" << escaped(file);
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
