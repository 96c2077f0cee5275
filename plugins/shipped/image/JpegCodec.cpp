// JPEG through libjpeg-turbo. The preview decodes at a reduced DCT scale
// (1/2, 1/4 or 1/8), which skips most of the work for the large photographs
// thumbnails are made from; a preview for a box takes the smallest scale the
// picture fitted into the box can still be scaled down from.

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include "image/JpegEighth.h"
#include "kit/ImagePlugin.h"

using namespace spikit;

namespace {

// A preview keeps at least this many pixels on its longer side, enough for
// the largest thumbnail box and for a sharp first glance.
constexpr unsigned PreviewMinSide = 400;

const char* const Groups[] = {"*.jpg;*.jpeg;*.jpe;*.jfif", "JPEG", nullptr};

bool Sniff(const uint8_t* header, size_t size)
{
    return size >= 3 && header[0] == 0xFF && header[1] == 0xD8 && header[2] == 0xFF;
}

struct TErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
};

void OnError(j_common_ptr info)
{
    auto* manager = reinterpret_cast<TErrorManager*>(info->err);
    std::longjmp(manager->Jump, 1);
}

void OnMessage(j_common_ptr, int)
{
    // Warnings about damaged but readable data stay quiet.
}

unsigned PreviewDenominator(unsigned width, unsigned height)
{
    const unsigned longer = width > height ? width : height;
    for (unsigned denominator : {8u, 4u, 2u}) {
        if ((longer + denominator - 1) / denominator >= PreviewMinSide)
            return denominator;
    }
    return 1;
}

// The size a w x h picture gets in a box of bw x bh, as the program fits its
// thumbnails: never enlarged; the side with the smaller ratio fills the box
// and the other is rounded, at least 1.
void FitIntoBox(unsigned w, unsigned h, unsigned bw, unsigned bh, unsigned& fw, unsigned& fh)
{
    const double e = static_cast<double>(bw) / w;
    const double g = static_cast<double>(bh) / h;
    fw = w;
    fh = h;
    if (e >= 1 && g >= 1)
        return;
    if (e > g) {
        fw = static_cast<unsigned>(w * g + 0.5);
        fh = bh;
    } else {
        fw = bw;
        fh = static_cast<unsigned>(h * e + 0.5);
    }
    fw = fw ? fw : 1;
    fh = fh ? fh : 1;
}

unsigned BoxDenominator(unsigned width, unsigned height, unsigned boxWidth, unsigned boxHeight)
{
    unsigned fw = 0, fh = 0;
    FitIntoBox(width, height, boxWidth, boxHeight, fw, fh);
    for (unsigned denominator : {8u, 4u, 2u}) {
        if ((width + denominator - 1) / denominator >= fw && (height + denominator - 1) / denominator >= fh)
            return denominator;
    }
    return 1;
}

// How a picture is decoded: in full, as the codec's preview, or as a preview
// for a box.
struct TScale {
    bool Preview = false;
    unsigned BoxWidth = 0;
    unsigned BoxHeight = 0;
};

// Everything that lives across the setjmp is kept outside the jumped-over
// frame, so that a longjmp out of libjpeg leaves nothing half-owned.
struct TJpegJob {
    jpeg_decompress_struct Info{};
    TErrorManager Errors{};
    std::vector<uint8_t> Line;
};

