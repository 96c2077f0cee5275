// JPEG through libjpeg for the program's own thumbnail data.
//
// libjpeg reports a fatal error by calling error_exit, which must not return.
// We leave through longjmp back into the one function that drives the codec;
// that function holds no object with a destructor, and everything that must
// be freed lives in a session object owned by its caller, so nothing is
// skipped and nothing leaks when the data is damaged.

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include "base/Errors.h"
#include "loading/ImgLoader.h"
#include "base/Texts.h"

namespace {

// A progressive file may hold any number of scans, each a full pass over the
// picture; damaged data can make one tiny file cost minutes. Real encoders
// write about ten.
constexpr int MaxScans = 1000;
// The memory libjpeg may take for itself: the coefficient buffers of a
// progressive file, two bytes a sample, are allocated before any pixel is
// decoded. This is room for 20 million pixels, far beyond any thumbnail, and
// keeps a damaged header from reserving more.
constexpr long MaxCodecMemory = 64L << 20;

struct TJpegError {
    jpeg_error_mgr Manager{};  // first, so libjpeg's pointer is ours
    std::jmp_buf Jump{};
    char Message[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    auto* error = reinterpret_cast<TJpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, error->Message);
    std::longjmp(error->Jump, 1);
}

// Warnings mean damaged data (a premature end, a bad Huffman code). Stored
// thumbnails are written by the program itself, so a warning means the store
// is damaged: the picture is refused rather than shown half gray.
void EmitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        ErrorExit(cinfo);
}

void OutputMessage(j_common_ptr)
{
    // libjpeg would print to stderr; the message reaches the caller through
    // the exception instead.
}

void InstallErrorHandler(j_common_ptr cinfo, TJpegError& error)
{
    cinfo->err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = ErrorExit;
    error.Manager.emit_message = EmitMessage;
    error.Manager.output_message = OutputMessage;
}

void LimitScans(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    const auto* info = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (info->input_scan_number > MaxScans) {
        auto* error = reinterpret_cast<TJpegError*>(cinfo->err);
        std::snprintf(error->Message, sizeof error->Message, "JPEG: too many scans");
        std::longjmp(error->Jump, 1);
    }
}

[[noreturn]] void Fail(const char* message)
{
    throw EInvalidGraphic(std::string(Tx("JPEG データが壊れています: ")) + message);
}

struct TDecodeSession {
    jpeg_decompress_struct Info{};
    TJpegError Error;
    jpeg_progress_mgr Progress{};
    // Rows as they are decoded, grown as they arrive: a header may promise a
    // huge picture that the data does not hold, and the damage shows only
    // when the rows run out.
    std::vector<uint8_t> Pixels;
    size_t Stride = 0;

    TDecodeSession()
    {
        InstallErrorHandler(reinterpret_cast<j_common_ptr>(&Info), Error);
        Progress.progress_monitor = LimitScans;
    }
    ~TDecodeSession()
    {
        // Safe on a struct that was never created: it is zeroed and
        // jpeg_destroy frees nothing then.
        jpeg_destroy_decompress(&Info);
    }
};

// Adobe files store CMYK inverted; this is what every writer of CMYK JPEG
// does in practice.
void CmykRowToBgr(const JSAMPLE* src, uint8_t* dst, JDIMENSION width)
{
    for (JDIMENSION x = 0; x < width; ++x) {
        const unsigned k = src[4 * x + 3];
        dst[3 * x] = static_cast<uint8_t>((src[4 * x + 2] * k + 127) / 255);
        dst[3 * x + 1] = static_cast<uint8_t>((src[4 * x + 1] * k + 127) / 255);
        dst[3 * x + 2] = static_cast<uint8_t>((src[4 * x] * k + 127) / 255);
    }
}

