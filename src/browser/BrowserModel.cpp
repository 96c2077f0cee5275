#include "browser/BrowserModel.h"

#include <algorithm>

#include "app/AppCore.h"
#include "base/Errors.h"
#include "base/PathUtils.h"
#include "browser/ViewerSettings.h"
#include "common/IniFile.h"
#include "viewer/ViewCommands.h"

// One step of the user (a command, an opened place): messages are held while
// it runs; when the outermost step ends the shown pair is synchronised, every
// observer told, and then the messages shown.
class TBrowserModel::TStep {
public:
    explicit TStep(TBrowserModel& model) : fModel(model) { fModel.fMessages.Hold(); }
    ~TStep()
    {
        auto held = fModel.fMessages.Release();
        if (fModel.fMessages.Holding())
            return;
        fModel.SyncShown(false);
        fModel.fMessages.Deliver(held);
    }
    TStep(const TStep&) = delete;
    TStep& operator=(const TStep&) = delete;

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

TBrowserModel::TBrowserModel(TAppCore& core, TUserNotifier& notifier, TDispatcher* dispatcher)
    : fCore(core), fLoaders(core.Loaders()), fMessages(notifier), fDispatcher(dispatcher), fKeys(DefaultKeyBindings())
{
    fViewer = std::make_unique<TPageViewer>(
        [this]() -> std::shared_ptr<TCacheDecoder> {
            // The cache thread works on a snapshot of the finishing step
            // taken now; a change of filter or rotation restarts it.
            return std::make_shared<TLoaderCacheDecoder>(fLoaders, fArchiveSource, CurrentFinish());
        },
        fDispatcher);
    fActions = std::make_unique<TViewActions>(*fViewer);
    TIniFile settings(fCore.SettingsPath());
    ReadWindowState(settings);
    ApplyOptions();
}

TBrowserModel::~TBrowserModel()
{
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
    TObserverList<TBrowserObserver>& observers = fObservers;
    observers.SetOriginator(originator);
    Notify(TBrowserChangeKind::bcSelection);
    observers.SetOriginator(nullptr);
}

const TFilterSets& TBrowserModel::FilterSets() const
{
    return fCore.FilterSets();
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
    const TImageSlot& primary = fViewer->Primary();
    const int item = ItemOfImage(primary.Index);
    if (!primary.HasBitmap() || item < 0)
        return {};
    const std::string& path = fItems[static_cast<size_t>(item)].Path;
    return fShown.Kind == TPlaceKind::pkArchive ? fShown.ArchivePath + "//" + path : path;
}

std::string TBrowserModel::PageLabel() const
{
    if (fViewer->Primary().Index < 0 || fViewer->Count() == 0)
        return {};
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
    case TWindowRequest::wrPriorFolder:
        // Moving on to the neighbouring folder or archive comes with the
        // folder navigation; until then the end of the list stays put.
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
    const TFilterSets& sets = fCore.FilterSets();
    fActions->SetFilterCount(static_cast<int>(sets.Sets.size()));
    fActions->SelectFilter(sets.Selected);
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
                                                  [this] { return CurrentFinish(); });
}

void TBrowserModel::SetPlace(const TShownPlace& place, TArchiverPtr archive, std::vector<TBrowserItem> items)
{
    Notify(TBrowserChangeKind::bcPlace, TChangePhase::cpBefore);
    fShown = place;
    fItems = std::move(items);
    fSelection.clear();
    fFocused = -1;
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
    // The old archive goes only now, after the viewer let go of its pages.
    fArchive = std::move(archive);
    Notify(TBrowserChangeKind::bcPlace, TChangePhase::cpAfter);
    SyncShown(true);
}

bool TBrowserModel::ShowFolder(const std::string& folder)
{
    TStep step(*this);
    std::vector<TBrowserItem> items;
    try {
        items = ListFolderItems(folder, Classifier());
    } catch (const EMirevaError& e) {
        fMessages.ShowMessage(e.what(), TMessageIcon::miWarning);
        return false;
    }
    SetPlace(TShownPlace{TPlaceKind::pkFolder, IncludeTrailingPathDelimiter(folder), {}, {}}, nullptr,
             std::move(items));

    // The file the path named, else the folder's first picture.
    const std::string pending = std::exchange(fPending, {}).FilePath;
    if (pending.empty() || !SelectAndShow(pending))
        ShowFirstImage();
    return true;
}

