#include "thumbnails/ThumbMaker.h"

#include <algorithm>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "common/Text.h"
#include "loading/ImgLoader.h"
#include "platform/FileStream.h"
#include "thumbnails/ThumbFiles.h"

namespace {

// A JPEG file is read into memory once: the reduced decode and the frame
// header's size both come from those bytes. A file larger than the plug-ins
// read into memory themselves (2 GiB) gives no thumbnail, as before.
constexpr int64_t MaxJpegBytes = int64_t(1) << 31;

std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    TFileStream file(path, TFileMode::fmOpenRead);
    const int64_t size = file.Size();
    if (size > MaxJpegBytes)
        return {};
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    bytes.resize(static_cast<size_t>(file.Read(bytes.data(), static_cast<int64_t>(bytes.size()))));
    return bytes;
}

}  // namespace

int32_t BitsOfFormat(PixelFormat format)
{
    switch (format) {
    case PixelFormat::Bits1: return 1;
    case PixelFormat::Bits4: return 4;
    case PixelFormat::Bits8: return 8;
    case PixelFormat::Bits15:
    case PixelFormat::Bits16: return 16;
    case PixelFormat::Bits24: return 24;
    case PixelFormat::Bits32: return 32;
    default: return 0;
    }
}

bool IsJpegName(const std::string& name)
{
    const std::string ext = UpperCase(ExtractFileExt(name));
    return ext == ".JPG" || ext == ".JPEG";
}

TThumbMaker::TThumbMaker(TLoaderSetPtr loaders, int32_t boxWidth, int32_t boxHeight, TStretchMode mode,
                         const THalfToneStretch* halfTone)
    : fLoaders(std::move(loaders)), fBoxWidth(std::max(boxWidth, 1)), fBoxHeight(std::max(boxHeight, 1)), fMode(mode),
      fStretcher(halfTone)
{
}

bool TThumbMaker::IsPictureName(const std::string& name) const
{
    const std::string ext = ExtractFileExt(name);
    return !ext.empty() && fLoaders && fLoaders->IsImageExtension(ext);
}

bool TThumbMaker::PreviewServes(const TBitmap& preview, TThumbSize real) const
{
    if (preview.IsEmpty())
        return false;
    return preview.Width() >= fBoxWidth || preview.Height() >= fBoxHeight ||
           (preview.Width() == real.Width && preview.Height() == real.Height);
}

std::optional<TMadeThumbnail> TThumbMaker::FromFile(const std::string& path) const
{
    if (!fLoaders)
        return std::nullopt;
    try {
        if (IsJpegName(path)) {
            TMemoryStream stream(ReadFileBytes(path));
            return FromStream(path, stream);
        }
        std::unique_ptr<TBitmap> picture = fLoaders->LoadFromFile(path, false);
        if (!picture || picture->IsEmpty())
            return std::nullopt;
        const int32_t width = picture->Width();
        const int32_t height = picture->Height();
        return FromPicture(std::move(*picture), width, height);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<TMadeThumbnail> TThumbMaker::FromStream(const std::string& name, TMemoryStream& stream) const
{
    if (!fLoaders || stream.Size() == 0)
        return std::nullopt;
    try {
        std::unique_ptr<TBitmap> picture;
        TThumbSize real;
        if (IsJpegName(name)) {
            stream.SetPosition(0);
            picture = fLoaders->LoadPreviewFromStream(name, stream, {fBoxWidth, fBoxHeight});
            if (picture)
                real = JpegFrameSize(stream.Memory(), static_cast<size_t>(stream.Size()));
            if (picture && !PreviewServes(*picture, real)) {
                picture.reset();
                real = {};
            }
        }
        if (!picture) {
            stream.SetPosition(0);
            picture = fLoaders->LoadFromStream(name, stream, false);
        }
        if (!picture || picture->IsEmpty())
            return std::nullopt;
        // A frame header that names no size (damaged, or a frame type the
        // scan does not know) must not make a thumbnail of a 0 x 0 picture:
        // the picture that was decoded tells its own size then.
        if (real.Width <= 0 || real.Height <= 0)
            real = {picture->Width(), picture->Height()};
        return FromPicture(std::move(*picture), real.Width, real.Height);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<TMadeThumbnail> TThumbMaker::FromPicture(TBitmap picture, int32_t sourceWidth,
                                                       int32_t sourceHeight) const
{
    if (picture.IsEmpty() || sourceWidth <= 0 || sourceHeight <= 0)
        return std::nullopt;
    TMadeThumbnail made;
    made.Width = sourceWidth;
    made.Height = sourceHeight;
    made.Bits = BitsOfFormat(picture.LoadedFormat());
    try {
        // The fitted size comes from the real size, so that a reduced
        // preview gives the thumbnail a full decode would have given.
        const TThumbSize fit = FitThumbnail(sourceWidth, sourceHeight, fBoxWidth, fBoxHeight);
        const int32_t width = std::min(fit.Width, picture.Width());
        const int32_t height = std::min(fit.Height, picture.Height());
        const bool gray = IsGrayBitmap(picture);
        // Colour-mapped pictures are scaled as colour; the resamplers
        // average pixels, not palette indices.
        if (!gray && picture.BitsPerPixel() != 24 && fMode != TStretchMode::smHalfTone)
            picture.ConvertTo24();
        if (width != picture.Width() || height != picture.Height()) {
            const PixelFormat loaded = picture.LoadedFormat();
            fStretcher.Stretch(&picture, nullptr, width, height, fMode, 0, 0, TVisibleRect{0, 0, width, height});
            if (picture.Width() != width || picture.Height() != height)
                return std::nullopt;
            picture.SetLoadedFormat(loaded);
        }
        made.Jpeg = EncodeJpeg(picture);
        made.Picture = std::make_shared<const TBitmap>(std::move(picture));
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return made;
}
