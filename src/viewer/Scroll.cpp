#include "viewer/Scroll.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

const char* const ScrollNames[ScrollCommandCount] = {
    "大スクロール－上", "大スクロール－下", "大スクロール－左", "大スクロール－右",
    "小スクロール－上", "小スクロール－下", "小スクロール－左", "小スクロール－右",
    "原点にスクロール", "原点の縦対称にスクロール", "原点の横対称にスクロール", "原点の対角にスクロール",
};

TMoveCommand EdgeMove(TScrollMoveCommand moveCommand, bool forward)
{
    switch (moveCommand) {
    case TScrollMoveCommand::mcNextOneFile:
        return forward ? TMoveCommand::mcOneNext : TMoveCommand::mcOnePrior;
    case TScrollMoveCommand::mcJump:
        return forward ? TMoveCommand::mcJumpNext : TMoveCommand::mcJumpPrior;
    case TScrollMoveCommand::mcRandom:
        return forward ? TMoveCommand::mcRandomNext : TMoveCommand::mcRandomPrior;
    case TScrollMoveCommand::mcNextFile:
        break;
    }
    return forward ? TMoveCommand::mcNext : TMoveCommand::mcPrior;
}

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

}  // namespace

std::string ScrollCommandName(TScrollCommand command)
{
    return ScrollNames[static_cast<int>(command) % ScrollCommandCount];
}

TPoint ClampScroll(int dx, int dy, const TRect& content, TSize client)
{
    auto clamp = [](int d, int low, int high, int view) {
        if (high - low <= view)
            return 0;
        if (low + d > 0)
            return -low;  // the leading edges meet
        if (high + d < view)
            return view - high;  // the trailing edges meet
        return d;
    };
    return TPoint{clamp(dx, content.Left, content.Right, client.Width),
                  clamp(dy, content.Top, content.Bottom, client.Height)};
}

int TScrollController::Amount(const TScrollRecord& record, int size) const
{
    if (record.ByRatio)
        return RoundHalfEven(static_cast<double>(size) * std::clamp(record.Ratio, 1, 100) / 100.0);
    return std::clamp(record.Quantity, 1, 1000);
}

