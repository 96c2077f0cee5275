#pragma once

// The image cache's decoder for real files: pictures are loaded through a
// loader set exactly as the shown pages are (LoadPicture for a file,
// LoadArchivePicture for an archive member), brought to 24-bit or 8-bit gray,
// then filtered and rotated by the viewer's finishing step. Nothing here ever
// shows a message: a failure gives a slot without bitmap, and the viewer
// loads that picture itself when it needs it, with its message.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "imaging/FilterItem.h"
#include "loading/FileLoader.h"
#include "viewer/Cache.h"
#include "viewer/PageViewer.h"

// The archive the image list lies in.
struct TArchiveSource {
    std::string ArchiveName;
    TArchiveLoader* Loader = nullptr;
    // Whatever keeps the archive and its loader valid (the open archive
    // object, which holds the loader set it was opened with); held for as
    // long as the decoder lives.
    std::shared_ptr<void> KeepAlive;
};

// Applies the active filter list and the rotation to a prepared picture; may
// replace the bitmap. Runs on the cache thread, so it must work on its own
// copy of the filter list and rotation taken when the cache was created.
using TPictureFinish = std::function<void(std::unique_ptr<TBitmap>& bitmap, bool gray)>;

// The finishing step of every loaded picture: the filter list (copied, so
// the cache thread keeps it however the user changes the sets meanwhile),
// then the rotation, quarter turns only for portrait pictures with
// portraitOnly. No filters and no rotation give an empty step.
TPictureFinish MakePictureFinish(const TFilterList* filters, TRotation rotation, bool portraitOnly);

// A loaded picture made into a slot: prepared (size and depth as loaded
// recorded), then finished. A null bitmap gives a slot without bitmap.
TImageSlot PreparePicture(int index, std::unique_ptr<TBitmap> bitmap, const TPictureFinish& finish);

// The whole picture scaled to width x height with a resampler ("Stretch" 1
// to 4) by the view's own scaler, so that the pixels are the ones the view
// would make, on at most maxBands processors (0: all of them). Null for the
// desktop's smooth stretch or a size of 0. Any thread.
std::shared_ptr<TBitmap> PrescalePicture(const TBitmap& picture, bool gray, int width, int height, TStretchMode stretch,
                                         int maxBands = 0);

// What the viewer's loads may cost: the picture budget (the PICTURE options),
// and the box of the fitted view, asked at each load; pictures above the
// budget's lower threshold are decoded reduced for that box. Without a box
// every picture is decoded in full. The cache thread asks for the box too, so
// the function may only read what any thread may (an atomic the window keeps
// up to date).
struct TPictureLimits {
    TPictureBudget Budget;
    std::function<TPreviewBox()> FitBox;

    // The limits of one load, read now, against the machine's free memory.
    TDecodeLimits ForLoad(const std::atomic<bool>* stop = nullptr) const;
};

// A picture decoded reduced keeps the size its header declared as its
// loaded size, so that the caption shows the picture's real size.
TImageSlot PrepareLimitedPicture(int index, TLimitedLoad load, const TPictureFinish& finish);

class TLoaderCacheDecoder : public TCacheDecoder {
public:
    // The decoder loads through the loader set it is given, whatever the
    // registry does meanwhile; a cache started after a rebuild gets the new
    // one. online answers for media lists whether an item's medium is
    // present (cache thread).
    TLoaderCacheDecoder(TLoaderSetPtr loaders, std::optional<TArchiveSource> archive, TPictureFinish finish,
                        std::function<bool(const TCacheItem&)> online = nullptr,
                        TPictureLimits limits = {});

    TImageSlot Decode(const TCacheItem& item) override;
    TImageSlot DecodeBytes(const TCacheItem& item, TMemoryStream& bytes) override;
    TReadResult ReadBytes(const TCacheItem& item, int64_t maxBytes, TMemoryStream& out) override;
    bool IsOnline(const TCacheItem& item) override;
    // With the four resamplers; the desktop's smooth stretch (0) is left to
    // the view.
    std::shared_ptr<TBitmap> Prescale(const TBitmap& picture, bool gray, int width, int height, TStretchMode stretch) override;

private:
    TLoaderSetPtr fLoaders;
    std::optional<TArchiveSource> fArchive;
    TPictureFinish fFinish;
    std::function<bool(const TCacheItem&)> fOnline;
    TPictureLimits fLimits;
};

// The shown pages' loader: the same load, prepare and finish path as the
// cache's decoder, but with the window as owner, so that a picture that cannot
// be read shows the loader's message. finish is asked for the finishing step
// in force at each load (the filter and rotation may change between loads).
// It loads through the loader set it is given; the window makes a new source
// after the loaders were rebuilt. User-interface thread, but for the jobs it
// prepares: those load the same way on any thread, keep the messages and
// show them to the owner when finished.
class TLoaderPictureSource : public TPictureSource {
public:
    TLoaderPictureSource(TLoaderSetPtr loaders, std::optional<TArchiveSource> archive, TUserNotifier* owner,
                         std::function<TPictureFinish()> finish, TPictureLimits limits = {});

    TImageSlot Load(const TCacheItem& item) override;
    std::unique_ptr<TPictureLoadJob> PrepareLoad(const TCacheItem& item) override;
    // Within the budget, but never reduced for the box.
    std::unique_ptr<TPictureLoadJob> PrepareFullLoad(const TCacheItem& item) override;
    std::shared_ptr<TBitmap> Prescale(const TBitmap& picture, bool gray, int width, int height, TStretchMode stretch) override;

private:
    TLoaderSetPtr fLoaders;
    std::optional<TArchiveSource> fArchive;
    TUserNotifier* fOwner;
    std::function<TPictureFinish()> fFinish;
    TPictureLimits fLimits;
};
