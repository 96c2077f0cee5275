#include "browser/ui/MainForm.h"
#include "browser/ui/ViewAids.h"
#include "browser/ui/LoupeGridAids.h"
#include "browser/ui/PointerHider.h"

#include <QAction>
#include <QAbstractItemView>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFormLayout>
#include <QImage>
#include <QInputDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QRadioButton>
#include <QRegularExpression>
#include <QShowEvent>
#include <QSpinBox>
#include <QScreen>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <set>

#include "app/AppCore.h"
#include "base/PathUtils.h"
#include "browser/DialogPage.h"
#include "browser/ui/DropController.h"
#include "browser/ui/AppCommandRunner.h"
#include "browser/ui/FileCommandRunner.h"
#include "browser/CollectionCommands.h"
#include "browser/ImageList.h"
#include "browser/ListKind.h"
#include "browser/MarkerKeeper.h"
#include "browser/NamedPlace.h"
#include "browser/ShortcutText.h"
#include "browser/WindowTitle.h"
#include "browser/ui/AddressBox.h"
#include "browser/ui/CollectionIconLoader.h"
#include "browser/ui/FilePane.h"
#include "browser/ui/KeyCodes.h"
#include "browser/ui/FilterCommands.h"
#include "browser/ui/ImageWindowForm.h"
#include "browser/ui/ImageWindowHost.h"
#include "browser/ui/KeyCustomizeDialog.h"
#include "browser/ui/MarkerMenus.h"
#include "browser/ui/CategoryCommands.h"
#include "browser/ui/ExportCommand.h"
#include "browser/ui/MediaCommands.h"
#include "browser/ui/ShelfCommands.h"
#include "browser/ui/MouseCustomizeDialog.h"
#include "browser/ui/ImagePopupMenu.h"
#include "browser/ui/MouseRouting.h"
#include "browser/ui/StatusBarPane.h"
#include "browser/ui/SearchPane.h"
#include "browser/ui/ThumbnailCommands.h"
#include "browser/ui/TreePane.h"
#include "collections/ui/SearchFrame.h"
#include "collections/Shelf.h"
#include "shellviews/ui/ArchiveListView.h"
#include "shellviews/ui/FileListView.h"
#include "shellviews/ui/FolderTreeView.h"
#include "shellviews/ui/ShellTreeItemModel.h"
#include "thumbnails/EnumThumbs.h"
#include "viewer/Caption.h"
#include "viewer/ViewCommands.h"
#include "viewer/ui/BitmapImage.h"
#include "common/Bitmap.h"
#include "common/DateTime.h"
#include "common/IniFile.h"
#include "viewer/ui/ImageViewFrame.h"
#include "viewer/ui/LoupeOverlay.h"
#include "base/Texts.h"

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

// Sub-menus are named after their caption's letters, so tests and
// accessibility tools can find them.
QString MenuName(const char* caption)
{
    QString name = QString::fromUtf8(caption);
    name.remove('&');
    return name;
}

// A tool button's text: the caption without its accelerator ("(&U)") and
// the dots of a dialog.
QString ButtonText(QString caption)
{
    static const QRegularExpression accelerator(QStringLiteral("\\(&.\\)"));
    caption.remove(accelerator);
    caption.remove('&');
    if (caption.endsWith(QStringLiteral("...")))
        caption.chop(3);
    return caption;
}

// Bits per pixel of a picture as loaded.
int BitsOf(PixelFormat format)
{
    switch (format) {
    case PixelFormat::Bits1: return 1;
    case PixelFormat::Bits4: return 4;
    case PixelFormat::Bits8: return 8;
    case PixelFormat::Bits15: return 15;
    case PixelFormat::Bits16: return 16;
    case PixelFormat::Bits32: return 32;
    case PixelFormat::Device:
    case PixelFormat::Bits24:
    case PixelFormat::Custom: break;
    }
    return 24;
}

}  // namespace

TMainForm::TMainForm(TAppCore& core, TPageScaler* scaler, QWidget* parent) : QMainWindow(parent), fCore(core)
{
    setWindowTitle(AppTitle);
    setAcceptDrops(true);
    fScaler = scaler ? scaler : &fOwnScaler;
    LoadCollections();
    TBrowserSources sources;
    sources.Info = &fShellInfo;
    sources.Shelves = &fShelves;
    sources.Media = &fMedia;
    sources.Categories = &fCategories;
    sources.Notifier = &fNotifier;
    fModel = std::make_unique<TBrowserModel>(core, *this, &fDispatcher, sources);
    fKeeper = std::make_unique<TMarkerKeeper>(*fModel, core);
    fModel->SetRememberedFinder(
        [this](const TShownPlace& place, bool sameArchive) { return fKeeper->Remembered(place, sameArchive); });
    fMarkerMenus = std::make_unique<TMarkerMenus>(*fKeeper, core, this, [this](const std::string& text) {
        ShowMessage(text, TMessageIcon::miWarning);
    });
    for (const std::string& problem : fKeeper->Load())
        ShowMessage(problem, TMessageIcon::miWarning);
    // The media catalogues: read at start, registered and updated from discs.
    fMediaCommands = std::make_unique<TMediaCommands>(this, fMedia, core.Folders().DataFolder, fDispatcher);
    fMediaCommands->SettingsPath = [this] { return fCore.SettingsPath(); };
    fMediaCommands->SetIcons(&fShellInfo);
    if (const std::string problem = fMediaCommands->Load(); !problem.empty())
        ShowMessage(problem, TMessageIcon::miWarning);
    TPageViewer& viewer = fModel->Viewer();
    // Page steps decode off the window's thread; the dispatcher brings them back.
    viewer.SetAsyncSteps(true);
    fModel->OnDeferredOutcome = [this](const TActionOutcome& outcome) { Carry(outcome); };

    fFrame = new TImageViewFrame(viewer, *fScaler, this);
    fFrame->setObjectName("ImageViewFrame");
    fFrame->SetKeyHandler([this](int key, Qt::KeyboardModifiers modifiers) {
        if (RouteKey(key, modifiers, true))
            return true;
        // The menu key or Shift+F10, unless bound to a command, opens the
        // view's context menu at its top-left corner.
        const bool menuKey = key == Qt::Key_Menu || (key == Qt::Key_F10 && modifiers == Qt::ShiftModifier);
        if (!menuKey)
            return false;
        ShowImagePopup(fFrame->Area()->mapToGlobal(QPoint(0, 0)), true, TTargetPage::tpAsk);
        return true;
    });
    fFrame->SetImageBarHandler(
        [this](TImageBarButton button) { Carry(fModel->Carry(fModel->Actions().RunImageBar(button))); });
    fFrame->SetSeekHandler([this](int index) { Carry(fModel->Carry(fModel->Actions().GoToIndex(index))); });
    fFrame->SetChangedHandler([this] { fModel->ViewChanged(); });
    fFrame->SetMessageHandler([this](const std::string& text) { ShowMessage(text, TMessageIcon::miError); });

    BuildActions();
    BuildPanes();
    // A catalogue is read from its file when a view first shows it.
    const auto loadCatalogue = [this](TMediaFolder& medium) { fMediaCommands->EnsureCatalogue(medium); };
    fModel->FileList().OnMediaLoading = loadCatalogue;
    fTreePane->Tree(TTreeKind::tkMedia).OnMediaLoading = loadCatalogue;
    // Categories: read at start; a category gathers and sorts its files the
    // first time a view shows it, and the tree shows its levels.
    fCategoryCommands = std::make_unique<TCategoryCommands>(this, fCategories, core.Folders().DataFolder);
    fCategoryCommands->SetIcons(&fShellInfo);
    if (const std::string problem = fCategoryCommands->Load(); !problem.empty())
        ShowMessage(problem, TMessageIcon::miWarning);
    const auto loadCategory = [this](TCategoryFolder& category) { fCategoryCommands->EnsureLoaded(category); };
    fModel->FileList().OnCategoryLoading = loadCategory;
    fTreePane->Tree(TTreeKind::tkCategory).OnCategoryLoading = loadCategory;
    fTreePane->Tree(TTreeKind::tkCategory).CategoryChildren = &TCategoryCommands::Children;
    // A snapshot run answers the category questions as --yes says.
    fCategoryCommands->Ask = [this, ask = fCategoryCommands->Ask](const std::string& text) {
        if (!fMessageSink)
            return ask(text);
        fMessageSink(text + (fAnswerYes ? " -> yes (--yes)" : " -> no (asked in a snapshot run; --yes answers yes)"),
                     TMessageIcon::miQuestion);
        return fAnswerYes;
    };
    fTreePane->OnCategoryButton = [this](TCategoryButton button) {
        fCategoryCommands->RunButton(button, fTreePane->Tree(TTreeKind::tkCategory));
        UpdateActions();
    };
    fCategories.MediaSource = [this](const TSearchTargetSpec& target) {
        for (int i = 0; i < fMedia.Count(); ++i)
            if (target.Name.empty() || fMedia.Medium(i)->Name() == target.Name)
                fMediaCommands->EnsureCatalogue(*fMedia.Medium(i));
        return MediumSourceFor(fMedia, target);
    };
    fFileCommands = std::make_unique<TFileCommandRunner>(
        core, *fModel, TFileCommandRunner::TPanes{*fFilePane, *fTreePane, fShelves, fMedia, fCategories}, *this);
    fAppCommands = std::make_unique<TAppCommandRunner>(core, *fModel, *fTreePane, *this);
    fAppCommands->SetOnChanged([this] { UpdateActions(); });
    fShelfCommands = std::make_unique<TShelfCommandRunner>(
        TShelfCommandRunner::THost{*fModel, *fTreePane, fShelves, fShelfStore.get(), &fShellInfo,
                                   [this] { return Target(); }},
        *this);
    fDrops = std::make_unique<TDropController>(*fModel, fFileCommands->Commands(), fShelves, *this);
    TExportCommand::THost exportHost{fModel.get(), {&fShelves, &fMedia, &fShellInfo, loadCatalogue},
                                     core.Folders().DataFolder, core.ProgramSettingsPath(),
                                     [this](const std::string& text) { ShowMessage(text, TMessageIcon::miError); }};
    fExportCommand = std::make_unique<TExportCommand>(std::move(exportHost), this);
    fDrops->Attach(*fFilePane->FileView(), *fFilePane->ArchiveView());
    fDrops->AttachThumbnails(*fFilePane->FileThumbView(), *fFilePane->ArchiveThumbView());
    for (const TTreeKind kind : {TTreeKind::tkFolder, TTreeKind::tkShelf, TTreeKind::tkMedia, TTreeKind::tkCategory})
        if (TFolderTreeView* tree = fTreePane->View(kind))
            fDrops->AttachTree(*tree);
    fDrops->OnFilesChanged = [this] { fModel->Refresh(); };
    fDrops->OnShelvesChanged = [this] {
        try {
            if (fShelfStore)
                fShelfStore->Save(fShelves);
        } catch (const EFileError& error) {
            QMessageBox::warning(this, QStringLiteral("Mireva"), QString::fromStdString(error.what()));
        }
    };
    // Shelves deleted or renamed and members taken off by the file commands
    // are written as a drop's are.
    fFileCommands->Collections().OnShelvesChanged = fDrops->OnShelvesChanged;
    // A shelf renamed in place in the shelf tree is written as well.
    fShelves.OnRenamed = [this](TCustomFolderList&, int, const std::string&) { fDrops->OnShelvesChanged(); };
    // Paste follows what the clipboard holds, whoever put it there.
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] { ScheduleRefresh(); });
    // Clicks, wheel turns and drags in the image view and on the file list
    // run what the mouse bindings say.
    const TMouseRoutes mouse{[this](TActionId action, TTargetPage page) { RunAction(action, page); },
                             [this](const TActionOutcome& outcome) { Carry(outcome); },
                             [this](QPoint position, TTargetPage page) { ShowImagePopup(position, false, page); }};
    RouteImageMouse(*fFrame, *fModel, mouse);
    RouteListMouse(*fFilePane->FileView(), *fModel, mouse);
    fFilePane->OnAction = [this](TActionId action) { RunAction(action); };
    BuildMenus();
    BuildViewAids();
    BuildImageWindows();
    fModel->RegisterObserver(this);
    ApplyOptions();
    LayoutPanes();
    // The kept rectangle and splitters, after the layout placed the panes
    // they divide; from now on the model asks the window for them.
    ApplyWindowState(fModel->WindowState());
    fModel->SetWindowStateLink(this);
    fFrame->ShowImageBar(fModel->Actions().ImageBarShown());
    fFrame->ShowSeekBar(fModel->Actions().SeekBarShown());
    // Every change of focus between the panes may change the command target.
    connect(qApp, &QApplication::focusChanged, this, [this] {
        fTargets.FocusChanged();
        UpdateActions();
    });
    RefreshView();
    UpdateStatus();
    fFrame->setFocus();
}

