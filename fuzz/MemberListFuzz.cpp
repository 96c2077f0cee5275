// Member lists as archive plug-ins hand them back (428-byte records), read,
// cleaned and filed into folders. Whatever names the records carry, every
// path that comes out is relative, has no ".." segment, and every folder
// listed exists in the index.

#include <vector>

#include "FuzzCheck.h"
#include "common/Text.h"
#include "loading/AcvUnit.h"
#include "loading/SPIs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > MaxFuzzInput)
        return 0;
    TArchiveFileList items;
    ReadMemberList(data, size, items);
    FUZZ_CHECK(items.size() <= size / sizeof(SpiFileInfo));
    TFolderIndex folders;
    const size_t members = BuildFolderIndex(items, folders);
    FUZZ_CHECK(members <= items.size());
    for (const auto& item : items) {
        FUZZ_CHECK(!item->Path.empty() || !item->Name.empty());
        FUZZ_CHECK(item->Path.empty() || (item->Path.front() != '/' && item->Path.back() == '/'));
        FUZZ_CHECK(item->Name.find('/') == std::string::npos && item->Name != "..");
        for (const std::string& segment : SplitString(item->Path, '/'))
            FUZZ_CHECK(segment != ".." && segment != ".");
        FUZZ_CHECK(folders.count(item->IsFolder() ? ParentFolderPath(item->Path) : item->Path) == 1);
    }
    return 0;
}
