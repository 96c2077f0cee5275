#include "kit/ImagePlugin.h"

#include <new>

using namespace spikit;

namespace {

// What a picture call asks for: the whole picture, the codec's preview, or a
// preview for a box.
struct TRequest {
    bool Preview = false;
    int32_t BoxWidth = 0;
    int32_t BoxHeight = 0;
    SpiProgress Progress = nullptr;
    intptr_t User = 0;
};

int32_t Picture(const char* source, intptr_t length, uint32_t flag, HLOCAL* info, HLOCAL* bits, TRequest request)
{
    if (!info || !bits)
        return SPI_MEMORY_ERROR;
    *info = nullptr;
    *bits = nullptr;
    try {
        TSource input;
        if (!input.Open(source, length, flag))
            return SPI_FILE_READ_ERROR;
        if (!PluginCodec.Sniff(input.Data(), input.Size()))
            return SPI_UNKNOWN_FORMAT;
        TDibBuilder dib;
        dib.SetProgress(request.Progress, request.User);
        const bool forBox = request.Preview && PluginCodec.DecodeForBox && request.BoxWidth > 0 &&
                            request.BoxHeight > 0;
        const int32_t result =
            forBox ? PluginCodec.DecodeForBox(input.Data(), input.Size(), request.BoxWidth, request.BoxHeight, dib)
                   : PluginCodec.Decode(input.Data(), input.Size(), request.Preview, dib);
        if (result != SPI_SUCCESS)
            return result;
        dib.Hand(info, bits);
        return SPI_SUCCESS;
    } catch (const std::bad_alloc&) {
        return SPI_NO_MEMORY;
    } catch (...) {
        return SPI_INTERNAL_ERROR;
    }
}

}  // namespace

extern "C" {

SPI_EXPORT int32_t GetPluginInfo(int32_t number, char* buffer, int32_t length)
{
    return AnswerPluginInfo(PluginCodec.Info, number, buffer, length);
}

SPI_EXPORT int32_t IsSupported(const char* fileName, const void* header)
{
    if (!header)
        return 0;
    return PluginCodec.Sniff(static_cast<const uint8_t*>(header), SniffSize) ? 1 : 0;
}

SPI_EXPORT int32_t GetPicture(const char* source, intptr_t length, uint32_t flag, HLOCAL* info, HLOCAL* bits,
                              SpiProgress progress, intptr_t user)
{
    return Picture(source, length, flag, info, bits, {.Progress = progress, .User = user});
}

SPI_EXPORT int32_t GetPreview(const char* source, intptr_t length, uint32_t flag, HLOCAL* info, HLOCAL* bits,
                              SpiProgress progress, intptr_t user)
{
    return Picture(source, length, flag, info, bits, {.Preview = true, .Progress = progress, .User = user});
}

SPI_EXPORT int32_t GetPreviewForBox(const char* source, intptr_t length, uint32_t flag, int32_t boxWidth,
                                    int32_t boxHeight, HLOCAL* info, HLOCAL* bits, SpiProgress progress,
                                    intptr_t user)
{
    return Picture(source, length, flag, info, bits,
                   {.Preview = true, .BoxWidth = boxWidth, .BoxHeight = boxHeight, .Progress = progress, .User = user});
}

SPI_EXPORT int32_t ConfigurationDlg(uintptr_t parent, int32_t function)
{
    return SPI_NOT_IMPLEMENTED;
}

// Every call works on its own source, decoder state and blocks; the codec
// tables are constant. So the thumbnail workers and the viewer's two pages
// may decode through one plug-in at once.
SPI_EXPORT int32_t SpiThreadSafe(void)
{
    return SPI_THREAD_SAFE;
}

}  // extern "C"