TMainForm::~TMainForm()
{
    disconnect(qApp, nullptr, this, nullptr);
    fShelves.OnRenamed = nullptr;
    // The panes go before the model they show, the frame before the viewer
    // it paints from, and the model (with the cache thread and the archive
    // it reads) before the collections and icons the trees use.
    fModel->UnregisterObserver(this);
    // The file commands read the panes and the model.
    fFileCommands.reset();
    fShelfCommands.reset();
    fAppCommands.reset();
    delete fFilePane;
    fFilePane = nullptr;
    fSearch.reset();
    delete fTreePane;
    fTreePane = nullptr;
    // The view comes back from a separate window before it goes.
    fImageWindows.reset();
    delete fFrame;
    fFrame = nullptr;
    fMarkerMenus.reset();
    fKeeper.reset();
    fModel.reset();
}

void TMainForm::LoadCollections()
{
    // The shelves are read as the command-line tool reads them. The store
    // stays: a drop that changes them writes them through it, and it
    // refuses to write over a file it could not read.
    try {
        fShelfStore = std::make_unique<TShelfStore>(fCore.Folders().DataFolder);
        const TShelfLoadResult result = fShelfStore->Load(fShelves);
        if (result.Unreadable)
            fShelves.Clear();
    } catch (const std::exception&) {
        fShelves.Clear();
    }
    // The icons of the three lists, before any view shows them.
    const std::string& program = fCore.Folders().ProgramFolder;
    LoadCollectionIcons(fShelves, TIconCollection::icShelf, program, fShellInfo);
    LoadCollectionIcons(fMedia, TIconCollection::icMedia, program, fShellInfo);
    LoadCollectionIcons(fCategories, TIconCollection::icCategory, program, fShellInfo);
}

void TMainForm::ConnectThumbnails()
{
    const std::string& data = fCore.Folders().DataFolder;
    fThumbnails = std::make_unique<TThumbnailList>(
        TThumbnailList::NormalFolder(data, fCore.Options().Thumbnail.Path), TThumbnailList::MediaFolder(data));
    // Each start takes the loader set and options of that moment, so a
    // thread keeps what it began with however the settings change meanwhile.
    fFilePane->SetThumbStarter([this](const TThumbPlace& place, TThumbReceiver& receiver) {
        TEnumThumbsEnv env;
        env.List = fThumbnails.get();
        env.Options = fCore.Options().Thumbnail;
        env.Loaders = fModel->Loaders();
        env.TempFolder = fCore.Folders().TemporaryBase + fCore.Folders().TemporaryName;
        env.Dispatcher = &fDispatcher;
        env.HalfTone = &fHalfTone;
        return StartEnumThumbs(env, place, receiver);
    });
    TThumbnailCommands::THost host;
    host.StopShown = [this] { fFilePane->StopThumbnails(); };
    host.StartShown = [this] { fFilePane->ApplyViewType(); };
    host.SaveShown = [this] { return fFilePane->SaveThumbnails(); };
    host.BatchScope = [this] {
        TThumbBatchScope scope;
        const TShellListModel& list = fModel->FileList();
        const TShownPlace place = fModel->ShownPlace();
        switch (list.Content()) {
        case TListContent::lcoShelf:
        case TListContent::lcoSearch:
            for (int row = 0; row < list.Count(); ++row)
                if (const TShellFolder* node = list.Node(row); node && !node->GetPath().empty())
                    scope.Members.push_back(node->GetPath());
            break;
        case TListContent::lcoMediumRoot:
        case TListContent::lcoMediumFolder:
            // The disc must be in: asked for until it is or the user gives up.
            if (const int index = list.ListIndex(); fMediaCommands->EnsureInserted(index)) {
                const TMediaFolder& medium = *fMedia.Medium(index);
                scope.Folder = IncludeTrailingPathDelimiter(medium.LivePath());
                scope.Medium = medium.Name();
            }
            break;
        default:
            if (place.Kind == TPlaceKind::pkFolder)
                scope.Folder = IncludeTrailingPathDelimiter(place.Folder);
            break;
        }
        return scope;
    };
    // The busy mark keeps the disc from being ejected while the batch reads it.
    host.MarkMedium = [this](const TThumbBatchScope& scope, bool busy) {
        const TMediaFolder* medium = fMedia.Medium(fMedia.IndexOfName(scope.Medium));
        fMedia.LockedDrive = busy && medium ? medium->LivePath() : std::string();
    };
    host.MediumPresent = [this](const TThumbBatchScope& scope) {
        const int index = fMedia.IndexOfName(scope.Medium);
        return index >= 0 && fMediaCommands->IsInserted(index) &&
               IncludeTrailingPathDelimiter(fMedia.Medium(index)->LivePath()) == scope.Folder;
    };
    host.Config = [this] {
        TEnumThumbsConfig config;
        config.Options = fCore.Options().Thumbnail;
        config.Loaders = fModel->Loaders();
        config.TempFolder = fCore.Folders().TemporaryBase + fCore.Folders().TemporaryName;
        config.HalfTone = &fHalfTone;
        return config;
    };
    host.Message = [this](const std::string& text) { ShowMessage(text, TMessageIcon::miWarning); };
    host.SettingsPath = [this] { return fCore.SettingsPath(); };
    // A snapshot run answers as --yes says and reports the question.
    host.Ask = [this](const std::string& text) {
        if (fMessageSink) {
            fMessageSink(text + (fAnswerYes ? " -> yes (--yes)" : " -> no (asked in a snapshot run; --yes answers yes)"),
                         TMessageIcon::miQuestion);
            return fAnswerYes;
        }
        return QMessageBox::question(this, QStringLiteral("Mireva"), QString::fromStdString(text)) == QMessageBox::Yes;
    };
    fThumbCommands = std::make_unique<TThumbnailCommands>(*fThumbnails, fDispatcher, std::move(host), this);
    // The media thumbnails follow the catalogues.
    fMediaCommands->SetThumbnails(
        *fThumbnails,
        [this] {
            if (fFilePane)
                fFilePane->StopThumbnails();
        },
        [this] {
            if (fFilePane)
                fFilePane->ApplyViewType();
        });
}

void TMainForm::SetMessageSink(TMessageSink sink)
{
    fMessageSink = std::move(sink);
    fModel->SetBatch(fMessageSink != nullptr);
    SetAnswerYes(fAnswerYes);
}

void TMainForm::SetAnswerYes(bool yes)
{
    fAnswerYes = yes;
    if (!fMessageSink) {
        fFileCommands->SetBatch(nullptr, false);
        fMediaCommands->SetBatch(nullptr, false);
        fShelfCommands->SetBatch(nullptr, false);
        return;
    }
    fFileCommands->SetBatch([this](const std::string& text) { fMessageSink(text, TMessageIcon::miQuestion); }, yes);
    fMediaCommands->SetBatch([this](const std::string& text) { fMessageSink(text, TMessageIcon::miQuestion); }, yes);
    fShelfCommands->SetBatch([this](const std::string& text) { fMessageSink(text, TMessageIcon::miQuestion); }, yes);
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
        // The slideshow's interval counts from each shown picture; with
        // nothing shown it ends.
        if (fAids && fModel->Viewer().Primary().Bitmap)
            fAids->SlideShow().PictureShown();
        else if (fAids)
            fAids->SlideShow().PictureClosed();
        // A picture shown while the view is separate opens its window, or
        // brings a minimised one back unless a slideshow step showed it.
        if (fImageWindows && fModel->Viewer().Primary().Bitmap)
            fImageWindows->PictureShown(!(fAids && fAids->SlideShow().Running()), fModel->ViewStates().ImageMenu);
        RefreshView();
        CarryShowAids();
        break;
    case TBrowserChangeKind::bcView:
        RefreshView();
        break;
    case TBrowserChangeKind::bcPlace:
        UpdateAddress();
        FollowPlaceInTree();
        break;
    case TBrowserChangeKind::bcSelection:
        break;
    }
    ScheduleRefresh();
}

void TMainForm::ScheduleRefresh()
{
    // One step of the user announces several changes; the menus' states
    // and the status bar are worked out once, after the step, so a page
    // turn paints its pages first.
    if (fRefreshPosted)
        return;
    fRefreshPosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            fRefreshPosted = false;
            // The program is idle: the picture read now becomes its recent entry.
            fKeeper->Idle();
            UpdateActions();
            UpdateStatus();
        },
        Qt::QueuedConnection);
}

// --- Panes ------------------------------------------------------------------------

