#pragma once

// The property dialog of a shelf: its name, its icon and its comment. It
// opens as "本棚の追加" for a shelf about to be made and as "プロパティ" for
// one that exists; OK refuses an empty name and the name of another shelf
// (without case) with an information box and keeps the focus on the name.

#include <QDialog>
#include <functional>
#include <string>

#include "collections/GroupFolder.h"

class QComboBox;
class QIcon;
class QLineEdit;
class QPlainTextEdit;

class TShelfPropertyDialog : public QDialog {
public:
    static constexpr char AddCaption[] = "本棚の追加";
    static constexpr char EditCaption[] = "プロパティ";

    // The icon shown for icon number i; null icons are left out.
    using TIconOf = std::function<QIcon(int imageIndex)>;
    // originalName is the name the shelf has in list (empty for a new one);
    // iconCount is how many icons the chooser offers (at least one).
    TShelfPropertyDialog(QWidget* parent, const std::string& caption, const TGroupList& list,
                         const std::string& originalName, int imageIndex, const std::string& comment,
                         int iconCount, const TIconOf& iconOf);

    // Shows a refusal; an information box unless replaced.
    using TWarn = std::function<void(const std::string& message)>;
    void SetWarn(TWarn warn) { fWarn = std::move(warn); }

    std::string Name() const;  // trimmed
    int ImageIndex() const;
    std::string Comment() const;  // trimmed
    QLineEdit* NameEdit() const { return fName; }

    void accept() override;

private:
    const TGroupList& fList;
    std::string fOriginal;
    QLineEdit* fName = nullptr;
    QComboBox* fIcon = nullptr;
    QPlainTextEdit* fComment = nullptr;
    TWarn fWarn;
};
