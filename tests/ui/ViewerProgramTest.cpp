#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <cstdlib>
#include <sys/wait.h>

#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace {

// Runs the viewer with arguments (already quoted for the shell), its data
// folder in home, without a display; the exit code.
int RunViewer(const TTempFolder& home, const std::string& arguments)
{
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY MIREVA_HOME='" + home.Path() + "' '" MIREVA_BIN_DIR
                                "/mireva' " +
                                arguments + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(ViewerProgram, SnapshotOfTheSampleBookShowsItsCover)
{
    TTempFolder home;
    const std::string out = home.File("cover.png");
    ASSERT_EQ(RunViewer(home, "--snapshot '" + out + "' --window-size 300x200 '" MIREVA_BIN_DIR "/sample/Sample Book'"),
              0);
    QImage shot;
    ASSERT_TRUE(shot.load(QString::fromStdString(out)));
    EXPECT_EQ(shot.size(), QSize(300, 200));
    // The cover is a portrait page: black margins left and right, the page
    // in the middle.
    EXPECT_EQ(shot.pixelColor(5, 100), QColor(Qt::black));
    EXPECT_NE(shot.pixelColor(150, 100), QColor(Qt::black));
    EXPECT_FALSE(PathExists(out + "$$"));
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
