// How fast a settings file loads and its options are read, as at start: a
// file of many sections (a registered-application or filter list grown large,
// or a file another tool wrote), 12 bytes a section, through the same engine
// and option reader the program uses.

#include <benchmark/benchmark.h>

#include <string>

#include "app/Init.h"
#include "common/IniFile.h"

namespace {

std::string ManySections(int count)
{
    std::string text = "[PICTURE]\nStretch=1\n";
    for (int i = 0; i < count; ++i)
        text += "[S" + std::to_string(i) + "]\nk=" + std::to_string(i % 10) + "\n";
    return text;
}

void BM_LoadSettings(benchmark::State& state)
{
    const std::string text = ManySections(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TIniFile ini;
        ini.LoadFromText(text);
        TOptions options;
        LoadOptions(ini, options, TOptionLinks{}, false);
        benchmark::DoNotOptimize(options.Picture.Stretch);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

}  // namespace

BENCHMARK(BM_LoadSettings)->Arg(100)->Arg(20000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
