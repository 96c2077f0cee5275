#include <gtest/gtest.h>

#include "app/ExtColorInput.h"

namespace {

struct TInputCase {
    const char* Name;
    const char* Input;
    std::vector<std::string> Others;
    TExtInputResult Result;
    const char* Text;  // the accepted key, or the message
};

void PrintTo(const TInputCase& c, std::ostream* os) { *os << c.Name; }


class ExtensionInputTest : public ::testing::TestWithParam<TInputCase> {};

TEST_P(ExtensionInputTest, NormalisesOrRefuses)
{
    const TInputCase& c = GetParam();
    const TExtInputCheck check = CheckExtensionInput(c.Input, c.Others);
    EXPECT_EQ(check.Result, c.Result);
    if (c.Result == TExtInputResult::erAccepted) {
        EXPECT_EQ(check.Text, c.Text);
        EXPECT_TRUE(check.Message.empty());
    } else {
        EXPECT_EQ(check.Message, c.Text);
        EXPECT_TRUE(check.Text.empty());
    }
}

const char* const Invalid = "拡張子のみを正しく入力してください  \n\n　例） .exe\n　例） .bmp;.jpg";

INSTANTIATE_TEST_SUITE_P(
    Inputs, ExtensionInputTest,
    ::testing::Values(
        TInputCase{"BareName", "jpg", {}, TExtInputResult::erAccepted, ".jpg"},
        TInputCase{"Wildcard", "*.JPG", {}, TExtInputResult::erAccepted, ".jpg"},
        TInputCase{"Dotted", " .Tar.GZ ", {}, TExtInputResult::erAccepted, ".tar.gz"},
        TInputCase{"AllSeparators", "jpg;png,gif bmp", {}, TExtInputResult::erAccepted, ".jpg;.png;.gif;.bmp"},
        TInputCase{"EmptyPiecesDropped", "jpg;;png, ;", {}, TExtInputResult::erAccepted, ".jpg;.png"},
        TInputCase{"TypedTwice", "jpg;.JPG", {}, TExtInputResult::erAccepted, ".jpg"},
        TInputCase{"Japanese", "ＪＰＧ", {}, TExtInputResult::erAccepted, ".ｊｐｇ"},
        TInputCase{"Blank", "   ", {}, TExtInputResult::erEmpty, ""},
        TInputCase{"OnlySeparators", ";;, ", {}, TExtInputResult::erEmpty, ""},
        TInputCase{"NameWithExtension", "photo.jpg", {}, TExtInputResult::erInvalid, Invalid},
        TInputCase{"OneBadAmongGood", "jpg;a.png", {}, TExtInputResult::erInvalid, Invalid},
        TInputCase{"LoneDot", ".", {}, TExtInputResult::erInvalid, Invalid},
        TInputCase{"WildcardOnly", "*.", {}, TExtInputResult::erInvalid, Invalid},
        TInputCase{"EqualsSign", "j=pg", {}, TExtInputResult::erInvalid, Invalid},
        TInputCase{"LineBreak", "jpg\npng", {}, TExtInputResult::erInvalid, Invalid},
        TInputCase{"RegisteredElsewhere",
                   "png;jpg",
                   {".gif", ".bmp;.JPG"},
                   TExtInputResult::erDuplicate,
                   "拡張子 '.jpg' は既に登録されています  "},
        TInputCase{"RegisteredWithoutDotByHand",
                   "tif",
                   {"bmp;tif"},
                   TExtInputResult::erDuplicate,
                   "拡張子 '.tif' は既に登録されています  "},
        TInputCase{"SimilarButNotTheSame", "jpeg", {".jpg"}, TExtInputResult::erAccepted, ".jpeg"}),
    [](const ::testing::TestParamInfo<TInputCase>& info) { return info.param.Name; });

}  // namespace
