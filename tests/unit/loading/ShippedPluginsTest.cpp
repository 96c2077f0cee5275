// The plug-ins we ship, tried on real files: archives written by libarchive,
// by the command-line tools of the system and, for RAR (which free tools
// cannot write), built byte by byte here; pictures written by each format's
// own library.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <archive.h>
#include <archive_entry.h>
#include <avif/avif.h>
#include <cstdio>
#include <cstring>
#include <functional>
#include <gif_lib.h>
#include <jpeglib.h>
#include <locale.h>
#include <map>
#include <png.h>
#include <thread>
#include <tuple>
#include <tiffio.h>
#include <unistd.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include "LzhBuilder.h"
#include "PluginTestSupport.h"
#include "archive/ArchiveAccess.h"
#include "common/DateTime.h"
#include "base/PathUtils.h"
#include "platform/FileStream.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace {

struct TEntry {
    std::string Path;  // inside the archive, '/'-separated
    std::string Data;
    std::string LinkTo = {};  // a hard link to this earlier member (tar)
};

std::string Pseudorandom(size_t size, uint32_t seed)
{
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 16);
    }
    return bytes;
}

const std::vector<TEntry>& BookMembers()
{
    static const std::vector<TEntry> members = {
        {"pages/001.bin", Pseudorandom(300, 1)},
        {"pages/sub/002.txt", "hello"},
        {"pages/big.txt", std::string(100000, 'a') + "end"},
        {"\xE6\x97\xA5\xE6\x9C\xAC/\xE5\x90\x8D\xE5\x89\x8D.txt", "utf-8 names"},
        {"empty.txt", ""},
    };
    return members;
}

constexpr int64_t MemberTime = 1600000000;

// Writes an archive with libarchive in the given format ("zip", "7zip",
// "ustar").
std::string WriteWithLibarchive(const std::string& path, const std::string& format, const std::vector<TEntry>& members)
{
    // Names are given in UTF-8; libarchive converts them through the
    // thread's locale.
    locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    locale_t previous = uselocale(utf8);
    archive* writer = archive_write_new();
    archive_write_set_format_by_name(writer, format.c_str());
    if (format == "zip")
        archive_write_set_options(writer, "hdrcharset=UTF-8");
    EXPECT_EQ(archive_write_open_filename(writer, path.c_str()), ARCHIVE_OK) << archive_error_string(writer);
    for (const TEntry& member : members) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname_utf8(entry, member.Path.c_str());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, static_cast<la_int64_t>(member.Data.size()));
        if (!member.LinkTo.empty())
            archive_entry_set_hardlink(entry, member.LinkTo.c_str());
        archive_entry_set_mtime(entry, MemberTime, 0);
        EXPECT_EQ(archive_write_header(writer, entry), ARCHIVE_OK) << archive_error_string(writer);
        if (!member.Data.empty())
            archive_write_data(writer, member.Data.data(), member.Data.size());
        archive_entry_free(entry);
    }
    archive_write_close(writer);
    archive_write_free(writer);
    uselocale(previous);
    freelocale(utf8);
    return path;
}

// Writes the members as files and runs a tool in that folder.
std::string WriteWithTool(const TTempFolder& folder, const std::string& archive, const std::string& command,
                          const std::vector<TEntry>& members)
{
    const std::string source = folder.Path() + "src/";
    for (const TEntry& member : members)
        folder.Write("src/" + member.Path, member.Data);
    const std::string line = "cd '" + source + "' && " + command + " '" + folder.Path() + archive + "' " +
                             "pages '\xE6\x97\xA5\xE6\x9C\xAC' empty.txt > /dev/null 2>&1";
    EXPECT_EQ(std::system(line.c_str()), 0) << line;
    return folder.Path() + archive;
}

// --- RAR, written by hand: both formats with stored (uncompressed) members.

uint32_t Crc32(const std::string& bytes)
{
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes)
        crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void PutLE(std::string& out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutVint(std::string& out, uint64_t value)
{
    do {
        uint8_t byte = value & 0x7F;
        value >>= 7;
        if (value)
            byte |= 0x80;
        out += static_cast<char>(byte);
    } while (value);
}

// A RAR 5 block: CRC32, size, then the header from its type on.
std::string Rar5Block(const std::string& header)
{
    std::string sized;
    PutVint(sized, header.size());
    sized += header;
    std::string block;
    PutLE(block, Crc32(sized), 4);
    return block + sized;
}

std::string Rar5Archive(const std::vector<TEntry>& members)
{
    std::string out("Rar!\x1A\x07\x01\x00", 8);
    std::string main;
    PutVint(main, 1);  // main archive header
    PutVint(main, 0);  // header flags
    PutVint(main, 0);  // archive flags
    out += Rar5Block(main);
    for (const TEntry& member : members) {
        std::string file;
        PutVint(file, 2);       // file header
        PutVint(file, 0x0002);  // a data area follows
        PutVint(file, member.Data.size());
        PutVint(file, 0x0002 | 0x0004);  // Unix time and CRC32 present
        PutVint(file, member.Data.size());
        PutVint(file, 0100644);  // attributes: a regular file
        PutLE(file, static_cast<uint64_t>(MemberTime), 4);
        PutLE(file, Crc32(member.Data), 4);
        PutVint(file, 0);  // version 0, method 0: stored
        PutVint(file, 1);  // Unix
        PutVint(file, member.Path.size());
        file += member.Path;
        out += Rar5Block(file) + member.Data;
    }
    std::string end;
    PutVint(end, 5);
    PutVint(end, 0);
    PutVint(end, 0);
    out += Rar5Block(end);
    return out;
}

// A RAR 1.5-4.x block: the low 16 bits of the CRC32 of everything after the
// CRC field.
std::string Rar4Block(const std::string& afterCrc)
{
    std::string block;
    PutLE(block, Crc32(afterCrc) & 0xFFFF, 2);
    return block + afterCrc;
}

std::string Rar4Archive(const std::vector<TEntry>& members)
{
    std::string out("Rar!\x1A\x07\x00", 7);
    std::string main;
    main += '\x73';
    PutLE(main, 0, 2);   // flags
    PutLE(main, 13, 2);  // header size
    PutLE(main, 0, 6);   // reserved
    out += Rar4Block(main);
    // 2020-09-13 12:26:40 as an MS-DOS date and time.
    const uint32_t dosTime = ((2020 - 1980) << 25) | (9 << 21) | (13 << 16) | (12 << 11) | (26 << 5) | (40 / 2);
    for (const TEntry& member : members) {
        std::string file;
        file += '\x74';
        PutLE(file, 0x8000, 2);  // a data area follows
        PutLE(file, 32 + member.Path.size(), 2);
        PutLE(file, member.Data.size(), 4);  // packed
        PutLE(file, member.Data.size(), 4);  // unpacked
        file += '\x03';                      // Unix
        PutLE(file, Crc32(member.Data), 4);
        PutLE(file, dosTime, 4);
        file += '\x14';  // version 2.0 to unpack
        file += '\x30';  // stored
        PutLE(file, member.Path.size(), 2);
        PutLE(file, 0100644, 4);
        file += member.Path;
        out += Rar4Block(file) + member.Data;
    }
    std::string end;
    end += '\x7B';
    PutLE(end, 0x4000, 2);
    PutLE(end, 7, 2);
    out += Rar4Block(end);
    return out;
}

std::string LzhArchive(int level, const std::vector<TEntry>& members)
{
    std::vector<std::pair<std::string, std::string>> files;
    for (const TEntry& member : members)
        files.emplace_back(member.Path, member.Data);
    return BuildLzh(level, files, MemberTime);
}

std::vector<TEntry> AsciiMembers()
{
    std::vector<TEntry> members;
    for (const TEntry& member : BookMembers()) {
        if (static_cast<unsigned char>(member.Path[0]) < 0x80)
            members.push_back(member);
    }
    return members;
}

// A registry over the shipped plug-ins (and the fake ones, for pictures in
// the fake format).
class ShippedRegistry {
public:
    explicit ShippedRegistry(bool macBinary = false) : fTest(ShippedPluginFolder())
    {
        TPluginSettings settings;
        settings.SearchPluginPath = true;
        settings.SPIPath = MIREVA_FAKES_DIR;
        settings.MacBinary = macBinary;
        fLoaders = fTest.Registry.Reload(settings);
    }
    const TFileLoaderList& Registry() const { return *fLoaders; }
    const TLoaderSetPtr& Loaders() const { return fLoaders; }

private:
    TTestRegistry fTest;
    TLoaderSetPtr fLoaders;
};

}  // namespace

