#pragma once

// The single entrance through which every picture and every archive enters
// the program. Loaders (the built-in bitmap loader, image plug-ins, archive
// plug-ins) are kept by the registry TFileLoaderList, which picks one for a
// file by its first bytes, never by its extension. The extension lists it
// builds decide everywhere whether a file is a picture or an archive.
//
// Plug-in libraries are not re-entrant: every call into one, and the header
// read of detection on a file, happens while the registry's loader lock is
// held. No other lock may be taken while it is held.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "common/Bitmap.h"
#include "common/DateTime.h"
#include "base/Stream.h"

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
    // Plug-in loaders are owned by the registry's plug-in lists, built-in ones
    // by the detection lists.
    virtual bool IsPlugin() const { return false; }
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
};

// One member or folder of an archive. Records are owned by the archive object
// that lists them; a record with an empty Name is a folder.
struct TArchiveFileInfo {
    uint32_t Position = 0;     // identifies the member for extraction
    std::string Path;          // folder inside the archive, '/'-separated, ending in '/'; empty at the top
    std::string DisplayName;   // filled by views; folder records carry their last segment
    std::string Name;          // file name; empty for a folder record
    uint32_t Size = 0;         // bytes after extraction; 0 for folders
    std::string TypeName;      // type name for views
    TDateTime Time = -1.0;     // last modified; -1 when unknown
    int32_t SmallIconIndex = 0;
    int32_t LargeIconIndex = 0;
    // Per-item state of the views that show archive members.
    int32_t ViewState = 0;
    void* ViewData = nullptr;
    int32_t ViewIndex = 0;
    int32_t ViewOverlay = 0;
    uint8_t ViewFlags = 0;

    bool IsFolder() const { return Name.empty(); }
    void ResetViewState()
    {
        ViewState = 0;
        ViewData = nullptr;
        ViewIndex = 0;
        ViewOverlay = 0;
        ViewFlags = 0;
    }
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

// The plug-in settings the registry needs; read from and written to the
// settings file's PLUGIN sections.
struct TPluginUseEntry {
    std::string FileName;
    bool Enabled = true;
};

class TFileLoaderList;

// Finds plug-in libraries and appends them (in priority order) to the
// registry's InPlugins and AmPlugins, updating UseInList and UseAmList.
using TPluginScanner = std::function<void(TFileLoaderList&)>;

struct TLoaderMatch {
    int Index = -1;      // -1: no loader accepts the data
    int64_t Offset = 0;  // 0, or 128 behind a MacBinary header
};

class TFileLoaderList {
public:
    TFileLoaderList();
    ~TFileLoaderList();
    TFileLoaderList(const TFileLoaderList&) = delete;
    TFileLoaderList& operator=(const TFileLoaderList&) = delete;

    // Rebuilds every loader list: plug-ins through the scanner, then the
    // built-in loaders placed before or after them, then the extension lists.
    // User-interface thread only, while no other thread loads.
    void Reload();
    void Clear();

    TImageLoader* ImageLoader(int index) const;
    int ImageLoaderCount() const { return static_cast<int>(fImageLoaders.size()); }
    TArchiveLoader* ArchiveLoader(int index) const;
    int ArchiveLoaderCount() const { return static_cast<int>(fArchiveLoaders.size()); }
    const std::vector<TImageLoader*>& ImageLoaders() const { return fImageLoaders; }
    const std::vector<TArchiveLoader*>& ArchiveLoaders() const { return fArchiveLoaders; }

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

    // Any loading thread.
    std::unique_ptr<TBitmap> LoadFromFile(const std::string& fileName, bool preview);
    std::unique_ptr<TBitmap> LoadFromStream(const std::string& name, TMemoryStream& stream, bool preview);
    // Detection on a file, under the loader lock; nullptr when no loader
    // accepts it or it cannot be read.
    TImageLoader* FindImageLoaderFor(const std::string& fileName, int64_t* offset = nullptr);
    TArchiveLoader* FindArchiveLoaderFor(const std::string& fileName, int64_t* offset = nullptr);

    // The process-wide lock around plug-in calls and file detection.
    std::recursive_mutex& LoaderLock() const { return fLoaderLock; }

    // Plug-in settings (PLUGIN section).
    std::string SPIPath;
    bool SearchDirs[3] = {true, false, false};
    std::vector<TPluginUseEntry> UseInList;
    std::vector<TPluginUseEntry> UseAmList;
    bool BuiltinAfterPlugins[4] = {false, false, false, false};
    bool BuiltinArchiveAfterPlugins[3] = {false, false, false};
    bool MacBinary = false;

    // Filled by the scanner during Reload; own the plug-in loaders.
    std::vector<std::unique_ptr<TImageLoader>> InPlugins;
    std::vector<std::unique_ptr<TArchiveLoader>> AmPlugins;

    void SetPluginScanner(TPluginScanner scanner) { fScanner = std::move(scanner); }
    // Makes the built-in image loader of a kind (0: bitmap); nullptr for kinds
    // that do not exist. Tests replace it.
    using TBuiltinFactory = std::function<std::unique_ptr<TImageLoader>(int kind)>;
    void SetBuiltinFactory(TBuiltinFactory factory) { fBuiltinFactory = std::move(factory); }

    // The extension list of a set of loaders: enabled loaders only, "*.*"
    // contributes nothing, ".EXE" is never a picture or archive extension.
    static std::set<std::string> BuildExtensionList(const std::vector<TFileLoader*>& loaders);

private:
    template <typename Loader>
    Loader* FindLoaderForFile(const std::vector<Loader*>& loaders, const std::string& fileName, int64_t* offset);
    TLoaderMatch FindLoaderIn(const std::vector<TFileLoader*>& loaders, const std::string& fileName,
                              TStream& stream) const;

    std::vector<TImageLoader*> fImageLoaders;
    std::vector<TArchiveLoader*> fArchiveLoaders;
    std::vector<std::unique_ptr<TImageLoader>> fBuiltinImageLoaders;
    std::set<std::string> fImageExtensions;
    std::set<std::string> fArchiveExtensions;
    TPluginScanner fScanner;
    TBuiltinFactory fBuiltinFactory;
    mutable std::recursive_mutex fLoaderLock;
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

// Loads a picture file, or a picture held in stream when one is given. With a
// notifier, a failure is shown as the not-read message. Any loading thread
// (with a notifier only on the user-interface thread).
std::unique_ptr<TBitmap> LoadPicture(TFileLoaderList& registry, const std::string& fileName, TMemoryStream* stream,
                                     TUserNotifier* owner);
// Extracts an archive member into memory and loads it.
std::unique_ptr<TBitmap> LoadArchivePicture(TFileLoaderList& registry, const std::string& archiveName,
                                            const std::string& memberName, TArchiveLoader& loader,
                                            TUserNotifier* owner, uint32_t position);
