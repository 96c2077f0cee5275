#include "kit/PluginKit.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

namespace spikit {

int32_t AnswerPluginInfo(const TPluginInfoTable& table, int32_t number, char* buffer, int32_t length)
{
    if (!buffer || length <= 0 || number < 0)
        return 0;
    const char* text = nullptr;
    if (number == 0)
        text = table.Version;
    else if (number == 1)
        text = table.Description;
    else {
        int32_t index = 0;
        while (table.Groups[index] && index < number - 2)
            ++index;
        if (index == number - 2)
            text = table.Groups[index];
    }
    if (!text)
        return 0;
    const size_t copy = std::min(std::strlen(text), static_cast<size_t>(length - 1));
    std::memcpy(buffer, text, copy);
    buffer[copy] = 0;
    return static_cast<int32_t>(copy);
}

bool TSource::Open(const char* source, intptr_t length, uint32_t flag)
{
    if (!source)
        return false;
    if ((flag & SPI_SOURCE_MASK) == SPI_SOURCE_MEMORY) {
        if (length <= 0)
            return false;
        fData = reinterpret_cast<const uint8_t*>(source);
        fSize = static_cast<size_t>(length);
        return true;
    }
    if (length < 0)
        return false;
    const int fd = ::open(source, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > length &&
              static_cast<uint64_t>(st.st_size - length) <= MaxSourceBytes;
    if (ok) {
        try {
            fOwned.resize(static_cast<size_t>(st.st_size - length));
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    size_t done = 0;
    while (ok && done < fOwned.size()) {
        const ssize_t got = ::pread(fd, fOwned.data() + done, fOwned.size() - done, length + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;  // the file shrank: keep what was read
        done += static_cast<size_t>(got);
    }
    ::close(fd);
    if (!ok || done == 0)
        return false;
    fOwned.resize(done);
    fData = fOwned.data();
    fSize = done;
    return true;
}

bool PictureSizeAllowed(uint64_t width, uint64_t height)
{
    return width > 0 && height > 0 && width <= static_cast<uint64_t>(MaxSide) &&
           height <= static_cast<uint64_t>(MaxSide) && width * height * 4 <= MaxPictureBytes;
}

TDibBuilder::~TDibBuilder()
{
    Release();
}

void TDibBuilder::Release()
{
    if (fInfo)
        LocalFree(fInfo);
    if (fBitsBlock)
        LocalFree(fBitsBlock);
    fInfo = fBitsBlock = nullptr;
    fPalette = nullptr;
    fBits = nullptr;
}

bool TDibBuilder::Create(int width, int height, int bitCount, int paletteSize)
{
    Release();
    if ((bitCount != 24 && bitCount != 8) || paletteSize < 0 || paletteSize > 256 ||
        !PictureSizeAllowed(static_cast<uint64_t>(width), static_cast<uint64_t>(height)))
        return false;
    fWidth = width;
    fHeight = height;
    fStride = ((static_cast<size_t>(width) * static_cast<size_t>(bitCount) + 31) / 32) * 4;
    const size_t infoSize = sizeof(SpiBitmapInfoHeader) + sizeof(SpiRGBQuad) * static_cast<size_t>(paletteSize);
    fInfo = LocalAlloc(LPTR, infoSize);
    fBitsBlock = LocalAlloc(LMEM_FIXED, fStride * static_cast<size_t>(height));
    if (!fInfo || !fBitsBlock) {
        Release();
        return false;
    }
    auto* header = static_cast<SpiBitmapInfoHeader*>(LocalLock(fInfo));
    header->biSize = sizeof(SpiBitmapInfoHeader);
    header->biWidth = width;
    header->biHeight = -height;  // rows top-down, as decoders produce them
    header->biPlanes = 1;
    header->biBitCount = static_cast<uint16_t>(bitCount);
    header->biCompression = SPI_BI_RGB;
    header->biSizeImage = static_cast<uint32_t>(fStride * static_cast<size_t>(height));
    header->biClrUsed = static_cast<uint32_t>(paletteSize);
    fPalette = reinterpret_cast<SpiRGBQuad*>(header + 1);
    fBits = static_cast<uint8_t*>(LocalLock(fBitsBlock));
    // Padding bytes at the row ends are part of the block the program reads.
    if (fStride != static_cast<size_t>(width) * static_cast<size_t>(bitCount / 8)) {
        for (int y = 0; y < height; ++y)
            std::memset(Row(y) + static_cast<size_t>(width) * static_cast<size_t>(bitCount / 8), 0,
                        fStride - static_cast<size_t>(width) * static_cast<size_t>(bitCount / 8));
    }
    return true;
}

void TDibBuilder::SetGrayPalette()
{
    for (int i = 0; i < 256; ++i)
        fPalette[i] = SpiRGBQuad{static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0};
}

void TDibBuilder::Hand(HLOCAL* info, HLOCAL* bits)
{
    LocalUnlock(fInfo);
    LocalUnlock(fBitsBlock);
    *info = fInfo;
    *bits = fBitsBlock;
    fInfo = fBitsBlock = nullptr;
    fPalette = nullptr;
    fBits = nullptr;
}

bool IsValidUtf8(const std::string& bytes)
{
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        size_t extra;
        uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            if (i + k >= n)
                return false;
            const auto t = static_cast<unsigned char>(bytes[i + k]);
            if ((t & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000) ||
            cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}

std::string ToValidUtf8(const std::string& bytes)
{
    if (IsValidUtf8(bytes))
        return bytes;
    iconv_t cd = ::iconv_open("UTF-8", "CP932");
    if (cd != reinterpret_cast<iconv_t>(-1)) {
        std::string out(bytes.size() * 3 + 4, '\0');
        char* in = const_cast<char*>(bytes.data());
        size_t inLeft = bytes.size();
        char* outPtr = out.data();
        size_t outLeft = out.size();
        const size_t result = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        ::iconv_close(cd);
        if (result != static_cast<size_t>(-1) && inLeft == 0) {
            out.resize(out.size() - outLeft);
            if (IsValidUtf8(out))
                return out;
        }
    }
    std::string safe;
    for (char c : bytes)
        safe += static_cast<unsigned char>(c) < 0x80 ? c : '?';
    return safe;
}

}  // namespace spikit
