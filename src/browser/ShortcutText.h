#pragma once

// The text of a key combination as menus, the key dialog and mireva-cli show
// it: the toolkit's own modifier prefixes ("Ctrl+", "Alt+", "Shift+", in that
// order) and key names ("PgUp", "Del", "F5", "Num+1"), with the arrow keys
// drawn as arrows ("Ctrl+←"). Pause and NumLock are named alone whatever is
// held with them, as the keyboard reports them with Ctrl as a different key.

#include <string>

#include "browser/KeyBindings.h"

// Empty for 0 and for a code no key of the table has.
std::string ShortcutText(TShortCut code);
