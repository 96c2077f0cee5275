#include "app/RegApp.h"

#include <algorithm>

#include "common/IniFile.h"
#include "common/Text.h"

namespace {

constexpr const char* FileSection = "FILE";
constexpr const char* DropSection = "DROP";

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

bool NeedsQuotes(std::string_view item)
{
    return std::any_of(item.begin(), item.end(), [](char c) { return IsBlank(c) || c == ',' || c == '"'; });
}

std::string RegKey(int n)
{
    return "RegApplication" + std::to_string(n);
}

std::string UseKey(int n)
{
    return "UseApplication" + std::to_string(n);
}

// A number item of a record; anything else leaves 0.
int NumberItem(const std::vector<std::string>& items, size_t index)
{
    return index < items.size() ? TryStrToInt(items[index]).value_or(0) : 0;
}

}  // namespace

std::string FormatCommaText(const std::vector<std::string>& items)
{
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += ',';
        const std::string& item = items[i];
        if (!NeedsQuotes(item)) {
            text += item;
            continue;
        }
        text += '"';
        for (char c : item) {
            if (c == '"')
                text += '"';
            text += c;
        }
        text += '"';
    }
    return text;
}

std::vector<std::string> ParseCommaText(std::string_view text)
{
    std::vector<std::string> items;
    size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
    };
    skipBlanks();
    if (i == text.size())
        return items;
    while (true) {
        std::string item;
        if (i < text.size() && text[i] == '"') {
            ++i;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
            // Anything glued to the closing quote belongs to the same item.
            while (i < text.size() && text[i] != ',' && !IsBlank(text[i]))
                item += text[i++];
        } else {
            while (i < text.size() && text[i] != ',' && !IsBlank(text[i]))
                item += text[i++];
        }
        items.push_back(std::move(item));
        skipBlanks();
        if (i < text.size() && text[i] == ',') {
            ++i;
            skipBlanks();
            continue;  // a comma is always followed by an item, if only an empty one
        }
        if (i >= text.size())
            break;
    }
    return items;
}

std::string FormatRegApplication(const TRegApplication& app)
{
    return FormatCommaText({app.Path, app.DisplayName, app.Parameters, std::to_string(static_cast<int>(app.Window)),
                            app.PassParent ? "1" : "0", app.PassArchivePath ? "1" : "0"});
}

std::optional<TRegApplication> ParseRegApplication(std::string_view value)
{
    if (value.empty())
        return std::nullopt;
    const std::vector<std::string> items = ParseCommaText(value);
    TRegApplication app;
    if (!items.empty())
        app.Path = items[0];
    if (items.size() > 1)
        app.DisplayName = items[1];
    if (items.size() > 2)
        app.Parameters = items[2];
    const int window = NumberItem(items, 3);
    app.Window = window >= 0 && window <= 2 ? static_cast<TAppWindow>(window) : TAppWindow::awNormal;
    app.PassParent = NumberItem(items, 4) != 0;
    app.PassArchivePath = NumberItem(items, 5) != 0;
    return app;
}

void TApplicationLists::Notify(TAppListChangeKind kind, TChangePhase phase)
{
    fObservers.Notify([&](TAppListObserver& observer) { observer.AppListChanged(*this, kind, phase); });
}

void TApplicationLists::SetRegistered(std::vector<TRegApplication> apps)
{
    if (apps.size() > MaxRegApplications)
        apps.resize(MaxRegApplications);
    Notify(TAppListChangeKind::alRegistered, TChangePhase::cpBefore);
    fRegistered = std::move(apps);
    Notify(TAppListChangeKind::alRegistered, TChangePhase::cpAfter);
}

void TApplicationLists::UseProgram(const std::string& program)
{
    if (program.empty())
        return;
    Notify(TAppListChangeKind::alRecent, TChangePhase::cpBefore);
    // Paths name files exactly on this system: "App" and "app" are two programs.
    std::erase(fRecent, program);
    fRecent.insert(fRecent.begin(), program);
    if (fRecent.size() > MaxRecentApplications)
        fRecent.resize(MaxRecentApplications);
    Notify(TAppListChangeKind::alRecent, TChangePhase::cpAfter);
}

void TApplicationLists::PromoteRecent(int index)
{
    if (index <= 0 || index >= static_cast<int>(fRecent.size()))
        return;
    Notify(TAppListChangeKind::alRecent, TChangePhase::cpBefore);
    std::rotate(fRecent.begin(), fRecent.begin() + index, fRecent.begin() + index + 1);
    Notify(TAppListChangeKind::alRecent, TChangePhase::cpAfter);
}

void TApplicationLists::ReadRegistered(const TIniFile& ini)
{
    std::vector<TRegApplication> apps;
    for (int n = 1; n <= MaxRegApplications; ++n)
        if (std::optional<TRegApplication> app = ParseRegApplication(ini.ReadString(FileSection, RegKey(n), "")))
            apps.push_back(std::move(*app));
    SetRegistered(std::move(apps));
}

void TApplicationLists::WriteRegistered(TIniFile& ini, bool deleteUnused) const
{
    for (int n = 1; n <= MaxRegApplications; ++n) {
        const size_t index = static_cast<size_t>(n - 1);
        if (index < fRegistered.size())
            ini.WriteString(FileSection, RegKey(n), FormatRegApplication(fRegistered[index]));
        else if (deleteUnused)
            ini.DeleteKey(FileSection, RegKey(n));
        else
            ini.WriteString(FileSection, RegKey(n), "");
    }
}

void TApplicationLists::ReadRecent(const TIniFile& ini, const std::function<bool(const std::string&)>& exists)
{
    std::vector<std::string> recent;
    for (int n = 1; n <= MaxRecentApplications; ++n) {
        std::string program = ini.ReadString(FileSection, UseKey(n), "");
        // A hand-edited file may name one program twice; the menu lists it once.
        if (program.empty() || std::find(recent.begin(), recent.end(), program) != recent.end())
            continue;
        if (exists(program))
            recent.push_back(std::move(program));
    }
    Notify(TAppListChangeKind::alRecent, TChangePhase::cpBefore);
    fRecent = std::move(recent);
    Notify(TAppListChangeKind::alRecent, TChangePhase::cpAfter);
}

void TApplicationLists::WriteRecent(TIniFile& ini) const
{
    for (int n = 1; n <= MaxRecentApplications; ++n) {
        const size_t index = static_cast<size_t>(n - 1);
        ini.WriteString(FileSection, UseKey(n), index < fRecent.size() ? fRecent[index] : std::string());
    }
}

TDropWindowSettings ReadDropWindowSettings(const TIniFile& ini)
{
    TDropWindowSettings settings;
    settings.Foreground = ini.ReadBool(DropSection, "Foreground", true);
    const std::optional<int32_t> width = TryStrToInt(ini.ReadString(DropSection, "Width", ""));
    const std::optional<int32_t> height = TryStrToInt(ini.ReadString(DropSection, "Height", ""));
    if (width && height) {
        settings.Width = std::max(*width, DropWindowMinWidth);
        settings.Height = std::max(*height, DropWindowMinHeight);
    }
    return settings;
}

void WriteDropWindowSettings(TIniFile& ini, const TDropWindowSettings& settings)
{
    ini.WriteBool(DropSection, "Foreground", settings.Foreground);
    if (settings.Width && settings.Height) {
        ini.WriteInteger(DropSection, "Width", *settings.Width);
        ini.WriteInteger(DropSection, "Height", *settings.Height);
    }
}
