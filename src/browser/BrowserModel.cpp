#include "browser/BrowserModel.h"

#include <algorithm>

#include "app/AppCore.h"
#include "base/Errors.h"
#include "base/PathUtils.h"
#include "browser/BrowserStep.h"
#include "browser/FilterPreview.h"
#include "browser/KeyCstm.h"
#include "browser/NamedPlace.h"
#include "browser/ViewerSettings.h"
#include "collections/CategoryFolder.h"
#include "collections/GroupFolder.h"
#include "collections/MediaFolder.h"
#include "common/IniFile.h"
#include "platform/FileSystem.h"
#include "shellviews/ShellTree.h"
#include "viewer/ViewCommands.h"

// Hears both lists and hands what they did by themselves to the model.
class TBrowserModel::TListFollower : public TShellListObserver, public TArchiverListObserver {
public:
    explicit TListFollower(TBrowserModel& model) : fModel(model) {}

    void ListChanged(TShellListModel&, const TFileListChange& change) override
    {
        if (fModel.fMovingLists > 0 || change.Phase != TChangePhase::cpAfter ||
            fModel.fShown.Kind == TPlaceKind::pkArchive)
            return;
        switch (change.Kind) {
        case TFileListChangeKind::fcReset:
            fModel.FollowFileListPlace();
            break;
        case TFileListChangeKind::fcInsert:
        case TFileListChangeKind::fcRemove:
            fModel.Relist(TRelistReason::rrRefreshed);
            break;
        case TFileListChangeKind::fcChange:
            fModel.RowsChanged(change.First, change.Count);
            break;
        case TFileListChangeKind::fcLayout:
            fModel.Relist(TRelistReason::rrSorted);
            break;
        case TFileListChangeKind::fcSelection:
            fModel.TakeListSelection();
            break;
        case TFileListChangeKind::fcSortOrder:
            break;
        }
    }

    void ArchiverListChanged(TArchiverListModel&, const TArchiverListChange& change) override
    {
        if (fModel.fMovingLists > 0 || change.Phase != TChangePhase::cpAfter ||
            fModel.fShown.Kind != TPlaceKind::pkArchive)
            return;
        switch (change.Kind) {
        case TArchiverListChangeKind::acReset:
            fModel.FollowArchiveListPlace();
            break;
        case TArchiverListChangeKind::acSorted:
            fModel.Relist(TRelistReason::rrSorted);
            break;
        case TArchiverListChangeKind::acSelection:
            fModel.TakeListSelection();
            break;
        case TArchiverListChangeKind::acRows:
            break;
        }
    }

private:
    TBrowserModel& fModel;
};

void TBrowserModel::THeldMessages::ShowMessage(const std::string& text, TMessageIcon icon)
{
    if (fDepth > 0)
        fHeld.emplace_back(text, icon);
    else
        fTarget.ShowMessage(text, icon);
}

std::vector<std::pair<std::string, TMessageIcon>> TBrowserModel::THeldMessages::Release()
{
    if (--fDepth > 0)
        return {};
    return std::exchange(fHeld, {});
}

void TBrowserModel::THeldMessages::Deliver(const std::vector<std::pair<std::string, TMessageIcon>>& messages)
{
    for (const auto& [text, icon] : messages)
        fTarget.ShowMessage(text, icon);
}

TBrowserModel::TBrowserModel(TAppCore& core, TUserNotifier& notifier, TDispatcher* dispatcher,
                             const TBrowserSources& sources)
    : fCore(core), fLoaders(core.Loaders()), fMessages(notifier), fDispatcher(dispatcher), fKeys(DefaultKeyBindings()),
      fMouse(DefaultMouseBindings()), fSources(sources)
{
    TShellListSources lists;
    lists.Info = sources.Info;
    lists.Shelves = sources.Shelves;
    lists.Media = sources.Media;
    lists.Categories = sources.Categories;
    lists.Notifier = sources.Notifier;
    lists.Dispatcher = dispatcher;
    // The loaders in use decide, also after a change of the plug-ins.
    lists.IsArchive = [this](std::string_view ext) { return fLoaders->IsArchiveExtension(ext); };
    fFileList = std::make_unique<TShellListModel>(lists);
    fArchiveList = std::make_unique<TArchiverListModel>(sources.Info);
    // The archive list empties itself after this hook; the file list then
    // shows the folder that holds the archive.
    fArchiveList->OnLeaveArchive = [this] { fLeavingArchive = fArchiveList->FileName(); };
    fArchiveList->OnSelectedFile = [this](int row) { ChooseItem(row); };
    fFollower = std::make_unique<TListFollower>(*this);
    fFileList->RegisterObserver(fFollower.get());
    fArchiveList->RegisterObserver(fFollower.get());

    fViewer = std::make_unique<TPageViewer>(
        [this]() -> std::shared_ptr<TCacheDecoder> {
            // The cache thread works on a snapshot of the finishing step
            // taken now; a change of filter or rotation restarts it.
            return std::make_shared<TLoaderCacheDecoder>(fLoaders, fArchiveSource, CurrentFinish(), nullptr,
                                                         PictureLimits());
        },
        fDispatcher);
    fActions = std::make_unique<TViewActions>(*fViewer);
    // A page step that gathered its pictures on a worker is shown as a step
    // of the user's: messages held until every observer knows the new pair.
    fViewer->SetStepHost([this](const std::function<void()>& complete) {
        TStep step(*this);
        complete();
    });
    fViewer->SetDeferredPlanListener([this](const TMovePlan& plan) {
        const TActionOutcome outcome = Carry(fActions->DeferredMove(plan));
        if (OnDeferredOutcome)
            OnDeferredOutcome(outcome);
    });
    TIniFile settings(fCore.SettingsPath());
    // The tree kind is kept with the last location, not in the settings.
    static_assert(static_cast<int>(TLocationTree::ltSearch) == static_cast<int>(TTreeKind::tkSearch));
    fViewStates.TreeKind = static_cast<TTreeKind>(fCore.StartTreeKind());
    ReadWindowState(settings);
    {
        // Older files keep the recent programs under IMAGE; the copy is
        // converted here only to be read.
        TIniFile program(fCore.ProgramSettingsPath());
        ConvertOldApplicationKeys(program);
        fApps.ReadRecent(program, [](const std::string& path) { return FileExists(path); });
    }
    TKeyLoadResult keys;
    fKeys = LoadKeyBindings(settings, IncludeTrailingPathDelimiter(fCore.Folders().DataFolder), true, &keys);
    if (!keys.WriteError.empty())
        fMessages.ShowMessage(keys.WriteError, TMessageIcon::miWarning);
    // An unreadable settings file keeps the default mouse bindings, and the
    // takeover of an older mouse file never writes over it.
    if (settings.ReadError().empty())
        ReadMouseBindings(settings);
    ApplyOptions();
}

TBrowserModel::~TBrowserModel()
{
    fFileList->UnregisterObserver(fFollower.get());
    fArchiveList->UnregisterObserver(fFollower.get());
    // The cache thread goes before the archive it reads.
    fViewer->Close();
}

void TBrowserModel::Notify(TBrowserChangeKind kind, TChangePhase phase)
{
    const TBrowserChange change{kind, phase};
    fObservers.Notify([&](TBrowserObserver& observer) { observer.BrowserChanged(*this, change); });
}

// --- Selection -------------------------------------------------------------------

