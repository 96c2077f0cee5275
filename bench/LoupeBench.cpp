// The loupe following the pointer over a 2480 x 3508 page (an A4 scan at
// 300 dpi) fitted into a 1000 x 800 view, with Lanczos3: each move works out
// the square and the part of the page under it and scales what the move has
// uncovered into the loupe's caches, as the loupe's paint does. The pointer
// walks a path over the page and its edge, three pixels across and two down
// per move (a steady hand), so most of each square is kept and only strips
// are scaled; the Jump benchmark moves it far each time, so every move
// scales the whole square. Arguments: the loupe's scale index and its size.
// The goal is at most 4 ms per move.
//   build/bench/bench/loupe

#include <benchmark/benchmark.h>

#include <memory>

#include "common/Bitmap.h"
#include "viewer/Loupe.h"
#include "viewer/PageLayout.h"
#include "viewer/StretchScaler.h"

namespace {

std::shared_ptr<TBitmap> ScanPage()
{
    auto page = std::make_shared<TBitmap>(2480, 3508, 24);
    for (int y = 0; y < page->Height(); ++y) {
        uint8_t* row = page->ScanLine(y);
        for (int x = 0; x < page->Width(); ++x) {
            // Lines of "text" on paper: the resampler meets real edges.
            const bool ink = (y % 60) < 8 && (x / 7) % 3 != 0;
            const uint8_t v = ink ? 20 : static_cast<uint8_t>(235 + (x * 7 + y * 3) % 20);
            row[x * 3] = row[x * 3 + 1] = row[x * 3 + 2] = v;
        }
    }
    return page;
}

TPageLayout FittedLayout()
{
    TPageLayout layout;
    layout.SetPictureOptions(TViewPictureOptions{});
    TViewState state;
    state.ViewMode = TViewMode::vmSingle;
    layout.SetViewState(state);
    layout.SetClientSize(1000, 800);
    layout.ApplyRatioState();
    layout.MeasurePage(0, 2480, 3508);
    layout.MeasurePage(1, 0, 0);
    return layout;
}

void Follow(benchmark::State& state, int dx, int dy)
{
    const std::shared_ptr<TBitmap> page = ScanPage();
    const TPageLayout layout = FittedLayout();
    TStretchPageScaler scaler;
    scaler.SetStretch(TStretchMode::smLanczos3);
    TViewLoupeOptions options;
    options.Scale = static_cast<int>(state.range(0));
    options.Size = static_cast<int>(state.range(1));
    const std::array<TLoupeSource, 2> sources{TLoupeSource{page, false}, TLoupeSource{}};
    TLoupeRenderer renderer;
    const TRect box = layout.PageRect(0);
    // From a little outside the page's top-left corner to past its right.
    TPoint pointer{box.Left - 20, box.Top - 20};
    renderer.Render(LoupeGeometry(layout, pointer, options), sources, scaler);
    int64_t scaled = 0;
    for (auto _ : state) {
        pointer.X += dx;
        pointer.Y += dy;
        if (pointer.X > box.Right + 20 || pointer.Y > box.Bottom + 20)
            pointer = TPoint{box.Left - 20 + (pointer.X % 17), box.Top - 20 + (pointer.Y % 13)};
        const TRenderStats stats = renderer.Render(LoupeGeometry(layout, pointer, options), sources, scaler);
        scaled += stats.PixelsScaled;
        benchmark::DoNotOptimize(renderer.Page(0).Bitmap().Bits());
    }
    state.counters["px_scaled_per_move"] =
        benchmark::Counter(static_cast<double>(scaled) / static_cast<double>(state.iterations()));
}

void Move(benchmark::State& state)
{
    Follow(state, 3, 2);
}

void Jump(benchmark::State& state)
{
    Follow(state, 211, 157);
}

void Arguments(benchmark::internal::Benchmark* b)
{
    for (int scale : {0, 4, 8})
        for (int size : {200, 1000})
            b->Args({scale, size});
    b->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(Move)->Apply(Arguments);
BENCHMARK(Jump)->Apply(Arguments);

BENCHMARK_MAIN();
