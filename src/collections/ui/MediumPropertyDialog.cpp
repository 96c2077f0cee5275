#include "collections/ui/MediumPropertyDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "collections/Media.h"
#include "common/ByteSize.h"
#include "common/DateTime.h"
#include "common/Text.h"
#include "base/Texts.h"

namespace {

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// "%.0n バイト" and the short size beside it: "1,234,567 バイト (1.2 MB)".
QString SizeText(int64_t bytes)
{
    return Q(FormatByteCount(bytes) + Tx(" バイト (") + FormatByteSize(bytes) + ")");
}

}  // namespace

TMediumPropertyDialog::TMediumPropertyDialog(QWidget* parent, const std::string& caption, const TMediaList& list,
                                             const TMediaFolder& medium, const std::string& originalName,
                                             const TFolderIconSource& icons)
    : QDialog(parent), fList(list), fOriginal(originalName)
{
    setWindowTitle(Q(caption));
    auto* form = new QFormLayout;
    fName = new QLineEdit(Q(medium.Name()), this);
    fName->setMaxLength(50);
    form->addRow(Tx("名前(&N):"), fName);
    fIcon = NewIconChooser(icons, medium.ImageIndex(), this);
    form->addRow(Tx("アイコン(&I):"), fIcon);
    fComment = new QPlainTextEdit(Q(medium.Comment()), this);
    fComment->setTabChangesFocus(true);
    form->addRow(Tx("コメント(&C):"), fComment);
    const auto row = [&](const char* caption, const QString& value) {
        auto* label = new QLabel(value, this);
        label->setObjectName(caption);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(caption, label);
    };
    row(Tx("ボリュームラベル:"), Q(medium.VolumeLabel));
    row(Tx("シリアル番号:"), Q(FormatSerial(medium.SerialNumber)));
    row(Tx("ドライブの種類:"), Q(Tx(DriveTypeName(medium.DriveType))));
    row(Tx("ファイルシステム:"), Q(medium.FileSystem));
    row(Tx("使用領域:"), SizeText(medium.UsedSpace()));
    row(Tx("空き領域:"), SizeText(medium.FreeSpace));
    row(Tx("容量:"), SizeText(medium.Capacity));
    row(Tx("更新日時："), medium.CatalogueDate == 0 ? QString() : Q(FormatDateTime(medium.CatalogueDate)));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TMediumPropertyDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TMediumPropertyDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    fWarn = [this](const std::string& message) { QMessageBox::warning(this, "Mireva", Q(message)); };
}

std::string TMediumPropertyDialog::Name() const
{
    return Trim(fName->text().toStdString());
}

int TMediumPropertyDialog::ImageIndex() const
{
    return std::max(0, fIcon->currentIndex());
}

std::string TMediumPropertyDialog::Comment() const
{
    return fComment->toPlainText().toStdString();
}

QString TMediumPropertyDialog::ValueOf(const QString& caption) const
{
    const auto* label = findChild<QLabel*>(caption);
    return label ? label->text() : QString();
}

void TMediumPropertyDialog::accept()
{
    if (const std::optional<std::string> refusal = CheckMediumName(fList, fName->text().toStdString(), fOriginal)) {
        fWarn(*refusal);
        fName->setFocus();
        return;
    }
    QDialog::accept();
}
