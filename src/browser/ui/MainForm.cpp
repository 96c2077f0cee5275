#include "browser/ui/MainForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "app/AppCore.h"
#include "browser/ui/KeyCodes.h"
#include "viewer/Caption.h"
#include "viewer/ViewCommands.h"
#include "viewer/ui/ImageViewFrame.h"

namespace {

const char* const AppTitle = "Mireva";

QString ToQString(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToStdString(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace

TMainForm::TMainForm(TAppCore& core, TPageScaler* scaler, QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(AppTitle);
    setAcceptDrops(true);
    fScaler = scaler ? scaler : &fOwnScaler;
    fModel = std::make_unique<TBrowserModel>(core, *this, &fDispatcher);
    TPageViewer& viewer = fModel->Viewer();

    fFrame = new TImageViewFrame(viewer, *fScaler, this);
    setCentralWidget(fFrame);
    fFrame->SetKeyHandler(
        [this](int key, Qt::KeyboardModifiers modifiers) { return RouteKey(key, modifiers, true); });
    fFrame->SetMouseHandler([this](int code, Qt::KeyboardModifiers modifiers, TPoint point) {
        Carry(fModel->Carry(fModel->Actions().RunMouse(code, modifiers.testFlag(Qt::ControlModifier), point)));
    });
    fFrame->SetImageBarHandler(
        [this](TImageBarButton button) { Carry(fModel->Carry(fModel->Actions().RunImageBar(button))); });
    fFrame->SetSeekHandler([this](int index) { Carry(fModel->Carry(fModel->Actions().GoToIndex(index))); });
    fFrame->SetChangedHandler([this] { fModel->ViewChanged(); });
    fFrame->SetMessageHandler([this](const std::string& text) { ShowMessage(text, TMessageIcon::miError); });

    BuildActions();
    BuildMenus();
    fModel->RegisterObserver(this);
    resize(1024, 768);
    ApplyOptions();
    fFrame->ShowImageBar(fModel->Actions().ImageBarShown());
    fFrame->ShowSeekBar(fModel->Actions().SeekBarShown());
    RefreshView();
    fFrame->setFocus();
}

TMainForm::~TMainForm()
{
    // The model (and with it the cache thread and the archive it reads) goes
    // after the frame that paints from its viewer.
    fModel->UnregisterObserver(this);
    delete fFrame;
    fFrame = nullptr;
    fModel.reset();
}

void TMainForm::SetMessageSink(TMessageSink sink)
{
    fMessageSink = std::move(sink);
    fModel->SetBatch(fMessageSink != nullptr);
}

void TMainForm::BrowserChanged(TBrowserModel&, const TBrowserChange& change)
{
    if (change.Phase != TChangePhase::cpAfter)
        return;
    switch (change.Kind) {
    case TBrowserChangeKind::bcOptions:
        ApplyOptions();
        break;
    case TBrowserChangeKind::bcShown:
    case TBrowserChangeKind::bcView:
        RefreshView();
        break;
    case TBrowserChangeKind::bcPlace:
    case TBrowserChangeKind::bcSelection:
        break;
    }
}

// --- Actions and menus -----------------------------------------------------------

void TMainForm::BuildActions()
{
    for (const TActionInfo& info : ActionTable()) {
        auto* action = new QAction(ToQString(info.Caption), this);
        action->setObjectName(info.Name);
        action->setCheckable(info.Checkable);
        const TActionId id = info.Id;
        connect(action, &QAction::triggered, this, [this, id] { RunAction(id); });
        fActionItems[id] = action;
    }
    // The image bar's mode buttons.
    for (TActionId id : {TActionId::actAuto, TActionId::actSingle, TActionId::actSpread})
        fFrame->AddImageBarAction(fActionItems[id]);
}

QMenu* TMainForm::AddMenu(QMenu* parent, const char* title, std::initializer_list<TActionId> actions)
{
    QMenu* menu = parent ? parent->addMenu(ToQString(title)) : menuBar()->addMenu(ToQString(title));
    for (TActionId id : actions)
        menu->addAction(fActionItems[id]);
    return menu;
}

void TMainForm::BuildMenus()
{
    using enum TActionId;
    QMenu* file = AddMenu(nullptr, "ファイル(&F)", {actOpen, actOpenFolder});
    file->addSeparator();
    file->addAction(fActionItems[actClose]);
    file->addSeparator();
    file->addAction(fActionItems[actExit]);

    QMenu* move = AddMenu(nullptr, "移動(&M)", {actFirst, actNext, actPrior, actS_Next, actS_Prior, actLast});
    move->addSeparator();
    move->addAction(fActionItems[actJ_Next]);
    move->addAction(fActionItems[actJ_Prior]);
    move->addSeparator();
    move->addAction(fActionItems[actR_Next]);
    move->addAction(fActionItems[actR_Prior]);

    QMenu* image = AddMenu(nullptr, "イメージ(&I)", {actAuto, actSingle, actSpread});
    image->addSeparator();
    AddMenu(image, "綴じ方向(&B)", {actBindRight, actBindLeft});
    QMenu* fit = AddMenu(image, "ウィンドウに合わせる(&W)", {actWinAll, actWinWidth, actWinHeight});
    fit->addSeparator();
    for (TActionId id : {actNoEnlarge, actEqualHeight, actEqualRatio, actCenter, actHalfV, actHalfH})
        fit->addAction(fActionItems[id]);
    QMenu* ratio =
        AddMenu(image, "表示倍率(&R)", {act25, act50, act75, act100, act150, act200, act300, act400, act800});
    ratio->addSeparator();
    ratio->addAction(fActionItems[actSetRatio]);
    ratio->addAction(fActionItems[actImageSize]);
    image->addSeparator();
    for (TActionId id : {actEnlarge, actShrink, actDefSize})
        image->addAction(fActionItems[id]);
    image->addSeparator();
    AddMenu(image, "フィルタ(&F)",
            {actFilterNone, actFilter1, actFilter2, actFilter3, actFilter4, actFilter5, actFilter6, actFilter7,
             actFilter8, actFilter9, actFilter10});
    QMenu* rotate =
        AddMenu(image, "回転・反転(&T)", {actRotateNone, actR90, actL90, act180, actReverseV, actReverseH});
    rotate->addSeparator();
    rotate->addAction(fActionItems[actAutoRotate]);

    AddMenu(nullptr, "表示(&V)", {actImageToolBar, actSeekBar});

    // Actions without a menu item still run from their keys.
    for (TActionId id : {actSpreadChange, actBindChange, actWindowChange, actRatioChange, actRatioChangeRev,
                         actRotateChange})
        addAction(fActionItems[id]);
}

QAction* TMainForm::Action(TActionId action) const
{
    const auto it = fActionItems.find(action);
    return it == fActionItems.end() ? nullptr : it->second;
}

void TMainForm::UpdateActions()
{
    const TViewActions& actions = fModel->Actions();
    const TPageViewer& viewer = fModel->Viewer();
    const TKeyBindings& keys = fModel->Keys();
    const bool bindLeft = viewer.ViewState().Binding == TBinding::bdLeft;
    const TViewScrollOptions& exchange = viewer.Options().Scroll;
    const TFilterSets& sets = fModel->FilterSets();
    for (const TActionInfo& info : ActionTable()) {
        QAction* action = fActionItems[info.Id];
        action->setEnabled(actions.Enabled(info.Id));
        if (info.Checkable)
            action->setChecked(actions.Checked(info.Id));
        // A menu item shows its first key; a move item the key of the move
        // its key runs now (a left-bound book may swap the pair).
        TShortCut key = 0;
        if (const auto move = MoveCommandOf(info.Id))
            key = keys.FirstMoveKey(
                ResolveMoveCommand(*move, true, bindLeft ? TBinding::bdLeft : TBinding::bdRight, exchange));
        else
            key = keys.FirstKey(info.Id);
        QString caption = ToQString(info.Caption);
        // A filter item is named after its set.
        const int filter = static_cast<int>(info.Id) - static_cast<int>(TActionId::actFilter1);
        if (filter >= 0 && filter < static_cast<int>(sets.Sets.size()) && filter < 10)
            caption = QStringLiteral("&%1: %2").arg(filter + 1).arg(
                ToQString(sets.Sets[static_cast<size_t>(filter)].Name));
        const QString keyText = ShortcutText(key);
        action->setText(keyText.isEmpty() ? caption : caption + '\t' + keyText);
    }
}

void TMainForm::RunAction(TActionId action)
{
    Carry(fModel->RunAction(action));
}

void TMainForm::Carry(const TActionOutcome& outcome)
{
    switch (outcome.Request) {
    case TWindowRequest::wrOpenDialog:
        OpenDialog(false);
        break;
    case TWindowRequest::wrOpenFolderDialog:
        OpenDialog(true);
        break;
    case TWindowRequest::wrRatioDialog:
        RatioDialog();
        break;
    case TWindowRequest::wrSizeDialog:
        SizeDialog();
        break;
    case TWindowRequest::wrExit:
        QTimer::singleShot(0, this, [this] { close(); });
        break;
    case TWindowRequest::wrNone:
    case TWindowRequest::wrNextFolder:
    case TWindowRequest::wrPriorFolder:
        break;
    }
    if (outcome.BarsChanged) {
        fFrame->ShowImageBar(fModel->Actions().ImageBarShown());
        fFrame->ShowSeekBar(fModel->Actions().SeekBarShown());
    }
    if (outcome.Animate)
        fFrame->StartAnimation();
}

bool TMainForm::RouteKey(int key, Qt::KeyboardModifiers modifiers, bool inImageView)
{
    const std::optional<TActionOutcome> outcome = fModel->RunShortcut(ShortcutFromQt(key, modifiers), inImageView);
    if (!outcome)
        return false;
    Carry(*outcome);
    return true;
}

void TMainForm::keyPressEvent(QKeyEvent* event)
{
    if (RouteKey(event->key(), event->modifiers(), false)) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        showNormal();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TMainForm::RefreshView()
{
    if (!fFrame)
        return;
    const TPageViewer& viewer = fModel->Viewer();
    fFrame->UpdateView();
    setWindowTitle(ToQString(WindowCaption(AppTitle, viewer.CaptionText())));
    fFrame->SetPageText(fModel->PageLabel());
    fFrame->UpdateSeekBar(viewer.Count(), viewer.SeekIndex(), viewer.ViewState().BindRight(),
                          viewer.Options().Picture.SeekToRight);
    UpdateActions();
}

void TMainForm::ApplyOptions()
{
    if (!fFrame)
        return;
    const TViewPictureOptions& picture = fModel->Viewer().Options().Picture;
    const bool stretchChanged = picture.Stretch != fOwnScaler.Mode();
    fOwnScaler.SetStretch(picture.Stretch);
    fFrame->SetBackground(picture.Back);
    if (stretchChanged)
        fFrame->InvalidatePages();
}

// --- Start, hand-over, close -------------------------------------------------------

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (fStartPosted)
        return;
    fStartPosted = true;
    // Opening may take a while and show messages: let the window appear
    // first.
    QMetaObject::invokeMethod(this, [this] { DeferredStart(); }, Qt::QueuedConnection);
}

void TMainForm::DeferredStart()
{
    fModel->DeferredStart();
    // The picture is painted by the events already queued; settle after them.
    QTimer::singleShot(0, this, [this] {
        if (fSettled) {
            const std::function<void()> settled = std::move(fSettled);
            fSettled = nullptr;
            settled();
        }
    });
}

bool TMainForm::Settle(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::processEvents();
    bool idle = true;
    if (TImageCacheThread* cache = fModel->Viewer().Cache())
        idle = cache->WaitIdle(std::chrono::milliseconds(std::max<qint64>(0, milliseconds - clock.elapsed())));
    QCoreApplication::processEvents();
    fFrame->Render();
    return idle;
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    fModel->BeginClose();
    event->accept();
}

void TMainForm::HandOver(const THandOver& message)
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
    if (fModel->HandOver(message, isFullScreen()).EnterFullScreen)
        showFullScreen();
}

// --- Drops and dialogs ---------------------------------------------------------------

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) {
                event->acceptProposedAction();
                return;
            }
}

