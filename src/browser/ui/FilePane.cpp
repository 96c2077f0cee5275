#include "browser/ui/FilePane.h"

#include <QApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <optional>

#include "browser/ui/ThumbnailView.h"
#include "shellviews/ThumbSource.h"
#include "shellviews/ui/ArchiveListItemModel.h"
#include "shellviews/ui/ArchiveListView.h"
#include "shellviews/ui/FileListItemModel.h"
#include "shellviews/ui/FileListView.h"
#include "base/Texts.h"

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

    fFileSource = std::make_unique<TFileThumbSource>(model.FileList());
    fFileThumbs = new TThumbnailView(this);
    fFileThumbs->setObjectName("sbxThumbnail");
    fFileThumbs->TextColor = fFileItems->TextColor;
    fFileThumbs->SetSource(fFileSource.get(), fFileItems.get(), &fFileRequester);
    fFileThumbs->OnOpen = [this](int row) { fModel.OpenListResult(fModel.FileList().Open(row)); };
    fFileThumbs->OnOtherKey = [this](QKeyEvent* event) { QApplication::sendEvent(fFileView, event); };
    insertWidget(1, fFileThumbs);
    fArchiveSource = std::make_unique<TArchiveThumbSource>(model.ArchiveList());
    fArchiveThumbs = new TThumbnailView(this);
    fArchiveThumbs->setObjectName("sbxArchiveThumbnail");
    fArchiveThumbs->TextColor = fArchiveItems->TextColor;
    fArchiveThumbs->SetSource(fArchiveSource.get(), fArchiveItems.get(), &fArchiveRequester);
    fArchiveThumbs->OnOpen = [this](int row) {
        fModel.ArchiveList().Select({row, {row}});
        fModel.ArchiveList().OpenSelected();
    };
    fArchiveThumbs->OnOtherKey = [this](QKeyEvent* event) { QApplication::sendEvent(fArchiveView, event); };
    addWidget(fArchiveThumbs);
    // Thumbnails have no editor in place: the new name is asked for, and
    // goes through the list's own editing, which reports what fails.
    fFileThumbs->OnRename = [this](int row) {
        const QModelIndex index = fFileItems->index(row, 0);
        bool ok = false;
        const QString name = QInputDialog::getText(this, QString::fromUtf8(Tx("名前の変更")), QString(), QLineEdit::Normal,
                                                   index.data(Qt::EditRole).toString(), &ok);
        if (ok)
            fFileItems->setData(index, name, Qt::EditRole);
    };
    // The list gestures of the thumbnails are those of the plain list, which
    // shares their selection: the list's own routing handles them.
    fFileThumbs->OnMouse = [this](int code, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int row) {
        return fFileView->OnMouse && fFileView->OnMouse(code, buttons, modifiers, row);
    };
    fFileThumbs->IsShown = [this](int row) { return fModel.IsShownRow(row, false); };
    fArchiveThumbs->IsShown = [this](int row) { return fModel.IsShownRow(row, true); };
    for (TThumbnailView* view : {fFileThumbs, fArchiveThumbs}) {
        view->OnGoUp = [this] { GoUp(); };
        view->OnAction = [this](TActionId action) {
            if (OnAction)
                OnAction(action);
        };
        view->hide();
    }
    for (int i = 0; i < count(); ++i)
        setStretchFactor(i, 1);

    fModel.RegisterObserver(this);
    FollowPlace();
}

TFilePane::~TFilePane()
{
    fModel.UnregisterObserver(this);
    StopThumbnails();
    fFileThumbs->SetSource(nullptr, nullptr, nullptr);
    fArchiveThumbs->SetSource(nullptr, nullptr, nullptr);
    delete fFileThumbs;
    delete fArchiveThumbs;
    // The views go before the item models they show.
    fFileView->SetListModel(nullptr);
    fArchiveView->SetListModel(nullptr);
    delete fFileView;
    delete fArchiveView;
}

bool TFilePane::FileListHasFocus() const
{
    return fFileView->hasFocus() || fFileThumbs->hasFocus();
}

bool TFilePane::ArchiveListHasFocus() const
{
    return fArchiveView->hasFocus() || fArchiveThumbs->hasFocus();
}

void TFilePane::FocusList()
{
    if (fModel.ShownPlace().Kind == TPlaceKind::pkArchive)
        (fArchiveType == TFileViewType::fvList ? static_cast<QWidget*>(fArchiveView) : fArchiveThumbs)->setFocus();
    else
        (fFileType == TFileViewType::fvList ? static_cast<QWidget*>(fFileView) : fFileThumbs)->setFocus();
}

void TFilePane::GoUp()
{
    fModel.GoUp();
}

void TFilePane::OpenCurrent()
{
    if (fModel.ShownPlace().Kind == TPlaceKind::pkArchive)
        OpenArchiveSelection();
    else
        OpenFileSelection();
}

