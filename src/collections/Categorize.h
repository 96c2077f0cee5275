#pragma once

// How a category sorts the files it gathered into a tree of sub-categories:
// by the day they were last written, by parts cut out of their names, or by a
// tree of conditions the user made. Categorize is a pure function of the
// settings and a snapshot of the files, so the worker that runs it touches
// nothing the window shows, and tests and the benchmark call it directly.
//
// Category paths join their levels with '/', as folder paths do, so the trees
// and the file list walk them like folders. Inside one level of a date the
// parts are therefore joined by '-' ("2004-03-05", "03-05").

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "collections/FileMask.h"
#include "collections/NameDivide.h"
#include "common/DateTime.h"

enum class TCategoryKind : uint8_t {
    ckDate,        // "日付で分類(&A)"
    ckName,        // "ファイル名で分類(&F)"
    ckConditions,  // "分類条件を指定(&S)"
};

// The bits of DateUnits.
inline constexpr uint8_t duYear = 1;
inline constexpr uint8_t duMonth = 2;
inline constexpr uint8_t duDay = 4;

// One condition of the tree: a name, size and date test, and the conditions
// tried on the files it accepts.
struct TCustomCategorySet {
    static constexpr std::string_view NewName = "新しい条件";
    static constexpr std::string_view RootName = "ルート";

    std::string Name{NewName};
    // Mask, size and date as the file masks hold them; a condition made new
    // tests nothing, with "以上", one month, one day and today's dates set.
    TFileMaskRec Limits;
    std::vector<TCustomCategorySet> Children;

    bool operator==(const TCustomCategorySet&) const = default;
};

// A new condition as the condition dialog makes one.
TCustomCategorySet NewCategorySet(TDateTime today);

struct TCategorySettings {
    TCategoryKind Kind = TCategoryKind::ckDate;
    uint8_t DateUnits = duYear | duMonth;
    std::vector<TNameDivideInfo> NameParts;
    std::vector<int32_t> PartOrder;  // indices into NameParts, one level each
    TCustomCategorySet RootCondition{std::string(TCustomCategorySet::RootName), {}, {}};
    bool Exclusive = false;  // a file goes to the first matching child only

    bool operator==(const TCategorySettings&) const = default;
};

// What categorising needs to know of one gathered file.
struct TCategoryInput {
    std::string Name;  // the file name without its folder
    int64_t Size = 0;
    TDateTime Modified = 0;
};

// One category: its path ("" for the root, levels joined by '/') and the
// files placed directly in it, as indices into the input.
struct TCategoryNode {
    std::string Path;
    std::vector<int32_t> Members;
};

// The finished tree: every category once, sorted so that a parent comes
// before its children and siblings stand in the program's name order.
class TCategoryTree {
public:
    const std::vector<TCategoryNode>& Nodes() const { return fNodes; }
    // The node of a path ("" for the root); null when the tree has none.
    const TCategoryNode* Find(std::string_view path) const;
    // The paths of the categories directly below path.
    std::vector<std::string> Children(std::string_view path) const;
    // The categories made below the root.
    int CategoryCount() const { return fNodes.empty() ? 0 : static_cast<int>(fNodes.size()) - 1; }
    bool Empty() const { return fNodes.empty(); }

private:
    friend class TCategoryBuilder;
    std::vector<TCategoryNode> fNodes;
};

// The kind as the lists, thumbnail captions and hints show it: "日付",
// "ファイル名" or "条件指定" (the property dialog has its own, longer texts).
std::string_view CategoryKindText(TCategoryKind kind);

// The path of one file by date: the units chosen give the levels.
std::string DatePath(TDateTime modified, uint8_t units);
// The path of one name by its parts in the order given, stopping before the
// first empty part (or an order entry that names no rule).
std::string NamePath(const std::vector<TNameDivideInfo>& rules, const std::vector<int32_t>& order,
                     std::string_view name);

// Sorts the files into their tree. now is the moment the past months and
// days of the conditions count back from. stopped, when given, is polled so
// that a worker can give up; the tree is then incomplete.
TCategoryTree Categorize(const TCategorySettings& settings, const std::vector<TCategoryInput>& files,
                         TDateTime now, const std::atomic<bool>* stopped = nullptr);
