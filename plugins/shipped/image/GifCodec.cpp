// GIF through giflib: the first frame on the logical screen, interlaced or
// not, as an 8-bit picture with the frame's colour table. Transparent pixels
// show white, as on a page; the screen around the frame shows the background
// colour (white too when the picture has transparency).

#include <algorithm>
#include <cstring>
#include <vector>

#include <gif_lib.h>

#include "kit/ImagePlugin.h"

using namespace spikit;

namespace {

const char* const Groups[] = {"*.gif", "GIF", nullptr};

bool Sniff(const uint8_t* header, size_t size)
{
    return size >= 6 && (std::memcmp(header, "GIF87a", 6) == 0 || std::memcmp(header, "GIF89a", 6) == 0);
}

struct TReader {
    const uint8_t* Data;
    size_t Size;
    size_t Position;
};

int ReadBytes(GifFileType* gif, GifByteType* buffer, int count)
{
    auto* reader = static_cast<TReader*>(gif->UserData);
    const size_t left = reader->Size - reader->Position;
    const size_t take = std::min(left, static_cast<size_t>(count < 0 ? 0 : count));
    std::memcpy(buffer, reader->Data + reader->Position, take);
    reader->Position += take;
    return static_cast<int>(take);
}

class TGifFile {
public:
    explicit TGifFile(TReader& reader)
    {
        int error = 0;
        fGif = DGifOpen(&reader, ReadBytes, &error);
    }
    ~TGifFile()
    {
        if (fGif) {
            int error = 0;
            DGifCloseFile(fGif, &error);
        }
    }
    GifFileType* Get() const { return fGif; }

private:
    GifFileType* fGif = nullptr;
};

int32_t DecodeFrame(GifFileType* gif, int transparent, TDibBuilder& out)
{
    if (DGifGetImageDesc(gif) == GIF_ERROR)
        return SPI_BROKEN_DATA;
    const GifImageDesc& desc = gif->Image;
    const ColorMapObject* colors = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (!colors || desc.Width <= 0 || desc.Height <= 0)
        return SPI_BROKEN_DATA;
    // A screen smaller than its first frame (seen in the wild) grows to hold it.
    const int width = std::max(gif->SWidth, desc.Left + desc.Width);
    const int height = std::max(gif->SHeight, desc.Top + desc.Height);
    if (!out.Create(width, height, 8, 256))
        return SPI_NO_MEMORY;
    SpiRGBQuad* palette = out.Palette();
    for (int i = 0; i < colors->ColorCount && i < 256; ++i)
        palette[i] = SpiRGBQuad{colors->Colors[i].Blue, colors->Colors[i].Green, colors->Colors[i].Red, 0};
    if (transparent >= 0)
        palette[transparent] = SpiRGBQuad{255, 255, 255, 0};
    const uint8_t fill = static_cast<uint8_t>(transparent >= 0 ? transparent : gif->SBackGroundColor);
    for (int y = 0; y < height; ++y)
        std::memset(out.Row(y), fill, static_cast<size_t>(width));

    std::vector<GifPixelType> line(static_cast<size_t>(desc.Width));
    auto readRow = [&](int row) -> bool {
        if (DGifGetLine(gif, line.data(), desc.Width) == GIF_ERROR)
            return false;
        std::memcpy(out.Row(desc.Top + row) + desc.Left, line.data(), static_cast<size_t>(desc.Width));
        return true;
    };
    if (desc.Interlace) {
        static const int start[4] = {0, 4, 2, 1};
        static const int step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass) {
            for (int row = start[pass]; row < desc.Height; row += step[pass]) {
                if (!readRow(row))
                    return SPI_SUCCESS;  // a truncated file shows what arrived
            }
        }
    } else {
        for (int row = 0; row < desc.Height; ++row) {
            if (!readRow(row))
                return SPI_SUCCESS;
        }
    }
    return SPI_SUCCESS;
}

int32_t Decode(const uint8_t* data, size_t size, bool, TDibBuilder& out)
{
    TReader reader{data, size, 0};
    TGifFile file(reader);
    GifFileType* gif = file.Get();
    if (!gif)
        return SPI_BROKEN_DATA;
    int transparent = -1;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            return SPI_BROKEN_DATA;
        if (type == IMAGE_DESC_RECORD_TYPE)
            return DecodeFrame(gif, transparent, out);
        if (type == TERMINATE_RECORD_TYPE)
            return SPI_BROKEN_DATA;
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
                return SPI_BROKEN_DATA;
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4 && (block[1] & 1))
                transparent = block[4];
            while (block) {
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                    return SPI_BROKEN_DATA;
            }
        }
    }
}

}  // namespace

const TImageCodec PluginCodec = {
    {"00IN", "GIF (giflib) for Mireva", Groups},
    Sniff,
    Decode,
};
