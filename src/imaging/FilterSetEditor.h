#pragma once

// The working copy the filter set dialog edits: every set and its items are
// copied when the dialog opens, so nothing the user does reaches the sets in
// use until OK takes Result(); Cancel simply drops the editor, and a preview
// only ever reads from it. Rows are the sets in order, one may be ticked (the
// set in use), one selected (the set whose name and items are shown). The
// items of the selected set are listed with one empty line after them that
// stands for the end. User-interface thread.

#include <string>
#include <string_view>

#include "imaging/FilterEditors.h"
#include "imaging/FilterSets.h"

class TFilterSetEditor {
public:
    static constexpr int MaxSets = 10;

    // The sets as they are; their selected set is the ticked row, and it is
    // the selected row too (the first row when none is ticked).
    explicit TFilterSetEditor(const TFilterSets& sets);

    // The rows' caption: the number right-aligned in two characters and ":".
    static std::string RowCaption(int row);

    int Count() const { return static_cast<int>(fSets.Sets.size()); }
    const TFilterSet& Set(int row) const { return fSets.Sets.at(static_cast<size_t>(row)); }
    // The edited sets, the ticked row as their selected set.
    const TFilterSets& Result() const { return fSets; }

    // --- Rows ------------------------------------------------------------------

    int Ticked() const { return fSets.Selected; }
    // Ticking a row clears the row ticked before; clearing the ticked row
    // leaves none.
    void SetTicked(int row, bool ticked);
    void ToggleTicked(int row) { SetTicked(row, fSets.Selected != row); }
    int Current() const { return fCurrent; }
    // -1 selects no row.
    void SelectRow(int row);

    bool CanAddSet() const { return Count() < MaxSets; }
    bool CanCopySet() const { return CanAddSet() && fCurrent >= 0; }
    bool CanDeleteSet() const { return fCurrent >= 0; }
    bool CanMoveSetUp() const { return fCurrent > 0; }
    bool CanMoveSetDown() const { return fCurrent >= 0 && fCurrent + 1 < Count(); }
    // Each does nothing when it cannot; adding and copying select the new row.
    void AddSet();
    void CopySet();
    void DeleteSet();
    void MoveSetUp();
    void MoveSetDown();
    void Rename(std::string_view name);

    // --- Items of the selected set ---------------------------------------------

    // The selected set's items; empty without a selected row.
    const TFilterList& Items() const;
    // 0 .. Items().size(), the last being the empty end line; -1 without a row.
    int Line() const { return fLine; }
    void SelectLine(int line);
    bool OnItem() const { return fCurrent >= 0 && fLine >= 0 && fLine < static_cast<int>(Items().size()); }
    // Kinds other than Invert ask for their parameters before they are added.
    static bool HasParameters(FilterKind kind) { return kind != FilterKind::Invert; }

    bool CanAddItem() const { return fCurrent >= 0; }
    bool CanRemoveItem() const { return OnItem(); }
    bool CanMoveItemUp() const { return OnItem() && fLine > 0; }
    bool CanMoveItemDown() const { return OnItem() && fLine + 1 < static_cast<int>(Items().size()); }
    bool CanEditItem() const { return OnItem() && HasParameters(Items()[static_cast<size_t>(fLine)].Kind); }
    // Inserts before the selected line (the end line appends) and selects it.
    void InsertItem(TFilterItem item);
    void RemoveItem();
    void MoveItemUp();
    void MoveItemDown();
    // The selected item takes new parameters (its kind stays).
    void ReplaceItem(const TFilterItem& item);

    void RegisterObserver(TFilterEditObserver* o) { fObservers.Register(o); }
    void UnregisterObserver(TFilterEditObserver* o) { fObservers.Unregister(o); }

private:
    // Announces a change before and after it is made.
    template <class TChange>
    void Change(TFilterEditChange kind, TChange&& change);
    void ClampLine();
    TFilterList& EditedItems() { return fSets.Sets[static_cast<size_t>(fCurrent)].Items; }

    TFilterSets fSets;
    int fCurrent = -1;
    int fLine = -1;
    TObserverList<TFilterEditObserver> fObservers;
};
