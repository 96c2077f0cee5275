// Archives as the archive plug-in lists them from memory: zip, rar, 7z, tar
// and lzh through libarchive, names turned into UTF-8 (LHA names read as
// CP932 where they are not UTF-8), hard links given their target's size.
// Whatever the bytes, the listing ends with a known result and every record
// carries a method and names that are terminated, valid UTF-8 and split at
// their last '/'.

#include <cstring>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "archive/ArchiveAccess.h"
#include "kit/PluginKit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > MaxFuzzInput || size == 0)
        return 0;
    std::vector<SpiFileInfo> records;
    const int32_t result = archivespi::ListMembers(reinterpret_cast<const char*>(data), static_cast<intptr_t>(size),
                                                   SPI_SOURCE_MEMORY, records);
    FUZZ_CHECK(result == SPI_SUCCESS || result == SPI_BROKEN_DATA || result == SPI_FILE_READ_ERROR);
    for (const SpiFileInfo& record : records) {
        FUZZ_CHECK(record.method[0] != 0);
        FUZZ_CHECK(std::memchr(record.path, 0, sizeof record.path) != nullptr);
        FUZZ_CHECK(std::memchr(record.filename, 0, sizeof record.filename) != nullptr);
        const std::string path = record.path;
        const std::string name = record.filename;
        FUZZ_CHECK(spikit::IsValidUtf8(path) && spikit::IsValidUtf8(name));
        FUZZ_CHECK(path.empty() || path.back() == '/');
        FUZZ_CHECK(name.find('/') == std::string::npos && name.find('\\') == std::string::npos);
        FUZZ_CHECK(!path.empty() || !name.empty());
    }
    return 0;
}
