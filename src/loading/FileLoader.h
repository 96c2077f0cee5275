#pragma once

// The single entrance through which every picture and every archive enters
// the program. Loaders (the built-in bitmap loader, image plug-ins, archive
// plug-ins) are gathered in a loader set, TFileLoaderList, which picks one
// for a file by its first bytes, never by its extension. The extension lists
// it builds decide everywhere whether a file is a picture or an archive. A
// set never changes: TLoaderRegistry keeps the current one and builds a new
// one when the plug-in settings change, and every user works with the
// snapshot it took.
//
// Plug-in libraries that do not declare themselves thread-safe are not
// re-entrant: every call into one, and the header read of detection on a
// file over a list that holds one, happens while the loader lock
// (LoaderLock.h) is held. Only the loading code takes it, and no other lock
// may be taken while it is held.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/Bitmap.h"
#include "common/DateTime.h"
#include "base/Stream.h"
#include "loading/DecodeLimits.h"
#include "loading/PluginSettings.h"

class TLoadImage;

// Detection looks at this many bytes (2048 for the loaders plus 128 for a
// MacBinary header in front of the data); the buffer is zero-filled past the
// end of the file.
inline constexpr int DetectHeaderSize = 2048;
inline constexpr int MacBinaryHeaderSize = 128;
inline constexpr int DetectBufferSize = DetectHeaderSize + MacBinaryHeaderSize;

class TFileLoader {
public:
    virtual ~TFileLoader() = default;

    // True when the loader can read a file whose first bytes are header (at
    // least DetectHeaderSize bytes readable). May run on any loading thread,
    // with the loader lock held when the header came from a file.
    virtual bool IsSupported(const std::string& fileName, const uint8_t* header) = 0;
    // True for a plug-in's loader, which a set lists among its plug-ins;
    // false for the built-in bitmap loader.
    virtual bool IsPlugin() const { return false; }
    // True for a loader whose calls must hold the loader lock: a plug-in
    // that did not declare itself thread-safe. The program's own loaders
    // are re-entrant.
    virtual bool NeedsLoaderLock() const { return false; }
    // What tools and dialogs call the loader: a plug-in's file name, or the
    // first format description of a built-in loader.
    virtual std::string Name() const { return Descriptions.empty() ? std::string() : Descriptions.front(); }

    bool Enabled = true;
    // One entry per declared group, e.g. "*.bmp" or "*.jpg;*.jpeg".
    std::vector<std::string> Extensions;
    // One description per entry of Extensions, e.g. "Bitmap (*.bmp)".
    std::vector<std::string> Descriptions;
};

class TImageLoader : public TFileLoader {
public:
    // Reads the picture that starts offset bytes into the file. preview asks
    // for a fast, possibly reduced picture. nullptr: nothing was read; a
    // loader raises EMirevaError for a damaged file. Any loading thread.
    virtual std::unique_ptr<TBitmap> LoadFromFile(const std::string& fileName, int64_t offset, bool preview) = 0;
    // The same for a picture held in memory. Any loading thread.
    virtual std::unique_ptr<TBitmap> LoadFromStream(TMemoryStream& stream, int64_t offset, bool preview) = 0;
    // Reads a whole stream into a TLoadImage (stored thumbnail data).
    virtual std::unique_ptr<TLoadImage> LoadImage(TMemoryStream& stream) = 0;
    // A preview for a box; loaders that cannot reduce for a box hand their
    // own preview.
    virtual std::unique_ptr<TBitmap> LoadPreviewFromFile(const std::string& fileName, int64_t offset, TPreviewBox)
    {
        return LoadFromFile(fileName, offset, true);
    }
    virtual std::unique_ptr<TBitmap> LoadPreviewFromStream(TMemoryStream& stream, int64_t offset, TPreviewBox)
    {
        return LoadFromStream(stream, offset, true);
    }
    // A load as call asks: reduced for its box when the box is not empty,
    // else in full. A loader that can stop polls call's flag between rows or
    // chunks and raises EDecodeStopped once it is set; the others load as
    // LoadFromFile and LoadPreviewFromFile do. Any loading thread.
    virtual std::unique_ptr<TBitmap> DecodeFile(const std::string& fileName, int64_t offset, const TDecodeCall& call)
    {
        return call.Box.Empty() ? LoadFromFile(fileName, offset, false) : LoadPreviewFromFile(fileName, offset, call.Box);
    }
    virtual std::unique_ptr<TBitmap> DecodeStream(TMemoryStream& stream, int64_t offset, const TDecodeCall& call)
    {
        return call.Box.Empty() ? LoadFromStream(stream, offset, false)
                                : LoadPreviewFromStream(stream, offset, call.Box);
    }
    // The size of a picture whose header is of no format ReadPictureDims
    // knows, asked of the loader itself (a plug-in's GetPictureInfo);
    // nothing when the loader cannot tell. Any loading thread.
    virtual std::optional<TPictureDims> QueryDimsOfFile(const std::string& fileName, int64_t offset)
    {
        return std::nullopt;
    }
    virtual std::optional<TPictureDims> QueryDimsOfStream(TMemoryStream& stream, int64_t offset)
    {
        return std::nullopt;
    }
};

