#include "loading/SPIs.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <utility>
#include <vector>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/BinaryReader.h"
#include "common/Text.h"
#include "loading/AcvUnit.h"
#include "loading/DibHeader.h"
#include "loading/ImgLoader.h"
#include "loading/LoaderLock.h"
#include "platform/FileSystem.h"
#include "base/Texts.h"

namespace {

// The buffer GetPluginInfo writes into: 256 bytes, of which the plug-in is
// told 255, so a text that fills its whole length still ends in a zero.
constexpr int32_t InfoBufferSize = 256;
// A plug-in that keeps answering pattern numbers would loop forever.
constexpr int32_t MaxPatternGroups = 256;

int32_t IgnoreProgress(int32_t, int32_t, intptr_t)
{
    return 0;
}

// The progress callback of a decode that may be abandoned: user is the
// address of its stop flag.
int32_t StopWhenTold(int32_t, int32_t, intptr_t user)
{
    const auto* stop = reinterpret_cast<const std::atomic<bool>*>(user);
    return stop && stop->load(std::memory_order_relaxed) ? 1 : 0;
}

// Owns a block received from a plug-in: freed on every path, also when the
// plug-in reported a failure after handing it over.
class TLocalBlock {
public:
    TLocalBlock() = default;
    ~TLocalBlock()
    {
        if (fHandle)
            LocalFree(fHandle);
    }
    TLocalBlock(const TLocalBlock&) = delete;
    TLocalBlock& operator=(const TLocalBlock&) = delete;

    HLOCAL* Receive() { return &fHandle; }
    // Gives the block to the caller, who frees it.
    HLOCAL Release() { return std::exchange(fHandle, nullptr); }
    bool Empty() const { return fHandle == nullptr; }
    // The bytes of the block and its exact size; nullptr for a handle that is
    // not a live block.
    const uint8_t* Lock(size_t& size)
    {
        size = LocalSize(fHandle);
        return static_cast<const uint8_t*>(LocalLock(fHandle));
    }

private:
    HLOCAL fHandle = nullptr;
};

// A field of a member record; nothing when it has no terminator inside.
std::optional<std::string> FieldText(const char* field, size_t size)
{
    const size_t length = strnlen(field, size);
    if (length == size)
        return std::nullopt;
    return DecodeText(std::string_view(field, length));
}

bool IsPluginFileName(const std::string& name)
{
    return name.size() > 4 && SameText(std::string_view(name).substr(name.size() - 4), ".spi");
}

}  // namespace

// ---------------------------------------------------------------------------

TSPI::TSPI(std::string libraryPath, bool enabled) : fLibraryPath(std::move(libraryPath))
{
    // Loading runs the library's own start-up code, and the same library may
    // be in use through another loader set. Whether it may be called without
    // the lock is not known yet, so everything here holds it.
    const std::lock_guard<std::recursive_mutex> guard(LoaderLock());
    if (!fModule.Load(fLibraryPath))
        return;
    fGetPluginInfo = reinterpret_cast<SpiGetPluginInfoFunc>(fModule.Symbol("GetPluginInfo"));
    if (!fGetPluginInfo) {
        Unload();
        return;
    }
    const std::optional<std::string> version = PluginInfo(0);
    if (version && *version == ImagePluginVersion)
        fPluginKind = TPluginKind::pkImage;
    else if (version && *version == ArchivePluginVersion)
        fPluginKind = TPluginKind::pkArchive;
    else {
        Unload();
        return;
    }
    if (std::optional<std::string> description = PluginInfo(1))
        fDescription = *description;
    if (auto threadSafe = reinterpret_cast<SpiThreadSafeFunc>(fModule.Symbol("SpiThreadSafe")))
        fThreadSafe = threadSafe() == SPI_THREAD_SAFE;
    if (enabled) {
        fIsSupported = reinterpret_cast<SpiIsSupportedFunc>(fModule.Symbol("IsSupported"));
        fConfigurationDlg = reinterpret_cast<SpiConfigurationDlgFunc>(fModule.Symbol("ConfigurationDlg"));
        fLoaded = true;
    }
}

