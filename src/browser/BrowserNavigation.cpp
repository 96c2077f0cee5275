// The browser model's navigation: the history of places shown, the moves to
// the neighbouring folder or archive, and the next-folder command.

#include "browser/BrowserModel.h"
#include "browser/BrowserStep.h"

#include "app/AppCore.h"
#include "base/PathUtils.h"
#include "collections/FolderList.h"
#include "collections/GroupFolder.h"
#include "collections/MediaFolder.h"
#include "collections/CategoryFolder.h"
#include "platform/FileSystem.h"
#include "shellviews/ShellTree.h"
#include "base/Texts.h"

namespace {

// Sets a flag for one scope, also when an exception leaves it.
class TFlagScope {
public:
    TFlagScope(bool& flag, bool value) : fFlag(flag), fOld(flag) { fFlag = value; }
    ~TFlagScope() { fFlag = fOld; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& fFlag;
    bool fOld;
};

std::string FolderName(TCustomFolderList* list, int index)
{
    const TCustomFolder* folder = list ? list->Folder(index) : nullptr;
    return folder ? folder->Name() : std::string();
}

int FolderIndex(TCustomFolderList* list, const std::string& name)
{
    return list ? list->IndexOfName(name) : -1;
}

// What the user reads when a neighbouring archive does not open.
std::string NeighbourFailure(const std::string& fileName)
{
    return "'" + fileName + Tx("' は開けませんでした  ");
}

}  // namespace

// --- History ------------------------------------------------------------------------

THistoryData TBrowserModel::CurrentLocation() const
{
    THistoryData entry;
    if (fShown.Kind == TPlaceKind::pkArchive) {
        entry.InArchive = true;
        entry.Text = fShown.ArchivePath;
        entry.Item = fShown.ArchivePath;
        entry.InnerFolder = fShown.ArchiveFolder;
        return entry;
    }
    const TTreePlace place = fFileList->Place();
    entry.Style = fFileList->Style();
    using enum TTreePlaceKind;
    switch (place.Kind) {
    case tpRoot:
        entry.Style = TShellStyle::ssFolder;
        entry.Text = fFileList->Folder() ? fFileList->Folder()->GetName() : std::string();
        break;
    case tpFolder:
        entry.Style = TShellStyle::ssFolder;
        entry.Item = IncludeTrailingPathDelimiter(place.Path);
        entry.Text = entry.Item == "/" ? entry.Item : ExcludeTrailingPathDelimiter(entry.Item);
        break;
    case tpShelves:
        entry.Style = TShellStyle::ssGroup;
        entry.Text = Tx("本棚");
        break;
    case tpShelf:
    case tpShelfMember:
    case tpShelfFolder:
        entry.Style = TShellStyle::ssGroup;
        entry.Shelf = FolderName(fSources.Shelves, place.ListIndex);
        entry.Text = entry.Shelf;
        if (place.Kind != tpShelf) {
            entry.Item = place.Path;
            entry.ShelfItem = place.Kind == tpShelfMember ? place.Path : place.MemberPath;
            entry.Text = ExcludeTrailingPathDelimiter(place.Path);
        }
        break;
    case tpMedia:
        entry.Style = TShellStyle::ssMedia;
        entry.Text = Tx("メディア");
        break;
    case tpMedium:
    case tpMediumFolder:
        entry.Style = TShellStyle::ssMedia;
        entry.Media = FolderName(fSources.Media, place.ListIndex);
        entry.Text = entry.Media;
        if (place.Kind == tpMediumFolder) {
            entry.MediaFolder = place.Path;
            entry.Text = ExcludeTrailingPathDelimiter(place.Path);
        }
        break;
    case tpCategories:
        entry.Style = TShellStyle::ssCategory;
        entry.Text = Tx("カテゴリ");
        break;
    case tpCategory:
    case tpCategoryItem:
        entry.Style = TShellStyle::ssCategory;
        entry.Category = FolderName(fSources.Categories, place.ListIndex);
        entry.Text = entry.Category;
        if (place.Kind == tpCategoryItem) {
            entry.CategoryFolder = place.Path;
            entry.Text = ExcludeTrailingPathDelimiter(place.Path);
        }
        break;
    default: break;
    }
    return entry;
}

void TBrowserModel::RecordLocation()
{
    // Search results are found again by searching, not by going back.
    if (fOpeningHistory || fShown.Kind == TPlaceKind::pkNothing ||
        (fShown.Kind != TPlaceKind::pkArchive && fFileList->Content() == TListContent::lcoSearch))
        return;
    fHistory.Record(CurrentLocation(), fCore.Options().Recent.BackCount);
}

bool TBrowserModel::OpenLocation(const THistoryData& entry)
{
    if (entry.InArchive)
        return FileExists(entry.Item) && ShowArchive(entry.Item, entry.InnerFolder);
    TTreePlace place;
    using enum TTreePlaceKind;
    switch (entry.Style) {
    case TShellStyle::ssFolder:
        if (entry.Item.empty()) {
            place.Kind = tpRoot;
        } else {
            // A folder deleted since is passed over without a message.
            if (!DirectoryExists(entry.Item))
                return false;
            place.Kind = tpFolder;
            place.Path = entry.Item;
        }
        break;
    case TShellStyle::ssGroup:
        if (entry.Shelf.empty()) {
            place.Kind = tpShelves;
            break;
        }
        place.ListIndex = FolderIndex(fSources.Shelves, entry.Shelf);
        if (place.ListIndex < 0)
            return false;
        place.Kind = entry.ShelfItem.empty() ? tpShelf : entry.Item == entry.ShelfItem ? tpShelfMember : tpShelfFolder;
        place.Path = entry.Item;
        place.MemberPath = entry.ShelfItem;
        if (place.Kind != tpShelf && !DirectoryExists(entry.Item))
            return false;
        break;
    case TShellStyle::ssMedia:
        if (entry.Media.empty()) {
            place.Kind = tpMedia;
            break;
        }
        place.ListIndex = FolderIndex(fSources.Media, entry.Media);
        if (place.ListIndex < 0)
            return false;
        place.Kind = entry.MediaFolder.empty() ? tpMedium : tpMediumFolder;
        place.Path = entry.MediaFolder;
        break;
    case TShellStyle::ssCategory:
        if (entry.Category.empty()) {
            place.Kind = tpCategories;
            break;
        }
        place.ListIndex = FolderIndex(fSources.Categories, entry.Category);
        if (place.ListIndex < 0)
            return false;
        place.Kind = entry.CategoryFolder.empty() ? tpCategory : tpCategoryItem;
        place.Path = entry.CategoryFolder;
        break;
    default:
        return false;
    }
    return ShowTreePlace(place);
}

bool TBrowserModel::GoToHistoryEntry(int index)
{
    if (index < 0 || index >= fHistory.Count() || index == fHistory.Position())
        return false;
    TStep step(*this);
    const THistoryData entry = fHistory.At(index);
    bool opened = false;
    {
        const TFlagScope history(fOpeningHistory, true);
        const TFlagScope quiet(fQuietOpen, true);
        try {
            opened = OpenLocation(entry);
        } catch (const std::exception& e) {
            fMessages.ShowMessage(e.what(), TMessageIcon::miWarning);
        }
    }
    if (opened)
        fHistory.SetPosition(index);
    return opened;
}

bool TBrowserModel::GoThroughHistory(bool back)
{
    for (int index : fHistory.Candidates(back))
        if (GoToHistoryEntry(index))
            return true;
    return false;
}

std::vector<THistoryMenuItem> TBrowserModel::HistoryMenu(bool back) const
{
    return fHistory.Menu(back, fCore.Options().Recent.BackView);
}

// --- Neighbours ------------------------------------------------------------------------

bool TBrowserModel::CarryNeighbour(const TNeighbourMove& move)
{
    TTreePlace place;
    using enum TNeighbourKind;
    switch (move.Kind) {
    case nkNothing:
        return false;
    case nkGoUp:
        return GoUp();
    case nkFolder:
        if (move.Index < 0)
            return ShowFolder(move.Path);
        place.Kind = TTreePlaceKind::tpShelfFolder;
        place.ListIndex = move.Index;
        place.Path = move.Path;
        place.MemberPath = move.Inner;
        return ShowTreePlace(place);
    case nkArchive:
        return ShowArchiveAt(move.Path, {}, NeighbourFailure(ExtractFileName(move.Path)));
    case nkInArchive: {
        // An inner archive that does not open is named, not its outer file.
        std::string head;
        std::string tail;
        SplitVirtualPath(move.Inner, head, tail);
        const std::string name = HasTrailingDelimiter(move.Inner) ? ExtractFileName(move.Path) : ExtractFileName(tail);
        return ShowArchiveAt(move.Path, move.Inner, NeighbourFailure(name));
    }
    case nkShelf:
        place.Kind = TTreePlaceKind::tpShelf;
        place.ListIndex = move.Index;
        return ShowTreePlace(place);
    case nkShelves:
        place.Kind = TTreePlaceKind::tpShelves;
        return ShowTreePlace(place);
    case nkMedium:
        place.Kind = TTreePlaceKind::tpMedium;
        place.ListIndex = move.Index;
        return ShowTreePlace(place);
    case nkMediaList:
        place.Kind = TTreePlaceKind::tpMedia;
        return ShowTreePlace(place);
    case nkMediumFolder:
        place.Kind = TTreePlaceKind::tpMediumFolder;
        place.ListIndex = move.Index;
        place.Path = move.Path;
        return ShowTreePlace(place);
    case nkSearchResults:
        return fSearchContext.Results() && ShowSearch(*fSearchContext.Results());
    case nkShelfMember:
        if (move.Archive)
            return ShowArchiveAt(move.Path, {}, NeighbourFailure(ExtractFileName(move.Path)));
        place.Kind = TTreePlaceKind::tpShelfMember;
        place.ListIndex = move.Index;
        place.Path = move.Path;
        return ShowTreePlace(place);
    }
    return false;
}

void TBrowserModel::ShowEndPicture(TWalkDirection direction)
{
    if (fImageItems.empty())
        return;
    // Entered from its end, the book is read backward from there: a spread
    // pairs the last page with the one before it.
    if (direction == TWalkDirection::wdBackward)
        fViewer->Open(static_cast<int>(fImageItems.size()) - 1, true);
    else
        OpenItem(fImageItems.front());
}

bool TBrowserModel::MoveToNeighbour(TWalkDirection direction, bool openPicture)
{
    TStep step(*this);
    const TNeighbourWalk walk([loaders = fLoaders](std::string_view ext) { return loaders->IsArchiveExtension(ext); });
    TDiskWalkSpace disk;
    TNeighbourMove move;
    // The variant follows what the file list shows; an archive shown is
    // walked first, then the folder that holds it.
    const TTreePlace place = fFileList->Place();
    // A place opened from the search results walks the results.
    const std::optional<TSearchContext::TMove> fromResults =
        fSearchContext.Neighbour(walk, place, fShown.Kind == TPlaceKind::pkArchive ? fArchive.get() : nullptr,
                                 fArchiveList->CurrentFolder(), disk, fSources.Media, direction);
    if (fromResults) {
        move = fromResults->Move;
    } else if (fShown.Kind == TPlaceKind::pkArchive && fArchive) {
        move = walk.InArchive(*fArchive, fArchiveList->CurrentFolder(), disk, direction);
    } else if (place.Kind == TTreePlaceKind::tpFolder) {
        move = walk.OnDisk(disk, place.Path, true, direction);
    } else if ((place.Kind == TTreePlaceKind::tpShelf || place.Kind == TTreePlaceKind::tpShelfMember ||
                place.Kind == TTreePlaceKind::tpShelfFolder) &&
               fSources.Shelves) {
        // A shelf's folders keep to the shelf: its members, then the next shelf.
        auto* shelf = dynamic_cast<TGroupFolder*>(fSources.Shelves->Folder(place.ListIndex));
        if (shelf) {
            shelf->ResolveAll();
            std::vector<TShelfWalkMember> members;
            for (int i = 0; i < shelf->Count(); ++i) {
                const TGroupFileInfo* info = shelf->ItemInfo(i);
                members.push_back({info->IsDirectory ? IncludeTrailingPathDelimiter(info->Path) : info->Path,
                                   info->IsDirectory});
            }
            const std::string current = place.Kind == TTreePlaceKind::tpShelf ? std::string() : place.Path;
            move = walk.OnShelf(members, place.ListIndex, fSources.Shelves->Count(), current, true, disk,
                                [](const std::string& path) { return PathExists(path); }, direction);
        }
    } else if ((place.Kind == TTreePlaceKind::tpMedium || place.Kind == TTreePlaceKind::tpMediumFolder) &&
               fSources.Media) {
        const TMediaFolder* medium = fSources.Media->Medium(place.ListIndex);
        if (medium) {
            TCatalogueWalkSpace catalogue(CatalogueWalkEntries(*medium));
            move = walk.OnMedium(catalogue, place.ListIndex, fSources.Media->Count(),
                                 CataloguePath(place.Kind == TTreePlaceKind::tpMedium ? std::string() : place.Path),
                                 direction);
        }
    }
    // Categories and the lists of collections have no neighbours.
    bool moved = false;
    {
        const TFlagScope quiet(fQuietOpen, fQuietOpen || openPicture);
        std::optional<TSearchContext::TOpening> result;
        if (fromResults && !fromResults->ResultKey.empty())
            result.emplace(fSearchContext, fromResults->ResultKey);
        moved = CarryNeighbour(move);
    }
    if (moved && openPicture)
        ShowEndPicture(direction);
    return moved;
}

bool TBrowserModel::NextFolder(bool openPicture)
{
    TStep step(*this);
    const TListContent content = fFileList->Content();
    const bool collections = fShown.Kind != TPlaceKind::pkArchive &&
                             (content == TListContent::lcoShelves || content == TListContent::lcoMedia ||
                              content == TListContent::lcoCategories);
    int row = -1;
    if (collections) {
        row = fItems.empty() ? -1 : 0;
    } else {
        for (size_t i = 0; i < fItems.size() && row < 0; ++i)
            if (fItems[i].Kind == TItemKind::ikFolder || fItems[i].Kind == TItemKind::ikArchive)
                row = static_cast<int>(i);
    }
    if (row < 0)
        return MoveToNeighbour(TWalkDirection::wdForward, openPicture);

    bool opened = false;
    {
        const TFlagScope quiet(fQuietOpen, fQuietOpen || openPicture);
        const TBrowserItem& item = fItems[static_cast<size_t>(row)];
        if (fShown.Kind == TPlaceKind::pkArchive) {
            const std::string& nested = fArchive ? fArchive->VirtualPath() : std::string();
            const std::string inner = nested.empty() ? item.Path : nested + std::string(ArchiveDelim) + item.Path;
            opened = ShowArchiveAt(fShown.ArchivePath, inner,
                                   NeighbourFailure(ExtractFileName(ExcludeTrailingPathDelimiter(item.Path))));
        } else {
            std::optional<TSearchContext::TOpening> fromResults;
            if (content == TListContent::lcoSearch)
                fromResults.emplace(fSearchContext, fFileList->KeyOf(row));
            const TOpenResult result = fFileList->Open(row);
            opened = result.Kind == TOpenKind::okPlace || result.Kind == TOpenKind::okArchive;
            if (result.Kind == TOpenKind::okArchive)
                opened = ShowArchiveAt(result.Path, {}, NeighbourFailure(ExtractFileName(result.Path)));
            else if (opened)
                opened = ShowTreePlace(result.Place);
        }
    }
    if (opened && openPicture)
        ShowEndPicture(TWalkDirection::wdForward);
    return opened;
}
