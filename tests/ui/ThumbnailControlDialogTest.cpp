// The thumbnail management dialog: Cancel leaves the store byte for byte as
// it was, whatever was removed or rewritten meanwhile; OK keeps it.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include "browser/ui/ThumbnailControlDialog.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "thumbnails/ThumbControl.h"
#include "unit/thumbnails/ThumbBytes.h"

namespace {

struct TStoreOnDisk {
    TTempFolder Temp;
    std::string Store = Temp.File("store/");
    TStoreOnDisk()
    {
        Temp.Write("pics/a.jpg", "x");
        TThumbBytes data;
        data.Text(ThumbDataSignature).I32(258);
        for (const char* name : {"a.jpg", "gone.jpg"})
            data.Entry(258, name, "not a picture", 1, 45000, 96, 96);
        Temp.Write("store/" + ThumbDataFileName(0), data.String());
        Temp.Write("store/" + ThumbDataFileName(1), "other");
        TThumbBytes index;
        index.Text(ThumbIndexSignature).I32(258);
        index.Text(Temp.File("pics/")).I32(0).I32(static_cast<int32_t>(data.Data.size())).I32(2).Dbl(45000);
        index.Text(Temp.File("gone/")).I32(1).I32(5).I32(1).Dbl(45000);
        Temp.Write("store/Thumbs.px", index.String());
    }
    std::string Snapshot() const
    {
        std::string all;
        for (const std::string& name : {std::string("Thumbs.px"), ThumbDataFileName(0), ThumbDataFileName(1)})
            all += name + "=" + (PathExists(Store + name) ? Temp.Read("store/" + name) : "<none>") + "\n";
        return all + (PathExists(Store + "00001/0001.l$$") ? "backup left" : "");
    }
};

void Click(TThumbnailControlDialog& dialog, const char* button)
{
    QPushButton* b = dialog.findChild<QPushButton*>(button);
    ASSERT_TRUE(b) << button;
    b->click();
}

class ThumbnailControlDialogClose : public testing::TestWithParam<bool> {};

TEST_P(ThumbnailControlDialogClose, CancelRestoresTheStoreAndOkKeepsTheChanges)
{
    TStoreOnDisk disk;
    const std::string before = disk.Snapshot();
    TThumbnailControlDialog dialog(disk.Store);
    int asked = 0;
    dialog.Confirm = [&](const QString&) { return ++asked > 0; };
    QTreeWidget* list = dialog.List();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    // Sorted by name: "gone" before "pics".
    list->topLevelItem(1)->setSelected(true);
    Click(dialog, "btnNotExistFile");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(1)->text(1), "1");
    Click(dialog, "btnNotExistPath");
    EXPECT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(asked, 2);
    EXPECT_NE(disk.Snapshot(), before);

    if (GetParam()) {
        dialog.accept();
        EXPECT_TRUE(dialog.Changed());
        TThumbControl after(disk.Store);
        ASSERT_EQ(after.Rows().size(), 1u);
        EXPECT_EQ(after.Rows()[0].Count, 1);
        EXPECT_FALSE(PathExists(disk.Store + ThumbDataFileName(1)));
        EXPECT_FALSE(PathExists(disk.Store + "00001/0001.l$$"));
    } else {
        dialog.reject();
        EXPECT_FALSE(dialog.Changed());
        EXPECT_EQ(disk.Snapshot(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(OkOrCancel, ThumbnailControlDialogClose, testing::Bool());

// Sorting again keeps the chosen row chosen where it lands.
TEST(ThumbnailControlDialog, SortingKeepsTheChosenRowsChosen)
{
    TStoreOnDisk disk;
    TThumbnailControlDialog dialog(disk.Store);
    QTreeWidget* list = dialog.List();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    // Sorted by name: "gone" before "pics"; "pics" is chosen.
    list->topLevelItem(1)->setSelected(true);
    list->setCurrentItem(list->topLevelItem(1), 0, QItemSelectionModel::NoUpdate);
    const QString chosen = list->topLevelItem(1)->toolTip(0);
    // The name column clicked again: the header turns its indicator, then
    // reports the click.
    list->header()->setSortIndicator(0, Qt::DescendingOrder);
    emit list->header()->sectionClicked(0);
    ASSERT_EQ(list->selectedItems().size(), 1);
    EXPECT_EQ(list->selectedItems().front()->toolTip(0), chosen);
    EXPECT_EQ(list->currentItem()->toolTip(0), chosen);
    EXPECT_EQ(list->topLevelItem(0)->toolTip(0), chosen) << "descending: pics first";
}

}  // namespace
