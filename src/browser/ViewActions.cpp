#include "browser/ViewActions.h"

#include <algorithm>

namespace {

using enum TActionId;

int RatioItemOf(TActionId action)
{
    return static_cast<int>(action) - static_cast<int>(act25);
}

int FilterOf(TActionId action)
{
    return static_cast<int>(action) - static_cast<int>(actFilter1);
}

TRotation RotationOf(TActionId action)
{
    return static_cast<TRotation>(static_cast<int>(action) - static_cast<int>(actRotateNone));
}

bool IsRatioPreset(TActionId action)
{
    return action >= act25 && action <= act800;
}

bool IsFilter(TActionId action)
{
    return action >= actFilter1 && action <= actFilter10;
}

bool IsRotation(TActionId action)
{
    return action >= actRotateNone && action <= actReverseH;
}

}  // namespace

std::optional<TMoveCommand> MoveCommandOf(TActionId action)
{
    if (action < actFirst || action > actR_Prior)
        return std::nullopt;
    // The move actions are declared in the order of the move commands.
    return static_cast<TMoveCommand>(static_cast<int>(action) - static_cast<int>(actFirst));
}

TViewActions::TViewActions(TPageViewer& viewer)
    : fViewer(viewer)
{
}

TActionOutcome TViewActions::FromPlan(const TMovePlan& plan)
{
    TActionOutcome outcome;
    switch (plan.Outcome) {
    case TMoveOutcome::moNothing:
        break;
    case TMoveOutcome::moShow:
        outcome.ViewChanged = true;
        fMoved = true;
        break;
    case TMoveOutcome::moNextFolder:
        fMoved = true;
        outcome.Request = TWindowRequest::wrNextFolder;
        outcome.SubFolderFirst = plan.SubFolderFirst;
        break;
    case TMoveOutcome::moPriorFolder:
        fMoved = true;
        outcome.Request = TWindowRequest::wrPriorFolder;
        break;
    case TMoveOutcome::moClose:
        fViewer.Close();
        outcome.ViewChanged = true;
        break;
    case TMoveOutcome::moExit:
        outcome.Request = TWindowRequest::wrExit;
        break;
    }
    return outcome;
}

TActionOutcome TViewActions::RunMove(TMoveCommand command, bool fromKey)
{
    if (fViewer.Count() == 0)
        return {};
    const TMoveCommand resolved =
        ResolveMoveCommand(command, fromKey, fViewer.ViewState().Binding, fViewer.Options().Scroll);
    return FromPlan(fViewer.RunMove(resolved));
}

TActionOutcome TViewActions::RunScroll(TScrollCommand command, bool fromKey)
{
    TMovePlan moved;
    const TScrollResult result = fViewer.RunScroll(command, fromKey, &moved);
    if (result.Move)
        return FromPlan(moved);
    TActionOutcome outcome;
    outcome.ViewChanged = result.DX != 0 || result.DY != 0;
    outcome.Animate = fViewer.Animating();
    return outcome;
}

TActionOutcome TViewActions::RunKey(const TKeyCommand& command)
{
    if (const auto* move = std::get_if<TMoveCommand>(&command))
        return RunMove(*move, true);
    if (const auto* scroll = std::get_if<TScrollCommand>(&command))
        return RunScroll(*scroll, true);
    return Run(std::get<TActionId>(command));
}

TActionOutcome TViewActions::RunMouse(int code, bool ctrl, TPoint)
{
    const std::optional<TMoveCommand> command = DefaultWheelCommand(code, ctrl);
    if (!command)
        return {};
    // A mouse command that is not a scroll forgets the notches turned
    // against an edge.
    fViewer.MouseCommandRan();
    return RunMove(*command, false);
}

TActionOutcome TViewActions::RunImageBar(TImageBarButton button)
{
    return RunMove(ImageBarCommand(button, fViewer.ViewState().Binding), false);
}

TActionOutcome TViewActions::GoToIndex(int index)
{
    if (index < 0 || index >= fViewer.Count())
        return {};
    return FromPlan(fViewer.GoToIndex(index));
}

TActionOutcome TViewActions::ApplyEnteredRatio(int percent)
{
    TViewState state = fViewer.ViewState();
    state.CustomRatio = std::clamp(percent, 1, 800) / 100.0;
    fViewer.SetViewState(state);
    fViewer.SelectRatio(CustomRatioItem);
    TActionOutcome outcome;
    outcome.ViewChanged = true;
    return outcome;
}

TActionOutcome TViewActions::ApplyImageSize(int pixels, TSizeDir direction)
{
    fViewer.SelectSize(pixels, direction);
    TActionOutcome outcome;
    outcome.ViewChanged = true;
    return outcome;
}

