#include <gtest/gtest.h>

#include <set>

#include "fileops/FileLists.h"

namespace {

TEST(ClipboardLists, RoundTripOfAwkwardNames)
{
    const std::vector<std::string> paths = {"/a/b c.jpg", "/日本/100%.png", "/x/#?&+;\n.txt", "/"};
    EXPECT_EQ(DecodeUriList(EncodeUriList(paths)), paths);
    TClipFiles files{TClipOperation::coCut, paths}, back;
    ASSERT_TRUE(DecodeGnomeCopiedFiles(EncodeGnomeCopiedFiles(files), back));
    EXPECT_EQ(back.Operation, TClipOperation::coCut);
    EXPECT_EQ(back.Paths, paths);
    EXPECT_EQ(EncodeUriList({"/a b"}), "file:///a%20b\r\n");
}

TEST(ClipboardLists, ForeignEntriesAreLeftOut)
{
    const std::string text = "# comment\r\nfile:///ok\r\nhttp://host/x\r\nfile://other/y\r\n"
                             "file://localhost/z\r\nfile:///bad%zz\r\nfile:rel\r\n";
    EXPECT_EQ(DecodeUriList(text), (std::vector<std::string>{"/ok", "/z"}));
    TClipFiles files;
    EXPECT_FALSE(DecodeGnomeCopiedFiles("move\nfile:///a", files));
    ASSERT_TRUE(DecodeGnomeCopiedFiles("copy\nfile:///a\n", files));
    EXPECT_EQ(files.Operation, TClipOperation::coCopy);
}

TEST(FileNames, NewFolderTakesTheFirstFreeNumber)
{
    std::set<std::string> taken = {"/d/新しいフォルダ", "/d/新しいフォルダ (1)"};
    auto exists = [&](const std::string& path) { return taken.count(path) > 0; };
    EXPECT_EQ(NewFolderPath("/d", exists), "/d/新しいフォルダ (2)");
    EXPECT_EQ(NewFolderPath("/e/", exists), "/e/新しいフォルダ");
}

TEST(FileNames, RenameKeepsOrAddsTheExtension)
{
    struct Row {
        const char *Old, *Typed;
        bool Keep, Add;
        const char* Expected;
    };
    const Row rows[] = {
        {"a.jpg", "b", true, false, "b.jpg"},      {"a.jpg", "b", false, true, "b.jpg"},
        {"a.jpg", "b.png", false, true, "b.png"},  {"a.jpg", "b", false, false, "b"},
        {"a.jpg", "b.png", true, false, "b.png.jpg"}, {".profile", "x", true, false, "x"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(RenamedFileName(row.Old, row.Typed, row.Keep, row.Add), row.Expected) << row.Typed;
    EXPECT_EQ(ProposedRenameText("a.b.jpg", false, true), "a.b");
    EXPECT_EQ(ProposedRenameText("f.d", true, true), "f.d");
    for (const char* bad : {"", ".", "..", "a/b"})
        EXPECT_FALSE(IsValidFileName(bad)) << bad;
}

TEST(FileNames, PathCopyText)
{
    const std::vector<std::string> files = {"/d/a.jpg", "/d/b.jpg", "/d/sub/"};
    EXPECT_EQ(PathCopyText(files, false), "/d/a.jpg\r\n/d/b.jpg\r\n/d/sub");
    EXPECT_EQ(PathCopyText(files, true), "/d");
    EXPECT_EQ(PathCopyText({"/a/x", "/b/y", "/a/z"}, true), "/a\r\n/b");
}

}  // namespace
