#include "shellviews/SizeText.h"

#include <cstdio>

namespace {

std::string Grouped(uint64_t value)
{
    const std::string digits = std::to_string(value);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

// Three significant figures, truncated as file managers of old did, so that
// 1023 bytes never read as "1.00 KB".
std::string BestUnit(uint64_t bytes)
{
    if (bytes < 1000)
        return std::to_string(bytes) + " バイト";
    static const char* const units[] = {"KB", "MB", "GB", "TB", "PB", "EB"};
    // In hundredths of the unit; bytes / 1024^k * 100 stays far below the
    // 64-bit range for every k because k grows first.
    int unit = 0;
    uint64_t scale = 1024;
    while (unit < 5 && bytes / scale >= 1000) {
        scale *= 1024;
        ++unit;
    }
    const long double value = static_cast<long double>(bytes) / static_cast<long double>(scale);
    const uint64_t hundredths = static_cast<uint64_t>(value * 100);
    char text[32];
    if (hundredths < 1000)
        std::snprintf(text, sizeof text, "%llu.%02llu %s", static_cast<unsigned long long>(hundredths / 100),
                      static_cast<unsigned long long>(hundredths % 100), units[unit]);
    else if (hundredths < 10000)
        std::snprintf(text, sizeof text, "%llu.%llu %s", static_cast<unsigned long long>(hundredths / 100),
                      static_cast<unsigned long long>(hundredths / 10 % 10), units[unit]);
    else
        std::snprintf(text, sizeof text, "%llu %s", static_cast<unsigned long long>(hundredths / 100), units[unit]);
    return text;
}

}  // namespace

std::string FormatSizeColumn(uint64_t bytes, TSizeUnit unit)
{
    switch (unit) {
    case TSizeUnit::suBytes:
        return Grouped(bytes);
    case TSizeUnit::suBest:
        return BestUnit(bytes);
    case TSizeUnit::suKiloBytes:
    default:
        // Rounded up, so that a small file never reads as 0 KB.
        return Grouped(bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0)) + " KB";
    }
}
