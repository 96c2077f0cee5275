#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "PluginTestSupport.h"
#include "common/DateTime.h"
#include "base/PathUtils.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

struct TCleanCase {
    const char* Name;
    const char* Path;
    const char* File;
    bool Kept;
    const char* ExpectPath;
    const char* ExpectName;
};

class CleanMemberTest : public ::testing::TestWithParam<TCleanCase> {};

TEST_P(CleanMemberTest, MakesPathsSafe)
{
    TArchiveFileInfo record;
    record.Path = GetParam().Path;
    record.Name = GetParam().File;
    ASSERT_EQ(CleanMemberRecord(record), GetParam().Kept);
    if (GetParam().Kept) {
        EXPECT_EQ(record.Path, GetParam().ExpectPath);
        EXPECT_EQ(record.Name, GetParam().ExpectName);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CleanMemberTest,
    ::testing::Values(TCleanCase{"Plain", "a/", "x.jpg", true, "a/", "x.jpg"},
                      TCleanCase{"Backslashes", "a\\b\\", "x.jpg", true, "a/b/", "x.jpg"},
                      TCleanCase{"ParentSegments", "..\\..\\x\\", "y", true, "．．/．．/x/", "y"},
                      TCleanCase{"DotsInsideASegmentStay", "x..\\y\\", "z", true, "x../y/", "z"},
                      TCleanCase{"LeadingBackslash", "\\abs\\", "f", true, "abs/", "f"},
                      TCleanCase{"AbsoluteName", "", "/etc/x", true, "etc/", "x"},
                      TCleanCase{"ParentName", "", "..", true, "", "．．"},
                      TCleanCase{"ParentsInsideName", "", "a/../../x", true, "a/．．/．．/", "x"},
                      TCleanCase{"EmptyAndDotSegments", "a//./b/", "./c", true, "a/b/", "c"},
                      TCleanCase{"DriveLetter", "C:\\pics\\", "p:q.jpg", true, "C：/pics/", "p:q.jpg"},
                      TCleanCase{"OnlyTheFirstColon", "a:b:c/", "n", true, "a：b:c/", "n"},
                      TCleanCase{"NameEndingInSeparatorIsAFolder", "", "d/", true, "d/", ""},
                      TCleanCase{"TrailingBlankKept", "", "x.jpg ", true, "", "x.jpg "},
                      TCleanCase{"RootOnly", "/", "", false, "", ""},
                      TCleanCase{"DotName", "", ".", false, "", ""},
                      TCleanCase{"DotFolder", "./", "", false, "", ""},
                      TCleanCase{"Nothing", "", "", false, "", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

namespace {

std::unique_ptr<TArchiveFileInfo> Member(const std::string& path, const std::string& name, uint32_t position = 0)
{
    auto record = std::make_unique<TArchiveFileInfo>();
    record->Path = path;
    record->Name = name;
    record->Position = position;
    return record;
}

std::string Describe(const std::vector<TArchiveFileInfo*>& records)
{
    std::string text;
    for (const TArchiveFileInfo* record : records)
        text += (text.empty() ? "" : ",") + (record->IsFolder() ? "[" + record->Path + "]" : record->Path + record->Name);
    return text;
}

std::string Keys(const TFolderIndex& folders)
{
    std::string text;
    for (const auto& [key, records] : folders)
        text += "<" + key + ">";
    return text;
}

}  // namespace

TEST(FolderIndex, MakesRecordsForFoldersNobodyReported)
{
    TArchiveFileList items;
    items.push_back(Member("a/b/", "x.jpg"));
    items.push_back(Member("a/", "y.jpg"));
    TFolderIndex folders;
    EXPECT_EQ(BuildFolderIndex(items, folders), 2u);
    EXPECT_EQ(Keys(folders), "<><a/><a/b/>");
    EXPECT_EQ(Describe(folders[""]), "[a/]");
    EXPECT_EQ(Describe(folders["a/"]), "a/y.jpg,[a/b/]") << "member order, folder records last";
    EXPECT_EQ(Describe(folders["a/b/"]), "a/b/x.jpg");
    ASSERT_EQ(items.size(), 4u);
    const TArchiveFileInfo& made = *items[3];
    EXPECT_EQ(made.Path, "a/b/");
    EXPECT_EQ(made.Time, -1.0);
}

TEST(FolderIndex, ReportedFolderRecordsAreNotMadeTwice)
{
    TArchiveFileList items;
    items.push_back(Member("a/", ""));
    items.push_back(Member("a/", "x.jpg"));
    items.push_back(Member("a/", ""));  // reported twice
    items.push_back(Member("c/d/", "z.jpg"));
    items.push_back(Member("c/", ""));  // reported after its files
    TFolderIndex folders;
    BuildFolderIndex(items, folders);
    EXPECT_EQ(Describe(folders[""]), "[a/],[c/]");
    EXPECT_EQ(Describe(folders["c/"]), "[c/d/]");
    EXPECT_EQ(items.size(), 5u) << "one duplicate dropped, one record made for c/d/";
}

TEST(FolderIndex, DropsRecordsThatNameNothingAndSortsByNameWithoutCase)
{
    TArchiveFileList items;
    items.push_back(Member("c/", "1"));
    items.push_back(Member("", "/"));
    items.push_back(Member("B/", "2"));
    items.push_back(Member("a/", "3"));
    items.push_back(Member("b/", "4"));
    TFolderIndex folders;
    EXPECT_EQ(BuildFolderIndex(items, folders), 4u);
    EXPECT_EQ(Keys(folders), "<><a/><B/><b/><c/>") << "B/ and b/ are two folders";
}

class ArchiveListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ForceDirectories(fRoot.Path() + "prog");
        ForceDirectories(fRoot.Path() + "tmp", 0700);
        CopyFileTo(FakePluginPath("fakearchive"), fRoot.Path() + "prog/fakearchive.spi");
        CopyFileTo(FakePluginPath("fakeimage"), fRoot.Path() + "prog/fakeimage.spi");
        fTest = std::make_unique<TTestRegistry>(fRoot.Path() + "prog/");
        fEnv.Loaders = fTest->Registry.Reload({});
        fEnv.TempBase = fRoot.Path() + "tmp/";
    }

    std::string WriteArchive(const std::string& name, const std::vector<TFakeMember>& members)
    {
        return fRoot.Write("data/" + name, FakeArchiveBytes(members));
    }

    TTempFolder fRoot;
    std::unique_ptr<TTestRegistry> fTest;
    TArchiveEnv fEnv;
};

TEST_F(ArchiveListTest, ListsFoldersDirectlyOrEverythingBelow)
{
    TArchiverPtr archiver = OpenArchive(
        fEnv, WriteArchive("a.far", {{"", "top.jpg", "1"}, {"b/", "x.jpg", "2"}, {"b/c/", "y.jpg", "3"},
                                     {"bb/", "z.jpg", "4"}, {"B/", "w.jpg", "5"}, {"b/", "notes.txt", "6"}}));
    ASSERT_NE(archiver, nullptr);
    std::vector<TArchiveFileInfo*> result;
    archiver->List("b/", true, result);
    EXPECT_EQ(Describe(result), "b/x.jpg,b/notes.txt,[b/c/]");
    archiver->List("b/", false, result);
    EXPECT_EQ(Describe(result), "b/x.jpg,b/notes.txt,b/c/y.jpg") << "never the files of bb/ or B/";
    archiver->List("", false, result);
    EXPECT_EQ(result.size(), 6u) << "every file, no folder record";
    archiver->List("", true, result);
    EXPECT_EQ(Describe(result), "top.jpg,[B/],[b/],[bb/]");
    archiver->List("missing/", true, result);
    EXPECT_EQ(result.size(), 4u) << "an unknown folder leaves the result alone";

    archiver->ListFolder("b/", {TArchiveObjectType::atSupported}, result);
    EXPECT_EQ(Describe(result), "") << "fake plug-ins declare no .jpg";
    archiver->ListFolder("b/", {TArchiveObjectType::atFolders, TArchiveObjectType::atNonSupported}, result);
    EXPECT_EQ(Describe(result), "b/x.jpg,b/notes.txt,[b/c/]");
}

TEST_F(ArchiveListTest, PrivateFoldersAreNumberedAndSkipTakenNames)
{
    const std::string path = WriteArchive("a.far", {{"", "x.jpg", "data"}});
    TArchiverPtr first = OpenArchive(fEnv, path);
    TArchiverPtr second = OpenArchive(fEnv, path);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->TempFolder(), fEnv.TempBase + "001/");
    EXPECT_EQ(second->TempFolder(), fEnv.TempBase + "002/");
    first.reset();
    EXPECT_FALSE(PathExists(fEnv.TempBase + "001")) << "removed with its archiver";
    fRoot.Write("tmp/003", "a stray file");
    TArchiverPtr third = OpenArchive(fEnv, path);
    TArchiverPtr fourth = OpenArchive(fEnv, path);
    EXPECT_EQ(third->TempFolder(), fEnv.TempBase + "001/");
    EXPECT_EQ(fourth->TempFolder(), fEnv.TempBase + "004/");
}

TEST_F(ArchiveListTest, ExtractsIntoMemoryAndFiles)
{
    const int32_t time = 1600000000;
    TArchiverPtr archiver = OpenArchive(
        fEnv, WriteArchive("a.far", {{"", "blank ", "trailing", time}, {"", "001", "not a folder", time},
                                     {"d/", "pic.fim", FakeGradientImage(2, 2), time}}));
    ASSERT_NE(archiver, nullptr);
    ASSERT_EQ(archiver->MemberCount(), 3u);
    const TArchiveFileInfo& blank = *archiver->Items()[0];
    EXPECT_EQ(archiver->ExtractToStream(blank)->Size(), 8);

    const std::string file = archiver->ExtractToFile(blank, true);
    EXPECT_EQ(file, archiver->TempFolder() + "blank ") << "the name stays untrimmed";
    EXPECT_EQ(ReadWholeFile(file), "trailing");
    EXPECT_EQ(QueryFile(file).ModifiedSeconds, DateTimeToUnix(blank.Time));
    EXPECT_EQ(archiver->ExtractToFile(blank, true), file) << "an existing file is replaced";

    // Without a private folder members go to a folder of their own, so a
    // member named "001" never meets an archiver's folder.
    const std::string shared = archiver->ExtractToFile(*archiver->Items()[1], false);
    EXPECT_EQ(ReadWholeFile(shared), "not a folder");
    EXPECT_EQ(ExtractFilePath(shared), fEnv.TempBase + "extract/");
    EXPECT_TRUE(DirectoryExists(archiver->TempFolder()));

    EXPECT_EQ(archiver->Extract("d/", "", true), archiver->TempFolder() + "d/");
    EXPECT_TRUE(FilesBelow(archiver->TempFolder() + "d/").empty()) << "a folder comes without its content";
    EXPECT_EQ(archiver->Extract("d/", "PIC.FIM", true), archiver->TempFolder() + "d/pic.fim");

    std::unique_ptr<TBitmap> picture = LoadArchivePicture(*fEnv.Loaders, archiver->FileName(), "pic.fim",
                                                          *archiver->Loader, nullptr, archiver->Items()[2]->Position);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), 2);
}

