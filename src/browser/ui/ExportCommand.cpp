#include "browser/ui/ExportCommand.h"

#include <QApplication>
#include <QCursor>

#include "base/Errors.h"
#include "browser/BrowserModel.h"
#include "common/IniFile.h"
#include "export/ExportDialogModel.h"
#include "export/ui/ExportDialog.h"
#include "base/Texts.h"

TExportCommand::TExportCommand(THost host, QWidget* window) : fHost(std::move(host)), fWindow(window) {}

bool TExportCommand::Run(bool showDialog)
{
    if (!showDialog) {
        TExportSettingsStore store(fHost.DataFolder);
        const TExportDialogModel last(store, ReadExportState(TIniFile(fHost.ProgramSettings)));
        if (last.Output().empty()) {
            fHost.Message(Tx(TFileExportDialog::NoColumnText));
            return false;
        }
        if (last.LastFileName().empty()) {
            fHost.Message(Tx("出力するファイルが決まっていません  "));
            return false;
        }
        return Write(last.ExportSettings(), last.LastFileName());
    }
    TFileExportDialog dialog(fHost.DataFolder, fHost.ProgramSettings, fWindow);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const TExportSettings settings = dialog.ExportSettings();
    const std::string path = dialog.FileName();
    // The window is drawn again before the wait, not left with the
    // dialog's hole in it.
    fWindow->repaint();
    return Write(settings, path);
}

bool TExportCommand::Write(const TExportSettings& settings, const std::string& path)
{
    TBrowserModel& model = *fHost.Model;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        ExportShownList(model.FileList(), model.ListKind(), model.Selection(), settings, path, fHost.Sources);
    } catch (const EMirevaError& error) {
        QApplication::restoreOverrideCursor();
        fHost.Message(error.what());
        return false;
    }
    QApplication::restoreOverrideCursor();
    return true;
}