TActionOutcome TViewActions::ToggleLayoutOption(TActionId action)
{
    TViewState state = fViewer.ViewState();
    switch (action) {
    case actNoEnlarge: state.NoEnlarge = !state.NoEnlarge; break;
    case actEqualHeight:
        state.EqualHeight = !state.EqualHeight;
        if (state.EqualHeight)
            state.EqualRatio = false;
        break;
    case actEqualRatio:
        state.EqualRatio = !state.EqualRatio;
        if (state.EqualRatio)
            state.EqualHeight = false;
        break;
    case actCenter: state.Center = !state.Center; break;
    case actHalfV: state.HalfV = !state.HalfV; break;
    case actHalfH: state.HalfH = !state.HalfH; break;
    default: return {};
    }
    fViewer.ChangeLayoutOptions(state);
    TActionOutcome outcome;
    outcome.ViewChanged = true;
    return outcome;
}

TActionOutcome TViewActions::SelectRotation(TRotation rotation)
{
    TViewState state = fViewer.ViewState();
    state.Rotation = rotation;
    fViewer.SetViewState(state);
    return PreparePicturesAgain();
}

TActionOutcome TViewActions::PreparePicturesAgain()
{
    // The cache's pictures were prepared the old way: the shown picture is
    // loaded again as a new one, and the cache starts afresh from it.
    fViewer.Reload();
    TActionOutcome outcome;
    outcome.PicturesChanged = true;
    outcome.ViewChanged = true;
    return outcome;
}

void TViewActions::SetBars(bool imageBar, bool seekBar)
{
    fImageBar = imageBar;
    fSeekBar = seekBar;
}

void TViewActions::SetFilterCount(int count)
{
    fFilterCount = std::clamp(count, 0, 10);
    if (fFilter >= fFilterCount)
        fFilter = -1;
}

void TViewActions::SelectFilter(int index)
{
    fFilter = index >= 0 && index < fFilterCount ? index : -1;
}

TActionOutcome TViewActions::Run(TActionId action)
{
    if (!Enabled(action))
        return {};
    if (const auto move = MoveCommandOf(action))
        return RunMove(*move, false);

    TActionOutcome changed;
    changed.ViewChanged = true;
    TViewState state = fViewer.ViewState();
    switch (action) {
    case actOpen:
        return TActionOutcome{TWindowRequest::wrOpenDialog};
    case actOpenFolder:
        return TActionOutcome{TWindowRequest::wrOpenFolderDialog};
    case actExit:
        return TActionOutcome{TWindowRequest::wrExit};
    case actClose:
        fViewer.Close();
        return changed;

    case actSpreadChange: fViewer.CycleViewMode(); return changed;
    case actAuto: fViewer.SelectViewMode(TViewMode::vmAuto); return changed;
    case actSingle: fViewer.SelectViewMode(TViewMode::vmSingle); return changed;
    case actSpread: fViewer.SelectViewMode(TViewMode::vmSpread); return changed;
    case actBindChange:
        fViewer.SelectBinding(state.BindRight() ? TBinding::bdLeft : TBinding::bdRight);
        return changed;
    case actBindRight: fViewer.SelectBinding(TBinding::bdRight); return changed;
    case actBindLeft: fViewer.SelectBinding(TBinding::bdLeft); return changed;

    case actWindowChange: fViewer.CycleFit(); return changed;
    case actWinAll: fViewer.SelectFit(TWindowFit::wfAll); return changed;
    case actWinWidth: fViewer.SelectFit(TWindowFit::wfWidth); return changed;
    case actWinHeight: fViewer.SelectFit(TWindowFit::wfHeight); return changed;
    case actNoEnlarge:
    case actEqualHeight:
    case actEqualRatio:
    case actCenter:
    case actHalfV:
    case actHalfH:
        return ToggleLayoutOption(action);

    case actRatioChange: fViewer.StepRatio(true); return changed;
    case actRatioChangeRev: fViewer.StepRatio(false); return changed;
    case actSetRatio:
        if (fBatch) {
            fViewer.SelectRatio(CustomRatioItem);
            return changed;
        }
        return TActionOutcome{TWindowRequest::wrRatioDialog};
    case actImageSize:
        if (fBatch)
            return ApplyImageSize(state.SetSize, state.SizeDir);
        return TActionOutcome{TWindowRequest::wrSizeDialog};
    case actEnlarge: fViewer.ZoomStep(true); return changed;
    case actShrink: fViewer.ZoomStep(false); return changed;
    case actDefSize: fViewer.ActualSize(!state.DefSize); return changed;

    case actFilterNone:
        SelectFilter(-1);
        return PreparePicturesAgain();
    case actAutoRotate:
        state.AutoRotate = !state.AutoRotate;
        fViewer.SetViewState(state);
        return PreparePicturesAgain();
    case actRotateChange:
        return SelectRotation(state.Rotation == TRotation::rtFlipHorizontal
                                  ? TRotation::rtNone
                                  : static_cast<TRotation>(static_cast<int>(state.Rotation) + 1));

    case actImageToolBar:
        fImageBar = !fImageBar;
        return TActionOutcome{TWindowRequest::wrNone, false, false, false, true};
    case actSeekBar:
        fSeekBar = !fSeekBar;
        return TActionOutcome{TWindowRequest::wrNone, false, false, false, true};
    default:
        break;
    }
    if (IsRatioPreset(action)) {
        fViewer.SelectRatio(RatioItemOf(action));
        return changed;
    }
    if (IsFilter(action)) {
        // A checked filter set unchecks to none.
        SelectFilter(fFilter == FilterOf(action) ? -1 : FilterOf(action));
        return PreparePicturesAgain();
    }
    if (IsRotation(action))
        return SelectRotation(RotationOf(action));
    return {};
}

