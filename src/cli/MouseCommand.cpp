// mireva-cli mouse: the mouse bindings of a settings file as the viewer uses
// them.

#include <iostream>

#include "app/MusCstm.h"
#include "base/Errors.h"
#include "base/PathUtils.h"
#include "cli/CliSettings.h"
#include "cli/Commands.h"
#include "common/IniFile.h"
#include "platform/FileSystem.h"

namespace {

constexpr const char* Help =
    "mireva-cli mouse dump [--file SETTINGS]\n"
    "Prints every mouse binding that runs a command, one per line, in four\n"
    "columns separated by tabs:\n"
    "  GROUP   where and how: \"image.\" or \"list.\" followed by the operation and\n"
    "          what is held, as the customisation dialog names them\n"
    "          (image.ホイール上回転＋Ctrl, list.左ダブルクリック)\n"
    "  NUMBER  the command's number in its catalogue (image view 1-130, drag 1-3,\n"
    "          file list 1-66)\n"
    "  NAME    the command's name (the drag's own names for image.ドラッグ...)\n"
    "  KEYS    the part of the view or the item kind it is bound for: all, or\n"
    "          top-left, top-right, bottom-left, bottom-right in the image view,\n"
    "          image, folder, archive, other, none on the file list\n"
    "The right-click operations of the image view are left out while a right\n"
    "click shows the context menu, as the viewer ignores them then. Without\n"
    "--file the settings file the viewer reads is used (with an older\n"
    "MusCstm.ini taken into account); nothing is written.\n";

constexpr const char* QuarterKeys[QuarterCount] = {"top-left", "top-right", "bottom-left", "bottom-right"};
constexpr const char* ItemKeys[MouseItemCount] = {"image", "folder", "archive", "other", "none"};

std::string GroupName(const char* view, TMouseOperation op, TMouseVariant variant)
{
    return std::string(view) + "." + std::string(MouseOperationName(op)) + std::string(MouseVariantName(variant));
}

void PrintLine(std::ostream& out, const std::string& group, int command, std::string_view name, const char* where)
{
    out << group << '\t' << command << '\t' << name << '\t' << where << '\n';
}

}  // namespace

int RunMouse(TCliContext& context)
{
    const std::optional<std::string> file = context.TakeOption("--file");
    const std::vector<std::string>& args = context.Positional(1);
    if (args[0] == "help") {
        context.Out << Help;
        return 0;
    }
    if (args[0] != "dump")
        throw ECliUsage("unknown action '" + args[0] + "'");

    TIniFile ini = ReadSettingsToShow(file, context);
    // An older separate mouse file beside the settings counts only for the
    // settings the viewer itself would read.
    const TMouseBindings b = file ? ReadMouseBindings(ini) : MouseBindingsInEffect(ini, context.DataFolder());

    for (int o = 0; o < MouseOperationCount; ++o) {
        const auto op = static_cast<TMouseOperation>(o);
        if (b.RightPopup && (op == TMouseOperation::moRightClick || op == TMouseOperation::moRightDouble))
            continue;
        for (int v = 0; v <= static_cast<int>(TMouseVariant::mvShiftCtrl); ++v) {
            const auto variant = static_cast<TMouseVariant>(v);
            const int entry = ImageMouseEntry(op, variant);
            if (entry == 0)
                continue;
            const TImageMouseEntry& e = b.ImageEntry(entry);
            const auto name = [entry](int command) {
                return IsDragEntry(entry) ? DragMouseCommandName(command) : ImageMouseCommandName(command);
            };
            const std::string group = GroupName("image", op, variant);
            for (int q = 0; q < (e.Divide ? QuarterCount : 1); ++q) {
                const int command = e.Commands[static_cast<size_t>(q)];
                if (command != 0)
                    PrintLine(context.Out, group, command, name(command), e.Divide ? QuarterKeys[q] : "all");
            }
        }
    }
    for (int o = 0; o < MouseOperationCount; ++o) {
        const auto op = static_cast<TMouseOperation>(o);
        for (int v = 0; v <= static_cast<int>(TMouseVariant::mvShiftCtrl); ++v) {
            const auto variant = static_cast<TMouseVariant>(v);
            const int entry = ListMouseEntry(op, variant);
            if (entry == 0)
                continue;
            const TListMouseEntry& e = b.ListEntry(entry);
            const std::string group = GroupName("list", op, variant);
            for (int k = 0; k < (e.Target ? MouseItemCount : 1); ++k) {
                const int command = e.Commands[static_cast<size_t>(k)];
                if (command != 0)
                    PrintLine(context.Out, group, command, ListMouseCommandName(command), e.Target ? ItemKeys[k] : "all");
            }
        }
    }
    return 0;
}
