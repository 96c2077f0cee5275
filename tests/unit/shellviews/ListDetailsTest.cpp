// The file list with a dispatcher: a folder is listed by names and kinds, its
// sizes, dates and attributes follow from a worker, and a burst of changes
// on disk is taken in few steps. Whatever the moment, the list must show and
// sort what the same list reading everything at once shows.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "base/QueueDispatcher.h"
#include "collections/CategoryFolder.h"
#include "collections/MediaFolder.h"
#include "collections/Shelf.h"
#include "shellviews/DirNotify.h"
#include "shellviews/ShellList.h"
#include "support/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class TNotices : public TShellListObserver {
public:
    void ListChanged(TShellListModel&, const TFileListChange& change) override
    {
        if (change.Phase == TChangePhase::cpAfter)
            Changes.push_back(change);
    }
    int CountOf(TFileListChangeKind kind) const
    {
        return static_cast<int>(std::count_if(Changes.begin(), Changes.end(),
                                              [kind](const TFileListChange& c) { return c.Kind == kind; }));
    }
    std::vector<TFileListChange> Changes;
};

class ListDetailsTest : public ::testing::Test {
protected:
    std::unique_ptr<TShellListModel> MakeList(TDispatcher* dispatcher, TDirChangeNotifier* notifier = nullptr)
    {
        TShellListSources sources;
        sources.Shelves = &fShelves;
        sources.Media = &fMedia;
        sources.Categories = &fCategories;
        sources.Dispatcher = dispatcher;
        sources.Notifier = notifier;
        return std::make_unique<TShellListModel>(sources);
    }

    // Files of varied sizes and dates, a folder, a link to each and a pipe.
    void Fill() const
    {
        for (int i = 0; i < 40; ++i) {
            const std::string name = "p" + std::to_string((i * 7) % 40) + ".jpg";
            fTemp.Write(name, std::string(static_cast<size_t>(i * 13 % 29), 'x'));
            fs::last_write_time(fTemp.File(name), fs::file_time_type(std::chrono::hours(480000) + std::chrono::minutes(i % 11)));
        }
        fs::create_directories(fTemp.File("sub"));
        fs::create_symlink("p3.jpg", fTemp.File("link.jpg"));
        fs::create_symlink("sub", fTemp.File("to-sub"));
        ASSERT_EQ(::mkfifo(fTemp.File("pipe.jpg").c_str(), 0644), 0);
    }

    // Every row's texts, as the views show them.
    static std::vector<std::vector<std::string>> Texts(const TShellListModel& list)
    {
        std::vector<std::vector<std::string>> rows;
        for (int row = 0; row < list.Count(); ++row) {
            rows.emplace_back();
            for (int column = 0; column < static_cast<int>(list.Columns().size()); ++column)
                rows.back().push_back(list.Text(row, column));
        }
        return rows;
    }

    static void RunUntil(TQueueDispatcher& dispatcher, const std::function<bool()>& done)
    {
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (!done() && std::chrono::steady_clock::now() < deadline)
            dispatcher.RunOne(std::chrono::steady_clock::now() + 20ms);
    }

    TTempFolder fTemp;
    TGroupList fShelves;
    TMediaList fMedia;
    TCategoryList fCategories;
};

// Sorting at once, before the worker delivered anything, and sorting after
// it did, give the order and texts of a list that read everything.
TEST_F(ListDetailsTest, SortsAndShowsAsAListThatReadEverything)
{
    Fill();
    for (const TSortOrder order : {TSortOrder{0, TSortDir::sdAsc}, TSortOrder{1, TSortDir::sdAsc},
                                   TSortOrder{3, TSortDir::sdDesc}, TSortOrder{2, TSortDir::sdAsc}}) {
        for (const bool waitFirst : {false, true}) {
            SCOPED_TRACE(std::to_string(order.Index) + (waitFirst ? " after the details" : " at once"));
            auto full = MakeList(nullptr);
            TQueueDispatcher dispatcher;
            auto fast = MakeList(&dispatcher);
            ASSERT_TRUE(full->SetFolder(fTemp.Path()));
            ASSERT_TRUE(fast->SetFolder(fTemp.Path()));
            if (waitFirst) {
                RunUntil(dispatcher, [&] { return fast->DetailsComplete(); });
                ASSERT_TRUE(fast->DetailsComplete());
            }
            full->SetSortOrder(order);
            fast->SetSortOrder(order);
            EXPECT_EQ(Texts(*fast), Texts(*full));
            for (int row = 0; row < full->Count(); ++row)
                EXPECT_EQ(fast->IsDimmed(row), full->IsDimmed(row));
        }
    }
}

