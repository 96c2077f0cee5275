#include "browser/KeyCstm.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "app/Init.h"
#include "base/Errors.h"
#include "common/IniFile.h"
#include "platform/FileSystem.h"

namespace {

constexpr std::string_view InfoSection = "KEYCUSTOMINFO";
constexpr std::string_view VersionKey = "Version";

std::string SectionOf(TCommandGroup group)
{
    return std::string(GroupName(group)) + " KEY";
}

// Groups in the order a key press looks them up, so that when a damaged or
// hand-edited file binds one combination twice in a set, the command the key
// would have run keeps it.
constexpr TCommandGroup LoadOrder[] = {TCommandGroup::cgGeneral, TCommandGroup::cgMove, TCommandGroup::cgScroll,
                                       TCommandGroup::cgImage};

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::string_view Trimmed(std::string_view item)
{
    while (!item.empty() && (item.front() == ' ' || item.front() == '\t'))
        item.remove_prefix(1);
    while (!item.empty() && (item.back() == ' ' || item.back() == '\t'))
        item.remove_suffix(1);
    return item;
}

struct TItem {
    bool Empty = true;
    bool Valid = false;  // a decimal code of 16 bits
    TShortCut Code = 0;
};

// A code wider than 16 bits would bind a different key once cut to size,
// so it reads as no code at all, as text that is no number does.
TItem ParseItem(std::string_view text)
{
    TItem item;
    text = Trimmed(text);
    item.Empty = text.empty();
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (!item.Empty && error == std::errc() && end == text.data() + text.size() && value >= 0 && value <= 0xFFFF) {
        item.Valid = true;
        item.Code = static_cast<TShortCut>(value);
    }
    return item;
}

std::vector<TItem> ParseItems(std::string_view text)
{
    std::vector<TItem> items;
    for (;;) {
        const size_t comma = text.find(',');
        items.push_back(ParseItem(text.substr(0, comma)));
        if (comma == std::string_view::npos)
            return items;
        text.remove_prefix(comma + 1);
    }
}

bool HasPrimary(TCommandGroup group)
{
    return group == TCommandGroup::cgGeneral || group == TCommandGroup::cgImage;
}

// Fills one command from its stored value; a combination another command of
// the set already has is left out.
void Fill(TKeyBindings& keys, TKeyOwner command, std::string_view value)
{
    std::vector<TShortCut>& list = *keys.EditKeys(command.Group, command.Number);
    list.clear();
    const TKeySet set = KeySetOf(command.Group);
    const auto free = [&](TShortCut code) {
        return code != 0 && !keys.Owner(code, set) && std::find(list.begin(), list.end(), code) == list.end();
    };
    const std::vector<TItem> items = ParseItems(value);
    size_t first = 0;
    if (HasPrimary(command.Group)) {
        // The first item is the primary key; without one the further keys
        // still count, behind a primary of 0.
        list.push_back(items[0].Valid && free(items[0].Code) ? items[0].Code : 0);
        first = 1;
    }
    for (size_t i = first; i < items.size(); ++i)
        if (items[i].Valid && free(items[i].Code))
            list.push_back(items[i].Code);
    if (list.size() == 1 && list.front() == 0)
        list.clear();
}

std::string JoinCodes(const std::vector<TShortCut>& codes)
{
    std::string text;
    for (size_t i = 0; i < codes.size(); ++i) {
        if (i > 0)
            text += ',';
        text += std::to_string(codes[i]);
    }
    return text;
}

struct TFlag {
    TCommandGroup Group;
    const char* Key;
    bool TKeyBindings::*Value;
};
constexpr TFlag Flags[] = {
    {TCommandGroup::cgMove, "MoveExchange", &TKeyBindings::MoveExchange},
    {TCommandGroup::cgMove, "S_MoveExchange", &TKeyBindings::S_MoveExchange},
    {TCommandGroup::cgMove, "JumpExchange", &TKeyBindings::JumpExchange},
    {TCommandGroup::cgScroll, "PageScrollExchange", &TKeyBindings::PageScrollExchange},
    {TCommandGroup::cgScroll, "LineScrollExchange", &TKeyBindings::LineScrollExchange},
};

// Merges an older version's separate key file into the settings; its INFO
// section gives only the layout version. True when there was one.
bool MergeKeyFile(TIniFile& ini, const std::string& path)
{
    if (!FileExists(path))
        return false;
    const TIniFile old(path);
    if (!old.ReadError().empty())
        return false;
    for (const std::string& section : old.ReadSections()) {
        if (SameText(section, "INFO")) {
            if (const auto version = old.Find(section, VersionKey))
                ini.WriteString(InfoSection, VersionKey, *version);
            continue;
        }
        for (const auto& [key, value] : old.ReadSectionValues(section))
            ini.WriteString(section, key, value);
    }
    return true;
}

// Older layouts of the command numbers. True when the file changed in a way
// worth writing back.
bool ConvertLayout(TIniFile& ini)
{
    const int32_t version = ini.ReadInteger(InfoSection, VersionKey, 0);
    // A newer program wrote this file: its numbers are left for it.
    if (version >= KeyLayoutVersion)
        return false;
    if (version <= 5) {
        // The earliest layouts numbered the general, move and scroll commands
        // differently; their keys fall back to the defaults.
        ini.EraseSection(SectionOf(TCommandGroup::cgGeneral));
        ini.EraseSection(SectionOf(TCommandGroup::cgMove));
        ini.EraseSection(SectionOf(TCommandGroup::cgScroll));
        return false;
    }
    // Later layouts inserted general and image commands; the move and scroll
    // lists kept their numbers and survive.
    ini.EraseSection(SectionOf(TCommandGroup::cgGeneral));
    ini.EraseSection(SectionOf(TCommandGroup::cgImage));
    ini.WriteInteger(InfoSection, VersionKey, KeyLayoutVersion);
    return true;
}


}  // namespace

