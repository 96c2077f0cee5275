#include "collections/Categorize.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "collections/CompareNames.h"
#include "collections/SearchWalker.h"

namespace {

// A condition's name as one level of a path: a '/' would make two levels.
std::string SegmentOf(std::string_view name)
{
    std::string segment(name.empty() ? TCustomCategorySet::NewName : name);
    std::replace(segment.begin(), segment.end(), '/', '-');
    return segment;
}

void AppendNumber(std::string& out, int value, int digits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof(buffer), "%0*d", digits, value);
    out += buffer;
}

// A condition made ready for testing: its mask parsed once and its past
// months or days counted back from the moment categorising began.
struct TPreparedSet {
    TFileMask Mask;
    size_t Node = 0;
    std::vector<TPreparedSet> Children;
};

}  // namespace

class TCategoryBuilder {
public:
    TCategoryBuilder() { Ensure(""); }

    // The node of path, made with every missing ancestor.
    size_t Ensure(std::string_view path)
    {
        auto found = fIndex.find(path);
        if (found != fIndex.end())
            return found->second;
        if (!path.empty()) {
            const size_t slash = path.rfind('/');
            Ensure(slash == std::string_view::npos ? std::string_view() : path.substr(0, slash));
        }
        const size_t index = fTree.fNodes.size();
        fTree.fNodes.push_back({std::string(path), {}});
        fIndex.emplace(std::string(path), index);
        return index;
    }

    void Place(size_t node, int32_t member) { fTree.fNodes[node].Members.push_back(member); }
    void Place(std::string_view path, int32_t member) { Place(Ensure(path), member); }

    // Sorts in the order ComparePaths gives, through each level's sort key
    // made once: a large tree sorts in a fraction of the time comparing the
    // names over and over would take.
    TCategoryTree Finish()
    {
        struct TKeyed {
            std::vector<std::string> Keys;
            size_t Node;
        };
        std::vector<TKeyed> keyed;
        keyed.reserve(fTree.fNodes.size());
        for (size_t i = 0; i < fTree.fNodes.size(); ++i) {
            TKeyed entry{{}, i};
            const std::string& path = fTree.fNodes[i].Path;
            for (size_t start = 0; !path.empty() && start <= path.size();) {
                const size_t end = std::min(path.find('/', start), path.size());
                entry.Keys.push_back(NameSortKey(std::string_view(path).substr(start, end - start)));
                start = end + 1;
            }
            keyed.push_back(std::move(entry));
        }
        const auto& nodes = fTree.fNodes;
        std::sort(keyed.begin(), keyed.end(), [&nodes](const TKeyed& a, const TKeyed& b) {
            if (a.Keys != b.Keys)
                return a.Keys < b.Keys;
            return nodes[a.Node].Path < nodes[b.Node].Path;
        });
        TCategoryTree tree;
        tree.fNodes.reserve(keyed.size());
        for (const TKeyed& entry : keyed)
            tree.fNodes.push_back(std::move(fTree.fNodes[entry.Node]));
        return tree;
    }

private:
    // Looked up by the path's view, so that a file going to a category
    // that exists already costs no copy of its path.
    struct THash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    };
    TCategoryTree fTree;
    std::unordered_map<std::string, size_t, THash, std::equal_to<>> fIndex;
};

namespace {

TPreparedSet Prepare(const TCustomCategorySet& set, const std::string& path, TDateTime now, TCategoryBuilder& builder)
{
    TPreparedSet prepared;
    TFileMaskRec limits = set.Limits;
    if (limits.UseDate && limits.DateSetType != TDateSetType::dsDates)
        limits.Threshold = MaskThreshold(limits.DateSetType, limits.Months, limits.Days, now);
    prepared.Mask.Apply(limits, TMaskFlags());
    prepared.Node = builder.Ensure(path);
    for (const TCustomCategorySet& child : set.Children) {
        const std::string childPath = path.empty() ? SegmentOf(child.Name) : path + "/" + SegmentOf(child.Name);
        prepared.Children.push_back(Prepare(child, childPath, now, builder));
    }
    return prepared;
}

// Places the file below the condition when the condition accepts it: in
// the children that accept it (the first one only when exclusive), or in
// the condition itself when none does.
bool PlaceByCondition(const TPreparedSet& set, const TMaskItem& item, int32_t member, bool exclusive,
                      TCategoryBuilder& builder)
{
    if (!set.Mask.Accepts(item, false, nullptr))
        return false;
    bool taken = false;
    for (const TPreparedSet& child : set.Children) {
        if (PlaceByCondition(child, item, member, exclusive, builder)) {
            taken = true;
            if (exclusive)
                break;
        }
    }
    if (!taken)
        builder.Place(set.Node, member);
    return true;
}

}  // namespace

