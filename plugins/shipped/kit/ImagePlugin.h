#pragma once

// The exports of an image plug-in we ship, written once: each plug-in defines
// PluginCodec with its table, its signature test and its decoder, and
// compiles ImagePlugin.cpp beside it.

#include <cstddef>
#include <cstdint>

#include "kit/PluginKit.h"

namespace spikit {

struct TImageCodec {
    TPluginInfoTable Info;
    // header: the first bytes of the file, at least 2048 readable.
    bool (*Sniff)(const uint8_t* header, size_t size);
    // Decodes a whole file held in memory into out; preview asks for a fast,
    // possibly reduced picture. Returns an SPI_* result.
    int32_t (*Decode)(const uint8_t* data, size_t size, bool preview, TDibBuilder& out);
    // Optional: a preview for a box of boxWidth x boxHeight, reduced as far
    // as the picture fitted into the box allows. Without it the preview is
    // Decode's.
    int32_t (*DecodeForBox)(const uint8_t* data, size_t size, int32_t boxWidth, int32_t boxHeight,
                            TDibBuilder& out) = nullptr;
};

// The header size IsSupported may read.
inline constexpr size_t SniffSize = 2048;

}  // namespace spikit

extern const spikit::TImageCodec PluginCodec;
