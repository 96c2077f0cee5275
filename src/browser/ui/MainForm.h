#pragma once

// The browser window in its first form: the image view of a folder or an
// archive read as a book. It opens what OpenPath and the hand-over of a later
// start send it (a folder, a picture in a folder, an archive at one of its
// inner folders, archives inside archives), lists the pictures in the
// program's name order, shows the first one (or the one asked for) as a page
// or a spread, and runs the actions of the action table from its menus, the
// image bar, the keys and the mouse wheel. The panes of the full browser
// (trees, file list, thumbnails) grow into it later; what the actions do
// lives in TViewActions, away from the widgets.
//
// Its first showing posts the deferred start, which opens the start path or
// the last location; once that has been opened and painted the window counts
// as settled (the snapshot mode waits for that).

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/AppCore.h"
#include "app/OpenPath.h"
#include "app/SettingsFileCommands.h"
#include "browser/KeyBindings.h"
#include "browser/ViewActions.h"
#include "loading/AcvUnit.h"
#include "loading/FileLoader.h"
#include "platform/SingleInstance.h"
#include "platform/qt/QtDispatcher.h"
#include "viewer/CacheDecoder.h"
#include "viewer/PageViewer.h"
#include "viewer/ScaledPage.h"
#include "viewer/StretchScaler.h"
#include "viewer/ui/QtHalfTone.h"

class QAction;
class QMenu;
class TImageViewFrame;

class TMainForm : public QMainWindow, public TPlaceView, public TUserNotifier, public TSettingsWindow {
public:
    // scaler scales the shown pages and must outlive the window; null uses
    // the program's resamplers.
    explicit TMainForm(TAppCore& core, TPageScaler* scaler = nullptr, QWidget* parent = nullptr);
    ~TMainForm() override;

    // A later start handed over its command line. The window comes to the
    // front; the arguments are acted on once the start location is open.
    void HandOver(const THandOver& message);

    // Called once, after the start location has been opened and painted.
    void SetSettledHandler(std::function<void()> handler) { fSettled = std::move(handler); }
    // Sends messages to sink instead of message boxes (the snapshot mode
    // runs without anyone to press OK); an empty sink restores the boxes.
    // With a sink the ratio and size commands use the entered values
    // instead of asking for them.
    using TMessageSink = std::function<void(const std::string& text, TMessageIcon icon)>;
    void SetMessageSink(TMessageSink sink);

    // Runs an action of the action table as its menu item does.
    void RunAction(TActionId action);
    // Waits (bounded) until the cache thread has nothing left to do and the
    // pages are scaled; false when the wait gave up.
    bool Settle(int milliseconds = 60000);

    TImageViewFrame* View() const { return fFrame; }
    TPageViewer& Viewer() { return *fViewer; }
    const TViewActions& Actions() const { return *fActions; }
    QAction* Action(TActionId action) const;
    // The path (a file, or "archive//member") of the picture shown as the
    // primary page; empty when none.
    std::string ShownFile() const;
    // The pictures of the shown folder or archive folder in reading order:
    // file paths, or member paths inside the archive.
    std::vector<std::string> Images() const;
    const TPendingSelection& PendingSelection() const { return fPending; }
    // The page label of the image bar ("3・4 / 20"); empty when no picture
    // is shown.
    std::string PageLabel() const;

    // TPlaceView
    TShownPlace ShownPlace() const override { return fShown; }
    void SetPendingSelection(const TPendingSelection& selection) override { fPending = selection; }
    bool ShowFolder(const std::string& folder) override;
    bool ShowArchive(const std::string& archivePath, const std::string& innerFolder) override;
    bool SelectAndShow(const std::string& name) override;
    void ShowFirstImage() override;
    std::string SingleTopFolder() const override;

    // TUserNotifier
    void ShowMessage(const std::string& text, TMessageIcon icon) override;

    // TSettingsWindow. Of the window's state this window keeps the view
    // state (section IMAGE); bindings, registered applications and the
    // image window come later, so switching settings files writes and
    // reads only the options and that state.
    void SuspendForSettings() override;
    void ResumeAfterSettings() override;
    void ApplyArchiveListOptions() override {}
    void WriteWindowState(TIniFile& ini) override;
    void ReadWindowState(TIniFile& ini) override;
    void WriteRegApplications(TIniFile&) override {}
    void ClearRegApplications() override {}
    void WriteKeyBindings(TIniFile&) override {}
    void ReadKeyBindings(TIniFile&) override {}
    void WriteMouseBindings(TIniFile&) override {}
    void ReadMouseBindings(TIniFile&) override {}
    std::optional<TImageWindowPlacement> ImageWindowPlacement() override { return std::nullopt; }
    void PlaceImageWindow(const TImageWindowPlacement&) override {}
    void ReportWriteFailure(const std::string& message) override { ShowMessage(message, TMessageIcon::miWarning); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void DeferredStart();
    void BuildActions();
    void BuildMenus();
    QMenu* AddMenu(QMenu* parent, const char* title, std::initializer_list<TActionId> actions);
    // The options this window uses: the viewer's settings and the
    // background.
    void ApplyOptions();
    // A new list: the viewer gets the items and the loaders for them.
    void SetList(std::vector<TCacheItem> items, std::optional<TArchiveSource> archive);
    bool OpenPathFromUser(const std::string& path);
    bool RouteKey(int key, Qt::KeyboardModifiers modifiers, bool inImageView);
    void Carry(const TActionOutcome& outcome);
    void RefreshView();
    void UpdateActions();
    void OpenDialog(bool folder);
    void RatioDialog();
    void SizeDialog();
    TPictureFinish CurrentFinish() const;

    TAppCore& fCore;
    TQtHalfTone fHalfTone;
    TStretchPageScaler fOwnScaler{&fHalfTone};
    TPageScaler* fScaler = nullptr;
    TKeyBindings fKeys;
    std::shared_ptr<TPictureSource> fSource;
    std::optional<TArchiveSource> fArchiveSource;
    // Reports of the viewer's workers come back to this window through it;
    // declared before the viewer, so it outlives the threads the viewer
    // stops.
    TQtDispatcher fDispatcher{this};
    std::unique_ptr<TPageViewer> fViewer;
    std::unique_ptr<TViewActions> fActions;
    TImageViewFrame* fFrame = nullptr;
    std::map<TActionId, QAction*> fActionItems;

    TShownPlace fShown;
    TPendingSelection fPending;
    TArchiverPtr fArchive;  // the archive shown (innermost level), or null
    std::vector<TCacheItem> fItems;
    bool fStartPosted = false;
    bool fClosing = false;
    TMessageSink fMessageSink;
    std::function<void()> fSettled;
};
