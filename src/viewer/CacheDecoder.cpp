#include "viewer/CacheDecoder.h"

#include <algorithm>
#include <cmath>

#include "imaging/FilterProc.h"
#include "imaging/ImgUtils.h"
#include "viewer/ReadAhead.h"
#include "viewer/StretchScaler.h"

TPictureFinish MakePictureFinish(const TFilterList* filters, TRotation rotation, bool portraitOnly)
{
    const bool filtering = filters && !filters->empty();
    if (!filtering && rotation == TRotation::rtNone)
        return {};
    TFilterList items = filtering ? *filters : TFilterList{};
    return [items = std::move(items), mode = rotation, portraitOnly](std::unique_ptr<TBitmap>& bitmap, bool gray) {
        if (!bitmap)
            return;
        if (!items.empty())
            ApplyFilters(*bitmap, items, gray);
        if (mode != TRotation::rtNone)
            RotateBitmap(*bitmap, mode, portraitOnly, gray);
    };
}

TImageSlot PreparePicture(int index, std::unique_ptr<TBitmap> bitmap, const TPictureFinish& finish)
{
    TImageSlot slot;
    slot.Index = index;
    if (!bitmap || bitmap->IsEmpty())
        return slot;
    const TPreparedInfo info = PrepareLoadedBitmap(*bitmap);
    slot.LoadedWidth = info.Width;
    slot.LoadedHeight = info.Height;
    slot.PixelFormat = info.Format;
    if (finish)
        finish(bitmap, info.Gray);
    if (!bitmap)
        return slot;
    // A filter may have turned a gray picture into colour or back.
    slot.Gray = bitmap->BitsPerPixel() == 8 && bitmap->IsGray();
    slot.Bitmap = std::shared_ptr<TBitmap>(std::move(bitmap));
    return slot;
}

TDecodeLimits TPictureLimits::ForLoad(const std::atomic<bool>* stop) const
{
    TDecodeLimits limits = DefaultDecodeLimits();
    limits.Budget = Budget;
    if (FitBox)
        limits.FitBox = FitBox();
    limits.Stop = stop;
    return limits;
}

namespace {

// A side of the reduced bitmap at the picture's full scale.
int32_t FullSide(int side, double scale)
{
    const double full = std::round(side * scale);
    return static_cast<int32_t>(std::clamp(full, 1.0, static_cast<double>(TBitmap::MaxSide)));
}

}  // namespace

TImageSlot PrepareLimitedPicture(int index, TLimitedLoad load, const TPictureFinish& finish)
{
    TImageSlot slot = PreparePicture(index, std::move(load.Bitmap), finish);
    if (load.Reduced && slot.HasBitmap() && load.Dims && slot.LoadedWidth > 0 && slot.LoadedHeight > 0) {
        // The decoded size, before the finishing step turned or trimmed it.
        const double xScale = static_cast<double>(load.Dims->Width) / slot.LoadedWidth;
        const double yScale = static_cast<double>(load.Dims->Height) / slot.LoadedHeight;
        const bool turned = slot.LoadedWidth != slot.LoadedHeight && slot.Width() == slot.LoadedHeight &&
                            slot.Height() == slot.LoadedWidth;
        slot.Reduced = true;
        slot.LoadedWidth = static_cast<int32_t>(load.Dims->Width);
        slot.LoadedHeight = static_cast<int32_t>(load.Dims->Height);
        // The picture in full, as the finishing step would have left it.
        slot.FullWidth = FullSide(slot.Width(), turned ? yScale : xScale);
        slot.FullHeight = FullSide(slot.Height(), turned ? xScale : yScale);
    }
    return slot;
}

namespace {

// An item's picture from its archive, or from its file when there is none.
TLimitedLoad LoadItem(const TFileLoaderList& loaders, const std::optional<TArchiveSource>& archive,
                      const TCacheItem& item, TUserNotifier* owner, const TDecodeLimits& limits)
{
    if (archive && archive->Loader)
        return LoadArchivePictureLimited(loaders, archive->ArchiveName, item.Path, *archive->Loader, owner,
                                         item.Member, limits);
    return LoadPictureLimited(loaders, item.Path, nullptr, owner, limits);
}

// The slot of a picture that could not be read: its position, no pixels.
TImageSlot NotRead(int index)
{
    TImageSlot slot;
    slot.Index = index;
    return slot;
}

}  // namespace

