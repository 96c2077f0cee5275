// The export settings dialog: what it is set to comes back the same when it
// opens again, under a name or as the last unnamed setting.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "common/IniFile.h"
#include "export/ui/ExportDialog.h"
#include "export/ui/NameDivideDialog.h"
#include "support/TempFolder.h"

namespace {

struct TDialogOnDisk {
    TTempFolder Temp;
    std::string Ini = Temp.File("Mireva.ini");
    std::unique_ptr<TFileExportDialog> Open()
    {
        auto dialog = std::make_unique<TFileExportDialog>(Temp.Path(), Ini);
        dialog->Inform = [this](const QString& text) { Informed.push_back(text.toStdString()); };
        return dialog;
    }
    std::vector<std::string> Informed;
};

template <typename T>
T* Child(QWidget& dialog, const char* name)
{
    T* child = dialog.findChild<T*>(name);
    EXPECT_TRUE(child) << name;
    return child;
}

std::vector<std::string> Rows(QListWidget* list)
{
    std::vector<std::string> rows;
    for (int i = 0; i < list->count(); ++i)
        rows.push_back(list->item(i)->text().toStdString());
    return rows;
}

TEST(ExportDialog, SettingsComeBackNamedAndUnnamed)
{
    TDialogOnDisk disk;
    {
        auto dialog = disk.Open();
        // OK with no output column is refused and the dialog stays.
        dialog->accept();
        EXPECT_EQ(disk.Informed, std::vector<std::string>{TFileExportDialog::NoColumnText});
        Child<QCheckBox>(*dialog, "ckbNameDivide")->click();
        dialog->RuleList()->EditRule = [](const TNameDivideInfo*) {
            TNameDivideInfo rule;
            rule.Name = "作者";
            rule.Kind = dkEnclosed;
            rule.FirstDelimiters = {"["};
            rule.SecondDelimiters = {"]"};
            return std::optional<TNameDivideInfo>(rule);
        };
        Child<QPushButton>(*dialog, "btnAddDelim")->click();
        EXPECT_EQ(dialog->RuleList()->List()->topLevelItem(0)->text(1).toStdString(), "[*]");
        QListWidget* src = Child<QListWidget>(*dialog, "lbSrc");
        // "名前", then the rule's part; both go to the output, the part first.
        src->setCurrentRow(1);
        Child<QPushButton>(*dialog, "bbtnAddItem")->click();
        src->setCurrentRow(0);
        Child<QPushButton>(*dialog, "bbtnAddItem")->click();
        Child<QCheckBox>(*dialog, "ckbSubFolder")->click();
        Child<QCheckBox>(*dialog, "ckbHeader")->click();
        Child<QComboBox>(*dialog, "cbxEncoding")->setCurrentIndex(1);
        dialog->AskName = [] { return std::optional<QString>(QString::fromUtf8("私の設定")); };
        Child<QPushButton>(*dialog, "btnSave")->click();
        EXPECT_EQ(Child<QComboBox>(*dialog, "cbxSetting")->currentText().toStdString(), "私の設定");
        dialog->ChooseFile = [&](const QString&) {
            return std::optional<std::pair<QString, int>>({QString::fromStdString(disk.Temp.File("out")), 1});
        };
        dialog->accept();
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_EQ(dialog->FileName(), disk.Temp.File("out.csv"));
        EXPECT_EQ(dialog->ExportSettings().Columns, (std::vector<int>{17, 0}));
    }
    const std::vector<std::string> output = {"作者", "名前", ""};
    {
        auto dialog = disk.Open();
        EXPECT_EQ(Child<QComboBox>(*dialog, "cbxSetting")->currentText().toStdString(), "私の設定");
        EXPECT_TRUE(Child<QPushButton>(*dialog, "btnDelete")->isEnabled());
        EXPECT_EQ(Rows(Child<QListWidget>(*dialog, "lbDst")), output);
        const TExportSettings settings = dialog->ExportSettings();
        EXPECT_TRUE(settings.Options.SubFolder && settings.Options.NameDivide);
        EXPECT_FALSE(settings.Options.Header);
        EXPECT_EQ(settings.Encoding, TExportEncoding::eeCp932);
        ASSERT_EQ(settings.Rules.size(), 1u);
        EXPECT_EQ(FormatNameDivideInfo(settings.Rules[0]), FormatNameDivideInfo(TNameDivideInfo{
                                                               0, "作者", dkEnclosed, {"["}, {"]"}, false, false}));
        EXPECT_EQ(dialog->FileName(), disk.Temp.File("out.csv"));
        // Any edit leaves the named setting; Cancel keeps it as the last one.
        Child<QCheckBox>(*dialog, "ckbNoFile")->click();
        EXPECT_EQ(Child<QComboBox>(*dialog, "cbxSetting")->currentIndex(), -1);
        EXPECT_FALSE(Child<QPushButton>(*dialog, "btnDelete")->isEnabled());
        dialog->reject();
    }
    auto dialog = disk.Open();
    EXPECT_EQ(Child<QComboBox>(*dialog, "cbxSetting")->currentIndex(), -1);
    EXPECT_TRUE(dialog->ExportSettings().Options.NoFile);
    EXPECT_EQ(Rows(Child<QListWidget>(*dialog, "lbDst")), output);
    // The named one is still as saved.
    Child<QComboBox>(*dialog, "cbxSetting")->activated(0);
    EXPECT_FALSE(dialog->ExportSettings().Options.NoFile);
    EXPECT_EQ(TIniFile(disk.Ini).ReadString("EXPORT", "FileName", ""), disk.Temp.File("out.csv"));
}

TEST(ExportDialog, RuleDialogRefusesIncompleteRules)
{
    struct TCase {
        const char* Name;
        const char* Front;
        const char* End;
        const char* Kind;
        bool Accepted;
    };
    for (const TCase& c : {TCase{"", "-", "", "rbBefore", false}, TCase{"a", "", "", "rbAfter", false},
                           TCase{"a", "[", "", "rbEnclosed", false}, TCase{"a", "[", "]", "rbEnclosed", true},
                           TCase{"a", "-", "", "rbBefore", true}}) {
        TNameDivideDialog dialog;
        int informed = 0;
        dialog.Inform = [&](const QString&) { ++informed; };
        Child<QLineEdit>(dialog, "edItemName")->setText(c.Name);
        Child<QLineEdit>(dialog, "edFront")->setText(c.Front);
        Child<QRadioButton>(dialog, c.Kind)->setChecked(true);
        QLineEdit* end = Child<QLineEdit>(dialog, "edEnd");
        EXPECT_EQ(end->isReadOnly(), std::string(c.Kind) != "rbEnclosed");
        end->setText(c.End);
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.Accepted) << c.Name << c.Front << c.Kind;
        EXPECT_EQ(informed, c.Accepted ? 0 : 1);
    }
}

}  // namespace