void TMainForm::BuildPanes()
{
    TShellTreeSources sources;
    sources.Info = &fShellInfo;
    sources.Shelves = &fShelves;
    sources.Media = &fMedia;
    sources.Categories = &fCategories;
    sources.Notifier = this;
    sources.Dispatcher = &fDispatcher;
    fTreePane = new TTreePane(sources, &fShellInfo, this);
    fTreePane->OnNavigate = [this](const TTreePlace& place) { return NavigateTree(place); };
    fTreePane->OnRequest = [this](TTreeKind, int request) {
        switch (static_cast<TTreeRequest>(request)) {
        case TTreeRequest::trParent:
            fTreePane->ActiveTree().SelectParent();
            break;
        case TTreeRequest::trRefresh:
            RunAction(TActionId::actRefresh);
            break;
        case TTreeRequest::trRename:
            fTreePane->ActiveView()->StartRename();
            break;
        case TTreeRequest::trDelete:
            break;
        case TTreeRequest::trProperties:
            // A category node opens the category's property dialog.
            if (const TTreeNode* node = fTreePane->ActiveTree().Selected();
                node && node->Kind() == TTreeNodeKind::nkCategory && fCategoryCommands)
                fCategoryCommands->EditProperties(fCategories.IndexOf(node->Collection()));
            break;
        }
    };

    fFilePane = new TFilePane(*fModel, &fShellInfo, this, this);
    ConnectThumbnails();
    // The file context menu of both lists and of every tree.
    for (QWidget* view : {static_cast<QWidget*>(fFilePane->FileView()), static_cast<QWidget*>(fFilePane->ArchiveView())}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(static_cast<QAbstractItemView*>(view), &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& at) { ShowFilePopup(false, view->mapToGlobal(at)); });
    }
    for (TTreeKind kind : {TTreeKind::tkFolder, TTreeKind::tkShelf, TTreeKind::tkMedia, TTreeKind::tkCategory}) {
        QWidget* view = fTreePane->View(kind);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(static_cast<QAbstractItemView*>(view), &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& at) { ShowFilePopup(true, view->mapToGlobal(at)); });
    }

    fStatus = new TStatusBarPane(this);
    setStatusBar(fStatus);

    fMainBar = new QToolBar(QString::fromUtf8(Tx("メインバー")), this);
    fMainBar->setObjectName("MainToolBar");
    fMainBar->setMovable(false);
    for (TActionId id : {TActionId::actBack, TActionId::actForward, TActionId::actUp, TActionId::actRefresh,
                         TActionId::actTree, TActionId::actFile, TActionId::actFileView})
        fMainBar->addAction(fActionItems[id]);
    // The back and forward buttons drop down the nearest places of the history.
    for (const bool back : {true, false}) {
        auto* button = qobject_cast<QToolButton*>(
            fMainBar->widgetForAction(fActionItems[back ? TActionId::actBack : TActionId::actForward]));
        if (!button)
            continue;
        auto* menu = new QMenu(button);
        connect(menu, &QMenu::aboutToShow, this, [this, menu, back] {
            menu->clear();
            for (const THistoryMenuItem& item : fModel->HistoryMenu(back))
                menu->addAction(ToQString(item.Caption), this, [this, index = item.Index] {
                    fModel->GoToHistoryEntry(index);
                    UpdateActions();
                });
        });
        button->setMenu(menu);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    addToolBar(Qt::TopToolBarArea, fMainBar);
    addToolBarBreak();

    fAddressBar = new QToolBar(QString::fromUtf8(Tx("アドレスバー")), this);
    fAddressBar->setObjectName("AddressBar");
    fAddressBar->setMovable(false);
    fAddressBar->addWidget(new QLabel(QString::fromUtf8(Tx("アドレス ")), fAddressBar));
    fAddress = new TAddressBox(fAddressBar);
    {
        TAddressHistory typed;
        typed.Load(fCore.Folders().DataFolder);
        fAddress->SetHistory(std::move(typed), fCore.Options().Recent.AddressBar);
    }
    fAddressBar->addWidget(fAddress);
    connect(fAddress, &TAddressBox::AddressEntered, this, [this](const QString& text) { OpenAddress(text); });
    addToolBar(Qt::TopToolBarArea, fAddressBar);

    fTreeSplitter = new QSplitter(Qt::Horizontal, this);
    fTreeSplitter->setObjectName("splTree");
    fLeftSplitter = new QSplitter(Qt::Vertical, fTreeSplitter);
    fLeftSplitter->setObjectName("splFile1");
    fImageSplitter = new QSplitter(Qt::Vertical, fTreeSplitter);
    fImageSplitter->setObjectName("splFile2");
    fSearch = std::make_unique<TSearchPane>(*fModel, fDispatcher, &fShelves, &fMedia, fCore.Folders().DataFolder,
                                            this);
    // Media are searched in their catalogues; one no view has read yet is
    // read first.
    fSearch->Folder().MediaSource = [this](const TSearchTargetSpec& target) {
        for (int i = 0; i < fMedia.Count(); ++i) {
            if (fMediaCommands && (target.Name.empty() || fMedia.Medium(i)->Name() == target.Name))
                fMediaCommands->EnsureCatalogue(*fMedia.Medium(i));
        }
        return MediumSourceFor(fMedia, target);
    };
    fSearch->LoadHistory(fCore.Options().Recent.SearchHistory);
    try {
        TIniFile ini(fCore.SettingsPath());
        if (fSearch->LoadSettings(ini, Now()))
            ini.UpdateFile();
    } catch (const std::exception& e) {
        ShowMessage(e.what(), TMessageIcon::miWarning);
    }
    fSearch->Frame()->SetShowHidden(fCore.Options().List.HiddenFile);
    fSearch->Frame()->setVisible(false);
    fLeftSplitter->addWidget(fSearch->Frame());
    fLeftSplitter->addWidget(fTreePane);
    fImageSplitter->addWidget(fFrame);
    fTreeSplitter->addWidget(fLeftSplitter);
    fTreeSplitter->addWidget(fImageSplitter);
    fTreeSplitter->setStretchFactor(0, 0);
    fTreeSplitter->setStretchFactor(1, 1);
    fTreeSplitter->setSizes({280, 744});
    setCentralWidget(fTreeSplitter);
}

void TMainForm::LayoutPanes()
{
    const TPaneSet panes = fAids ? fAids->Panes(fModel->ViewStates()) : fModel->ViewStates().Normal;
    // The file view sits below the tree or above the image.
    QSplitter* host = panes.FileViewPos == TFileViewPos::fpBelowTree ? fLeftSplitter : fImageSplitter;
    if (fFilePane->parentWidget() != host) {
        if (host == fLeftSplitter)
            fLeftSplitter->addWidget(fFilePane);
        else
            fImageSplitter->insertWidget(0, fFilePane);
    }
    fTreePane->setVisible(panes.Tree);
    fSearch->Frame()->setVisible(panes.Tree && fModel->ViewStates().TreeKind == TTreeKind::tkSearch);
    fFilePane->setVisible(panes.File);
    fLeftSplitter->setVisible(panes.Tree || (panes.File && host == fLeftSplitter));
    // With the view in a window of its own the image panel holds at most
    // the file view, and the picture's menus live in that window.
    const bool separate = ViewSeparate();
    fImageSplitter->setVisible(!separate || (panes.File && host == fImageSplitter));
    for (const char* name : {"移動(M)", "イメージ(I)"})
        if (QMenu* menu = menuBar()->findChild<QMenu*>(name, Qt::FindDirectChildrenOnly))
            menu->menuAction()->setVisible(!separate);
    if (fImageWindows) {
        QMainWindow* full = fAids ? fAids->FullScreenWindow() : nullptr;
        const bool menu = fModel->ViewStates().ImageMenu &&
                          (!full || full == this || fAids->FullScreenPanes(fModel->ViewStates()).MainMenu);
        fImageWindows->Apply(menu, separate && panes.StayOnTop);
    }
    menuBar()->setVisible(panes.MainMenu);
    fMainBar->setVisible(panes.MainBar);
    fAddressBar->setVisible(panes.AddressBar);
    fStatus->setVisible(panes.StatusBar);
    // Stay-on-top belongs to the window that shows the picture.
    const bool stayOnTop = panes.StayOnTop && !separate;
    const bool onTop = windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    if (onTop != stayOnTop && isVisible()) {
        setWindowFlag(Qt::WindowStaysOnTopHint, stayOnTop);
        show();
    } else if (onTop != stayOnTop) {
        setWindowFlag(Qt::WindowStaysOnTopHint, stayOnTop);
    }
}

// --- Actions and menus -----------------------------------------------------------

void TMainForm::BuildActions()
{
    std::map<TActionGroup, QActionGroup*> groups;
    for (const TActionInfo& info : ActionTable()) {
        auto* action = new QAction(ToQString(Tx(info.Caption)), this);
        action->setObjectName(info.Name);
        action->setCheckable(info.Checkable);
        if (info.Group != TActionGroup::agNone && info.Checkable) {
            QActionGroup*& group = groups[info.Group];
            if (!group)
                group = new QActionGroup(this);
            group->addAction(action);
        }
        const TActionId id = info.Id;
        connect(action, &QAction::triggered, this, [this, id] { RunAction(id); });
        fActionItems[id] = action;
    }
    // The image bar's mode buttons.
    for (TActionId id : {TActionId::actAuto, TActionId::actSingle, TActionId::actSpread})
        fFrame->AddImageBarAction(fActionItems[id]);
}

void TMainForm::BuildMenu(QMenu* menu, std::span<const TMenuItem> items)
{
    for (const TMenuItem& item : items) {
        switch (item.Kind) {
        case TMenuItemKind::mkAction:
            menu->addAction(fActionItems[*item.Action]);
            break;
        case TMenuItemKind::mkSeparator:
            menu->addSeparator();
            break;
        case TMenuItemKind::mkSubMenu: {
            QMenu* sub = menu->addMenu(ToQString(Tx(ItemCaption(item))));
            sub->setObjectName(MenuName(ItemCaption(item)));
            BuildMenu(sub, item.Items);
            if (item.Action) {
                // The sub-menu follows its action's enabled state.
                QAction* holder = fActionItems[*item.Action];
                connect(holder, &QAction::changed, sub, [sub, holder] { sub->setEnabled(holder->isEnabled()); });
                sub->setEnabled(holder->isEnabled());
            }
            break;
        }
        case TMenuItemKind::mkList:
            // The sort sub-menu is made from the columns of the list that
            // shows the place each time it opens; the shelves and the
            // recent files come with their lists.
            if (item.List == TMenuList::mlSortColumns)
                connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillSortMenu(menu); });
            if (item.List == TMenuList::mlRecentFiles)
                fMarkerMenus->AttachRecentMenu(menu);
            if (item.List == TMenuList::mlShelves)
                fShelfCommands->AttachShelfMenu(menu);
            break;
        case TMenuItemKind::mkCommand:
            break;
        }
    }
}

void TMainForm::FillSortMenu(QMenu* menu)
{
    menu->clear();
    const bool archive = fModel->ShownPlace().Kind == TPlaceKind::pkArchive;
    std::vector<std::string> columns;
    TSortOrder order;
    if (archive) {
        for (const TArchiverListColumnInfo& column : fModel->ArchiveList().Columns())
            columns.push_back(column.Caption);
        order = fModel->ArchiveList().SortOrder();
    } else {
        for (const TListColumn& column : fModel->FileList().Columns())
            columns.push_back(column.Caption);
        order = fModel->FileList().SortOrder();
    }
    const auto apply = [this, archive](const TSortOrder& chosen) {
        if (archive)
            fModel->ArchiveList().SetSortOrder(chosen);
        else
            fModel->FileList().SetSortOrder(chosen);
    };
    for (const TSortMenuItem& item :
         BuildSortMenu(columns, order.Index, order.Dir == TSortDir::sdAsc, order.Dir == TSortDir::sdDesc)) {
        if (item.Separator) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(ToQString(item.Caption));
        action->setCheckable(true);
        action->setChecked(item.Checked);
        TSortOrder chosen = order;
        if (item.Column >= 0) {
            chosen.Index = item.Column;
            if (chosen.Dir == TSortDir::sdNone)
                chosen.Dir = TSortDir::sdAsc;
        } else {
            chosen.Dir = item.Descending ? TSortDir::sdDesc : TSortDir::sdAsc;
        }
        connect(action, &QAction::triggered, this, [apply, chosen] { apply(chosen); });
    }
}

void TMainForm::BuildMenus()
{
    for (const TMenuItem& item : MainMenu()) {
        QMenu* menu = menuBar()->addMenu(ToQString(Tx(ItemCaption(item))));
        menu->setObjectName(MenuName(ItemCaption(item)));
        BuildMenu(menu, item.Items);
    }
    // Actions without a menu item still run from their keys.
    for (TActionId id : KeyOnlyActions())
        addAction(fActionItems[id]);
}

QAction* TMainForm::Action(TActionId action) const
{
    const auto it = fActionItems.find(action);
    return it == fActionItems.end() ? nullptr : it->second;
}

namespace {

void CollectHolders(std::span<const TMenuItem> items, std::set<TActionId>& holders)
{
    for (const TMenuItem& item : items) {
        if (item.Kind != TMenuItemKind::mkSubMenu)
            continue;
        if (item.Action)
            holders.insert(*item.Action);
        CollectHolders(item.Items, holders);
    }
}

// Actions that stand for a sub-menu ("表示倍率(&R)"): they are shown and
// enabled as their rule says, so their items can be reached, and run
// nothing of their own.
bool IsMenuHolder(TActionId action)
{
    static const std::set<TActionId> holders = [] {
        std::set<TActionId> found;
        CollectHolders(MainMenu(), found);
        CollectHolders(FilePopupMenu(), found);
        return found;
    }();
    return holders.count(action) > 0;
}

}  // namespace

