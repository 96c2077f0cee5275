#pragma once

// Reading and writing the program's binary list files ("Shelf.lst" and its
// kin). TListReader checks every count and length against the bytes that
// remain before it allocates or reads, so a damaged file raises EFormatError
// at the first bad field instead of crashing or allocating absurd amounts.
// SaveListFile writes a list file so that the old one is never lost.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Stream.h"

class TListReader {
public:
    // Reads from the stream's position to its end as it is now.
    explicit TListReader(TStream& stream);

    int64_t Remaining() const { return fSize - fConsumed; }
    bool AtEnd() const { return Remaining() <= 0; }
    int32_t ReadInt32();
    double ReadDouble();
    std::vector<uint8_t> ReadBytes(int64_t count);
    // A 32-bit byte count and that many bytes, decoded as UTF-8 or, for files
    // of older versions, CP932. A count of 0 or less is the empty text.
    std::string ReadText();
    // A count of records of at least minRecordBytes each; raises when the
    // rest of the file cannot hold that many.
    int32_t ReadCount(int64_t minRecordBytes);

private:
    void Need(int64_t count);

    TStream* fStream;
    int64_t fSize;
    int64_t fConsumed = 0;
};

void WriteInt32(TStream& stream, int32_t value);

// Writes path through "<path>$$": the writer fills a buffered stream, which
// is flushed and synced before anything is renamed. On the first save of a run
// (backupDone false) the old file becomes backupPath by rename; the new file
// is then renamed over path and backupDone is set. On any failure the "$$"
// file is removed, the old file is where it was, and EFileError is raised.
void SaveListFile(const std::string& path, const std::string& backupPath, bool& backupDone,
                  const std::function<void(TStream&)>& writer);

// The same rule for an empty list: the old file becomes the backup on the
// first save of a run, and is deleted on later ones.
void RemoveListFile(const std::string& path, const std::string& backupPath, bool& backupDone);
