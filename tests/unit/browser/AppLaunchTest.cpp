#include <gtest/gtest.h>

#include <map>

#include "base/Errors.h"
#include "browser/AppLaunch.h"

namespace {

TRegApplication App(std::string path, std::string name, std::string parameters = {})
{
    return {std::move(path), std::move(name), std::move(parameters), TAppWindow::awNormal, false, false};
}

std::string Joined(const std::vector<std::string>& items)
{
    std::string text;
    for (size_t i = 0; i < items.size(); ++i)
        text += (i ? "|" : "") + items[i];
    return text;
}

TEST(AppCaptions, RecentProgramsAreNumberedAfterTheRegisteredOnes)
{
    TApplicationLists lists;
    lists.SetRegistered({App("/usr/bin/gimp", "GIMP"), App("/usr/bin/feh", "Feh"), App("", "関連付け")});
    lists.UseProgram("/opt/x/viewer.sh");
    lists.UseProgram("/usr/share/applications/org.gnome.eog.desktop");
    EXPECT_EQ(RegisteredCaption(lists, 2), "&3: 関連付け");
    EXPECT_EQ(RecentCaption(lists, 0), "&4: org.gnome.eog");
    EXPECT_EQ(RecentCaption(lists, 1), "&5: viewer");
    EXPECT_EQ(RecentCaption(lists, 2), "");

    lists.SetRegistered(std::vector<TRegApplication>(10, App("/bin/p", "P")));
    EXPECT_EQ(RegisteredCaption(lists, 9), "&10: P");
    EXPECT_EQ(RecentCaption(lists, 0), "1&1: org.gnome.eog");
    for (const char* program : {"/c", "/d", "/e"})
        lists.UseProgram(program);
    EXPECT_EQ(RecentCaption(lists, 4), "1&5: viewer");
}

// Writes members out under a pretend temporary folder, and fails on request.
class FakeExtractor : public TMemberExtractor {
public:
    std::string ExtractFile(const std::string& member) override
    {
        Calls.push_back("file " + member);
        if (member == FailOn)
            throw EFileError("disk full");
        return "/tmp/x/" + member;
    }
    std::string ExtractFolder(const std::string& member) override
    {
        Calls.push_back("folder " + member);
        return "/tmp/x/" + member.substr(0, member.size() - 1);
    }
    std::vector<std::string> Calls;
    std::string FailOn;
};

struct TPathsCase {
    const char* Name;
    std::vector<std::string> Shown;  // paths as the browser shows them
    TPassFlags Flags;
    bool Pages;
    const char* Expected;
    const char* Calls;
};

class TargetPathsTest : public ::testing::TestWithParam<TPathsCase> {};

TEST_P(TargetPathsTest, Gathers)
{
    FakeExtractor extractor;
    std::vector<TTargetEntry> entries = PageEntries(GetParam().Shown);
    const TTargetPaths result = BuildTargetPaths(entries, GetParam().Flags, &extractor, GetParam().Pages);
    EXPECT_EQ(Joined(result.Paths), GetParam().Expected);
    EXPECT_EQ(Joined(extractor.Calls), GetParam().Calls);
    EXPECT_TRUE(result.Error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TargetPathsTest,
    ::testing::Values(
        TPathsCase{"Files", {"/p/b.jpg", "/p/a.jpg", "/q/"}, {}, false, "/p/b.jpg|/p/a.jpg|/q", ""},
        TPathsCase{"ParentOncePerItem", {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"}, {true, false}, false, "/p|/p|/p", ""},
        TPathsCase{"ParentOfAFolderAndOfTheRoot", {"/p/q/", "/"}, {true, false}, false, "/p|/", ""},
        TPathsCase{"TwoPagesOfOneFolderGiveItOnce", {"/p/1.jpg", "/p/2.jpg"}, {true, false}, true, "/p", ""},
        TPathsCase{"MemberByArchivePath", {"/b/book.zip//d/1.jpg", "/b/book.zip//d/"}, {false, true}, false,
                   "/b/book.zip//d/1.jpg|/b/book.zip//d", ""},
        TPathsCase{"InnerArchiveMember", {"/b/o.zip//x/in.cbz//p.png"}, {false, true}, false,
                   "/b/o.zip//x/in.cbz//p.png", ""},
        TPathsCase{"MemberParentIsTheOutermostArchive", {"/b/o.zip//x/in.cbz//p.png"}, {true, true}, false,
                   "/b/o.zip", ""},
        TPathsCase{"MembersWrittenOut", {"/b/book.zip//d/1.jpg", "/b/book.zip//d/"}, {}, false,
                   "/tmp/x/d/1.jpg|/tmp/x/d", "file d/1.jpg|folder d/"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(TargetPaths, AFailedExtractionPassesNothing)
{
    FakeExtractor extractor;
    extractor.FailOn = "2.jpg";
    const TTargetPaths result =
        BuildTargetPaths(PageEntries({"/b.zip//1.jpg", "/b.zip//2.jpg", "/b.zip//3.jpg"}), {}, &extractor);
    EXPECT_TRUE(result.Paths.empty());
    EXPECT_EQ(result.Error, "disk full");
    EXPECT_EQ(Joined(extractor.Calls), "file 1.jpg|file 2.jpg");
}

class RecordingLauncher : public TAppLauncher {
public:
    bool OpenAssociated(const std::string& path) override
    {
        Log.push_back("open " + path);
        return path.find("unknown") == std::string::npos;
    }
    void ChooseProgramFor(const std::string& path) override { Log.push_back("choose " + path); }
    void ShowInFileManager(const std::vector<std::string>& paths) override { Log.push_back("show " + Joined(paths)); }
    bool Start(const TLaunchCommand& command) override
    {
        Log.push_back("start " + command.Program + " [" + Joined(command.Arguments) + "] in " + command.WorkingFolder);
        return true;
    }
    std::string DesktopExec(const std::string& desktopFile) override { return Execs[desktopFile]; }

    std::vector<std::string> Log;
    std::map<std::string, std::string> Execs;
};

struct TLaunchCase {
    const char* Name;
    TRegApplication App;
    std::vector<std::string> Paths;
    const char* Expected;
};

class RegisteredLaunchTest : public ::testing::TestWithParam<TLaunchCase> {};

TEST_P(RegisteredLaunchTest, Starts)
{
    TApplicationLists lists;
    lists.SetRegistered({GetParam().App});
    RecordingLauncher launcher;
    launcher.Execs["/apps/eog.desktop"] = "eog --new %U";
    launcher.Execs["/apps/one.desktop"] = "\"/opt/one app/run\" %f %i";
    launcher.Execs["/apps/plain.desktop"] = "plain --x=100%%";
    TAppCommands commands(lists, launcher);
    EXPECT_TRUE(commands.RunRegistered(0, GetParam().Paths));
    EXPECT_EQ(Joined(launcher.Log), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RegisteredLaunchTest,
    ::testing::Values(
        TLaunchCase{"ParametersBeforeFiles", App("/opt/v/view", "V", "-a 'b c'"), {"/p/a b.jpg", "/p/$(x).jpg"},
                    "start /opt/v/view [-a|b c|/p/a b.jpg|/p/$(x).jpg] in /opt/v/"},
        TLaunchCase{"NoProgramParametersNameIt", App("", "V", "gimp -n"), {"/p/a.jpg"}, "start gimp [-n|/p/a.jpg] in /p/"},
        TLaunchCase{"NoProgramNoParametersOpensEach", App("", "V"), {"/p/a.jpg", "/p/unknown.xyz"},
                    "open /p/a.jpg|open /p/unknown.xyz|choose /p/unknown.xyz"},
        TLaunchCase{"DesktopEntryTakesAllFiles", App("/apps/eog.desktop", "E", "-f"), {"/p/a.jpg", "/p/b.jpg"},
                    "start eog [--new|-f|/p/a.jpg|/p/b.jpg] in /p/"},
        TLaunchCase{"DesktopEntryOncePerFile", App("/apps/one.desktop", "O"), {"/p/a.jpg", "/q/b.jpg"},
                    "start /opt/one app/run [/p/a.jpg] in /p/|start /opt/one app/run [/q/b.jpg] in /p/"},
        TLaunchCase{"DesktopEntryWithoutFileCode", App("/apps/plain.desktop", "P"), {"/p/a.jpg"},
                    "start plain [--x=100%|/p/a.jpg] in /p/"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(AppCommands, RecentAndChosenProgramsMoveToTheFront)
{
    TApplicationLists lists;
    RecordingLauncher launcher;
    TAppCommands commands(lists, launcher);
    EXPECT_FALSE(commands.RunRegistered(0, {"/p/a.jpg"}));
    EXPECT_TRUE(commands.RunChosen("/usr/bin/a", {"/p/a.jpg"}));
    EXPECT_TRUE(commands.RunChosen("/usr/bin/b", {"/p/a.jpg"}));
    EXPECT_TRUE(commands.RunRecent(1, {"/p/c.jpg"}));
    EXPECT_EQ(Joined(lists.Recent()), "/usr/bin/a|/usr/bin/b");
    EXPECT_EQ(launcher.Log.back(), "start /usr/bin/a [/p/c.jpg] in /usr/bin/");
    EXPECT_FALSE(commands.RunRecent(2, {"/p/c.jpg"}));
    EXPECT_FALSE(commands.RunRecent(0, {}));
    EXPECT_EQ(launcher.Log.size(), 3u);
}

TEST(CommandLine, SplitsLikeAShellWithoutExpanding)
{
    EXPECT_EQ(Joined(SplitCommandLine("  -a  'b c' \"d \\\"e\\\"\" f\\ g '' $HOME")),
              "-a|b c|d \"e\"|f g||$HOME");
    EXPECT_TRUE(SplitCommandLine(" \t ").empty());
}

}  // namespace
