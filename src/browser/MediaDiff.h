#pragma once

// The comparison of a disc with its saved catalogue as the differences
// dialog shows it: two lists side by side, the drive's on the left and the
// catalogue's on the right, one row per path in both, blank on the side that
// lacks it. The dialog keeps its options in section DIFFER of the settings
// file in use: its size (96-dpi units, never smaller than DifferMinWidth x
// DifferMinHeight), whether full paths are shown, whether entries without
// difference are listed too, and whether both lists scroll together.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "collections/Media.h"

class TIniFile;

inline constexpr std::string_view DifferSection = "DIFFER";
inline constexpr int32_t DifferMinWidth = 500;
inline constexpr int32_t DifferMinHeight = 300;
// The value Width and Height hold when no size was stored.
inline constexpr int32_t DifferNoSize = 32767;

struct TDifferSize {
    int32_t Width = DifferMinWidth;
    int32_t Height = DifferMinHeight;
    bool operator==(const TDifferSize&) const = default;
};

struct TDifferOptions {
    std::optional<TDifferSize> Size;  // none: the dialog's own size
    bool FullPath = false;
    bool AllFile = false;
    bool Sync = true;
    bool operator==(const TDifferOptions&) const = default;
};

// The size is taken only when both Width and Height are stored: each is
// raised to the least the dialog needs, and a side of 32767 (none stored),
// or one larger than any screen (above 16384), gives no size.
TDifferOptions ReadDifferOptions(const TIniFile& settings);
// Writes every key into the copy; the caller writes the file.
void WriteDifferOptions(TIniFile& settings, const TDifferOptions& options);

// One row of the two lists; a side's texts are empty where it lacks the path.
struct TDiffRow {
    TDiffKind Kind = TDiffKind::dkSame;
    bool IsDirectory = false;
    std::string Left, LeftSize, LeftTime;
    std::string Right, RightSize, RightTime;
};

// The rows of the comparison of live (the disc, mounted at liveRoot) with
// stored (the catalogue, made at storedRoot): every difference, and with all
// the entries without difference too. Paths are relative to the medium's
// root, or with fullPath below each side's root. A folder's size is blank.
std::vector<TDiffRow> DiffRows(const TMediaFolder& live, const std::string& liveRoot, const TMediaFolder& stored,
                               const std::string& storedRoot, bool all, bool fullPath);
// The caption of the kind of difference ("追加", "削除", "変更", "同一").
const char* DiffKindText(TDiffKind kind);
