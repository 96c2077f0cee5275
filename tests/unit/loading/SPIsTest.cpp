#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <dlfcn.h>
#include <future>
#include <map>
#include <set>
#include <mutex>
#include <thread>

#include "PluginTestSupport.h"
#include "common/DateTime.h"
#include "base/PathUtils.h"
#include "platform/FileStream.h"
#include "common/Text.h"
#include "loading/LoaderLock.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "unit/loading/FakeLoaders.h"

namespace {

// Which fake a file in a test folder is.
std::string FakeFor(const std::string& kind)
{
    if (kind == "img")
        return FakePluginPath("fakeimage");
    if (kind == "arc")
        return FakePluginPath("fakearchive");
    if (kind == "ver")
        return FakePluginPath("fakeversion");
    return {};
}

// Plants files described as "name=kind,name=kind" ("junk" is a text file).
void Plant(const TTempFolder& folder, const std::string& sub, const std::string& files)
{
    if (files.empty())
        return;
    ForceDirectories(folder.Path() + sub);
    for (const std::string& item : SplitString(files, ',')) {
        const size_t eq = item.find('=');
        const std::string name = item.substr(0, eq);
        const std::string kind = item.substr(eq + 1);
        if (kind == "junk")
            folder.Write(sub + name, "not a library");
        else
            CopyFileTo(FakeFor(kind), folder.Path() + sub + name);
    }
}

std::vector<TPluginUseEntry> ParseUse(const std::string& text)
{
    std::vector<TPluginUseEntry> list;
    if (text.empty())
        return list;
    for (const std::string& item : SplitString(text, ',')) {
        const size_t colon = item.find(':');
        list.push_back({item.substr(0, colon), item.substr(colon + 1) == "on"});
    }
    return list;
}

std::string FormatUse(const std::vector<TPluginUseEntry>& list)
{
    std::string text;
    for (const TPluginUseEntry& entry : list)
        text += (text.empty() ? "" : ",") + entry.FileName + (entry.Enabled ? ":on" : ":off");
    return text;
}

// "name@folder:on" for each plug-in loader, folder being the sub-folder it
// was loaded from.
template <typename Spi, typename List>
std::string FormatLoaded(const List& plugins, const std::string& root)
{
    std::string text;
    for (const auto& loader : plugins) {
        const auto& spi = static_cast<const Spi&>(*loader).Plugin();
        std::string folder = ExtractFilePath(spi.LibraryPath()).substr(root.size());
        text += (text.empty() ? "" : ",") + spi.LibraryName() + "@" + folder + (loader->Enabled ? ":on" : ":off");
    }
    return text;
}

}  // namespace

struct TScanCase {
    const char* Name;
    const char* ProgramFiles;  // in "prog/"
    const char* PathFiles;     // in "path/" (SPIPath)
    const char* SusieFiles;    // in "susie/"
    bool SearchProgram, SearchSusie, SearchPath;
    const char* UseIn;
    const char* UseAm;
    const char* ExpectIn;      // loaded image plug-ins
    const char* ExpectAm;      // loaded archive plug-ins
    const char* ExpectUseIn;
    const char* ExpectUseAm;
};

class ScanPluginsTest : public ::testing::TestWithParam<TScanCase> {};

