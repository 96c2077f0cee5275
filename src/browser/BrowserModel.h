#pragma once

// The browser's state apart from any widget: the place shown (a real folder,
// or a folder inside an archive with the chain of archives it lies in), the
// items listed there and the selection among them, the pictures among the
// items in reading order, and the viewer that reads them as a book. Panes
// (the image view now; the file list, the archive list and the trees later)
// register as observers and keep their own per-row state; the main window
// composes them and forwards what the user does to this model. Opening places
// (TPlaceView) and switching settings files (TSettingsWindow) are answered
// here too. User-interface thread.
//
// Messages a step raises while loading pictures (a damaged page) are held
// until the step is over and every observer has been told what it now shows,
// so the reader sees the good page of a spread and the new book's label
// behind the message, not the previous state.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/LastLocation.h"
#include "app/OpenPath.h"
#include "app/RegApp.h"
#include "app/SettingsFileCommands.h"
#include "browser/CommandTarget.h"
#include "browser/ImageList.h"
#include "browser/ItemColors.h"
#include "app/MusCstm.h"
#include "browser/KeyBindings.h"
#include "browser/Marker.h"
#include "browser/NavHistory.h"
#include "browser/NeighbourWalk.h"
#include "browser/PlaceItems.h"
#include "browser/SearchContext.h"
#include "browser/ViewActions.h"
#include "browser/ViewStates.h"
#include "browser/WindowState.h"
#include "base/Dispatcher.h"
#include "common/ObserverList.h"
#include "imaging/FilterSets.h"
#include "loading/AcvUnit.h"
#include "viewer/CacheDecoder.h"
#include "viewer/PageViewer.h"
#include "shellviews/ArchiverList.h"
#include "shellviews/ShellList.h"

class TAppCore;
class TBrowserModel;
class TCategoryList;
class TFilterPreview;
class TDirChangeNotifier;
class TGroupList;
class TMediaList;
class TShellInfo;
struct THandOver;
struct TTreePlace;

enum class TBrowserChangeKind : uint8_t {
    bcPlace,      // before: the place and its items are about to go; after: a new place is listed
    bcSelection,  // after: the selected or focused items changed
    bcShown,      // after: the pictures shown changed (a new book, a page turn, nothing shown)
    bcView,       // after: the layout, the view state or the bars changed
    bcOptions,    // after: the options were applied again (colours, resampler, filters)
};

struct TBrowserChange {
    TBrowserChangeKind Kind = TBrowserChangeKind::bcPlace;
    TChangePhase Phase = TChangePhase::cpAfter;
};

class TBrowserObserver {
public:
    virtual ~TBrowserObserver() = default;
    // Called synchronously on the user-interface thread.
    virtual void BrowserChanged(TBrowserModel& model, const TBrowserChange& change) = 0;
};

// What a later start's hand-over asks of the window once the model has done
// its part (the settings switched, the path opened).
struct THandOverOutcome {
    bool Accepted = false;
    bool EnterFullScreen = false;
};

// What the lists read besides the folders: type names and icons, the
// collection lists, and the notifier that reports changes on disk. Each may
// be null (no type names, no collections, no following of the disk); all
// must outlive the model.
struct TBrowserSources {
    TShellInfo* Info = nullptr;
    TGroupList* Shelves = nullptr;
    TMediaList* Media = nullptr;
    TCategoryList* Categories = nullptr;
    TDirChangeNotifier* Notifier = nullptr;
};

class TBrowserModel : public TPlaceView, public TSettingsWindow {
public:
    // notifier shows messages to the user; dispatcher carries the reports of
    // worker threads to this thread (none: they are dropped).
    TBrowserModel(TAppCore& core, TUserNotifier& notifier, TDispatcher* dispatcher = nullptr,
                  const TBrowserSources& sources = {});
    ~TBrowserModel() override;
    TBrowserModel(const TBrowserModel&) = delete;
    TBrowserModel& operator=(const TBrowserModel&) = delete;

    void RegisterObserver(TBrowserObserver* observer) { fObservers.Register(observer); }
    void UnregisterObserver(TBrowserObserver* observer) { fObservers.Unregister(observer); }

    // --- The place and its items ---------------------------------------------

