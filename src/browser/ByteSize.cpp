#include "browser/ByteSize.h"

#include <array>
#include <string_view>

#include "common/Text.h"

std::string FormatByteSize(int64_t bytes)
{
    if (bytes < 1000)
        return IntToStr(bytes < 0 ? 0 : bytes) + " バイト";
    static constexpr std::array<std::string_view, 6> Units = {"kB", "MB", "GB", "TB", "PB", "EB"};
    // Unsigned, so that adding half a tenth to the largest size cannot
    // overflow.
    const uint64_t value = static_cast<uint64_t>(bytes);
    uint64_t unit = 1000;
    for (size_t u = 0;; ++u, unit *= 1000) {
        const uint64_t tenth = unit / 10;
        const uint64_t tenths = (value + tenth / 2) / tenth;
        if (tenths < 10000 || u + 1 == Units.size())
            return IntToStr(static_cast<int64_t>(tenths / 10)) + "." + IntToStr(static_cast<int64_t>(tenths % 10)) +
                   " " + std::string(Units[u]);
    }
}
