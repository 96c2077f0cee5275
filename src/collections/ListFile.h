#pragma once

// Reading and writing the program's binary list files ("Shelf.lst" and its
// kin). TListReader checks every count and length against the bytes that
// remain before it allocates or reads, so a damaged file raises EFormatError
// at the first bad field instead of crashing or allocating absurd amounts.
// TListFile reads and replaces a list file so that no state of the disk, not
// even one left by a killed program, loses a list.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/Stream.h"
#include "common/BinaryReader.h"
#include "base/Texts.h"

// The reader of list files: a TBinaryReader whose failures say that the list
// file is damaged.
class TListReader : public TBinaryReader {
public:
    static constexpr std::string_view DamagedText = "リストファイルが壊れています";

    // Reads from the stream's position to its end as it is now.
    explicit TListReader(TStream& stream) : TBinaryReader(stream, DamagedText) {}
};

// The little-endian numbers of list files.
void WriteByte(TStream& stream, uint8_t value);
void WriteInt32(TStream& stream, int32_t value);
void WriteInt64(TStream& stream, int64_t value);
// A date-time or other double as the 8 bytes of its representation.
void WriteDouble(TStream& stream, double value);

struct TListReadOutcome {
    bool Complete = true;  // false when reading stopped at damage
    std::string Error;     // why it stopped
};
// Reads one whole list file from the stream. It raises EFileError when the
// system fails to read (that is no damage of the file); damage of the content
// is an outcome, not an exception.
using TListReadFunc = std::function<TListReadOutcome(TStream&)>;

struct TListLoadResult {
    bool Found = false;       // a file was read: the list file or the one read in its place
    bool Damaged = false;     // it could not be read whole; what came before the damage was read
    bool Unreadable = false;  // the list file exists but could not be read; saves are refused
    std::string RecoveredFrom;  // the file read because the list file was missing
    std::string Error;          // why it was damaged or unreadable
};

// One list file of the data folder ("Shelf.lst" and its kin) through one run
// of the program: what a load reads, and how the saves that follow replace
// the file. Nothing but a save ever changes a file, so a command that only
// reads moves, rewrites and deletes nothing.
//
// The first save of a run keeps the file it replaces as the backup; later
// saves leave the backup alone. A file found damaged at load is kept under a
// dated name before a save replaces it, and the backup then stays as it was
// (it is older and whole). A file that could not be read at all is never
// saved over. When the file is missing, a load reads the "$$" left by a save
// that was killed (when it is complete) or else the backup, and says so.
class TListFile {
public:
    // An empty backupPath keeps no backup: saves and removals replace the
    // file without a copy of the old one.
    TListFile(std::string path, std::string backupPath);

    const std::string& Path() const { return fPath; }
    const std::string& BackupPath() const { return fBackupPath; }
    bool BackupDone() const { return fBackupDone; }
    // Where the last save kept the damaged file it replaced; empty when none.
    const std::string& DamagedCopy() const { return fDamagedCopy; }

    // read reads a file into the caller's list. check reads one without
    // keeping anything, to find out whether a file read in place of a missing
    // list file is whole before read takes from it.
    TListLoadResult Load(const TListReadFunc& check, const TListReadFunc& read);
    // Writes the list file from a buffered stream the writer fills. Raises
    // EFileError; the old file then stays as it was.
    void Save(const std::function<void(TStream&)>& writer);
    // An empty list has no file: removes it, keeping it as the backup on the
    // first save of a run. Raises EFileError.
    void Remove();

private:
    // Refuses to replace a file that could not be read, and keeps a damaged
    // one under a dated name.
    void BeforeReplacing();

    std::string fPath;
    std::string fBackupPath;
    bool fBackupDone = false;
    bool fDamaged = false;
    std::string fReadError;  // set when the file exists but could not be read
    std::string fDamagedCopy;
};