TSPI::~TSPI()
{
    Unload();
}

std::unique_lock<std::recursive_mutex> TSPI::LockForCall() const
{
    if (fThreadSafe)
        return {};
    return std::unique_lock<std::recursive_mutex>(LoaderLock());
}

std::string TSPI::LibraryName() const
{
    return ExtractFileName(fLibraryPath);
}

std::optional<std::string> TSPI::PluginInfo(int32_t number)
{
    if (!fGetPluginInfo)
        return std::nullopt;
    char buffer[InfoBufferSize] = {};
    int32_t written;
    {
        const auto guard = LockForCall();
        written = fGetPluginInfo(number, buffer, InfoBufferSize - 1);
    }
    if (written <= 0)
        return std::nullopt;
    buffer[InfoBufferSize - 1] = 0;
    const size_t length = strnlen(buffer, std::min<size_t>(static_cast<size_t>(written), InfoBufferSize - 1));
    return DecodeText(std::string_view(buffer, length));
}

void TSPI::Unload()
{
    // Unloading runs the library's own shutdown code.
    const std::lock_guard<std::recursive_mutex> guard(LoaderLock());
    fIsSupported = nullptr;
    fConfigurationDlg = nullptr;
    fGetPluginInfo = nullptr;
    fLoaded = false;
    fModule.Unload();
}

int TSPI::ShowConfiguration(uintptr_t owner, int32_t function)
{
    // It may load and unload the library, which always takes the lock.
    const std::lock_guard<std::recursive_mutex> guard(LoaderLock());
    const bool loadedHere = !fModule.IsLoaded();
    SpiConfigurationDlgFunc dialog = fConfigurationDlg;
    if (loadedHere) {
        if (!fModule.Load(fLibraryPath))
            return -1;
        dialog = reinterpret_cast<SpiConfigurationDlgFunc>(fModule.Symbol("ConfigurationDlg"));
    }
    int result = -1;
    if (dialog)
        result = function < 0 ? 0 : dialog(owner, function);
    if (loadedHere)
        fModule.Unload();
    return result;
}

void ReadPluginPatterns(TSPI& plugin, TFileLoader& loader)
{
    for (int32_t k = 0; k < MaxPatternGroups; ++k) {
        std::optional<std::string> patterns = plugin.PluginInfo(2 * k + 2);
        if (!patterns)
            break;
        std::optional<std::string> name = plugin.PluginInfo(2 * k + 3);
        if (!name)
            break;
        loader.Extensions.push_back(std::move(*patterns));
        loader.Descriptions.push_back(std::move(*name));
    }
}

// ---------------------------------------------------------------------------

namespace {

void FreeLocalBlock(void* handle)
{
    LocalFree(static_cast<HLOCAL>(handle));
}

// Top-down rows of 24 bits, or of 8 bits with a colour table, are laid out as
// a TBitmap's: the bitmap takes the block over instead of copying a page's
// tens of megabytes. nullptr for any other layout, which is converted.
std::unique_ptr<TBitmap> AdoptedBitmap(const TDibHeader& header, const uint8_t* info, size_t infoSize,
                                       TLocalBlock& bitsBlock)
{
    if (!header.TopDown || header.Compression != TDibCompression::dcRgb ||
        (header.BitCount != 24 && header.BitCount != 8))
        return nullptr;
    std::vector<TRGBQuad> palette = ReadColourTable(header, info, infoSize);
    size_t size = 0;
    auto* pixels = const_cast<uint8_t*>(bitsBlock.Lock(size));
    auto bitmap = std::make_unique<TBitmap>(TBitmap::Adopt(header.Width, header.Height, header.BitCount, pixels, size,
                                                           FreeLocalBlock, bitsBlock.Release()));
    bitmap->Palette() = std::move(palette);
    bitmap->SetLoadedFormat(header.Format());
    return bitmap;
}

// The two blocks of GetPicture as a bitmap; nullptr when they are damaged.
std::unique_ptr<TBitmap> BitmapFromBlocks(TLocalBlock& infoBlock, TLocalBlock& bitsBlock)
{
    size_t infoSize = 0, bitsSize = 0;
    const uint8_t* info = infoBlock.Lock(infoSize);
    const uint8_t* bits = bitsBlock.Lock(bitsSize);
    if (!info || !bits)
        return nullptr;
    try {
        // The check demands every row of an uncompressed picture whole, which
        // is what adopting the block needs.
        const TDibHeader header = CheckDib(info, infoSize, bitsSize, TDibSource::dsPlugin);
        if (std::unique_ptr<TBitmap> adopted = AdoptedBitmap(header, info, infoSize, bitsBlock))
            return adopted;
        return std::make_unique<TBitmap>(DecodeDib(info, infoSize, bits, bitsSize, TDibSource::dsPlugin));
    } catch (const EMirevaError&) {
        return nullptr;
    }
}

// One picture call into a plug-in, under the lock the plug-in needs, its two
// blocks made into a bitmap. call receives the addresses of the blocks.
template <typename Call>
std::unique_ptr<TBitmap> LoadThrough(const TSPI& plugin, Call call)
{
    TLocalBlock info, bits;
    int32_t result;
    {
        const auto guard = plugin.LockForCall();
        result = call(info.Receive(), bits.Receive());
    }
    if (result != SPI_SUCCESS || info.Empty() || bits.Empty())
        return nullptr;
    return BitmapFromBlocks(info, bits);
}

}  // namespace

