#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <sys/ptrace.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "collections/ListFile.h"
#include "collections/Shelf.h"
#include "common/BfStream.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace {

// Builds shelf files byte by byte, as older versions and damaged disks leave
// them.
class TBytes {
public:
    TBytes& Int(int32_t value)
    {
        for (int i = 0; i < 4; ++i)
            fBytes += static_cast<char>((static_cast<uint32_t>(value) >> (8 * i)) & 0xFF);
        return *this;
    }
    TBytes& Text(const std::string& text)
    {
        Int(static_cast<int32_t>(text.size()));
        fBytes += text;
        return *this;
    }
    TBytes& Raw(const std::string& bytes)
    {
        fBytes += bytes;
        return *this;
    }
    TBytes& Item(const TItemIdList& item)
    {
        Int(static_cast<int32_t>(item.Size()));
        fBytes.append(reinterpret_cast<const char*>(item.Bytes().data()), item.Size());
        return *this;
    }
    const std::string& Bytes() const { return fBytes; }

private:
    std::string fBytes;
};

TShelfReadResult ReadBytes(const std::string& bytes, TGroupList& list)
{
    TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    return ReadShelfList(stream, list);
}

std::string WriteBytes(const TGroupList& list)
{
    TMemoryStream stream;
    WriteShelfList(list, stream);
    return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

// A Windows item identifier list: two elements and the terminator.
const std::string ForeignBlock("\x06\x00\x1f\x50\xE0\x4F\x08\x00\x2f\x43\x3a\x5c\x00\x00\x00\x00", 16);

TEST(ShelfFile, RoundTripsByteForByte)
{
    TGroupList list;
    TGroupFolder* comics = list.Group(list.Add("漫画", 3, "週刊\r\n月刊"));
    comics->AddItems({{"/home/u/books/a", TItemIdList::FromPath("/home/u/books/a")},
                      {"/home/u/books/b.zip", TItemIdList::FromPath("/home/u/books/b.zip")},
                      {"", TItemIdList::Root()}});
    list.Add("empty", 0, "");
    const std::string bytes = WriteBytes(list);

    // The layout itself: signature, version 197, two shelves, the icon twice.
    const std::string head = TBytes()
                                 .Text("Mireva ShelfList")
                                 .Int(197)
                                 .Int(2)
                                 .Text("漫画")
                                 .Int(3)
                                 .Int(3)
                                 .Text("週刊\r\n月刊")
                                 .Int(3)
                                 .Item(TItemIdList::FromPath("/home/u/books/a"))
                                 .Bytes();
    EXPECT_EQ(bytes.substr(0, head.size()), head);

    TGroupList back;
    const TShelfReadResult result = ReadBytes(bytes, back);
    EXPECT_TRUE(result.Complete) << result.Error;
    EXPECT_EQ(result.Version, 197);
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Group(0)->Comment(), "週刊\r\n月刊");
    EXPECT_EQ(back.Group(0)->Key(1), "/home/u/books/b.zip");
    EXPECT_TRUE(back.Group(0)->ItemInfo(2)->Item.IsRoot());
    EXPECT_EQ(WriteBytes(back), bytes);
}

TEST(ShelfFile, ForeignIdentitiesAreKeptUntouched)
{
    const std::string file = TBytes()
                                 .Text("Mireva ShelfList")
                                 .Int(197)
                                 .Int(1)
                                 .Text("old")
                                 .Int(0)
                                 .Int(0)
                                 .Text("")
                                 .Int(2)
                                 .Int(16)
                                 .Raw(ForeignBlock)
                                 .Int(16)
                                 .Raw(std::string(ForeignBlock).replace(9, 1, "\x44"))
                                 .Bytes();
    TGroupList list;
    EXPECT_TRUE(ReadBytes(file, list).Complete);
    ASSERT_EQ(list.Group(0)->Count(), 2);
    EXPECT_TRUE(list.Group(0)->ItemInfo(0)->Item.IsForeign());
    EXPECT_EQ(WriteBytes(list), file);
}