TCustomCategorySet NewCategorySet(TDateTime today)
{
    TCustomCategorySet set;
    set.Limits.AtLeast = true;
    set.Limits.Months = 1;
    set.Limits.Days = 1;
    set.Limits.DateFrom = static_cast<TDateTime>(DateOf(today));
    set.Limits.DateTo = set.Limits.DateFrom;
    return set;
}

const TCategoryNode* TCategoryTree::Find(std::string_view path) const
{
    auto it = std::lower_bound(fNodes.begin(), fNodes.end(), path,
                               [](const TCategoryNode& node, std::string_view p) { return ComparePaths(node.Path, p) < 0; });
    return it != fNodes.end() && it->Path == path ? &*it : nullptr;
}

std::vector<std::string> TCategoryTree::Children(std::string_view path) const
{
    std::vector<std::string> children;
    const TCategoryNode* parent = Find(path);
    if (!parent)
        return children;
    // The children follow their parent directly, each before its own
    // descendants, so one pass over the parent's span finds them.
    const std::string prefix = path.empty() ? std::string() : std::string(path) + "/";
    for (auto it = fNodes.begin() + (parent - fNodes.data()) + 1; it != fNodes.end(); ++it) {
        if (!it->Path.starts_with(prefix))
            break;
        if (it->Path.find('/', prefix.size()) == std::string::npos)
            children.push_back(it->Path);
    }
    return children;
}

std::string DatePath(TDateTime modified, uint8_t units)
{
    const TDateParts parts = DecodeDateTime(modified);
    const bool year = units & duYear;
    const bool month = units & duMonth;
    const bool day = units & duDay;
    // Without the year as a level, the year stays in the first one; without
    // the month, it stays with the day.
    std::string path;
    AppendNumber(path, parts.Year, 4);
    if (year && !month && !day)
        return path;
    path += (year && (month || day)) ? '/' : '-';
    AppendNumber(path, parts.Month, 2);
    if (month && !day)
        return path;
    path += (month && day) ? '/' : '-';
    AppendNumber(path, parts.Day, 2);
    return path;
}

std::string NamePath(const std::vector<TNameDivideInfo>& rules, const std::vector<int32_t>& order, std::string_view name)
{
    const std::vector<std::string> parts = DivideNameForCategory(rules, name).Parts;
    std::string path;
    for (int32_t index : order) {
        if (index < 0 || static_cast<size_t>(index) >= parts.size() || parts[static_cast<size_t>(index)].empty())
            break;
        if (!path.empty())
            path += '/';
        path += SegmentOf(parts[static_cast<size_t>(index)]);
    }
    return path;
}

TCategoryTree Categorize(const TCategorySettings& settings, const std::vector<TCategoryInput>& files, TDateTime now,
                         const std::atomic<bool>* stopped)
{
    TCategoryBuilder builder;
    const auto stop = [&](size_t i) {
        return stopped && (i & 1023) == 0 && stopped->load(std::memory_order_relaxed);
    };
    switch (settings.Kind) {
    case TCategoryKind::ckDate:
        for (size_t i = 0; i < files.size() && !stop(i); ++i)
            builder.Place(DatePath(files[i].Modified, settings.DateUnits), static_cast<int32_t>(i));
        break;
    case TCategoryKind::ckName:
        for (size_t i = 0; i < files.size() && !stop(i); ++i)
            builder.Place(NamePath(settings.NameParts, settings.PartOrder, files[i].Name), static_cast<int32_t>(i));
        break;
    case TCategoryKind::ckConditions: {
        const TPreparedSet root = Prepare(settings.RootCondition, std::string(), now, builder);
        TMaskItem item;
        for (size_t i = 0; i < files.size() && !stop(i); ++i) {
            item.Name = files[i].Name;
            item.Size = files[i].Size;
            item.Modified = files[i].Modified;
            PlaceByCondition(root, item, static_cast<int32_t>(i), settings.Exclusive, builder);
        }
        break;
    }
    }
    return builder.Finish();
}

std::string_view CategoryKindText(TCategoryKind kind)
{
    switch (kind) {
    case TCategoryKind::ckDate: return "日付";
    case TCategoryKind::ckName: return "ファイル名";
    case TCategoryKind::ckConditions: return "条件指定";
    }
    return {};
}