TEST_F(ArchiveListTest, PluginsThatFailToWriteAreCoveredThroughMemory)
{
    TArchiverPtr archiver = OpenArchive(
        fEnv, WriteArchive("a.far", {{"", "claims.jpg", "first", 0, 1}, {"", "fails.jpg", "second", 0, 2},
                                     {"", "nothing.jpg", "third", 0, 2 | 8}}));
    ASSERT_NE(archiver, nullptr);
    const std::string claims = archiver->ExtractToFile(*archiver->Items()[0], true);
    ASSERT_FALSE(claims.empty());
    EXPECT_EQ(ReadWholeFile(claims), "first");
    EXPECT_EQ(ReadWholeFile(archiver->ExtractToFile(*archiver->Items()[1], true)), "second");
    EXPECT_THROW(archiver->ExtractToFile(*archiver->Items()[2], true), EMirevaError) << "never an empty path";
    EXPECT_FALSE(PathExists(archiver->TempFolder() + "nothing.jpg"));
    EXPECT_EQ(archiver->ExtractToStream(*archiver->Items()[2])->Size(), 0) << "a quiet failure gives an empty stream";
}

TEST_F(ArchiveListTest, HostileNamesStayInsideTheTemporaryFolder)
{
    ForceDirectories(fRoot.Path() + "outside");
    const std::vector<TFakeMember> members = {
        {"", "../x", "1"},    {"", "/etc/x", "2"},       {"", "a/../../x", "3"},          {"..\\..\\", "y", "5"},
        {"/", "../../z", "6"}, {"", "./../w", "7"},      {"../../outside/", "v", "8"}, {"C:\\", "u", "9"},
        {"", "link/t", "10"},  {"", "..", "4"},
    };
    TArchiverPtr archiver = OpenArchive(fEnv, WriteArchive("hostile.far", members));
    ASSERT_NE(archiver, nullptr);
    // A link planted where a member's folder goes must not be followed.
    ASSERT_EQ(::symlink((fRoot.Path() + "outside").c_str(), (archiver->TempFolder() + "link").c_str()), 0);
    std::vector<TArchiveFileInfo*> all;
    archiver->List("", false, all);
    EXPECT_EQ(all.size(), members.size()) << "no member is dropped";
    // In member order: the file ".." comes last, after its namesake folder.
    int refused = 0;
    for (size_t i = 0; i < archiver->MemberCount(); ++i) {
        const TArchiveFileInfo* record = archiver->Items()[i].get();
        for (bool privateFolder : {true, false}) {
            try {
                archiver->ExtractToFile(*record, privateFolder);
            } catch (const EFileError&) {
                ++refused;
            }
        }
    }
    EXPECT_EQ(refused, 3) << "the member behind the planted link, and the file ．． (twice) where its folder is";
    archiver->DeleteExtracted("../", true);
    archiver->DeleteExtracted("../../outside", false);
    archiver->DeleteExtracted("/", true);
    for (const std::string& file : FilesBelow(fRoot.Path()))
        EXPECT_TRUE(file.rfind("tmp/", 0) == 0 || file.rfind("data/", 0) == 0 || file.rfind("prog/", 0) == 0)
            << file << " was written outside the temporary folder";
    EXPECT_TRUE(FilesBelow(fRoot.Path() + "outside/").empty());
    EXPECT_TRUE(FileExists(archiver->TempFolder() + "．．/．．/outside/v"));
}