int TFilePane::OpenFileSelection()
{
    const int row = OpenedRow(fModel.FileList().Selection());
    if (row < 0)
        return -1;
    const TOpenResult result = fModel.FileList().Open(row);
    fModel.OpenListResult(result);
    return result.Kind == TOpenKind::okFile ? row : -1;
}

int TFilePane::OpenArchiveSelection()
{
    const int row = OpenedRow(fModel.ArchiveList().Selection());
    return fModel.ArchiveList().OpenSelected() == TArchiverOpen::aoFile ? row : -1;
}

void TFilePane::FollowPlace()
{
    ApplyViewType();
}

void TFilePane::SetThumbStarter(TThumbStarter starter)
{
    StopThumbnails();
    fFileRequester.SetStarter(starter);
    fArchiveRequester.SetStarter(std::move(starter));
    StartThumbnails();
}

void TFilePane::SetThumbOptions(const TOptions& options)
{
    // Thumbnails made for another box or by another method are made again.
    const TThumbnailOptions& thumbs = options.Thumbnail;
    if (thumbs.Width != fThumbOptions.Width || thumbs.Height != fThumbOptions.Height ||
        thumbs.Stretch != fThumbOptions.Stretch)
        StopThumbnails();
    fThumbOptions = thumbs;
    for (TThumbRequester* requester : {&fFileRequester, &fArchiveRequester})
        requester->SetAllThumbnail(options.Thumbnail.AllThumbnail);
    // The pages shown get a frame of their own when their colour is in use.
    const std::optional<QColor> shown =
        options.AttrColor.Use[0] ? ColorOf(options.AttrColor.Color[0]) : std::optional<QColor>();
    for (TThumbnailView* view : {fFileThumbs, fArchiveThumbs}) {
        view->SetOptions(options.Thumbnail, options.FilerView.SizeUnit, options.List.ClickRename);
        view->ShownColor = shown;
    }
    StartThumbnails();
}

void TFilePane::StopThumbnails()
{
    fFileRequester.Stop();
    fArchiveRequester.Stop();
}

void TFilePane::ApplyViewType()
{
    const bool archive = fModel.ShownPlace().Kind == TPlaceKind::pkArchive;
    const TViewStates& states = fModel.ViewStates();
    const TFileViewType fileType = states.ViewType(fModel.ListKind(), false);
    const TFileViewType archiveType = states.ViewType(TListKind::lkFolder, true);
    const bool changed = fileType != fFileType || archiveType != fArchiveType;
    const bool focused = FileListHasFocus() || ArchiveListHasFocus();
    fFileType = fileType;
    fArchiveType = archiveType;
    fFileView->setVisible(fFileType == TFileViewType::fvList);
    fFileThumbs->setVisible(fFileType != TFileViewType::fvList);
    fFileThumbs->SetDetail(fFileType == TFileViewType::fvDetail);
    // The archive list is there only while an archive is shown.
    fArchiveView->setVisible(archive && fArchiveType == TFileViewType::fvList);
    fArchiveThumbs->setVisible(archive && fArchiveType != TFileViewType::fvList);
    fArchiveThumbs->SetDetail(fArchiveType == TFileViewType::fvDetail);
    if (changed && focused)
        FocusList();
    StartThumbnails();
}

void TFilePane::StartThumbnails()
{
    // One enumeration at a time: the archive shown goes before the folder
    // that holds it.
    const bool archive = fModel.ShownPlace().Kind == TPlaceKind::pkArchive;
    const bool archiveThumbs = archive && fArchiveType != TFileViewType::fvList && fArchiveSource->HasThumbnails();
    const bool fileThumbs = !archiveThumbs && fFileType != TFileViewType::fvList && fFileSource->HasThumbnails();
    const auto follow = [](TThumbRequester& requester, TThumbSource& source, TThumbnailView& view, bool wanted) {
        if (!wanted) {
            requester.Stop();
            return;
        }
        const TThumbPlace place = source.Place();
        if (requester.Running() && requester.Place().Folder == place.Folder &&
            requester.Place().ArchiveName == place.ArchiveName)
            return;
        if (requester.Start(place, source.WorkItems(), source.Keys()))
            view.Relayout();
    };
    follow(fFileRequester, *fFileSource, *fFileThumbs, fileThumbs);
    follow(fArchiveRequester, *fArchiveSource, *fArchiveThumbs, archiveThumbs);
}

void TFilePane::BrowserChanged(TBrowserModel&, const TBrowserChange& change)
{
    // Leaving the place stops the thumbnails asked for there.
    if (change.Kind == TBrowserChangeKind::bcPlace && change.Phase == TChangePhase::cpBefore)
        StopThumbnails();
    if (change.Phase != TChangePhase::cpAfter)
        return;
    if (change.Kind == TBrowserChangeKind::bcPlace || change.Kind == TBrowserChangeKind::bcView)
        FollowPlace();
    // The shown pages' rows change colour as the pages turn.
    if (change.Kind == TBrowserChangeKind::bcShown) {
        fFileView->viewport()->update();
        fArchiveView->viewport()->update();
        fFileThumbs->viewport()->update();
        fArchiveThumbs->viewport()->update();
    }
}
