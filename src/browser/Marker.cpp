#include "browser/Marker.h"

#include <cctype>

#include "app/OpenPath.h"
#include "app/PathInfo.h"
#include "base/PathUtils.h"
#include "common/Text.h"
#include "platform/FileSystem.h"

namespace {

constexpr std::string_view LevelMark = "//";

// Reads digits at pos (at most maxDigits); nothing when there are none.
std::optional<int> ReadNumber(std::string_view text, size_t& pos, size_t maxDigits)
{
    size_t digits = 0;
    int value = 0;
    while (pos < text.size() && digits < maxDigits && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    return value;
}

std::string Quoted(std::string_view field)
{
    std::string out = "\"";
    for (char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

// The whole content of a list file as a text.
std::string ReadAll(TStream& stream)
{
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const int64_t got = stream.Read(buffer, sizeof buffer);
        if (got <= 0)
            break;
        bytes.append(buffer, static_cast<size_t>(got));
    }
    return bytes;
}

}  // namespace

std::string MarkerKey(std::string_view archive, std::string_view folder)
{
    if (archive.empty())
        return std::string(folder);
    if (folder.empty())
        return std::string(archive);
    std::string key(archive);
    key += LevelMark;
    key += folder;
    return key;
}

std::string FormatListTime(TDateTime time)
{
    return FormatDateTime(time);
}

std::optional<TDateTime> ParseListTime(std::string_view text)
{
    const std::string trimmed = Trim(text);
    const std::string_view t = trimmed;
    size_t pos = 0;
    TDateParts parts;
    const auto year = ReadNumber(t, pos, 4);
    if (!year || pos >= t.size())
        return std::nullopt;
    const char separator = t[pos];
    if (separator != '/' && separator != '-' && separator != '.')
        return std::nullopt;
    ++pos;
    const auto month = ReadNumber(t, pos, 2);
    if (!month || pos >= t.size() || t[pos] != separator)
        return std::nullopt;
    ++pos;
    const auto day = ReadNumber(t, pos, 2);
    if (!day || !IsValidDate(*year, *month, *day))
        return std::nullopt;
    parts.Year = *year;
    parts.Month = *month;
    parts.Day = *day;
    parts.Hour = parts.Minute = parts.Second = 0;
    if (pos < t.size()) {
        if (t[pos] != ' ' && t[pos] != 'T')
            return std::nullopt;
        while (pos < t.size() && (t[pos] == ' ' || t[pos] == 'T'))
            ++pos;
        const auto hour = ReadNumber(t, pos, 2);
        if (!hour || pos >= t.size() || t[pos] != ':')
            return std::nullopt;
        ++pos;
        const auto minute = ReadNumber(t, pos, 2);
        if (!minute)
            return std::nullopt;
        std::optional<int> second = 0;
        if (pos < t.size() && t[pos] == ':') {
            ++pos;
            second = ReadNumber(t, pos, 2);
            if (!second)
                return std::nullopt;
        }
        if (pos != t.size() || *hour > 23 || *minute > 59 || *second > 59)
            return std::nullopt;
        parts.Hour = *hour;
        parts.Minute = *minute;
        parts.Second = *second;
    }
    return EncodeDateTime(parts);
}

std::vector<std::string> ReadListRecord(std::string_view text, size_t& pos, bool& closed)
{
    std::vector<std::string> fields;
    closed = true;
    std::string field;
    bool quoted = false;
    while (pos < text.size()) {
        const char c = text[pos];
        if (quoted) {
            ++pos;
            if (c != '"') {
                field += c;
            } else if (pos < text.size() && text[pos] == '"') {
                field += '"';
                ++pos;
            } else {
                quoted = false;
            }
            continue;
        }
        if (c == '\n' || c == '\r') {
            // A record ends at the line break; "\r\n" is one break.
            ++pos;
            if (c == '\r' && pos < text.size() && text[pos] == '\n')
                ++pos;
            break;
        }
        ++pos;
        if (c == '"')
            quoted = true;
        else if (c == ',') {
            fields.push_back(std::move(field));
            field.clear();
        } else
            field += c;
    }
    if (quoted)
        closed = false;
    fields.push_back(std::move(field));
    return fields;
}

std::optional<TMarkerPath> EntryFromFields(const std::vector<std::string>& fields)
{
    if (fields.size() < 6)
        return std::nullopt;
    const auto index = TryStrToInt(Trim(fields[3]));
    const auto count = TryStrToInt(Trim(fields[4]));
    const auto time = ParseListTime(fields[5]);
    if (!index || !count || !time)
        return std::nullopt;
    TMarkerPath entry;
    entry.Archive = fields[0];
    entry.Folder = fields[1];
    entry.FileName = fields[2];
    entry.Index = *index < -1 ? -1 : *index;
    entry.Count = *count < 0 ? 0 : *count;
    entry.Time = *time;
    return entry;
}

TMarkerListText ReadMarkerList(std::string_view bytes, int maxCount)
{
    TMarkerListText result;
    const std::string text = DecodeText(bytes);
    size_t pos = 0;
    int line = 0;
    while (pos < text.size() && (maxCount < 0 || static_cast<int>(result.Entries.size()) < maxCount)) {
        // An empty line ends the list.
        if (text[pos] == '\n' || text[pos] == '\r')
            break;
        ++line;
        bool closed = true;
        const std::vector<std::string> fields = ReadListRecord(text, pos, closed);
        std::optional<TMarkerPath> entry = closed ? EntryFromFields(fields) : std::nullopt;
        if (!entry) {
            if (result.Complete)
                result.Error = closed ? "entry " + IntToStr(line) + " cannot be read" : "a quote is left open";
            result.Complete = false;
            continue;
        }
        result.Entries.push_back(std::move(*entry));
    }
    return result;
}

std::string WriteMarkerList(const std::vector<TMarkerPath>& entries)
{
    std::string out;
    for (const TMarkerPath& e : entries) {
        out += Quoted(e.Archive) + ',' + Quoted(e.Folder) + ',' + Quoted(e.FileName) + ',' + Quoted(IntToStr(e.Index)) +
               ',' + Quoted(IntToStr(e.Count)) + ',' + Quoted(FormatListTime(e.Time)) + '\n';
    }
    return out;
}

TMarkerStore::TMarkerStore(const std::string& dataFolder, const char* fileName, const char* backupName)
    : fFile(JoinPath(dataFolder, fileName), backupName ? JoinPath(dataFolder, backupName) : std::string())
{
}

TListLoadResult TMarkerStore::Load(std::vector<TMarkerPath>& entries, int maxCount)
{
    const auto read = [&](TStream& stream, bool keep) {
        TMarkerListText text = ReadMarkerList(ReadAll(stream), maxCount);
        if (keep)
            entries.insert(entries.end(), text.Entries.begin(), text.Entries.end());
        return TListReadOutcome{text.Complete, text.Error};
    };
    return fFile.Load([&](TStream& s) { return read(s, false); }, [&](TStream& s) { return read(s, true); });
}

void TMarkerStore::Save(const std::vector<TMarkerPath>& entries)
{
    if (entries.empty()) {
        fFile.Remove();
        return;
    }
    const std::string text = WriteMarkerList(entries);
    fFile.Save([&](TStream& stream) { stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size())); });
}

