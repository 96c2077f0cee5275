#pragma once

// Which keys run which commands. Keys are shortcut codes as the settings file
// stores them: the low byte a Windows virtual-key code, 0x2000 Shift, 0x4000
// Ctrl, 0x8000 Alt (the window maps its toolkit's keys to these codes in one
// table). The move and scroll commands each have a list of keys; actions of
// the two action lists have keys by their catalogue number. A key pressed in
// the image view is looked up in the move lists, then the scroll lists, then
// the image actions, then the general actions; elsewhere only the general
// actions count.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <variant>
#include <vector>

#include "browser/ActionTable.h"
#include "browser/CommandCatalog.h"
#include "viewer/PageMove.h"
#include "viewer/Scroll.h"

using TShortCut = uint16_t;

inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;

// The virtual-key codes the default bindings use.
namespace vk {
inline constexpr TShortCut Space = 0x20;
inline constexpr TShortCut Prior = 0x21;  // Page Up
inline constexpr TShortCut Next = 0x22;   // Page Down
inline constexpr TShortCut End = 0x23;
inline constexpr TShortCut Home = 0x24;
inline constexpr TShortCut Left = 0x25;
inline constexpr TShortCut Up = 0x26;
inline constexpr TShortCut Right = 0x27;
inline constexpr TShortCut Down = 0x28;
inline constexpr TShortCut Delete = 0x2E;
inline constexpr TShortCut F4 = 0x73;
inline constexpr TShortCut F5 = 0x74;
inline constexpr TShortCut F11 = 0x7A;
constexpr TShortCut Letter(char c)
{
    return static_cast<TShortCut>(c);
}
}  // namespace vk

// What a key runs.
using TKeyCommand = std::variant<TMoveCommand, TScrollCommand, TActionId>;

// A combination is bound to at most one command of a set: the general
// commands form one set, the image, move and scroll commands (all keys of
// the image view) the other.
enum class TKeySet : uint8_t { ksGeneral, ksImageView };
TKeySet KeySetOf(TCommandGroup group);

// A command of the catalogue.
struct TKeyOwner {
    TCommandGroup Group;
    int Number;
    bool operator==(const TKeyOwner&) const = default;
};

struct TKeyBindings {
    std::array<std::vector<TShortCut>, MoveCommandCount> Move;
    std::array<std::vector<TShortCut>, ScrollCommandCount> Scroll;
    // Keys of the actions by catalogue number: the primary first.
    std::map<int, std::vector<TShortCut>> General;
    std::map<int, std::vector<TShortCut>> Image;
    // With left binding, the keys of these command pairs swap.
    bool MoveExchange = false;
    bool S_MoveExchange = true;
    bool JumpExchange = false;
    bool PageScrollExchange = true;
    bool LineScrollExchange = false;

    // The keys of a catalogue command (the primary first for the general
    // and image commands; a primary of 0 with further keys means that the
    // command has no primary). Empty for a number outside the catalogue.
    const std::vector<TShortCut>& KeysOf(TCommandGroup group, int number) const;
    // The list to change; nullptr for a number outside the catalogue.
    std::vector<TShortCut>* EditKeys(TCommandGroup group, int number);

    // The command of a set that has key; nothing when none does (0 never
    // belongs to one).
    std::optional<TKeyOwner> Owner(TShortCut key, TKeySet set) const;
    // Appends key to a command unless another command of its set has it:
    // then nothing changes and that command is returned, for the caller to
    // ask the user. With takeOver the other command loses the key first.
    // A key the command has already changes nothing; the first key becomes
    // the primary.
    std::optional<TKeyOwner> Bind(TKeyOwner command, TShortCut key, bool takeOver = false);
    // Removes one key, or every key, of a command.
    void Unbind(TKeyOwner command, TShortCut key);
    void Clear(TKeyOwner command);
    // The default keys of every command; the exchange flags stay.
    void ResetKeys();

    // The command a key runs. inImageView: the image view has the focus,
    // so the move, scroll and image lists come first. Nothing when the key
    // runs nothing (0 never does).
    std::optional<TKeyCommand> Find(TShortCut key, bool inImageView) const;
    // The first key of an action, or 0.
    TShortCut FirstKey(TActionId action) const;
    TShortCut FirstMoveKey(TMoveCommand command) const;
};

// The keys a new user has (and a missing entry of the settings file gives).
TKeyBindings DefaultKeyBindings();

// What a wheel turn (button code 10 up, 11 down) runs by default: the
// previous or next file, with Ctrl the one-previous or one-next file. The
// wheel is never exchanged for left-bound books.
std::optional<TMoveCommand> DefaultWheelCommand(int code, bool ctrl);
