#pragma once

// The edits a rule list makes to its name-division rules: add one, change
// one, delete one, move one a place up or down. The rule list widget works
// through this interface only, so that a dialog whose other lists follow the
// rules (the export's name-part columns) does its own bookkeeping, while a
// dialog with nothing to follow uses the plain editor below.

#include <utility>

#include "collections/NameDivide.h"

class TNameDivideRuleEditor {
public:
    virtual ~TNameDivideRuleEditor() = default;
    virtual const TNameDivideRules& Rules() const = 0;
    // Appends the rule (its Index becomes its position).
    virtual void AddRule(TNameDivideInfo rule) = 0;
    // The rule at index takes the new values and keeps its place.
    virtual void ChangeRule(int index, TNameDivideInfo rule) = 0;
    virtual void DeleteRule(int index) = 0;
    // Exchanges the rule at index with its neighbour above (step -1) or
    // below (step 1).
    virtual void MoveRule(int index, int step) = 0;
};

// Rules and nothing else, kept numbered.
class TPlainRuleEditor : public TNameDivideRuleEditor {
public:
    explicit TPlainRuleEditor(TNameDivideRules rules = {}) : fRules(std::move(rules)) { RenumberRules(fRules); }
    const TNameDivideRules& Rules() const override { return fRules; }
    void AddRule(TNameDivideInfo rule) override;
    void ChangeRule(int index, TNameDivideInfo rule) override;
    void DeleteRule(int index) override;
    void MoveRule(int index, int step) override;

private:
    TNameDivideRules fRules;
};