TEST_F(ArchiveListTest, DeleteExtractedRemovesFoldersBelowOnly)
{
    TArchiverPtr archiver =
        OpenArchive(fEnv, WriteArchive("a.far", {{"d/e/", "x.jpg", "1"}, {"", "y.jpg", "2"}}));
    ASSERT_NE(archiver, nullptr);
    ASSERT_FALSE(archiver->ExtractToFile(*archiver->Items()[0], true).empty());
    ASSERT_FALSE(archiver->ExtractToFile(*archiver->Items()[1], true).empty());
    archiver->DeleteExtracted("d/", true);
    EXPECT_FALSE(PathExists(archiver->TempFolder() + "d"));
    EXPECT_TRUE(FileExists(archiver->TempFolder() + "y.jpg"));
    archiver->DeleteExtracted("", true);
    EXPECT_TRUE(DirectoryExists(archiver->TempFolder())) << "the private folder keeps its number";
    EXPECT_FALSE(PathExists(archiver->TempFolder() + "y.jpg"));
}

TEST_F(ArchiveListTest, InnerArchivesChainWithVirtualPaths)
{
    const std::string innermost = FakeArchiveBytes({{"", "page.fim", FakeGradientImage(3, 1)}});
    const std::string inner = FakeArchiveBytes({{"", "c.far", innermost}});
    const std::string outer = WriteArchive("outer.far", {{"x/", "b.far", inner}, {"", "top.jpg", "t"}});

    TArchiverPtr root = OpenArchive(fEnv, outer);
    ASSERT_NE(root, nullptr);
    TArchiverPtr b = OpenInnerArchive(root, "x/", "b.far");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->VirtualPath(), "x/b.far");
    EXPECT_EQ(b->Root(), root.get());
    EXPECT_EQ(b->OuterFileName(), outer);
    EXPECT_EQ(root->LockCount(), 1);
    EXPECT_FALSE(root->SetFileName("/elsewhere")) << "held open while inner archives exist";

    TArchiverPtr c = ResolveVirtualPath(fEnv, outer, "x/b.far//c.far", b);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->VirtualPath(), "x/b.far//c.far");
    EXPECT_EQ(c->Parent(), b) << "the shown chain is reused";
    EXPECT_TRUE(c->IsDescendantOf(root.get()));
    EXPECT_EQ(c->Items()[0]->Name, "page.fim");

    TArchiverPtr fresh = ResolveVirtualPath(fEnv, outer, "x/b.far//c.far", nullptr);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->VirtualPath(), "x/b.far//c.far");
    EXPECT_NE(fresh->Root(), root.get());
    EXPECT_EQ(ResolveVirtualPath(fEnv, outer, "x/b.far//missing.far", nullptr), nullptr);
    TArchiverPtr partial = ResolveVirtualPath(fEnv, outer, "x/b.far//missing.far", nullptr, true);
    ASSERT_NE(partial, nullptr);
    EXPECT_EQ(partial->VirtualPath(), "x/b.far");

    c.reset();
    fresh.reset();
    partial.reset();
    b.reset();
    EXPECT_EQ(root->LockCount(), 0);
    EXPECT_TRUE(root->SetFileName(outer));
}

