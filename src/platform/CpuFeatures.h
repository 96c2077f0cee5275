#pragma once

// Which vector instruction sets the resamplers may use on this processor. The
// check runs once; MIREVA_SCALAR=1 in the environment forces the plain code,
// which is the reference every vector variant must match byte for byte.

#include <cstdint>

enum class TSimdLevel : uint8_t { slScalar, slSse41, slAvx2 };

// The best level this processor supports, honouring MIREVA_SCALAR=1.
TSimdLevel DetectSimdLevel();

// DetectSimdLevel(), computed on the first call and kept (safe from any
// thread).
TSimdLevel DefaultSimdLevel();

// True when this processor can run code of that level (tests use it to run
// every variant the machine offers, whatever MIREVA_SCALAR says).
bool SimdLevelSupported(TSimdLevel level);

const char* SimdLevelName(TSimdLevel level);
