#pragma once

// What the name settings of a category edit, without their widgets: the
// name-division rules and which of their parts form the levels, in order.
// The rules stand in two lists, "存在する項目(&O)" (parts not used) and
// "表示する項目(&V)" (the levels, top first); both follow every edit of the
// rules, so a deleted rule leaves them and a moved one keeps its place in
// them. The dialog shows this model and forwards the user's clicks to it.

#include <vector>

#include "export/RuleListEditor.h"

class TCategoryNameParts : public TNameDivideRuleEditor {
public:
    // order names rules by index; an entry naming no rule, or a rule named
    // before, is dropped.
    TCategoryNameParts(TNameDivideRules rules, const std::vector<int32_t>& order);

    const TNameDivideRules& Rules() const override { return fRules; }
    // A new rule's part joins the unused parts, at their end.
    void AddRule(TNameDivideInfo rule) override;
    void ChangeRule(int index, TNameDivideInfo rule) override;
    // The rule's part leaves whichever list holds it.
    void DeleteRule(int index) override;
    // The parts follow their rules; among the unused parts one that stood
    // next to the passed rule's part on the side moved to changes place
    // with it as well, so the unused parts keep the rules' order.
    void MoveRule(int index, int step) override;

    // Rule indices, in the order the lists show them.
    const std::vector<int32_t>& Unused() const { return fUnused; }
    const std::vector<int32_t>& Order() const { return fOrder; }

    // The unused part at row becomes a level before the level at before
    // (at the end when before is past the last); returns the row it took
    // among the levels, or -1 when row names no unused part.
    int Use(int row, int before);
    // The level at row goes back among the unused parts, before the first
    // one of a later rule; returns the row it took there, or -1.
    int Unuse(int row);
    // Exchanges the level at row with the one above (step -1) or below (1);
    // false when there is none.
    bool MoveLevel(int row, int step);

private:
    TNameDivideRules fRules;
    std::vector<int32_t> fUnused;
    std::vector<int32_t> fOrder;
};