std::string ArchiveLevelsOf(std::string_view innerPlace)
{
    if (innerPlace.empty() || innerPlace.back() != '/')
        return std::string(innerPlace);
    const size_t mark = innerPlace.rfind(LevelMark);
    return mark == std::string::npos ? std::string() : std::string(innerPlace.substr(0, mark));
}

std::string InnerFolderOf(std::string_view innerPlace)
{
    if (innerPlace.empty() || innerPlace.back() != '/')
        return {};
    const size_t mark = innerPlace.rfind(LevelMark);
    return std::string(mark == std::string::npos ? innerPlace : innerPlace.substr(mark + LevelMark.size()));
}

std::string PlaceKey(const TShownPlace& place)
{
    switch (place.Kind) {
    case TPlaceKind::pkFolder: return IncludeTrailingPathDelimiter(place.Folder);
    case TPlaceKind::pkArchive: return MarkerKey(place.ArchivePath, ArchiveLevelsOf(place.ArchiveFolder));
    default: return {};
    }
}

TRememberedPicture FindRememberedPicture(const TMarkerPath* entry, const TShownPlace& place, bool archiveFolder,
                                         bool sameArchive)
{
    if (!entry || entry->FileName.empty())
        return {};
    if (place.Kind == TPlaceKind::pkFolder)
        return TRememberedPicture{{}, JoinPath(entry->Folder, entry->FileName)};
    if (place.Kind != TPlaceKind::pkArchive || sameArchive)
        return {};
    const std::string levels = ArchiveLevelsOf(place.ArchiveFolder);
    const std::string inner = InnerFolderOf(place.ArchiveFolder);
    const std::string part = ExtractFilePath(entry->FileName);
    if (archiveFolder) {
        if (part == inner)
            return TRememberedPicture{{}, entry->FileName};
        // At the archive's top the file's folder is entered first; in some
        // other folder of the archive the entry does not apply.
        if (!inner.empty())
            return {};
        return TRememberedPicture{levels.empty() ? part : levels + std::string(LevelMark) + part, entry->FileName};
    }
    // Shown flat, the list holds every member below the folder shown.
    if (!inner.empty() && entry->FileName.compare(0, inner.size(), inner) != 0)
        return {};
    return TRememberedPicture{{}, entry->FileName};
}

bool OpenMarkerEntry(const TMarkerPath& entry, bool archiveFolder, TPlaceView& view)
{
    TOpenOptions options;
    options.ListOpenFolder = true;
    TPathInfo info;
    if (!entry.Archive.empty()) {
        if (!FileExists(entry.Archive))
            return false;
        std::string folder = entry.Folder;
        const std::string part = ExtractFilePath(entry.FileName);
        if (archiveFolder && !part.empty()) {
            // The archive list shows folders: the file's folder is entered,
            // below the nested archive that holds it when there is one.
            if (folder.empty() || folder.back() == '/')
                folder += part;
            else
                folder += std::string(LevelMark) + part;
        }
        info.ArchivePath = entry.Archive;
        info.Folder = folder;
        info.FileName = entry.FileName;
        return OpenPathInfo(info, options, view);
    }
    if (entry.Folder.empty())
        return false;
    const std::string folder = IncludeTrailingPathDelimiter(entry.Folder);
    const std::string target = entry.FileName.empty() ? folder : JoinPath(folder, entry.FileName);
    if (QueryFile(target).Kind == TFileKind::fkNone)
        return false;
    info.Folder = folder;
    info.FileName = entry.FileName;
    return OpenPathInfo(info, options, view);
}
