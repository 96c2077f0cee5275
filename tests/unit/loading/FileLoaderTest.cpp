#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "base/Errors.h"
#include "loading/FileLoader.h"
#include "loading/ImgLoader.h"
#include "support/TempFolder.h"
#include "unit/loading/BmpBuilder.h"
#include "unit/loading/FakeLoaders.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A 2x1 bitmap file whose first pixel is (blue 11, green 22, red 33).
Bytes SmallBmp()
{
    TBitmap bitmap(2, 1, 24, true);
    bitmap.ScanLine(0)[0] = 11;
    bitmap.ScanLine(0)[1] = 22;
    bitmap.ScanLine(0)[2] = 33;
    return EncodeBmpFile(bitmap);
}

Bytes MacBinary(const Bytes& body)
{
    Bytes out(MacBinaryHeaderSize, 0);
    out[1] = 9;  // a file name length, as MacBinary writes it
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes Text(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

bool IsBuiltinBitmap(const TBitmap* bitmap)
{
    return bitmap && bitmap->Width() == 2 && bitmap->ScanLine(0)[2] == 33;
}

// A registry whose plug-in scan yields the fakes a test asks for.
class Registry : public ::testing::Test {
protected:
    void AddImagePlugin(std::string magic, std::vector<std::string> extensions, uint8_t mark, bool enabled = true)
    {
        fImages.push_back({std::move(magic), std::move(extensions), mark, enabled});
    }
    void AddArchivePlugin(std::string magic, std::vector<std::string> extensions)
    {
        fArchives.push_back({std::move(magic), std::move(extensions)});
    }
    // Builds the loaders anew from settings; every plug-in made counts into
    // unloads when it is freed.
    void Reload()
    {
        registry.SetPluginScanner([this](TPluginSettings&, TPluginScan& found) {
            for (const auto& [magic, extensions, mark, enabled] : fImages) {
                auto plugin = std::make_unique<TFakeImageLoader>(magic, extensions, mark);
                plugin->Enabled = enabled;
                plugin->Unloads = &unloads;
                found.InPlugins.push_back(std::move(plugin));
            }
            for (const auto& [magic, extensions] : fArchives)
                found.AmPlugins.push_back(std::make_unique<TFakeArchiveLoader>(magic, extensions));
        });
        loaders = registry.Reload(settings);
    }
    TFakeImageLoader& Plugin(size_t i) { return static_cast<TFakeImageLoader&>(*loaders->InPlugins().at(i)); }
    TFakeArchiveLoader& Archive(size_t i)
    {
        return static_cast<TFakeArchiveLoader&>(*loaders->AmPlugins().at(i));
    }

    std::string Write(const std::string& name, const Bytes& bytes) { return folder.Write(name, AsString(bytes)); }

    TTempFolder folder;
    TPluginSettings settings;
    std::atomic<int> unloads{0};
    TLoaderRegistry registry;
    TLoaderSetPtr loaders;
    TRecordingNotifier notifier;

private:
    struct TImageSpec {
        std::string Magic;
        std::vector<std::string> Extensions;
        uint8_t Mark;
        bool Enabled;
    };
    struct TArchiveSpec {
        std::string Magic;
        std::vector<std::string> Extensions;
    };
    std::vector<TImageSpec> fImages;
    std::vector<TArchiveSpec> fArchives;
};

TEST_F(Registry, BitmapLoaderComesFirstUnlessLeftToPlugins)
{
    AddImagePlugin("BM", {"*.bmp;*.dib"}, 200);
    AddImagePlugin("\xFF\xD8", {"*.jpg"}, 201);
    Reload();
    ASSERT_EQ(loaders->ImageLoaderCount(), 3);
    EXPECT_NE(dynamic_cast<TBitmapLoader*>(loaders->ImageLoader(0)), nullptr);
    const std::string path = Write("page.bmp", SmallBmp());
    EXPECT_TRUE(IsBuiltinBitmap(loaders->LoadFromFile(path, false).get()));
    EXPECT_EQ(Plugin(0).Asked, 0);

    settings.UseBmpSPI = true;
    Reload();
    EXPECT_NE(dynamic_cast<TBitmapLoader*>(loaders->ImageLoader(2)), nullptr);
    const std::unique_ptr<TBitmap> bitmap = loaders->LoadFromFile(path, false);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->ScanLine(0)[0], 200);
}

TEST_F(Registry, ReloadRebuildsWithoutDuplicates)
{
    AddImagePlugin("XY", {"*.xy"}, 1);
    AddArchivePlugin("PK", {"*.zip;*.cbz"});
    Reload();
    Reload();
    EXPECT_EQ(loaders->ImageLoaderCount(), 2);
    EXPECT_EQ(loaders->ArchiveLoaderCount(), 1);
    EXPECT_EQ(loaders->ImageExtensions(), (std::set<std::string>{".BMP", ".XY"}));
    EXPECT_EQ(loaders->ArchiveExtensions(), (std::set<std::string>{".CBZ", ".ZIP"}));
    EXPECT_TRUE(loaders->IsImageExtension(".bmp"));
    EXPECT_TRUE(loaders->IsArchiveExtension("Zip"));
    EXPECT_FALSE(loaders->IsImageExtension(""));
    EXPECT_EQ(loaders->ImageLoader(2), nullptr);
    EXPECT_EQ(loaders->ImageLoader(-1), nullptr);
    EXPECT_EQ(loaders->ArchiveLoader(1), nullptr);
}

// A worker that took a set keeps it, plug-ins and settings alike, however
// often the loaders are rebuilt; a set nobody holds goes at once.
TEST_F(Registry, AHeldSetOutlivesRebuilds)
{
    AddImagePlugin("XY", {"*.xy"}, 9);
    Reload();
    TLoaderSetPtr held = registry.Snapshot();
    const std::string path = Write("a.xy", Text("XYXYXYXY"));

    settings.MacBinary = true;
    Reload();
    EXPECT_EQ(unloads.load(), 0) << "the held set keeps its plug-in";
    Reload();
    EXPECT_EQ(unloads.load(), 1) << "the set in between was held by nobody";
    EXPECT_EQ(registry.Snapshot(), loaders);
    EXPECT_TRUE(registry.Settings().MacBinary);
    EXPECT_FALSE(held->Settings().MacBinary);
    const std::unique_ptr<TBitmap> bitmap = held->LoadFromFile(path, false);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->ScanLine(0)[0], 9);
    EXPECT_EQ(held->ImageLoaderCount(), 2);

    held.reset();
    EXPECT_EQ(unloads.load(), 2) << "let go by its last holder, the old set unloads its plug-in";
}

