#include <gtest/gtest.h>

#include "StartFixture.h"
#include "app/PathInfo.h"

namespace {

struct TResolveCase {
    const char* Name;
    const char* Input;
    const char* ArchivePath;
    const char* Folder;
    const char* FileName;
    bool ArchiveFolder = true;  // ARCHIVE Folder
    bool KnowArchives = true;   // ".zip" and ".cbz" are archives
};

class ResolvePathTest : public ::testing::TestWithParam<TResolveCase> {};

TEST_P(ResolvePathTest, Resolves)
{
    const TResolveCase& row = GetParam();
    TStartTree tree;
    const TPathInfo info = ResolvePath(tree.Expand(row.Input), tree.Context(row.ArchiveFolder, row.KnowArchives));
    EXPECT_EQ(info.ArchivePath, tree.Expand(row.ArchivePath));
    EXPECT_EQ(info.Folder, tree.Expand(row.Folder));
    EXPECT_EQ(info.FileName, tree.Expand(row.FileName));
}

TResolveCase Flat(TResolveCase row)
{
    row.ArchiveFolder = false;
    return row;
}

TResolveCase WithoutArchives(TResolveCase row)
{
    row.KnowArchives = false;
    return row;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Folders, ResolvePathTest,
    ::testing::Values(TResolveCase{"Folder", "{W}book", "", "{W}book/", ""},
                      TResolveCase{"TrailingSeparator", "{W}book/", "", "{W}book/", ""},
                      TResolveCase{"SeveralTrailingSeparators", "{W}book///", "", "{W}book/", ""},
                      TResolveCase{"Root", "/", "", "/", ""},
                      TResolveCase{"RootTwice", "//", "", "/", ""},
                      TResolveCase{"LeadingDoubleSeparator", "/{W}book", "", "{W}book/", ""},
                      TResolveCase{"RelativeFolder", "book", "", "{W}book/", ""},
                      TResolveCase{"FolderEndingInSo", "{W}表ソ/", "", "{W}表ソ/", ""},
                      TResolveCase{"MissingFileKeepsItsFolder", "{W}book/missing.bmp", "", "{W}book/", ""},
                      TResolveCase{"MissingFileInFolderEndingInSo", "{W}表ソ/missing.bmp", "", "{W}表ソ/", ""},
                      TResolveCase{"MissingFoldersClimbToAnExistingOne", "{W}no/such/x.bmp", "", "{W}", ""},
                      TResolveCase{"MissingRelativeName", "nothing", "", "{W}", ""},
                      TResolveCase{"DoubleSeparatorBeforeMissingFile", "{W}book//missing.bmp", "", "{W}book/", ""},
                      TResolveCase{"Empty", "", "", "", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    Files, ResolvePathTest,
    ::testing::Values(TResolveCase{"File", "{W}book/01.bmp", "", "{W}book/", "01.bmp"},
                      TResolveCase{"FileWithTrailingSeparator", "{W}pic.bmp/", "", "{W}", "pic.bmp"},
                      TResolveCase{"RelativeFile", "book/01.bmp", "", "{W}book/", "01.bmp"},
                      TResolveCase{"DotSegments", "./book/../pic.bmp", "", "{W}", "pic.bmp"},
                      TResolveCase{"DoubleSeparatorInsideAPlainPath", "{W}book//01.bmp", "", "{W}book/", "01.bmp"},
                      TResolveCase{"SettingsFileInDataFolder", "Named.lys", "", "{D}", "Named.lys"},
                      TResolveCase{"WorkingFolderBeforeDataFolder", "pic.bmp", "", "{W}", "pic.bmp"},
                      TResolveCase{"FileInsideMultibyteFolder", "{W}表ソ/01.bmp", "", "{W}表ソ/", "01.bmp"},
                      TResolveCase{"PathBelowAPictureStopsAtThePicture", "{W}pic.bmp/inner/x.jpg", "", "{W}",
                                   "pic.bmp"},
                      TResolveCase{"ArchiveItselfIsAFile", "{W}outer.zip", "", "{W}", "outer.zip"},
                      TResolveCase{"ArchiveWithTrailingSeparator", "{W}outer.zip/", "", "{W}", "outer.zip"}),
    [](const auto& info) { return std::string(info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    Archives, ResolvePathTest,
    ::testing::Values(
        TResolveCase{"MemberAtTop", "{W}outer.zip/p.jpg", "{W}outer.zip", "", "p.jpg"},
        TResolveCase{"MemberInFolder", "{W}outer.zip/dir/p.jpg", "{W}outer.zip", "dir/", "dir/p.jpg"},
        Flat({"MemberInFolderFlat", "{W}outer.zip/dir/p.jpg", "{W}outer.zip", "", "dir/p.jpg"}),
        TResolveCase{"InnerFolderOnly", "{W}outer.zip/dir/sub/", "{W}outer.zip", "dir/sub/", "dir/sub"},
        Flat({"InnerFolderOnlyFlat", "{W}outer.zip/dir/sub", "{W}outer.zip", "", "dir/sub"}),
        TResolveCase{"RelativeMember", "comics.cbz/001.jpg", "{W}comics.cbz", "", "001.jpg"},
        TResolveCase{"ExtensionWithoutCase", "{W}UPPER.ZIP/a/p.JPG", "{W}UPPER.ZIP", "a/", "a/p.JPG"},
        TResolveCase{"FolderThatLooksLikeAnExtension", "{W}outer.zip/vol.1/p.jpg", "{W}outer.zip", "vol.1/",
                     "vol.1/p.jpg"},
        TResolveCase{"MultibyteNames", "{W}漫画/第1巻.zip/ソ/表.jpg", "{W}漫画/第1巻.zip", "ソ/", "ソ/表.jpg"},
        WithoutArchives({"UnknownArchiveIsAFile", "{W}outer.zip/p.jpg", "", "{W}", "outer.zip"})),
    [](const auto& info) { return std::string(info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    NestedArchives, ResolvePathTest,
    ::testing::Values(
        TResolveCase{"NestedArchiveItself", "{W}outer.zip/x/b.zip", "{W}outer.zip", "x/b.zip", ""},
        TResolveCase{"MemberOfNestedArchive", "{W}outer.zip/x/b.zip//c.cbz/p.jpg", "{W}outer.zip",
                     "x/b.zip//c.cbz", "p.jpg"},
        TResolveCase{"FolderInNestedArchive", "{W}outer.zip/x/b.zip//dir/p.jpg", "{W}outer.zip", "x/b.zip//dir/",
                     "dir/p.jpg"},
        Flat({"FolderInNestedArchiveFlat", "{W}outer.zip/x/b.zip//dir/p.jpg", "{W}outer.zip", "x/b.zip",
              "dir/p.jpg"}),
        TResolveCase{"ThreeLevels", "{W}outer.zip/b.zip//c.zip//d.cbz/e/p.jpg", "{W}outer.zip",
                     "b.zip//c.zip//d.cbz//e/", "e/p.jpg"},
        TResolveCase{"NestMarkRightAfterTheArchive", "{W}outer.zip//inner.cbz/p.jpg", "{W}outer.zip", "inner.cbz",
                     "p.jpg"},
        TResolveCase{"NestedWithTrailingSeparators", "{W}outer.zip/x/b.zip//", "{W}outer.zip", "x/b.zip", ""},
        TResolveCase{"RelativeNested", "outer.zip/x/b.zip//p.jpg", "{W}outer.zip", "x/b.zip", "p.jpg"},
        TResolveCase{"LevelsJoinedByOneSeparator", "{W}outer.zip/x/b.zip/c.cbz/e/p.jpg", "{W}outer.zip",
                     "x/b.zip//c.cbz//e/", "e/p.jpg"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ResolvePath, RelativePathWithoutWorkingFolderLeadsNowhere)
{
    TStartTree tree;
    TResolveContext context = tree.Context();
    context.WorkingFolder.clear();
    context.DataFolder.clear();
    EXPECT_TRUE(ResolvePath("no-such-name/x", context).Empty());
}

struct TAbsoluteCase {
    const char* Name;
    const char* Input;
    const char* Expected;
};

class AbsoluteArgumentPathTest : public ::testing::TestWithParam<TAbsoluteCase> {};

TEST_P(AbsoluteArgumentPathTest, MakesAbsolute)
{
    EXPECT_EQ(AbsoluteArgumentPath(GetParam().Input, "/home/u/"), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AbsoluteArgumentPathTest,
    ::testing::Values(TAbsoluteCase{"Relative", "a/b.jpg", "/home/u/a/b.jpg"},
                      TAbsoluteCase{"Absolute", "/x/y", "/x/y"}, TAbsoluteCase{"Parent", "../v/w", "/home/v/w"},
                      TAbsoluteCase{"KeepsTheFolderSeparator", "dir/", "/home/u/dir/"},
                      TAbsoluteCase{"LeadingSeparatorsAreOneRoot", "///x//y", "/x//y"},
                      TAbsoluteCase{"NestMarkAndInnerPathKept", "./a.zip/../b.zip/x.zip//./c.jpg",
                                    "/home/u/b.zip/x.zip//./c.jpg"},
                      TAbsoluteCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.Name); });
