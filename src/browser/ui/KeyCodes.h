#pragma once

// The one table between Qt's keys and the shortcut codes the settings file
// stores (Windows virtual-key codes with Shift 0x2000, Ctrl 0x4000 and Alt
// 0x8000). The text a menu shows for a code is ShortcutText's.

#include <Qt>

#include "browser/KeyBindings.h"

// The code of a key pressed with modifiers; 0 for a key the table does not
// know (and for a modifier key alone).
TShortCut ShortcutFromQt(int key, Qt::KeyboardModifiers modifiers);