bool TBrowserModel::ShowArchive(const std::string& archivePath, const std::string& innerFolder)
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
        fMessages.ShowMessage(ArchiveNotReadMessage(ExtractFileName(archivePath)), TMessageIcon::miWarning);
        return false;
    }

    // A folder that holds nothing but one folder (as many comics come: the
    // book's folder inside its archive) is entered at once.
    const TItemClassifier classes = Classifier();
    const bool withFolders = fCore.Options().Archive.Folder;
    std::vector<TBrowserItem> items = ListArchiveItems(*archiver, folder, classes, withFolders);
    std::string opened = innerFolder;
    while (!fNoSubFolderEntry && fCore.OpenOptions().ArchiveOpenSubFolder && items.size() == 1 &&
           items.front().Kind == TItemKind::ikFolder) {
        folder = items.front().Path;
        opened = archivePart.empty() ? folder : archivePart + "//" + folder;
        items = ListArchiveItems(*archiver, folder, classes, withFolders);
    }
    const bool firstShown = archiver != fArchive;
    SetPlace(TShownPlace{TPlaceKind::pkArchive, {}, archivePath, opened}, archiver, std::move(items));
    // A book whose list stopped at damage shows the pages read before it; the
    // reader is told once that more may be missing.
    if (firstShown && fArchive->Incomplete())
        fMessages.ShowMessage(ArchiveIncompleteMessage(fArchive->FileName()), TMessageIcon::miWarning);

    // Opening an archive shows its first picture when the options say so.
    if (pending.ArchiveFileName.empty() || !SelectAndShow(pending.ArchiveFileName))
        if (fCore.Options().List.OpenArchive)
            ShowFirstImage();
    return true;
}

bool TBrowserModel::Refresh()
{
    // The list is read again; the page being read stays in view when it is
    // still there, and the selection is found again by path.
    const TShownPlace place = fShown;
    if (place.Kind == TPlaceKind::pkNothing || place.Kind == TPlaceKind::pkCollection)
        return false;
    std::vector<std::string> selected;
    for (int index : fSelection)
        selected.push_back(fItems[static_cast<size_t>(index)].Path);
    const std::string focused = fFocused >= 0 ? fItems[static_cast<size_t>(fFocused)].Path : std::string();
    const int primary = fViewer->Shown().Primary;
    const std::string shown = primary >= 0 && primary < static_cast<int>(fImageItems.size())
                                  ? fItems[static_cast<size_t>(fImageItems[static_cast<size_t>(primary)])].Path
                                  : std::string();
    TStep step(*this);
    bool listed = false;
    if (place.Kind == TPlaceKind::pkFolder) {
        std::vector<TBrowserItem> items;
        try {
            items = ListFolderItems(place.Folder, Classifier());
        } catch (const EMirevaError& e) {
            fMessages.ShowMessage(e.what(), TMessageIcon::miWarning);
            return false;
        }
        SetPlace(place, nullptr, std::move(items));
        listed = true;
    } else {
        // An archive is opened anew: it may have changed on disk.
        fArchive.reset();
        listed = ShowArchive(place.ArchivePath, place.ArchiveFolder);
    }
    if (!listed)
        return false;
    std::vector<int> indices;
    int focus = -1;
    for (size_t i = 0; i < fItems.size(); ++i) {
        if (std::find(selected.begin(), selected.end(), fItems[i].Path) != selected.end())
            indices.push_back(static_cast<int>(i));
        if (!focused.empty() && fItems[i].Path == focused)
            focus = static_cast<int>(i);
    }
    if (!shown.empty()) {
        for (size_t i = 0; i < fImageItems.size(); ++i)
            if (fItems[static_cast<size_t>(fImageItems[i])].Path == shown) {
                fViewer->Open(static_cast<int>(i));
                break;
            }
    }
    Select(indices, focus);
    return true;
}