// The facts the browser takes from a row are those of the file, once the
// details are in; before, size and date are marked unknown, never wrong.
TEST_F(ListDetailsTest, RowFactsTellTheFileOnceTheDetailsArrive)
{
    Fill();
    TQueueDispatcher dispatcher;
    auto list = MakeList(&dispatcher);
    TNotices notices;
    list->RegisterObserver(&notices);
    ASSERT_TRUE(list->SetFolder(fTemp.Path()));
    TListedRow facts;
    for (int row = 0; row < list->Count(); ++row) {
        ASSERT_TRUE(list->RowFacts(row, facts));
        EXPECT_FALSE(facts.DetailsKnown && !facts.Link) << facts.Name;
    }
    RunUntil(dispatcher, [&] { return list->DetailsComplete(); });
    ASSERT_TRUE(list->DetailsComplete());
    EXPECT_GE(notices.CountOf(TFileListChangeKind::fcChange), 1);
    for (int row = 0; row < list->Count(); ++row) {
        ASSERT_TRUE(list->RowFacts(row, facts));
        const std::string path(facts.Path);
        const TFileStatus status = QueryFile(path);
        SCOPED_TRACE(path);
        EXPECT_TRUE(facts.DetailsKnown);
        EXPECT_EQ(facts.Kind, status.Kind);
        EXPECT_EQ(facts.Link, QueryFile(path, false).IsLink);
        EXPECT_EQ(facts.Size, status.Kind == TFileKind::fkFile ? status.Size : 0);
        EXPECT_EQ(facts.Modified == 0, status.ModifiedSeconds == 0);
    }
    EXPECT_FALSE(list->RowFacts(list->Count(), facts));
}

// Rows that go or are read again before the worker reaches them are left
// alone by its late delivery, and a new listing drops the old worker.
TEST_F(ListDetailsTest, ALateDeliveryLeavesChangedRowsAlone)
{
    Fill();
    TQueueDispatcher dispatcher;
    auto list = MakeList(&dispatcher);
    ASSERT_TRUE(list->SetFolder(fTemp.Path()));
    const int count = list->Count();
    fs::remove(fTemp.File("p5.jpg"));
    list->ApplyChange({ChangeKind::ckFileRemoved, fTemp.File("p5.jpg"), {}});
    fTemp.Write("p6.jpg", std::string(1234, 'y'));
    list->ApplyChange({ChangeKind::ckModified, fTemp.File("p6.jpg"), {}});
    RunUntil(dispatcher, [&] { return list->DetailsComplete(); });
    ASSERT_EQ(list->Count(), count - 1);
    EXPECT_EQ(list->IndexOfPath(fTemp.File("p5.jpg")), -1);
    TListedRow facts;
    ASSERT_TRUE(list->RowFacts(list->IndexOfPath(fTemp.File("p6.jpg")), facts));
    EXPECT_EQ(facts.Size, 1234);
    // Listed again and again at once: only the last listing's worker counts.
    ASSERT_TRUE(list->Refresh());
    ASSERT_TRUE(list->Refresh());
    RunUntil(dispatcher, [&] { return list->DetailsComplete(); });
    EXPECT_TRUE(list->DetailsComplete());
    list.reset();
    // Whatever was still queued finds the list gone.
    dispatcher.RunPending();
}

// Hundreds of files made at once arrive in a few insertions, not one per
// file, and none is listed twice.
TEST_F(ListDetailsTest, ABurstOfNewFilesArrivesInFewSteps)
{
    TQueueDispatcher dispatcher;
    TDirChangeNotifier notifier(dispatcher, {.Delay = 50ms, .DelayCeiling = 5s});
    auto list = MakeList(&dispatcher, &notifier);
    TNotices notices;
    list->RegisterObserver(&notices);
    fTemp.Write("old", "1");
    ASSERT_TRUE(list->SetFolder(fTemp.Path()));
    constexpr int Made = 300;
    for (int i = 0; i < Made; ++i)
        fTemp.Write("new" + std::to_string(i), "1");
    RunUntil(dispatcher, [&] { return list->Count() >= Made + 1; });
    ASSERT_EQ(list->Count(), Made + 1);
    for (int i = 0; i < Made; ++i)
        EXPECT_GE(list->IndexOfPath(fTemp.File("new" + std::to_string(i))), 1);
    EXPECT_LT(notices.CountOf(TFileListChangeKind::fcInsert), Made / 10);
    list.reset();
}

}  // namespace
