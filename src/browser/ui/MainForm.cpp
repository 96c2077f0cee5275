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

#include "browser/FolderImages.h"
#include "browser/ViewerSettings.h"
#include "browser/ui/KeyCodes.h"
#include "collections/CompareNames.h"
#include "base/Errors.h"
#include "common/IniFile.h"
#include "base/PathUtils.h"
#include "viewer/Caption.h"
#include "viewer/ViewCommands.h"
#include "viewer/ui/ImageViewFrame.h"
#include "viewer/ui/QtHalfTone.h"

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

// The viewer keeps one picture source for its life; the window changes
// lists (and with them the loader for archive members) under it.
class TListSource : public TPictureSource {
public:
    TImageSlot Load(const TCacheItem& item) override
    {
        if (!Current) {
            TImageSlot slot;
            slot.Index = item.Index;
            return slot;
        }
        return Current->Load(item);
    }
    std::shared_ptr<TPictureSource> Current;
};

// Member names of an archive folder sort as file names do: by the
// program's name order, names differing only in case in byte order.
bool MemberBefore(const TArchiveFileInfo* a, const TArchiveFileInfo* b)
{
    const int order = CompareNames(a->Name, b->Name);
    return order != 0 ? order < 0 : a->Name < b->Name;
}

}  // namespace

TMainForm::TMainForm(TAppCore& core, TPageScaler* scaler, QWidget* parent)
    : QMainWindow(parent)
    , fCore(core)
    , fKeys(DefaultKeyBindings())
{
    setWindowTitle(AppTitle);
    setAcceptDrops(true);
    fScaler = scaler ? scaler : &fOwnScaler;

    auto source = std::make_shared<TListSource>();
    fSource = source;
    fViewer = std::make_unique<TPageViewer>(source, [this]() -> std::shared_ptr<TCacheDecoder> {
        // The cache thread works on a snapshot of the finishing step taken
        // now; a change of filter or rotation restarts it.
        return std::make_shared<TLoaderCacheDecoder>(fCore.Registry(), fArchiveSource, CurrentFinish());
    }, &fDispatcher);
    fActions = std::make_unique<TViewActions>(*fViewer);

    fFrame = new TImageViewFrame(*fViewer, *fScaler, this);
    setCentralWidget(fFrame);
    fFrame->SetKeyHandler(
        [this](int key, Qt::KeyboardModifiers modifiers) { return RouteKey(key, modifiers, true); });
    fFrame->SetMouseHandler([this](int code, Qt::KeyboardModifiers modifiers, TPoint point) {
        Carry(fActions->RunMouse(code, modifiers.testFlag(Qt::ControlModifier), point));
    });
    fFrame->SetImageBarHandler([this](TImageBarButton button) { Carry(fActions->RunImageBar(button)); });
    fFrame->SetSeekHandler([this](int index) { Carry(fActions->GoToIndex(index)); });
    fFrame->SetChangedHandler([this] { RefreshView(); });
    fFrame->SetMessageHandler([this](const std::string& text) { ShowMessage(text, TMessageIcon::miError); });

    BuildActions();
    BuildMenus();
    TIniFile settings(fCore.SettingsPath());
    ReadWindowState(settings);
    resize(1024, 768);
    ApplyOptions();
    fFrame->setFocus();
}

TMainForm::~TMainForm()
{
    // The cache thread goes before the archive it reads, and the frame
    // before the viewer and scaler it paints from (members die before the
    // base class deletes the child widgets).
    fViewer->Close();
    delete fFrame;
    fFrame = nullptr;
}

