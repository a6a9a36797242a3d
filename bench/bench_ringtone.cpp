// Speed of a 200-note tune: reading its RTTTL, encoding it into the Smart
// Messaging octets (with the limits measured, as before every send), and
// rendering 30 s of it as the square wave the WAV file and Play use.

#include <benchmark/benchmark.h>

#include "ringtone/rtttl.h"
#include "ringtone/smart_messaging.h"
#include "ringtone/sound.h"

namespace {

using namespace pelorin::ringtone;

std::string tuneText(int notes) {
    std::string text = "bench:d=8,o=5,b=180:";
    for (int k = 0; k < notes; ++k) {
        const char letter = "cdefgab"[k % 7];
        text += std::string(k ? "," : "") + letter + (k % 3 || letter == 'e' || letter == 'b' ? "" : "#") +
                std::to_string(4 + k / 50 % 4) + (k % 11 ? "" : ".");
    }
    return text;
}

Ringtone tune(int notes) { return readRtttl(tuneText(notes)).ringtone.value(); }

void BM_ReadRtttl200(benchmark::State& state) {
    const std::string text = tuneText(200);
    for (auto _ : state) benchmark::DoNotOptimize(readRtttl(text));
}
BENCHMARK(BM_ReadRtttl200)->Unit(benchmark::kMicrosecond);

void BM_Encode200(benchmark::State& state) {
    const Ringtone tone = tune(200);
    std::size_t octets = 0;
    for (auto _ : state) {
        const auto encoded = encodeSmartMessaging(tone);
        octets = encoded.size();
        benchmark::DoNotOptimize(encoded);
    }
    state.SetLabel(std::to_string(octets) + " octets (target: under 1 ms)");
}
BENCHMARK(BM_Encode200)->Unit(benchmark::kMicrosecond);

void BM_MeasureLimits200(benchmark::State& state) {
    const Ringtone tone = tune(200);
    for (auto _ : state) benchmark::DoNotOptimize(measureRingtone(tone));
}
BENCHMARK(BM_MeasureLimits200)->Unit(benchmark::kMicrosecond);

// 200 eighths at 200 beats a minute are 30 s.
void BM_RenderWave30s(benchmark::State& state) {
    Ringtone tone = tune(200);
    tone.tempo = 200;
    std::size_t samples = 0;
    for (auto _ : state) {
        const auto wave = renderSquareWave(tone);
        samples = wave.size();
        benchmark::DoNotOptimize(wave.data());
    }
    state.SetLabel(std::to_string(samples / kSampleRate) + " s of sound (target: under 10 ms)");
}
BENCHMARK(BM_RenderWave30s)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