TEST(ShelfFile, OlderVersionsLoad)
{
    // Version 196: no comment field.
    const std::string v196 = TBytes()
                                 .Text("Mireva ShelfList")
                                 .Int(196)
                                 .Int(1)
                                 .Text("\x96\x7b\x92\x49")  // "本棚" in CP932
                                 .Int(1)
                                 .Int(1)
                                 .Int(1)
                                 .Item(TItemIdList::FromPath("/data/x"))
                                 .Bytes();
    TGroupList list;
    const TShelfReadResult result = ReadBytes(v196, list);
    EXPECT_TRUE(result.Complete) << result.Error;
    EXPECT_EQ(result.Version, 196);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Group(0)->Name(), "本棚");
    EXPECT_EQ(list.Group(0)->Comment(), "");
    EXPECT_EQ(list.Group(0)->Key(0), "/data/x");
    // Written back it has the current version and a comment field.
    EXPECT_EQ(WriteBytes(list).substr(20, 4), TBytes().Int(197).Bytes());

    // The oldest files start with the shelf count.
    const std::string oldest =
        TBytes().Int(1).Text("first").Int(0).Int(0).Int(1).Raw(TBytes().Int(16).Raw(ForeignBlock).Bytes()).Bytes();
    TGroupList old;
    const TShelfReadResult oldResult = ReadBytes(oldest, old);
    EXPECT_TRUE(oldResult.Complete) << oldResult.Error;
    EXPECT_EQ(oldResult.Version, 0);
    ASSERT_EQ(old.Count(), 1);
    EXPECT_EQ(old.Group(0)->Name(), "first");
    EXPECT_EQ(old.Group(0)->Count(), 1);
}

struct TDamageCase {
    const char* Name;
    std::string Bytes;
    int Shelves;       // shelves that survive
    int FirstMembers;  // members of the first shelf that survive
};

std::string GoodHead(int32_t shelves)
{
    return TBytes().Text("Mireva ShelfList").Int(197).Int(shelves).Bytes();
}

class ShelfDamage : public ::testing::TestWithParam<TDamageCase> {};

