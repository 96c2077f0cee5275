#pragma once

// The key customisation dialog: two pages, the general commands and the
// commands of the image view (image, move and scroll), each with a category
// filter, the command list, the selected command's keys and a box that takes
// a new combination. The dialog edits a copy of the bindings; the caller
// takes Bindings() over when it is accepted.

#include <QDialog>
#include <functional>
#include <optional>

#include "browser/KeyBindings.h"

class QComboBox;
class QLabel;
class QListWidget;
class QTabWidget;

class TKeyCustomizeDialog : public QDialog {
public:
    TKeyCustomizeDialog(const TKeyBindings& keys, int page, QWidget* parent = nullptr);

    const TKeyBindings& Bindings() const { return fKeys; }
    // The page shown last (0 general, 1 image view).
    int Page() const;

    // What the Add button does with the combination of the new-key box; the
    // question before taking a key from another command is asked through
    // confirm, so tests can answer it.
    void SetNewKey(TShortCut key);
    void AddKey(const std::function<bool()>& confirm = {});
    // Selects a command of the current page by group and number.
    bool SelectCommand(TKeyOwner command);

private:
    struct TPage {
        TKeySet Set;
        QComboBox* Category = nullptr;
        QListWidget* Commands = nullptr;
        QListWidget* Keys = nullptr;
        QLabel* NewKey = nullptr;
        QLabel* Owner = nullptr;
        TShortCut Pending = 0;
    };

    QWidget* BuildPage(TPage& page, const QString& note);
    TPage& Current();
    std::optional<TKeyOwner> Selected(const TPage& page) const;
    void FillCommands(TPage& page);
    void FillKeys(TPage& page);
    void ShowNewKey(TPage& page, TShortCut key);
    bool eventFilter(QObject* watched, QEvent* event) override;

    TKeyBindings fKeys;
    QTabWidget* fTabs = nullptr;
    TPage fPages[2];
};