TEST_F(Registry, ExtensionPlaysNoPartInDetection)
{
    AddImagePlugin("\xFF\xD8", {"*.jpg"}, 7);
    Reload();
    const std::string path = Write("photo.jpg", SmallBmp());
    EXPECT_TRUE(IsBuiltinBitmap(loaders->LoadFromFile(path, false).get()));
    EXPECT_EQ(Plugin(0).Loads, 0);
    // And JPEG bytes in a ".bmp" file go to the loader that reads them.
    const std::string jpeg = Write("fake.bmp", Text("\xFF\xD8\xFF\xE0 rest"));
    const std::unique_ptr<TBitmap> bitmap = loaders->LoadFromFile(jpeg, false);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->ScanLine(0)[0], 7);
}

TEST_F(Registry, MacBinaryOffsetOnlyWhenSwitchedOn)
{
    Reload();
    const std::string path = Write("mac.bmp", MacBinary(SmallBmp()));
    EXPECT_EQ(loaders->LoadFromFile(path, false), nullptr);
    settings.MacBinary = true;
    Reload();
    int64_t offset = -1;
    EXPECT_NE(loaders->FindImageLoaderFor(path, &offset), nullptr);
    EXPECT_EQ(offset, MacBinaryHeaderSize);
    // The bitmap loader reads it through the offset path of a file.
    EXPECT_TRUE(IsBuiltinBitmap(loaders->LoadFromFile(path, false).get()));
    TMemoryStream stream(MacBinary(SmallBmp()));
    EXPECT_TRUE(IsBuiltinBitmap(loaders->LoadFromStream("mac.bmp", stream, false).get()));
}

