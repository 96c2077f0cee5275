// How fast the file commands move data: one 64 MiB file and a folder of
// 2,000 small files copied with TFileTransfer (the path paste, "copy to
// folder" and a drop take), the same file copied by a bare read/write loop
// for comparison (neither syncs: a copy leaves its source), and 2,000 files trashed and restored through TTrash (what
// delete and its undo do). Each iteration copies into a fresh folder and
// removes it untimed. Goal: the transfer within 10 % of the bare loop.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fileops/FileTransfer.h"
#include "fileops/Trash.h"
#include "platform/FileSystem.h"

namespace {

constexpr int64_t BigBytes = 64 << 20;
constexpr int SmallFiles = 2000;

struct TBenchFolder {
    std::string Root;
    TBenchFolder()
    {
        char name[] = "/tmp/mireva-fileops-bench-XXXXXX";
        Root = std::string(::mkdtemp(name)) + "/";
        ForceDirectories(Root + "src/small");
        const std::string big = Root + "src/big.bin";
        const int fd = ::open(big.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::vector<char> block(1 << 20, 'x');
        for (int64_t done = 0; done < BigBytes; done += static_cast<int64_t>(block.size()))
            if (::write(fd, block.data(), block.size()) != static_cast<ssize_t>(block.size()))
                std::abort();
        ::close(fd);
        for (int i = 0; i < SmallFiles; ++i) {
            const std::string path = Root + "src/small/" + std::to_string(i) + ".jpg";
            const int small = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (::write(small, block.data(), 4096) != 4096)
                std::abort();
            ::close(small);
        }
    }
    ~TBenchFolder() { RemoveTree(Root); }
};

TBenchFolder& Folder()
{
    static TBenchFolder folder;
    return folder;
}

void Copy(benchmark::State& state, const std::string& source)
{
    TBenchFolder& folder = Folder();
    TFileTransfer transfer(nullptr, nullptr, nullptr);
    int64_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        RemoveTree(folder.Root + "dst");
        ForceDirectories(folder.Root + "dst");
        state.ResumeTiming();
        const TTransferResult result = transfer.Run(TTransferMode::tmCopy, {folder.Root + source}, folder.Root + "dst");
        if (!result.Errors.empty())
            state.SkipWithError(result.Errors.front().c_str());
        bytes += source == "src/big.bin" ? BigBytes : int64_t{SmallFiles} * 4096;
    }
    state.SetBytesProcessed(bytes);
}

void BM_TransferBigFile(benchmark::State& state) { Copy(state, "src/big.bin"); }
void BM_TransferSmallFiles(benchmark::State& state) { Copy(state, "src/small"); }

void BM_BareCopyBigFile(benchmark::State& state)
{
    TBenchFolder& folder = Folder();
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        const int in = ::open((folder.Root + "src/big.bin").c_str(), O_RDONLY);
        const int out = ::open((folder.Root + "bare.bin").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        for (ssize_t got; (got = ::read(in, buffer.data(), buffer.size())) > 0;)
            if (::write(out, buffer.data(), static_cast<size_t>(got)) != got)
                std::abort();
        ::close(in);
        ::close(out);
    }
    state.SetBytesProcessed(state.iterations() * BigBytes);
}

void BM_TrashAndRestoreSmallFiles(benchmark::State& state)
{
    TBenchFolder& folder = Folder();
    TTrashSetup setup;
    setup.HomeTrash = folder.Root + "Trash/";
    setup.Uid = static_cast<uint32_t>(::getuid());
    TTrash trash(setup);
    for (auto _ : state) {
        std::vector<TTrashedItem> items;
        items.reserve(SmallFiles);
        for (int i = 0; i < SmallFiles; ++i)
            items.push_back(trash.Trash(folder.Root + "src/small/" + std::to_string(i) + ".jpg"));
        for (const TTrashedItem& item : items)
            trash.Restore(item);
    }
    state.SetItemsProcessed(state.iterations() * SmallFiles);
}

}  // namespace

BENCHMARK(BM_TransferBigFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareCopyBigFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransferSmallFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrashAndRestoreSmallFiles)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
