// Page turns as a reader meets them: a comic archive of 2480 x 3508 JPEG
// pages (drawn and encoded by this program at start, with the program's own
// JPEG encoder, stored in a zip), read in spread mode in a 1920 x 1080 view
// with Lanczos3, through the shipped archive and JPEG plug-ins, the viewer's
// logic, the image cache and the view frame widget on Qt's offscreen
// platform. One turn is timed from the next-page command to the finished
// frame: the pair taken (or loaded), laid out, its visible parts scaled and
// the frame painted.
//
//   WarmTurn   the image cache on (default settings), given time to fetch
//              the next pair between turns, as a reader's pause does
//   ColdTurn   the image cache and the file cache off: every turn extracts
//              and decodes both pages
//   ReadingMemory  the resident memory after reading 200 pages of a
//              1000-page archive with the default cache settings
//
// Each turn benchmark runs 50 turns once and reports their median, 90th
// percentile and worst time as counters. Run each benchmark in its own
// process:
//   build/bench/bench/page-turn --benchmark_filter=WarmTurn
// Large regions are scaled on every processor; "taskset -c 1" in front
// measures a machine with one.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/PathUtils.h"
#include "loading/AcvUnit.h"
#include "loading/ImgLoader.h"
#include "loading/SPIs.h"
#include "platform/FileSystem.h"
#include "platform/Memory.h"
#include "viewer/CacheDecoder.h"
#include "viewer/PageViewer.h"
#include "viewer/StretchScaler.h"
#include "viewer/ui/ImageViewFrame.h"
#include "viewer/ui/QtHalfTone.h"

namespace {

constexpr int PageWidth = 2480;
constexpr int PageHeight = 3508;
constexpr int ArchivePages = 1000;
constexpr int DistinctPages = 8;
constexpr int Turns = 50;

int64_t StatusKilobytes(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::stoll(line.substr(key.size() + 1));
    return 0;
}

// A scanned comic page: paper with a little grain, panels with gradients,
// figures and lines of text, so the JPEG coder has the work a real page
// gives it.
TBitmap DrawPage(int seed)
{
    TBitmap page(PageWidth, PageHeight, 24);
    uint32_t noise = 2166136261u ^ static_cast<uint32_t>(seed);
    const int margin = 160;
    const int panelsDown = 3 + seed % 2;
    const int panelHeight = (PageHeight - 2 * margin) / panelsDown;
    for (int y = 0; y < PageHeight; ++y) {
        uint8_t* row = page.ScanLine(y);
        const int panel = (y - margin) / std::max(1, panelHeight);
        const int inPanelY = (y - margin) % std::max(1, panelHeight);
        for (int x = 0; x < PageWidth; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = static_cast<int>((noise >> 24) & 7) - 4;
            int b = 236, g = 240, r = 244;
            const bool inside = x > margin && x < PageWidth - margin && y > margin && y < PageHeight - margin &&
                                inPanelY > 24;
            if (inside) {
                const bool frame = inPanelY < 36 || inPanelY > panelHeight - 12 || x < margin + 12 ||
                                   x > PageWidth - margin - 12;
                if (frame) {
                    b = g = r = 20;
                } else if ((panel + seed) % 2 == 0) {
                    // Sky and ground.
                    const int t = inPanelY * 255 / panelHeight;
                    b = 230 - t / 3;
                    g = 170 + t / 4;
                    r = 90 + t / 2;
                } else {
                    // Lines of text and a figure.
                    const bool text = (inPanelY / 40) % 2 == 0 && x < PageWidth / 2 + ((y * 7 + seed) % 400);
                    const int dx = x - PageWidth * (2 + panel % 3) / 6;
                    const int dy = inPanelY - panelHeight * 2 / 3;
                    const bool figure = dx * dx + dy * dy < 180 * 180;
                    b = g = r = text ? 60 : 250;
                    if (figure) {
                        b = 60;
                        g = 80;
                        r = 200;
                    }
                }
            }
            row[x * 3] = static_cast<uint8_t>(std::clamp(b + grain, 0, 255));
            row[x * 3 + 1] = static_cast<uint8_t>(std::clamp(g + grain, 0, 255));
            row[x * 3 + 2] = static_cast<uint8_t>(std::clamp(r + grain, 0, 255));
        }
    }
    return page;
}

// The archive, written once per process into a temporary folder that goes
// with the process.
struct TBook {
    TBook()
    {
        char pattern[] = "/tmp/mireva-page-turn-XXXXXX";
        if (!::mkdtemp(pattern))
            throw std::runtime_error("no temporary folder");
        Folder = IncludeTrailingPathDelimiter(pattern);
        std::vector<std::vector<uint8_t>> pages;
        for (int i = 0; i < DistinctPages; ++i)
            pages.push_back(EncodeJpeg(DrawPage(i)));
        for (const auto& page : pages)
            JpegBytes += static_cast<double>(page.size());
        JpegBytes /= DistinctPages;
        Archive = Folder + "book.cbz";
        archive* zip = archive_write_new();
        archive_write_set_format_zip(zip);
        archive_write_set_options(zip, "zip:compression=store");
        if (archive_write_open_filename(zip, Archive.c_str()) != ARCHIVE_OK)
            throw std::runtime_error("the archive could not be written");
        for (int i = 0; i < ArchivePages; ++i) {
            const std::vector<uint8_t>& bytes = pages[static_cast<size_t>(i % DistinctPages)];
            char name[32];
            std::snprintf(name, sizeof name, "book/%04d.jpg", i + 1);
            archive_entry* entry = archive_entry_new();
            archive_entry_set_pathname(entry, name);
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_perm(entry, 0644);
            archive_entry_set_size(entry, static_cast<la_int64_t>(bytes.size()));
            if (archive_write_header(zip, entry) != ARCHIVE_OK ||
                archive_write_data(zip, bytes.data(), bytes.size()) != static_cast<la_ssize_t>(bytes.size()))
                throw std::runtime_error("the archive could not be written");
            archive_entry_free(entry);
        }
        archive_write_close(zip);
        archive_write_free(zip);
    }
    ~TBook() { RemoveTree(Folder); }

