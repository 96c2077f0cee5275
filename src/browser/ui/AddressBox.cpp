#include "browser/ui/AddressBox.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

TAddressBox::TAddressBox(QWidget* parent) : QComboBox(parent)
{
    setObjectName("cbxAdrsBar");
    setEditable(true);
    // The box keeps its items itself: the history decides where a text goes.
    setInsertPolicy(QComboBox::NoInsert);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMaxVisibleItems(20);

    // Folders only: the address bar goes to places, files are opened in them.
    auto* folders = new QFileSystemModel(this);
    folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    folders->setRootPath("/");
    auto* completer = new QCompleter(folders, this);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setCaseSensitivity(Qt::CaseSensitive);
    // An item of the history picked from the list must not be completed.
    setCompleter(nullptr);
    lineEdit()->setCompleter(completer);

    connect(lineEdit(), &QLineEdit::returnPressed, this, [this] {
        hidePopup();
        Enter();
        lineEdit()->end(false);
    });
    // A history item chosen with the mouse or the keys once the list closed;
    // the box has put its text into the edit field by then.
    connect(this, &QComboBox::activated, this, [this](int) { Enter(); });
    view()->installEventFilter(this);
}

void TAddressBox::Enter()
{
    // One Enter reaches the box through the edit field, the box's own
    // matching of the text against its items and the completer: the address
    // is gone to once.
    if (fEntering)
        return;
    fEntering = true;
    QTimer::singleShot(0, this, [this] { fEntering = false; });
    emit AddressEntered(lineEdit()->text());
}

void TAddressBox::SetHistory(TAddressHistory history, int limit)
{
    fHistory = std::move(history);
    fHistory.Trim(limit);
    Fill();
}

void TAddressBox::ShowAddress(const std::string& text)
{
    lineEdit()->setText(QString::fromStdString(text));
}

void TAddressBox::Remember(const std::string& text, int limit)
{
    const QString shown = lineEdit()->text();
    fHistory.Add(text, limit);
    Fill();
    lineEdit()->setText(shown);
}

void TAddressBox::Fill()
{
    const QSignalBlocker quiet(this);
    const QString shown = lineEdit()->text();
    clear();
    for (const std::string& item : fHistory.Items())
        addItem(QString::fromStdString(item));
    setCurrentIndex(-1);
    lineEdit()->setText(shown);
}

bool TAddressBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == view() && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        const int row = view()->currentIndex().row();
        if (row >= 0) {
            const int next = fHistory.Remove(row);
            const QSignalBlocker quiet(this);
            removeItem(row);
            if (next >= 0)
                view()->setCurrentIndex(model()->index(next, 0));
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}
