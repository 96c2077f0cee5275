// Feeds arbitrary bytes to the media list and catalogue readers: each must
// stop cleanly at the first bad field. A catalogue read in part writes back to
// bytes that read again into as many records, and its folder index holds each
// record once.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"
#include "collections/MediaFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1 << 20))
        return 0;
    {
        TMemoryStream stream(std::vector<uint8_t>(data, data + size));
        TMediaList list;
        ReadMediaList(stream, list, {});
        TMemoryStream out;
        WriteMediaList(list, out);
    }
    TMemoryStream stream(std::vector<uint8_t>(data, data + size));
    TMediaFolder medium(nullptr, "fuzz");
    ReadCatalogue(stream, medium);
    size_t indexed = 0;
    for (int d = 0; d < medium.DirectoryCount(); ++d)
        indexed += medium.DirectoryItems(d).size();
    int named = 0;
    for (int i = 0; i < medium.Count(); ++i)
        named += CatalogueKey(medium.Record(i)->Path).empty() ? 0 : 1;
    FUZZ_CHECK(indexed == static_cast<size_t>(named));
    TMemoryStream out;
    WriteCatalogue(medium, out);
    out.SetPosition(0);
    TMediaFolder again(nullptr, "fuzz");
    FUZZ_CHECK(ReadCatalogue(out, again).Complete);
    FUZZ_CHECK(again.Count() == medium.Count());
    return 0;
}
