#pragma once

// What a picture shown or closed asks of full screen and the slideshow: a
// picture the user opens (not one a move or a slideshow step brings) enters
// full screen or starts a slideshow when the picture options say so, or
// when the open command itself asks for it; closing the picture, or a new
// place with nothing to show, leaves full screen when the full-screen
// options say so, except while the program is starting. The window carries
// the answer out.

#include <string>

#include "app/Init.h"
#include "browser/CommandTarget.h"

struct TShowAidsState {
    bool FullScreen = false;        // full screen is on now
    bool SlideShowRunning = false;  // a slideshow runs now
    bool StartingUp = false;        // the start place is being restored
};

// The open command running now: "open in full screen" or "open and start
// the slideshow" count their option as on while they run.
struct TOpenForce {
    bool FullScreen = false;
    bool SlideShow = false;
};

struct TShowAidsRequest {
    bool EnterFullScreen = false;
    bool StartSlideShow = false;
    bool LeaveFullScreen = false;
    bool operator==(const TShowAidsRequest&) const = default;
};

// shown: a picture is shown now (else the view emptied); moved: a move or a
// slideshow step brought it.
TShowAidsRequest ShowAidsFor(bool shown, bool moved, const TPictureOptions& picture, const TFullScreenOptions& full,
                             const TShowAidsState& state, const TOpenForce& force = {});

// The same for the notices of the pictures shown, which also come when the
// shown picture stays (a refresh of the list, another partner page, filters
// applied again): only a picture other than the one before counts as
// opened.
class TShowAids {
public:
    // primaryPath: the picture shown now, empty when none is.
    TShowAidsRequest Shown(const std::string& primaryPath, bool moved, const TPictureOptions& picture,
                           const TFullScreenOptions& full, const TShowAidsState& state, const TOpenForce& force = {});

private:
    std::string fLast;
};

// What "open in full screen" (slideShow false) and "open and start the
// slideshow" (slideShow true) do first, by their target. The lists open
// their selection; a tree's node is selected when it is not the selected
// one (which shows its place); otherwise a tree shows the first picture
// (full screen: when none is shown; slideshow: when another one is) or
// full screen is switched, as the image view's target does.
enum class TOpenStep : uint8_t {
    osNothing,
    osOpenFileList,
    osOpenArchiveList,
    osSelectNode,
    osShowFirst,
    osToggleFullScreen,
};

struct TOpenFacts {
    TCommandTarget Target = TCommandTarget::ctNone;
    bool NodeSelected = false;  // the tree's node is its selected node already
    bool ImageShown = false;
    int ShownIndex = -1;        // the primary page's index in the image list
};

TOpenStep OpenStepFor(bool slideShow, const TOpenFacts& facts);