TScrollResult TScrollController::Run(TScrollCommand command, bool fromKey, TBinding binding, TSize client,
                                     const TRect& content)
{
    const int n = static_cast<int>(command);
    const bool pageCommand = n <= static_cast<int>(TScrollCommand::scPageRight);
    const TScrollRecord& record = pageCommand ? fOptions.Page : fOptions.Line;
    const bool bindRight = binding == TBinding::bdRight;
    const int CW = client.Width;
    const int CH = client.Height;
    const int L = content.Left;
    const int T = content.Top;
    const int R = content.Right;
    const int B = content.Bottom;
    // A left-bound book may swap left and right for keys.
    const bool exchanged = fromKey && binding == TBinding::bdLeft && record.Exchange;

    int dx = 0;
    int dy = 0;
    switch (command) {
    case TScrollCommand::scPageUp:
    case TScrollCommand::scLineUp:
        dy = Amount(record, CH);
        break;
    case TScrollCommand::scPageDown:
    case TScrollCommand::scLineDown:
        dy = -Amount(record, CH);
        break;
    case TScrollCommand::scPageLeft:
    case TScrollCommand::scLineLeft:
        dx = exchanged ? -Amount(record, CW) : Amount(record, CW);
        break;
    case TScrollCommand::scPageRight:
    case TScrollCommand::scLineRight:
        dx = exchanged ? Amount(record, CW) : -Amount(record, CW);
        break;
    case TScrollCommand::scOrigin:
        dx = bindRight ? CW - R : -L;
        dy = -T;
        break;
    case TScrollCommand::scOriginVertical:
        dx = bindRight ? CW - R : -L;
        dy = CH - B;
        break;
    case TScrollCommand::scOriginHorizontal:
        dx = bindRight ? -L : CW - R;
        dy = -T;
        break;
    case TScrollCommand::scOriginDiagonal:
        dx = bindRight ? -L : CW - R;
        dy = CH - B;
        break;
    }

    TScrollResult result;
    const bool edgeRules = n <= static_cast<int>(TScrollCommand::scLineRight) && (record.Move || record.Opposite);
    if (edgeRules) {
        const bool O = record.Opposite;
        const bool M = record.Move;
        const int V = std::clamp(record.OverLap, 0, 200);
        bool jumped = false;
        bool move = false;
        bool forward = true;
        if (dy < 0 && dx == 0 && CH >= B) {
            // Down at the bottom: the top of the next column.
            if (O && !bindRight && R > CW) {
                dx = V - CW;
                dy = -T;
                jumped = true;
            } else if (O && bindRight && L < 0) {
                dx = CW - V;
                dy = -T;
                jumped = true;
            }
            move = !jumped && M;
        } else if (dy > 0 && dx == 0 && T >= 0) {
            // Up at the top: the bottom of the previous column, or the
            // previous picture shown from its end.
            if (O && bindRight && R > CW) {
                dx = V - CW;
                dy = -B;
                jumped = true;
            } else if (O && !bindRight && L < 0) {
                dx = CW - V;
                dy = -B;
                jumped = true;
            }
            if (!jumped && M) {
                move = true;
                forward = false;
                result.StartAtBottom = true;
                result.StartAtOppositeSide = O;
            }
        } else if (dx < 0 && dy == 0 && CW >= R) {
            if (O && !bindRight && B > CH) {
                dx = -L;
                dy = V - CH;
                jumped = true;
            } else if (O && bindRight && T < 0) {
                dx = -L;
                dy = CH - V;
                jumped = true;
            }
            if (!jumped && M) {
                move = true;
                forward = !bindRight;
                if (bindRight) {
                    result.StartAtOppositeSide = true;
                    result.StartAtBottom = O;
                }
            }
        } else if (dx > 0 && dy == 0 && L >= 0) {
            if (O && bindRight && B > CH) {
                dx = -R;
                dy = V - CH;
                jumped = true;
            } else if (O && !bindRight && T < 0) {
                dx = -R;
                dy = CH - V;
                jumped = true;
            }
            if (!jumped && M) {
                move = true;
                forward = bindRight;
                if (!bindRight) {
                    result.StartAtBottom = O;
                    result.StartAtOppositeSide = true;
                }
            }
        }
        if (move) {
            if (fEdgeCounter != 0 && std::abs(fEdgeCounter) < fOptions.EdgeWheelCount) {
                // The wheel must be turned further against the edge.
                TScrollResult blocked;
                blocked.Blocked = true;
                return blocked;
            }
            fEdgeCounter = 0;
            result.Move = true;
            result.MoveCommand = EdgeMove(record.MoveCommand, forward);
            return result;
        }
    }

    const TPoint clamped = ClampScroll(dx, dy, content, client);
    fEdgeCounter = 0;
    result.DX = clamped.X;
    result.DY = clamped.Y;
    return result;
}

std::optional<int> TScrollController::Wheel(int delta)
{
    if (delta == 0)
        return std::nullopt;
    // High-resolution wheels and touchpads send fractions of a notch; they
    // are gathered until a whole notch is made up.
    if (fWheelRemainder != 0 && Sign(fWheelRemainder) != Sign(delta))
        fWheelRemainder = 0;
    fWheelRemainder += delta;
    const int notches = fWheelRemainder / 120;
    fWheelRemainder -= notches * 120;
    if (notches == 0)
        return std::nullopt;

    auto feed = [&](int& counter) {
        if (counter != 0 && Sign(counter) != Sign(notches))
            counter = 0;
        else
            counter += notches;
    };
    feed(fEdgeCounter);
    feed(fWheelCounter);
    if (fOptions.WheelCount > 0) {
        if (std::abs(fWheelCounter) <= fOptions.WheelCount)
            return std::nullopt;
        fWheelCounter = 0;
    }
    return notches > 0 ? 10 : 11;
}

void TScrollController::ResetCounters()
{
    fEdgeCounter = 0;
    fWheelCounter = 0;
    fWheelRemainder = 0;
}

// --- Animation --------------------------------------------------------------

void TScrollAnimation::Start(int dx, int dy, int animateSpeed)
{
    fRemaining = TPoint{dx, dy};
    fStep = TPoint{};
    const double speed = std::clamp(animateSpeed, 100, 30000) / 100.0;  // pixels per tick
    auto awayFromZero = [](double v) { return static_cast<int>(v > 0 ? std::ceil(v) : std::floor(v)); };
    if (dx != 0 && dy != 0) {
        const double angle = std::atan2(static_cast<double>(dy), static_cast<double>(dx));
        fStep = TPoint{awayFromZero(std::cos(angle) * speed), awayFromZero(std::sin(angle) * speed)};
    } else if (dx != 0) {
        fStep = TPoint{Sign(dx) * static_cast<int>(std::ceil(speed)), 0};
    } else if (dy != 0) {
        fStep = TPoint{0, Sign(dy) * static_cast<int>(std::ceil(speed))};
    }
}

