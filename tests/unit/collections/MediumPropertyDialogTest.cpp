#include <gtest/gtest.h>

#include <QLineEdit>

#include "collections/ui/MediumPropertyDialog.h"

namespace {

TEST(MediumPropertyDialog, ShowsTheDiscAndRefusesTakenNames)
{
    TMediaList list;
    list.Add("Taken", 0, "");
    TMediaFolder disc(nullptr, "NEWDISC");
    disc.SerialNumber = 0x1A2B3C4D;
    disc.DriveType = TDriveType::dtCdRom;
    disc.Capacity = 2000;
    disc.FreeSpace = 500;
    disc.SetImage(1);
    TMediumPropertyDialog dialog(nullptr, TMediumPropertyDialog::AddCaption, list, disc, "", {3, nullptr});
    EXPECT_EQ(dialog.ImageIndex(), 1);
    EXPECT_EQ(dialog.ValueOf("シリアル番号:"), "1A2B-3C4D");
    EXPECT_EQ(dialog.ValueOf("ドライブの種類:"), "CD-ROM");
    EXPECT_EQ(dialog.ValueOf("使用領域:"), "1,500 バイト (1.5 kB)");

    std::vector<std::string> warnings;
    dialog.SetWarn([&](const std::string& message) { warnings.push_back(message); });
    for (const char* name : {"taken", "   "}) {
        dialog.NameEdit()->setText(QString::fromUtf8(name));
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Rejected) << name;
    }
    EXPECT_EQ(warnings, (std::vector<std::string>{"同名のメディアが存在します  ", "名前を入力してください  "}));
    dialog.NameEdit()->setText(" Fresh ");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Name(), "Fresh");
}

}  // namespace
