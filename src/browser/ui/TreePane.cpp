#include "browser/ui/TreePane.h"

#include <QApplication>
#include <QLabel>
#include <QStackedWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "shellviews/ui/FolderTreeView.h"
#include "shellviews/ui/ShellTreeItemModel.h"
#include "base/Texts.h"

namespace {

constexpr TShellStyle Styles[] = {TShellStyle::ssFolder, TShellStyle::ssGroup, TShellStyle::ssMedia,
                                  TShellStyle::ssCategory};
const char* const ViewNames[] = {"tvFolder", "tvShelf", "tvMedia", "tvCategory"};
const char* const Captions[] = {"フォルダ", "本棚", "メディア", "カテゴリ"};

}  // namespace

TTreePane::TTreePane(const TShellTreeSources& sources, TQtShellInfo* icons, QWidget* parent) : QWidget(parent)
{
    setObjectName("pnlTree");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    fCaption = new QLabel(this);
    fCaption->setObjectName("pnlTreeCommand");
    fCaption->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(fCaption);
    fCategoryBar = new QToolBar(this);
    fCategoryBar->setObjectName("CategoryToolBar");
    fCategoryBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const std::pair<const char*, TCategoryButton> buttons[] = {{Tx("カテゴリの追加"), TCategoryButton::cbNew},
                                                               {Tx("最新の情報に更新"), TCategoryButton::cbUpdate},
                                                               {Tx("削除"), TCategoryButton::cbDelete}};
    for (const auto& [caption, button] : buttons)
        fCategoryBar->addAction(QString::fromUtf8(caption), this, [this, which = button] {
            if (OnCategoryButton)
                OnCategoryButton(which);
        });
    layout->addWidget(fCategoryBar);
    fStack = new QStackedWidget(this);
    fStack->setObjectName("pnlTree2");
    layout->addWidget(fStack, 1);

    for (size_t i = 0; i < fTrees.size(); ++i) {
        TTree& tree = fTrees[i];
        tree.Logic = std::make_unique<TShellTreeModel>(sources);
        const auto kind = static_cast<TTreeKind>(i);
        tree.Logic->Navigate = [this](const TTreePlace& place) { return !OnNavigate || OnNavigate(place); };
        tree.Items = std::make_unique<TShellTreeItemModel>(*tree.Logic, icons, sources.Notifier);
        tree.View = new TFolderTreeView(fStack);
        tree.View->setObjectName(ViewNames[i]);
        tree.View->SetTreeModel(tree.Items.get());
        tree.View->OnRequest = [this, kind](TTreeRequest request) {
            if (OnRequest)
                OnRequest(kind, static_cast<int>(request));
        };
        fStack->addWidget(tree.View);
    }
    SetKind(TTreeKind::tkFolder);
}

TTreePane::~TTreePane()
{
    // The views go before the item models they show, and those before the
    // logic they follow.
    for (TTree& tree : fTrees) {
        tree.View->SetTreeModel(nullptr);
        delete tree.View;
        tree.View = nullptr;
        tree.Items.reset();
        tree.Logic.reset();
    }
}

size_t TTreePane::Slot(TTreeKind kind)
{
    // Searching shows the folder tree beside its panel.
    return kind == TTreeKind::tkSearch ? 0 : static_cast<size_t>(kind);
}

void TTreePane::SetKind(TTreeKind kind)
{
    fKind = kind;
    const size_t slot = Slot(kind);
    TTree& tree = fTrees[slot];
    // A tree is built the first time it is shown.
    if (tree.Logic->Style() == TShellStyle::ssNone)
        tree.Logic->SetStyle(Styles[slot]);
    fStack->setCurrentWidget(tree.View);
    fCaption->setText(QString::fromUtf8(Tx(Captions[slot])));
    fCategoryBar->setVisible(kind == TTreeKind::tkCategory);
}

TShellTreeModel& TTreePane::Tree(TTreeKind kind)
{
    return *fTrees[Slot(kind)].Logic;
}

TFolderTreeView* TTreePane::View(TTreeKind kind) const
{
    return fTrees[Slot(kind)].View;
}

bool TTreePane::HasFocusInside() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && fStack->isAncestorOf(focus);
}

void TTreePane::SetArchiveEnv(const TArchiveEnv& env)
{
    for (TTree& tree : fTrees)
        tree.Logic->SetArchiveEnv(env);
}

void TTreePane::SetOptions(const TShellTreeOptions& options)
{
    for (TTree& tree : fTrees)
        tree.Logic->SetOptions(options);
}
