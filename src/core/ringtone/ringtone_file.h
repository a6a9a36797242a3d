#pragma once

// Ringtone files, chosen by the extension in any case: .rtttl and .txt
// (RTTTL text), .ott (the Smart Messaging octets), .mid and .midi (Standard
// MIDI File) are read and written; .imy (iMelody) and .wav (the square
// wave) are written only.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/file_system.h"
#include "ringtone/ringtone.h"

namespace pelorin::ringtone {

enum class RingtoneFormat { Rtttl, Ott, Midi, IMelody, Wav };

std::optional<RingtoneFormat> ringtoneFormatForPath(std::string_view path);
bool canReadFormat(RingtoneFormat format);

struct RingtoneFileReading {
    std::optional<Ringtone> ringtone;
    std::string error;
};

RingtoneFileReading readRingtoneBytes(std::span<const std::uint8_t> bytes, RingtoneFormat format);
std::vector<std::uint8_t> writeRingtoneBytes(const Ringtone& ringtone, RingtoneFormat format);

// Reading and writing files through the program's file system: reads at most
// kMaxRingtoneFileBytes; saves through saveFile (never half a file). The
// error names the path and says why.
inline constexpr std::size_t kMaxRingtoneFileBytes = 1 << 20;
RingtoneFileReading readRingtoneFile(FileSystem& files, const std::string& path);
// Empty when saved; otherwise why not.
std::string saveRingtoneFile(FileSystem& files, const std::string& path, const Ringtone& ringtone);

}  // namespace pelorin::ringtone