// For one loader the plain test comes first; an earlier loader's MacBinary
// match wins over a later loader's plain match.
TEST_F(Registry, DetectionOrderWithMacBinary)
{
    AddImagePlugin("AAAA", {"*.a"}, 1);
    AddImagePlugin("BBBB", {"*.b"}, 2);
    settings.MacBinary = true;
    Reload();
    std::vector<TImageLoader*> plugins = {&Plugin(0), &Plugin(1)};

    Bytes both = Text("AAAA");
    both.resize(MacBinaryHeaderSize, 0);
    Bytes tail = Text("AAAA");
    both.insert(both.end(), tail.begin(), tail.end());
    TMemoryStream plainFirst(both);
    TLoaderMatch match = loaders->FindLoader(plugins, "x", plainFirst);
    EXPECT_EQ(match.Index, 0);
    EXPECT_EQ(match.Offset, 0);

    Bytes crossed = Text("BBBB");
    crossed.resize(MacBinaryHeaderSize, 0);
    crossed.insert(crossed.end(), tail.begin(), tail.end());
    TMemoryStream earlierWins(crossed);
    match = loaders->FindLoader(plugins, "x", earlierWins);
    EXPECT_EQ(match.Index, 0);
    EXPECT_EQ(match.Offset, MacBinaryHeaderSize);

    settings.MacBinary = false;
    Reload();
    plugins = {&Plugin(0), &Plugin(1)};
    earlierWins.SetPosition(0);
    match = loaders->FindLoader(plugins, "x", earlierWins);
    EXPECT_EQ(match.Index, 1);
    EXPECT_EQ(match.Offset, 0);
}

TEST_F(Registry, DetectionReadsFromTheStreamPositionAndZeroFills)
{
    AddImagePlugin(std::string("AB\0\0", 4), {"*.ab"}, 1);
    Reload();
    std::vector<TImageLoader*> plugins = {&Plugin(0)};
    TMemoryStream stream(Text("xxAB"));
    stream.SetPosition(2);
    // Two bytes are left; the rest of the header reads as zeros.
    EXPECT_EQ(loaders->FindLoader(plugins, "x", stream).Index, 0);
}

TEST_F(Registry, DisabledPluginIsNeverAskedAndListsNothing)
{
    AddImagePlugin("XX", {"*.xx"}, 5, false);
    AddImagePlugin("YY", {"*.yy"}, 6);
    Reload();
    EXPECT_EQ(loaders->ImageExtensions(), (std::set<std::string>{".BMP", ".YY"}));
    const std::string path = Write("a.xx", Text("XXXXXXXX"));
    EXPECT_EQ(loaders->LoadFromFile(path, false), nullptr);
    EXPECT_EQ(Plugin(0).Asked, 0);
    EXPECT_EQ(Plugin(1).Asked, 1);
}

TEST_F(Registry, DetectionFaultMeansNoLoader)
{
    AddImagePlugin("XX", {"*.xx"}, 5);
    AddImagePlugin("XX", {"*.xx"}, 6);
    Reload();
    Plugin(0).ThrowOnDetect = true;
    const std::string path = Write("a.xx", Text("XXXXXXXX"));
    EXPECT_EQ(loaders->LoadFromFile(path, false), nullptr);
    EXPECT_EQ(Plugin(1).Asked, 0);
    EXPECT_EQ(loaders->FindImageLoaderFor(folder.File("missing.xx")), nullptr);
    EXPECT_EQ(loaders->FindImageLoaderFor(folder.Path()), nullptr);
    // A named pipe is refused at once instead of waiting for a writer.
    const std::string pipe = folder.File("pipe.xx");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(loaders->FindImageLoaderFor(pipe), nullptr);
}

