// Feeds arbitrary bytes to the reader of "Recent.lst" and "Marker.lst": it
// must read what it can and stop cleanly, and the entries it read must come
// back unchanged when written and read again.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzCheck.h"
#include "browser/Marker.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > MaxFuzzInput)
        return 0;
    const TMarkerListText read = ReadMarkerList(std::string_view(reinterpret_cast<const char*>(data), size));
    const TMarkerListText again = ReadMarkerList(WriteMarkerList(read.Entries));
    FUZZ_CHECK(again.Complete);
    FUZZ_CHECK(again.Entries == read.Entries);
    return 0;
}
