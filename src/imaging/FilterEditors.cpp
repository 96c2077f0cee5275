#include "imaging/FilterEditors.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/Text.h"

// --- Level markers ---------------------------------------------------------------

TLevelMarkers::TLevelMarkers(int black, int white)
{
    // A damaged pair still gives markers the editor can move.
    fBlack = std::clamp(black, 0, 254);
    fWhite = std::clamp(white, fBlack + 1, 255);
}

bool TLevelMarkers::Move(TLevelMarker marker, int value)
{
    int& target = marker == TLevelMarker::lmBlack ? fBlack : fWhite;
    const int clamped = marker == TLevelMarker::lmBlack ? std::clamp(value, 0, fWhite - 1)
                                                        : std::clamp(value, fBlack + 1, 255);
    if (clamped == target)
        return false;
    fObservers.Notify([](TFilterEditObserver& o) { o.FilterEditChanged(TFilterEditChange::fcMarkers, TChangePhase::cpBefore); });
    target = clamped;
    fObservers.Notify([](TFilterEditObserver& o) { o.FilterEditChanged(TFilterEditChange::fcMarkers, TChangePhase::cpAfter); });
    return true;
}

bool TLevelMarkers::SetBlack(int value)
{
    return Move(TLevelMarker::lmBlack, value);
}

bool TLevelMarkers::SetWhite(int value)
{
    return Move(TLevelMarker::lmWhite, value);
}

TLevelMarker TLevelMarkers::Press(int panelX, int markerWidth)
{
    const int value = panelX - markerWidth / 2;
    // Compared doubled, so that the halfway point between odd sums is exact.
    fPicked = 2 * value <= fBlack + fWhite ? TLevelMarker::lmBlack : TLevelMarker::lmWhite;
    return fPicked;
}

bool TLevelMarkers::DragTo(int panelX, int markerWidth)
{
    if (fPicked == TLevelMarker::lmNone)
        return false;
    return Move(fPicked, panelX - markerWidth / 2);
}

// --- Tone curve -------------------------------------------------------------------

TToneCurveModel::TToneCurveModel(TToneCurveInfo curve) : fCurve(std::move(curve))
{
    // A curve the editor cannot keep (it never comes from the settings file,
    // which drops such curves) starts again as the straight line.
    if (!fCurve.Valid()) {
        const bool perChannel = fCurve.PerChannel;
        fCurve = TToneCurveInfo{};
        fCurve.PerChannel = perChannel;
    }
}

TToneTable TToneCurveModel::Table() const
{
    return ToneCurveTable(fCurve).value_or(IdentityTable());
}

std::vector<std::string> TToneCurveModel::PointTexts() const
{
    std::vector<std::string> texts;
    texts.reserve(fCurve.Points.size());
    for (const TToneCurvePoint& p : fCurve.Points)
        texts.push_back("(" + IntToStr(p.X) + ", " + IntToStr(p.Y) + ")");
    return texts;
}

int TToneCurveModel::ValueOfX(int px, int width)
{
    if (width <= 0)
        return 0;
    return std::clamp(static_cast<int>(std::lround(px * 255.0 / width)), 0, 255);
}

int TToneCurveModel::ValueOfY(int py, int height)
{
    if (height <= 1)
        return 0;
    return std::clamp(255 - static_cast<int>(std::lround(py * 255.0 / (height - 1))), 0, 255);
}

void TToneCurveModel::Changed(TChangePhase phase)
{
    fObservers.Notify([phase](TFilterEditObserver& o) { o.FilterEditChanged(TFilterEditChange::fcCurve, phase); });
}

int TToneCurveModel::Press(int px, int py, int width, int height)
{
    return PressValue(ValueOfX(px, width), ValueOfY(py, height));
}

bool TToneCurveModel::DragTo(int px, int py, int width, int height)
{
    return DragValue(ValueOfX(px, width), ValueOfY(py, height));
}

