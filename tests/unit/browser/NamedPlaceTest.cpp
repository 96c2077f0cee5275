// The collections named in words for scripts.

#include <gtest/gtest.h>

#include "browser/NamedPlace.h"

namespace {

using enum TNamedPlaceKind;

struct TPlaceCase {
    const char* Text;
    std::optional<TNamedPlace> Place;
};

class NamedPlaces : public ::testing::TestWithParam<TPlaceCase> {};

TEST_P(NamedPlaces, ReadAsScriptsWriteThem)
{
    EXPECT_EQ(ParseNamedPlace(GetParam().Text), GetParam().Place) << GetParam().Text;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, NamedPlaces,
    ::testing::Values(TPlaceCase{"media", TNamedPlace{npMedia, "", ""}},
                      TPlaceCase{"categories", TNamedPlace{npCategories, "", ""}},
                      TPlaceCase{"media:Disc 1", TNamedPlace{npMedium, "Disc 1", ""}},
                      TPlaceCase{"media:Disc//photos/2020", TNamedPlace{npMedium, "Disc", "photos/2020"}},
                      // A member path is absolute: the first "//" ends the name.
                      TPlaceCase{"shelf:Comics///home/me/b", TNamedPlace{npShelf, "Comics", "/home/me/b"}},
                      TPlaceCase{"category:By date//2024/03", TNamedPlace{npCategory, "By date", "2024/03"}},
                      TPlaceCase{"shelf:", std::nullopt}, TPlaceCase{"media://x", std::nullopt},
                      TPlaceCase{"Media", std::nullopt}, TPlaceCase{"folder:/tmp", std::nullopt},
                      TPlaceCase{"", std::nullopt}));

}  // namespace
