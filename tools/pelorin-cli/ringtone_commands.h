#pragma once

// The ringtone side of show, convert and receive (encode and send read a
// ringtone job with the other kinds, in job_arguments.h).

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "document/file_system.h"
#include "sms/received_messages.h"

namespace pelorin::cli {

// Whether show and convert take path as a ringtone: a ringtone extension;
// for .txt, RTTTL text (a .txt that is not, but of a document's size, stays
// a document as before).
bool isRingtoneFile(FileSystem& files, const std::string& path);
int runShowRingtone(const std::string& path);
int runConvertRingtone(const std::string& in, const std::string& out);

// receive: the line's description of a ringtone, and its .rtttl file
// written as MEMORY-INDEX-ringtone.rtttl (then -2, -3...), never over a file.
std::string describeReceivedRingtone(const ReceivedItem& item);
// The RTTTL text (with its line end) of a received ringtone, or nothing with
// why when its octets do not read as one.
std::optional<std::string> receivedRingtoneText(const ReceivedItem& item, std::string& why);

}  // namespace pelorin::cli
