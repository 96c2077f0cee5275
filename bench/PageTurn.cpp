// Page turns as a reader meets them: a comic archive of 2480 x 3508 JPEG
// pages (drawn and encoded by this program at start, with the program's own
// JPEG encoder, stored in a zip), read in spread mode in a 1920 x 1080 view
// with Lanczos3, through the program's own window on Qt's offscreen platform:
// the program core reading a settings file, the shipped archive and JPEG
// plug-ins, the browser model with its picture source, the image cache and
// the view frame. One turn is timed from the next-page action to the
// finished frame: the pair taken (or loaded), laid out, its visible parts
// scaled and the frame painted.
//
//   WarmTurn   the image cache on (default settings), given time to fetch
//              the next pair between turns, as a reader's pause does
//   ColdTurn   the image cache and the file cache off: every turn extracts
//              and decodes both pages, the second on a worker beside the
//              first, which needs a second processor free to show
//   ReadingMemory  the resident memory after reading 200 pages of a
//              1000-page archive with the default cache settings
//   JumpTurn   50 jumps of the seek bar to random pages of the 1000-page
//              archive, the image cache on: each timed from the jump to
//              the finished frame; stall_ms is the longest the window's
//              thread was busy at a time (its processor time between two
//              turns of its event loop) during a jump, which is how long
//              keys and the wheel would have waited on an idle machine;
//              wall_stall_ms the same stretch by the clock, which on a busy
//              machine also holds the time the thread waited for a processor
//   HugeOpen   a folder holding a page and a 1.4 KB JPEG that claims
//              16000 x 16000 pixels: from the page, the huge picture is
//              opened (the image cache off, so that it is not fetched
//              ahead) and shown fitted; stall_ms and wall_stall_ms as for
//              JumpTurn, rss_growth_mb what resident memory grew by
//
// Each turn benchmark runs 50 turns once and reports their median, 90th
// percentile and worst time as counters. Run each benchmark in its own
// process:
//   build/bench/bench/page-turn --benchmark_filter=WarmTurn
// Large regions are scaled on every processor; "taskset -c 1" in front
// measures a machine with one. On a machine busy with other work,
// "chrt -r 5" in front lets the benchmark have the processors it asks for,
// as on a reader's otherwise idle desktop.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <chrono>
#include <cmath>
#include <random>
#include <time.h>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/AppCore.h"
#include "base/PathUtils.h"
#include "browser/ui/MainForm.h"
#include "loading/ImgLoader.h"
#include "loading/SPIs.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/Memory.h"
#include "support/JpegClaiming.h"
#include "viewer/PageViewer.h"
#include "viewer/ui/ImageViewFrame.h"

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

// The reading stack: the program core over a data folder of its own whose
// settings file asks for Lanczos3, spreads and the cache settings given, the
// window opened on the book at its single inner folder, its view area at
// 1920 x 1080.
class TReader {
public:
    explicit TReader(bool cache, const std::string& open = Book().Archive)
    {
        Application();
        static int readers = 0;
        const std::string home = Book().Folder + "home" + std::to_string(++readers) + "/";
        ForceDirectories(home);
        const std::string off = cache ? "1" : "0";
        std::ofstream(home + "Mireva.ini") << "[PICTURE]\nStretch=4\n[IMAGE]\nView=2\n[VIEW]\nImageBar=0\n"
                                           << "[CACHE]\nImageCache=" << off << "\nFileCache=" << off << "\n";
        TAppFolders folders;
        folders.ProgramFolder = MIREVA_BIN_DIR "/";
        folders.DataFolder = home;
        folders.WorkingFolder = Book().Folder;
        folders.TemporaryBase = home;
        folders.TemporaryName = "temp";
        fCore = std::make_unique<TAppCore>(folders, std::vector<std::string>{open},
                                           PluginFolderScanner(TPluginFolders{MIREVA_BIN_DIR "/", ""}));
        fForm = std::make_unique<TMainForm>(*fCore);
        fForm->SetMessageSink([](const std::string& text, TMessageIcon) {
            throw std::runtime_error("the window said: " + text);
        });
        bool settled = false;
        fForm->SetSettledHandler([&settled] { settled = true; });
        fForm->resize(1920, 1080);
        fForm->show();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!settled && std::chrono::steady_clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        // The menu bar takes its height from the window: grow the window so
        // that the view area is exactly 1920 x 1080.
        const QSize area = Frame().Area()->size();
        fForm->resize(fForm->width() + 1920 - area.width(), fForm->height() + 1080 - area.height());
        QCoreApplication::processEvents();
        fForm->Settle(60000);
    }
    ~TReader()
    {
        fForm.reset();
        fCore.reset();
    }

