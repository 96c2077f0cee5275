#include "browser/ui/SearchProgressWindow.h"
#include "base/Texts.h"

#include <QProgressDialog>
#include <QWidget>

TSearchProgressWindow::TSearchProgressWindow(TSearchFolder& folder, QWidget* window)
    : QObject(window), fFolder(folder), fWindow(window)
{
    fFolder.RegisterObserver(this);
}

TSearchProgressWindow::~TSearchProgressWindow()
{
    fFolder.UnregisterObserver(this);
    delete fDialog;
}

void TSearchProgressWindow::SearchChanged(TSearchFolder& folder, const TSearchChange& change)
{
    fProgress.Apply(change, folder.Count());
    if (!fProgress.Running()) {
        Close();
        return;
    }
    if (!fDialog) {
        fDialog = new QProgressDialog(QString(), Tx("キャンセル"), 0, 0, fWindow);
        fDialog->setWindowTitle("Mireva");
        fDialog->setWindowModality(Qt::WindowModal);
        fDialog->setAutoClose(false);
        fDialog->setAutoReset(false);
        // Stopping announces the end, which closes the window.
        connect(fDialog, &QProgressDialog::canceled, this, [this] { fFolder.StopSearch(); });
    }
    fDialog->setLabelText(QString::fromStdString(fProgress.Label()));
    if (!fDialog->isVisible())
        fDialog->show();
}

void TSearchProgressWindow::Close()
{
    if (!fDialog)
        return;
    // The cancel that led here is still on the dialog's stack.
    QProgressDialog* dialog = fDialog;
    fDialog = nullptr;
    dialog->hide();
    dialog->deleteLater();
}