// A load made under limits: the picture, the size its header declared
// (nothing when unknown), and whether it was decoded reduced for the box.
struct TLimitedLoad {
    std::unique_ptr<TBitmap> Bitmap;
    std::optional<TPictureDims> Dims;
    bool Reduced = false;
};

// One member or folder of an archive, as its loader listed it. Records are
// owned by the archive object that lists them and shared by every view of
// that archive, so they hold nothing of a view's; a record with an empty Name
// is a folder.
struct TArchiveFileInfo {
    uint32_t Position = 0;     // identifies the member for extraction
    std::string Path;          // folder inside the archive, '/'-separated, ending in '/'; empty at the top
    std::string Name;          // file name; empty for a folder record
    uint32_t Size = 0;         // bytes after extraction; 0 for folders
    TDateTime Time = -1.0;     // last modified; -1 when unknown

    bool IsFolder() const { return Name.empty(); }
};

using TArchiveFileList = std::vector<std::unique_ptr<TArchiveFileInfo>>;

class TArchiveLoader : public TFileLoader {
public:
    // Writes one member as a file into folder; true on success.
    virtual bool ExtractToFolder(const std::string& archiveName, uint32_t position, const std::string& folder) = 0;
    // Appends one record per member of the archive that starts offset bytes
    // into the file.
    virtual void GetArchiveInfo(const std::string& archiveName, int64_t offset, TArchiveFileList& items) = 0;
    // Writes one member's bytes into stream and rewinds it; leaves the stream
    // empty on failure.
    virtual void ExtractToStream(const std::string& archiveName, uint32_t position, TMemoryStream& stream) = 0;
};

// How a failure reaches the user: the main window implements it with a
// modal message box. Loads on worker threads pass no notifier and so never
// show a message.
enum class TMessageIcon { miInformation, miWarning, miError, miQuestion };

class TUserNotifier {
public:
    virtual ~TUserNotifier() = default;
    virtual void ShowMessage(const std::string& text, TMessageIcon icon) = 0;
};

// What a plug-in scan found: the plug-in loaders in priority order. The set
// built from them owns them, and with them the plug-in libraries.
struct TPluginScan {
    std::vector<std::unique_ptr<TImageLoader>> InPlugins;
    std::vector<std::unique_ptr<TArchiveLoader>> AmPlugins;
};

// Finds the plug-in libraries the settings ask for and brings the settings'
// plug-in lists up to date with what it found (ScanPlugins in SPIs.h).
using TPluginScanner = std::function<void(TPluginSettings& settings, TPluginScan& found)>;
// Makes the built-in image loader (the bitmap loader); tests replace it, and
// a factory that gives nullptr leaves the set without one.
using TBuiltinFactory = std::function<std::unique_ptr<TImageLoader>()>;
// The built-in bitmap loader.
std::unique_ptr<TImageLoader> MakeBuiltinLoader();

