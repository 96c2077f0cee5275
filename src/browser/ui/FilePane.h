#pragma once

// The browser window's file view: the file list of the shown folder and,
// beside it while an archive is shown, the archive list of the folder inside
// the archive. Both lists belong to the browser model; the pane holds their
// item models and views, hands what the user opens to the model and shows
// the archive list only while an archive is shown. User-interface thread.

#include <QSplitter>
#include <memory>

#include "browser/BrowserModel.h"

class TArchiveListItemModel;
class TArchiveListView;
class TFileListItemModel;
class TFileListView;
class TQtShellInfo;

class TFilePane : public QSplitter, public TBrowserObserver {
public:
    // model, icons and notifier (rename failures) must outlive the pane.
    TFilePane(TBrowserModel& model, TQtShellInfo* icons, TUserNotifier* notifier, QWidget* parent = nullptr);
    ~TFilePane() override;

    TFileListView* FileView() const { return fFileView; }
    TArchiveListView* ArchiveView() const { return fArchiveView; }
    bool FileListHasFocus() const;
    bool ArchiveListHasFocus() const;
    // The keyboard goes to the list that shows the place.
    void FocusList();
    // One level up in the list that shows the place.
    void GoUp();
    // Opens the current row of the list that shows the place, as Enter does.
    void OpenCurrent();

    void BrowserChanged(TBrowserModel& model, const TBrowserChange& change) override;

private:
    void FollowPlace();

    TBrowserModel& fModel;
    std::unique_ptr<TFileListItemModel> fFileItems;
    std::unique_ptr<TArchiveListItemModel> fArchiveItems;
    TFileListView* fFileView = nullptr;
    TArchiveListView* fArchiveView = nullptr;
};
