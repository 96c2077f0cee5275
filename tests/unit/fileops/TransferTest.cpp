#include <gtest/gtest.h>
#include <unistd.h>

#include <deque>

#include "fileops/FileTransfer.h"
#include "fileops/FileUndo.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace {

// Answers the conflict questions from a script and remembers what it was
// asked.
class TScriptedAsker : public TConflictAsker {
public:
    explicit TScriptedAsker(std::deque<TConflictAnswer> answers) : fAnswers(std::move(answers)) {}
    TConflictAnswer AskConflict(const TConflict& conflict) override
    {
        Asked.push_back(conflict.Target);
        if (fAnswers.empty())
            return TConflictAnswer::caCancel;
        const TConflictAnswer answer = fAnswers.front();
        fAnswers.pop_front();
        return answer;
    }
    std::vector<std::string> Asked;

private:
    std::deque<TConflictAnswer> fAnswers;
};

struct TransferFixture : ::testing::Test {
    TTempFolder temp;
    TTrash trash{[this] {
        TTrashSetup setup;
        setup.HomeTrash = temp.File("Trash/");
        setup.Uid = static_cast<uint32_t>(::getuid());
        return setup;
    }()};
    TFileUndo undo;

    TTransferResult Run(TTransferMode mode, std::vector<std::string> sources, const std::string& folder,
                        TConflictAsker* asker = nullptr)
    {
        TFileTransfer transfer(&trash, asker, nullptr);
        TTransferResult result = transfer.Run(mode, sources, temp.File(folder));
        undo.Push({mode == TTransferMode::tmCopy ? TUndoKind::ukCopy : TUndoKind::ukMove, {}, result.Steps, "", ""});
        return result;
    }
};

TEST_F(TransferFixture, CopyOfATreeAndItsUndo)
{
    temp.Write("src/book/p1.jpg", "1");
    temp.Write("src/book/sub/p2.jpg", "22");
    ForceDirectories(temp.File("dst"));
    const TTransferResult result = Run(TTransferMode::tmCopy, {temp.File("src/book")}, "dst");
    EXPECT_TRUE(result.Errors.empty());
    EXPECT_EQ(temp.Read("dst/book/sub/p2.jpg"), "22");
    EXPECT_EQ(temp.Read("src/book/p1.jpg"), "1");
    // Nothing half-made is left beside the copies.
    EXPECT_EQ(ListDirectory(temp.File("dst/book/")).size(), 2u);
    undo.Undo(trash);
    EXPECT_FALSE(PathExists(temp.File("dst/book")));
    EXPECT_EQ(temp.Read("src/book/sub/p2.jpg"), "22");
}

TEST_F(TransferFixture, UndoOfACopyKeepsAFileChangedSince)
{
    temp.Write("src/a.txt", "a");
    ForceDirectories(temp.File("dst"));
    Run(TTransferMode::tmCopy, {temp.File("src/a.txt")}, "dst");
    ASSERT_TRUE(DeleteFile(temp.File("dst/a.txt")));
    temp.Write("dst/a.txt", "the user's own");
    const TUndoResult result = undo.Undo(trash);
    EXPECT_EQ(result.Errors.size(), 1u);
    EXPECT_EQ(temp.Read("dst/a.txt"), "the user's own");
}

TEST_F(TransferFixture, MoveAndItsUndo)
{
    temp.Write("src/a.txt", "a");
    temp.Write("src/f/b.txt", "b");
    ForceDirectories(temp.File("dst"));
    Run(TTransferMode::tmMove, {temp.File("src/a.txt"), temp.File("src/f")}, "dst");
    EXPECT_FALSE(PathExists(temp.File("src/a.txt")));
    EXPECT_EQ(temp.Read("dst/f/b.txt"), "b");
    undo.Undo(trash);
    EXPECT_EQ(temp.Read("src/a.txt"), "a");
    EXPECT_EQ(temp.Read("src/f/b.txt"), "b");
    EXPECT_FALSE(PathExists(temp.File("dst/f")));
}

TEST_F(TransferFixture, CopyIntoItsOwnFolderTakesAFreeNameAndAFolderNeverGoesIntoItself)
{
    temp.Write("d/a.jpg", "a");
    temp.Write("d/a (2).jpg", "other");
    const TTransferResult same = Run(TTransferMode::tmCopy, {temp.File("d/a.jpg")}, "d");
    EXPECT_EQ(temp.Read("d/a (3).jpg"), "a");
    EXPECT_EQ(temp.Read("d/a (2).jpg"), "other");
    const TTransferResult into = Run(TTransferMode::tmMove, {temp.File("d")}, "d/");
    EXPECT_EQ(into.Errors.size(), 1u);
    EXPECT_EQ(temp.Read("d/a.jpg"), "a");
    // The same folder through a link: never "replaced" by itself.
    ASSERT_EQ(::symlink(temp.File("d").c_str(), temp.File("alias").c_str()), 0);
    TScriptedAsker asker({TConflictAnswer::caReplaceAll});
    const TTransferResult self = Run(TTransferMode::tmMove, {temp.File("d/a.jpg")}, "alias", &asker);
    EXPECT_EQ(self.Errors.size(), 1u);
    EXPECT_EQ(temp.Read("d/a.jpg"), "a");
    EXPECT_TRUE(asker.Asked.empty());
}

