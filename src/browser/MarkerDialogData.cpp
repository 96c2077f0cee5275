#include "browser/MarkerDialogData.h"

#include <algorithm>
#include <cstdio>

#include "base/PathUtils.h"
#include "common/IniFile.h"
#include "platform/FileSystem.h"
#include "base/Texts.h"

std::string_view MarkerDialogSection(TMarkerDialogMode mode)
{
    return mode == TMarkerDialogMode::mdRecent ? "RECENT" : "MARKER";
}

TMarkerDialogState ReadMarkerDialogState(const TIniFile& ini, TMarkerDialogMode mode)
{
    const std::string_view section = MarkerDialogSection(mode);
    TMarkerDialogState state;
    state.Sort = std::max(ini.ReadInteger(section, "Sort", 0), 0);
    state.SortDir = ini.ReadRanged(section, "SortDir", 0, 0, 2, 0);
    state.FullPath = ini.ReadBool(section, "FullPath", mode == TMarkerDialogMode::mdRecent);
    state.Delete = ini.ReadBool(section, "Delete", false);
    if (ini.ValueExists(section, "Width") && ini.ValueExists(section, "Height")) {
        state.Width = std::max(ini.ReadInteger(section, "Width", MarkerDialogMinWidth), MarkerDialogMinWidth);
        state.Height = std::max(ini.ReadInteger(section, "Height", MarkerDialogMinHeight), MarkerDialogMinHeight);
    }
    state.Header = ini.ReadString(section, "Header", "");
    return state;
}

void WriteMarkerDialogState(TIniFile& ini, TMarkerDialogMode mode, const TMarkerDialogState& state)
{
    const std::string_view section = MarkerDialogSection(mode);
    ini.WriteInteger(section, "Sort", state.Sort);
    ini.WriteInteger(section, "SortDir", state.SortDir);
    ini.WriteBool(section, "FullPath", state.FullPath);
    if (mode == TMarkerDialogMode::mdMarkers)
        ini.WriteBool(section, "Delete", state.Delete);
    if (state.Width > 0 && state.Height > 0) {
        ini.WriteInteger(section, "Width", std::max(state.Width, MarkerDialogMinWidth));
        ini.WriteInteger(section, "Height", std::max(state.Height, MarkerDialogMinHeight));
    }
    ini.WriteString(section, "Header", state.Header);
}

std::string MarkerLocationText(const TMarkerPath& entry, bool fullPath)
{
    if (!entry.Archive.empty()) {
        std::string text = fullPath ? entry.Archive : ExtractFileName(entry.Archive);
        for (const std::string& part : {entry.Folder, ExtractFilePath(entry.FileName)})
            if (!part.empty())
                text += "/" + ExcludeTrailingPathDelimiter(part);
        return text;
    }
    const std::string folder = ExcludeTrailingPathDelimiter(entry.Folder);
    if (fullPath || folder.size() <= 1)
        return folder;
    return ExtractFileName(folder);
}

std::string MarkerPositionText(const TMarkerPath& entry)
{
    char text[40];
    if (entry.Index < 0)
        std::snprintf(text, sizeof text, "-- / %d", entry.Count);
    else
        std::snprintf(text, sizeof text, "%d / %d", entry.Index + 1, entry.Count);
    return text;
}

std::string MarkerDateText(const TMarkerPath& entry)
{
    return FormatListTime(entry.Time).substr(0, 10);
}

bool MarkerLocationExists(const TMarkerPath& entry)
{
    return entry.Archive.empty() ? DirectoryExists(entry.Folder) : FileExists(entry.Archive);
}

std::string DeleteSelectedQuestion()
{
    return Tx("選択されたしおりを削除してもよろしいですか？  ");
}

std::string DeleteMissingQuestion()
{
    return Tx("パスが存在しないしおりを削除してもよろしいですか？  ");
}

std::string DeleteAllQuestion()
{
    return Tx("全てのしおりを削除してもよろしいですか？  ");
}