void TBrowserModel::Select(std::vector<int> indices, int focused, TBrowserObserver* originator)
{
    const int count = static_cast<int>(fItems.size());
    std::erase_if(indices, [count](int i) { return i < 0 || i >= count; });
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    if (focused < 0 || focused >= count)
        focused = -1;
    if (indices == fSelection && focused == fFocused)
        return;
    fSelection = std::move(indices);
    fFocused = focused;
    if (fMovingLists == 0) {
        // The list that shows the place shows the same selection.
        ++fMovingLists;
        const TListSelection selection{fFocused, fSelection};
        if (fShown.Kind == TPlaceKind::pkArchive)
            fArchiveList->Select(selection);
        else
            fFileList->Select(selection);
        --fMovingLists;
    }
    TObserverList<TBrowserObserver>& observers = fObservers;
    observers.SetOriginator(originator);
    Notify(TBrowserChangeKind::bcSelection);
    observers.SetOriginator(nullptr);
}

const TFilterSets& TBrowserModel::FilterSets() const
{
    return fCore.FilterSets();
}

// --- Filter settings ---------------------------------------------------------------

void TBrowserModel::ChangeFilterSets(const TFilterSets& sets)
{
    TStep step(*this);
    fPreview.reset();
    fCore.FilterSets() = sets;
    fActions->SetFilterCount(static_cast<int>(sets.Sets.size()));
    fActions->SelectFilter(sets.Selected);
    fCore.FilterSets().Selected = fActions->Filter();
    // The cache's pictures and the shown ones were made with the old sets.
    fViewer->Reload();
}

void TBrowserModel::PreviewFilters(const TFilterList& items)
{
    TStep step(*this);
    if (!fPreview) {
        const TImageSlot& primary = fViewer->Primary();
        if (!primary.HasBitmap())
            return;
        // The shown pages once more, as loaded and prepared, without any
        // filter or rotation.
        TLoaderPictureSource source(fLoaders, fArchiveSource, &fMessages, [] { return TPictureFinish{}; });
        const std::vector<TCacheItem> images = [&] {
            std::vector<TCacheItem> list;
            for (const int index : {primary.Index, fViewer->Partner().Index}) {
                const int item = ItemOfImage(index);
                if (item < 0)
                    continue;
                const TBrowserItem& b = fItems[static_cast<size_t>(item)];
                list.push_back(TCacheItem{index, b.Path, b.Member, fArchiveSource ? b.Size : -1});
            }
            return list;
        }();
        std::vector<TImageSlot> originals;
        for (const TCacheItem& image : images)
            originals.push_back(source.Load(image));
        const TViewState& state = fViewer->ViewState();
        fPreview = std::make_unique<TFilterPreview>(std::move(originals), state.Rotation, state.AutoRotate);
    }
    std::vector<TImageSlot> pages = fPreview->Apply(items);
    pages.resize(2);
    fViewer->ShowPreview(std::move(pages[0]), std::move(pages[1]));
}

void TBrowserModel::EndFilterPreview()
{
    if (!fPreview)
        return;
    TStep step(*this);
    fPreview.reset();
    fViewer->Reload();
}

// --- The book ----------------------------------------------------------------------

std::vector<std::string> TBrowserModel::Images() const
{
    std::vector<std::string> paths;
    paths.reserve(fImageItems.size());
    for (int item : fImageItems)
        paths.push_back(fItems[static_cast<size_t>(item)].Path);
    return paths;
}

int TBrowserModel::ItemOfImage(int image) const
{
    return image >= 0 && image < static_cast<int>(fImageItems.size()) ? fImageItems[static_cast<size_t>(image)] : -1;
}

std::string TBrowserModel::ShownFile() const
{
    return PageFile(0);
}

std::string TBrowserModel::PageFile(int page) const
{
    const TImageSlot& slot = page == 1 ? fViewer->Partner() : fViewer->Primary();
    const int item = ItemOfImage(slot.Index);
    if (!slot.HasBitmap() || item < 0)
        return {};
    const std::string& path = fItems[static_cast<size_t>(item)].Path;
    return fShown.Kind == TPlaceKind::pkArchive ? fShown.ArchivePath + "//" + path : path;
}

std::string TBrowserModel::PageLabel() const
{
    return fViewer->PageLabel();
}

TPictureFinish TBrowserModel::CurrentFinish() const
{
    const TFilterSets& sets = fCore.FilterSets();
    const int filter = fActions->Filter();
    const TFilterList* items = filter >= 0 && filter < static_cast<int>(sets.Sets.size())
                                   ? &sets.Sets[static_cast<size_t>(filter)].Items
                                   : nullptr;
    const TViewState& state = fViewer->ViewState();
    return MakePictureFinish(items, state.Rotation, state.AutoRotate);
}

void TBrowserModel::SyncShown(bool force)
{
    const TShownPair shown = fViewer->Shown();
    const int count = fViewer->Count();
    const bool changed =
        force || shown.Primary != fShownIndex || shown.Partner != fShownPartner || count != fShownCount;
    fShownIndex = shown.Primary;
    fShownPartner = shown.Partner;
    fShownCount = count;
    if (changed) {
        // The lists follow the page: the primary page's item is selected.
        const int item = ItemOfImage(shown.Primary);
        if (item >= 0)
            Select({item}, item);
        Notify(TBrowserChangeKind::bcShown);
    }
    Notify(TBrowserChangeKind::bcView);
}

// --- Commands ----------------------------------------------------------------------

TActionOutcome TBrowserModel::RunAction(TActionId action)
{
    TStep step(*this);
    return Carry(fActions->Run(action));
}

std::optional<TActionOutcome> TBrowserModel::RunShortcut(TShortCut shortcut, bool inImageView)
{
    const std::optional<TKeyCommand> command = fKeys.Find(shortcut, inImageView);
    if (!command)
        return std::nullopt;
    TStep step(*this);
    return Carry(fActions->RunKey(*command));
}

TActionOutcome TBrowserModel::Carry(const TActionOutcome& outcome)
{
    TStep step(*this);
    switch (outcome.Request) {
    case TWindowRequest::wrNextFolder:
        // The reader ran past the last page: on to the next book.
        if (outcome.SubFolderFirst)
            NextFolder(true);
        else
            MoveToNeighbour(TWalkDirection::wdForward, true);
        break;
    case TWindowRequest::wrPriorFolder:
        MoveToNeighbour(TWalkDirection::wdBackward, true);
        break;
    default:
        break;
    }
    if (outcome.PicturesChanged)
        fCore.FilterSets().Selected = fActions->Filter();
    return outcome;
}

void TBrowserModel::ViewChanged()
{
    TStep step(*this);
}

// --- Opening -------------------------------------------------------------------------

bool TBrowserModel::OpenPathFromUser(const std::string& path)
{
    TStep step(*this);
    try {
        return OpenPath(path, fCore.ResolveContext(), fCore.OpenOptions(), *this);
    } catch (const std::exception& e) {
        fMessages.ShowMessage(e.what(), TMessageIcon::miError);
        return false;
    }
}

void TBrowserModel::DeferredStart()
{
    TStep step(*this);
    try {
        fCore.DeferredStart(*this);
    } catch (const std::exception& e) {
        fMessages.ShowMessage(e.what(), TMessageIcon::miError);
    }
}