    // The file list: the folder shown, the folder that holds the archive
    // shown, or a collection. The archive list: the folder inside the archive
    // shown. The items below are the rows of the one that shows the place, in
    // its order; the book is the pictures among them.
    TShellListModel& FileList() { return *fFileList; }
    TArchiverListModel& ArchiveList() { return *fArchiveList; }
    // What the file list shows, as the status bar, the colours and the
    // action rules count it.
    TListKind ListKind() const;
    // The text colour of a row of the archive list (archive) or the file
    // list, system colours resolved through the desktop's theme.
    TColor RowColor(int row, bool archive) const;
    // Whether the row is one of the pages shown in the viewer, in the list
    // (the archive list, or the file list) that holds the book.
    bool IsShownRow(int row, bool archive) const;
    // A place of a tree: a folder, a place in an archive, a collection.
    bool ShowTreePlace(const TTreePlace& place);
    // A row the file list opened (double click, Enter).
    void OpenListResult(const TOpenResult& result);

    // The innermost archive shown (its parents hold the outer levels), or null.
    const TArchiverPtr& Archive() const { return fArchive; }
    const std::vector<TBrowserItem>& Items() const { return fItems; }

    // --- Selection -----------------------------------------------------------

    // Selected item indices in ascending order.
    const std::vector<int>& Selection() const { return fSelection; }
    // The item with the focus, -1 for none.
    int FocusedItem() const { return fFocused; }
    // A pane selected items (indices outside the list are dropped); the pane
    // that did it is not told again.
    void Select(std::vector<int> indices, int focused, TBrowserObserver* originator = nullptr);

    // --- The book ------------------------------------------------------------

    TPageViewer& Viewer() { return *fViewer; }
    const TPageViewer& Viewer() const { return *fViewer; }
    TViewActions& Actions() { return *fActions; }
    const TViewActions& Actions() const { return *fActions; }
    const TKeyBindings& Keys() const { return fKeys; }
    // New bindings and large and small scroll options from the key dialog:
    // they apply to the view at once and are written to the settings file;
    // a failed write is reported and they still apply for this session.
    void ChangeKeyBindings(const TKeyBindings& keys, const TScrollOptions& scroll);
    // The mouse bindings, read from the settings file at start; the
    // customisation dialog replaces them (and saves them itself).
    const TMouseBindings& Mouse() const { return fMouse; }
    void SetMouseBindings(const TMouseBindings& bindings) { fMouse = bindings; }
    // The loaders in use: the snapshot taken at start and after each change
    // of the plug-in settings. Places are listed and pictures loaded through
    // it; an open archive keeps the set it was opened with.
    const TLoaderSetPtr& Loaders() const { return fLoaders; }
    // The filter sets the filter actions choose from.
    const TFilterSets& FilterSets() const;
    // The filter dialog's OK: the sets in use become these (the actions
    // list them, the ticked one is in use) and the shown pages are prepared
    // again. The caller writes them to the settings file.
    void ChangeFilterSets(const TFilterSets& sets);
    // Shows the shown pages through items instead of the set in use, while
    // the filter dialog is open; the pages are loaded unfiltered once, on
    // the first preview. EndFilterPreview shows them with the set in use
    // again (nothing when no preview was shown).
    void PreviewFilters(const TFilterList& items);
    void EndFilterPreview();
    bool Previewing() const { return fPreview != nullptr; }
    // The pictures in reading order: file paths, or member paths inside the
    // archive.
    std::vector<std::string> Images() const;
    // The item a picture of the book stands for.
    int ItemOfImage(int image) const;
    // The path (a file, or "archive//member") of the primary page; empty when
    // no picture is shown.
    std::string ShownFile() const;
    // The same for page 0 (the primary) or 1 (the partner); empty when that
    // page shows no picture.
    std::string PageFile(int page) const;
    // The page label ("3・4 / 20"); empty when no picture is shown.
    std::string PageLabel() const;
    // The finishing step (filter set and rotation) in force now.
    TPictureFinish CurrentFinish() const;

    // --- Commands ------------------------------------------------------------

