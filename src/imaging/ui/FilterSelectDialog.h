#pragma once

// The filter set dialog ("フィルタの設定"): the sets with the ticked one in
// use, the selected set's name and items, the fourteen filter kinds to add,
// and a preview on the shown picture. It edits a working copy
// (TFilterSetEditor); OK hands Result() to the caller, Cancel drops it.

#include <QDialog>
#include <functional>

#include "imaging/FilterSetEditor.h"
#include "imaging/ui/FilterSetDialog.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

struct TFilterSelectHooks {
    // Shows a list of filters on the shown picture; empty: no preview.
    std::function<void(const TFilterList&)> Preview;
    // For the margin colour's custom colours.
    std::function<std::string()> ReadCustomColors;
    std::function<void(const std::string&)> WriteCustomColors;
    // Opens the parameter dialog on an item; empty: TFilterSetDialog.
    // Returns whether the item was accepted (then it holds the values).
    std::function<bool(TFilterItem& item, const TFilterDialogHooks& hooks)> EditItem;
};

class TFilterSelectDialog : public QDialog, public TFilterEditObserver {
public:
    TFilterSelectDialog(const TFilterSets& sets, TFilterSelectHooks hooks, QWidget* parent = nullptr);
    ~TFilterSelectDialog() override;

    const TFilterSets& Result() const { return fEditor.Result(); }
    TFilterSetEditor& Editor() { return fEditor; }
    // Whether the preview has been shown since the dialog opened.
    bool Previewed() const { return fPreviewed; }

    // The buttons, as the user presses them.
    void AddItem();
    void EditItem();
    void Preview();

    QTreeWidget* SetList() const { return fSets; }
    QListWidget* FilterList() const { return fKinds; }
    QListWidget* UseList() const { return fUse; }

    void FilterEditChanged(TFilterEditChange change, TChangePhase phase) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FillSets();
    void FillItems();
    void UpdateButtons();
    // The selected set's items with one item in place of the selected line
    // (replace) or inserted before it, for the preview while it is edited.
    TFilterList ItemsWith(const TFilterItem& item, bool replace) const;
    TFilterDialogHooks ItemHooks(bool replace);
    bool RunItemDialog(TFilterItem& item, bool replace);

    TFilterSetEditor fEditor;
    TFilterSelectHooks fHooks;
    bool fPreviewed = false;
    int fFilling = 0;

    QTreeWidget* fSets = nullptr;
    QLineEdit* fName = nullptr;
    QListWidget* fKinds = nullptr;
    QListWidget* fUse = nullptr;
    QPushButton* fAddSet = nullptr;
    QPushButton* fCopySet = nullptr;
    QPushButton* fDeleteSet = nullptr;
    QPushButton* fSetUp = nullptr;
    QPushButton* fSetDown = nullptr;
    QPushButton* fAdd = nullptr;
    QPushButton* fRemove = nullptr;
    QPushButton* fItemUp = nullptr;
    QPushButton* fItemDown = nullptr;
    QPushButton* fSettings = nullptr;
    QPushButton* fPreview = nullptr;
};