    bool Ready() const
    {
        const TSize client = Viewer().Layout().ClientSize();
        return client.Width == 1920 && client.Height == 1080 && Viewer().Primary().HasBitmap() &&
               Viewer().Layout().SpreadActive();
    }
    // One turn to the finished frame, in milliseconds: all of it, and its
    // three parts (the action with loading or taking the pair, scaling the
    // visible parts, painting the frame).
    struct TTurnTimes {
        double Total, Move, Scale, Paint;
        double Stall;      // the longest stretch the window's thread was busy, in processor time
        double WallStall;  // the same stretch by the clock
    };
    TTurnTimes Turn() { return Step([this] { fForm->RunAction(TActionId::actNext); }); }
    TTurnTimes OpenFile(const std::string& path)
    {
        return Step([this, path] { fForm->Model().SelectAndShow(path); });
    }
    TTurnTimes Jump(int index)
    {
        return Step([this, index] { fForm->Model().Carry(fForm->Model().Actions().GoToIndex(index)); });
    }
    // One step to the finished frame. A step that gathers its pictures on a
    // worker completes through the event loop, which turns meanwhile as it
    // does in the window.
    template <typename TCommand>
    TTurnTimes Step(TCommand command)
    {
        using TClock = std::chrono::steady_clock;
        const auto ms = [](TClock::time_point a, TClock::time_point b) {
            return std::chrono::duration<double, std::milli>(b - a).count();
        };
        const auto busy = [] {
            timespec t{};
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
            return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
        };
        const auto start = TClock::now();
        double cpu = busy();
        command();
        double stall = busy() - cpu;
        double wallStall = ms(start, TClock::now());
        const auto deadline = start + std::chrono::seconds(60);
        while (Viewer().StepPending() && TClock::now() < deadline) {
            const auto before = TClock::now();
            cpu = busy();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            stall = std::max(stall, busy() - cpu);
            wallStall = std::max(wallStall, ms(before, TClock::now()));
        }
        const auto moved = TClock::now();
        cpu = busy();
        Frame().Render();
        const auto scaled = TClock::now();
        Frame().Area()->repaint();
        const auto painted = TClock::now();
        stall = std::max(stall, busy() - cpu);
        wallStall = std::max(wallStall, ms(moved, painted));
        return TTurnTimes{ms(start, painted), ms(start, moved), ms(moved, scaled), ms(scaled, painted), stall,
                          wallStall};
    }
    void WaitForCache()
    {
        if (TImageCacheThread* cache = Viewer().Cache())
            cache->WaitIdle(std::chrono::seconds(60));
    }
    const TPageViewer& Viewer() const { return fForm->Model().Viewer(); }
    TImageViewFrame& Frame() const { return *fForm->View(); }

private:
    std::unique_ptr<TAppCore> fCore;
    std::unique_ptr<TMainForm> fForm;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void ReportTurns(benchmark::State& state, const std::vector<TReader::TTurnTimes>& turns)
{
    std::vector<double> total, move, scale, paint;
    double stall = 0, wallStall = 0;
    for (const auto& t : turns) {
        wallStall = std::max(wallStall, t.WallStall);
        total.push_back(t.Total);
        move.push_back(t.Move);
        scale.push_back(t.Scale);
        paint.push_back(t.Paint);
        stall = std::max(stall, t.Stall);
    }
    state.counters["stall_ms"] = stall;
    state.counters["wall_stall_ms"] = wallStall;
    std::sort(total.begin(), total.end());
    state.counters["median_ms"] = total[total.size() / 2];
    state.counters["p90_ms"] = total[total.size() * 9 / 10];
    state.counters["max_ms"] = total.back();
    state.counters["move_ms"] = Median(move);
    state.counters["scale_ms"] = Median(scale);
    state.counters["paint_ms"] = Median(paint);
    state.counters["jpeg_kb"] = Book().JpegBytes / 1024.0;
}

void Turns50(benchmark::State& state, bool cache, bool pause)
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
    Turns50(state, true, true);
}