void TMainForm::SetMessageSink(TMessageSink sink)
{
    fMessageSink = std::move(sink);
    fActions->SetBatch(fMessageSink != nullptr);
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
    const bool bindLeft = fViewer->ViewState().Binding == TBinding::bdLeft;
    const TViewScrollOptions& exchange = fViewer->Options().Scroll;
    for (const TActionInfo& info : ActionTable()) {
        QAction* action = fActionItems[info.Id];
        action->setEnabled(fActions->Enabled(info.Id));
        if (info.Checkable)
            action->setChecked(fActions->Checked(info.Id));
        // A menu item shows its first key; a move item the key of the move
        // its key runs now (a left-bound book may swap the pair).
        TShortCut key = 0;
        if (const auto move = MoveCommandOf(info.Id))
            key = fKeys.FirstMoveKey(ResolveMoveCommand(*move, true, bindLeft ? TBinding::bdLeft : TBinding::bdRight,
                                                        exchange));
        else
            key = fKeys.FirstKey(info.Id);
        QString caption = ToQString(info.Caption);
        // A filter item is named after its set.
        const int filter = static_cast<int>(info.Id) - static_cast<int>(TActionId::actFilter1);
        if (filter >= 0 && filter < static_cast<int>(fCore.FilterSets().Sets.size()) && filter < 10)
            caption = QStringLiteral("&%1: %2").arg(filter + 1).arg(
                ToQString(fCore.FilterSets().Sets[static_cast<size_t>(filter)].Name));
        const QString keyText = ShortcutText(key);
        action->setText(keyText.isEmpty() ? caption : caption + '\t' + keyText);
    }
}

void TMainForm::RunAction(TActionId action)
{
    Carry(fActions->Run(action));
}

void TMainForm::Carry(const TActionOutcome& outcome)
{
    switch (outcome.Request) {
    case TWindowRequest::wrNone:
        break;
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
    case TWindowRequest::wrNextFolder:
    case TWindowRequest::wrPriorFolder:
        // Moving on to the neighbouring folder or archive comes with the
        // folder navigation; until then the end of the list stays put.
        break;
    case TWindowRequest::wrExit:
        QTimer::singleShot(0, this, [this] { close(); });
        break;
    }
    if (outcome.BarsChanged) {
        fFrame->ShowImageBar(fActions->ImageBarShown());
        fFrame->ShowSeekBar(fActions->SeekBarShown());
    }
    if (outcome.Animate)
        fFrame->StartAnimation();
    if (outcome.PicturesChanged)
        fCore.FilterSets().Selected = fActions->Filter();
    RefreshView();
}

bool TMainForm::RouteKey(int key, Qt::KeyboardModifiers modifiers, bool inImageView)
{
    const std::optional<TKeyCommand> command = fKeys.Find(ShortcutFromQt(key, modifiers), inImageView);
    if (!command)
        return false;
    Carry(fActions->RunKey(*command));
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
    fFrame->UpdateView();
    setWindowTitle(ToQString(WindowCaption(AppTitle, fViewer->CaptionText())));
    fFrame->SetPageText(PageLabel());
    const TViewerOptions& options = fViewer->Options();
    fFrame->UpdateSeekBar(fViewer->Count(), fViewer->SeekIndex(), fViewer->ViewState().BindRight(),
                          options.Picture.SeekToRight);
    UpdateActions();
}

std::string TMainForm::PageLabel() const
{
    if (fViewer->Primary().Index < 0 || fViewer->Count() == 0)
        return {};
    return fViewer->PageLabel();
}

// --- Options and state -----------------------------------------------------------

void TMainForm::ApplyOptions()
{
    const TViewerOptions options = ViewerOptionsFrom(fCore.Options(), fKeys, fCore.SystemColors());
    const bool stretchChanged = options.Picture.Stretch != fViewer->Options().Picture.Stretch;
    fViewer->SetOptions(options);
    fOwnScaler.SetStretch(options.Picture.Stretch);
    const TFilterSets& sets = fCore.FilterSets();
    fActions->SetFilterCount(static_cast<int>(sets.Sets.size()));
    fActions->SelectFilter(sets.Selected);
    fFrame->SetBackground(options.Picture.Back);
    if (stretchChanged)
        fFrame->InvalidatePages();
    fViewer->RefreshLayout(true);
    RefreshView();
}

void TMainForm::WriteWindowState(TIniFile& ini)
{
    WriteViewState(ini, fViewer->ViewState());
    ini.WriteBool("VIEW", "ImageBar", fActions->ImageBarShown());
    ini.WriteBool("VIEW", "SeekBar", fActions->SeekBarShown());
}

