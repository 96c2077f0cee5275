#include "browser/ListKeys.h"

namespace {

// The virtual-key codes of the keys the panes handle.
constexpr TShortCut KeyBack = 0x08;
constexpr TShortCut KeyReturn = 0x0D;
constexpr TShortCut KeyEscape = 0x1B;
constexpr TShortCut KeyDelete = 0x2E;
constexpr TShortCut KeyF2 = 0x71;
constexpr TShortCut KeyF5 = 0x74;

constexpr TShortCut KeyMask = 0x00FF;

TListKeyCommand ListCommand(TShortCut code, bool alt, const TListKeyState& state)
{
    const bool fileList = state.Pane == TListPane::lpFileList;
    if (alt)
        return code == KeyReturn ? TListKeyCommand::kcProperties : TListKeyCommand::kcNone;
    switch (code) {
    case KeyBack:
        return TListKeyCommand::kcGoUp;
    case KeyReturn:
        return state.HasSelection ? TListKeyCommand::kcOpen : TListKeyCommand::kcNone;
    case KeyEscape:
        return state.Kind == TListKind::lkSearch ? TListKeyCommand::kcLeaveSearch : TListKeyCommand::kcNone;
    case KeyDelete:
        return fileList && state.HasSelection ? TListKeyCommand::kcDelete : TListKeyCommand::kcNone;
    case KeyF2:
        return fileList && state.HasFocused ? TListKeyCommand::kcRename : TListKeyCommand::kcNone;
    case KeyF5:
        return TListKeyCommand::kcRefresh;
    default:
        return TListKeyCommand::kcNone;
    }
}

TListKeyCommand TreeCommand(TShortCut code, bool alt, const TListKeyState& state)
{
    if (alt)
        return code == KeyReturn && state.HasSelection ? TListKeyCommand::kcProperties : TListKeyCommand::kcNone;
    switch (code) {
    case KeyBack:
        return TListKeyCommand::kcSelectParent;
    case KeyEscape:
        return state.Kind == TListKind::lkSearch ? TListKeyCommand::kcLeaveSearch : TListKeyCommand::kcNone;
    case KeyDelete:
        return TListKeyCommand::kcDelete;
    case KeyF2:
        return state.HasSelection ? TListKeyCommand::kcRename : TListKeyCommand::kcNone;
    case KeyF5:
        return TListKeyCommand::kcRefresh;
    default:
        return TListKeyCommand::kcNone;
    }
}

}  // namespace

TListKeyCommand ListKeyCommand(TShortCut key, const TListKeyState& state)
{
    // While a name is edited, Backspace and Delete edit the name.
    if (state.Editing || (key & scCtrl) != 0)
        return TListKeyCommand::kcNone;
    const TShortCut code = key & KeyMask;
    const bool alt = (key & scAlt) != 0;
    return state.Pane == TListPane::lpTree ? TreeCommand(code, alt, state) : ListCommand(code, alt, state);
}

bool IncSearchAllowed(TIncSearchMode mode, bool shift)
{
    switch (mode) {
    case TIncSearchMode::imAlways:
        return true;
    case TIncSearchMode::imWithShift:
        return shift;
    case TIncSearchMode::imWithoutShift:
        return !shift;
    }
    return true;
}
