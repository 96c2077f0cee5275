#include "browser/MediaDiff.h"

#include <algorithm>

#include "common/ByteSize.h"
#include "common/DateTime.h"
#include "common/IniFile.h"
#include "base/Texts.h"

namespace {

constexpr int32_t MaximumSide = 16384;

std::string Below(const std::string& root, const std::string& path, bool fullPath)
{
    if (!fullPath || root.empty())
        return path;
    return root.back() == '/' ? root + path : root + "/" + path;
}

void Fill(const TCtFileInfo* record, const std::string& root, bool fullPath, std::string& name, std::string& size,
          std::string& time)
{
    if (!record)
        return;
    name = Below(root, record->Path, fullPath);
    if (!record->IsDirectory)
        size = FormatByteCount(record->Size);
    if (record->Modified != 0)
        time = FormatDateTime(record->Modified);
}

}  // namespace

TDifferOptions ReadDifferOptions(const TIniFile& settings)
{
    const std::string_view s = DifferSection;
    TDifferOptions options;
    options.FullPath = settings.ReadBool(s, "FullPath", false);
    options.AllFile = settings.ReadBool(s, "AllFile", false);
    options.Sync = settings.ReadBool(s, "Sync", true);
    const int32_t width = settings.ReadInteger(s, "Width", DifferNoSize);
    const int32_t height = settings.ReadInteger(s, "Height", DifferNoSize);
    const auto stored = [](int32_t side) { return side != DifferNoSize && side <= MaximumSide; };
    if (stored(width) && stored(height))
        options.Size = TDifferSize{std::max(width, DifferMinWidth), std::max(height, DifferMinHeight)};
    return options;
}

void WriteDifferOptions(TIniFile& settings, const TDifferOptions& options)
{
    const std::string_view s = DifferSection;
    settings.WriteInteger(s, "Width", options.Size ? options.Size->Width : DifferNoSize);
    settings.WriteInteger(s, "Height", options.Size ? options.Size->Height : DifferNoSize);
    settings.WriteBool(s, "FullPath", options.FullPath);
    settings.WriteBool(s, "AllFile", options.AllFile);
    settings.WriteBool(s, "Sync", options.Sync);
}

std::vector<TDiffRow> DiffRows(const TMediaFolder& live, const std::string& liveRoot, const TMediaFolder& stored,
                               const std::string& storedRoot, bool all, bool fullPath)
{
    std::vector<TDiffRow> rows;
    for (const TDiffEntry& entry : CompareCatalogues(live, stored, all)) {
        TDiffRow row;
        row.Kind = entry.Kind;
        row.IsDirectory = entry.IsDirectory;
        Fill(entry.Live, liveRoot, fullPath, row.Left, row.LeftSize, row.LeftTime);
        Fill(entry.Stored, storedRoot, fullPath, row.Right, row.RightSize, row.RightTime);
        rows.push_back(std::move(row));
    }
    return rows;
}

const char* DiffKindText(TDiffKind kind)
{
    switch (kind) {
    case TDiffKind::dkAdded: return Tx("追加");
    case TDiffKind::dkRemoved: return Tx("削除");
    case TDiffKind::dkChanged: return Tx("変更");
    case TDiffKind::dkSame: return Tx("同一");
    }
    return "";
}
