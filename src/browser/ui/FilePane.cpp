#include "browser/ui/FilePane.h"

#include <QApplication>
#include <optional>

#include "shellviews/ui/ArchiveListItemModel.h"
#include "shellviews/ui/ArchiveListView.h"
#include "shellviews/ui/FileListItemModel.h"
#include "shellviews/ui/FileListView.h"

namespace {

// A resolved colour of the settings as Qt draws it; none for a system colour
// the theme did not resolve (the list's own text colour is drawn then).
std::optional<QColor> ColorOf(TColor color)
{
    if (IsSystemColor(color))
        return std::nullopt;
    return QColor(ColorRed(color), ColorGreen(color), ColorBlue(color));
}

}  // namespace

TFilePane::TFilePane(TBrowserModel& model, TQtShellInfo* icons, TUserNotifier* notifier, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent), fModel(model)
{
    setObjectName("pnlFile");
    fFileItems = std::make_unique<TFileListItemModel>(model.FileList(), icons, notifier);
    fFileView = new TFileListView(this);
    fFileView->setObjectName("lvFile");
    fFileView->SetListModel(fFileItems.get());
    fFileItems->TextColor = [this](int row) { return ColorOf(fModel.RowColor(row, false)); };
    fFileView->OnOpen = [this](const TOpenResult& result) { fModel.OpenListResult(result); };
    addWidget(fFileView);

    fArchiveItems = std::make_unique<TArchiveListItemModel>(model.ArchiveList(), icons);
    fArchiveView = new TArchiveListView(this);
    fArchiveView->setObjectName("lvArchive");
    fArchiveView->SetListModel(fArchiveItems.get());
    fArchiveItems->TextColor = [this](int row) { return ColorOf(fModel.RowColor(row, true)); };
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
    if (change.Phase != TChangePhase::cpAfter)
        return;
    if (change.Kind == TBrowserChangeKind::bcPlace)
        FollowPlace();
    // The shown pages' rows change colour as the pages turn.
    if (change.Kind == TBrowserChangeKind::bcShown) {
        fFileView->viewport()->update();
        fArchiveView->viewport()->update();
    }
}
