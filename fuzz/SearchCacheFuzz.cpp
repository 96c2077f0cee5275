// Feeds arbitrary bytes to the search cache reader: it reads a whole cache or
// nothing (damage leaves the cache empty), whatever the counts and lengths
// claim. A cache that was read writes back to bytes that read to the same
// cache.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"
#include "collections/SearchCache.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1 << 20))
        return 0;
    TMemoryStream stream(std::vector<uint8_t>(data, data + size));
    TSearchCache cache;
    const TCacheReadResult result = ReadSearchCache(stream, cache);
    if (result.Status != TCacheReadStatus::crRead) {
        FUZZ_CHECK(cache.Count() == 0);
        return 0;
    }
    TMemoryStream out;
    WriteSearchCache(cache, out);
    out.Seek(0, TSeekOrigin::soBeginning);
    TSearchCache again;
    FUZZ_CHECK(ReadSearchCache(out, again).Status == TCacheReadStatus::crRead);
    FUZZ_CHECK(again.Count() == cache.Count());
    return 0;
}
