#pragma once

// The browser window: a coordinator that composes the panes around one
// browser model. The tree pane (folders, shelves, media, categories) sits on
// the left, the file view (the file list, and the archive list while an
// archive is shown) below the tree or above the image as the view states
// say, the image view on the right, with the address bar above and the
// status bar below. What is listed, selected and shown, and what every image
// action does, lives in TBrowserModel, away from the widgets; the menus come
// from the menu data and every item's state from the action rules, so the
// window only forwards what the user does and repaints what the model
// announces.
//
// Its first showing posts the deferred start, which opens the start path or
// the last location; once that has been opened and painted the window counts
// as settled (the snapshot mode waits for that).

#include <QDeadlineTimer>
#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "browser/ActionRules.h"
#include "browser/BrowserModel.h"
#include "browser/CommandTarget.h"
#include "browser/MenuData.h"
#include "browser/ShowAids.h"
#include "browser/StatusBar.h"
#include "collections/CategoryFolder.h"
#include "collections/GroupFolder.h"
#include "collections/MediaFolder.h"
#include "collections/ui/QtShellInfo.h"
#include "platform/qt/QtDispatcher.h"
#include "shellviews/DirNotify.h"
#include "thumbnails/ThumbnailList.h"
#include "viewer/StretchScaler.h"
#include "viewer/ui/QtHalfTone.h"

class QAction;
class QComboBox;
class TAddressBox;
class QMenu;
class QPoint;
class QSplitter;
class QSystemTrayIcon;
class QToolBar;
class TAppCore;
class TDropController;
class TPointerHider;
class TAppCommandRunner;
class TFileCommandRunner;
class TShelfStore;
class TFilePane;
class TImageViewFrame;
class TImageWindowForm;
class TImageWindowHost;
class TLoupeGridAids;
class TMarkerKeeper;
class TMarkerMenus;
class TMediaCommands;
class TStatusBarPane;
class TSearchPane;
class TTreePane;
class TViewAids;
struct THandOver;
struct TTreePlace;

class TMainForm : public QMainWindow, public TUserNotifier, public TBrowserObserver, public TWindowStateLink {
public:
    // scaler scales the shown pages and must outlive the window; null uses
    // the program's resamplers.
    explicit TMainForm(TAppCore& core, TPageScaler* scaler = nullptr, QWidget* parent = nullptr);
    ~TMainForm() override;

    // A later start handed over its command line. The window comes to the
    // front; the arguments are acted on once the start location is open.
    void HandOver(const THandOver& message);

    // Called once, after the start location has been opened and its
    // picture (gathered on a worker) shown and painted.
    void SetSettledHandler(std::function<void()> handler) { fSettled = std::move(handler); }
    // Sends messages to sink instead of message boxes (the snapshot mode
    // runs without anyone to press OK); an empty sink restores the boxes.
    // With a sink the ratio and size commands use the entered values
    // instead of asking for them.
    using TMessageSink = std::function<void(const std::string& text, TMessageIcon icon)>;
    void SetMessageSink(TMessageSink sink);
    // With a message sink, the file commands' questions are answered yes
    // (or no, the default) and reported to the sink.
    void SetAnswerYes(bool yes);
    TFileCommandRunner& FileCommands() { return *fFileCommands; }

    // Runs an action of the action table as its menu item does; an action
    // that is disabled now does nothing (false). The commands on one shown
    // page act on page while the image view is the target (the view's
    // context menu gives it).
    bool RunAction(TActionId action, TTargetPage page = TTargetPage::tpAsk);
    // Opens the image view's context menu at a global position: from the
    // keyboard, or for a right click over a page or off the pages (tpAsk).
    // It returns when the menu has closed.
    void ShowImagePopup(const QPoint& position, bool fromKeyboard, TTargetPage page);
    TSearchPane* Search() const { return fSearch.get(); }
    // Selects the items of the list that shows the place (the archive list
    // inside an archive) whose names are given, as a user's clicks would;
    // the names that are not listed come back.
    std::vector<std::string> SelectByNames(const std::vector<std::string>& names);
    // Shows a collection named in words (NamedPlace.h) with its tree, as the
    // tree command and a click on its node would; false when there is none.
    bool ShowNamedPlace(const std::string& text);
    // Whether closing writes the window state and the last location (on by
    // default; off for runs that must leave the data folder as it was).
    void SetSavesState(bool on) { fSavesState = on; }