struct TArchiveCase {
    const char* Name;
    const char* File;
    std::function<std::string(const TTempFolder&, const std::string&)> Make;
    bool Ascii;
};

class RealArchiveTest : public ::testing::TestWithParam<TArchiveCase> {};

TEST_P(RealArchiveTest, ListsAndExtractsEveryMember)
{
    TTempFolder folder;
    ForceDirectories(folder.Path() + "tmp", 0700);
    const std::string path = GetParam().Make(folder, GetParam().File);
    ASSERT_TRUE(FileExists(path));
    ShippedRegistry shipped;
    TArchiveEnv env{shipped.Loaders(), folder.Path() + "tmp/"};
    TArchiverPtr archiver = OpenArchive(env, path);
    ASSERT_NE(archiver, nullptr) << "not opened";
    EXPECT_TRUE(shipped.Registry().IsArchiveExtension(ExtractFileExt(path)));

    const std::vector<TEntry> expected = GetParam().Ascii ? AsciiMembers() : BookMembers();
    std::vector<TArchiveFileInfo*> files;
    archiver->List("", false, files);
    EXPECT_EQ(files.size(), expected.size());
    for (const TEntry& member : expected) {
        SCOPED_TRACE(member.Path);
        const TArchiveFileInfo* record = archiver->FindRecord(ExtractFilePath(member.Path), ExtractFileName(member.Path));
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->Size, member.Data.size());
        std::unique_ptr<TMemoryStream> stream = archiver->ExtractToStream(*record);
        EXPECT_EQ(std::string(stream->Bytes().begin(), stream->Bytes().end()), member.Data);
        const std::string file = archiver->ExtractToFile(*record, true);
        if (member.Data.empty())
            continue;  // an empty member that the plug-in could not write has nothing to fall back on
        ASSERT_EQ(file, archiver->TempFolder() + member.Path);
        EXPECT_EQ(ReadWholeFile(file), member.Data);
    }
}

// Extraction goes on from the member extracted last when it can; any order
// of members, backwards and repeated included, gives each member's bytes.
TEST_P(RealArchiveTest, ExtractsMembersInAnyOrder)
{
    TTempFolder folder;
    ForceDirectories(folder.Path() + "tmp", 0700);
    const std::string path = GetParam().Make(folder, GetParam().File);
    ShippedRegistry shipped;
    TArchiverPtr archiver = OpenArchive({shipped.Loaders(), folder.Path() + "tmp/"}, path);
    ASSERT_NE(archiver, nullptr);
    const std::vector<TEntry> expected = GetParam().Ascii ? AsciiMembers() : BookMembers();
    const int last = static_cast<int>(expected.size()) - 1;
    for (int index : {last, 0, 2, 1, 1, 3, last, 0, 0, last}) {
        const TEntry& member = expected[static_cast<size_t>(std::min(index, last))];
        SCOPED_TRACE(member.Path);
        const TArchiveFileInfo* record = archiver->FindRecord(ExtractFilePath(member.Path), ExtractFileName(member.Path));
        ASSERT_NE(record, nullptr);
        std::unique_ptr<TMemoryStream> stream = archiver->ExtractToStream(*record);
        EXPECT_EQ(std::string(stream->Bytes().begin(), stream->Bytes().end()), member.Data);
    }
}