namespace {

TFileViewType FileViewTypeOf(TActionId action)
{
    switch (action) {
    case TActionId::actFileThumb: return TFileViewType::fvThumbnail;
    case TActionId::actFileDetail: return TFileViewType::fvDetail;
    default: return TFileViewType::fvList;
    }
}

// The type of the list that shows the place: the archive list's while an
// archive is shown.
TFileViewType ShownFileViewType(const TBrowserModel& model)
{
    const bool archive = model.ShownPlace().Kind == TPlaceKind::pkArchive;
    return model.ViewStates().ViewType(archive ? TListKind::lkFolder : model.ListKind(), archive);
}

}  // namespace

bool TMainForm::IsWindowAction(TActionId action)
{
    using enum TActionId;
    if (TBrowserModel::IsSelectionCommand(action) || TMarkerMenus::Runs(action) || TMediaCommands::Runs(action) ||
        TFileCommandRunner::Runs(action) || SlideCommandOf(action) || action == actSlideShow ||
        action == actFullScreen || action == actF_Open || action == actS_Open || TThumbnailCommands::Runs(action) ||
        TLoupeGridAids::Runs(action) ||
        action == actFilterSet || TAppCommandRunner::Runs(action) ||
        TExportCommand::Runs(action) || TShelfCommandRunner::Runs(action))
        return true;
    switch (action) {
    case actFolder:
    case actShelf:
    case actMedia:
    case actCategory:
    case actProperties:
    case actSearch:
    case actUp:
    case actBack:
    case actForward:
    case actNextFolder:
    case actPriorFolder:
    case actSiblingFolder:
    case actRefresh:
    case actFileList:
    case actFileThumb:
    case actFileDetail:
    case actFileView:
    case actStayOnTop:
    case actFile:
    case actTree:
    case actMainToolBar:
    case actAddressBar:
    case actStatusBar:
    case actMenu:
    case actClipBoard:
    case actTaskTray:
    case actTrayRestore:
    case actTrayExit:
    case actKeyCustom:
    case actMouseCustom:
    case actViewForm:
    case actImageMenu:
    case actActiveChange:
        return true;
    default:
        return false;
    }
}

TCommandTarget TMainForm::Target() const
{
    TFocusFacts focus;
    const QWidget* widget = QApplication::focusWidget();
    focus.ImageViewFocused = widget && (widget == fFrame || fFrame->isAncestorOf(widget));
    focus.ArchiveShown = fModel->ShownPlace().Kind == TPlaceKind::pkArchive;
    focus.FileListFocused = fFilePane->FileListHasFocus();
    focus.ArchiveListFocused = fFilePane->ArchiveListHasFocus();
    focus.TreeFocused = fTreePane->HasFocusInside();
    return fTargets.Target(focus);
}

TActionContext TMainForm::ActionContext() const
{
    TActionContext context;
    context.Target = Target();
    const TShownPlace place = fModel->ShownPlace();
    // The collection lists (shelves, media, categories, search results)
    // have rules of their own.
    context.ListKind = place.Kind == TPlaceKind::pkNothing      ? TListKind::lkNothing
                       : place.Kind == TPlaceKind::pkCollection ? fModel->ListKind()
                                                                : TListKind::lkFolder;
    context.MainWindowActive = !(ImageWindow() && QApplication::activeWindow() == ImageWindow());
    context.SeparateWindow = ImageWindow() != nullptr;
    context.ArchiveShown = place.Kind == TPlaceKind::pkArchive;
    context.PlaceOnDisk = place.Kind == TPlaceKind::pkFolder;
    context.ThumbnailView = ShownFileViewType(*fModel) != TFileViewType::fvList;
    context.PlaceHasParent = place.Kind == TPlaceKind::pkArchive ||
                             (place.Kind == TPlaceKind::pkFolder && place.Folder != "/");
    const std::vector<TBrowserItem>& items = fModel->Items();
    context.HasSubFolders = std::any_of(items.begin(), items.end(), [](const TBrowserItem& item) {
        return item.Kind == TItemKind::ikFolder || item.Kind == TItemKind::ikArchive;
    });
    const std::vector<int>& selection = fModel->Selection();
    context.Selection.Count = static_cast<int>(selection.size());
    if (!selection.empty()) {
        const int focused = fModel->FocusedItem();
        const int item = std::find(selection.begin(), selection.end(), focused) != selection.end() ? focused
                                                                                                  : selection.front();
        context.Selection.Folder = items[static_cast<size_t>(item)].Kind == TItemKind::ikFolder;
        context.Selection.MediaDrive =
            context.Selection.Folder && TMediaCommands::IsMediaDrive(items[static_cast<size_t>(item)].Path);
    }
    // The neighbour commands ask the tree whether there is anywhere to go;
    // in an archive, whether it holds a folder or archive to enter.
    FillSiblingFacts(fTreePane->ActiveTree().Selected(), context.Node);
    context.NextArchive = context.HasSubFolders || context.Node.NextSibling;
    context.HistoryBack = fModel->History().CanGoBack();
    context.HistoryForward = fModel->History().CanGoForward();
    context.ImageShown = fModel->Viewer().Primary().HasBitmap();
    context.FullScreen = InFullScreen();
    const TPaneSet& panes = fModel->ViewStates().Panes(InFullScreen());
    context.FileViewShown = panes.File;
    context.TreeShown = panes.Tree;
    context.SinglePage = fModel->Viewer().ViewState().ViewMode == TViewMode::vmSingle;
    context.FilterSets = static_cast<int>(fModel->FilterSets().Sets.size());
    context.RecentFiles = !fKeeper->Recent().Entries().empty();
    context.MarkerJumps = fKeeper->Markers().HasJumps();
    if (fFileCommands)
        fFileCommands->FillContext(context);
    if (fShelfCommands)
        fShelfCommands->FillContext(context);
    if (fLoupeGrid)
        fLoupeGrid->FillContext(context);
    if (fAppCommands)
        fAppCommands->FillContext(context);
    return context;
}

TActionState TMainForm::ActionStateOf(TActionId action) const
{
    if (TViewActions::Runs(action))
        return {fModel->Actions().Enabled(action), true};
    const TActionState state = ActionState(action, ActionContext());
    // A command the window does not carry out yet stays shown and greyed.
    if (!IsWindowAction(action) && !IsMenuHolder(action))
        return {false, state.Visible};
    return state;
}

void TMainForm::UpdateActions()
{
    if (fUpdating)
        return;
    const TViewActions& actions = fModel->Actions();
    const TPageViewer& viewer = fModel->Viewer();
    const TKeyBindings& keys = fModel->Keys();
    const bool bindLeft = viewer.ViewState().Binding == TBinding::bdLeft;
    const TViewScrollOptions& exchange = viewer.Options().Scroll;
    const TFilterSets& sets = fModel->FilterSets();
    const TActionContext context = ActionContext();
    const TViewStates& states = fModel->ViewStates();
    const TPaneSet& panes = states.Panes(InFullScreen());
    for (const TActionInfo& info : ActionTable()) {
        QAction* action = fActionItems[info.Id];
        TActionState state;
        if (TViewActions::Runs(info.Id)) {
            state = {actions.Enabled(info.Id), true};
        } else {
            state = ActionState(info.Id, context);
            if (!IsWindowAction(info.Id) && !IsMenuHolder(info.Id))
                state.Enabled = false;
        }
        action->setEnabled(state.Enabled);
        action->setVisible(state.Visible);
        if (info.Checkable) {
            using enum TActionId;
            bool checked = false;
            switch (info.Id) {
            case actFolder: checked = states.TreeKind == TTreeKind::tkFolder; break;
            case actShelf: checked = states.TreeKind == TTreeKind::tkShelf; break;
            case actMedia: checked = states.TreeKind == TTreeKind::tkMedia; break;
            case actCategory: checked = states.TreeKind == TTreeKind::tkCategory; break;
            case actSearch: checked = states.TreeKind == TTreeKind::tkSearch; break;
            case actFileList:
            case actFileThumb:
            case actFileDetail: checked = FileViewTypeOf(info.Id) == ShownFileViewType(*fModel); break;
            case actFileView: checked = panes.FileViewPos == TFileViewPos::fpAboveImage; break;
            case actStayOnTop: checked = panes.StayOnTop; break;
            case actFile: checked = panes.File; break;
            case actTree: checked = panes.Tree; break;
            case actMainToolBar: checked = panes.MainBar; break;
            case actAddressBar: checked = panes.AddressBar; break;
            case actStatusBar: checked = panes.StatusBar; break;
            case actMenu: checked = panes.MainMenu; break;
            case actTaskTray: checked = fTrayHidden; break;
            case actViewForm: checked = states.ViewForm; break;
            case actImageMenu: checked = states.ImageMenu; break;
            case actSlideShow: checked = fAids && fAids->SlideShow().Running(); break;
            case actFullScreen: checked = InFullScreen(); break;
            case actLoupe:
            case actGrid: checked = fLoupeGrid && fLoupeGrid->Checked(info.Id); break;
            default:
                if (const std::optional<TSlideShowCommand> slide = SlideCommandOf(info.Id))
                    checked = fAids && *slide == fAids->SlideShow().Command();
                else
                    checked = actions.Checked(info.Id);
                break;
            }
            action->setChecked(checked);
        }
        // A menu item shows its first key; a move item the key of the move
        // its key runs now (a left-bound book may swap the pair).
        TShortCut key = 0;
        if (const auto move = MoveCommandOf(info.Id))
            key = keys.FirstMoveKey(
                ResolveMoveCommand(*move, true, bindLeft ? TBinding::bdLeft : TBinding::bdRight, exchange));
        else
            key = keys.FirstKey(info.Id);
        QString caption = ToQString(Tx(info.Caption));
        // A filter item is named after its set.
        const int filter = FilterIndex(info.Id);
        if (filter >= 0 && filter < static_cast<int>(sets.Sets.size()))
            caption = ToQString(NumberedCaption(filter + 1, sets.Sets[static_cast<size_t>(filter)].Name));
        if (const std::optional<QString> app = fAppCommands ? fAppCommands->Caption(info.Id) : std::nullopt)
            caption = *app;
        const QString keyText = ToQString(ShortcutText(key));
        action->setText(keyText.isEmpty() ? caption : caption + '\t' + keyText);
        action->setIconText(ButtonText(caption));
    }
}

bool TMainForm::RunAction(TActionId action, TTargetPage page)
{
    // A sub-menu's own action opens the sub-menu and runs nothing.
    if (IsMenuHolder(action) || !ActionStateOf(action).Enabled) {
        UpdateActions();
        return false;
    }
    if (TViewActions::Runs(action)) {
        if (action == TActionId::actClose)
            fKeeper->PictureClosing();
        Carry(fModel->RunAction(action));
        return true;
    }
    return RunWindowAction(action, page);
}

