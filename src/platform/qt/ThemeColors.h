#pragma once

// System colours of the settings file (0xFF0000nn, nn the desktop's colour
// index) resolved through the desktop theme's palette, so that a window
// background of "the window colour" follows the user's theme.

#include "base/Color.h"

// The theme's colour for a system colour; any other colour, and a system
// colour the theme has no role for, comes back unchanged. Needs a running
// QGuiApplication; user-interface thread.
TColor ThemeColor(TColor color);
