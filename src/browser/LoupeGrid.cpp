#include "browser/LoupeGrid.h"

#include "common/IniFile.h"

bool TLoupeGrid::Runs(TActionId action)
{
    using enum TActionId;
    switch (action) {
    case actLoupe:
    case actLoupeSizeEnlarge:
    case actLoupeSizeShrink:
    case actLoupeRatioEnlarge:
    case actLoupeRatioShrink:
    case actGrid:
    case actGridEnlarge:
    case actGridShrink: return true;
    default: return false;
    }
}

void TLoupeGrid::SetOptions(const TLoupeOptions& loupe, const TGridOptions& grid)
{
    fLoupe = loupe;
    fGrid = grid;
}

void TLoupeGrid::ReadShown(const TIniFile& ini)
{
    fGridOn = ini.ReadBool("IMAGE", "Grid", false);
}

TLoupeGridChange TLoupeGrid::Run(TActionId action)
{
    using enum TActionId;
    using enum TLoupeGridChange;
    // A step that changes nothing (at a limit) writes nothing either.
    const auto step = [](int32_t& value, int next, TLoupeGridChange change) {
        if (next == value)
            return lgNone;
        value = next;
        return change;
    };
    switch (action) {
    case actLoupe: fLoupeOn = !fLoupeOn; return lgLoupeShown;
    case actGrid: fGridOn = !fGridOn; return lgGridShown;
    case actLoupeSizeEnlarge: return step(fLoupe.Size, StepLoupeSize(fLoupe.Size, fLoupe.Change, true), lgLoupeSize);
    case actLoupeSizeShrink: return step(fLoupe.Size, StepLoupeSize(fLoupe.Size, fLoupe.Change, false), lgLoupeSize);
    case actLoupeRatioEnlarge: return step(fLoupe.Scale, StepLoupeScale(fLoupe.Scale, true), lgLoupeScale);
    case actLoupeRatioShrink: return step(fLoupe.Scale, StepLoupeScale(fLoupe.Scale, false), lgLoupeScale);
    case actGridEnlarge:
        return step(fGrid.Interval, StepGridInterval(fGrid.Interval, fGrid.Change, true), lgGridInterval);
    case actGridShrink:
        return step(fGrid.Interval, StepGridInterval(fGrid.Interval, fGrid.Change, false), lgGridInterval);
    default: return lgNone;
    }
}

void TLoupeGrid::Write(TIniFile& ini, TLoupeGridChange change) const
{
    switch (change) {
    case TLoupeGridChange::lgLoupeSize: ini.WriteInteger("LOUPE", "Size", fLoupe.Size); break;
    case TLoupeGridChange::lgLoupeScale: ini.WriteInteger("LOUPE", "Scale", fLoupe.Scale); break;
    case TLoupeGridChange::lgGridInterval: ini.WriteInteger("GRID", "Interval", fGrid.Interval); break;
    case TLoupeGridChange::lgGridShown: ini.WriteBool("IMAGE", "Grid", fGridOn); break;
    default: break;
    }
}

void TLoupeGrid::FillContext(TActionContext& context) const
{
    context.LoupeShown = fLoupeOn;
    context.LoupeSize = fLoupe.Size;
    context.LoupeScale = fLoupe.Scale;
    context.GridShown = fGridOn;
    context.GridInterval = fGrid.Interval;
}

TViewLoupeOptions TLoupeGrid::ViewLoupe() const
{
    return TViewLoupeOptions{fLoupe.Size, fLoupe.Scale, fLoupe.Change, fLoupe.Hook, fLoupe.Confine};
}

TViewGridOptions TLoupeGrid::ViewGrid() const
{
    return TViewGridOptions{fGrid.Color, fGrid.Center, fGrid.Interval, fGrid.Change};
}
