#include "loading/FileLoader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/Text.h"
#include "loading/DibHeader.h"
#include "loading/ImgLoader.h"
#include "loading/LoaderLock.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/Memory.h"
#include "base/Texts.h"

std::recursive_mutex& LoaderLock()
{
    // One for the process: the libraries it guards are loaded once per
    // process, whichever set or registry holds them.
    static std::recursive_mutex lock;
    return lock;
}

std::unique_ptr<TImageLoader> MakeBuiltinLoader()
{
    return std::make_unique<TBitmapLoader>();
}

TFileLoaderList::TFileLoaderList() = default;

TFileLoaderList::TFileLoaderList(TPluginSettings settings, const TPluginScanner& scanner,
                                 const TBuiltinFactory& builtin)
    : fSettings(std::move(settings))
{
    TPluginScan found;
    if (scanner)
        scanner(fSettings, found);
    fInPlugins = std::move(found.InPlugins);
    fAmPlugins = std::move(found.AmPlugins);
    for (const auto& loader : fInPlugins)
        fImageLoaders.push_back(loader.get());
    for (const auto& loader : fAmPlugins)
        fArchiveLoaders.push_back(loader.get());
    fBuiltin = builtin ? builtin() : nullptr;
    if (fBuiltin) {
        // By default the bitmap loader is asked first; with UseBmpSPI a
        // plug-in that reads bitmaps wins.
        if (fSettings.UseBmpSPI)
            fImageLoaders.push_back(fBuiltin.get());
        else
            fImageLoaders.insert(fImageLoaders.begin(), fBuiltin.get());
    }
    const std::vector<TFileLoader*> images(fImageLoaders.begin(), fImageLoaders.end());
    const std::vector<TFileLoader*> archives(fArchiveLoaders.begin(), fArchiveLoaders.end());
    fImageExtensions = BuildExtensionList(images);
    fArchiveExtensions = BuildExtensionList(archives);
    fImageDetectionLocked = DetectionNeedsLock(images);
    fArchiveDetectionLocked = DetectionNeedsLock(archives);
}

bool TFileLoaderList::DetectionNeedsLock(const std::vector<TFileLoader*>& loaders)
{
    return std::any_of(loaders.begin(), loaders.end(),
                       [](const TFileLoader* loader) { return loader->Enabled && loader->NeedsLoaderLock(); });
}

// Freeing the plug-in loaders unloads their libraries; each takes the loader
// lock for that itself, so no thread is inside a library while it goes.
TFileLoaderList::~TFileLoaderList() = default;

std::set<std::string> TFileLoaderList::BuildExtensionList(const std::vector<TFileLoader*>& loaders)
{
    std::set<std::string> list;
    for (const TFileLoader* loader : loaders) {
        if (!loader->Enabled)
            continue;
        for (const std::string& entry : loader->Extensions) {
            if (entry == "*.*")
                continue;
            std::string_view group = entry;
            if (!group.empty() && group.front() == '*')
                group.remove_prefix(1);
            for (std::string piece : SplitString(group, ';')) {
                // Plug-ins write groups such as "*.jpg; *.jpeg" as well.
                piece = Trim(piece);
                if (!piece.empty() && piece.front() == '*')
                    piece.erase(0, 1);
                // "*.*" inside a group means every file, not an extension:
                // taken literally it would make a file named "x.*" a picture.
                if (!piece.empty() && piece != ".*")
                    list.insert(UpperCase(piece));
            }
        }
    }
    list.erase(".EXE");
    return list;
}

namespace {

std::string NormalizedExtension(std::string_view ext)
{
    std::string upper = UpperCase(ext);
    if (!upper.empty() && upper.front() != '.')
        upper.insert(upper.begin(), '.');
    return upper;
}

}  // namespace

bool TFileLoaderList::IsImageExtension(std::string_view ext) const
{
    return !ext.empty() && fImageExtensions.count(NormalizedExtension(ext)) > 0;
}

bool TFileLoaderList::IsArchiveExtension(std::string_view ext) const
{
    return !ext.empty() && fArchiveExtensions.count(NormalizedExtension(ext)) > 0;
}