bool TBrowserModel::GoUp()
{
    const TShownPlace place = fShown;
    if (place.Kind == TPlaceKind::pkFolder) {
        const std::string folder = ExcludeTrailingPathDelimiter(place.Folder);
        if (folder.empty() || folder == "/")
            return false;
        // The folder we came from is selected in its parent.
        SetPendingSelection({folder, {}});
        TStep step(*this);
        const std::string parent = ExtractFilePath(folder);
        std::vector<TBrowserItem> items;
        try {
            items = ListFolderItems(parent, Classifier());
        } catch (const EMirevaError& e) {
            fPending = {};
            fMessages.ShowMessage(e.what(), TMessageIcon::miWarning);
            return false;
        }
        fPending = {};
        SetPlace(TShownPlace{TPlaceKind::pkFolder, IncludeTrailingPathDelimiter(parent), {}, {}}, nullptr,
                 std::move(items));
        SelectPath(IncludeTrailingPathDelimiter(folder));
        return true;
    }
    if (place.Kind != TPlaceKind::pkArchive)
        return false;
    // Inside an archive: the folder above, the archive that holds an inner
    // archive at the folder it lies in, and from the outer archive's top the
    // folder that holds the archive file.
    std::string inner = place.ArchiveFolder;
    std::string archivePart;
    std::string folder;
    if (inner.empty() || inner.back() == '/')
        SplitVirtualPath(inner, archivePart, folder);
    else
        archivePart = inner;
    if (!folder.empty()) {
        const std::string bare = ExcludeTrailingPathDelimiter(folder);
        const std::string up = ExtractFilePath(bare);
        const std::string target = archivePart.empty() ? up : (up.empty() ? archivePart : archivePart + "//" + up);
        const bool shown = ShowArchiveAt(place.ArchivePath, target);
        if (shown)
            SelectPath(bare + "/");
        return shown;
    }
    if (!archivePart.empty()) {
        const size_t cut = archivePart.rfind(ArchiveDelim);
        const std::string innerArchive = cut == std::string::npos ? archivePart : archivePart.substr(cut + 2);
        const std::string outerPart = cut == std::string::npos ? std::string() : archivePart.substr(0, cut);
        const std::string holder = ExtractFilePath(innerArchive);
        const std::string target = outerPart.empty() ? holder : (holder.empty() ? outerPart : outerPart + "//" + holder);
        const bool shown = ShowArchiveAt(place.ArchivePath, target);
        if (shown)
            SelectPath(innerArchive);
        return shown;
    }
    const std::string archiveFile = place.ArchivePath;
    if (!ShowFolder(ExtractFilePath(archiveFile)))
        return false;
    SelectPath(archiveFile);
    return true;
}

bool TBrowserModel::ShowArchiveAt(const std::string& archivePath, const std::string& innerFolder)
{
    // Going up never enters a lone sub-folder again, or the reader could not
    // leave it.
    const bool saved = fNoSubFolderEntry;
    fNoSubFolderEntry = true;
    const bool shown = ShowArchive(archivePath, innerFolder);
    fNoSubFolderEntry = saved;
    return shown;
}

void TBrowserModel::SelectPath(const std::string& path)
{
    for (size_t i = 0; i < fItems.size(); ++i)
        if (fItems[i].Path == path) {
            Select({static_cast<int>(i)}, static_cast<int>(i));
            return;
        }
}

void TBrowserModel::RunSelectionCommand(TActionId action)
{
    std::vector<int> indices;
    const int count = static_cast<int>(fItems.size());
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
    case TActionId::actSelImage:
        indices = fImageItems;
        std::sort(indices.begin(), indices.end());
        break;
    case TActionId::actSelectChange:
        for (int i = 0; i < count; ++i)
            if (!std::binary_search(fSelection.begin(), fSelection.end(), i))
                indices.push_back(i);
        break;
    case TActionId::actNoSelect:
    case TActionId::actNotSelImage:
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
    fViewStates = ReadViewStates(ini);
    fActions->SetBars(fViewStates.Normal.ImageBar, fViewStates.Normal.SeekBar);
    Notify(TBrowserChangeKind::bcView);
}

void TBrowserModel::ReportWriteFailure(const std::string& message)
{
    fMessages.ShowMessage(message, TMessageIcon::miWarning);
}
