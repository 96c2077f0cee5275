#pragma once

// The plug-in adapter: every picture format other than bitmaps and every
// archive format reaches the program through "*.spi" libraries. This file
// finds them (ScanPlugins), tells image plug-ins ("00IN") from archive
// plug-ins ("00AM"), keeps the user's order and enabled flags, and wraps each
// library in a loader of the loader set: TInSPI for pictures, TAmSPI for
// archives.
//
// Most plug-in libraries are not re-entrant: every call into one is made
// while holding the loader lock (LoaderLock.h), taken here around the call
// itself, so it holds whoever the caller is. A plug-in that exports
// SpiThreadSafe returning 1 (every plug-in we ship) is called without it, so
// that several threads decode through it at once. A plug-in's output is
// checked and converted outside the lock either way.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "loading/FileLoader.h"
#include "platform/DynamicLibrary.h"
#include "sdk/spi.h"

enum class TPluginKind : uint8_t { pkImage = 0, pkArchive = 1, pkNone = 2 };

// The version texts of information number 0.
inline constexpr std::string_view ImagePluginVersion = "00IN";
inline constexpr std::string_view ArchivePluginVersion = "00AM";

// One plug-in library. The library is loaded by the constructor, classified,
// and stays loaded while the plug-in is enabled; a disabled plug-in keeps only
// its texts (the scan unloads it) and is loaded again only briefly for its own
// settings dialog.
class TSPI {
public:
    TSPI(std::string libraryPath, bool enabled);
    ~TSPI();
    TSPI(const TSPI&) = delete;
    TSPI& operator=(const TSPI&) = delete;

    // The text of an information number (0: version, 1: description, 2k + 2:
    // patterns, 2k + 3: format name); nothing when the plug-in has none.
    std::optional<std::string> PluginInfo(int32_t number);
    // Opens the plug-in's own dialog (0: about, 1: settings). A negative
    // function only probes: 0 when the dialog export exists. -1 when the
    // plug-in has no dialog. User-interface thread only.
    int ShowConfiguration(uintptr_t owner, int32_t function);
    // Releases the library; the texts stay.
    void Unload();

    void* Symbol(const char* name) const { return fModule.Symbol(name); }
    bool Loaded() const { return fLoaded; }
    TPluginKind PluginKind() const { return fPluginKind; }
    const std::string& LibraryPath() const { return fLibraryPath; }
    // The file name without its folder, as the settings file keys it.
    std::string LibraryName() const;
    const std::string& Description() const { return fDescription; }
    SpiIsSupportedFunc IsSupportedFunc() const { return fIsSupported; }
    // True when the library declared through SpiThreadSafe that its exports
    // may be called from several threads at once; asked once, at loading.
    bool ThreadSafe() const { return fThreadSafe; }
    // Held around every call into the library's exports: the loader lock for
    // a plug-in that is not thread-safe, nothing (an empty lock) for one that
    // is. Every export call goes through here. Loading and unloading the
    // library always take the loader lock, since they run its own start-up
    // and shutdown code, whatever it declares.
    std::unique_lock<std::recursive_mutex> LockForCall() const;

private:
    TDynamicLibrary fModule;
    bool fLoaded = false;
    bool fThreadSafe = false;
    SpiGetPluginInfoFunc fGetPluginInfo = nullptr;
    SpiIsSupportedFunc fIsSupported = nullptr;
    SpiConfigurationDlgFunc fConfigurationDlg = nullptr;
    std::string fLibraryPath;
    std::string fDescription;
    TPluginKind fPluginKind = TPluginKind::pkNone;
};

// Reads the pattern groups (2k + 2) and their format names (2k + 3) of a
// plug-in into a loader's Extensions and Descriptions.
void ReadPluginPatterns(TSPI& plugin, TFileLoader& loader);

// An image plug-in as a loader of a loader set. Any loading thread.
class TInSPI : public TImageLoader {
public:
    explicit TInSPI(std::unique_ptr<TSPI> plugin);