TInSPI::TInSPI(std::unique_ptr<TSPI> plugin) : fPlugin(std::move(plugin))
{
    ReadPluginPatterns(*fPlugin, *this);
    Enabled = fPlugin->Loaded();
    if (Enabled) {
        fGetPictureInfo = reinterpret_cast<SpiGetPictureInfoFunc>(fPlugin->Symbol("GetPictureInfo"));
        fGetPicture = reinterpret_cast<SpiGetPictureFunc>(fPlugin->Symbol("GetPicture"));
        fGetPreview = reinterpret_cast<SpiGetPictureFunc>(fPlugin->Symbol("GetPreview"));
        fGetPreviewForBox = reinterpret_cast<SpiGetPreviewForBoxFunc>(fPlugin->Symbol("GetPreviewForBox"));
    }
}

bool TInSPI::IsSupported(const std::string& fileName, const uint8_t* header)
{
    const auto guard = fPlugin->LockForCall();
    SpiIsSupportedFunc isSupported = fPlugin->IsSupportedFunc();
    return isSupported && isSupported(fileName.c_str(), header) != 0;
}

std::unique_ptr<TBitmap> TInSPI::Load(const char* source, intptr_t length, uint32_t flag, bool preview)
{
    SpiGetPictureFunc function = preview ? fGetPreview : fGetPicture;
    if (!function)
        return nullptr;
    return LoadThrough(*fPlugin, [&](HLOCAL* info, HLOCAL* bits) {
        return function(source, length, flag, info, bits, IgnoreProgress, 0);
    });
}

std::unique_ptr<TBitmap> TInSPI::LoadForBox(const char* source, intptr_t length, uint32_t flag, TPreviewBox box)
{
    if (!fGetPreviewForBox || box.Width <= 0 || box.Height <= 0)
        return Load(source, length, flag, true);
    return LoadThrough(*fPlugin, [&](HLOCAL* info, HLOCAL* bits) {
        return fGetPreviewForBox(source, length, flag, box.Width, box.Height, info, bits, IgnoreProgress, 0);
    });
}

std::unique_ptr<TBitmap> TInSPI::LoadPreviewFromFile(const std::string& fileName, int64_t offset, TPreviewBox box)
{
    return LoadForBox(fileName.c_str(), static_cast<intptr_t>(offset), SPI_SOURCE_FILE, box);
}

std::unique_ptr<TBitmap> TInSPI::LoadPreviewFromStream(TMemoryStream& stream, int64_t offset, TPreviewBox box)
{
    if (offset < 0 || offset >= stream.Size())
        return nullptr;
    return LoadForBox(reinterpret_cast<const char*>(stream.Memory() + offset),
                      static_cast<intptr_t>(stream.Size() - offset), SPI_SOURCE_MEMORY, box);
}

