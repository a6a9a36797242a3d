// Speed of listing a documents folder for the open-file dialog: 2,000 logo
// files of mixed kinds, each bitmap loaded and each phone logo's header read.
// Target: under 200 ms a listing.

#include <benchmark/benchmark.h>

#include "browser/folder_listing.h"
#include "browser/thumbnail.h"
#include "document/posix_file_system.h"
#include "logo_folder.h"

namespace {

using namespace pelorin;

class NoMessages : public UserMessages {
public:
    void showMessage(const std::string&) override {}
};

void BM_ListFolder(benchmark::State& state) {
    const bench::LogoFolder folder(static_cast<int>(state.range(0)));
    PosixFileSystem files;
    NoMessages messages;
    std::size_t offered = 0;
    for (auto _ : state) {
        const auto listing = listFolderFiles(files, messages, folder.path(), FileFilter::AllSupported);
        offered = listing.files.size();
        benchmark::DoNotOptimize(listing);
    }
    state.SetLabel(std::to_string(offered) + " offered");
}
BENCHMARK(BM_ListFolder)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_ReadThumbnails(benchmark::State& state) {
    const bench::LogoFolder folder(8);
    PosixFileSystem files;
    NoMessages messages;
    const auto listing = listFolderFiles(files, messages, folder.path(), FileFilter::AllSupported);
    for (auto _ : state)
        for (const auto& path : listing.files) benchmark::DoNotOptimize(readThumbnail(files, path));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(listing.files.size()));
}
BENCHMARK(BM_ReadThumbnails)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