    // Reads the shown folder or archive again, keeping the selection and
    // the page being read where they are still listed. False when nothing
    // is listed or the place cannot be read any more.
    bool Refresh();
    // One level up: the parent folder (the folder left is selected), the
    // folder above inside an archive, the archive that holds an inner one,
    // and from an archive's top the folder that holds the archive file.
    // False at the top of the file system or when the place cannot be read.
    bool GoUp();
    // The selection commands of the lists: select all, the files, the
    // pictures, invert, clear; and selecting or deselecting the item of a
    // shown page (page 0 or 1, or without a page both pages shown).
    static bool IsSelectionCommand(TActionId action);
    void RunSelectionCommand(TActionId action, TTargetPage page = TTargetPage::tpAsk);
    // Which panes and bars are shown, which tree is chosen, where the file
    // view sits (section VIEW of the settings file).
    const TViewStates& ViewStates() const { return fViewStates; }
    void SetViewStates(const TViewStates& states);

    // An action as its menu item runs it. Requests that need the window (a
    // dialog, ending the program) come back; the rest is done.
    TActionOutcome RunAction(TActionId action);
    // A key pressed in the image view (inImageView) or elsewhere; nothing when
    // no command is bound to it.
    std::optional<TActionOutcome> RunShortcut(TShortCut shortcut, bool inImageView);
    // Runs an outcome's follow-up: the filter set remembered; every observer
    // told. Panes that ran a viewer command themselves (a wheel, the seek
    // bar, the image bar) pass their outcome here.
    TActionOutcome Carry(const TActionOutcome& outcome);
    // The window's part of a move carried out later (one that waited behind
    // a page step gathering its pictures): ending the program, say.
    std::function<void(const TActionOutcome&)> OnDeferredOutcome;
    // The view changed through a pane (its size, a drag, a zoom at the
    // mouse): the shown pair and the selection follow.
    void ViewChanged();
    // Answers the ratio and size commands with their entered values instead
    // of asking (the snapshot mode).
    void SetBatch(bool on) { fActions->SetBatch(on); }

    // --- Navigation ----------------------------------------------------------

    // The next or previous folder or archive beside the place shown, climbing
    // out of a container that is used up. With openPicture (the reader ran
    // past the end of the book) its first picture is shown, or its last one
    // going backward. False when there was nowhere to go.
    bool MoveToNeighbour(TWalkDirection direction, bool openPicture = false);
    // The first folder or archive the list shows (the first entry of a list
    // of shelves, catalogues or categories), else the next neighbour.
    bool NextFolder(bool openPicture = false);
    // The places shown, newest first; search results stay out.
    const TNavHistory& History() const { return fHistory; }
    // Opens entry index without selecting or showing a picture; the entry
    // becomes the one shown. False for the entry shown, an index outside the
    // history, or a place that no longer opens.
    bool GoToHistoryEntry(int index);
    // The nearest older (newer) entry that still opens.
    bool GoBack() { return GoThroughHistory(true); }
    bool GoForward() { return GoThroughHistory(false); }
    // The back (forward) button's drop-down: the nearest entries, as many as
    // the settings say.
    std::vector<THistoryMenuItem> HistoryMenu(bool back) const;
    // The place as a history entry (what the address bar and title show).
    THistoryData CurrentLocation() const;

    // --- Opening -------------------------------------------------------------

    // A path the user gave (a drop, the open dialog): opened as at start,
    // failures shown as messages.
    bool OpenPathFromUser(const std::string& path);
    // The start path, else the last location.
    void DeferredStart();
    // A later start's command line; nothing while the start is still opening
    // or the window closes.
    THandOverOutcome HandOver(const THandOver& message, bool fullScreen);
    // Where the open dialogs start: the shown folder, the shown archive's
    // folder, else the working folder.
    std::string DialogStartFolder() const;
    // The window is closing: hand-overs are ignored and the cache stops.
    void BeginClose();
    // What a newly listed place opens instead of its first picture (the
    // place's recent file or marker, as LIST OpenImageType says); unset or
    // answering nothing: the first picture. sameArchive tells that the
    // archive was shown already (a move inside it).
    using TRememberedFinder = std::function<TRememberedPicture(const TShownPlace& place, bool sameArchive)>;
    void SetRememberedFinder(TRememberedFinder finder) { fRemembered = std::move(finder); }

    // --- The window's state across runs -----------------------------------------

