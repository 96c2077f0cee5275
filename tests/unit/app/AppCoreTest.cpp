#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "StartFixture.h"
#include "app/AppCore.h"
#include "base/Errors.h"
#include "common/IniFile.h"
#include "imaging/FilterSets.h"
#include "platform/FileSystem.h"

namespace {

// A window that lists folders (or fails to, for one named folder) and
// records what it was asked.
class TListingView : public TPlaceView {
public:
    std::string Unlistable;
    std::string Calls;
    TShownPlace Shown;

    TShownPlace ShownPlace() const override { return Shown; }
    void SetPendingSelection(const TPendingSelection& selection) override
    {
        Record("pending(" + selection.FilePath + ")");
    }
    bool ShowFolder(const std::string& folder) override
    {
        Record("folder(" + folder + ")");
        if (folder == Unlistable)
            return false;
        Shown = TShownPlace{TPlaceKind::pkFolder, folder, {}, {}};
        return true;
    }
    bool ShowArchive(const std::string& archive, const std::string& inner) override
    {
        Record("archive(" + archive + "|" + inner + ")");
        return OpensArchives;
    }
    bool SelectItem(const std::string& name) override
    {
        Record("only(" + name + ")");
        return true;
    }
    bool ShowShelf(const std::string& name, const std::string& member) override
    {
        Record("shelf(" + name + "|" + member + ")");
        return name == "Known";
    }
    bool OpensArchives = false;
    bool SelectAndShow(const std::string& name) override
    {
        Record("select(" + name + ")");
        return true;
    }
    void ShowFirstImage() override { Record("first"); }
    std::string SingleTopFolder() const override { return {}; }

private:
    void Record(const std::string& call) { Calls += (Calls.empty() ? "" : " ") + call; }
};

class TFakeArchiveLoader : public TArchiveLoader {
public:
    TFakeArchiveLoader() { Extensions = {"*.cbz;*.zip"}; }
    bool IsSupported(const std::string&, const uint8_t*) override { return false; }
    bool ExtractToFolder(const std::string&, uint32_t, const std::string&) override { return false; }
    void GetArchiveInfo(const std::string&, int64_t, TArchiveFileList&) override {}
    void ExtractToStream(const std::string&, uint32_t, TMemoryStream&) override {}
};

}  // namespace

