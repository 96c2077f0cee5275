#include "browser/WindowState.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "common/IniFile.h"

namespace {

constexpr std::string_view State = "STATE";

// The tree pane's keys, in TTreeKind order.
constexpr std::array<std::string_view, 5> TreeKeys = {"FolderSplitter", "ShelfSplitter", "MediaSplitter",
                                                      "CategorySplitter", "SearchSplitter"};
constexpr std::array<std::string_view, HeaderSlotCount> HeaderKeys = {
    "ShellHeader", "GroupRootHeader", "GroupHeader", "MediaRootHeader", "CategoryRootHeader", "SearchHeader"};

// The widest column kept; a larger number is taken for damage.
constexpr int MaximumColumnWidth = 10000;

std::string Key(std::string_view key, bool fullScreen)
{
    return std::string(key) + (fullScreen ? "_Full" : "");
}

std::optional<int32_t> ReadSplitter(const TIniFile& ini, const std::string& key)
{
    if (!ini.ValueExists(State, key))
        return std::nullopt;
    // A value that is no number keeps the default; a pane can never be
    // dragged narrower than the minimum, so a smaller one reads as that.
    constexpr int32_t none = INT32_MIN;
    const int32_t value = ini.ReadInteger(State, key, none);
    if (value == none || value > MaximumWindowSide)
        return std::nullopt;
    return std::max(value, MinimumPaneSize);
}

void WriteSplitter(TIniFile& ini, const std::string& key, const std::optional<int32_t>& value)
{
    if (value)
        ini.WriteInteger(State, key, std::max(*value, MinimumPaneSize));
}

TSplitterState ReadSplitters(const TIniFile& ini, bool fullScreen)
{
    TSplitterState splitters;
    for (size_t kind = 0; kind < TreeKeys.size(); ++kind)
        splitters.Tree[kind] = ReadSplitter(ini, Key(TreeKeys[kind], fullScreen));
    splitters.TreeOverFile = ReadSplitter(ini, Key("Splitter1", fullScreen));
    splitters.FileOverImage = ReadSplitter(ini, Key("Splitter2", fullScreen));
    return splitters;
}

void WriteSplitters(TIniFile& ini, const TSplitterState& splitters, bool fullScreen)
{
    for (size_t kind = 0; kind < TreeKeys.size(); ++kind)
        WriteSplitter(ini, Key(TreeKeys[kind], fullScreen), splitters.Tree[kind]);
    WriteSplitter(ini, Key("Splitter1", fullScreen), splitters.TreeOverFile);
    WriteSplitter(ini, Key("Splitter2", fullScreen), splitters.FileOverImage);
}

TSortOrder ReadSort(const TIniFile& ini, std::string_view prefix, int32_t lastColumn)
{
    TSortOrder order;
    const std::string index = std::string(prefix) + "SortIndex";
    const std::string dir = std::string(prefix) + "SortDir";
    order.Index = ini.ReadRanged(State, index, 0, 0, lastColumn, 0);
    order.Dir = static_cast<TSortDir>(ini.ReadRanged(State, dir, 0, 0, 2, 0));
    return order;
}

void WriteSort(TIniFile& ini, std::string_view prefix, const TSortOrder& order)
{
    // A list left in its own order keeps the first column, the nearest the
    // file can say.
    ini.WriteInteger(State, std::string(prefix) + "SortIndex", std::max(order.Index, 0));
    ini.WriteInteger(State, std::string(prefix) + "SortDir", static_cast<int32_t>(order.Dir));
}


}  // namespace

// The part of the window a user must see to take hold of it.
std::optional<TWindowRect> ReadWindowBounds(const TIniFile& ini, std::string_view section,
                                            std::optional<int32_t> absent)
{
    constexpr int32_t none = INT32_MIN;
    const TWindowRect rect{ini.ReadInteger(section, "Left", none), ini.ReadInteger(section, "Top", none),
                           ini.ReadInteger(section, "Width", none), ini.ReadInteger(section, "Height", none)};
    for (const int32_t value : {rect.Left, rect.Top, rect.Width, rect.Height})
        if (value == none || value == absent)
            return std::nullopt;
    // A zero, negative or absurd size would give a window nobody can use,
    // and a far-away corner one nobody can find.
    if (rect.Width <= 0 || rect.Height <= 0 || rect.Width > MaximumWindowSide || rect.Height > MaximumWindowSide)
        return std::nullopt;
    if (std::abs(rect.Left) > 4 * MaximumWindowSide || std::abs(rect.Top) > 4 * MaximumWindowSide)
        return std::nullopt;
    return rect;
}

void WriteWindowBounds(TIniFile& ini, std::string_view section, const std::optional<TWindowRect>& bounds)
{
    if (!bounds)
        return;
    ini.WriteInteger(section, "Left", bounds->Left);
    ini.WriteInteger(section, "Top", bounds->Top);
    ini.WriteInteger(section, "Width", bounds->Width);
    ini.WriteInteger(section, "Height", bounds->Height);
}

