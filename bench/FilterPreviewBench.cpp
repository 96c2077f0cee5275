// filter-preview: one change of a levels marker or a tone-curve point while
// the filter dialog previews, on a 2480 x 3508 scanned page: the unfiltered
// page passed through the edited set and turned (the preview's own path),
// then scaled to the view as the repaint does. The goal is 50 ms.

#include <benchmark/benchmark.h>

#include "browser/FilterPreview.h"
#include "viewer/StretchScaler.h"

namespace {

constexpr int PageWidth = 2480;
constexpr int PageHeight = 3508;
// A full-HD view fitted to the page's height.
constexpr int ViewHeight = 1080;
constexpr int ViewWidth = PageWidth * ViewHeight / PageHeight;

TImageSlot ScannedPage(bool gray)
{
    auto page = std::make_shared<TBitmap>(PageWidth, PageHeight, gray ? 8 : 24);
    if (gray)
        for (int i = 0; i < 256; ++i)
            page->Palette().push_back(TRGBQuad{static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0});
    for (int y = 0; y < PageHeight; ++y) {
        uint8_t* row = page->ScanLine(y);
        for (size_t x = 0; x < static_cast<size_t>(PageWidth * page->BytesPerPixel()); ++x)
            row[x] = static_cast<uint8_t>((x * 7 + static_cast<size_t>(y) * 3) ^ (x >> 3));
    }
    TImageSlot slot;
    slot.Index = 0;
    slot.Bitmap = std::move(page);
    slot.Gray = gray;
    slot.LoadedWidth = PageWidth;
    slot.LoadedHeight = PageHeight;
    return slot;
}

void Run(benchmark::State& state, const TFilterItem& first, const TFilterItem& second)
{
    const bool gray = state.range(0) != 0;
    TFilterPreview preview({ScannedPage(gray)}, TRotation::rtNone, false);
    TStretchPageScaler scaler(nullptr);
    scaler.SetStretch(TStretchMode::smBilinear);
    TBitmap view(ViewWidth, ViewHeight, gray ? 8 : 24);
    bool flip = false;
    for (auto _ : state) {
        // Each round is a marker move: the other value than last time.
        const std::vector<TImageSlot> pages = preview.Apply({flip ? first : second});
        flip = !flip;
        scaler.Scale(*pages[0].Bitmap, pages[0].Gray, view, ViewWidth, ViewHeight, 0, 0,
                     TRect{0, 0, ViewWidth, ViewHeight});
        benchmark::DoNotOptimize(view.Bits());
    }
}

void LevelsMarkerMove(benchmark::State& state)
{
    Run(state, TFilterItem{FilterKind::Levels, TLevelsParameter{20, 230, 0, 255, false}},
        TFilterItem{FilterKind::Levels, TLevelsParameter{21, 230, 0, 255, false}});
}

void ToneCurvePointMove(benchmark::State& state)
{
    TToneCurveInfo a;
    a.Points = {{0, 0}, {96, 120}, {255, 255}};
    TToneCurveInfo b = a;
    b.Points[1] = {97, 124};
    Run(state, TFilterItem{FilterKind::ToneCurve, a}, TFilterItem{FilterKind::ToneCurve, b});
}

}  // namespace

BENCHMARK(LevelsMarkerMove)->ArgName("gray")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ToneCurvePointMove)->ArgName("gray")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
