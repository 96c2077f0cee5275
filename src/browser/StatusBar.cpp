#include "browser/StatusBar.h"

#include <algorithm>

#include "base/PathUtils.h"
#include "common/ByteSize.h"
#include "common/Text.h"
#include "base/Texts.h"

namespace {

enum TPanel : int { pnPlace = 0, pnType = 1, pnPicture = 2, pnSize = 3, pnSpacer = 4, pnCount = 5, pnNone = 6 };

constexpr int TypeMargin = 12;
constexpr int PictureWidth = 120;
constexpr int SizeWidth = 80;
constexpr int SpacerWidth = 10;
constexpr int CountWidth = 120;
constexpr int PlaceMargin = 15;

std::string SelectedObjectsText(size_t selected)
{
    return IntToStr(static_cast<int64_t>(selected)) + Tx(" 個のオブジェクトを選択");
}

std::string SelectedFilesText(size_t selected, int count)
{
    return IntToStr(static_cast<int64_t>(selected)) + " / " + IntToStr(count) + Tx(" ファイル");
}

std::string FileCountText(int count)
{
    return IntToStr(count) + Tx(" ファイル");
}

std::string PictureSizeText(const TPictureSize& picture)
{
    return IntToStr(picture.Width) + " x " + IntToStr(picture.Height) + " x " + IntToStr(picture.Bits) + "bit";
}

// A folder's path as the bar shows it: without its trailing '/', except the
// root, which is nothing without it.
std::string ShownPath(const std::string& path)
{
    return path.empty() ? path : ExcludeTrailingPathDelimiter(path);
}

// A path inside a catalogued medium, shown after the catalogue's name in
// place of the mount point the medium was read from.
std::string CataloguePath(const std::string& catalogue, const std::string& root, const std::string& path)
{
    // The medium's own folder may come without its trailing '/'.
    std::string rest = IncludeTrailingPathDelimiter(path);
    if (!root.empty() && rest.compare(0, root.size(), root) == 0)
        rest.erase(0, root.size());
    else if (!rest.empty() && rest.front() == PathDelim)
        rest.erase(0, 1);
    rest = rest.empty() ? rest : ExcludeTrailingPathDelimiter(rest);
    return rest.empty() ? catalogue : catalogue + PathDelim + rest;
}

// The archive chain as one path: nesting levels joined by "//".
std::string ArchiveText(const std::vector<std::string>& levels)
{
    std::string text;
    for (const std::string& level : levels) {
        if (!text.empty())
            text += ArchiveDelim;
        text += level;
    }
    return text;
}

// The size panel of several items: the total of those that count, when any
// of them has a known size.
void PutTotalSize(const std::vector<TStatusItem>& items, std::string& text)
{
    int64_t total = 0;
    bool any = false;
    for (const TStatusItem& item : items) {
        if (item.Folder || !item.Size)
            continue;
        total += *item.Size;
        any = true;
    }
    if (any)
        text = FormatByteSize(total);
}

// The type, picture and size panels of one item.
void PutItemDetails(const TStatusItem& item, std::array<std::string, StatusPanelCount>& texts)
{
    if (item.Picture && item.Picture->Width > 0 && item.Picture->Height > 0)
        texts[pnPicture] = PictureSizeText(*item.Picture);
    if (item.Folder)
        return;
    texts[pnType] = item.TypeName;
    if (item.Size)
        texts[pnSize] = FormatByteSize(*item.Size);
}

void FillArchive(const TStatusSnapshot& s, std::array<std::string, StatusPanelCount>& texts)
{
    const std::string archive = ArchiveText(s.Place.ArchiveLevels);
    if (s.Selection.size() == 1) {
        const TStatusItem& item = s.Selection.front();
        const std::string member = ShownPath(item.Path);
        texts[pnPlace] = s.FullPath ? archive + PathDelim + member : ExtractFileName(member);
        if (!item.Folder)
            PutItemDetails(item, texts);
        texts[pnCount] = SelectedFilesText(1, s.ItemCount);
    } else if (!s.Selection.empty()) {
        texts[pnPlace] = SelectedObjectsText(s.Selection.size());
        PutTotalSize(s.Selection, texts[pnSize]);
        texts[pnCount] = SelectedFilesText(s.Selection.size(), s.ItemCount);
    } else {
        const std::string folder = ShownPath(s.Place.ArchiveFolder);
        if (s.FullPath)
            texts[pnPlace] = folder.empty() ? archive : archive + PathDelim + folder;
        else if (!folder.empty())
            texts[pnPlace] = ExtractFileName(folder);
        else if (!s.Place.ArchiveLevels.empty())
            texts[pnPlace] = ExtractFileName(s.Place.ArchiveLevels.back());
        texts[pnCount] = FileCountText(s.ItemCount);
    }
}

// The list kinds whose items are files with types and sizes of their own.
bool ShowsItemDetails(TListKind kind)
{
    switch (kind) {
    case TListKind::lkFolder:
    case TListKind::lkShelf:
    case TListKind::lkMedium:
    case TListKind::lkMediumFolder:
    case TListKind::lkCategory:
    case TListKind::lkSearch:
        return true;
    default:
        return false;
    }
}

bool InCatalogue(TListKind kind)
{
    return kind == TListKind::lkMedium || kind == TListKind::lkMediumFolder;
}

std::string PlaceText(const TStatusSnapshot& s)
{
    const TStatusPlace& place = s.Place;
    switch (s.Kind) {
    case TListKind::lkFolder:
        if (s.FullPath && !place.AtDesktop)
            return place.Path.empty() ? place.DisplayPath : ShownPath(place.Path);
        return place.DisplayName;
    case TListKind::lkShelves:
        return Tx("本棚");
    case TListKind::lkMediaList:
        return Tx("メディア");
    case TListKind::lkCategories:
        return Tx("カテゴリ");
    case TListKind::lkSearch:
        return Tx("検索結果");
    case TListKind::lkShelf:
    case TListKind::lkMedium:
    case TListKind::lkCategory:
        return place.CollectionName;
    case TListKind::lkMediumFolder:
        return s.FullPath ? CataloguePath(place.CollectionName, place.MediumRoot, place.Path) : place.DisplayName;
    case TListKind::lkNothing:
        break;
    }
    return {};
}

void FillFileList(const TStatusSnapshot& s, std::array<std::string, StatusPanelCount>& texts)
{
    if (s.Selection.size() == 1) {
        const TStatusItem& item = s.Selection.front();
        if (!s.FullPath || s.Place.AtDesktop || item.Path.empty())
            texts[pnPlace] = item.Caption;
        else if (InCatalogue(s.Kind))
            texts[pnPlace] = CataloguePath(s.Place.CollectionName, s.Place.MediumRoot, item.Path);
        else
            texts[pnPlace] = ShownPath(item.Path);
        if (ShowsItemDetails(s.Kind))
            PutItemDetails(item, texts);
        texts[pnCount] = SelectedFilesText(1, s.ItemCount);
    } else if (!s.Selection.empty()) {
        texts[pnPlace] = SelectedObjectsText(s.Selection.size());
        if (s.Kind == TListKind::lkFolder || s.Kind == TListKind::lkShelf || s.Kind == TListKind::lkSearch)
            PutTotalSize(s.Selection, texts[pnSize]);
        texts[pnCount] = SelectedFilesText(s.Selection.size(), s.ItemCount);
    } else {
        texts[pnPlace] = PlaceText(s);
        texts[pnCount] = FileCountText(s.ItemCount);
    }
}

}  // namespace

TStatusPanels BuildStatusPanels(const TStatusSnapshot& snapshot, const TTextWidth& textWidth)
{
    TStatusPanels panels;
    std::array<std::string, StatusPanelCount>& texts = panels.Texts;
    if (snapshot.List == TStatusList::slArchiveList)
        FillArchive(snapshot, texts);
    else
        FillFileList(snapshot, texts);

    std::array<int, StatusPanelCount>& widths = panels.Widths;
    widths[pnType] = texts[pnType].empty() ? 0 : (textWidth ? textWidth(texts[pnType]) : 0) + TypeMargin;
    widths[pnPicture] = texts[pnPicture].empty() ? 0 : PictureWidth;
    widths[pnSize] = texts[pnSize].empty() ? 0 : SizeWidth;
    widths[pnSpacer] = SpacerWidth;
    widths[pnCount] = CountWidth;
    widths[pnNone] = 0;
    int others = 0;
    for (int p = pnType; p < StatusPanelCount; ++p)
        others += widths[p];
    widths[pnPlace] = std::max(snapshot.BarWidth - others - PlaceMargin, 0);
    return panels;
}
