// mireva-cli killed with SIGKILL at random moments while it saves each kind of
// file the program keeps: afterwards the file must always read whole, as it
// was before the save or as the save made it. Each kind is one row: the
// commands that make the old state, the save that is killed, and what the
// program's own reader finds in the data folder.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "base/PathUtils.h"
#include "browser/MarkerList.h"
#include "browser/RecentFiles.h"
#include "collections/GroupFolder.h"
#include "collections/MediaFiles.h"
#include "collections/SearchCache.h"
#include "collections/Shelf.h"
#include "common/IniFile.h"
#include "export/ExportSettings.h"
#include "platform/FileStream.h"
#include "support/TempFolder.h"
#include "thumbnails/ThumbFiles.h"
#include "thumbnails/ThumbStore.h"
#include "thumbnails/ThumbnailList.h"

namespace {

namespace fs = std::filesystem;
using TArgs = std::vector<std::string>;

// What the reader found, as text to compare; nothing when it found damage.
using TState = std::optional<std::string>;

std::string Joined(const std::vector<std::string>& parts)
{
    std::string out;
    for (const std::string& part : parts)
        out += part + "|";
    return out;
}

TState ShelfState(const std::string& home)
{
    TGroupList list;
    const TShelfLoadResult loaded = TShelfStore(home).Load(list);
    if (!loaded.Found || loaded.Damaged || !loaded.RecoveredFrom.empty())
        return std::nullopt;
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i)
        names.push_back(list.Group(i)->Name() + ":" + std::to_string(list.Group(i)->Count()));
    return Joined(names);
}

TState SettingsState(const std::string& home)
{
    const TIniFile ini(home + "/Mireva.ini");
    if (!ini.ReadError().empty())
        return std::nullopt;
    return ini.ReadString("KILL", "Value", "(none)") + "|" + ini.ReadString("KILL", "Other", "(none)");
}

TState ThumbState(const std::string& home)
{
    TThumbStore store(TThumbnailList::NormalFolder(home, ""));
    if (!store.ReadIndex().Complete)
        return std::nullopt;
    std::vector<std::string> rows;
    for (const auto& [key, entry] : store.Entries()) {
        TFileStream file(store.DataFilePath(entry.Number), TFileMode::fmOpenRead);
        const TThumbDataContents data = ReadThumbData(file, entry.Number, 1 << 20, false, {});
        if (!data.Outcome.Complete || static_cast<int32_t>(data.Records.size()) != entry.Count)
            return std::nullopt;
        rows.push_back(fs::path(key).filename().string() + ":" + std::to_string(entry.Count));
    }
    return Joined(rows);
}

TState MediaState(const std::string& home)
{
    TMediaStore store(home);
    TMediaList list;
    const TListLoadResult loaded = store.LoadList(list);
    if (!loaded.Found || loaded.Damaged)
        return std::nullopt;
    std::vector<std::string> media;
    for (int i = 0; i < list.Count(); ++i) {
        TMediaFolder& medium = *list.Medium(i);
        const TCatalogueLoadResult catalogue = store.LoadCatalogue(medium);
        if (catalogue.Kind != TCatalogueLoadKind::clRead || catalogue.Damaged)
            return std::nullopt;
        media.push_back(medium.Name() + ":" + std::to_string(medium.Count()));
    }
    return Joined(media);
}

TState SearchState(const std::string& home)
{
    TSearchCache cache;
    const TSearchCacheStore::TLoadResult loaded = TSearchCacheStore(home).Load(cache);
    if (!loaded.Found || loaded.SetAside || loaded.Unreadable)
        return std::nullopt;
    std::vector<std::string> folders;
    for (const auto& [folder, entries] : cache.Snapshot())
        folders.push_back(fs::path(folder).filename().string() + ":" + std::to_string(entries->size()));
    std::sort(folders.begin(), folders.end());
    return Joined(folders);
}

TState MarkerEntries(const TListLoadResult& loaded, const std::vector<TMarkerPath>& entries)
{
    if (!loaded.Found || loaded.Damaged || !loaded.RecoveredFrom.empty())
        return std::nullopt;
    std::vector<std::string> names;
    for (const TMarkerPath& entry : entries)
        names.push_back(entry.Folder + entry.FileName);
    return Joined(names);
}

TState RecentState(const std::string& home)
{
    TRecentFiles recent(home);
    const TListLoadResult loaded = recent.Load(100);
    return MarkerEntries(loaded, recent.Entries());
}

TState MarkerState(const std::string& home)
{
    TMarkerList markers(home);
    const TListLoadResult loaded = markers.Load();
    return MarkerEntries(loaded, markers.Entries());
}

TState ExportState(const std::string& home)
{
    const TIniFile ini(home + "/Export.ini");
    if (!ini.ReadError().empty() || !ini.SectionExists("Old"))
        return std::nullopt;
    const TExportSettingsStore store(home);
    std::vector<std::string> names;
    for (const std::string& name : store.Names())
        names.push_back(name + ":" + std::to_string(store.Load(name).Export.Columns.size()));
    return Joined(names);
}

struct TKillCase {
    const char* Name;
    std::vector<TArgs> Prepare;  // run to the end: the old state
    TArgs Save;                  // the save that is killed
    std::function<TState(const std::string& home)> Read;
};

