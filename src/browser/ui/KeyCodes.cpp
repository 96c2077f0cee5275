#include "browser/ui/KeyCodes.h"

#include <iterator>

namespace {

struct TKeyPair {
    int Qt;
    uint8_t Code;
};

// Keys whose code does not follow from a range below.
constexpr TKeyPair Keys[] = {
    {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09},       {Qt::Key_Backtab, 0x09},    {Qt::Key_Return, 0x0D},
    {Qt::Key_Enter, 0x0D},     {Qt::Key_Pause, 0x13},     {Qt::Key_CapsLock, 0x14},   {Qt::Key_Escape, 0x1B},
    {Qt::Key_Space, 0x20},     {Qt::Key_PageUp, 0x21},    {Qt::Key_PageDown, 0x22},   {Qt::Key_End, 0x23},
    {Qt::Key_Home, 0x24},      {Qt::Key_Left, 0x25},      {Qt::Key_Up, 0x26},         {Qt::Key_Right, 0x27},
    {Qt::Key_Down, 0x28},      {Qt::Key_Print, 0x2C},     {Qt::Key_Insert, 0x2D},     {Qt::Key_Delete, 0x2E},
    {Qt::Key_Help, 0x2F},      {Qt::Key_Menu, 0x5D},      {Qt::Key_NumLock, 0x90},    {Qt::Key_ScrollLock, 0x91},
    {Qt::Key_Semicolon, 0xBA}, {Qt::Key_Equal, 0xBB},     {Qt::Key_Comma, 0xBC},      {Qt::Key_Minus, 0xBD},
    {Qt::Key_Period, 0xBE},    {Qt::Key_Slash, 0xBF},     {Qt::Key_QuoteLeft, 0xC0},  {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC}, {Qt::Key_BracketRight, 0xDD}, {Qt::Key_Apostrophe, 0xDE},
};

// The number pad's keys have codes of their own.
constexpr TKeyPair PadKeys[] = {
    {Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B},  {Qt::Key_Minus, 0x6D},
    {Qt::Key_Period, 0x6E},   {Qt::Key_Slash, 0x6F}, {Qt::Key_Enter, 0x0D},
};

uint8_t CodeOfKey(int key, bool pad)
{
    if (pad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return static_cast<uint8_t>(0x60 + (key - Qt::Key_0));
        for (const TKeyPair& pair : PadKeys)
            if (pair.Qt == key)
                return pair.Code;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return static_cast<uint8_t>('A' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<uint8_t>('0' + (key - Qt::Key_0));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return static_cast<uint8_t>(0x70 + (key - Qt::Key_F1));
    for (const TKeyPair& pair : Keys)
        if (pair.Qt == key)
            return pair.Code;
    return 0;
}

}  // namespace

TShortCut ShortcutFromQt(int key, Qt::KeyboardModifiers modifiers)
{
    const uint8_t code = CodeOfKey(key, modifiers.testFlag(Qt::KeypadModifier));
    if (code == 0)
        return 0;
    TShortCut result = code;
    if (modifiers.testFlag(Qt::ShiftModifier))
        result |= scShift;
    if (modifiers.testFlag(Qt::ControlModifier))
        result |= scCtrl;
    if (modifiers.testFlag(Qt::AltModifier))
        result |= scAlt;
    return result;
}