bool TMainForm::RunWindowAction(TActionId action, TTargetPage page)
{
    using enum TActionId;
    // A page is the image view's: over the other panes there is none.
    if (Target() != TCommandTarget::ctImage)
        page = TTargetPage::tpAsk;
    if (TBrowserModel::IsSelectionCommand(action)) {
        fModel->RunSelectionCommand(action, page);
        fFilePane->FocusList();
        return true;
    }
    if (TMarkerMenus::Runs(action)) {
        const bool done = fMarkerMenus->Run(action);
        UpdateActions();
        return done;
    }
    if (TMediaCommands::Runs(action)) {
        // The focused folder of the list, or the place shown.
        const std::vector<TBrowserItem>& items = fModel->Items();
        const int focused = fModel->FocusedItem();
        const bool folder = focused >= 0 && focused < static_cast<int>(items.size()) &&
                            items[static_cast<size_t>(focused)].Kind == TItemKind::ikFolder;
        // An update is for the medium chosen in the list of media, or the
        // catalogue node chosen in the tree.
        int medium = -1;
        if (Target() == TCommandTarget::ctTree) {
            const TTreeNode* node = fTreePane->ActiveTree().Selected();
            if (node && node->Kind() == TTreeNodeKind::nkMedium)
                medium = fMedia.IndexOf(node->Collection());
        } else if (const std::vector<int> chosen = ChosenMedia(fModel->FileList(), fMedia); !chosen.empty()) {
            medium = chosen.front();
        }
        const bool done = fMediaCommands->Run(
            action, folder ? items[static_cast<size_t>(focused)].Path : fModel->ShownPlace().Folder, medium);
        UpdateActions();
        return done;
    }
    if (action == actFilterSet) {
        RunFilterSettings(this, fCore, *fModel, [this](const std::string& text) { ShowMessage(text, TMessageIcon::miError); });
        UpdateActions();
        return true;
    }
    if (TThumbnailCommands::Runs(action)) {
        const bool done = fThumbCommands->Run(action);
        UpdateActions();
        return done;
    }
    if (TAppCommandRunner::Runs(action)) {
        const bool done = fAppCommands->Run(action, Target(), page);
        UpdateActions();
        return done;
    }
    if (TExportCommand::Runs(action)) {
        // A snapshot run shows no dialog: it writes the last setting's file.
        const bool done = fExportCommand->Run(!fMessageSink);
        UpdateActions();
        return done;
    }
    if (action == actProperties) {
        // A shelf's or a catalogue's own property dialog.
        const TShellTreeModel& tree = fTreePane->ActiveTree();
        if (const std::vector<int> shelves =
                CollectionTargets(TCollectionKind::ckShelf, true, Target(), *fModel, tree, fShelves);
            !shelves.empty()) {
            const bool done = fShelfCommands->EditProperties(shelves.front());
            UpdateActions();
            return done;
        }
        if (const std::vector<int> media =
                CollectionTargets(TCollectionKind::ckMedium, true, Target(), *fModel, tree, fMedia);
            !media.empty()) {
            const bool done = fMediaCommands->EditProperties(media.front());
            UpdateActions();
            return done;
        }
    }
    if (const std::vector<int> categories =
            CategoryTargets(action, Target(), *fModel, fTreePane->ActiveTree(), fCategories);
        !categories.empty()) {
        const bool done = fCategoryCommands->Run(action, categories);
        UpdateActions();
        return done;
    }
    if (action == actDelete && Target() == TCommandTarget::ctFileList && fModel->ListKind() == TListKind::lkMediaList) {
        fMediaCommands->Delete(ChosenMedia(fModel->FileList(), fMedia), !fCore.Options().List.DelNoDialog);
        UpdateActions();
        return true;
    }
    if (TShelfCommandRunner::Runs(action)) {
        const bool done = fShelfCommands->Run(action, Target());
        UpdateActions();
        return done;
    }
    if (TFileCommandRunner::Runs(action)) {
        const bool done = fFileCommands->Run(action, Target(), page);
        UpdateActions();
        return done;
    }
    if (action == actF_Open || action == actS_Open) {
        RunOpenCommand(action);
        return true;
    }
    if (RunViewAid(action) || RunImageWindowAction(action))
        return true;
    TViewStates states = fModel->ViewStates();
    TPaneSet& panes = states.Panes(InFullScreen());
    bool layout = true;
    // Another tree in place of the search panel leaves the search view.
    if (states.TreeKind == TTreeKind::tkSearch &&
        (action == actFolder || action == actShelf || action == actMedia || action == actCategory))
        fSearch->Leaving();
    switch (action) {
    case actFolder:
        states.TreeKind = TTreeKind::tkFolder;
        fTreePane->SetKind(TTreeKind::tkFolder);
        panes.Tree = true;
        FollowPlaceInTree();
        break;
    case actShelf:
    case actMedia:
    case actCategory: {
        const TTreeKind kind = action == actShelf  ? TTreeKind::tkShelf
                               : action == actMedia ? TTreeKind::tkMedia
                                                    : TTreeKind::tkCategory;
        states.TreeKind = kind;
        fTreePane->SetKind(kind);
        panes.Tree = true;
        break;
    }
    case actSearch:
        states.TreeKind = TTreeKind::tkSearch;
        fTreePane->SetKind(TTreeKind::tkSearch);
        panes.Tree = true;
        fSearch->Opening();
        break;
    case actFileView:
        panes.FileViewPos =
            panes.FileViewPos == TFileViewPos::fpBelowTree ? TFileViewPos::fpAboveImage : TFileViewPos::fpBelowTree;
        break;
    case actStayOnTop: panes.StayOnTop = !panes.StayOnTop; break;
    case actFile:
        panes.File = !panes.File;
        // The tree lives above the file view: hiding the file view hides it.
        if (!panes.File)
            panes.Tree = false;
        break;
    case actTree:
        panes.Tree = !panes.Tree;
        if (panes.Tree)
            panes.File = true;
        break;
    case actMainToolBar: panes.MainBar = !panes.MainBar; break;
    case actAddressBar: panes.AddressBar = !panes.AddressBar; break;
    case actStatusBar: panes.StatusBar = !panes.StatusBar; break;
    case actMenu: panes.MainMenu = !panes.MainMenu; break;
    case actFileList:
    case actFileThumb:
    case actFileDetail: {
        // The file list and, while an archive is shown, the archive list
        // take the type; the pane follows the new states.
        const TFileViewType type = FileViewTypeOf(action);
        states.SetViewType(fModel->ListKind(), false, type);
        if (fModel->ShownPlace().Kind == TPlaceKind::pkArchive)
            states.SetViewType(TListKind::lkFolder, true, type);
        layout = false;
        break;
    }
    case actUp:
        fFilePane->GoUp();
        return true;
    case actBack:
        fModel->GoBack();
        return true;
    case actForward:
        fModel->GoForward();
        return true;
    case actNextFolder:
        fModel->NextFolder();
        return true;
    case actSiblingFolder:
        fModel->MoveToNeighbour(TWalkDirection::wdForward);
        return true;
    case actPriorFolder:
        fModel->MoveToNeighbour(TWalkDirection::wdBackward);
        return true;
    case actRefresh:
        fModel->Refresh();
        return true;
    case actTaskTray:
        if (fTrayHidden)
            RestoreFromTray();
        else
            HideInTray();
        return true;
    case actMouseCustom:
        RunMouseCustomize(this, fCore, *fModel,
                          [this](const std::string& text) { ShowMessage(text, TMessageIcon::miError); });
        return true;
    case actTrayRestore:
        RestoreFromTray();
        return true;
    case actKeyCustom: {
        const std::string dialogState = fCore.ProgramSettingsPath();
        TKeyCustomizeDialog dialog(fModel->Keys(), fCore.Options().Scroll,
                                   ReadDialogPage(dialogState, KeyDialogSection, TKeyCustomizeDialog::kpCount), this);
        const bool accepted = dialog.exec() == QDialog::Accepted;
        try {
            SaveDialogPage(dialogState, KeyDialogSection, dialog.Page());
        } catch (const std::exception&) {
            // Only the page the dialog opens with next time is lost.
        }
        if (accepted) {
            fModel->ChangeKeyBindings(dialog.Bindings(), dialog.ScrollOptions());
            // The menus show the new keys at once.
            UpdateActions();
        }
        return true;
    }
    case actTrayExit:
        RestoreFromTray();
        QTimer::singleShot(0, this, [this] { close(); });
        return true;
    case actClipBoard: {
        const TImageSlot& slot =
            page == TTargetPage::tpPartner ? fModel->Viewer().Partner() : fModel->Viewer().Primary();
        const std::shared_ptr<TBitmap>& bitmap = slot.Bitmap;
        if (bitmap) {
            // A copy: the clipboard outlives the page's pixels.
            const QImage image = BitmapImage(*bitmap).copy();
            if (!image.isNull())
                QApplication::clipboard()->setImage(image);
        }
        return true;
    }
    default:
        return false;
    }
    fModel->SetViewStates(states);
    if (layout)
        LayoutPanes();
    UpdateActions();
    return true;
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
    const TShortCut shortcut = ShortcutFromQt(key, modifiers);
    // A key bound to a command of the window (the panes, full screen, the
    // file commands) runs it as its menu item would; the model runs only the
    // viewer's own commands.
    if (const std::optional<TKeyCommand> command = fModel->Keys().Find(shortcut, inImageView)) {
        if (const auto* action = std::get_if<TActionId>(&*command); action && !TViewActions::Runs(*action)) {
            RunAction(*action);
            return true;
        }
    }
    const std::optional<TActionOutcome> outcome = fModel->RunShortcut(shortcut, inImageView);
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
    if (event->key() == Qt::Key_Escape && InFullScreen()) {
        fAids->LeaveFullScreen();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TMainForm::HideInTray()
{
    if (fTrayHidden)
        return;
    QMainWindow* image = ViewSeparate() ? ImageWindow() : nullptr;
    if (image && !image->isVisible())
        image = nullptr;
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // Without a tray the windows are minimised, as the desktop offers.
        if (image)
            image->showMinimized();
        showMinimized();
        return;
    }
    if (!fTray) {
        fTray = new QSystemTrayIcon(windowIcon(), this);
        fTray->setToolTip(AppTitle);
        auto* menu = new QMenu(this);
        menu->setObjectName("pmNotify");
        BuildMenu(menu, TrayMenu());
        fTray->setContextMenu(menu);
        connect(fTray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                RestoreFromTray();
        });
    }
    fStateBeforeTray = windowState() & ~Qt::WindowMinimized;
    fImageBeforeTray = {image != nullptr, image && QApplication::activeWindow() == image,
                        image ? image->windowState() & ~Qt::WindowMinimized : Qt::WindowNoState};
    fTrayHidden = true;
    fAids->WindowHidden(true);
    if (image)
        image->hide();
    hide();
    fTray->show();
    UpdateActions();
}

void TMainForm::RestoreFromTray()
{
    if (!fTrayHidden)
        return;
    fTrayHidden = false;
    fAids->WindowHidden(false);
    if (fTray)
        fTray->hide();
    setWindowState(fStateBeforeTray);
    show();
    QMainWindow* image = fImageBeforeTray.Shown && ViewSeparate() ? ImageWindow() : nullptr;
    if (image) {
        image->setWindowState(fImageBeforeTray.State);
        image->show();
    }
    // The window that was active comes back on top.
    QMainWindow* active = image && fImageBeforeTray.Active ? image : this;
    active->raise();
    active->activateWindow();
    UpdateActions();
}

void TMainForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // A minimised window shows no slideshow: it waits until it is back.
    if (event->type() == QEvent::WindowStateChange && fAids && !ViewSeparate())
        fAids->WindowHidden(isMinimized());
    // Minimising goes to the tray when the settings say so.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && fCore.Options().Other.MinimizeTray &&
        QSystemTrayIcon::isSystemTrayAvailable())
        QTimer::singleShot(0, this, [this] { HideInTray(); });
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // The place panel takes the bar's width that the others leave.
    UpdateStatus();
}

// --- Showing what the model holds ---------------------------------------------------

void TMainForm::RefreshView()
{
    if (!fFrame)
        return;
    const TPageViewer& viewer = fModel->Viewer();
    fFrame->UpdateView();
    // A picture shown names itself in the title; otherwise the place does.
    const std::string caption = viewer.CaptionText();
    // A separate window is named after the picture; the browser then after
    // its place.
    if (TImageWindowForm* window = ImageWindow()) {
        window->setWindowTitle(ToQString(caption.empty() ? std::string(AppTitle) : caption));
        setWindowTitle(ToQString(fPlaceTitle));
    } else {
        setWindowTitle(ToQString(caption.empty() ? fPlaceTitle : WindowCaption(AppTitle, caption)));
    }
    fFrame->SetPageText(fModel->PageLabel());
    fFrame->UpdateSeekBar(viewer.Count(), viewer.SeekIndex(), viewer.ViewState().BindRight(),
                          viewer.Options().Picture.SeekToRight);
    ScheduleRefresh();
}

