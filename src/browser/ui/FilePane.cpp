#include "browser/ui/FilePane.h"

TFilePane::TFilePane(TBrowserModel& model, TQtShellInfo* icons, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent), fModel(model), fIcons(icons)
{
    setObjectName("pnlFile");
    fModel.RegisterObserver(this);
}

TFilePane::~TFilePane()
{
    fModel.UnregisterObserver(this);
}

bool TFilePane::FileListHasFocus() const
{
    return false;
}

bool TFilePane::ArchiveListHasFocus() const
{
    return false;
}

void TFilePane::FocusList()
{
}

void TFilePane::GoUp()
{
    fModel.GoUp();
}

void TFilePane::BrowserChanged(TBrowserModel&, const TBrowserChange&)
{
}
