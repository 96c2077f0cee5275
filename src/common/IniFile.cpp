#include "common/IniFile.h"

#include "common/AtomicSave.h"
#include "base/Errors.h"
#include "common/Text.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "base/Texts.h"

namespace {

std::string StripLineBreaks(std::string_view value)
{
    std::string out(value);
    for (char& c : out) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return out;
}

void CheckSectionName(std::string_view section)
{
    if (section.find_first_of("]\r\n") != std::string_view::npos)
        throw EIniError(Tx("設定ファイルのセクション名に使えない文字があります: ") + std::string(section));
}

void CheckKeyName(std::string_view key)
{
    if (!TIniFile::IsValidKeyName(key))
        throw EIniError(Tx("設定ファイルのキー名に使えない文字があります: ") + std::string(key));
}

}  // namespace

TIniFile::TIniFile(std::string fileName) : fFileName(std::move(fileName))
{
    Reload();
}

void TIniFile::Rename(std::string fileName, bool reload)
{
    fFileName = std::move(fileName);
    fReadError.clear();
    if (reload)
        Reload();
}

void TIniFile::Reload()
{
    std::string bytes;
    std::string error;
    if (!fFileName.empty() && FileExists(fFileName)) {
        try {
            bytes = ReadWholeFile(fFileName, 64 << 20);
        } catch (const EMirevaError& e) {
            bytes.clear();
            error = e.what();
        }
    }
    LoadFromText(bytes);
    fReadError = std::move(error);
}

void TIniFile::LoadFromText(std::string_view bytes)
{
    const std::string text = DecodeText(bytes);
    fReadError.clear();
    fPreamble.clear();
    fSections.clear();
    fSectionIndex.clear();
    fModified = false;
    TSection* current = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string trimmed = Trim(line);
        if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
            const std::string name = trimmed.substr(1, trimmed.size() - 2);
            current = FindSection(name);
            if (!current)
                current = &AddSection(name);
            continue;
        }
        if (!current) {
            fPreamble.push_back(line);
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos || trimmed.empty() || trimmed.front() == ';') {
            if (!trimmed.empty())
                current->Entries.push_back(TEntry{"", line, false});
            continue;
        }
        current->Entries.push_back(TEntry{Trim(std::string_view(line).substr(0, eq)), line.substr(eq + 1), true});
    }
}

std::string TIniFile::ToText() const
{
    std::string out;
    for (const std::string& line : fPreamble) {
        out += line;
        out += '\n';
    }
    for (size_t i = 0; i < fSections.size(); ++i) {
        const TSection& section = fSections[i];
        out += '[';
        out += section.Name;
        out += "]\n";
        for (const TEntry& entry : section.Entries) {
            if (entry.IsKey) {
                out += entry.Key;
                out += '=';
            }
            out += entry.Value;
            out += '\n';
        }
        if (i + 1 < fSections.size())
            out += '\n';
    }
    return out;
}

void TIniFile::UpdateFile() const
{
    // Writing the empty copy of a file that could not be read would replace
    // the user's settings with nothing.
    if (!fReadError.empty())
        throw EFileError(fReadError);
    SaveFileAtomically(fFileName, ToText());
}

TIniFile::TSection* TIniFile::FindSection(std::string_view name)
{
    const auto found = fSectionIndex.find(LowerCase(name));
    return found == fSectionIndex.end() ? nullptr : &fSections[found->second];
}

TIniFile::TSection& TIniFile::AddSection(std::string name)
{
    fSectionIndex.emplace(LowerCase(name), fSections.size());
    fSections.push_back(TSection{std::move(name), {}});
    return fSections.back();
}

void TIniFile::IndexSections()
{
    fSectionIndex.clear();
    for (size_t i = 0; i < fSections.size(); ++i)
        fSectionIndex.emplace(LowerCase(fSections[i].Name), i);
}

const TIniFile::TSection* TIniFile::FindSection(std::string_view name) const
{
    return const_cast<TIniFile*>(this)->FindSection(name);
}

const TIniFile::TEntry* TIniFile::FindEntry(const TSection& section, std::string_view key)
{
    for (const TEntry& entry : section.Entries) {
        if (entry.IsKey && SameText(entry.Key, key))
            return &entry;
    }
    return nullptr;
}

