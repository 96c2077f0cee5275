#include <gtest/gtest.h>

#include "browser/WindowTitle.h"

namespace {

struct TTitleCase {
    const char* Name;
    const char* Location;
    const char* Mask;
    TListKind Kind;
    const char* Expected;
};

class WindowTitleTest : public ::testing::TestWithParam<TTitleCase> {};

TEST_P(WindowTitleTest, JoinsTheLocationAndTheMask)
{
    const TTitleCase& row = GetParam();
    EXPECT_EQ(WindowTitle("Mireva", row.Location, row.Mask, row.Kind), row.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WindowTitleTest,
    ::testing::Values(TTitleCase{"Folder", "Comics", "", TListKind::lkFolder, "Mireva - Comics"},
                      TTitleCase{"MaskedFolder", "Comics", "*.jpg", TListKind::lkFolder, "Mireva - Comics [*.jpg]"},
                      TTitleCase{"MaskedShelf", "Weekly", "*.jpg", TListKind::lkShelf, "Mireva - Weekly [*.jpg]"},
                      TTitleCase{"ShelfListUnmasked", "本棚", "*.jpg", TListKind::lkShelves, "Mireva - 本棚"},
                      TTitleCase{"NothingListed", "", "", TListKind::lkNothing, "Mireva"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
