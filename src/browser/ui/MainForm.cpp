#include "browser/ui/MainForm.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QShowEvent>
#include <QTimer>
#include <algorithm>

#include "browser/FolderImages.h"
#include "browser/ui/PictureView.h"
#include "common/Errors.h"
#include "common/PathUtils.h"

namespace {

const char* const AppTitle = "Mireva";

QString ToQString(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TMainForm::TMainForm(TAppCore& core, QWidget* parent)
    : QMainWindow(parent)
    , fCore(core)
{
    setWindowTitle(AppTitle);
    fView = new TPictureView(this);
    setCentralWidget(fView);
    fView->setFocus();
    resize(1024, 768);
    ApplyOptions();
}

void TMainForm::ApplyOptions()
{
    const TColor back = DefaultSystemColor(fCore.Options().Picture.Back);
    fView->SetBackground(QColor(ColorRed(back), ColorGreen(back), ColorBlue(back)));
}

TMainForm::~TMainForm() = default;

std::string TMainForm::ShownFile() const
{
    if (fIndex < 0 || fIndex >= static_cast<int>(fImages.size()) || !fView->Picture())
        return {};
    return fImages[static_cast<size_t>(fIndex)];
}

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

void TMainForm::closeEvent(QCloseEvent* event)
{
    fCore.BeginClose();
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
    fImages.clear();
    for (const std::string& name : names)
        fImages.push_back(JoinPath(fShown.Folder, name));
    fIndex = -1;
    fView->SetPicture(nullptr);

    // The file the path named, else the folder's first picture.
    const std::string pending = fPending.FilePath;
    fPending = {};
    if (pending.empty() || !SelectAndShow(pending))
        ShowFirstImage();
    UpdateTitle();
    return true;
}

bool TMainForm::ShowArchive(const std::string& archivePath, const std::string& innerFolder)
{
    // Archives are listed through archive loaders; until one reads this
    // archive there is nothing to show.
    fPending = {};
    ShowMessage(NotReadMessage(archivePath), TMessageIcon::miWarning);
    return false;
}

bool TMainForm::SelectAndShow(const std::string& name)
{
    const auto it = std::find(fImages.begin(), fImages.end(), name);
    if (it == fImages.end())
        return false;
    ShowImageAt(static_cast<int>(it - fImages.begin()));
    return true;
}

void TMainForm::ShowFirstImage()
{
    if (!fImages.empty())
        ShowImageAt(0);
}

void TMainForm::ShowImageAt(int index)
{
    if (index < 0 || index >= static_cast<int>(fImages.size()))
        return;
    fIndex = index;
    std::unique_ptr<TBitmap> bitmap = LoadPicture(fCore.Registry(), fImages[static_cast<size_t>(index)], nullptr, this);
    if (bitmap)
        PrepareLoadedBitmap(*bitmap);
    fView->SetPicture(std::move(bitmap));
    UpdateTitle();
}

void TMainForm::ShowNextImage(int step)
{
    if (fImages.empty())
        return;
    const int last = static_cast<int>(fImages.size()) - 1;
    const int target = std::clamp(fIndex + step, 0, last);
    if (target != fIndex)
        ShowImageAt(target);
}

void TMainForm::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Right:
    case Qt::Key_Space:
    case Qt::Key_PageDown:
        ShowNextImage(1);
        break;
    case Qt::Key_Left:
    case Qt::Key_Backspace:
    case Qt::Key_PageUp:
        ShowNextImage(-1);
        break;
    case Qt::Key_Home:
        ShowImageAt(0);
        break;
    case Qt::Key_End:
        ShowImageAt(static_cast<int>(fImages.size()) - 1);
        break;
    case Qt::Key_Escape:
        if (isFullScreen())
            showNormal();
        break;
    default:
        QMainWindow::keyPressEvent(event);
        return;
    }
    event->accept();
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

void TMainForm::UpdateTitle()
{
    const std::string shown = ShownFile();
    setWindowTitle(shown.empty() ? QString(AppTitle) : ToQString(ExtractFileName(shown)) + " - " + AppTitle);
}
