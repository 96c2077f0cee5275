// mireva-cli's shelf and folder subcommands: they read and write the same
// "Shelf.lst" as the viewer and list folders in the viewer's name order.

#include <algorithm>

#include "cli/Commands.h"
#include "collections/CompareNames.h"
#include "collections/FileMask.h"
#include "collections/GroupFolder.h"
#include "collections/ShellFolder.h"
#include "collections/Shelf.h"
#include "base/PathUtils.h"
#include "common/Text.h"
#include "platform/FileSystem.h"

namespace {

// The shelves of the data folder, and what became of their file on the error
// stream. Returns false when what was read may be incomplete (a damaged file),
// so that a command that only reads can say so by its exit code. A file that
// could not be read at all fails the command: nothing would be right.
bool LoadShelves(TCliContext& context, TShelfStore& store, TGroupList& list)
{
    const TShelfLoadResult result = store.Load(list);
    if (result.Unreadable)
        throw EFileError("cannot read the shelves: " + result.Error);
    if (!result.RecoveredFrom.empty())
        context.Err << "mireva-cli shelf: " << EscapeControls(store.FilePath()) << " is missing after an interrupted save; read "
                    << EscapeControls(result.RecoveredFrom) << " in its place\n";
    if (result.Damaged)
        context.Err << "mireva-cli shelf: "
                    << EscapeControls((result.RecoveredFrom.empty() ? store.FilePath() : result.RecoveredFrom) +
                                      " is damaged (" + result.Error + "); read what was readable")
                    << '\n';
    return !result.Damaged;
}

// Saves, and tells where a damaged file went before the save replaced it.
void SaveShelves(TCliContext& context, TShelfStore& store, const TGroupList& list)
{
    store.Save(list);
    if (!store.DamagedCopy().empty())
        context.Err << "mireva-cli shelf: the damaged file was kept as " << EscapeControls(store.DamagedCopy()) << '\n';
}

const char* ImportFaultText(TImportFault fault)
{
    switch (fault) {
    case TImportFault::ifNotAbsolute:
        return "not an absolute path";
    case TImportFault::ifBadEscape:
        return "not a valid file:// path";
    case TImportFault::ifMissing:
        return "does not exist";
    case TImportFault::ifAmbiguous:
        return "names one item by its bytes and another read as CP932; add the one meant by hand";
    case TImportFault::ifNoIdentity:
        return "cannot be a shelf member";
    }
    return "not added";
}

TGroupFolder& FindShelf(const TGroupList& list, const std::string& name)
{
    const int index = list.IndexOfName(name);
    if (index < 0)
        throw EMirevaError("no shelf named '" + name + "'");
    return *list.Group(index);
}

// The named shelf, made when missing after the checks the shelf dialog makes.
TGroupFolder& FindOrAddShelf(TGroupList& list, const std::string& name)
{
    const int index = list.IndexOfName(Trim(name));
    if (index >= 0)
        return *list.Group(index);
    if (const std::optional<std::string> refusal = CheckShelfName(list, name, std::string()))
        throw EMirevaError(Trim(*refusal));
    const std::string trimmed = Trim(name);
    if (trimmed.find_first_of("\r\n\t") != std::string::npos)
        throw EMirevaError("a shelf name is one line");
    return *list.Group(list.Add(trimmed, 0, std::string()));
}

int ShelfList(TCliContext& context)
{
    context.Positional(0);
    TShelfStore store(context.DataFolder());
    TGroupList list;
    const bool whole = LoadShelves(context, store, list);
    for (int i = 0; i < list.Count(); ++i) {
        const TGroupFolder* shelf = list.Group(i);
        context.Out << EscapeControls(shelf->Name()) << '\t' << shelf->Count() << '\t'
                    << EscapeControls(shelf->CommentLine()) << '\n';
    }
    return whole ? 0 : 1;
}

int ShelfShow(TCliContext& context)
{
    const std::string name = context.Positional(1)[0];
    TShelfStore store(context.DataFolder());
    TGroupList list;
    const bool whole = LoadShelves(context, store, list);
    TGroupFolder& shelf = FindShelf(list, name);
    shelf.ResolveAll();
    for (int i = 0; i < shelf.Count(); ++i) {
        const TGroupFileInfo* info = shelf.ItemInfo(i);
        if (info->Item.IsForeign()) {
            context.Out << "(foreign item, " << info->Item.Size() << " bytes)\n";
            continue;
        }
        const std::string path = info->Item.IsRoot() ? std::string("(root)") : info->Path;
        context.Out << EscapeControls(path) << (info->IsDirectory && path != "/" ? "/" : "") << '\n';
    }
    return whole ? 0 : 1;
}

int ShelfAdd(TCliContext& context)
{
    const std::vector<std::string> args = context.Positional(2, SIZE_MAX);
    const std::string name = args[0];
    std::vector<std::string> paths;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string path = ExpandFileName(args[i], CurrentDirectory());
        if (!FileExists(path) && !DirectoryExists(path))
            throw EMirevaError("'" + args[i] + "' does not exist");
        paths.push_back(path);
    }
    TShelfStore store(context.DataFolder());
    TGroupList list;
    LoadShelves(context, store, list);
    TGroupFolder& shelf = FindOrAddShelf(list, name);
    const int added = AddPaths(shelf, paths);
    SaveShelves(context, store, list);
    context.Out << added << " added to '" << EscapeControls(shelf.Name()) << "'\n";
    return 0;
}

