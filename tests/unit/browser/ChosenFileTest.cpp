#include <gtest/gtest.h>

#include <unistd.h>

#include <map>

#include "browser/ChosenFile.h"
#include "common/Text.h"
#include "support/TempFolder.h"

namespace {

// ".pdf" is read both as a picture and as an archive.
const TItemClassifier Extensions{
    [](std::string_view ext) { return SameText(ext, ".jpg") || SameText(ext, ".pdf"); },
    [](std::string_view ext) { return SameText(ext, ".zip") || SameText(ext, ".pdf"); }};

// The links of the rows and where they lead.
TLinkTarget FakeTarget(const std::string& link)
{
    static const std::map<std::string, TLinkTarget> targets = {
        {"/b/to-folder", {TFileKind::fkFolder, "/t/folder"}},
        {"/b/to-book", {TFileKind::fkFile, "/t/book.zip"}},
        {"/b/pic.zip", {TFileKind::fkFile, "/t/p.jpg"}},
    };
    const auto it = targets.find(link);
    return it == targets.end() ? TLinkTarget{} : it->second;
}

struct TChosenRow {
    const char* Name;
    TChosenFile File;
    bool PictureShown;
    TChosenOutcome Outcome;
    const char* Text;  // the message, or the path to open
    TMessageIcon Icon;
};

class ChosenFileTest : public testing::TestWithParam<TChosenRow> {};

TEST_P(ChosenFileTest, Decides)
{
    const TChosenRow& row = GetParam();
    const TChosenFileResult result = DecideChosenFile(row.File, Extensions, row.PictureShown, FakeTarget);
    EXPECT_EQ(result.Outcome, row.Outcome);
    if (row.Outcome == TChosenOutcome::coMessage) {
        EXPECT_EQ(result.Message, row.Text);
        EXPECT_EQ(result.Icon, row.Icon);
    }
    if (row.Outcome == TChosenOutcome::coOpenPath) {
        EXPECT_EQ(result.Target, row.Text);
    }
}

constexpr auto Show = TChosenOutcome::coShowPicture;
constexpr auto Message = TChosenOutcome::coMessage;
constexpr auto Open = TChosenOutcome::coOpenPath;
constexpr auto Info = TMessageIcon::miInformation;
constexpr auto Warning = TMessageIcon::miWarning;

const TChosenRow ChosenRows[] = {
    {"MemberOfArchiveOnlyType", {true, "dir/inner.zip", "inner.zip", false}, false, Message,
     "'inner.zip' は開けませんでした  ", Warning},
    {"MemberAlsoAPicture", {true, "doc.pdf", "doc.pdf", false}, false, Show, "", Info},
    {"MemberAlsoAPictureWhileOneIsShown", {true, "doc.pdf", "doc.pdf", false}, true, Message,
     "'doc.pdf' は開けませんでした  ", Warning},
    {"Picture", {false, "/b/a.jpg", "a.jpg", false}, true, Show, "", Info},
    {"ArchiveFile", {false, "/b/x.zip", "x.zip", false}, false, Message, "'x.zip' は開けませんでした  ", Warning},
    {"LinkToNothing", {false, "/b/gone.jpg", "gone.jpg", true}, false, Message,
     "'gone.jpg' の参照先が見つかりません  ", Info},
    {"LinkToAFolder", {false, "/b/to-folder", "to-folder", true}, true, Open, "/t/folder", Info},
    {"LinkToAnArchive", {false, "/b/to-book", "to-book", true}, true, Open, "/t/book.zip", Info},
    {"LinkToAPictureWhateverItsName", {false, "/b/pic.zip", "pic.zip", true}, true, Show, "", Info},
};

INSTANTIATE_TEST_SUITE_P(Rows, ChosenFileTest, testing::ValuesIn(ChosenRows),
                         [](const testing::TestParamInfo<TChosenRow>& info) { return info.param.Name; });

TEST(ChosenFile, LinksAreFollowedOnDisk)
{
    TTempFolder folder;
    folder.Write("real/p.jpg", "x");
    ASSERT_EQ(symlink(folder.File("real").c_str(), folder.File("to-folder").c_str()), 0);
    ASSERT_EQ(symlink(folder.File("missing").c_str(), folder.File("dangling").c_str()), 0);
    const TLinkTarget target = ResolveLinkTarget(folder.File("to-folder"));
    EXPECT_EQ(target.Kind, TFileKind::fkFolder);
    EXPECT_EQ(target.Path, RealPath(folder.File("real")));
    EXPECT_EQ(ResolveLinkTarget(folder.File("dangling")).Kind, TFileKind::fkNone);
}

}  // namespace