    // TWindowStateLink: the rectangle, maximised state and splitters.
    void CaptureWindowState(TWindowState& state) override;
    void ApplyWindowState(const TWindowState& state) override;
    // The screens as they are now, for the stored rectangle.
    TScreenInfo ScreenInfo() const;

    // Waits (bounded) until the cache thread has nothing left to do and the
    // pages are scaled; false when the wait gave up.
    bool Settle(int milliseconds = 60000);

    TBrowserModel& Model() { return *fModel; }
    TMediaList& Media() { return fMedia; }
    const TBrowserModel& Model() const { return *fModel; }
    TImageViewFrame* View() const { return fFrame; }
    // The separate image window while it exists; null otherwise.
    TImageWindowForm* ImageWindow() const;
    TTreePane* Trees() const { return fTreePane; }
    TFilePane* Files() const { return fFilePane; }
    TStatusBarPane* Status() const { return fStatus; }
    QAction* Action(TActionId action) const;
    // The state every action shows now (what the menus show).
    TActionState ActionStateOf(TActionId action) const;
    // The status bar's texts after the last change.
    const TStatusPanels& StatusPanels() const;

    // TUserNotifier
    void ShowMessage(const std::string& text, TMessageIcon icon) override;
    // TBrowserObserver
    void BrowserChanged(TBrowserModel& model, const TBrowserChange& change) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void DeferredStart();
    // Tells the settled handler once the start's picture shows (it may still
    // be gathering on a worker), or at deadline at the latest.
    void TellSettled(QDeadlineTimer deadline);
    void BuildActions();
    void BuildMenus();
    void BuildMenu(QMenu* menu, std::span<const TMenuItem> items);
    // The sort sub-menu for the columns of the list that shows the place.
    void FillSortMenu(QMenu* menu);
    void BuildPanes();
    // Puts the panes and bars where the view states say.
    void LayoutPanes();
    // Reads the shelves and gives the shelf, media and category lists their
    // icons.
    void LoadCollections();
    // Opens the thumbnail stores and lets the file pane start thumbnail
    // threads on them.
    void ConnectThumbnails();
    // The options the widgets use: the resampler, the background, the trees.
    void ApplyOptions();
    bool RouteKey(int key, Qt::KeyboardModifiers modifiers, bool inImageView);
    // Carries out what an outcome asks of the window (dialogs, closing).
    void Carry(const TActionOutcome& outcome);
    // The window's own commands (panes, bars, lists); false for the others.
    bool RunWindowAction(TActionId action, TTargetPage page);
    static bool IsWindowAction(TActionId action);
    TActionContext ActionContext() const;
    TCommandTarget Target() const;
    void RefreshView();
    void UpdateActions();
    void UpdateStatus();
    // Queues one UpdateActions and UpdateStatus for after the current step.
    void ScheduleRefresh();
    void UpdateAddress();
    TStatusSnapshot StatusSnapshot() const;
    bool NavigateTree(const TTreePlace& place);
    // The file context menu over a list (fromTree false) or the active tree,
    // at a global position.
    void ShowFilePopup(bool fromTree, const QPoint& position);
    void AddPopupItems(QMenu* menu, std::span<const TMenuItem> items, const TPopupContext& popup,
                       const TActionContext& context, bool fromTree);
    void FollowPlaceInTree();
    void OpenAddress(const QString& text);
    // The tray: the window hides behind an icon in the desktop's tray (or,
    // without a tray, is minimised) and comes back in the state it had.
    void HideInTray();
    void RestoreFromTray();
    bool InTray() const { return fTrayHidden; }
    void OpenDialog(bool folder);
    // The slideshow and full screen, and their commands.
    void BuildViewAids();
    bool RunViewAid(TActionId action);
    // "Open in full screen" and "open and start the slideshow".
    void RunOpenCommand(TActionId action);
    // The view takes the slideshow's colour while it runs.
    void ShowSlideShowColour();
    void CarryShowAids();
    bool InFullScreen() const;
    void RatioDialog();
    void SizeDialog();
    // The separate image window and the switch between the arrangements.
    void BuildImageWindows();
    bool RunImageWindowAction(TActionId action);
    // The window's drop handling, also for drops on the separate window: a
    // drag from another program with a local file is taken, and its first
    // local path opened.
    static bool AcceptsFileDrop(const QDropEvent& event);
    bool OpenDroppedFile(const QDropEvent& event);
    bool ViewSeparate() const;