TEST_P(ShelfDamage, LoadsWhatItCanAndStops)
{
    TGroupList list;
    const TShelfReadResult result = ReadBytes(GetParam().Bytes, list);
    EXPECT_FALSE(result.Complete);
    EXPECT_FALSE(result.Error.empty());
    ASSERT_EQ(list.Count(), GetParam().Shelves);
    if (GetParam().Shelves > 0) {
        EXPECT_EQ(list.Group(0)->Count(), GetParam().FirstMembers);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShelfDamage,
    ::testing::Values(
        TDamageCase{"HugeShelfCount", GoodHead(0x7FFFFFFF) + TBytes().Text("a").Int(0).Int(0).Text("").Int(0).Bytes(),
                    1, 0},
        TDamageCase{"NegativeShelfCount", GoodHead(-5), 0, 0},
        TDamageCase{"HugeMemberCount", GoodHead(1) + TBytes().Text("a").Int(0).Int(0).Text("").Int(0x40000000).Bytes(),
                    1, 0},
        TDamageCase{"HugeNameLength", GoodHead(1) + TBytes().Int(0x7FFFFFF0).Raw(std::string(20, 'x')).Bytes(), 0, 0},
        TDamageCase{"HugeIdentitySize",
                    GoodHead(1) + TBytes().Text("a").Int(0).Int(0).Text("").Int(2).Item(TItemIdList::FromPath("/x"))
                                      .Int(0x7FFFFFFF).Raw("zz").Bytes(),
                    1, 1},
        TDamageCase{"IdentityTooSmall", GoodHead(1) + TBytes().Text("a").Int(0).Int(0).Text("").Int(1).Int(1).Raw("z").Bytes(),
                    1, 0},
        TDamageCase{"SecondShelfCut", GoodHead(2) + TBytes().Text("a").Int(0).Int(0).Text("").Int(0).Text("b").Int(0).Bytes(),
                    1, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ShelfFile, EveryTruncationLoadsAPrefixWithoutCrashing)
{
    TGroupList list;
    for (int s = 0; s < 3; ++s) {
        TGroupFolder* shelf = list.Group(list.Add("shelf" + std::to_string(s), s, "c"));
        for (int m = 0; m < 3; ++m) {
            const std::string path = "/p/" + std::to_string(s) + "/" + std::to_string(m);
            shelf->AddItems({{path, TItemIdList::FromPath(path)}});
        }
    }
    const std::string bytes = WriteBytes(list);
    int lastCount = 0;
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        TGroupList partial;
        const TShelfReadResult result = ReadBytes(bytes.substr(0, cut), partial);
        ASSERT_FALSE(result.Complete) << "cut at " << cut;
        ASSERT_GE(partial.Count(), lastCount) << "cut at " << cut;
        lastCount = partial.Count();
        for (int s = 0; s < partial.Count(); ++s)
            ASSERT_EQ(partial.Group(s)->Name(), list.Group(s)->Name());
    }
    EXPECT_EQ(lastCount, 3);
}

class ShelfStoreTest : public ::testing::Test {
protected:
    TTempFolder folder;

    std::unique_ptr<TGroupList> OneShelf(const std::string& name)
    {
        auto list = std::make_unique<TGroupList>();
        list->Add(name, 0, "");
        return list;
    }
    std::string NameIn(const std::string& file)
    {
        TGroupList list;
        const std::string bytes = folder.Read(file);
        ReadBytes(bytes, list);
        return list.Count() > 0 ? list.Group(0)->Name() : std::string();
    }
    // The names in the folder, sorted.
    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (const TDirEntry& entry : ListDirectory(folder.Path()))
            names.push_back(entry.Name);
        std::sort(names.begin(), names.end());
        return names;
    }
    // The one name in the folder that starts with prefix; empty when there is
    // not exactly one.
    std::string OneNameStarting(const std::string& prefix)
    {
        std::string found;
        for (const std::string& name : Names()) {
            if (name.compare(0, prefix.size(), prefix) == 0) {
                if (!found.empty())
                    return {};
                found = name;
            }
        }
        return found;
    }
};

// Kills a child process that outlives its deadline, so that no test waits
// for one forever.
class TChildDeadline {
public:
    explicit TChildDeadline(pid_t pid)
        : fThread([this, pid] {
              std::unique_lock<std::mutex> lock(fMutex);
              if (!fWake.wait_for(lock, std::chrono::seconds(60), [this] { return fDone; }))
                  ::kill(pid, SIGKILL);
          })
    {
    }
    ~TChildDeadline()
    {
        {
            std::lock_guard<std::mutex> lock(fMutex);
            fDone = true;
        }
        fWake.notify_one();
        fThread.join();
    }

private:
    std::mutex fMutex;  // guards fDone
    std::condition_variable fWake;
    bool fDone = false;
    std::thread fThread;
};

// Runs body in a child process; its result is the exit code (-1 when the
// child died).
int RunInChild(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    TChildDeadline deadline(pid);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

bool AddsOrRemovesAName(uint64_t call)
{
    switch (call) {
#ifdef SYS_rename
    case SYS_rename:
    case SYS_link:
    case SYS_unlink:
#endif
    case SYS_renameat:
    case SYS_renameat2:
    case SYS_linkat:
    case SYS_unlinkat:
        return true;
    default:
        return false;
    }
}

enum class TKillOutcome { koKilled, koFinished, koFailed, koNoTracing };

// Runs body in a child process traced by this one and kills it just before its
// killAt-th system call that adds, renames or removes a name in a folder: the
// moment a power cut or a kill is most harmful.
TKillOutcome RunKilledAt(int killAt, const std::function<void()>& body)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
            ::_exit(99);
        ::raise(SIGSTOP);
        body();
        ::_exit(0);
    }
    TChildDeadline deadline(pid);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFSTOPPED(status))
        return WIFEXITED(status) && WEXITSTATUS(status) == 99 ? TKillOutcome::koNoTracing : TKillOutcome::koFailed;
    ::ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    int seen = 0;
    int pending = 0;
    for (;;) {
        ::ptrace(PTRACE_SYSCALL, pid, nullptr, pending);
        pending = 0;
        if (::waitpid(pid, &status, 0) != pid || WIFSIGNALED(status))
            return TKillOutcome::koFailed;
        if (WIFEXITED(status))
            return WEXITSTATUS(status) == 0 ? TKillOutcome::koFinished : TKillOutcome::koFailed;
        if (WSTOPSIG(status) != (SIGTRAP | 0x80)) {
            pending = WSTOPSIG(status);
            continue;
        }
        __ptrace_syscall_info info {};
        if (::ptrace(PTRACE_GET_SYSCALL_INFO, pid, sizeof info, &info) <= 0)
            return TKillOutcome::koNoTracing;
        if (info.op == PTRACE_SYSCALL_INFO_ENTRY && AddsOrRemovesAName(info.entry.nr) && ++seen == killAt) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return TKillOutcome::koKilled;
        }
    }
}

TEST_F(ShelfStoreTest, MissingFileGivesNoShelvesAndNoError)
{
    TShelfStore store(folder.Path());
    TGroupList list;
    const TShelfLoadResult result = store.Load(list);
    EXPECT_FALSE(result.Found);
    EXPECT_FALSE(result.Damaged);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ShelfStoreTest, FirstSaveOfARunKeepsTheOldFileAsBackup)
{
    {
        TShelfStore first(folder.Path());
        first.Save(*OneShelf("run1"));
        EXPECT_FALSE(FileExists(folder.File("Shelf.bak")));
    }
    TShelfStore store(folder.Path());
    TGroupList list;
    store.Load(list);
    store.Save(*OneShelf("run2 first"));
    EXPECT_EQ(NameIn("Shelf.bak"), "run1");
    store.Save(*OneShelf("run2 second"));
    EXPECT_EQ(NameIn("Shelf.bak"), "run1");  // later saves leave the backup alone
    EXPECT_EQ(NameIn("Shelf.lst"), "run2 second");
    EXPECT_FALSE(PathExists(folder.File("Shelf.lst$$")));
}

