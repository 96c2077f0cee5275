// How fast the file list shows a large folder: a folder of 100,000 files
// listed and sorted by name through the same setter the window calls, the
// rows re-sorted by size and by date, and 10,000 files created in the listed
// folder followed through the change notifier until the list is up to date.
// The browser model's ShowFolder on the same folder times the program's own
// path: the same listing, then the items and the book made from its rows;
// its counter memory_mb is the resident memory the shown folder adds.
// Sizes and dates are read on a worker after the names; details_ms says how
// long after the listing they were all in, and longest_step_ms is the
// longest single task the user-interface thread ran meanwhile (or while the
// created files arrived).
// Goals: 250 ms to list, 100 ms to re-sort, 1 s after the last change, no
// step of the user-interface thread above 50 ms.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "app/AppCore.h"
#include "base/QueueDispatcher.h"
#include "browser/BrowserModel.h"
#include "collections/CategoryFolder.h"
#include "collections/MediaFolder.h"
#include "collections/Shelf.h"
#include "platform/FileSystem.h"
#include "shellviews/DirNotify.h"
#include "shellviews/ShellList.h"

namespace {

constexpr int FolderFiles = 100000;
constexpr int CreatedFiles = 10000;

// A fresh folder below the system's temporary folder, removed at the end.
class TBenchFolder {
public:
    TBenchFolder()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/mireva-bench-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        fPath = pattern + "/";
    }
    ~TBenchFolder() { RemoveTree(fPath); }
    const std::string& Path() const { return fPath; }

    // count files of varied sizes and dates, named as a scanned book's pages.
    void Fill(int count, const std::string& prefix) const
    {
        for (int i = 0; i < count; ++i) {
            const std::string path = fPath + prefix + std::to_string((i * 7919) % count) + ".jpg";
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (fd < 0)
                std::abort();
            const std::string bytes(static_cast<size_t>(i % 97), 'x');
            if (!bytes.empty() && ::write(fd, bytes.data(), bytes.size()) < 0)
                std::abort();
            ::close(fd);
        }
    }

private:
    std::string fPath;
};

struct TCollections {
    TGroupList Shelves;
    TMediaList Media;
    TCategoryList Categories;
    TShellListSources Sources(TDispatcher* dispatcher, TDirChangeNotifier* notifier = nullptr)
    {
        TShellListSources sources;
        sources.Shelves = &Shelves;
        sources.Media = &Media;
        sources.Categories = &Categories;
        sources.Notifier = notifier;
        sources.Dispatcher = dispatcher;
        return sources;
    }
};

using TClock = std::chrono::steady_clock;

double Milliseconds(TClock::duration span)
{
    return std::chrono::duration<double, std::milli>(span).count();
}

// Runs the dispatcher's tasks until done() or a deadline, as the window's
// event loop would; returns the longest single task in milliseconds.
template <typename TDone>
double RunUntil(TQueueDispatcher& dispatcher, TDone done, std::chrono::seconds limit = std::chrono::seconds(30))
{
    const auto deadline = TClock::now() + limit;
    double longest = 0;
    while (!done() && TClock::now() < deadline) {
        const auto start = TClock::now();
        if (dispatcher.RunOne(TClock::now() + std::chrono::milliseconds(10)))
            longest = std::max(longest, Milliseconds(TClock::now() - start));
    }
    return longest;
}

TBenchFolder& BigFolder()
{
    static TBenchFolder folder = [] {
        TBenchFolder made;
        made.Fill(FolderFiles, "page ");
        return made;
    }();
    return folder;
}

void BM_ListAndSortByName(benchmark::State& state)
{
    const std::string path = BigFolder().Path();
    TCollections collections;
    TQueueDispatcher dispatcher;
    TShellListModel list(collections.Sources(&dispatcher));
    double details = 0;
    double longest = 0;
    for (auto _ : state) {
        if (!list.SetFolder(path) || list.Count() != FolderFiles)
            state.SkipWithError("listing failed");
        benchmark::DoNotOptimize(list.Text(0, 0));
        // The sizes and dates follow on the worker; the next round starts
        // once they are in, as the user would look at the folder meanwhile.
        state.PauseTiming();
        const auto listed = TClock::now();
        longest = std::max(longest, RunUntil(dispatcher, [&] { return list.DetailsComplete(); }));
        details = Milliseconds(TClock::now() - listed);
        state.ResumeTiming();
    }
    state.counters["details_ms"] = details;
    state.counters["longest_step_ms"] = longest;
}
BENCHMARK(BM_ListAndSortByName)->Unit(benchmark::kMillisecond);

