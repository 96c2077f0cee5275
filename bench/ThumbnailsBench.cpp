// Making thumbnails the way the thumbnail view has them made: 500 JPEG
// photographs of 2000 x 3000 written at set-up, made into the default 80 x 80
// box through the program's enumeration in batch mode (the shipped JPEG
// plug-in, the thumbnail scaling, JPEG encoding, the store written at the
// end), on one worker and on one worker per processor; vipsthumbnail on the
// same files on one thread beside it when it is installed. And a folder of
// 10,000 pictures seen before, checked whole against the store.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "base/QueueDispatcher.h"
#include "loading/ImgLoader.h"
#include "loading/SPIs.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "thumbnails/EnumThumbs.h"
#include "thumbnails/ThumbnailList.h"

namespace {

constexpr int PhotoCount = 500;
constexpr int SeenCount = 10000;

std::string BenchFolder()
{
    const char* base = std::getenv("TMPDIR");
    return std::string(base && *base ? base : "/tmp") + "/mireva-thumbnails-bench/";
}

std::vector<uint8_t> Photo(int width, int height)
{
    TBitmap bitmap(width, height, 24);
    uint32_t noise = 12345;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int grain = static_cast<int>((noise >> 16) & 15);
            row[3 * x] = static_cast<uint8_t>((x / 8 + grain) & 0xFF);
            row[3 * x + 1] = static_cast<uint8_t>((y / 12 + grain) & 0xFF);
            row[3 * x + 2] = static_cast<uint8_t>(((x ^ y) / 16 + grain) & 0xFF);
        }
    }
    return EncodeJpeg(bitmap);
}

void WriteFiles(const std::string& folder, int count, const std::vector<uint8_t>& bytes)
{
    ForceDirectories(folder);
    for (int i = 0; i < count; ++i) {
        const std::string path = folder + std::to_string(100000 + i) + ".jpg";
        if (FileExists(path))
            continue;
        TFileStream out(path, TFileMode::fmCreate);
        out.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    }
}

const TLoaderSetPtr& Loaders()
{
    static TLoaderRegistry registry(PluginFolderScanner({MIREVA_BIN_DIR "/", ""}));
    static const TLoaderSetPtr loaders = registry.Reload(TPluginSettings{});
    return loaders;
}

const std::string& Photos()
{
    static const std::string folder = [] {
        const std::string f = BenchFolder() + "photos/";
        WriteFiles(f, PhotoCount, Photo(2000, 3000));
        return f;
    }();
    return folder;
}

class TNoReceiver : public TThumbReceiver {
public:
    void ThumbnailArrived(const TThumbnailResult&) override {}
};

// The pictures of folder as the file list hands them to the view.
std::vector<TEnumImageInfo> ListedItems(const std::string& folder)
{
    std::vector<TEnumImageInfo> items;
    for (const TDirEntry& entry : ListDirectory(folder)) {
        TEnumImageInfo item;
        item.Id = static_cast<int32_t>(items.size());
        item.Folder = folder;
        item.Name = entry.Name;
        item.Size = entry.Status.Size;
        item.Time = UnixToDateTime(entry.Status.ModifiedSeconds, entry.Status.ModifiedNanoseconds);
        items.push_back(std::move(item));
    }
    return items;
}

// One batch enumeration of every picture of folder into the store at
// storeFolder, as `mireva-cli thumbs make` runs it.
TThumbCounts MakeAll(const std::string& folder, const std::string& storeFolder, unsigned workers)
{
    TThumbnailList list(storeFolder, storeFolder + "media/");
    TEnumThumbsConfig config;
    config.Place.Folder = folder;
    config.Loaders = Loaders();
    config.TempFolder = BenchFolder() + "temp/";
    config.Batch = true;
    config.Workers = workers;
    std::vector<TEnumImageInfo> items = ListedItems(folder);
    std::vector<int32_t> ids;
    for (const TEnumImageInfo& item : items)
        ids.push_back(item.Id);
    TQueueDispatcher dispatcher;
    TNoReceiver receiver;
    TEnumThumbsThread thread(list, config, dispatcher, receiver);
    thread.SetItems(std::move(items));
    thread.SetQueue(std::move(ids));
    while (!thread.Idle())
        dispatcher.RunOne(TQueueDispatcher::TClock::now() + std::chrono::milliseconds(20));
    return thread.Counts();
}

