// TIFF through libtiff: the first page, any photometric interpretation and
// bit depth libtiff can bring to RGBA, transparency laid onto white.

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <vector>

#include <tiffio.h>

#include "kit/ImagePlugin.h"

using namespace spikit;

namespace {

const char* const Groups[] = {"*.tif;*.tiff", "TIFF", nullptr};

bool Sniff(const uint8_t* header, size_t size)
{
    if (size < 4)
        return false;
    return (header[0] == 'I' && header[1] == 'I' && (header[2] == 42 || header[2] == 43) && header[3] == 0) ||
           (header[0] == 'M' && header[1] == 'M' && header[2] == 0 && (header[3] == 42 || header[3] == 43));
}

struct TMemoryFile {
    const uint8_t* Data;
    toff_t Size;
    toff_t Position;
};

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t count)
{
    auto* file = static_cast<TMemoryFile*>(handle);
    if (count <= 0 || file->Position >= file->Size)
        return 0;
    const toff_t take = std::min<toff_t>(static_cast<toff_t>(count), file->Size - file->Position);
    std::memcpy(buffer, file->Data + file->Position, static_cast<size_t>(take));
    file->Position += take;
    return static_cast<tmsize_t>(take);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t)
{
    return -1;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence)
{
    auto* file = static_cast<TMemoryFile*>(handle);
    toff_t base = 0;
    if (whence == SEEK_CUR)
        base = file->Position;
    else if (whence == SEEK_END)
        base = file->Size;
    file->Position = base + offset;
    return file->Position;
}

int CloseProc(thandle_t)
{
    return 0;
}

toff_t SizeProc(thandle_t handle)
{
    return static_cast<TMemoryFile*>(handle)->Size;
}

int MapProc(thandle_t, void**, toff_t*)
{
    return 0;
}

void UnmapProc(thandle_t, void*, toff_t) {}

// A plug-in stays quiet. The handlers belong to the one file being read and
// return 1 so that libtiff's process-wide ones are never called: setting
// those instead would race with another thread decoding at the same time,
// and change them for the whole program.
int QuietHandler(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

// Open options that free themselves.
class TQuietOptions {
public:
    TQuietOptions() : fOptions(TIFFOpenOptionsAlloc())
    {
        if (fOptions) {
            TIFFOpenOptionsSetErrorHandlerExtR(fOptions, QuietHandler, nullptr);
            TIFFOpenOptionsSetWarningHandlerExtR(fOptions, QuietHandler, nullptr);
        }
    }
    ~TQuietOptions()
    {
        if (fOptions)
            TIFFOpenOptionsFree(fOptions);
    }
    TQuietOptions(const TQuietOptions&) = delete;
    TQuietOptions& operator=(const TQuietOptions&) = delete;
    TIFFOpenOptions* Get() const { return fOptions; }

private:
    TIFFOpenOptions* fOptions;
};

int32_t Decode(const uint8_t* data, size_t size, bool, TDibBuilder& out)
{
    const TQuietOptions options;
    if (!options.Get())
        return SPI_NO_MEMORY;
    TMemoryFile file{data, static_cast<toff_t>(size), 0};
    TIFF* tiff = TIFFClientOpenExt("memory", "rm", &file, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc,
                                   UnmapProc, options.Get());
    if (!tiff)
        return SPI_BROKEN_DATA;
    int32_t result = SPI_BROKEN_DATA;
    uint32_t width = 0, height = 0;
    if (TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) && TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height)) {
        if (!PictureSizeAllowed(width, height)) {
            result = SPI_NO_MEMORY;
        } else if (out.Create(static_cast<int>(width), static_cast<int>(height), 24)) {
            std::vector<uint32_t> raster(static_cast<size_t>(width) * height);
            if (TIFFReadRGBAImageOriented(tiff, width, height, raster.data(), ORIENTATION_TOPLEFT, 0)) {
                for (uint32_t y = 0; y < height; ++y) {
                    const uint32_t* source = raster.data() + static_cast<size_t>(y) * width;
                    uint8_t* target = out.Row(static_cast<int>(y));
                    for (uint32_t x = 0; x < width; ++x, target += 3) {
                        const uint32_t p = source[x];
                        BlendOnWhite(target, static_cast<uint8_t>(TIFFGetB(p)), static_cast<uint8_t>(TIFFGetG(p)),
                                     static_cast<uint8_t>(TIFFGetR(p)), static_cast<uint8_t>(TIFFGetA(p)));
                    }
                }
                result = SPI_SUCCESS;
            }
        } else {
            result = SPI_NO_MEMORY;
        }
    }
    TIFFClose(tiff);
    return result;
}

}  // namespace

const TImageCodec PluginCodec = {
    {"00IN", "TIFF (libtiff) for Mireva", Groups},
    Sniff,
    Decode,
};
