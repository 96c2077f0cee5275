// Feeds arbitrary bytes to the category file reader: it must stop cleanly at
// the first bad field, whatever the counts, lengths and nesting claim, and
// what it read must write out and read back to the same bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"
#include "collections/CategoryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > MaxFuzzInput)
        return 0;
    TMemoryStream stream(std::vector<uint8_t>(data, data + size));
    TCategoryList list;
    ReadCategoryList(stream, list);
    TMemoryStream out;
    WriteCategoryList(list, out);

    out.SetPosition(0);
    TCategoryList again;
    FUZZ_CHECK(ReadCategoryList(out, again).Complete);
    FUZZ_CHECK(again.Count() == list.Count());
    // Every date read is a real date, so the settings compare equal.
    for (int i = 0; i < list.Count(); ++i)
        FUZZ_CHECK(again.Category(i)->Settings() == list.Category(i)->Settings());
    TMemoryStream rewritten;
    WriteCategoryList(again, rewritten);
    FUZZ_CHECK(rewritten.Bytes() == out.Bytes());
    return 0;
}