TEST_F(ShelfStoreTest, FailedWriteKeepsTheOldFileAndTheBackupRule)
{
    TShelfStore(folder.Path()).Save(*OneShelf("old"));
    const std::string before = folder.Read("Shelf.lst");
    // A folder where the temporary file must go makes the write fail.
    ASSERT_TRUE(CreateDirectory(folder.File("Shelf.lst$$")));
    TShelfStore store(folder.Path());
    EXPECT_THROW(store.Save(*OneShelf("new")), EFileError);
    EXPECT_EQ(folder.Read("Shelf.lst"), before);
    EXPECT_FALSE(PathExists(folder.File("Shelf.bak")));
    EXPECT_FALSE(store.BackupDone());

    // Once the obstacle is gone, the next save is the first real one.
    RemoveTree(folder.File("Shelf.lst$$"));
    store.Save(*OneShelf("new"));
    EXPECT_EQ(folder.Read("Shelf.bak"), before);
    EXPECT_EQ(NameIn("Shelf.lst"), "new");
}

TEST_F(ShelfStoreTest, FailedBackupKeepsTheOldFile)
{
    TShelfStore(folder.Path()).Save(*OneShelf("old"));
    const std::string before = folder.Read("Shelf.lst");
    // A non-empty folder named like the backup cannot be replaced.
    folder.Write("Shelf.bak/keep", "x");
    TShelfStore store(folder.Path());
    EXPECT_THROW(store.Save(*OneShelf("new")), EFileError);
    EXPECT_EQ(folder.Read("Shelf.lst"), before);
    EXPECT_FALSE(PathExists(folder.File("Shelf.lst$$")));
}

TEST_F(ShelfStoreTest, EmptyListRemovesTheFileButKeepsTheRunsBackup)
{
    TShelfStore(folder.Path()).Save(*OneShelf("start"));
    TShelfStore store(folder.Path());
    store.Save(*OneShelf("changed"));
    EXPECT_EQ(NameIn("Shelf.bak"), "start");
    store.Save(TGroupList());
    EXPECT_FALSE(PathExists(folder.File("Shelf.lst")));
    EXPECT_EQ(NameIn("Shelf.bak"), "start");

    // Emptied on the first save of a run, the file becomes the backup.
    TShelfStore(folder.Path()).Save(*OneShelf("again"));
    TShelfStore next(folder.Path());
    next.Save(TGroupList());
    EXPECT_FALSE(PathExists(folder.File("Shelf.lst")));
    EXPECT_EQ(NameIn("Shelf.bak"), "again");
}

TEST_F(ShelfStoreTest, AKillAtAnyStepOfASaveLeavesTheShelfFileWhole)
{
    for (int killAt = 1;; ++killAt) {
        ASSERT_LT(killAt, 20) << "the save never finished";
        TTempFolder run;
        TShelfStore(run.Path()).Save(*OneShelf("old"));
        // The first save of a run: it makes the backup, the step most at risk.
        const TKillOutcome outcome = RunKilledAt(killAt, [&] {
            TShelfStore store(run.Path());
            TGroupList list;
            store.Load(list);
            list.Add("new", 0, "");
            store.Save(list);
        });
        if (outcome == TKillOutcome::koNoTracing)
            GTEST_SKIP() << "this system does not let a test trace its child";
        ASSERT_NE(outcome, TKillOutcome::koFailed) << "killed at " << killAt;

        TGroupList list;
        const TShelfLoadResult loaded = TShelfStore(run.Path()).Load(list);
        ASSERT_TRUE(loaded.Found && loaded.RecoveredFrom.empty() && !loaded.Damaged) << "killed at " << killAt;
        ASSERT_GE(list.Count(), 1) << "killed at " << killAt;
        EXPECT_EQ(list.Group(0)->Name(), "old");
        if (outcome == TKillOutcome::koFinished) {
            EXPECT_EQ(list.Count(), 2);
            return;
        }
    }
}

struct TRecoveryCase {
    const char* Name;
    std::string Leftover;  // what a killed save left as "Shelf.lst$$" ("-": nothing)
    const char* RecoveredFrom;
    const char* FirstShelf;  // empty: no shelves
};

class ShelfRecovery : public ShelfStoreTest, public ::testing::WithParamInterface<TRecoveryCase> {};

