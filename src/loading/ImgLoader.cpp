#include "loading/ImgLoader.h"

#include <algorithm>

#include "base/Errors.h"
#include "platform/FileStream.h"
#include "base/Texts.h"

namespace {

// The most bytes a readable bitmap file can need: a 32-bit picture at the
// program's pixel limit, plus room for headers and a colour table. Anything
// behind that in a file is never looked at, so a huge file costs no more
// memory than the largest picture would.
constexpr int64_t MaxBitmapFileBytes = static_cast<int64_t>(TBitmap::MaxBytes / 3 * 4) + (int64_t(1) << 20);

std::unique_ptr<TBitmap> DecodeFrom(const uint8_t* data, int64_t size, int64_t offset,
                                    const std::atomic<bool>* stop = nullptr)
{
    if (offset < 0 || offset > size)
        throw EInvalidGraphic(Tx("ビットマップのデータが途中で終わっています"));
    return std::make_unique<TBitmap>(DecodeBmpFile(data + offset, static_cast<size_t>(size - offset), stop));
}

// The bytes of the bitmap file that starts offset bytes into fileName, at
// most as many as a readable bitmap can need.
std::vector<uint8_t> ReadBitmapFile(const std::string& fileName, int64_t offset)
{
    // The file is closed on every path by the stream's destructor.
    TFileStream file(fileName, TFileMode::fmOpenRead);
    const int64_t size = file.Size();
    if (offset < 0 || offset > size)
        throw EInvalidGraphic(Tx("ビットマップのデータが途中で終わっています"));
    const int64_t length = std::min(size - offset, MaxBitmapFileBytes);
    std::vector<uint8_t> data(static_cast<size_t>(length));
    file.SetPosition(offset);
    file.ReadBuffer(data.data(), length);
    return data;
}

}  // namespace

TBitmapLoader::TBitmapLoader()
{
    Enabled = true;
    Extensions.push_back("*.bmp");
    Descriptions.push_back("Bitmap (*.bmp)");
}

bool TBitmapLoader::IsSupported(const std::string& fileName, const uint8_t* header)
{
    return header && header[0] == 'B' && header[1] == 'M';
}

std::unique_ptr<TBitmap> TBitmapLoader::LoadFromFile(const std::string& fileName, int64_t offset, bool preview)
{
    const std::vector<uint8_t> data = ReadBitmapFile(fileName, offset);
    return DecodeFrom(data.data(), static_cast<int64_t>(data.size()), 0);
}

std::unique_ptr<TBitmap> TBitmapLoader::DecodeFile(const std::string& fileName, int64_t offset,
                                                   const TDecodeCall& call)
{
    if (call.Stopped())
        throw EDecodeStopped();
    const std::vector<uint8_t> data = ReadBitmapFile(fileName, offset);
    return DecodeFrom(data.data(), static_cast<int64_t>(data.size()), 0, call.Stop);
}

std::unique_ptr<TBitmap> TBitmapLoader::DecodeStream(TMemoryStream& stream, int64_t offset, const TDecodeCall& call)
{
    return DecodeFrom(stream.Memory(), stream.Size(), offset, call.Stop);
}

std::unique_ptr<TBitmap> TBitmapLoader::LoadFromStream(TMemoryStream& stream, int64_t offset, bool preview)
{
    return DecodeFrom(stream.Memory(), stream.Size(), offset);
}

std::unique_ptr<TLoadImage> TBitmapLoader::LoadImage(TMemoryStream& stream)
{
    return std::make_unique<TLoadImage>(DecodeFrom(stream.Memory(), stream.Size(), stream.Position()));
}
