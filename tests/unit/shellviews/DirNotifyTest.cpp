// The directory watcher over real folders: what a view is told after files
// change, when it is told, and how watches are shared and end.

#include <gtest/gtest.h>

#include <algorithm>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "NotifyText.h"
#include "base/QueueDispatcher.h"
#include "platform/DirWatchQueue.h"
#include "shellviews/DirNotify.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Long enough that nothing is delivered by itself: those tests deliver with
// Flush, so every change lands in one delivery whatever the machine's load.
constexpr auto NeverByItself = std::chrono::hours(1);

// Every record a view was told, in the short form of NotifyText.h.
struct TView {
    std::string Base;
    std::vector<std::string> Records = {};
    TNotifyCallback Callback()
    {
        return [this](const TNotifyInfo& record) { Records.push_back(FormatNotify(record, Base)); };
    }
    std::string Text() const
    {
        std::string text;
        for (const std::string& record : Records)
            text += (text.empty() ? "" : " ") + record;
        return text;
    }
    // The records with a repeated one left out: a name made while its new
    // folder is being listed may come from the listing and from the folder's
    // own watch, in two deliveries, and a view takes an addition of a name
    // it lists as a change of it.
    std::string DistinctText() const
    {
        std::string text;
        std::vector<std::string> seen;
        for (const std::string& record : Records) {
            if (std::find(seen.begin(), seen.end(), record) != seen.end())
                continue;
            seen.push_back(record);
            text += (text.empty() ? "" : " ") + record;
        }
        return text;
    }
};

class DirNotifyTest : public ::testing::Test {
protected:
    // Runs the dispatcher until done holds; false when it did not within
    // a limit generous enough for a loaded machine.
    bool RunUntil(const std::function<bool()>& done)
    {
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            Dispatcher.RunOne(std::chrono::steady_clock::now() + 20ms);
        }
        return true;
    }

    void Write(const std::string& name, const std::string& bytes = "x")
    {
        std::ofstream(Folder.File(name), std::ios::binary | std::ios::app) << bytes;
    }

    TTempFolder Folder;
    TQueueDispatcher Dispatcher;
};

// One file-system step in short form: "mk a" creates a file, "w a" writes to
// one, "rm a" deletes it, "mv a b" renames, "md d" makes a folder, "rd d"
// removes an empty one. Paths are relative to the test folder.
void Apply(const std::string& folder, const std::string& steps)
{
    std::istringstream words(steps);
    std::string verb;
    while (words >> verb) {
        std::string a;
        words >> a;
        if (verb == "mk" || verb == "w") {
            std::ofstream(folder + a, std::ios::binary | std::ios::app) << "x";
        } else if (verb == "rm" || verb == "rd") {
            fs::remove(folder + a);
        } else if (verb == "mv") {
            std::string b;
            words >> b;
            fs::rename(folder + a, folder + b);
        } else if (verb == "md") {
            fs::create_directory(folder + a);
        } else {
            FAIL() << "unknown step " << verb;
        }
    }
}

struct TFoldCase {
    const char* Name;
    const char* Before;  // steps before the watch begins
    const char* Steps;   // steps while watched
    bool FolderTree;     // the folder tree's filter (folder mode), else the file list's
    const char* Expected;
};

class DirNotifyFoldTest : public DirNotifyTest, public ::testing::WithParamInterface<TFoldCase> {};

// The watched folder is "w/" inside the test folder; "out/" lies beside it.
TEST_P(DirNotifyFoldTest, TellsTheViewWhatChanged)
{
    const TFoldCase& c = GetParam();
    fs::create_directory(Folder.File("w"));
    fs::create_directory(Folder.File("out"));
    Apply(Folder.Path(), c.Before);
    TDirChangeNotifier notifier(Dispatcher, {.Delay = NeverByItself, .DelayCeiling = NeverByItself});
    TView view{Folder.File("w/")};
    notifier.AddHandler(&view, view.Callback());
    ASSERT_TRUE(notifier.Watch(&view, Folder.File("w"), c.FolderTree ? FolderTreeFilter : FileListFilter, false));
    Apply(Folder.Path(), c.Steps);
    notifier.Flush();
    EXPECT_EQ(view.Text(), c.Expected);
}

