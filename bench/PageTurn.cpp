// Page turns through the viewer's reading logic: a book of 2480 x 3508 pages
// in spread mode in a 1920 x 1080 view. WarmTurn measures what a turn costs
// besides scaling when the cache holds the next pair: the move, the queues,
// the layout and the plan of the visible parts (the scaling of those parts is
// the imaging benchmarks' business, and the whole frame is measured once the
// window exists). ReadingMemory reads 200 pages of a 1000-page book with the
// default cache settings, decoding real page-sized bitmaps, and reports the
// resident memory.

#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "viewer/PageViewer.h"
#include "viewer/ScaledArea.h"

namespace {

constexpr int PageWidth = 2480;
constexpr int PageHeight = 3508;
constexpr int64_t PageFileBytes = 1500 * 1024;  // a typical JPEG page

// Either hands out one shared page bitmap (no decoding cost at all) or
// allocates a fresh one per picture, as a real decoder does.
class PageDecoder : public TCacheDecoder, public TPictureSource {
public:
    explicit PageDecoder(bool allocate) : fAllocate(allocate)
    {
        if (!allocate)
            fShared = std::make_shared<TBitmap>(PageWidth, PageHeight, 24);
    }
    TImageSlot Decode(const TCacheItem& item) override { return Make(item.Index); }
    TImageSlot DecodeBytes(const TCacheItem& item, TMemoryStream&) override { return Make(item.Index); }
    TReadResult ReadBytes(const TCacheItem&, int64_t maxBytes, TMemoryStream& out) override
    {
        if (PageFileBytes > maxBytes)
            return TReadResult::rrTooLarge;
        out.SetSize(PageFileBytes);
        std::memset(out.Memory(), 0x11, static_cast<size_t>(PageFileBytes));
        return TReadResult::rrRead;
    }
    TImageSlot Load(const TCacheItem& item) override { return Make(item.Index); }

private:
    TImageSlot Make(int index)
    {
        TImageSlot slot;
        slot.Index = index;
        if (fAllocate) {
            // Every pixel written, as a decoder does, so the memory is resident.
            slot.Bitmap = std::make_shared<TBitmap>(PageWidth, PageHeight, 24);
            std::memset(slot.Bitmap->Bits(), 0x80, slot.Bitmap->Stride() * PageHeight);
        } else {
            slot.Bitmap = fShared;
        }
        slot.LoadedWidth = PageWidth;
        slot.LoadedHeight = PageHeight;
        return slot;
    }
    bool fAllocate;
    std::shared_ptr<TBitmap> fShared;
};

std::unique_ptr<TPageViewer> MakeBook(const std::shared_ptr<PageDecoder>& decoder, int pages)
{
    auto viewer = std::make_unique<TPageViewer>(decoder, [decoder] { return decoder; });
    TViewState state;
    state.ViewMode = TViewMode::vmSpread;
    viewer->SetViewState(state);
    viewer->SetClientSize(1920, 1080);
    std::vector<TCacheItem> items;
    for (int i = 0; i < pages; ++i)
        items.push_back(TCacheItem{i, "/book/" + std::to_string(i) + ".jpg", 0, -1});
    viewer->SetList(std::move(items));
    viewer->Open(0);
    return viewer;
}

void WaitForCache(TPageViewer& viewer)
{
    if (TImageCacheThread* cache = viewer.Cache())
        cache->WaitIdle(std::chrono::seconds(30));
}

int64_t StatusKilobytes(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::stoll(line.substr(key.size() + 1));
    return 0;
}

void WarmTurn(benchmark::State& state)
{
    auto decoder = std::make_shared<PageDecoder>(false);
    auto viewer = MakeBook(decoder, 1000);
    TScaledArea areas[2];
    for (auto _ : state) {
        if (viewer->Shown().Primary >= 996) {
            state.PauseTiming();
            viewer->Open(0);
            state.ResumeTiming();
        }
        viewer->RunMove(TMoveCommand::mcNext);
        for (int page = 0; page < 2; ++page) {
            areas[page].Reset();
            benchmark::DoNotOptimize(areas[page].Update(viewer->Layout().PageRect(page), viewer->Layout().ClientSize()));
        }
        state.PauseTiming();
        WaitForCache(*viewer);
        state.ResumeTiming();
    }
}
BENCHMARK(WarmTurn)->Unit(benchmark::kMicrosecond);

void ReadingMemory(benchmark::State& state)
{
    for (auto _ : state) {
        auto decoder = std::make_shared<PageDecoder>(true);
        auto viewer = MakeBook(decoder, 1000);
        for (int turn = 0; turn < 100; ++turn) {  // 200 pages in pairs
            viewer->RunMove(TMoveCommand::mcNext);
            WaitForCache(*viewer);
        }
        state.counters["rss_mb"] = static_cast<double>(StatusKilobytes("VmRSS")) / 1024.0;
        state.counters["peak_rss_mb"] = static_cast<double>(StatusKilobytes("VmHWM")) / 1024.0;
        state.counters["shown_page"] = viewer->Shown().Primary;
    }
}
BENCHMARK(ReadingMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
