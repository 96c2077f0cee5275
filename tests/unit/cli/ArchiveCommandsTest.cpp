// mireva-cli plugins, archive list, archive extract and load of a picture
// inside an archive, run as a user runs them, with the plug-ins that lie
// beside the program.

#include <gtest/gtest.h>

#include <archive.h>
#include <archive_entry.h>
#include <locale.h>
#include <sys/stat.h>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "loading/ImgLoader.h"
#include "loading/SPIs.h"
#include "platform/FileSystem.h"
#include "RunCli.h"
#include "support/TempFolder.h"

namespace {

struct TMember {
    std::string Path;
    std::string Data;
    int64_t Time = 1600000000;
};

class ArchiveCli : public ::testing::Test {
protected:
    TCliRun Run(const std::string& arguments) { return RunCli(fFolder.Path(), arguments); }

    // A zip written by libarchive, names as given (UTF-8, unchecked).
    std::string Zip(const std::string& name, const std::vector<TMember>& members)
    {
        locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        locale_t previous = uselocale(utf8);
        archive* writer = archive_write_new();
        archive_write_set_format_zip(writer);
        archive_write_set_options(writer, "hdrcharset=UTF-8");
        const std::string path = fFolder.File(name);
        archive_write_open_filename(writer, path.c_str());
        for (const TMember& member : members) {
            archive_entry* entry = archive_entry_new();
            archive_entry_set_pathname_utf8(entry, member.Path.c_str());
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_perm(entry, 0644);
            archive_entry_set_size(entry, static_cast<la_int64_t>(member.Data.size()));
            archive_entry_set_mtime(entry, member.Time, 0);
            archive_write_header(writer, entry);
            archive_write_data(writer, member.Data.data(), member.Data.size());
            archive_entry_free(entry);
        }
        archive_write_close(writer);
        archive_write_free(writer);
        uselocale(previous);
        freelocale(utf8);
        return fFolder.Read(name);
    }

    static std::string Jpeg(int width, int height)
    {
        TBitmap bitmap(width, height, 24, true);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bitmap.ScanLine(y)[x * 3 + 2] = 200;
        const std::vector<uint8_t> bytes = EncodeJpeg(bitmap);
        return std::string(bytes.begin(), bytes.end());
    }

    static std::string Time(int64_t seconds) { return FormatDateTime(MemberTimeToDateTime(static_cast<int32_t>(seconds))); }

    TTempFolder fFolder;
};

TEST_F(ArchiveCli, PluginsAreListedInPriorityOrder)
{
    const TCliRun run = Run("plugins");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const size_t jpeg = run.Out.find("mvjpeg.spi\timage\tenabled\t*.jpg;*.jpeg;*.jpe;*.jfif\n");
    const size_t archive = run.Out.find("mvarchive.spi\tarchive\tenabled\t*.zip;*.cbz;*.rar;*.cbr;*.7z;*.cb7;");
    ASSERT_NE(jpeg, std::string::npos) << run.Out;
    ASSERT_NE(archive, std::string::npos) << run.Out;
    EXPECT_LT(jpeg, archive) << "image plug-ins come first";
    EXPECT_LT(run.Out.find("mvavif.spi"), jpeg) << "new plug-ins in file-name order";
}

TEST_F(ArchiveCli, PluginsFollowTheSavedOrderAndFlags)
{
    fFolder.Write("home/Mireva.ini", "[PLUGIN_USE_IN]\nmvpng.spi=0\nmvjpeg.spi=1\ngone.spi=1\n");
    const TCliRun run = Run("plugins");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out.rfind("mvpng.spi\timage\tdisabled\t*.png\nmvjpeg.spi\timage\tenabled\t", 0), 0u) << run.Out;
    EXPECT_EQ(run.Out.find("gone.spi"), std::string::npos);
    fFolder.Write("page.png", "\x89PNG\r\n\x1a\n not really");
    EXPECT_EQ(Run("detect page.png").Out.rfind("Loader=none", 0), 0u) << "a disabled plug-in detects nothing";
}