const TFoldCase FoldCases[] = {
    {"CreatedAndDeletedSaysNothing", "", "mk w/a rm w/a", false, ""},
    {"CreatedWrittenDeletedSaysNothing", "", "mk w/a w w/a w w/a rm w/a", false, ""},
    {"CreatedThenRenamed", "", "mk w/b mv w/b w/a", false, "+a"},
    {"NewFileReplacesADeletedOne", "mk w/a", "mk w/b rm w/a mv w/b w/a", false, "~a"},
    {"Renamed", "mk w/a", "mv w/a w/b", false, "a>b"},
    {"RenamedTwice", "mk w/a", "mv w/a w/b mv w/b w/c", false, "a>c"},
    {"RenamedThenDeleted", "mk w/a", "mv w/a w/b rm w/b", false, "-a"},
    {"Written", "mk w/a", "w w/a w w/a", false, "~a"},
    {"Deleted", "mk w/a", "rm w/a", false, "-a"},
    {"MovedAway", "mk w/a", "mv w/a out/a", false, "-a"},
    {"MovedIn", "mk out/a", "mv out/a w/a", false, "+a"},
    {"FolderInTheFileList", "", "md w/d", false, "+d"},
    {"FolderInTheTree", "", "md w/d", true, "+/d"},
    {"FolderRenamedInTheTree", "md w/d", "mv w/d w/e", true, "/d>e"},
    {"FilesAreNotInTheTree", "mk w/a", "mk w/b w w/a rm w/a", true, ""},
};

