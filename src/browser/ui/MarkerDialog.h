#pragma once

// The dialog that lists the markers ("しおりを開く") or the recent files
// ("最近開いたファイルを開く"): a sortable list of the entries, whose place is
// marked when it no longer exists; in marker mode buttons that delete the
// selected entries, those whose place is gone, or all of them. OK (or a
// double click) chooses the selected entry. The window takes the list back
// when it changed, and opens the chosen entry.

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "browser/MarkerDialogData.h"

class QCheckBox;
class QPushButton;
class QTreeWidget;

struct TMarkerDialogResult {
    bool Changed = false;               // entries were deleted
    std::vector<TMarkerPath> Entries;   // the list as the dialog left it
    std::optional<TMarkerPath> Chosen;  // the entry to open
    bool FullPath = false;              // the full-path box as the dialog closed
};

class TMarkerDialog : public QDialog {
public:
    TMarkerDialog(QWidget* parent, TMarkerDialogMode mode, std::vector<TMarkerPath> entries,
                  const TMarkerDialogState& state);

    // Asks the user a question (OK/Cancel); the message box unless replaced.
    using TAsk = std::function<bool(const std::string& question)>;
    void SetAsk(TAsk ask) { fAsk = std::move(ask); }

    QTreeWidget* List() const { return fList; }
    QCheckBox* FullPathBox() const { return fFullPath; }
    // The buttons' commands.
    void DeleteSelected();
    void DeleteMissing();
    void DeleteAll();

    TMarkerDialogResult Result() const { return fResult; }
    TMarkerDialogState State() const;

protected:
    void done(int result) override;

private:
    void Fill();
    // Positions in the entries of the selected rows.
    std::vector<size_t> SelectedEntries() const;
    void Remove(std::vector<size_t> positions);

    TMarkerDialogMode fMode;
    TMarkerDialogState fState;
    TMarkerDialogResult fResult;
    TAsk fAsk;
    QTreeWidget* fList = nullptr;
    QCheckBox* fFullPath = nullptr;
    QCheckBox* fDeleteOnOpen = nullptr;
};

// Shows the dialog over parent with its state from the data folder's
// "Mireva.ini", and keeps the state there when it closes.
TMarkerDialogResult RunMarkerDialog(QWidget* parent, TMarkerDialogMode mode, const std::vector<TMarkerPath>& entries,
                                    const std::string& dataFolder);
