// mireva-cli category: categories kept in the data folder's "Category.lst",
// made, listed and shown as the viewer sorts them: a search over the targets,
// then the tree by date, name parts or conditions.

#include <algorithm>
#include <fstream>
#include <sstream>

#include "base/PathUtils.h"
#include "cli/Commands.h"
#include "cli/SearchTargets.h"
#include "collections/CategoryFile.h"
#include "collections/SearchWalker.h"
#include "common/CsvFields.h"
#include "common/Text.h"
#include "platform/FileSystem.h"
#include "base/Texts.h"

namespace {

const char* KindText(TCategoryKind kind)
{
    switch (kind) {
    case TCategoryKind::ckDate:
        return "date";
    case TCategoryKind::ckName:
        return "name";
    case TCategoryKind::ckConditions:
        return "conditions";
    }
    return "date";
}

void LoadCategories(TCliContext& context, TCategoryStore& store, TCategoryList& list)
{
    const TListLoadResult result = store.Load(list);
    if (result.Unreadable)
        throw EFileError("cannot read the categories: " + result.Error);
    if (result.Damaged)
        context.Err << "mireva-cli category: " << EscapeControls(store.FilePath()) << " is damaged (" << result.Error
                    << "); read what was readable\n";
}

uint8_t ParseUnits(const std::string& text)
{
    uint8_t units = 0;
    for (char c : text) {
        switch (c) {
        case 'y':
            units |= duYear;
            break;
        case 'm':
            units |= duMonth;
            break;
        case 'd':
            units |= duDay;
            break;
        default:
            throw ECliUsage("date units are letters of 'ymd', not '" + text + "'");
        }
    }
    return units;
}

std::vector<int32_t> ParseOrder(const std::string& text, size_t ruleCount)
{
    std::vector<int32_t> order;
    for (const std::string& piece : SplitString(text, ',')) {
        const std::optional<int32_t> index = TryStrToInt(Trim(piece));
        if (!index || *index < 1 || static_cast<size_t>(*index) > ruleCount)
            throw ECliUsage("--order takes rule numbers from 1 to " + std::to_string(ruleCount) + ", not '" + text + "'");
        order.push_back(*index - 1);
    }
    return order;
}

// Rules in their stored form, one after the other: every six fields (the
// fields separated by commas, or by blanks between two rules) make one rule,
// so "A,0,-,,0,1,B,1,_,,1,0" holds two.
TNameDivideRules ParseRules(const std::string& text)
{
    const std::vector<std::string> fields = SplitCsvFields(text);
    if (fields.empty() || fields.size() % 6 != 0)
        throw ECliUsage("name: takes rules of six fields each (NAME,KIND,DELIMITERS,CLOSING,FROMEND,REMOVE), not '" +
                        text + "'");
    TNameDivideRules rules;
    for (size_t at = 0; at < fields.size(); at += 6) {
        const std::vector<std::string> one(fields.begin() + static_cast<std::ptrdiff_t>(at),
                                           fields.begin() + static_cast<std::ptrdiff_t>(at + 6));
        std::optional<TNameDivideInfo> rule = ParseNameDivideInfo(JoinCsvFields(one), static_cast<int32_t>(rules.size()));
        if (!rule || rule->Name.empty() || rule->FirstDelimiters.empty() || (rule->Kind == dkEnclosed && rule->SecondDelimiters.empty()))
            throw ECliUsage("rule " + std::to_string(rules.size() + 1) + " of '" + text +
                            "' needs a name and its delimiters");
        rules.push_back(std::move(*rule));
    }
    return rules;
}

// One limit of a condition line: ">=N" or "<=N" bytes; "after:DATE",
// "before:DATE", "between:DATE..DATE", "months:N", "days:N".
void ParseLimit(const std::string& text, TFileMaskRec& limits, const std::string& line)
{
    const auto fail = [&] { throw ECliUsage("cannot read the condition limit '" + text + "' in '" + line + "'"); };
    const auto date = [&](const std::string& t) {
        const std::optional<TDateTime> d = ParseIniDate(t);
        if (!d)
            fail();
        return *d;
    };
    if (text.starts_with(">=") || text.starts_with("<=")) {
        const std::optional<int64_t> size = TryStrToInt64(text.substr(2));
        if (!size || *size < 0)
            fail();
        limits.UseSize = true;
        limits.AtLeast = text[0] == '>';
        limits.Size = *size;
        return;
    }
    const size_t colon = text.find(':');
    if (colon == std::string::npos)
        fail();
    const std::string key = text.substr(0, colon);
    const std::string value = text.substr(colon + 1);
    limits.UseDate = true;
    limits.DateSetType = TDateSetType::dsDates;
    if (key == "after" || key == "before") {
        limits.DateKind = key == "after" ? TDateKind::dkOnOrAfter : TDateKind::dkOnOrBefore;
        limits.DateFrom = date(value);
    } else if (key == "between") {
        const size_t dots = value.find("..");
        if (dots == std::string::npos)
            fail();
        limits.DateKind = TDateKind::dkBetween;
        limits.DateFrom = date(value.substr(0, dots));
        limits.DateTo = date(value.substr(dots + 2));
    } else if (key == "months" || key == "days") {
        const std::optional<int32_t> count = TryStrToInt(value);
        if (!count || *count < 1 || *count > 100)
            fail();
        limits.DateSetType = key == "months" ? TDateSetType::dsMonths : TDateSetType::dsDays;
        (key == "months" ? limits.Months : limits.Days) = *count;
    } else {
        fail();
    }
}

// A condition tree from a text file: one condition a line, indented by two
// blanks per level below the root, its fields separated by tabs: the name,
// the name condition, then any limits. Empty lines and lines starting with
// "#" are skipped.
TCustomCategorySet ReadConditionFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EFileError("cannot read '" + path + "'");
    TCustomCategorySet root = NewCategorySet(Now());
    root.Name = TCustomCategorySet::RootName;
    std::vector<TCustomCategorySet*> levels{&root};
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t indent = line.find_first_not_of(' ');
        if (indent == std::string::npos || line[indent] == '#')
            continue;
        if (indent % 2 != 0 || indent / 2 + 1 > levels.size())
            throw ECliUsage("a condition is indented by two blanks more than its parent at most: '" + line + "'");
        std::vector<std::string> fields = SplitString(line.substr(indent), '\t');
        TCustomCategorySet set = NewCategorySet(Now());
        set.Name = Trim(fields[0]);
        if (set.Name.empty())
            throw ECliUsage("a condition needs a name: '" + line + "'");
        if (fields.size() > 1)
            set.Limits.Mask = Trim(fields[1]);
        for (size_t i = 2; i < fields.size(); ++i)
            ParseLimit(Trim(fields[i]), set.Limits, line);
        levels.resize(indent / 2 + 1);
        levels.back()->Children.push_back(std::move(set));
        levels.push_back(&levels.back()->Children.back());
    }
    return root;
}