void TMainForm::dropEvent(QDropEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (!data)
        return;
    // The first local path is opened, as a path given on the command line.
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        event->acceptProposedAction();
        activateWindow();
        fModel->OpenPathFromUser(ToStdString(url.toLocalFile()));
        return;
    }
}

void TMainForm::OpenDialog(bool folder)
{
    const QString start = ToQString(fModel->DialogStartFolder());
    QString chosen;
    if (folder) {
        chosen = QFileDialog::getExistingDirectory(this, QString::fromUtf8("フォルダを開く"), start);
    } else {
        // Pictures and archives the loaders read, by their extensions.
        QStringList patterns;
        const TLoaderSetPtr& loaders = fModel->Loaders();
        for (const std::string& ext : loaders->ImageExtensions())
            patterns << "*" + ToQString(ext).toLower();
        for (const std::string& ext : loaders->ArchiveExtensions())
            patterns << "*" + ToQString(ext).toLower();
        const QString filter = QString::fromUtf8("画像と書庫 (%1);;すべてのファイル (*)").arg(patterns.join(' '));
        chosen = QFileDialog::getOpenFileName(this, QString::fromUtf8("開く"), start, filter);
    }
    if (!chosen.isEmpty())
        fModel->OpenPathFromUser(ToStdString(chosen));
}

