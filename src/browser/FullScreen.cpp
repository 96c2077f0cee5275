#include "browser/FullScreen.h"

#include <algorithm>

void TFullScreenState::Enter(const TNormalWindow& normal)
{
    if (!fSaved)
        fSaved = normal;
}

std::optional<TNormalWindow> TFullScreenState::Leave()
{
    std::optional<TNormalWindow> saved = fSaved;
    fSaved.reset();
    return saved;
}

uint8_t EdgesTouched(int x, int y, const TWindowRect& screen, int viewBottom)
{
    uint8_t edges = seNone;
    if (y < screen.Top + EdgeTrigger)
        edges |= seTop;
    if (x < screen.Left + EdgeTrigger)
        edges |= seLeft;
    if (y > viewBottom - EdgeTrigger)
        edges |= seBottom;
    return edges;
}

uint8_t RevealedEdges(uint8_t shown, uint8_t touched, uint8_t overShown)
{
    return static_cast<uint8_t>(touched | (shown & overShown));
}

TPaneSet FullScreenPanes(const TPaneSet& fullSet, const TFullScreenBars& options, uint8_t revealed, bool loupeShown)
{
    if (!options.MouseMoveShow)
        return fullSet;
    if (loupeShown && options.DisableShowBar)
        revealed = seNone;
    const bool top = (revealed & seTop) != 0;
    const bool left = (revealed & seLeft) != 0;
    TPaneSet panes = fullSet;
    panes.MainMenu = fullSet.MainMenu && top;
    panes.MainBar = fullSet.MainBar && top;
    panes.AddressBar = fullSet.AddressBar && top;
    panes.ImageBar = fullSet.ImageBar && top;
    panes.StatusBar = false;  // no edge brings it
    panes.SeekBar = fullSet.SeekBar && (revealed & seBottom) != 0;
    panes.Tree = fullSet.Tree && left;
    const bool fileEdge = fullSet.FileViewPos == TFileViewPos::fpAboveImage ? top : left;
    panes.File = fullSet.File && fileEdge;
    return panes;
}

bool HoldScreenSaver(bool slideShowRunning, bool fullScreen, bool noScreenSave)
{
    return slideShowRunning || (fullScreen && noScreenSave);
}

void TPointerHiding::SetOptions(const TPointerHideOptions& options)
{
    fOptions = options;
    fOptions.MotionlessTime = std::clamp(fOptions.MotionlessTime, 1, 200);
    if (!fOptions.HideCursor) {
        fTimer.Stop();
        fHidden = false;
        fHiddenAt.reset();
    }
}

bool TPointerHiding::Applies(bool overPage, bool fullScreen) const
{
    if (!fOptions.HideCursor)
        return false;
    if (fOptions.HideFullScreen && !fullScreen)
        return false;
    return !fOptions.HideImage || overPage;
}

bool TPointerHiding::Moved(int x, int y, bool overPage, bool fullScreen)
{
    fLast = {x, y};
    fArmed = Applies(overPage, fullScreen);
    if (!fArmed) {
        fTimer.Stop();
        fHidden = false;
        fHiddenAt.reset();
        return true;
    }
    if (!fOptions.HideMotionless) {
        fHidden = true;
        return false;
    }
    if (fHidden && fHiddenAt == fLast)
        return false;
    fHidden = false;
    fHiddenAt.reset();
    fTimer.Start(std::chrono::milliseconds(fOptions.MotionlessTime * 100));
    return true;
}

void TPointerHiding::TimerFired()
{
    fTimer.Stop();
    if (!fArmed)
        return;
    fHidden = true;
    fHiddenAt = fLast;
}

void TPointerHiding::Pressed()
{
    fHidden = false;
    fHiddenAt.reset();
    if (fArmed && fOptions.HideMotionless)
        fTimer.Start(std::chrono::milliseconds(fOptions.MotionlessTime * 100));
}
