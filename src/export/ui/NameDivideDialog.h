#pragma once

// The rule dialog ("名前の分割設定"): edits one name-division rule, its name,
// its delimiters, its kind, where the search starts and whether the part
// keeps its delimiters. The export settings dialog and the categories by
// name both open it. Beside it, the rule list with its buttons, which edits
// a rule list through a TNameDivideRuleEditor.

#include <QDialog>
#include <QWidget>
#include <functional>
#include <optional>

#include "collections/NameDivide.h"
#include "export/RuleListEditor.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

class TNameDivideDialog : public QDialog {
public:
    static constexpr char IncompleteText[] = "項目名または区切り文字が未入力です  ";

    explicit TNameDivideDialog(QWidget* parent = nullptr);

    // The rule as edited (Index 0); SetRule fills every field from rule.
    TNameDivideInfo Rule() const;
    void SetRule(const TNameDivideInfo& rule);
    // A rule needs a name and delimiters, and an enclosed text its closing ones.
    static bool IsComplete(const TNameDivideInfo& rule);

    // Shows why OK was refused; a message box unless a test replaces it.
    std::function<void(const QString& text)> Inform;

    void accept() override;

private:
    void KindChanged();

    QLineEdit* fName;
    QLineEdit* fFront;
    QLineEdit* fEnd;
    QLabel* fTilde;
    QRadioButton* fKinds[3];
    QRadioButton* fHead;
    QRadioButton* fTail;
    QCheckBox* fRemove;
};

// The list of rules ("項目名", "区切り", "検索", "除去") with "追加(&A)",
// "変更(&I)", "削除(&D)", "▲" and "▼". Every edit goes through the editor,
// after which the rows are built again.
class TNameDivideRuleList : public QWidget {
public:
    TNameDivideRuleList(TNameDivideRuleEditor& editor, QWidget* parent = nullptr);

    // Opens the rule dialog (with the rule to change, or none for a new one)
    // and gives the rule on OK; tests replace it.
    std::function<std::optional<TNameDivideInfo>(const TNameDivideInfo* rule)> EditRule;
    // Told after every edit.
    std::function<void()> OnEdited;

    // The list and its buttons are usable only while the rules apply.
    void SetActive(bool active);
    // Builds the rows again from the editor's rules.
    void Rebuild();
    int Selected() const;
    void Select(int index);
    QTreeWidget* List() const { return fList; }

    void Add();
    void Change();
    void Delete();
    void Move(int step);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateButtons();
    void Edited(int select);

    TNameDivideRuleEditor& fEditor;
    QTreeWidget* fList;
    QPushButton* fAdd;
    QPushButton* fChange;
    QPushButton* fDelete;
    QPushButton* fUp;
    QPushButton* fDown;
    bool fActive = true;
};
