#include "browser/AddressBar.h"

#include <algorithm>
#include <charconv>

#include "base/PathUtils.h"
#include "common/IniFile.h"
#include "common/Text.h"
#include "base/Texts.h"

namespace {

std::string Bare(const std::string& path)
{
    return path == "/" ? path : ExcludeTrailingPathDelimiter(path);
}

// "a/b/" -> "b"; "/" stays.
std::string LastName(const std::string& path)
{
    const std::string bare = Bare(path);
    return bare == "/" ? bare : ExtractFileName(bare);
}

}  // namespace

TAddressTexts AddressTexts(TListKind kind, const THistoryData& location)
{
    TAddressTexts texts;
    switch (kind) {
    case TListKind::lkFolder:
        if (location.InArchive) {
            const std::string inner = ExcludeTrailingPathDelimiter(location.InnerFolder);
            texts.Address = inner.empty() ? location.Item : location.Item + "/" + inner;
            const std::string name = ExtractFileName(location.Item);
            texts.Short = inner.empty() ? name : name + "/" + inner;
        } else if (location.Item.empty()) {
            // The virtual root has no path: its name stands for it.
            texts.Address = location.Text;
            texts.Short = location.Text;
        } else {
            texts.Address = Bare(location.Item);
            texts.Short = LastName(location.Item);
        }
        break;
    case TListKind::lkShelves: texts.Address = texts.Short = Tx("本棚"); break;
    case TListKind::lkShelf: texts.Address = texts.Short = location.Shelf; break;
    case TListKind::lkMediaList: texts.Address = texts.Short = Tx("メディア"); break;
    case TListKind::lkMedium: texts.Address = texts.Short = location.Media; break;
    case TListKind::lkMediumFolder:
        texts.Address = location.Media + "/" + ExcludeTrailingPathDelimiter(location.MediaFolder);
        texts.Short = LastName(location.MediaFolder);
        break;
    case TListKind::lkCategories: texts.Address = texts.Short = Tx("カテゴリ"); break;
    case TListKind::lkCategory: texts.Address = texts.Short = location.Category; break;
    case TListKind::lkSearch: texts.Address = texts.Short = Tx("検索結果"); break;
    case TListKind::lkNothing: break;
    }
    return texts;
}

std::optional<std::string> TypedAddress(const std::string& text)
{
    std::string path = Trim(text);
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path.empty())
        return std::nullopt;
    return path;
}

void TAddressHistory::Add(const std::string& text, int limit)
{
    std::erase(fItems, text);
    fItems.insert(fItems.begin(), text);
    Trim(limit);
}

int TAddressHistory::Remove(int index)
{
    if (index < 0 || index >= static_cast<int>(fItems.size()))
        return -1;
    fItems.erase(fItems.begin() + index);
    if (fItems.empty())
        return -1;
    return std::min(index, static_cast<int>(fItems.size()) - 1);
}

void TAddressHistory::Trim(int limit)
{
    if (static_cast<int>(fItems.size()) > std::max(limit, 0))
        fItems.resize(static_cast<size_t>(std::max(limit, 0)));
}

void TAddressHistory::Load(const std::string& dataFolder)
{
    const TIniFile ini(IncludeTrailingPathDelimiter(dataFolder) + InputListName);
    fItems.clear();
    for (int key = 1;; ++key) {
        const std::string value = ini.ReadString(AddressBarSection, std::to_string(key), "");
        if (value.empty())
            break;
        fItems.push_back(value);
    }
    fLoaded = fItems;
}

void TAddressHistory::Save(const std::string& dataFolder) const
{
    if (fItems == fLoaded)
        return;
    TIniFile ini(IncludeTrailingPathDelimiter(dataFolder) + InputListName);
    const int count = static_cast<int>(fItems.size());
    for (int i = 0; i < count; ++i)
        ini.WriteString(AddressBarSection, std::to_string(i + 1), fItems[static_cast<size_t>(i)]);
    // Keys a longer history left behind would come back at the next start.
    for (const std::string& key : ini.ReadSection(AddressBarSection)) {
        int number = 0;
        const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), number);
        if (error == std::errc() && end == key.data() + key.size() && number > count)
            ini.DeleteKey(AddressBarSection, key);
    }
    ini.UpdateFile();
}
