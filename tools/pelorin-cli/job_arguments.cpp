#include "job_arguments.h"

#include <iostream>

#include "cli_document.h"
#include "commands.h"
#include "document/document_file.h"
#include "document/posix_file_system.h"
#include "ringtone/ringtone_file.h"
#include "ringtone/smart_messaging.h"
#include "sms/sim_replies.h"

namespace pelorin::cli {

namespace {

struct KindName {
    const char* name;
    SendJobKind kind;
};

constexpr KindName kKindNames[] = {
    {"operator-logo", SendJobKind::OperatorLogo},
    {"group-graphic", SendJobKind::GroupGraphic},
    {"restore-operator-logo", SendJobKind::RestoreOperatorLogo},
    {"picture-message", SendJobKind::PictureMessage},
    {"large-operator-logo", SendJobKind::LargeOperatorLogo},
    {"ems-picture", SendJobKind::EmsPicture},
    {"ringtone", SendJobKind::Ringtone},
};

// The canvas a job kind sends; the restore message carries a fixed image.
std::optional<LogoKind> canvasKindFor(SendJobKind kind) {
    switch (kind) {
        case SendJobKind::OperatorLogo:
        case SendJobKind::GroupGraphic:
            return LogoKind::Operator;
        case SendJobKind::PictureMessage:
            return LogoKind::Picture;
        case SendJobKind::LargeOperatorLogo:
            return LogoKind::LargeOperator;
        case SendJobKind::RestoreOperatorLogo:
        case SendJobKind::Ringtone:
        case SendJobKind::EmsPicture:
            break;
    }
    return std::nullopt;
}

bool isDigits(const std::string& text) {
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// Reads a document file into the canvas of the job's kind. It goes through a
// scratch document, so a file holding another kind's canvas changes nothing.
bool loadCanvasFile(const std::string& path, Canvas& canvas, std::string& error) {
    PosixFileSystem files;
    const ImportResult result = readDocumentFile(files, path);
    if (result.failed()) {
        error = result.errorLine(path);
        return false;
    }
    const Canvas& read = *result.canvas;
    if (read.size().packedBytes() != canvas.size().packedBytes()) {
        error = path + " holds " + std::to_string(read.size().packedBytes()) + " bytes; this kind needs a " +
                std::to_string(canvas.width()) + " x " + std::to_string(canvas.height()) + " document of " +
                std::to_string(canvas.size().packedBytes()) + " bytes";
        return false;
    }
    canvas = read;
    return true;
}

// An EMS picture sends whichever canvas the document holds.
bool loadAnyCanvasFile(const std::string& path, CPelorinDoc& document, LogoKind& kind, std::string& error) {
    PosixFileSystem files;
    const ImportResult result = readDocumentFile(files, path);
    if (result.failed()) {
        error = result.errorLine(path);
        return false;
    }
    kind = result.kind;
    document.canvas(kind) = *result.canvas;
    return true;
}

// Reads a ringtone file into the job's octets. The limits are checked here,
// before anything is sent: a tune too long for three messages is refused
// with the notes that would fit.
bool loadRingtoneFile(const std::string& path, bool scaleEveryNote, JobArguments& result, std::string& error) {
    PosixFileSystem files;
    const ringtone::RingtoneFileReading read = ringtone::readRingtoneFile(files, path);
    if (!read.ringtone) {
        error = read.error;
        return false;
    }
    ringtone::EncodeOptions options;
    options.scaleEveryNote = scaleEveryNote;
    const ringtone::RingtoneBudget budget = ringtone::measureRingtone(*read.ringtone, options);
    if (budget.messages == 0) {
        result.refusal = budget.refusal;
        return true;
    }
    result.warnings = budget.warnings;
    result.job.RingtoneOctets = ringtone::encodeSmartMessaging(*read.ringtone, options);
    return true;
}

}  // namespace

bool announceJob(const JobArguments& arguments, const std::string& command) {
    if (!arguments.refusal.empty()) {
        std::cerr << command << arguments.refusal << "\n";
        return false;
    }
    for (const std::string& warning : arguments.warnings) std::cerr << command << "warning: " << warning << "\n";
    return true;
}

std::optional<SendJobKind> sendJobKindFromName(const std::string& name) {
    for (const auto& entry : kKindNames)
        if (name == entry.name) return entry.kind;
    return std::nullopt;
}

std::optional<JobArguments> parseJobArguments(const std::vector<std::string>& args, bool allowPort,
                                              std::string& error) {
    JobArguments result;
    result.document = std::make_unique<CPelorinDoc>();
    std::optional<std::string> kindName, number, network, text, port, file;
    bool report = false, scaleEveryNote = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::optional<std::string>& slot) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            slot = args[++i];
            return true;
        };
        if (isHelpOption(arg)) {
            result.help = true;
            return result;
        }
        if (arg == "--to") {
            if (!value(number)) return std::nullopt;
        } else if (arg == "--network") {
            if (!value(network)) return std::nullopt;
        } else if (arg == "--text") {
            if (!value(text)) return std::nullopt;
        } else if (arg == "--report") {
            report = true;
        } else if (arg == "--scale-every-note") {
            scaleEveryNote = true;
        } else if (allowPort && arg == "--fast") {
            result.fast = true;
        } else if (allowPort && arg == "--port") {
            if (!value(port)) return std::nullopt;
        } else if (allowPort && arg == "--log") {
            if (!value(result.log)) return std::nullopt;
        } else if (allowPort && arg == "--slow-writes") {
            result.slowWrites = true;
        } else if (allowPort && arg == "--smsc-number") {
            std::optional<std::string> centre;
            if (!value(centre)) return std::nullopt;
            if (!IsValidSmsCentre(*centre)) {
                error = "--smsc-number takes the SMS centre's number: \"+\" (optional) and 3 to 20 digits";
                return std::nullopt;
            }
            result.smscNumber = *centre;
        } else if (allowPort && arg == "--pin-file") {
            if (!value(result.pinFile)) return std::nullopt;
        } else if (allowPort && (arg == "--pin" || arg.starts_with("--pin="))) {
            // A PIN in the arguments would be seen by every user of the machine.
            error = "the PIN is never taken from the arguments: give it in PELORIN_PIN or --pin-file FILE";
            return std::nullopt;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            error = "unknown option " + arg;
            return std::nullopt;
        } else if (!kindName) {
            kindName = arg;
        } else if (!file) {
            file = arg;
        } else {
            error = "unexpected argument " + arg;
            return std::nullopt;
        }
    }

    if (!kindName) {
        error =
            "missing KIND (operator-logo, group-graphic, restore-operator-logo, picture-message, "
            "large-operator-logo, ems-picture, ringtone)";
        return std::nullopt;
    }
    const auto kind = sendJobKindFromName(*kindName);
    if (!kind) {
        error = "unknown kind " + *kindName +
                " (operator-logo, group-graphic, restore-operator-logo, picture-message, large-operator-logo, "
                "ems-picture, ringtone)";
        return std::nullopt;
    }
    if (!number) {
        error = "missing --to NUMBER";
        return std::nullopt;
    }
    if (allowPort && !port) {
        error = "missing --port NAME";
        return std::nullopt;
    }

    result.job.Kind = *kind;
    const NormalizedNumber normalized = NormalizeNumber(*number);
    result.job.Number = normalized.ok() ? normalized.number : *number;
    result.numberRefused = !normalized.ok();
    result.job.DeliveryReport = report;
    result.job.Document = result.document.get();
    if (text) {
        if (*kind != SendJobKind::PictureMessage && *kind != SendJobKind::EmsPicture) {
            error = "--text is only for picture-message and ems-picture";
            return std::nullopt;
        }
        result.job.Text = *text;
    }
    if (network) {
        const auto dash = network->find('-');
        const std::string country = network->substr(0, dash);
        const std::string operatorCode = dash == std::string::npos ? "" : network->substr(dash + 1);
        if (dash == std::string::npos || country.size() != 3 || operatorCode.size() != 2 || !isDigits(country) ||
            !isDigits(operatorCode)) {
            error = "--network takes MCC-MNC, three digits and two digits, such as 262-02";
            return std::nullopt;
        }
        if (*kind != SendJobKind::OperatorLogo && *kind != SendJobKind::LargeOperatorLogo) {
            error = "--network is only for operator-logo and large-operator-logo";
            return std::nullopt;
        }
        result.job.CountryCode = country;
        result.job.OperatorCode = operatorCode;
    } else if (*kind == SendJobKind::OperatorLogo || *kind == SendJobKind::LargeOperatorLogo) {
        // The network an operator logo is for; without --network the logo
        // goes out for 000-00, as a first run of the editor would.
        result.job.CountryCode = "000";
        result.job.OperatorCode = "00";
    }
    if (port) result.port = *port;
    if (scaleEveryNote && *kind != SendJobKind::Ringtone) {
        error = "--scale-every-note is only for ringtone";
        return std::nullopt;
    }

    if (*kind == SendJobKind::Ringtone) {
        if (!file) {
            error = "ringtone needs a FILE (.rtttl, .txt, .ott or .mid)";
            return std::nullopt;
        }
        if (!loadRingtoneFile(*file, scaleEveryNote, result, error)) return std::nullopt;
    } else if (file && *kind == SendJobKind::EmsPicture) {
        if (!loadAnyCanvasFile(*file, *result.document, result.job.EmsCanvas, error)) return std::nullopt;
    } else if (file) {
        const auto canvasKind = canvasKindFor(*kind);
        if (!canvasKind) {
            error = "restore-operator-logo sends a fixed image and takes no FILE";
            return std::nullopt;
        }
        if (!loadCanvasFile(*file, result.document->canvas(*canvasKind), error)) return std::nullopt;
    }
    return result;
}

}  // namespace pelorin::cli