THandOverOutcome TBrowserModel::HandOver(const THandOver& message, bool fullScreen)
{
    TStep step(*this);
    THandOverOutcome outcome;
    try {
        const std::optional<THandOverRequest> request = fCore.AcceptHandOver(message, fullScreen);
        if (!request || !request->HasArguments)
            return outcome;
        outcome.Accepted = true;
        if (!request->SettingsPath.empty()) {
            // A settings file that cannot be read changes nothing; the rest
            // of the request still counts.
            try {
                fCore.ChangeSettings(request->SettingsPath, *this);
            } catch (const EMirevaError& e) {
                fMessages.ShowMessage(e.what(), TMessageIcon::miWarning);
            }
        }
        outcome.EnterFullScreen = request->EnterFullScreen;
        if (!request->OpenPath.empty())
            OpenPath(request->OpenPath, fCore.ResolveContext(), fCore.OpenOptions(), *this);
    } catch (const std::exception& e) {
        fMessages.ShowMessage(e.what(), TMessageIcon::miError);
    }
    return outcome;
}

std::string TBrowserModel::DialogStartFolder() const
{
    switch (fShown.Kind) {
    case TPlaceKind::pkFolder:
        return fShown.Folder;
    case TPlaceKind::pkArchive:
        return ExtractFilePath(fShown.ArchivePath);
    default:
        return fCore.Folders().WorkingFolder;
    }
}

void TBrowserModel::BeginClose()
{
    fCore.BeginClose();
    fViewer->StopCache();
}

// --- Options -----------------------------------------------------------------------------

void TBrowserModel::ApplyOptions()
{
    const TViewerOptions options = ViewerOptionsFrom(fCore.Options(), fKeys, fCore.SystemColors());
    fViewer->SetOptions(options);
    // A changed picture budget holds from the next load on: the cache and
    // the shown pages' loader start again with it.
    const TPictureOptions& picture = fCore.Options().Picture;
    const std::pair<int32_t, int32_t> budget{picture.MaxMegapixels, picture.ReducedMegapixels};
    if (budget != fBudgetInUse) {
        fBudgetInUse = budget;
        fViewer->SetSource(MakeSource());
    }
    const TFilterSets& sets = fCore.FilterSets();
    fActions->SetFilterCount(static_cast<int>(sets.Sets.size()));
    fActions->SelectFilter(sets.Selected);
    ++fMovingLists;
    fFileList->SetOptions(ShellListOptionsFrom(fCore.Options()));
    TArchiveEnv env;
    env.Loaders = fLoaders;
    env.TempBase = IncludeTrailingPathDelimiter(fCore.TemporaryFolder());
    fArchiveList->SetArchiveEnv(env);
    fArchiveList->SetOptions(ArchiverListOptionsFrom(fCore.Options()));
    --fMovingLists;
    Notify(TBrowserChangeKind::bcOptions);
    fViewer->RefreshLayout(true);
    SyncShown(false);
}

// --- Places ----------------------------------------------------------------------------------

TItemClassifier TBrowserModel::Classifier() const
{
    return TItemClassifier{[loaders = fLoaders](std::string_view ext) { return loaders->IsImageExtension(ext); },
                           [loaders = fLoaders](std::string_view ext) { return loaders->IsArchiveExtension(ext); }};
}

std::shared_ptr<TPictureSource> TBrowserModel::MakeSource() const
{
    // The shown pages are loaded with this model as the owner of messages,
    // so that a damaged page's message waits until the step is over.
    auto* messages = const_cast<THeldMessages*>(&fMessages);
    return std::make_shared<TLoaderPictureSource>(fLoaders, fArchiveSource, messages,
                                                  [this] { return CurrentFinish(); }, PictureLimits());
}

TPictureLimits TBrowserModel::PictureLimits() const
{
    // Pictures above the lower threshold are decoded reduced for the box
    // the view fits them into; the viewer loads a page in full once it is
    // zoomed past what its reduced bitmap holds.
    const TPictureOptions& picture = fCore.Options().Picture;
    std::function<TPreviewBox()> box;
    if (fViewer)
        box = [reader = fViewer->DecodeBoxReader()] {
            const TSize size = reader();
            return TPreviewBox{size.Width, size.Height};
        };
    return TPictureLimits{PictureBudgetOf(picture.MaxMegapixels, picture.ReducedMegapixels), std::move(box)};
}

void TBrowserModel::SetPlace(const TShownPlace& place, TArchiverPtr archive, std::vector<TBrowserItem> items)
{
    Notify(TBrowserChangeKind::bcPlace, TChangePhase::cpBefore);
    fShown = place;
    fSelection.clear();
    fFocused = -1;
    InstallItems(std::move(items), archive);
    // The old archive goes only now, after the viewer let go of its pages.
    fArchive = std::move(archive);
    fSearchContext.PlaceShown(fFileList->Place(), fShown, fSources.Media);
    Notify(TBrowserChangeKind::bcPlace, TChangePhase::cpAfter);
    SyncShown(true);
    RecordLocation();
}

void TBrowserModel::InstallItems(std::vector<TBrowserItem> items, const TArchiverPtr& archive)
{
    fItems = std::move(items);
    fImageItems.clear();
    std::vector<TCacheItem> images;
    for (size_t i = 0; i < fItems.size(); ++i) {
        const TBrowserItem& item = fItems[i];
        if (item.Kind != TItemKind::ikImage)
            continue;
        fImageItems.push_back(static_cast<int>(i));
        images.push_back(TCacheItem{static_cast<int>(images.size()), item.Path, item.Member,
                                    archive ? item.Size : -1});
    }
    fArchiveSource.reset();
    if (archive) {
        TArchiveSource source;
        source.ArchiveName = archive->FileName();
        source.Loader = archive->Loader;
        // The archive (and its outer levels) stay open while any loader or
        // cache thread reads from it.
        source.KeepAlive = archive;
        fArchiveSource = source;
    }
    fViewer->SetList(std::move(images), MakeSource());
}

namespace {

// Whether a listed file may be a page of the book. Hidden files are not:
// other systems leave "._name.jpg" companions on shared discs that are no
// pictures at all. Nor are pipes, devices and sockets, which would block or
// never end, nor a link that leads nowhere, nor a file that is gone. A
// catalogued or missing member has no file data and is classed by its name.
bool IsPageCandidate(const TListedRow& row, TListContent content)
{
    if (!row.Name.empty() && row.Name.front() == '.')
        return false;
    if (content != TListContent::lcoFolder)
        return true;
    return row.Kind == TFileKind::fkFile;
}

}  // namespace

std::vector<TBrowserItem> TBrowserModel::ListedItems(bool archive) const
{
    std::vector<TBrowserItem> items;
    const TItemClassifier classes = Classifier();
    if (archive) {
        const int count = fArchiveList->Count();
        items.reserve(static_cast<size_t>(count));
        for (int row = 0; row < count; ++row) {
            const TArchiverListRow& listed = *fArchiveList->Row(row);
            const TArchiveFileInfo& record = listed.Record;
            TBrowserItem item;
            item.Kind = classes.KindOf(record.Name, record.IsFolder());
            item.Name = listed.Caption;
            item.Path = record.Path + record.Name;
            item.Size = record.Size;
            item.Time = record.Time;
            item.Member = record.Position;
            items.push_back(std::move(item));
        }
        return items;
    }
    const int count = fFileList->Count();
    items.resize(static_cast<size_t>(count));
    TKindCache kinds{.Classes = classes, .Ext = {}};
    for (int row = 0; row < count; ++row)
        ListedItem(row, kinds, items[static_cast<size_t>(row)], true);
    return items;
}