struct ConflictCase {
    const char* Name;
    TTransferMode Mode;
    std::deque<TConflictAnswer> Answers;
    const char* TargetA;  // dst/a.txt afterwards
    const char* TargetB;  // dst/b.txt afterwards
    bool SourceAStays;
    bool Cancelled;
};

struct ConflictTest : TransferFixture, ::testing::WithParamInterface<ConflictCase> {};

TEST_P(ConflictTest, OnlyWhatTheUserChoseIsReplacedAndUndoBringsItBack)
{
    const ConflictCase& c = GetParam();
    temp.Write("src/a.txt", "new a");
    temp.Write("src/b.txt", "new b");
    temp.Write("dst/a.txt", "old a");
    temp.Write("dst/b.txt", "old b");
    TScriptedAsker asker(c.Answers);
    const TTransferResult result =
        Run(c.Mode, {temp.File("src/a.txt"), temp.File("src/b.txt")}, "dst", &asker);
    EXPECT_EQ(temp.Read("dst/a.txt"), c.TargetA);
    EXPECT_EQ(temp.Read("dst/b.txt"), c.TargetB);
    EXPECT_EQ(PathExists(temp.File("src/a.txt")), c.SourceAStays);
    EXPECT_EQ(result.Cancelled, c.Cancelled);
    undo.Undo(trash);
    EXPECT_EQ(temp.Read("dst/a.txt"), "old a");
    EXPECT_EQ(temp.Read("dst/b.txt"), "old b");
    EXPECT_EQ(temp.Read("src/a.txt"), "new a");
    EXPECT_EQ(temp.Read("src/b.txt"), "new b");
}

using enum TConflictAnswer;
using enum TTransferMode;
INSTANTIATE_TEST_SUITE_P(
    Answers, ConflictTest,
    ::testing::Values(ConflictCase{"SkipBoth", tmCopy, {caSkip, caSkip}, "old a", "old b", true, false},
                      ConflictCase{"ReplaceOne", tmCopy, {caReplace, caSkip}, "new a", "old b", true, false},
                      ConflictCase{"ReplaceAll", tmMove, {caReplaceAll}, "new a", "new b", false, false},
                      ConflictCase{"SkipAll", tmMove, {caSkipAll}, "old a", "old b", true, false},
                      ConflictCase{"MoveReplaceThenCancel", tmMove, {caReplace, caCancel}, "new a", "old b",
                                   false, true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(TransferFixture, FolderOntoFolderMergesAndAsksOnlyForTheFile)
{
    temp.Write("src/f/a.txt", "new");
    temp.Write("src/f/c.txt", "c");
    temp.Write("dst/f/a.txt", "old");
    TScriptedAsker asker({caSkip});
    Run(tmMove, {temp.File("src/f")}, "dst", &asker);
    EXPECT_EQ(asker.Asked, std::vector<std::string>{temp.File("dst/f/a.txt")});
    EXPECT_EQ(temp.Read("dst/f/c.txt"), "c");
    EXPECT_EQ(temp.Read("dst/f/a.txt"), "old");
    // The skipped file stays with its folder.
    EXPECT_EQ(temp.Read("src/f/a.txt"), "new");
    EXPECT_FALSE(PathExists(temp.File("src/f/c.txt")));
}

TEST_F(TransferFixture, UndoOfTrashRenameAndNewFolder)
{
    const std::string file = temp.Write("d/a.txt", "a");
    undo.Push({TUndoKind::ukTrash, {trash.Trash(file)}, {}, "", ""});
    RenameFile(temp.Write("d/b.txt", "b"), temp.File("d/c.txt"));
    undo.Push({TUndoKind::ukRename, {}, {}, temp.File("d/b.txt"), temp.File("d/c.txt")});
    ForceDirectories(temp.File("d/新しいフォルダ"));
    undo.Push({TUndoKind::ukNewFolder, {}, {}, "", temp.File("d/新しいフォルダ")});

    undo.Undo(trash);
    EXPECT_FALSE(PathExists(temp.File("d/新しいフォルダ")));
    undo.Undo(trash);
    EXPECT_EQ(temp.Read("d/b.txt"), "b");
    EXPECT_FALSE(PathExists(temp.File("d/c.txt")));
    undo.Undo(trash);
    EXPECT_EQ(temp.Read("d/a.txt"), "a");
    EXPECT_FALSE(undo.CanUndo());
}

}  // namespace
