#pragma once

// An owned list of records with a text key each, kept in insertion order and
// found by key through a hash index. Keys compare exactly: they are paths, and
// Linux names differ by case. Deleting invalidates the index, which is rebuilt
// on the next look-up, so deleting many members in a row stays cheap.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

template <typename TRecord>
class TKeyedList {
public:
    int Count() const { return static_cast<int>(fItems.size()); }
    bool InRange(int index) const { return index >= 0 && index < Count(); }

    const std::string& Key(int index) const { return fItems[static_cast<size_t>(index)].first; }
    TRecord* At(int index) const { return InRange(index) ? fItems[static_cast<size_t>(index)].second.get() : nullptr; }

    // The first record with exactly this key, or -1.
    int IndexOf(std::string_view key) const
    {
        if (!fIndexValid)
            Rebuild();
        const auto it = fIndex.find(key);
        return it == fIndex.end() ? -1 : static_cast<int>(it->second);
    }

    int Add(std::string key, std::unique_ptr<TRecord> record)
    {
        const size_t at = fItems.size();
        if (fIndexValid)
            fIndex.emplace(key, at);
        fItems.emplace_back(std::move(key), std::move(record));
        return static_cast<int>(at);
    }

    // Appends without touching the index, which is rebuilt at the next
    // look-up: for filling a long list that is not looked into meanwhile.
    int AddUnindexed(std::string key, std::unique_ptr<TRecord> record)
    {
        fIndexValid = false;
        fItems.emplace_back(std::move(key), std::move(record));
        return Count() - 1;
    }

    std::unique_ptr<TRecord> Extract(int index)
    {
        std::unique_ptr<TRecord> record = std::move(fItems[static_cast<size_t>(index)].second);
        fItems.erase(fItems.begin() + index);
        fIndexValid = false;
        return record;
    }

    void SetKey(int index, std::string key)
    {
        fItems[static_cast<size_t>(index)].first = std::move(key);
        fIndexValid = false;
    }

    void Clear()
    {
        fItems.clear();
        fIndex.clear();
        fIndexValid = true;
    }

private:
    void Rebuild() const
    {
        fIndex.clear();
        fIndex.reserve(fItems.size());
        for (size_t i = 0; i < fItems.size(); ++i)
            fIndex.emplace(fItems[i].first, i);  // keeps the first of equal keys
        fIndexValid = true;
    }

    std::vector<std::pair<std::string, std::unique_ptr<TRecord>>> fItems;
    // Looked up by string_view without making a string of it each time.
    struct THash {
        using is_transparent = void;
        size_t operator()(std::string_view key) const { return std::hash<std::string_view>()(key); }
    };
    mutable std::unordered_map<std::string, size_t, THash, std::equal_to<>> fIndex;
    mutable bool fIndexValid = true;
};
