// Parts a second for 10,000 recipients through real SMS centres: osmo-msc's
// SMPP interface (with osmo-hlr beside it), with the send journal flushed
// once a window and without it (at the default window and at 100), and the
// same 10,000 through Kannel's sendsms (one request a part, so one flush of
// the journal a part), bearerbox passing them on to the same osmo-msc over
// SMPP. The figure through Kannel counts until osmo-msc has stored every
// part; "sendsms parts/s" until smsbox had taken them all.
//
// Both peers are started by this program on loopback (as the peer tests
// start them); when one is missing or does not start, it says why and
// fails.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "sms/encoding.h"
#include "smsc/kannel_client.h"
#include "smsc/send_journal.h"
#include "smsc/smpp_client.h"
#include "support/kannel_gateway.h"
#include "support/osmocom_network.h"
#include "support/temp_folder.h"

namespace {

using namespace pelorin;
using pelorin::testing::OsmocomNetwork;

constexpr std::size_t kRecipients = 10000;

OsmocomNetwork* network = nullptr;
pelorin::testing::KannelGateway* gateway = nullptr;
pelorin::testing::TemporaryFolder* journals = nullptr;

class JournalListener final : public smsc::SmppListener {
public:
    JournalListener(smsc::SendJournal* journal, const std::vector<std::string>& numbers)
        : journal_(journal), numbers_(numbers) {}
    bool beforeWindow(std::span<const std::size_t> keys) override {
        ++windows_;
        if (journal_ == nullptr) return true;
        std::vector<smsc::PartKey> parts;
        parts.reserve(keys.size());
        for (std::size_t key : keys) parts.push_back({numbers_[key], 1});
        std::string error;
        return journal_->sending(parts, error);
    }
    void accepted(std::size_t key, const std::string& id) override {
        ++accepted_;
        if (journal_ != nullptr) journal_->accepted({numbers_[key], 1}, id);
    }
    void failed(std::size_t, const std::string& reason) override { lastFailure_ = reason; }
    void unknown(std::size_t) override { lastFailure_ = "unknown"; }
    std::size_t accepted_ = 0;
    std::size_t windows_ = 0;  // one flush of the journal each, when it is kept
    std::string lastFailure_;

private:
    smsc::SendJournal* journal_;
    const std::vector<std::string>& numbers_;
};

struct Job {
    std::vector<std::string> numbers;
    std::vector<smsc::SmppItem> items;
};

// The same group graphic to kRecipients numbers, one part each.
const Job& job() {
    static const Job built = [] {
        SendJob send;
        send.Kind = SendJobKind::GroupGraphic;
        send.Number = "1";
        const MessagePart part = BuildSendParts(send).front();
        Job made;
        for (std::size_t i = 0; i < kRecipients; ++i) {
            char number[16];
            std::snprintf(number, sizeof number, "+49170%07zu", i);
            made.numbers.push_back(number);
            made.items.push_back({smsc::submitFor(part.userData, false, part.dataCoding, number, ""), i});
        }
        return made;
    }();
    return built;
}

// Waits until osmo-msc's SMS table holds count messages (it stores each one
// before it answers, so this is at once for a direct session).
bool waitStored(long count, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (network->storedCount() < count) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

void BM_PartsThroughOsmoMsc(benchmark::State& state) {
    const bool withJournal = state.range(0) != 0;
    const Job& bulk = job();
    smsc::SmscAddress address;
    address.systemId = OsmocomNetwork::kSystemId;
    address.host = network->address();
    address.port = OsmocomNetwork::kSmppPort;
    smsc::SmppOptions options;
    options.window = static_cast<std::size_t>(state.range(1));
    std::size_t run = 0;
    std::size_t windows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Each run starts from an empty SMS table: osmo-msc takes parts more
        // slowly the more it holds.
        if (!network->clearStored()) return state.SkipWithError("cannot empty osmo-msc's SMS table");
        const long before = network->storedCount();
        smsc::SendJournal journal;
        std::string error;
        const std::string path = journals->file("osmo-" + std::to_string(state.range(1)) + "-" + std::to_string(run++));
        if (withJournal && !journal.open(path, "bench", error)) return state.SkipWithError(error.c_str());
        JournalListener listener(withJournal ? &journal : nullptr, bulk.numbers);
        state.ResumeTiming();
        const std::string ended =
            smsc::runSmppSession(address, OsmocomNetwork::kPassword, options, bulk.items, listener);
        state.PauseTiming();
        if (!ended.empty()) return state.SkipWithError(("the session ended early: " + ended).c_str());
        if (listener.accepted_ != kRecipients)
            return state.SkipWithError(("osmo-msc did not take every part: " + listener.lastFailure_).c_str());
        windows += listener.windows_;
        if (!waitStored(before + static_cast<long>(kRecipients), std::chrono::seconds(10)))
            return state.SkipWithError("osmo-msc did not store every part");
        std::filesystem::remove(path);
        state.ResumeTiming();
    }
    state.counters["parts/s"] =
        benchmark::Counter(static_cast<double>(kRecipients * state.iterations()), benchmark::Counter::kIsRate);
    // Parts a window: with the journal, parts a flush to disk.
    if (windows > 0)
        state.counters["parts/window"] =
            static_cast<double>(kRecipients * state.iterations()) / static_cast<double>(windows);
}
BENCHMARK(BM_PartsThroughOsmoMsc)
    ->ArgNames({"journal", "window"})
    ->Args({0, 10})
    ->Args({1, 10})
    ->Args({0, 100})
    ->Args({1, 100})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_PartsThroughKannel(benchmark::State& state) {
    const bool withJournal = state.range(0) != 0;
    const Job& bulk = job();
    std::string error;
    const auto address = smsc::parseKannelAddress(gateway->url("4930123456"), error);
    if (!address) return state.SkipWithError(error.c_str());
    std::size_t run = 0;
    double sendsmsSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!network->clearStored()) return state.SkipWithError("cannot empty osmo-msc's SMS table");
        const long before = network->storedCount();
        smsc::SendJournal journal;
        const std::string path = journals->file("kannel-" + std::to_string(run++));
        if (withJournal && !journal.open(path, "bench", error)) return state.SkipWithError(error.c_str());
        JournalListener listener(withJournal ? &journal : nullptr, bulk.numbers);
        state.ResumeTiming();
        const auto started = std::chrono::steady_clock::now();
        const std::string ended = smsc::runKannelSession(*address, pelorin::testing::KannelGateway::kSendsmsPassword,
                                                         {}, bulk.items, listener);
        sendsmsSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (!ended.empty()) return state.SkipWithError(("the session ended early: " + ended).c_str());
        if (listener.accepted_ != kRecipients)
            return state.SkipWithError(("Kannel did not take every part: " + listener.lastFailure_).c_str());
        // Kannel queues what sendsms took; the part is through once osmo-msc stored it.
        if (!waitStored(before + static_cast<long>(kRecipients), std::chrono::seconds(300)))
            return state.SkipWithError("osmo-msc did not store every part sent through Kannel");
        state.PauseTiming();
        std::filesystem::remove(path);
        state.ResumeTiming();
    }
    state.counters["parts/s"] =
        benchmark::Counter(static_cast<double>(kRecipients * state.iterations()), benchmark::Counter::kIsRate);
    // How fast smsbox took them, before bearerbox had passed them all on.
    if (sendsmsSeconds > 0)
        state.counters["sendsms parts/s"] = static_cast<double>(kRecipients * state.iterations()) / sendsmsSeconds;
}
BENCHMARK(BM_PartsThroughKannel)
    ->ArgName("journal")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    OsmocomNetwork osmocom(PELORIN_SCTP_OVER_TCP_PATH);
    if (const std::string why = osmocom.start(); !why.empty()) {
        std::fprintf(stderr, "bench_smsc_peers: cannot start osmo-msc: %s\n", why.c_str());
        return 1;
    }
    pelorin::testing::KannelGateway kannel;
    pelorin::testing::KannelCentre centre;
    centre.host = osmocom.address();
    centre.port = OsmocomNetwork::kSmppPort;
    centre.systemId = OsmocomNetwork::kGatewaySystemId;
    centre.password = OsmocomNetwork::kGatewayPassword;
    // Warnings only: at its debug level Kannel logs every PDU, which would be
    // most of what is measured.
    centre.logLevel = 2;
    if (const std::string why = kannel.start(centre); !why.empty()) {
        std::fprintf(stderr, "bench_smsc_peers: cannot start Kannel: %s\n", why.c_str());
        return 1;
    }
    pelorin::testing::TemporaryFolder folder("pelorin-bench-journals");
    network = &osmocom;
    gateway = &kannel;
    journals = &folder;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