TImageLoader* TFileLoaderList::ImageLoader(int index) const
{
    return index >= 0 && index < ImageLoaderCount() ? fImageLoaders[static_cast<size_t>(index)] : nullptr;
}

TArchiveLoader* TFileLoaderList::ArchiveLoader(int index) const
{
    return index >= 0 && index < ArchiveLoaderCount() ? fArchiveLoaders[static_cast<size_t>(index)] : nullptr;
}

TLoaderMatch TFileLoaderList::FindLoaderIn(const std::vector<TFileLoader*>& loaders, const std::string& fileName,
                                           TStream& stream) const
{
    try {
        uint8_t header[DetectBufferSize];
        std::memset(header, 0, sizeof header);
        const int64_t want = std::min<int64_t>(stream.Size() - stream.Position(), DetectBufferSize);
        if (want > 0)
            stream.Read(header, want);
        for (size_t i = 0; i < loaders.size(); ++i) {
            TFileLoader* loader = loaders[i];
            if (!loader->Enabled)
                continue;
            if (loader->IsSupported(fileName, header))
                return TLoaderMatch{static_cast<int>(i), 0};
            if (fSettings.MacBinary && loader->IsSupported(fileName, header + MacBinaryHeaderSize))
                return TLoaderMatch{static_cast<int>(i), MacBinaryHeaderSize};
        }
    } catch (...) {
        // An unreadable file or a plug-in fault during detection counts as no
        // loader at all.
    }
    return {};
}

TImageLoader* TFileLoaderList::DetectImageFile(const std::string& fileName, int64_t& offset) const
{
    // A list of thread-safe loaders detects without the lock, so that
    // several threads open pictures at once.
    std::unique_lock<std::recursive_mutex> lock(LoaderLock(), std::defer_lock);
    if (fImageDetectionLocked)
        lock.lock();
    // Opened here rather than inside detection, which counts a file it
    // cannot open as one no loader accepts: a file that cannot be read
    // (no permission, a pipe or a folder under a picture's name) raises
    // EFileError with the reason, so the user is told why.
    TFileStream file(fileName, TFileMode::fmOpenRead);
    if (file.Size() == 0)
        return nullptr;
    const TLoaderMatch match = FindLoader(fImageLoaders, fileName, file);
    offset = match.Offset;
    return ImageLoader(match.Index);
}

TImageLoader* TFileLoaderList::DetectImageStream(const std::string& name, TMemoryStream& stream,
                                                 int64_t& offset) const
{
    if (stream.Size() == 0)
        return nullptr;
    stream.SetPosition(0);
    const TLoaderMatch match = FindLoader(fImageLoaders, name, stream);
    stream.SetPosition(0);
    offset = match.Offset;
    return ImageLoader(match.Index);
}

// The loader reads on its own, outside the loader lock; a plug-in takes the
// lock itself around its calls.
std::unique_ptr<TBitmap> TFileLoaderList::LoadFromFile(const std::string& fileName, bool preview) const
{
    int64_t offset = 0;
    TImageLoader* loader = DetectImageFile(fileName, offset);
    return loader ? loader->LoadFromFile(fileName, offset, preview) : nullptr;
}

std::unique_ptr<TBitmap> TFileLoaderList::LoadFromStream(const std::string& name, TMemoryStream& stream,
                                                         bool preview) const
{
    int64_t offset = 0;
    TImageLoader* loader = DetectImageStream(name, stream, offset);
    return loader ? loader->LoadFromStream(stream, offset, preview) : nullptr;
}

std::unique_ptr<TBitmap> TFileLoaderList::LoadPreviewFromFile(const std::string& fileName, TPreviewBox box) const
{
    int64_t offset = 0;
    TImageLoader* loader = DetectImageFile(fileName, offset);
    return loader ? loader->LoadPreviewFromFile(fileName, offset, box) : nullptr;
}

std::unique_ptr<TBitmap> TFileLoaderList::LoadPreviewFromStream(const std::string& name, TMemoryStream& stream,
                                                                TPreviewBox box) const
{
    int64_t offset = 0;
    TImageLoader* loader = DetectImageStream(name, stream, offset);
    return loader ? loader->LoadPreviewFromStream(stream, offset, box) : nullptr;
}

