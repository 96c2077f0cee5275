#pragma once

// The vector kernels of the resamplers, one set per instruction-set level,
// each compiled in its own file with that level's compiler flags. They are
// called only after CpuFeatures said the processor has the level. Every kernel
// gives exactly the bytes of the plain code in ResampleCore.cpp and the
// resampler files; the tests compare them on random pictures.
//
// Weights arrive as 16-bit values plus "big" flags (see TAxisPlan): a weight w
// above 32767 is w - 65536 with the flag set, and the flagged pixels are added
// once more after the shift, which is exact because adding 65536 * p to a sum
// adds exactly p to (sum + 32768) >> 16.

#include <cstddef>
#include <cstdint>

namespace imaging_detail {

// Horizontal weights rearranged for the vector loops (see PrepareColumns).
struct TPreparedColumns {
    const int32_t* Offsets = nullptr;  // byte offset of each output's first tap in the input row
    const int16_t* Weights = nullptr;
    const int16_t* Big = nullptr;
    int Groups = 0;                     // tap groups per output (4 taps colour, 8 taps gray)
    int Outputs = 0;
    bool HasBig = false;
};

// Bilinear: per output column the left source byte offset and the 16-bit
// fraction; the right neighbour is one pixel further.
struct TLinearColumns {
    const int32_t* Offsets = nullptr;
    const uint16_t* Fractions = nullptr;
    int Outputs = 0;
};

// Area average: per output and chunk of pixels (5 for colour, 8 for gray)
// eight 16-bit coverage weights (0 to 256); with two lanes the chunks of two
// neighbouring outputs are interleaved. Colour row sums are stored as four
// 32-bit values per output (blue, green, red, unused), gray as one.
struct TAreaColumns {
    const int32_t* Offsets = nullptr;
    const uint16_t* Weights = nullptr;
    int Chunks = 0;
    int Outputs = 0;
};

#define MIREVA_DECLARE_KERNELS(ns)                                                                           \
    namespace ns {                                                                                           \
    void ConvolveVertical(const uint8_t* const* rows, const int16_t* weights, const int16_t* big, int count, \
                          bool hasBig, uint8_t* out, size_t bytes);                                          \
    void ConvolveColour(const uint8_t* in, const TPreparedColumns& columns, uint8_t* out);                    \
    void ConvolveGray(const uint8_t* in, const TPreparedColumns& columns, uint8_t* out);                      \
    void LinearColour(const uint8_t* in, const TLinearColumns& columns, uint8_t* out);                        \
    void LinearGray(const uint8_t* in, const TLinearColumns& columns, uint8_t* out);                          \
    void LinearBlend(const uint8_t* top, const uint8_t* bottom, uint32_t fraction, uint8_t* out, size_t bytes); \
    void AreaRowColour(const uint8_t* row, const TAreaColumns& columns, int32_t* sums);                       \
    void AreaRowGray(const uint8_t* row, const TAreaColumns& columns, int32_t* sums);                         \
    void AreaAccumulate(int32_t* total, const int32_t* sums, int32_t weight, size_t count);                  \
    void AreaFinish(const int32_t* total, uint32_t inverseX, uint32_t inverseY, int channels, uint8_t* out,     \
                    size_t outputs);                                                                         \
    }

MIREVA_DECLARE_KERNELS(sse41)
MIREVA_DECLARE_KERNELS(avx2)

namespace avx2 {
// Gray rows with one group of at most eight taps per output, the weights in
// blocks of eight outputs (see PrepareColumns).
void ConvolveGrayGathered(const uint8_t* in, const TPreparedColumns& columns, uint8_t* out);
}  // namespace avx2

#undef MIREVA_DECLARE_KERNELS

}  // namespace imaging_detail
