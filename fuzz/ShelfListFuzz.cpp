// Feeds arbitrary bytes to the shelf file reader: it must stop cleanly at the
// first bad field, whatever the counts and lengths claim. The same bytes, taken
// as a line of a shelf export, must name a path that writes back to the same
// bytes.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "collections/PathLine.h"
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

    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const TPathLine decoded = DecodePathLine(line);
    if (decoded.Kind == TPathLineKind::plPlain || decoded.Kind == TPathLineKind::plEscaped ||
        decoded.Kind == TPathLineKind::plLegacy)
        FUZZ_CHECK(DecodePathLine(EncodePathLine(decoded.Path)).Path == decoded.Path);
    return 0;
}
