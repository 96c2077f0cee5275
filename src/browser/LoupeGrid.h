#pragma once

// The loupe and grid commands of the browser window: whether each is shown,
// the loupe's size and magnification and the grid's spacing, stepped by
// their commands within the limits and kept in the settings file at once, so
// that the next start finds them as they were left. The overlays that show
// them take their values from here. User-interface thread.

#include "app/Init.h"
#include "browser/ActionRules.h"
#include "browser/ActionTable.h"
#include "viewer/Loupe.h"

class TIniFile;

// What a command changed.
enum class TLoupeGridChange : uint8_t {
    lgNone,          // not one of these commands, or already at its limit
    lgLoupeShown,    // the loupe was switched on or off
    lgLoupeSize,     // LOUPE Size
    lgLoupeScale,    // LOUPE Scale
    lgGridShown,     // the grid was switched on or off (IMAGE Grid)
    lgGridInterval,  // GRID Interval
};

class TLoupeGrid {
public:
    static bool Runs(TActionId action);

    bool LoupeOn() const { return fLoupeOn; }
    bool GridOn() const { return fGridOn; }
    const TLoupeOptions& Loupe() const { return fLoupe; }
    const TGridOptions& Grid() const { return fGrid; }
    // The options in force (read at start or changed by a dialog).
    void SetOptions(const TLoupeOptions& loupe, const TGridOptions& grid);
    // The grid's last state, from section IMAGE.
    void ReadShown(const TIniFile& ini);

    // Runs one of the eight commands.
    TLoupeGridChange Run(TActionId action);
    // Writes what the change touched into the settings file (not the file
    // itself: the caller writes it).
    void Write(TIniFile& ini, TLoupeGridChange change) const;
    // The facts the commands' enabling rules need.
    void FillContext(TActionContext& context) const;

    TViewLoupeOptions ViewLoupe() const;
    TViewGridOptions ViewGrid() const;

private:
    bool fLoupeOn = false;
    bool fGridOn = false;
    TLoupeOptions fLoupe;
    TGridOptions fGrid;
};
