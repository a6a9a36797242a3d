// Parts a second through the simulated SMS centre (pelorin-phone --smpp),
// with the send journal flushed once a window and without it. The centre
// stores each logo as the phone does, so its own writing is in the figure.

#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "sms/encoding.h"
#include "smsc/send_journal.h"
#include "smsc/smpp_client.h"

extern char** environ;

namespace {

using namespace pelorin;

constexpr std::size_t kRecipients = 2000;

std::uint16_t freePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    close(fd);
    return ntohs(address.sin_port);
}

class Centre {
public:
    Centre() : folder_(std::filesystem::temp_directory_path() / ("pelorin-bench-smsc-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(folder_ / "store");
        port_ = freePort();
        int fromPhone[2];
        if (pipe(fromPhone) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fromPhone[1], STDOUT_FILENO);
        std::vector<std::string> args{
            PELORIN_PHONE_PATH,    "--quiet",        "--store", (folder_ / "store").string(), "--smpp",
            std::to_string(port_), "--smpp-account", "bench:pw"};
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fromPhone[1]);
        // Its first line comes once the centre listens.
        for (char c; read(fromPhone[0], &c, 1) == 1 && c != '\n';) {
        }
        close(fromPhone[0]);
    }
    ~Centre() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        std::filesystem::remove_all(folder_);
    }
    std::uint16_t port() const { return port_; }
    const std::filesystem::path& folder() const { return folder_; }

private:
    std::filesystem::path folder_;
    std::uint16_t port_ = 0;
    pid_t pid_ = -1;
};

class JournalListener final : public smsc::SmppListener {
public:
    explicit JournalListener(smsc::SendJournal* journal) : journal_(journal) {}
    bool beforeWindow(std::span<const std::size_t> keys) override {
        if (journal_ == nullptr) return true;
        std::vector<smsc::PartKey> parts;
        for (std::size_t key : keys) parts.push_back({std::to_string(key), 1});
        std::string error;
        return journal_->sending(parts, error);
    }
    void accepted(std::size_t key, const std::string& id) override {
        ++accepted_;
        if (journal_ != nullptr) journal_->accepted({std::to_string(key), 1}, id);
    }
    void failed(std::size_t, const std::string&) override {}
    void unknown(std::size_t) override {}
    std::size_t accepted_ = 0;

private:
    smsc::SendJournal* journal_;
};

void BM_PartsThroughSimulatedCentre(benchmark::State& state) {
    const bool withJournal = state.range(0) != 0;
    Centre centre;
    SendJob job;
    job.Kind = SendJobKind::GroupGraphic;
    job.Number = "1";
    const MessagePart part = BuildSendParts(job).front();
    std::vector<smsc::SmppItem> items;
    for (std::size_t i = 0; i < kRecipients; ++i)
        items.push_back({smsc::submitFor(part.userData, false, part.dataCoding, "+4917" + std::to_string(i), ""), i});
    smsc::SmscAddress address;
    address.systemId = "bench";
    address.host = "127.0.0.1";
    address.port = centre.port();
    smsc::SmppOptions options;
    options.window = 20;
    std::size_t run = 0;
    for (auto _ : state) {
        smsc::SendJournal journal;
        std::string error;
        if (withJournal && !journal.open((centre.folder() / ("j" + std::to_string(run++))).string(), "bench", error))
            return state.SkipWithError(error.c_str());
        JournalListener listener(withJournal ? &journal : nullptr);
        const std::string ended = smsc::runSmppSession(address, "pw", options, items, listener);
        if (!ended.empty() || listener.accepted_ != kRecipients) return state.SkipWithError(ended.c_str());
    }
    state.counters["parts/s"] =
        benchmark::Counter(static_cast<double>(kRecipients * state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PartsThroughSimulatedCentre)
    ->ArgName("journal")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
