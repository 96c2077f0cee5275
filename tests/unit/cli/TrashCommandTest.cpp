// mireva-cli trash, run as a user runs it, with a home trash of the test's
// own: what it prints, where the file goes and how it comes back.

#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "RunCli.h"
#include "support/TempFolder.h"

namespace {

class TrashCli : public ::testing::Test {
protected:
    TCliRun Run(const std::string& arguments)
    {
        return RunProgram(fFolder.Path(), "XDG_DATA_HOME='" + fFolder.File("xdg") + "' '" MIREVA_BIN_DIR
                                          "/mireva-cli' trash " + arguments);
    }
    TTempFolder fFolder;
};

TEST_F(TrashCli, TrashListAndRestoreThroughTheSameTrash)
{
    fFolder.Write("d/a b.txt", "x");
    const TCliRun trashed = Run("'d/a b.txt' d/missing");
    EXPECT_EQ(trashed.ExitCode, 1);
    EXPECT_EQ(trashed.Out, "trashed " + fFolder.File("d/a b.txt") + " -> " + fFolder.File("xdg/Trash/files/a b.txt") +
                               "\n");
    EXPECT_NE(trashed.Err.find("d/missing"), std::string::npos);
    EXPECT_FALSE(PathExists(fFolder.File("d/a b.txt")));

    const TCliRun listed = Run("list");
    EXPECT_EQ(listed.ExitCode, 0);
    EXPECT_EQ(listed.Out.rfind(fFolder.File("d/a b.txt") + "\t", 0), 0u) << listed.Out;

    fFolder.Write("d/a b.txt", "in the way");
    const TCliRun refused = Run("restore 'd/a b.txt'");
    EXPECT_NE(refused.ExitCode, 0);
    EXPECT_EQ(fFolder.Read("d/a b.txt"), "in the way");
    ASSERT_TRUE(DeleteFile(fFolder.File("d/a b.txt")));

    const TCliRun restored = Run("restore 'd/a b.txt'");
    EXPECT_EQ(restored.ExitCode, 0) << restored.Err;
    EXPECT_EQ(fFolder.Read("d/a b.txt"), "x");
    EXPECT_NE(Run("restore 'd/a b.txt'").ExitCode, 0);
}

}  // namespace
