// How fast the CSV export writes a large folder tree: 100,000 files in 1,000
// folders, made once at set-up, exported from its top with the contents of
// every sub-folder, every fixed column and two name-part columns, as the
// window's command writes a folder list; beside find(1) writing the same
// fields with -printf to a file, in the same run.
// Goal: at most 1.5 times find.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "base/PathUtils.h"
#include "collections/CompareNames.h"
#include "collections/ShellInfo.h"
#include "common/Text.h"
#include "export/FExport.h"
#include "platform/FileSystem.h"

namespace {

constexpr int Folders = 1000;
constexpr int FilesPerFolder = 100;

class TBenchTree {
public:
    TBenchTree()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/mireva-export-bench-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        fPath = pattern + "/";
        fOutput = fPath + "out.csv";
        fTree = fPath + "tree";
        // Ten shelves of a hundred books of a hundred pages, named as
        // scanned books are, so that the rules find something to cut.
        for (int f = 0; f < Folders; ++f) {
            const std::string folder = fTree + "/shelf " + std::to_string(f / 100) + "/[Author " +
                                       std::to_string(f % 37) + "] Book " + std::to_string(f) + "/";
            ForceDirectories(folder);
            for (int i = 0; i < FilesPerFolder; ++i) {
                const std::string path = folder + "Vol" + std::to_string(f) + " - page_" + std::to_string(i) + ".jpg";
                const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
                if (fd < 0)
                    std::abort();
                const std::string bytes(static_cast<size_t>((f * FilesPerFolder + i) * 7919 % 2000), 'x');
                if (!bytes.empty() && ::write(fd, bytes.data(), bytes.size()) < 0)
                    std::abort();
                ::close(fd);
            }
        }
    }
    ~TBenchTree() { RemoveTree(fPath); }
    const std::string& Tree() const { return fTree; }
    const std::string& Output() const { return fOutput; }

private:
    std::string fPath;
    std::string fTree;
    std::string fOutput;
};

TBenchTree& Bench()
{
    static TBenchTree tree;
    return tree;
}

// The type names the program gives without a desktop.
class TPlainTypeNames : public TShellInfo {
public:
    std::string TypeName(const std::string& path, bool isDirectory) override
    {
        return isDirectory ? "フォルダ" : LowerCase(ExtractFileExt(path));
    }
    int IconIndex(const std::string&, bool, bool, bool) override { return -1; }
};

TExportSettings EverythingWithTwoRules()
{
    TExportSettings settings;
    for (int column = 0; column < FixedColumnCount + 2; ++column)
        settings.Columns.push_back(column);
    settings.Options.SubFolder = true;
    settings.Options.NameDivide = true;
    TNameDivideInfo volume;
    volume.Name = "巻";
    volume.FirstDelimiters = {" - "};
    volume.RemoveDelimiters = true;
    TNameDivideInfo page;
    page.Index = 1;
    page.Name = "頁";
    page.Kind = dkAfter;
    page.FirstDelimiters = {"_"};
    page.FromEnd = true;
    settings.Rules = {volume, page};
    return settings;
}

// The list of the tree's top, in the list's order, as the window hands it over.
std::vector<std::string> TopItems(const std::string& folder)
{
    std::vector<TDirEntry> entries = ListDirectory(folder);
    std::sort(entries.begin(), entries.end(),
              [](const TDirEntry& a, const TDirEntry& b) { return CompareNames(a.Name, b.Name) < 0; });
    std::vector<std::string> paths;
    for (const TDirEntry& entry : entries)
        paths.push_back(IncludeTrailingPathDelimiter(folder) + entry.Name);
    return paths;
}

void BM_FindPrintf(benchmark::State& state)
{
    // Name, folder, the folder again (find has no relative form), type,
    // size, change and modification times: the fields find can give. TZ is
    // set so that glibc reads the zone file once, not again for every time
    // field (which would make find ten times slower than it need be).
    const std::string command = "TZ=:/etc/localtime find '" + Bench().Tree() +
                                "' -mindepth 1 -printf '\"%f\",%h,%h,%y,%s,%CY/%Cm/%Cd  %CH:%CM:%CS,"
                                "%TY/%Tm/%Td  %TH:%TM:%TS\\r\\n' > '" + Bench().Output() + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("find failed");
    }
}
BENCHMARK(BM_FindPrintf)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportFolderTree(benchmark::State& state)
{
    const TExportSettings settings = EverythingWithTwoRules();
    TPlainTypeNames typeNames;
    int64_t lines = 0;
    for (auto _ : state) {
        TFileExport exporter(settings, Bench().Output(), &typeNames);
        exporter.WriteFolderItems(Bench().Tree(), TopItems(Bench().Tree()));
        exporter.Commit();
        lines = exporter.LinesWritten();
    }
    state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_ExportFolderTree)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