TItemKind TBrowserModel::TKindCache::KindOf(std::string_view name)
{
    // A folder's names mostly share a handful of extensions.
    const std::string ext = ExtractFileExt(name);
    if (!Known || ext != Ext) {
        Ext = ext;
        Kind = Classes.KindOf(name, false);
        Known = true;
    }
    return Kind;
}

bool TBrowserModel::ListedItem(int row, TKindCache& classes, TBrowserItem& item, bool fresh) const
{
    TListedRow listed;
    if (!fFileList->RowFacts(row, listed)) {
        // A shelf, a catalogue or a category in the list of them.
        // Renamed in place, it is still the same item.
        if (!fresh && (!item.Path.empty() || item.Kind != TItemKind::ikOther))
            return false;
        item.Name = fFileList->Text(row, 0);
        return true;
    }
    if (listed.SubCategory) {
        // A category below the shown one is no file: it keeps an empty path,
        // so no file, drop or shelf command acts on it.
        if (!fresh && (item.Name != listed.Name || !item.Path.empty() || item.Kind != TItemKind::ikOther))
            return false;
        item.Name = listed.Name;
        item.Path.clear();
        item.Kind = TItemKind::ikOther;
        item.Size = 0;
        item.Time = -1.0;
        return true;
    }
    // The row's facts are what the list shows; the node is asked only where
    // a link leads, which the list does not keep. An item that already
    // names the row keeps its strings, so that following a change of many
    // rows copies nothing.
    const bool folder = listed.Kind == TFileKind::fkFolder;
    const bool slash = folder && (listed.Path.empty() || listed.Path.back() != '/');
    const bool samePath = item.Path.size() == listed.Path.size() + (slash ? 1 : 0) &&
                          std::string_view(item.Path).substr(0, listed.Path.size()) == listed.Path &&
                          item.Name == listed.Name;
    if (!fresh && !samePath)
        return false;
    TItemKind kind = TItemKind::ikOther;
    if (folder)
        kind = TItemKind::ikFolder;
    else if (!IsPageCandidate(listed, fFileList->Content()))
        kind = TItemKind::ikOther;
    else if (!fresh && !listed.Link && item.Kind != TItemKind::ikOther && item.Kind != TItemKind::ikFolder)
        // The same name is classed the same way again.
        kind = item.Kind;
    else
        // A link is classed by the name it leads to.
        kind = listed.Link ? classes.KindOf(ExtractFileName(fFileList->Node(row)->GetTargetPath()))
                           : classes.KindOf(listed.Name);
    if (!fresh && kind != item.Kind)
        return false;
    if (fresh) {
        item.Name = listed.Name;
        item.Path.reserve(listed.Path.size() + 1);
        item.Path = listed.Path;
        if (slash)
            item.Path += '/';
    }
    item.Kind = kind;
    // Until the list has read the details, size and time stay unknown.
    item.Size = folder || !listed.DetailsKnown ? 0 : listed.Size;
    item.Time = listed.DetailsKnown ? listed.Modified : -1.0;
    return true;
}

bool TBrowserModel::ListFolder(const std::string& folder, const std::string& select)
{
    ++fMovingLists;
    const bool listed = fFileList->SetFolder(folder);
    if (listed && !select.empty()) {
        const int row = fFileList->IndexOfPath(select);
        if (row >= 0)
            fFileList->Select(TListSelection{row, {row}});
    }
    --fMovingLists;
    if (!listed)
        fMessages.ShowMessage(fFileList->LastError(), TMessageIcon::miWarning);
    return listed;
}

void TBrowserModel::TakeListSelection()
{
    const TListSelection& listed =
        fShown.Kind == TPlaceKind::pkArchive ? fArchiveList->Selection() : fFileList->Selection();
    ++fMovingLists;
    Select(listed.Selected, listed.Focused);
    --fMovingLists;
}

void TBrowserModel::Relist(TRelistReason reason)
{
    TStep step(*this);
    // What was shown, by path, before the list changed under it.
    TShownPictures shown;
    const TShownPair pair = fViewer->Shown();
    const auto pathOf = [this](int image) {
        const int item = ItemOfImage(image);
        return item >= 0 ? fItems[static_cast<size_t>(item)].Path : std::string();
    };
    if (fViewer->Primary().HasBitmap()) {
        shown.Primary = pair.Primary;
        shown.PrimaryPath = pathOf(pair.Primary);
        shown.Partner = pair.Partner;
        shown.PartnerPath = pathOf(pair.Partner);
    }
    Notify(TBrowserChangeKind::bcPlace, TChangePhase::cpBefore);
    InstallItems(ListedItems(fShown.Kind == TPlaceKind::pkArchive), fArchive);
    Notify(TBrowserChangeKind::bcPlace, TChangePhase::cpAfter);
    if (shown.Primary >= 0) {
        std::vector<TImageEntry> entries;
        entries.reserve(fImageItems.size());
        for (int item : fImageItems) {
            const std::string& path = fItems[static_cast<size_t>(item)].Path;
            entries.push_back(TImageEntry{path, path, item});
        }
        const TRefindResult found = FindShownAgain(entries, shown, reason);
        int index = found.Index;
        if (found.Outcome == TRefindOutcome::roRefreshLabel || found.Outcome == TRefindOutcome::roNewRandomOrder)
            for (size_t i = 0; i < entries.size(); ++i)
                if (entries[i].DisplayPath == shown.PrimaryPath)
                    index = static_cast<int>(i);
        if (found.Outcome != TRefindOutcome::roClose && index >= 0)
            fViewer->Open(index);
    }
    // The list kept its selection across the change; the page shown does
    // not take it over.
    const TShownPair now = fViewer->Shown();
    fShownIndex = now.Primary;
    fShownPartner = now.Partner;
    fShownCount = fViewer->Count();
    TakeListSelection();
    Notify(TBrowserChangeKind::bcShown);
}

void TBrowserModel::RowsChanged(int first, int count)
{
    // A row read again in place (a file rewritten, renamed, its attributes
    // or its access time touched, as reading a picture may do, or the sizes
    // and dates of a large folder arriving after its names): the book is
    // made again only when a name changed or a shown page's file did, so
    // that merely reading a page never loads it twice. The other items are
    // brought up to date where they stand.
    if (fFileList->Count() != static_cast<int>(fItems.size())) {
        Relist(TRelistReason::rrRefreshed);
        return;
    }
    TKindCache classes{.Classes = Classifier(), .Ext = {}};
    const TShownPair pair = fViewer->Shown();
    const int primary = ItemOfImage(pair.Primary);
    const int partner = ItemOfImage(pair.Partner);
    bool relist = false;
    const int end = std::min(first + count, static_cast<int>(fItems.size()));
    for (int row = std::max(first, 0); row < end; ++row) {
        TBrowserItem& item = fItems[static_cast<size_t>(row)];
        const int64_t size = item.Size;
        const TDateTime time = item.Time;
        if (!ListedItem(row, classes, item, false)) {
            relist = true;
            break;
        }
        // A time of -1 was not read yet: its first reading changes no page.
        if ((row == primary || row == partner) && time != -1.0 && (size != item.Size || time != item.Time)) {
            relist = true;
            break;
        }
    }
    if (relist) {
        Relist(TRelistReason::rrRefreshed);
        return;
    }
    Notify(TBrowserChangeKind::bcSelection);
}