namespace {

// The first bytes of the picture that starts offset bytes into a file, for
// the size readers; what is there when the file is shorter.
std::vector<uint8_t> ReadProbe(const std::string& fileName, int64_t offset)
{
    TFileStream file(fileName, TFileMode::fmOpenRead);
    const int64_t size = file.Size();
    if (offset < 0 || offset >= size)
        return {};
    std::vector<uint8_t> bytes(static_cast<size_t>(std::min<int64_t>(size - offset, PictureHeaderProbeSize)));
    file.SetPosition(offset);
    file.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    return bytes;
}

// Plans the load of a picture of known or unknown size; a refused one
// raises here, before its loader is called.
TDecodeCall PlanCall(const std::optional<TPictureDims>& dims, const TDecodeLimits& limits, bool& reduced)
{
    TDecodeCall call;
    call.Stop = limits.Stop;
    reduced = false;
    if (!dims)
        return call;
    const std::optional<uint64_t> freeBytes = limits.FreeMemory ? limits.FreeMemory() : std::nullopt;
    switch (PlanDecode(limits.Budget, *dims, freeBytes, !limits.FitBox.Empty())) {
    case TDecodePlan::dpRefused:
        throw EPictureTooLarge(*dims);
    case TDecodePlan::dpReduced:
        call.Box = limits.FitBox;
        reduced = true;
        break;
    case TDecodePlan::dpFull:
        break;
    }
    return call;
}

// A loader that gave nothing because it was told to stop has not failed.
TLimitedLoad Finish(std::unique_ptr<TBitmap> bitmap, const std::optional<TPictureDims>& dims, bool reduced,
                    const TDecodeCall& call)
{
    if (call.Stopped())
        throw EDecodeStopped();
    TLimitedLoad load;
    load.Dims = dims;
    load.Reduced = reduced && bitmap && dims && (bitmap->Width() < dims->Width || bitmap->Height() < dims->Height);
    load.Bitmap = std::move(bitmap);
    return load;
}

}  // namespace

TLimitedLoad TFileLoaderList::LoadLimitedFromFile(const std::string& fileName, const TDecodeLimits& limits) const
{
    int64_t offset = 0;
    TImageLoader* loader = DetectImageFile(fileName, offset);
    if (!loader)
        return {};
    const std::vector<uint8_t> probe = ReadProbe(fileName, offset);
    std::optional<TPictureDims> dims = ReadPictureDims(probe.data(), probe.size());
    if (!dims)
        dims = loader->QueryDimsOfFile(fileName, offset);
    bool reduced = false;
    const TDecodeCall call = PlanCall(dims, limits, reduced);
    return Finish(loader->DecodeFile(fileName, offset, call), dims, reduced, call);
}

TLimitedLoad TFileLoaderList::LoadLimitedFromStream(const std::string& name, TMemoryStream& stream,
                                                    const TDecodeLimits& limits) const
{
    int64_t offset = 0;
    TImageLoader* loader = DetectImageStream(name, stream, offset);
    if (!loader)
        return {};
    std::optional<TPictureDims> dims;
    if (offset >= 0 && offset < stream.Size())
        dims = ReadPictureDims(stream.Memory() + offset, static_cast<size_t>(stream.Size() - offset));
    if (!dims)
        dims = loader->QueryDimsOfStream(stream, offset);
    bool reduced = false;
    const TDecodeCall call = PlanCall(dims, limits, reduced);
    return Finish(loader->DecodeStream(stream, offset, call), dims, reduced, call);
}

template <typename Loader>
Loader* TFileLoaderList::FindLoaderForFile(const std::vector<Loader*>& loaders, bool locked,
                                           const std::string& fileName, int64_t* offset) const
{
    std::unique_lock<std::recursive_mutex> lock(LoaderLock(), std::defer_lock);
    if (locked)
        lock.lock();
    TLoaderMatch match;
    try {
        TFileStream file(fileName, TFileMode::fmOpenRead);
        match = FindLoader(loaders, fileName, file);
    } catch (const EMirevaError&) {
        // A file that cannot be opened is one no loader accepts.
        return nullptr;
    }
    if (match.Index < 0)
        return nullptr;
    if (offset)
        *offset = match.Offset;
    return loaders[static_cast<size_t>(match.Index)];
}

