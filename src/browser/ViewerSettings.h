#pragma once

// The one place where the program's options reach the image view: the
// options object (sections PICTURE, SCROLL, MOUSE, MOVE, CACHE), the exchange
// flags of the key bindings and the saved view state (section IMAGE) become
// the viewer's own option structs. Every window that shows pictures fills its
// viewer from here.

#include "app/Init.h"
#include "browser/KeyBindings.h"
#include "viewer/PageViewer.h"

class TIniFile;

// The viewer's options; system colours are resolved through resolve, and
// with DefaultSystemColor where it gives none.
TViewerOptions ViewerOptionsFrom(const TOptions& options, const TKeyBindings& keys,
                                 const TSystemColorResolver& resolve = {});

// The view state kept in section IMAGE: view mode, binding, fit, ratio and
// size states, the entered ratio and size, and the layout options. Values
// outside their range read as their defaults; when neither a fit, a ratio
// nor an entered size results, the whole page is fitted. The rotation always
// starts as none.
TViewState ReadViewState(const TIniFile& ini);
void WriteViewState(TIniFile& ini, const TViewState& state);

inline constexpr const char* ImageSection = "IMAGE";