// Several threads list one archive and extract its members at once, each in
// an order of its own, through the plug-in's loader as the thumbnail workers
// and the viewer's two pages do: every list and every member equals what one
// thread alone gets.
TEST_P(RealArchiveTest, ListsAndExtractsTheSameFromManyThreadsAtOnce)
{
    TTempFolder folder;
    const std::string path = GetParam().Make(folder, GetParam().File);
    ShippedRegistry shipped;
    TArchiveLoader* loader = shipped.Registry().FindArchiveLoaderFor(path);
    ASSERT_NE(loader, nullptr);
    EXPECT_FALSE(loader->NeedsLoaderLock()) << "the shipped archive plug-in declares itself thread-safe";

    using TListing = std::vector<std::tuple<uint32_t, std::string, std::string, uint32_t>>;
    auto list = [&] {
        TArchiveFileList items;
        loader->GetArchiveInfo(path, 0, items);
        TListing listing;
        for (const auto& item : items)
            listing.emplace_back(item->Position, item->Path, item->Name, item->Size);
        return listing;
    };
    auto extract = [&](uint32_t position) {
        TMemoryStream stream;
        loader->ExtractToStream(path, position, stream);
        return std::string(stream.Bytes().begin(), stream.Bytes().end());
    };
    const TListing alone = list();
    // Archives written by the tools list their folders as well.
    const std::vector<TEntry> expected = GetParam().Ascii ? AsciiMembers() : BookMembers();
    ASSERT_GE(alone.size(), expected.size());
    std::map<uint32_t, std::string> bytes;
    for (const auto& [position, folderPath, name, size] : alone)
        bytes[position] = extract(position);

    constexpr int Threads = 6;
    constexpr int Rounds = 3;
    std::atomic<int> listsSame{0}, membersSame{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < Rounds; ++round) {
                if (list() == alone)
                    ++listsSame;
                // Forward from a member of the thread's own, so that the
                // threads pass one another and go on from kept readers.
                for (size_t i = 0; i < alone.size(); ++i) {
                    const uint32_t position = std::get<0>(alone[(i + static_cast<size_t>(t)) % alone.size()]);
                    if (extract(position) == bytes.at(position))
                        ++membersSame;
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(listsSame.load(), Threads * Rounds);
    EXPECT_EQ(membersSame.load(), Threads * Rounds * static_cast<int>(alone.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, RealArchiveTest,
    ::testing::Values(
        TArchiveCase{"ZipByLibarchive", "book.zip",
                     [](const TTempFolder& f, const std::string& n) {
                         return WriteWithLibarchive(f.Path() + n, "zip", BookMembers());
                     },
                     false},
        TArchiveCase{"SevenZipByLibarchive", "book.cb7",
                     [](const TTempFolder& f, const std::string& n) {
                         return WriteWithLibarchive(f.Path() + n, "7zip", BookMembers());
                     },
                     false},
        TArchiveCase{"TarByLibarchive", "book.cbt",
                     [](const TTempFolder& f, const std::string& n) {
                         return WriteWithLibarchive(f.Path() + n, "ustar", BookMembers());
                     },
                     false},
        TArchiveCase{"ZipByZip", "book.cbz",
                     [](const TTempFolder& f, const std::string& n) {
                         return WriteWithTool(f, n, "zip -q -r", BookMembers());
                     },
                     false},
        TArchiveCase{"SevenZipBy7z", "book.7z",
                     [](const TTempFolder& f, const std::string& n) {
                         return WriteWithTool(f, n, "7z a -bd", BookMembers());
                     },
                     false},
        TArchiveCase{"TarByBsdtar", "book.tar",
                     [](const TTempFolder& f, const std::string& n) {
                         return WriteWithTool(f, n, "bsdtar -cf", BookMembers());
                     },
                     false},
        TArchiveCase{"Rar5Stored", "book.rar",
                     [](const TTempFolder& f, const std::string& n) { return f.Write(n, Rar5Archive(BookMembers())); },
                     false},
        TArchiveCase{"LzhStored", "book.lzh",
                     [](const TTempFolder& f, const std::string& n) { return f.Write(n, LzhArchive(0, AsciiMembers())); },
                     true},
        TArchiveCase{"Rar4Stored", "book.cbr",
                     [](const TTempFolder& f, const std::string& n) { return f.Write(n, Rar4Archive(AsciiMembers())); },
                     true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(RealArchives, MemberTimesAreReportedAsTheFormatKeepsThem)
{
    TTempFolder folder;
    ForceDirectories(folder.Path() + "tmp", 0700);
    const std::string path = WriteWithLibarchive(folder.Path() + "t.tar", "ustar", {{"a.txt", "x"}});
    ShippedRegistry shipped;
    TArchiverPtr archiver = OpenArchive({shipped.Loaders(), folder.Path() + "tmp/"}, path);
    ASSERT_NE(archiver, nullptr);
    const TArchiveFileInfo& record = *archiver->Items()[0];
    EXPECT_EQ(record.Time, MemberTimeToDateTime(MemberTime));
    const std::string file = archiver->ExtractToFile(record, true);
    EXPECT_EQ(QueryFile(file).ModifiedSeconds, DateTimeToUnix(record.Time));
}

// An archive written anew under the same name between two extractions, in
// place or by a rename over it, gives the new member's bytes, never the old.
TEST(RealArchives, ArchiveRewrittenBetweenExtractionsGivesTheNewBytes)
{
    for (const bool renamed : {false, true}) {
        SCOPED_TRACE(renamed ? "renamed over" : "rewritten in place");
        TTempFolder folder;
        ForceDirectories(folder.Path() + "tmp", 0700);
        const std::string path = folder.Path() + "book.cbz";
        WriteWithLibarchive(path, "zip", {{"1.txt", "first one"}, {"2.txt", "second"}, {"3.txt", "third"}});
        ShippedRegistry shipped;
        TArchiverPtr before = OpenArchive({shipped.Loaders(), folder.Path() + "tmp/"}, path);
        ASSERT_NE(before, nullptr);
        EXPECT_EQ(before->ExtractToStream(*before->FindRecord("", "1.txt"))->Size(), 9);

        const std::vector<TEntry> changed = {{"1.txt", "FIRST"}, {"2.txt", "SECOND, longer"}, {"3.txt", "THIRD"}};
        if (renamed) {
            WriteWithLibarchive(folder.Path() + "new.cbz", "zip", changed);
            ASSERT_EQ(std::rename((folder.Path() + "new.cbz").c_str(), path.c_str()), 0);
        } else {
            WriteWithLibarchive(path, "zip", changed);
        }
        TArchiverPtr after = OpenArchive({shipped.Loaders(), folder.Path() + "tmp/"}, path);
        ASSERT_NE(after, nullptr);
        std::unique_ptr<TMemoryStream> stream = after->ExtractToStream(*after->FindRecord("", "2.txt"));
        EXPECT_EQ(std::string(stream->Bytes().begin(), stream->Bytes().end()), "SECOND, longer");
    }
}

// How many of this process's open files are path.
int OpenDescriptorsOf(const std::string& path)
{
    int count = 0;
    for (const TDirEntry& entry : ListDirectory("/proc/self/fd/")) {
        char target[4096];
        const ssize_t length = ::readlink(("/proc/self/fd/" + entry.Name).c_str(), target, sizeof target - 1);
        if (length > 0 && std::string(target, static_cast<size_t>(length)) == path)
            ++count;
    }
    return count;
}

// The archive plug-in keeps its last reader for the next member, but not for
// ever: a book put away does not keep its file, or its medium, busy.
TEST(RealArchives, AnIdleArchiveIsClosedAfterAWhile)
{
    TTempFolder folder;
    ForceDirectories(folder.Path() + "tmp", 0700);
    const std::string path =
        WriteWithLibarchive(folder.Path() + "book.cbz", "zip", {{"1.txt", "one"}, {"2.txt", "two"}});
    ShippedRegistry shipped;
    TArchiverPtr archiver = OpenArchive({shipped.Loaders(), folder.Path() + "tmp/"}, path);
    ASSERT_NE(archiver, nullptr);
    ASSERT_EQ(archiver->ExtractToStream(*archiver->FindRecord("", "1.txt"))->Size(), 3);
    EXPECT_EQ(OpenDescriptorsOf(path), 1) << "kept for the next member";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (OpenDescriptorsOf(path) > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(OpenDescriptorsOf(path), 0);
    // Reading on opens it again.
    std::unique_ptr<TMemoryStream> stream = archiver->ExtractToStream(*archiver->FindRecord("", "2.txt"));
    EXPECT_EQ(std::string(stream->Bytes().begin(), stream->Bytes().end()), "two");
}

TEST(RealArchives, ArchivesBehindAMacBinaryHeaderOpenWhenAsked)
{
    TTempFolder folder;
    ForceDirectories(folder.Path() + "tmp", 0700);
    ShippedRegistry shipped(true);
    for (const char* format : {"zip", "7zip", "ustar"}) {
        SCOPED_TRACE(format);
        const std::string plain = ReadWholeFile(
            WriteWithLibarchive(folder.Path() + "plain", format, {{"a/one.txt", "first"}, {"two.txt", "second"}}));
        const std::string path = folder.Write(std::string("mac.") + format, std::string(128, '\x01') + plain);
        TArchiverPtr archiver = OpenArchive({shipped.Loaders(), folder.Path() + "tmp/"}, path);
        ASSERT_NE(archiver, nullptr);
        EXPECT_EQ(archiver->Offset, 128);
        const TArchiveFileInfo* record = archiver->FindRecord("a/", "one.txt");
        ASSERT_NE(record, nullptr);
        const std::unique_ptr<TMemoryStream> stream = archiver->ExtractToStream(*record);
        EXPECT_EQ(std::string(stream->Bytes().begin(), stream->Bytes().end()), "first");
    }
}

TEST(RealArchives, HostileZipExtractsNothingOutside)
{
    TTempFolder folder;
    ForceDirectories(folder.Path() + "work/tmp", 0700);
    const std::vector<TEntry> members = {
        {"../x", "1"}, {"/etc/x", "2"}, {"a/../../x", "3"}, {"..\\y", "4"}, {"./../w", "5"}, {"../../../../../../tmp/evil", "6"},
    };
    const std::string path = WriteWithLibarchive(folder.Path() + "work/hostile.zip", "zip", members);
    ShippedRegistry shipped;
    TArchiverPtr archiver = OpenArchive({shipped.Loaders(), folder.Path() + "work/tmp/"}, path);
    ASSERT_NE(archiver, nullptr);
    std::vector<TArchiveFileInfo*> files;
    archiver->List("", false, files);
    EXPECT_EQ(files.size(), members.size());
    int extracted = 0;
    for (TArchiveFileInfo* record : files) {
        for (bool privateFolder : {true, false}) {
            const std::string file = archiver->ExtractToFile(*record, privateFolder);
            if (!file.empty())
                ++extracted;
            EXPECT_TRUE(file.empty() || file.rfind(folder.Path() + "work/tmp/", 0) == 0) << file;
        }
    }
    EXPECT_EQ(extracted, static_cast<int>(2 * members.size())) << "harmless names still extract";
    for (const std::string& file : FilesBelow(folder.Path()))
        EXPECT_TRUE(file.rfind("work/tmp/", 0) == 0 || file == "work/hostile.zip") << file;
    EXPECT_FALSE(PathExists("/tmp/evil"));
}

// Old Japanese books come as LHA files with CP932 names, at every header
// level. "ソ" (0x83 0x5C) ends in the byte of '\' and must stay one member,
// not become a folder; a name already in UTF-8 stays as it is.
class LhaNamesTest : public ::testing::TestWithParam<int> {};

TEST_P(LhaNamesTest, EveryMemberIsListedUnderItsName)
{
    const std::vector<TEntry> written = {
        {"first.png", "one"},
        {"\x8E\xCA\x90\x5E/\x95\x5C\x8E\x86.png", "cover"},
        {"\x83\x5C.png", "so"},
        {"\xE6\x97\xA5\xE6\x9C\xAC.png", "already utf-8"},
        {"dir/last.png", "last"},
    };
    const std::vector<std::string> shown = {"first.png", "写真/表紙.png", "ソ.png", "日本.png", "dir/last.png"};
    TTempFolder folder;
    ForceDirectories(folder.Path() + "tmp", 0700);
    const std::string path = folder.Write("book.lzh", LzhArchive(GetParam(), written));
    ShippedRegistry shipped;
    TArchiverPtr archiver = OpenArchive({shipped.Loaders(), folder.Path() + "tmp/"}, path);
    ASSERT_NE(archiver, nullptr);
    EXPECT_FALSE(archiver->Incomplete());
    std::vector<TArchiveFileInfo*> files;
    archiver->List("", false, files);
    EXPECT_EQ(files.size(), shown.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE(shown[i]);
        const TArchiveFileInfo* record = archiver->FindRecord(ExtractFilePath(shown[i]), ExtractFileName(shown[i]));
        ASSERT_NE(record, nullptr);
        const std::unique_ptr<TMemoryStream> stream = archiver->ExtractToStream(*record);
        EXPECT_EQ(std::string(stream->Bytes().begin(), stream->Bytes().end()), written[i].Data);
        EXPECT_EQ(ReadWholeFile(archiver->ExtractToFile(*record, true)), written[i].Data);
    }
}

INSTANTIATE_TEST_SUITE_P(HeaderLevels, LhaNamesTest, ::testing::Values(0, 1, 2));

// A tar hard link holds no bytes of its own: it gives those of the member it
// names (through a link to a link too) and is listed with their size. A link
// to nothing in the archive is listed empty and refused.
TEST(RealArchives, HardLinksGiveTheBytesOfTheMemberTheyName)
{
    TTempFolder folder;
    ForceDirectories(folder.Path() + "tmp", 0700);
    const std::string page = Pseudorandom(3000, 7);
    const std::string path = WriteWithLibarchive(folder.Path() + "links.tar", "ustar",
                                                 {{"a/page.png", page},
                                                  {"b/same.png", "", "a/page.png"},
                                                  {"c/again.png", "", "b/same.png"},
                                                  {"lost.png", "", "nowhere.png"}});
    ShippedRegistry shipped;
    TArchiverPtr archiver = OpenArchive({shipped.Loaders(), folder.Path() + "tmp/"}, path);
    ASSERT_NE(archiver, nullptr);
    for (const char* name : {"b/same.png", "c/again.png", "a/page.png"}) {
        SCOPED_TRACE(name);
        const TArchiveFileInfo* record = archiver->FindRecord(ExtractFilePath(name), ExtractFileName(name));
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->Size, page.size());
        const std::unique_ptr<TMemoryStream> stream = archiver->ExtractToStream(*record);
        EXPECT_EQ(std::string(stream->Bytes().begin(), stream->Bytes().end()), page);
        EXPECT_EQ(ReadWholeFile(archiver->ExtractToFile(*record, true)), page);
    }
    const TArchiveFileInfo* lost = archiver->FindRecord("", "lost.png");
    ASSERT_NE(lost, nullptr);
    EXPECT_EQ(lost->Size, 0u);
    EXPECT_EQ(archiver->ExtractToStream(*lost)->Size(), 0);
    EXPECT_THROW(archiver->ExtractToFile(*lost, true), EMirevaError);
    EXPECT_FALSE(PathExists(archiver->TempFolder() + "lost.png"));
}

namespace {

const std::vector<TEntry>& ThreeMembers()
{
    static const std::vector<TEntry> members = {
        {"1.bin", Pseudorandom(20000, 11)}, {"2.bin", Pseudorandom(20000, 12)}, {"3.bin", Pseudorandom(20000, 13)}};
    return members;
}

std::string ThreeMembersAs(const TTempFolder& folder, const std::string& format)
{
    return ReadWholeFile(WriteWithLibarchive(folder.Path() + "whole." + format, format, ThreeMembers()));
}

}  // namespace

struct TDamagedCase {
    const char* Name;
    const char* File;
    std::function<std::string(const TTempFolder&)> Bytes;
    bool SomeListed;  // false: nothing can be listed
};

class DamagedArchiveTest : public ::testing::TestWithParam<TDamagedCase> {};

// An archive that cannot be read at all is refused with its not-listed
// message, never opened as an empty book; one readable only up to damage
// opens with the members before it and says that its list is incomplete.
TEST_P(DamagedArchiveTest, IsNeverShownAsAWholeBook)
{
    TTempFolder folder;
    ForceDirectories(folder.Path() + "tmp", 0700);
    const std::string path = folder.Write(GetParam().File, GetParam().Bytes(folder));
    ShippedRegistry shipped;
    const TArchiveEnv env{shipped.Loaders(), folder.Path() + "tmp/"};
    if (!GetParam().SomeListed) {
        try {
            OpenArchive(env, path);
            ADD_FAILURE() << "opened";
        } catch (const EMirevaError& e) {
            EXPECT_EQ(std::string(e.what()), ArchiveNotListedMessage(path));
        }
        EXPECT_TRUE(FilesBelow(folder.Path() + "tmp/").empty());
        return;
    }
    TArchiverPtr archiver = OpenArchive(env, path);
    ASSERT_NE(archiver, nullptr);
    EXPECT_TRUE(archiver->Incomplete());
    EXPECT_GE(archiver->MemberCount(), 1u);
    EXPECT_LT(archiver->MemberCount(), 3u);
    const TArchiveFileInfo* first = archiver->FindRecord("", "1.bin");
    ASSERT_NE(first, nullptr);
    const std::unique_ptr<TMemoryStream> stream = archiver->ExtractToStream(*first);
    EXPECT_EQ(std::string(stream->Bytes().begin(), stream->Bytes().end()), ThreeMembers()[0].Data);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedArchiveTest,
    ::testing::Values(
        TDamagedCase{"ZipCutShort", "cut.zip", [](const TTempFolder& f) { return ThreeMembersAs(f, "zip").substr(0, 30); },
                     false},
        TDamagedCase{"SevenZipCutInHalf", "cut.7z",
                     [](const TTempFolder& f) {
                         const std::string whole = ThreeMembersAs(f, "7zip");
                         return whole.substr(0, whole.size() / 2);
                     },
                     false},
        TDamagedCase{"Rar5HeaderDamaged", "bad.rar",
                     [](const TTempFolder&) { return std::string("Rar!\x1A\x07\x01\x00", 8) + Pseudorandom(200, 3); },
                     false},
        TDamagedCase{"ZipCutInSecondMember", "cut.cbz",
                     [](const TTempFolder& f) { return ThreeMembersAs(f, "zip").substr(0, 30000); }, true},
        TDamagedCase{"TarCutInSecondMember", "cut.tar",
                     [](const TTempFolder& f) { return ThreeMembersAs(f, "ustar").substr(0, 30000); }, true},
        TDamagedCase{"Rar5CutInSecondMember", "cut.rar",
                     [](const TTempFolder&) { return Rar5Archive(ThreeMembers()).substr(0, 30000); }, true}),
    [](const auto& info) { return std::string(info.param.Name); });

// A member bigger than the limit is refused into memory and onto the disk,
// also when its header claims it is small (and so passes every check of the
// listed size): the extraction stops once the limit is passed and leaves no
// partial file. Members within the limit still extract.
TEST(ArchiveSizeLimit, AMemberPastTheLimitIsStoppedAndLeavesNothing)
{
    constexpr uint64_t limit = 64 * 1024;
    TTempFolder folder;
    const std::vector<TEntry> members = {{"small.txt", "a small page"}, {"zeros.bin", std::string(1 << 20, '\0')}};
    const std::string honest = ReadWholeFile(WriteWithLibarchive(folder.Path() + "honest.zip", "zip", members));
    // A stored LHA member is as long as its packed size says; its original
    // size (at 11 in a level-0 header, covered by the sum at 1) may lie.
    std::string lying = LzhArchive(0, members);
    const size_t second = 2 + static_cast<uint8_t>(lying[0]) + members[0].Data.size();
    lying.replace(second + 11, 4, std::string("\x0A\x00\x00\x00", 4));
    uint8_t sum = 0;
    for (size_t i = 0; i < static_cast<uint8_t>(lying[second]); ++i)
        sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(lying[second + 2 + i]));
    lying[second + 1] = static_cast<char>(sum);

    const std::tuple<std::string, std::string, uint32_t> archives[] = {{"honest.zip", honest, 1u << 20},
                                                                       {"lying.lzh", lying, 10u}};
    for (const auto& [name, bytes, listed] : archives) {
        SCOPED_TRACE(name);
        const std::string path = folder.Write(name, bytes);
        std::vector<SpiFileInfo> records;
        ASSERT_EQ(archivespi::ListMembers(path.c_str(), 0, SPI_SOURCE_FILE, records), SPI_SUCCESS);
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[1].filesize, listed);

        std::string out = folder.Path() + name + ".out/";
        ForceDirectories(out);
        EXPECT_NE(archivespi::ExtractMember(path.c_str(), 1, out.data(), SPI_DEST_FOLDER, limit), SPI_SUCCESS);
        EXPECT_FALSE(PathExists(out + "zeros.bin"));
        HLOCAL block = nullptr;
        EXPECT_NE(archivespi::ExtractMember(path.c_str(), 1, reinterpret_cast<char*>(&block), SPI_DEST_MEMORY, limit),
                  SPI_SUCCESS);
        EXPECT_EQ(block, nullptr);

        ASSERT_EQ(archivespi::ExtractMember(path.c_str(), 0, out.data(), SPI_DEST_FOLDER, limit), SPI_SUCCESS);
        EXPECT_EQ(ReadWholeFile(out + "small.txt"), members[0].Data);
    }
}

namespace {

std::string PngBytes(int width, int height, const std::vector<uint8_t>& bgra, bool gray = false)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = gray ? PNG_FORMAT_GRAY : PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    png_image_write_get_memory_size(image, size, 0, bgra.data(), 0, nullptr);
    std::string out(size, '\0');
    EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, bgra.data(), 0, nullptr));
    out.resize(size);
    return out;
}

// A small picture of distinct colours: (x, y) -> blue x * 40, green y * 60,
// red 200 - x * 20, opaque.
std::vector<uint8_t> Pattern(int width, int height)
{
    std::vector<uint8_t> bgra;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bgra.push_back(static_cast<uint8_t>(x * 40));
            bgra.push_back(static_cast<uint8_t>(y * 60));
            bgra.push_back(static_cast<uint8_t>(200 - x * 20));
            bgra.push_back(255);
        }
    }
    return bgra;
}

std::string JpegBytes(int width, int height, const std::vector<uint8_t>& bgra, int quality = 100)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(bgra.data()) + static_cast<size_t>(info.next_scanline) * width * 4;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::string out(reinterpret_cast<char*>(buffer), size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

std::string GifBytes(const TTempFolder& folder, int width, int height, const std::vector<uint8_t>& bgra, bool interlace)
{
    // Every pixel of the pattern gets its own palette entry.
    std::vector<GifColorType> colors;
    std::vector<uint8_t> indices;
    for (size_t i = 0; i + 3 < bgra.size(); i += 4) {
        indices.push_back(static_cast<uint8_t>(colors.size()));
        colors.push_back(GifColorType{bgra[i + 2], bgra[i + 1], bgra[i]});
    }
    while (colors.size() < 256)
        colors.push_back(GifColorType{0, 0, 0});
    const std::string path = folder.Path() + "p.gif";
    int error = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &error);
    ColorMapObject* map = GifMakeMapObject(256, colors.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, width, height, 8, 0, map);
    EGifPutImageDesc(gif, 0, 0, width, height, interlace, nullptr);
    std::vector<int> order;
    if (interlace) {
        for (int pass = 0; pass < 4; ++pass)
            for (int y = (int[]){0, 4, 2, 1}[pass]; y < height; y += (int[]){8, 8, 4, 2}[pass])
                order.push_back(y);
    } else {
        for (int y = 0; y < height; ++y)
            order.push_back(y);
    }
    for (int y : order)
        EGifPutLine(gif, indices.data() + static_cast<size_t>(y) * width, width);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return ReadWholeFile(path);
}

std::string WebpBytes(int width, int height, const std::vector<uint8_t>& bgra)
{
    uint8_t* output = nullptr;
    const size_t size = WebPEncodeLosslessBGRA(bgra.data(), width, height, width * 4, &output);
    std::string out(reinterpret_cast<char*>(output), size);
    WebPFree(output);
    return out;
}

std::string TiffBytes(const TTempFolder& folder, int width, int height, const std::vector<uint8_t>& bgra)
{
    const std::string path = folder.Path() + "p.tif";
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, height);
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = bgra.data() + (static_cast<size_t>(y) * width + x) * 4;
            row[x * 3] = p[2];
            row[x * 3 + 1] = p[1];
            row[x * 3 + 2] = p[0];
        }
        TIFFWriteScanline(tiff, row.data(), static_cast<uint32_t>(y), 0);
    }
    TIFFClose(tiff);
    return ReadWholeFile(path);
}

