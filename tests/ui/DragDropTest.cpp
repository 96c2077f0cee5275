#include <gtest/gtest.h>

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "base/PathUtils.h"
#include "browser/DropRules.h"
#include "browser/FileCommands.h"
#include "browser/ui/DropController.h"
#include "browser/ui/FileDragData.h"
#include "loading/AcvUnit.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "shellviews/ShellTree.h"
#include "support/FakeBook.h"
#include "support/TempFolder.h"

namespace {

// Answers nothing and keeps what it was shown.
class TQuietHost : public TFileCommandHost {
public:
    std::vector<std::string> Told;
    bool Ask(const std::string&) override { return true; }
    void Tell(const std::string& text, TMessageIcon) override { Told.push_back(text); }
    TConflictAnswer AskConflict(const TConflict&) override { return TConflictAnswer::caSkip; }
    void PutFiles(const TClipFiles&) override {}
    std::optional<TClipFiles> Files() override { return std::nullopt; }
    void ClearFiles() override {}
    void PutText(const std::string&) override {}
    TTransferProgress* Progress() override { return nullptr; }
};

// Every file below folder, relative to it.
void ListFiles(const std::string& folder, const std::string& prefix, std::vector<std::string>& files)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (entry->d_type == DT_DIR)
            ListFiles(folder + name + "/", prefix + name + "/", files);
        else
            files.push_back(prefix + name);
    }
    ::closedir(dir);
}

TEST(FileDragData, CarriesThePathsAsLocalUrlsInOrder)
{
    const std::vector<std::string> paths = {"/tmp/b c.jpg", "/tmp/日本/a#1.png"};
    const TFileDragData data(paths);
    ASSERT_TRUE(data.hasUrls());
    std::vector<std::string> read;
    for (const QUrl& url : data.urls())
        read.push_back(url.toLocalFile().toStdString());
    EXPECT_EQ(read, paths);
    EXPECT_EQ(DroppedPaths(data), paths);
}

TEST(FileDragData, PreparesOnceOnlyWhenReadAndHandsNothingAfterAFailure)
{
    int runs = 0;
    const TFileDragData data({"/x"}, [&runs](std::vector<std::string>&) {
        ++runs;
        return std::string("ファイルの解凍に失敗しました  ");
    });
    EXPECT_TRUE(data.hasFormat("text/uri-list"));
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(DroppedPaths(data).empty());
    EXPECT_TRUE(data.urls().isEmpty());
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(data.Error(), "ファイルの解凍に失敗しました  ");
}

struct TFolderDropRow {
    const char* Case;
    Qt::KeyboardModifiers Modifiers;
    Qt::DropAction Action;
    bool SourcesStay;
};

class FolderDropTest : public testing::TestWithParam<TFolderDropRow> {};

TEST_P(FolderDropTest, DropsTwoFilesIntoTheFolder)
{
    const TFolderDropRow& row = GetParam();
    const TTempFolder temp;
    const std::vector<std::string> sources = {temp.Write("from/a.jpg", "aa"), temp.Write("from/b.jpg", "bbb")};
    ForceDirectories(temp.File("to"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(sources[0])),
                  QUrl::fromLocalFile(QString::fromStdString(sources[1]))});
    const QDropEvent event(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data, Qt::LeftButton,
                           row.Modifiers);
    const std::vector<std::string> dropped = DroppedPaths(*event.mimeData());
    const TDropEffect effect = FolderDropEffect(dropped, temp.File("to"), event.modifiers(), TDropEffects{}, false);
    EXPECT_EQ(ToDropAction(effect), row.Action) << row.Case;

    TTrash trash{TTrashSetup{temp.File("Trash/"), static_cast<uint32_t>(::getuid()), {}}};
    TQuietHost host;
    TFileCommands commands(trash, host);
    std::vector<std::string> told;
    EXPECT_TRUE(DropIntoFolder(commands, effect, dropped, temp.File("to"),
                               [&told](const std::string& text) { told.push_back(text); }));
    EXPECT_TRUE(host.Told.empty() && told.empty());
    EXPECT_EQ(temp.Read("to/a.jpg"), "aa") << row.Case;
    EXPECT_EQ(temp.Read("to/b.jpg"), "bbb") << row.Case;
    EXPECT_EQ(::access(sources[0].c_str(), F_OK) == 0, row.SourcesStay) << row.Case;
    EXPECT_EQ(::access(sources[1].c_str(), F_OK) == 0, row.SourcesStay) << row.Case;
}

