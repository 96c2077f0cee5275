// mireva-cli scale, filter and rotate, run as a user runs them; the written
// bitmaps must hold what the library computes in process.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/FilterProc.h"
#include "imaging/FilterSets.h"
#include "imaging/ImgUtils.h"
#include "imaging/Stretch.h"
#include "loading/ImgLoader.h"
#include "platform/FileSystem.h"
#include "RunCli.h"
#include "support/TempFolder.h"

namespace {

TBitmap Picture(int width, int height, int bits)
{
    TBitmap b(width, height, bits);
    if (bits == 8)
        b.SetGrayPalette();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * bits / 8; ++x)
            b.ScanLine(y)[x] = static_cast<uint8_t>((x * 37 + y * 91) % 256);
    return b;
}

std::string Pixels(const TBitmap& b)
{
    std::string s = std::to_string(b.Width()) + "x" + std::to_string(b.Height()) + "x" + std::to_string(b.BitsPerPixel());
    for (int y = 0; y < b.Height(); ++y)
        s.append(reinterpret_cast<const char*>(b.ScanLine(y)), static_cast<size_t>(b.Width()) * b.BytesPerPixel());
    return s;
}

class ImagingCli : public ::testing::Test {
protected:
    TCliRun Run(const std::string& arguments) { return RunCli(folder.Path(), arguments); }
    void Write(const std::string& name, const TBitmap& b)
    {
        const std::vector<uint8_t> bytes = EncodeBmpFile(b);
        folder.Write(name, std::string(bytes.begin(), bytes.end()));
    }
    TBitmap Read(const std::string& name)
    {
        const std::string bytes = folder.Read(name);
        return DecodeBmpFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    bool Exists(const std::string& name) { return FileExists(folder.File(name)); }

    TTempFolder folder;
};

TEST_F(ImagingCli, ScaleKeepsGrayPicturesGray)
{
    const TBitmap gray = Picture(31, 17, 8);
    Write("in.bmp", gray);
    const TCliRun run = Run("scale --method lanczos3 --size 62x34 in.bmp out.bmp");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, "62x34 gray\n");
    TBitmap expected = gray.Clone();
    StretchWholeGrayBitmap(&expected, nullptr, 62, ResampleMethod::Lanczos3, 34);
    const TBitmap written = Read("out.bmp");
    EXPECT_TRUE(written.IsGray());
    EXPECT_EQ(Pixels(written), Pixels(expected));
}

TEST_F(ImagingCli, ScaleWritesTheRectangleAtThePoint)
{
    const TBitmap colour = Picture(40, 30, 24);
    Write("in.bmp", colour);
    const TCliRun run = Run("scale --method area --size 20x15 --rect 5,3,15,12 --at 2,1 in.bmp out.bmp");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, "12x10 color\n");
    TBitmap expected = colour.Clone();
    StretchBitmap(&expected, nullptr, 20, ResampleMethod::AreaAverage, 2, 1, TVisibleRect{5, 3, 15, 12}, 15);
    EXPECT_EQ(Pixels(Read("out.bmp")), Pixels(expected));
}

struct TBadScale {
    const char* Name;
    const char* Arguments;
};

class BadScaleTest : public ImagingCli, public testing::WithParamInterface<TBadScale> {};

TEST_P(BadScaleTest, IsRefusedAndWritesNothing)
{
    Write("in.bmp", Picture(8, 8, 24));
    const TCliRun run = Run(std::string("scale ") + GetParam().Arguments + " in.bmp out.bmp");
    EXPECT_EQ(run.ExitCode, 2) << run.Err;
    EXPECT_NE(run.Err.find("usage:"), std::string::npos) << run.Err;
    EXPECT_FALSE(Exists("out.bmp"));
}

INSTANTIATE_TEST_SUITE_P(Arguments, BadScaleTest,
                         testing::Values(TBadScale{"NoMethod", "--size 4x4"},
                                         TBadScale{"UnknownMethod", "--method nearest --size 4x4"},
                                         TBadScale{"ZeroSize", "--method bicubic --size 0x4"},
                                         TBadScale{"SizeNotNumbers", "--method bicubic --size fourxfour"},
                                         TBadScale{"RectOutside", "--method bicubic --size 4x4 --rect 0,0,5,4"},
                                         TBadScale{"RectEmpty", "--method bicubic --size 4x4 --rect 2,2,2,4"},
                                         TBadScale{"NegativePoint", "--method bicubic --size 4x4 --at -1,0"}),
                         [](const testing::TestParamInfo<TBadScale>& info) { return std::string(info.param.Name); });