void Make(benchmark::State& state, unsigned workers)
{
    const std::string& photos = Photos();
    const std::string store = BenchFolder() + "store/";
    for (auto _ : state) {
        state.PauseTiming();
        RemoveTree(store);
        state.ResumeTiming();
        const TThumbCounts counts = MakeAll(photos, store, workers);
        if (counts.Made != PhotoCount) {
            state.SkipWithError("not every picture got a thumbnail (is mvjpeg.spi built?)");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * PhotoCount);
    state.counters["workers"] = workers ? workers : std::thread::hardware_concurrency();
}

void BM_MakeOneWorker(benchmark::State& state)
{
    Make(state, 1);
}

void BM_MakeEveryProcessor(benchmark::State& state)
{
    Make(state, 0);
}

// vipsthumbnail on one thread over the same files, its output into a
// folder of its own.
void BM_Vipsthumbnail(benchmark::State& state)
{
    if (std::system("command -v vipsthumbnail >/dev/null 2>&1") != 0) {
        state.SkipWithError("vipsthumbnail is not installed (apt-get install libvips-tools)");
        return;
    }
    const std::string& photos = Photos();
    const std::string out = BenchFolder() + "vips/";
    const std::string command = "cd '" + photos + "' && VIPS_CONCURRENCY=1 vipsthumbnail --size 80x80 -o '" + out +
                                "%s.jpg[Q=90]' *.jpg";
    for (auto _ : state) {
        state.PauseTiming();
        RemoveTree(out);
        ForceDirectories(out);
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("vipsthumbnail failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * PhotoCount);
}

// A folder of 10,000 small pictures whose thumbnails the store holds: every
// item is looked up and checked, nothing is made.
void BM_CheckSeenFolder(benchmark::State& state)
{
    const std::string folder = BenchFolder() + "seen/";
    const std::string store = BenchFolder() + "seen-store/";
    WriteFiles(folder, SeenCount, Photo(64, 48));
    RemoveTree(store);
    MakeAll(folder, store, 0);
    for (auto _ : state) {
        const TThumbCounts counts = MakeAll(folder, store, 0);
        if (counts.Reused != SeenCount) {
            state.SkipWithError("the store did not hold every thumbnail");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * SeenCount);
}

// The same seen folder shown as thumbnails: the store opened, every item
// handed over, the first screen of cells asked for, until each of their
// stored pictures is decoded and delivered to the view.
class TCountingReceiver : public TThumbReceiver {
public:
    void ThumbnailArrived(const TThumbnailResult& result) override { Pictures += result.Picture ? 1 : 0; }
    int Pictures = 0;
};

void BM_FirstScreenOfSeenFolder(benchmark::State& state)
{
    constexpr int ScreenCells = 60;
    const std::string folder = BenchFolder() + "seen/";
    const std::string store = BenchFolder() + "seen-store/";
    WriteFiles(folder, SeenCount, Photo(64, 48));
    RemoveTree(store);
    MakeAll(folder, store, 0);
    const std::vector<TEnumImageInfo> listed = ListedItems(folder);
    for (auto _ : state) {
        TThumbnailList list(store, store + "media/");
        TEnumThumbsConfig config;
        config.Place.Folder = folder;
        config.Loaders = Loaders();
        config.TempFolder = BenchFolder() + "temp/";
        TQueueDispatcher dispatcher;
        TCountingReceiver receiver;
        TEnumThumbsThread thread(list, config, dispatcher, receiver);
        thread.SetItems(listed);
        std::vector<int32_t> screen(ScreenCells);
        for (int i = 0; i < ScreenCells; ++i)
            screen[static_cast<size_t>(i)] = i;
        thread.SetQueue(std::move(screen));
        const auto deadline = TQueueDispatcher::TClock::now() + std::chrono::seconds(10);
        while (receiver.Pictures < ScreenCells && dispatcher.RunOne(deadline)) {
        }
        if (receiver.Pictures < ScreenCells) {
            state.SkipWithError("the first screen did not arrive from the store");
            return;
        }
        state.PauseTiming();
        thread.Stop();
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(BM_MakeOneWorker)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_MakeEveryProcessor)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Vipsthumbnail)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_CheckSeenFolder)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_FirstScreenOfSeenFolder)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK_MAIN();