int CategoryAdd(TCliContext& context)
{
    const std::optional<std::string> by = context.TakeOption("--by");
    const std::vector<std::string> ruleTexts = context.TakeOptions("--rule");
    const std::optional<std::string> orderText = context.TakeOption("--order");
    const bool exclusive = context.TakeFlag("--exclusive");
    const bool subContents = context.TakeFlag("--sub-contents");
    const std::optional<std::string> comment = context.TakeOption("--comment");
    const std::vector<std::string>& args = context.Positional(2, SIZE_MAX);
    if (!by)
        throw ECliUsage("category add needs --by date:UNITS, name:RULES or conditions:FILE");

    TCategorySettings settings;
    if (by->starts_with("date:")) {
        settings.Kind = TCategoryKind::ckDate;
        settings.DateUnits = ParseUnits(by->substr(5));
    } else if (*by == "name" || by->starts_with("name:")) {
        settings.Kind = TCategoryKind::ckName;
        if (*by != "name")
            settings.NameParts = ParseRules(by->substr(5));
        for (const std::string& text : ruleTexts) {
            std::optional<TNameDivideInfo> rule = ParseNameDivideInfo(text, static_cast<int32_t>(settings.NameParts.size()));
            if (!rule)
                throw ECliUsage("a rule has six fields: NAME,KIND,DELIMITERS,CLOSING,FROMEND,REMOVE; not '" + text + "'");
            settings.NameParts.push_back(std::move(*rule));
        }
        if (settings.NameParts.empty())
            throw ECliUsage("--by name needs at least one rule: name:RULES or --rule");
        if (orderText) {
            settings.PartOrder = ParseOrder(*orderText, settings.NameParts.size());
        } else {
            for (size_t i = 0; i < settings.NameParts.size(); ++i)
                settings.PartOrder.push_back(static_cast<int32_t>(i));
        }
    } else if (by->starts_with("conditions:")) {
        settings.Kind = TCategoryKind::ckConditions;
        settings.RootCondition = ReadConditionFile(ExpandFileName(by->substr(11), CurrentDirectory()));
    } else {
        throw ECliUsage("--by takes date:UNITS, name:RULES or conditions:FILE, not '" + *by + "'");
    }
    settings.Exclusive = exclusive;

    const std::string name = Trim(args[0]);
    if (name.empty())
        throw ECliUsage(Tx("名前を入力してください"));
    if (CharCount(name) > TGroupFolder::MaxNameLength)
        throw ECliUsage("a category name has at most 50 characters");
    bool needsShelves = false;
    std::vector<TSearchTargetSpec> targets;
    for (size_t i = 1; i < args.size(); ++i)
        targets.push_back(SearchTargetFrom(args[i], needsShelves));

    TCategoryStore store(context.DataFolder());
    TCategoryList list;
    LoadCategories(context, store, list);
    if (list.IndexOfName(name) >= 0)
        throw EMirevaError(Tx("同名のカテゴリが存在します"));
    TCategoryFolder& category = *list.Category(list.Add(name, 0, comment.value_or("")));
    category.SetSettings(std::move(settings));
    category.SetTargets(std::move(targets));
    category.ShowSubContents = subContents;
    store.Save(list);
    context.Out << "added '" << EscapeControls(name) << "'\n";
    return 0;
}

