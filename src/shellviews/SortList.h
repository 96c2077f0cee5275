#pragma once

// What the file list and the archive list share as sortable lists: the
// column-click cycle of the sort direction, the memory of the selection
// across a re-sort or a refresh (found again by each row's key), and finding
// a row by the first letters typed. Plain functions of plain data, so both
// lists and their tests use the same rules. User-interface thread.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class TSortDir : uint8_t { sdAsc, sdDesc, sdNone };

// The directions a click on the sort column cycles through.
struct TSortDirs {
    bool Asc = true;
    bool Desc = true;
    bool None = false;
    bool Has(TSortDir dir) const;
};

struct TSortOrder {
    int Index = 0;  // the sort column; below 0 the rows keep the listed order
    TSortDir Dir = TSortDir::sdAsc;
    bool operator==(const TSortOrder&) const = default;
};

// The order after a click on column: the sort column steps to the next
// allowed direction (ascending, descending, unsorted, round again); another
// column becomes the sort column with the first allowed direction. Nothing
// changes when no other direction is allowed.
TSortOrder ClickSort(const TSortOrder& current, int column, const TSortDirs& allowed);

// Applies dir to an ascending comparison's result: descending negates it.
inline int Directed(int ascending, TSortDir dir)
{
    return dir == TSortDir::sdDesc ? -ascending : ascending;
}

// The selection before a re-sort or a refresh, by row keys (a path, or a
// collection's caption).
struct TSelectionMemory {
    bool HasFocus = false;
    int FocusIndex = -1;
    std::string FocusKey;
    std::vector<std::string> SelectedKeys;
};

// The selection afterwards.
struct TListSelection {
    int Focused = -1;           // -1: nothing has the focus
    std::vector<int> Selected;  // ascending
    bool operator==(const TListSelection&) const = default;
};

// The row an open of the selection takes: the focused row when it is
// selected, else the first selected row; -1 when nothing is selected.
int OpenedRow(const TListSelection& selection);

// keyOf gives row i's key.
TSelectionMemory SaveSelection(const TListSelection& selection, const std::function<std::string(int)>& keyOf);

// Finds the selection again in a list of count rows: the focus goes back to
// the row with the focused key, else to the row at its old index (the last
// row when the list got shorter), and without a saved focus to the first
// row; every saved key still listed is selected again. indexOf gives a key's
// row or -1.
TListSelection RestoreSelection(const TSelectionMemory& memory, int count,
                                const std::function<int(const std::string&)>& indexOf);

// The first row from start on whose name begins with text, without regard
// to case; with wrap the search goes on from the top up to start. -1 when
// none does (or text is empty).
int FindByPrefix(int count, int start, const std::string& text, bool wrap,
                 const std::function<std::string(int)>& nameOf);
