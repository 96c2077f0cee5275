#include <gtest/gtest.h>

#include "browser/SelectDirHistory.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace {

TEST(SelectDirHistory, NewestFirstWithinTheLimitAndOldKeysDeletedAtSave)
{
    TTempFolder temp;
    temp.Write("Input.lst", "[SELECTDIR]\n1=/a\n2=/b\n3=/c\n4=/d\n[ADDRESSBAR]\n1=/kept\n");
    TSelectDirHistory history;
    history.Load(temp.Path());
    history.Add("/c", 3);
    history.Add("/new", 3);
    EXPECT_EQ(history.Items(), (std::vector<std::string>{"/new", "/c", "/a"}));
    history.Save(temp.Path(), 2);
    TSelectDirHistory again;
    again.Load(temp.Path());
    EXPECT_EQ(again.Items(), (std::vector<std::string>{"/new", "/c"}));
    EXPECT_NE(temp.Read("Input.lst").find("/kept"), std::string::npos);
}

TEST(SelectDirHistory, OlderSettingsFileGivesItsExistingFoldersOnce)
{
    TTempFolder temp;
    ForceDirectories(temp.File("here"));
    temp.Write("Mireva.ini", "[SELECTDIR]\n1=" + temp.File("here") + "\n2=/gone/away\n3=" + temp.File("here") + "\n");
    TSelectDirHistory history;
    history.Load(temp.Path());
    EXPECT_EQ(history.Items(), std::vector<std::string>{temp.File("here")});
    // Once Input.lst has the section, the old one is not read again.
    history.Save(temp.Path(), 50);
    temp.Write("Input.lst", "[SELECTDIR]\n1=/mine\n");
    history.Load(temp.Path());
    EXPECT_EQ(history.Items(), std::vector<std::string>{"/mine"});
}

TEST(SelectDirHistory, ChosenFolderText)
{
    EXPECT_EQ(ChosenFolder("  /a/b/ "), "/a/b");
    EXPECT_EQ(ChosenFolder("/"), "/");
    EXPECT_EQ(ChosenFolder("/a"), "/a");
    EXPECT_FALSE(ChosenFolder("   ").has_value());
}

}  // namespace
