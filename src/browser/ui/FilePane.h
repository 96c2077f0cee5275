#pragma once

// The browser window's file view: the file list of the shown folder and,
// beside it while an archive is shown, the archive list of the folder inside
// the archive. Both show the browser model's place; the pane hands the
// user's opening, going up and selecting to the model and follows what the
// model announces. User-interface thread.

#include <QSplitter>
#include <functional>

#include "browser/BrowserModel.h"

class TQtShellInfo;

class TFilePane : public QSplitter, public TBrowserObserver {
public:
    // model and icons must outlive the pane.
    TFilePane(TBrowserModel& model, TQtShellInfo* icons, QWidget* parent = nullptr);
    ~TFilePane() override;

    bool FileListHasFocus() const;
    bool ArchiveListHasFocus() const;
    // The keyboard goes to the list that shows the place.
    void FocusList();
    // One level up in the list that shows the place.
    void GoUp();

    // An item was opened and the model asks the window for more (a picture
    // shown, a dialog).
    std::function<void(const TActionOutcome&)> OnOpenRequest;

    void BrowserChanged(TBrowserModel& model, const TBrowserChange& change) override;

private:
    TBrowserModel& fModel;
    TQtShellInfo* fIcons;
};
