#include <gtest/gtest.h>

#include <algorithm>

#include <QColor>
#include <QImage>

#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "unit/cli/RunCli.h"

namespace {

// Runs the viewer with arguments (already quoted for the shell), its data
// folder in home, without a display.
TCliRun RunViewer(const TTempFolder& home, const std::string& arguments)
{
    return RunProgram(home.Path(), "env -u DISPLAY -u WAYLAND_DISPLAY MIREVA_HOME='" + home.Path() + "' '" MIREVA_BIN_DIR
                                   "/mireva' " + arguments);
}

const std::string SampleFolder = "'" MIREVA_BIN_DIR "/sample/Sample Book'";

}  // namespace

TEST(ViewerProgram, SnapshotOfTheSampleBookShowsItsCover)
{
    TTempFolder home;
    const std::string out = home.File("cover.png");
    ASSERT_EQ(RunViewer(home, "--snapshot '" + out + "' --window-size 300x200 " + SampleFolder).ExitCode, 0);
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
    const TCliRun run =
        RunViewer(home, "--snapshot '" + out + "' --window-size 700x500 --run actSpread,act50,actNext " + SampleFolder);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, "Mireva - 04.bmp (600 x 848 x 8bit) [50%]   <<   03.bmp (600 x 848 x 8bit) [50%]\n"
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
    const TCliRun run = RunViewer(home, "--snapshot '" + home.File("x.png") + "' --run actNext,actNope " + SampleFolder);
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_FALSE(PathExists(home.File("x.png")));
    EXPECT_EQ(run.Out, "");
}

TEST(ViewerProgram, SnapshotThatCannotBeWrittenFails)
{
    TTempFolder home;
    EXPECT_EQ(RunViewer(home, "--snapshot '" + home.File("no/such/folder/x.png") + "' '" + home.Path() + "'").ExitCode, 1);
    EXPECT_FALSE(PathExists(home.File("no")));
}

TEST(ViewerProgram, MalformedOptionsAreRefusedBeforeAnythingStarts)
{
    TTempFolder home;
    EXPECT_EQ(RunViewer(home, "--snapshot '" + home.File("x.png") + "' --window-size 0x10").ExitCode, 2);
    EXPECT_EQ(RunViewer(home, "--snapshot").ExitCode, 2);
    EXPECT_FALSE(PathExists(home.File("x.png")));
}

// A name may hold anything but '/' and NUL: the caption line escapes its
// control characters, so that a script reading the output sees one line and
// the terminal never receives the name's escape sequence.
TEST(ViewerProgram, SnapshotCaptionEscapesControlCharacters)
{
    TTempFolder home;
    const std::string name = "a\x1b]0;t\x07\nb.bmp";
    QImage page(4, 3, QImage::Format_RGB888);
    page.fill(Qt::white);
    ASSERT_TRUE(page.save(QString::fromStdString(home.File(name)), "BMP"));
    const TCliRun run =
        RunViewer(home, "--snapshot '" + home.File("shot.png") + "' --window-size 200x150 '" + home.File(name) + "'");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out.rfind("Mireva - a\\x1b]0;t\\x07\\nb.bmp (4 x 3 x 24bit)", 0), 0u) << run.Out;
    EXPECT_EQ(std::count(run.Out.begin(), run.Out.end(), '\n'), 2) << run.Out;
}
