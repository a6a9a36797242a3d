// Feeds arbitrary bytes to the ringtone readers: RTTTL text, the Smart
// Messaging octets and MIDI files, and the simulated phone's own ringtone
// reader. Whatever a reader accepts must write as RTTTL that reads back the
// same, and within the message limits encode to octets that decode the same.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "phone/ringtone_payload.h"
#include "ringtone/ringtone_file.h"
#include "ringtone/rtttl.h"
#include "ringtone/smart_messaging.h"

namespace {

void check(const pelorin::ringtone::Ringtone& tone) {
    using namespace pelorin::ringtone;
    const RtttlReading again = readRtttl(writeRtttl(tone));
    if (!again.ringtone || !(*again.ringtone == tone)) std::abort();
    if (measureRingtone(tone).messages == 0) return;
    Ringtone sent = tone;
    if (decodeSmartMessaging(encodeSmartMessaging(sent)).ringtone != sent && sent.name.size() <= kMaxTitleCharacters)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelorin::ringtone;
    const std::span<const std::uint8_t> bytes(data, size);
    for (const RingtoneFormat format : {RingtoneFormat::Rtttl, RingtoneFormat::Ott, RingtoneFormat::Midi}) {
        const RingtoneFileReading reading = readRingtoneBytes(bytes, format);
        if (reading.ringtone) check(*reading.ringtone);
    }
    (void)pelorin::phone::readRingtoneBits(bytes);
    return 0;
}