INSTANTIATE_TEST_SUITE_P(Steps, DirNotifyFoldTest, ::testing::ValuesIn(FoldCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(DirNotifyTest, DeliversByItselfOnceTheFolderIsQuiet)
{
    TDirChangeNotifier notifier(Dispatcher, {.Delay = 20ms, .DelayCeiling = 1s});
    TView view{Folder.Path()};
    notifier.AddHandler(&view, view.Callback());
    ASSERT_TRUE(notifier.Watch(&view, Folder.Path(), FileListFilter, false));
    Write("a");
    ASSERT_TRUE(RunUntil([&] { return !view.Records.empty(); }));
    EXPECT_EQ(view.Text(), "+a");
}

struct TGoneCase {
    const char* Name;
    const char* Steps;
};

class DirNotifyGoneTest : public DirNotifyTest, public ::testing::WithParamInterface<TGoneCase> {};

// The watch of a folder that went away ends without a crash, the view is
// told, and with no other watch the worker stops.
TEST_P(DirNotifyGoneTest, EndsTheWatch)
{
    fs::create_directory(Folder.File("w"));
    TDirChangeNotifier notifier(Dispatcher, {.Delay = 20ms, .DelayCeiling = 1s});
    TView view{Folder.Path()};
    notifier.AddHandler(&view, view.Callback());
    ASSERT_TRUE(notifier.Watch(&view, Folder.File("w"), FileListFilter, false));
    Apply(Folder.Path(), GetParam().Steps);
    ASSERT_TRUE(RunUntil([&] { return !view.Records.empty() && !notifier.WorkerRunning(); }));
    EXPECT_EQ(view.Text(), "!w/");
    EXPECT_EQ(notifier.SystemWatchCount(), 0u);
    // Ending the watch again is harmless.
    notifier.Unwatch(&view, Folder.File("w"));
}

const TGoneCase GoneCases[] = {
    {"Deleted", "rd w"},
    {"Renamed", "mv w v"},
};

INSTANTIATE_TEST_SUITE_P(Folder, DirNotifyGoneTest, ::testing::ValuesIn(GoneCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(DirNotifyTest, TwoViewsShareOneWatch)
{
    TDirChangeNotifier notifier(Dispatcher, {.Delay = NeverByItself, .DelayCeiling = NeverByItself});
    TView first{Folder.Path()};
    TView second{Folder.Path()};
    notifier.AddHandler(&first, first.Callback());
    notifier.AddHandler(&second, second.Callback());
    ASSERT_TRUE(notifier.Watch(&first, Folder.Path(), FileListFilter, false));
    ASSERT_TRUE(notifier.Watch(&second, Folder.Path(), FileListFilter, false));
    // Watched twice by one view: still told once.
    ASSERT_TRUE(notifier.Watch(&second, Folder.Path(), FileListFilter, false));
    EXPECT_EQ(notifier.SystemWatchCount(), 1u);
    Write("a");
    notifier.Flush();
    EXPECT_EQ(first.Text(), "+a");
    EXPECT_EQ(second.Text(), "+a");

    notifier.Unwatch(&first, Folder.Path());
    EXPECT_EQ(notifier.SystemWatchCount(), 1u);
    Write("b");
    notifier.Flush();
    EXPECT_EQ(first.Text(), "+a");
    EXPECT_EQ(second.Text(), "+a +b");

    notifier.Unwatch(&second, Folder.Path());
    EXPECT_EQ(notifier.SystemWatchCount(), 0u);
    EXPECT_FALSE(notifier.WorkerRunning());
}

TEST_F(DirNotifyTest, ClearedViewHearsNothingMore)
{
    TDirChangeNotifier notifier(Dispatcher, {.Delay = NeverByItself, .DelayCeiling = NeverByItself});
    TView view{Folder.Path()};
    notifier.AddHandler(&view, view.Callback());
    ASSERT_TRUE(notifier.Watch(&view, Folder.Path(), FileListFilter, false));
    Write("a");
    notifier.Flush();
    Write("b");
    notifier.ClearHandler(&view);
    Write("c");
    notifier.Flush();
    EXPECT_EQ(view.Text(), "+a");
    EXPECT_FALSE(notifier.WorkerRunning());
}

// A view that clears itself while it is told (it moves to another folder)
// hears nothing of its old folder afterwards, not even the rest of the batch.
TEST_F(DirNotifyTest, ClearingDuringADeliveryStopsIt)
{
    TDirChangeNotifier notifier(Dispatcher, {.Delay = NeverByItself, .DelayCeiling = NeverByItself});
    TView view{Folder.Path()};
    const TNotifyCallback record = view.Callback();
    notifier.AddHandler(&view, [&](const TNotifyInfo& info) {
        record(info);
        notifier.ClearHandler(&view);
    });
    ASSERT_TRUE(notifier.Watch(&view, Folder.Path(), FileListFilter, false));
    Write("a");
    Write("b");
    notifier.Flush();
    EXPECT_EQ(view.Text(), "+a");
}

TEST_F(DirNotifyTest, RefusesWhatCannotBeWatched)
{
    TDirChangeNotifier notifier(Dispatcher);
    TView view;
    std::string reason;
    EXPECT_FALSE(notifier.Watch(&view, Folder.Path(), FileListFilter, false, &reason));
    notifier.AddHandler(&view, view.Callback());
    for (const std::string& path : {Folder.File("missing"), Folder.Write("file", "x")}) {
        reason.clear();
        EXPECT_FALSE(notifier.Watch(&view, path, FileListFilter, false, &reason));
        EXPECT_NE(reason.find(path), std::string::npos) << reason;
    }
    EXPECT_FALSE(notifier.WorkerRunning());
}

TEST_F(DirNotifyTest, SubtreeFollowsNewAndMovedFolders)
{
    fs::create_directories(Folder.File("s/t"));
    TDirChangeNotifier notifier(Dispatcher, {.Delay = NeverByItself, .DelayCeiling = NeverByItself});
    TView view{Folder.Path()};
    notifier.AddHandler(&view, view.Callback());
    ASSERT_TRUE(notifier.Watch(&view, Folder.Path(), FolderTreeFilter, true));
    ASSERT_TRUE(RunUntil([&] { return notifier.SubtreesSettled(); }));
    EXPECT_EQ(notifier.SystemWatchCount(), 3u);

    fs::create_directory(Folder.File("s/t/u"));
    // A folder made inside a folder only just made: the second may exist
    // before the first is watched, and is reported all the same.
    fs::create_directories(Folder.File("n/m"));
    notifier.Flush();
    ASSERT_TRUE(RunUntil([&] { return notifier.SubtreesSettled(); }));
    notifier.Flush();
    EXPECT_EQ(view.DistinctText(), "+/s/t/u +/n +/n/m");

    view.Records.clear();
    fs::rename(Folder.File("s"), Folder.File("x"));
    notifier.Flush();
    ASSERT_TRUE(RunUntil([&] { return notifier.SubtreesSettled(); }));
    fs::create_directory(Folder.File("x/t/v"));
    notifier.Flush();
    EXPECT_EQ(view.Text(), "/s>x +/x/t/v");
}

TEST_F(DirNotifyTest, SubtreeStopsAtItsLimit)
{
    for (const char* name : {"a/1", "a/2", "b", "c", "d"})
        fs::create_directories(Folder.File(name));
    TDirChangeNotifier notifier(Dispatcher, {.SubtreeFoldersPerWatch = 3});
    TView view{Folder.Path()};
    notifier.AddHandler(&view, view.Callback());
    ASSERT_TRUE(notifier.Watch(&view, Folder.Path(), FolderTreeFilter, true));
    ASSERT_TRUE(RunUntil([&] { return notifier.SubtreesSettled(); }));
    // The folder itself and three below it, the nearest level first.
    EXPECT_EQ(notifier.SystemWatchCount(), 4u);
}

// A queue that loses what is queued when told to and reports the overflow
// instead, as the system does when events come faster than they are read.
class TOverflowingQueue : public TDirWatchQueue {
public:
    explicit TOverflowingQueue(std::atomic<bool>& overflow) : fOverflow(overflow) {}
    std::vector<TDirEvent> ReadEvents() override
    {
        std::vector<TDirEvent> events = TDirWatchQueue::ReadEvents();
        if (fOverflow.exchange(false))
            events.assign(1, TDirEvent{-1, dwOverflow, 0, {}});
        return events;
    }

private:
    std::atomic<bool>& fOverflow;
};

TEST_F(DirNotifyTest, OverflowTellsEveryWatchingViewToListAgain)
{
    fs::create_directory(Folder.File("s"));
    std::atomic<bool> overflow{false};
    TDirNotifyOptions options{.Delay = NeverByItself, .DelayCeiling = NeverByItself};
    options.MakeQueue = [&] { return std::make_unique<TOverflowingQueue>(overflow); };
    TDirChangeNotifier notifier(Dispatcher, options);
    TView tree{Folder.Path()};
    TView idle{Folder.Path()};
    notifier.AddHandler(&tree, tree.Callback());
    notifier.AddHandler(&idle, idle.Callback());
    ASSERT_TRUE(notifier.Watch(&tree, Folder.Path(), FolderTreeFilter, true));
    ASSERT_TRUE(RunUntil([&] { return notifier.SubtreesSettled(); }));
    fs::create_directory(Folder.File("s/a"));
    overflow = true;
    fs::create_directory(Folder.File("s/b"));
    notifier.Flush();
    // What came before the loss is void too: the view lists everything.
    EXPECT_EQ(tree.Text(), "*");
    EXPECT_EQ(idle.Text(), "");

    // The folder made during the loss is found and watched all the same.
    ASSERT_TRUE(RunUntil([&] { return notifier.SubtreesSettled(); }));
    tree.Records.clear();
    fs::create_directory(Folder.File("s/b/c"));
    notifier.Flush();
    EXPECT_EQ(tree.Text(), "+/s/b/c");
}

}  // namespace
