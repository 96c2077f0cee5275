#include <gtest/gtest.h>

#include "collections/IconStrip.h"
#include "collections/ShellFolder.h"
#include "collections/ui/QtShellInfo.h"
#include "support/TempFolder.h"

namespace {

TEST(QtShellInfo, TypeNamesAndIconsForTheFolderModel)
{
    TTempFolder folder;
    folder.Write("a.png", "\x89PNG\r\n\x1a\n");
    folder.Write("b.png", "\x89PNG\r\n\x1a\n");
    TQtShellInfo info;
    auto a = TShellFolder::CreateFromPath(nullptr, folder.File("a.png"), &info);
    auto b = TShellFolder::CreateFromPath(nullptr, folder.File("b.png"), &info);
    EXPECT_FALSE(a->GetTypeName().empty());
    EXPECT_EQ(a->GetTypeName(), b->GetTypeName());
    EXPECT_NE(a->GetTypeName(), info.TypeName(folder.Path(), true));
    // Two files of one type share one icon entry.
    ASSERT_GE(a->GetIconIndex(), 0);
    EXPECT_EQ(a->GetIconIndex(), b->GetIconIndex());
    EXPECT_FALSE(info.Icon(a->GetIconIndex()).isNull());
    EXPECT_TRUE(info.Icon(info.IconCount()).isNull());
}

TEST(QtShellInfo, StripFramesBecomeTheirOwnIcons)
{
    TQtShellInfo info;
    TBitmap strip(32, 16, 24, true);
    std::vector<TIconImage> images;
    const std::vector<int> indices = LoadIconStrip(strip, TIconSize::isSmall, images, "Grp", &info);
    ASSERT_EQ(indices.size(), 2u);
    EXPECT_NE(indices[0], indices[1]);
    EXPECT_FALSE(info.Icon(indices[1]).isNull());
    TIconImage bad{TBitmap(4, 4, 24, true), TBitmap(2, 2, 8, true)};
    EXPECT_EQ(info.AddIcon("bad", bad), -1);
}

}  // namespace
