// Writes small seed corpora for the fuzz targets into the folder given on the
// command line: bmp/ (one file per bitmap variant), dib/ (the same as
// info-size-prefixed blocks), jpeg/ (a colour and a gray picture),
// string/ (counted texts), settings/ (settings files, old keys included) and
// archive/ (LHA files of each header level with CP932 names), thumb/ (an
// index and a data file), media/ (a media list and a catalogue), search/ (a
// search cache), category/ (a category list), marker/ (marker lists), trash/
// (trash info files) and export/ (export settings). Seeds are generated, so
// no binaries are kept in the source tree.

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "browser/Marker.h"
#include "collections/CategoryFile.h"
#include "collections/MediaFiles.h"
#include "collections/SearchCache.h"
#include "common/BfStream.h"
#include "common/Bitmap.h"
#include "loading/ImgLoader.h"
#include "platform/FileSystem.h"
#include "thumbnails/ThumbFiles.h"
#include "unit/loading/BmpBuilder.h"
#include "unit/loading/LzhBuilder.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Save(const std::string& path, const Bytes& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
}

TBmpSpec Spec(uint32_t headerSize, int32_t width, int32_t height, uint16_t bits, uint32_t compression, Bytes pixels)
{
    TBmpSpec s;
    s.HeaderSize = headerSize;
    s.Width = width;
    s.Height = height;
    s.BitCount = bits;
    s.Compression = compression;
    s.Pixels = std::move(pixels);
    if (bits <= 8) {
        const size_t entries = headerSize == 12 || headerSize == 16 ? size_t(1) << bits : 6;
        for (size_t i = 0; i < entries; ++i)
            s.Palette.push_back({static_cast<uint8_t>(40 * i), static_cast<uint8_t>(255 - 40 * i), 128});
        s.ColorsUsed = headerSize == 12 || headerSize == 16 ? 0 : 6;
    }
    return s;
}

std::vector<std::pair<std::string, TBmpSpec>> Variants()
{
    const Bytes rows24(24, 0x5A);
    std::vector<std::pair<std::string, TBmpSpec>> v;
    v.push_back({"rgb24", Spec(40, 3, 2, 24, 0, rows24)});
    v.push_back({"rgb24-topdown", Spec(108, 3, -2, 24, 0, rows24)});
    v.push_back({"rgb8", Spec(40, 3, 2, 8, 0, {4, 0, 5, 0, 1, 2, 3, 0})});
    v.push_back({"rgb4", Spec(40, 3, 2, 4, 0, {0x40, 0x50, 0, 0, 0x12, 0x30, 0, 0})});
    v.push_back({"rgb1", Spec(40, 10, 2, 1, 0, {0x59, 0x80, 0, 0, 0xA6, 0x40, 0, 0})});
    v.push_back({"core8", Spec(12, 3, 2, 8, 0, {4, 0, 5, 0, 1, 2, 3, 0})});
    v.push_back({"core24", Spec(12, 3, 2, 24, 0, rows24)});
    v.push_back({"os2v2-4", Spec(64, 3, 2, 4, 0, {0x40, 0x50, 0, 0, 0x12, 0x30, 0, 0})});
    v.push_back({"os2v2-16", Spec(16, 3, 2, 8, 0, {4, 0, 5, 0, 1, 2, 3, 0})});
    v.push_back({"rle8", Spec(40, 4, 3, 8, 1, {0x04, 0x02, 0x00, 0x00, 0x00, 0x02, 0x01, 0x01, 0x00, 0x03, 1, 2, 3,
                                                  0x00, 0x00, 0x01})});
    v.push_back({"rle4", Spec(40, 5, 2, 4, 2, {0x00, 0x05, 0x12, 0x34, 0x50, 0x00, 0x00, 0x00, 0x05, 0x21, 0x00,
                                                  0x01})});
    TBmpSpec bf16 = Spec(40, 3, 2, 16, 3, Bytes(16, 0xA5));
    bf16.Masks = {0xF800, 0x07E0, 0x001F};
    v.push_back({"bitfields16", bf16});
    TBmpSpec alpha16 = Spec(56, 3, 2, 16, 3, Bytes(16, 0x3C));
    alpha16.Masks = {0x0F00, 0x00F0, 0x000F, 0xF000};
    v.push_back({"alpha16", alpha16});
    TBmpSpec v5 = Spec(124, 3, 2, 32, 3, Bytes(24, 0x77));
    v5.Masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    v.push_back({"v5-32", v5});
    TBmpSpec alpha32 = Spec(40, 3, 2, 32, 6, Bytes(24, 0x11));
    alpha32.Masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
    v.push_back({"alphabitfields32", alpha32});
    v.push_back({"plain16", Spec(40, 3, 2, 16, 0, Bytes(16, 0x42))});
    return v;
}

Bytes Written(const std::function<void(TStream&)>& write)
{
    TMemoryStream stream;
    write(stream);
    return stream.Bytes();
}