// "@" stands for the test's folder in arguments.
const TKillCase Cases[] = {
    {"settings", {{"settings", "set", "KILL", "Value", "old"}}, {"settings", "set", "KILL", "Other", "new"},
     SettingsState},
    {"shelves", {{"shelf", "add", "old", "@/pics/a.bmp"}}, {"shelf", "add", "new", "@/pics/b.bmp"}, ShelfState},
    {"thumbnails", {{"thumbs", "make", "@/pics"}}, {"thumbs", "make", "@/more"}, ThumbState},
    {"media", {{"media", "add", "@/pics", "--name", "old"}}, {"media", "add", "@/more", "--name", "new"},
     MediaState},
    {"search cache", {{"search-cache", "add", "@/pics"}}, {"search-cache", "add", "@/more"}, SearchState},
    {"recent files", {{"recent", "add", "@/pics/a.bmp"}}, {"recent", "add", "@/more/c.bmp"}, RecentState},
    {"markers", {{"markers", "add", "@/pics/a.bmp"}}, {"markers", "add", "@/more/c.bmp"}, MarkerState},
    {"export settings", {{"export-setting", "--columns", "0,1", "Old"}},
     {"export-setting", "--columns", "0,1,2", "New"}, ExportState},
};

// A 2x2 24-bit bitmap file.
std::string SmallBitmap()
{
    std::string b = "BM";
    const auto put = [&b](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    put(54 + 16, 4), put(0, 4), put(54, 4), put(40, 4), put(2, 4), put(2, 4), put(1, 2), put(24, 2);
    put(0, 4), put(16, 4), put(2835, 4), put(2835, 4), put(0, 4), put(0, 4);
    for (int i = 0; i < 16; ++i)
        b += static_cast<char>(i * 16);
    return b;
}

// Starts mireva-cli with the data folder home; returns its process id.
pid_t Start(const std::string& home, const TArgs& args)
{
    std::vector<std::string> all = {MIREVA_BIN_DIR "/mireva-cli", "--home", home};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

// The exit code, or -1 when the program was killed.
int Wait(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TArgs InFolder(TArgs args, const std::string& folder)
{
    for (std::string& arg : args)
        if (arg.rfind("@", 0) == 0)
            arg = folder + arg.substr(1);
    return args;
}

class KillSave : public ::testing::TestWithParam<TKillCase> {};

TEST_P(KillSave, TheFileIsTheOldOrTheNewOneWheneverTheSaveIsKilled)
{
    const TKillCase& row = GetParam();
    TTempFolder t;
    const std::string root = ExcludeTrailingPathDelimiter(t.Path());
    for (const char* name : {"pics/a.bmp", "pics/b.bmp", "more/c.bmp"})
        t.Write(name, SmallBitmap());
    const std::string old = root + "/old";
    fs::create_directories(old);
    for (const TArgs& args : row.Prepare)
        ASSERT_EQ(Wait(Start(old, InFolder(args, root))), 0) << row.Name;
    const TState before = row.Read(old);
    ASSERT_TRUE(before) << row.Name << ": the old state does not read";

    // One save run to the end gives the new state and how long a save takes.
    const std::string home = root + "/home";
    fs::copy(old, home, fs::copy_options::recursive);
    const TArgs save = InFolder(row.Save, root);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Wait(Start(home, save)), 0) << row.Name;
    const auto whole = std::chrono::steady_clock::now() - start;
    const TState after = row.Read(home);
    ASSERT_TRUE(after && *after != *before) << row.Name << ": the save changed nothing";

    std::mt19937 random(20240501);
    const auto limit = std::chrono::duration_cast<std::chrono::microseconds>(whole).count();
    std::uniform_int_distribution<long> delay(0, limit + limit / 5);
    int killed = 0, asOld = 0, asNew = 0;
    for (int run = 0; run < 200; ++run) {
        fs::remove_all(home);
        fs::copy(old, home, fs::copy_options::recursive);
        const pid_t pid = Start(home, save);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(pid, SIGKILL);
        const int code = Wait(pid);
        ASSERT_TRUE(code == -1 || code == 0) << row.Name << ": the save failed, run " << run;
        killed += code == -1 ? 1 : 0;
        const TState state = row.Read(home);
        ASSERT_TRUE(state) << row.Name << ": unreadable after the kill of run " << run;
        ASSERT_TRUE(*state == *before || *state == *after)
            << row.Name << ": run " << run << " left " << *state << " (old " << *before << ", new " << *after << ")";
        (*state == *before ? asOld : asNew) += 1;
    }
    // Some kills must land before the save and some after it, or the delays
    // missed the moment the file is written.
    EXPECT_GT(killed, 0) << row.Name;
    EXPECT_GT(asOld, 0) << row.Name;
    std::printf("%s: %d runs, %d killed, %d left the old file, %d the new one\n", row.Name, 200, killed, asOld,
                asNew);
}

INSTANTIATE_TEST_SUITE_P(EveryFile, KillSave, ::testing::ValuesIn(Cases),
                         [](const auto& info) {
                             std::string name = info.param.Name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

}  // namespace