void ColdTurn(benchmark::State& state)
{
    Turns50(state, false, false);
}

void JumpTurn(benchmark::State& state)
{
    Book();
    for (auto _ : state) {
        state.PauseTiming();
        TReader reader(true);
        if (!reader.Ready()) {
            state.SkipWithError("the book did not open as a spread at 1920 x 1080");
            return;
        }
        // The same jumps every run.
        std::mt19937 random(20261210);
        std::uniform_int_distribution<int> page(0, ArchivePages - 1);
        std::vector<TReader::TTurnTimes> times;
        for (int jump = 0; jump < Turns; ++jump) {
            const int index = page(random);
            times.push_back(reader.Jump(index));
            const TShownPair shown = reader.Viewer().Shown();
            if (!reader.Viewer().Primary().HasBitmap() || (shown.Primary != index && shown.Partner != index)) {
                state.SkipWithError("a jump did not show its page");
                return;
            }
        }
        state.counters["direct_loads"] = reader.Viewer().DirectLoads();
        ReportTurns(state, std::move(times));
        state.ResumeTiming();
    }
}

void HugeOpen(benchmark::State& state)
{
    Book();
    const std::string folder = Book().Folder + "huge/";
    ForceDirectories(folder);
    const std::vector<uint8_t> page = EncodeJpeg(DrawPage(0));
    const std::vector<uint8_t> huge = JpegClaiming(16000, 16000);
    if (huge.empty()) {
        state.SkipWithError("the encoder wrote no frame header");
        return;
    }
    std::ofstream(folder + "a.jpg", std::ios::binary).write(reinterpret_cast<const char*>(page.data()),
                                                          static_cast<std::streamsize>(page.size()));
    std::ofstream(folder + "b.jpg", std::ios::binary).write(reinterpret_cast<const char*>(huge.data()),
                                                          static_cast<std::streamsize>(huge.size()));
    for (auto _ : state) {
        state.PauseTiming();
        // The cache off, or it would have fetched the huge picture ahead.
        TReader reader(false, folder + "a.jpg");
        const int64_t before = StatusKilobytes("VmRSS");
        const TReader::TTurnTimes times = reader.OpenFile(folder + "b.jpg");
        const TImageSlot& shown = reader.Viewer().Primary();
        if (!shown.HasBitmap() || shown.PictureWidth() != 16000) {
            state.SkipWithError("the huge picture was not shown");
            return;
        }
        state.counters["open_ms"] = times.Total;
        state.counters["stall_ms"] = times.Stall;
        state.counters["wall_stall_ms"] = times.WallStall;
        state.counters["rss_growth_mb"] = static_cast<double>(StatusKilobytes("VmRSS") - before) / 1024.0;
        state.counters["jpeg_kb"] = static_cast<double>(huge.size()) / 1024.0;
        state.ResumeTiming();
    }
}

void ReadingMemory(benchmark::State& state)
{
    Book();
    for (auto _ : state) {
        const int64_t before = StatusKilobytes("VmRSS");
        TReader reader(true);
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
BENCHMARK(JumpTurn)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(HugeOpen)->Unit(benchmark::kMillisecond)->Iterations(1);
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