TEST_P(ShelfRecovery, AMissingFileIsReadFromWhatTheKilledSaveLeft)
{
    const TRecoveryCase& row = GetParam();
    folder.Write("Shelf.bak", WriteBytes(*OneShelf("backup")));
    if (row.Leftover != "-")
        folder.Write("Shelf.lst$$", row.Leftover);
    const std::vector<std::string> before = Names();

    TShelfStore store(folder.Path());
    TGroupList list;
    const TShelfLoadResult result = store.Load(list);
    EXPECT_EQ(result.RecoveredFrom, *row.RecoveredFrom ? folder.File(row.RecoveredFrom) : std::string());
    EXPECT_FALSE(result.Damaged);
    EXPECT_EQ(list.Count() > 0 ? list.Group(0)->Name() : std::string(), row.FirstShelf);
    EXPECT_EQ(Names(), before);  // reading changes nothing

    // The save after it writes what was read, leaves the backup alone and
    // keeps what the killed save left under a name no save replaces.
    list.Add("more", 0, "");
    store.Save(list);
    EXPECT_EQ(NameIn("Shelf.lst"), list.Group(0)->Name());
    EXPECT_EQ(NameIn("Shelf.bak"), "backup");
    EXPECT_FALSE(PathExists(folder.File("Shelf.lst$$")));
    const std::string kept = OneNameStarting("Shelf.interrupted-");
    if (row.Leftover == "-" || row.Leftover.empty())
        EXPECT_EQ(kept, "");
    else
        EXPECT_EQ(folder.Read(kept), row.Leftover);
}

std::string OneShelfBytes(const std::string& name)
{
    TGroupList list;
    list.Add(name, 0, "");
    return WriteBytes(list);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShelfRecovery,
    ::testing::Values(TRecoveryCase{"CompleteLeftover", OneShelfBytes("newest"), "Shelf.lst$$", "newest"},
                      TRecoveryCase{"TruncatedLeftover", OneShelfBytes("newest").substr(0, 30), "Shelf.bak", "backup"},
                      TRecoveryCase{"EmptyLeftover", "", "Shelf.bak", "backup"},
                      TRecoveryCase{"NoLeftoverMeansRemovedOnPurpose", "-", "", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ShelfStoreTest, ADamagedFileIsKeptUnderADatedNameWhenASaveReplacesIt)
{
    TShelfStore(folder.Path()).Save(*OneShelf("first"));
    TShelfStore(folder.Path()).Save(*OneShelf("whole"));  // "first" is the backup now
    TGroupList good;
    good.Add("kept", 0, "");
    good.Add("lost", 0, "");
    std::string bytes = WriteBytes(good);
    bytes.resize(bytes.size() - 6);  // the second shelf is cut short
    folder.Write("Shelf.lst", bytes);
    const std::vector<std::string> before = Names();

    TShelfStore store(folder.Path());
    TGroupList list;
    const TShelfLoadResult result = store.Load(list);
    EXPECT_TRUE(result.Found);
    EXPECT_TRUE(result.Damaged);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Group(0)->Name(), "kept");
    // Reading moves nothing.
    EXPECT_EQ(Names(), before);
    EXPECT_EQ(folder.Read("Shelf.lst"), bytes);

    // Saves, an empty one among them, neither lose the damaged original nor
    // let it push the whole backup out.
    store.Save(list);
    store.Save(*OneShelf("later"));
    store.Save(TGroupList());
    const std::string kept = OneNameStarting("Shelf.damaged-");
    ASSERT_NE(kept, "");
    EXPECT_EQ(store.DamagedCopy(), folder.File(kept));
    EXPECT_EQ(folder.Read(kept), bytes);
    EXPECT_EQ(NameIn("Shelf.bak"), "first");
}

TEST_F(ShelfStoreTest, AFileThatCannotBeReadIsNeverSavedOver)
{
    TShelfStore(folder.Path()).Save(*OneShelf("mine"));
    const std::string before = folder.Read("Shelf.lst");
    // A folder anyone may write to, so that only reading the file fails.
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0777), 0);
    ASSERT_EQ(::chmod(folder.File("Shelf.lst").c_str(), 0), 0);
    // Owned by the user the child becomes: only the mode keeps it from reading,
    // and nothing else would stop a save.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(folder.File("Shelf.lst").c_str(), 65534, 65534), 0);
    }
    const int code = RunInChild([&] {
        // Root reads any file whatever its mode; the child gives root up.
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 77;
        TShelfStore store(folder.Path());
        TGroupList list;
        const TShelfLoadResult result = store.Load(list);
        if (!result.Unreadable || result.Damaged)
            return 1;
        const std::unique_ptr<TGroupList> other = OneShelf("other");
        for (const TGroupList* next : {other.get(), &list}) {
            try {
                store.Save(*next);
                return 2;
            } catch (const EFileError&) {
            }
        }
        return 0;
    });
    if (code == 77)
        GTEST_SKIP() << "running as root and unable to give it up, so no file is unreadable";
    EXPECT_EQ(code, 0);
    ASSERT_EQ(::chmod(folder.File("Shelf.lst").c_str(), 0644), 0);
    EXPECT_EQ(folder.Read("Shelf.lst"), before);
    EXPECT_EQ(Names(), std::vector<std::string>{"Shelf.lst"});
}

