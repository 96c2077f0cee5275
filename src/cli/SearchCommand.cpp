// mireva-cli search: the search of the viewer's search panel over folders and
// shelves of the data folder, run on its own thread as in the viewer and
// printed in the program's name order.

#include <algorithm>
#include <charconv>

#include "base/QueueDispatcher.h"
#include "cli/Commands.h"
#include "cli/SearchTargets.h"
#include "collections/FileMask.h"
#include "collections/MediaFiles.h"
#include "collections/Search.h"
#include "collections/SearchCache.h"
#include "collections/SearchWalker.h"
#include "collections/Shelf.h"
#include "base/PathUtils.h"
#include "common/DateTime.h"
#include "common/Text.h"
#include "platform/FileSystem.h"

namespace {

int64_t ParseSize(const std::string& option, const std::string& text)
{
    int64_t value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0)
        throw ECliUsage(option + " takes a number of bytes, not '" + text + "'");
    return value;
}

TDateTime ParseDate(const std::string& option, const std::string& text)
{
    const std::optional<TDateTime> date = ParseIniDate(text);
    if (!date)
        throw ECliUsage(option + " takes a date as yyyy/mm/dd, not '" + text + "'");
    return *date;
}

TSearchConditions ConditionsFrom(TCliContext& context)
{
    TSearchConditions conditions;
    TFileMaskRec& limits = conditions.Limits;
    limits.Mask = context.TakeOption("--name").value_or("");
    const std::optional<std::string> sizeMin = context.TakeOption("--size-min");
    const std::optional<std::string> sizeMax = context.TakeOption("--size-max");
    if (sizeMin && sizeMax)
        throw ECliUsage("give --size-min or --size-max, not both");
    if (sizeMin || sizeMax) {
        limits.UseSize = true;
        limits.AtLeast = sizeMin.has_value();
        limits.Size = sizeMin ? ParseSize("--size-min", *sizeMin) : ParseSize("--size-max", *sizeMax);
    }
    const std::optional<std::string> after = context.TakeOption("--after");
    const std::optional<std::string> before = context.TakeOption("--before");
    if (after || before) {
        limits.UseDate = true;
        limits.DateSetType = TDateSetType::dsDates;
        if (after && before) {
            limits.DateKind = TDateKind::dkBetween;
            limits.DateFrom = ParseDate("--after", *after);
            limits.DateTo = ParseDate("--before", *before);
            if (limits.DateTo < limits.DateFrom)
                throw ECliUsage("--before lies before --after");
        } else {
            limits.DateKind = after ? TDateKind::dkOnOrAfter : TDateKind::dkOnOrBefore;
            limits.DateFrom = after ? ParseDate("--after", *after) : ParseDate("--before", *before);
        }
    }
    conditions.TakeFolders = context.TakeFlag("--folders");
    conditions.TakeHidden = context.TakeFlag("--hidden");
    conditions.Subfolders = !context.TakeFlag("--no-subfolders");
    return conditions;
}

}  // namespace

TSearchTargetSpec SearchTargetFrom(const std::string& text, bool& needsShelves)
{
    TSearchTargetSpec target;
    if (text.starts_with("media:")) {
        target.Kind = TSearchTargetKind::tkMedium;
        target.Name = text.substr(6);
        if (target.Name.empty())
            throw ECliUsage("media: needs a medium name, or * for every medium");
        if (target.Name == "*")
            target.Name.clear();
        return target;
    }
    if (text.starts_with("shelf:")) {
        target.Kind = TSearchTargetKind::tkShelf;
        target.Name = text.substr(6);
        if (target.Name.empty())
            throw ECliUsage("shelf: needs a shelf name, or * for every shelf");
        if (target.Name == "*")
            target.Name.clear();
        needsShelves = true;
        return target;
    }
    target.Name = ExpandFileName(text, CurrentDirectory());
    if (!DirectoryExists(target.Name))
        throw EMirevaError("'" + target.Name + "' is not a folder");
    return target;
}


