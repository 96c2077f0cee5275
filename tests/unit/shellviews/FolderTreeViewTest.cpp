#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QMimeData>
#include <QTest>
#include <filesystem>

#include "base/PathUtils.h"
#include "collections/GroupFolder.h"
#include "collections/Shelf.h"
#include "shellviews/ui/FolderTreeView.h"
#include "shellviews/ui/ShellTreeItemModel.h"
#include "support/FakeBook.h"
#include "support/PumpEvents.h"

namespace {

using enum TTreeDiskChangeKind;

// Counts the complaints of Qt's model checker, which reports through warnings.
int gFailures = 0;
QtMessageHandler gPrevious = nullptr;

void CountFailures(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.contains(QStringLiteral("FAIL")))
        ++gFailures;
    if (gPrevious)
        gPrevious(type, context, text);
}

class TMessages : public TUserNotifier {
public:
    void ShowMessage(const std::string& text, TMessageIcon) override { Texts.push_back(text); }
    std::vector<std::string> Texts;
};

class FolderTreeViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fCore = fProgram.Start({}, TLoaders::ldShipped);
        TArchiveEnv env;
        env.Loaders = fCore->Registry().Snapshot();
        env.TempBase = IncludeTrailingPathDelimiter(fCore->TemporaryFolder());
        for (const char* folder : {"a/x", "c", "deep/inner"})
            std::filesystem::create_directories(Root() + folder);
        WriteZip(Root() + "book.zip", {{"p/1.fake", FakePage(1)}, {"q/2.fake", FakePage(2)}});
        fTree.SetArchiveEnv(env);
        fTree.Navigate = [this](const TTreePlace& place) {
            fShown.push_back(place);
            return !fRefuse;
        };
        fTree.SetRoot(Root());
        fTree.SetStyle(TShellStyle::ssFolder);
    }

    std::string Root() const { return fProgram.Tree.File("work/"); }
    // Shows view over the tree with the root open.
    void ShowWithRootOpen(TFolderTreeView& view)
    {
        view.SetTreeModel(&fModel);
        view.resize(300, 400);
        view.show();
        view.expand(fModel.index(0, 0));
    }
    QModelIndex Index(const std::vector<std::string>& texts)
    {
        QModelIndex index = fModel.index(0, 0);
        for (const std::string& text : texts) {
            if (fModel.canFetchMore(index))
                fModel.fetchMore(index);
            const QModelIndexList found = fModel.match(fModel.index(0, 0, index), Qt::DisplayRole,
                                                       QString::fromStdString(text), 1, Qt::MatchExactly);
            if (found.isEmpty())
                return {};
            index = found.front();
        }
        return index;
    }

    TFakeProgram fProgram;
    std::unique_ptr<TAppCore> fCore;
    TGroupList fShelves;
    TMessages fMessages;
    TShellTreeModel fTree{TShellTreeSources{nullptr, &fShelves, nullptr, nullptr, nullptr, nullptr}};
    TShellTreeItemModel fModel{fTree, nullptr, &fMessages};
    std::vector<TTreePlace> fShown;
    bool fRefuse = false;
};

TEST_F(FolderTreeViewTest, TheItemModelStaysConsistentThroughEveryKindOfChange)
{
    gFailures = 0;
    gPrevious = qInstallMessageHandler(CountFailures);
    {
        QAbstractItemModelTester tester(&fModel, QAbstractItemModelTester::FailureReportingMode::Warning);
        TFolderTreeView view;
        view.SetTreeModel(&fModel);
        view.expand(Index({"a"}));
        view.expand(Index({"book.zip"}));
        EXPECT_EQ(fModel.rowCount(Index({"book.zip"})), 2);

        std::filesystem::create_directories(Root() + "b");
        fTree.ApplyDiskChange({dcAdded, Root() + "b", {}});
        EXPECT_TRUE(Index({"b"}).isValid());
        // A rename that moves the node to the end of its siblings, with its
        // expanded children dropped.
        std::filesystem::rename(Root() + "a", Root() + "zz");
        fTree.ApplyDiskChange({dcRenamed, Root() + "a", Root() + "zz"});
        EXPECT_EQ(Index({"zz"}).row(), 3);
        std::filesystem::remove_all(Root() + "c");
        fTree.ApplyDiskChange({dcRemoved, Root() + "c", {}});
        EXPECT_FALSE(Index({"c"}).isValid());
        // Options that change the listing rebuild the tree.
        fTree.SetOptions({.ShowArchives = false});
        EXPECT_FALSE(Index({"book.zip"}).isValid());

        // The shelf tree moves rows at the top level.
        for (const char* name : {"S1", "S2", "S3"})
            AddPaths(*fShelves.Group(fShelves.Add(name, 0, "")), {Root() + "deep"});
        fTree.SetStyle(TShellStyle::ssGroup);
        view.expand(Index({"S1"}));
        const QPersistentModelIndex kept = Index({"S1"});
        fShelves.Sort(TCustomFolderList::SortByName, true);
        EXPECT_EQ(Index({"S1"}).row(), 2);
        // Indexes kept by the view (its expanded rows) move with their rows.
        EXPECT_EQ(QModelIndex(kept), Index({"S1"}));
        EXPECT_TRUE(view.isExpanded(Index({"S1"})));
        EXPECT_EQ(fModel.rowCount(Index({"S1"})), 1);
        fShelves.Delete(0);
        EXPECT_EQ(fModel.rowCount(fModel.index(0, 0)), 2);
    }
    qInstallMessageHandler(gPrevious);
    EXPECT_EQ(gFailures, 0);
}

