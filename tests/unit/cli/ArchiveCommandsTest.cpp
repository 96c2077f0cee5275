// mireva-cli plugins, archive list, archive extract and load of a picture
// inside an archive, run as a user runs them, with the plug-ins that lie
// beside the program.

#include <gtest/gtest.h>

#include <archive.h>
#include <archive_entry.h>
#include <cstdio>
#include <locale.h>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "common/DateTime.h"
#include "loading/ImgLoader.h"
#include "loading/SPIs.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace {

struct TRun {
    int Exit = -1;
    std::string Out;
    std::string Err;
};

struct TMember {
    std::string Path;
    std::string Data;
    int64_t Time = 1600000000;
};

class ArchiveCli : public ::testing::Test {
protected:
    TRun Run(const std::string& arguments)
    {
        const std::string command = "cd '" + fFolder.Path() + "' && '" MIREVA_BIN_DIR "/mireva-cli' --home '" +
                                    fFolder.Path() + "home' " + arguments + " 2>'" + fFolder.File("stderr") + "'";
        TRun run;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe)
            return run;
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            run.Out.append(buffer, n);
        const int status = ::pclose(pipe);
        run.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.Err = fFolder.Read("stderr");
        return run;
    }

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
        return ReadWholeFileText(path);
    }

    static std::string ReadWholeFileText(const std::string& path)
    {
        FILE* file = std::fopen(path.c_str(), "rb");
        std::string bytes;
        char buffer[4096];
        size_t n;
        while (file && (n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.append(buffer, n);
        if (file)
            std::fclose(file);
        return bytes;
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
    const TRun run = Run("plugins");
    ASSERT_EQ(run.Exit, 0) << run.Err;
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
    const TRun run = Run("plugins");
    ASSERT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Out.rfind("mvpng.spi\timage\tdisabled\t*.png\nmvjpeg.spi\timage\tenabled\t", 0), 0u) << run.Out;
    EXPECT_EQ(run.Out.find("gone.spi"), std::string::npos);
    fFolder.Write("page.png", "\x89PNG\r\n\x1a\n not really");
    EXPECT_EQ(Run("detect page.png").Out.rfind("Loader=none", 0), 0u) << "a disabled plug-in detects nothing";
}

TEST_F(ArchiveCli, ListsMembersInTheArchivesOrder)
{
    Zip("book.zip", {{"p/02.jpg", "bb", 1600000000}, {"p/01.jpg", "a", 1500000000}, {"../evil.txt", "e", 0}});
    const TRun run = Run("archive list book.zip");
    ASSERT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(run.Out, "p/02.jpg\t2\t" + Time(1600000000) + "\np/01.jpg\t1\t" + Time(1500000000) +
                           "\n．．/evil.txt\t1\t" + Time(0) + "\n");
    const TRun folder = Run("archive list book.zip/p");
    EXPECT_EQ(folder.Out, "p/02.jpg\t2\t" + Time(1600000000) + "\np/01.jpg\t1\t" + Time(1500000000) + "\n");
}

TEST_F(ArchiveCli, NestedArchivesListAndExtractThroughEitherSeparator)
{
    const std::string inner = Zip("inner.cbz", {{"page.jpg", "inner page"}});
    Zip("outer.zip", {{"x/inner.cbz", inner}});
    for (const char* path : {"outer.zip//x/inner.cbz", "outer.zip/x/inner.cbz"}) {
        SCOPED_TRACE(path);
        const TRun list = Run(std::string("archive list ") + path);
        ASSERT_EQ(list.Exit, 0) << list.Err;
        EXPECT_EQ(list.Out, "page.jpg\t10\t" + Time(1600000000) + "\n");
        const TRun extract = Run(std::string("archive extract ") + path + " page.jpg out.jpg");
        ASSERT_EQ(extract.Exit, 0) << extract.Err;
        EXPECT_EQ(fFolder.Read("out.jpg"), "inner page");
    }
}

TEST_F(ArchiveCli, FailuresSayWhyAndWriteNothing)
{
    Zip("book.zip", {{"a.txt", "a"}});
    fFolder.Write("plain.txt", "not an archive");
    struct {
        const char* Arguments;
        int Exit;
    } cases[] = {
        {"archive extract book.zip missing.txt out.bin", 1},
        {"archive extract none.zip a.txt out.bin", 1},
        {"archive list plain.txt", 1},
        {"archive list book.zip/nofolder", 1},
        {"archive list book.zip/a.txt", 2},
        {"archive", 2},
        {"archive unpack book.zip", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Arguments);
        const TRun run = Run(c.Arguments);
        EXPECT_EQ(run.Exit, c.Exit);
        EXPECT_FALSE(run.Err.empty());
        EXPECT_TRUE(run.Out.empty());
    }
    EXPECT_FALSE(PathExists(fFolder.File("out.bin")));
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
    const TRun none = Run("archive list short.zip");
    EXPECT_EQ(none.Exit, 1);
    EXPECT_EQ(none.Out, "");
    EXPECT_NE(none.Err.find("'short.zip'は展開できませんでした  "), std::string::npos) << none.Err;
    const TRun part = Run("archive list cut.zip");
    EXPECT_EQ(part.Exit, 1);
    EXPECT_EQ(part.Out.rfind("1.bin\t20000\t", 0), 0u) << part.Out;
    EXPECT_NE(part.Err.find("'cut.zip'は途中までしか読み込めませんでした  "), std::string::npos) << part.Err;
}

TEST_F(ArchiveCli, LoadsPicturesOutOfTheBoxAlsoInsideArchives)
{
    const std::string jpeg = Jpeg(12, 8);
    fFolder.Write("page.jpg", jpeg);
    const TRun plain = Run("load page.jpg plain.bmp");
    ASSERT_EQ(plain.Exit, 0) << plain.Err;
    EXPECT_EQ(plain.Out, "12x8 Bits24 color\n");

    const std::string inner = Zip("inner.cbz", {{"pages/01.jpg", jpeg}});
    Zip("book.zip", {{"pages/01.jpg", jpeg}, {"more/inner.cbz", inner}});
    for (const char* path : {"book.zip/pages/01.jpg", "book.zip//more/inner.cbz/pages/01.jpg"}) {
        SCOPED_TRACE(path);
        const TRun run = Run(std::string("load ") + path + " member.bmp");
        ASSERT_EQ(run.Exit, 0) << run.Err;
        EXPECT_EQ(run.Out, "12x8 Bits24 color\n");
        EXPECT_EQ(fFolder.Read("member.bmp"), fFolder.Read("plain.bmp"));
    }
    const TRun missing = Run("load book.zip/pages/02.jpg x.bmp");
    EXPECT_EQ(missing.Exit, 1);
    EXPECT_FALSE(PathExists(fFolder.File("x.bmp")));
}

}  // namespace