    TAppCore& fCore;
    TQtHalfTone fHalfTone;
    TStretchPageScaler fOwnScaler{&fHalfTone};
    TPageScaler* fScaler = nullptr;
    // Reports of the model's workers come back to this window through it;
    // declared before the model, so it outlives the threads the model stops.
    TQtDispatcher fDispatcher{this};
    // Type names and icons of the trees and lists; the collections the trees
    // show. Declared before the panes that show them.
    TQtShellInfo fShellInfo;
    TGroupList fShelves;
    TMediaList fMedia;
    // Categories search and sort through the window's dispatcher.
    TCategoryList fCategories{fDispatcher, &fShelves};
    // Follows the listed folders on disk for the lists.
    TDirChangeNotifier fNotifier{fDispatcher};
    // The thumbnail stores; the file pane's thumbnail threads work on them,
    // and the pane goes before them.
    std::unique_ptr<TThumbnailList> fThumbnails;
    std::unique_ptr<class TThumbnailCommands> fThumbCommands;
    std::unique_ptr<class TExportCommand> fExportCommand;
    std::unique_ptr<TBrowserModel> fModel;
    // The search panel above the folder tree while the search is chosen.
    std::unique_ptr<TSearchPane> fSearch;
    // The recent files and markers, kept beside the model they follow.
    std::unique_ptr<TMarkerKeeper> fKeeper;
    std::unique_ptr<TMarkerMenus> fMarkerMenus;
    std::unique_ptr<TMediaCommands> fMediaCommands;
    std::unique_ptr<class TCategoryCommands> fCategoryCommands;
    // The file commands on the command target; they read the model and the
    // panes, so the destructor ends them first.
    std::unique_ptr<TFileCommandRunner> fFileCommands;
    std::unique_ptr<TAppCommandRunner> fAppCommands;
    // Drags out of the lists and drops of the program's own drags; the
    // shelves they change are written at once through the store they were
    // read with.
    std::unique_ptr<TDropController> fDrops;
    std::unique_ptr<TShelfStore> fShelfStore;
    // The add-to-shelf and shelf maintenance commands; they write through
    // the store above.
    std::unique_ptr<class TShelfCommandRunner> fShelfCommands;
    bool fAnswerYes = false;

    TImageViewFrame* fFrame = nullptr;
    TTreePane* fTreePane = nullptr;
    TFilePane* fFilePane = nullptr;
    TStatusBarPane* fStatus = nullptr;
    QToolBar* fMainBar = nullptr;
    QToolBar* fAddressBar = nullptr;
    TAddressBox* fAddress = nullptr;
    std::string fPlaceTitle = "Mireva";  // the window title while no picture is shown
    QSplitter* fTreeSplitter = nullptr;   // splTree: the left pane | the image panel
    QSplitter* fLeftSplitter = nullptr;   // splFile1: the tree over the file view
    QSplitter* fImageSplitter = nullptr;  // splFile2: the file view over the image
    std::map<TActionId, QAction*> fActionItems;
    // Worked out again after each change of focus, when first asked.
    mutable TCommandTargetTracker fTargets;

    TViewAids* fAids = nullptr;  // owned as a child of the window
    std::unique_ptr<TLoupeGridAids> fLoupeGrid;
    TPointerHider* fPointerHider = nullptr;  // owned as a child of the view's area
    // Full screen and the slideshow asked for by an opened or closed picture.
    TShowAids fShowAids;
    TOpenForce fOpenForce;  // the open command running now
    // An open command whose picture was still gathering when it ended: the
    // picture counts as opened by it once it shows.
    std::optional<TOpenForce> fPendingOpenForce;
    bool fStartingUp = false;
    // Holds the view in a window of its own while the view is separate.
    std::unique_ptr<TImageWindowHost> fImageWindows;
    // The tree pane's width when the view left the image panel (pixels; 0
    // when it was separate from the start), for its return.
    int fTreeWidthBeforeSeparate = 0;
    QSystemTrayIcon* fTray = nullptr;
    bool fTrayHidden = false;
    Qt::WindowStates fStateBeforeTray;
    // The separate image window as it was when the windows went to the tray.
    struct TImageBeforeTray {
        bool Shown = false;
        bool Active = false;
        Qt::WindowStates State;
    } fImageBeforeTray;

    bool fSavesState = true;
    bool fStateSaved = false;
    bool fStartPosted = false;
    bool fRefreshPosted = false;
    int fUpdating = 0;
    TMessageSink fMessageSink;
    std::function<void()> fSettled;
};