TEST_F(Registry, ArchiveDetection)
{
    AddArchivePlugin("PK", {"*.zip"});
    AddArchivePlugin("Rar!", {"*.rar"});
    settings.MacBinary = true;
    Reload();
    int64_t offset = -1;
    EXPECT_EQ(loaders->FindArchiveLoaderFor(Write("a.zip", Text("Rar!....")), &offset), &Archive(1));
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(loaders->FindArchiveLoaderFor(Write("b.bin", MacBinary(Text("PK\3\4")))), &Archive(0));
    EXPECT_EQ(loaders->FindArchiveLoaderFor(Write("c.zip", Text("nothing"))), nullptr);
}

// ---------------------------------------------------------------------------
// What LoadPicture shows, case by case.

enum class TShown { None, Information, Warning };

struct TPictureCase {
    std::string Name;
    std::string FileName;
    std::function<Bytes()> Content;
    bool Loads;
    TShown Shown;
};

std::vector<TPictureCase> PictureCases()
{
    return {
        {"Bitmap", "page.bmp", SmallBmp, true, TShown::None},
        {"EmptyFile", "empty.bmp", [] { return Bytes{}; }, false, TShown::None},
        {"UnknownTextFile", "notes.txt", [] { return Text("0123456789"); }, false, TShown::None},
        {"ListedExtensionNoLoader", "notes.bmp", [] { return Text("0123456789"); }, false, TShown::Information},
        {"ListedExtensionOtherCase", "NOTES.Bmp", [] { return Text("0123456789"); }, false, TShown::Information},
        {"DamagedBitmapAnyExtension", "broken.dat",
         [] {
             Bytes b = SmallBmp();
             b.resize(40);
             return b;
         },
         false, TShown::Warning},
        {"PluginFailure", "fail.ff", [] { return Text("FAILFAIL"); }, false, TShown::Warning},
        {"PluginGivesNothing", "void.ee", [] { return Text("NONENONE"); }, false, TShown::None},
        {"PluginGivesNothingListedExtension", "void.zz", [] { return Text("NONENONE"); }, false,
         TShown::Information},
    };
}

class LoadPictureCase : public Registry, public ::testing::WithParamInterface<TPictureCase> {};

