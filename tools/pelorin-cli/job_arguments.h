#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/document.h"
#include "sms/encoding.h"

namespace pelorin::cli {

// The arguments shared by "encode" and "send": KIND --to NUMBER
// [--network MCC-MNC] [--text TEXT] [--report] [--scale-every-note] [FILE],
// plus --port, --fast, --log, --slow-writes, --smsc-number and --pin-file for
// send.
struct JobArguments {
    std::unique_ptr<CPelorinDoc> document;
    // job.Number is --to as typed with its separators left out
    // (NormalizeNumber); a number that cannot be sent stays as typed, and
    // numberRefused is set: encode refuses it, send's job refuses it before
    // the port is opened.
    SendJob job;
    bool numberRefused = false;
    std::string port;   // only with allowPort
    bool fast = false;  // --fast, only with allowPort
    // Only with allowPort: --log FILE, --slow-writes, --smsc-number NUMBER,
    // --pin-file FILE.
    std::optional<std::string> log;
    bool slowWrites = false;
    std::string smscNumber;
    std::optional<std::string> pinFile;
    bool help = false;  // -h or --help in the place of an option; nothing else is filled in
    // A ringtone's warnings (phones that play it only in part), and why it
    // cannot be sent at all (too long) when it cannot.
    std::vector<std::string> warnings;
    std::string refusal;
};

// Prints the job's warnings, each after command, on standard error; when the
// job is refused, prints why and returns false (exit status 1).
bool announceJob(const JobArguments& arguments, const std::string& command);

// Parses and loads FILE. On a problem returns nothing and sets error to one
// line for the user.
std::optional<JobArguments> parseJobArguments(const std::vector<std::string>& args, bool allowPort, std::string& error);

std::optional<SendJobKind> sendJobKindFromName(const std::string& name);

}  // namespace pelorin::cli