void TMainForm::ReadWindowState(TIniFile& ini)
{
    TViewState state = ReadViewState(ini);
    // The rotation is not kept in the file; the one chosen stays.
    state.Rotation = fViewer->ViewState().Rotation;
    fViewer->SetViewState(state);
    fActions->SetBars(ini.ReadBool("VIEW", "ImageBar", true), ini.ReadBool("VIEW", "SeekBar", false));
    fFrame->ShowImageBar(fActions->ImageBarShown());
    fFrame->ShowSeekBar(fActions->SeekBarShown());
}

void TMainForm::SuspendForSettings()
{
    // Reading another settings file rebuilds the loader registry: no
    // picture may be loading meanwhile.
    fViewer->StopCache();
}

void TMainForm::ResumeAfterSettings()
{
    // The registry was rebuilt: the shown archive needs its loader found
    // again, or it cannot be read any more.
    if (fArchive && fArchiveSource) {
        if (FindArchiveLoader(fCore.Registry(), *fArchive)) {
            TArchiveSource source = *fArchiveSource;
            source.Loader = fArchive->Loader;
            fArchiveSource = source;
            static_cast<TListSource*>(fSource.get())->Current = std::make_shared<TLoaderPictureSource>(
                fCore.Registry(), fArchiveSource, this, [this] { return CurrentFinish(); });
        } else {
            SetList({}, std::nullopt);
            fArchive.reset();
            fShown = TShownPlace{};
        }
    }
    ApplyOptions();
}

// --- Opening places ----------------------------------------------------------------

void TMainForm::SetList(std::vector<TCacheItem> items, std::optional<TArchiveSource> archive)
{
    fArchiveSource = std::move(archive);
    auto* source = static_cast<TListSource*>(fSource.get());
    source->Current = std::make_shared<TLoaderPictureSource>(fCore.Registry(), fArchiveSource, this,
                                                             [this] { return CurrentFinish(); });
    fItems = items;
    fViewer->SetList(std::move(items));
}

bool TMainForm::ShowFolder(const std::string& folder)
{
    std::vector<std::string> names;
    try {
        const TFileLoaderList& registry = fCore.Registry();
        names = ListFolderImages(folder, [&registry](std::string_view ext) { return registry.IsImageExtension(ext); });
    } catch (const EMirevaError& e) {
        ShowMessage(e.what(), TMessageIcon::miWarning);
        return false;
    }
    fShown = TShownPlace{TPlaceKind::pkFolder, IncludeTrailingPathDelimiter(folder), {}, {}};
    std::vector<TCacheItem> items;
    for (const std::string& name : names)
        items.push_back(TCacheItem{static_cast<int>(items.size()), JoinPath(fShown.Folder, name), 0, -1});
    SetList(std::move(items), std::nullopt);
    fArchive.reset();

    // The file the path named, else the folder's first picture.
    const std::string pending = fPending.FilePath;
    fPending = {};
    if (pending.empty() || !SelectAndShow(pending))
        ShowFirstImage();
    RefreshView();
    return true;
}

bool TMainForm::ShowArchive(const std::string& archivePath, const std::string& innerFolder)
{
    // The inner folder names a folder ("dir/", "x/b.zip//dir/") or an
    // archive inside the archive ("x/b.zip"), whose top is shown.
    std::string archivePart;
    std::string folder;
    if (innerFolder.empty() || innerFolder.back() == '/') {
        SplitVirtualPath(innerFolder, archivePart, folder);
    } else {
        archivePart = innerFolder;
    }
    TArchiveEnv env;
    env.Registry = &fCore.Registry();
    env.TempBase = IncludeTrailingPathDelimiter(fCore.TemporaryFolder());
    const TPendingSelection pending = fPending;
    fPending = {};
    TArchiverPtr archiver;
    try {
        archiver = ResolveVirtualPath(env, archivePath, archivePart, fArchive);
    } catch (const std::exception&) {
        archiver = nullptr;
    }
    if (!archiver || !archiver->Loader) {
        ShowMessage(ArchiveNotReadMessage(ExtractFileName(archivePath)), TMessageIcon::miWarning);
        return false;
    }

    std::vector<TArchiveFileInfo*> records;
    archiver->List(folder, true, records);
    // A folder that holds nothing but one folder (as many comics come: the
    // book's folder inside its archive) is entered at once.
    std::string opened = innerFolder;
    while (fCore.OpenOptions().ArchiveOpenSubFolder && records.size() == 1 && records.front()->IsFolder() &&
           records.front()->Path != folder) {
        folder = records.front()->Path;
        opened = archivePart.empty() ? folder : archivePart + "//" + folder;
        records.clear();
        archiver->List(folder, true, records);
    }
    std::vector<TArchiveFileInfo*> pictures;
    for (TArchiveFileInfo* record : records)
        if (!record->IsFolder() && fCore.Registry().IsImageExtension(ExtractFileExt(record->Name)))
            pictures.push_back(record);
    std::sort(pictures.begin(), pictures.end(), MemberBefore);
    std::vector<TCacheItem> items;
    for (const TArchiveFileInfo* record : pictures)
        items.push_back(TCacheItem{static_cast<int>(items.size()), record->Path + record->Name, record->Position,
                                   static_cast<int64_t>(record->Size)});
    TArchiveSource source;
    source.ArchiveName = archiver->FileName();
    source.Loader = archiver->Loader;
    // The archive (and its outer levels) stay open while any loader or
    // cache thread reads from it.
    source.KeepAlive = archiver;
    SetList(std::move(items), source);
    fArchive = archiver;
    fShown = TShownPlace{TPlaceKind::pkArchive, {}, archivePath, opened};

    // LIST OpenArchive: opening an archive shows its first picture.
    if (pending.ArchiveFileName.empty() || !SelectAndShow(pending.ArchiveFileName))
        if (fCore.Options().List.OpenArchive)
            ShowFirstImage();
    RefreshView();
    return true;
}