TLoaderCacheDecoder::TLoaderCacheDecoder(TLoaderSetPtr loaders, std::optional<TArchiveSource> archive,
                                         TPictureFinish finish, std::function<bool(const TCacheItem&)> online,
                                         TPictureLimits limits)
    : fLoaders(std::move(loaders)), fArchive(std::move(archive)), fFinish(std::move(finish)), fOnline(std::move(online)),
      fLimits(std::move(limits))
{
}

TImageSlot TLoaderCacheDecoder::Decode(const TCacheItem& item)
{
    try {
        return PrepareLimitedPicture(item.Index, LoadItem(*fLoaders, fArchive, item, nullptr, fLimits.ForLoad()),
                                     fFinish);
    } catch (const std::exception&) {
        return NotRead(item.Index);
    }
}

TImageSlot TLoaderCacheDecoder::DecodeBytes(const TCacheItem& item, TMemoryStream& bytes)
{
    try {
        bytes.SetPosition(0);
        return PrepareLimitedPicture(
            item.Index, LoadPictureLimited(*fLoaders, item.Path, &bytes, nullptr, fLimits.ForLoad()), fFinish);
    } catch (const std::exception&) {
        return NotRead(item.Index);
    }
}

TReadResult TLoaderCacheDecoder::ReadBytes(const TCacheItem& item, int64_t maxBytes, TMemoryStream& out)
{
    if (!fArchive || !fArchive->Loader)
        return ReadFileAhead(item.Path, maxBytes, out);
    // Whatever the outcome, the stream holds nothing but this member's bytes,
    // as with a file read ahead.
    out.Clear();
    // An archive member's size is known from the listing: a member that
    // would not fit is not extracted at all.
    if (item.Size > maxBytes)
        return TReadResult::rrTooLarge;
    try {
        // A plug-in loader takes the loader lock itself around its call.
        fArchive->Loader->ExtractToStream(fArchive->ArchiveName, item.Member, out);
    } catch (const std::exception&) {
        out.Clear();
        return TReadResult::rrFailed;
    }
    if (out.Size() == 0)
        return TReadResult::rrEmpty;
    // The listing may have understated the size.
    if (out.Size() > maxBytes) {
        out.Clear();
        return TReadResult::rrTooLarge;
    }
    out.SetPosition(0);
    return TReadResult::rrRead;
}

std::shared_ptr<TBitmap> PrescalePicture(const TBitmap& picture, bool gray, int width, int height, TStretchMode stretch,
                                         int maxBands)
{
    if (!MethodOfStretchMode(stretch) || width <= 0 || height <= 0)
        return nullptr;
    auto scaled = std::make_shared<TBitmap>(width, height, gray ? 8 : 24);
    if (gray)
        scaled->SetGrayPalette();
    TStretchPageScaler scaler(nullptr, maxBands);
    scaler.SetStretch(stretch);
    scaler.Scale(picture, gray, *scaled, width, height, 0, 0, TRect{0, 0, width, height});
    return scaled;
}

std::shared_ptr<TBitmap> TLoaderCacheDecoder::Prescale(const TBitmap& picture, bool gray, int width, int height,
                                                       TStretchMode stretch)
{
    return PrescalePicture(picture, gray, width, height, stretch);
}

bool TLoaderCacheDecoder::IsOnline(const TCacheItem& item)
{
    return fOnline ? fOnline(item) : true;
}

TLoaderPictureSource::TLoaderPictureSource(TLoaderSetPtr loaders, std::optional<TArchiveSource> archive,
                                           TUserNotifier* owner, std::function<TPictureFinish()> finish,
                                           TPictureLimits limits)
    : fLoaders(std::move(loaders)), fArchive(std::move(archive)), fOwner(owner), fFinish(std::move(finish)),
      fLimits(std::move(limits))
{
}