TKeyBindings LoadKeyBindings(TIniFile& ini, const std::string& keyFileFolder, bool writeBack, TKeyLoadResult* result)
{
    TKeyLoadResult local;
    TKeyLoadResult& r = result ? *result : local;
    r = {};
    const std::string keyFile = keyFileFolder.empty() ? std::string() : keyFileFolder + "KeyCstm.ini";
    r.TookOverKeyFile = !keyFile.empty() && MergeKeyFile(ini, keyFile);
    r.Converted = ConvertLayout(ini);
    if (writeBack && (r.TookOverKeyFile || r.Converted)) {
        try {
            ini.UpdateFile();
            // Only now are the old bindings safe in the settings file.
            if (r.TookOverKeyFile)
                DeleteFile(keyFile);
        } catch (const EMirevaError& e) {
            r.WriteError = e.what();
        }
    }

    const TKeyBindings defaults = DefaultKeyBindings();
    TKeyBindings keys;
    keys.General.clear();
    keys.Image.clear();
    for (auto& list : keys.Move)
        list.clear();
    for (auto& list : keys.Scroll)
        list.clear();
    // The stored values first, then the defaults of the commands without a
    // value, so that a default never takes a key from a command the user
    // gave it to.
    for (const bool stored : {true, false})
        for (const TCommandGroup group : LoadOrder) {
            const std::string section = SectionOf(group);
            for (int number = 1; number <= CommandCount(group); ++number) {
                const std::string key = std::to_string(number);
                const auto value = ini.Find(section, key);
                if (stored && value)
                    Fill(keys, {group, number}, *value);
                else if (!stored && !value)
                    Fill(keys, {group, number}, JoinCodes(defaults.KeysOf(group, number)));
            }
        }
    for (const TFlag& flag : Flags)
        keys.*flag.Value = ini.ReadBool(SectionOf(flag.Group), flag.Key, defaults.*flag.Value);
    return keys;
}

void WriteKeyBindings(TIniFile& ini, const TKeyBindings& keys)
{
    ini.WriteInteger(InfoSection, VersionKey, KeyLayoutVersion);
    for (const TCommandGroup group : LoadOrder) {
        const std::string section = SectionOf(group);
        // A command without a primary but with further keys keeps them: the
        // value starts with "0".
        for (int number = 1; number <= CommandCount(group); ++number)
            ini.WriteString(section, std::to_string(number), JoinCodes(keys.KeysOf(group, number)));
    }
    for (const TFlag& flag : Flags)
        ini.WriteBool(SectionOf(flag.Group), flag.Key, keys.*flag.Value);
}

void SaveKeyBindings(TIniFile& ini, const TKeyBindings& keys, const TOptions* scroll)
{
    WriteKeyBindings(ini, keys);
    // The large and small scroll options, which the key dialog edits.
    if (scroll)
        WriteSomeOptions(ini, *scroll, [](std::string_view section, std::string_view key) {
            return section == "SCROLL" && (key.starts_with("PageScroll") || key.starts_with("LineScroll"));
        });
    ini.UpdateFile();
}
