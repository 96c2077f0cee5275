// A fake image plug-in over a trivial format: "FAKEIMG1", u16 width, u16
// height, u8 bits (8: gray, 24: BGR), then the pixels top-down without
// padding. It answers with a bottom-up bitmap (the usual orientation); the
// preview is the picture at half size, so a test can tell which was asked.
// It asks the progress callback before every row and gives up when told to,
// and answers GetPictureInfo from the header.

#include <cstring>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "FakeCommon.h"

FAKE_TEST_EXPORTS

// Built a second time as "fakesafe", which declares itself safe to call from
// several threads: it keeps nothing between calls but the guarded counters.
#ifdef FAKE_THREAD_SAFE
extern "C" SPI_EXPORT int32_t SpiThreadSafe(void)
{
    return SPI_THREAD_SAFE;
}
#endif

namespace {

bool ReadSource(const char* source, intptr_t length, uint32_t flag, std::vector<uint8_t>& data)
{
    if ((flag & SPI_SOURCE_MASK) == SPI_SOURCE_MEMORY) {
        data.assign(reinterpret_cast<const uint8_t*>(source), reinterpret_cast<const uint8_t*>(source) + length);
        return true;
    }
    const int fd = ::open(source, O_RDONLY);
    if (fd < 0)
        return false;
    ::lseek(fd, length, SEEK_SET);
    uint8_t buffer[4096];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        data.insert(data.end(), buffer, buffer + got);
    ::close(fd);
    return true;
}

int32_t Decode(const char* source, intptr_t length, uint32_t flag, HLOCAL* info, HLOCAL* bits, bool half,
               SpiProgress progress, intptr_t user)
{
    std::vector<uint8_t> data;
    if (!ReadSource(source, length, flag, data) || data.size() < 13 || std::memcmp(data.data(), "FAKEIMG1", 8) != 0)
        return SPI_UNKNOWN_FORMAT;
    const int width = data[8] | data[9] << 8;
    const int height = data[10] | data[11] << 8;
    const int bitsPerPixel = data[12];
    const int bytes = bitsPerPixel / 8;
    if ((bitsPerPixel != 8 && bitsPerPixel != 24) || width == 0 || height == 0 ||
        data.size() < 13 + static_cast<size_t>(width) * height * bytes)
        return SPI_BROKEN_DATA;
    const int step = half ? 2 : 1;
    const int outWidth = (width + step - 1) / step;
    const int outHeight = (height + step - 1) / step;
    const size_t stride = ((static_cast<size_t>(outWidth) * bitsPerPixel + 31) / 32) * 4;
    const int colors = bitsPerPixel == 8 ? 256 : 0;
    *info = LocalAlloc(LPTR, sizeof(SpiBitmapInfoHeader) + colors * sizeof(SpiRGBQuad));
    *bits = LocalAlloc(LPTR, stride * outHeight);
    auto* header = static_cast<SpiBitmapInfoHeader*>(LocalLock(*info));
    header->biSize = 40;
    header->biWidth = outWidth;
    header->biHeight = outHeight;  // bottom-up
    header->biPlanes = 1;
    header->biBitCount = static_cast<uint16_t>(bitsPerPixel);
    auto* palette = reinterpret_cast<SpiRGBQuad*>(header + 1);
    for (int i = 0; i < colors; ++i)
        palette[i] = SpiRGBQuad{static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0};
    auto* pixels = static_cast<uint8_t*>(LocalLock(*bits));
    for (int y = 0; y < outHeight; ++y) {
        if (progress && progress(y, outHeight, user) != 0) {
            // Hands over nothing, as a careful plug-in does when stopped.
            LocalUnlock(*info);
            LocalUnlock(*bits);
            LocalFree(std::exchange(*info, nullptr));
            LocalFree(std::exchange(*bits, nullptr));
            return SPI_ABORTED;
        }
        uint8_t* row = pixels + (outHeight - 1 - y) * stride;
        for (int x = 0; x < outWidth; ++x) {
            const uint8_t* from = data.data() + 13 + (static_cast<size_t>(y * step) * width + x * step) * bytes;
            std::memcpy(row + x * bytes, from, bytes);
        }
    }
    LocalUnlock(*info);
    LocalUnlock(*bits);
    return SPI_SUCCESS;
}

}  // namespace

extern "C" {

SPI_EXPORT int32_t GetPluginInfo(int32_t number, char* buffer, int32_t length)
{
    fake::Enter("GetPluginInfo");
    static const char* const texts[] = {"00IN", "Fake image plug-in", "*.fim;*.fake", "Fake image", "*.exe",
                                        "Programs", "*.*", "Everything"};
    if (number < 0 || number >= static_cast<int32_t>(sizeof texts / sizeof texts[0]))
        return 0;
    return fake::CopyText(texts[number], buffer, length);
}

SPI_EXPORT int32_t IsSupported(const char* fileName, const void* header)
{
    fake::Enter("IsSupported");
    return std::memcmp(header, "FAKEIMG1", 8) == 0 ? 1 : 0;
}

SPI_EXPORT int32_t GetPicture(const char* source, intptr_t length, uint32_t flag, HLOCAL* info, HLOCAL* bits,
                              SpiProgress progress, intptr_t user)
{
    fake::Enter("GetPicture");
    return Decode(source, length, flag, info, bits, false, progress, user);
}

SPI_EXPORT int32_t GetPreview(const char* source, intptr_t length, uint32_t flag, HLOCAL* info, HLOCAL* bits,
                              SpiProgress progress, intptr_t user)
{
    fake::Enter("GetPreview");
    return Decode(source, length, flag, info, bits, true, progress, user);
}

SPI_EXPORT int32_t GetPictureInfo(const char* source, intptr_t length, uint32_t flag, void* out)
{
    fake::Enter("GetPictureInfo");
    std::vector<uint8_t> data;
    if (!ReadSource(source, length, flag, data) || data.size() < 13 || std::memcmp(data.data(), "FAKEIMG1", 8) != 0)
        return SPI_UNKNOWN_FORMAT;
    auto* info = static_cast<SpiPictureInfo*>(out);
    info->width = data[8] | data[9] << 8;
    info->height = data[10] | data[11] << 8;
    info->colorDepth = data[12];
    // A text block, as real plug-ins hand one, for the caller to free.
    info->hInfo = LocalAlloc(LPTR, 16);
    return SPI_SUCCESS;
}

SPI_EXPORT int32_t ConfigurationDlg(uintptr_t parent, int32_t function)
{
    fake::Enter("ConfigurationDlg");
    return function == 1 ? 7 : -1;
}

}  // extern "C"
