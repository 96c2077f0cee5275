#include "imaging/FilterSetEditor.h"

#include <algorithm>
#include <utility>

#include "common/Text.h"

namespace {

const TFilterList NoItems;

}  // namespace

TFilterSetEditor::TFilterSetEditor(const TFilterSets& sets) : fSets(sets)
{
    // A file may hold more sets than can be added here; they are all kept
    // (OK must not drop any), and only adding and copying stop.
    if (fSets.Selected < -1 || fSets.Selected >= Count())
        fSets.Selected = -1;
    fCurrent = fSets.Selected >= 0 ? fSets.Selected : (Count() > 0 ? 0 : -1);
    fLine = fCurrent >= 0 ? 0 : -1;
}

std::string TFilterSetEditor::RowCaption(int row)
{
    std::string number = IntToStr(row + 1);
    if (number.size() < 2)
        number.insert(0, 2 - number.size(), ' ');
    return number + ":";
}

template <class TChange>
void TFilterSetEditor::Change(TFilterEditChange kind, TChange&& change)
{
    fObservers.Notify([kind](TFilterEditObserver& o) { o.FilterEditChanged(kind, TChangePhase::cpBefore); });
    change();
    fObservers.Notify([kind](TFilterEditObserver& o) { o.FilterEditChanged(kind, TChangePhase::cpAfter); });
}

void TFilterSetEditor::SetTicked(int row, bool ticked)
{
    if (row < 0 || row >= Count())
        return;
    const int now = ticked ? row : (fSets.Selected == row ? -1 : fSets.Selected);
    if (now == fSets.Selected)
        return;
    Change(TFilterEditChange::fcActive, [&] { fSets.Selected = now; });
}

void TFilterSetEditor::SelectRow(int row)
{
    if (row < -1 || row >= Count())
        row = -1;
    if (row == fCurrent)
        return;
    Change(TFilterEditChange::fcSelection, [&] {
        fCurrent = row;
        fLine = row >= 0 ? 0 : -1;
    });
}

void TFilterSetEditor::AddSet()
{
    if (!CanAddSet())
        return;
    Change(TFilterEditChange::fcSets, [&] { fSets.Sets.push_back(TFilterSet{}); });
    SelectRow(Count() - 1);
}

void TFilterSetEditor::CopySet()
{
    if (!CanCopySet())
        return;
    // Items are values: the copy shares nothing with the original.
    Change(TFilterEditChange::fcSets, [&] { fSets.Sets.push_back(fSets.Sets[static_cast<size_t>(fCurrent)]); });
    SelectRow(Count() - 1);
}

void TFilterSetEditor::DeleteSet()
{
    if (!CanDeleteSet())
        return;
    const int row = fCurrent;
    Change(TFilterEditChange::fcSets, [&] {
        fSets.Sets.erase(fSets.Sets.begin() + row);
        if (fSets.Selected == row)
            fSets.Selected = -1;
        else if (fSets.Selected > row)
            --fSets.Selected;
        // The row at the same place, or the new last row, is selected.
        fCurrent = std::min(row, Count() - 1);
        fLine = fCurrent >= 0 ? 0 : -1;
    });
}

void TFilterSetEditor::MoveSetUp()
{
    if (!CanMoveSetUp())
        return;
    const int row = fCurrent;
    Change(TFilterEditChange::fcSets, [&] {
        std::swap(fSets.Sets[static_cast<size_t>(row)], fSets.Sets[static_cast<size_t>(row - 1)]);
        if (fSets.Selected == row)
            fSets.Selected = row - 1;
        else if (fSets.Selected == row - 1)
            fSets.Selected = row;
        fCurrent = row - 1;
    });
}

void TFilterSetEditor::MoveSetDown()
{
    if (!CanMoveSetDown())
        return;
    const int row = fCurrent;
    Change(TFilterEditChange::fcSets, [&] {
        std::swap(fSets.Sets[static_cast<size_t>(row)], fSets.Sets[static_cast<size_t>(row + 1)]);
        if (fSets.Selected == row)
            fSets.Selected = row + 1;
        else if (fSets.Selected == row + 1)
            fSets.Selected = row;
        fCurrent = row + 1;
    });
}

void TFilterSetEditor::Rename(std::string_view name)
{
    if (fCurrent < 0 || fSets.Sets[static_cast<size_t>(fCurrent)].Name == name)
        return;
    Change(TFilterEditChange::fcName, [&] { fSets.Sets[static_cast<size_t>(fCurrent)].Name = std::string(name); });
}

const TFilterList& TFilterSetEditor::Items() const
{
    return fCurrent >= 0 ? fSets.Sets[static_cast<size_t>(fCurrent)].Items : NoItems;
}

void TFilterSetEditor::SelectLine(int line)
{
    if (fCurrent < 0)
        return;
    line = std::clamp(line, 0, static_cast<int>(Items().size()));
    if (line == fLine)
        return;
    Change(TFilterEditChange::fcLine, [&] { fLine = line; });
}

void TFilterSetEditor::ClampLine()
{
    fLine = fCurrent < 0 ? -1 : std::clamp(fLine, 0, static_cast<int>(Items().size()));
}

void TFilterSetEditor::InsertItem(TFilterItem item)
{
    if (!CanAddItem())
        return;
    Change(TFilterEditChange::fcItems, [&] {
        ClampLine();
        TFilterList& items = EditedItems();
        items.insert(items.begin() + fLine, std::move(item));
    });
}

void TFilterSetEditor::RemoveItem()
{
    if (!CanRemoveItem())
        return;
    Change(TFilterEditChange::fcItems, [&] {
        TFilterList& items = EditedItems();
        items.erase(items.begin() + fLine);
        // The selection stays at its place, or goes up from the last item.
        if (fLine > 0 && fLine == static_cast<int>(items.size()))
            --fLine;
    });
}

void TFilterSetEditor::MoveItemUp()
{
    if (!CanMoveItemUp())
        return;
    Change(TFilterEditChange::fcItems, [&] {
        TFilterList& items = EditedItems();
        std::swap(items[static_cast<size_t>(fLine)], items[static_cast<size_t>(fLine - 1)]);
        --fLine;
    });
}

void TFilterSetEditor::MoveItemDown()
{
    if (!CanMoveItemDown())
        return;
    Change(TFilterEditChange::fcItems, [&] {
        TFilterList& items = EditedItems();
        std::swap(items[static_cast<size_t>(fLine)], items[static_cast<size_t>(fLine + 1)]);
        ++fLine;
    });
}

void TFilterSetEditor::ReplaceItem(const TFilterItem& item)
{
    if (!OnItem())
        return;
    TFilterItem& target = EditedItems()[static_cast<size_t>(fLine)];
    if (item.Kind != target.Kind || item == target)
        return;
    Change(TFilterEditChange::fcItems, [&] { target = item; });
}