TEST_P(LoadPictureCase, ShowsTheRightMessage)
{
    const TPictureCase& c = GetParam();
    AddImagePlugin("FAIL", {"*.ff"}, 1);
    AddImagePlugin("NONE", {"*.zz"}, 2);
    // Claims bitmaps too, but comes after the built-in loader.
    AddImagePlugin("BM", {"*.bmp"}, 3);
    Reload();
    Plugin(0).ThrowOnLoad = true;
    Plugin(1).ReturnNothing = true;
    const std::string path = Write(c.FileName, c.Content());

    for (bool fromStream : {false, true}) {
        SCOPED_TRACE(fromStream ? "stream" : "file");
        notifier.Messages.clear();
        TMemoryStream stream(c.Content());
        const std::unique_ptr<TBitmap> bitmap =
            LoadPicture(*loaders, path, fromStream ? &stream : nullptr, &notifier);
        EXPECT_EQ(bitmap != nullptr, c.Loads);
        if (c.Shown == TShown::None) {
            EXPECT_TRUE(notifier.Messages.empty());
        } else {
            ASSERT_EQ(notifier.Messages.size(), 1u);
            EXPECT_EQ(notifier.Messages[0].Text, "'" + c.FileName + "' は読み込めませんでした  ");
            EXPECT_EQ(notifier.Messages[0].Icon,
                      c.Shown == TShown::Warning ? TMessageIcon::miWarning : TMessageIcon::miInformation);
        }
        // A load on a worker thread passes no notifier and never raises.
        EXPECT_EQ(LoadPicture(*loaders, path, fromStream ? &stream : nullptr, nullptr) != nullptr, c.Loads);
    }
    // A bitmap, damaged or not, is claimed by the bitmap loader; later
    // loaders that claim "BM" as well are not tried.
    const Bytes content = c.Content();
    if (content.size() >= 2 && content[0] == 'B' && content[1] == 'M') {
        EXPECT_EQ(Plugin(2).Asked, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Loading, LoadPictureCase, ::testing::ValuesIn(PictureCases()),
                         [](const ::testing::TestParamInfo<TPictureCase>& info) { return info.param.Name; });

TEST_F(Registry, ArchivePictureMessagesNameTheMember)
{
    AddArchivePlugin("PK", {"*.zip"});
    Reload();
    TFakeArchiveLoader& archive = Archive(0);
    archive.Members = {SmallBmp(), Text("not a picture"), {}};
    const std::string zip = Write("book.zip", Text("PK"));

    EXPECT_TRUE(IsBuiltinBitmap(LoadArchivePicture(*loaders, zip, "dir/p1.bmp", archive, &notifier, 0).get()));
    EXPECT_TRUE(notifier.Messages.empty());

    EXPECT_EQ(LoadArchivePicture(*loaders, zip, "dir/p2.bmp", archive, &notifier, 1), nullptr);
    ASSERT_EQ(notifier.Messages.size(), 1u);
    EXPECT_EQ(notifier.Messages[0].Text, "'p2.bmp' は読み込めませんでした  ");
    EXPECT_EQ(notifier.Messages[0].Icon, TMessageIcon::miInformation);

    notifier.Messages.clear();
    EXPECT_EQ(LoadArchivePicture(*loaders, zip, "dir/p3.bmp", archive, &notifier, 2), nullptr);
    ASSERT_EQ(notifier.Messages.size(), 1u);
    EXPECT_EQ(notifier.Messages[0].Text, "'p3.bmp' は読み込めませんでした  ");
    EXPECT_EQ(notifier.Messages[0].Icon, TMessageIcon::miWarning);

    notifier.Messages.clear();
    archive.ThrowOnExtract = true;
    EXPECT_EQ(LoadArchivePicture(*loaders, zip, "p4.txt", archive, &notifier, 0), nullptr);
    ASSERT_EQ(notifier.Messages.size(), 1u);
    EXPECT_EQ(notifier.Messages[0].Icon, TMessageIcon::miWarning);
    EXPECT_EQ(LoadArchivePicture(*loaders, zip, "p4.txt", archive, nullptr, 0), nullptr);
}

TEST_F(Registry, EmptyStreamGivesNothing)
{
    Reload();
    TMemoryStream empty;
    EXPECT_EQ(loaders->LoadFromStream("x.bmp", empty, false), nullptr);
    EXPECT_EQ(LoadPicture(*loaders, "x.bmp", &empty, &notifier), nullptr);
    EXPECT_TRUE(notifier.Messages.empty());
}

// ---------------------------------------------------------------------------
// Extension lists.

struct TExtensionCase {
    std::string Name;
    std::vector<std::pair<bool, std::vector<std::string>>> Loaders;  // enabled, patterns
    std::set<std::string> Expected;
};

class ExtensionList : public ::testing::TestWithParam<TExtensionCase> {};

TEST_P(ExtensionList, IsBuiltFromEnabledLoaders)
{
    std::vector<std::unique_ptr<TFakeImageLoader>> owned;
    std::vector<TFileLoader*> loaders;
    for (const auto& [enabled, patterns] : GetParam().Loaders) {
        owned.push_back(std::make_unique<TFakeImageLoader>("?", patterns, 0));
        owned.back()->Enabled = enabled;
        loaders.push_back(owned.back().get());
    }
    EXPECT_EQ(TFileLoaderList::BuildExtensionList(loaders), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Loading, ExtensionList,
    ::testing::Values(
        TExtensionCase{"StarDotStarAddsNothing", {{true, {"*.*"}}}, {}},
        TExtensionCase{"StarDotStarInsideAGroup", {{true, {"*.jpg;*.*"}}}, {".JPG"}},
        TExtensionCase{"ExeIsNeverListed", {{true, {"*.exe;*.foo"}}, {true, {"*.EXE"}}}, {".FOO"}},
        TExtensionCase{"DuplicatesCollapse", {{true, {"*.jpg"}}, {true, {"*.JPG;*.jpeg"}}}, {".JPEG", ".JPG"}},
        TExtensionCase{"DisabledContributesNothing", {{false, {"*.png"}}, {true, {"*.gif"}}}, {".GIF"}},
        TExtensionCase{"SeveralGroups", {{true, {"*.tif;*.tiff", "*.pic"}}}, {".PIC", ".TIF", ".TIFF"}},
        TExtensionCase{"BlanksAroundPieces", {{true, {"*.pic; *.pict "}}}, {".PIC", ".PICT"}},
        TExtensionCase{"EmptyPieces", {{true, {"*.a;;*.b;", ""}}}, {".A", ".B"}},
        TExtensionCase{"PatternsWithoutStar", {{true, {".raw;.nef"}}}, {".NEF", ".RAW"}},
        TExtensionCase{"UpperCaseByCharacter", {{true, {"*.bmpä"}}}, {".BMPÄ"}}),
    [](const ::testing::TestParamInfo<TExtensionCase>& info) { return info.param.Name; });

// ---------------------------------------------------------------------------
// Preparing a loaded picture.

struct TPrepareCase {
    std::string Name;
    TBmpSpec Spec;
    PixelFormat Format;
    bool Gray;
    int BitsAfter;
    uint32_t FirstPixel;  // 0xRRGGBB after preparing
};

TBmpSpec Indexed(uint16_t bits, std::vector<std::vector<uint8_t>> palette, uint32_t used, Bytes pixels)
{
    TBmpSpec s;
    s.Width = 2;
    s.Height = 1;
    s.BitCount = bits;
    s.Palette = std::move(palette);
    s.ColorsUsed = used;
    s.Pixels = std::move(pixels);
    return s;
}

std::vector<std::vector<uint8_t>> GrayTable()
{
    std::vector<std::vector<uint8_t>> table;
    for (int i = 0; i < 256; ++i)
        table.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i)});
    return table;
}

