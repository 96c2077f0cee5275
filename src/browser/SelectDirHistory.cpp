#include "browser/SelectDirHistory.h"

#include <algorithm>
#include <charconv>

#include "base/PathUtils.h"
#include "common/IniFile.h"
#include "common/Text.h"
#include "platform/FileSystem.h"

namespace {

constexpr const char* Section = "SELECTDIR";
constexpr const char* InputList = "Input.lst";
constexpr const char* OldSettings = "Mireva.ini";
constexpr int OldKeysRead = 50;

}  // namespace

void TSelectDirHistory::Add(const std::string& folder, int limit)
{
    fItems.erase(std::remove(fItems.begin(), fItems.end(), folder), fItems.end());
    fItems.insert(fItems.begin(), folder);
    if (limit >= 0 && static_cast<int>(fItems.size()) > limit)
        fItems.resize(static_cast<size_t>(limit));
}

void TSelectDirHistory::Remove(int index)
{
    if (index >= 0 && index < static_cast<int>(fItems.size()))
        fItems.erase(fItems.begin() + index);
}

void TSelectDirHistory::Load(const std::string& dataFolder)
{
    const std::string folder = IncludeTrailingPathDelimiter(dataFolder);
    fItems.clear();
    const TIniFile input(folder + InputList);
    if (input.SectionExists(Section)) {
        for (int key = 1;; ++key) {
            const std::string value = input.ReadString(Section, std::to_string(key), "");
            if (value.empty())
                break;
            fItems.push_back(value);
        }
        return;
    }
    const TIniFile old(folder + OldSettings);
    for (int key = 1; key <= OldKeysRead; ++key) {
        const std::string value = old.ReadString(Section, std::to_string(key), "");
        if (!value.empty() && DirectoryExists(value) &&
            std::find(fItems.begin(), fItems.end(), value) == fItems.end())
            fItems.push_back(value);
    }
}

void TSelectDirHistory::Save(const std::string& dataFolder, int limit) const
{
    TIniFile ini(IncludeTrailingPathDelimiter(dataFolder) + InputList);
    const int count = std::min(static_cast<int>(fItems.size()), std::max(limit, 0));
    for (int i = 0; i < count; ++i)
        ini.WriteString(Section, std::to_string(i + 1), fItems[static_cast<size_t>(i)]);
    for (const std::string& key : ini.ReadSection(Section)) {
        int number = 0;
        const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), number);
        if (error != std::errc() || end != key.data() + key.size() || number > count)
            ini.DeleteKey(Section, key);
    }
    ini.UpdateFile();
}

std::optional<std::string> ChosenFolder(const std::string& text)
{
    std::string folder = Trim(text);
    if (folder.empty())
        return std::nullopt;
    if (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}