class ShelfMembersTest : public ::testing::Test {
protected:
    TTempFolder folder;
    TGroupList list;
    TGroupFolder* shelf = list.Group(list.Add("s", 0, ""));

    std::string Path(const char* name) { return ExcludeTrailing(folder.File(name)); }
    static std::string ExcludeTrailing(std::string path)
    {
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        return path;
    }
};

TEST_F(ShelfMembersTest, AddingAMemberTwiceAddsNothing)
{
    folder.Write("a.jpg", "x");
    EXPECT_EQ(AddPaths(*shelf, {Path("a.jpg"), Path("a.jpg"), folder.Path() + "./a.jpg"}), 1);
    EXPECT_EQ(AddPaths(*shelf, {Path("a.jpg")}), 0);
    EXPECT_EQ(shelf->AddItems({{Path("a.jpg"), TItemIdList::FromPath(Path("a.jpg"))}}), 0);
    EXPECT_EQ(shelf->AddItems({{Path("b.jpg"), TItemIdList()}}), 0);
    // Paths are keys exactly: another case is another file here.
    folder.Write("A.jpg", "x");
    EXPECT_EQ(AddPaths(*shelf, {Path("A.jpg")}), 1);
    EXPECT_EQ(shelf->Count(), 2);
}

TEST_F(ShelfMembersTest, DroppedPathsTakeFoldersAndLoadableFilesOnce)
{
    folder.Write("member.jpg", "x");
    folder.Write("pics/p.png", "x");
    folder.Write("new.jpg", "x");
    folder.Write("notes.txt", "x");
    ASSERT_EQ(::symlink(folder.File("pics").c_str(), folder.File("link").c_str()), 0);
    AddPaths(*shelf, {Path("member.jpg")});
    std::vector<std::string> asked;
    auto loadable = [&](const std::string& path) {
        asked.push_back(path);
        return path.size() > 4 && path.substr(path.size() - 4) != ".txt";
    };
    const int added = AddDroppedPaths(*shelf,
                                      {Path("notes.txt"), Path("member.jpg"), Path("pics"), Path("gone.jpg"),
                                       Path("gone"), folder.File("pics/"), Path("new.jpg"), Path("link"), Path("new.jpg")},
                                      loadable);
    EXPECT_EQ(added, 3);
    std::vector<std::string> keys;
    for (int i = 0; i < shelf->Count(); ++i)
        keys.push_back(shelf->Key(i));
    // In drop order after the old member; a folder given with a trailing "/"
    // is the same member, and a link to a folder is a member of its own.
    EXPECT_EQ(keys, (std::vector<std::string>{Path("member.jpg"), Path("pics"), Path("new.jpg"), Path("link")}));
    // Folders and missing paths never reach the loader test.
    for (const std::string& path : asked)
        EXPECT_TRUE(FileExists(path)) << path;
    EXPECT_NE(std::find(asked.begin(), asked.end(), Path("notes.txt")), asked.end());
    // Without a loader test only folders are taken.
    folder.Write("more/x", "");
    folder.Write("other.jpg", "x");
    EXPECT_EQ(AddDroppedPaths(*shelf, {Path("other.jpg"), Path("more")}, nullptr), 1);
    EXPECT_EQ(shelf->Key(shelf->Count() - 1), Path("more"));
}

TEST_F(ShelfMembersTest, ResolvingFindsParentsAndFolders)
{
    folder.Write("sub/b.png", "x");
    AddPaths(*shelf, {Path("sub"), Path("sub/b.png"), Path("gone.jpg")});
    EXPECT_TRUE(shelf->NeedsResolve);
    shelf->ResolveAll();
    EXPECT_FALSE(shelf->NeedsResolve);
    const TGroupFileInfo* sub = shelf->ItemInfo(0);
    const TGroupFileInfo* file = shelf->ItemInfo(1);
    EXPECT_TRUE(sub->IsDirectory);
    EXPECT_FALSE(file->IsDirectory);
    ASSERT_GE(file->ParentIndex, 0);
    EXPECT_EQ(shelf->ParentNode(file->ParentIndex)->GetPath(), Path("sub"));
    // Members of one folder share its node.
    EXPECT_EQ(shelf->ItemInfo(2)->ParentIndex, sub->ParentIndex);
    EXPECT_EQ(shelf->ParentCount(), 2);
    EXPECT_EQ(DeleteMissingItems(*shelf), 1);
    EXPECT_EQ(shelf->Count(), 2);
}

