// Reads arbitrary bytes as the FILTER section of a settings file and as one
// item text, the way the settings code and mireva-cli filter do. No input may
// crash. The first write may clean names up (the settings engine turns line
// breaks into blanks); after it, what is written must read back unchanged.
// Every item that parses must format back to itself and run on a small
// picture of either layout.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "common/IniFile.h"
#include "imaging/FilterProc.h"
#include "imaging/FilterSets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > MaxFuzzInput)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    TIniFile ini;
    ini.LoadFromText(std::string("[FILTER]\n") + std::string(text));
    TFilterSets rounds[3];
    rounds[0] = ReadFilterSets(ini);
    for (int round = 1; round < 3; ++round) {
        TIniFile written;
        WriteFilterSets(written, rounds[round - 1]);
        TIniFile again;
        again.LoadFromText(written.ToText());
        rounds[round] = ReadFilterSets(again);
    }
    FUZZ_CHECK(rounds[2] == rounds[1]);
    FUZZ_CHECK(rounds[1].Sets.size() == rounds[0].Sets.size());

    const std::string_view firstLine = text.substr(0, text.find('\n'));
    if (const std::optional<TFilterItem> item = ParseFilterItem(firstLine)) {
        const std::optional<TFilterItem> back = ParseFilterItem(FormatFilterItem(*item));
        FUZZ_CHECK(back && *back == *item);
        for (int bits : {24, 8}) {
            TBitmap picture(3, 2, bits, true);
            if (bits == 8)
                picture.SetGrayPalette();
            bool gray = bits == 8;
            ApplyFilters(picture, {*item}, gray);
            FUZZ_CHECK(!picture.IsEmpty());
            FUZZ_CHECK(gray == (picture.BitsPerPixel() == 8));
        }
    }
    return 0;
}