bool TIniFile::SectionExists(std::string_view section) const
{
    return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const
{
    return Find(section, key).has_value();
}

std::vector<std::string> TIniFile::ReadSections() const
{
    std::vector<std::string> names;
    for (const TSection& section : fSections)
        names.push_back(section.Name);
    return names;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const
{
    std::vector<std::string> keys;
    if (const TSection* s = FindSection(section)) {
        for (const TEntry& entry : s->Entries) {
            if (entry.IsKey)
                keys.push_back(entry.Key);
        }
    }
    return keys;
}

std::vector<std::pair<std::string, std::string>> TIniFile::ReadSectionValues(std::string_view section) const
{
    std::vector<std::pair<std::string, std::string>> values;
    if (const TSection* s = FindSection(section)) {
        for (const TEntry& entry : s->Entries) {
            if (entry.IsKey)
                values.emplace_back(entry.Key, entry.Value);
        }
    }
    return values;
}

std::optional<std::string> TIniFile::Find(std::string_view section, std::string_view key) const
{
    const TSection* s = FindSection(section);
    if (!s)
        return std::nullopt;
    const TEntry* entry = FindEntry(*s, key);
    if (!entry)
        return std::nullopt;
    return entry->Value;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const
{
    std::optional<std::string> value = Find(section, key);
    return value ? *value : std::string(def);
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const
{
    const std::optional<std::string> value = Find(section, key);
    if (!value)
        return def;
    return StrToIntDef(Trim(*value), def);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

TColor TIniFile::ReadColor(std::string_view section, std::string_view key, TColor def) const
{
    const std::optional<std::string> value = Find(section, key);
    if (!value)
        return def;
    const std::optional<int32_t> number = TryStrToInt(Trim(*value));
    return number ? static_cast<TColor>(*number) : def;
}

int32_t TIniFile::ReadRanged(std::string_view section, std::string_view key, int32_t def, int32_t min, int32_t max,
                             int32_t fallback) const
{
    const int32_t value = ReadInteger(section, key, def);
    return value < min || value > max ? fallback : value;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    CheckSectionName(section);
    CheckKeyName(key);
    const std::string clean = StripLineBreaks(value);
    TSection* s = FindSection(section);
    if (!s)
        s = &AddSection(std::string(section));
    for (TEntry& entry : s->Entries) {
        if (entry.IsKey && SameText(entry.Key, key)) {
            if (entry.Value != clean) {
                entry.Value = clean;
                fModified = true;
            }
            return;
        }
    }
    s->Entries.push_back(TEntry{std::string(key), clean, true});
    fModified = true;
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value)
{
    WriteString(section, key, IntToStr(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

std::string TIniFile::FormatColor(TColor value)
{
    std::string text = IntToHex(value, 8);
    text.insert(text.begin(), '$');
    return text;
}

void TIniFile::WriteColor(std::string_view section, std::string_view key, TColor value)
{
    WriteString(section, key, FormatColor(value));
}

void TIniFile::DeleteKey(std::string_view section, std::string_view key)
{
    TSection* s = FindSection(section);
    if (!s)
        return;
    for (auto it = s->Entries.begin(); it != s->Entries.end(); ++it) {
        if (it->IsKey && SameText(it->Key, key)) {
            s->Entries.erase(it);
            fModified = true;
            return;
        }
    }
}

void TIniFile::EraseSection(std::string_view section)
{
    for (auto it = fSections.begin(); it != fSections.end(); ++it) {
        if (SameText(it->Name, section)) {
            fSections.erase(it);
            IndexSections();
            fModified = true;
            return;
        }
    }
}

void TIniFile::ClearSection(std::string_view section)
{
    TSection* s = FindSection(section);
    if (!s || s->Entries.empty())
        return;
    s->Entries.clear();
    fModified = true;
}

bool TIniFile::IsValidKeyName(std::string_view key)
{
    return !key.empty() && key.find_first_of("=\r\n") == std::string_view::npos && key.front() != '[' &&
           key.front() != ';' && Trim(key) == key;
}
