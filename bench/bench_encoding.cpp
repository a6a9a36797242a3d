// Speed of turning canvases into messages: packing each canvas and building
// the parts of every job kind.

#include <benchmark/benchmark.h>

#include "document/document.h"
#include "document/packed.h"
#include "sms/encoding.h"

namespace {

using namespace pelorin;

void fill(Canvas& canvas) {
    for (int x = 0; x < canvas.width(); ++x)
        for (int y = 0; y < canvas.height(); ++y) canvas.set(x, y, (x ^ y) & 1);
}

void BM_PackCanvas(benchmark::State& state) {
    Canvas canvas(sizeOf(static_cast<LogoKind>(state.range(0))));
    fill(canvas);
    for (auto _ : state) benchmark::DoNotOptimize(packCanvas(canvas));
    state.SetLabel(std::to_string(canvas.width()) + "x" + std::to_string(canvas.height()));
}
BENCHMARK(BM_PackCanvas)->Arg(1)->Arg(2)->Arg(3);

void BM_BuildSendParts(benchmark::State& state) {
    CPelorinDoc doc;
    fill(doc.operatorCanvas);
    fill(doc.pictureCanvas);
    fill(doc.largeOperatorCanvas);
    SendJob job;
    job.Kind = static_cast<SendJobKind>(state.range(0));
    job.Number = "+491701234567";
    job.CountryCode = "262";
    job.OperatorCode = "02";
    job.Text = std::string(100, 'x');
    job.Document = &doc;
    job.DeliveryReport = true;
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto parts = BuildSendParts(job);
        bytes += parts.back().pdu.size();
        benchmark::DoNotOptimize(parts);
    }
    state.SetLabel("kind " + std::to_string(state.range(0)));
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_BuildSendParts)->DenseRange(1, 5);

}  // namespace

BENCHMARK_MAIN();