int32_t DecodeInto(TJpegJob& job, const uint8_t* data, size_t size, TScale scale, TDibBuilder& out)
{
    jpeg_decompress_struct& info = job.Info;
    if (setjmp(job.Errors.Jump))
        return SPI_BROKEN_DATA;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return SPI_BROKEN_DATA;
    const bool gray = info.jpeg_color_space == JCS_GRAYSCALE;
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    const unsigned denominator =
        !scale.Preview ? 1
        : scale.BoxWidth > 0 && scale.BoxHeight > 0
            ? BoxDenominator(info.image_width, info.image_height, scale.BoxWidth, scale.BoxHeight)
            : PreviewDenominator(info.image_width, info.image_height);
    // At an eighth the DC coefficients alone make the picture: most
    // thumbnails of photographs are read that way, without libjpeg walking
    // every coefficient. What that reader leaves is decoded from the start.
    if (denominator == 8) {
        switch (DecodeEighth(info, out)) {
        case TEighthResult::erDone: return SPI_SUCCESS;
        case TEighthResult::erStopped: return SPI_ABORTED;
        case TEighthResult::erNotMine: break;
        }
        jpeg_abort_decompress(&info);
        jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
        if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
            return SPI_BROKEN_DATA;
    }
    info.out_color_space = gray ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_EXT_BGR;
    if (scale.Preview) {
        info.scale_num = 1;
        info.scale_denom = denominator;
        info.dct_method = JDCT_IFAST;
        info.do_fancy_upsampling = FALSE;
    } else {
        info.dct_method = JDCT_ISLOW;
    }
    jpeg_calc_output_dimensions(&info);
    if (!out.Create(static_cast<int>(info.output_width), static_cast<int>(info.output_height), gray ? 8 : 24,
                    gray ? 256 : 0))
        return SPI_NO_MEMORY;
    if (gray)
        out.SetGrayPalette();
    jpeg_start_decompress(&info);
    if (cmyk)
        job.Line.resize(static_cast<size_t>(info.output_width) * 4);
    // Adobe writes CMYK inverted; everyone else plain.
    const bool inverted = info.saw_Adobe_marker;
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        // A page the user has moved past stops here, every 16 rows.
        if (y % 16 == 0 && !out.Continue(y, static_cast<int>(info.output_height)))
            return SPI_ABORTED;
        JSAMPROW row = cmyk ? job.Line.data() : out.Row(y);
        if (jpeg_read_scanlines(&info, &row, 1) != 1)
            break;
        if (cmyk) {
            uint8_t* target = out.Row(y);
            for (JDIMENSION x = 0; x < info.output_width; ++x) {
                const uint8_t* p = job.Line.data() + x * 4;
                unsigned c = p[0], m = p[1], yy = p[2], k = p[3];
                if (!inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    yy = 255 - yy;
                    k = 255 - k;
                }
                target[x * 3 + 0] = static_cast<uint8_t>(yy * k / 255);
                target[x * 3 + 1] = static_cast<uint8_t>(m * k / 255);
                target[x * 3 + 2] = static_cast<uint8_t>(c * k / 255);
            }
        }
    }
    // A truncated file leaves the rows not reached; show what was decoded.
    for (int y = static_cast<int>(info.output_scanline); y < out.Height(); ++y)
        std::memset(out.Row(y), 0, out.Stride());
    if (info.output_scanline == info.output_height)
        jpeg_finish_decompress(&info);
    return SPI_SUCCESS;
}

int32_t DecodeScaled(const uint8_t* data, size_t size, TScale scale, TDibBuilder& out)
{
    TJpegJob job;
    job.Info.err = jpeg_std_error(&job.Errors.Base);
    job.Errors.Base.error_exit = OnError;
    job.Errors.Base.emit_message = OnMessage;
    jpeg_create_decompress(&job.Info);
    const int32_t result = DecodeInto(job, data, size, scale, out);
    jpeg_destroy_decompress(&job.Info);
    return result;
}

int32_t Decode(const uint8_t* data, size_t size, bool preview, TDibBuilder& out)
{
    return DecodeScaled(data, size, {.Preview = preview}, out);
}

int32_t DecodeForBox(const uint8_t* data, size_t size, int32_t boxWidth, int32_t boxHeight, TDibBuilder& out)
{
    return DecodeScaled(data, size,
                        {.Preview = true, .BoxWidth = static_cast<unsigned>(boxWidth),
                         .BoxHeight = static_cast<unsigned>(boxHeight)},
                        out);
}

}  // namespace

const TImageCodec PluginCodec = {
    {"00IN", "JPEG (libjpeg-turbo) for Mireva", Groups},
    Sniff,
    Decode,
    DecodeForBox,
};
