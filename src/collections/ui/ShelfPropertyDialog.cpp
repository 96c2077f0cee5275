#include "collections/ui/ShelfPropertyDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIcon>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "collections/Shelf.h"
#include "collections/ui/IconChooser.h"
#include "common/Text.h"
#include "base/Texts.h"

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

TShelfPropertyDialog::TShelfPropertyDialog(QWidget* parent, const std::string& caption, const TGroupList& list,
                                           const std::string& originalName, int imageIndex,
                                           const std::string& comment, int iconCount, const TIconOf& iconOf)
    : QDialog(parent), fList(list), fOriginal(originalName)
{
    setWindowTitle(Q(caption));
    auto* form = new QFormLayout;
    fName = new QLineEdit(Q(originalName.empty() ? ProposeShelfName(list) : originalName), this);
    fName->setMaxLength(static_cast<int>(TGroupFolder::MaxNameLength));
    form->addRow(Tx("名前(&N):"), fName);
    fIcon = NewIconChooser({iconCount, iconOf}, imageIndex, this);
    form->addRow(Tx("アイコン(&I):"), fIcon);
    fComment = new QPlainTextEdit(Q(comment), this);
    fComment->setTabChangesFocus(true);
    form->addRow(Tx("コメント(&C):"), fComment);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TShelfPropertyDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TShelfPropertyDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    fName->selectAll();
    fName->setFocus();
    fWarn = [this](const std::string& message) { QMessageBox::information(this, "Mireva", Q(message)); };
}

std::string TShelfPropertyDialog::Name() const
{
    return Trim(fName->text().toStdString());
}

int TShelfPropertyDialog::ImageIndex() const
{
    return std::max(0, fIcon->currentIndex());
}

std::string TShelfPropertyDialog::Comment() const
{
    return Trim(fComment->toPlainText().toStdString());
}

void TShelfPropertyDialog::accept()
{
    if (const std::optional<std::string> refusal =
            CheckShelfName(fList, fName->text().toStdString(), fOriginal)) {
        fWarn(*refusal);
        fName->setFocus();
        return;
    }
    if (const std::optional<std::string> tooLong = CheckShelfComment(fComment->toPlainText().toStdString())) {
        fWarn(*tooLong);
        fComment->setFocus();
        return;
    }
    QDialog::accept();
}
