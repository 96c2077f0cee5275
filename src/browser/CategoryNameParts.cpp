#include "browser/CategoryNameParts.h"

#include <algorithm>

namespace {

int IndexIn(const std::vector<int32_t>& list, int32_t rule)
{
    const auto it = std::find(list.begin(), list.end(), rule);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

bool InRange(int index, size_t count)
{
    return index >= 0 && static_cast<size_t>(index) < count;
}

}  // namespace

TCategoryNameParts::TCategoryNameParts(TNameDivideRules rules, const std::vector<int32_t>& order)
    : fRules(std::move(rules))
{
    RenumberRules(fRules);
    for (int32_t rule : order)
        if (InRange(rule, fRules.size()) && IndexIn(fOrder, rule) < 0)
            fOrder.push_back(rule);
    for (int32_t rule = 0; static_cast<size_t>(rule) < fRules.size(); ++rule)
        if (IndexIn(fOrder, rule) < 0)
            fUnused.push_back(rule);
}

void TCategoryNameParts::AddRule(TNameDivideInfo rule)
{
    fRules.push_back(std::move(rule));
    RenumberRules(fRules);
    fUnused.push_back(static_cast<int32_t>(fRules.size()) - 1);
}

void TCategoryNameParts::ChangeRule(int index, TNameDivideInfo rule)
{
    if (!InRange(index, fRules.size()))
        return;
    fRules[static_cast<size_t>(index)] = std::move(rule);
    RenumberRules(fRules);
}

void TCategoryNameParts::DeleteRule(int index)
{
    if (!InRange(index, fRules.size()))
        return;
    fRules.erase(fRules.begin() + index);
    RenumberRules(fRules);
    for (std::vector<int32_t>* list : {&fUnused, &fOrder}) {
        std::erase(*list, index);
        for (int32_t& rule : *list)
            if (rule > index)
                --rule;
    }
}

void TCategoryNameParts::MoveRule(int index, int step)
{
    const int other = index + step;
    if (step == 0 || !InRange(index, fRules.size()) || !InRange(other, fRules.size()))
        return;
    std::swap(fRules[static_cast<size_t>(index)], fRules[static_cast<size_t>(other)]);
    RenumberRules(fRules);
    for (std::vector<int32_t>* list : {&fUnused, &fOrder})
        for (int32_t& rule : *list)
            rule = rule == index ? other : rule == other ? index : rule;
    // The moved rule is now numbered other.
    const int movedAt = IndexIn(fUnused, other), passedAt = IndexIn(fUnused, index);
    if (movedAt >= 0 && passedAt >= 0 && passedAt == movedAt + (step < 0 ? -1 : 1))
        std::swap(fUnused[static_cast<size_t>(movedAt)], fUnused[static_cast<size_t>(passedAt)]);
}

int TCategoryNameParts::Use(int row, int before)
{
    if (!InRange(row, fUnused.size()))
        return -1;
    const int32_t rule = fUnused[static_cast<size_t>(row)];
    fUnused.erase(fUnused.begin() + row);
    const int at = std::clamp(before, 0, static_cast<int>(fOrder.size()));
    fOrder.insert(fOrder.begin() + at, rule);
    return at;
}

int TCategoryNameParts::Unuse(int row)
{
    if (!InRange(row, fOrder.size()))
        return -1;
    const int32_t rule = fOrder[static_cast<size_t>(row)];
    fOrder.erase(fOrder.begin() + row);
    const auto later = std::find_if(fUnused.begin(), fUnused.end(), [rule](int32_t other) { return other > rule; });
    const int at = static_cast<int>(later - fUnused.begin());
    fUnused.insert(later, rule);
    return at;
}

bool TCategoryNameParts::MoveLevel(int row, int step)
{
    const int other = row + step;
    if (step == 0 || !InRange(row, fOrder.size()) || !InRange(other, fOrder.size()))
        return false;
    std::swap(fOrder[static_cast<size_t>(row)], fOrder[static_cast<size_t>(other)]);
    return true;
}
