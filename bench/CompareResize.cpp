// compare-resize: times our four resamplers and, when they were found at build
// time, the nearest equivalents of libvips and OpenCV on the same pictures in
// the same process, each on one thread, and prints the median times and the
// ratios ours / theirs against the goals we set ourselves. Times are the
// processor time of the whole process (all threads), so that a busy machine
// slows the wall clock but not the comparison. Run it pinned to one
// processor: taskset -c 1 build/bench/bench/compare-resize [--reps=N]

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/Bitmap.h"
#include "imaging/Stretch.h"
#include "platform/CpuFeatures.h"

#ifdef MIREVA_BENCH_VIPS
#include <vips/vips.h>
#endif
#ifdef MIREVA_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

// A photograph-like picture: smooth gradients with grain, so no method can
// profit from flat areas (none of them does, but peers might).
TBitmap MakePicture(int width, int height, int bits)
{
    TBitmap b(width, height, bits);
    uint32_t state = 2463534242u;
    const int bpp = bits / 8;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = b.ScanLine(y);
        for (int x = 0; x < width * bpp; ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            row[x] = static_cast<uint8_t>(((x / bpp) * 255 / width + y * 255 / height) / 2 + (state & 31));
        }
    }
    if (bits == 8)
        b.SetGrayPalette();
    return b;
}

struct TPictures {
    TBitmap Photo = MakePicture(6000, 4000, 24);
    TBitmap Gray = MakePicture(1200, 1800, 8);
    TBitmap Page = MakePicture(2480, 3508, 24);
};

TPictures& Pictures()
{
    static TPictures pictures;
    return pictures;
}

const char* MethodText(ResampleMethod m)
{
    switch (m) {
    case ResampleMethod::Bilinear:
        return "bilinear";
    case ResampleMethod::Bicubic:
        return "bicubic";
    case ResampleMethod::AreaAverage:
        return "area";
    case ResampleMethod::Lanczos3:
        return "lanczos3";
    }
    return "?";
}

void Ours(benchmark::State& state, const TBitmap* source, ResampleMethod method, int width, int height,
          TVisibleRect visible)
{
    TBitmap destination(visible.Width(), visible.Height(), source->BitsPerPixel());
    TBitmap& s = const_cast<TBitmap&>(*source);
    for (auto _ : state) {
        if (source->BitsPerPixel() == 8)
            StretchGrayBitmap(&s, &destination, width, method, 0, 0, visible, height);
        else
            StretchBitmap(&s, &destination, width, method, 0, 0, visible, height);
        benchmark::DoNotOptimize(destination.Bits());
    }
}

#ifdef MIREVA_BENCH_VIPS
void Vips(benchmark::State& state, const TBitmap* source, VipsKernel kernel, int width, int height)
{
    const int bands = source->BytesPerPixel();
    std::vector<uint8_t> packed(static_cast<size_t>(source->Width()) * bands * source->Height());
    for (int y = 0; y < source->Height(); ++y)
        std::memcpy(packed.data() + static_cast<size_t>(y) * source->Width() * bands, source->ScanLine(y),
                    static_cast<size_t>(source->Width()) * bands);
    VipsImage* in = vips_image_new_from_memory(packed.data(), packed.size(), source->Width(), source->Height(), bands,
                                               VIPS_FORMAT_UCHAR);
    const double h = static_cast<double>(width) / source->Width(), v = static_cast<double>(height) / source->Height();
    for (auto _ : state) {
        VipsImage* out = nullptr;
        if (vips_resize(in, &out, h, "vscale", v, "kernel", kernel, nullptr) != 0) {
            state.SkipWithError(vips_error_buffer());
            break;
        }
        size_t size = 0;
        void* pixels = vips_image_write_to_memory(out, &size);
        benchmark::DoNotOptimize(pixels);
        g_free(pixels);
        g_object_unref(out);
    }
    g_object_unref(in);
}
#endif

#ifdef MIREVA_BENCH_OPENCV
void OpenCv(benchmark::State& state, const TBitmap* source, int interpolation, int width, int height)
{
    const int type = source->BitsPerPixel() == 8 ? CV_8UC1 : CV_8UC3;
    const cv::Mat in(source->Height(), source->Width(), type, const_cast<uint8_t*>(source->Bits()), source->Stride());
    cv::Mat out(height, width, type);
    for (auto _ : state) {
        cv::resize(in, out, cv::Size(width, height), 0, 0, interpolation);
        benchmark::DoNotOptimize(out.data);
    }
}
#endif

// Remembers the median of every benchmark for the ratio table.
class TMedianReporter : public benchmark::ConsoleReporter {
public:
    TMedianReporter() : ConsoleReporter(OO_Tabular) {}
    std::map<std::string, double> Medians;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            if (run.aggregate_name == "median")
                Medians[run.run_name.function_name] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

struct TComparison {
    std::string Ours, Theirs, Goal;
    double Limit;  // ours / theirs must stay at or below
};

}  // namespace

