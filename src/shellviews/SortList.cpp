#include "shellviews/SortList.h"

#include <algorithm>
#include <unordered_set>

#include "common/Text.h"

bool TSortDirs::Has(TSortDir dir) const
{
    switch (dir) {
    case TSortDir::sdAsc: return Asc;
    case TSortDir::sdDesc: return Desc;
    case TSortDir::sdNone: return None;
    }
    return false;
}

TSortOrder ClickSort(const TSortOrder& current, int column, const TSortDirs& allowed)
{
    static constexpr TSortDir cycle[] = {TSortDir::sdAsc, TSortDir::sdDesc, TSortDir::sdNone};
    if (column != current.Index) {
        for (TSortDir dir : cycle) {
            if (allowed.Has(dir)) return {column, dir};
        }
        return current;
    }
    int at = static_cast<int>(current.Dir);
    for (int step = 1; step < 3; ++step) {
        TSortDir next = cycle[(at + step) % 3];
        if (allowed.Has(next)) return {column, next};
    }
    return current;
}

TSelectionMemory SaveSelection(const TListSelection& selection, const std::function<std::string(int)>& keyOf)
{
    TSelectionMemory memory;
    if (selection.Focused >= 0) {
        memory.HasFocus = true;
        memory.FocusIndex = selection.Focused;
        memory.FocusKey = keyOf(selection.Focused);
    }
    memory.SelectedKeys.reserve(selection.Selected.size());
    for (int row : selection.Selected) memory.SelectedKeys.push_back(keyOf(row));
    return memory;
}

int OpenedRow(const TListSelection& selection)
{
    const std::vector<int>& selected = selection.Selected;
    if (selection.Focused >= 0 && std::binary_search(selected.begin(), selected.end(), selection.Focused))
        return selection.Focused;
    return selected.empty() ? -1 : selected.front();
}

TListSelection RestoreSelection(const TSelectionMemory& memory, int count,
                                const std::function<int(const std::string&)>& indexOf)
{
    TListSelection result;
    if (count <= 0) return result;
    if (!memory.HasFocus) {
        result.Focused = 0;
    } else {
        int row = indexOf(memory.FocusKey);
        if (row < 0 || row >= count) row = std::clamp(memory.FocusIndex, 0, count - 1);
        result.Focused = row;
    }
    std::unordered_set<int> seen;
    for (const std::string& key : memory.SelectedKeys) {
        int row = indexOf(key);
        if (row >= 0 && row < count && seen.insert(row).second) result.Selected.push_back(row);
    }
    std::sort(result.Selected.begin(), result.Selected.end());
    return result;
}

int FindByPrefix(int count, int start, const std::string& text, bool wrap,
                 const std::function<std::string(int)>& nameOf)
{
    if (text.empty() || count <= 0) return -1;
    start = std::clamp(start, 0, count - 1);
    for (int row = start; row < count; ++row) {
        if (StartsText(text, nameOf(row))) return row;
    }
    if (!wrap) return -1;
    for (int row = 0; row < start; ++row) {
        if (StartsText(text, nameOf(row))) return row;
    }
    return -1;
}
