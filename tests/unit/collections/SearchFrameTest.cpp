#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <chrono>

#include "base/QueueDispatcher.h"
#include "collections/SearchCache.h"
#include "collections/ui/SearchFrame.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace {

struct TPanel {
    TQueueDispatcher Dispatcher;
    TGroupList Shelves;
    TSearchFolder Folder{Dispatcher, &Shelves};
    TTempFolder Home;
    TSearchCacheStore Store{Home.Path()};
    TSearchFrame Frame{Folder, &Shelves, &Store};
    std::vector<std::string> Messages;
    int Finished = 0;

    TPanel()
    {
        Frame.OnMessage = [this](const std::string& text) { Messages.push_back(text); };
        Frame.OnFinished = [this] { ++Finished; };
    }
    void Pump()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (Folder.Searching() && std::chrono::steady_clock::now() < deadline)
            Dispatcher.RunOne(std::chrono::steady_clock::now() + std::chrono::milliseconds(100));
        Dispatcher.RunPending();
    }
};

TEST(SearchFrame, SearchesTheTargetsAndKeepsTheNameOnTopOfItsHistory)
{
    TTempFolder temp;
    temp.Write("pics/cat.jpg", "x");
    temp.Write("pics/sub/cat2.jpg", "x");
    temp.Write("pics/dog.jpg", "x");
    TPanel panel;
    TSearchHistory history;
    history.Push("dog", 10);
    panel.Frame.SetHistory(history, 10);
    TSearchPanelSettings settings;
    settings.SubFolder = true;
    panel.Frame.SetSettings(settings);
    panel.Frame.SetTargets({{TSearchTargetKind::tkFolder, temp.File("pics"), true}});
    panel.Frame.NameBox()->setEditText("  cat ");
    panel.Frame.SearchButton()->click();
    panel.Pump();
    EXPECT_EQ(panel.Finished, 1);
    EXPECT_EQ(panel.Folder.Count(), 2);
    EXPECT_EQ(panel.Frame.History().Items(), (std::vector<std::string>{"cat", "dog"}));
    EXPECT_EQ(panel.Frame.NameBox()->itemText(0).toStdString(), "cat");
    EXPECT_TRUE(panel.Messages.empty());
}

TEST(SearchFrame, SaysSoWhenNoTargetLeadsAnywhere)
{
    TTempFolder temp;
    TPanel panel;
    panel.Frame.SetTargets({{TSearchTargetKind::tkFolder, temp.File("gone"), true},
                            {TSearchTargetKind::tkShelf, "Nowhere", true}});
    EXPECT_FALSE(panel.Frame.Search());
    EXPECT_EQ(panel.Messages, (std::vector<std::string>{std::string(TSearchFolder::NoTargetText)}));
}

TEST(SearchFrame, AFilledCacheIsKeptAcrossRunsWhenAsked)
{
    TTempFolder temp;
    temp.Write("pics/a.jpg", "x");
    TPanel panel;
    TSearchPanelSettings settings;
    settings.Fix = true;
    settings.Targets = {{TSearchTargetKind::tkFolder, temp.File("pics"), true}};
    settings.Cache = true;
    settings.SaveCache = true;
    settings.Detail = true;  // kept while the panel itself is hidden
    panel.Frame.SetSettings(settings);
    EXPECT_EQ(panel.Frame.Settings(), settings);
    ASSERT_TRUE(panel.Frame.Search());
    panel.Pump();
    ASSERT_TRUE(PathExists(panel.Store.FilePath()));
    ASSERT_GT(panel.Folder.CacheCount(), 0);

    // The next run reads it back, and only while keeping it is on.
    for (const bool keep : {true, false}) {
        TSearchFolder folder{panel.Dispatcher, &panel.Shelves};
        TSearchFrame frame{folder, &panel.Shelves, &panel.Store};
        TSearchPanelSettings next = settings;
        next.SaveCache = keep;
        frame.SetSettings(next);
        frame.RestoreCache();
        EXPECT_EQ(folder.CacheCount(), keep ? panel.Folder.CacheCount() : 0) << keep;
    }
}

}  // namespace