TEST(AppCore, TemporaryFolderLivesAsLongAsTheProgram)
{
    TStartTree tree;
    const TAppFolders folders = tree.Folders();
    std::string temporary;
    {
        TAppCore core(folders, {});
        temporary = core.TemporaryFolder();
        EXPECT_EQ(temporary, folders.TemporaryBase + "Mireva/");
        struct stat st {};
        ASSERT_EQ(::lstat(temporary.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        // Whatever the program leaves in it goes with it.
        ForceDirectories(temporary + "archive/inner");
        ASSERT_EQ(::symlink(tree.Work().c_str(), (temporary + "archive/work").c_str()), 0);
    }
    EXPECT_FALSE(PathExists(temporary));
    EXPECT_TRUE(PathExists(tree.Work() + "pic.bmp")) << "nothing behind a link is removed";
}

TEST(AppCore, LinkInPlaceOfTheTemporaryFolderStopsTheStart)
{
    TStartTree tree;
    const TAppFolders folders = tree.Folders();
    ForceDirectories(tree.Work() + "victim", 0700);
    ASSERT_EQ(::symlink((tree.Work() + "victim").c_str(), (folders.TemporaryBase + "Mireva").c_str()), 0);
    EXPECT_THROW(TAppCore(folders, {}), EFileError);
    EXPECT_TRUE(DirectoryExists(tree.Work() + "victim"));
}

TEST(AppCore, CommandLineIsReadAtStart)
{
    TStartTree tree;
    TAppCore core(tree.Folders(), {"-F", "-s", "alt.lys", "book"});
    EXPECT_TRUE(core.CommandLine().FullScreen);
    EXPECT_EQ(core.SettingsPath(), tree.Work() + "alt.lys");
    EXPECT_EQ(core.CommandLine().StartPath, tree.Work() + "book/");
    EXPECT_EQ(core.State(), TAppState::asCreated);
}

struct TStartCase {
    const char* Name;
    std::vector<std::string> Args;
    const char* Unlistable;
    const char* Calls;
    bool Opened;
};

class DeferredStartTest : public ::testing::TestWithParam<TStartCase> {};

TEST_P(DeferredStartTest, OpensTheStartPathOrFallsBack)
{
    const TStartCase& row = GetParam();
    TStartTree tree;
    TAppCore core(tree.Folders(), tree.Expand(row.Args));
    TListingView view;
    view.Unlistable = tree.Expand(row.Unlistable);
    EXPECT_EQ(core.DeferredStart(view), row.Opened);
    EXPECT_EQ(view.Calls, tree.Expand(row.Calls));
    EXPECT_EQ(core.State(), TAppState::asReady);
    // The start happens once.
    view.Calls.clear();
    EXPECT_FALSE(core.DeferredStart(view));
    EXPECT_EQ(view.Calls, "");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DeferredStartTest,
    ::testing::Values(TStartCase{"StartFolder", {"book"}, "", "folder({W}book/)", true},
                      TStartCase{"StartFile", {"pic.bmp"}, "", "pending({W}pic.bmp) folder({W})", true},
                      TStartCase{"NoPathOpensTheWorkingFolder", {"-f"}, "", "folder({W})", true},
                      TStartCase{"MissingPathOpensItsNearestFolder", {"{W}book/gone/x.jpg"}, "", "folder({W}book/)",
                                 true},
                      TStartCase{"FailingStartPathFallsBack", {"book"}, "{W}book/", "folder({W}book/) folder({W})",
                                 true},
                      TStartCase{"NothingAtAllOpens", {}, "{W}", "folder({W})", false}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TInitCase {
    const char* Name;
    const char* Ini;  // the data folder's Mireva.ini
    const char* Calls;
};

class StartLocationTest : public ::testing::TestWithParam<TInitCase> {};

// Without a start path: the configured start folder or shelf, else the last
// run's place, with its picture only when asked for; what is gone falls
// back to the working folder.
TEST_P(StartLocationTest, OpensTheConfiguredOrTheLastPlace)
{
    const TInitCase& row = GetParam();
    TStartTree tree;
    tree.Write("data/Mireva.ini", tree.Expand(row.Ini));
    TAppCore core(tree.Folders(), {});
    TListingView view;
    view.OpensArchives = true;
    EXPECT_TRUE(core.DeferredStart(view));
    EXPECT_EQ(view.Calls, tree.Expand(row.Calls));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StartLocationTest,
    ::testing::Values(
        TInitCase{"StartFolder", "[INITIALIZE]\nInitDirType=1\nInitPath={W}book\n", "folder({W}book/)"},
        TInitCase{"StartFolderGone", "[INITIALIZE]\nInitDirType=1\nInitPath={W}gone\n", "folder({W})"},
        TInitCase{"StartFolderEmpty", "[INITIALIZE]\nInitDirType=1\n", "folder({W})"},
        TInitCase{"StartShelf", "[INITIALIZE]\nInitDirType=2\nInitShelf=Known\n[STATE]\nDir={W}book\n",
                  "shelf(Known|)"},
        TInitCase{"StartShelfGone", "[INITIALIZE]\nInitDirType=2\nInitShelf=Gone\n", "shelf(Gone|) folder({W})"},
        TInitCase{"LastFolderWithItsSelection",
                  "[INITIALIZE]\nInitPath={W}book\n[STATE]\nDir={W}book/\nSelected={W}book/01.bmp\n"
                  "ImagePath={W}book/01.bmp\n",
                  "folder({W}book/) only({W}book/01.bmp)"},
        TInitCase{"LastImageShowsThePicture",
                  "[INITIALIZE]\nLastImage=1\n[STATE]\nDir={W}book/\nSelected={W}book/01.bmp\n"
                  "ImagePath={W}book/01.bmp\n",
                  "folder({W}book/) select({W}book/01.bmp) only({W}book/01.bmp)"},
        TInitCase{"LastArchiveAtItsInnerFolder",
                  "[INITIALIZE]\nLastImage=1\n[STATE]\nIsArchive=1\nArchivePath=vol1/\nDir={W}comics.cbz\n"
                  "ImagePath={W}comics.cbz//vol1/03.jpg\n",
                  "archive({W}comics.cbz|vol1/) select(vol1/03.jpg)"},
        TInitCase{"ArchiveWithoutDirIsNoArchive", "[STATE]\nIsArchive=1\nArchivePath=vol1/\nDir=\n", "folder({W})"},
        TInitCase{"LastFolderGone", "[STATE]\nDir={W}gone/\nSelected={W}gone/a.bmp\n", "folder({W})"},
        // A Windows identifier list of an older version names nothing here.
        TInitCase{"ForeignDir", "[STATE]\nDir=14001F50E04FD020EA3A6910A2D808002B30309D\n", "folder({W})"},
        TInitCase{"LastShelfMember", "[VIEW]\nListKind=1\n[STATE]\nShelf=Known\nShelfItem={W}book\nDir={W}book/\n",
                  "shelf(Known|{W}book)"},
        TInitCase{"OlderTreeKindWins", "[VIEW]\nListKind=0\n[STATE]\nTreeKind=1\nShelf=Known\n",
                  "shelf(Known|)"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(AppCore, OlderKeysOfTheDataFolderAreConvertedOnce)
{
    TStartTree tree;
    tree.Write("data/Mireva.ini", "[STATE]\nTreeKind=2\n[IMAGE]\nApplication1=/usr/bin/gimp\nView=1\n"
                                  "Application2=/usr/bin/a\n[FILE]\nUseApplication2=/usr/bin/b\n");
    TAppCore core(tree.Folders(), {});
    EXPECT_EQ(core.LastLocation().TreeKind, TLocationTree::ltMedia);
    const TIniFile ini(tree.Data() + "Mireva.ini");
    EXPECT_FALSE(ini.ValueExists("STATE", "TreeKind"));
    EXPECT_FALSE(ini.ValueExists("IMAGE", "Application1"));
    EXPECT_EQ(ini.ReadString("FILE", "UseApplication1", ""), "/usr/bin/gimp");
    EXPECT_EQ(ini.ReadString("FILE", "UseApplication2", ""), "/usr/bin/b") << "the newer entry stays";
    EXPECT_EQ(ini.ReadInteger("IMAGE", "View", 0), 1);
}

TEST(AppCore, AStartPathOrAStartFolderStartsWithTheFolderTree)
{
    TStartTree tree;
    tree.Write("data/Mireva.ini", "[VIEW]\nListKind=2\n");
    EXPECT_EQ(TAppCore(tree.Folders(), {}).StartTreeKind(), TLocationTree::ltMedia);
    EXPECT_EQ(TAppCore(tree.Folders(), {"book"}).StartTreeKind(), TLocationTree::ltFolder);
    tree.Write("data/Mireva.ini", "[VIEW]\nListKind=2\n[INITIALIZE]\nInitDirType=2\n");
    EXPECT_EQ(TAppCore(tree.Folders(), {}).StartTreeKind(), TLocationTree::ltShelf);
}

TEST(AppCore, HandOversCountOnlyWhileReady)
{
    TStartTree tree;
    TAppCore core(tree.Folders(), {});
    const THandOver message{tree.Work(), {"mireva", "-s", "alt.ini", "book"}};
    EXPECT_FALSE(core.AcceptHandOver(message, false).has_value()) << "before the start location is open";

    TListingView view;
    core.DeferredStart(view);
    const std::optional<THandOverRequest> request = core.AcceptHandOver(message, false);
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->OpenPath, tree.Work() + "book");
    EXPECT_EQ(request->SettingsPath, tree.Work() + "alt.ini");

    core.BeginClose();
    EXPECT_EQ(core.State(), TAppState::asClosing);
    EXPECT_FALSE(core.AcceptHandOver(message, false).has_value()) << "while closing";
}

TEST(AppCore, ArchivesAreKnownFromTheRegistry)
{
    TStartTree tree;
    TAppCore core(tree.Folders(), {}, [](TPluginSettings&, TPluginScan& found) {
        found.AmPlugins.push_back(std::make_unique<TFakeArchiveLoader>());
    });
    const TResolveContext context = core.ResolveContext();
    EXPECT_TRUE(context.IsArchiveExtension(".CBZ"));
    EXPECT_FALSE(context.IsArchiveExtension(".bmp"));
    const TPathInfo info = ResolvePath(tree.Work() + "comics.cbz/a/01.jpg", context);
    EXPECT_EQ(info.ArchivePath, tree.Work() + "comics.cbz");
    EXPECT_EQ(info.Folder, "a/");
}

TEST(AppCore, ArchiveFolderOptionOfTheSettingsFileReachesResolution)
{
    TStartTree tree;
    tree.Write("work/flat.lys", "[ARCHIVE]\nFolder=0\n");
    TAppCore core(tree.Folders(), {"-s", "flat.lys"}, [](TPluginSettings&, TPluginScan& found) {
        found.AmPlugins.push_back(std::make_unique<TFakeArchiveLoader>());
    });
    EXPECT_FALSE(core.Options().Archive.Folder);
    const TPathInfo info = ResolvePath(tree.Work() + "comics.cbz/a/01.jpg", core.ResolveContext());
    EXPECT_EQ(info.Folder, "");
    EXPECT_EQ(info.FileName, "a/01.jpg");
}

TEST(AppCore, OptionsComeFromTheDataFoldersSettingsFile)
{
    TStartTree tree;
    tree.Write("data/Mireva.ini", "[LIST]\nOpenFolder=1\n[ARCHIVE]\nOpenSubFolder=0\n");
    TAppCore core(tree.Folders(), {});
    EXPECT_EQ(core.SettingsPath(), tree.Data() + "Mireva.ini");
    EXPECT_TRUE(core.OpenOptions().ListOpenFolder);
    EXPECT_FALSE(core.OpenOptions().ArchiveOpenSubFolder);
    EXPECT_TRUE(core.ResolveContext().ArchiveFolder);
}

TEST(AppCore, FilterSetsAreReadWithTheOptions)
{
    TStartTree tree;
    TFilterSets written;
    written.Sets.push_back(TFilterSet{"Sepia", {}});
    written.Sets.push_back(TFilterSet{"Sharp", {}});
    written.Selected = 1;
    TIniFile ini;
    WriteFilterSets(ini, written);
    tree.Write("data/Mireva.ini", ini.ToText());
    TAppCore core(tree.Folders(), {});
    ASSERT_EQ(core.FilterSets().Sets.size(), 2u);
    EXPECT_EQ(core.FilterSets().Sets[1].Name, "Sharp");
    EXPECT_EQ(core.FilterSets().Selected, 1);
}
