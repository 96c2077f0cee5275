#include "common/ByteSize.h"

#include <array>
#include <cstdint>
#include <string_view>

#include "common/Text.h"
#include "base/Texts.h"

std::string FormatByteSize(int64_t bytes)
{
    if (bytes < 1000)
        return IntToStr(bytes < 0 ? 0 : bytes) + Tx(" バイト");
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

namespace {

std::string Grouped(uint64_t value)
{
    std::string digits = std::to_string(value);
    std::string result;
    result.reserve(digits.size() + digits.size() / 3);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            result += ',';
        result += digits[i];
    }
    return result;
}

}  // namespace

std::string FormatKBSize(int64_t bytes)
{
    const uint64_t value = bytes < 0 ? 0 : static_cast<uint64_t>(bytes);
    return Grouped(value / 1024 + (value % 1024 != 0 ? 1 : 0)) + " KB";
}

std::string FormatByteCount(int64_t bytes)
{
    return Grouped(bytes < 0 ? 0 : static_cast<uint64_t>(bytes));
}