// An open archive keeps the loaders it was opened with, and opens its inner
// archives with them, whatever the settings do meanwhile; the new loaders
// apply from its next opening.
TEST_F(ArchiveListTest, AnOpenArchiverKeepsItsLoadersThroughARebuild)
{
    const std::string inner = FakeArchiveBytes({{"", "z.jpg", "inside"}});
    const std::string path = WriteArchive("a.far", {{"", "x.jpg", "data"}, {"", "in.far", inner}});
    TArchiverPtr archiver = OpenArchive(fEnv, path);
    ASSERT_NE(archiver, nullptr);
    TPluginSettings settings;
    settings.UseAmList = {{"fakearchive.spi", false}};
    TArchiveEnv rebuilt = fEnv;
    rebuilt.Loaders = fTest->Registry.Reload(settings);
    fEnv.Loaders.reset();

    fRoot.Write("data/a.far",
                FakeArchiveBytes({{"", "x.jpg", "data"}, {"", "in.far", inner}, {"", "y.jpg", "more"}}));
    EXPECT_TRUE(archiver->Reload());
    EXPECT_EQ(archiver->MemberCount(), 3u);
    const std::unique_ptr<TMemoryStream> stream = archiver->ExtractToStream(*archiver->Items()[2]);
    EXPECT_EQ(std::string(stream->Bytes().begin(), stream->Bytes().end()), "more");
    const TArchiverPtr opened = OpenInnerArchive(archiver, "", "in.far");
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->MemberCount(), 1u);

    EXPECT_EQ(OpenArchive(rebuilt, path), nullptr) << "the disabled plug-in opens nothing any more";
}