void TBrowserModel::FollowFileListPlace()
{
    TStep step(*this);
    TShownPlace place;
    const TShellFolder* folder = fFileList->Folder();
    if (fFileList->Content() == TListContent::lcoFolder && folder && !folder->IsRoot())
        place = TShownPlace{TPlaceKind::pkFolder, IncludeTrailingPathDelimiter(folder->GetPath()), {}, {}};
    else
        place = TShownPlace{TPlaceKind::pkCollection, {}, {}, {}};
    SetPlace(place, nullptr, ListedItems(false));
    TakeListSelection();
}

void TBrowserModel::FollowArchiveListPlace()
{
    if (!fArchiveList->Archiver()) {
        LeaveArchive();
        return;
    }
    TStep step(*this);
    const TShownPlace place{TPlaceKind::pkArchive, {}, fArchiveList->FileName(), fArchiveList->DisplayPath()};
    SetPlace(place, fArchiveList->Archiver(), ListedItems(true));
    TakeListSelection();
}

void TBrowserModel::LeaveArchive()
{
    const std::string archive = !fLeavingArchive.empty() ? fLeavingArchive : fShown.ArchivePath;
    fLeavingArchive.clear();
    TStep step(*this);
    if (archive.empty() || !ShowFolder(ExtractFilePath(archive)))
        return;
    // The archive left is selected, not the picture the folder opened on.
    SyncShown(false);
    SelectPath(archive);
}

void TBrowserModel::ChooseItem(int item)
{
    if (item < 0 || item >= static_cast<int>(fItems.size()))
        return;
    TStep step(*this);
    Select({item}, item);
    OpenItem(item);
}

TListKind TBrowserModel::ListKind() const
{
    switch (fFileList->Content()) {
    case TListContent::lcoFolder: return TListKind::lkFolder;
    case TListContent::lcoShelves: return TListKind::lkShelves;
    case TListContent::lcoShelf: return TListKind::lkShelf;
    case TListContent::lcoMedia: return TListKind::lkMediaList;
    case TListContent::lcoMediumRoot: return TListKind::lkMedium;
    case TListContent::lcoMediumFolder: return TListKind::lkMediumFolder;
    case TListContent::lcoCategories: return TListKind::lkCategories;
    case TListContent::lcoCategory: return TListKind::lkCategory;
    case TListContent::lcoSearch: return TListKind::lkSearch;
    case TListContent::lcoNone: break;
    }
    return TListKind::lkNothing;
}

bool TBrowserModel::IsShownRow(int row, bool archive) const
{
    if (archive != (fShown.Kind == TPlaceKind::pkArchive) || !fViewer->Primary().HasBitmap())
        return false;
    const TShownPair pair = fViewer->Shown();
    return row == ItemOfImage(pair.Primary) || (pair.Partner >= 0 && row == ItemOfImage(pair.Partner));
}

TColor TBrowserModel::RowColor(int row, bool archive) const
{
    const TOptions& options = fCore.Options();
    TItemColorFacts facts;
    TColor listText = options.List.FileText;
    facts.ShownPage = IsShownRow(row, archive);
    if (archive) {
        const TArchiverListRow* listed = fArchiveList->Row(row);
        if (!listed)
            return listText;
        listText = options.List.ArchiveText;
        facts.Name = listed->Record.IsFolder() ? listed->Record.Path : listed->Record.Name;
        facts.Folder = listed->Record.IsFolder();
        facts.ArchiveMember = true;
    } else if (TShellFolder* node = fFileList->Node(row)) {
        facts.Name = node->GetName();
        facts.Folder = node->IsDirectory();
        const uint32_t attributes = node->GetAttributes();
        facts.ReadOnly = (attributes & faReadOnly) != 0;
        facts.Hidden = (attributes & faHidden) != 0 || (facts.Name.size() > 1 && facts.Name.front() == '.');
        facts.System = (attributes & faSysFile) != 0;
    } else {
        facts.Name = fFileList->Text(row, 0);
    }
    const TItemColor color = ItemColor(facts, archive ? TListKind::lkFolder : ListKind(), options.Derived,
                                       Classifier(), listText);
    const TSystemColorResolver& resolve = fCore.SystemColors();
    return IsSystemColor(color.Text) && resolve ? resolve(color.Text) : color.Text;
}

bool TBrowserModel::ShowTreePlace(const TTreePlace& place)
{
    switch (place.Kind) {
    case TTreePlaceKind::tpFolder:
        return ShowFolder(place.Path);
    case TTreePlaceKind::tpArchive:
        return ShowArchive(place.Path, place.ArchiveFolder);
    case TTreePlaceKind::tpNone:
        return false;
    default:
        break;
    }
    TStep step(*this);
    ++fMovingLists;
    const bool listed = fFileList->SetPlace(place);
    if (listed)
        fArchiveList->SetArchive(nullptr, {});
    --fMovingLists;
    if (!listed) {
        if (!fFileList->LastError().empty())
            fMessages.ShowMessage(fFileList->LastError(), TMessageIcon::miWarning);
        return false;
    }
    FollowFileListPlace();
    return true;
}

void TBrowserModel::OpenListResult(const TOpenResult& result)
{
    // A place opened from the search results keeps to them for the
    // neighbour moves.
    std::optional<TSearchContext::TOpening> fromResults;
    if (fFileList->Content() == TListContent::lcoSearch && result.Row >= 0)
        fromResults.emplace(fSearchContext, fFileList->KeyOf(result.Row));
    switch (result.Kind) {
    case TOpenKind::okPlace:
        ShowTreePlace(result.Place);
        break;
    case TOpenKind::okArchive:
        ShowArchive(result.Path, {});
        break;
    case TOpenKind::okFile:
        ChooseItem(result.Row);
        break;
    case TOpenKind::okNothing:
        break;
    }
}

bool TBrowserModel::ShowFolder(const std::string& folder)
{
    TStep step(*this);
    if (!ListFolder(folder))
        return false;
    ++fMovingLists;
    fArchiveList->SetArchive(nullptr, {});
    --fMovingLists;
    SetPlace(TShownPlace{TPlaceKind::pkFolder, IncludeTrailingPathDelimiter(folder), {}, {}}, nullptr,
             ListedItems(false));

    if (fQuietOpen)
        return true;
    // The file the path named, else the folder's first picture.
    const std::string pending = std::exchange(fPending, {}).FilePath;
    if (pending.empty() || !SelectAndShow(pending))
        if (!ShowRemembered(false))
            ShowFirstImage();
    return true;
}

bool TBrowserModel::ShowSearch(TGroupFolder& results)
{
    TStep step(*this);
    ++fMovingLists;
    const bool listed = fFileList->SetSearch(results);
    if (listed) {
        fSearchContext.SetResults(&results);
        fArchiveList->SetArchive(nullptr, {});
    }
    --fMovingLists;
    if (listed)
        FollowFileListPlace();
    return listed;
}

bool TBrowserModel::ShowArchive(const std::string& archivePath, const std::string& innerFolder)
{
    return ShowArchiveAt(archivePath, innerFolder, ArchiveNotReadMessage(ExtractFileName(archivePath)));
}

