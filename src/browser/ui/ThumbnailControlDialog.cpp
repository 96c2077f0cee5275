#include "browser/ui/ThumbnailControlDialog.h"

#include <algorithm>
#include <set>

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/Errors.h"
#include "common/BfStream.h"
#include "common/ByteSize.h"
#include "common/DateTime.h"
#include "loading/ImgLoader.h"
#include "platform/FileStream.h"
#include "thumbnails/ThumbControl.h"
#include "viewer/ui/BitmapImage.h"
#include "base/Texts.h"

namespace {

constexpr int PreviewSide = 150;

QString KBText(int64_t bytes)
{
    return QString::fromStdString(FormatKBSize(bytes));
}

// The first thumbnail of a data file, or a null image when it cannot be had.
QImage FirstThumbnail(const std::string& path)
{
    try {
        TFileStream file(path, TFileMode::fmOpenRead);
        TThumbDataContents contents;
        {
            TBufferStream buffer(file, TBufferStream::ThumbnailBufferSize);
            contents = ReadThumbData(buffer, 0, 1, false, {});
        }
        if (contents.Records.empty())
            return {};
        const auto bytes = ReadThumbBytes(file, contents.Records.front());
        if (!bytes)
            return {};
        const TBitmap bitmap = DecodeJpeg(bytes->data(), bytes->size());
        return BitmapImage(bitmap).copy();
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

TThumbnailControlDialog::TThumbnailControlDialog(const std::string& folder, const TThumbControlState& state,
                                                 QWidget* parent)
    : QDialog(parent), fControl(std::make_unique<TThumbControl>(folder)), fSort(state.Sort), fSortDir(state.SortDir)
{
    setWindowTitle(tr(Tx("サムネイルの管理")));
    setSizeGripEnabled(true);
    setMinimumSize(ThumbControlMinWidth, ThumbControlMinHeight);
    Confirm = [this](const QString& text) {
        return QMessageBox::question(this, QStringLiteral("Mireva"), text, QMessageBox::Ok | QMessageBox::Cancel) ==
               QMessageBox::Ok;
    };

    auto* listLabel = new QLabel(tr(Tx("一覧(&L)")), this);
    fList = new QTreeWidget(this);
    fList->setObjectName("lvIndex");
    fList->setRootIsDecorated(false);
    fList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fList->setSelectionBehavior(QAbstractItemView::SelectRows);
    fList->setHeaderLabels({tr(Tx("パス")), tr(Tx("ファイル数")), tr(Tx("保存サイズ")), tr(Tx("アクセス日時"))});
    fList->setColumnWidth(0, 370);
    fList->setColumnWidth(1, 70);
    fList->setColumnWidth(2, 80);
    fList->setColumnWidth(3, 80);
    for (size_t i = 0; i < state.Header.size() && i < static_cast<size_t>(fList->columnCount()); ++i)
        fList->setColumnWidth(static_cast<int>(i), state.Header[i]);
    listLabel->setBuddy(fList);

    fFullPath = new QCheckBox(tr(Tx("フルパスを表示(&F)")), this);
    fFullPath->setChecked(state.FullPath);
    fNotExistFile = new QPushButton(tr(Tx("存在しないファイルを削除(&L)")), this);
    fNotExistFile->setObjectName("btnNotExistFile");
    auto* notExistPath = new QPushButton(tr(Tx("存在しないパスを削除(&E)")), this);
    notExistPath->setObjectName("btnNotExistPath");
    auto* all = new QPushButton(tr(Tx("全て削除(&A)")), this);
    all->setObjectName("btnAll");
    auto* remove = new QPushButton(tr(Tx("削除(&D)")), this);
    remove->setObjectName("btnDelete");
    remove->setShortcut(QKeySequence::Delete);
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName("btnOK");
    ok->setDefault(true);
    auto* cancel = new QPushButton(tr(Tx("キャンセル")), this);
    cancel->setObjectName("btnCancel");
    fPreview = new QLabel(this);
    fPreview->setFixedSize(PreviewSide, PreviewSide);
    fPreview->setAlignment(Qt::AlignCenter);
    fPreview->setFrameShape(QFrame::StyledPanel);
    auto* nowTotal = new QLabel(tr(Tx("現在の合計サイズ：")) + KBText(fControl->InitialTotal()), this);
    fTotal = new QLabel(this);
    fTotal->setObjectName("lblTotal");

    auto* side = new QVBoxLayout;
    side->addWidget(fPreview);
    for (QWidget* w : std::initializer_list<QWidget*>{fNotExistFile, notExistPath, all, remove})
        side->addWidget(w);
    side->addStretch();
    side->addWidget(ok);
    side->addWidget(cancel);
    auto* left = new QVBoxLayout;
    left->addWidget(listLabel);
    left->addWidget(fList);
    left->addWidget(fFullPath);
    left->addWidget(nowTotal);
    left->addWidget(fTotal);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(side);

    connect(fFullPath, &QCheckBox::toggled, this, [this] { SortKeepingSelection(); });
    connect(fList, &QTreeWidget::itemSelectionChanged, this, [this] { UpdatePreview(); });
    // The header turns its indicator before it reports the click.
    connect(fList->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        fSort = static_cast<TThumbSortColumn>(column);
        fSortDir = fList->header()->sortIndicatorOrder() == Qt::DescendingOrder ? TThumbSortDir::sdDesc
                                                                                 : TThumbSortDir::sdAsc;
        SortKeepingSelection();
    });
    fList->header()->setSortIndicator(static_cast<int>(fSort), fSortDir == TThumbSortDir::sdDesc
                                                                   ? Qt::DescendingOrder
                                                                   : Qt::AscendingOrder);
    fList->header()->setSortIndicatorShown(true);
    fList->header()->setSectionsClickable(true);
    connect(remove, &QPushButton::clicked, this, [this] {
        if (SelectedRows().empty())
            return;
        Remove(tr(Tx("選択されたパスのサムネイルを削除してもよろしいですか？  ")),
               [this] { fControl->RemoveRows(SelectedRows()); });
    });
    connect(fNotExistFile, &QPushButton::clicked, this, [this] {
        Remove(tr(Tx("選択したパス内の存在しないファイルのサムネイルを削除してもよろしいですか？  ")), [this] {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            try {
                fControl->RemoveMissingFiles(SelectedRows());
            } catch (const std::exception& e) {
                QApplication::restoreOverrideCursor();
                QMessageBox::warning(this, QStringLiteral("Mireva"), QString::fromStdString(e.what()));
                return;
            }
            QApplication::restoreOverrideCursor();
        });
    });
    connect(notExistPath, &QPushButton::clicked, this, [this] {
        if (fControl->Rows().empty())
            return;
        Remove(tr(Tx("存在しないパスのサムネイルを削除してもよろしいですか？  ")), [this] { fControl->RemoveGone(); });
    });
    connect(all, &QPushButton::clicked, this, [this] {
        if (fControl->Rows().empty())
            return;
        Remove(tr(Tx("全てのサムネイルを削除してもよろしいですか？  ")), [this] { fControl->RemoveAll(); });
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    if (state.Size)
        resize(state.Size->Width, state.Size->Height);
    Sort();
    Fill();
}

TThumbnailControlDialog::~TThumbnailControlDialog() = default;

TThumbControlState TThumbnailControlDialog::State() const
{
    TThumbControlState state;
    state.Sort = fSort;
    state.SortDir = fSortDir;
    state.FullPath = fFullPath->isChecked();
    state.Size = TThumbControlSize{width(), height()};
    for (int i = 0; i < fList->columnCount(); ++i)
        state.Header.push_back(fList->columnWidth(i));
    return state;
}

void TThumbnailControlDialog::Sort()
{
    fControl->Sort(fSort, fSortDir, fFullPath->isChecked());
}

void TThumbnailControlDialog::SortKeepingSelection()
{
    // The rows chosen before stay chosen in their new places.
    std::set<std::string> chosen;
    for (const size_t row : SelectedRows())
        chosen.insert(fControl->Rows()[row].Key);
    const int currentRow = fList->indexOfTopLevelItem(fList->currentItem());
    const std::string current = currentRow >= 0 ? fControl->Rows()[static_cast<size_t>(currentRow)].Key : std::string();
    Sort();
    Fill();
    const std::vector<TThumbControlRow>& rows = fControl->Rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        QTreeWidgetItem* item = fList->topLevelItem(static_cast<int>(i));
        if (!current.empty() && rows[i].Key == current)
            fList->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
        if (chosen.contains(rows[i].Key))
            item->setSelected(true);
    }
}

void TThumbnailControlDialog::Fill()
{
    fList->clear();
    const bool full = fFullPath->isChecked();
    for (const TThumbControlRow& row : fControl->Rows()) {
        auto* item = new QTreeWidgetItem(fList);
        item->setText(0, QString::fromStdString(ThumbRowName(row.Key, full)));
        item->setToolTip(0, QString::fromStdString(row.Key));
        item->setText(1, QString::number(row.Count));
        item->setText(2, KBText(row.DataSize));
        const TDateParts date = DecodeDateTime(row.LastUsed);
        item->setText(3, QString::asprintf("%04d/%02d/%02d", date.Year, date.Month, date.Day));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        if (!row.Exists)
            item->setForeground(0, palette().brush(QPalette::Disabled, QPalette::Text));
    }
    fTotal->setText(tr(Tx("処理後の合計サイズ：")) + KBText(fControl->Total()));
    fPreviewed = -1;
    UpdatePreview();
}

std::vector<size_t> TThumbnailControlDialog::SelectedRows() const
{
    std::vector<size_t> rows;
    for (QTreeWidgetItem* item : fList->selectedItems())
        rows.push_back(static_cast<size_t>(fList->indexOfTopLevelItem(item)));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TThumbnailControlDialog::UpdatePreview()
{
    const std::vector<size_t> rows = SelectedRows();
    fNotExistFile->setEnabled(!rows.empty());
    if (rows.empty()) {
        fPreviewed = -1;
        fPreview->clear();
        return;
    }
    if (static_cast<int>(rows.front()) == fPreviewed)
        return;
    fPreviewed = static_cast<int>(rows.front());
    const QImage image = FirstThumbnail(fControl->DataFilePath(fControl->Rows()[rows.front()].Number));
    if (image.isNull()) {
        fPreview->clear();
        return;
    }
    const bool larger = image.width() > PreviewSide || image.height() > PreviewSide;
    fPreview->setPixmap(QPixmap::fromImage(
        larger ? image.scaled(PreviewSide, PreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation) : image));
}

void TThumbnailControlDialog::Remove(const QString& question, const std::function<void()>& removal)
{
    if (Confirm && !Confirm(question))
        return;
    removal();
    Fill();
    if (fList->topLevelItemCount() > 0)
        fList->setCurrentItem(fList->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
}

void TThumbnailControlDialog::accept()
{
    try {
        fCommitted = fControl->Changed();
        fControl->Commit();
    } catch (const std::exception& e) {
        fCommitted = false;
        QMessageBox::warning(this, QStringLiteral("Mireva"), QString::fromStdString(e.what()));
        return;
    }
    QDialog::accept();
}

void TThumbnailControlDialog::reject()
{
    try {
        fControl->Revert();
    } catch (const std::exception& e) {
        QMessageBox::warning(this, QStringLiteral("Mireva"), QString::fromStdString(e.what()));
    }
    QDialog::reject();
}
