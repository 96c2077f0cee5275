#include "collections/FolderList.h"

#include <algorithm>

#include "collections/CompareNames.h"
#include "common/Text.h"

namespace {

std::string JoinLines(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += ' ';
            ++i;
        } else if (text[i] == '\n' || text[i] == '\r') {
            // Comments typed on this platform break lines with LF alone.
            out += ' ';
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

// ---- TCustomFolder ----

int TCustomFolder::Index() const
{
    return fOwner ? fOwner->IndexOf(this) : -1;
}

void TCustomFolder::Notify(TListChange change) const
{
    if (!fOwner)
        return;
    change.Index = Index();
    fOwner->Notify(change);
}

void TCustomFolder::StoreComment(const std::string& comment)
{
    fComment = comment;
    fCommentLine = JoinLines(comment);
}

void TCustomFolder::SetName(const std::string& name)
{
    if (name == fName)
        return;
    const std::string old = fName;
    fName = name;
    Notify({.Kind = TListChangeKind::lcProperties});
    if (fOwner && fOwner->OnRenamed)
        fOwner->OnRenamed(*fOwner, Index(), old);
}

void TCustomFolder::SetImage(int imageIndex)
{
    if (imageIndex == fImageIndex)
        return;
    fImageIndex = imageIndex;
    Notify({.Kind = TListChangeKind::lcProperties});
}

void TCustomFolder::SetComment(const std::string& comment)
{
    if (comment == fComment)
        return;
    StoreComment(comment);
    Notify({.Kind = TListChangeKind::lcProperties});
}

void TCustomFolder::SetProperties(const std::string& name, int imageIndex, const std::string& comment)
{
    const std::string old = fName;
    fName = name;
    fImageIndex = imageIndex;
    StoreComment(comment);
    Notify({.Kind = TListChangeKind::lcProperties});
    if (old != name && fOwner && fOwner->OnRenamed)
        fOwner->OnRenamed(*fOwner, Index(), old);
}

// ---- TOriginatorScope ----

TOriginatorScope::TOriginatorScope(TCustomFolderList& list, TFolderListObserver* observer) : fList(list)
{
    fList.SetOriginator(observer);
}

TOriginatorScope::~TOriginatorScope()
{
    fList.SetOriginator(nullptr);
}

// ---- TCustomFolderList ----

TCustomFolderList::TCustomFolderList(std::string iconPrefix, std::string altIconPrefix)
    : fIconPrefix(std::move(iconPrefix)), fAltIconPrefix(std::move(altIconPrefix))
{
}

TCustomFolderList::~TCustomFolderList()
{
    // Folders outlive no list: they are freed here without notices.
    for (auto& folder : fFolders)
        folder->fOwner = nullptr;
    fFolders.clear();
}

int TCustomFolderList::Add(const std::string& name, int imageIndex, const std::string& comment)
{
    std::unique_ptr<TCustomFolder> folder = CreateFolder(name);
    folder->fImageIndex = imageIndex;
    folder->StoreComment(comment);
    if (LoadedOnCreation())
        folder->Loaded = true;
    return AddFolder(std::move(folder));
}

int TCustomFolderList::AddFolder(std::unique_ptr<TCustomFolder> folder)
{
    folder->fOwner = this;
    fFolders.push_back(std::move(folder));
    const int index = Count() - 1;
    Notify({.Kind = TListChangeKind::lcAdd, .Phase = TChangePhase::cpAfter, .Index = index});
    return index;
}

void TCustomFolderList::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    Notify({.Kind = TListChangeKind::lcDelete, .Phase = TChangePhase::cpBefore, .Index = index});
    const std::string oldName = fFolders[static_cast<size_t>(index)]->Name();
    fFolders.erase(fFolders.begin() + index);
    Notify({.Kind = TListChangeKind::lcDelete, .Phase = TChangePhase::cpAfter, .Index = index});
    if (OnDeleted)
        OnDeleted(*this, index, oldName);
}

void TCustomFolderList::Clear()
{
    while (Count() > 0)
        Delete(Count() - 1);
}

TCustomFolder* TCustomFolderList::Folder(int index) const
{
    return index >= 0 && index < Count() ? fFolders[static_cast<size_t>(index)].get() : nullptr;
}

int TCustomFolderList::IndexOf(const TCustomFolder* folder) const
{
    for (size_t i = 0; i < fFolders.size(); ++i) {
        if (fFolders[i].get() == folder)
            return static_cast<int>(i);
    }
    return -1;
}

int TCustomFolderList::IndexOfName(std::string_view name) const
{
    for (size_t i = 0; i < fFolders.size(); ++i) {
        if (SameText(fFolders[i]->Name(), name))
            return static_cast<int>(i);
    }
    return -1;
}

void TCustomFolderList::Move(int from, int to)
{
    if (from < 0 || from >= Count() || to < 0 || to >= Count())
        return;
    TListChange change{.Kind = TListChangeKind::lcMove, .Phase = TChangePhase::cpBefore, .Index = from,
                       .Destination = to};
    Notify(change);
    std::unique_ptr<TCustomFolder> folder = std::move(fFolders[static_cast<size_t>(from)]);
    fFolders.erase(fFolders.begin() + from);
    fFolders.insert(fFolders.begin() + to, std::move(folder));
    change.Phase = TChangePhase::cpAfter;
    Notify(change);
}

void TCustomFolderList::MoveItems(const std::vector<int32_t>& indices, int destination)
{
    if (indices.empty() || destination < 0 || destination >= Count())
        return;
    for (size_t k = 0; k < indices.size(); ++k) {
        if (indices[k] < 0 || indices[k] >= Count() || (k > 0 && indices[k] <= indices[k - 1]))
            return;
    }
    TMoveIndex payload{indices, destination};
    if (std::any_of(indices.begin(), indices.end(), [&](int32_t i) { return i < destination; }))
        ++payload.Destination;
    Notify({.Kind = TListChangeKind::lcMoveArray, .Phase = TChangePhase::cpBefore, .Moves = &payload});

    // Each move shifts the folders between source and destination; the
    // indices still to come and the destination follow that shift, so the
    // moved folders end up side by side in their old order.
    std::vector<int32_t> work = indices;
    int dest = destination;
    for (size_t k = 0; k < work.size(); ++k) {
        const int current = work[k];
        if (k > 0 && dest < current)
            ++dest;
        dest = std::min(dest, Count() - 1);
        std::unique_ptr<TCustomFolder> folder = std::move(fFolders[static_cast<size_t>(current)]);
        fFolders.erase(fFolders.begin() + current);
        fFolders.insert(fFolders.begin() + dest, std::move(folder));
        if (current < dest) {
            for (size_t m = k + 1; m < work.size(); ++m) {
                if (work[m] <= dest)
                    --work[m];
            }
        }
    }
    Notify({.Kind = TListChangeKind::lcMoveArray, .Phase = TChangePhase::cpAfter, .Moves = &payload});
}

int TCustomFolderList::CompareFolders(const TCustomFolder& a, const TCustomFolder& b, int key) const
{
    if (key == SortByComment) {
        if (const int r = CompareNames(a.CommentLine(), b.CommentLine()))
            return r;
    }
    return CompareNames(a.Name(), b.Name());
}

void TCustomFolderList::Sort(int key, bool descending)
{
    TListChange change{.Kind = TListChangeKind::lcSort, .Phase = TChangePhase::cpBefore, .SortKey = key,
                       .Descending = descending};
    Notify(change);
    std::stable_sort(fFolders.begin(), fFolders.end(), [&](const auto& a, const auto& b) {
        const int r = CompareFolders(*a, *b, key);
        return descending ? r > 0 : r < 0;
    });
    change.Phase = TChangePhase::cpAfter;
    Notify(change);
}

void TCustomFolderList::RegisterObserver(TFolderListObserver* observer)
{
    fObservers.Register(observer);
}

void TCustomFolderList::UnregisterObserver(TFolderListObserver* observer)
{
    fObservers.Unregister(observer);
}

void TCustomFolderList::Notify(const TListChange& change)
{
    fObservers.Notify([&](TFolderListObserver& observer) { observer.FolderListChanged(*this, change); });
}

void TCustomFolderList::LoadIcons(const TBitmap& strip, TIconRegistry* registry)
{
    const std::vector<int> indices = LoadIconStrip(strip, TIconSize::isSmall, fImages, fIconPrefix, registry);
    fSystemIconIndices.insert(fSystemIconIndices.end(), indices.begin(), indices.end());
}

void TCustomFolderList::LoadAltIcons(const TBitmap& strip, TIconRegistry* registry)
{
    const std::vector<int> indices = LoadIconStrip(strip, TIconSize::isSmall, fAltImages, fAltIconPrefix, registry);
    fAltSystemIconIndices.insert(fAltSystemIconIndices.end(), indices.begin(), indices.end());
}

int TCustomFolderList::IconOf(int imageIndex) const
{
    const int frame = imageIndex + 1;
    if (imageIndex < 0 || frame >= static_cast<int>(fSystemIconIndices.size()))
        return -1;
    return fSystemIconIndices[static_cast<size_t>(frame)];
}

int TCustomFolderList::AltIconOf(int imageIndex) const
{
    const int frame = imageIndex + 1;
    if (imageIndex >= 0 && frame < static_cast<int>(fAltSystemIconIndices.size()))
        return fAltSystemIconIndices[static_cast<size_t>(frame)];
    return IconOf(imageIndex);
}
