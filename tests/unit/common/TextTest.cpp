#include <gtest/gtest.h>

#include "common/Text.h"

TEST(Text, Utf8Validity)
{
    EXPECT_TRUE(IsValidUtf8("plain"));
    EXPECT_TRUE(IsValidUtf8("日本語"));
    EXPECT_FALSE(IsValidUtf8("\x82\xa0"));      // CP932 "あ"
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE6\x97"));      // truncated
}

TEST(Text, DecodesCp932WhenNotUtf8)
{
    EXPECT_EQ(DecodeText("\x82\xa0\x83\x41"), "あア");
    // A trail byte 0x5C ('\' in ASCII) inside a double-byte character.
    EXPECT_EQ(DecodeText("\x95\x5c"), "表");
    EXPECT_EQ(DecodeText("\xEF\xBB\xBFutf8"), "utf8");
    // A text read and written back reads as itself, byte-order marks or not.
    for (const char* bytes : {"\xEF\xBB\xBF\xEF\xBB\xBFu/p", "\xEF\xBB\xBF\xEF\xBB\xBF", "\xEF\xBB\xBF\x95\x5c",
                              "a\xEF\xBB\xBF"}) {
        const std::string once = DecodeText(bytes);
        EXPECT_EQ(DecodeText(once), once) << bytes;
    }
    EXPECT_EQ(DecodeText("\xEF\xBB\xBF\xEF\xBB\xBFu/p"), "u/p");
    EXPECT_EQ(EncodeCp932("あ"), "\x82\xa0");
}

struct TCompareCase {
    const char* A;
    const char* B;
    int Sign;
};

class CompareTextTest : public ::testing::TestWithParam<TCompareCase> {};

TEST_P(CompareTextTest, ComparesByCharactersWithoutCase)
{
    const TCompareCase& c = GetParam();
    const int result = CompareText(c.A, c.B);
    EXPECT_EQ((result > 0) - (result < 0), c.Sign) << c.A << " vs " << c.B;
    EXPECT_EQ(SameText(c.A, c.B), c.Sign == 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, CompareTextTest,
                         ::testing::Values(TCompareCase{"abc", "ABC", 0}, TCompareCase{"Ｂｏｏｋ", "ｂｏｏｋ", 0},
                                           TCompareCase{"Éclair", "éclair", 0}, TCompareCase{"Шелф", "шелф", 0},
                                           TCompareCase{"a", "b", -1}, TCompareCase{"ab", "a", 1},
                                           TCompareCase{"", "", 0}, TCompareCase{"本棚", "本", 1}));

TEST(Text, CaseMappingIsPerCharacter)
{
    EXPECT_EQ(UpperCase(".jpg"), ".JPG");
    EXPECT_EQ(UpperCase("ｊｐｇé"), "ＪＰＧÉ");
    EXPECT_EQ(LowerCase("ÀB"), "àb");
    EXPECT_TRUE(StartsText("BOOK", "book1.zip"));
    EXPECT_TRUE(EndsText(".ZIP", "book1.zip"));
    EXPECT_FALSE(EndsText("long suffix", "zip"));
}

TEST(Text, Utf32RoundTripAndBadBytes)
{
    const std::string s = "a本😀";
    EXPECT_EQ(ToUtf8(ToUtf32(s)), s);
    EXPECT_EQ(ToUtf32(s).size(), 3u);
    EXPECT_EQ(CharCount(s), 3u);
    EXPECT_EQ(ToUtf32("\xff"), std::u32string(1, U'\uFFFD'));
}

TEST(Text, SplitAndTrim)
{
    EXPECT_EQ(SplitString("a;b;;c", ';'), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(SplitString("", ';'), std::vector<std::string>{""});
    EXPECT_EQ(Trim("  x y \r\n"), "x y");
    EXPECT_EQ(IntToHex(0xABC, 8), "00000ABC");
}

struct TEscapeCase {
    const char* Name;
    std::string Text;
    std::string Escaped;
};

class EscapeControlsTest : public ::testing::TestWithParam<TEscapeCase> {};

TEST_P(EscapeControlsTest, LeavesOneUnambiguousLine)
{
    EXPECT_EQ(EscapeControls(GetParam().Text), GetParam().Escaped);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EscapeControlsTest,
    ::testing::Values(TEscapeCase{"PlainAndJapanese", "第1巻/表 p.jpg", "第1巻/表 p.jpg"},
                      TEscapeCase{"ForgedFields", "a.jpg\t1464\nFORGED.jpg\r", "a.jpg\\t1464\\nFORGED.jpg\\r"},
                      TEscapeCase{"TerminalEscape", "\x1b[31mred", "\\x1b[31mred"},
                      TEscapeCase{"NulAndDelete", std::string("a\0b\x7f", 4), "a\\x00b\\x7f"},
                      // A name that already looks escaped stays distinct from the
                      // name it looks like.
                      TEscapeCase{"Backslash", "a\\x1b\\", "a\\\\x1b\\\\"},
                      TEscapeCase{"C1Control", "a\xc2\x9b" "1m\xc2\xa0", "a\\xc2\\x9b1m\xc2\xa0"},
                      TEscapeCase{"NotUtf8", "\xff\xe6\x97", "\\xff\\xe6\\x97"},
                      TEscapeCase{"TruncatedBeforeAscii", "\xe6\x97" "a", "\\xe6\\x97a"},
                      TEscapeCase{"Overlong", "\xc0\xaf", "\\xc0\\xaf"}, TEscapeCase{"Empty", "", ""}),
    [](const ::testing::TestParamInfo<TEscapeCase>& info) { return std::string(info.param.Name); });
