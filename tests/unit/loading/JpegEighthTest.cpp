// The JPEG plug-in's reader of pictures at an eighth, held against libjpeg's
// own decode at that scale: the same bytes for every layout it reads, and
// every other file, or damaged data, left to libjpeg untouched.

#include <gtest/gtest.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "image/JpegEighth.h"

namespace {

using spikit::TEighthResult;

struct TLayout {
    const char* Name;
    int Width;
    int Height;
    int Components;  // 1 gray, 3 YCbCr, 4 CMYK
    int H = 1;       // of the first component; the others 1 x 1
    int V = 1;
    int Quality = 90;
    unsigned Restart = 0;  // MCUs between restart markers
    bool Optimize = false;
    bool Progressive = false;
    bool ChromaSampled = false;  // Cb sampled 2 x 1 beside Y 2 x 2
};

void PrintTo(const TLayout& layout, std::ostream* os)
{
    *os << layout.Name;
}

// Gradients, grain and saturated corners, so that blocks carry AC
// coefficients of every size and the colours clip at both ends.
std::vector<uint8_t> Samples(const TLayout& layout)
{
    std::vector<uint8_t> samples(static_cast<size_t>(layout.Width) * layout.Height * layout.Components);
    uint32_t noise = 777;
    for (int y = 0; y < layout.Height; ++y) {
        for (int x = 0; x < layout.Width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int grain = static_cast<int>((noise >> 16) % 97);
            for (int c = 0; c < layout.Components; ++c) {
                int value = (x * (c + 3) + y * (5 - c)) % 256 + grain - 48;
                if (x < layout.Width / 4 && y < layout.Height / 4)
                    value = c == 0 ? 255 : 0;
                if (x > 3 * layout.Width / 4 && y > 3 * layout.Height / 4)
                    value = c == 1 ? 255 : 0;
                samples[(static_cast<size_t>(y) * layout.Width + x) * layout.Components + c] =
                    static_cast<uint8_t>(std::clamp(value, 0, 255));
            }
        }
    }
    return samples;
}

std::vector<uint8_t> Encode(const TLayout& layout)
{
    const std::vector<uint8_t> samples = Samples(layout);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(layout.Width);
    info.image_height = static_cast<JDIMENSION>(layout.Height);
    info.input_components = layout.Components;
    info.in_color_space = layout.Components == 1 ? JCS_GRAYSCALE : layout.Components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, layout.Quality, TRUE);
    info.comp_info[0].h_samp_factor = layout.H;
    info.comp_info[0].v_samp_factor = layout.V;
    for (int c = 1; c < layout.Components; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    if (layout.ChromaSampled)
        info.comp_info[1].h_samp_factor = 2;
    info.restart_interval = layout.Restart;
    info.optimize_coding = layout.Optimize ? TRUE : FALSE;
    if (layout.Progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    const size_t stride = static_cast<size_t>(layout.Width) * layout.Components;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(samples.data()) + info.next_scanline * stride;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

struct TQuietErrors {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
};

// libjpeg's errors jump back to the caller's setjmp, its warnings are dropped.
void QuietErrorsInto(jpeg_decompress_struct& info, TQuietErrors& errors)
{
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = [](j_common_ptr common) { std::longjmp(reinterpret_cast<TQuietErrors*>(common->err)->Jump, 1); };
    errors.Base.emit_message = [](j_common_ptr, int) {};
}

// A picture's rows without their padding.
struct TPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Bytes;
    bool operator==(const TPicture&) const = default;
};

// libjpeg's own decode at 1/8, as the plug-in asks for it.
TPicture LibjpegEighth(const std::vector<uint8_t>& bytes)
{
    TPicture picture;
    jpeg_decompress_struct info{};
    TQuietErrors errors{};
    QuietErrorsInto(info, errors);
    jpeg_create_decompress(&info);
    if (setjmp(errors.Jump)) {
        jpeg_destroy_decompress(&info);
        ADD_FAILURE() << "libjpeg could not decode the file";
        return {};
    }
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = info.jpeg_color_space == JCS_GRAYSCALE ? JCS_GRAYSCALE : JCS_EXT_BGR;
    info.scale_num = 1;
    info.scale_denom = 8;
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = FALSE;
    jpeg_start_decompress(&info);
    picture.Width = static_cast<int>(info.output_width);
    picture.Height = static_cast<int>(info.output_height);
    const size_t stride = static_cast<size_t>(info.output_width) * info.output_components;
    picture.Bytes.resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = picture.Bytes.data() + info.output_scanline * stride;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return picture;
}

TEighthResult OurEighth(const std::vector<uint8_t>& bytes, TPicture& picture)
{
    jpeg_decompress_struct info{};
    TQuietErrors errors{};
    QuietErrorsInto(info, errors);
    jpeg_create_decompress(&info);
    if (setjmp(errors.Jump)) {
        jpeg_destroy_decompress(&info);
        ADD_FAILURE() << "the header did not read";
        return TEighthResult::erNotMine;
    }
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    spikit::TDibBuilder out;
    const TEighthResult result = spikit::DecodeEighth(info, out);
    const size_t channels = info.num_components == 1 ? 1 : 3;
    jpeg_destroy_decompress(&info);
    if (result != TEighthResult::erDone) {
        EXPECT_EQ(out.Bits(), nullptr) << "nothing is made for libjpeg's files";
        return result;
    }
    picture.Width = out.Width();
    picture.Height = out.Height();
    const size_t row = static_cast<size_t>(out.Width()) * channels;
    for (int y = 0; y < out.Height(); ++y)
        picture.Bytes.insert(picture.Bytes.end(), out.Row(y), out.Row(y) + row);
    return result;
}

class JpegEighthTest : public ::testing::TestWithParam<TLayout> {};

TEST_P(JpegEighthTest, GivesLibjpegsPictureByteForByte)
{
    const std::vector<uint8_t> bytes = Encode(GetParam());
    TPicture ours;
    ASSERT_EQ(OurEighth(bytes, ours), TEighthResult::erDone);
    const TPicture theirs = LibjpegEighth(bytes);
    EXPECT_EQ(ours.Width, (GetParam().Width + 7) / 8);
    ASSERT_EQ(ours.Width, theirs.Width);
    ASSERT_EQ(ours.Height, theirs.Height);
    size_t differing = 0;
    for (size_t i = 0; i < ours.Bytes.size(); ++i)
        differing += ours.Bytes[i] != theirs.Bytes[i];
    EXPECT_EQ(differing, 0u) << "of " << ours.Bytes.size() << " bytes";
}

// Damaged data is either read as libjpeg reads it or left to libjpeg: some
// forty bytes spread over the entropy-coded data flipped one at a time, and
// that data cut at every eighth.
TEST_P(JpegEighthTest, DamagedDataIsReadAsLibjpegReadsItOrLeftToIt)
{
    const std::vector<uint8_t> clean = Encode(GetParam());
    size_t start = 0;
    for (size_t i = 0; i + 1 < clean.size(); ++i) {
        if (clean[i] == 0xFF && clean[i + 1] == 0xDA)
            start = i + 2 + (static_cast<size_t>(clean[i + 2]) << 8 | clean[i + 3]);
    }
    ASSERT_GT(start, 0u);
    std::vector<std::vector<uint8_t>> damaged;
    const size_t step = std::max<size_t>(1, (clean.size() - start) / 40);
    for (size_t at = start; at + 2 < clean.size(); at += step) {
        std::vector<uint8_t> bytes = clean;
        bytes[at] ^= 0x5A;
        damaged.push_back(std::move(bytes));
    }
    for (int eighth = 1; eighth < 8; ++eighth)
        damaged.emplace_back(clean.begin(), clean.begin() + static_cast<long>(start + (clean.size() - start) * eighth / 8));
    int left = 0;
    for (const std::vector<uint8_t>& bytes : damaged) {
        TPicture ours;
        if (OurEighth(bytes, ours) == TEighthResult::erDone)
            EXPECT_EQ(ours, LibjpegEighth(bytes)) << bytes.size() << " bytes";
        else
            ++left;
    }
    EXPECT_GE(left, 7) << "every cut file is libjpeg's";
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, JpegEighthTest,
    ::testing::Values(TLayout{"Ycc420", 333, 251, 3, 2, 2}, TLayout{"Ycc422", 333, 251, 3, 2, 1},
                      TLayout{"Ycc440", 333, 251, 3, 1, 2}, TLayout{"Ycc444", 333, 251, 3, 1, 1},
                      TLayout{"Gray", 333, 251, 1}, TLayout{"OnePixel", 1, 1, 3, 2, 2},
                      TLayout{"PartialMcus", 17, 9, 3, 2, 2}, TLayout{"GrayPartialBlocks", 9, 17, 1},
                      TLayout{"Restarts420", 200, 120, 3, 2, 2, 90, 3},
                      TLayout{"RestartsGray", 200, 120, 1, 1, 1, 75, 7},
                      TLayout{"Quality100LongCodes", 160, 96, 3, 2, 2, 100},
                      TLayout{"OptimizedTables", 160, 96, 3, 2, 1, 95, 0, true},
                      TLayout{"LowQuality", 160, 96, 3, 2, 2, 10}),
    [](const ::testing::TestParamInfo<TLayout>& info) { return std::string(info.param.Name); });

// A chroma table rewritten to its largest quantizers blows the coefficients
// of a picture written at quality 100 far past what real pictures hold, and
// past the 16 bits libjpeg's vector inverse DCT works in.
TEST(JpegEighth, ValuesPastSixteenBitsAreReadAsLibjpegReadsThemOrLeftToIt)
{
    for (int quant : {0x80, 0xFF}) {
        std::vector<uint8_t> bytes = Encode(TLayout{"Ycc420", 96, 64, 3, 2, 2, 100});
        const uint8_t chromaTable[] = {0xFF, 0xDB, 0x00, 0x43, 0x01};
        const auto table = std::search(bytes.begin(), bytes.end(), std::begin(chromaTable), std::end(chromaTable));
        ASSERT_NE(table, bytes.end());
        std::fill(table + 5, table + 5 + 64, static_cast<uint8_t>(quant));
        TPicture ours;
        if (OurEighth(bytes, ours) == TEighthResult::erDone)
            EXPECT_EQ(ours, LibjpegEighth(bytes)) << quant;
    }
}

// What the reader leaves to libjpeg, with nothing made.
class JpegEighthNotMineTest : public ::testing::TestWithParam<TLayout> {};

TEST_P(JpegEighthNotMineTest, IsLeftToLibjpeg)
{
    TPicture ours;
    EXPECT_EQ(OurEighth(Encode(GetParam()), ours), TEighthResult::erNotMine);
}

INSTANTIATE_TEST_SUITE_P(Layouts, JpegEighthNotMineTest,
                         ::testing::Values(TLayout{"Progressive", 64, 48, 3, 2, 2, 90, 0, false, true},
                                           TLayout{"Cmyk", 64, 48, 4}, TLayout{"ChromaSampled", 64, 48, 3, 2, 2, 90,
                                                                                0, false, false, true}),
                         [](const ::testing::TestParamInfo<TLayout>& info) { return std::string(info.param.Name); });

}  // namespace