    // The window that keeps its geometry and splitters through the model;
    // none: only the model's own parts are read and written.
    void SetWindowStateLink(TWindowStateLink* link) { fWindowLink = link; }
    const TWindowState& WindowState() const { return fWindowState; }
    // Where the window stands now, as the next start restores it.
    TLastLocation LastLocation() const;
    // At close: the window state goes into the settings file in use and the
    // last location into the data folder's "Mireva.ini" (the same copy when
    // they are one file). A file that cannot be written is reported; false
    // then.
    bool SaveAtClose();
    // The registered and recently used applications: the registered ones
    // come with the settings file in use, the recent ones with the data
    // folder's "Mireva.ini" (read at start, written by SaveAtClose).
    TApplicationLists& Applications() { return fApps; }
    // The registration dialog's OK: the list is replaced and written to the
    // settings file at once, numbers beyond it removed. A file that cannot
    // be written is reported (the list still applies); false then.
    bool ChangeRegisteredApplications(std::vector<TRegApplication> apps);

    // --- Options -------------------------------------------------------------

    // Applies the program's options to the viewer (and tells the observers).
    void ApplyOptions();

    // --- TPlaceView ----------------------------------------------------------

    TShownPlace ShownPlace() const override { return fShown; }
    void SetPendingSelection(const TPendingSelection& selection) override { fPending = selection; }
    bool ShowFolder(const std::string& folder) override;
    // Lists the results of a search (list kind 10); the folder must outlive
    // the listing. Later batches reach the list through
    // FileList().SearchResultsAdded.
    bool ShowSearch(TGroupFolder& results);
    // The results last listed are going away: the neighbour moves no longer
    // walk them nor go back to them.
    void ForgetSearch() { fSearchContext = {}; }
    bool ShowArchive(const std::string& archivePath, const std::string& innerFolder) override;
    bool SelectAndShow(const std::string& name) override;
    void ShowFirstImage() override;
    std::string SingleTopFolder() const override;
    bool SelectItem(const std::string& name) override;
    bool ShowShelf(const std::string& name, const std::string& memberPath) override;
    bool ShowMedium(const std::string& name, const std::string& folder) override;
    bool ShowCategory(const std::string& name, const std::string& part);
    // A collection named as ParseNamedPlace reads it; false for an unknown
    // form or name.
    bool ShowNamedPlace(const std::string& text);

    // --- TSettingsWindow -----------------------------------------------------
    // Of the window's state the model keeps the view state (section IMAGE),
    // the bars and the mouse bindings; key bindings, registered applications
    // and the image window come later, so switching settings files writes
    // and reads only the options, that state and the mouse bindings.

    void SuspendForSettings() override;
    void ResumeAfterSettings() override;
    void ApplyArchiveListOptions() override {}
    void WriteWindowState(TIniFile& ini) override;
    void ReadWindowState(TIniFile& ini) override;
    void WriteRegApplications(TIniFile& ini) override { fApps.WriteRegistered(ini, false); }
    void ClearRegApplications() override { fApps.SetRegistered({}); }
    void WriteKeyBindings(TIniFile& ini) override;
    void ReadKeyBindings(TIniFile& ini) override;
    void WriteMouseBindings(TIniFile& ini) override;
    void ReadMouseBindings(TIniFile& ini) override;
    std::optional<TImageWindowPlacement> ImageWindowPlacement() override { return std::nullopt; }
    void PlaceImageWindow(const TImageWindowPlacement&) override {}
    void ReportWriteFailure(const std::string& message) override;

private:
    // Holds the messages of one step until the step is over (see the header).
    class TStep;
    friend class TStep;
    class THeldMessages : public TUserNotifier {
    public:
        explicit THeldMessages(TUserNotifier& target) : fTarget(target) {}
        void ShowMessage(const std::string& text, TMessageIcon icon) override;
        void Hold() { ++fDepth; }
        bool Holding() const { return fDepth > 0; }
        // The messages held, when the outermost step ends.
        std::vector<std::pair<std::string, TMessageIcon>> Release();
        void Deliver(const std::vector<std::pair<std::string, TMessageIcon>>& messages);

    private:
        TUserNotifier& fTarget;
        int fDepth = 0;
        std::vector<std::pair<std::string, TMessageIcon>> fHeld;
    };