TImageLoader* TFileLoaderList::FindImageLoaderFor(const std::string& fileName, int64_t* offset) const
{
    return FindLoaderForFile(fImageLoaders, fImageDetectionLocked, fileName, offset);
}

TArchiveLoader* TFileLoaderList::FindArchiveLoaderFor(const std::string& fileName, int64_t* offset) const
{
    return FindLoaderForFile(fArchiveLoaders, fArchiveDetectionLocked, fileName, offset);
}

// ---------------------------------------------------------------------------

TLoaderRegistry::TLoaderRegistry(TPluginScanner scanner)
    : fScanner(std::move(scanner)), fBuiltinFactory(MakeBuiltinLoader),
      fCurrent(std::make_shared<const TFileLoaderList>())
{
}

TLoaderSetPtr TLoaderRegistry::Reload(const TPluginSettings& settings)
{
    // The new set is built while the old one stays current and untouched;
    // threads that take a snapshot meanwhile get the old one, whole.
    TLoaderSetPtr built = std::make_shared<const TFileLoaderList>(settings, fScanner, fBuiltinFactory);
    TLoaderSetPtr previous;
    {
        std::lock_guard<std::mutex> lock(fCurrentMutex);
        previous = std::exchange(fCurrent, built);
    }
    // previous goes here, outside the lock: when nobody else holds it, its
    // plug-in libraries are unloaded now, under the loader lock.
    return built;
}

TLoaderSetPtr TLoaderRegistry::Reload()
{
    return Reload(Settings());
}

TLoaderSetPtr TLoaderRegistry::Snapshot() const
{
    std::lock_guard<std::mutex> lock(fCurrentMutex);
    return fCurrent;
}

// ---------------------------------------------------------------------------

namespace {

PixelFormat FormatFromBitCount(int bits)
{
    switch (bits) {
    case 1:
        return PixelFormat::Bits1;
    case 4:
        return PixelFormat::Bits4;
    case 8:
        return PixelFormat::Bits8;
    case 16:
        return PixelFormat::Bits16;
    case 24:
        return PixelFormat::Bits24;
    case 32:
        return PixelFormat::Bits32;
    default:
        return PixelFormat::Custom;
    }
}

// A Custom format is told by the depth of the bitmap itself.
PixelFormat ResolvedFormat(const TBitmap& bitmap)
{
    const PixelFormat format = bitmap.LoadedFormat();
    return format == PixelFormat::Custom ? FormatFromBitCount(bitmap.BitsPerPixel()) : format;
}

}  // namespace

TLoadImage::TLoadImage(std::vector<uint8_t> info, std::vector<uint8_t> bits)
    : fKind(0), fInfo(std::move(info)), fBits(std::move(bits))
{
    // The same checks as for decoding, so that a header the program cannot
    // read is refused here and never reaches a painter.
    const TDibHeader header = ParseDibHeader(fInfo.data(), fInfo.size());
    fWidth = header.Width;
    fHeight = header.Height;
    fFormat = FormatFromBitCount(header.BitCount);
}

TLoadImage::TLoadImage(std::unique_ptr<TBitmap> bitmap) : fKind(1), fBitmap(std::move(bitmap))
{
    if (fBitmap) {
        fWidth = fBitmap->Width();
        fHeight = fBitmap->Height();
        fFormat = ResolvedFormat(*fBitmap);
    }
}

bool TLoadImage::IsEmpty() const
{
    if (fKind == 1)
        return !fBitmap || fBitmap->IsEmpty();
    return fInfo.empty() || fBits.empty();
}

bool TLoadImage::ConvertToBitmap()
{
    if (fKind == 1 || IsEmpty())
        return false;
    try {
        fBitmap = std::make_unique<TBitmap>(DecodeDib(fInfo.data(), fInfo.size(), fBits.data(), fBits.size()));
    } catch (const EMirevaError&) {
        return false;
    }
    FreeDib();
    fKind = 1;
    return true;
}

TBitmap* TLoadImage::GetBitmap()
{
    if (fKind == 1 || ConvertToBitmap())
        return fBitmap.get();
    return nullptr;
}

void TLoadImage::FreeDib()
{
    fInfo.clear();
    fInfo.shrink_to_fit();
    fBits.clear();
    fBits.shrink_to_fit();
}

