#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "browser/FileCommands.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace {

// Answers every question as told and keeps what it was asked and shown; the
// clipboard is a member.
class TFakeHost : public TFileCommandHost {
public:
    bool Answer = true;
    std::vector<std::string> Asked, Told;
    std::optional<TClipFiles> Clip;
    std::string Text;

    bool Ask(const std::string& text) override
    {
        Asked.push_back(text);
        return Answer;
    }
    void Tell(const std::string& text, TMessageIcon) override { Told.push_back(text); }
    TConflictAnswer AskConflict(const TConflict&) override { return TConflictAnswer::caSkip; }
    void PutFiles(const TClipFiles& files) override { Clip = files; }
    std::optional<TClipFiles> Files() override { return Clip; }
    void ClearFiles() override { Clip.reset(); }
    void PutText(const std::string& text) override { Text = text; }
    TTransferProgress* Progress() override { return nullptr; }
};

struct FileCommandsFixture : ::testing::Test {
    TTempFolder temp;
    TTrash trash{TTrashSetup{temp.File("Trash/"), static_cast<uint32_t>(::getuid()), {}}};
    TFakeHost host;
    TFileCommands commands{trash, host};
};

TEST_F(FileCommandsFixture, DeleteAsksByWhereTheFilesGoAndCancelKeepsThem)
{
    struct Row {
        TDeleteOptions Options;
        bool Answer;
        bool Gone;
        bool Undoable;
        size_t Questions;
    };
    const Row rows[] = {
        {{false, true}, false, false, false, 1}, {{false, true}, true, true, true, 1},
        {{true, true}, false, true, true, 0},    {{false, false}, true, true, false, 1},
    };
    for (const Row& row : rows) {
        const std::string file = temp.Write("d/a.txt", "a");
        TFileCommands fresh(trash, host);
        host.Asked.clear();
        host.Answer = row.Answer;
        fresh.Delete({file}, row.Options);
        EXPECT_EQ(!PathExists(file), row.Gone);
        EXPECT_EQ(fresh.CanUndo(), row.Undoable);
        ASSERT_EQ(host.Asked.size(), row.Questions);
        if (row.Questions) {
            EXPECT_EQ(host.Asked[0], TFileCommands::DeleteQuestion(row.Options.ToTrash));
        }
    }
}

TEST_F(FileCommandsFixture, NewFolderThatCannotBeMadeIsToldAndKeepsNoUndo)
{
    ForceDirectories(temp.File("here"));
    temp.Write("file", "x");
    // A file where the folder would go cannot hold a folder, whoever runs.
    EXPECT_EQ(commands.NewFolder(temp.File("file")), "");
    EXPECT_EQ(host.Told, std::vector<std::string>{"フォルダが作成できませんでした  "});
    EXPECT_FALSE(commands.CanUndo());
    EXPECT_EQ(commands.NewFolder(temp.File("here")), temp.File("here/新しいフォルダ"));
    EXPECT_TRUE(DirectoryExists(temp.File("here/新しいフォルダ")));
    EXPECT_TRUE(commands.Undo());
    EXPECT_FALSE(PathExists(temp.File("here/新しいフォルダ")));
}

TEST_F(FileCommandsFixture, CutPasteMovesOnceAndRenameRefusesToReplace)
{
    const std::string file = temp.Write("src/a.txt", "a");
    ForceDirectories(temp.File("dst"));
    commands.PutOnClipboard({file}, TClipOperation::coCut);
    EXPECT_TRUE(commands.Paste(temp.File("dst")));
    EXPECT_EQ(temp.Read("dst/a.txt"), "a");
    EXPECT_FALSE(host.Clip.has_value());
    EXPECT_FALSE(commands.Paste(temp.File("src")));

    temp.Write("dst/b.txt", "b");
    EXPECT_EQ(commands.Rename(temp.File("dst/a.txt"), "b.txt"), "");
    EXPECT_EQ(temp.Read("dst/b.txt"), "b");
    EXPECT_EQ(commands.Rename(temp.File("dst/a.txt"), "../x"), "");
    EXPECT_EQ(host.Told.size(), 2u);
    EXPECT_TRUE(commands.Undo());  // the move
    EXPECT_EQ(temp.Read("src/a.txt"), "a");
}

TEST_F(FileCommandsFixture, UndoOfARenameTellsWhereThePathWentBack)
{
    ForceDirectories(temp.File("old"));
    std::vector<std::pair<std::string, std::string>> back;
    commands.OnRenamedBack = [&back](const std::string& from, const std::string& to) { back.emplace_back(from, to); };
    ASSERT_EQ(commands.Rename(temp.File("old"), "new"), temp.File("new"));
    ASSERT_TRUE(commands.Undo());
    EXPECT_TRUE(DirectoryExists(temp.File("old")));
    EXPECT_EQ(back, (std::vector<std::pair<std::string, std::string>>{{temp.File("new"), temp.File("old")}}));

    // A rename that cannot be taken back (the old name is taken meanwhile)
    // tells nothing; neither does the undo of anything else.
    ASSERT_EQ(commands.Rename(temp.File("old"), "new"), temp.File("new"));
    ForceDirectories(temp.File("old"));
    ASSERT_TRUE(commands.Undo());
    ForceDirectories(temp.File("here"));
    ASSERT_FALSE(commands.NewFolder(temp.File("here")).empty());
    ASSERT_TRUE(commands.Undo());
    EXPECT_EQ(back.size(), 1u);
}

}  // namespace
