#include "browser/ShortcutText.h"

#include <iterator>

namespace {

struct TKeyName {
    uint8_t Code;
    const char* Name;
};

// Windows virtual-key codes and the names Qt gives their keys, so that a
// menu item shows the same text as the toolkit's own shortcuts do.
constexpr TKeyName Names[] = {
    {0x08, "Backspace"}, {0x09, "Tab"},   {0x0D, "Return"},     {0x13, "Pause"},    {0x14, "CapsLock"},
    {0x1B, "Esc"},       {0x20, "Space"}, {0x21, "PgUp"},       {0x22, "PgDown"},   {0x23, "End"},
    {0x24, "Home"},      {0x25, "←"},     {0x26, "↑"},          {0x27, "→"},        {0x28, "↓"},
    {0x2C, "Print"},     {0x2D, "Ins"},   {0x2E, "Del"},        {0x2F, "Help"},     {0x5D, "Menu"},
    {0x6A, "Num+*"},     {0x6B, "Num++"}, {0x6D, "Num+-"},      {0x6E, "Num+."},    {0x6F, "Num+/"},
    {0x90, "NumLock"},   {0x91, "ScrollLock"}, {0xBA, ";"},     {0xBB, "="},        {0xBC, ","},
    {0xBD, "-"},         {0xBE, "."},     {0xBF, "/"},          {0xC0, "`"},        {0xDB, "["},
    {0xDC, "\\"},        {0xDD, "]"},     {0xDE, "'"},
};

std::string KeyName(uint8_t code)
{
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9'))
        return std::string(1, static_cast<char>(code));
    if (code >= 0x60 && code <= 0x69)
        return "Num+" + std::string(1, static_cast<char>('0' + code - 0x60));
    if (code >= 0x70 && code <= 0x87)
        return "F" + std::to_string(code - 0x70 + 1);
    for (const TKeyName& name : Names)
        if (name.Code == code)
            return name.Name;
    return {};
}

}  // namespace

std::string ShortcutText(TShortCut code)
{
    const uint8_t key = static_cast<uint8_t>(code & 0xFF);
    std::string name = KeyName(key);
    if (name.empty())
        return {};
    if (key == 0x13 || key == 0x90)
        return name;
    std::string text;
    if (code & scCtrl)
        text += "Ctrl+";
    if (code & scAlt)
        text += "Alt+";
    if (code & scShift)
        text += "Shift+";
    return text + name;
}
