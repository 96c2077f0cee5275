#pragma once

// Categories on disk: the file "Category.lst" in the data folder, read and
// written by the viewer and by mireva-cli alike, with "Category.bak" holding
// the file as it was before the first save of a run. Only the settings are
// kept; the members are gathered again when a category is opened.
//
// "Category.lst": the text "Mireva CategoryList", the version (100), the
// number of categories, then per category:
//   name, icon number, comment (texts and 32-bit integers);
//   kind, date units, exclusive, show sub-contents (one byte each);
//   search: name condition (text), take hidden, sub-folders (one byte each);
//   target count, per target: kind (byte), name (text), checked (byte);
//   rule count, per rule: name (text), kind (byte), first delimiter count and
//     texts, second delimiter count and texts, from end, remove (bytes);
//   part order count and that many 32-bit indices;
//   the condition tree from its root, each condition: name, mask (texts), use
//     size (byte), size (64-bit), at least, use date, date set type (bytes),
//     months, days (32-bit), threshold, from, to (8-byte date-times), date
//     kind (byte), child count (32-bit), then the children.
// Integers little-endian; texts a 32-bit byte count and UTF-8 bytes.

#include <string>

#include "collections/CategoryFolder.h"
#include "collections/ListFile.h"

inline constexpr char CategoryFileName[] = "Category.lst";
inline constexpr char CategoryBackupName[] = "Category.bak";
inline constexpr char CategorySignature[] = "Mireva CategoryList";
inline constexpr int32_t CategoryVersion = 100;
// Conditions nest no deeper than this; a deeper file is damaged (and would
// exhaust the stack of a reader that followed it).
inline constexpr int CategoryMaxDepth = 64;

void WriteCategoryList(const TCategoryList& list, TStream& stream);

// Appends the categories of a category file to list. Reading stops at the
// first damaged field; the categories read whole before it are kept. A
// failure of the system to read raises EFileError.
TListReadOutcome ReadCategoryList(TStream& stream, TCategoryList& list);

// Loads and saves the categories of one data folder by the rules of
// TListFile.
class TCategoryStore {
public:
    explicit TCategoryStore(const std::string& dataFolder);

    std::string FilePath() const { return fFile.Path(); }
    TListLoadResult Load(TCategoryList& list);
    // An empty list removes the file. Raises EFileError.
    void Save(const TCategoryList& list);

private:
    TListFile fFile;
};