struct TLoaderMatch {
    int Index = -1;      // -1: no loader accepts the data
    int64_t Offset = 0;  // 0, or 128 behind a MacBinary header
};

// One loader set: the image and archive loaders in detection order, the
// extension lists made from them, the plug-in libraries they own, and
// detection and loading through them. A set never changes once built; a
// rebuild makes a new set (TLoaderRegistry), and every thread that holds a
// set through a TLoaderSetPtr keeps its loaders, and their libraries loaded,
// until it lets go. Everything here may run on any loading thread.
class TFileLoaderList {
public:
    // A set without loaders: nothing is a picture or an archive.
    TFileLoaderList();
    // Builds a set: the plug-ins through the scanner, then the built-in
    // loader before them (after them with UseBmpSPI), then the extension
    // lists. Settings() afterwards holds the plug-in order the scan found.
    // User-interface thread: the scan loads libraries and asks them for their
    // texts.
    TFileLoaderList(TPluginSettings settings, const TPluginScanner& scanner, const TBuiltinFactory& builtin);
    ~TFileLoaderList();
    TFileLoaderList(const TFileLoaderList&) = delete;
    TFileLoaderList& operator=(const TFileLoaderList&) = delete;

    TImageLoader* ImageLoader(int index) const;
    int ImageLoaderCount() const { return static_cast<int>(fImageLoaders.size()); }
    TArchiveLoader* ArchiveLoader(int index) const;
    int ArchiveLoaderCount() const { return static_cast<int>(fArchiveLoaders.size()); }
    const std::vector<TImageLoader*>& ImageLoaders() const { return fImageLoaders; }
    const std::vector<TArchiveLoader*>& ArchiveLoaders() const { return fArchiveLoaders; }
    // The plug-in loaders the scan found, disabled ones included, in the
    // user's order: what the plug-in dialog and `mireva-cli plugins` list.
    const std::vector<std::unique_ptr<TImageLoader>>& InPlugins() const { return fInPlugins; }
    const std::vector<std::unique_ptr<TArchiveLoader>>& AmPlugins() const { return fAmPlugins; }
    // The settings the set was built from, with the scan's plug-in order.
    const TPluginSettings& Settings() const { return fSettings; }

    // Upper-case extensions with their dot (".JPG"), sorted, no duplicates.
    const std::set<std::string>& ImageExtensions() const { return fImageExtensions; }
    const std::set<std::string>& ArchiveExtensions() const { return fArchiveExtensions; }
    // ext is compared upper-cased and may be given with or without its dot.
    bool IsImageExtension(std::string_view ext) const;
    bool IsArchiveExtension(std::string_view ext) const;

    // Detection over a loader list on a stream positioned at the data's start.
    template <typename Loader>
    TLoaderMatch FindLoader(const std::vector<Loader*>& loaders, const std::string& fileName, TStream& stream) const
    {
        std::vector<TFileLoader*> base(loaders.begin(), loaders.end());
        return FindLoaderIn(base, fileName, stream);
    }

    std::unique_ptr<TBitmap> LoadFromFile(const std::string& fileName, bool preview) const;
    std::unique_ptr<TBitmap> LoadFromStream(const std::string& name, TMemoryStream& stream, bool preview) const;
    // The same, a preview for a box (TImageLoader::LoadPreviewFromFile).
    std::unique_ptr<TBitmap> LoadPreviewFromFile(const std::string& fileName, TPreviewBox box) const;
    std::unique_ptr<TBitmap> LoadPreviewFromStream(const std::string& name, TMemoryStream& stream,
                                                   TPreviewBox box) const;
    // A load under limits: detection once, the size from the header (or the
    // loader), then the plan of PlanDecode. Raises EPictureTooLarge for a
    // refused picture before anything is decoded, EDecodeStopped when the
    // stop flag ended the decode.
    TLimitedLoad LoadLimitedFromFile(const std::string& fileName, const TDecodeLimits& limits) const;
    TLimitedLoad LoadLimitedFromStream(const std::string& name, TMemoryStream& stream,
                                       const TDecodeLimits& limits) const;
    // Detection on a file, under the loader lock when the list holds a
    // loader that needs it; nullptr when no loader accepts it or it cannot
    // be read. The loader belongs to this set.
    TImageLoader* FindImageLoaderFor(const std::string& fileName, int64_t* offset = nullptr) const;
    TArchiveLoader* FindArchiveLoaderFor(const std::string& fileName, int64_t* offset = nullptr) const;