std::unique_ptr<TBitmap> TInSPI::Decode(const char* source, intptr_t length, uint32_t flag, const TDecodeCall& call)
{
    const bool forBox = !call.Box.Empty() && fGetPreviewForBox;
    SpiGetPictureFunc function = call.Box.Empty() ? fGetPicture : fGetPreview;
    if (!forBox && !function)
        return nullptr;
    const auto user = reinterpret_cast<intptr_t>(call.Stop);
    TLocalBlock info, bits;
    int32_t result;
    {
        const auto guard = fPlugin->LockForCall();
        result = forBox ? fGetPreviewForBox(source, length, flag, call.Box.Width, call.Box.Height, info.Receive(),
                                            bits.Receive(), StopWhenTold, user)
                        : function(source, length, flag, info.Receive(), bits.Receive(), StopWhenTold, user);
    }
    // Whatever the plug-in handed over before it stopped is freed here,
    // outside the lock.
    if (result == SPI_ABORTED && call.Stopped())
        throw EDecodeStopped();
    if (result != SPI_SUCCESS || info.Empty() || bits.Empty())
        return nullptr;
    return BitmapFromBlocks(info, bits);
}

std::unique_ptr<TBitmap> TInSPI::DecodeFile(const std::string& fileName, int64_t offset, const TDecodeCall& call)
{
    return Decode(fileName.c_str(), static_cast<intptr_t>(offset), SPI_SOURCE_FILE, call);
}

std::unique_ptr<TBitmap> TInSPI::DecodeStream(TMemoryStream& stream, int64_t offset, const TDecodeCall& call)
{
    if (offset < 0 || offset >= stream.Size())
        return nullptr;
    return Decode(reinterpret_cast<const char*>(stream.Memory() + offset),
                  static_cast<intptr_t>(stream.Size() - offset), SPI_SOURCE_MEMORY, call);
}

std::optional<TPictureDims> TInSPI::QueryDims(const char* source, intptr_t length, uint32_t flag)
{
    if (!fGetPictureInfo)
        return std::nullopt;
    SpiPictureInfo info{};
    int32_t result;
    {
        const auto guard = fPlugin->LockForCall();
        result = fGetPictureInfo(source, length, flag, &info);
    }
    if (info.hInfo)
        LocalFree(info.hInfo);
    if (result != SPI_SUCCESS || info.width <= 0 || info.height <= 0)
        return std::nullopt;
    return TPictureDims{info.width, info.height};
}

std::optional<TPictureDims> TInSPI::QueryDimsOfFile(const std::string& fileName, int64_t offset)
{
    return QueryDims(fileName.c_str(), static_cast<intptr_t>(offset), SPI_SOURCE_FILE);
}

std::optional<TPictureDims> TInSPI::QueryDimsOfStream(TMemoryStream& stream, int64_t offset)
{
    if (offset < 0 || offset >= stream.Size())
        return std::nullopt;
    return QueryDims(reinterpret_cast<const char*>(stream.Memory() + offset),
                     static_cast<intptr_t>(stream.Size() - offset), SPI_SOURCE_MEMORY);
}

std::unique_ptr<TBitmap> TInSPI::LoadFromFile(const std::string& fileName, int64_t offset, bool preview)
{
    return Load(fileName.c_str(), static_cast<intptr_t>(offset), SPI_SOURCE_FILE, preview);
}

std::unique_ptr<TBitmap> TInSPI::LoadFromStream(TMemoryStream& stream, int64_t offset, bool preview)
{
    if (offset < 0 || offset >= stream.Size())
        return nullptr;
    return Load(reinterpret_cast<const char*>(stream.Memory() + offset), static_cast<intptr_t>(stream.Size() - offset),
                SPI_SOURCE_MEMORY, preview);
}