    std::string Folder;
    std::string Archive;
    double JpegBytes = 0;
};

TBook& Book()
{
    static TBook book;
    return book;
}

QApplication& Application()
{
    static int argc = 1;
    static char name[] = "page-turn";
    static char* argv[] = {name, nullptr};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Never destroyed: Qt's own statics may be gone by the time a static
    // application would be.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// The reading stack: registry with the shipped plug-ins, the opened archive,
// the viewer over its pages and the view frame at 1920 x 1080.
class TReader {
public:
    explicit TReader(const TViewCacheOptions& cache)
    {
        Application();
        TLoaderRegistry registry(PluginFolderScanner(TPluginFolders{MIREVA_BIN_DIR "/", ""}));
        fLoaders = registry.Reload(TPluginSettings{});
        TArchiveEnv env;
        env.Loaders = fLoaders;
        env.TempBase = Book().Folder + "temp/";
        fArchive = OpenArchive(env, Book().Archive);
        if (!fArchive)
            throw std::runtime_error("the archive plug-in did not open the book (is mvarchive.spi built?)");
        std::vector<TArchiveFileInfo*> records;
        fArchive->List("book/", true, records);
        std::vector<TCacheItem> items;
        for (const TArchiveFileInfo* record : records)
            items.push_back(TCacheItem{static_cast<int>(items.size()), record->Path + record->Name, record->Position,
                                       static_cast<int64_t>(record->Size)});
        TArchiveSource source{fArchive->FileName(), fArchive->Loader, fArchive};
        fViewer = std::make_unique<TPageViewer>(
            std::make_shared<TLoaderPictureSource>(fLoaders, source, nullptr, nullptr),
            [this, source] { return std::make_shared<TLoaderCacheDecoder>(fLoaders, source, nullptr); });
        TViewerOptions options;
        options.Cache = cache;
        options.Picture.Stretch = 4;  // Lanczos3
        fViewer->SetOptions(options);
        TViewState state;
        state.ViewMode = TViewMode::vmSpread;
        fViewer->SetViewState(state);
        fScaler.SetStretch(4);
        fFrame = std::make_unique<TImageViewFrame>(*fViewer, fScaler);
        fFrame->ShowImageBar(false);
        fFrame->resize(1920, 1080);
        fFrame->show();
        QCoreApplication::processEvents();
        fViewer->SetList(std::move(items));
        fViewer->Open(0);
        Paint();
    }
    ~TReader()
    {
        fFrame.reset();
        fViewer.reset();
    }

    bool Ready() const
    {
        const TSize client = fViewer->Layout().ClientSize();
        return client.Width == 1920 && client.Height == 1080 && fViewer->Primary().HasBitmap() &&
               fViewer->Layout().SpreadActive();
    }
    // One turn to the finished frame, in milliseconds: all of it, and its
    // three parts (the move with loading or taking the pair, scaling the
    // visible parts, painting the frame).
    struct TTurnTimes {
        double Total, Move, Scale, Paint;
    };
    TTurnTimes Turn()
    {
        using TClock = std::chrono::steady_clock;
        const auto ms = [](TClock::time_point a, TClock::time_point b) {
            return std::chrono::duration<double, std::milli>(b - a).count();
        };
        const auto start = TClock::now();
        fViewer->RunMove(TMoveCommand::mcNext);
        const auto moved = TClock::now();
        fFrame->UpdateView();
        fFrame->Render();
        const auto scaled = TClock::now();
        fFrame->Area()->repaint();
        const auto painted = TClock::now();
        return TTurnTimes{ms(start, painted), ms(start, moved), ms(moved, scaled), ms(scaled, painted)};
    }
    void WaitForCache()
    {
        if (TImageCacheThread* cache = fViewer->Cache())
            cache->WaitIdle(std::chrono::seconds(60));
    }
    TPageViewer& Viewer() { return *fViewer; }
    const TImageViewFrame& Frame() const { return *fFrame; }

private:
    void Paint()
    {
        fFrame->UpdateView();
        fFrame->Area()->repaint();
    }

    TLoaderSetPtr fLoaders;
    TArchiverPtr fArchive;
    std::unique_ptr<TPageViewer> fViewer;
    TQtHalfTone fHalfTone;
    TStretchPageScaler fScaler{&fHalfTone};
    std::unique_ptr<TImageViewFrame> fFrame;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void ReportTurns(benchmark::State& state, const std::vector<TReader::TTurnTimes>& turns)
{
    std::vector<double> total, move, scale, paint;
    for (const auto& t : turns) {
        total.push_back(t.Total);
        move.push_back(t.Move);
        scale.push_back(t.Scale);
        paint.push_back(t.Paint);
    }
    std::sort(total.begin(), total.end());
    state.counters["median_ms"] = total[total.size() / 2];
    state.counters["p90_ms"] = total[total.size() * 9 / 10];
    state.counters["max_ms"] = total.back();
    state.counters["move_ms"] = Median(move);
    state.counters["scale_ms"] = Median(scale);
    state.counters["paint_ms"] = Median(paint);
    state.counters["jpeg_kb"] = Book().JpegBytes / 1024.0;
}

void Turns50(benchmark::State& state, const TViewCacheOptions& cache, bool pause)
{
    Book();
    for (auto _ : state) {
        state.PauseTiming();
        TReader reader(cache);
        if (!reader.Ready()) {
            state.SkipWithError("the book did not open as a spread at 1920 x 1080");
            return;
        }
        std::vector<TReader::TTurnTimes> times;
        for (int turn = 0; turn < Turns; ++turn) {
            if (pause)
                reader.WaitForCache();
            times.push_back(reader.Turn());
            if (!reader.Viewer().Primary().HasBitmap() || !reader.Viewer().Layout().SpreadActive()) {
                state.SkipWithError("a turn lost the spread");
                return;
            }
        }
        state.counters["direct_loads"] = reader.Viewer().DirectLoads();
        state.counters["scaled_mpix"] = static_cast<double>(reader.Frame().Stats().PixelsScaled) / 1e6;
        ReportTurns(state, std::move(times));
        state.ResumeTiming();
    }
}

void WarmTurn(benchmark::State& state)
{
    Turns50(state, TViewCacheOptions{}, true);
}

void ColdTurn(benchmark::State& state)
{
    TViewCacheOptions off;
    off.ImageCache = false;
    off.FileCache = false;
    Turns50(state, off, false);
}

void ReadingMemory(benchmark::State& state)
{
    Book();
    for (auto _ : state) {
        const int64_t before = StatusKilobytes("VmRSS");
        TReader reader(TViewCacheOptions{});
        for (int turn = 0; turn < 100; ++turn) {  // 200 pages in pairs
            reader.WaitForCache();
            reader.Turn();
        }
        reader.WaitForCache();
        state.counters["rss_mb"] = static_cast<double>(StatusKilobytes("VmRSS")) / 1024.0;
        state.counters["rss_growth_mb"] = static_cast<double>(StatusKilobytes("VmRSS") - before) / 1024.0;
        state.counters["peak_rss_mb"] = static_cast<double>(StatusKilobytes("VmHWM")) / 1024.0;
        state.counters["last_page"] = reader.Viewer().Shown().Partner + 1;
    }
}

}  // namespace

BENCHMARK(WarmTurn)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(ColdTurn)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(ReadingMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    // As the viewer does at start.
    KeepPictureBlocksInHeap();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
