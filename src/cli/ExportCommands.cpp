// mireva-cli divide and export: names cut by name-division rules as the CSV
// export cuts them, and the CSV export of a folder, a shelf, a medium or a
// search.

#include <cstdint>

#include <algorithm>

#include "base/PathUtils.h"
#include "cli/Commands.h"
#include "collections/CompareNames.h"
#include "collections/GroupFolder.h"
#include "collections/MediaFiles.h"
#include "collections/MediaFolder.h"
#include "collections/NameDivide.h"
#include "collections/ShellInfo.h"
#include "collections/Shelf.h"
#include "common/Text.h"
#include "export/ExportSettings.h"
#include "export/FExport.h"
#include "platform/FileSystem.h"

namespace {

TNameDivideRules RulesFrom(TCliContext& context)
{
    TNameDivideRules rules;
    for (const std::string& text : context.TakeOptions("--rule")) {
        std::optional<TNameDivideInfo> rule = ParseNameDivideInfo(text, static_cast<int32_t>(rules.size()));
        if (!rule)
            throw ECliUsage("a rule has six fields: NAME,KIND,DELIMITERS,CLOSING,FROMEND,REMOVE; not '" + text + "'");
        rules.push_back(std::move(*rule));
    }
    return rules;
}

// The plain type names the file list shows without a desktop: "フォルダ", or
// the lower-cased extension.
class TPlainTypeNames : public TShellInfo {
public:
    std::string TypeName(const std::string& path, bool isDirectory) override
    {
        return isDirectory ? "フォルダ" : LowerCase(ExtractFileExt(path));
    }
    int IconIndex(const std::string&, bool, bool, bool) override { return -1; }
};

std::vector<int> ColumnsFrom(const std::string& text, size_t ruleCount)
{
    std::vector<int> columns;
    for (const std::string& piece : SplitString(text, ',')) {
        const std::optional<int32_t> column = TryStrToInt(Trim(piece));
        if (!column || *column < 0 || *column >= FixedColumnCount + static_cast<int>(ruleCount))
            throw ECliUsage("--columns takes column numbers 0 to 16 and 17 + a rule's number, not '" + piece + "'");
        columns.push_back(*column);
    }
    return columns;
}

void SetOptions(TExportOptions& options, const std::string& text)
{
    options = TExportOptions();
    options.Header = false;
    struct TName {
        const char* Name;
        bool TExportOptions::*Field;
    };
    static constexpr TName kNames[] = {
        {"Header", &TExportOptions::Header},     {"SizeKB", &TExportOptions::SizeKB},
        {"SizeGB", &TExportOptions::SizeGB},     {"NoFolder", &TExportOptions::NoFolder},
        {"NoFile", &TExportOptions::NoFile},     {"Selected", &TExportOptions::Selected},
        {"SubFolder", &TExportOptions::SubFolder}, {"NameDivide", &TExportOptions::NameDivide},
    };
    for (const std::string& piece : SplitString(text, ',')) {
        const auto it = std::find_if(std::begin(kNames), std::end(kNames),
                                     [&](const TName& name) { return SameText(name.Name, Trim(piece)); });
        if (it == std::end(kNames))
            throw ECliUsage("unknown export option '" + piece + "'");
        options.*(it->Field) = true;
    }
}

std::vector<std::string> FolderItems(const std::string& folder)
{
    std::vector<TDirEntry> entries = ListDirectory(folder);
    std::sort(entries.begin(), entries.end(), [](const TDirEntry& a, const TDirEntry& b) {
        const bool af = a.Status.Kind == TFileKind::fkFolder, bf = b.Status.Kind == TFileKind::fkFolder;
        return af != bf ? af : CompareNames(a.Name, b.Name) < 0;
    });
    std::vector<std::string> paths;
    for (const TDirEntry& entry : entries)
        paths.push_back(IncludeTrailingPathDelimiter(folder) + entry.Name);
    return paths;
}

}  // namespace

int RunDivide(TCliContext& context)
{
    const bool forCategory = context.TakeFlag("--category");
    const TNameDivideRules rules = RulesFrom(context);
    if (rules.empty())
        throw ECliUsage("give at least one --rule");
    const std::vector<std::string>& names = context.Positional(1, SIZE_MAX);
    for (const std::string& name : names) {
        const TDividedName divided = forCategory ? DivideNameForCategory(rules, name) : DivideName(rules, name);
        for (const std::string& part : divided.Parts)
            context.Out << EscapeControls(part) << '\t';
        context.Out << EscapeControls(divided.Rest) << '\n';
    }
    return 0;
}

