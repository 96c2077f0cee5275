#pragma once

// A JPEG picture at an eighth of its size, read straight from the entropy-
// coded data. At that scale every luminance block gives one pixel, its DC
// coefficient, so the rest of a block only has to be stepped over; libjpeg
// decodes every coefficient of it all the same, and that is most of the
// time a thumbnail of a large photograph takes. The picture made here is the
// one libjpeg gives at scale 1/8 without fancy upsampling, byte for byte.
//
// Only clean sequential Huffman-coded files of 8-bit samples are read here:
// gray, or YCbCr with the chroma sampled 1x1 against luminance of 1x1, 2x1,
// 1x2 or 2x2, in one interleaved scan. Anything else, and any fault in the
// data, is left to libjpeg, which knows how to show what damaged data still
// holds. Any thread; nothing is shared between calls.

#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include "kit/PluginKit.h"

namespace spikit {

enum class TEighthResult {
    erDone,     // out holds the picture
    erStopped,  // the caller's progress callback asked to stop
    erNotMine,  // out is untouched: decode the file through libjpeg
};

// info has read the header up to the first scan (jpeg_read_header) from a
// source held in memory (jpeg_mem_src), which now stands at the scan's
// entropy-coded data; nothing else of info is changed or read past the scan.
// out is created only once the whole scan has been read cleanly.
TEighthResult DecodeEighth(const jpeg_decompress_struct& info, TDibBuilder& out);

}  // namespace spikit
