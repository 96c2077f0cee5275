#pragma once

// The catalogue of commands a key (or a mouse button) can be bound to: four
// groups, each numbered from 1 as the settings file stores them, with the name
// the customisation dialogs show, the dialog category it is listed under and
// the action it runs. The general and image commands are actions of the two
// action lists; the move commands run the move actions; the scroll commands
// are carried out by the image view and have no action.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "browser/ActionTable.h"

enum class TCommandGroup : uint8_t {
    cgGeneral,  // the main action list; settings section "GENERAL KEY"
    cgImage,    // the image action list; "IMAGE KEY"
    cgMove,     // the ten move commands; "MOVE KEY"
    cgScroll,   // the twelve scroll commands; "SCROLL KEY"
};
inline constexpr int CommandGroupCount = 4;

// The categories the dialogs' category boxes filter by.
enum class TCommandCategory : uint8_t {
    ccFile,    // "ファイル"
    ccEdit,    // "編集"
    ccView,    // "表示"
    ccOption,  // "オプション"
    ccMove,    // "移動"
    ccImage,   // "イメージ"
    ccScroll,  // "スクロール"
};

struct TCatalogEntry {
    TCommandGroup Group;
    int Number;        // 1-based within the group
    const char* Name;  // the dialogs' name: "開く", "大スクロール－上"
    TCommandCategory Category;
    // The action the command runs; none for the scroll commands.
    std::optional<TActionId> Action;
};

// The number of commands of a group: 85, 76, 10 and 12.
int CommandCount(TCommandGroup group);
// The entries of a group in number order.
std::span<const TCatalogEntry> CatalogGroup(TCommandGroup group);
// The entry of a number; nullptr outside 1..CommandCount(group).
const TCatalogEntry* FindCatalogEntry(TCommandGroup group, int number);
// The entry that runs an action; nullptr for an action without a number
// (the move actions are found in the move group).
const TCatalogEntry* FindCatalogEntry(TActionId action);

std::string_view CategoryName(TCommandCategory category);
// "GENERAL", "IMAGE", "MOVE", "SCROLL": the group's name in dumps and the
// first word of its settings section.
std::string_view GroupName(TCommandGroup group);