TEST_F(ImagingCli, FilterRunsTheItemsInOrder)
{
    const TBitmap colour = Picture(9, 7, 24);
    Write("in.bmp", colour);
    const TCliRun run = Run("filter --item 0,0 --item \"1,10,200,0,255,0\" --item 9,150 in.bmp out.bmp");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, "9x7 gray\n");
    TBitmap expected = colour.Clone();
    bool gray = false;
    ApplyFilters(expected,
                 {*ParseFilterItem("0,0"), *ParseFilterItem("1,10,200,0,255,0"), *ParseFilterItem("9,150")}, gray);
    EXPECT_EQ(Pixels(Read("out.bmp")), Pixels(expected));
}

TEST_F(ImagingCli, FilterRefusesItemsItCannotRead)
{
    Write("in.bmp", Picture(4, 4, 24));
    const TCliRun run = Run("filter --item 7, --item \"8,3,0,0,128,5,128,9,0\" in.bmp out.bmp");
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_NE(run.Err.find("8,3,0,0,128,5,128,9,0"), std::string::npos) << run.Err;
    EXPECT_FALSE(Exists("out.bmp"));
    EXPECT_EQ(Run("filter in.bmp out.bmp").ExitCode, 2);
}

TEST_F(ImagingCli, RotateTurnsAndHonoursPortraitOnly)
{
    const TBitmap tall = Picture(5, 9, 8);
    Write("tall.bmp", tall);
    Write("wide.bmp", Picture(9, 5, 24));
    TCliRun run = Run("rotate --turn r90 --portrait-only tall.bmp out.bmp");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, "9x5 gray\n");
    TBitmap expected = tall.Clone();
    RotateBitmap(expected, TRotation::rtRight90, true, true);
    EXPECT_EQ(Pixels(Read("out.bmp")), Pixels(expected));
    run = Run("rotate --turn l90 --portrait-only wide.bmp out2.bmp");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, "9x5 color\n");
    EXPECT_EQ(Run("rotate --turn sideways wide.bmp out3.bmp").ExitCode, 2);
    EXPECT_FALSE(Exists("out3.bmp"));
}

TEST_F(ImagingCli, DamagedOrMissingInputFailsCleanly)
{
    folder.Write("bad.bmp", "BM not really a bitmap");
    for (const char* command : {"rotate --turn 180", "filter --item 7,", "scale --method bilinear --size 2x2"}) {
        const TCliRun damaged = Run(std::string(command) + " bad.bmp out.bmp");
        EXPECT_EQ(damaged.ExitCode, 1) << command;
        EXPECT_FALSE(damaged.Err.empty());
        const TCliRun missing = Run(std::string(command) + " missing.bmp out.bmp");
        EXPECT_EQ(missing.ExitCode, 1) << command;
        EXPECT_FALSE(Exists("out.bmp")) << command;
    }
}

class PngCli : public ImagingCli, public testing::WithParamInterface<int> {};

// Any picture the plug-ins read goes in, and a name ending in ".png" comes
// out as PNG: a turn written as PNG and read back for scaling gives what the
// library computes in process, gray staying gray.
TEST_P(PngCli, WritesAndReadsPng)
{
    const TBitmap original = Picture(7, 5, GetParam());
    Write("in.bmp", original);
    TCliRun run = Run("rotate --turn r90 in.bmp turned.PNG");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(folder.Read("turned.PNG").rfind("\x89PNG\r\n\x1a\n", 0), 0u) << "a PNG signature";
    run = Run("scale --method bicubic --size 10x14 turned.PNG out.bmp");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, GetParam() == 8 ? "10x14 gray\n" : "10x14 color\n");

    TBitmap expected = original.Clone();
    RotateBitmap(expected, TRotation::rtRight90, false, GetParam() == 8);
    if (GetParam() == 8)
        StretchWholeGrayBitmap(&expected, nullptr, 10, ResampleMethod::Bicubic, 14);
    else
        StretchWholeBitmap(&expected, nullptr, 10, ResampleMethod::Bicubic, 14);
    EXPECT_EQ(Pixels(Read("out.bmp")), Pixels(expected));
}

INSTANTIATE_TEST_SUITE_P(Depths, PngCli, testing::Values(8, 24),
                         [](const testing::TestParamInfo<int>& info) { return info.param == 8 ? "Gray" : "Colour"; });

}  // namespace
