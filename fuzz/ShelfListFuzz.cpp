// Feeds arbitrary bytes to the shelf file reader: it must stop cleanly at the
// first bad field, whatever the counts and lengths claim.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "collections/Shelf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1 << 20))
        return 0;
    TMemoryStream stream(std::vector<uint8_t>(data, data + size));
    TGroupList list;
    ReadShelfList(stream, list);
    TMemoryStream out;
    WriteShelfList(list, out);
    return 0;
}
