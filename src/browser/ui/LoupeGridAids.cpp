#include "browser/ui/LoupeGridAids.h"

#include "app/AppCore.h"
#include "base/Errors.h"
#include "common/IniFile.h"
#include "viewer/ui/GridOverlay.h"
#include "viewer/ui/ImageViewFrame.h"
#include "viewer/ui/LoupeOverlay.h"
#include "viewer/PageViewer.h"

TLoupeGridAids::TLoupeGridAids(TImageViewFrame& frame, TAppCore& core, std::function<void(const std::string&)> report)
    : fFrame(frame)
    , fCore(core)
    , fReport(std::move(report))
{
    fState.SetOptions(core.Options().Loupe, core.Options().Grid);
    try {
        const TIniFile ini(core.SettingsPath());
        fState.ReadShown(ini);
    } catch (const EMirevaError&) {
        // An unreadable settings file was reported at start; the grid
        // starts hidden.
    }
    Show();
}

void TLoupeGridAids::Show()
{
    fFrame.Grid().SetOptions(fState.ViewGrid());
    fFrame.Grid().SetOn(fState.GridOn());
    fFrame.Loupe().SetOptions(fState.ViewLoupe());
    fFrame.Loupe().SetOn(fState.LoupeOn());
    // The loupe magnifies the picture's own pixels, not a reduced copy.
    fFrame.Viewer().SetDetailWanted(fState.LoupeOn());
}

bool TLoupeGridAids::Run(TActionId action)
{
    if (!Runs(action))
        return false;
    const TLoupeGridChange change = fState.Run(action);
    if (change == TLoupeGridChange::lgNone)
        return true;
    if (change != TLoupeGridChange::lgLoupeShown && change != TLoupeGridChange::lgGridShown) {
        // The options in use follow, so that the options dialog opens with
        // the values the commands left.
        TOptions options = fCore.Options();
        options.Loupe = fState.Loupe();
        options.Grid = fState.Grid();
        fCore.ChangeOptions(options);
    }
    Show();
    if (change == TLoupeGridChange::lgLoupeShown)
        return true;
    try {
        TIniFile ini(fCore.SettingsPath());
        fState.Write(ini, change);
        ini.UpdateFile();
    } catch (const EMirevaError& e) {
        if (fReport)
            fReport(e.what());
    }
    return true;
}

void TLoupeGridAids::ApplyOptions()
{
    fState.SetOptions(fCore.Options().Loupe, fCore.Options().Grid);
    Show();
}

bool TLoupeGridAids::Checked(TActionId action) const
{
    if (action == TActionId::actLoupe)
        return fState.LoupeOn();
    if (action == TActionId::actGrid)
        return fState.GridOn();
    return false;
}