// Empty when this libavif cannot encode.
std::string AvifBytes(int width, int height, const std::vector<uint8_t>& bgra)
{
    if (!avifCodecName(AVIF_CODEC_CHOICE_AUTO, AVIF_CODEC_FLAG_CAN_ENCODE))
        return {};
    avifImage* image = avifImageCreate(static_cast<uint32_t>(width), static_cast<uint32_t>(height), 8,
                                       AVIF_PIXEL_FORMAT_YUV444);
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, image);
    rgb.format = AVIF_RGB_FORMAT_BGRA;
    rgb.pixels = const_cast<uint8_t*>(bgra.data());
    rgb.rowBytes = static_cast<uint32_t>(width * 4);
    avifImageRGBToYUV(image, &rgb);
    avifEncoder* encoder = avifEncoderCreate();
    encoder->minQuantizer = encoder->maxQuantizer = 0;
    avifRWData output = AVIF_DATA_EMPTY;
    std::string out;
    if (avifEncoderWrite(encoder, image, &output) == AVIF_RESULT_OK)
        out.assign(reinterpret_cast<const char*>(output.data), output.size);
    avifRWDataFree(&output);
    avifEncoderDestroy(encoder);
    avifImageDestroy(image);
    return out;
}

}  // namespace

namespace {

// The same size, depth, palette and pixels, row padding aside.
bool SameBitmap(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height() || a.BitsPerPixel() != b.BitsPerPixel() ||
        a.Palette().size() != b.Palette().size())
        return false;
    for (size_t i = 0; i < a.Palette().size(); ++i) {
        const TRGBQuad& p = a.Palette()[i];
        const TRGBQuad& q = b.Palette()[i];
        if (p.Blue != q.Blue || p.Green != q.Green || p.Red != q.Red)
            return false;
    }
    const size_t rowBytes = static_cast<size_t>(a.Width()) * static_cast<size_t>(a.BitsPerPixel()) / 8;
    for (int y = 0; y < a.Height(); ++y) {
        if (std::memcmp(a.ScanLine(y), b.ScanLine(y), rowBytes) != 0)
            return false;
    }
    return true;
}