    bool IsPlugin() const override { return true; }
    bool NeedsLoaderLock() const override { return !fPlugin->ThreadSafe(); }
    std::string Name() const override { return fPlugin->LibraryName(); }
    bool IsSupported(const std::string& fileName, const uint8_t* header) override;
    std::unique_ptr<TBitmap> LoadFromFile(const std::string& fileName, int64_t offset, bool preview) override;
    std::unique_ptr<TBitmap> LoadFromStream(TMemoryStream& stream, int64_t offset, bool preview) override;
    std::unique_ptr<TLoadImage> LoadImage(TMemoryStream& stream) override;
    // Through "GetPreviewForBox" when the plug-in has it, else GetPreview.
    std::unique_ptr<TBitmap> LoadPreviewFromFile(const std::string& fileName, int64_t offset, TPreviewBox box) override;
    std::unique_ptr<TBitmap> LoadPreviewFromStream(TMemoryStream& stream, int64_t offset, TPreviewBox box) override;
    // The plug-in's progress callback answers "stop" once call's flag is set;
    // a plug-in that then gives up raises EDecodeStopped. The loader lock is
    // let go as soon as the plug-in returns.
    std::unique_ptr<TBitmap> DecodeFile(const std::string& fileName, int64_t offset, const TDecodeCall& call) override;
    std::unique_ptr<TBitmap> DecodeStream(TMemoryStream& stream, int64_t offset, const TDecodeCall& call) override;
    // Through "GetPictureInfo" when the plug-in has it.
    std::optional<TPictureDims> QueryDimsOfFile(const std::string& fileName, int64_t offset) override;
    std::optional<TPictureDims> QueryDimsOfStream(TMemoryStream& stream, int64_t offset) override;

    TSPI& Plugin() { return *fPlugin; }
    const TSPI& Plugin() const { return *fPlugin; }
    bool HasPreview() const { return fGetPreview != nullptr; }

private:
    std::unique_ptr<TBitmap> Load(const char* source, intptr_t length, uint32_t flag, bool preview);
    std::unique_ptr<TBitmap> LoadForBox(const char* source, intptr_t length, uint32_t flag, TPreviewBox box);
    std::unique_ptr<TBitmap> Decode(const char* source, intptr_t length, uint32_t flag, const TDecodeCall& call);
    std::optional<TPictureDims> QueryDims(const char* source, intptr_t length, uint32_t flag);

    std::unique_ptr<TSPI> fPlugin;
    SpiGetPictureInfoFunc fGetPictureInfo = nullptr;
    SpiGetPictureFunc fGetPicture = nullptr;
    SpiGetPictureFunc fGetPreview = nullptr;
    SpiGetPreviewForBoxFunc fGetPreviewForBox = nullptr;
};

// An archive plug-in as a loader of a loader set. Any loading thread.
class TAmSPI : public TArchiveLoader {
public:
    explicit TAmSPI(std::unique_ptr<TSPI> plugin);

    bool IsPlugin() const override { return true; }
    bool NeedsLoaderLock() const override { return !fPlugin->ThreadSafe(); }
    std::string Name() const override { return fPlugin->LibraryName(); }
    bool IsSupported(const std::string& fileName, const uint8_t* header) override;
    bool ExtractToFolder(const std::string& archiveName, uint32_t position, const std::string& folder) override;
    // A plug-in's failure raises the not-listed error; when it still hands
    // over members, they are appended and EArchiveIncomplete is raised.
    void GetArchiveInfo(const std::string& archiveName, int64_t offset, TArchiveFileList& items) override;
    void ExtractToStream(const std::string& archiveName, uint32_t position, TMemoryStream& stream) override;

    TSPI& Plugin() { return *fPlugin; }
    const TSPI& Plugin() const { return *fPlugin; }

private:
    std::unique_ptr<TSPI> fPlugin;
    SpiGetArchiveInfoFunc fGetArchiveInfo = nullptr;
    SpiGetFileInfoFunc fGetFileInfo = nullptr;  // looked up for completeness, never called
    SpiGetFileFunc fGetFile = nullptr;
};

// The member list block of GetArchiveInfo turned into records: as many
// 428-byte records as the block holds, up to the first empty method. A
// record whose texts run past their fields is skipped; the others are kept.
void ReadMemberList(const uint8_t* block, size_t size, TArchiveFileList& items);

// The member time of a list record: seconds since 1970 UTC, shown in the
// machine's own time zone (a fixed nine-hour offset would put every time off
// by hours for users outside Japan).
TDateTime MemberTimeToDateTime(int32_t seconds);

// Where plug-ins are looked for.
struct TPluginFolders {
    std::string ProgramFolder;  // the executable's folder, with '/'
    std::string SusieFolder;    // the other viewer's plug-in folder; empty when there is none
};

// The other viewer's plug-in folder on this system: $SUSIE_PLUGIN_PATH, else
// $XDG_DATA_HOME/susie/plugins/ (~/.local/share/...); empty when it does not
// exist.
std::string DefaultSusiePluginFolder();

// Finds the plug-ins the settings ask for and fills result: the saved order
// first (entries of the settings' UseInList and UseAmList whose file is gone,
// does not load or is of another kind are dropped from them), then new
// plug-ins by file name (added to them, enabled). User-interface thread; the
// loader lock is taken around each library's loading and calls, so workers
// keep loading through their own sets meanwhile.
void ScanPlugins(TPluginSettings& settings, const TPluginFolders& folders, TPluginScan& result);

// ScanPlugins over these folders, as a loader registry's scanner.
TPluginScanner PluginFolderScanner(const TPluginFolders& folders);
