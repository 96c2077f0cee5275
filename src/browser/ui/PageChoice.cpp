#include "browser/ui/PageChoice.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/Texts.h"
#include "browser/BrowserModel.h"

std::optional<std::vector<TTargetPage>> AskSpreadPages(QWidget* parent, const TBrowserModel& model)
{
    const bool primaryOnRight = model.Viewer().ViewState().Binding != TBinding::bdLeft;
    QDialog dialog(parent);
    dialog.setObjectName("PageChoice");
    dialog.setWindowTitle(Tx("ファイルの選択"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* group = new QGroupBox(Tx("対象ファイル"));
    auto* radios = new QVBoxLayout(group);
    auto* right = new QRadioButton(Tx("右のファイル(&R)"));
    auto* left = new QRadioButton(Tx("左のファイル(&L)"));
    auto* both = new QRadioButton(Tx("両方(&A)"));
    right->setObjectName("rbRight");
    left->setObjectName("rbLeft");
    both->setObjectName("rbBoth");
    for (QRadioButton* radio : {right, left, both})
        radios->addWidget(radio);
    right->setChecked(true);
    layout->addWidget(group);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QDialogButtonBox::Ok);
    buttons->addButton(Tx("キャンセル"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    if (both->isChecked())
        return std::vector<TTargetPage>{TTargetPage::tpPrimary, TTargetPage::tpPartner};
    return std::vector<TTargetPage>{right->isChecked() == primaryOnRight ? TTargetPage::tpPrimary
                                                                          : TTargetPage::tpPartner};
}
