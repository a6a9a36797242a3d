#include "ringtone_commands.h"

#include <iostream>

#include "commands.h"
#include "document/posix_file_system.h"
#include "ringtone/ringtone_file.h"
#include "ringtone/rtttl.h"
#include "ringtone/smart_messaging.h"

namespace pelorin::cli {

using namespace pelorin::ringtone;

bool isRingtoneFile(FileSystem& files, const std::string& path) {
    const auto format = ringtoneFormatForPath(path);
    if (!format) return false;
    const std::string lower = [&path] {
        std::string text = path.substr(path.rfind('.') + 1);
        for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        return text;
    }();
    if (lower != "txt") return true;
    const ReadResult read = readWholeFile(files, path, kMaxRingtoneFileBytes);
    if (read.status != ReadStatus::Ok) return true;  // the ringtone reading says why
    const std::size_t size = read.bytes.size();
    if (size != 126 && size != 252 && size != 205) return true;
    return readRingtoneBytes(read.bytes, RingtoneFormat::Rtttl).ringtone.has_value();
}

int runShowRingtone(const std::string& path) {
    PosixFileSystem files;
    const RingtoneFileReading read = readRingtoneFile(files, path);
    if (!read.ringtone) {
        std::cerr << "pelorin-cli show: " << read.error << "\n";
        return 1;
    }
    const RingtoneBudget budget = measureRingtone(*read.ringtone);
    std::cout << "ringtone " << writeRtttl(*read.ringtone) << "\n";
    std::cout << "notes " << read.ringtone->notes.size() << "\n";
    std::cout << "octets " << budget.octets << "\n";
    if (budget.messages == 0) {
        std::cout << "messages refused: " << budget.refusal << "\n";
    } else {
        std::cout << "messages " << budget.messages << "\n";
    }
    for (const std::string& warning : budget.warnings) std::cout << "warning " << warning << "\n";
    return 0;
}

int runConvertRingtone(const std::string& in, const std::string& out) {
    PosixFileSystem files;
    if (!ringtoneFormatForPath(out)) {
        std::cerr << "pelorin-cli convert: a ringtone converts to .rtttl, .txt, .ott, .mid, .imy or .wav, not " << out
                  << "\n";
        return kExitBadArguments;
    }
    const RingtoneFileReading read = readRingtoneFile(files, in);
    if (!read.ringtone) {
        std::cerr << "pelorin-cli convert: " << read.error << "\n";
        return 1;
    }
    const std::string error = saveRingtoneFile(files, out, *read.ringtone);
    if (!error.empty()) {
        std::cerr << "pelorin-cli convert: " << error << "\n";
        return 1;
    }
    return 0;
}

std::string describeReceivedRingtone(const ReceivedItem& item) {
    const auto read = decodeSmartMessaging(item.ringtone);
    if (!read.ringtone) return read.error;
    return std::to_string(read.ringtone->notes.size()) + " notes " + writeRtttl(*read.ringtone);
}

std::optional<std::string> receivedRingtoneText(const ReceivedItem& item, std::string& why) {
    const auto read = decodeSmartMessaging(item.ringtone);
    if (!read.ringtone) {
        why = read.error;
        return std::nullopt;
    }
    return writeRtttl(*read.ringtone) + "\n";
}

}  // namespace pelorin::cli
