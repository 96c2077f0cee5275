#pragma once

// The property dialog of a medium: its name, icon and comment to edit, and what
// the disc told when it was catalogued (label, serial number, drive kind, file
// system, used, free and total space, catalogue date) to read. It opens as
// "メディア情報の追加" for a disc being registered; OK refuses an empty name
// or one another medium has, with the shelves' rules.

#include <QDialog>
#include <functional>
#include <string>

#include "collections/MediaFolder.h"
#include "collections/ui/IconChooser.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

class TMediumPropertyDialog : public QDialog {
public:
    static constexpr char AddCaption[] = "メディア情報の追加";
    static constexpr char EditCaption[] = "プロパティ";

    // originalName is the name the medium has in list (empty for a new one);
    // icons are those the icon chooser offers.
    TMediumPropertyDialog(QWidget* parent, const std::string& caption, const TMediaList& list,
                          const TMediaFolder& medium, const std::string& originalName,
                          const TFolderIconSource& icons = {});

    // Shows a refusal; a warning box unless replaced.
    using TWarn = std::function<void(const std::string& message)>;
    void SetWarn(TWarn warn) { fWarn = std::move(warn); }

    std::string Name() const;
    int ImageIndex() const;
    std::string Comment() const;
    QLineEdit* NameEdit() const { return fName; }
    // The read-only value shown for a row ("シリアル番号", ...); empty when none.
    QString ValueOf(const QString& caption) const;

    void accept() override;

private:
    const TMediaList& fList;
    std::string fOriginal;
    QLineEdit* fName = nullptr;
    QComboBox* fIcon = nullptr;
    QPlainTextEdit* fComment = nullptr;
    TWarn fWarn;
};
