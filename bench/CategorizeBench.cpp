// How soon a category is ready once its search has ended: 100,000 results in
// 1,000 folders, delivered to the category as the search thread delivers
// them, then sorted by year, month and day, or by two name parts (the author
// in brackets, then the title before " - "), on the categorising thread, and
// the finished tree taken over on the owning thread as the window takes it.
// Goal: at most 300 ms from the end of the search to the tree in place.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <sys/resource.h>

#include "base/QueueDispatcher.h"
#include "collections/CategoryFolder.h"

namespace {

// Processor time of the whole process (the categorising thread included):
// on a busy machine it tells the work apart from the waiting.
double ProcessCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

constexpr int Folders = 1000;
constexpr int FilesPerFolder = 100;

void Fill(TCategoryFolder& category)
{
    const TDateTime first = EncodeDateTime({2001, 1, 1, 12, 0, 0, 0});
    for (int f = 0; f < Folders; ++f) {
        TSearchBatch batch;
        batch.TargetPath = "/bench";
        batch.DirPath = "/bench/" + std::to_string(f);
        batch.DirItem = TItemIdList::FromPath(batch.DirPath);
        batch.DirListed = true;
        for (int i = 0; i < FilesPerFolder; ++i) {
            char name[96];
            std::snprintf(name, sizeof(name), "[Author %03d] Title %d - %03d.jpg", f % 300, (f * 7 + i) % 50, i);
            TGroupFileInfo record;
            record.Path = batch.DirPath + "/" + name;
            record.Size = 1000 + i;
            record.Modified = first + (f * FilesPerFolder + i) * 0.07;
            batch.Records.push_back(std::move(record));
        }
        category.AddResults(std::move(batch));
    }
}

TNameDivideInfo Rule(TDivideKind kind, std::vector<std::string> first, std::vector<std::string> second)
{
    TNameDivideInfo rule;
    rule.Kind = kind;
    rule.FirstDelimiters = std::move(first);
    rule.SecondDelimiters = std::move(second);
    rule.RemoveDelimiters = true;
    return rule;
}

void Run(benchmark::State& state, const TCategorySettings& settings)
{
    TQueueDispatcher tasks;
    TCategoryFolder category(tasks, nullptr, "bench");
    Fill(category);
    category.SetSettings(settings);
    const double cpuBefore = ProcessCpuMs();
    for (auto _ : state) {
        category.StartCategorize();
        while (category.Categorizing())
            tasks.RunOne(TQueueDispatcher::TClock::now() + std::chrono::seconds(10));
    }
    state.counters["cpu_ms"] = (ProcessCpuMs() - cpuBefore) / static_cast<double>(state.iterations());
    state.counters["categories"] = category.CategoryCount();
    state.counters["results"] = category.Count();
}

void BM_CategorizeByDate(benchmark::State& state)
{
    TCategorySettings settings;
    settings.DateUnits = duYear | duMonth | duDay;
    Run(state, settings);
}

void BM_CategorizeByTwoNameParts(benchmark::State& state)
{
    TCategorySettings settings;
    settings.Kind = TCategoryKind::ckName;
    settings.NameParts = {Rule(dkEnclosed, {"["}, {"]"}), Rule(dkBefore, {" - "}, {})};
    settings.PartOrder = {0, 1};
    Run(state, settings);
}

BENCHMARK(BM_CategorizeByDate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CategorizeByTwoNameParts)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