void LoadSearchLists(TCliContext& context, const std::vector<TSearchTargetSpec>& targets, bool needsShelves,
                     TCliSearchLists& lists)
{
    if (needsShelves) {
        TShelfStore store(context.DataFolder());
        const TShelfLoadResult loaded = store.Load(lists.Shelves);
        if (loaded.Unreadable)
            throw EMirevaError(loaded.Error);
        for (const TSearchTargetSpec& target : targets) {
            if (target.Kind == TSearchTargetKind::tkShelf && !target.Name.empty() &&
                lists.Shelves.IndexOfName(target.Name) < 0)
                throw EMirevaError("no shelf named '" + target.Name + "'");
        }
    }

    // The catalogues of the media searched are read before the search
    // starts; a medium that is not catalogued is named.
    const bool needsMedia = std::any_of(targets.begin(), targets.end(), [](const TSearchTargetSpec& target) {
        return target.Kind == TSearchTargetKind::tkMedium;
    });
    if (needsMedia) {
        TMediaStore store(context.DataFolder());
        const TListLoadResult loaded = store.LoadList(lists.Media);
        if (loaded.Unreadable)
            throw EMirevaError("cannot read the media list: " + loaded.Error);
        for (const TSearchTargetSpec& target : targets) {
            if (target.Kind != TSearchTargetKind::tkMedium)
                continue;
            if (!target.Name.empty() && lists.Media.IndexOfName(target.Name) < 0)
                throw EMirevaError("no medium named '" + target.Name + "'");
            for (int i = 0; i < lists.Media.Count(); ++i) {
                TMediaFolder& medium = *lists.Media.Medium(i);
                if (!target.Name.empty() && medium.Name() != target.Name)
                    continue;
                const TCatalogueLoadResult result = store.LoadCatalogue(medium);
                if (result.Kind != TCatalogueLoadKind::clRead)
                    throw EMirevaError("cannot read the catalogue of '" + medium.Name() + "': " + result.Error);
            }
        }
    }
}

int RunSearch(TCliContext& context)
{
    TSearchConditions conditions = ConditionsFrom(context);
    const std::vector<std::string>& args = context.Positional(1, SIZE_MAX);
    bool needsShelves = false;
    std::vector<TSearchTargetSpec> targets;
    for (const std::string& arg : args)
        targets.push_back(SearchTargetFrom(arg, needsShelves));

    TCliSearchLists lists;
    LoadSearchLists(context, targets, needsShelves, lists);
    TGroupList& shelves = lists.Shelves;
    TMediaList& media = lists.Media;

    TQueueDispatcher dispatcher;
    TSearchFolder folder(dispatcher, &shelves);
    folder.MediaSource = [&media](const TSearchTargetSpec& target) { return MediumSourceFor(media, target); };
    folder.SetConditions(std::move(conditions));
    folder.SetTargets(std::move(targets));
    if (!folder.StartSearch())
        throw EMirevaError("nothing to search: the shelves or media named are empty");
    while (folder.Searching())
        dispatcher.RunOne(TQueueDispatcher::TClock::now() + std::chrono::seconds(1));
    if (!folder.LastError().empty())
        throw EMirevaError(folder.LastError());

    std::vector<std::pair<std::string, bool>> found;
    found.reserve(static_cast<size_t>(folder.Count()));
    for (int i = 0; i < folder.Count(); ++i) {
        const TGroupFileInfo* info = folder.ItemInfo(i);
        found.emplace_back(info->Path, info->IsDirectory);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return ComparePaths(a.first, b.first) < 0; });
    for (const auto& [path, isDirectory] : found)
        context.Out << EscapeControls(path) << (isDirectory ? "/" : "") << '\n';
    return 0;
}

int RunSearchCacheAdd(TCliContext& context)
{
    if (context.Args.empty() || context.Args.front() != "add")
        throw ECliUsage("search-cache: expected 'add'");
    context.Args.erase(context.Args.begin());
    const std::string folder = ExcludeTrailingPathDelimiter(ExpandFileName(context.Positional(1)[0], CurrentDirectory()));
    TSearchCacheStore store(context.DataFolder());
    TSearchCache cache;
    const TSearchCacheStore::TLoadResult loaded = store.Load(cache);
    if (loaded.SetAside)
        context.Err << "mireva-cli search-cache: the damaged file was kept as "
                    << EscapeControls(store.SetAsidePath()) << '\n';
    TCacheEntries entries;
    for (const TDirEntry& entry : ListDirectory(folder))
        entries.push_back(CacheRecordOf(folder, entry));
    if (cache.Count() == 0)
        cache.SetMade(Now());
    cache.Add(folder, std::move(entries));
    store.Save(cache);
    return 0;
}