TEST_F(ArchiveCli, ListsMembersInTheArchivesOrder)
{
    Zip("book.zip", {{"p/02.jpg", "bb", 1600000000}, {"p/01.jpg", "a", 1500000000}, {"../evil.txt", "e", 0}});
    const TCliRun run = Run("archive list book.zip");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, "p/02.jpg\t2\t" + Time(1600000000) + "\np/01.jpg\t1\t" + Time(1500000000) +
                           "\n．．/evil.txt\t1\t" + Time(0) + "\n");
    const TCliRun folder = Run("archive list book.zip/p");
    EXPECT_EQ(folder.Out, "p/02.jpg\t2\t" + Time(1600000000) + "\np/01.jpg\t1\t" + Time(1500000000) + "\n");
}

TEST_F(ArchiveCli, NestedArchivesListAndExtractThroughEitherSeparator)
{
    const std::string inner = Zip("inner.cbz", {{"page.jpg", "inner page"}});
    Zip("outer.zip", {{"x/inner.cbz", inner}});
    for (const char* path : {"outer.zip//x/inner.cbz", "outer.zip/x/inner.cbz"}) {
        SCOPED_TRACE(path);
        const TCliRun list = Run(std::string("archive list ") + path);
        ASSERT_EQ(list.ExitCode, 0) << list.Err;
        EXPECT_EQ(list.Out, "page.jpg\t10\t" + Time(1600000000) + "\n");
        const TCliRun extract = Run(std::string("archive extract ") + path + " page.jpg out.jpg");
        ASSERT_EQ(extract.ExitCode, 0) << extract.Err;
        EXPECT_EQ(fFolder.Read("out.jpg"), "inner page");
    }
}

TEST_F(ArchiveCli, FailuresSayWhyAndWriteNothing)
{
    Zip("book.zip", {{"a.txt", "a"}, {"fake.cbz", "not an archive"}});
    fFolder.Write("plain.txt", "not an archive");
    ASSERT_EQ(::mkfifo(fFolder.File("pipe.zip").c_str(), 0644), 0);
    struct {
        const char* Arguments;
        int ExitCode;
        const char* Says;
    } cases[] = {
        {"archive extract book.zip missing.txt out.bin", 1, "'book.zip/missing.txt' : No such file or directory"},
        {"archive extract none.zip a.txt out.bin", 1, "'none.zip' : No such file or directory"},
        {"archive list plain.txt", 1, "'plain.txt'は読み込めませんでした  "},
        {"archive list plain.txt/inner", 1, "'plain.txt/inner' : Not a directory"},
        {"archive list pipe.zip", 1, "pipe.zip' は通常のファイルではありません  "},
        {"archive list pipe.zip/p", 1, "pipe.zip' は通常のファイルではありません  "},
        {"archive list book.zip/nofolder", 1, "'book.zip/nofolder' : No such file or directory"},
        {"archive list book.zip/fake.cbz", 1, "'fake.cbz'は読み込めませんでした  "},
        {"archive list book.zip/gone.cbz/p", 1, "'book.zip/gone.cbz/p' : No such file or directory"},
        {"archive list book.zip/a.txt", 2, "is a member"},
        {"archive", 2, "list or extract"},
        {"archive unpack book.zip", 2, "unknown action"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Arguments);
        const TCliRun run = Run(c.Arguments);
        EXPECT_EQ(run.ExitCode, c.ExitCode);
        EXPECT_NE(run.Err.find(c.Says), std::string::npos) << run.Err;
        EXPECT_TRUE(run.Out.empty());
    }
    EXPECT_FALSE(PathExists(fFolder.File("out.bin")));
}

// Member names come from whoever made the archive.
TEST_F(ArchiveCli, NamesCannotForgeLines)
{
    Zip("book.zip", {{"a.jpg\t1464\t2020/01/01 00:00:00\nFORGED.jpg", "a", 0}, {"e\x1b[2J.jpg", "e", 0}});
    const TCliRun run = Run("archive list book.zip");
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out, "a.jpg\\t1464\\t2020/01/01 00:00:00\\nFORGED.jpg\t1\t" + Time(0) + "\ne\\x1b[2J.jpg\t1\t" +
                           Time(0) + "\n");
}

