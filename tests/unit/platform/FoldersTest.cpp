#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Folders.h"
#include "support/TempFolder.h"

namespace {

// Sets an environment variable for one test and puts the old value back.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const std::string& value)
        : fName(name)
    {
        if (const char* old = std::getenv(name))
            fOld = old;
        fHad = std::getenv(name) != nullptr;
        ::setenv(name, value.c_str(), 1);
    }
    ~TScopedEnv()
    {
        if (fHad)
            ::setenv(fName, fOld.c_str(), 1);
        else
            ::unsetenv(fName);
    }

private:
    const char* fName;
    std::string fOld;
    bool fHad = false;
};

uint32_t ModeOf(const std::string& path)
{
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

}  // namespace

// What may stand in place of the private temporary folder.
struct TPlantCase {
    const char* Name;
    bool Accepted;
    void (*Plant)(const TTempFolder& base, const std::string& path);
};

class PrivateFolderTest : public ::testing::TestWithParam<TPlantCase> {};

TEST_P(PrivateFolderTest, AcceptsOnlyOurOwnRealFolder)
{
    TTempFolder base;
    const std::string path = base.File("Mireva");
    GetParam().Plant(base, path);
    if (GetParam().Accepted) {
        EXPECT_EQ(CreatePrivateFolder(base.Path(), "Mireva"), path + "/");
        EXPECT_EQ(ModeOf(path), 0700u);
    } else {
        EXPECT_THROW(CreatePrivateFolder(base.Path(), "Mireva"), EFileError);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PrivateFolderTest,
    ::testing::Values(
        TPlantCase{"Missing", true, [](const TTempFolder&, const std::string&) {}},
        TPlantCase{"OursAlready", true, [](const TTempFolder&, const std::string& p) { ::mkdir(p.c_str(), 0700); }},
        TPlantCase{"OpenToOthers", false,
                   [](const TTempFolder&, const std::string& p) {
                       ::mkdir(p.c_str(), 0700);
                       ::chmod(p.c_str(), 0777);
                   }},
        TPlantCase{"LinkToOurOwnFolder", false,
                   [](const TTempFolder& b, const std::string& p) {
                       ForceDirectories(b.File("real"), 0700);
                       ::symlink(b.File("real").c_str(), p.c_str());
                   }},
        TPlantCase{"DanglingLink", false,
                   [](const TTempFolder& b, const std::string& p) { ::symlink(b.File("nowhere").c_str(), p.c_str()); }},
        TPlantCase{"PlainFile", false, [](const TTempFolder& b, const std::string&) { b.Write("Mireva", "x"); }}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(PrivateFolder, FolderOfAnotherUserIsRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    TTempFolder base;
    const std::string path = base.File("Mireva");
    ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    EXPECT_THROW(CreatePrivateFolder(base.Path(), "Mireva"), EFileError);
}

TEST(TemporaryFolder, RemovesEverythingButNothingBehindALink)
{
    TTempFolder base;
    const std::string outside = base.Write("outside/keep.txt", "keep");
    std::string path;
    {
        TTemporaryFolder temporary(base.Path(), "Mireva");
        path = temporary.Path();
        ForceDirectories(path + "member/deep");
        base.Write("Mireva/member/deep/page.jpg", "x");
        ASSERT_EQ(::symlink(base.File("outside").c_str(), (path + "member/link").c_str()), 0);
    }
    EXPECT_FALSE(PathExists(path));
    EXPECT_EQ(base.Read("outside/keep.txt"), "keep");
}

TEST(TemporaryFolder, CleanEmptiesButKeepsTheFolder)
{
    TTempFolder base;
    TTemporaryFolder temporary(base.Path(), "Mireva");
    base.Write("Mireva/a.bmp", "x");
    temporary.Clean();
    EXPECT_TRUE(DirectoryExists(temporary.Path()));
    EXPECT_TRUE(ListDirectory(temporary.Path()).empty());
}

struct TRuntimeCase {
    const char* Name;
    bool UsedAsRuntime;
    void (*Prepare)(const std::string& path);
    bool RelativeValue = false;  // the variable holds "run", not a full path
};

class RuntimeDirectoryTest : public ::testing::TestWithParam<TRuntimeCase> {};

TEST_P(RuntimeDirectoryTest, OnlyAPrivateRuntimeFolderIsUsed)
{
    TTempFolder base;
    const std::string runtime = base.File("run");
    GetParam().Prepare(runtime);
    TScopedEnv env("XDG_RUNTIME_DIR", GetParam().RelativeValue ? std::string("run") : runtime);
    if (GetParam().UsedAsRuntime) {
        EXPECT_EQ(TemporaryBase(), runtime + "/");
        EXPECT_EQ(TemporaryFolderName(TemporaryBase()), "Mireva");
        EXPECT_EQ(RuntimeFolder(), runtime + "/");
    } else {
        EXPECT_EQ(TemporaryBase(), "/tmp/");
        EXPECT_EQ(TemporaryFolderName(TemporaryBase()), "Mireva-" + std::to_string(::geteuid()));
        const std::string fallback = RuntimeFolder();
        EXPECT_EQ(fallback, "/tmp/Mireva-" + std::to_string(::geteuid()) + ".run/");
        EXPECT_TRUE(IsPrivateFolder(fallback));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RuntimeDirectoryTest,
    ::testing::Values(TRuntimeCase{"Private", true, [](const std::string& p) { ::mkdir(p.c_str(), 0700); }},
                      TRuntimeCase{"WritableByOthers", false,
                                   [](const std::string& p) {
                                       ::mkdir(p.c_str(), 0700);
                                       ::chmod(p.c_str(), 01777);
                                   }},
                      TRuntimeCase{"Missing", false, [](const std::string&) {}},
                      TRuntimeCase{"Relative", false, [](const std::string& p) { ::mkdir(p.c_str(), 0700); }, true}),
    [](const auto& info) { return std::string(info.param.Name); });

namespace {

// Listing a folder reads each entry's type from the folder and its data with
// one call, and tells writability from the permission bits: every kind of
// entry must still come out as the system describes it one by one, whether
// read while listing or afterwards through the folder's handle, and a
// listing of kinds alone must class each entry the same way.
TEST(ListDirectory, DescribesEachEntryAsTheSystemDoes)
{
    TTempFolder folder;
    folder.Write("page.jpg", "12345");
    folder.Write("locked.jpg", "1");
    ::chmod(folder.File("locked.jpg").c_str(), 0444);
    folder.Write("sub/inner.jpg", "1");
    ::chmod(folder.File("sub").c_str(), 0555);
    ASSERT_EQ(::symlink("page.jpg", folder.File("to-file").c_str()), 0);
    ASSERT_EQ(::symlink("sub", folder.File("to-folder").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", folder.File("dangling").c_str()), 0);
    ASSERT_EQ(::mkfifo(folder.File("pipe").c_str(), 0644), 0);
    const std::vector<TDirEntry> entries = ListDirectory(folder.Path());
    const std::vector<TDirEntry> kinds = ListDirectory(folder.Path(), TListDetail::ldKinds);
    const TFolderStatter statter(folder.Path());
    ASSERT_EQ(entries.size(), 7u);
    ASSERT_EQ(kinds.size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const TDirEntry& entry = entries[i];
        const std::string path = folder.File(entry.Name);
        const TFileStatus one = QueryFile(path);
        SCOPED_TRACE(entry.Name);
        ASSERT_EQ(kinds[i].Name, entry.Name);
        EXPECT_EQ(kinds[i].Status.Kind, one.Kind);
        // Only links are read in full while listing kinds.
        EXPECT_EQ(kinds[i].Detailed, one.IsLink);
        EXPECT_TRUE(entry.Detailed);
        for (const TFileStatus& status : {entry.Status, statter.Query(entry.Name)}) {
            EXPECT_EQ(status.Kind, one.Kind);
            EXPECT_EQ(status.IsLink, one.IsLink);
            EXPECT_EQ(status.Size, one.Size);
            EXPECT_EQ(status.ModifiedSeconds, one.ModifiedSeconds);
            EXPECT_EQ(status.Mode, one.Mode);
            EXPECT_EQ(status.ReadOnly, ::access(path.c_str(), W_OK) != 0);
        }
    }
    // A name that went, or that leads elsewhere, is nothing of this folder.
    for (const char* name : {"gone.jpg", "sub/inner.jpg", "", ".", ".."})
        EXPECT_EQ(statter.Query(name).Kind, TFileKind::fkNone) << name;
    EXPECT_THROW(TFolderStatter(folder.File("gone")), EFileError);
    ::chmod(folder.File("sub").c_str(), 0755);
}

}  // namespace

// Where the program's own files are found, for the layouts it runs from: the
// build tree and a portable copy keep them beside the executable, an
// installed tree in PREFIX/lib/mireva/.
struct TLocateCase {
    const char* Name;
    const char* Executable;    // below the test's folder
    const char* Made;          // a folder made there first, or ""
    const char* ExpectFolder;  // below the test's folder
    bool Installed;
};

class LocateProgramTest : public ::testing::TestWithParam<TLocateCase> {};

TEST_P(LocateProgramTest, FindsTheProgramFilesRelativeToTheExecutable)
{
    const TLocateCase& row = GetParam();
    TTempFolder root;
    if (*row.Made)
        ForceDirectories(root.File(row.Made));
    const TProgramLocation location = LocateProgram(root.File(row.Executable));
    EXPECT_EQ(location.Folder, root.File(row.ExpectFolder));
    EXPECT_EQ(location.Installed, row.Installed);
    // An installed program keeps its settings out of its own folder, even
    // in a prefix the user may write to.
    EXPECT_EQ(location.PortableFolder(), row.Installed ? "" : location.Folder);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LocateProgramTest,
    ::testing::Values(TLocateCase{"BuildTree", "build/bin/mireva", "", "build/bin/", false},
                      TLocateCase{"InstalledPrefix", "usr/bin/mireva", "usr/lib/mireva", "usr/lib/mireva/", true},
                      TLocateCase{"OtherLibraryFolderIsNoPrefix", "opt/bin/mireva", "opt/lib/other", "opt/bin/", false},
                      TLocateCase{"PluginsBesideAreNotEnough", "opt/mireva/mireva", "opt/mireva/lib", "opt/mireva/",
                                  false}),
    [](const auto& info) { return std::string(info.param.Name); });