TStatusSnapshot TMainForm::StatusSnapshot() const
{
    TStatusSnapshot snapshot;
    const TShownPlace place = fModel->ShownPlace();
    const bool archive = place.Kind == TPlaceKind::pkArchive;
    snapshot.List = archive ? TStatusList::slArchiveList : TStatusList::slFileList;
    snapshot.Kind = place.Kind == TPlaceKind::pkNothing ? TListKind::lkNothing : TListKind::lkFolder;
    snapshot.FullPath = fCore.Options().Other.FullPath;
    snapshot.BarWidth = fStatus->BarWidth();
    const std::vector<TBrowserItem>& items = fModel->Items();
    snapshot.ItemCount = static_cast<int>(items.size());
    const TPageViewer& viewer = fModel->Viewer();
    const std::string shown = fModel->ShownFile();
    for (int index : fModel->Selection()) {
        const TBrowserItem& item = items[static_cast<size_t>(index)];
        TStatusItem status;
        status.Caption = item.Name;
        status.Path = item.Path;
        status.Folder = item.Kind == TItemKind::ikFolder;
        status.TypeName = const_cast<TQtShellInfo&>(fShellInfo).TypeName(item.Path, status.Folder);
        if (!status.Folder)
            status.Size = item.Size;
        // The size of a picture is known once it is shown.
        const std::string path = archive ? place.ArchivePath + "//" + item.Path : item.Path;
        if (!shown.empty() && path == shown && viewer.Primary().HasBitmap())
            status.Picture = TPictureSize{viewer.Primary().LoadedWidth, viewer.Primary().LoadedHeight,
                                          BitsOf(viewer.Primary().PixelFormat)};
        snapshot.Selection.push_back(std::move(status));
    }
    if (archive) {
        snapshot.Place.ArchiveLevels = SplitArchiveLevels(place.ArchivePath);
        snapshot.Place.ArchiveFolder = place.ArchiveFolder;
        snapshot.Place.Path = ExtractFilePath(place.ArchivePath);
        snapshot.Place.DisplayName = ExtractFileName(place.ArchivePath);
    } else if (place.Kind == TPlaceKind::pkFolder) {
        snapshot.Place.Path = place.Folder;
        const std::string bare = ExcludeTrailingPathDelimiter(place.Folder);
        snapshot.Place.DisplayName = bare.empty() ? std::string("/") : ExtractFileName(bare);
    }
    return snapshot;
}

void TMainForm::UpdateStatus()
{
    if (!fStatus || !fModel)
        return;
    fStatus->Show(BuildStatusPanels(StatusSnapshot(), [this](const std::string& text) {
        return fStatus->TextWidth(text);
    }));
}

const TStatusPanels& TMainForm::StatusPanels() const
{
    return fStatus->Panels();
}

void TMainForm::UpdateAddress()
{
    const TListKind kind = fModel->ShownPlace().Kind == TPlaceKind::pkArchive ? TListKind::lkFolder : fModel->ListKind();
    const TAddressTexts texts = AddressTexts(kind, fModel->CurrentLocation());
    fAddress->ShowAddress(texts.Address);
    fPlaceTitle = WindowTitle(AppTitle, texts.Short, {}, kind);
}

void TMainForm::OpenAddress(const QString& text)
{
    const std::optional<std::string> path = TypedAddress(ToStdString(text));
    if (!path)
        return;
    // A text that leads nowhere leaves the place as it is; the box then
    // shows where the list really is, once the opening is over.
    fModel->OpenPathFromUser(*path);
    fAddress->Remember(*path, fCore.Options().Recent.AddressBar);
    QTimer::singleShot(0, this, [this] { UpdateAddress(); });
}

bool TMainForm::NavigateTree(const TTreePlace& place)
{
    return fModel->ShowTreePlace(place);
}

void TMainForm::FollowPlaceInTree()
{
    if (!fTreePane || fTreePane->Kind() != TTreeKind::tkFolder)
        return;
    const TShownPlace place = fModel->ShownPlace();
    TShellTreeModel& tree = fTreePane->Tree(TTreeKind::tkFolder);
    if (place.Kind == TPlaceKind::pkFolder)
        tree.FindPathNode(place.Folder, true);
    else if (place.Kind == TPlaceKind::pkArchive)
        tree.FindArchiveNode(place.ArchivePath, place.ArchiveFolder, true);
}

void TMainForm::AddPopupItems(QMenu* menu, std::span<const TMenuItem> items, const TPopupContext& popup,
                              const TActionContext& context, bool fromTree)
{
    for (const TMenuItem& item : items) {
        const TPopupItemState state = FilePopupItemState(item, popup, context);
        if (!state.Visible)
            continue;
        switch (item.Kind) {
        case TMenuItemKind::mkSeparator:
            menu->addSeparator();
            break;
        case TMenuItemKind::mkAction: {
            // The menu's own items, so that hiding one here leaves the menu
            // bar's alone; they run the action as the menu bar's item does.
            const TActionId id = *item.Action;
            const TActionState shown = ActionStateOf(id);
            if (!shown.Visible)
                break;
            QAction* action = menu->addAction(fActionItems[id]->text());
            action->setEnabled(state.Enabled && shown.Enabled);
            action->setCheckable(fActionItems[id]->isCheckable());
            action->setChecked(fActionItems[id]->isChecked());
            connect(action, &QAction::triggered, this, [this, id] { RunAction(id); });
            break;
        }
        case TMenuItemKind::mkSubMenu: {
            QMenu* sub = menu->addMenu(ToQString(Tx(ItemCaption(item))));
            AddPopupItems(sub, item.Items, popup, context, fromTree);
            sub->setEnabled(state.Enabled && !sub->isEmpty());
            break;
        }
        case TMenuItemKind::mkCommand: {
            QAction* action = menu->addAction(ToQString(Tx(item.Caption)));
            action->setEnabled(state.Enabled);
            const TPopupCommand command = item.Command;
            connect(action, &QAction::triggered, this, [this, command, fromTree] {
                TFolderTreeView* tree = fTreePane->ActiveView();
                switch (command) {
                case TPopupCommand::pcOpen:
                    fFilePane->OpenCurrent();
                    break;
                case TPopupCommand::pcExpand:
                    if (fromTree && tree->currentIndex().isValid())
                        tree->expand(tree->currentIndex());
                    break;
                case TPopupCommand::pcCollapse:
                    if (fromTree && tree->currentIndex().isValid())
                        tree->collapse(tree->currentIndex());
                    break;
                }
            });
            break;
        }
        case TMenuItemKind::mkList:
            if (item.List == TMenuList::mlShelves)
                fShelfCommands->AddShelfItems(menu, static_cast<int>(menu->actions().size()));
            break;
        }
    }
}

void TMainForm::ShowFilePopup(bool fromTree, const QPoint& position)
{
    const TActionContext context = ActionContext();
    TPopupContext popup;
    popup.FromTree = fromTree;
    popup.HasSelection = !fModel->Selection().empty();
    popup.ListKind = context.ListKind;
    popup.ArchiveShown = context.ArchiveShown;
    if (fromTree) {
        const TFolderTreeView* tree = fTreePane->ActiveView();
        const QModelIndex current = tree->currentIndex();
        popup.NodeHasChildren = current.isValid() && tree->model()->hasChildren(current);
        popup.NodeExpanded = current.isValid() && tree->isExpanded(current);
    }
    QMenu menu(this);
    menu.setObjectName("FilePopupMenu");
    AddPopupItems(&menu, FilePopupMenu(), popup, context, fromTree);
    if (!menu.isEmpty())
        menu.exec(position);
}

void TMainForm::ShowImagePopup(const QPoint& position, bool fromKeyboard, TTargetPage page)
{
    // The view takes the focus (the commands act on its pages), a shown
    // loupe goes, and every action is brought up to date.
    fFrame->Area()->setFocus(Qt::PopupFocusReason);
    fTargets.Choose(TCommandTarget::ctImage);
    if (fFrame->Loupe().Showing())
        fFrame->Loupe().hide();
    UpdateActions();
    const TImagePopupContext popup{fromKeyboard, fromKeyboard ? TTargetPage::tpAsk : page};
    TImagePopupMenu menu(
        popup, ActionContext(), [this](TActionId id) { return fActionItems.at(id); },
        [this](TActionId id, TTargetPage target) { RunAction(id, target); }, this);
    if (!menu.isEmpty())
        menu.exec(position);
}

std::vector<std::string> TMainForm::SelectByNames(const std::vector<std::string>& names)
{
    std::vector<std::string> missing;
    if (names.empty())
        return missing;
    std::vector<int> indices;
    const std::vector<TBrowserItem>& items = fModel->Items();
    for (const std::string& name : names) {
        const auto it = std::find_if(items.begin(), items.end(), [&](const TBrowserItem& item) {
            return item.Name == name || ExcludeTrailingPathDelimiter(item.Path) == ExcludeTrailingPathDelimiter(name);
        });
        if (it == items.end())
            missing.push_back(name);
        else
            indices.push_back(static_cast<int>(it - items.begin()));
    }
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    fModel->Select(indices, indices.empty() ? fModel->FocusedItem() : indices.front());
    // A click in the list gives it the focus, so the commands that follow
    // act on the selection, not on the picture shown.
    if (!indices.empty()) {
        fFilePane->FocusList();
        fTargets.Choose(fModel->ShownPlace().Kind == TPlaceKind::pkArchive ? TCommandTarget::ctArchiveList
                                                                           : TCommandTarget::ctFileList);
    }
    return missing;
}

void TMainForm::ApplyOptions()
{
    if (!fFrame)
        return;
    // Another store folder: the running thumbnails stop before the index is
    // read again from there.
    const std::string store = TThumbnailList::NormalFolder(fCore.Folders().DataFolder, fCore.Options().Thumbnail.Path);
    if (fThumbnails && store != fThumbnails->Store().Folder()) {
        fFilePane->StopThumbnails();
        fThumbnails->ReloadIndex(store);
    }
    fFilePane->SetThumbOptions(fCore.Options());
    if (fAids)
        fAids->SetOptions(fCore.Options().SlideShow, fCore.Options().FullScreen);
    if (fLoupeGrid)
        fLoupeGrid->ApplyOptions();
    if (fPointerHider)
        fPointerHider->SetOptions(fCore.Options().Mouse);
    const TViewPictureOptions& picture = fModel->Viewer().Options().Picture;
    const bool stretchChanged = picture.Stretch != fOwnScaler.Mode();
    fOwnScaler.SetStretch(picture.Stretch);
    fFrame->SetBackground(picture.Back);
    if (stretchChanged)
        fFrame->InvalidatePages();
    // A lowered limit of typed addresses cuts the list at once.
    if (fAddress && static_cast<int>(fAddress->History().Items().size()) > fCore.Options().Recent.AddressBar)
        fAddress->SetHistory(fAddress->History(), fCore.Options().Recent.AddressBar);
    if (fTreePane) {
        TArchiveEnv env;
        env.Loaders = fModel->Loaders();
        env.TempBase = IncludeTrailingPathDelimiter(fCore.TemporaryFolder());
        fTreePane->SetArchiveEnv(env);
        fTreePane->SetOptions(ShellTreeOptionsFrom(fCore.Options()));
    }
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
    // The folder tree and the shelf tree are the ones that list anything
    // until the other collections have their lists.
    fTreePane->SetKind(fModel->ViewStates().TreeKind == TTreeKind::tkShelf ? TTreeKind::tkShelf
                                                                            : TTreeKind::tkFolder);
    // A start place with nothing to show does not leave the full screen
    // the program was started in.
    fStartingUp = true;
    fModel->DeferredStart();
    fStartingUp = false;
    // The picture is painted by the events already queued; settle after them.
    QTimer::singleShot(0, this, [this] { TellSettled(QDeadlineTimer(std::chrono::seconds(30))); });
}