// Nesting levels may be joined by a plain separator at any depth, as the
// viewer's address bar takes them.
TEST_F(ArchiveCli, NestingLevelsThroughPlainSeparators)
{
    const std::string jpeg = Jpeg(6, 4);
    const std::string deepest = Zip("c.cbz", {{"p/01.jpg", jpeg}});
    const std::string middle = Zip("b.zip", {{"x/c.cbz", deepest}});
    Zip("outer.zip", {{"b.zip", middle}});
    const TCliRun list = Run("archive list outer.zip/b.zip/x/c.cbz/p");
    ASSERT_EQ(list.ExitCode, 0) << list.Err;
    EXPECT_EQ(list.Out, "p/01.jpg\t" + std::to_string(jpeg.size()) + "\t" + Time(1600000000) + "\n");
    const TCliRun load = Run("load outer.zip/b.zip/x/c.cbz/p/01.jpg page.png");
    ASSERT_EQ(load.ExitCode, 0) << load.Err;
    EXPECT_EQ(load.Out, "6x4 Bits24 color\n");
    EXPECT_EQ(Run("archive list outer.zip/b.zip/y/c.cbz").ExitCode, 1);
}

// An archive that cannot be read lists nothing and fails with its
// not-listed message; one readable only up to damage lists what was read and
// fails saying so, so that no script takes it for the whole.
TEST_F(ArchiveCli, DamagedArchivesAreNeverListedAsWhole)
{
    std::vector<TMember> members;
    uint32_t seed = 1;
    for (const char* name : {"1.bin", "2.bin", "3.bin"}) {
        std::string noise(20000, '\0');
        for (char& c : noise)
            c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
        members.push_back({name, noise});
    }
    const std::string whole = Zip("whole.zip", members);
    fFolder.Write("short.zip", whole.substr(0, 30));
    fFolder.Write("cut.zip", whole.substr(0, 30000));
    const TCliRun none = Run("archive list short.zip");
    EXPECT_EQ(none.ExitCode, 1);
    EXPECT_EQ(none.Out, "");
    EXPECT_NE(none.Err.find("'short.zip'は展開できませんでした  "), std::string::npos) << none.Err;
    const TCliRun part = Run("archive list cut.zip");
    EXPECT_EQ(part.ExitCode, 1);
    EXPECT_EQ(part.Out.rfind("1.bin\t20000\t", 0), 0u) << part.Out;
    EXPECT_NE(part.Err.find("'cut.zip'は途中までしか読み込めませんでした  "), std::string::npos) << part.Err;
}

TEST_F(ArchiveCli, LoadsPicturesOutOfTheBoxAlsoInsideArchives)
{
    const std::string jpeg = Jpeg(12, 8);
    fFolder.Write("page.jpg", jpeg);
    const TCliRun plain = Run("load page.jpg plain.bmp");
    ASSERT_EQ(plain.ExitCode, 0) << plain.Err;
    EXPECT_EQ(plain.Out, "12x8 Bits24 color\n");

    const std::string inner = Zip("inner.cbz", {{"pages/01.jpg", jpeg}});
    Zip("book.zip", {{"pages/01.jpg", jpeg}, {"more/inner.cbz", inner}});
    for (const char* path : {"book.zip/pages/01.jpg", "book.zip//more/inner.cbz/pages/01.jpg"}) {
        SCOPED_TRACE(path);
        const TCliRun run = Run(std::string("load ") + path + " member.bmp");
        ASSERT_EQ(run.ExitCode, 0) << run.Err;
        EXPECT_EQ(run.Out, "12x8 Bits24 color\n");
        EXPECT_EQ(fFolder.Read("member.bmp"), fFolder.Read("plain.bmp"));
    }
    const TCliRun missing = Run("load book.zip/pages/02.jpg x.bmp");
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_FALSE(PathExists(fFolder.File("x.bmp")));
}

}  // namespace
