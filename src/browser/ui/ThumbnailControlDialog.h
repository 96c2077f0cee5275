#pragma once

// TThumbnailControlDialog lets the user look over the normal thumbnail store
// and remove what is no longer wanted: the thumbnails of chosen folders and
// archives, of paths that are gone, of files gone from chosen folders, or
// all of them. It shows a TThumbControl and forwards the user's choices to
// it; OK commits, Cancel (Escape, the close box) reverts, so the store is
// left exactly as it was found. It opens with the sort order, path display,
// size and column widths it is given and hands back the ones it closes with.

#include <functional>
#include <memory>

#include <QDialog>

#include "thumbnails/ThumbControlState.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class TThumbControl;

class TThumbnailControlDialog : public QDialog {
    Q_OBJECT
public:
    // Reads the store in folder; raises EFileError when its index cannot be
    // read.
    explicit TThumbnailControlDialog(const std::string& folder, const TThumbControlState& state = {},
                                     QWidget* parent = nullptr);
    ~TThumbnailControlDialog() override;

    // Asks before each removal; a message box unless replaced (tests).
    std::function<bool(const QString& text)> Confirm;
    // Whether OK wrote anything: the owner then reads the index again.
    bool Changed() const { return fCommitted; }

    QTreeWidget* List() const { return fList; }
    // The sort order, path display, size and column widths shown now.
    TThumbControlState State() const;

    void accept() override;
    void reject() override;

private:
    void Sort();
    void Fill();
    // Sorts as chosen and shows the rows again, the chosen ones still chosen.
    void SortKeepingSelection();
    void UpdatePreview();
    void Remove(const QString& question, const std::function<void()>& removal);
    std::vector<size_t> SelectedRows() const;

    std::unique_ptr<TThumbControl> fControl;
    QTreeWidget* fList = nullptr;
    QCheckBox* fFullPath = nullptr;
    QPushButton* fNotExistFile = nullptr;
    QLabel* fTotal = nullptr;
    QLabel* fPreview = nullptr;
    TThumbSortColumn fSort = TThumbSortColumn::scPath;
    TThumbSortDir fSortDir = TThumbSortDir::sdAsc;
    int fPreviewed = -1;
    bool fCommitted = false;
};
