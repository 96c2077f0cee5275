#include "browser/ui/DropWindow.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDrag>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <cmath>

#include "base/PathUtils.h"
#include "browser/ui/FileDragData.h"
#include "base/Texts.h"

namespace {

double Scale(const QWidget* widget)
{
    const QScreen* screen = widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInch() / 96.0 : 1.0;
}

}  // namespace

bool DropWindowAvailable()
{
    return !QGuiApplication::platformName().startsWith("wayland");
}

TDropWindow::TDropWindow(std::vector<std::string> paths, const TDropWindowSettings& settings, QWidget* parent)
    : QDialog(parent), fPaths(std::move(paths)), fSettings(settings)
{
    setWindowTitle(Tx("動作中のアプリケーションで開く"));
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(Tx("一覧(&L)"));
    fList = new QListWidget;
    fList->setObjectName("lvFiles");
    label->setBuddy(fList);
    for (const std::string& path : fPaths) {
        auto* item = new QListWidgetItem(QString::fromStdString(ExtractFileName(ExcludeTrailingPathDelimiter(path))));
        item->setToolTip(QString::fromStdString(path));
        fList->addItem(item);
    }
    // The whole list is the handle: any press and move drags every file.
    fList->setSelectionMode(QAbstractItemView::NoSelection);
    fList->viewport()->installEventFilter(this);
    layout->addWidget(label);
    layout->addWidget(fList);
    // What to do is not obvious from a list: the window says it.
    layout->addWidget(new QLabel(Tx("一覧をアプリケーションのウィンドウへドラッグしてください")));
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(Tx("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    const double scale = Scale(this);
    setMinimumSize(static_cast<int>(std::lround(DropWindowMinWidth * scale)),
                   static_cast<int>(std::lround(DropWindowMinHeight * scale)));
    if (settings.Width && settings.Height)
        resize(static_cast<int>(std::lround(*settings.Width * scale)),
               static_cast<int>(std::lround(*settings.Height * scale)));
}

TDropWindowSettings TDropWindow::Settings() const
{
    TDropWindowSettings settings = fSettings;
    const double scale = Scale(this);
    settings.Width = static_cast<int32_t>(std::lround(width() / scale));
    settings.Height = static_cast<int32_t>(std::lround(height() / scale));
    return settings;
}

bool TDropWindow::StartDrag()
{
    auto* drag = new QDrag(this);
    drag->setMimeData(new TFileDragData(fPaths));
    const Qt::DropAction done = drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction);
    if (done == Qt::IgnoreAction)
        return false;
    accept();
    return true;
}

bool TDropWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == fList->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            fArmed = mouse->button() == Qt::LeftButton;
            fPress = mouse->position().toPoint();
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            fArmed = false;
            return true;
        }
        if (event->type() == QEvent::MouseMove && fArmed) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if ((mouse->position().toPoint() - fPress).manhattanLength() >= QApplication::startDragDistance()) {
                fArmed = false;
                StartDrag();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
