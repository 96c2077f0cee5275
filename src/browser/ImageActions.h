#pragma once

// The browser window's commands as one table: every action the window's
// menus, image bar, keys and the snapshot's "--run" list can run, with its
// name ("actNext"), its menu caption, its number in the key catalogue and the
// radio group it belongs to. Menus, key routing and the command line all look
// actions up here, so a new command is one row. The window's widgets bind to
// the rows; what an action does is TViewActions' business.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

enum class TActionId : uint16_t {
    // File
    actOpen,
    actOpenFolder,
    actClose,
    actExit,
    // Moves
    actFirst,
    actNext,
    actPrior,
    actS_Next,
    actS_Prior,
    actLast,
    actJ_Next,
    actJ_Prior,
    actR_Next,
    actR_Prior,
    // View mode and binding
    actSpreadChange,
    actAuto,
    actSingle,
    actSpread,
    actBindChange,
    actBindRight,
    actBindLeft,
    // Fitting and layout options
    actWindowChange,
    actWinAll,
    actWinWidth,
    actWinHeight,
    actNoEnlarge,
    actEqualHeight,
    actEqualRatio,
    actCenter,
    actHalfV,
    actHalfH,
    // Ratios and zoom
    actRatioChange,
    actRatioChangeRev,
    act25,
    act50,
    act75,
    act100,
    act150,
    act200,
    act300,
    act400,
    act800,
    actSetRatio,
    actImageSize,
    actEnlarge,
    actShrink,
    actDefSize,
    // Filters and rotation
    actFilterNone,
    actFilter1,
    actFilter2,
    actFilter3,
    actFilter4,
    actFilter5,
    actFilter6,
    actFilter7,
    actFilter8,
    actFilter9,
    actFilter10,
    actRotateChange,
    actRotateNone,
    actR90,
    actL90,
    act180,
    actReverseV,
    actReverseH,
    actAutoRotate,
    // Bars
    actImageToolBar,
    actSeekBar,
};

// Actions of one group exclude each other, as the radio items of a menu do.
enum class TActionGroup : uint8_t {
    agNone,
    agViewMode,
    agBinding,
    agFit,
    agRatio,
    agFilter,
    agRotation,
};

enum class TActionList : uint8_t {
    alGeneral,  // the main action list (general commands)
    alImage,    // the image action list (image and move commands)
};

struct TActionInfo {
    TActionId Id;
    const char* Name;     // "actNext"
    const char* Caption;  // the menu text
    TActionList List;
    // The number in the key catalogue (general or image commands); 0 when
    // the action cannot be bound to a key of its own (the move actions are
    // bound through the move command lists instead).
    int Command;
    TActionGroup Group;
    bool Checkable;
};

std::span<const TActionInfo> ActionTable();
const TActionInfo& ActionInfo(TActionId id);
// The action named name ("actNext"), compared exactly; nothing when no
// action has that name.
std::optional<TActionId> FindActionByName(std::string_view name);
// The action of a key catalogue number in a list; nothing when none.
std::optional<TActionId> FindActionByCommand(TActionList list, int command);
