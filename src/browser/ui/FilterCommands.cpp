#include "browser/ui/FilterCommands.h"

#include "app/AppCore.h"
#include "base/Errors.h"
#include "browser/BrowserModel.h"
#include "common/IniFile.h"
#include "imaging/ui/FilterSelectDialog.h"

bool RunFilterSettings(QWidget* parent, TAppCore& core, TBrowserModel& model,
                       const std::function<void(const std::string&)>& report)
{
    const std::string dialogState = core.ProgramSettingsPath();
    TFilterSelectHooks hooks;
    hooks.Preview = [&model](const TFilterList& items) { model.PreviewFilters(items); };
    hooks.ReadCustomColors = [dialogState] {
        const TIniFile ini(dialogState);
        return ini.ReadString("ENV", "CustomColors", "");
    };
    hooks.WriteCustomColors = [dialogState](const std::string& colours) {
        try {
            TIniFile ini(dialogState);
            ini.WriteString("ENV", "CustomColors", colours);
            ini.UpdateFile();
        } catch (const EMirevaError&) {
            // Only the custom colours are lost.
        }
    };
    TFilterSets sets = core.FilterSets();
    // The sets open with the one in use now ticked.
    sets.Selected = model.Actions().Filter();
    TFilterSelectDialog dialog(sets, std::move(hooks), parent);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (!accepted) {
        // Nothing was changed but the picture, which shows the set in use again.
        model.EndFilterPreview();
        return false;
    }
    model.ChangeFilterSets(dialog.Result());
    try {
        TIniFile settings(core.SettingsPath());
        WriteFilterSets(settings, core.FilterSets());
        settings.UpdateFile();
    } catch (const EMirevaError& e) {
        if (report)
            report(e.what());
    }
    return true;
}