void TMainForm::TellSettled(QDeadlineTimer deadline)
{
    if (!fSettled)
        return;
    if (fModel->Viewer().StepPending() && !deadline.hasExpired()) {
        QTimer::singleShot(5, this, [this, deadline] { TellSettled(deadline); });
        return;
    }
    const std::function<void()> settled = std::move(fSettled);
    fSettled = nullptr;
    settled();
}

bool TMainForm::ShowNamedPlace(const std::string& text)
{
    const std::optional<TNamedPlace> named = ParseNamedPlace(text);
    if (!named)
        return false;
    using enum TNamedPlaceKind;
    const TActionId tree = named->Kind == npShelves || named->Kind == npShelf ? TActionId::actShelf
                           : named->Kind == npMedia || named->Kind == npMedium ? TActionId::actMedia
                                                                                : TActionId::actCategory;
    RunWindowAction(tree, TTargetPage::tpAsk);
    return fModel->ShowNamedPlace(text);
}

bool TMainForm::Settle(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::processEvents();
    // A page step still gathering its pictures completes through the event
    // loop, the moves behind it after it; so does a zoomed page loading in
    // full.
    // So does a category shown while it is being gathered.
    const auto busy = [this] {
        const TShellListModel& list = fModel->FileList();
        const TCategoryFolder* category =
            list.Content() == TListContent::lcoCategory ? fCategories.Category(list.ListIndex()) : nullptr;
        return fModel->Viewer().StepPending() || fModel->Viewer().FullLoadPending() || (category && category->Busy());
    };
    while (busy() && clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    bool idle = !busy();
    if (TImageCacheThread* cache = fModel->Viewer().Cache())
        idle = cache->WaitIdle(std::chrono::milliseconds(std::max<qint64>(0, milliseconds - clock.elapsed()))) && idle;
    // The thumbnails asked for by the view are made, then their results
    // delivered by the event loop.
    while (!fFilePane->ThumbnailsIdle() && clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    idle = idle && fFilePane->ThumbnailsIdle();
    QCoreApplication::processEvents();
    fFrame->Render();
    UpdateStatus();
    return idle;
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    // The thumbnail thread stops before anything is saved.
    fFilePane->StopThumbnails();
    for (const std::string& failure : fKeeper->Close())
        ShowMessage(failure, TMessageIcon::miWarning);
    try {
        fAddress->History().Save(fCore.Folders().DataFolder);
        fSearch->SaveHistory();
        if (fSavesState) {
            TIniFile ini(fCore.SettingsPath());
            fSearch->SaveSettings(ini);
            ini.UpdateFile();
        }
    } catch (const std::exception& e) {
        ShowMessage(e.what(), TMessageIcon::miWarning);
    }
    // The separate window keeps its rectangle and hands the view back.
    if (fImageWindows)
        fImageWindows->CloseForExit();
    fModel->BeginClose();
    if (fSavesState && !fStateSaved) {
        fStateSaved = true;
        fModel->SaveAtClose();
    }
    event->accept();
}

// --- The window's state across runs -------------------------------------------------

TScreenInfo TMainForm::ScreenInfo() const
{
    const auto rect = [](const QRect& r) { return TWindowRect{r.x(), r.y(), r.width(), r.height()}; };
    TScreenInfo info;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return info;
    info.WorkArea = rect(primary->availableGeometry());
    // Sizes are kept in 96-dpi units: a desktop set to 144 dpi gets a window
    // half as large again in pixels.
    info.Scale = primary->logicalDotsPerInch() > 0 ? primary->logicalDotsPerInch() / 96.0 : 1.0;
    for (const QScreen* screen : QGuiApplication::screens())
        info.Screens.push_back(rect(screen->availableGeometry()));
    return info;
}

void TMainForm::CaptureWindowState(TWindowState& state)
{
    const TScreenInfo screens = ScreenInfo();
    const bool full = isFullScreen();
    const QRect normal = isMaximized() || full ? normalGeometry() : geometry();
    if (normal.isValid())
        StoreWindowBounds(state, {normal.x(), normal.y(), normal.width(), normal.height()}, screens);
    state.Max = windowState().testFlag(Qt::WindowMaximized);
    TSplitterState& splitters = state.Splitters(full);
    const auto units = [&](int pixels) { return ToUnits(pixels, screens.Scale); };
    // With the image panel given up to the tree, the tree's width says
    // nothing about the pane the user sized.
    if (fLeftSplitter->isVisible() && fImageSplitter->isVisible() && fTreeSplitter->sizes().size() == 2)
        splitters.Tree[static_cast<size_t>(fModel->ViewStates().TreeKind)] = units(fTreeSplitter->sizes()[0]);
    if (fTreePane->isVisible() && fFilePane->isVisible() && fFilePane->parentWidget() == fLeftSplitter)
        splitters.TreeOverFile = units(fLeftSplitter->sizes()[0]);
    if (fFilePane->isVisible() && fFilePane->parentWidget() == fImageSplitter)
        splitters.FileOverImage = units(fImageSplitter->sizes()[0]);
}

void TMainForm::ApplyWindowState(const TWindowState& state)
{
    const TScreenInfo screens = ScreenInfo();
    const TWindowRect bounds = WindowBounds(state, screens);
    if (!isFullScreen() && !isMaximized())
        setGeometry(bounds.Left, bounds.Top, bounds.Width, bounds.Height);
    if (state.Max && !isFullScreen())
        setWindowState(windowState() | Qt::WindowMaximized);
    const TSplitterState& splitters = state.Splitters(isFullScreen());
    const auto pixels = [&](int32_t units) { return std::max(ToPixels(units, screens.Scale), 1); };
    const int minimum = pixels(MinimumPaneSize);
    // Without a kept value the tree pane takes its usual width, the tree
    // half the left pane and the file view a third of the image panel.
    const int width = std::max(bounds.Width, 2 * minimum);
    const std::optional<int32_t>& tree = splitters.Tree[static_cast<size_t>(fModel->ViewStates().TreeKind)];
    const int treeWidth = std::clamp(tree ? pixels(*tree) : 280, minimum, width - minimum);
    fTreeSplitter->setSizes({treeWidth, width - treeWidth});
    const int height = std::max(bounds.Height, 2 * minimum);
    if (fLeftSplitter->count() == 2) {
        const int top = std::clamp(splitters.TreeOverFile ? pixels(*splitters.TreeOverFile) : height / 2, minimum,
                                   height - minimum);
        fLeftSplitter->setSizes({top, height - top});
    }
    if (fImageSplitter->count() == 2) {
        const int top = std::clamp(splitters.FileOverImage ? pixels(*splitters.FileOverImage) : height / 3, minimum,
                                   height - minimum);
        fImageSplitter->setSizes({top, height - top});
    }
}

void TMainForm::HandOver(const THandOver& message)
{
    RestoreFromTray();
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
    if (fModel->HandOver(message, InFullScreen()).EnterFullScreen)
        fAids->EnterFullScreen();
}

// --- Drops and dialogs ---------------------------------------------------------------

bool TMainForm::AcceptsFileDrop(const QDropEvent& event)
{
    // A drag started by one of the lists is not a file to open, also when
    // it passes over the window's frame.
    if (event.source())
        return false;
    const QMimeData* data = event.mimeData();
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                return true;
    return false;
}

bool TMainForm::OpenDroppedFile(const QDropEvent& event)
{
    const QMimeData* data = event.mimeData();
    if (!data)
        return false;
    // The first local path is opened, as a path given on the command line.
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        fModel->OpenPathFromUser(ToStdString(url.toLocalFile()));
        return true;
    }
    return false;
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (AcceptsFileDrop(*event))
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event)
{
    if (!event->mimeData() || !AcceptsFileDrop(*event))
        return;
    event->acceptProposedAction();
    activateWindow();
    OpenDroppedFile(*event);
}

void TMainForm::OpenDialog(bool folder)
{
    const QString start = ToQString(fModel->DialogStartFolder());
    QString chosen;
    if (folder) {
        chosen = QFileDialog::getExistingDirectory(this, QString::fromUtf8(Tx("フォルダを開く")), start);
    } else {
        // Pictures and archives the loaders read, by their extensions.
        QStringList patterns;
        const TLoaderSetPtr& loaders = fModel->Loaders();
        for (const std::string& ext : loaders->ImageExtensions())
            patterns << "*" + ToQString(ext).toLower();
        for (const std::string& ext : loaders->ArchiveExtensions())
            patterns << "*" + ToQString(ext).toLower();
        const QString filter = QString::fromUtf8(Tx("画像と書庫 (%1);;すべてのファイル (*)")).arg(patterns.join(' '));
        chosen = QFileDialog::getOpenFileName(this, QString::fromUtf8(Tx("開く")), start, filter);
    }
    if (!chosen.isEmpty())
        fModel->OpenPathFromUser(ToStdString(chosen));
}

void TMainForm::RatioDialog()
{
    bool ok = false;
    const int percent = QInputDialog::getInt(this, QString::fromUtf8(Tx("倍率の入力")), QString::fromUtf8(Tx("倍率 (%):")),
                                             CustomRatioPercent(fModel->Viewer().ViewState().CustomRatio), 1, 800, 1, &ok);
    if (ok)
        Carry(fModel->Carry(fModel->Actions().ApplyEnteredRatio(percent)));
}

void TMainForm::SizeDialog()
{
    QDialog dialog(this);
    dialog.setWindowTitle(QString::fromUtf8(Tx("サイズの指定")));
    auto* layout = new QFormLayout(&dialog);
    auto* size = new QSpinBox(&dialog);
    size->setRange(1, 5000);
    size->setSuffix(QStringLiteral(" px"));
    size->setValue(fModel->Viewer().ViewState().SetSize);
    auto* height = new QRadioButton(QString::fromUtf8(Tx("高さ(&V)")), &dialog);
    height->setObjectName("rbVert");
    auto* width = new QRadioButton(QString::fromUtf8(Tx("幅(&H)")), &dialog);
    width->setObjectName("rbHorz");
    (fModel->Viewer().ViewState().SizeDir == TSizeDir::sdWidth ? width : height)->setChecked(true);
    layout->addRow(QString::fromUtf8(Tx("サイズ:")), size);
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

// --- Slideshow and full screen ------------------------------------------------------

bool TMainForm::InFullScreen() const
{
    return fAids && fAids->FullScreen();
}

void TMainForm::BuildViewAids()
{
    TViewAids::TLinks links;
    links.EnsurePicture = [this] {
        if (!fModel->Viewer().Primary().Bitmap)
            Carry(fModel->RunAction(TActionId::actFirst));
        return fModel->Viewer().Primary().Bitmap != nullptr;
    };
    links.CanStep = [this] { return isEnabled() && !QApplication::activeModalWidget() && fModel->Viewer().Primary().Bitmap; };
    links.RunStep = [this](const TSlideStep& step) {
        fAids->SlideShow().SetBinding(fModel->Viewer().ViewState().Binding);
        const int before = fModel->Viewer().Shown().Primary;
        TViewActions& actions = fModel->Actions();
        // Steps run as menu commands do: no key exchange, no focus taken.
        const TActionOutcome outcome = fModel->Carry(step.IsScroll ? actions.RunScroll(step.Scroll, false)
                                                                   : actions.RunMove(step.Move, false));
        Carry(outcome);
        if (outcome.Request == TWindowRequest::wrExit || !fModel->Viewer().Primary().Bitmap)
            return TSlideStepResult::srClosed;
        if (outcome.Request == TWindowRequest::wrNextFolder || outcome.Request == TWindowRequest::wrPriorFolder)
            return TSlideStepResult::srOpening;
        const bool moved = fModel->Viewer().Shown().Primary != before;
        return moved || outcome.ViewChanged || outcome.Animate ? TSlideStepResult::srShown
                                                               : TSlideStepResult::srNothing;
    };
    links.LayoutPanes = [this] {
        LayoutPanes();
        UpdateActions();
    };
    links.ViewRect = [this] { return QRect(fFrame->mapToGlobal(QPoint(0, 0)), fFrame->size()); };
    // In the separate arrangement full screen is the image window's.
    links.FullScreenWindow = [this]() -> QMainWindow* { return ImageWindow(); };
    links.LoupeOn = [this] { return fLoupeGrid && fLoupeGrid->Checked(TActionId::actLoupe); };
    fAids = new TViewAids(*this, std::move(links));
    fAids->SetOptions(fCore.Options().SlideShow, fCore.Options().FullScreen);
    fLoupeGrid = std::make_unique<TLoupeGridAids>(
        *fFrame, fCore, [this](const std::string& text) { ShowMessage(text, TMessageIcon::miWarning); });
    TPointerHider::TLinks pointer;
    pointer.OverPage = [this](TPoint point) {
        const TPageLayout& layout = fModel->Viewer().Layout();
        return (layout.PageShown(0) && layout.PageRect(0).Contains(point)) ||
               (layout.PageShown(1) && layout.PageRect(1).Contains(point));
    };
    pointer.FullScreen = [this] { return InFullScreen(); };
    pointer.LoupeOn = [this] { return fLoupeGrid && fLoupeGrid->Checked(TActionId::actLoupe); };
    fPointerHider = new TPointerHider(*fFrame->Area(), std::move(pointer));
    fPointerHider->SetOptions(fCore.Options().Mouse);
}

void TMainForm::CarryShowAids()
{
    if (!fAids)
        return;
    // Read at every notice, so that a move's mark never waits for a later
    // picture.
    const bool moved = fModel->Actions().TakeMoved();
    const std::string shown = fModel->Viewer().Primary().Bitmap ? fModel->ShownFile() : std::string();
    const TShowAidsState state{InFullScreen(), fAids->SlideShow().Running(), fStartingUp};
    TOpenForce force = fOpenForce;
    if (fPendingOpenForce && !fModel->Viewer().StepPending()) {
        force = *fPendingOpenForce;
        fPendingOpenForce.reset();
    }
    const TShowAidsRequest request =
        fShowAids.Shown(shown, moved, fCore.Options().Picture, fCore.Options().FullScreen, state, force);
    if (request.LeaveFullScreen)
        fAids->LeaveFullScreen();
    if (request.EnterFullScreen)
        fAids->EnterFullScreen();
    if (request.StartSlideShow)
        RunViewAid(TActionId::actSlideShow);
    if (request.LeaveFullScreen || request.EnterFullScreen || request.StartSlideShow)
        UpdateActions();
}

bool TMainForm::RunViewAid(TActionId action)
{
    if (const std::optional<TSlideShowCommand> command = SlideCommandOf(action)) {
        fAids->SlideShow().SetCommand(*command);
        UpdateActions();
        return true;
    }
    if (action == TActionId::actSlideShow) {
        fAids->SlideShow().Toggle();
        ShowSlideShowColour();
        UpdateActions();
        return true;
    }
    if (action == TActionId::actFullScreen) {
        fAids->ToggleFullScreen();
        UpdateActions();
        return true;
    }
    if (fLoupeGrid && fLoupeGrid->Run(action)) {
        if (action == TActionId::actLoupe)
            fAids->LoupeChanged();
        UpdateActions();
        return true;
    }
    return false;
}

void TMainForm::ShowSlideShowColour()
{
    fFrame->SetBackground(fAids->SlideShow().Running() ? fCore.Options().SlideShow.Color
                                                       : fModel->Viewer().Options().Picture.Back);
}

void TMainForm::RunOpenCommand(TActionId action)
{
    using enum TOpenStep;
    const bool slideShow = action == TActionId::actS_Open;
    TOpenFacts facts;
    facts.Target = Target();
    TShellTreeModel& tree = fTreePane->ActiveTree();
    const TTreeNode* node = tree.Selected();
    if (facts.Target == TCommandTarget::ctTree) {
        // The node the tree's cursor is on, which a context menu acts on.
        const TFolderTreeView* view = fTreePane->ActiveView();
        const TShellTreeItemModel* items = view ? view->TreeModel() : nullptr;
        if (const TTreeNode* current = items ? items->NodeAt(view->currentIndex()) : nullptr)
            node = current;
        facts.NodeSelected = node == tree.Selected();
    }
    facts.ImageShown = fModel->Viewer().Primary().HasBitmap();
    facts.ShownIndex = fModel->Viewer().Shown().Primary;
    const std::string shownBefore = facts.ImageShown ? fModel->ShownFile() : std::string();

    // While the command runs, the picture it shows counts as opened with
    // full screen or the slideshow asked for.
    const TOpenForce before = fOpenForce;
    fOpenForce = TOpenForce{!slideShow, slideShow};
    int chosenRow = -1;
    bool inArchive = false;
    const TOpenStep step = OpenStepFor(slideShow, facts);
    switch (step) {
    case osOpenFileList: chosenRow = fFilePane->OpenFileSelection(); break;
    case osOpenArchiveList:
        chosenRow = fFilePane->OpenArchiveSelection();
        inArchive = true;
        break;
    case osSelectNode: tree.Select(node); break;
    case osShowFirst: Carry(fModel->RunAction(TActionId::actFirst)); break;
    case osToggleFullScreen: fAids->ToggleFullScreen(); break;
    case osNothing: break;
    }
    fOpenForce = before;
    fPendingOpenForce.reset();
    if (fModel->Viewer().StepPending()) {
        // A picture slow to decode shows later, through the event loop.
        fPendingOpenForce = TOpenForce{!slideShow, slideShow};
        UpdateActions();
        return;
    }

    const bool shown = fModel->Viewer().Primary().HasBitmap();
    if (!slideShow) {
        // A picture that was shown already, or the first one a tree asked
        // for, brings no opening notice: full screen is entered here.
        const bool opened =
            shown && (fModel->ShownFile() != shownBefore || step == osShowFirst ||
                      (chosenRow >= 0 && fModel->IsShownRow(chosenRow, inArchive)));
        if (opened && step != osToggleFullScreen && !InFullScreen())
            fAids->EnterFullScreen();
    } else {
        // With nothing to show the slideshow stays off; otherwise it runs,
        // its interval counting from now.
        TSlideShow& show = fAids->SlideShow();
        if (!shown)
            show.Stop();
        else if (!show.Running())
            show.Start();
        else
            show.PictureShown();
        ShowSlideShowColour();
    }
    UpdateActions();
}

// --- The separate image window --------------------------------------------------------

TImageWindowForm* TMainForm::ImageWindow() const
{
    return fImageWindows ? fImageWindows->Window() : nullptr;
}

bool TMainForm::ViewSeparate() const
{
    return fImageWindows && fImageWindows->Separate();
}

void TMainForm::BuildImageWindows()
{
    TImageWindowHost::TLinks links;
    links.Browser = this;
    links.Frame = fFrame;
    links.ImagePane = fImageSplitter;
    links.Action = [this](TActionId action) { return Action(action); };
    links.AcceptsDrop = [](const QDropEvent& event) { return AcceptsFileDrop(event); };
    links.Drop = [this](const QDropEvent& event) { return AcceptsFileDrop(event) && OpenDroppedFile(event); };
    links.Key = [this](int key, Qt::KeyboardModifiers modifiers) {
        if (RouteKey(key, modifiers, true))
            return true;
        if (key == Qt::Key_Escape && InFullScreen()) {
            fAids->LeaveFullScreen();
            return true;
        }
        return false;
    };
    links.PictureClosing = [this] {
        if (fAids && fAids->SlideShow().Running())
            RunViewAid(TActionId::actSlideShow);
        if (fModel->Viewer().Primary().HasBitmap()) {
            fKeeper->PictureClosing();
            Carry(fModel->RunAction(TActionId::actClose));
        }
    };
    links.LeaveFullScreen = [this] {
        if (fAids && fAids->FullScreenWindow() && fAids->FullScreenWindow() == ImageWindow())
            fAids->LeaveFullScreen();
    };
    links.Minimised = [this](bool minimised) {
        // Minimising the image window goes to the tray as the main
        // window's minimising does, when the settings say so.
        if (minimised && fCore.Options().Other.MinimizeTray && QSystemTrayIcon::isSystemTrayAvailable()) {
            QTimer::singleShot(0, this, [this] { HideInTray(); });
            return;
        }
        if (fAids)
            fAids->WindowHidden(minimised);
    };
    links.SettingsPath = [this] { return fCore.SettingsPath(); };
    links.SavesState = [this] { return fSavesState; };
    links.Message = [this](const std::string& text) { ShowMessage(text, TMessageIcon::miWarning); };
    fImageWindows = std::make_unique<TImageWindowHost>(std::move(links));
    // Ctrl+Tab swaps the two windows from either of them; it is no key of
    // the customisable lists.
    if (QAction* swap = Action(TActionId::actActiveChange)) {
        swap->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab));
        swap->setShortcutContext(Qt::ApplicationShortcut);
    }
    if (fModel->ViewStates().ViewForm)
        fImageWindows->SetSeparate(true, false, fModel->ViewStates().ImageMenu);
}