    // The extension list of a set of loaders: enabled loaders only, "*.*"
    // contributes nothing, ".EXE" is never a picture or archive extension.
    static std::set<std::string> BuildExtensionList(const std::vector<TFileLoader*>& loaders);

private:
    // The loader for a file and where its picture starts; the file is opened
    // and detection done as LoadFromFile describes.
    TImageLoader* DetectImageFile(const std::string& fileName, int64_t& offset) const;
    TImageLoader* DetectImageStream(const std::string& name, TMemoryStream& stream, int64_t& offset) const;

    template <typename Loader>
    Loader* FindLoaderForFile(const std::vector<Loader*>& loaders, bool locked, const std::string& fileName,
                              int64_t* offset) const;
    // Whether detection on a file over a list holds the loader lock: when an
    // enabled loader of the list needs it, as unsafe plug-ins always had it.
    static bool DetectionNeedsLock(const std::vector<TFileLoader*>& loaders);
    TLoaderMatch FindLoaderIn(const std::vector<TFileLoader*>& loaders, const std::string& fileName,
                              TStream& stream) const;

    TPluginSettings fSettings;
    // Declared before the detection lists that point into them.
    std::vector<std::unique_ptr<TImageLoader>> fInPlugins;
    std::vector<std::unique_ptr<TArchiveLoader>> fAmPlugins;
    std::unique_ptr<TImageLoader> fBuiltin;
    std::vector<TImageLoader*> fImageLoaders;
    std::vector<TArchiveLoader*> fArchiveLoaders;
    std::set<std::string> fImageExtensions;
    std::set<std::string> fArchiveExtensions;
    bool fImageDetectionLocked = false;
    bool fArchiveDetectionLocked = false;
};

// A held loader set. Never null when it comes from TLoaderRegistry.
using TLoaderSetPtr = std::shared_ptr<const TFileLoaderList>;

// Keeps the current loader set and hands out snapshots of it. A rebuild makes
// a new set and swaps it in; it never touches the old one, which lives (with
// its plug-in libraries) until its last holder lets go. A worker or an archive
// takes a snapshot when it starts and works with it to the end, so no thread
// ever sees a half-built list and no plug-in is unloaded while in use.
class TLoaderRegistry {
public:
    // Starts with a set without loaders.
    explicit TLoaderRegistry(TPluginScanner scanner = {});
    TLoaderRegistry(const TLoaderRegistry&) = delete;
    TLoaderRegistry& operator=(const TLoaderRegistry&) = delete;

    // Before the first rebuild.
    void SetPluginScanner(TPluginScanner scanner) { fScanner = std::move(scanner); }
    void SetBuiltinFactory(TBuiltinFactory factory) { fBuiltinFactory = std::move(factory); }

    // Builds a new set from the settings and makes it current; returns it.
    // User-interface thread only (one rebuild at a time); other threads may
    // take snapshots meanwhile.
    TLoaderSetPtr Reload(const TPluginSettings& settings);
    // Builds the set again with the current settings (to find plug-in files
    // that appeared or vanished).
    TLoaderSetPtr Reload();