bool Reachable(const TWindowRect& window, const std::vector<TWindowRect>& screens)
{
    const int64_t needX = std::min<int64_t>(window.Width, 50);
    const int64_t needY = std::min<int64_t>(window.Height, 30);
    for (const TWindowRect& screen : screens) {
        const int64_t left = std::max<int64_t>(window.Left, screen.Left);
        const int64_t top = std::max<int64_t>(window.Top, screen.Top);
        const int64_t right = std::min<int64_t>(int64_t{window.Left} + window.Width, int64_t{screen.Left} + screen.Width);
        const int64_t bottom =
            std::min<int64_t>(int64_t{window.Top} + window.Height, int64_t{screen.Top} + screen.Height);
        if (right - left >= needX && bottom - top >= needY)
            return true;
    }
    return false;
}

int32_t ToPixels(int32_t units, double scale)
{
    return static_cast<int32_t>(std::lround(units * scale));
}

int32_t ToUnits(int32_t pixels, double scale)
{
    return scale > 0 ? static_cast<int32_t>(std::lround(pixels / scale)) : pixels;
}

std::vector<int> ParseColumnWidths(std::string_view text)
{
    std::vector<int> widths;
    while (!text.empty()) {
        const size_t comma = text.find(',');
        std::string_view part = text.substr(0, comma);
        while (!part.empty() && part.front() == ' ')
            part.remove_prefix(1);
        while (!part.empty() && part.back() == ' ')
            part.remove_suffix(1);
        int width = -1;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), width);
        if (error != std::errc() || end != part.data() + part.size() || width < 0 || width > MaximumColumnWidth)
            return {};
        widths.push_back(width);
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return widths;
}

std::string FormatColumnWidths(const std::vector<int>& widths)
{
    std::string text;
    for (size_t i = 0; i < widths.size(); ++i)
        text += (i ? "," : "") + std::to_string(std::clamp(widths[i], 0, MaximumColumnWidth));
    return text;
}

TWindowState ReadWindowStateSection(const TIniFile& ini)
{
    TWindowState state;
    state.Bounds = ReadWindowBounds(ini, State);
    state.Max = ini.ReadBool(State, "Max", false);
    state.Normal = ReadSplitters(ini, false);
    state.FullScreen = ReadSplitters(ini, true);
    for (size_t slot = 0; slot < HeaderSlotCount; ++slot)
        state.FileHeaders[slot] = ParseColumnWidths(ini.ReadString(State, HeaderKeys[slot], ""));
    state.ArchiveHeader = ParseColumnWidths(ini.ReadString(State, "ArchiveHeader", ""));
    state.FolderSort = ReadSort(ini, "", 10);
    state.ShelfSort = ReadSort(ini, "Group", 10);
    state.ArchiveSort = ReadSort(ini, "Archive", 3);
    return state;
}

void WriteWindowStateSection(TIniFile& ini, const TWindowState& state)
{
    WriteWindowBounds(ini, State, state.Bounds);
    ini.WriteBool(State, "Max", state.Max);
    WriteSplitters(ini, state.Normal, false);
    WriteSplitters(ini, state.FullScreen, true);
    for (size_t slot = 0; slot < HeaderSlotCount; ++slot)
        ini.WriteString(State, HeaderKeys[slot], FormatColumnWidths(state.FileHeaders[slot]));
    ini.WriteString(State, "ArchiveHeader", FormatColumnWidths(state.ArchiveHeader));
    WriteSort(ini, "", state.FolderSort);
    WriteSort(ini, "Group", state.ShelfSort);
    WriteSort(ini, "Archive", state.ArchiveSort);
}

TWindowRect WindowBounds(const TWindowState& state, const TScreenInfo& screens)
{
    const TWindowRect& work = screens.WorkArea;
    if (state.Bounds) {
        const TWindowRect& stored = *state.Bounds;
        const TWindowRect window{work.Left + ToPixels(stored.Left, screens.Scale),
                                 work.Top + ToPixels(stored.Top, screens.Scale), ToPixels(stored.Width, screens.Scale),
                                 ToPixels(stored.Height, screens.Scale)};
        const std::vector<TWindowRect> all = screens.Screens.empty() ? std::vector<TWindowRect>{work} : screens.Screens;
        if (Reachable(window, all))
            return window;
    }
    int32_t width = ToPixels(850, screens.Scale);
    int32_t height = ToPixels(750, screens.Scale);
    if (work.Width < width || work.Height < height) {
        width = ToPixels(750, screens.Scale);
        height = ToPixels(550, screens.Scale);
    }
    return {work.Left + (work.Width - width) / 2, work.Top + (work.Height - height) / 2, width, height};
}

void StoreWindowBounds(TWindowState& state, const TWindowRect& pixels, const TScreenInfo& screens)
{
    state.Bounds = TWindowRect{ToUnits(pixels.Left - screens.WorkArea.Left, screens.Scale),
                               ToUnits(pixels.Top - screens.WorkArea.Top, screens.Scale),
                               ToUnits(pixels.Width, screens.Scale), ToUnits(pixels.Height, screens.Scale)};
}