bool TViewActions::Checked(TActionId action) const
{
    const TViewState& state = fViewer.ViewState();
    switch (action) {
    case actAuto: return state.ViewMode == TViewMode::vmAuto;
    case actSingle: return state.ViewMode == TViewMode::vmSingle;
    case actSpread: return state.ViewMode == TViewMode::vmSpread;
    case actBindRight: return state.Binding == TBinding::bdRight;
    case actBindLeft: return state.Binding == TBinding::bdLeft;
    case actWinAll:
    case actWinWidth:
    case actWinHeight:
        return state.ScaleMode == TScaleMode::smFit &&
               static_cast<int>(state.WindowFit) == static_cast<int>(action) - static_cast<int>(actWinAll);
    case actNoEnlarge: return state.NoEnlarge;
    case actEqualHeight: return state.EqualHeight;
    case actEqualRatio: return state.EqualRatio;
    case actCenter: return state.Center;
    case actHalfV: return state.HalfV;
    case actHalfH: return state.HalfH;
    case actSetRatio: return state.ScaleMode == TScaleMode::smRatio && state.RatioItem == CustomRatioItem;
    case actImageSize: return state.ScaleMode == TScaleMode::smSize;
    case actDefSize: return state.DefSize;
    // The sub-menus of the image bar's buttons are checked while one of
    // their items is.
    case actWindow: return state.ScaleMode == TScaleMode::smFit;
    case actRatio: return state.ScaleMode == TScaleMode::smRatio;
    case actFilter: return fFilter >= 0;
    case actRotate: return state.Rotation != TRotation::rtNone;
    case actFilterNone: return fFilter < 0;
    case actAutoRotate: return state.AutoRotate;
    case actImageToolBar: return fImageBar;
    case actSeekBar: return fSeekBar;
    default: break;
    }
    if (IsRatioPreset(action))
        return state.ScaleMode == TScaleMode::smRatio && state.RatioItem == RatioItemOf(action);
    if (IsFilter(action))
        return fFilter == FilterOf(action);
    if (IsRotation(action))
        return state.Rotation == RotationOf(action);
    return false;
}

bool TViewActions::Runs(TActionId action)
{
    if (MoveCommandOf(action) || IsRatioPreset(action) || IsFilter(action) || IsRotation(action))
        return true;
    switch (action) {
    case actOpen:
    case actOpenFolder:
    case actExit:
    case actClose:
    case actSpreadChange:
    case actAuto:
    case actSingle:
    case actSpread:
    case actBindChange:
    case actBindRight:
    case actBindLeft:
    case actWindowChange:
    case actWinAll:
    case actWinWidth:
    case actWinHeight:
    case actNoEnlarge:
    case actEqualHeight:
    case actEqualRatio:
    case actCenter:
    case actHalfV:
    case actHalfH:
    case actRatioChange:
    case actRatioChangeRev:
    case actSetRatio:
    case actImageSize:
    case actEnlarge:
    case actShrink:
    case actDefSize:
    case actFilterNone:
    case actRotateChange:
    case actAutoRotate:
    case actImageToolBar:
    case actSeekBar:
        return true;
    default:
        return false;
    }
}

bool TViewActions::Enabled(TActionId action) const
{
    // An action this class does not carry out is never enabled here, so
    // that no menu item or key of it runs and does nothing.
    if (!Runs(action))
        return false;
    const bool shown = fViewer.Primary().HasBitmap();
    switch (action) {
    case actClose:
    case actEnlarge:
    case actShrink:
    case actDefSize:
        return shown;
    case actEqualHeight:
    case actEqualRatio:
    case actCenter:
        return fViewer.ViewState().ViewMode != TViewMode::vmSingle;
    default:
        break;
    }
    if (MoveCommandOf(action))
        return fViewer.Count() > 0;
    if (IsFilter(action))
        return FilterOf(action) < fFilterCount;
    return true;
}