    // The current set. Any thread.
    TLoaderSetPtr Snapshot() const;
    // The current set's settings, with the plug-in order its scan found.
    // Any thread.
    TPluginSettings Settings() const { return Snapshot()->Settings(); }

private:
    TPluginScanner fScanner;
    TBuiltinFactory fBuiltinFactory;
    // Guards fCurrent, the pointer alone: it is never held while a set is
    // built or freed, so it is never held with the loader lock.
    mutable std::mutex fCurrentMutex;
    TLoaderSetPtr fCurrent;
};

// A loaded picture in one of two forms: the device-independent bitmap blocks a
// plug-in returned (Kind 0), kept as they came until someone asks for the
// bitmap, or a bitmap (Kind 1). Used for stored thumbnail data.
class TLoadImage {
public:
    // Form 0. Takes over the info block (header and colour table) and the
    // pixel block; Width, Height and Format come from the header. Raises
    // EInvalidGraphic when the header is unusable.
    TLoadImage(std::vector<uint8_t> info, std::vector<uint8_t> bits);
    // Form 1.
    explicit TLoadImage(std::unique_ptr<TBitmap> bitmap);

    uint8_t Kind() const { return fKind; }
    int Width() const { return fWidth; }
    int Height() const { return fHeight; }
    PixelFormat Format() const { return fFormat; }
    // Form 0 blocks; empty in form 1.
    const std::vector<uint8_t>& Info() const { return fInfo; }
    const std::vector<uint8_t>& Bits() const { return fBits; }

    // The bitmap, converting form 0 on first use; nullptr when that fails.
    TBitmap* GetBitmap();
    bool ConvertToBitmap();
    bool IsEmpty() const;
    void FreeDib();

private:
    uint8_t fKind = 1;
    std::unique_ptr<TBitmap> fBitmap;
    std::vector<uint8_t> fInfo;
    std::vector<uint8_t> fBits;
    int fWidth = 0;
    int fHeight = 0;
    PixelFormat fFormat = PixelFormat::Custom;
};

struct TPreparedInfo {
    int Width = 0;
    int Height = 0;
    PixelFormat Format = PixelFormat::Bits24;  // as loaded
    bool Gray = false;
};

// Brings a loaded bitmap to 24-bit, or keeps it as 8-bit gray with the identity
// palette, and reports what it was.
TPreparedInfo PrepareLoadedBitmap(TBitmap& bitmap);
bool IsGrayBitmap(const TBitmap& bitmap);

// "'" + name + "' は読み込めませんでした  "
std::string NotReadMessage(const std::string& fileName);

// The limits of a load that asks for nothing special: the default budget
// against the machine's free memory, no box, no stop flag.
TDecodeLimits DefaultDecodeLimits();

// Loads a picture file, or a picture held in stream when one is given,
// through the loader set registry, under the default limits. With a
// notifier, a failure is shown as the not-read message (a picture over the
// budget with its reason after it). Any loading thread (with a notifier only
// on the user-interface thread).
std::unique_ptr<TBitmap> LoadPicture(const TFileLoaderList& registry, const std::string& fileName,
                                     TMemoryStream* stream, TUserNotifier* owner);
// The same under the given limits. A decode ended by the stop flag shows
// nothing and gives no picture.
TLimitedLoad LoadPictureLimited(const TFileLoaderList& registry, const std::string& fileName, TMemoryStream* stream,
                                TUserNotifier* owner, const TDecodeLimits& limits);
// Extracts an archive member into memory and loads it. The archive loader
// may belong to another set than registry (an archive keeps the set it was
// opened with); the caller keeps both alive.
std::unique_ptr<TBitmap> LoadArchivePicture(const TFileLoaderList& registry, const std::string& archiveName,
                                            const std::string& memberName, TArchiveLoader& loader,
                                            TUserNotifier* owner, uint32_t position);
TLimitedLoad LoadArchivePictureLimited(const TFileLoaderList& registry, const std::string& archiveName,
                                       const std::string& memberName, TArchiveLoader& loader, TUserNotifier* owner,
                                       uint32_t position, const TDecodeLimits& limits);
