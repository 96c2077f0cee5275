#pragma once

// The category property dialog ("カテゴリの追加" for a new category,
// "プロパティ" for one that exists): name, icon, comment, kind, targets and whether
// the list shows the files of sub-categories, with "設定(&E)" opening the
// settings of the chosen kind: the date units, the name-division rules and
// the parts that form the levels (TCategoryNameDialog), or the condition tree.
// User-interface thread.

#include <QDialog>
#include <functional>
#include <string>

#include "collections/CategoryFolder.h"
#include "collections/ui/IconChooser.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

class TCategoryDialog : public QDialog {
public:
    // checkName gives the refusal of a name ("" when it is fine); icons are
    // those the icon chooser offers.
    TCategoryDialog(const TCategoryFolder& initial, bool isNew, std::function<std::string(const std::string&)> checkName,
                    QWidget* parent = nullptr, const TFolderIconSource& icons = {});

    // Writes what the dialog holds into category (name, icon, comment, settings,
    // targets, ShowSubContents).
    void Take(TCategoryFolder& category) const;

    void accept() override;

private:
    void AddTarget(const TSearchTargetSpec& target);
    void EditSettings();
    void EditDates();
    void EditNames();
    void EditConditions();

    std::function<std::string(const std::string&)> fCheckName;
    TCategorySettings fSettings;
    QLineEdit* fName = nullptr;
    QComboBox* fIcon = nullptr;
    QLineEdit* fComment = nullptr;
    QButtonGroup* fKind = nullptr;
    QListWidget* fTargets = nullptr;
    QCheckBox* fSubContents = nullptr;
};
