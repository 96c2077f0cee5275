#include "browser/ui/FilePane.h"

#include <QApplication>

#include "shellviews/ui/ArchiveListItemModel.h"
#include "shellviews/ui/ArchiveListView.h"
#include "shellviews/ui/FileListItemModel.h"
#include "shellviews/ui/FileListView.h"

TFilePane::TFilePane(TBrowserModel& model, TQtShellInfo* icons, TUserNotifier* notifier, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent), fModel(model)
{
    setObjectName("pnlFile");
    fFileItems = std::make_unique<TFileListItemModel>(model.FileList(), icons, notifier);
    fFileView = new TFileListView(this);
    fFileView->setObjectName("lvFile");
    fFileView->SetListModel(fFileItems.get());
    fFileView->OnOpen = [this](const TOpenResult& result) { fModel.OpenListResult(result); };
    addWidget(fFileView);

    fArchiveItems = std::make_unique<TArchiveListItemModel>(model.ArchiveList(), icons);
    fArchiveView = new TArchiveListView(this);
    fArchiveView->setObjectName("lvArchive");
    fArchiveView->SetListModel(fArchiveItems.get());
    addWidget(fArchiveView);
    setStretchFactor(0, 1);
    setStretchFactor(1, 1);

    fModel.RegisterObserver(this);
    FollowPlace();
}

TFilePane::~TFilePane()
{
    fModel.UnregisterObserver(this);
    // The views go before the item models they show.
    fFileView->SetListModel(nullptr);
    fArchiveView->SetListModel(nullptr);
    delete fFileView;
    delete fArchiveView;
}

bool TFilePane::FileListHasFocus() const
{
    return fFileView->hasFocus();
}

bool TFilePane::ArchiveListHasFocus() const
{
    return fArchiveView->hasFocus();
}

void TFilePane::FocusList()
{
    if (fModel.ShownPlace().Kind == TPlaceKind::pkArchive)
        fArchiveView->setFocus();
    else
        fFileView->setFocus();
}

void TFilePane::GoUp()
{
    fModel.GoUp();
}

void TFilePane::OpenCurrent()
{
    if (fModel.ShownPlace().Kind == TPlaceKind::pkArchive) {
        fModel.ArchiveList().OpenSelected();
        return;
    }
    const int row = fModel.FileList().Selection().Focused;
    if (row >= 0)
        fModel.OpenListResult(fModel.FileList().Open(row));
}

void TFilePane::FollowPlace()
{
    // The archive list is there only while an archive is shown.
    fArchiveView->setVisible(fModel.ShownPlace().Kind == TPlaceKind::pkArchive);
}

void TFilePane::BrowserChanged(TBrowserModel&, const TBrowserChange& change)
{
    if (change.Kind == TBrowserChangeKind::bcPlace && change.Phase == TChangePhase::cpAfter)
        FollowPlace();
}