bool TMainForm::RunImageWindowAction(TActionId action)
{
    TViewStates states = fModel->ViewStates();
    switch (action) {
    case TActionId::actViewForm: {
        states.ViewForm = !states.ViewForm;
        if (states.ViewForm && fImageSplitter->isVisible() && fLeftSplitter->isVisible())
            fTreeWidthBeforeSeparate = fTreeSplitter->sizes().value(0);
        if (states.ViewForm) {
            // The tree and the file view take the whole room; the file view
            // is shown, so the browser has something to give it to.
            if (!states.Normal.File)
                states.Normal.File = true;
        }
        fModel->SetViewStates(states);
        fImageWindows->SetSeparate(states.ViewForm, fModel->Viewer().Primary().HasBitmap(), states.ImageMenu);
        LayoutPanes();
        if (!states.ViewForm) {
            // The image panel comes back beside the tree at the tree's
            // former width, or the one kept for the tree kind.
            const TScreenInfo screens = ScreenInfo();
            const std::optional<int32_t>& kept =
                fModel->WindowState().Normal.Tree[static_cast<size_t>(states.TreeKind)];
            const int total = std::max(fTreeSplitter->width(), 2);
            const int minimum = ToPixels(MinimumPaneSize, screens.Scale);
            int tree = fTreeWidthBeforeSeparate > 0 ? fTreeWidthBeforeSeparate
                                                    : (kept ? ToPixels(*kept, screens.Scale) : 280);
            tree = std::clamp(tree, 1, std::max(total - minimum, 1));
            fTreeSplitter->setSizes({tree, total - tree});
            fTreeWidthBeforeSeparate = 0;
        }
        if (states.ViewForm && !ImageWindow())
            fFilePane->FocusList();
        else if (!states.ViewForm)
            fFrame->Area()->setFocus();
        fFrame->ShowImageBar(fModel->Actions().ImageBarShown());
        fFrame->ShowSeekBar(fModel->Actions().SeekBarShown());
        RefreshView();
        UpdateActions();
        return true;
    }
    case TActionId::actImageMenu:
        states.ImageMenu = !states.ImageMenu;
        fModel->SetViewStates(states);
        LayoutPanes();
        UpdateActions();
        return true;
    case TActionId::actActiveChange:
        fImageWindows->ActiveChange();
        return true;
    default:
        return false;
    }
}
