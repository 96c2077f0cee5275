#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "collections/CompareNames.h"
#include "common/Text.h"

namespace {

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

struct TOrderCase {
    const char* Name;
    const char* Before;
    const char* After;
};

class CompareNamesOrder : public ::testing::TestWithParam<TOrderCase> {};

TEST_P(CompareNamesOrder, SortsBeforeAndIsAntisymmetric)
{
    const TOrderCase& c = GetParam();
    EXPECT_LT(CompareNames(c.Before, c.After), 0) << c.Before << " < " << c.After;
    EXPECT_GT(CompareNames(c.After, c.Before), 0) << c.After << " > " << c.Before;
    EXPECT_LT(NameSortKey(c.Before), NameSortKey(c.After)) << c.Before << " < " << c.After;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompareNamesOrder,
    ::testing::Values(TOrderCase{"NumbersByValue", "2.jpg", "10.jpg"},
                      TOrderCase{"NumbersInsideNames", "page9b", "page10a"},
                      TOrderCase{"FullWidthDigitsByValue", "第２話", "第１０話"},
                      TOrderCase{"MixedWidthDigitsByValue", "9", "１0"},
                      TOrderCase{"LongNumbersWithoutOverflow", "99999999999999999999", "100000000000000000000"},
                      TOrderCase{"CaseDoesNotOrderLetters", "apple", "Banana"},
                      TOrderCase{"CaseDoesNotOrderLetters2", "Apple", "banana"},
                      TOrderCase{"ShorterPrefixFirst", "book", "book1"},
                      TOrderCase{"PunctuationBeforeDigits", "_cover", "01"},
                      TOrderCase{"DigitsBeforeLetters", "9", "a"},
                      TOrderCase{"LettersBeforeKana", "z", "あ"},
                      TOrderCase{"KanaBeforeKanji", "ん", "一"},
                      TOrderCase{"KanaInSyllableOrder", "あか", "いか"},
                      TOrderCase{"KatakanaBesideHiragana", "カ", "き"},
                      TOrderCase{"HalfWidthKatakanaBesideFullWidth", "ｶ", "キ"},
                      TOrderCase{"AccentBesideBaseLetter", "école", "ecolf"},
                      TOrderCase{"KanjiByCodePoint", "一巻", "二巻"},
                      TOrderCase{"FewerLeadingZerosFirst", "a1", "a01"},
                      TOrderCase{"AsciiBeforeFullWidthOnTie", "a1", "a１"},
                      TOrderCase{"HiraganaBeforeKatakanaOnTie", "あ", "ア"},
                      TOrderCase{"BaseBeforeAccentOnTie", "e", "é"},
                      TOrderCase{"FullWidthLetterSortsAsAscii", "ａ", "b"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TEqualCase {
    const char* Name;
    const char* A;
    const char* B;
};

class CompareNamesEqual : public ::testing::TestWithParam<TEqualCase> {};

TEST_P(CompareNamesEqual, OnlyCaseDifferencesCompareEqual)
{
    EXPECT_EQ(CompareNames(GetParam().A, GetParam().B), 0);
    EXPECT_EQ(CompareNames(GetParam().B, GetParam().A), 0);
    EXPECT_EQ(NameSortKey(GetParam().A), NameSortKey(GetParam().B));
}

INSTANTIATE_TEST_SUITE_P(Cases, CompareNamesEqual,
                         ::testing::Values(TEqualCase{"Ascii", "IMG_0001.JPG", "img_0001.jpg"},
                                           TEqualCase{"Accented", "ÉCOLE", "école"},
                                           TEqualCase{"Greek", "ΣΟΦΙΑ", "σοφια"},
                                           TEqualCase{"FinalSigmaFolds", "ς", "σ"},
                                           TEqualCase{"FullWidthLetters", "ＡＢＣ", "ａｂｃ"},
                                           TEqualCase{"Empty", "", ""}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(CompareNames, SortsAFolderAsAReaderExpects)
{
    std::vector<std::string> names = {"p10.jpg", "p2.jpg", "P1.jpg", "cover.jpg", "p02.jpg", "_index.txt", "あとがき.jpg"};
    std::sort(names.begin(), names.end(), TNameLess());
    const std::vector<std::string> expected = {"_index.txt", "cover.jpg", "P1.jpg", "p2.jpg",
                                               "p02.jpg",    "p10.jpg",   "あとがき.jpg"};
    EXPECT_EQ(names, expected);
}

// Random names from an alphabet that mixes every class the ordering knows:
// cases, digits of both widths, punctuation, accents, kana of three kinds and
// kanji, with short names so that ties and prefixes are common.
std::string RandomName(std::mt19937& random)
{
    static const char* const alphabet[] = {"a", "A", "b", "B", "z", "0", "1", "9", "０", "１", "９", "_", "-",
                                           " ", ".", "é", "É", "あ", "ア", "ｱ", "か", "カ", "ー", "一", "本", "σ",
                                           "ς", "Σ", "00"};
    constexpr size_t count = sizeof(alphabet) / sizeof(alphabet[0]);
    std::uniform_int_distribution<size_t> length(0, 5);
    std::uniform_int_distribution<size_t> pick(0, count - 1);
    std::string name;
    for (size_t n = length(random); n > 0; --n)
        name += alphabet[pick(random)];
    return name;
}

// Case folding the ordering itself uses: upper, then lower case.
std::string Folded(const std::string& text)
{
    std::u32string chars = ToUtf32(text);
    for (char32_t& c : chars)
        c = LowerChar(UpperChar(c));
    return ToUtf8(chars);
}

TEST(CompareNamesProperty, AntisymmetricAndZeroOnlyForCaseDifferences)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 20000; ++round) {
        const std::string a = RandomName(random);
        const std::string b = RandomName(random);
        const int ab = CompareNames(a, b);
        ASSERT_EQ(Sign(ab), -Sign(CompareNames(b, a))) << a << " | " << b;
        ASSERT_EQ(ab == 0, Folded(a) == Folded(b)) << a << " | " << b;
    }
}

TEST(CompareNamesProperty, TransitiveOnRandomNames)
{
    std::mt19937 random(7);
    std::vector<std::string> names;
    for (int i = 0; i < 400; ++i)
        names.push_back(RandomName(random));
    // Sorting and then checking every pair of the result catches a relation
    // that is not transitive: some later name would compare below an earlier.
    std::sort(names.begin(), names.end(), TNameLess());
    for (size_t i = 0; i < names.size(); ++i) {
        for (size_t j = i + 1; j < names.size(); ++j)
            ASSERT_LE(CompareNames(names[i], names[j]), 0) << names[i] << " | " << names[j];
    }
    // Triples drawn at random, on top.
    std::uniform_int_distribution<size_t> pick(0, names.size() - 1);
    for (int round = 0; round < 20000; ++round) {
        const std::string& a = names[pick(random)];
        const std::string& b = names[pick(random)];
        const std::string& c = names[pick(random)];
        if (CompareNames(a, b) <= 0 && CompareNames(b, c) <= 0) {
            ASSERT_LE(CompareNames(a, c), 0) << a << " | " << b << " | " << c;
        }
    }
}

// The sort key must order every pair exactly as the comparison does: random
// names from the mixed alphabet, the hand-picked orders above, long numbers
// and malformed bytes.
TEST(NameSortKey, OrdersAsCompareNames)
{
    std::mt19937 random(99);
    std::vector<std::string> names = {"", "a\xff\xfe", "a", "ab", "\xf7\xbf\xbf\xbf", "000", "0", "a000b",
                                      "99999999999999999999", "100000000000000000000", "第１０話", "第２話"};
    for (int i = 0; i < 600; ++i)
        names.push_back(RandomName(random));
    std::vector<std::string> keys;
    for (const std::string& name : names)
        keys.push_back(NameSortKey(name));
    for (size_t i = 0; i < names.size(); ++i) {
        for (size_t j = 0; j < names.size(); ++j)
            ASSERT_EQ(Sign(keys[i].compare(keys[j])), Sign(CompareNames(names[i], names[j])))
                << names[i] << " | " << names[j];
    }
}

TEST(CompareNames, MalformedBytesDoNotBreakTheOrder)
{
    const std::string bad = "a\xff\xfe";
    EXPECT_NE(CompareNames(bad, "a"), 0);
    EXPECT_EQ(Sign(CompareNames(bad, "ab")), -Sign(CompareNames("ab", bad)));
}

}  // namespace
