#include <gtest/gtest.h>

#include "StartFixture.h"
#include "app/OpenPath.h"

namespace {

// Records what OpenPath asks the window to do, as one line of calls.
class TRecordingView : public TPlaceView {
public:
    TShownPlace Shown;
    std::string SingleFolder;
    bool FolderOpens = true;
    bool ArchiveOpens = true;
    std::string Calls;

    TShownPlace ShownPlace() const override { return Shown; }
    void SetPendingSelection(const TPendingSelection& selection) override
    {
        Record("pending(" + selection.FilePath + "|" + selection.ArchiveFileName + ")");
    }
    bool ShowFolder(const std::string& folder) override
    {
        Record("folder(" + folder + ")");
        return FolderOpens;
    }
    bool ShowArchive(const std::string& archivePath, const std::string& innerFolder) override
    {
        Record("archive(" + archivePath + "|" + innerFolder + ")");
        return ArchiveOpens;
    }
    bool SelectAndShow(const std::string& name) override
    {
        Record("select(" + name + ")");
        return true;
    }
    void ShowFirstImage() override { Record("first"); }
    std::string SingleTopFolder() const override { return SingleFolder; }

private:
    void Record(const std::string& call) { Calls += (Calls.empty() ? "" : " ") + call; }
};

TShownPlace Folder(const char* folder)
{
    return TShownPlace{TPlaceKind::pkFolder, folder, "", ""};
}

TShownPlace Shelf(const char* folder)
{
    return TShownPlace{TPlaceKind::pkCollection, folder, "", ""};
}

TShownPlace Archive(const char* archive, const char* inner)
{
    return TShownPlace{TPlaceKind::pkArchive, "", archive, inner};
}

struct TRouteCase {
    const char* Name;
    TPathInfo Info;
    TShownPlace Shown;
    const char* Expected;  // the calls, in order
    bool Result = true;
    TOpenOptions Options = {};
    const char* SingleFolder = "";
    bool Opens = true;  // ShowFolder and ShowArchive succeed
};

class OpenPathRouteTest : public ::testing::TestWithParam<TRouteCase> {};

TEST_P(OpenPathRouteTest, Routes)
{
    const TRouteCase& row = GetParam();
    TRecordingView view;
    view.Shown = row.Shown;
    view.SingleFolder = row.SingleFolder;
    view.FolderOpens = view.ArchiveOpens = row.Opens;
    EXPECT_EQ(OpenPathInfo(row.Info, row.Options, view), row.Result);
    EXPECT_EQ(view.Calls, row.Expected);
}

TRouteCase OpenFolderOn(TRouteCase row)
{
    row.Options.ListOpenFolder = true;
    return row;
}

TRouteCase SubFolderOff(TRouteCase row)
{
    row.Options.ArchiveOpenSubFolder = false;
    return row;
}

TRouteCase Failing(TRouteCase row)
{
    row.Opens = false;
    row.Result = false;
    return row;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Folders, OpenPathRouteTest,
    ::testing::Values(
        TRouteCase{"NothingResolved", {}, {}, "", false},
        TRouteCase{"FolderNotShown", {"", "/a/", ""}, Folder("/b/"), "folder(/a/)"},
        Failing({"FolderThatCannotBeListed", {"", "/a/", ""}, {}, "folder(/a/)"}),
        TRouteCase{"FolderShownAlready", {"", "/a/", ""}, Folder("/a/"), ""},
        OpenFolderOn({"FolderShownShowsItsFirstPicture", {"", "/a/", ""}, Folder("/a/"), "first"}),
        OpenFolderOn({"FolderShownAsAShelfGoesToTheFolder", {"", "/a/", ""}, Shelf("/a/"), "folder(/a/) first"}),
        TRouteCase{"FolderShownWithoutSeparator", {"", "/a/", ""}, Folder("/a"), ""},
        TRouteCase{"FolderNamesKeepTheirCase", {"", "/a/", ""}, Folder("/A/"), "folder(/a/)"}),
    [](const auto& info) { return std::string(info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    Files, OpenPathRouteTest,
    ::testing::Values(
        TRouteCase{"FileInAnotherFolder", {"", "/a/", "p.jpg"}, Folder("/b/"), "pending(/a/p.jpg|) folder(/a/)"},
        Failing({"FileInAFolderThatCannotBeListed", {"", "/a/", "p.jpg"}, {}, "pending(/a/p.jpg|) folder(/a/)"}),
        TRouteCase{"FileInTheShownFolder", {"", "/a/", "p.jpg"}, Folder("/a/"), "select(/a/p.jpg)"},
        TRouteCase{"FileInTheFolderOfAShelf", {"", "/a/", "p.jpg"}, Shelf("/a/"), "folder(/a/) select(/a/p.jpg)"},
        TRouteCase{"FileWhileAnArchiveIsShown", {"", "/a/", "p.jpg"}, Archive("/a/x.zip", ""),
                   "pending(/a/p.jpg|) folder(/a/)"}),
    [](const auto& info) { return std::string(info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    Archives, OpenPathRouteTest,
    ::testing::Values(
        TRouteCase{"ArchiveNotOpen", {"/a/b.zip", "dir/", "dir/p.jpg"}, Folder("/a/"),
                   "pending(|dir/p.jpg) archive(/a/b.zip|dir/)"},
        Failing({"ArchiveThatCannotBeOpened", {"/a/b.zip", "", "p.jpg"}, {}, "pending(|p.jpg) archive(/a/b.zip|)"}),
        TRouteCase{"ArchiveOpenAtTheSameFolder", {"/a/b.zip", "dir/", "dir/p.jpg"}, Archive("/a/b.zip", "dir/"),
                   "select(dir/p.jpg)"},
        TRouteCase{"ArchiveOpenAtTheSameFolderNoFile", {"/a/b.zip", "dir/", ""}, Archive("/a/b.zip", "dir/"), ""},
        TRouteCase{"ArchiveOpenAtAnotherFolder", {"/a/b.zip", "dir/", "dir/p.jpg"}, Archive("/a/b.zip", "other/"),
                   "pending(|dir/p.jpg) archive(/a/b.zip|dir/)"},
        TRouteCase{"ArchiveNamesKeepTheirCase", {"/a/b.zip", "", "p.jpg"}, Archive("/a/B.zip", ""),
                   "pending(|p.jpg) archive(/a/b.zip|)"},
        TRouteCase{"TopWithOneFolderOpensIt", {"/a/b.zip", "", "p.jpg"}, Archive("/a/b.zip", ""),
                   "archive(/a/b.zip|only/)", true, {}, "only/"},
        SubFolderOff({"TopWithOneFolderStaysWhenAskedTo", {"/a/b.zip", "", "p.jpg"}, Archive("/a/b.zip", ""),
                      "select(p.jpg)", true, {}, "only/"}),
        TRouteCase{"TopWithSeveralItemsStays", {"/a/b.zip", "", "p.jpg"}, Archive("/a/b.zip", ""), "select(p.jpg)"},
        TRouteCase{"InnerFolderAskedForIsNotTheTop", {"/a/b.zip", "dir/", "dir/p.jpg"}, Archive("/a/b.zip", ""),
                   "pending(|dir/p.jpg) archive(/a/b.zip|dir/)", true, {}, "only/"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(OpenPath, EmptyPathOpensNothing)
{
    TStartTree tree;
    TRecordingView view;
    EXPECT_FALSE(OpenPath("", tree.Context(), {}, view));
    EXPECT_EQ(view.Calls, "");
}

TEST(OpenPath, ResolvesFirst)
{
    TStartTree tree;
    TRecordingView view;
    EXPECT_TRUE(OpenPath(tree.Expand("{W}outer.zip/dir/p.jpg"), tree.Context(), {}, view));
    EXPECT_EQ(view.Calls, tree.Expand("pending(|dir/p.jpg) archive({W}outer.zip|dir/)"));
}
