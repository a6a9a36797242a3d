#include "ringtone_commands.h"

#include <iostream>

#include "commands.h"
#include "document/posix_file_system.h"
#include "interrupt.h"
#include "platform/serial_port.h"
#include "platform/sleeper.h"
#include "ringtone/ringtone_file.h"
#include "ringtone/rtttl.h"
#include "ringtone/smart_messaging.h"
#include "sms/phone_dialogue.h"

namespace pelorin::cli {

namespace {

using namespace pelorin::ringtone;

struct RingtoneJobArguments {
    std::string number;
    std::string port;
    std::string file;
    bool fast = false;
    bool report = false;
    bool help = false;
    EncodeOptions options;
};

std::optional<RingtoneJobArguments> parseRingtoneJob(const std::vector<std::string>& args, bool send,
                                                     std::string& error) {
    RingtoneJobArguments parsed;
    bool haveNumber = false, havePort = false, haveKind = false, haveFile = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (isHelpOption(arg)) {
            parsed.help = true;
            return parsed;
        }
        const bool takesValue = arg == "--to" || (send && arg == "--port");
        if (takesValue && i + 1 >= args.size()) {
            error = arg + " needs a value";
            return std::nullopt;
        }
        if (arg == "--to") {
            parsed.number = args[++i];
            haveNumber = true;
        } else if (send && arg == "--port") {
            parsed.port = args[++i];
            havePort = true;
        } else if (send && arg == "--fast") {
            parsed.fast = true;
        } else if (arg == "--report") {
            parsed.report = true;
        } else if (arg == "--scale-every-note") {
            parsed.options.scaleEveryNote = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg + " for a ringtone";
            return std::nullopt;
        } else if (!haveKind) {
            haveKind = true;
        } else if (!haveFile) {
            parsed.file = arg;
            haveFile = true;
        } else {
            error = "unexpected argument " + arg;
            return std::nullopt;
        }
    }
    if (!haveNumber)
        error = "missing --to NUMBER";
    else if (send && !havePort)
        error = "missing --port NAME";
    else if (!haveFile)
        error = "ringtone needs a FILE (.rtttl, .txt, .ott or .mid)";
    else if (!IsDialableNumber(parsed.number))
        error = "--to takes digits 0-9, * and #, with an optional + in front";
    if (!error.empty()) return std::nullopt;
    return parsed;
}

class TerminalReporter final : public SendReporter {
public:
    void status(std::string text) override { std::cout << text << std::endl; }
    void caption(std::string text) override { std::cout << text << std::endl; }
    void failureDetail(std::string text) override { std::cout << text << std::endl; }
    void end(std::string outcome) override {
        std::cout << outcome << std::endl;
        outcome_ = std::move(outcome);
    }
    const std::string& outcome() const { return outcome_; }

private:
    std::string outcome_;
};

}  // namespace

bool isRingtoneJob(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--to" || arg == "--port" || arg == "--network" || arg == "--text") {
            ++i;
        } else if (arg.empty() || arg[0] != '-' || arg == "-") {
            return arg == "ringtone";
        }
    }
    return false;
}

int runRingtoneJob(const std::vector<std::string>& args, bool send) {
    const char* command = send ? "pelorin-cli send: " : "pelorin-cli encode: ";
    std::string error;
    const auto parsed = parseRingtoneJob(args, send, error);
    if (!parsed) {
        std::cerr << command << error << "\n";
        return kExitBadArguments;
    }
    if (parsed->help) return kShowUsage;
    PosixFileSystem files;
    const RingtoneFileReading read = readRingtoneFile(files, parsed->file);
    if (!read.ringtone) {
        std::cerr << command << read.error << "\n";
        return kExitBadArguments;
    }
    // The limits are checked before anything is sent: a tune too long for
    // three messages is refused with the notes that would fit.
    const RingtoneBudget budget = measureRingtone(*read.ringtone, parsed->options);
    if (budget.messages == 0) {
        std::cerr << command << budget.refusal << "\n";
        return 1;
    }
    for (const std::string& warning : budget.warnings) std::cerr << command << "warning: " << warning << "\n";

    SendJob job;
    job.Kind = SendJobKind::Ringtone;
    job.Number = parsed->number;
    job.DeliveryReport = parsed->report;
    job.RingtoneOctets = encodeSmartMessaging(*read.ringtone, parsed->options);
    if (!send) {
        for (const MessagePart& part : BuildSendParts(job))
            std::cout << "AT+CMGS=" << part.length << "\n" << part.pdu << "\n";
        return 0;
    }
    auto opener = makePosixSerialPortOpener();
    RealSleeper sleeper;
    TerminalReporter reporter;
    DialogueOptions options;
    options.replyDriven = parsed->fast;
    options.cancel = &interruptToken();
    RunSendJob(job, parsed->port, *opener, sleeper, reporter, options);
    return IsSuccessOutcome(reporter.outcome()) ? 0 : 1;
}

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
