// The category property dialog: what it shows of a category comes back out
// of Take unchanged, the kind follows the radio buttons, and OK asks the
// name check with the name typed.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPixmap>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include "base/QueueDispatcher.h"
#include "browser/ui/CategoryDialog.h"

namespace {

TEST(CategoryDialog, TakeGivesBackWhatItShowedAndTheChosenKind)
{
    TQueueDispatcher tasks;
    TCategoryFolder category(tasks, nullptr, "写真");
    category.SetComment("年ごと");
    // Beyond the icons offered (one without a strip): kept all the same.
    category.SetImage(2);
    category.SetTargets({{TSearchTargetKind::tkFolder, "/pics/", true},
                         {TSearchTargetKind::tkShelf, "", false},
                         {TSearchTargetKind::tkMedium, "disc", true}});
    TCategorySettings settings;
    settings.DateUnits = duYear | duDay;
    category.SetSettings(settings);
    category.ShowSubContents = true;

    TCategoryDialog dialog(category, false, nullptr);
    TCategoryFolder out(tasks, nullptr, "");
    dialog.Take(out);
    EXPECT_EQ(out.Name(), "写真");
    EXPECT_EQ(out.Comment(), "年ごと");
    EXPECT_EQ(out.ImageIndex(), 2);
    EXPECT_EQ(out.Targets(), category.Targets());
    EXPECT_EQ(out.Settings(), category.Settings());
    EXPECT_TRUE(out.ShowSubContents);
    EXPECT_EQ(dialog.findChild<QListWidget*>("lvTargets")->item(1)->text().toStdString(), "すべての本棚");

    for (QRadioButton* button : dialog.findChildren<QRadioButton*>())
        if (button->text() == QString::fromUtf8("分類条件を指定(&S)"))
            button->setChecked(true);
    dialog.Take(out);
    EXPECT_EQ(out.CategoryKind(), TCategoryKind::ckConditions);
}

TEST(CategoryDialog, TheIconChooserShowsTheStripsIcons)
{
    TQueueDispatcher tasks;
    TCategoryFolder category(tasks, nullptr, "写真");
    QPixmap picture(16, 16);
    picture.fill(Qt::green);
    const TFolderIconSource icons{4, [&](int i) { return i == 1 ? QIcon() : QIcon(picture); }};
    TCategoryDialog dialog(category, false, nullptr, nullptr, icons);
    auto* chooser = dialog.findChild<QComboBox*>("cbIcon");
    ASSERT_NE(chooser, nullptr);
    ASSERT_EQ(chooser->count(), 4);
    EXPECT_EQ(chooser->itemText(0).toStdString(), "アイコン1");
    EXPECT_FALSE(chooser->itemIcon(0).isNull());
    EXPECT_TRUE(chooser->itemIcon(1).isNull());
    chooser->setCurrentIndex(3);
    TCategoryFolder out(tasks, nullptr, "");
    dialog.Take(out);
    EXPECT_EQ(out.ImageIndex(), 3);
}

TEST(CategoryDialog, OkAsksTheNameCheckFirst)
{
    TQueueDispatcher tasks;
    TCategoryFolder category(tasks, nullptr, "");
    std::vector<std::string> asked;
    TCategoryDialog dialog(category, true, [&](const std::string& name) {
        asked.push_back(name);
        return std::string();
    });
    dialog.findChild<QLineEdit*>("edName")->setText("New");
    dialog.accept();
    EXPECT_EQ(asked, std::vector<std::string>{"New"});
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