bool TMainForm::SelectAndShow(const std::string& name)
{
    auto found = std::find_if(fItems.begin(), fItems.end(), [&](const TCacheItem& item) { return item.Path == name; });
    // Inside an archive a bare member name is enough.
    if (found == fItems.end() && fShown.Kind == TPlaceKind::pkArchive)
        found = std::find_if(fItems.begin(), fItems.end(),
                             [&](const TCacheItem& item) { return ExtractFileName(item.Path) == name; });
    if (found == fItems.end()) {
        // An archive in the folder is opened, as a double click on it does.
        if (fShown.Kind == TPlaceKind::pkFolder && fCore.Registry().IsArchiveExtension(ExtractFileExt(name)))
            return ShowArchive(name, "");
        return false;
    }
    fViewer->Open(static_cast<int>(found - fItems.begin()));
    RefreshView();
    return true;
}

void TMainForm::ShowFirstImage()
{
    if (fViewer->Count() > 0)
        fViewer->Open(0);
    RefreshView();
}

std::string TMainForm::SingleTopFolder() const
{
    if (fShown.Kind != TPlaceKind::pkArchive || !fArchive)
        return {};
    std::vector<TArchiveFileInfo*> top;
    fArchive->List("", true, top);
    if (top.size() == 1 && top.front()->IsFolder())
        return top.front()->Path;
    return {};
}

std::string TMainForm::ShownFile() const
{
    const TImageSlot& primary = fViewer->Primary();
    if (!primary.HasBitmap() || primary.Index < 0 || primary.Index >= static_cast<int>(fItems.size()))
        return {};
    const std::string& path = fItems[static_cast<size_t>(primary.Index)].Path;
    if (fShown.Kind == TPlaceKind::pkArchive)
        return fShown.ArchivePath + "//" + path;
    return path;
}

std::vector<std::string> TMainForm::Images() const
{
    std::vector<std::string> paths;
    for (const TCacheItem& item : fItems)
        paths.push_back(item.Path);
    return paths;
}

bool TMainForm::OpenPathFromUser(const std::string& path)
{
    try {
        return OpenPath(path, fCore.ResolveContext(), fCore.OpenOptions(), *this);
    } catch (const std::exception& e) {
        ShowMessage(e.what(), TMessageIcon::miError);
        return false;
    }
}