// Blue, green, red of a pixel of a 24-bit or a palette picture.
const uint8_t* PixelAt(const TBitmap& bitmap, int x, int y)
{
    if (bitmap.BitsPerPixel() == 24)
        return bitmap.ScanLine(y) + x * 3;
    const uint8_t index = bitmap.ScanLine(y)[x];
    static const uint8_t black[3] = {0, 0, 0};
    return index < bitmap.Palette().size() ? &bitmap.Palette()[index].Blue : black;
}

}  // namespace

struct TPictureCase {
    const char* Name;
    const char* File;
    int Tolerance;
    std::function<std::string(const TTempFolder&, int, int, const std::vector<uint8_t>&)> Encode;
};

class ShippedPictureTest : public ::testing::TestWithParam<TPictureCase> {};

TEST_P(ShippedPictureTest, DecodesFromFilesAndMemory)
{
    const int width = 5, height = 3;
    const std::vector<uint8_t> pattern = Pattern(width, height);
    TTempFolder folder;
    const std::string bytes = GetParam().Encode(folder, width, height, pattern);
    if (bytes.empty())
        GTEST_SKIP() << "this system's library cannot write the format";
    const std::string path = folder.Write(GetParam().File, bytes);
    ShippedRegistry shipped;
    EXPECT_TRUE(shipped.Registry().IsImageExtension(ExtractFileExt(path)));
    TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    std::vector<std::unique_ptr<TBitmap>> bitmaps;
    bitmaps.push_back(shipped.Registry().LoadFromFile(path, false));
    bitmaps.push_back(shipped.Registry().LoadFromFile(path, true));
    bitmaps.push_back(shipped.Registry().LoadFromStream(GetParam().File, stream, false));
    for (const auto& bitmap : bitmaps) {
        ASSERT_NE(bitmap, nullptr);
        ASSERT_EQ(bitmap->Width(), width);
        ASSERT_EQ(bitmap->Height(), height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const uint8_t* want = pattern.data() + (static_cast<size_t>(y) * width + x) * 4;
                const uint8_t* got = PixelAt(*bitmap, x, y);
                for (int c = 0; c < 3; ++c)
                    EXPECT_NEAR(got[c], want[c], GetParam().Tolerance) << "pixel " << x << "," << y << " channel " << c;
            }
        }
    }
}