TEST_F(ArchiveListTest, MissingOrForeignFilesDoNotOpen)
{
    EXPECT_EQ(OpenArchive(fEnv, fRoot.Path() + "none.far"), nullptr);
    EXPECT_EQ(OpenArchive(fEnv, fRoot.Write("text.far", "just some text, not an archive")), nullptr);
    EXPECT_THROW(TArchiver(fEnv, nullptr, false, 0, "/x/book.far"), EMirevaError);
    try {
        TArchiver(fEnv, nullptr, false, 0, "/x/book.far");
    } catch (const EMirevaError& e) {
        EXPECT_STREQ(e.what(), "'book.far'は読み込めませんでした  ");
    }
}

namespace {

// Files written by this process may not grow past limit bytes while it
// lives: a write beyond fails with EFBIG, as on a full disk, also for root.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t limit)
    {
        ::getrlimit(RLIMIT_FSIZE, &fOld);
        fOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = fOld;
        small.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~TFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &fOld);
        std::signal(SIGXFSZ, fOldHandler);
    }

private:
    struct rlimit fOld {};
    void (*fOldHandler)(int) = nullptr;
};

}  // namespace

// A failure to write a member out is raised with the system's reason (never
// an empty path) and leaves no file of the member behind.
TEST_F(ArchiveListTest, ExtractionFailuresSayWhyAndLeaveNothing)
{
    fEnv.MaxMemberBytes = 1000;
    TArchiverPtr archiver = OpenArchive(
        fEnv, WriteArchive("a.far", {{"", "big.jpg", std::string(5000, 'b')},
                                     {"d/", "x.jpg", "x"},
                                     {"", "taken.jpg", "t"},
                                     {"", "full.jpg", std::string(900, 'f'), 0, 2}}));
    ASSERT_NE(archiver, nullptr);
    const std::string temp = archiver->TempFolder();
    struct TCase {
        const char* Member;
        std::function<void()> Prepare;
        int Error;  // the system's reason the message gives
    };
    const std::vector<TCase> cases = {
        {"big.jpg", [] {}, EFBIG},                                                       // listed past the limit
        {"d/x.jpg", [&] { fRoot.Write(temp.substr(fRoot.Path().size()) + "d", ""); }, ENOTDIR},  // a file where its folder goes
        {"taken.jpg", [&] { ForceDirectories(temp + "taken.jpg"); }, EISDIR},             // a folder in its place
        {"full.jpg", [] {}, EFBIG},  // written through memory onto a disk that fills up
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Member);
        c.Prepare();
        const TArchiveFileInfo* record = archiver->FindRecord(ExtractFilePath(c.Member), ExtractFileName(c.Member));
        ASSERT_NE(record, nullptr);
        try {
            const TFileSizeLimit disk(100);
            archiver->ExtractToFile(*record, true);
            ADD_FAILURE() << "extracted";
        } catch (const EFileError& e) {
            EXPECT_NE(std::string(e.what()).find(std::strerror(c.Error)), std::string::npos) << e.what();
        }
        EXPECT_NE(QueryFile(temp + c.Member, false).Kind, TFileKind::fkFile);
    }
}

