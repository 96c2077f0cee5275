// The JPEG plug-in's reader at an eighth against libjpeg on any bytes: it
// either leaves the file to libjpeg or gives exactly libjpeg's picture.

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include "FuzzCheck.h"
#include "image/JpegEighth.h"

namespace {

struct TErrors {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
};

void Quit(j_common_ptr common)
{
    std::longjmp(reinterpret_cast<TErrors*>(common->err)->Jump, 1);
}

void Quiet(j_common_ptr, int) {}

// libjpeg's picture at 1/8 as the plug-in asks for it; empty when libjpeg
// gives up on the file.
std::vector<uint8_t> LibjpegEighth(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> picture;
    jpeg_decompress_struct info{};
    TErrors errors{};
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = Quit;
    errors.Base.emit_message = Quiet;
    jpeg_create_decompress(&info);
    if (setjmp(errors.Jump)) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = info.jpeg_color_space == JCS_GRAYSCALE ? JCS_GRAYSCALE : JCS_EXT_BGR;
    info.scale_num = 1;
    info.scale_denom = 8;
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = FALSE;
    jpeg_start_decompress(&info);
    const size_t stride = static_cast<size_t>(info.output_width) * info.output_components;
    picture.resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = picture.data() + info.output_scanline * stride;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_destroy_decompress(&info);
    return picture;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > MaxFuzzInput)
        return 0;
    jpeg_decompress_struct info{};
    TErrors errors{};
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = Quit;
    errors.Base.emit_message = Quiet;
    jpeg_create_decompress(&info);
    if (setjmp(errors.Jump)) {
        jpeg_destroy_decompress(&info);
        return 0;
    }
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    spikit::TDibBuilder out;
    const spikit::TEighthResult result = spikit::DecodeEighth(info, out);
    const size_t channels = info.num_components == 1 ? 1 : 3;
    jpeg_destroy_decompress(&info);
    FUZZ_CHECK(result != spikit::TEighthResult::erStopped);
    if (result != spikit::TEighthResult::erDone) {
        FUZZ_CHECK(out.Bits() == nullptr);
        return 0;
    }
    const std::vector<uint8_t> theirs = LibjpegEighth(data, size);
    const size_t row = static_cast<size_t>(out.Width()) * channels;
    FUZZ_CHECK(theirs.size() == row * static_cast<size_t>(out.Height()));
    for (int y = 0; y < out.Height(); ++y)
        FUZZ_CHECK(std::memcmp(out.Row(y), theirs.data() + row * static_cast<size_t>(y), row) == 0);
    return 0;
}