std::vector<TPrepareCase> PrepareCases()
{
    std::vector<std::vector<uint8_t>> almostGray = GrayTable();
    almostGray[255] = {255, 255, 254};
    TBmpSpec rgb16;
    rgb16.Width = 1;
    rgb16.Height = 1;
    rgb16.BitCount = 16;
    rgb16.Pixels = {0x00, 0x7C, 0, 0};
    TBmpSpec rgb24;
    rgb24.Width = 1;
    rgb24.Height = 1;
    rgb24.Pixels = {1, 2, 3, 0};
    return {
        {"GrayStaysEightBit", Indexed(8, GrayTable(), 0, {0x40, 0x41, 0, 0}), PixelFormat::Bits8, true, 8, 0x404040},
        {"AlmostGrayWidens", Indexed(8, almostGray, 0, {0x40, 0x41, 0, 0}), PixelFormat::Bits8, false, 24, 0x404040},
        {"ShortGrayTableWidens", Indexed(8, {{0, 0, 0}, {1, 1, 1}}, 2, {1, 0, 0, 0}), PixelFormat::Bits8, false, 24,
         0x010101},
        {"OneBitWidens", Indexed(1, {{0, 0, 0}, {0, 0, 255}}, 0, {0x80, 0, 0, 0}), PixelFormat::Bits1, false, 24,
         0xFF0000},
        {"FourBitWidens", Indexed(4, {{0, 0, 0}, {9, 8, 7}}, 2, {0x10, 0, 0, 0}), PixelFormat::Bits4, false, 24,
         0x070809},
        {"FifteenBitRecorded", rgb16, PixelFormat::Bits15, false, 24, 0xFF0000},
        {"TwentyFourBitUntouched", rgb24, PixelFormat::Bits24, false, 24, 0x030201},
    };
}

class PrepareCase : public ::testing::TestWithParam<TPrepareCase> {};