// An inner archive is written out before it is opened: past the limit, the
// reason reaches the caller instead of a silent failure.
TEST_F(ArchiveListTest, AnInnerArchivePastTheLimitIsRefusedWithItsReason)
{
    fEnv.MaxMemberBytes = 100;
    const std::string inner = FakeArchiveBytes({{"", "page.fim", FakeGradientImage(8, 8)}});
    const std::string outer = WriteArchive("outer.far", {{"x/", "inner.far", inner}});
    TArchiverPtr root = OpenArchive(fEnv, outer);
    ASSERT_NE(root, nullptr);
    try {
        OpenInnerArchive(root, "x/", "inner.far");
        ADD_FAILURE() << "opened";
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()), "'inner.far' : " + std::string(std::strerror(EFBIG)));
    }
    EXPECT_THROW(ResolveVirtualPath(fEnv, outer, "x/inner.far", nullptr), EFileError);
    TArchiverPtr partial = ResolveVirtualPath(fEnv, outer, "x/inner.far", nullptr, true);
    ASSERT_NE(partial, nullptr);
    EXPECT_EQ(partial->FileName(), outer) << "the deepest level reached";
}

TEST_F(ArchiveListTest, DeleteExtractedSaysWhatStayedAndWhy)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may remove files from a folder without write permission";
    TArchiverPtr archiver = OpenArchive(fEnv, WriteArchive("a.far", {{"d/e/", "x.jpg", "1"}}));
    ASSERT_NE(archiver, nullptr);
    ASSERT_FALSE(archiver->ExtractToFile(*archiver->Items()[0], true).empty());
    const std::string locked = archiver->TempFolder() + "d/e";
    ASSERT_EQ(::chmod(locked.c_str(), 0500), 0);
    try {
        archiver->DeleteExtracted("d/", true);
        ADD_FAILURE() << "removed";
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find(std::strerror(EACCES)), std::string::npos) << e.what();
    }
    ::chmod(locked.c_str(), 0700);
    EXPECT_TRUE(FileExists(locked + "/x.jpg"));
}

TEST(VirtualPaths, SplitAtTheLastDoubleSeparator)
{
    std::string head, tail;
    SplitVirtualPath("x/b.zip//y/c.zip", head, tail);
    EXPECT_EQ(head, "x/b.zip");
    EXPECT_EQ(tail, "y/c.zip");
    SplitVirtualPath("a.zip//b.zip//c.zip", head, tail);
    EXPECT_EQ(head, "a.zip//b.zip");
    EXPECT_EQ(tail, "c.zip");
    SplitVirtualPath("x/b.zip", head, tail);
    EXPECT_EQ(head, "");
    EXPECT_EQ(tail, "x/b.zip");
}
