#include "ringtone/ringtone_file.h"

#include <algorithm>

#include "ringtone/midi.h"
#include "ringtone/rtttl.h"
#include "ringtone/smart_messaging.h"
#include "ringtone/sound.h"

namespace pelorin::ringtone {

std::optional<RingtoneFormat> ringtoneFormatForPath(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return std::nullopt;
    std::string extension(path.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    if (extension == "rtttl" || extension == "rtx" || extension == "txt") return RingtoneFormat::Rtttl;
    if (extension == "ott") return RingtoneFormat::Ott;
    if (extension == "mid" || extension == "midi") return RingtoneFormat::Midi;
    if (extension == "imy") return RingtoneFormat::IMelody;
    if (extension == "wav") return RingtoneFormat::Wav;
    return std::nullopt;
}

bool canReadFormat(RingtoneFormat format) {
    return format == RingtoneFormat::Rtttl || format == RingtoneFormat::Ott || format == RingtoneFormat::Midi;
}

RingtoneFileReading readRingtoneBytes(std::span<const std::uint8_t> bytes, RingtoneFormat format) {
    RingtoneFileReading reading;
    switch (format) {
        case RingtoneFormat::Rtttl: {
            const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
            auto read = readRtttl(text);
            reading.ringtone = std::move(read.ringtone);
            reading.error = std::move(read.error);
            break;
        }
        case RingtoneFormat::Ott: {
            auto read = decodeSmartMessaging(bytes);
            reading.ringtone = std::move(read.ringtone);
            reading.error = std::move(read.error);
            break;
        }
        case RingtoneFormat::Midi: {
            auto read = readMidi(bytes);
            reading.ringtone = std::move(read.ringtone);
            reading.error = std::move(read.error);
            break;
        }
        case RingtoneFormat::IMelody:
        case RingtoneFormat::Wav:
            reading.error = "Pelorin writes this kind of ringtone file but does not read it";
            break;
    }
    return reading;
}

std::vector<std::uint8_t> writeRingtoneBytes(const Ringtone& ringtone, RingtoneFormat format) {
    switch (format) {
        case RingtoneFormat::Rtttl: {
            const std::string text = writeRtttl(ringtone) + "\n";
            return {text.begin(), text.end()};
        }
        case RingtoneFormat::Ott:
            return encodeSmartMessaging(ringtone);
        case RingtoneFormat::Midi:
            return writeMidi(ringtone);
        case RingtoneFormat::IMelody: {
            const std::string text = writeIMelody(ringtone);
            return {text.begin(), text.end()};
        }
        case RingtoneFormat::Wav:
            return writeWav(ringtone);
    }
    return {};
}

RingtoneFileReading readRingtoneFile(FileSystem& files, const std::string& path) {
    RingtoneFileReading reading;
    const auto format = ringtoneFormatForPath(path);
    if (!format) {
        reading.error = path + ": not a ringtone file (.rtttl, .txt, .ott, .mid)";
        return reading;
    }
    if (!canReadFormat(*format)) {
        reading.error = path + ": Pelorin writes .imy and .wav ringtones but does not read them";
        return reading;
    }
    const ReadResult read = readWholeFile(files, path, kMaxRingtoneFileBytes);
    if (read.status == ReadStatus::TooLarge) {
        reading.error = path + ": too large for a ringtone";
        return reading;
    }
    if (read.status != ReadStatus::Ok) {
        reading.error = path + ": cannot be read";
        return reading;
    }
    reading = readRingtoneBytes(read.bytes, *format);
    if (!reading.ringtone) reading.error = path + ": " + reading.error;
    return reading;
}

std::string saveRingtoneFile(FileSystem& files, const std::string& path, const Ringtone& ringtone) {
    const auto format = ringtoneFormatForPath(path);
    if (!format) return path + ": not a ringtone file name (.rtttl, .txt, .ott, .mid, .imy, .wav)";
    const std::vector<std::uint8_t> bytes = writeRingtoneBytes(ringtone, *format);
    const SaveResult saved = saveFile(files, path, bytes);
    if (saved.status == SaveStatus::Saved) return {};
    return describeSaveFailure(saved, path);
}

}  // namespace pelorin::ringtone