int TToneCurveModel::PressValue(int x, int y)
{
    x = std::clamp(x, 0, 255);
    y = std::clamp(y, 0, 255);
    auto& points = fCurve.Points;
    // The nearest point within 3 is picked.
    int best = -1;
    int bestDistance = 4;
    for (size_t i = 0; i < points.size(); ++i) {
        const int distance = std::abs(points[i].X - x);
        if (distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    if (best >= 0) {
        fPicked = best;
        return fPicked;
    }
    Changed(TChangePhase::cpBefore);
    const auto at = std::find_if(points.begin(), points.end(), [x](const TToneCurvePoint& p) { return p.X > x; });
    fPicked = static_cast<int>(at - points.begin());
    points.insert(at, TToneCurvePoint{static_cast<uint16_t>(x), static_cast<uint16_t>(y)});
    Changed(TChangePhase::cpAfter);
    return fPicked;
}

bool TToneCurveModel::DragValue(int x, int y)
{
    auto& points = fCurve.Points;
    if (fPicked < 0 || fPicked >= static_cast<int>(points.size()))
        return false;
    const size_t last = points.size() - 1;
    const size_t i = static_cast<size_t>(fPicked);
    y = std::clamp(y, 0, 255);
    TToneCurvePoint moved = points[i];
    moved.Y = static_cast<uint16_t>(y);
    if (i == 0) {
        x = std::clamp(x, 0, points[last].X - 1);
        moved.X = static_cast<uint16_t>(x);
        if (moved == points[i])
            return false;
        Changed(TChangePhase::cpBefore);
        // The first point pushes out every inner point it reaches.
        points.erase(std::remove_if(points.begin() + 1, points.end() - 1,
                                    [x](const TToneCurvePoint& p) { return p.X <= x; }),
                     points.end() - 1);
        points.front() = moved;
    } else if (i == last) {
        x = std::clamp(x, points.front().X + 1, 255);
        moved.X = static_cast<uint16_t>(x);
        if (moved == points[i])
            return false;
        Changed(TChangePhase::cpBefore);
        points.erase(std::remove_if(points.begin() + 1, points.end() - 1,
                                    [x](const TToneCurvePoint& p) { return p.X >= x; }),
                     points.end() - 1);
        points.back() = moved;
        fPicked = static_cast<int>(points.size() - 1);
    } else {
        x = std::clamp(x, 0, 255);
        moved.X = static_cast<uint16_t>(x);
        if (moved == points[i])
            return false;
        Changed(TChangePhase::cpBefore);
        if (x <= points[i - 1].X || x >= points[i + 1].X) {
            // Dragged onto or past a neighbour: the point goes, the drag ends.
            points.erase(points.begin() + static_cast<std::ptrdiff_t>(i));
            fPicked = -1;
        } else {
            points[i] = moved;
        }
    }
    Changed(TChangePhase::cpAfter);
    return true;
}

// --- Value texts -------------------------------------------------------------------

std::string ShownGamma(int stored)
{
    const double shown = stored <= 100 ? stored / 100.0 : (stored - 100) * 0.05 + 1;
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", shown);
    return text;
}

int ShownCorrection(int stored)
{
    return stored - 100;
}

namespace {

int64_t RoundAway(double v)
{
    return static_cast<int64_t>(v < 0 ? v - 0.5 : v + 0.5);
}

// A decimal number: an optional sign, digits, at most one point.
std::optional<double> Decimal(std::string_view text)
{
    if (text.empty() || text.size() > 20)
        return std::nullopt;
    size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
    int points = 0;
    int digits = 0;
    for (; i < text.size(); ++i) {
        if (text[i] == '.')
            ++points;
        else if (text[i] >= '0' && text[i] <= '9')
            ++digits;
        else
            return std::nullopt;
    }
    if (points > 1 || digits == 0)
        return std::nullopt;
    return std::strtod(std::string(text).c_str(), nullptr);
}

}  // namespace

std::optional<int> ParseGammaText(std::string_view text, int min)
{
    const std::string t = Trim(text);
    if (t.empty())
        return min;
    const std::optional<double> number = Decimal(t);
    if (!number)
        return std::nullopt;
    int64_t v = RoundAway(*number * 100);
    if (v > 100)
        v = RoundAway((v - 100) / 5.0) + 100;
    return static_cast<int>(std::clamp<int64_t>(v, -1000000, 1000000));
}

std::optional<int> ParseCorrectionText(std::string_view text, int min)
{
    const std::string t = Trim(text);
    if (t.empty())
        return min;
    const std::optional<int32_t> v = TryStrToInt(t);
    if (!v || *v < -1000000 || *v > 1000000)
        return std::nullopt;
    return *v + 100;
}

std::optional<int> ParsePlainText(std::string_view text, int min)
{
    const std::string t = Trim(text);
    if (t.empty())
        return min;
    if (!std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const std::optional<int32_t> v = TryStrToInt(t);
    if (!v)
        return std::nullopt;
    return *v;
}