TPoint TScrollAnimation::Tick()
{
    auto cut = [](int step, int remaining) {
        if (remaining == 0)
            return 0;
        return std::abs(step) > std::abs(remaining) ? remaining : step;
    };
    const TPoint step{cut(fStep.X, fRemaining.X), cut(fStep.Y, fRemaining.Y)};
    fRemaining.X -= step.X;
    fRemaining.Y -= step.Y;
    return step;
}

// --- Mouse ------------------------------------------------------------------

TQuadrant QuadrantOf(TPoint point, TSize client)
{
    const bool left = point.X <= client.Width / 2;
    const bool upper = point.Y <= client.Height / 2;
    if (upper)
        return left ? TQuadrant::qdTopLeft : TQuadrant::qdTopRight;
    return left ? TQuadrant::qdBottomLeft : TQuadrant::qdBottomRight;
}

bool DragStarted(TPoint press, TPoint now)
{
    return std::abs(now.X - press.X) > DragThreshold || std::abs(now.Y - press.Y) > DragThreshold;
}

TPoint DragScroll(TPoint delta, TDragMode mode, int dragScrollQuantity)
{
    const int q = std::clamp(dragScrollQuantity, 1, 100);
    switch (mode) {
    case TDragMode::dmGrab:
        return TPoint{delta.X * q, delta.Y * q};
    case TDragMode::dmReverseGrab:
        return TPoint{-delta.X * q, -delta.Y * q};
    default:
        return TPoint{};
    }
}

std::optional<TRubberBandZoom> RubberBandZoom(TPoint a, TPoint b, const TRect& content, TSize client)
{
    // A band no wider than a line still covers one pixel column or row.
    const int left = std::min(a.X, b.X);
    const int top = std::min(a.Y, b.Y);
    const int width = std::max(1, std::abs(b.X - a.X));
    const int height = std::max(1, std::abs(b.Y - a.Y));
    const TRect overlap = TRect::FromSize(left, top, width, height).Intersect(content);
    if (overlap.IsEmpty())
        return std::nullopt;
    TRubberBandZoom zoom;
    zoom.Anchor = TPoint{(overlap.Left + overlap.Right) / 2 - content.Left, (overlap.Top + overlap.Bottom) / 2 - content.Top};
    zoom.Factor = std::min(static_cast<double>(client.Width) / width, static_cast<double>(client.Height) / height);
    return zoom;
}

// --- Seek bar ---------------------------------------------------------------

TSeekBarMap::TSeekBarMap(int count, bool bindRight, bool seekToRight)
    : fCount(std::max(0, count)), fMirrored(bindRight && !seekToRight)
{
}

int TSeekBarMap::PositionOfIndex(int index) const
{
    const int i = std::clamp(index, 0, Max());
    return fMirrored ? Max() - i : i;
}

int TSeekBarMap::IndexOfPosition(int position) const
{
    const int p = std::clamp(position, 0, Max());
    return fMirrored ? Max() - p : p;
}

int TSeekBarMap::ClickPosition(double offset, double trackLength) const
{
    if (Max() == 0 || !(trackLength > 0))
        return 0;
    return std::clamp(RoundHalfAway(offset / (trackLength / Max())), 0, Max());
}

int TSeekBarMap::TickInterval(double trackLength) const
{
    if (Max() == 0 || !(trackLength > 0))
        return 1;
    const double perPosition = trackLength / Max();
    if (perPosition > 5)
        return 1;
    int a = 5;
    while (a * perPosition <= 5 && a < Max())
        a += 5;
    return a;
}

std::vector<int> TSeekBarMap::TickPositions(double trackLength) const
{
    std::vector<int> ticks;
    if (fCount <= 0)
        return ticks;
    const int a = TickInterval(trackLength);
    for (int i = 0; i <= Max(); i += a)
        ticks.push_back(fMirrored ? Max() - i : i);
    std::sort(ticks.begin(), ticks.end());
    return ticks;
}

std::string TSeekBarMap::MaxLabel() const
{
    return "/ " + std::to_string(fCount);
}