bool TBrowserModel::ShowArchiveAt(const std::string& archivePath, const std::string& innerFolder,
                                  const std::string& failure)
{
    TStep step(*this);
    // The inner folder names a folder ("dir/", "x/b.zip//dir/") or an
    // archive inside the archive ("x/b.zip"), whose top is shown.
    std::string archivePart;
    std::string folder;
    if (innerFolder.empty() || innerFolder.back() == '/')
        SplitVirtualPath(innerFolder, archivePart, folder);
    else
        archivePart = innerFolder;
    TArchiveEnv env;
    env.Loaders = fLoaders;
    env.TempBase = IncludeTrailingPathDelimiter(fCore.TemporaryFolder());
    const TPendingSelection pending = std::exchange(fPending, {});
    TArchiverPtr archiver;
    try {
        archiver = ResolveVirtualPath(env, archivePath, archivePart, fArchive);
    } catch (const EFileError& e) {
        // An inner archive that could not be written out: the system's reason.
        fMessages.ShowMessage(e.what(), TMessageIcon::miWarning);
        return false;
    } catch (const std::exception&) {
        archiver = nullptr;
    }
    if (!archiver || !archiver->Loader) {
        fMessages.ShowMessage(failure, TMessageIcon::miWarning);
        return false;
    }

    // A folder that holds nothing but one folder (as many comics come: the
    // book's folder inside its archive) is entered at once.
    const TItemClassifier classes = Classifier();
    const bool withFolders = fCore.Options().Archive.Folder;
    std::vector<TBrowserItem> items = ListArchiveItems(*archiver, folder, classes, withFolders);
    std::string opened = innerFolder;
    while (fCore.OpenOptions().ArchiveOpenSubFolder && items.size() == 1 &&
           items.front().Kind == TItemKind::ikFolder) {
        folder = items.front().Path;
        opened = archivePart.empty() ? folder : archivePart + "//" + folder;
        items = ListArchiveItems(*archiver, folder, classes, withFolders);
    }
    const bool firstShown = archiver != fArchive;
    // The file list shows the folder that holds the archive, with the
    // archive selected; the archive list the folder inside it.
    const std::string holder = ExtractFilePath(archivePath);
    const TShellFolder* listed = fFileList->Folder();
    if (fFileList->Content() != TListContent::lcoFolder || !listed ||
        IncludeTrailingPathDelimiter(listed->GetPath()) != holder) {
        ++fMovingLists;
        fFileList->SetFolder(holder);
        --fMovingLists;
    }
    ++fMovingLists;
    if (const int row = fFileList->IndexOfPath(archivePath); row >= 0)
        fFileList->Select(TListSelection{row, {row}});
    fArchiveList->SetArchive(archiver, folder);
    --fMovingLists;
    SetPlace(TShownPlace{TPlaceKind::pkArchive, {}, archivePath, opened}, archiver, ListedItems(true));
    // A book whose list stopped at damage shows the pages read before it; the
    // reader is told once that more may be missing.
    if (firstShown && fArchive->Incomplete())
        fMessages.ShowMessage(ArchiveIncompleteMessage(fArchive->FileName()), TMessageIcon::miWarning);

    if (fQuietOpen)
        return true;
    // Opening an archive shows its first picture when the options say so.
    if (pending.ArchiveFileName.empty() || !SelectAndShow(pending.ArchiveFileName))
        if (fCore.Options().List.OpenArchive && !ShowRemembered(!firstShown))
            ShowFirstImage();
    return true;
}

bool TBrowserModel::Refresh()
{
    // The list is read again; the page being read stays in view when it is
    // still there, and the list keeps its selection by path.
    TStep step(*this);
    switch (fShown.Kind) {
    case TPlaceKind::pkNothing:
        return false;
    case TPlaceKind::pkArchive:
        ++fMovingLists;
        fArchiveList->Reload(true);
        --fMovingLists;
        if (!fArchiveList->Archiver()) {
            LeaveArchive();
            return true;
        }
        break;
    case TPlaceKind::pkFolder:
    case TPlaceKind::pkCollection: {
        ++fMovingLists;
        const bool listed = fFileList->Refresh();
        --fMovingLists;
        if (!listed) {
            fMessages.ShowMessage(fFileList->LastError(), TMessageIcon::miWarning);
            return false;
        }
        break;
    }
    }
    Relist(TRelistReason::rrRefreshed);
    return true;
}

bool TBrowserModel::GoUp()
{
    TStep step(*this);
    if (fShown.Kind == TPlaceKind::pkArchive) {
        ++fMovingLists;
        const TArchiverGoUp up = fArchiveList->GoUp();
        --fMovingLists;
        if (up == TArchiverGoUp::guNothing)
            return false;
        if (up == TArchiverGoUp::guLeave || !fArchiveList->Archiver())
            LeaveArchive();
        else
            FollowArchiveListPlace();
        return true;
    }
    if (fShown.Kind == TPlaceKind::pkNothing)
        return false;
    // The folder left is selected in its parent.
    const std::string left = fShown.Kind == TPlaceKind::pkFolder ? fShown.Folder : std::string();
    ++fMovingLists;
    const bool up = fFileList->GoUp();
    --fMovingLists;
    if (!up)
        return false;
    FollowFileListPlace();
    if (!left.empty())
        SelectPath(left);
    return true;
}

void TBrowserModel::SelectPath(const std::string& path)
{
    for (size_t i = 0; i < fItems.size(); ++i)
        if (fItems[i].Path == path) {
            Select({static_cast<int>(i)}, static_cast<int>(i));
            return;
        }
}

bool TBrowserModel::IsSelectionCommand(TActionId action)
{
    using enum TActionId;
    return action == actAllSelect || action == actFileSelect || action == actImageSelect ||
           action == actSelectChange || action == actNoSelect || action == actSelImage || action == actNotSelImage;
}

void TBrowserModel::RunSelectionCommand(TActionId action, TTargetPage page)
{
    std::vector<int> indices;
    const int count = static_cast<int>(fItems.size());
    if (action == TActionId::actSelImage || action == TActionId::actNotSelImage) {
        // The list items of the pages meant; the rest of the selection
        // stays as it is.
        std::vector<int> pages;
        for (const int shown : {0, 1})
            if (page == TTargetPage::tpAsk || static_cast<int>(page) == shown) {
                const TImageSlot& slot = shown == 1 ? fViewer->Partner() : fViewer->Primary();
                if (const int item = slot.HasBitmap() ? ItemOfImage(slot.Index) : -1; item >= 0)
                    pages.push_back(item);
            }
        if (pages.empty())
            return;
        indices = fSelection;
        for (const int item : pages) {
            const auto at = std::lower_bound(indices.begin(), indices.end(), item);
            if (action == TActionId::actSelImage && (at == indices.end() || *at != item))
                indices.insert(at, item);
            else if (action == TActionId::actNotSelImage && at != indices.end() && *at == item)
                indices.erase(at);
        }
        Select(indices, pages.front());
        return;
    }
    switch (action) {
    case TActionId::actAllSelect:
        for (int i = 0; i < count; ++i)
            indices.push_back(i);
        break;
    case TActionId::actFileSelect:
        for (int i = 0; i < count; ++i)
            if (fItems[static_cast<size_t>(i)].Kind != TItemKind::ikFolder)
                indices.push_back(i);
        break;
    case TActionId::actImageSelect:
        indices = fImageItems;
        std::sort(indices.begin(), indices.end());
        break;
    case TActionId::actSelectChange:
        for (int i = 0; i < count; ++i)
            if (!std::binary_search(fSelection.begin(), fSelection.end(), i))
                indices.push_back(i);
        break;
    case TActionId::actNoSelect:
        break;
    default:
        return;
    }
    Select(indices, indices.empty() ? fFocused : (fFocused >= 0 ? fFocused : indices.front()));
}