std::unique_ptr<TLoadImage> TInSPI::LoadImage(TMemoryStream& stream)
{
    if (!fGetPicture || stream.Size() == 0)
        return nullptr;
    TLocalBlock info, bits;
    int32_t result;
    {
        const auto guard = fPlugin->LockForCall();
        result = fGetPicture(reinterpret_cast<const char*>(stream.Memory()), static_cast<intptr_t>(stream.Size()),
                             SPI_SOURCE_MEMORY, info.Receive(), bits.Receive(), IgnoreProgress, 0);
    }
    if (result != SPI_SUCCESS || info.Empty() || bits.Empty())
        return nullptr;
    size_t infoSize = 0, bitsSize = 0;
    const uint8_t* infoBytes = info.Lock(infoSize);
    const uint8_t* bitsBytes = bits.Lock(bitsSize);
    if (!infoBytes || !bitsBytes)
        return nullptr;
    try {
        CheckDib(infoBytes, infoSize, bitsSize, TDibSource::dsPlugin);
        return std::make_unique<TLoadImage>(std::vector<uint8_t>(infoBytes, infoBytes + infoSize),
                                            std::vector<uint8_t>(bitsBytes, bitsBytes + bitsSize));
    } catch (const EMirevaError&) {
        return nullptr;
    }
}

// ---------------------------------------------------------------------------

TDateTime MemberTimeToDateTime(int32_t seconds)
{
    return UnixToDateTime(seconds);
}

void ReadMemberList(const uint8_t* block, size_t size, TArchiveFileList& items)
{
    static_assert(8 + 4 * 4 + 2 * SPI_PATH_FIELD + 4 == sizeof(SpiFileInfo), "the fields below make one record");
    TBinaryReader list(block, size, Tx("書庫の一覧が壊れています"));
    // As many whole records as the block holds; a piece of one at its end is
    // no member.
    while (list.Remaining() >= static_cast<int64_t>(sizeof(SpiFileInfo))) {
        uint8_t method[8];
        list.ReadBytes(method, sizeof method, "method");
        if (method[0] == 0)
            break;
        const uint32_t position = list.ReadU32("position");
        list.Skip(4, "compressed size");
        const uint32_t fileSize = list.ReadU32("size");
        const int32_t timestamp = list.ReadInt32("time");
        char pathField[SPI_PATH_FIELD];
        char nameField[SPI_PATH_FIELD];
        list.ReadBytes(pathField, sizeof pathField, "path");
        list.ReadBytes(nameField, sizeof nameField, "file name");
        list.Skip(4, "checksum");
        try {
            const std::optional<std::string> folder = FieldText(pathField, sizeof pathField);
            const std::optional<std::string> file = FieldText(nameField, sizeof nameField);
            if (!folder || !file)
                continue;
            auto item = std::make_unique<TArchiveFileInfo>();
            item->Position = position;
            item->Size = fileSize;
            item->Time = MemberTimeToDateTime(timestamp);
            std::string path = *folder;
            std::string name = *file;
            std::replace(path.begin(), path.end(), '\\', '/');
            if (!path.empty() && !name.empty()) {
                // Some plug-ins put folders into the file name; joining and
                // splitting again gives a clean split either way.
                std::string joined = Trim(path);
                if (!joined.empty() && joined.back() != '/')
                    joined += '/';
                joined += Trim(name);
                std::replace(joined.begin(), joined.end(), '\\', '/');
                const size_t slash = joined.rfind('/');
                path = joined.substr(0, slash + 1);
                name = joined.substr(slash + 1);
            }
            item->Path = std::move(path);
            item->Name = std::move(name);
            items.push_back(std::move(item));
        } catch (const std::exception&) {
            // One odd member never fails the whole listing.
        }
    }
}

TAmSPI::TAmSPI(std::unique_ptr<TSPI> plugin) : fPlugin(std::move(plugin))
{
    ReadPluginPatterns(*fPlugin, *this);
    Enabled = fPlugin->Loaded();
    if (Enabled) {
        fGetArchiveInfo = reinterpret_cast<SpiGetArchiveInfoFunc>(fPlugin->Symbol("GetArchiveInfo"));
        fGetFileInfo = reinterpret_cast<SpiGetFileInfoFunc>(fPlugin->Symbol("GetFileInfo"));
        fGetFile = reinterpret_cast<SpiGetFileFunc>(fPlugin->Symbol("GetFile"));
    }
}