int main(int argc, char** argv)
{
    int repetitions = 5;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--reps=", 7) == 0)
            repetitions = std::atoi(argv[i] + 7);
        else
            args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
#ifdef MIREVA_BENCH_VIPS
    if (VIPS_INIT(argv[0]) != 0)
        return 1;
    vips_concurrency_set(1);
    vips_cache_set_max(0);
#endif
#ifdef MIREVA_BENCH_OPENCV
    cv::setNumThreads(1);
#endif
    benchmark::Initialize(&count, args.data());
    TPictures& p = Pictures();

    std::vector<TComparison> comparisons;
    auto add = [&](const std::string& name, auto&&... arguments) {
        benchmark::RegisterBenchmark(name.c_str(), arguments...)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(repetitions)
            ->ReportAggregatesOnly(true)
            ->MinTime(0.3)
            ->MeasureProcessCPUTime();
    };
    const ResampleMethod methods[] = {ResampleMethod::Bilinear, ResampleMethod::Bicubic, ResampleMethod::AreaAverage,
                                      ResampleMethod::Lanczos3};
    for (ResampleMethod m : methods) {
        const std::string method = MethodText(m);
        add("photo/ours/" + method, Ours, &p.Photo, m, 1800, 1200, TVisibleRect{0, 0, 1800, 1200});
        add("grayup/ours/" + method, Ours, &p.Gray, m, 2400, 3600, TVisibleRect{0, 0, 2400, 3600});
        const TVisibleRect window{(9920 - 1920) / 2, (14032 - 1080) / 2, (9920 + 1920) / 2, (14032 + 1080) / 2};
        add("page400/ours/" + method, Ours, &p.Page, m, 9920, 14032, window);
        add("pagewhole/ours/" + method, Ours, &p.Page, m, 1920, 1080, TVisibleRect{0, 0, 1920, 1080});
        comparisons.push_back({"page400/ours/" + method, "pagewhole/ours/" + method, "400 % window <= 1.2 x whole page",
                               1.2});
    }
#ifdef MIREVA_BENCH_VIPS
    add("photo/vips/lanczos3", Vips, &p.Photo, VIPS_KERNEL_LANCZOS3, 1800, 1200);
    add("photo/vips/cubic", Vips, &p.Photo, VIPS_KERNEL_CUBIC, 1800, 1200);
    add("photo/vips/linear", Vips, &p.Photo, VIPS_KERNEL_LINEAR, 1800, 1200);
    comparisons.push_back({"photo/ours/lanczos3", "photo/vips/lanczos3", "<= 0.5 x libvips lanczos3", 0.5});
    comparisons.push_back({"photo/ours/bicubic", "photo/vips/cubic", "<= 0.5 x libvips cubic", 0.5});
    comparisons.push_back({"photo/ours/bilinear", "photo/vips/linear", "<= 0.5 x libvips linear", 0.5});
#endif
#ifdef MIREVA_BENCH_OPENCV
    add("photo/opencv/area", OpenCv, &p.Photo, cv::INTER_AREA, 1800, 1200);
    add("grayup/opencv/lanczos4", OpenCv, &p.Gray, cv::INTER_LANCZOS4, 2400, 3600);
    add("grayup/opencv/cubic", OpenCv, &p.Gray, cv::INTER_CUBIC, 2400, 3600);
    add("grayup/opencv/linear", OpenCv, &p.Gray, cv::INTER_LINEAR, 2400, 3600);
    comparisons.push_back({"photo/ours/area", "photo/opencv/area", "<= 0.5 x OpenCV INTER_AREA", 0.5});
    comparisons.push_back({"grayup/ours/lanczos3", "grayup/opencv/lanczos4", "<= 1.0 x OpenCV INTER_LANCZOS4", 1.0});
    comparisons.push_back({"grayup/ours/bicubic", "grayup/opencv/cubic", "(for information)", 0});
    comparisons.push_back({"grayup/ours/bilinear", "grayup/opencv/linear", "(for information)", 0});
#endif

    std::printf("vector level: %s\n", SimdLevelName(DefaultSimdLevel()));
    TMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-26s %14s   %-26s %14s %7s   %s\n", "ours", "median cpu ms", "against", "median cpu ms", "ratio",
                "goal");
    for (const TComparison& c : comparisons) {
        const auto ours = reporter.Medians.find(c.Ours);
        const auto theirs = reporter.Medians.find(c.Theirs);
        if (ours == reporter.Medians.end() || theirs == reporter.Medians.end())
            continue;
        const double ratio = ours->second / theirs->second;
        const char* verdict = c.Limit <= 0 ? "" : ratio <= c.Limit ? "met" : "MISSED";
        std::printf("%-26s %14.2f   %-26s %14.2f %7.3f   %s %s\n", c.Ours.c_str(), ours->second, c.Theirs.c_str(),
                    theirs->second, ratio, c.Goal.c_str(), verdict);
    }
    benchmark::Shutdown();
    return 0;
}
