// How fast a disc is catalogued and a catalogue is browsed: a tree of
// 100,000 files in 1,000 folders, made once at set-up, catalogued the way
// the loading thread does it, beside find(1) printing the same facts of every
// entry over the same tree in the same run; then the catalogue file of those
// 100,000 records opened and one folder of it listed through the file list,
// as opening a medium in the window does.
// Goals: cataloguing at most 1.5 times find's time; opening and listing at
// most 200 ms.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/QueueDispatcher.h"
#include "collections/CategoryFolder.h"
#include "collections/GroupFolder.h"
#include "collections/Media.h"
#include "platform/FileSystem.h"
#include "shellviews/ShellList.h"

namespace {

constexpr int Folders = 1000;
constexpr int FilesPerFolder = 100;

class TBenchTree {
public:
    TBenchTree()
    {
        char pattern[] = "/tmp/mireva-media-bench-XXXXXX";
        if (!mkdtemp(pattern))
            std::abort();
        fPath = pattern;
        ForceDirectories(fPath + "/disc");
        for (int d = 0; d < Folders; ++d) {
            const std::string folder = fPath + "/disc/folder " + std::to_string(d);
            ForceDirectories(folder);
            for (int f = 0; f < FilesPerFolder; ++f) {
                const std::string path = folder + "/page " + std::to_string(f) + ".jpg";
                const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
                if (fd < 0)
                    std::abort();
                const std::string bytes(static_cast<size_t>(f % 13), 'x');
                if (!bytes.empty() && ::write(fd, bytes.data(), bytes.size()) < 0)
                    std::abort();
                ::close(fd);
            }
        }
    }
    ~TBenchTree() { RemoveTree(fPath); }
    std::string Disc() const { return fPath + "/disc"; }
    std::string Home() const { return fPath + "/home"; }

private:
    std::string fPath;
};

TBenchTree& Tree()
{
    static TBenchTree tree;
    return tree;
}

void BM_CatalogueTree(benchmark::State& state)
{
    const std::string disc = Tree().Disc();
    size_t records = 0;
    for (auto _ : state) {
        TCatalogueRecords built = BuildCatalogue(disc);
        records = built.size();
        benchmark::DoNotOptimize(built.data());
    }
    state.counters["records"] = static_cast<double>(records);
}

// The same facts of every entry (path, size and the three times), printed by
// find and read to the end.
void BM_FindPrintf(benchmark::State& state)
{
    const std::string command = "find '" + Tree().Disc() + "' -printf '%P\\t%s\\t%T@\\t%A@\\t%C@\\t%y\\n'";
    size_t lines = 0;
    for (auto _ : state) {
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) {
            state.SkipWithError("find did not start");
            return;
        }
        char buffer[65536];
        lines = 0;
        for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            for (size_t i = 0; i < got; ++i)
                lines += buffer[i] == '\n';
        pclose(pipe);
    }
    state.counters["records"] = static_cast<double>(lines);
}

// The catalogue file is written once; each round opens it as the window does
// on a medium's first opening and lists one of its folders in the file list.
void BM_OpenCatalogueAndListFolder(benchmark::State& state)
{
    static const bool written = [] {
        TMediaStore store(Tree().Home());
        TMediaList list;
        TMediaFolder& medium = *list.Medium(list.Add("Disc", 0, ""));
        medium.InstallCatalogue(BuildCatalogue(Tree().Disc()));
        medium.StoredRootId = TItemIdList::FromPath(Tree().Disc());
        store.SaveCatalogue(medium);
        store.SaveList(list);
        return true;
    }();
    benchmark::DoNotOptimize(written);
    int rows = 0;
    for (auto _ : state) {
        TGroupList shelves;
        TCategoryList categories;
        TMediaList media;
        TMediaStore store(Tree().Home());
        store.LoadList(media);
        TQueueDispatcher dispatcher;
        TShellListSources sources;
        sources.Shelves = &shelves;
        sources.Media = &media;
        sources.Categories = &categories;
        sources.Dispatcher = &dispatcher;
        TShellListModel view(sources);
        view.OnMediaLoading = [&](TMediaFolder& medium) { store.LoadCatalogue(medium); };
        if (!view.SetMedium(0, "folder 500")) {
            state.SkipWithError("listing failed");
            return;
        }
        rows = view.Count();
    }
    state.counters["rows"] = rows;
}

}  // namespace

BENCHMARK(BM_CatalogueTree)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindPrintf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenCatalogueAndListFolder)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