bool TAmSPI::IsSupported(const std::string& fileName, const uint8_t* header)
{
    const auto guard = fPlugin->LockForCall();
    SpiIsSupportedFunc isSupported = fPlugin->IsSupportedFunc();
    return isSupported && isSupported(fileName.c_str(), header) != 0;
}

void TAmSPI::GetArchiveInfo(const std::string& archiveName, int64_t offset, TArchiveFileList& items)
{
    if (!fGetArchiveInfo)
        return;
    TLocalBlock list;
    int32_t result;
    {
        const auto guard = fPlugin->LockForCall();
        result = fGetArchiveInfo(archiveName.c_str(), static_cast<intptr_t>(offset), SPI_SOURCE_FILE, list.Receive());
    }
    // One well-known LHA plug-in reports 2 for archives it listed fine.
    const bool success =
        result == SPI_SUCCESS || (result == SPI_UNKNOWN_FORMAT && UpperCase(fPlugin->LibraryName()) == "LHASAD.SPI");
    size_t size = 0;
    const uint8_t* block = list.Empty() ? nullptr : list.Lock(size);
    if (success) {
        if (block)
            ReadMemberList(block, size, items);
        return;
    }
    // A failure is never shown as an empty archive. A plug-in that stopped
    // at damage may still hand over the members before it: they are kept,
    // and the caller is told that the list is incomplete.
    const size_t before = items.size();
    if (block)
        ReadMemberList(block, size, items);
    if (items.size() > before)
        throw EArchiveIncomplete(ArchiveIncompleteMessage(archiveName));
    throw EMirevaError(ArchiveNotListedMessage(archiveName));
}

bool TAmSPI::ExtractToFolder(const std::string& archiveName, uint32_t position, const std::string& folder)
{
    if (!fGetFile)
        return false;
    std::vector<char> destination(folder.begin(), folder.end());
    destination.push_back(0);
    const auto guard = fPlugin->LockForCall();
    return fGetFile(archiveName.c_str(), static_cast<intptr_t>(position), destination.data(), SPI_DEST_FOLDER,
                    IgnoreProgress, 0) == SPI_SUCCESS;
}

void TAmSPI::ExtractToStream(const std::string& archiveName, uint32_t position, TMemoryStream& stream)
{
    stream.Clear();
    if (!fGetFile)
        return;
    TLocalBlock member;
    int32_t result;
    {
        const auto guard = fPlugin->LockForCall();
        result = fGetFile(archiveName.c_str(), static_cast<intptr_t>(position), reinterpret_cast<char*>(member.Receive()),
                          SPI_DEST_MEMORY, IgnoreProgress, 0);
    }
    if (result != SPI_SUCCESS || member.Empty())
        return;
    size_t size = 0;
    const uint8_t* bytes = member.Lock(size);
    if (!bytes)
        return;
    stream.WriteBuffer(bytes, static_cast<int64_t>(size));
    stream.SetPosition(0);
}

// ---------------------------------------------------------------------------

std::string DefaultSusiePluginFolder()
{
    std::string folder = GetEnv("SUSIE_PLUGIN_PATH");
    if (folder.empty()) {
        std::string data = GetEnv("XDG_DATA_HOME");
        if (data.empty() || !IsAbsolutePath(data))
            data = HomeDirectory() + ".local/share/";
        folder = JoinPath(data, "susie/plugins");
    }
    folder = IncludeTrailingPathDelimiter(folder);
    return DirectoryExists(folder) ? folder : std::string();
}

