#include "ringtone/sound.h"

#include <algorithm>
#include <cmath>

namespace pelorin::ringtone {

namespace {

void putLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int octets) {
    for (int k = 0; k < octets; ++k) out.push_back(static_cast<std::uint8_t>(value >> (8 * k)));
}

}  // namespace

std::vector<std::int16_t> renderSquareWave(const Ringtone& ringtone, int sampleRate) {
    std::vector<std::int16_t> samples;
    const auto limit = static_cast<std::size_t>(kMaxRenderSeconds * sampleRate);
    samples.reserve(std::min(limit, static_cast<std::size_t>(totalSeconds(ringtone) * sampleRate) + 1));
    const double level = 12000.0 * (ringtone.volume ? std::clamp(*ringtone.volume, 0, 15) / 15.0 : 1.0);
    const auto amplitude = static_cast<std::int16_t>(level);
    double exact = 0.0;  // where the tune is, in samples, so lengths do not drift
    for (const Note& note : ringtone.notes) {
        if (samples.size() >= limit) break;
        exact += noteSeconds(note, ringtone.tempo) * sampleRate;
        const std::size_t end = std::min(limit, static_cast<std::size_t>(exact));
        const std::size_t start = samples.size();
        if (end <= start) continue;
        const std::size_t length = end - start;
        std::size_t sounding = 0;
        if (!note.isRest()) {
            switch (ringtone.style) {
                case Style::Continuous:
                    sounding = length;
                    break;
                case Style::Staccato:
                    sounding = length / 2;
                    break;
                case Style::Natural:
                    sounding = length - length / 16;
                    break;
            }
        }
        // A half period in samples, as a fraction kept exactly by counting.
        const double halfPeriod = note.isRest() ? 1.0 : sampleRate / (2.0 * frequency(note));
        double phase = 0.0;
        bool high = true;
        for (std::size_t k = 0; k < sounding; ++k) {
            samples.push_back(high ? amplitude : static_cast<std::int16_t>(-amplitude));
            phase += 1.0;
            if (phase >= halfPeriod) {
                phase -= halfPeriod;
                high = !high;
            }
        }
        samples.resize(end, 0);
    }
    return samples;
}

std::vector<std::uint8_t> writeWav(const Ringtone& ringtone) {
    const std::vector<std::int16_t> samples = renderSquareWave(ringtone);
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> file = {'R', 'I', 'F', 'F'};
    file.reserve(44 + dataSize);
    putLittleEndian(file, 36 + dataSize, 4);
    file.insert(file.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putLittleEndian(file, 16, 4);
    putLittleEndian(file, 1, 2);  // PCM
    putLittleEndian(file, 1, 2);  // mono
    putLittleEndian(file, kSampleRate, 4);
    putLittleEndian(file, kSampleRate * 2, 4);
    putLittleEndian(file, 2, 2);
    putLittleEndian(file, 16, 2);
    file.insert(file.end(), {'d', 'a', 't', 'a'});
    putLittleEndian(file, dataSize, 4);
    for (std::int16_t sample : samples) putLittleEndian(file, static_cast<std::uint16_t>(sample), 2);
    return file;
}

std::string writeIMelody(const Ringtone& ringtone) {
    static constexpr const char* kNames[] = {"r", "c", "#c", "d", "#d", "e", "f", "#f", "g", "#g", "a", "#a", "b"};
    static constexpr const char* kDots[] = {"", ".", ":"};
    std::string melody;
    for (const Note& note : ringtone.notes) {
        if (!note.isRest()) melody += "*" + std::to_string(note.scale + 2);
        melody += kNames[static_cast<std::size_t>(note.pitch)];
        melody += std::to_string(static_cast<int>(note.duration));
        melody += kDots[static_cast<std::size_t>(note.dots)];
    }
    if (ringtone.loop != 0)
        melody = "(" + melody + "@" + std::to_string(ringtone.loop == kLoopForever ? 0 : ringtone.loop) + ")";
    std::string text = "BEGIN:IMELODY\r\nVERSION:1.2\r\nFORMAT:CLASS1.0\r\n";
    text += "NAME:" + ringtone.name + "\r\n";
    text += "BEAT:" + std::to_string(ringtone.tempo) + "\r\n";
    text += "STYLE:S" + std::to_string(static_cast<int>(ringtone.style)) + "\r\n";
    if (ringtone.volume) text += "VOLUME:V" + std::to_string(*ringtone.volume) + "\r\n";
    text += "MELODY:" + melody + "\r\nEND:IMELODY\r\n";
    return text;
}

}  // namespace pelorin::ringtone
