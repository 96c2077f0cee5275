#include "browser/ui/ThumbnailCommands.h"

#include <QEventLoop>
#include <QProgressDialog>

#include "browser/ui/ThumbnailControlDialog.h"
#include "common/IniFile.h"
#include "thumbnails/ThumbBatch.h"
#include "thumbnails/ThumbnailList.h"
#include "base/Texts.h"

namespace {

// The progress window of a batch: the item being read, an abort button, and
// the question whether the archives found are read too.
class TBatchWindow : public TThumbBatchObserver {
public:
    TBatchWindow(QWidget* parent, std::function<bool(const std::string&)> ask) : fDialog(parent), fAsk(std::move(ask))
    {
        fDialog.setWindowTitle(QStringLiteral("Mireva"));
        fDialog.setCancelButtonText(QString::fromUtf8(Tx("中断")));
        fDialog.setRange(0, 0);
        fDialog.setMinimumDuration(0);
        fDialog.setMinimumWidth(482);
        fDialog.setAutoClose(false);
        fDialog.setAutoReset(false);
    }

    QProgressDialog& Dialog() { return fDialog; }
    QEventLoop& Loop() { return fLoop; }

    void BatchProgress(const std::string& text) override
    {
        fDialog.setLabelText(text.empty() ? QString::fromUtf8(Tx("保存しています･･･"))
                                          : QString::fromStdString(text) + QString::fromUtf8(Tx(" を読込中･･･")));
    }
    bool BatchAskArchives(size_t) override
    {
        return fAsk(Tx("書庫内の画像のサムネイルも読み込みますか？  "));
    }
    void BatchFinished(const TThumbCounts& counts) override
    {
        Counts = counts;
        Finished = true;
        fLoop.quit();
    }

    TThumbCounts Counts;
    bool Finished = false;

private:
    QProgressDialog fDialog;
    std::function<bool(const std::string&)> fAsk;
    QEventLoop fLoop;
};

}  // namespace

TThumbnailCommands::TThumbnailCommands(TThumbnailList& list, TDispatcher& dispatcher, THost host, QWidget* window)
    : fList(list), fDispatcher(dispatcher), fHost(std::move(host)), fWindow(window)
{
}

bool TThumbnailCommands::Runs(TActionId action)
{
    return action == TActionId::actThumbnail || action == TActionId::actSaveThumbs ||
           action == TActionId::actLoadThumbs;
}

bool TThumbnailCommands::Run(TActionId action)
{
    switch (action) {
    case TActionId::actThumbnail: Manage(); return true;
    case TActionId::actSaveThumbs: return fHost.SaveShown();
    case TActionId::actLoadThumbs: LoadAll(); return true;
    default: return false;
    }
}

void TThumbnailCommands::Manage()
{
    fHost.StopShown();
    const std::string folder = fList.Store().Folder();
    const std::string settingsPath = fHost.SettingsPath ? fHost.SettingsPath() : std::string();
    try {
        const TThumbControlState state =
            settingsPath.empty() ? TThumbControlState{} : ReadThumbControlState(TIniFile(settingsPath));
        TThumbnailControlDialog dialog(folder, state, fWindow);
        const bool accepted = dialog.exec() == QDialog::Accepted;
        KeepDialogState(settingsPath, dialog.State());
        if (accepted && dialog.Changed())
            fList.ReloadIndex(folder);
    } catch (const std::exception& e) {
        fHost.Message(e.what());
    }
    fHost.StartShown();
}

void TThumbnailCommands::KeepDialogState(const std::string& settingsPath, const TThumbControlState& state)
{
    if (settingsPath.empty())
        return;
    // Read again just before writing: the settings may have changed while
    // the dialog was open. A file that cannot be written loses only the
    // dialog's state, and says so.
    try {
        TIniFile ini(settingsPath);
        WriteThumbControlState(ini, state);
        ini.UpdateFile();
    } catch (const std::exception& e) {
        fHost.Message(e.what());
    }
}

void TThumbnailCommands::LoadAll()
{
    const TThumbBatchScope scope = fHost.BatchScope();
    if (scope.Empty())
        return;
    fHost.StopShown();
    const bool overMedium = !scope.Medium.empty() && fHost.MarkMedium;
    if (overMedium)
        fHost.MarkMedium(scope, true);
    {
        TBatchWindow window(fWindow, fHost.Ask);
        TThumbBatchLoad batch(fList, fHost.Config(), fDispatcher, window);
        QObject::connect(&window.Dialog(), &QProgressDialog::canceled, [&batch] { batch.Abort(); });
        if (fHost.MediumPresent)
            batch.SetPresenceCheck([this, &scope] { return fHost.MediumPresent(scope); });
        batch.AddScope(scope);
        fWindow->setEnabled(false);
        window.Dialog().setEnabled(true);
        window.Dialog().show();
        batch.Start();
        if (!window.Finished)
            window.Loop().exec();
        fWindow->setEnabled(true);
    }
    if (overMedium)
        fHost.MarkMedium(scope, false);
    fHost.StartShown();
}