INSTANTIATE_TEST_SUITE_P(Keys, FolderDropTest,
                         testing::Values(TFolderDropRow{"ctrl copies", Qt::ControlModifier, Qt::CopyAction, true},
                                         TFolderDropRow{"no key on one device moves", Qt::NoModifier,
                                                        Qt::MoveAction, false},
                                         TFolderDropRow{"ctrl+shift links", Qt::ControlModifier | Qt::ShiftModifier,
                                                        Qt::LinkAction, true}));

TEST(FolderDrop, RefusesAFolderDroppedIntoItsOwnChild)
{
    const TTempFolder temp;
    ForceDirectories(temp.File("top/child"));
    EXPECT_EQ(FolderDropEffect({temp.File("top")}, temp.File("top/child"), Qt::ControlModifier, TDropEffects{}, false),
              TDropEffect::deNone);
}

// A zip of members written under work/ and opened through the shipped
// plug-in, extracting below tmp/.
struct TDraggedBook {
    TDraggedBook(const std::string& name, const std::vector<std::pair<std::string, std::string>>& members)
        : Core(Program.Start({}, TLoaders::ldShipped))
    {
        const std::string book = Program.Tree.File("work/" + name);
        ForceDirectories(ExtractFilePath(book));
        WriteZip(book, members);
        Env.Loaders = Core->Registry().Snapshot();
        Env.TempBase = Program.Tree.File("tmp/");
        ForceDirectories(Env.TempBase);
        Archive = OpenArchive(Env, book);
    }
    TFakeProgram Program;
    std::unique_ptr<TAppCore> Core;
    TArchiveEnv Env;
    TArchiverPtr Archive;
};

TEST(ArchiveDrag, WritesExactlyTheDraggedMemberWhenTheTargetReads)
{
    TDraggedBook dragged("book.cbz", {{"01.jpg", "first"}, {"sub/02.jpg", "second page"}, {"sub/03.jpg", "third"}});
    const TArchiverPtr& archive = dragged.Archive;
    const TArchiveEnv& env = dragged.Env;
    ASSERT_TRUE(archive);

    const TFileDragData data({}, [archive](std::vector<std::string>& paths) {
        return ExtractDragged(*archive, {"sub/02.jpg"}, paths);
    });
    std::vector<std::string> written;
    ListFiles(env.TempBase, "", written);
    EXPECT_TRUE(written.empty()) << "nothing is written before the drop";

    const std::vector<std::string> paths = DroppedPaths(data);
    ASSERT_EQ(paths.size(), 1U);
    EXPECT_EQ(ReadWholeFile(paths[0]), "second page");
    EXPECT_TRUE(paths[0].starts_with(env.TempBase));
    written.clear();
    ListFiles(env.TempBase, "", written);
    ASSERT_EQ(written.size(), 1U);
    EXPECT_TRUE(written[0].ends_with("sub/02.jpg")) << written[0];
}

TEST(ArchiveDrag, AFolderBringsEveryFileBelowIt)
{
    TDraggedBook dragged("book.zip", {{"01.jpg", "first"}, {"sub/02.jpg", "2"}, {"sub/deep/03.jpg", "3"}});
    const TArchiverPtr& archive = dragged.Archive;
    ASSERT_TRUE(archive);
    std::vector<std::string> paths;
    ASSERT_EQ(ExtractDragged(*archive, {"sub/"}, paths), "");
    ASSERT_EQ(paths.size(), 1U);
    std::vector<std::string> below;
    ListFiles(IncludeTrailingPathDelimiter(paths[0]), "", below);
    std::ranges::sort(below);
    EXPECT_EQ(below, (std::vector<std::string>{"02.jpg", "deep/03.jpg"}));
}

TTreePlace ArchivePlace(const std::string& archive, const std::string& inside)
{
    TTreePlace place;
    place.Kind = TTreePlaceKind::tpArchive;
    place.Path = archive;
    place.ArchiveFolder = inside;
    return place;
}

// A tree node inside an archive drags one path: its content, written out
// when the target reads the drag. Files are listed below the path given.
struct TNodeDragRow {
    const char* Name;
    std::string ArchiveFolder;
    std::vector<std::string> Below;  // files below the offered folder; empty: the path is a file
    std::string Content;             // the offered file's bytes, for a file
};