    void Notify(TBrowserChangeKind kind, TChangePhase phase = TChangePhase::cpAfter);
    // A new place: observers told before and after, the book handed to the
    // viewer with the source that reads it.
    void SetPlace(const TShownPlace& place, TArchiverPtr archive, std::vector<TBrowserItem> items);
    std::shared_ptr<TPictureSource> MakeSource() const;
    // What the viewer's loads may cost, from the PICTURE options.
    TPictureLimits PictureLimits() const;
    TItemClassifier Classifier() const;
    // After a step: the item of the primary page becomes the selection when
    // the shown picture changed, and the observers are told.
    void SyncShown(bool force);
    void SelectPath(const std::string& path);
    // The items and the book become items; the place stays.
    void InstallItems(std::vector<TBrowserItem> items, const TArchiverPtr& archive);
    class TListFollower;
    friend class TListFollower;
    // The file list shows folder (and selects select there); false with the
    // reason shown when it cannot be listed.
    bool ListFolder(const std::string& folder, const std::string& select = {});
    // The items of the list that shows the place.
    std::vector<TBrowserItem> ListedItems(bool archive) const;
    // Makes a fresh item the file list's row, or brings an item made from
    // it before up to the row; false, with item as it was, when the path or
    // the kind would change (the book would differ).
    // The classes of names, remembered for the last extension.
    struct TKindCache {
        TItemClassifier Classes;
        std::string Ext;
        TItemKind Kind = TItemKind::ikOther;
        bool Known = false;
        TItemKind KindOf(std::string_view name);
    };
    bool ListedItem(int row, TKindCache& classes, TBrowserItem& item, bool fresh) const;
    // A list changed its rows by itself (a sort, a change on disk, a folder
    // entered in the list): the items and the book follow, and the page
    // being read stays in view where it is still listed.
    void Relist(TRelistReason reason);
    // Rows of the file list were read again in place.
    void RowsChanged(int first, int count);
    // A list moved to another place by itself.
    void FollowFileListPlace();
    void FollowArchiveListPlace();
    void LeaveArchive();
    // The list's selection became the model's.
    void TakeListSelection();
    // Opens an item as the user's choice: a picture is shown.
    void ChooseItem(int item);
    // Opens the image at item index as a new picture.
    void OpenItem(int item);
    // The remembered picture of the place just listed; false when there is
    // none and the first picture is to be shown.
    bool ShowRemembered(bool sameArchive);

    // Navigation: the place listed enters the history; the neighbour walk's
    // answer is carried out.
    void RecordLocation();
    bool GoThroughHistory(bool back);
    bool OpenLocation(const THistoryData& entry);
    bool CarryNeighbour(const TNeighbourMove& move);
    bool ShowArchiveAt(const std::string& archivePath, const std::string& innerFolder, const std::string& failure);
    void ShowEndPicture(TWalkDirection direction);

    TAppCore& fCore;
    TLoaderSetPtr fLoaders;
    THeldMessages fMessages;
    TDispatcher* fDispatcher;
    TKeyBindings fKeys;
    TMouseBindings fMouse;
    std::unique_ptr<TPageViewer> fViewer;
    // The unfiltered shown pages while the filter dialog previews.
    std::unique_ptr<TFilterPreview> fPreview;
    std::unique_ptr<TViewActions> fActions;
    TObserverList<TBrowserObserver> fObservers;

    TBrowserSources fSources;
    std::unique_ptr<TShellListModel> fFileList;
    std::unique_ptr<TArchiverListModel> fArchiveList;
    std::unique_ptr<TListFollower> fFollower;
    // Above zero while the model itself moves the lists, so that their
    // notices are not taken for the user's doing.
    int fMovingLists = 0;
    TViewStates fViewStates;
    TWindowState fWindowState;
    TWindowStateLink* fWindowLink = nullptr;
    TApplicationLists fApps;
    // The archive file the archive list left at its top, for the file list
    // to show the folder that holds it.
    std::string fLeavingArchive;
    TShownPlace fShown;
    TPendingSelection fPending;
    TRememberedFinder fRemembered;
    TArchiverPtr fArchive;
    std::optional<TArchiveSource> fArchiveSource;
    std::vector<TBrowserItem> fItems;
    std::vector<int> fImageItems;  // the item of each picture of the book
    std::vector<int> fSelection;
    int fFocused = -1;
    int fShownIndex = -1;       // the primary page last told to the observers
    int fShownPartner = -1;
    int fShownCount = -1;
    // The PICTURE options the loaders were made with.
    std::pair<int32_t, int32_t> fBudgetInUse{0, 0};
    TNavHistory fHistory;
    bool fOpeningHistory = false;  // a history entry opens: it is not recorded again
    bool fQuietOpen = false;       // a place opens without showing a picture
    // The search results and the result the place shown was opened from.
    TSearchContext fSearchContext;
};