void TMainForm::RatioDialog()
{
    bool ok = false;
    const int percent = QInputDialog::getInt(this, QString::fromUtf8("倍率の入力"), QString::fromUtf8("倍率 (%):"),
                                             CustomRatioPercent(fModel->Viewer().ViewState().CustomRatio), 1, 800, 1, &ok);
    if (ok)
        Carry(fModel->Carry(fModel->Actions().ApplyEnteredRatio(percent)));
}

void TMainForm::SizeDialog()
{
    QDialog dialog(this);
    dialog.setWindowTitle(QString::fromUtf8("サイズの指定"));
    auto* layout = new QFormLayout(&dialog);
    auto* size = new QSpinBox(&dialog);
    size->setRange(1, 5000);
    size->setSuffix(QStringLiteral(" px"));
    size->setValue(fModel->Viewer().ViewState().SetSize);
    auto* height = new QRadioButton(QString::fromUtf8("高さ(&V)"), &dialog);
    height->setObjectName("rbVert");
    auto* width = new QRadioButton(QString::fromUtf8("幅(&H)"), &dialog);
    width->setObjectName("rbHorz");
    (fModel->Viewer().ViewState().SizeDir == TSizeDir::sdWidth ? width : height)->setChecked(true);
    layout->addRow(QString::fromUtf8("サイズ:"), size);
    layout->addRow(height);
    layout->addRow(width);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    if (dialog.exec() == QDialog::Accepted)
        Carry(fModel->Carry(
            fModel->Actions().ApplyImageSize(size->value(), width->isChecked() ? TSizeDir::sdWidth : TSizeDir::sdHeight)));
}

void TMainForm::ShowMessage(const std::string& text, TMessageIcon icon)
{
    if (fMessageSink) {
        fMessageSink(text, icon);
        return;
    }
    QMessageBox::Icon boxIcon = QMessageBox::Information;
    switch (icon) {
    case TMessageIcon::miInformation: boxIcon = QMessageBox::Information; break;
    case TMessageIcon::miWarning: boxIcon = QMessageBox::Warning; break;
    case TMessageIcon::miError: boxIcon = QMessageBox::Critical; break;
    case TMessageIcon::miQuestion: boxIcon = QMessageBox::Question; break;
    }
    QMessageBox box(boxIcon, AppTitle, ToQString(text), QMessageBox::Ok, this);
    box.exec();
}
