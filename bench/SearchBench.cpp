// How fast a search goes through a large tree: 100,000 files in 1,000
// folders, made once at set-up, searched for "*.jpg" of more than 1,000 bytes
// by the search folder and its thread as the window runs them, and by
// find(1) with -iname and -size on the same tree in the same run. The search
// runs cold (no directory cache: every folder read from the disk, the system
// caching the disk as it does for find) and with the cache warm (every
// folder read once before, the search filters in memory).
// Goals: cold at most 1.2 times find; warm at most 0.2 times find.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "base/QueueDispatcher.h"
#include "collections/Search.h"
#include "base/PathUtils.h"
#include "platform/FileSystem.h"

namespace {

constexpr int Folders = 1000;
constexpr int FilesPerFolder = 100;
constexpr int64_t SizeLimit = 1001;  // find's -size +1000c

class TBenchTree {
public:
    TBenchTree()
    {
        // MIREVA_BENCH_TREE names a tree to make once and keep across runs
        // (making it on a disk takes minutes); otherwise a fresh one is made
        // and removed.
        if (const char* kept = std::getenv("MIREVA_BENCH_TREE"); kept && *kept) {
            fPath = IncludeTrailingPathDelimiter(kept);
            fKept = true;
            if (FileExists(fPath + "complete"))
                return;
            ForceDirectories(fPath);
            Fill();
            const int fd = ::open((fPath + "complete").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
            if (fd >= 0)
                ::close(fd);
            return;
        }
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/mireva-bench-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        fPath = pattern + "/";
        Fill();
    }
    ~TBenchTree()
    {
        if (!fKept)
            RemoveTree(fPath);
    }
    const std::string& Path() const { return fPath; }

private:
    void Fill() const
    {
        // Ten folders of a hundred folders: a library of books of pages,
        // a quarter of them pictures, sizes up to 2,000 bytes.
        static const char* const Extensions[] = {".jpg", ".png", ".txt", ".JPG"};
        for (int f = 0; f < Folders; ++f) {
            const std::string folder = fPath + "shelf " + std::to_string(f / 100) + "/book " + std::to_string(f) + "/";
            ForceDirectories(folder);
            for (int i = 0; i < FilesPerFolder; ++i) {
                const int n = f * FilesPerFolder + i;
                const std::string path = folder + "page " + std::to_string(i) + Extensions[n % 4];
                const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
                if (fd < 0)
                    std::abort();
                const std::string bytes(static_cast<size_t>((n * 7919) % 2000), 'x');
                if (!bytes.empty() && ::write(fd, bytes.data(), bytes.size()) < 0)
                    std::abort();
                ::close(fd);
            }
        }
    }
    std::string fPath;
    bool fKept = false;
};

TBenchTree& Tree()
{
    static TBenchTree tree;
    return tree;
}

TSearchConditions JpegsOverLimit()
{
    TSearchConditions conditions;
    conditions.Limits.Mask = "*.jpg";
    conditions.Limits.UseSize = true;
    conditions.Limits.AtLeast = true;
    conditions.Limits.Size = SizeLimit;
    conditions.TakeFolders = false;
    return conditions;
}

// One search to its end, the tasks run as the window's loop runs them.
int RunSearch(TQueueDispatcher& dispatcher, TSearchFolder& folder)
{
    if (!folder.StartSearch())
        std::abort();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (folder.Searching() && std::chrono::steady_clock::now() < deadline)
        dispatcher.RunOne(std::chrono::steady_clock::now() + std::chrono::milliseconds(100));
    dispatcher.RunPending();
    return folder.Count();
}

// find at normal priority, and at the priority the search thread lowers
// itself to (nice 10): on a busy machine only the second is a like-for-like
// comparison, for the busier the processors, the less time a lowered
// thread gets.
void BM_FindIname(benchmark::State& state)
{
    const std::string command = std::string(state.range(0) ? "nice -n 10 " : "") + "find '" + Tree().Path() +
                                "' -iname '*.jpg' -size +" + std::to_string(SizeLimit - 1) + "c > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("find failed");
    }
}
BENCHMARK(BM_FindIname)->ArgName("nice10")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SearchCold(benchmark::State& state)
{
    TQueueDispatcher dispatcher;
    TSearchFolder folder(dispatcher, nullptr);
    folder.SetConditions(JpegsOverLimit());
    folder.SetTargets({{TSearchTargetKind::tkFolder, Tree().Path(), true}});
    int found = 0;
    for (auto _ : state)
        found = RunSearch(dispatcher, folder);
    state.counters["found"] = found;
}
BENCHMARK(BM_SearchCold)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SearchWarmCache(benchmark::State& state)
{
    TQueueDispatcher dispatcher;
    TSearchFolder folder(dispatcher, nullptr);
    folder.SetConditions(JpegsOverLimit());
    folder.SetTargets({{TSearchTargetKind::tkFolder, Tree().Path(), true}});
    folder.SetCacheEnabled(true);
    RunSearch(dispatcher, folder);  // fills the cache
    int found = 0;
    for (auto _ : state)
        found = RunSearch(dispatcher, folder);
    state.counters["found"] = found;
    state.counters["cached_folders"] = folder.CacheCount();
}
BENCHMARK(BM_SearchWarmCache)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
