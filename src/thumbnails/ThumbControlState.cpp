#include "thumbnails/ThumbControlState.h"

#include <algorithm>
#include <string>

#include "common/IniFile.h"
#include "common/Text.h"

namespace {

constexpr int32_t MaximumSide = 16384;
constexpr int MaximumColumnWidth = 10000;

std::vector<int> ParseWidths(const std::string& text)
{
    std::vector<int> widths;
    if (Trim(text).empty())
        return widths;
    for (const std::string& piece : SplitString(text, ',')) {
        const std::optional<int32_t> width = TryStrToInt(Trim(piece));
        if (!width || *width < 0 || *width > MaximumColumnWidth)
            return {};
        widths.push_back(*width);
    }
    return widths;
}

std::string FormatWidths(const std::vector<int>& widths)
{
    std::string out;
    for (size_t i = 0; i < widths.size(); ++i)
        out += (i > 0 ? "," : "") + IntToStr(widths[i]);
    return out;
}

}  // namespace

TThumbControlState ReadThumbControlState(const TIniFile& settings)
{
    const std::string_view s = ThumbControlSection;
    TThumbControlState state;
    state.Sort = static_cast<TThumbSortColumn>(settings.ReadRanged(s, "Sort", 0, 0, 3, 0));
    state.SortDir = static_cast<TThumbSortDir>(settings.ReadRanged(s, "SortDir", 0, 0, 2, 0));
    state.FullPath = settings.ReadBool(s, "FullPath", false);
    const int32_t width = settings.ReadInteger(s, "Width", ThumbControlNoSize);
    const int32_t height = settings.ReadInteger(s, "Height", ThumbControlNoSize);
    const auto stored = [](int32_t side) { return side != ThumbControlNoSize && side <= MaximumSide; };
    if (stored(width) && stored(height))
        state.Size = TThumbControlSize{std::max(width, ThumbControlMinWidth), std::max(height, ThumbControlMinHeight)};
    state.Header = ParseWidths(settings.ReadString(s, "Header", ""));
    return state;
}

void WriteThumbControlState(TIniFile& settings, const TThumbControlState& state)
{
    const std::string_view s = ThumbControlSection;
    settings.WriteInteger(s, "Sort", static_cast<int32_t>(state.Sort));
    settings.WriteInteger(s, "SortDir", static_cast<int32_t>(state.SortDir));
    settings.WriteBool(s, "FullPath", state.FullPath);
    settings.WriteInteger(s, "Width", state.Size ? state.Size->Width : ThumbControlNoSize);
    settings.WriteInteger(s, "Height", state.Size ? state.Size->Height : ThumbControlNoSize);
    settings.WriteString(s, "Header", FormatWidths(state.Header));
}
