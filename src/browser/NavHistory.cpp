#include "browser/NavHistory.h"

#include <algorithm>

#include "base/PathUtils.h"
#include "base/Texts.h"

std::string HistoryCaption(const THistoryData& entry)
{
    std::string caption;
    switch (entry.Style) {
    case TShellStyle::ssGroup: caption = Tx("<本棚>\t"); break;
    case TShellStyle::ssMedia: caption = Tx("<メディア>\t"); break;
    case TShellStyle::ssCategory: caption = Tx("<カテゴリ>\t"); break;
    default: caption = Tx("<フォルダ>\t"); break;
    }
    // The root has no last name; a catalogue's folder is known by its whole
    // path inside the catalogue.
    if (entry.Text == "/" || (entry.Style == TShellStyle::ssMedia && !entry.MediaFolder.empty() && entry.Item.empty()))
        caption += entry.Text;
    else
        caption += ExtractFileName(ExcludeTrailingPathDelimiter(entry.Text));
    if (entry.InArchive && !entry.InnerFolder.empty())
        caption += std::string(ArchiveDelim) + ExcludeTrailingPathDelimiter(entry.InnerFolder);
    return caption;
}

void TNavHistory::Record(THistoryData entry, int limit)
{
    const int newer = std::clamp(fPosition, 0, Count());
    fEntries.erase(fEntries.begin(), fEntries.begin() + newer);
    fEntries.insert(fEntries.begin(), std::move(entry));
    fPosition = 0;
    if (Count() > std::max(limit, 0))
        fEntries.resize(static_cast<size_t>(std::max(limit, 0)));
}

void TNavHistory::SetPosition(int index)
{
    if (index >= 0 && index < Count())
        fPosition = index;
}

std::vector<int> TNavHistory::Candidates(bool back) const
{
    std::vector<int> indices;
    if (back)
        for (int i = fPosition + 1; i < Count(); ++i)
            indices.push_back(i);
    else
        for (int i = std::min(fPosition, Count()) - 1; i >= 0; --i)
            indices.push_back(i);
    return indices;
}

std::vector<THistoryMenuItem> TNavHistory::Menu(bool back, int count) const
{
    std::vector<THistoryMenuItem> items;
    for (int index : Candidates(back)) {
        if (static_cast<int>(items.size()) >= count)
            break;
        items.push_back({index, HistoryCaption(At(index))});
    }
    return items;
}
