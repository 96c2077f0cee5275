#pragma once

// The work of the archive plug-in, apart from the exports that hand it to
// the program: recognising zip/cbz, rar/cbr, 7z/cb7, tar/cbt and lzh files,
// listing their members and extracting one member into a folder or into
// memory, all through libarchive. It is a library of its own so that tests
// can run an extraction against a limit of their own instead of a gigabyte.
// Every function may run on any loading thread at once with the others.

#include <cstdint>
#include <vector>

#include "sdk/spi.h"

namespace archivespi {

// A member is never extracted beyond this many bytes, into memory or onto
// the disk: an archive of a few megabytes can hold a member that inflates
// to gigabytes, and the temporary folder often lies on a small tmpfs.
inline constexpr uint64_t MaxMemberBytes = uint64_t(1) << 30;

// True when the first bytes of a file look like an archive we read.
bool Sniff(const uint8_t* header);

// The members of the archive a GetArchiveInfo call names, in archive order;
// a record's position is the member's sequence number. SPI_SUCCESS when the
// whole archive was listed; SPI_BROKEN_DATA when damage stopped the listing
// (records holds the members before it, none when not even the first could
// be read); SPI_FILE_READ_ERROR when the source cannot be opened.
int32_t ListMembers(const char* source, intptr_t length, uint32_t flag, std::vector<SpiFileInfo>& records);

// GetFile: the member at position written as a file into the folder dest
// (flag SPI_DEST_FOLDER), or into a new block stored at *(HLOCAL*)dest
// (SPI_DEST_MEMORY). A member bigger than limit is refused, whatever its
// header claims: the extraction stops as soon as the limit is passed and a
// partly written file is removed. A hard link gives the bytes of the member
// it names; one that names no earlier member is refused.
int32_t ExtractMember(const char* source, intptr_t position, char* dest, uint32_t flag, uint64_t limit);

}  // namespace archivespi
