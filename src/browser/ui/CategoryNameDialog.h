#pragma once

// The name settings of a category ("ファイル名で分類"): the rule list with
// its buttons, edited with the rule dialog, and the parts that form the
// levels chosen from the rules in two lists, "存在する項目(&O)" and
// "表示する項目(&V)". The lists show a TCategoryNameParts; the output list
// ends with an empty entry where an added part goes last.
// User-interface thread.

#include <QDialog>

#include "browser/CategoryNameParts.h"

class QListWidget;
class QPushButton;
class TNameDivideRuleList;

class TCategoryNameDialog : public QDialog {
public:
    TCategoryNameDialog(const TNameDivideRules& rules, const std::vector<int32_t>& order, QWidget* parent = nullptr);

    const TCategoryNameParts& Parts() const { return fParts; }
    TNameDivideRuleList* RuleList() const { return fRules; }

    // "追加(&S) ->", "<- 削除(&E)", "▲" and "▼" of the levels.
    void Use();
    void Unuse();
    void MoveLevel(int step);

private:
    void Rebuild(int unusedRow, int levelRow);
    void UpdateButtons();

    TCategoryNameParts fParts;
    TNameDivideRuleList* fRules;
    QListWidget* fUnused;
    QListWidget* fLevels;
    QPushButton* fUse;
    QPushButton* fUnuse;
    QPushButton* fUp;
    QPushButton* fDown;
};
