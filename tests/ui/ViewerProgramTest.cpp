#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cstdlib>
#include <sys/wait.h>

#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace {

// Runs the viewer with arguments (already quoted for the shell), its data
// folder in home, without a display; the exit code. What it prints goes to
// home's "out.txt".
int RunViewer(const TTempFolder& home, const std::string& arguments)
{
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY MIREVA_HOME='" + home.Path() + "' '" MIREVA_BIN_DIR
                                "/mireva' " +
                                arguments + " >'" + home.File("out.txt") + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::string SampleFolder = "'" MIREVA_BIN_DIR "/sample/Sample Book'";

}  // namespace

TEST(ViewerProgram, SnapshotOfTheSampleBookShowsItsCover)
{
    TTempFolder home;
    const std::string out = home.File("cover.png");
    ASSERT_EQ(RunViewer(home, "--snapshot '" + out + "' --window-size 300x200 " + SampleFolder), 0);
    QImage shot;
    ASSERT_TRUE(shot.load(QString::fromStdString(out)));
    EXPECT_EQ(shot.size(), QSize(300, 200));
    // The cover is a portrait page: black margins left and right, the page
    // in the middle.
    EXPECT_EQ(shot.pixelColor(5, 100), QColor(Qt::black));
    EXPECT_NE(shot.pixelColor(150, 100), QColor(Qt::black));
    EXPECT_FALSE(PathExists(out + "$$"));
}

TEST(ViewerProgram, SnapshotRunsTheActionsAndPrintsCaptionAndPageLabel)
{
    TTempFolder home;
    const std::string out = home.File("pair.png");
    ASSERT_EQ(RunViewer(home, "--snapshot '" + out + "' --window-size 700x500 --run actSpread,act50,actNext " +
                                  SampleFolder),
              0);
    EXPECT_EQ(home.Read("out.txt"), "Mireva - 04.bmp (600 x 848 x 8bit) [50%]   <<   03.bmp (600 x 848 x 8bit) [50%]\n"
                                    "4・3 / 11\n");
    QImage shot;
    ASSERT_TRUE(shot.load(QString::fromStdString(out)));
    EXPECT_EQ(shot.size(), QSize(700, 500));
    // Two pages of 300 x 424 side by side in the middle, the background
    // beside them.
    const int middle = shot.height() / 2;
    EXPECT_EQ(shot.pixelColor(30, middle), QColor(Qt::black));
    EXPECT_NE(shot.pixelColor(350 - 150, middle), QColor(Qt::black));
    EXPECT_NE(shot.pixelColor(350 + 150, middle), QColor(Qt::black));
    EXPECT_EQ(shot.pixelColor(670, middle), QColor(Qt::black));
}

TEST(ViewerProgram, UnknownActionIsRefusedBeforeAnythingOpens)
{
    TTempFolder home;
    EXPECT_EQ(RunViewer(home, "--snapshot '" + home.File("x.png") + "' --run actNext,actNope " + SampleFolder), 2);
    EXPECT_FALSE(PathExists(home.File("x.png")));
    EXPECT_EQ(home.Read("out.txt"), "");
}

TEST(ViewerProgram, SnapshotThatCannotBeWrittenFails)
{
    TTempFolder home;
    EXPECT_EQ(RunViewer(home, "--snapshot '" + home.File("no/such/folder/x.png") + "' '" + home.Path() + "'"), 1);
    EXPECT_FALSE(PathExists(home.File("no")));
}

TEST(ViewerProgram, MalformedOptionsAreRefusedBeforeAnythingStarts)
{
    TTempFolder home;
    EXPECT_EQ(RunViewer(home, "--snapshot '" + home.File("x.png") + "' --window-size 0x10"), 2);
    EXPECT_EQ(RunViewer(home, "--snapshot"), 2);
    EXPECT_FALSE(PathExists(home.File("x.png")));
}