TEST_F(FolderTreeViewTest, TheViewAsksTheTreeAndFollowsIt)
{
    TFolderTreeView view;
    view.SetTreeModel(&fModel);
    EXPECT_EQ(view.currentIndex(), fModel.index(0, 0));

    // A selection of the user goes to the file list.
    view.setCurrentIndex(Index({"c"}));
    ASSERT_EQ(fShown.size(), 1u);
    EXPECT_EQ(fShown[0].Path, Root() + "c/");
    EXPECT_EQ(fTree.Selected(), fModel.NodeAt(Index({"c"})));
    // The file list refuses: the view goes back.
    fRefuse = true;
    view.setCurrentIndex(Index({"a"}));
    EXPECT_EQ(view.currentIndex(), Index({"c"}));
    fRefuse = false;

    // The folder the node stood for goes: the tree moves on, the view with
    // it, and the file list is asked once.
    std::filesystem::remove_all(Root() + "c");
    fShown.clear();
    fTree.ApplyDiskChange({dcRemoved, Root() + "c", {}});
    EXPECT_EQ(fShown.size(), 1u);
    EXPECT_EQ(view.currentIndex(), fModel.index(0, 0));

    // Following the file list: expanded on the way, nothing asked.
    fShown.clear();
    fTree.FindPathNode(Root() + "deep/inner", true);
    EXPECT_EQ(view.currentIndex(), Index({"deep", "inner"}));
    EXPECT_TRUE(view.isExpanded(Index({"deep"})));
    EXPECT_TRUE(fShown.empty());

    // Without a handler Backspace selects the parent here.
    QTest::keyClick(&view, Qt::Key_Backspace);
    EXPECT_EQ(view.currentIndex(), Index({"deep"}));
    ASSERT_EQ(fShown.size(), 1u);
    EXPECT_EQ(fShown[0].Path, Root() + "deep/");

    std::vector<TTreeRequest> requests;
    view.OnRequest = [&](TTreeRequest request) { requests.push_back(request); };
    QTest::keyClick(&view, Qt::Key_F2);
    QTest::keyClick(&view, Qt::Key_Delete);
    QTest::keyClick(&view, Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(requests, (std::vector<TTreeRequest>{TTreeRequest::trRename, TTreeRequest::trDelete,
                                                   TTreeRequest::trProperties}));
}

TEST_F(FolderTreeViewTest, ARefusedRenameIsShownAfterTheEditEnds)
{
    TFolderTreeView view;
    view.SetTreeModel(&fModel);
    fTree.FindPathNode(Root() + "a/x", true);
    EXPECT_TRUE(fModel.flags(Index({"a"})) & Qt::ItemIsEditable);
    EXPECT_FALSE(fModel.setData(Index({"a"}), QStringLiteral("b")));
    EXPECT_TRUE(fMessages.Texts.empty());
    ASSERT_TRUE(PumpUntil([&] { return !fMessages.Texts.empty(); }));
    EXPECT_EQ(fMessages.Texts, std::vector<std::string>{"b への名称変更に失敗しました  "});

    EXPECT_TRUE(fModel.setData(Index({"c"}), QStringLiteral("d")));
    EXPECT_TRUE(Index({"d"}).isValid());
}

// Sends one drag event of Qt's kind to the rows' widget, as a drag does.
template <class TEvent>
void SendDrag(TFolderTreeView& view, const QPoint& point, const QMimeData& data)
{
    TEvent event(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view.viewport(), &event);
}

TEST_F(FolderTreeViewTest, ADragHighlightsTheNodeThatTakesItAndOpensTheNodeItRestsOn)
{
    TFolderTreeView view;
    ShowWithRootOpen(view);
    // Folder a takes the drop, c refuses it.
    view.OnDrop = [this](const QDropEvent&, const TTreeNode* node, bool) {
        return node && node == fModel.NodeAt(Index({"a"})) ? Qt::CopyAction : Qt::IgnoreAction;
    };
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(Root() + "c"))});
    const QModelIndex a = Index({"a"});
    const QModelIndex c = Index({"c"});
    ASSERT_TRUE(a.isValid() && c.isValid());
    const TDropFeedback& feedback = view.DropFeedback();
    // A drag the tree refuses at once (one from another program) leaves
    // nothing running: the tree hears no more of it.
    SendDrag<QDragEnterEvent>(view, view.visualRect(c).center(), data);
    EXPECT_FALSE(feedback.Timer().isActive());

    SendDrag<QDragEnterEvent>(view, view.visualRect(a).center(), data);
    SendDrag<QDragMoveEvent>(view, view.visualRect(a).center() + QPoint(1, 0), data);
    EXPECT_TRUE(feedback.Highlighted(a));
    EXPECT_TRUE(feedback.Timer().isActive());
    EXPECT_FALSE(view.isExpanded(a));
    // The resting time runs out: a opens one level, and stays open.
    view.DropFeedback().Rest();
    EXPECT_TRUE(view.isExpanded(a));
    EXPECT_FALSE(view.isExpanded(Index({"a", "x"})));
    view.DropFeedback().Rest();
    EXPECT_TRUE(view.isExpanded(a));

    // c refuses: nothing highlighted, but the time counts for c.
    SendDrag<QDragMoveEvent>(view, view.visualRect(c).center(), data);
    EXPECT_FALSE(feedback.Highlighted(a));
    EXPECT_FALSE(feedback.Highlighted(c));
    EXPECT_TRUE(feedback.Timer().isActive());
    // Below the last node the time stops.
    SendDrag<QDragMoveEvent>(view, QPoint(5, view.viewport()->height() - 2), data);
    EXPECT_FALSE(feedback.Timer().isActive());

    SendDrag<QDragMoveEvent>(view, view.visualRect(a).center(), data);
    EXPECT_TRUE(feedback.Highlighted(a));
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(view.viewport(), &leave);
    EXPECT_FALSE(feedback.Highlighted(a));
    EXPECT_FALSE(feedback.Timer().isActive());
}

