// mireva-cli detect and load, run as a user runs them.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

#include "base/Errors.h"
#include "loading/ImgLoader.h"
#include "platform/FileSystem.h"
#include "RunCli.h"
#include "support/TempFolder.h"
#include "unit/loading/BmpBuilder.h"

namespace {

using Bytes = std::vector<uint8_t>;

class Cli : public ::testing::Test {
protected:
    TCliRun Run(const std::string& arguments) { return RunCli(folder.Path(), arguments); }
    void Write(const std::string& name, const Bytes& bytes) { folder.Write(name, AsString(bytes)); }

    TTempFolder folder;
};

// 3x2, 8 bits, the identity gray table: stays gray.
Bytes GrayBmp()
{
    TBitmap gray(3, 2, 8);
    gray.SetGrayPalette();
    const uint8_t values[6] = {0, 60, 120, 180, 240, 255};
    for (int i = 0; i < 6; ++i)
        gray.ScanLine(i / 3)[i % 3] = values[i];
    return EncodeBmpFile(gray);
}

// 2x1, 4 bits, two colours: widened to 24 bits.
Bytes FourBitBmp()
{
    TBmpSpec spec;
    spec.Width = 2;
    spec.Height = 1;
    spec.BitCount = 4;
    spec.Palette = {{0, 0, 255}, {255, 0, 0}};
    spec.ColorsUsed = 2;
    spec.Pixels = {0x01, 0, 0, 0};
    return BuildBmp(spec);
}

TEST_F(Cli, DetectNamesTheLoaderAndTheKind)
{
    Write("page.bmp", GrayBmp());
    Write("photo.xyz", GrayBmp());
    Write("notes.txt", {'h', 'i'});
    TCliRun run = Run("detect page.bmp");
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out, "Loader=Bitmap (*.bmp) (built-in)\nOffset=0\nKind=picture\nExtension=picture\n");
    run = Run("detect photo.xyz");
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out, "Loader=Bitmap (*.bmp) (built-in)\nOffset=0\nKind=picture\nExtension=none\n");
    run = Run("detect notes.txt");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out, "Loader=none\nKind=none\nExtension=none\n");
    EXPECT_NE(run.Err.find("no loader"), std::string::npos);
    run = Run("detect missing.bmp");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_NE(run.Err.find("missing.bmp"), std::string::npos);
}

TEST_F(Cli, LoadWritesGrayAsGray)
{
    Write("gray.bmp", GrayBmp());
    const TCliRun run = Run("load gray.bmp out.bmp");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, "3x2 Bits8 gray\n");
    const std::string out = folder.Read("out.bmp");
    const TBitmap written = DecodeBmpFile(reinterpret_cast<const uint8_t*>(out.data()), out.size());
    const Bytes original = GrayBmp();
    const TBitmap expected = DecodeBmpFile(original.data(), original.size());
    EXPECT_TRUE(written.IsGray());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(written.ScanLine(y)[x], expected.ScanLine(y)[x]);
}

TEST_F(Cli, LoadWidensColour)
{
    Write("four.bmp", FourBitBmp());
    const TCliRun run = Run("load four.bmp out.bmp");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, "2x1 Bits4 color\n");
    const std::string out = folder.Read("out.bmp");
    const TBitmap written = DecodeBmpFile(reinterpret_cast<const uint8_t*>(out.data()), out.size());
    ASSERT_EQ(written.BitsPerPixel(), 24);
    const uint8_t* row = written.ScanLine(0);
    EXPECT_EQ((Bytes(row, row + 6)), (Bytes{0, 0, 255, 255, 0, 0}));
}

struct TUnreadable {
    const char* Name;
    const char* File;
    Bytes Content;
};

class CliUnreadable : public Cli, public ::testing::WithParamInterface<TUnreadable> {};

