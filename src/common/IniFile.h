#pragma once

// The settings-file engine: an INI file read whole into memory, read and
// changed there, and written back as a whole only when UpdateFile is called.
// Sections and keys keep their file order, and sections, keys and lines the
// program does not know survive a save untouched. Section and key names
// compare without case. Files of older versions in CP932 are read as well;
// files are written in UTF-8 through "$$" and rename (AtomicSave.h).
//
// Values never carry a line break: one written with CR or LF has them turned
// into blanks, so no value can inject a key or a section. A key holding "="
// or a line break, or a section name holding "]" or a line break, is refused
// with EIniError.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/Color.h"

class TIniFile {
public:
    TIniFile() = default;
    // Reads the file; a missing or unreadable file reads as empty.
    explicit TIniFile(std::string fileName);

    const std::string& FileName() const { return fFileName; }
    // Points the copy at another file; with reload, the copy is replaced by
    // that file's content (empty when it does not exist).
    void Rename(std::string fileName, bool reload);
    // Re-reads the file from disk.
    void Reload();
    // Why the file could not be read when it exists but could not be read
    // (no permission, far too large); empty otherwise. Such a copy reads as
    // empty, and UpdateFile refuses to write it over the file it never saw.
    const std::string& ReadError() const { return fReadError; }

    void LoadFromText(std::string_view bytes);
    std::string ToText() const;
    // Writes the whole copy to FileName() safely; raises EFileError, also
    // when the file exists but could not be read.
    void UpdateFile() const;
    // True when a Write, Delete or Erase changed the copy since it was read.
    bool Modified() const { return fModified; }
    void ClearModified() { fModified = false; }

    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::vector<std::string> ReadSections() const;
    // The keys of a section in file order.
    std::vector<std::string> ReadSection(std::string_view section) const;
    std::vector<std::pair<std::string, std::string>> ReadSectionValues(std::string_view section) const;

    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
    // Decimal, "$" or "0x" hexadecimal; anything else gives def.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
    // Any integer other than 0 is true; text that is no number gives def.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;
    TColor ReadColor(std::string_view section, std::string_view key, TColor def) const;
    // ReadInteger, then a value outside min..max becomes fallback.
    int32_t ReadRanged(std::string_view section, std::string_view key, int32_t def, int32_t min, int32_t max,
                       int32_t fallback) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);
    // "$" followed by 8 upper-case hexadecimal digits.
    void WriteColor(std::string_view section, std::string_view key, TColor value);

    void DeleteKey(std::string_view section, std::string_view key);
    void EraseSection(std::string_view section);
    // Removes every line of a section but keeps the section at its place in
    // the file, so a list that is rewritten as a whole does not move to the
    // end of the file on every save.
    void ClearSection(std::string_view section);

    // True when a key of that name could be written (WriteString refuses the
    // others): not empty, no "=" or line break, no blank at either end, and not
    // starting with "[" or ";".
    static bool IsValidKeyName(std::string_view key);

    static std::string FormatColor(TColor value);

private:
    struct TEntry {
        std::string Key;    // empty for a line that is not key=value
        std::string Value;  // the value, or the whole line for other lines
        bool IsKey = true;
    };
    struct TSection {
        std::string Name;
        std::vector<TEntry> Entries;
    };

    TSection* FindSection(std::string_view name);
    TSection& AddSection(std::string name);
    void IndexSections();
    const TSection* FindSection(std::string_view name) const;
    static const TEntry* FindEntry(const TSection& section, std::string_view key);

    std::string fFileName;
    std::string fReadError;
    std::vector<std::string> fPreamble;  // lines before the first section
    std::vector<TSection> fSections;
    // The position of each section in fSections by its lower-cased name, so
    // that finding one does not walk them all: a file of tens of thousands of
    // sections (lists written by other tools) loads in linear time.
    std::unordered_map<std::string, size_t> fSectionIndex;
    bool fModified = false;
};