const TPictureCase PictureCases[] = {
    TPictureCase{"Png", "p.png", 0,
                 [](const TTempFolder&, int w, int h, const std::vector<uint8_t>& p) { return PngBytes(w, h, p); }},
    TPictureCase{"Jpeg", "p.jpg", 12,
                 [](const TTempFolder&, int w, int h, const std::vector<uint8_t>& p) { return JpegBytes(w, h, p); }},
    TPictureCase{"Gif", "p.gif", 0,
                 [](const TTempFolder& f, int w, int h, const std::vector<uint8_t>& p) {
                     return GifBytes(f, w, h, p, false);
                 }},
    TPictureCase{"GifInterlaced", "i.gif", 0,
                 [](const TTempFolder& f, int w, int h, const std::vector<uint8_t>& p) {
                     return GifBytes(f, w, h, p, true);
                 }},
    TPictureCase{"WebpLossless", "p.webp", 0,
                 [](const TTempFolder&, int w, int h, const std::vector<uint8_t>& p) { return WebpBytes(w, h, p); }},
    TPictureCase{"Tiff", "p.tiff", 0,
                 [](const TTempFolder& f, int w, int h, const std::vector<uint8_t>& p) {
                     return TiffBytes(f, w, h, p);
                 }},
    TPictureCase{"Avif", "p.avif", 12,
                 [](const TTempFolder&, int w, int h, const std::vector<uint8_t>& p) { return AvifBytes(w, h, p); }},
};