// ---------------------------------------------------------------------------

bool IsGrayBitmap(const TBitmap& bitmap)
{
    return bitmap.IsGray();
}

TPreparedInfo PrepareLoadedBitmap(TBitmap& bitmap)
{
    TPreparedInfo info;
    info.Width = bitmap.Width();
    info.Height = bitmap.Height();
    info.Format = ResolvedFormat(bitmap);
    info.Gray = IsGrayBitmap(bitmap);
    if (!info.Gray && bitmap.BitsPerPixel() != 24) {
        bitmap.ConvertTo24();
        bitmap.Palette().clear();
    }
    return info;
}

std::string NotReadMessage(const std::string& fileName)
{
    return "'" + ExtractFileName(fileName) + Tx("' は読み込めませんでした  ");
}

namespace {

// An empty file or stream is no picture, and no failure either: nothing is
// shown for it, whatever its extension.
bool IsEmptyInput(const std::string& fileName, TMemoryStream* stream)
{
    if (stream)
        return stream->Size() == 0;
    const TFileStatus status = QueryFile(fileName);
    return status.Kind == TFileKind::fkFile && status.Size == 0;
}

}  // namespace

TDecodeLimits DefaultDecodeLimits()
{
    TDecodeLimits limits;
    limits.FreeMemory = AvailableMemoryBytes;
    return limits;
}

std::unique_ptr<TBitmap> LoadPicture(const TFileLoaderList& registry, const std::string& fileName,
                                     TMemoryStream* stream, TUserNotifier* owner)
{
    return LoadPictureLimited(registry, fileName, stream, owner, DefaultDecodeLimits()).Bitmap;
}

TLimitedLoad LoadPictureLimited(const TFileLoaderList& registry, const std::string& fileName, TMemoryStream* stream,
                                TUserNotifier* owner, const TDecodeLimits& limits)
{
    try {
        TLimitedLoad load = stream ? registry.LoadLimitedFromStream(fileName, *stream, limits)
                                   : registry.LoadLimitedFromFile(fileName, limits);
        if (!load.Bitmap && owner && registry.IsImageExtension(ExtractFileExt(fileName)) &&
            !IsEmptyInput(fileName, stream))
            owner->ShowMessage(NotReadMessage(fileName), TMessageIcon::miInformation);
        return load;
    } catch (const EDecodeStopped&) {
        // A newer move abandoned this picture: nobody waits for it.
        return {};
    } catch (const EPictureTooLarge& e) {
        if (owner)
            owner->ShowMessage(NotReadMessage(fileName) + e.what(), TMessageIcon::miWarning);
        return {};
    } catch (const EFileError& e) {
        // The file itself could not be read: its reason says more than the
        // not-read message would.
        if (owner)
            owner->ShowMessage(e.what(), TMessageIcon::miWarning);
        return {};
    } catch (const std::exception&) {
        // std::bad_alloc from a huge but valid picture lands here as well.
        if (owner)
            owner->ShowMessage(NotReadMessage(fileName), TMessageIcon::miWarning);
        return {};
    }
}

std::unique_ptr<TBitmap> LoadArchivePicture(const TFileLoaderList& registry, const std::string& archiveName,
                                            const std::string& memberName, TArchiveLoader& loader,
                                            TUserNotifier* owner, uint32_t position)
{
    return LoadArchivePictureLimited(registry, archiveName, memberName, loader, owner, position,
                                     DefaultDecodeLimits())
        .Bitmap;
}

TLimitedLoad LoadArchivePictureLimited(const TFileLoaderList& registry, const std::string& archiveName,
                                       const std::string& memberName, TArchiveLoader& loader, TUserNotifier* owner,
                                       uint32_t position, const TDecodeLimits& limits)
{
    TMemoryStream stream;
    try {
        loader.ExtractToStream(archiveName, position, stream);
    } catch (const std::exception&) {
        stream.Clear();
    }
    if (stream.Size() == 0) {
        if (owner)
            owner->ShowMessage(NotReadMessage(memberName), TMessageIcon::miWarning);
        return {};
    }
    return LoadPictureLimited(registry, memberName, &stream, owner, limits);
}