void TBrowserModel::SetViewStates(const TViewStates& states)
{
    fViewStates = states;
    Notify(TBrowserChangeKind::bcView);
}

void TBrowserModel::OpenItem(int item)
{
    const auto found = std::find(fImageItems.begin(), fImageItems.end(), item);
    if (found != fImageItems.end())
        fViewer->Open(static_cast<int>(found - fImageItems.begin()));
}

bool TBrowserModel::SelectAndShow(const std::string& name)
{
    TStep step(*this);
    const auto byPath = [&](const TBrowserItem& item) { return item.Path == name; };
    auto found = std::find_if(fItems.begin(), fItems.end(), byPath);
    // Inside an archive a bare member name is enough.
    if (found == fItems.end() && fShown.Kind == TPlaceKind::pkArchive)
        found = std::find_if(fItems.begin(), fItems.end(),
                             [&](const TBrowserItem& item) { return ExtractFileName(item.Path) == name; });
    if (found == fItems.end() || found->Kind != TItemKind::ikImage) {
        // An archive in the folder is opened, as a double click on it does.
        if (fShown.Kind == TPlaceKind::pkFolder && fLoaders->IsArchiveExtension(ExtractFileExt(name)))
            return ShowArchive(name, "");
        return false;
    }
    const int item = static_cast<int>(found - fItems.begin());
    Select({item}, item);
    OpenItem(item);
    return true;
}

bool TBrowserModel::ShowRemembered(bool sameArchive)
{
    if (!fRemembered)
        return false;
    const TRememberedPicture remembered = fRemembered(fShown, sameArchive);
    if (!remembered.EnterFolder.empty()) {
        // The file lies in another folder of the archive: that folder is
        // listed with the file as its selection.
        SetPendingSelection(TPendingSelection{{}, remembered.Select});
        return ShowArchive(fShown.ArchivePath, remembered.EnterFolder);
    }
    return !remembered.Select.empty() && SelectAndShow(remembered.Select);
}

void TBrowserModel::ShowFirstImage()
{
    TStep step(*this);
    if (!fImageItems.empty())
        OpenItem(fImageItems.front());
}

std::string TBrowserModel::SingleTopFolder() const
{
    if (fShown.Kind != TPlaceKind::pkArchive || !fArchive)
        return {};
    const std::vector<TBrowserItem> top =
        ListArchiveItems(*fArchive, "", Classifier(), fCore.Options().Archive.Folder);
    if (top.size() == 1 && top.front().Kind == TItemKind::ikFolder)
        return top.front().Path;
    return {};
}

// --- Settings files ------------------------------------------------------------------------------

void TBrowserModel::SuspendForSettings()
{
    // The cache keeps the loaders it started with, whatever the rebuild
    // does; stopped now, it starts again with the new ones.
    fViewer->StopCache();
}

void TBrowserModel::ResumeAfterSettings()
{
    TStep step(*this);
    // The loaders were rebuilt: the shown pages load through the new set
    // from now on. An open archive keeps reading through the set it was
    // opened with (its member positions are that loader's); it takes the new
    // plug-ins when it is opened again.
    fLoaders = fCore.Loaders();
    fViewer->SetSource(MakeSource());
    ApplyOptions();
}

void TBrowserModel::WriteWindowState(TIniFile& ini)
{
    // The lists keep their own widths and orders while the window runs.
    using enum TListGroup;
    const std::array<TListGroup, HeaderSlotCount> groups = {lgFolder, lgShelves, lgShelf, lgMedia, lgCategories,
                                                            lgSearch};
    for (size_t slot = 0; slot < HeaderSlotCount; ++slot)
        fWindowState.FileHeaders[slot] = fFileList->ColumnWidths(groups[slot]);
    fWindowState.ArchiveHeader = fArchiveList->ColumnWidths();
    fWindowState.FolderSort = fFileList->GroupSortOrder(lgFolder);
    fWindowState.ShelfSort = fFileList->GroupSortOrder(lgShelf);
    fWindowState.ArchiveSort = fArchiveList->SortOrder();
    if (fWindowLink)
        fWindowLink->CaptureWindowState(fWindowState);
    WriteWindowStateSection(ini, fWindowState);
    // The filter set chosen while the window ran; the sets themselves are
    // options and go with them.
    const TFilterSets& sets = fCore.FilterSets();
    ini.WriteInteger(FilterSection, "Select",
                     sets.Selected >= 0 && sets.Selected < static_cast<int>(sets.Sets.size()) ? sets.Selected : -1);
    WriteViewState(ini, fViewer->ViewState());
    // The image view's bars are switched by its own commands; the panes
    // keep them with the rest of the normal view's bars.
    fViewStates.Normal.ImageBar = fActions->ImageBarShown();
    fViewStates.Normal.SeekBar = fActions->SeekBarShown();
    WriteViewStates(ini, fViewStates);
}

void TBrowserModel::ReadWindowState(TIniFile& ini)
{
    TViewState state = ReadViewState(ini);
    // The rotation is not kept in the file; the one chosen stays.
    state.Rotation = fViewer->ViewState().Rotation;
    fViewer->SetViewState(state);
    const TTreeKind tree = fViewStates.TreeKind;
    fViewStates = ReadViewStates(ini);
    fViewStates.TreeKind = tree;
    fActions->SetBars(fViewStates.Normal.ImageBar, fViewStates.Normal.SeekBar);

    fWindowState = ReadWindowStateSection(ini);
    fApps.ReadRegistered(ini);
    using enum TListGroup;
    const std::array<TListGroup, HeaderSlotCount> groups = {lgFolder, lgShelves, lgShelf, lgMedia, lgCategories,
                                                            lgSearch};
    for (size_t slot = 0; slot < HeaderSlotCount; ++slot)
        fFileList->SetColumnWidths(groups[slot], fWindowState.FileHeaders[slot]);
    fArchiveList->SetColumnWidths(fWindowState.ArchiveHeader);
    // A list that shows its rows now is sorted again, and the items and the
    // book follow it as after a sort the user chose.
    fFileList->SetGroupSortOrder(lgFolder, fWindowState.FolderSort);
    fFileList->SetGroupSortOrder(lgShelf, fWindowState.ShelfSort);
    fArchiveList->SetSortOrder(fWindowState.ArchiveSort);
    if (fWindowLink)
        fWindowLink->ApplyWindowState(fWindowState);
    Notify(TBrowserChangeKind::bcView);
}

// --- The window's state across runs ----------------------------------------------------

