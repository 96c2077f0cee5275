#include <gtest/gtest.h>

#include <chrono>

#include "browser/CategoryKeeper.h"
#include "platform/SafeFiles.h"
#include "support/TempFolder.h"

namespace {

TEST(CategoryKeeper, NamesAreCheckedAndEveryChangeIsSaved)
{
    TTempFolder home;
    home.Write("p/a.jpg", "x");
    TCategoryList list;
    TCategoryKeeper keeper(list, home.Path());
    EXPECT_EQ(keeper.Load(), "");

    TCategoryFolder draft(list.Tasks(), nullptr, "Dates");
    draft.SetTargets({{TSearchTargetKind::tkFolder, home.File("p"), true}});
    EXPECT_EQ(keeper.CheckName("  ", nullptr), TCategoryKeeper::EmptyNameText);
    EXPECT_EQ(keeper.CheckName("Dates", nullptr), "");
    const int index = keeper.Add(draft);
    EXPECT_EQ(keeper.CheckName("dates", nullptr), TCategoryKeeper::DuplicateNameText);
    // A category keeps its own name when its properties are edited.
    EXPECT_EQ(keeper.CheckName("DATES", list.Category(index)), "");

    // The first showing gathers and sorts; the tree asks for the levels.
    TCategoryFolder& category = *list.Category(index);
    ASSERT_TRUE(SetFileModifiedTime(home.File("p/a.jpg"), DateTimeToUnix(EncodeDateTime({2004, 3, 5, 12}))));
    keeper.EnsureLoaded(category);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (category.Busy() && std::chrono::steady_clock::now() < deadline)
        list.Tasks().RunOne(std::chrono::steady_clock::now() + std::chrono::milliseconds(100));
    EXPECT_EQ(TCategoryKeeper::Children(category, ""), std::vector<std::string>{"2004/"});
    EXPECT_EQ(TCategoryKeeper::Children(category, "2004/"), std::vector<std::string>{"2004/03/"});

    TCategoryList again;
    TCategoryKeeper reader(again, home.Path());
    EXPECT_EQ(reader.Load(), "");
    ASSERT_EQ(again.Count(), 1);
    EXPECT_EQ(again.Category(0)->Targets(), draft.Targets());
    // A rename by any view reaches the file.
    category.SetName("Days");
    TCategoryList renamed;
    TCategoryKeeper(renamed, home.Path()).Load();
    ASSERT_EQ(renamed.Count(), 1);
    EXPECT_EQ(renamed.Category(0)->Name(), "Days");
    keeper.Delete(index);
    TCategoryList none;
    TCategoryKeeper(none, home.Path()).Load();
    EXPECT_EQ(none.Count(), 0);
}

}  // namespace
