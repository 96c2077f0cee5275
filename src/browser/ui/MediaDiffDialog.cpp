#include "browser/ui/MediaDiffDialog.h"
#include "base/Texts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

QTreeWidget* MakeList(QWidget* parent, const char* name)
{
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setHeaderLabels({QString::fromUtf8(Tx("名前")), QString::fromUtf8(Tx("サイズ")), QString::fromUtf8(Tx("更新日時")),
                           QString::fromUtf8(Tx("状態"))});
    list->header()->setStretchLastSection(false);
    // The name takes the room the size, date and kind leave.
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < 4; ++column)
        list->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    return list;
}

}  // namespace

TMediaDiffDialog::TMediaDiffDialog(QWidget* parent, const TMediaFolder& live, std::string liveRoot,
                                   const TMediaFolder& stored, std::string storedRoot, const TDifferOptions& options)
    : QDialog(parent), fLive(live), fLiveRoot(std::move(liveRoot)), fStored(stored), fStoredRoot(std::move(storedRoot))
{
    setWindowTitle(QString::fromUtf8(Tx("差分の表示")));
    setSizeGripEnabled(true);
    setMinimumSize(DifferMinWidth, DifferMinHeight);
    fLeft = MakeList(this, "DriveList");
    fRight = MakeList(this, "CatalogueList");
    fFullPath = new QCheckBox(QString::fromUtf8(Tx("フルパスで表示(&F)")), this);
    fAllFile = new QCheckBox(QString::fromUtf8(Tx("差分のないファイルも表示(&A)")), this);
    fSync = new QCheckBox(QString::fromUtf8(Tx("スクロールを同期(&S)")), this);
    fFullPath->setChecked(options.FullPath);
    fAllFile->setChecked(options.AllFile);
    fSync->setChecked(options.Sync);

    auto* sides = new QHBoxLayout;
    for (auto [list, caption] : {std::pair{fLeft, Tx("ドライブ：") + fLive.VolumeLabel},
                                 std::pair{fRight, Tx("保存されたメディア情報：") + fStored.Name()}}) {
        auto* column = new QVBoxLayout;
        column->addWidget(new QLabel(Q(caption), this));
        column->addWidget(list);
        sides->addLayout(column);
    }
    auto* checks = new QHBoxLayout;
    checks->addWidget(fFullPath);
    checks->addWidget(fAllFile);
    checks->addWidget(fSync);
    checks->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QString::fromUtf8(Tx("閉じる")));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sides, 1);
    layout->addLayout(checks);
    layout->addWidget(buttons);

    connect(fFullPath, &QCheckBox::toggled, this, [this] { Fill(); });
    connect(fAllFile, &QCheckBox::toggled, this, [this] { Fill(); });
    connect(fLeft->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { Follow(fLeft, fRight, value); });
    connect(fRight->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { Follow(fRight, fLeft, value); });
    connect(fLeft, &QTreeWidget::currentItemChanged, this, [this] { Follow(fLeft, fRight, -1); });
    connect(fRight, &QTreeWidget::currentItemChanged, this, [this] { Follow(fRight, fLeft, -1); });

    resize(options.Size ? QSize(options.Size->Width, options.Size->Height) : QSize(760, 420));
    Fill();
}

void TMediaDiffDialog::Fill()
{
    fLeft->clear();
    fRight->clear();
    const std::vector<TDiffRow> rows =
        DiffRows(fLive, fLiveRoot, fStored, fStoredRoot, fAllFile->isChecked(), fFullPath->isChecked());
    for (const TDiffRow& row : rows) {
        const QString kind = QString::fromUtf8(DiffKindText(row.Kind));
        new QTreeWidgetItem(fLeft, {Q(row.Left), Q(row.LeftSize), Q(row.LeftTime), row.Left.empty() ? QString() : kind});
        new QTreeWidgetItem(fRight,
                            {Q(row.Right), Q(row.RightSize), Q(row.RightTime), row.Right.empty() ? QString() : kind});
    }
}

void TMediaDiffDialog::Follow(QTreeWidget* from, QTreeWidget* to, int value)
{
    // Both lists hold the same rows, so one's position is the other's.
    if (fFollowing || !fSync->isChecked())
        return;
    fFollowing = true;
    if (value >= 0) {
        to->verticalScrollBar()->setValue(value);
    } else if (const QModelIndex current = from->currentIndex(); current.isValid()) {
        to->setCurrentIndex(to->model()->index(current.row(), 0));
    }
    fFollowing = false;
}

TDifferOptions TMediaDiffDialog::Options() const
{
    TDifferOptions options;
    options.FullPath = fFullPath->isChecked();
    options.AllFile = fAllFile->isChecked();
    options.Sync = fSync->isChecked();
    options.Size = TDifferSize{std::max(width(), DifferMinWidth), std::max(height(), DifferMinHeight)};
    return options;
}
