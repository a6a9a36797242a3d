// Reading a phone's inbox back: pelorin-cli receive --fast against
// pelorin-phone holding 50 messages, 20 of them logos (the large operator
// logos in two parts, the picture messages in three), the rest texts. Each
// iteration is a whole run of the program: opening the port, listing both
// memories, decoding, putting parts together and printing. Target: under
// 200 ms.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/deliver_builder.h"

extern char** environ;

namespace {

using namespace pelorin::testing;

std::string inbox() {
    std::vector<std::string> lines;
    for (std::uint8_t i = 0; i < 4; ++i) {
        for (const auto& part : deliverParts(
                 0x158A, DeliverOctets{0x30, 0x00, 0x00, 0x02, 'H', 'i', 0x02, 0x01, 0x00} + ota(72, 28, i), i))
            lines.push_back(part);
        for (const auto& part :
             deliverParts(0x1582, DeliverOctets{0x30, 0x62, 0xF2, 0x20, 0x0A} + ota(78, 21, i), 100 + i))
            lines.push_back(part);
        lines.push_back(Deliver{port16(0x1583), DeliverOctets{0x30} + ota(72, 14, i)}.hex());
        lines.push_back(Deliver{port16(0x1582), DeliverOctets{0x62, 0xF2, 0x20} + ota(72, 14, i)}.hex());
        lines.push_back(Deliver{port8(0x82), DeliverOctets{0x62, 0xF2, 0x20} + ota(72, 14, i)}.hex());
    }
    DeliverOctets text;
    for (int c = 0; c < 120; ++c) text.push_back(static_cast<std::uint8_t>('a' + c % 26));
    for (int i = 0; i < 30; ++i) lines.push_back(Deliver{{}, text, 0x00}.hex());
    std::string file;
    for (const auto& line : lines) file += line + "\n";
    return file;
}

// Runs a program with its output to a pipe or /dev/null; waits for it.
int run(const std::vector<std::string>& args, int outFd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    std::vector<char*> argv;
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_ReceiveFast50Messages(benchmark::State& state) {
    const auto folder = std::filesystem::temp_directory_path() / ("pelorin-bench-receive-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "inbox.txt") << inbox();

    // The phone: its first line of output is the device path.
    int toUs[2];
    if (pipe(toUs) != 0) return state.SkipWithError("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toUs[1], STDOUT_FILENO);
    const std::string inboxPath = (folder / "inbox.txt").string();
    std::vector<std::string> phoneArgs{PELORIN_PHONE_PATH, "--quiet", "--inbox", inboxPath};
    std::vector<char*> argv;
    for (auto& arg : phoneArgs) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t phone = -1;
    posix_spawn(&phone, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toUs[1]);
    std::string device;
    for (char c; read(toUs[0], &c, 1) == 1 && c != '\n';) device.push_back(c);

    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    const std::vector<std::string> receive{PELORIN_CLI_PATH, "receive", "--port", device, "--fast"};
    if (run(receive, devNull) != 0) state.SkipWithError("pelorin-cli receive failed");
    for (auto _ : state) benchmark::DoNotOptimize(run(receive, devNull));
    state.counters["messages"] = 50;

    close(devNull);
    kill(phone, SIGTERM);
    waitpid(phone, nullptr, 0);
    close(toUs[0]);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ReceiveFast50Messages)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
