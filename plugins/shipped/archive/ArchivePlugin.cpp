// The archive plug-in we ship: the exports through which the program reaches
// ArchiveAccess, with the plug-in's fixed limits.

#include <cstring>
#include <vector>

#include "archive/ArchiveAccess.h"
#include "kit/PluginKit.h"

using namespace spikit;

namespace {

const char* const Groups[] = {
    "*.zip;*.cbz", "ZIP archive", "*.rar;*.cbr", "RAR archive", "*.7z;*.cb7", "7-Zip archive",
    "*.tar;*.cbt", "tar archive", "*.lzh;*.lha", "LHA archive", nullptr,
};
const TPluginInfoTable Info = {"00AM", "Archives (libarchive) for Mireva", Groups};

}  // namespace

extern "C" {

SPI_EXPORT int32_t GetPluginInfo(int32_t number, char* buffer, int32_t length)
{
    return AnswerPluginInfo(Info, number, buffer, length);
}

SPI_EXPORT int32_t IsSupported(const char* fileName, const void* header)
{
    return header && archivespi::Sniff(static_cast<const uint8_t*>(header)) ? 1 : 0;
}

SPI_EXPORT int32_t GetArchiveInfo(const char* source, intptr_t length, uint32_t flag, HLOCAL* list)
{
    if (!list)
        return SPI_MEMORY_ERROR;
    *list = nullptr;
    try {
        std::vector<SpiFileInfo> records;
        const int32_t result = archivespi::ListMembers(source, length, flag, records);
        if (result != SPI_SUCCESS && records.empty())
            return result;
        // A listing stopped by damage still hands over the members before
        // it, with its error as the result: the program shows them and says
        // that the list is incomplete. One zeroed record more ends the list.
        HLOCAL handle = LocalAlloc(LPTR, (records.size() + 1) * sizeof(SpiFileInfo));
        if (!handle)
            return SPI_NO_MEMORY;
        if (!records.empty())
            std::memcpy(LocalLock(handle), records.data(), records.size() * sizeof(SpiFileInfo));
        LocalUnlock(handle);
        *list = handle;
        return result;
    } catch (...) {
        return SPI_NO_MEMORY;
    }
}

SPI_EXPORT int32_t GetFile(const char* source, intptr_t position, char* dest, uint32_t flag, SpiProgress progress,
                           intptr_t user)
{
    try {
        return archivespi::ExtractMember(source, position, dest, flag, archivespi::MaxMemberBytes);
    } catch (...) {
        return SPI_NO_MEMORY;
    }
}

SPI_EXPORT int32_t ConfigurationDlg(uintptr_t parent, int32_t function)
{
    return SPI_NOT_IMPLEMENTED;
}

// Every call opens its own libarchive reader and works in its own thread's
// locale; the readers kept for the next extraction are handed to one call at
// a time under their own lock.
SPI_EXPORT int32_t SpiThreadSafe(void)
{
    return SPI_THREAD_SAFE;
}

}  // extern "C"