// A drag that reorders the tree's nodes marks where the node goes instead:
// at the top of a node that takes it, under the last shown node below them
// all, nowhere over the node itself; it highlights and opens nothing.
TEST_F(FolderTreeViewTest, AReorderDragMarksWhereTheNodeGoes)
{
    TFolderTreeView view;
    ShowWithRootOpen(view);
    const QModelIndex a = Index({"a"});
    const QModelIndex c = Index({"c"});
    ASSERT_TRUE(a.isValid() && c.isValid());
    view.IsReorder = [](const QDropEvent&) { return true; };
    // c is the node dragged: it cannot go before itself.
    view.OnDrop = [&](const QDropEvent&, const TTreeNode* node, bool) {
        return node == fModel.NodeAt(c) ? Qt::IgnoreAction : Qt::MoveAction;
    };
    QMimeData data;
    SendDrag<QDragEnterEvent>(view, view.visualRect(a).center(), data);
    EXPECT_EQ(view.ReorderMarker(), view.visualRect(a).top());
    EXPECT_FALSE(view.DropFeedback().Highlighted(a));
    EXPECT_FALSE(view.DropFeedback().Timer().isActive());
    SendDrag<QDragMoveEvent>(view, view.visualRect(c).center(), data);
    EXPECT_EQ(view.ReorderMarker(), -1);

    // The root's last child, closed, is the last node shown.
    const QModelIndex last = Index({"book.zip"});
    ASSERT_TRUE(last.isValid());
    SendDrag<QDragMoveEvent>(view, QPoint(5, view.viewport()->height() - 2), data);
    EXPECT_EQ(view.ReorderMarker(), view.visualRect(last).bottom() + 1);
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(view.viewport(), &leave);
    EXPECT_EQ(view.ReorderMarker(), -1);
}

}  // namespace