namespace {

struct TFoundPlugin {
    std::string Name;
    std::string Folder;
};

// The plug-in files of the candidate folders, sorted by name without case;
// for a name found in several folders the first folder wins.
std::vector<TFoundPlugin> FindPluginFiles(const TPluginSettings& settings, const TPluginFolders& folders)
{
    std::vector<std::string> candidates;
    if (settings.SearchPluginPath && !Trim(settings.SPIPath).empty())
        candidates.push_back(IncludeTrailingPathDelimiter(Trim(settings.SPIPath)));
    if (settings.SearchProgramFolder && !folders.ProgramFolder.empty())
        candidates.push_back(IncludeTrailingPathDelimiter(folders.ProgramFolder));
    if (settings.SearchSusieFolder && !folders.SusieFolder.empty())
        candidates.push_back(IncludeTrailingPathDelimiter(folders.SusieFolder));

    std::vector<TFoundPlugin> found;
    for (const std::string& folder : candidates) {
        std::vector<TDirEntry> entries;
        try {
            entries = ListDirectory(folder);
        } catch (const EMirevaError&) {
            continue;  // a folder that is missing or unreadable is skipped
        }
        for (const TDirEntry& entry : entries) {
            if (entry.Status.Kind != TFileKind::fkFile || !IsPluginFileName(entry.Name))
                continue;
            const bool known = std::any_of(found.begin(), found.end(),
                                           [&](const TFoundPlugin& f) { return SameText(f.Name, entry.Name); });
            if (!known)
                found.push_back({entry.Name, folder});
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const TFoundPlugin& a, const TFoundPlugin& b) {
        const int order = CompareText(a.Name, b.Name);
        return order != 0 ? order < 0 : a.Name < b.Name;
    });
    return found;
}

template <typename Spi, typename Base>
void LoadKnownPlugins(std::vector<TPluginUseEntry>& useList, std::vector<std::unique_ptr<Base>>& plugins,
                      std::vector<TFoundPlugin>& found, TPluginKind kind)
{
    std::vector<std::unique_ptr<Base>> ordered;
    for (size_t i = useList.size(); i-- > 0;) {
        const TPluginUseEntry entry = useList[i];
        const auto file = std::find_if(found.begin(), found.end(),
                                       [&](const TFoundPlugin& f) { return SameText(f.Name, entry.FileName); });
        if (file == found.end()) {
            useList.erase(useList.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        auto plugin = std::make_unique<TSPI>(file->Folder + file->Name, entry.Enabled);
        const TPluginKind actual = plugin->PluginKind();
        if (actual != kind) {
            useList.erase(useList.begin() + static_cast<std::ptrdiff_t>(i));
            // A library that now reports the other kind is still a plug-in:
            // leave it to the other list or to the new plug-ins.
            if (actual == TPluginKind::pkNone)
                found.erase(file);
            continue;
        }
        auto loader = std::make_unique<Spi>(std::move(plugin));
        if (!entry.Enabled)
            loader->Plugin().Unload();
        ordered.insert(ordered.begin(), std::move(loader));
        found.erase(file);
    }
    for (auto& loader : ordered)
        plugins.push_back(std::move(loader));
}

}  // namespace

void ScanPlugins(TPluginSettings& settings, const TPluginFolders& folders, TPluginScan& result)
{
    std::vector<TFoundPlugin> found = FindPluginFiles(settings, folders);
    LoadKnownPlugins<TInSPI>(settings.UseInList, result.InPlugins, found, TPluginKind::pkImage);
    LoadKnownPlugins<TAmSPI>(settings.UseAmList, result.AmPlugins, found, TPluginKind::pkArchive);
    for (const TFoundPlugin& file : found) {
        auto plugin = std::make_unique<TSPI>(file.Folder + file.Name, true);
        switch (plugin->PluginKind()) {
        case TPluginKind::pkImage:
            result.InPlugins.push_back(std::make_unique<TInSPI>(std::move(plugin)));
            settings.UseInList.push_back({file.Name, true});
            break;
        case TPluginKind::pkArchive:
            result.AmPlugins.push_back(std::make_unique<TAmSPI>(std::move(plugin)));
            settings.UseAmList.push_back({file.Name, true});
            break;
        case TPluginKind::pkNone:
            break;
        }
    }
}

TPluginScanner PluginFolderScanner(const TPluginFolders& folders)
{
    return [folders](TPluginSettings& settings, TPluginScan& found) { ScanPlugins(settings, folders, found); };
}
