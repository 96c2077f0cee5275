#include <gtest/gtest.h>

#include <algorithm>

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <sys/wait.h>
#include <thread>

#include "common/IniFile.h"
#include "platform/FileSystem.h"
#include "platform/SingleInstance.h"
#include "platform/qt/InstanceListener.h"
#include "support/PumpEvents.h"
#include "support/TempFolder.h"
#include "unit/cli/RunCli.h"

namespace {

// Runs the viewer with the environment changes (arguments of env) and the
// arguments (already quoted for the shell), its data folder in home.
TCliRun RunViewerWith(const TTempFolder& home, const std::string& environment, const std::string& arguments)
{
    return RunProgram(home.Path(), "env " + environment + " MIREVA_HOME='" + home.Path() + "' '" MIREVA_BIN_DIR
                                   "/mireva' " + arguments);
}

// The same without a display: snapshots run on the offscreen platform.
TCliRun RunViewer(const TTempFolder& home, const std::string& arguments)
{
    return RunViewerWith(home, "-u DISPLAY -u WAYLAND_DISPLAY", arguments);
}

const std::string SampleFolder = "'" MIREVA_BIN_DIR "/sample/Sample Book'";

// An X display nobody serves here: no server's lock file or socket.
std::string UnservedDisplay()
{
    for (int n = 4711; n < 4811; ++n) {
        const std::string number = std::to_string(n);
        if (!PathExists("/tmp/.X" + number + "-lock") && !PathExists("/tmp/.X11-unix/X" + number))
            return ":" + number;
    }
    return {};
}

// A data folder whose settings show the image view alone, without trees,
// lists and bars, so that a picture's pixels lie where the page is laid out.
void ImageViewOnly(const TTempFolder& home)
{
    home.Write("Mireva.ini", "[VIEW]\nTree=0\nFile=0\nMainMenu=0\nMainBar=0\nAddressBar=0\nStatusBar=0\n");
}

}  // namespace

TEST(ViewerProgram, SnapshotOfTheSampleBookShowsItsCover)
{
    TTempFolder home;
    ImageViewOnly(home);
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
    ImageViewOnly(home);
    const std::string out = home.File("pair.png");
    const TCliRun run =
        RunViewer(home, "--snapshot '" + out + "' --window-size 700x500 --run actSpread,act50,actNext " + SampleFolder);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    // The caption, the page label, then the status bar: the primary page's
    // item is selected.
    const std::string lines = "Mireva - 04.bmp (600 x 848 x 8bit) [50%]   <<   03.bmp (600 x 848 x 8bit) [50%]\n"
                              "4・3 / 11\n03.bmp\t";
    EXPECT_EQ(run.Out.substr(0, lines.size()), lines);
    EXPECT_NE(run.Out.find("\t600 x 848 x 8bit\t"), std::string::npos) << run.Out;
    EXPECT_TRUE(run.Out.ends_with("\t\t1 / 11 ファイル\n")) << run.Out;
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

// --select picks list items before the actions run; the status line shows
// them, and a name that is not listed is said on the error stream.
TEST(ViewerProgram, SnapshotSelectsItemsByName)
{
    TTempFolder home;
    const TCliRun run = RunViewer(home, "--snapshot '" + home.File("x.png") +
                                            "' --window-size 900x600 --select 02.bmp,05.bmp,nope.bmp " + SampleFolder);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const size_t status = run.Out.find("2 個のオブジェクトを選択\t");
    ASSERT_NE(status, std::string::npos) << run.Out;
    EXPECT_TRUE(run.Out.ends_with("\t2 / 11 ファイル\n")) << run.Out;
    EXPECT_NE(run.Err.find("nothing named 'nope.bmp'"), std::string::npos) << run.Err;
}

// A run ends as a user's does: the next start without a path comes back to
// the same folder, order and picture.
TEST(ViewerProgram, TheNextStartComesBackToTheLastPlaceAndPicture)
{
    TTempFolder home;
    home.Write("Mireva.ini", "[INITIALIZE]\nLastImage=1\n[STATE]\nSortIndex=0\nSortDir=1\n");
    const TCliRun first =
        RunViewer(home, "--snapshot '" + home.File("a.png") + "' --run actNext,actNext " + SampleFolder);
    ASSERT_EQ(first.ExitCode, 0) << first.Err;
    ASSERT_NE(first.Out.find("\n5 / 11\n"), std::string::npos) << first.Out;
    const TCliRun again = RunViewer(home, "--snapshot '" + home.File("b.png") + "'");
    ASSERT_EQ(again.ExitCode, 0) << again.Err;
    EXPECT_EQ(again.Out.substr(0, again.Out.find('\n', again.Out.find('\n') + 1)),
              first.Out.substr(0, first.Out.find('\n', first.Out.find('\n') + 1)))
        << "the caption and the page label of the first run";
}

TEST(ViewerProgram, NoSaveLeavesTheDataFolderAsItWas)
{
    TTempFolder home;
    ImageViewOnly(home);
    ASSERT_EQ(RunViewer(home, "--no-save --snapshot '" + home.File("a.png") + "' " + SampleFolder).ExitCode, 0);
    EXPECT_EQ(home.Read("Mireva.ini"), "[VIEW]\nTree=0\nFile=0\nMainMenu=0\nMainBar=0\nAddressBar=0\nStatusBar=0\n");
}

// The window's state goes into the chosen settings file, the last place
// into the data folder's own file.
TEST(ViewerProgram, AChosenSettingsFileLeavesTheLastPlaceInTheDataFolder)
{
    TTempFolder home;
    home.Write("comic.lys", "[OTHER]\nFullPath=0\n");
    ASSERT_EQ(RunViewer(home, "--snapshot '" + home.File("a.png") + "' --window-size 640x480 -s '" +
                                  home.File("comic.lys") + "' " + SampleFolder)
                  .ExitCode,
              0);
    const TIniFile program(home.File("Mireva.ini"));
    EXPECT_TRUE(program.ReadString("STATE", "Dir", "").ends_with("/Sample Book/"));
    EXPECT_FALSE(program.ValueExists("STATE", "Width"));
    const TIniFile chosen(home.File("comic.lys"));
    EXPECT_EQ(chosen.ReadInteger("STATE", "Width", 0), 640);
    EXPECT_FALSE(chosen.ValueExists("STATE", "Dir"));
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
    EXPECT_EQ(std::count(run.Out.begin(), run.Out.end(), '\n'), 3) << run.Out;
}

TEST(ViewerProgram, SnapshotKeepsTheOffscreenPlatformsNoticesOut)
{
    TTempFolder home;
    const TCliRun run = RunViewer(home, "--snapshot '" + home.File("x.png") + "' --window-size 300x200 " + SampleFolder);
    ASSERT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Err.find("This plugin does not support"), std::string::npos) << run.Err;
}

