#include "platform/CpuFeatures.h"

#include <cstdlib>
#include <cstring>

bool SimdLevelSupported(TSimdLevel level)
{
    switch (level) {
    case TSimdLevel::slScalar:
        return true;
    case TSimdLevel::slSse41:
#if defined(__x86_64__) || defined(__i386__)
        return __builtin_cpu_supports("sse4.1");
#else
        return false;
#endif
    case TSimdLevel::slAvx2:
#if defined(__x86_64__) || defined(__i386__)
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("sse4.1");
#else
        return false;
#endif
    }
    return false;
}

TSimdLevel DetectSimdLevel()
{
    const char* scalar = std::getenv("MIREVA_SCALAR");
    if (scalar && std::strcmp(scalar, "1") == 0)
        return TSimdLevel::slScalar;
    if (SimdLevelSupported(TSimdLevel::slAvx2))
        return TSimdLevel::slAvx2;
    if (SimdLevelSupported(TSimdLevel::slSse41))
        return TSimdLevel::slSse41;
    return TSimdLevel::slScalar;
}

TSimdLevel DefaultSimdLevel()
{
    static const TSimdLevel level = DetectSimdLevel();
    return level;
}

const char* SimdLevelName(TSimdLevel level)
{
    switch (level) {
    case TSimdLevel::slScalar:
        return "scalar";
    case TSimdLevel::slSse41:
        return "sse4.1";
    case TSimdLevel::slAvx2:
        return "avx2";
    }
    return "?";
}