int RunExport(TCliContext& context)
{
    TExportSettings settings;
    const std::optional<std::string> named = context.TakeOption("--setting");
    if (named) {
        const TExportSettingsStore store(context.DataFolder());
        if (!store.Exists(*named))
            throw EMirevaError("no export setting '" + *named + "'");
        settings = store.Load(*named).Export;
    }
    if (TNameDivideRules rules = RulesFrom(context); !rules.empty() || !named)
        settings.Rules = std::move(rules);
    if (const std::optional<std::string> columns = context.TakeOption("--columns"))
        settings.Columns = ColumnsFrom(*columns, settings.Rules.size());
    else if (!named)
        for (int column = 0; column < FixedColumnCount; ++column)
            settings.Columns.push_back(column);
    if (const std::optional<std::string> options = context.TakeOption("--option"))
        SetOptions(settings.Options, *options);
    if (!named && !settings.Rules.empty())
        settings.Options.NameDivide = true;
    const std::string encoding = context.TakeOption("--encoding").value_or("utf-8");
    if (SameText(encoding, "cp932"))
        settings.Encoding = TExportEncoding::eeCp932;
    else if (!SameText(encoding, "utf-8"))
        throw ECliUsage("--encoding is utf-8 or cp932");
    const std::vector<std::string> args = context.Positional(2);
    const std::string& target = args[0];

    TPlainTypeNames typeNames;
    TGroupList shelves;
    TShelfStore shelfStore(context.DataFolder());
    shelfStore.Load(shelves);
    TMediaList media;
    TMediaStore mediaStore(context.DataFolder());
    mediaStore.LoadList(media);

    TFileExport exporter(settings, args[1], &typeNames);
    exporter.SetCollections(&shelves, &media, &mediaStore);
    auto all = [](int count) {
        std::vector<int> indices;
        for (int i = 0; i < count; ++i)
            indices.push_back(i);
        return indices;
    };
    if (target == "shelves") {
        exporter.WriteShelfList(all(shelves.Count()));
    } else if (target == "media") {
        exporter.WriteMediaList(all(media.Count()));
    } else if (target.starts_with("shelf:")) {
        const int index = shelves.IndexOfName(target.substr(6));
        if (index < 0)
            throw EMirevaError("no shelf '" + target.substr(6) + "'");
        TGroupFolder& shelf = *shelves.Group(index);
        shelf.ResolveAll();
        std::vector<const TGroupFileInfo*> members;
        for (int i = 0; i < shelf.Count(); ++i)
            members.push_back(shelf.ItemInfo(i));
        exporter.WriteShelfItems(index, members);
    } else if (target.starts_with("media:")) {
        const int index = media.IndexOfName(target.substr(6));
        if (index < 0)
            throw EMirevaError("no medium '" + target.substr(6) + "'");
        TMediaFolder& medium = *media.Medium(index);
        mediaStore.LoadCatalogue(medium);
        if (!medium.Loaded)
            throw EMirevaError("the catalogue of '" + medium.Name() + "' cannot be read");
        std::vector<const TCtFileInfo*> records = medium.ItemsOf("");
        std::sort(records.begin(), records.end(), [](const TCtFileInfo* a, const TCtFileInfo* b) {
            return a->IsDirectory != b->IsDirectory ? a->IsDirectory : CompareText(a->Path, b->Path) < 0;
        });
        exporter.WriteCatalogueItems(index, "/", records);
    } else {
        const std::string folder = ExcludeTrailingPathDelimiter(target);
        exporter.WriteFolderItems(folder, FolderItems(folder.empty() ? "/" : folder));
    }
    exporter.Commit();
    context.Out << exporter.LinesWritten() << " lines written to '" << args[1] << "'\n";
    return 0;
}

int RunSaveExportSetting(TCliContext& context)
{
    TExportSetting setting = TExportSettingsStore::DefaultSetting();
    TExportSettings& settings = setting.Export;
    settings.Rules = RulesFrom(context);
    if (const std::optional<std::string> columns = context.TakeOption("--columns"))
        settings.Columns = ColumnsFrom(*columns, settings.Rules.size());
    if (const std::optional<std::string> options = context.TakeOption("--option"))
        SetOptions(settings.Options, *options);
    const std::string name = context.Positional(1)[0];
    // The offered columns are those not output, as the dialog keeps them.
    std::vector<int> available;
    for (int column = 0; column < FixedColumnCount + static_cast<int>(settings.Rules.size()); ++column)
        if (std::find(settings.Columns.begin(), settings.Columns.end(), column) == settings.Columns.end())
            available.push_back(column);
    setting.Available = std::move(available);
    TExportSettingsStore store(context.DataFolder());
    store.Save(std::string_view(name), setting);
    return 0;
}