void BM_Resort(benchmark::State& state)
{
    const int column = static_cast<int>(state.range(0));
    TCollections collections;
    TQueueDispatcher dispatcher;
    TShellListModel list(collections.Sources(&dispatcher));
    if (!list.SetFolder(BigFolder().Path()))
        state.SkipWithError("listing failed");
    RunUntil(dispatcher, [&] { return list.DetailsComplete(); });
    bool descending = false;
    for (auto _ : state) {
        // Each round flips the direction, so every round really re-sorts.
        descending = !descending;
        list.SetSortOrder({column, descending ? TSortDir::sdDesc : TSortDir::sdAsc});
        benchmark::DoNotOptimize(list.Node(0));
    }
}
BENCHMARK(BM_Resort)->Arg(1)->Arg(3)->ArgNames({"column"})->Unit(benchmark::kMillisecond);

// From the last of 10,000 created files to the list showing them all, with
// the notifier's own delay; the time to create them is counted apart.
void BM_FollowCreatedFiles(benchmark::State& state)
{
    double longest = 0;
    for (auto _ : state) {
        TBenchFolder folder;
        folder.Fill(10, "old ");
        TQueueDispatcher dispatcher;
        TDirChangeNotifier notifier(dispatcher);
        TCollections collections;
        TShellListModel list(collections.Sources(&dispatcher, &notifier));
        if (!list.SetFolder(folder.Path())) {
            state.SkipWithError("listing failed");
            break;
        }
        folder.Fill(CreatedFiles, "new ");
        const auto lastChange = TClock::now();
        longest = std::max(longest, RunUntil(dispatcher, [&] { return list.Count() >= 10 + CreatedFiles; }));
        const auto done = TClock::now();
        if (list.Count() != 10 + CreatedFiles)
            state.SkipWithError("the list did not catch up");
        state.SetIterationTime(std::chrono::duration<double>(done - lastChange).count());
    }
    state.counters["longest_step_ms"] = longest;
}
BENCHMARK(BM_FollowCreatedFiles)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// The resident memory of this process in megabytes.
double ResidentMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

// Messages (a page that cannot be read) are counted, not shown.
class TCountingNotifier : public TUserNotifier {
public:
    void ShowMessage(const std::string&, TMessageIcon) override { ++Count; }
    int Count = 0;
};

// The program's core over folders of its own (default settings, no
// plug-ins) and its browser model, showing the large folder as the window
// does when the folder tree or the address bar goes there.
void BM_ShowFolder(benchmark::State& state)
{
    const std::string folder = BigFolder().Path();
    TBenchFolder home;
    std::ofstream(home.Path() + "Mireva.ini") << "";
    TAppFolders folders;
    folders.ProgramFolder = home.Path();
    folders.DataFolder = home.Path();
    folders.WorkingFolder = home.Path();
    folders.TemporaryBase = home.Path();
    folders.TemporaryName = "temp";
    TAppCore core(folders, {});
    TCountingNotifier notifier;
    TQueueDispatcher dispatcher;
    TBrowserModel model(core, notifier, &dispatcher);
    model.Viewer().SetClientSize(800, 600);
    model.DeferredStart();
    const double empty = ResidentMegabytes();
    double details = 0;
    double longest = 0;
    for (auto _ : state) {
        if (!model.ShowFolder(folder) || model.Items().size() != static_cast<size_t>(FolderFiles))
            state.SkipWithError("showing the folder failed");
        benchmark::DoNotOptimize(model.Items().data());
        // The details arrive on the dispatcher, as in the window.
        state.PauseTiming();
        const auto shown = TClock::now();
        longest = std::max(longest, RunUntil(dispatcher, [&] { return model.FileList().DetailsComplete(); }));
        details = Milliseconds(TClock::now() - shown);
        if (model.Items().back().Time == -1.0)
            state.SkipWithError("the items did not get their dates");
        state.ResumeTiming();
    }
    state.counters["messages"] = notifier.Count;
    state.counters["details_ms"] = details;
    state.counters["longest_step_ms"] = longest;
    // What the shown folder holds on top of the model with nothing listed.
    state.counters["memory_mb"] = ResidentMegabytes() - empty;
}
BENCHMARK(BM_ShowFolder)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
