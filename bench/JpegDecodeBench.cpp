// Decode time of a 6000 x 4000 photograph through the JPEG plug-in we ship:
// the whole picture, and the preview that thumbnails are made from (decoded
// at 1/8 of the DCT scale). Both go the full way: plug-in call, checks of
// its output and conversion into the program's bitmap. And a 16000 x 16000
// scan (256 megapixels, above the default ReducedMegapixels) decoded for a
// fitted 1280 x 800 view, as the viewer decodes it.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "loading/SPIs.h"

namespace {

constexpr int Width = 6000;
constexpr int Height = 4000;

// A photograph-like picture: smooth gradients with fine texture, so that the
// coder has real work to do.
std::vector<uint8_t> MakeJpeg(int Width = ::Width, int Height = ::Height)
{
    std::vector<uint8_t> row(static_cast<size_t>(Width) * 3);
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = Width;
    info.image_height = Height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    uint32_t noise = 12345;
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < Width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int grain = static_cast<int>((noise >> 16) & 15) - 8;
            row[x * 3 + 0] = static_cast<uint8_t>(std::clamp(128 + static_cast<int>(100 * std::sin(x * 0.002)) + grain, 0, 255));
            row[x * 3 + 1] = static_cast<uint8_t>(std::clamp(y * 255 / Height + grain, 0, 255));
            row[x * 3 + 2] = static_cast<uint8_t>(std::clamp(((x ^ y) & 255) / 2 + 64 + grain, 0, 255));
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

struct TJpegPlugin {
    TJpegPlugin() : Loader(std::make_unique<TSPI>(std::string(MIREVA_BIN_DIR) + "/mvjpeg.spi", true)), Bytes(MakeJpeg())
    {
    }
    TInSPI Loader;
    std::vector<uint8_t> Bytes;
};

TJpegPlugin& Plugin()
{
    static TJpegPlugin plugin;
    return plugin;
}

// Decodes bytes once per iteration with decode(loader, stream).
template <typename TDecode>
void DecodeEach(benchmark::State& state, const std::vector<uint8_t>& bytes, TDecode decode)
{
    TJpegPlugin& plugin = Plugin();
    if (!plugin.Loader.Enabled) {
        state.SkipWithError("mvjpeg.spi did not load");
        return;
    }
    TMemoryStream stream(bytes);
    int width = 0;
    for (auto _ : state) {
        std::unique_ptr<TBitmap> bitmap = decode(plugin.Loader, stream);
        if (!bitmap) {
            state.SkipWithError("decoding failed");
            return;
        }
        width = bitmap->Width();
        benchmark::DoNotOptimize(bitmap->Bits());
    }
    state.counters["width"] = width;
    state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
}

void Decode(benchmark::State& state, bool preview)
{
    DecodeEach(state, Plugin().Bytes,
               [preview](auto& loader, TMemoryStream& stream) { return loader.LoadFromStream(stream, 0, preview); });
}

void BM_JpegFull(benchmark::State& state)
{
    Decode(state, false);
}

void BM_JpegPreviewEighth(benchmark::State& state)
{
    Decode(state, true);
}

// The plug-in's own share: the call alone, without checking and converting
// its output into the program's bitmap.
void BM_JpegFullPluginCallOnly(benchmark::State& state)
{
    TJpegPlugin& plugin = Plugin();
    auto getPicture = reinterpret_cast<SpiGetPictureFunc>(plugin.Loader.Plugin().Symbol("GetPicture"));
    if (!getPicture) {
        state.SkipWithError("mvjpeg.spi did not load");
        return;
    }
    for (auto _ : state) {
        HLOCAL info = nullptr, bits = nullptr;
        const int32_t result = getPicture(reinterpret_cast<const char*>(plugin.Bytes.data()),
                                          static_cast<intptr_t>(plugin.Bytes.size()), SPI_SOURCE_MEMORY, &info, &bits,
                                          nullptr, 0);
        LocalFree(info);
        LocalFree(bits);
        if (result != SPI_SUCCESS) {
            state.SkipWithError("decoding failed");
            return;
        }
    }
}

// The scan is made once, when the case first runs.
const std::vector<uint8_t>& HugeScan()
{
    static const std::vector<uint8_t> bytes = MakeJpeg(16000, 16000);
    return bytes;
}

void BM_Jpeg16000ForFittedView(benchmark::State& state)
{
    TDecodeCall call;
    call.Box = TPreviewBox{1280, 800};
    DecodeEach(state, HugeScan(),
               [&call](auto& loader, TMemoryStream& stream) { return loader.DecodeStream(stream, 0, call); });
}

}  // namespace

BENCHMARK(BM_JpegFullPluginCallOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_JpegFull)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_JpegPreviewEighth)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Jpeg16000ForFittedView)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
