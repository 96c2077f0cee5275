#pragma once

// TThumbMaker turns one picture into a thumbnail: it loads the file (or an
// archive member held in memory), JPEG files first at the reduced size their
// decoder offers, fits the picture into the thumbnail box without ever
// enlarging it, scales it with the method the user chose for thumbnails, and
// encodes the result as the baseline JPEG the store keeps. It knows nothing of
// stores or queues; the enumeration asks it for pictures it has no valid
// stored thumbnail for.
//
// A maker holds no state that changes, so one maker serves every worker of an
// enumeration at once: every method may run on any thread.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/Stream.h"
#include "common/Bitmap.h"
#include "imaging/Stretch.h"
#include "loading/FileLoader.h"
#include "thumbnails/ThumbFiles.h"

// A thumbnail just made: the scaled picture the view shows, the bytes the
// store keeps, and the facts of the source picture.
struct TMadeThumbnail {
    std::shared_ptr<const TBitmap> Picture;
    std::vector<uint8_t> Jpeg;
    int32_t Width = 0;   // of the source picture
    int32_t Height = 0;
    int32_t Bits = 0;    // of the source picture as loaded; 0 when unknown
};

// The bits per pixel a store records for a picture loaded in format.
int32_t BitsOfFormat(PixelFormat format);

// Whether a name is one the JPEG decoders may read at reduced size.
bool IsJpegName(const std::string& name);

class TThumbMaker {
public:
    // loaders must stay the set the enumeration started with; halfTone, when
    // given, must outlive the maker (null: the desktop-free fallback).
    TThumbMaker(TLoaderSetPtr loaders, int32_t boxWidth, int32_t boxHeight, TStretchMode mode,
                const THalfToneStretch* halfTone = nullptr);

    const TLoaderSetPtr& Loaders() const { return fLoaders; }
    int32_t BoxWidth() const { return fBoxWidth; }
    int32_t BoxHeight() const { return fBoxHeight; }
    // The name's upper-cased extension is a picture extension of the set.
    bool IsPictureName(const std::string& name) const;

    // The thumbnail of a picture file; nothing when it cannot be loaded,
    // is empty, or cannot be scaled or encoded. Any thread.
    std::optional<TMadeThumbnail> FromFile(const std::string& path) const;
    // The same for a picture held in memory (an archive member); name gives
    // the extension. The stream is read from its start. Any thread.
    std::optional<TMadeThumbnail> FromStream(const std::string& name, TMemoryStream& stream) const;
    // The last step of both: fits, scales and encodes a loaded picture whose
    // real size is sourceWidth x sourceHeight. Any thread.
    std::optional<TMadeThumbnail> FromPicture(TBitmap picture, int32_t sourceWidth, int32_t sourceHeight) const;

private:
    // The preview covers the box in one direction at least, or is the whole
    // picture (of real size): enough to scale from without decoding the
    // picture again.
    bool PreviewServes(const TBitmap& preview, TThumbSize real) const;

    TLoaderSetPtr fLoaders;
    int32_t fBoxWidth;
    int32_t fBoxHeight;
    TStretchMode fMode;
    TStretcher fStretcher;
};