TEST_P(PrepareCase, GivesTwentyFourBitOrGray)
{
    const TPrepareCase& c = GetParam();
    const Bytes file = BuildBmp(c.Spec);
    TBitmap bitmap = DecodeBmpFile(file.data(), file.size());
    const TPreparedInfo info = PrepareLoadedBitmap(bitmap);
    EXPECT_EQ(info.Format, c.Format);
    EXPECT_EQ(info.Gray, c.Gray);
    EXPECT_EQ(info.Width, c.Spec.Width);
    EXPECT_EQ(info.Height, c.Spec.Height);
    EXPECT_EQ(bitmap.BitsPerPixel(), c.BitsAfter);
    const uint8_t* p = bitmap.ScanLine(0);
    const uint32_t first = c.BitsAfter == 24 ? (p[2] << 16 | p[1] << 8 | p[0]) : (p[0] << 16 | p[0] << 8 | p[0]);
    EXPECT_EQ(first, c.FirstPixel);
    if (c.BitsAfter == 24) {
        EXPECT_TRUE(bitmap.Palette().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Loading, PrepareCase, ::testing::ValuesIn(PrepareCases()),
                         [](const ::testing::TestParamInfo<TPrepareCase>& info) { return info.param.Name; });

TEST(PrepareLoadedBitmap, CustomFormatIsToldByTheDepth)
{
    TBitmap bitmap(1, 1, 24);
    bitmap.SetLoadedFormat(PixelFormat::Custom);
    EXPECT_EQ(PrepareLoadedBitmap(bitmap).Format, PixelFormat::Bits24);
    TBitmap gray(1, 1, 8);
    gray.SetGrayPalette();
    gray.SetLoadedFormat(PixelFormat::Custom);
    EXPECT_EQ(PrepareLoadedBitmap(gray).Format, PixelFormat::Bits8);
    EXPECT_EQ(TLoadImage(std::make_unique<TBitmap>(std::move(gray))).Format(), PixelFormat::Bits8);
}

// ---------------------------------------------------------------------------
// TLoadImage keeps a plug-in's blocks until someone asks for the bitmap.

TEST(LoadImage, BlocksBecomeABitmapOnFirstUse)
{
    TBmpSpec spec;
    spec.Width = 3;
    spec.Height = -2;
    spec.BitCount = 4;
    spec.Palette = {{0, 0, 0}, {0, 0, 255}};
    spec.ColorsUsed = 2;
    spec.Pixels = {0x10, 0x10, 0, 0, 0x01, 0x00, 0, 0};
    Bytes info = BuildDibInfo(spec);
    TLoadImage image(info, spec.Pixels);
    EXPECT_EQ(image.Kind(), 0);
    EXPECT_EQ(image.Width(), 3);
    EXPECT_EQ(image.Height(), 2);
    EXPECT_EQ(image.Format(), PixelFormat::Bits4);
    EXPECT_FALSE(image.IsEmpty());
    TBitmap* bitmap = image.GetBitmap();
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(image.Kind(), 1);
    EXPECT_TRUE(image.Info().empty());
    EXPECT_EQ(bitmap->ScanLine(0)[0], 1);  // top-down: the first stored row is the top
    EXPECT_EQ(bitmap->ScanLine(1)[1], 1);
    EXPECT_FALSE(image.ConvertToBitmap());  // already a bitmap
    EXPECT_EQ(image.GetBitmap(), bitmap);
}

TEST(LoadImage, DamagedBlocksStayAsTheyCame)
{
    TBmpSpec spec;
    spec.Width = 3;
    spec.Height = 2;
    spec.Pixels = Bytes(10, 0);  // 24-bit rows need 21 bytes
    TLoadImage image(BuildDibInfo(spec), spec.Pixels);
    EXPECT_EQ(image.GetBitmap(), nullptr);
    EXPECT_EQ(image.Kind(), 0);
    EXPECT_FALSE(image.Bits().empty());
    TLoadImage noPixels(BuildDibInfo(spec), {});
    EXPECT_TRUE(noPixels.IsEmpty());
    EXPECT_EQ(noPixels.GetBitmap(), nullptr);

    spec.Planes = 0;
    EXPECT_THROW(TLoadImage(BuildDibInfo(spec), spec.Pixels), EInvalidGraphic);
    EXPECT_THROW(TLoadImage(Bytes{12, 0}, spec.Pixels), EInvalidGraphic);
}

}  // namespace