TImageSlot TLoaderPictureSource::Load(const TCacheItem& item)
{
    const TPictureFinish finish = fFinish ? fFinish() : TPictureFinish{};
    try {
        return PrepareLimitedPicture(item.Index, LoadItem(*fLoaders, fArchive, item, fOwner, fLimits.ForLoad()),
                                     finish);
    } catch (const std::exception& e) {
        // The loaders report their own failures; this is what is left (no
        // memory for a filter's copy, a damaged picture found while
        // finishing it).
        if (fOwner)
            fOwner->ShowMessage(e.what(), TMessageIcon::miWarning);
        return NotRead(item.Index);
    }
}

namespace {

// Keeps what a load on a worker would have shown, for the user-interface
// thread to show afterwards. Used by one thread at a time: the worker while
// it loads, then the user-interface thread.
class TKeptMessages : public TUserNotifier {
public:
    void ShowMessage(const std::string& text, TMessageIcon icon) override { fMessages.emplace_back(text, icon); }
    void ShowTo(TUserNotifier& owner) const
    {
        for (const auto& [text, icon] : fMessages)
            owner.ShowMessage(text, icon);
    }

private:
    std::vector<std::pair<std::string, TMessageIcon>> fMessages;
};

// Load of TLoaderPictureSource, run on a worker: the same loaders, archive
// and finishing step, taken when the job was prepared.
class TLoaderLoadJob : public TPictureLoadJob {
public:
    TLoaderLoadJob(TLoaderSetPtr loaders, std::optional<TArchiveSource> archive, TCacheItem item,
                   TPictureFinish finish, TUserNotifier* owner, TDecodeLimits limits)
        : fLoaders(std::move(loaders)), fArchive(std::move(archive)), fItem(std::move(item)),
          fFinish(std::move(finish)), fOwner(owner), fLimits(std::move(limits))
    {
    }

    void Run() override { RunUntil(std::atomic<bool>{false}); }
    void RunUntil(const std::atomic<bool>& stop) override
    {
        // Without an owner nothing would be shown, so nothing is kept.
        TUserNotifier* kept = fOwner ? &fKept : nullptr;
        TDecodeLimits limits = fLimits;
        limits.Stop = &stop;
        try {
            fSlot = PrepareLimitedPicture(fItem.Index, LoadItem(*fLoaders, fArchive, fItem, kept, limits), fFinish);
        } catch (const std::exception& e) {
            if (kept)
                kept->ShowMessage(e.what(), TMessageIcon::miWarning);
            fSlot = NotRead(fItem.Index);
        }
    }
    const TImageSlot& Loaded() const override { return fSlot; }
    TImageSlot Finish() override
    {
        if (fOwner)
            fKept.ShowTo(*fOwner);
        return std::move(fSlot);
    }

private:
    TLoaderSetPtr fLoaders;
    std::optional<TArchiveSource> fArchive;
    TCacheItem fItem;
    TPictureFinish fFinish;
    TUserNotifier* fOwner;
    // Read when the job was prepared: the box of the view as it was then.
    TDecodeLimits fLimits;
    TKeptMessages fKept;
    TImageSlot fSlot;
};

}  // namespace

std::unique_ptr<TPictureLoadJob> TLoaderPictureSource::PrepareLoad(const TCacheItem& item)
{
    // The finishing step is asked for here, on the user-interface thread,
    // where the filter and rotation in force are read.
    return std::make_unique<TLoaderLoadJob>(fLoaders, fArchive, item, fFinish ? fFinish() : TPictureFinish{},
                                            fOwner, fLimits.ForLoad());
}

std::unique_ptr<TPictureLoadJob> TLoaderPictureSource::PrepareFullLoad(const TCacheItem& item)
{
    TDecodeLimits limits = fLimits.ForLoad();
    limits.FitBox = TPreviewBox{};
    return std::make_unique<TLoaderLoadJob>(fLoaders, fArchive, item, fFinish ? fFinish() : TPictureFinish{}, fOwner,
                                            std::move(limits));
}

std::shared_ptr<TBitmap> TLoaderPictureSource::Prescale(const TBitmap& picture, bool gray, int width, int height,
                                                        TStretchMode stretch)
{
    // The partner decodes meanwhile: one processor.
    return PrescalePicture(picture, gray, width, height, stretch, 1);
}
