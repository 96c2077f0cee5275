#pragma once

// What a search looks for: the name condition (the pattern language of
// NamePattern.h), a size and a date limit as the file masks apply them, and
// which entries count as results (folders, files, hidden entries) and whether
// sub-folders are searched too. TSearchFilter is the prepared, immutable form
// a search thread works with; it is safe to use from any thread.

#include <cstdint>
#include <string>
#include <string_view>

#include "collections/FileMask.h"

struct TSearchConditions {
    // Mask holds the name condition; an empty or "*" condition takes every
    // name. UseSize, Size and AtLeast, and the date fields, are the limits.
    TFileMaskRec Limits;
    bool TakeFolders = true;
    bool TakeFiles = true;
    bool TakeHidden = false;  // names starting with "."
    bool Subfolders = true;
};

class TSearchFilter {
public:
    explicit TSearchFilter(TSearchConditions conditions);

    const TSearchConditions& Conditions() const { return fConditions; }
    const TNameCondition& Name() const { return fMask.Condition(); }

    // Whether an entry of this kind and name may be a result at all: the
    // folder, file and hidden switches and the name condition. A search
    // asks this before it reads the entry's size and date.
    bool MayTake(std::string_view name, bool isDirectory) const;
    // The whole test: MayTake, then the size limit (files only, compared as
    // full 64-bit values) and the date limit (by calendar day).
    bool Accepts(std::string_view name, bool isDirectory, int64_t size, TDateTime modified) const;
    // Size and date alone, for shelf members whose name was tested apart.
    bool PassesLimits(bool isDirectory, int64_t size, TDateTime modified) const;

private:
    TSearchConditions fConditions;
    TFileMask fMask;
    TFileMask fLimitsOnly;
};

// Hidden in the sense of the file list: the name starts with ".".
inline bool IsHiddenName(std::string_view name) { return !name.empty() && name.front() == '.'; }