TEST_F(ShelfMembersTest, ExportPutsFoldersFirstInNameOrder)
{
    folder.Write("a/x", "");
    folder.Write("C/x", "");
    folder.Write("B", "file");
    AddPaths(*shelf, {Path("B"), Path("a"), Path("C")});
    EXPECT_EQ(ExportItems(folder.File("out.txt"), *shelf), 3);
    EXPECT_EQ(folder.Read("out.txt"), Path("a") + "\n" + Path("C") + "\n" + Path("B") + "\n");
}

TEST_F(ShelfMembersTest, ImportTakesOnlyNewExistingPaths)
{
    folder.Write("member.jpg", "x");
    folder.Write("new.jpg", "x");
    AddPaths(*shelf, {Path("member.jpg")});
    folder.Write("list.txt", Path("deleted.jpg") + "\r\n" + Path("member.jpg") + "\n" + Path("new.jpg") + "\n" +
                                 "relative.jpg\n" + Path("new.jpg") + "\n");
    EXPECT_EQ(ImportItems(folder.File("list.txt"), *shelf).Added, 1);
    EXPECT_EQ(shelf->Count(), 2);
    EXPECT_EQ(shelf->Key(1), Path("new.jpg"));
    EXPECT_THROW(ImportItems(folder.File("missing.txt"), *shelf), EMirevaError);
}

TEST_F(ShelfMembersTest, ExportAndImportKeepNamesThatAreNotUtf8)
{
    // "日本" in UTF-8 and in CP932 bytes: two files whose names read alike.
    for (const char* name : {"caf\xE9.jpg", "日本.jpg", "\x93\xFA\x96\x7B.jpg", "plain.jpg", "new\nline.jpg"})
        folder.Write(name, "x");
    AddPaths(*shelf, {folder.File("caf\xE9.jpg"), folder.File("日本.jpg"), folder.File("\x93\xFA\x96\x7B.jpg"),
                      folder.File("plain.jpg"), folder.File("new\nline.jpg")});
    EXPECT_EQ(ExportItems(folder.File("u.txt"), *shelf), 5);
    const std::string text = folder.Read("u.txt");
    EXPECT_TRUE(IsValidUtf8(text));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);

    TGroupFolder* other = list.Group(list.Add("t", 0, ""));
    const TShelfImportResult result = ImportItems(folder.File("u.txt"), *other);
    EXPECT_EQ(result.Added, 5);
    EXPECT_TRUE(result.Failed.empty());
    for (int i = 0; i < shelf->Count(); ++i)
        EXPECT_GE(other->IndexOf(shelf->Key(i)), 0) << shelf->Key(i);
}

TEST_F(ShelfMembersTest, ImportReportsEveryLineItCannotAdd)
{
    folder.Write("日本.jpg", "x");
    folder.Write("\x93\xFA\x96\x7B.jpg", "x");
    folder.Write("only\x93\xFA.jpg", "x");
    folder.Write("new.jpg", "x");
    AddPaths(*shelf, {Path("new.jpg")});
    // An older export wrote names as raw bytes: the third line names one file
    // by its bytes and the other read as CP932.
    folder.Write("in.txt", "relative.jpg\n" + Path("gone.jpg") + "\n" + Path("\x93\xFA\x96\x7B.jpg") + "\n" +
                               "file://elsewhere" + Path("new.jpg") + "\n\n" + Path("new.jpg") + "\r\n" +
                               Path("only\x93\xFA.jpg") + "\n");
    const TShelfImportResult result = ImportItems(folder.File("in.txt"), *shelf);
    EXPECT_EQ(result.Added, 1);
    EXPECT_EQ(shelf->Key(1), Path("only\x93\xFA.jpg"));
    std::vector<std::pair<int, TImportFault>> failed;
    for (const TImportFailure& failure : result.Failed) {
        EXPECT_TRUE(IsValidUtf8(failure.Text));
        failed.emplace_back(failure.Line, failure.Fault);
    }
    EXPECT_EQ(failed, (std::vector<std::pair<int, TImportFault>>{{1, TImportFault::ifNotAbsolute},
                                                                 {2, TImportFault::ifMissing},
                                                                 {3, TImportFault::ifAmbiguous},
                                                                 {4, TImportFault::ifBadEscape}}));
}

