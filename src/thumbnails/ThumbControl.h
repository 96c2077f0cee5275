#pragma once

// TThumbControl is the working copy of the normal thumbnail store that the
// management dialog edits: the rows of the index with their counts, sizes and
// last use, and the removals the user makes. Nothing is final until Commit:
// removed entries keep their data files until then, and a data file that is
// rewritten without the thumbnails of deleted files keeps its previous
// version as a backup, so that Revert gives back exactly what the dialog
// found. Only backups this object made are ever restored or deleted; a
// backup left on disk by an earlier run is never taken for one.
//
// Works on the store's files directly; no enumeration may run on the same
// store meanwhile. User-interface thread (or a command-line run).

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "thumbnails/ThumbFiles.h"

struct TThumbControlRow {
    std::string Key;
    int32_t Number = 0;
    int32_t DataSize = 0;
    int32_t Count = 0;
    TDateTime LastUsed = 0;
    bool Exists = true;  // the folder or archive existed when the store was read
};

enum class TThumbSortColumn : uint8_t { scPath = 0, scCount = 1, scSize = 2, scLastUsed = 3 };
enum class TThumbSortDir : uint8_t { sdAsc = 0, sdDesc = 1, sdNone = 2 };

// The text the path column shows: the whole key, or its last component
// ("/" stays as it is).
std::string ThumbRowName(const std::string& key, bool fullPath);

class TThumbControl {
public:
    // Reads the index of the store in folder (ends with '/') and tests
    // every key's path. Raises EFileError when the index exists but cannot
    // be read, for writing it back would lose every folder it lists.
    explicit TThumbControl(std::string folder);
    // Reverts what was not committed.
    ~TThumbControl();
    TThumbControl(const TThumbControl&) = delete;
    TThumbControl& operator=(const TThumbControl&) = delete;

    const std::string& Folder() const { return fFolder; }
    const std::vector<TThumbControlRow>& Rows() const { return fRows; }
    // The data file of a row's number as it stands now.
    std::string DataFilePath(int32_t number) const { return fFolder + ThumbDataFileName(number); }
    int64_t InitialTotal() const { return fInitialTotal; }
    int64_t Total() const;
    bool Changed() const { return fChanged; }

    void Sort(TThumbSortColumn column, TThumbSortDir dir, bool fullPath);

    // The removals; each returns how many rows left. Rows are given by
    // index into Rows(), in any order.
    int RemoveRows(const std::vector<size_t>& rows);
    int RemoveGone();
    int RemoveAll();
    // For every chosen folder row: a folder that is gone leaves whole;
    // otherwise its data file is rewritten without the thumbnails of files
    // no longer in the folder, and a row left with none leaves. Archive rows
    // are left alone. Returns how many thumbnails were dropped. Raises
    // EFileError when a rewrite fails; the data file is then as before.
    int RemoveMissingFiles(const std::vector<size_t>& rows);

    // The names stored for a folder row whose file is gone (empty for
    // archives and for folders that are gone).
    std::vector<std::string> MissingFiles(size_t row) const;

    // Deletes the data files of removed rows and this object's backups and
    // writes the index (or deletes it when no row is left). Nothing is
    // written when nothing changed. Raises EFileError when the index cannot
    // be written; the old index then stays.
    void Commit();
    // Puts every backup back over its rewritten data file and forgets the
    // removals; the rows are not to be used afterwards.
    void Revert();

private:
    std::string BackupPath(int32_t number) const;
    // Reads every entry of the data file of number, or of its backup.
    TThumbDataContents ReadSource(int32_t number) const;
    void MakeBackup(int32_t number);

    std::string fFolder;
    std::vector<TThumbControlRow> fRows;
    std::vector<TThumbControlRow> fRemoved;
    std::map<int32_t, std::string> fBackups;  // number -> the backup this object made
    int64_t fInitialTotal = 0;
    bool fChanged = false;
    bool fDone = false;
};