// Pictures of every shipped format, decoded alone and from many threads at
// once: what a thumbnail worker per processor and the viewer's two pages do.
TEST_P(ShippedPictureTest, DecodesTheSameFromManyThreadsAtOnce)
{
    // The GIF writer gives every pixel a palette entry of its own: 256 at most.
    const int width = 16, height = 16;
    const std::vector<uint8_t> pattern = Pattern(width, height);
    TTempFolder folder;
    const std::string bytes = GetParam().Encode(folder, width, height, pattern);
    if (bytes.empty())
        GTEST_SKIP() << "this system's library cannot write the format";
    const std::string path = folder.Write(GetParam().File, bytes);
    ShippedRegistry shipped;
    const TImageLoader* loader = shipped.Registry().FindImageLoaderFor(path);
    ASSERT_NE(loader, nullptr);
    EXPECT_TRUE(loader->IsPlugin());
    EXPECT_FALSE(loader->NeedsLoaderLock()) << "a shipped plug-in declares itself thread-safe";

    // Each thread loads the picture from the file, from memory and as a
    // preview, over and over; every result must equal the one loaded alone.
    auto load = [&](int kind) {
        if (kind == 2) {
            TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
            return shipped.Registry().LoadFromStream(GetParam().File, stream, false);
        }
        return shipped.Registry().LoadFromFile(path, kind == 1);
    };
    std::vector<std::unique_ptr<TBitmap>> alone;
    for (int kind = 0; kind < 3; ++kind) {
        alone.push_back(load(kind));
        ASSERT_NE(alone.back(), nullptr);
    }
    constexpr int Threads = 8;
    constexpr int Rounds = 12;
    std::atomic<int> same{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < Rounds; ++round) {
                const int kind = (t + round) % 3;
                const std::unique_ptr<TBitmap> bitmap = load(kind);
                if (bitmap && SameBitmap(*bitmap, *alone[static_cast<size_t>(kind)]))
                    ++same;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(same.load(), Threads * Rounds);
}

INSTANTIATE_TEST_SUITE_P(Formats, ShippedPictureTest, ::testing::ValuesIn(PictureCases),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ShippedPictures, TransparencyLiesOnWhiteAndGrayStaysGray)
{
    ShippedRegistry shipped;
    std::vector<uint8_t> clear = {10, 20, 30, 0, 10, 20, 30, 255};
    const std::string alpha = PngBytes(2, 1, clear);
    TMemoryStream alphaStream(std::vector<uint8_t>(alpha.begin(), alpha.end()));
    std::unique_ptr<TBitmap> bitmap = shipped.Registry().LoadFromStream("a.png", alphaStream, false);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->ScanLine(0)[0], 255) << "transparent shows white";
    EXPECT_EQ(bitmap->ScanLine(0)[3], 10);

    const std::string gray = PngBytes(3, 2, {0, 100, 200, 50, 150, 250}, true);
    TMemoryStream grayStream(std::vector<uint8_t>(gray.begin(), gray.end()));
    std::unique_ptr<TBitmap> grayBitmap = shipped.Registry().LoadFromStream("g.png", grayStream, false);
    ASSERT_NE(grayBitmap, nullptr);
    EXPECT_TRUE(grayBitmap->IsGray());
    EXPECT_EQ(grayBitmap->ScanLine(1)[2], 250);
}