struct TNoDisplayCase {
    const char* Name;
    bool Display;  // DISPLAY names a display nobody serves; else none is named
};

class NoDisplayTest : public ::testing::TestWithParam<TNoDisplayCase> {};

TEST_P(NoDisplayTest, SaysSoInOneLineAndLeavesNothingHeld)
{
    TTempFolder home;
    TTempFolder runtime;
    const std::string display = GetParam().Display ? UnservedDisplay() : std::string();
    ASSERT_TRUE(!GetParam().Display || !display.empty());
    const std::string environment = "-u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                    (display.empty() ? std::string("-u DISPLAY") : "DISPLAY=" + display) +
                                    " XDG_RUNTIME_DIR='" + runtime.Path() + "'";
    const TCliRun run = RunViewerWith(home, environment, SampleFolder);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err,
              display.empty() ? "mireva: cannot open the display (neither DISPLAY nor WAYLAND_DISPLAY is set)\n"
                              : "mireva: cannot open the display \"" + display + "\"\n");
    EXPECT_FALSE(PathExists(runtime.File(InstanceName)));
    TInstanceLock lock(runtime.Path(), InstanceName);
    EXPECT_TRUE(lock.TryAcquire());
    EXPECT_EQ(run.Out, "");
}

INSTANTIATE_TEST_SUITE_P(Rows, NoDisplayTest,
                         ::testing::Values(TNoDisplayCase{"NoneNamed", false},
                                           TNoDisplayCase{"NobodyServesIt", true}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ViewerProgram, HandOverNeedsNoDisplay)
{
    TTempFolder home;
    TTempFolder runtime;
    TSingleInstance running(runtime.Path());
    ASSERT_EQ(running.Start(THandOver{}, nullptr), TInstanceRole::irFirst);
    std::optional<THandOver> received;
    TInstanceListener listener(*running.Server(), [&received](const THandOver& message) { received = message; });

    // The later start runs beside the event loop that answers it.
    std::atomic<bool> done = false;
    TCliRun run;
    std::thread later([&] {
        run = RunViewerWith(home, "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR='" +
                                       runtime.Path() + "'",
                             "'" + home.Path() + "'");
        done = true;
    });
    const bool finished = PumpUntil([&] { return done.load() && received.has_value(); }, 20000);
    later.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(received->Args.back(), home.Path());
    EXPECT_EQ(run.Err, "");
}