TEST_P(ScanPluginsTest, FindsOrdersAndEnables)
{
    const TScanCase& c = GetParam();
    TTempFolder root;
    Plant(root, "prog/", c.ProgramFiles);
    Plant(root, "path/", c.PathFiles);
    Plant(root, "susie/", c.SusieFiles);
    TTestRegistry test(root.Path() + "prog/", root.Path() + "susie/");
    TPluginSettings settings;
    settings.SearchProgramFolder = c.SearchProgram;
    settings.SearchSusieFolder = c.SearchSusie;
    settings.SearchPluginPath = c.SearchPath;
    settings.SPIPath = root.Path() + "path";
    settings.UseInList = ParseUse(c.UseIn);
    settings.UseAmList = ParseUse(c.UseAm);
    const TLoaderSetPtr loaders = test.Registry.Reload(settings);

    EXPECT_EQ(FormatLoaded<TInSPI>(loaders->InPlugins(), root.Path()), c.ExpectIn);
    EXPECT_EQ(FormatLoaded<TAmSPI>(loaders->AmPlugins(), root.Path()), c.ExpectAm);
    EXPECT_EQ(FormatUse(loaders->Settings().UseInList), c.ExpectUseIn);
    EXPECT_EQ(FormatUse(loaders->Settings().UseAmList), c.ExpectUseAm);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanPluginsTest,
    ::testing::Values(
        TScanCase{"NewPluginsInNameOrderWithoutCase", "c.spi=img,a.spi=img,B.spi=img", "", "", true, false, false, "",
                  "", "a.spi@prog/:on,B.spi@prog/:on,c.spi@prog/:on", "", "a.spi:on,B.spi:on,c.spi:on", ""},
        TScanCase{"SavedOrderFirstThenNew", "a.spi=img,b.spi=img,c.spi=img", "", "", true, false, false,
                  "b.spi:on,a.spi:on", "", "b.spi@prog/:on,a.spi@prog/:on,c.spi@prog/:on", "",
                  "b.spi:on,a.spi:on,c.spi:on", ""},
        TScanCase{"SavedNamesMatchWithoutCase", "Viewer.SPI=img", "", "", true, false, false, "viewer.spi:off", "",
                  "Viewer.SPI@prog/:off", "", "viewer.spi:off", ""},
        TScanCase{"GoneEntryDropped", "a.spi=img", "", "", true, false, false, "gone.spi:on,a.spi:on", "",
                  "a.spi@prog/:on", "", "a.spi:on", ""},
        TScanCase{"DisabledKeepsItsPlace", "a.spi=img,b.spi=img", "", "", true, false, false, "a.spi:off,b.spi:on", "",
                  "a.spi@prog/:off,b.spi@prog/:on", "", "a.spi:off,b.spi:on", ""},
        TScanCase{"UnknownVersionIgnoredAndDropped", "x.spi=ver,a.spi=img", "", "", true, false, false,
                  "x.spi:on,a.spi:on", "", "a.spi@prog/:on", "", "a.spi:on", ""},
        TScanCase{"FilesThatDoNotLoadAreNotRemembered", "junk.spi=junk,notes.txt=junk,a.spi=img", "", "", true, false,
                  false, "junk.spi:on", "", "a.spi@prog/:on", "", "a.spi:on", ""},
        TScanCase{"ImagesAndArchivesApart", "i.spi=img,r.spi=arc", "", "", true, false, false, "", "", "i.spi@prog/:on",
                  "r.spi@prog/:on", "i.spi:on", "r.spi:on"},
        TScanCase{"KindChangeMovesToTheOtherList", "r.spi=arc,i.spi=img", "", "", true, false, false,
                  "r.spi:on,i.spi:on", "", "i.spi@prog/:on", "r.spi@prog/:on", "i.spi:on", "r.spi:on"},
        TScanCase{"SpiPathWinsOverProgramFolder", "a.spi=img", "a.spi=img", "", true, false, true, "", "",
                  "a.spi@path/:on", "", "a.spi:on", ""},
        TScanCase{"SpiPathIgnoredWhenOff", "", "a.spi=img", "", true, false, false, "", "", "", "", "", ""},
        TScanCase{"ProgramFolderOff", "a.spi=img", "b.spi=img", "", false, false, true, "", "", "b.spi@path/:on", "",
                  "b.spi:on", ""},
        TScanCase{"SusieFolderLast", "a.spi=img", "", "a.spi=arc,s.spi=img", true, true, false, "", "",
                  "a.spi@prog/:on,s.spi@susie/:on", "", "a.spi:on,s.spi:on", ""},
        TScanCase{"SusieFolderOff", "", "", "s.spi=img", true, false, false, "", "", "", "", "", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------------------

class PluginRegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CopyFileTo(FakePluginPath("fakeimage"), fFolder.Path() + "fakeimage.spi");
        CopyFileTo(FakePluginPath("fakearchive"), fFolder.Path() + "fakearchive.spi");
        CopyFileTo(FakePluginPath("fakedamaged"), fFolder.Path() + "fakedamaged.spi");
        fTest = std::make_unique<TTestRegistry>(fFolder.Path());
        fTest->Registry.SetBuiltinFactory([] { return nullptr; });
        fTest->Registry.Reload({});
    }

    void Reload(const TPluginSettings& settings) { fTest->Registry.Reload(settings); }
    // The current set, which the registry keeps alive until the next Reload.
    TLoaderSetPtr Loaders() { return fTest->Registry.Snapshot(); }
    TInSPI& Image(const std::string& name)
    {
        for (auto& loader : Loaders()->InPlugins()) {
            auto& spi = static_cast<TInSPI&>(*loader);
            if (spi.Plugin().LibraryName() == name)
                return spi;
        }
        throw std::runtime_error("no plug-in " + name);
    }
    TAmSPI& Archive()
    {
        return static_cast<TAmSPI&>(*Loaders()->AmPlugins().at(0));
    }
    // The address of a test export of a loaded fake plug-in.
    void* FakeExport(const std::string& file, const char* name)
    {
        void* handle = dlopen((fFolder.Path() + file).c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (!handle)
            return nullptr;
        void* address = dlsym(handle, name);
        dlclose(handle);
        return address;
    }

    TTempFolder fFolder;
    std::unique_ptr<TTestRegistry> fTest;
};

TEST_F(PluginRegistryTest, ExtensionListsComeFromEnabledPlugins)
{
    const auto& images = Loaders()->ImageExtensions();
    EXPECT_EQ(images.count(".FIM"), 1u);
    EXPECT_EQ(images.count(".FAKE"), 1u);
    EXPECT_EQ(images.count(".BAD"), 1u);
    EXPECT_EQ(images.count(".EXE"), 0u) << "never a picture extension";
    EXPECT_EQ(images.count("."), 0u) << "\"*.*\" adds nothing";
    EXPECT_TRUE(Loaders()->IsArchiveExtension(".far"));
    EXPECT_EQ(Image("fakeimage.spi").Descriptions.at(0), "Fake image");
    EXPECT_EQ(Image("fakeimage.spi").Plugin().Description(), "Fake image plug-in");

    TPluginSettings settings;
    settings.UseInList = {{"fakeimage.spi", false}, {"fakedamaged.spi", true}};
    Reload(settings);
    EXPECT_FALSE(Image("fakeimage.spi").Enabled);
    EXPECT_FALSE(Image("fakeimage.spi").Plugin().Loaded());
    EXPECT_EQ(Image("fakeimage.spi").Extensions.at(0), "*.fim;*.fake") << "a disabled plug-in keeps its texts";
    EXPECT_FALSE(Loaders()->IsImageExtension(".FIM"));
    EXPECT_TRUE(Loaders()->IsImageExtension(".BAD"));
}

TEST_F(PluginRegistryTest, DisabledPluginIsNeverAskedButItsDialogOpens)
{
    TPluginSettings settings;
    settings.UseInList = {{"fakeimage.spi", false}};
    Reload(settings);
    const TTempFolder files;
    const std::string path = files.Write("p.fim", FakeGradientImage(2, 2));
    EXPECT_EQ(Loaders()->LoadFromFile(path, false), nullptr);
    TSPI& spi = Image("fakeimage.spi").Plugin();
    EXPECT_EQ(spi.ShowConfiguration(0, -1), 0) << "the probe finds the dialog export";
    EXPECT_EQ(spi.ShowConfiguration(0, 1), 7);
    EXPECT_FALSE(spi.Loaded()) << "loaded only for the dialog";
    EXPECT_EQ(spi.ShowConfiguration(0, 1), 7) << "and again, loaded afresh";
}

TEST_F(PluginRegistryTest, LoadsFilesStreamsAndPreviews)
{
    const TTempFolder files;
    const std::string path = files.Write("picture.fim", FakeGradientImage(6, 4));
    std::unique_ptr<TBitmap> full = Loaders()->LoadFromFile(path, false);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->Width(), 6);
    EXPECT_EQ(full->Height(), 4);
    // (x, y) = (5, 3) as blue, green, red; the plug-in answered bottom-up.
    EXPECT_EQ(full->ScanLine(3)[15], 50);
    EXPECT_EQ(full->ScanLine(3)[16], 30);
    EXPECT_EQ(full->ScanLine(3)[17], 8);

    std::unique_ptr<TBitmap> preview = Loaders()->LoadFromFile(path, true);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->Width(), 3) << "the plug-in's preview was asked for";

    const std::string small = FakeGradientImage(2, 3);
    TMemoryStream stream(std::vector<uint8_t>(small.begin(), small.end()));
    std::unique_ptr<TBitmap> fromMemory = Loaders()->LoadFromStream("x.fim", stream, false);
    ASSERT_NE(fromMemory, nullptr);
    EXPECT_EQ(fromMemory->Height(), 3);

    const std::string tiny = FakeGradientImage(2, 2);
    TMemoryStream thumbnail(std::vector<uint8_t>(tiny.begin(), tiny.end()));
    std::unique_ptr<TLoadImage> image = Image("fakeimage.spi").LoadImage(thumbnail);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Kind(), 0) << "kept as the plug-in's blocks";
    EXPECT_EQ(image->Width(), 2);
}