TLastLocation TBrowserModel::LastLocation() const
{
    TLastLocation location;
    const auto selectedPath = [this]() -> std::string {
        const int item = fFocused >= 0 && std::find(fSelection.begin(), fSelection.end(), fFocused) != fSelection.end()
                             ? fFocused
                             : (fSelection.empty() ? -1 : fSelection.front());
        return item >= 0 ? fItems[static_cast<size_t>(item)].Path : std::string();
    };
    switch (fShown.Kind) {
    case TPlaceKind::pkArchive:
        location.IsArchive = true;
        location.ArchivePath = fShown.ArchiveFolder;
        location.Dir = fShown.ArchivePath;
        location.Selected = selectedPath();
        break;
    case TPlaceKind::pkFolder:
        location.Dir = fShown.Folder;
        location.Selected = selectedPath();
        break;
    case TPlaceKind::pkCollection:
        // A collection view keeps the folder it stands in, for a start
        // without the collection.
        location.Dir = fShown.Folder;
        break;
    case TPlaceKind::pkNothing:
        break;
    }
    location.ImagePath = ShownFile();

    // A shelf or catalogue shown comes back as that, from the tree of its kind.
    const TTreePlace place = fFileList->Place();
    const auto shelfName = [this](int index) {
        TCustomFolder* folder = fSources.Shelves ? fSources.Shelves->Folder(index) : nullptr;
        return folder ? folder->Name() : std::string();
    };
    const auto mediumName = [this](int index) {
        TCustomFolder* folder = fSources.Media ? fSources.Media->Folder(index) : nullptr;
        return folder ? folder->Name() : std::string();
    };
    using enum TTreePlaceKind;
    switch (fShown.Kind == TPlaceKind::pkArchive ? tpNone : place.Kind) {
    case tpShelves:
        location.TreeKind = TLocationTree::ltShelf;
        break;
    case tpShelf:
        location.TreeKind = TLocationTree::ltShelf;
        location.Shelf = shelfName(place.ListIndex);
        break;
    case tpShelfMember:
    case tpShelfFolder:
        location.TreeKind = TLocationTree::ltShelf;
        location.Shelf = shelfName(place.ListIndex);
        location.ShelfItem = ExcludeTrailingPathDelimiter(place.Kind == tpShelfMember ? place.Path : place.MemberPath);
        break;
    case tpMedia:
        location.TreeKind = TLocationTree::ltMedia;
        break;
    case tpMedium:
        location.TreeKind = TLocationTree::ltMedia;
        location.Media = mediumName(place.ListIndex);
        break;
    case tpMediumFolder:
        location.TreeKind = TLocationTree::ltMedia;
        location.Media = mediumName(place.ListIndex);
        location.MediaDir = ExcludeTrailingPathDelimiter(place.Path);
        break;
    default:
        break;
    }
    return location;
}

bool TBrowserModel::SaveAtClose()
{
    TIniFile ini(fCore.SettingsPath());
    const std::string program = fCore.ProgramSettingsPath();
    const bool oneFile = SameSettingsFile(ini.FileName(), program);
    bool saved = true;
    try {
        WriteWindowState(ini);
        if (!oneFile)
            ini.UpdateFile();
    } catch (const std::exception& e) {
        fMessages.ShowMessage(e.what(), TMessageIcon::miWarning);
        saved = false;
    }
    // The same copy is pointed at the data folder's file, read again from
    // disk unless it is that file already.
    if (!oneFile)
        ini.Rename(program, true);
    try {
        WriteLastLocation(ini, LastLocation());
        fApps.WriteRecent(ini);
        ini.UpdateFile();
    } catch (const std::exception& e) {
        fMessages.ShowMessage(e.what(), TMessageIcon::miWarning);
        saved = false;
    }
    return saved;
}

bool TBrowserModel::ChangeRegisteredApplications(std::vector<TRegApplication> apps)
{
    fApps.SetRegistered(std::move(apps));
    try {
        TIniFile ini(fCore.SettingsPath());
        fApps.WriteRegistered(ini, true);
        ini.UpdateFile();
    } catch (const std::exception& e) {
        fMessages.ShowMessage(e.what(), TMessageIcon::miWarning);
        return false;
    }
    return true;
}

bool TBrowserModel::SelectItem(const std::string& name)
{
    TStep step(*this);
    for (size_t i = 0; i < fItems.size(); ++i)
        if (fItems[i].Path == name) {
            Select({static_cast<int>(i)}, static_cast<int>(i));
            return true;
        }
    return false;
}

bool TBrowserModel::ShowShelf(const std::string& name, const std::string& memberPath)
{
    const int index = fSources.Shelves ? fSources.Shelves->IndexOfName(name) : -1;
    if (index < 0)
        return false;
    TTreePlace place;
    place.ListIndex = index;
    if (memberPath.empty() || !DirectoryExists(memberPath)) {
        place.Kind = TTreePlaceKind::tpShelf;
    } else {
        place.Kind = TTreePlaceKind::tpShelfMember;
        place.Path = IncludeTrailingPathDelimiter(memberPath);
    }
    return ShowTreePlace(place);
}

bool TBrowserModel::ShowMedium(const std::string& name, const std::string& folder)
{
    const int index = fSources.Media ? fSources.Media->IndexOfName(name) : -1;
    if (index < 0)
        return false;
    TTreePlace place;
    place.ListIndex = index;
    place.Kind = folder.empty() ? TTreePlaceKind::tpMedium : TTreePlaceKind::tpMediumFolder;
    place.Path = folder.empty() ? std::string() : IncludeTrailingPathDelimiter(folder);
    return ShowTreePlace(place);
}

bool TBrowserModel::ShowCategory(const std::string& name, const std::string& part)
{
    const int index = fSources.Categories ? fSources.Categories->IndexOfName(name) : -1;
    if (index < 0)
        return false;
    TTreePlace place;
    place.ListIndex = index;
    place.Kind = part.empty() ? TTreePlaceKind::tpCategory : TTreePlaceKind::tpCategoryItem;
    place.Path = part.empty() ? std::string() : IncludeTrailingPathDelimiter(part);
    return ShowTreePlace(place);
}

bool TBrowserModel::ShowNamedPlace(const std::string& text)
{
    const std::optional<TNamedPlace> named = ParseNamedPlace(text);
    if (!named)
        return false;
    TTreePlace place;
    using enum TNamedPlaceKind;
    switch (named->Kind) {
    case npShelf: return ShowShelf(named->Name, named->Inner);
    case npMedium: return ShowMedium(named->Name, named->Inner);
    case npCategory: return ShowCategory(named->Name, named->Inner);
    case npShelves: place.Kind = TTreePlaceKind::tpShelves; break;
    case npMedia: place.Kind = TTreePlaceKind::tpMedia; break;
    case npCategories: place.Kind = TTreePlaceKind::tpCategories; break;
    }
    return ShowTreePlace(place);
}

void TBrowserModel::WriteKeyBindings(TIniFile& ini)
{
    ::WriteKeyBindings(ini, fKeys);
}

void TBrowserModel::ReadKeyBindings(TIniFile& ini)
{
    // Another settings file: an older version's separate key file was taken
    // over at start already, and the settings command writes the file.
    fKeys = LoadKeyBindings(ini, {}, false);
    ApplyOptions();
}

void TBrowserModel::ChangeKeyBindings(const TKeyBindings& keys, const TScrollOptions& scroll)
{
    TStep step(*this);
    fKeys = keys;
    TOptions options = fCore.Options();
    options.Scroll = scroll;
    fCore.ChangeOptions(options);
    ApplyOptions();
    try {
        TIniFile settings(fCore.SettingsPath());
        SaveKeyBindings(settings, fKeys, &fCore.Options());
    } catch (const EMirevaError& e) {
        fMessages.ShowMessage(e.what(), TMessageIcon::miWarning);
    }
}

void TBrowserModel::WriteMouseBindings(TIniFile& ini)
{
    ::WriteMouseBindings(ini, fMouse);
}

void TBrowserModel::ReadMouseBindings(TIniFile& ini)
{
    const std::string error = LoadMouseBindings(ini, fCore.Folders().DataFolder, fMouse);
    if (!error.empty())
        ReportWriteFailure(error);
}

void TBrowserModel::ReportWriteFailure(const std::string& message)
{
    fMessages.ShowMessage(message, TMessageIcon::miWarning);
}
