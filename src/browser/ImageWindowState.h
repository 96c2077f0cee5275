#pragma once

// Where the separate image window was left: its normal rectangle and whether
// it was maximised, kept in section IMAGEWINDOW of the settings file in use.
// Sizes are kept in 96-dpi units and the position relative to the top-left
// corner of the desktop's work area, like the browser window's own; the
// window converts with the screens it finds when it opens and closes. Whether
// the window shows its menu bar is a view state (VIEW ImageMenu) and lives
// with the others in TViewStates.

#include <optional>

#include "browser/WindowState.h"

class TIniFile;

struct TImageWindowState {
    // 96-dpi units relative to the work area; nothing gives the default
    // window centred on the browser window's screen.
    std::optional<TWindowRect> Bounds;
    bool Max = false;
    bool operator==(const TImageWindowState&) const = default;
};

// Section IMAGEWINDOW: Left, Top, Width, Height and Max. A rectangle with a
// key missing, holding the value older versions used for "absent" (32767),
// or with a size no window can have reads as none.
TImageWindowState ReadImageWindowSection(const TIniFile& ini);
// Writes the four numbers (when a rectangle is known) and Max; the caller
// writes the file.
void WriteImageWindowSection(TIniFile& ini, const TImageWindowState& state);

// Where the window opens, in pixels. The stored rectangle is scaled and
// moved by the desktop's work area; without one, or when it would lie on no
// screen now (a monitor was removed or the resolution shrank), the window is
// 850 x 750 units, or 750 x 550 when the work area of the browser window's
// screen (browserWorkArea, pixels) is narrower or lower than that, centred
// in that work area.
TWindowRect ImageWindowBounds(const TImageWindowState& state, const TScreenInfo& screens,
                              const TWindowRect& browserWorkArea);
// Keeps the window's normal rectangle (pixels) and maximised state.
void StoreImageWindowBounds(TImageWindowState& state, const TWindowRect& pixels, bool maximised,
                            const TScreenInfo& screens);