class ArchiveNodeDragTest : public ::testing::TestWithParam<TNodeDragRow> {};

TEST_P(ArchiveNodeDragTest, OffersTheNodesContentWrittenOutOnlyWhenRead)
{
    const TTempFolder inner;
    WriteZip(inner.File("in.zip"), {{"x/09.jpg", "nine"}, {"y/10.jpg", "ten"}});
    const std::string innerBytes = ReadWholeFile(inner.File("in.zip"));
    TDraggedBook dragged("book.zip", {{"01.jpg", "first"},
                                      {"sub/02.jpg", "2"},
                                      {"sub/deep/03.jpg", "3"},
                                      {"inner/in.zip", innerBytes}});
    ASSERT_TRUE(dragged.Archive);
    const TNodeDragRow& row = GetParam();
    const TTreePlace place = ArchivePlace(dragged.Archive->FileName(), row.ArchiveFolder);
    std::unique_ptr<TFileDragData> data(NewArchiveNodeDrag(dragged.Env, place, nullptr));
    ASSERT_TRUE(data);
    std::vector<std::string> written;
    ListFiles(dragged.Env.TempBase, "", written);
    EXPECT_TRUE(written.empty()) << "nothing is written before the drop";

    const std::vector<std::string> paths = DroppedPaths(*data);
    EXPECT_EQ(data->Error(), "");
    ASSERT_EQ(paths.size(), 1U);
    EXPECT_TRUE(paths[0].starts_with(dragged.Env.TempBase)) << paths[0];
    if (row.Below.empty()) {
        EXPECT_EQ(ReadWholeFile(paths[0]), row.Content);
        return;
    }
    std::vector<std::string> below;
    ListFiles(IncludeTrailingPathDelimiter(paths[0]), "", below);
    std::ranges::sort(below);
    EXPECT_EQ(below, row.Below);
}

INSTANTIATE_TEST_SUITE_P(
    Nodes, ArchiveNodeDragTest,
    ::testing::Values(TNodeDragRow{"AFolder", "sub/", {"02.jpg", "deep/03.jpg"}, ""},
                      TNodeDragRow{"ADeeperFolder", "sub/deep/", {"03.jpg"}, ""},
                      TNodeDragRow{"AFolderOfAnInnerArchive", "inner/in.zip//x/", {"09.jpg"}, ""}),
    [](const ::testing::TestParamInfo<TNodeDragRow>& info) { return std::string(info.param.Name); });

TEST(ArchiveNodeDrag, AnInnerArchiveArrivesAsItsFileAndATopDragsAsTheArchiveFile)
{
    const TTempFolder inner;
    WriteZip(inner.File("in.zip"), {{"x/09.jpg", "nine"}});
    const std::string innerBytes = ReadWholeFile(inner.File("in.zip"));
    TDraggedBook dragged("book.zip", {{"inner/in.zip", innerBytes}});
    ASSERT_TRUE(dragged.Archive);
    TTreePlace place = ArchivePlace(dragged.Archive->FileName(), "");
    EXPECT_EQ(NewArchiveNodeDrag(dragged.Env, place, nullptr), nullptr);

    place.ArchiveFolder = "inner/in.zip";
    std::unique_ptr<TFileDragData> data(NewArchiveNodeDrag(dragged.Env, place, dragged.Archive));
    ASSERT_TRUE(data);
    const std::vector<std::string> paths = DroppedPaths(*data);
    ASSERT_EQ(paths.size(), 1U);
    EXPECT_EQ(ReadWholeFile(paths[0]), innerBytes);
}

TEST(ArchiveNodeDrag, AnArchiveThatCannotBeReadGivesItsMessageAndNoPaths)
{
    TDraggedBook dragged("book.zip", {{"sub/02.jpg", "2"}});
    const TTreePlace place = ArchivePlace(dragged.Program.Tree.File("work/gone.zip"), "sub/");
    std::unique_ptr<TFileDragData> data(NewArchiveNodeDrag(dragged.Env, place, nullptr));
    ASSERT_TRUE(data);
    EXPECT_TRUE(DroppedPaths(*data).empty());
    EXPECT_NE(data->Error(), "");
}

}  // namespace