int CategoryList(TCliContext& context)
{
    context.Positional(0);
    TCategoryStore store(context.DataFolder());
    TCategoryList list;
    LoadCategories(context, store, list);
    for (int i = 0; i < list.Count(); ++i) {
        const TCategoryFolder& category = *list.Category(i);
        context.Out << EscapeControls(category.Name()) << '\t' << KindText(category.CategoryKind()) << '\t'
                    << category.Targets().size() << '\t' << EscapeControls(category.CommentLine()) << '\n';
    }
    return 0;
}

int CategoryShow(TCliContext& context)
{
    const std::vector<std::string>& args = context.Positional(1, 2);
    TCategoryStore store(context.DataFolder());
    TCategoryList list;
    LoadCategories(context, store, list);
    const int index = list.IndexOfName(args[0]);
    if (index < 0)
        throw EMirevaError("no category named '" + args[0] + "'");
    const TCategoryFolder& stored = *list.Category(index);
    std::string path = args.size() > 1 ? args[1] : std::string();
    while (path.size() > 0 && path.back() == '/')
        path.pop_back();

    bool needsShelves = false;
    for (const TSearchTargetSpec& target : stored.Targets())
        needsShelves = needsShelves || target.Kind == TSearchTargetKind::tkShelf;
    TCliSearchLists lists;
    LoadSearchLists(context, stored.Targets(), needsShelves, lists);

    TQueueDispatcher tasks;
    TCategoryFolder category(tasks, &lists.Shelves, stored.Name());
    category.AssignFrom(stored);
    category.MediaSource = [&lists](const TSearchTargetSpec& target) { return MediumSourceFor(lists.Media, target); };
    if (!category.Load())
        throw EMirevaError("nothing to gather: the targets lead nowhere");
    while (category.Busy())
        tasks.RunOne(TQueueDispatcher::TClock::now() + std::chrono::seconds(1));
    if (!category.LastError().empty())
        throw EMirevaError(category.LastError());

    if (args.size() == 1) {
        for (const TCategoryNode& node : category.CategoryTree().Nodes()) {
            if (!node.Path.empty())
                context.Out << EscapeControls(node.Path) << "/\t" << node.Members.size() << '\n';
        }
        return 0;
    }
    if (!category.CategoryTree().Find(path))
        throw EMirevaError("no category '" + path + "' in '" + stored.Name() + "'");
    std::vector<std::string> members;
    for (int member : category.MembersOf(path, category.ShowSubContents))
        members.push_back(category.ItemInfo(member)->Path);
    std::sort(members.begin(), members.end(), [](const std::string& a, const std::string& b) {
        return ComparePaths(a, b) < 0;
    });
    for (const std::string& member : members)
        context.Out << EscapeControls(member) << '\n';
    return 0;
}

int CategoryDelete(TCliContext& context)
{
    const std::string name = context.Positional(1)[0];
    TCategoryStore store(context.DataFolder());
    TCategoryList list;
    LoadCategories(context, store, list);
    const int index = list.IndexOfName(name);
    if (index < 0)
        throw EMirevaError("no category named '" + name + "'");
    list.Delete(index);
    store.Save(list);
    return 0;
}

}  // namespace

int RunCategory(TCliContext& context)
{
    if (context.Args.empty())
        throw ECliUsage("missing category command");
    const std::string command = context.Args[0];
    context.Args.erase(context.Args.begin());
    if (command == "add")
        return CategoryAdd(context);
    if (command == "list")
        return CategoryList(context);
    if (command == "show")
        return CategoryShow(context);
    if (command == "delete")
        return CategoryDelete(context);
    throw ECliUsage("unknown category command '" + command + "'");
}