// Whatever the reason, the command prints the viewer's message, fails and
// leaves no output file behind.
TEST_P(CliUnreadable, PrintsTheMessageAndWritesNothing)
{
    Write(GetParam().File, GetParam().Content);
    const TCliRun run = Run(std::string("load ") + GetParam().File + " out.bmp");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_NE(run.Err.find(std::string("'") + GetParam().File + "' は読み込めませんでした  "), std::string::npos)
        << run.Err;
    EXPECT_FALSE(PathExists(folder.File("out.bmp")));
    EXPECT_FALSE(PathExists(folder.File("out.bmp$$")));
}

INSTANTIATE_TEST_SUITE_P(Loading, CliUnreadable,
                         ::testing::Values(TUnreadable{"Damaged", "broken.bmp", {'B', 'M', 1, 2, 3, 4, 5, 6}},
                                           TUnreadable{"NoLoader", "text.bmp", {'h', 'e', 'l', 'l', 'o'}},
                                           TUnreadable{"UnknownExtension", "text.dat", {'h', 'e', 'l', 'l', 'o'}},
                                           TUnreadable{"Empty", "empty.bmp", {}}),
                         [](const ::testing::TestParamInfo<TUnreadable>& info) { return info.param.Name; });

}  // namespace

namespace {

enum class TBlocker { bkPipe, bkFolder, bkDanglingLink, bkSocket, bkNoPermission };

struct TBlockedCase {
    const char* Name;
    TBlocker Blocker;
    const char* Says;  // what the message tells after the name
};

class CliBlocked : public Cli, public ::testing::WithParamInterface<TBlockedCase> {
protected:
    // Puts something at x.jpg that is no readable picture file.
    void Block(TBlocker blocker)
    {
        const std::string path = folder.File("x.jpg");
        switch (blocker) {
        case TBlocker::bkPipe:
            ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
            break;
        case TBlocker::bkFolder:
            folder.Write("x.jpg/inside", "");
            break;
        case TBlocker::bkDanglingLink:
            ASSERT_EQ(::symlink("gone.jpg", path.c_str()), 0);
            break;
        case TBlocker::bkSocket: {
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            ASSERT_LT(path.size(), sizeof address.sun_path);
            std::memcpy(address.sun_path, path.c_str(), path.size());
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            ASSERT_GE(fd, 0);
            EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
            ::close(fd);
            break;
        }
        case TBlocker::bkNoPermission:
            if (::geteuid() == 0)
                GTEST_SKIP() << "root reads a file without read permission";
            Write("x.jpg", GrayBmp());
            ASSERT_EQ(::chmod(path.c_str(), 0), 0);
            break;
        }
    }
};

// The reason comes from opening the file, in detect and in every command
// that loads a picture (through the loader's own message, as the viewer
// shows it), never "no loader accepts" or "not read".
TEST_P(CliBlocked, SaysWhyTheFileCannotBeRead)
{
    Block(GetParam().Blocker);
    if (IsSkipped())
        return;
    for (const char* command : {"detect x.jpg", "load x.jpg out.bmp", "rotate --turn r90 x.jpg out.bmp"}) {
        SCOPED_TRACE(command);
        const TCliRun run = Run(command);
        EXPECT_EQ(run.ExitCode, 1);
        EXPECT_EQ(run.Out, "");
        EXPECT_NE(run.Err.find("'x.jpg'" + std::string(GetParam().Says) + "\n"), std::string::npos) << run.Err;
        EXPECT_FALSE(PathExists(folder.File("out.bmp")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, CliBlocked,
    ::testing::Values(TBlockedCase{"Pipe", TBlocker::bkPipe, " は通常のファイルではありません  "},
                      TBlockedCase{"Folder", TBlocker::bkFolder, " は通常のファイルではありません  "},
                      TBlockedCase{"Socket", TBlocker::bkSocket, " は通常のファイルではありません  "},
                      TBlockedCase{"DanglingLink", TBlocker::bkDanglingLink, " : No such file or directory"},
                      TBlockedCase{"NoPermission", TBlocker::bkNoPermission, " : Permission denied"}),
    [](const ::testing::TestParamInfo<TBlockedCase>& info) { return info.param.Name; });

}  // namespace