int ShelfExport(TCliContext& context)
{
    const std::vector<std::string> args = context.Positional(2);
    TShelfStore store(context.DataFolder());
    TGroupList list;
    const bool whole = LoadShelves(context, store, list);
    TGroupFolder& shelf = FindShelf(list, args[0]);
    const int written = ExportItems(ExpandFileName(args[1], CurrentDirectory()), shelf);
    context.Out << written << " written\n";
    return whole ? 0 : 1;
}

int ShelfImport(TCliContext& context)
{
    const std::vector<std::string> args = context.Positional(2);
    TShelfStore store(context.DataFolder());
    TGroupList list;
    LoadShelves(context, store, list);
    TGroupFolder& shelf = FindOrAddShelf(list, args[0]);
    const TShelfImportResult result = ImportItems(ExpandFileName(args[1], CurrentDirectory()), shelf);
    SaveShelves(context, store, list);
    for (const TImportFailure& failure : result.Failed)
        context.Err << "mireva-cli shelf import: line " << failure.Line << ": " << EscapeControls(failure.Text)
                    << ": " << ImportFaultText(failure.Fault) << '\n';
    context.Out << result.Added << " added to '" << EscapeControls(shelf.Name()) << "'\n";
    return result.Failed.empty() ? 0 : 1;
}

}  // namespace

int RunShelf(TCliContext& context)
{
    if (context.Args.empty())
        throw ECliUsage("missing shelf command");
    const std::string command = context.Args[0];
    context.Args.erase(context.Args.begin());
    if (command == "list")
        return ShelfList(context);
    if (command == "show")
        return ShelfShow(context);
    if (command == "add")
        return ShelfAdd(context);
    if (command == "export")
        return ShelfExport(context);
    if (command == "import")
        return ShelfImport(context);
    throw ECliUsage("unknown shelf command '" + command + "'");
}

int RunLs(TCliContext& context)
{
    const std::optional<std::string> pattern = context.TakeOption("--mask");
    const bool all = context.TakeFlag("--all");
    const std::string folder = ExpandFileName(context.Positional(1)[0], CurrentDirectory());
    if (!DirectoryExists(folder))
        throw EMirevaError("'" + folder + "' is not a folder");

    TFileMask mask;
    if (pattern) {
        TFileMaskRec rec;
        rec.Mask = *pattern;
        mask.Apply(rec, TMaskFlags());
    }
    std::unique_ptr<TShellFolder> node = TShellFolder::CreateFromPath(nullptr, folder);
    node->SetIsDirectory(true);
    std::vector<std::unique_ptr<TShellFolder>> children = ListChildren(*node, all);
    std::vector<std::pair<std::string, bool>> shown;
    for (auto& child : children) {
        TMaskItem item;
        item.Name = child->GetName();
        item.Extension = ExtractFileExt(item.Name);
        item.IsDirectory = child->IsDirectory();
        item.NoFileData = child->NoFileData();
        item.Size = child->GetSize();
        item.Modified = child->GetModified();
        if (mask.Accepts(item, false, nullptr))
            shown.emplace_back(item.Name, item.IsDirectory);
    }
    std::sort(shown.begin(), shown.end(), [](const auto& a, const auto& b) { return CompareNames(a.first, b.first) < 0; });
    for (const auto& [name, isDirectory] : shown)
        context.Out << EscapeControls(name) << (isDirectory ? "/" : "") << '\n';
    return 0;
}
