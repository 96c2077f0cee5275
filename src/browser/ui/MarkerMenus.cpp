#include "browser/ui/MarkerMenus.h"

#include <QAction>
#include <QMenu>
#include <QString>

#include "app/AppCore.h"
#include "app/SettingsFileCommands.h"
#include "browser/MarkerKeeper.h"
#include "browser/ui/MarkerDialog.h"

namespace {

QString MenuText(const std::string& caption)
{
    // A name may hold "&", which a menu would take for a mnemonic.
    return QString::fromStdString(caption).replace('&', "&&");
}

}  // namespace

TMarkerMenus::TMarkerMenus(TMarkerKeeper& keeper, TAppCore& core, QWidget* window,
                           std::function<void(const std::string&)> show)
    : fKeeper(keeper), fCore(core), fWindow(window), fShow(std::move(show))
{
}

bool TMarkerMenus::Runs(TActionId action)
{
    using enum TActionId;
    switch (action) {
    case actRecentList:
    case actMarker:
    case actNextMarker:
    case actSetMark:
        return true;
    default:
        return false;
    }
}

bool TMarkerMenus::Run(TActionId action)
{
    using enum TActionId;
    switch (action) {
    case actRecentList: OpenDialog(false); return true;
    case actMarker: OpenDialog(true); return true;
    case actNextMarker: return fKeeper.NextMarker();
    case actSetMark: return fKeeper.SetMark();
    default: return false;
    }
}

void TMarkerMenus::AttachRecentMenu(QMenu* menu)
{
    QObject::connect(menu, &QMenu::aboutToShow, menu, [this, menu] { FillRecentMenu(menu); });
}

void TMarkerMenus::FillRecentMenu(QMenu* menu)
{
    // The picture being read is recorded first, so the menu shows it.
    fKeeper.Idle();
    menu->clear();
    const TRecentOptions& options = fCore.Options().Recent;
    const std::vector<TMarkerPath>& entries = fKeeper.Recent().Entries();
    const std::vector<std::string> captions = RecentMenuCaptions(entries, options.View, options.FullPath);
    for (size_t i = 0; i < captions.size(); ++i) {
        QAction* item = menu->addAction(MenuText(captions[i]));
        const TMarkerPath entry = entries[i];
        QObject::connect(item, &QAction::triggered, menu, [this, entry] { fKeeper.Open(entry); });
    }
}

void TMarkerMenus::OpenDialog(bool markers)
{
    fKeeper.Idle();
    const TMarkerDialogMode mode = markers ? TMarkerDialogMode::mdMarkers : TMarkerDialogMode::mdRecent;
    const std::vector<TMarkerPath>& current = markers ? fKeeper.Markers().Entries() : fKeeper.Recent().Entries();
    const TMarkerDialogResult result = RunMarkerDialog(fWindow, mode, current, fCore.Folders().DataFolder);
    if (result.Changed) {
        if (markers) {
            if (const std::string failure = fKeeper.ReplaceMarkers(result.Entries); !failure.empty())
                fShow(failure);
        } else {
            fKeeper.Recent().Replace(result.Entries);
        }
    }
    // The recent dialog's "full path" box is the recent-files menu's option
    // when the data folder's file is the settings file in use: the menu then
    // follows it at once, as it will at the next start.
    if (!markers && result.FullPath != fCore.Options().Recent.FullPath &&
        SameSettingsFile(fCore.SettingsPath(), fCore.ProgramSettingsPath())) {
        TOptions options = fCore.Options();
        options.Recent.FullPath = result.FullPath;
        fCore.ChangeOptions(options);
    }
    if (result.Chosen)
        fKeeper.Open(*result.Chosen);
}