TEST_F(PluginRegistryTest, MacBinaryHeaderIsSkipped)
{
    const TTempFolder files;
    const std::string path = files.Write("mac.fim", std::string(128, 'M') + FakeGradientImage(3, 3));
    EXPECT_EQ(Loaders()->LoadFromFile(path, false), nullptr);
    TPluginSettings settings;
    settings.MacBinary = true;
    Reload(settings);
    std::unique_ptr<TBitmap> bitmap = Loaders()->LoadFromFile(path, false);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), 3);
}

struct TDamageCase {
    const char* Name;
    uint8_t Mode;
    bool Loads;
};

class DamagedOutputTest : public PluginRegistryTest, public ::testing::WithParamInterface<TDamageCase> {};

TEST_P(DamagedOutputTest, IsRefusedAndEveryBlockFreed)
{
    std::string bytes = "FAKEBAD1";
    bytes += static_cast<char>(GetParam().Mode);
    TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    const size_t live = LocalLiveCount();
    std::unique_ptr<TBitmap> bitmap = Loaders()->LoadFromStream("x.bad", stream, false);
    EXPECT_EQ(bitmap != nullptr, GetParam().Loads);
    EXPECT_EQ(LocalLiveCount(), live) << "every block received is freed";
    TMemoryStream again(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    std::unique_ptr<TLoadImage> image = Image("fakedamaged.spi").LoadImage(again);
    EXPECT_EQ(image != nullptr, GetParam().Loads);
    EXPECT_EQ(LocalLiveCount(), live);
    if (GetParam().Loads) {
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->Width(), 2);
        const uint8_t* top = bitmap->ScanLine(0);
        EXPECT_EQ(top[2], 255) << "top-left is red";
        EXPECT_EQ(top[0], 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedOutputTest,
                         ::testing::Values(TDamageCase{"NullHeaderBlock", 1, false},
                                           TDamageCase{"NullPixelBlock", 2, false},
                                           TDamageCase{"PaletteBeyondBits", 3, false},
                                           TDamageCase{"PaletteBeyondBlock", 4, false},
                                           TDamageCase{"PixelsShort", 5, false},
                                           TDamageCase{"FailureWithBlocks", 6, false},
                                           TDamageCase{"ForeignHandles", 7, false},
                                           TDamageCase{"ZeroWidth", 8, false},
                                           TDamageCase{"OddBitCount", 9, false},
                                           TDamageCase{"HeaderBlockShort", 10, false},
                                           TDamageCase{"HugeSizeSmallBlock", 11, false},
                                           TDamageCase{"Good", 12, true}),
                         [](const auto& info) { return std::string(info.param.Name); });

// A newer page move sets the stop flag while the plug-in decodes: the hook
// sets it as the plug-in enters GetPicture, so the plug-in's first progress
// call is told to stop.
namespace {

std::atomic<bool> gStopOnEntry{false};

void StopOnEntry(const char* function)
{
    if (std::strcmp(function, "GetPicture") == 0)
        gStopOnEntry = true;
}

bool LoaderLockIsFree()
{
    bool free = false;
    std::thread probe([&] {
        if (LoaderLock().try_lock()) {
            free = true;
            LoaderLock().unlock();
        }
    });
    probe.join();
    return free;
}

}  // namespace

TEST_F(PluginRegistryTest, DecodeStoppedInsideThePluginGivesNothingAndLetsGoOfTheLock)
{
    using THookSetter = void (*)(void (*)(const char*));
    auto setHook = reinterpret_cast<THookSetter>(FakeExport("fakeimage.spi", "FakeSetCallHook"));
    ASSERT_NE(setHook, nullptr);
    const TTempFolder files;
    const std::string path = files.Write("page.fim", FakeGradientImage(6, 4));
    TDecodeLimits limits;
    limits.Stop = &gStopOnEntry;
    TRecordingNotifier notifier;

    gStopOnEntry = false;
    setHook(StopOnEntry);
    const TLimitedLoad stopped = LoadPictureLimited(*Loaders(), path, nullptr, &notifier, limits);
    setHook(nullptr);
    EXPECT_TRUE(gStopOnEntry.load());
    EXPECT_EQ(stopped.Bitmap, nullptr);
    EXPECT_TRUE(notifier.Messages.empty()) << "an abandoned page is no failure";
    EXPECT_TRUE(LoaderLockIsFree());

    gStopOnEntry = false;
    const TLimitedLoad whole = LoadPictureLimited(*Loaders(), path, nullptr, &notifier, limits);
    ASSERT_NE(whole.Bitmap, nullptr) << "a flag left clear lets every row through";
    EXPECT_EQ(whole.Bitmap->Width(), 6);
}

TEST_F(PluginRegistryTest, SizeOfAFormatTheProgramDoesNotKnowIsAskedOfThePlugin)
{
    const TTempFolder files;
    const std::string path = files.Write("wide.fim", FakeGradientImage(300, 2));
    const std::string bytes = FakeGradientImage(300, 2);
    TDecodeLimits limits;
    limits.Budget.MaxPixels = 599;
    TRecordingNotifier notifier;

    EXPECT_EQ(LoadPictureLimited(*Loaders(), path, nullptr, &notifier, limits).Bitmap, nullptr);
    ASSERT_EQ(notifier.Messages.size(), 1u);
    EXPECT_EQ(notifier.Messages[0].Text, NotReadMessage(path) + "画像が大きすぎます (300 x 2)");
    TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    EXPECT_EQ(LoadPictureLimited(*Loaders(), "wide.fim", &stream, nullptr, limits).Dims, std::nullopt);

    limits.Budget.MaxPixels = 600;
    const TLimitedLoad load = LoadPictureLimited(*Loaders(), "wide.fim", &stream, nullptr, limits);
    ASSERT_NE(load.Bitmap, nullptr);
    EXPECT_EQ(load.Dims, (TPictureDims{300, 2}));
}

// Every plug-in call must hold the loader lock: the fakes call back into the
// test from inside each export, and another thread tries the lock there.
namespace {

std::recursive_mutex* gWatchedLock = nullptr;
std::atomic<int> gCallsSeen{0};
std::atomic<int> gCallsUnlocked{0};

void CheckLockHeld(const char*)
{
    ++gCallsSeen;
    bool free = false;
    std::thread probe([&] {
        if (gWatchedLock->try_lock()) {
            free = true;
            gWatchedLock->unlock();
        }
    });
    probe.join();
    if (free)
        ++gCallsUnlocked;
}

}  // namespace

TEST_F(PluginRegistryTest, EveryPluginCallHoldsTheLoaderLock)
{
    using THookSetter = void (*)(void (*)(const char*));
    auto setImageHook = reinterpret_cast<THookSetter>(FakeExport("fakeimage.spi", "FakeSetCallHook"));
    auto setArchiveHook = reinterpret_cast<THookSetter>(FakeExport("fakearchive.spi", "FakeSetCallHook"));
    ASSERT_NE(setImageHook, nullptr);
    ASSERT_NE(setArchiveHook, nullptr);
    gWatchedLock = &LoaderLock();
    gCallsSeen = 0;
    gCallsUnlocked = 0;
    setImageHook(CheckLockHeld);
    setArchiveHook(CheckLockHeld);

    const TTempFolder files;
    const std::string picture = files.Write("p.fim", FakeGradientImage(2, 2));
    EXPECT_NE(Loaders()->LoadFromFile(picture, false), nullptr);
    const std::string bytes = FakeGradientImage(2, 2);
    TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    EXPECT_NE(Loaders()->LoadFromStream("p.fim", stream, true), nullptr);  // detection on memory too
    const std::string archive = files.Write("a.far", FakeArchiveBytes({{"", "m.fim", bytes}}));
    TArchiveFileList items;
    Archive().GetArchiveInfo(archive, 0, items);
    EXPECT_EQ(items.size(), 1u);
    TMemoryStream member;
    Archive().ExtractToStream(archive, 0, member);
    EXPECT_EQ(member.Size(), static_cast<int64_t>(bytes.size()));
    ForceDirectories(files.Path() + "out");
    EXPECT_TRUE(Archive().ExtractToFolder(archive, 0, files.Path() + "out/"));

    setImageHook(nullptr);
    setArchiveHook(nullptr);
    EXPECT_GE(gCallsSeen.load(), 7);
    EXPECT_EQ(gCallsUnlocked.load(), 0);
}

namespace {

std::mutex gGateMutex;
std::condition_variable gGate;
bool gInside = false;
bool gRelease = false;

void WaitAtGate(const char* function)
{
    if (std::strcmp(function, "GetPicture") != 0)
        return;
    std::unique_lock<std::mutex> lock(gGateMutex);
    gInside = true;
    gGate.notify_all();
    gGate.wait_for(lock, std::chrono::seconds(10), [] { return gRelease; });
}

}  // namespace

// A thread inside a plug-in call holds the set it called through: the
// registry may go altogether meanwhile, and the set (which unloads the
// library) goes only when that thread lets go of it.
TEST_F(PluginRegistryTest, APluginIsNotUnloadedUnderARunningCall)
{
    using THookSetter = void (*)(void (*)(const char*));
    auto setHook = reinterpret_cast<THookSetter>(FakeExport("fakeimage.spi", "FakeSetCallHook"));
    ASSERT_NE(setHook, nullptr);
    gInside = gRelease = false;
    setHook(WaitAtGate);
    const std::string bytes = FakeGradientImage(2, 2);
    const std::weak_ptr<const TFileLoaderList> watched = Loaders();
    auto load = std::async(std::launch::async, [&bytes, loaders = Loaders()]() mutable {
        TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        std::unique_ptr<TBitmap> bitmap = loaders->LoadFromStream("p.fim", stream, false);
        loaders.reset();  // the last holder: the set and its libraries go here
        return bitmap;
    });
    {
        std::unique_lock<std::mutex> lock(gGateMutex);
        ASSERT_TRUE(gGate.wait_for(lock, std::chrono::seconds(10), [] { return gInside; }));
    }
    fTest.reset();
    EXPECT_FALSE(watched.expired());
    EXPECT_NE(FakeExport("fakeimage.spi", "FakeSetCallHook"), nullptr) << "still loaded while the call runs";
    {
        std::lock_guard<std::mutex> lock(gGateMutex);
        gRelease = true;
    }
    gGate.notify_all();
    ASSERT_EQ(load.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_NE(load.get(), nullptr);
    EXPECT_TRUE(watched.expired()) << "the set went with its last holder";
}

namespace {

std::mutex gMeetMutex;
std::condition_variable gMeet;
std::map<std::string, int> gInsideNow;
std::map<std::string, int> gMostInside;
// How long a call waits for a second thread: long where the second may come
// in (a slow machine starts the other thread late), short where it never can.
std::chrono::milliseconds gMeetWait{500};

// Runs inside every call of the fake and records how many threads were in
// an export at once. A thread's first call of detection and of decoding
// waits a while until two threads have been inside it at once (the partner
// may have come and gone before this thread wakes); later calls go on.
void MeetInside(const char* function)
{
    thread_local std::set<std::string> met;
    std::unique_lock<std::mutex> lock(gMeetMutex);
    int& inside = gInsideNow[function];
    gMostInside[function] = std::max(gMostInside[function], ++inside);
    gMeet.notify_all();
    const bool watched = std::strcmp(function, "IsSupported") == 0 || std::strcmp(function, "GetPicture") == 0;
    int& most = gMostInside[function];
    if (watched && met.insert(function).second)
        gMeet.wait_for(lock, gMeetWait, [&] { return most >= 2; });
    --inside;
}

struct TConcurrencyCase {
    const char* Name;
    const char* Fake;
    bool DeclaresSafe;
};

}  // namespace

class PluginConcurrencyTest : public ::testing::TestWithParam<TConcurrencyCase> {};

// Two threads load a file through one plug-in at once. A plug-in that does
// not declare itself thread-safe is never entered by both: the second waits
// at the loader lock, in detection as in decoding. One that declares it lets
// the second in beside the first, detection on a file included.
TEST_P(PluginConcurrencyTest, OnlyAPluginDeclaredSafeIsEnteredByTwoThreads)
{
    const TTempFolder folder;
    const std::string file = std::string(GetParam().Fake) + ".spi";
    CopyFileTo(FakePluginPath(GetParam().Fake), folder.Path() + file);
    TTestRegistry test(folder.Path());
    test.Registry.SetBuiltinFactory([] { return nullptr; });
    const TLoaderSetPtr loaders = test.Registry.Reload({});
    ASSERT_EQ(loaders->ImageLoaderCount(), 1);
    EXPECT_EQ(loaders->ImageLoader(0)->NeedsLoaderLock(), !GetParam().DeclaresSafe);
    void* library = dlopen((folder.Path() + file).c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    using THookSetter = void (*)(void (*)(const char*));
    auto setHook = reinterpret_cast<THookSetter>(dlsym(library, "FakeSetCallHook"));
    dlclose(library);
    ASSERT_NE(setHook, nullptr);

    const std::string first = folder.Write("1.fim", FakeGradientImage(4, 3));
    const std::string second = folder.Write("2.fim", FakeGradientImage(3, 4));
    gInsideNow.clear();
    gMostInside.clear();
    gMeetWait = std::chrono::milliseconds(GetParam().DeclaresSafe ? 20000 : 500);
    setHook(MeetInside);
    std::atomic<int> loaded{0};
    auto load = [&](const std::string& picture) {
        if (loaders->LoadFromFile(picture, false))
            ++loaded;
    };
    std::thread one(load, first);
    std::thread two(load, second);
    one.join();
    two.join();
    setHook(nullptr);
    EXPECT_EQ(loaded.load(), 2);
    const int most = GetParam().DeclaresSafe ? 2 : 1;
    EXPECT_EQ(gMostInside["IsSupported"], most);
    EXPECT_EQ(gMostInside["GetPicture"], most);
}

INSTANTIATE_TEST_SUITE_P(Fakes, PluginConcurrencyTest,
                         ::testing::Values(TConcurrencyCase{"NotDeclared", "fakeimage", false},
                                           TConcurrencyCase{"DeclaredSafe", "fakesafe", true}),
                         [](const auto& info) { return std::string(info.param.Name); });

// A worker takes snapshots and loads through them while the user-interface
// thread rebuilds the loaders (which loads the same libraries again) and
// shows pictures itself: every load finds a whole set, and every plug-in call
// is made inside the loader lock, which ThreadSanitizer checks through the
// fakes' unguarded call counters.
TEST_F(PluginRegistryTest, WorkersLoadThroughSnapshotsWhileTheLoadersAreRebuilt)
{
    const std::string bytes = FakeGradientImage(3, 2);
    std::atomic<bool> rebuilding{true};
    std::atomic<int> loads{0};
    std::atomic<int> failures{0};
    auto load = [&] {
        const TLoaderSetPtr loaders = Loaders();
        TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        const std::unique_ptr<TBitmap> bitmap = loaders->LoadFromStream("p.fim", stream, false);
        if (loaders->ImageLoaderCount() != 2 || !bitmap || bitmap->Width() != 3)
            ++failures;
    };
    auto worker = std::async(std::launch::async, [&] {
        while (rebuilding || loads == 0) {
            load();
            ++loads;
        }
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (loads == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    for (int i = 0; i < 20; ++i) {
        TPluginSettings settings;
        settings.MacBinary = i % 2 == 0;
        if (i % 3 == 0)
            settings.UseInList = {{"fakedamaged.spi", true}, {"fakeimage.spi", true}};
        Reload(settings);
        load();
    }
    rebuilding = false;
    ASSERT_EQ(worker.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_GT(loads.load(), 0);
    EXPECT_EQ(failures.load(), 0);
}

// ---------------------------------------------------------------------------

struct TTimeCase {
    const char* Name;
    int32_t Seconds;
    const char* Expected;     // in Tokyo
    const char* ExpectedUtc;  // in UTC
};

class MemberTimeTest : public ::testing::TestWithParam<TTimeCase> {};

TEST_P(MemberTimeTest, ShowsTheTimeInTheMachinesZone)
{
    ::setenv("TZ", "Asia/Tokyo", 1);
    ::tzset();
    EXPECT_EQ(FormatDateTime(MemberTimeToDateTime(GetParam().Seconds)), GetParam().Expected);
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(FormatDateTime(MemberTimeToDateTime(GetParam().Seconds)), GetParam().ExpectedUtc);
    ::unsetenv("TZ");
    ::tzset();
}

INSTANTIATE_TEST_SUITE_P(Cases, MemberTimeTest,
                         ::testing::Values(TTimeCase{"Zero", 0, "1970/01/01 09:00:00", "1970/01/01 00:00:00"},
                                           TTimeCase{"MidnightOfTheEpoch", -9 * 3600, "1970/01/01 00:00:00",
                                                     "1969/12/31 15:00:00"},
                                           TTimeCase{"OneSecondBefore", -9 * 3600 - 1, "1969/12/31 23:59:59",
                                                     "1969/12/31 14:59:59"},
                                           TTimeCase{"LongBefore", -1000000000, "1938/04/25 07:13:20",
                                                     "1938/04/24 22:13:20"},
                                           TTimeCase{"Latest", INT32_MAX, "2038/01/19 12:14:07",
                                                     "2038/01/19 03:14:07"},
                                           TTimeCase{"Ordinary", 1700000000, "2023/11/15 07:13:20",
                                                     "2023/11/14 22:13:20"}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TRecordCase {
    const char* Name;
    std::string Path;
    std::string File;
    const char* ExpectPath;
    const char* ExpectName;
};

class MemberRecordTest : public ::testing::TestWithParam<TRecordCase> {};

TEST_P(MemberRecordTest, SplitsPathAndName)
{
    SpiFileInfo record{};
    std::memcpy(record.method, "test", 4);
    record.position = 7;
    record.filesize = 99;
    std::memcpy(record.path, GetParam().Path.data(), GetParam().Path.size());
    std::memcpy(record.filename, GetParam().File.data(), GetParam().File.size());
    TArchiveFileList items;
    ReadMemberList(reinterpret_cast<const uint8_t*>(&record), sizeof record, items);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0]->Path, GetParam().ExpectPath);
    EXPECT_EQ(items[0]->Name, GetParam().ExpectName);
    EXPECT_EQ(items[0]->Position, 7u);
    EXPECT_EQ(items[0]->Size, 99u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MemberRecordTest,
    ::testing::Values(TRecordCase{"FolderInName", "a\\", "b\\c.jpg", "a/b/", "c.jpg"},
                      TRecordCase{"PlainSplit", "a/b/", "c.jpg", "a/b/", "c.jpg"},
                      TRecordCase{"BlanksTrimmedWhenJoined", " a\\ ", " c.jpg ", "a/", "c.jpg"},
                      TRecordCase{"PathWithoutSeparator", "a", "c.jpg", "a/", "c.jpg"},
                      TRecordCase{"NameOnlyKeptAsGiven", "", "d\\e.jpg ", "", "d\\e.jpg "},
                      TRecordCase{"FolderRecord", "a\\b\\", "", "a/b/", ""},
                      TRecordCase{"OlderJapaneseNames", "", "\x83\x65\x83\x58\x83\x67.jpg", "",
                                  "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.jpg"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(MemberList, StopsAtTheEndMarkerAndSkipsOddRecords)
{
    std::vector<SpiFileInfo> records(4);
    std::memset(records.data(), 0, records.size() * sizeof(SpiFileInfo));
    for (size_t i = 0; i < 4; ++i) {
        std::memcpy(records[i].method, "m", 1);
        records[i].position = static_cast<uint32_t>(i);
        std::snprintf(records[i].filename, sizeof records[i].filename, "f%zu", i);
    }
    std::memset(records[1].path, 'p', sizeof records[1].path);  // no terminator
    records[3].method[0] = 0;                                  // ends the list
    TArchiveFileList items;
    // A block that ends with a partial record reads only the whole ones.
    ReadMemberList(reinterpret_cast<const uint8_t*>(records.data()), 4 * sizeof(SpiFileInfo) - 1, items);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->Name, "f0");
    EXPECT_EQ(items[1]->Name, "f2");
}

class ArchiveResultTest : public ::testing::TestWithParam<std::pair<const char*, bool>> {};

TEST_P(ArchiveResultTest, ResultTwoCountsOnlyForTheLhaPlugin)
{
    TTempFolder folder;
    ForceDirectories(folder.Path() + "prog");
    CopyFileTo(FakePluginPath("fakearchive"), folder.Path() + "prog/" + GetParam().first);
    TTestRegistry test(folder.Path() + "prog/");
    const TLoaderSetPtr loaders = test.Registry.Reload({});
    const std::string path = folder.Write("a.far", FakeArchiveBytes({{"", "x.jpg", "data"}}, 2));
    TArchiveFileList items;
    if (GetParam().second)
        loaders->ArchiveLoader(0)->GetArchiveInfo(path, 0, items);
    else  // another plug-in's failure: what it handed over is kept, but not taken for the whole list
        EXPECT_THROW(loaders->ArchiveLoader(0)->GetArchiveInfo(path, 0, items), EArchiveIncomplete);
    EXPECT_EQ(items.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Names, ArchiveResultTest,
                         ::testing::Values(std::make_pair("lhasad.spi", true), std::make_pair("LhaSad.Spi", true),
                                           std::make_pair("other.spi", false)));
