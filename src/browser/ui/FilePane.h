#pragma once

// The browser window's file view: the file list of the shown folder and,
// beside it while an archive is shown, the archive list of the folder inside
// the archive. Both lists belong to the browser model; the pane holds their
// item models and views, hands what the user opens to the model and shows
// the archive list only while an archive is shown. User-interface thread.

#include <QSplitter>
#include <memory>

#include "browser/BrowserModel.h"
#include "shellviews/ThumbRequester.h"
#include "thumbnails/ThumbRequests.h"

class TArchiveListItemModel;
class TArchiveListView;
class TFileListItemModel;
class TFileListView;
class TArchiveThumbSource;
class TFileThumbSource;
class TQtShellInfo;
class TThumbnailView;

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
    // Opens the selection of the list that shows the place, as Enter does.
    void OpenCurrent();
    // The lists' own open operation on their selection (the focused row
    // when it is selected, else the first selected one): a folder is
    // entered, an archive or a collection opened, a file chosen. The row
    // chosen as a file comes back, else -1.
    int OpenFileSelection();
    int OpenArchiveSelection();

    // Thumbnails: the thumbnail views (shown instead of the lists while the
    // list kind's view type says so), where their pictures come from (null:
    // icons only), the options they are drawn by, and the stop when the
    // window closes. One place at a time is asked for: the archive shown,
    // else the file list's place.
    TThumbnailView* FileThumbView() const { return fFileThumbs; }
    TThumbnailView* ArchiveThumbView() const { return fArchiveThumbs; }
    void SetThumbStarter(TThumbStarter starter);
    void SetThumbOptions(const TOptions& options);
    void StopThumbnails();
    // Writes the running thumbnails of the place shown to the store.
    bool SaveThumbnails() { return fArchiveRequester.SaveNow() || fFileRequester.SaveNow(); }
    bool ThumbnailsShown() const { return fFileRequester.Running() || fArchiveRequester.Running(); }
    bool ThumbnailsIdle() const { return fFileRequester.Idle() && fArchiveRequester.Idle(); }
    // Shows each list or its thumbnails by the view type kept for it and
    // starts or stops asking for thumbnails to match.
    void ApplyViewType();
    // Runs the window's actions for the thumbnail views' keys.
    std::function<void(TActionId)> OnAction;

    void BrowserChanged(TBrowserModel& model, const TBrowserChange& change) override;

private:
    void FollowPlace();
    void StartThumbnails();

    TBrowserModel& fModel;
    std::unique_ptr<TFileListItemModel> fFileItems;
    std::unique_ptr<TArchiveListItemModel> fArchiveItems;
    TFileListView* fFileView = nullptr;
    TArchiveListView* fArchiveView = nullptr;
    std::unique_ptr<TFileThumbSource> fFileSource;
    std::unique_ptr<TArchiveThumbSource> fArchiveSource;
    TThumbRequester fFileRequester;
    TThumbRequester fArchiveRequester;
    TThumbnailView* fFileThumbs = nullptr;
    TThumbnailView* fArchiveThumbs = nullptr;
    TFileViewType fFileType = TFileViewType::fvList;
    TFileViewType fArchiveType = TFileViewType::fvList;
    TThumbnailOptions fThumbOptions;  // the box and method the running thumbnails were made for
};
