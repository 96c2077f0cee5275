// The differences dialog lists what differs between a disc and its saved
// catalogue side by side, and follows its options.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTreeWidget>

#include "browser/ui/MediaDiffDialog.h"

namespace {

void Add(TMediaFolder& medium, const char* path, int64_t size, bool folder = false)
{
    auto record = std::make_unique<TCtFileInfo>();
    record->Path = path;
    record->IsDirectory = folder;
    record->Size = size;
    record->Modified = 45000.5;
    medium.AddRecord(std::move(record));
}

std::vector<std::string> Column(const QTreeWidget* list, int column)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts.push_back(list->topLevelItem(i)->text(column).toStdString());
    return texts;
}

QCheckBox* Check(const TMediaDiffDialog& dialog, const char* text)
{
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
        if (box->text() == QString::fromUtf8(text))
            return box;
    return nullptr;
}

using TTexts = std::vector<std::string>;

TEST(MediaDiffDialog, ListsTheDifferencesSideBySide)
{
    TMediaFolder live(nullptr, "Disc");
    TMediaFolder stored(nullptr, "Disc");
    for (TMediaFolder* medium : {&live, &stored}) {
        Add(*medium, "same.jpg", 10);
        Add(*medium, "pics", 0, true);
    }
    Add(live, "pics/changed.jpg", 3000000000LL);  // beyond 32 bits
    Add(stored, "pics/changed.jpg", 3000000000LL + 65536);
    Add(live, "pics/new.jpg", 1);
    Add(stored, "gone.jpg", 1);
    live.CompleteCatalogue();
    stored.CompleteCatalogue();

    TMediaDiffDialog dialog(nullptr, live, "/media/disc", stored, "/mnt/old", TDifferOptions{});
    EXPECT_EQ(dialog.windowTitle().toStdString(), "差分の表示");
    EXPECT_EQ(Column(dialog.LeftList(), 0), (TTexts{"", "pics/changed.jpg", "pics/new.jpg"}));
    EXPECT_EQ(Column(dialog.RightList(), 0), (TTexts{"gone.jpg", "pics/changed.jpg", ""}));
    EXPECT_EQ(Column(dialog.LeftList(), 3), (TTexts{"", "変更", "追加"}));
    EXPECT_EQ(Column(dialog.RightList(), 3), (TTexts{"削除", "変更", ""}));
    EXPECT_EQ(Column(dialog.LeftList(), 1)[1], "3,000,000,000");

    Check(dialog, "差分のないファイルも表示(&A)")->setChecked(true);
    EXPECT_EQ(Column(dialog.LeftList(), 0), (TTexts{"pics", "", "pics/changed.jpg", "pics/new.jpg", "same.jpg"}));
    Check(dialog, "フルパスで表示(&F)")->setChecked(true);
    EXPECT_EQ(Column(dialog.RightList(), 0)[0], "/mnt/old/pics");
    EXPECT_EQ(Column(dialog.LeftList(), 0)[4], "/media/disc/same.jpg");

    // Both lists keep one position while Sync is on.
    dialog.LeftList()->setCurrentItem(dialog.LeftList()->topLevelItem(3));
    EXPECT_EQ(dialog.RightList()->currentIndex().row(), 3);
    Check(dialog, "スクロールを同期(&S)")->setChecked(false);
    dialog.LeftList()->setCurrentItem(dialog.LeftList()->topLevelItem(1));
    EXPECT_EQ(dialog.RightList()->currentIndex().row(), 3);

    const TDifferOptions options = dialog.Options();
    EXPECT_TRUE(options.FullPath);
    EXPECT_TRUE(options.AllFile);
    EXPECT_FALSE(options.Sync);
    ASSERT_TRUE(options.Size);
    EXPECT_GE(options.Size->Width, DifferMinWidth);
}

}  // namespace
