#include <gtest/gtest.h>

#include "StartFixture.h"
#include "app/HandOver.h"

namespace {

struct THandOverCase {
    const char* Name;
    const char* SenderFolder;
    std::vector<std::string> Args;  // after the program path
    bool FullScreen;                // the running copy is in full screen
    bool EnterFullScreen;
    const char* SettingsPath;
    const char* OpenPath;
};

class HandOverTest : public ::testing::TestWithParam<THandOverCase> {};

TEST_P(HandOverTest, AsksForTheRightThings)
{
    const THandOverCase& row = GetParam();
    TStartTree tree;
    THandOver message{tree.Expand(row.SenderFolder), {"/usr/bin/mireva"}};
    for (const std::string& arg : tree.Expand(row.Args))
        message.Args.push_back(arg);
    // The running copy works elsewhere; only the sender's folder counts.
    TResolveContext context = tree.Context();
    context.WorkingFolder = "/";
    const THandOverRequest request = ParseHandOver(message, row.FullScreen, context);
    EXPECT_EQ(request.HasArguments, !row.Args.empty());
    EXPECT_EQ(request.EnterFullScreen, row.EnterFullScreen);
    EXPECT_EQ(request.SettingsPath, tree.Expand(row.SettingsPath));
    EXPECT_EQ(request.OpenPath, tree.Expand(row.OpenPath));
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Rows, HandOverTest,
    ::testing::Values(
        THandOverCase{"NoArgumentsOnlyRaises", "{W}", {}, false, false, "", ""},
        THandOverCase{"FullScreenWhenOff", "{W}", {"-f"}, false, true, "", ""},
        THandOverCase{"FullScreenWhenOnStaysOn", "{W}", {"-F"}, true, false, "", ""},
        THandOverCase{"SettingsAndPath", "{W}", {"-s", "alt.lys", "book"}, false, false, "{W}alt.lys", "{W}book"},
        THandOverCase{"SettingsFromTheDataFolder", "{W}book/", {"-s", "Named.lys"}, false, false, "{D}Named.lys", ""},
        THandOverCase{"SettingsSwitchOnAPictureOpensIt", "{W}", {"-s", "pic.bmp"}, false, false, "", "{W}pic.bmp"},
        THandOverCase{"SettingsSwitchInsideAnArchiveOpensIt", "{W}", {"-s", "outer.zip/a.ini"}, false, false, "",
                      "{W}outer.zip/a.ini"},
        THandOverCase{"FirstPathWins", "{W}", {"pic.bmp", "book"}, false, false, "", "{W}pic.bmp"},
        THandOverCase{"RelativeToTheSendersFolder", "{W}book/", {"01.bmp"}, false, false, "", "{W}book/01.bmp"},
        THandOverCase{"NestedArchiveMarkKept", "{W}", {"outer.zip/x/b.zip//p.jpg"}, false, false, "",
                      "{W}outer.zip/x/b.zip//p.jpg"},
        THandOverCase{"SenderWithoutFolderSkipsRelativePaths", "", {"book", "{W}pic.bmp"}, false, false, "",
                      "{W}pic.bmp"},
        THandOverCase{"EmptyArgumentsSkipped", "{W}", {"", "-f", ""}, false, true, "", ""}),
    [](const auto& info) { return std::string(info.param.Name); });
