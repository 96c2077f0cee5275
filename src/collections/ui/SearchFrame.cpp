#include "collections/ui/SearchFrame.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "base/Errors.h"
#include "collections/GroupFolder.h"
#include "collections/SearchCache.h"
#include "common/DateTime.h"
#include "platform/FileSystem.h"
#include "base/Texts.h"

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

constexpr int KindRole = Qt::UserRole;
constexpr int NameRole = Qt::UserRole + 1;

const QDate DateBase(1899, 12, 30);

QDate ToQDate(TDateTime value) { return DateBase.addDays(DateOf(value)); }
TDateTime FromQDate(const QDate& date) { return static_cast<TDateTime>(DateBase.daysTo(date)); }

}  // namespace

TSearchFrame::TSearchFrame(TSearchFolder& folder, const TGroupList* shelves, TSearchCacheStore* cacheStore,
                           QWidget* parent)
    : QWidget(parent), fFolder(folder), fShelves(shelves), fCacheStore(cacheStore)
{
    setObjectName("SearchFrame");
    OnMessage = [this](const std::string& text) { QMessageBox::information(this, "Mireva", Q(text)); };
    OnChooseFolder = [this] {
        return QFileDialog::getExistingDirectory(this, QString(), QString()).toStdString();
    };

    auto* layout = new QVBoxLayout(this);
    auto* nameLabel = new QLabel(Tx("ファイル名(&N)"), this);
    fName = new QComboBox(this);
    fName->setEditable(true);
    fName->setInsertPolicy(QComboBox::NoInsert);
    nameLabel->setBuddy(fName);
    layout->addWidget(nameLabel);
    layout->addWidget(fName);

    layout->addWidget(new QLabel(Tx("検索場所"), this));
    fTargets = new QListWidget(this);
    layout->addWidget(fTargets);
    fTargetButtons = new QWidget(this);
    auto* buttons = new QHBoxLayout(fTargetButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    auto* addFolder = new QPushButton(Tx("フォルダ追加"), fTargetButtons);
    auto* addShelf = new QPushButton(Tx("本棚追加"), fTargetButtons);
    auto* addMedia = new QPushButton(Tx("メディア追加"), fTargetButtons);
    auto* remove = new QPushButton(Tx("削除(&D)"), fTargetButtons);
    for (QPushButton* button : {addFolder, addShelf, addMedia, remove})
        buttons->addWidget(button);
    layout->addWidget(fTargetButtons);

    auto* cacheRow = new QHBoxLayout;
    fCacheLabel = new QLabel(this);
    fDiscard = new QPushButton(Tx("破棄(&D)"), this);
    cacheRow->addWidget(fCacheLabel, 1);
    cacheRow->addWidget(fDiscard);
    layout->addLayout(cacheRow);

    auto* actions = new QHBoxLayout;
    fSearch = new QPushButton(Tx("検索(&S)"), this);
    fDetailButton = new QPushButton(Tx("詳細(&T)  ≫"), this);
    actions->addWidget(fSearch);
    actions->addWidget(fDetailButton);
    layout->addLayout(actions);

    fDetail = new QWidget(this);
    auto* detail = new QGridLayout(fDetail);
    detail->setContentsMargins(0, 0, 0, 0);
    int row = 0;
    fCheckSize = new QCheckBox(Tx("サイズ指定(&Z)"), fDetail);
    fSize = new QSpinBox(fDetail);
    fSize->setRange(0, 9999999);
    fSize->setSuffix(" KB");
    fSizeKind = new QComboBox(fDetail);
    fSizeKind->addItems({Tx("以上"), Tx("以下")});
    detail->addWidget(fCheckSize, row, 0);
    detail->addWidget(fSize, row, 1);
    detail->addWidget(fSizeKind, row++, 2);
    fCheckDate = new QCheckBox(Tx("日付指定(&C)"), fDetail);
    detail->addWidget(fCheckDate, row++, 0);
    fMonthsButton = new QRadioButton(Tx("過去"), fDetail);
    fMonths = new QSpinBox(fDetail);
    fMonths->setRange(1, 100);
    detail->addWidget(fMonthsButton, row, 0);
    detail->addWidget(fMonths, row, 1);
    detail->addWidget(new QLabel(Tx("ヶ月間"), fDetail), row++, 2);
    fDaysButton = new QRadioButton(Tx("過去"), fDetail);
    fDays = new QSpinBox(fDetail);
    fDays->setRange(1, 100);
    detail->addWidget(fDaysButton, row, 0);
    detail->addWidget(fDays, row, 1);
    detail->addWidget(new QLabel(Tx("日間"), fDetail), row++, 2);
    fDatesButton = new QRadioButton(Tx("日付指定："), fDetail);
    fDateKind = new QComboBox(fDetail);
    fDateKind->addItems({Tx("以前"), Tx("以降"), Tx("期間")});
    detail->addWidget(fDatesButton, row, 0);
    detail->addWidget(fDateKind, row++, 1);
    fDateFrom = new QDateEdit(fDetail);
    fDateTo = new QDateEdit(fDetail);
    fDateFrom->setCalendarPopup(true);
    fDateTo->setCalendarPopup(true);
    fDateFrom->setDisplayFormat("yyyy/MM/dd");
    fDateTo->setDisplayFormat("yyyy/MM/dd");
    detail->addWidget(fDateFrom, row, 1);
    detail->addWidget(fDateTo, row++, 2);
    fSubFolder = new QCheckBox(Tx("サブフォルダも検索する(&L)"), fDetail);
    fNoFolder = new QCheckBox(Tx("フォルダは検索対象にしない(&K)"), fDetail);
    fNoFile = new QCheckBox(Tx("ファイルは検索対象にしない(&R)"), fDetail);
    fKeep = new QCheckBox(Tx("検索結果を破棄しない(&J)"), fDetail);
    fFix = new QCheckBox(Tx("検索場所を固定する(&X)"), fDetail);
    fCache = new QCheckBox(Tx("検索場所の全ファイルをキャッシュ(&U)"), fDetail);
    fSaveCache = new QCheckBox(Tx("キャッシュを再起動後も維持(&Y)"), fDetail);
    for (QCheckBox* box : {fSubFolder, fNoFolder, fNoFile, fKeep, fFix, fCache, fSaveCache})
        detail->addWidget(box, row++, 0, 1, 3);
    fDetail->setVisible(false);
    layout->addWidget(fDetail);
    layout->addStretch(1);

    connect(fSearch, &QPushButton::clicked, this, [this] { Search(); });
    connect(fDetailButton, &QPushButton::clicked, this, [this] { ToggleDetail(); });
    connect(addFolder, &QPushButton::clicked, this, [this] {
        const std::string path = OnChooseFolder ? OnChooseFolder() : std::string();
        if (!path.empty())
            AddTarget({TSearchTargetKind::tkFolder, path, true});
    });
    connect(addShelf, &QPushButton::clicked, this, [this] { AddShelfTarget(); });
    // Media catalogues are searched once their source exists; the all-media
    // entry can be listed already.
    connect(addMedia, &QPushButton::clicked, this, [this] { AddTarget({TSearchTargetKind::tkMedium, "", true}); });
    connect(remove, &QPushButton::clicked, this, [this] { DeleteTarget(); });
    connect(fDiscard, &QPushButton::clicked, this, [this] { DiscardCache(); });
    connect(fFix, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
    connect(fCache, &QCheckBox::toggled, this, [this](bool on) {
        if (!on)
            DiscardCache();
        fFolder.SetCacheEnabled(on);
        UpdateEnabled();
    });
    connect(fSaveCache, &QCheckBox::toggled, this, [this](bool on) {
        if (!fCacheStore)
            return;
        try {
            if (!on)
                fCacheStore->Remove();
            else if (fFolder.CacheCount() > 0 && !PathExists(fCacheStore->FilePath()))
                fCacheStore->Save(*fFolder.Cache());
        } catch (const EMirevaError& e) {
            OnMessage(e.what());
        }
    });
    fFolder.RegisterObserver(this);
    UpdateCacheMode();
    UpdateEnabled();
}

TSearchFrame::~TSearchFrame()
{
    fFolder.UnregisterObserver(this);
}

void TSearchFrame::ToggleDetail()
{
    const bool show = fDetail->isHidden();
    fDetail->setVisible(show);
    fDetailButton->setText(show ? Tx("詳細(&T)  ≪") : Tx("詳細(&T)  ≫"));
}

void TSearchFrame::SetSettings(const TSearchPanelSettings& s)
{
    fFix->setChecked(s.Fix);
    if (s.Fix)
        SetTargets(s.Targets);
    if (s.Detail != !fDetail->isHidden())
        ToggleDetail();
    fSubFolder->setChecked(s.SubFolder);
    fNoFolder->setChecked(s.NoFolder);
    fNoFile->setChecked(s.NoFile);
    fHasSearched = s.HasSearched;
    fCache->setChecked(s.Cache);
    fSaveCache->setChecked(s.SaveCache);
    fCheckSize->setChecked(s.CheckSize);
    fSize->setValue(s.SizeKb);
    fSizeKind->setCurrentIndex(s.SizeAtLeast ? 0 : 1);
    fCheckDate->setChecked(s.CheckDate);
    fMonthsButton->setChecked(s.DateSetType == TDateSetType::dsMonths);
    fDaysButton->setChecked(s.DateSetType == TDateSetType::dsDays);
    fDatesButton->setChecked(s.DateSetType == TDateSetType::dsDates);
    fMonths->setValue(s.Months);
    fDays->setValue(s.Days);
    fDateFrom->setDate(ToQDate(s.DateFrom));
    fDateTo->setDate(ToQDate(s.DateTo));
    fDateKind->setCurrentIndex(static_cast<int>(s.DateKind));
    UpdateCacheMode();
    UpdateEnabled();
}

TSearchPanelSettings TSearchFrame::Settings() const
{
    TSearchPanelSettings s;
    s.Fix = fFix->isChecked();
    if (s.Fix)
        s.Targets = Targets();
    s.Detail = !fDetail->isHidden();
    s.SubFolder = fSubFolder->isChecked();
    s.NoFolder = fNoFolder->isChecked();
    s.NoFile = fNoFile->isChecked();
    s.HasSearched = fHasSearched;
    s.Cache = fCache->isChecked();
    s.SaveCache = fSaveCache->isChecked();
    s.CheckSize = fCheckSize->isChecked();
    s.SizeKb = fSize->value();
    s.SizeAtLeast = fSizeKind->currentIndex() == 0;
    s.CheckDate = fCheckDate->isChecked();
    s.DateSetType = fDaysButton->isChecked()    ? TDateSetType::dsDays
                    : fDatesButton->isChecked() ? TDateSetType::dsDates
                                                : TDateSetType::dsMonths;
    s.Months = fMonths->value();
    s.Days = fDays->value();
    s.DateFrom = FromQDate(fDateFrom->date());
    s.DateTo = std::max(FromQDate(fDateTo->date()), s.DateFrom);
    s.DateKind = static_cast<TDateKind>(std::clamp(fDateKind->currentIndex(), 0, 2));
    return s;
}

void TSearchFrame::SetHistory(const TSearchHistory& history, int maxCount)
{
    fHistory = history;
    fHistoryMax = maxCount;
    const QString text = fName->currentText();
    fName->clear();
    for (const std::string& name : fHistory.Items())
        fName->addItem(Q(name));
    fName->setEditText(text);
}

void TSearchFrame::SetTargets(const std::vector<TSearchTargetSpec>& targets)
{
    fTargets->clear();
    for (const TSearchTargetSpec& target : targets)
        AddTarget(target);
}

std::vector<TSearchTargetSpec> TSearchFrame::Targets() const
{
    std::vector<TSearchTargetSpec> targets;
    for (int i = 0; i < fTargets->count(); ++i) {
        const QListWidgetItem* item = fTargets->item(i);
        TSearchTargetSpec target;
        target.Kind = static_cast<TSearchTargetKind>(item->data(KindRole).toInt());
        target.Name = item->data(NameRole).toString().toStdString();
        target.Enabled = item->checkState() == Qt::Checked;
        targets.push_back(std::move(target));
    }
    return targets;
}

void TSearchFrame::AddTarget(const TSearchTargetSpec& target)
{
    auto* item = new QListWidgetItem(Q(TargetText(target)), fTargets);
    item->setData(KindRole, static_cast<int>(target.Kind));
    item->setData(NameRole, Q(target.Name));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(target.Enabled ? Qt::Checked : Qt::Unchecked);
    // A shelf or folder that is gone stays listed, greyed, and is not searched.
    bool valid = true;
    if (target.Kind == TSearchTargetKind::tkFolder)
        valid = DirectoryExists(target.Name);
    else if (target.Kind == TSearchTargetKind::tkShelf && !target.Name.empty())
        valid = fShelves && fShelves->IndexOfName(target.Name) >= 0;
    if (!valid)
        item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
}

void TSearchFrame::AddShelfTarget()
{
    QMenu menu(this);
    menu.addAction(Tx(AllShelvesText))->setData(QString());
    if (fShelves) {
        for (int i = 0; i < fShelves->Count(); ++i)
            menu.addAction(Q(fShelves->Folder(i)->Name()))->setData(Q(fShelves->Folder(i)->Name()));
    }
    if (QAction* chosen = menu.exec(QCursor::pos()))
        AddTarget({TSearchTargetKind::tkShelf, chosen->data().toString().toStdString(), true});
}

void TSearchFrame::DeleteTarget()
{
    delete fTargets->currentItem();
}

bool TSearchFrame::KeepResults() const
{
    return fKeep->isChecked();
}

bool TSearchFrame::Search()
{
    const TSearchPanelSettings settings = Settings();
    const std::string name = fName->currentText().trimmed().toStdString();
    fFolder.SetTargets(Targets());
    fFolder.SetConditions(MakeSearchConditions(settings, name, fShowHidden, Now()));
    if (!fFolder.StartSearch()) {
        if (OnMessage)
            OnMessage(Tx(TSearchFolder::NoTargetText));
        return false;
    }
    if (!name.empty()) {
        fHistory.Push(name, fHistoryMax);
        SetHistory(fHistory, fHistoryMax);
        fName->setCurrentIndex(0);
    }
    fHasSearched = true;
    if (OnStarted)
        OnStarted();
    return true;
}

void TSearchFrame::SearchChanged(TSearchFolder&, const TSearchChange& change)
{
    if (change.Kind != TSearchChangeKind::scFinished)
        return;
    if (fFolder.CacheCount() > 0 && fSaveCache->isChecked() && fCacheStore) {
        try {
            fCacheStore->Save(*fFolder.Cache());
        } catch (const EMirevaError& e) {
            if (OnMessage)
                OnMessage(e.what());
        }
    }
    UpdateCacheMode();
    if (OnFinished)
        OnFinished();
}

void TSearchFrame::RestoreCache()
{
    if (!fCacheStore || !fCache->isChecked() || !fSaveCache->isChecked() || !fFolder.Cache())
        return;
    try {
        fCacheStore->Load(*fFolder.Cache());
    } catch (const EMirevaError& e) {
        if (OnMessage)
            OnMessage(e.what());
    }
    UpdateCacheMode();
    UpdateEnabled();
}

void TSearchFrame::DiscardCache()
{
    fFolder.ClearCache();
    if (fCacheStore) {
        try {
            fCacheStore->Remove();
        } catch (const EMirevaError& e) {
            if (OnMessage)
                OnMessage(e.what());
        }
    }
    UpdateCacheMode();
}

void TSearchFrame::UpdateCacheMode()
{
    // Cache mode: the targets are what the cache was made from.
    const bool cacheMode = fFolder.CacheCount() > 0;
    fTargetButtons->setVisible(!cacheMode);
    fTargets->setEnabled(!cacheMode);
    fDiscard->setVisible(cacheMode);
    fCacheLabel->setVisible(cacheMode);
    if (cacheMode)
        fCacheLabel->setText(Q(CacheLabelText(fFolder.Cache()->Made())));
    UpdateEnabled();
}

void TSearchFrame::UpdateEnabled()
{
    // The cache needs fixed targets; while it is on, fixing stays on.
    fCache->setEnabled(fFix->isChecked());
    fFix->setEnabled(!fCache->isChecked());
    fSaveCache->setEnabled(fCache->isChecked());
}
