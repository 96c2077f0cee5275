#pragma once

// The differences dialog ("差分の表示"): the disc's files on the left, the
// saved catalogue's records on the right, one row per path, with the options
// to show full paths, to list the entries without difference too, and to
// keep both lists' positions in step. The rows come from DiffRows.

#include <QDialog>
#include <string>

#include "browser/MediaDiff.h"

class QCheckBox;
class QTreeWidget;

class TMediaDiffDialog : public QDialog {
public:
    // live and stored must outlive the dialog; the roots are where each
    // side's paths lie (for full paths).
    TMediaDiffDialog(QWidget* parent, const TMediaFolder& live, std::string liveRoot, const TMediaFolder& stored,
                     std::string storedRoot, const TDifferOptions& options);

    // The options as the user left them, with the dialog's size.
    TDifferOptions Options() const;
    QTreeWidget* LeftList() const { return fLeft; }
    QTreeWidget* RightList() const { return fRight; }

private:
    void Fill();
    void Follow(QTreeWidget* from, QTreeWidget* to, int value);

    const TMediaFolder& fLive;
    std::string fLiveRoot;
    const TMediaFolder& fStored;
    std::string fStoredRoot;
    QTreeWidget* fLeft;
    QTreeWidget* fRight;
    QCheckBox* fFullPath;
    QCheckBox* fAllFile;
    QCheckBox* fSync;
    bool fFollowing = false;
};