TPictureFinish TMainForm::CurrentFinish() const
{
    const TFilterSets& sets = fCore.FilterSets();
    const int filter = fActions->Filter();
    const TFilterList* items =
        filter >= 0 && filter < static_cast<int>(sets.Sets.size()) ? &sets.Sets[static_cast<size_t>(filter)].Items : nullptr;
    const TViewState& state = fViewer->ViewState();
    return MakePictureFinish(items, state.Rotation, state.AutoRotate);
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
    try {
        fCore.DeferredStart(*this);
    } catch (const std::exception& e) {
        ShowMessage(e.what(), TMessageIcon::miError);
    }
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
    if (TImageCacheThread* cache = fViewer->Cache())
        idle = cache->WaitIdle(std::chrono::milliseconds(std::max<qint64>(0, milliseconds - clock.elapsed())));
    QCoreApplication::processEvents();
    fFrame->Render();
    return idle;
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    fCore.BeginClose();
    fViewer->StopCache();
    event->accept();
}

void TMainForm::HandOver(const THandOver& message)
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
    try {
        const std::optional<THandOverRequest> request = fCore.AcceptHandOver(message, isFullScreen());
        if (!request || !request->HasArguments)
            return;
        if (!request->SettingsPath.empty()) {
            // A settings file that cannot be read changes nothing; the rest
            // of the request still counts.
            try {
                fCore.ChangeSettings(request->SettingsPath, *this);
            } catch (const EMirevaError& e) {
                ShowMessage(e.what(), TMessageIcon::miWarning);
            }
        }
        if (request->EnterFullScreen)
            showFullScreen();
        if (!request->OpenPath.empty())
            OpenPath(request->OpenPath, fCore.ResolveContext(), fCore.OpenOptions(), *this);
    } catch (const std::exception& e) {
        ShowMessage(e.what(), TMessageIcon::miError);
    }
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
        OpenPathFromUser(ToStdString(url.toLocalFile()));
        return;
    }
}

void TMainForm::OpenDialog(bool folder)
{
    const QString start = ToQString(fShown.Kind == TPlaceKind::pkFolder ? fShown.Folder
                                    : fShown.Kind == TPlaceKind::pkArchive ? ExtractFilePath(fShown.ArchivePath)
                                                                            : fCore.Folders().WorkingFolder);
    QString chosen;
    if (folder) {
        chosen = QFileDialog::getExistingDirectory(this, QString::fromUtf8("フォルダを開く"), start);
    } else {
        // Pictures and archives the loaders read, by their extensions.
        QStringList patterns;
        for (const std::string& ext : fCore.Registry().ImageExtensions())
            patterns << "*" + ToQString(ext).toLower();
        for (const std::string& ext : fCore.Registry().ArchiveExtensions())
            patterns << "*" + ToQString(ext).toLower();
        const QString filter = QString::fromUtf8("画像と書庫 (%1);;すべてのファイル (*)").arg(patterns.join(' '));
        chosen = QFileDialog::getOpenFileName(this, QString::fromUtf8("開く"), start, filter);
    }
    if (!chosen.isEmpty())
        OpenPathFromUser(ToStdString(chosen));
}

void TMainForm::RatioDialog()
{
    bool ok = false;
    const int percent = QInputDialog::getInt(this, QString::fromUtf8("倍率の入力"), QString::fromUtf8("倍率 (%):"),
                                             CustomRatioPercent(fViewer->ViewState().CustomRatio), 1, 800, 1, &ok);
    if (ok)
        Carry(fActions->ApplyEnteredRatio(percent));
}

void TMainForm::SizeDialog()
{
    QDialog dialog(this);
    dialog.setWindowTitle(QString::fromUtf8("サイズの指定"));
    auto* layout = new QFormLayout(&dialog);
    auto* size = new QSpinBox(&dialog);
    size->setRange(1, 5000);
    size->setSuffix(QStringLiteral(" px"));
    size->setValue(fViewer->ViewState().SetSize);
    auto* height = new QRadioButton(QString::fromUtf8("高さ(&V)"), &dialog);
    height->setObjectName("rbVert");
    auto* width = new QRadioButton(QString::fromUtf8("幅(&H)"), &dialog);
    width->setObjectName("rbHorz");
    (fViewer->ViewState().SizeDir == TSizeDir::sdWidth ? width : height)->setChecked(true);
    layout->addRow(QString::fromUtf8("サイズ:"), size);
    layout->addRow(height);
    layout->addRow(width);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    if (dialog.exec() == QDialog::Accepted)
        Carry(fActions->ApplyImageSize(size->value(), width->isChecked() ? TSizeDir::sdWidth : TSizeDir::sdHeight));
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