// Returns false after libjpeg gave up; the message is in the session.
bool RunDecode(TDecodeSession& s, const uint8_t* data, size_t size)
{
    if (setjmp(s.Error.Jump))
        return false;
    jpeg_create_decompress(&s.Info);
    s.Info.progress = &s.Progress;
    s.Info.mem->max_memory_to_use = MaxCodecMemory;
    jpeg_mem_src(&s.Info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&s.Info, TRUE);
    if (!TBitmap::SizeAllowed(s.Info.image_width, s.Info.image_height, 24))
        Fail("size");
    const bool cmyk = s.Info.jpeg_color_space == JCS_CMYK || s.Info.jpeg_color_space == JCS_YCCK;
    s.Info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    s.Info.scale_num = 1;
    s.Info.scale_denom = 1;
    s.Info.dct_method = JDCT_ISLOW;
    s.Info.do_fancy_upsampling = TRUE;
    s.Info.do_block_smoothing = TRUE;
    jpeg_start_decompress(&s.Info);
    s.Stride = TBitmap::StrideFor(static_cast<int>(s.Info.output_width), 24);
    JSAMPARRAY cmykRow = cmyk ? (*s.Info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&s.Info), JPOOL_IMAGE,
                                                             s.Info.output_width * 4, 1)
                              : nullptr;
    while (s.Info.output_scanline < s.Info.output_height) {
        const size_t y = s.Info.output_scanline;
        const size_t rows = s.Pixels.size() / s.Stride;
        if (y >= rows)
            s.Pixels.resize(std::min<size_t>(s.Info.output_height, std::max<size_t>(16, 2 * rows)) * s.Stride);
        uint8_t* line = s.Pixels.data() + y * s.Stride;
        JSAMPROW row = cmyk ? cmykRow[0] : line;
        if (jpeg_read_scanlines(&s.Info, &row, 1) != 1)
            Fail("no data");
        if (cmyk)
            CmykRowToBgr(cmykRow[0], line, s.Info.output_width);
    }
    jpeg_finish_decompress(&s.Info);
    return true;
}

struct TEncodeSession {
    jpeg_compress_struct Info{};
    TJpegError Error;
    unsigned char* Buffer = nullptr;
    unsigned long Size = 0;

    TEncodeSession() { InstallErrorHandler(reinterpret_cast<j_common_ptr>(&Info), Error); }
    ~TEncodeSession()
    {
        jpeg_destroy_compress(&Info);
        std::free(Buffer);
    }
};

bool RunEncode(TEncodeSession& s, const TBitmap& bitmap, bool gray, int quality)
{
    if (setjmp(s.Error.Jump))
        return false;
    jpeg_create_compress(&s.Info);
    jpeg_mem_dest(&s.Info, &s.Buffer, &s.Size);
    s.Info.image_width = static_cast<JDIMENSION>(bitmap.Width());
    s.Info.image_height = static_cast<JDIMENSION>(bitmap.Height());
    s.Info.input_components = gray ? 1 : 3;
    s.Info.in_color_space = gray ? JCS_GRAYSCALE : JCS_EXT_BGR;
    jpeg_set_defaults(&s.Info);
    // Baseline: quantisation tables limited to 8 bits, one sequential scan.
    jpeg_set_quality(&s.Info, quality, TRUE);
    s.Info.dct_method = JDCT_ISLOW;
    jpeg_start_compress(&s.Info, TRUE);
    while (s.Info.next_scanline < s.Info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(bitmap.ScanLine(static_cast<int>(s.Info.next_scanline)));
        jpeg_write_scanlines(&s.Info, &row, 1);
    }
    jpeg_finish_compress(&s.Info);
    return true;
}

}  // namespace

std::vector<uint8_t> EncodeJpeg(const TBitmap& bitmap, int quality)
{
    if (bitmap.IsEmpty())
        throw EInvalidGraphic(Tx("空のビットマップは JPEG にできません"));
    quality = std::clamp(quality, 1, 100);
    const bool gray = bitmap.IsGray();
    // A colour-mapped picture is widened first; JPEG holds no palette.
    TBitmap wide;
    const TBitmap* source = &bitmap;
    if (!gray && bitmap.BitsPerPixel() != 24) {
        wide = bitmap.Clone();
        wide.ConvertTo24();
        source = &wide;
    }
    TEncodeSession session;
    if (!RunEncode(session, *source, gray, quality))
        throw EInvalidGraphic(std::string(Tx("JPEG に変換できません: ")) + session.Error.Message);
    return std::vector<uint8_t>(session.Buffer, session.Buffer + session.Size);
}

TBitmap DecodeJpeg(const uint8_t* data, size_t size)
{
    if (!data || size < 4)
        Fail("empty");
    TDecodeSession session;
    if (!RunDecode(session, data, size))
        Fail(session.Error.Message);
    TBitmap bitmap(static_cast<int>(session.Info.output_width), static_cast<int>(session.Info.output_height), 24);
    std::memcpy(bitmap.Bits(), session.Pixels.data(), session.Pixels.size());
    return bitmap;
}
