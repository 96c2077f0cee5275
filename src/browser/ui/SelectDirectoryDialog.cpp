#include "browser/ui/SelectDirectoryDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/Errors.h"
#include "platform/FileSystem.h"
#include "base/Texts.h"

TSelectDirectoryDialog::TSelectDirectoryDialog(const QString& caption, const std::string& dataFolder, int limit,
                                               const std::string& startFolder, QWidget* parent)
    : QDialog(parent), fDataFolder(dataFolder), fLimit(limit)
{
    setWindowTitle(caption);
    fHistory.Load(dataFolder);
    fBox = new QComboBox(this);
    fBox->setObjectName("cmbFolder");
    fBox->setEditable(true);
    fBox->setInsertPolicy(QComboBox::NoInsert);
    fBox->setMinimumContentsLength(40);
    for (const std::string& folder : fHistory.Items())
        fBox->addItem(QString::fromStdString(folder));
    fBox->setEditText(QString::fromStdString(fHistory.Items().empty() ? startFolder : fHistory.Items().front()));
    auto* browse = new QPushButton(tr(Tx("参照(&B)...")), this);
    connect(browse, &QPushButton::clicked, this, [this] { Browse(); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(fBox, 1);
    row->addWidget(browse);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

void TSelectDirectoryDialog::Browse()
{
    const QString start = fBox->currentText().trimmed();
    const QString chosen = QFileDialog::getExistingDirectory(this, tr(Tx("フォルダを指定してください")), start);
    if (!chosen.isEmpty())
        fBox->setEditText(chosen);
}

void TSelectDirectoryDialog::accept()
{
    const std::optional<std::string> folder = ChosenFolder(fBox->currentText().toStdString());
    if (!folder) {
        reject();
        return;
    }
    if (!DirectoryExists(*folder)) {
        const QString question = tr(Tx("指定されたフォルダは存在しません  ")) + "\n" + tr(Tx("作成しますか？"));
        if (QMessageBox::question(this, "Mireva", question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return;
        try {
            ForceDirectories(*folder);
        } catch (const EMirevaError&) {
            QMessageBox::information(this, "Mireva", tr(Tx("フォルダが作成できませんでした  ")));
            return;
        }
    }
    fFolder = *folder;
    fHistory.Add(fFolder, fLimit);
    QDialog::accept();
}

void TSelectDirectoryDialog::done(int result)
{
    try {
        fHistory.Save(fDataFolder, fLimit);
    } catch (const EMirevaError&) {
        // The history is a convenience; the chosen folder is used all the same.
    }
    QDialog::done(result);
}