TEST(ShippedPictures, AnimationsShowTheirFirstFrame)
{
    const int width = 4, height = 3;
    WebPAnimEncoderOptions options;
    ASSERT_TRUE(WebPAnimEncoderOptionsInit(&options));
    WebPAnimEncoder* encoder = WebPAnimEncoderNew(width, height, &options);
    WebPConfig config;
    ASSERT_TRUE(WebPConfigInit(&config));
    config.lossless = 1;
    int timestamp = 0;
    for (const uint8_t red : {uint8_t(220), uint8_t(10)}) {
        WebPPicture frame;
        ASSERT_TRUE(WebPPictureInit(&frame));
        frame.use_argb = 1;
        frame.width = width;
        frame.height = height;
        ASSERT_TRUE(WebPPictureAlloc(&frame));
        for (int i = 0; i < width * height; ++i)
            frame.argb[i] = 0xFF000000u | static_cast<uint32_t>(red) << 16 | 0x3040u;
        ASSERT_TRUE(WebPAnimEncoderAdd(encoder, &frame, timestamp, &config));
        WebPPictureFree(&frame);
        timestamp += 100;
    }
    WebPAnimEncoderAdd(encoder, nullptr, timestamp, nullptr);
    WebPData data;
    WebPDataInit(&data);
    ASSERT_TRUE(WebPAnimEncoderAssemble(encoder, &data));
    WebPAnimEncoderDelete(encoder);
    TMemoryStream stream(std::vector<uint8_t>(data.bytes, data.bytes + data.size));
    WebPDataClear(&data);

    ShippedRegistry shipped;
    std::unique_ptr<TBitmap> bitmap = shipped.Registry().LoadFromStream("a.webp", stream, false);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), width);
    EXPECT_EQ(bitmap->ScanLine(2)[3 * 3 + 2], 220) << "red of the first frame";
    EXPECT_EQ(bitmap->ScanLine(2)[3 * 3 + 0], 0x40);
}

TEST(ShippedPictures, JpegPreviewDecodesAtAReducedScale)
{
    const int width = 1600, height = 1200;
    std::vector<uint8_t> flat(static_cast<size_t>(width) * height * 4, 128);
    TTempFolder folder;
    const std::string path = folder.Write("big.jpg", JpegBytes(width, height, flat, 80));
    ShippedRegistry shipped;
    std::unique_ptr<TBitmap> preview = shipped.Registry().LoadFromFile(path, true);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->Width(), 400);
    EXPECT_EQ(preview->Height(), 300);
    EXPECT_NEAR(preview->ScanLine(150)[600], 128, 3);
    std::unique_ptr<TBitmap> full = shipped.Registry().LoadFromFile(path, false);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->Width(), width);
}

// A preview for a box is reduced as far as the picture fitted into the box
// still allows scaling down from it, and never below.
TEST(ShippedPictures, JpegPreviewForABoxKeepsTheFittedSize)
{
    const int width = 1600, height = 1200;
    std::vector<uint8_t> flat(static_cast<size_t>(width) * height * 4, 128);
    TTempFolder folder;
    const std::string path = folder.Write("big.jpg", JpegBytes(width, height, flat, 80));
    ShippedRegistry shipped;
    const struct {
        TPreviewBox Box;
        int Width, Height;
    } cases[] = {{{80, 80}, 200, 150}, {{400, 400}, 400, 300}, {{401, 301}, 800, 600},
                 {{1000, 1000}, 1600, 1200}, {{3000, 3000}, 1600, 1200}};
    for (const auto& c : cases) {
        std::unique_ptr<TBitmap> preview = shipped.Registry().LoadPreviewFromFile(path, c.Box);
        ASSERT_NE(preview, nullptr) << c.Box.Width;
        EXPECT_EQ(preview->Width(), c.Width) << c.Box.Width << "x" << c.Box.Height;
        EXPECT_EQ(preview->Height(), c.Height) << c.Box.Width << "x" << c.Box.Height;
    }
    // A format without reduced decoding hands its own preview.
    const std::string png = folder.Write("a.png", PngBytes(5, 3, Pattern(5, 3)));
    std::unique_ptr<TBitmap> picture = shipped.Registry().LoadPreviewFromFile(png, {2, 2});
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), 5);
}

// Through the limits a large picture is decoded reduced for the view's box,
// and a decode whose page was abandoned stops in the plug-in.
TEST(ShippedPictures, JpegUnderLimitsReducesForTheBoxAndStopsWhenTold)
{
    const int width = 1600, height = 1200;
    std::vector<uint8_t> flat(static_cast<size_t>(width) * height * 4, 128);
    TTempFolder folder;
    const std::string path = folder.Write("big.jpg", JpegBytes(width, height, flat, 80));
    ShippedRegistry shipped;
    TDecodeLimits limits;
    limits.Budget.ReducedAbovePixels = 1'000'000;
    limits.FitBox = {400, 400};
    const TLimitedLoad reduced = LoadPictureLimited(shipped.Registry(), path, nullptr, nullptr, limits);
    ASSERT_NE(reduced.Bitmap, nullptr);
    EXPECT_EQ(reduced.Bitmap->Width(), 400);
    EXPECT_TRUE(reduced.Reduced);
    EXPECT_EQ(reduced.Dims, (TPictureDims{width, height}));

    const std::atomic<bool> stop{true};
    limits.Stop = &stop;
    limits.FitBox = {};
    EXPECT_EQ(LoadPictureLimited(shipped.Registry(), path, nullptr, nullptr, limits).Bitmap, nullptr);
}

TEST(ShippedPictures, DamagedFilesGiveNoPicture)
{
    ShippedRegistry shipped;
    const std::vector<uint8_t> pattern = Pattern(5, 3);
    TTempFolder folder;
    for (const std::string& bytes : {PngBytes(5, 3, pattern), JpegBytes(5, 3, pattern), WebpBytes(5, 3, pattern)}) {
        for (size_t keep : {size_t(16), bytes.size() / 2}) {
            std::string cut = bytes.substr(0, keep);
            TMemoryStream stream(std::vector<uint8_t>(cut.begin(), cut.end()));
            // Either nothing or a picture of the right size; never a crash.
            std::unique_ptr<TBitmap> bitmap = shipped.Registry().LoadFromStream("cut", stream, false);
            if (bitmap) {
                EXPECT_EQ(bitmap->Width(), 5);
            }
        }
    }
}

TEST(ShippedPictures, PictureInsideNestedArchivesLoads)
{
    TTempFolder folder;
    ForceDirectories(folder.Path() + "tmp", 0700);
    const std::string picture = PngBytes(5, 3, Pattern(5, 3));
    const std::string inner = ReadWholeFile(WriteWithLibarchive(folder.Path() + "inner.cbz", "zip", {{"p/page.png", picture}}));
    const std::string outer = WriteWithLibarchive(folder.Path() + "outer.7z", "7zip", {{"books/inner.cbz", inner}});
    ShippedRegistry shipped;
    TArchiveEnv env{shipped.Loaders(), folder.Path() + "tmp/"};
    TArchiverPtr archiver = ResolveVirtualPath(env, outer, "books/inner.cbz", nullptr);
    ASSERT_NE(archiver, nullptr);
    EXPECT_EQ(archiver->VirtualPath(), "books/inner.cbz");
    const TArchiveFileInfo* page = archiver->FindRecord("p/", "page.png");
    ASSERT_NE(page, nullptr);
    std::unique_ptr<TBitmap> bitmap =
        LoadArchivePicture(shipped.Registry(), archiver->FileName(), page->Name, *archiver->Loader, nullptr, page->Position);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), 5);
}