TEST_F(ShelfMembersTest, ChangingAMemberPathNotifiesWithBothIdentities)
{
    struct TRecorder : TFolderListObserver {
        std::vector<std::string> Seen;
        void FolderListChanged(TCustomFolderList&, const TListChange& c) override
        {
            if (c.Kind == TListChangeKind::lcChangeItem)
                Seen.push_back(c.Item->Path() + ">" + c.NewItem->Path());
            if (c.Kind == TListChangeKind::lcDeleteItem)
                Seen.push_back("delete " + c.Item->Path());
        }
    } recorder;
    list.RegisterObserver(&recorder);
    shelf->AddItems({{"/x/old", TItemIdList::FromPath("/x/old")}});
    EXPECT_FALSE(shelf->ChangeItemPath("/x/none", "/x/new"));
    EXPECT_TRUE(shelf->ChangeItemPath("/x/old", "/y/new"));
    EXPECT_EQ(shelf->IndexOf("/y/new"), 0);
    EXPECT_EQ(shelf->IndexOf("/x/old"), -1);
    EXPECT_FALSE(shelf->ItemInfo(0)->Resolved);
    shelf->DeleteItem(0);
    EXPECT_EQ(recorder.Seen, (std::vector<std::string>{"/x/old>/y/new", "delete /y/new"}));
}

TEST_F(ShelfMembersTest, ChangingAMemberOntoAnotherMembersPathKeepsOneMember)
{
    shelf->AddItems({{"/x/a", TItemIdList::FromPath("/x/a")}, {"/x/b", TItemIdList::FromPath("/x/b")}});
    EXPECT_TRUE(shelf->ChangeItemPath("/x/a", "/x/b"));
    ASSERT_EQ(shelf->Count(), 1);
    EXPECT_EQ(shelf->Key(0), "/x/b");
    EXPECT_EQ(shelf->IndexOf("/x/a"), -1);
}

TEST(ShelfNames, ProposesTheSmallestFreeNumber)
{
    TGroupList list;
    list.Add("新しい本棚1", 0, "");
    list.Add("新しい本棚2", 0, "");
    EXPECT_EQ(ProposeShelfName(list), "新しい本棚3");
    list.Delete(0);
    EXPECT_EQ(ProposeShelfName(list), "新しい本棚1");
}

struct TNameCheckCase {
    const char* Name;
    const char* Typed;
    const char* Original;
    const char* Message;  // empty: accepted
};

class ShelfNameCheck : public ::testing::TestWithParam<TNameCheckCase> {};

TEST_P(ShelfNameCheck, RefusesEmptyAndTakenNames)
{
    TGroupList list;
    list.Add("Comics", 0, "");
    list.Add("Photos", 0, "");
    const std::optional<std::string> message = CheckShelfName(list, GetParam().Typed, GetParam().Original);
    EXPECT_EQ(message.value_or(""), GetParam().Message);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShelfNameCheck,
    ::testing::Values(TNameCheckCase{"Empty", "   ", "", "名前を入力してください  "},
                      TNameCheckCase{"TakenOtherCase", "photos", "", "同名の本棚が存在します  "},
                      TNameCheckCase{"RenameToOwnNameOtherCase", "COMICS", "Comics", ""},
                      TNameCheckCase{"RenameToOtherShelfOtherCase", "PHOTOS", "Comics", "同名の本棚が存在します  "},
                      TNameCheckCase{"NewName", " Books ", "", ""},
                      TNameCheckCase{"FiftyCharacters", "本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚", "", ""},
                      TNameCheckCase{"FiftyOneCharacters", "本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚本棚x", "",
                                     "名前は 50 文字以内で入力してください  "},
                      TNameCheckCase{"BlanksAroundDoNotCount", "  12345678901234567890123456789012345678901234567890  ", "", ""},
                      TNameCheckCase{"EmptyBeforeLength", "", "", "名前を入力してください  "}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ShelfComments, AreLimitedToAHundredCharacters)
{
    const std::string hundred = std::string(50, 'x') + "\n" + std::string(24, 'y') + std::string("コメント") + std::string(21, 'z');
    ASSERT_EQ(CharCount(hundred), 100u);
    EXPECT_FALSE(CheckShelfComment(hundred).has_value());
    EXPECT_FALSE(CheckShelfComment(" " + hundred + "\n").has_value());
    EXPECT_FALSE(CheckShelfComment("").has_value());
    EXPECT_EQ(CheckShelfComment(hundred + "!").value_or(""), "コメントは 100 文字以内で入力してください  ");
}

}  // namespace

namespace {

TEST(ShelfStore, SomethingElseNamedLikeTheFileIsLeftAlone)
{
    TTempFolder folder;
    folder.Write("Shelf.lst/inside", "x");
    TShelfStore store(folder.Path());
    TGroupList list;
    const TShelfLoadResult result = store.Load(list);
    EXPECT_TRUE(result.Unreadable);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_THROW(store.Save(list), EFileError);
    EXPECT_EQ(folder.Read("Shelf.lst/inside"), "x");
    EXPECT_FALSE(PathExists(folder.File("Shelf.bak")));
}

}  // namespace
