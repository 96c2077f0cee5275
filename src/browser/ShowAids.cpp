#include "browser/ShowAids.h"

TShowAidsRequest ShowAidsFor(bool shown, bool moved, const TPictureOptions& picture, const TFullScreenOptions& full,
                             const TShowAidsState& state, const TOpenForce& force)
{
    TShowAidsRequest request;
    if (!shown) {
        // At start the restored place may list nothing to show yet; a
        // window started in full screen stays so.
        request.LeaveFullScreen = state.FullScreen && full.CloseFullScreen && !state.StartingUp;
        return request;
    }
    if (moved)
        return request;
    request.EnterFullScreen = (picture.FullScreen || force.FullScreen) && !state.FullScreen;
    request.StartSlideShow = (picture.SlideShow || force.SlideShow) && !state.SlideShowRunning;
    return request;
}

TShowAidsRequest TShowAids::Shown(const std::string& primaryPath, bool moved, const TPictureOptions& picture,
                                  const TFullScreenOptions& full, const TShowAidsState& state, const TOpenForce& force)
{
    const bool same = !primaryPath.empty() && primaryPath == fLast;
    fLast = primaryPath;
    if (same)
        return {};
    return ShowAidsFor(!primaryPath.empty(), moved, picture, full, state, force);
}

TOpenStep OpenStepFor(bool slideShow, const TOpenFacts& facts)
{
    switch (facts.Target) {
    case TCommandTarget::ctFileList: return TOpenStep::osOpenFileList;
    case TCommandTarget::ctArchiveList: return TOpenStep::osOpenArchiveList;
    case TCommandTarget::ctTree:
        if (!facts.NodeSelected)
            return TOpenStep::osSelectNode;
        if (slideShow)
            return facts.ImageShown && facts.ShownIndex != 0 ? TOpenStep::osShowFirst : TOpenStep::osNothing;
        return facts.ImageShown ? TOpenStep::osToggleFullScreen : TOpenStep::osShowFirst;
    case TCommandTarget::ctImage: return slideShow ? TOpenStep::osNothing : TOpenStep::osToggleFullScreen;
    case TCommandTarget::ctNone: break;
    }
    return TOpenStep::osNothing;
}