std::unique_ptr<TCtFileInfo> Record(const std::string& path, bool dir, int64_t size)
{
    auto r = std::make_unique<TCtFileInfo>();
    r->Path = path;
    r->Item = TItemIdList::FromPath("/media/disc/" + path);
    r->IsDirectory = dir;
    r->Attributes = dir ? 0x10 : 0;
    r->Size = size;
    r->Modified = 44000.5;
    return r;
}

// The program's own files, written by its own writers.
void SaveStoreSeeds(const std::string& root)
{
    Save(root + "thumb/Thumbs.px", Written([](TStream& s) {
             WriteThumbIndex(s, {{"/home/u/pictures", 0, 4000, 2, 45000.5}, {"/a/b.zip", 1, 900, 1, 45001}});
         }));
    std::vector<TThumbnailRecord> records(2);
    records[0].Name = "p1.jpg";
    records[0].Width = 640;
    records[0].Height = 480;
    records[0].Bits = 24;
    records[0].BoxWidth = records[0].BoxHeight = 96;
    records[0].Origin = TThumbOrigin::toMade;
    records[0].Jpeg = {0xFF, 0xD8, 0xFF, 0xD9};
    records[1] = records[0];
    records[1].Name = "dir";
    records[1].FolderFlag = 1;
    Save(root + "thumb/0.ltf", Written([&](TStream& s) { WriteThumbData(s, 0, records, {}); }));

    TMediaList list;
    TMediaFolder& m = *list.Medium(list.Add("Disc", 3, "two\nlines"));
    m.VolumeLabel = "LABEL";
    m.FileSystem = "iso9660";
    m.Capacity = int64_t(5) << 32;
    m.StoredRootId = TItemIdList::FromPath("/media/disc");
    m.AddRecord(Record("dir", true, 0));
    m.AddRecord(Record("dir/big.bin", false, (int64_t(1) << 33) + 3));
    m.AddRecord(Record("top.jpg", false, 10));
    Save(root + "media/Media.lst", Written([&](TStream& s) { WriteMediaList(list, s); }));
    Save(root + "media/Disc", Written([&](TStream& s) { WriteCatalogue(m, s); }));

    TSearchCache cache;
    cache.SetMade(45000.25);
    TCacheEntries entries;
    for (const auto* name : {"a.jpg", "sub"}) {
        TCtFileInfo e;
        e.Path = std::string("/home/u/") + name;
        e.Item = TItemIdList::FromPath(e.Path);
        e.IsDirectory = name[0] == 's';
        e.Size = 1234;
        entries.push_back(e);
    }
    cache.Add("/home/u", entries);
    cache.Add("/home/u/sub", {});
    Save(root + "search/Search.lst", Written([&](TStream& s) { WriteSearchCache(cache, s); }));

    TCategoryList categories;
    TCategoryFolder& byName = *categories.Category(categories.Add("Name", 3, "by\nauthor"));
    TCategorySettings name;
    name.Kind = TCategoryKind::ckName;
    TNameDivideInfo enclosed;
    enclosed.Kind = dkEnclosed;
    enclosed.FirstDelimiters = {"[", "("};
    enclosed.SecondDelimiters = {"]", ")"};
    name.NameParts = {enclosed};
    name.PartOrder = {0};
    byName.SetSettings(name);
    byName.SetTargets({{TSearchTargetKind::tkFolder, "/home/u/", true}, {TSearchTargetKind::tkShelf, "", false}});
    TCategoryFolder& byCondition = *categories.Category(categories.Add("Dated", 0, ""));
    TCategorySettings conditions;
    conditions.Kind = TCategoryKind::ckConditions;
    conditions.Exclusive = true;
    TCustomCategorySet dated{"dated", {}, {}};
    dated.Limits.Mask = "*.jpg";
    dated.Limits.UseDate = true;
    dated.Limits.DateSetType = TDateSetType::dsDates;
    dated.Limits.DateKind = TDateKind::dkBetween;
    dated.Limits.DateFrom = 44000;
    dated.Limits.DateTo = 45000.5;
    dated.Children.push_back({"inner", {}, {}});
    conditions.RootCondition.Children = {dated, {"other", {}, {}}};
    byCondition.SetSettings(conditions);
    byCondition.SetTargets({{TSearchTargetKind::tkMedium, "Disc", true}});
    Save(root + "category/Category.lst", Written([&](TStream& s) { WriteCategoryList(categories, s); }));

    const auto text = [](const std::string& t) { return Bytes(t.begin(), t.end()); };
    Save(root + "marker/Marker.lst",
         text(WriteMarkerList({{"", "/home/u/pictures/", "p1.jpg"}, {"/a/b.zip", "x/c.zip", "dir/p2.jpg"},
                               {"", "/home/u/", ""}})));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: mireva_fuzz_seeds FOLDER\n");
        return 2;
    }
    const std::string root = std::string(argv[1]) + "/";
    for (const char* sub : {"bmp", "dib", "jpeg", "string", "settings", "archive", "thumb", "media", "search", "marker",
                            "trash", "export", "category"})
        ForceDirectories(root + sub);
    for (const auto& [name, spec] : Variants()) {
        Save(root + "bmp/" + name + ".bmp", BuildBmp(spec));
        const Bytes info = BuildDibInfo(spec);
        Bytes dib = {static_cast<uint8_t>(info.size()), static_cast<uint8_t>(info.size() >> 8)};
        dib.insert(dib.end(), info.begin(), info.end());
        dib.insert(dib.end(), spec.Pixels.begin(), spec.Pixels.end());
        Save(root + "dib/" + name, dib);
    }
    TBitmap colour(9, 7, 24);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 27; ++x)
            colour.ScanLine(y)[x] = static_cast<uint8_t>(x * 9 + y * 31);
    Save(root + "jpeg/colour.jpg", EncodeJpeg(colour));
    TBitmap gray(8, 8, 8);
    gray.SetGrayPalette();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            gray.ScanLine(y)[x] = static_cast<uint8_t>(x * 32);
    Save(root + "jpeg/gray.jpg", EncodeJpeg(gray));

    TMemoryStream texts;
    texts.Write("\x10", 1);  // buffer size
    for (const char* text : {"", "Mireva Thumbnail", "\xE7\x94\xBB\xE5\x83\x8F", "a"})
        WriteString(text, texts);
    Save(root + "string/texts", texts.Bytes());
    Save(root + "string/truncated", {0x07, 0x10, 0x00, 0x00, 0x00, 'a', 'b'});
    Save(root + "string/negative", {0x01, 0xFF, 0xFF, 0xFF, 0xFF, 'x'});

    const auto text = [](std::string_view t) { return Bytes(t.begin(), t.end()); };
    Save(root + "settings/options",
         text("[PICTURE]\nStretch=7\nBack=$00102030\n[LIST]\nFileText=$FF000008\n[ATTRCOLOR]\nUse_3=1\n"
              "[EXTCOLOR]\n.jpg;.jpeg=$000000FF\nbmp=junk\n[EXTCOLOR_USE]\n.jpg;.jpeg=0\n[THUMBNAIL]\nPath=/t\n"
              "Icon=65535\n[RECENT]\nCount=30\nView=500\n[PLUGIN]\nSPIPath=/p\n[PLUGIN_USE_IN]\na.spi=0\nb.spi=\n"));
    Save(root + "settings/old-keys",
         text("[COMMAND]\r\nScalingRatio=40\r\n[SCROLL]\r\nPageScrollKind=1\r\nPageScrollMoveCommandV=2\r\n"
              "Opposite=0\r\nPageScrollMoveSpreadV=0\r\n[LOUPE]\r\nRatio=2\r\nDisableShowBar=1\r\n"
              "[PICTURE]\r\nMoveCount=30\r\nCache=1\r\n[THUMBNAIL]\r\nSize=120\r\n"));
    // "[INITIALIZE]" with a shelf name in code page 932, as older versions wrote it.
    Save(root + "settings/cp932", text("[INITIALIZE]\r\nInitShelf=\x96\x7b\x92\x49\r\n"));

    // "ソ.png" in CP932 ends in the byte of '\'; "写真/表紙.png" too, inside.
    const std::vector<std::pair<std::string, std::string>> book = {
        {"first.png", "one"}, {"\x8E\xCA\x90\x5E/\x95\x5C\x8E\x86.png", "cover"}, {"\x83\x5C.png", "so"}};
    for (int level : {0, 1, 2})
        Save(root + "archive/level" + std::to_string(level) + ".lzh", text(BuildLzh(level, book)));

    SaveStoreSeeds(root);
    Save(root + "trash/plain.trashinfo",
         text("[Trash Info]\nPath=/home/u/pictures/p%201.jpg\nDeletionDate=2024-05-01T10:20:30\n"));
    Save(root + "trash/relative.trashinfo", text("[Trash Info]\r\nPath=pictures/%E5%86%99.jpg\r\n"
                                                 "DeletionDate=2024-05-01T10:20:30\r\n"));
    Save(root + "trash/uri-list", text("# comment\r\nfile:///home/u/a%20b.jpg\r\nfile://localhost/tmp/x\r\n"));
    Save(root + "trash/gnome", text("cut\nfile:///home/u/a.jpg\nfile:///home/u/b.jpg"));
    Save(root + "export/Export.ini",
         text("[Mine]\r\nDivideCount=3\r\nDivideInfo1=A,0,-,,0,1\r\nDivideInfo2=bad\r\n"
              "DivideInfo3=\"\xE4\xBD\x9C \",2,[;(,];),0,1\r\nNameDivide=1\r\nSrcOrder=0,17,18,40,x\r\n"
              "DstOrder=19,0,5\r\nHeader=0\r\nSubFolder=1\r\n[LastSetting]\r\nDivideCount=0\r\n"
              "SrcOrder=1,2,3\r\nDstOrder=0\r\n"));
    return 0;
}
