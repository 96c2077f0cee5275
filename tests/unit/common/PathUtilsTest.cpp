#include <gtest/gtest.h>

#include "base/PathUtils.h"

struct TNormCase {
    const char* In;
    const char* Out;
};

class NormalizePathTest : public ::testing::TestWithParam<TNormCase> {};

TEST_P(NormalizePathTest, Normalises)
{
    EXPECT_EQ(NormalizePath(GetParam().In), GetParam().Out);
}

INSTANTIATE_TEST_SUITE_P(Cases, NormalizePathTest,
                         ::testing::Values(TNormCase{"/a//b/", "/a/b/"}, TNormCase{"/a/./b", "/a/b"},
                                           TNormCase{"/a/../../b", "/b"}, TNormCase{"/", "/"},
                                           TNormCase{"//", "/"}, TNormCase{"a/../..", ".."},
                                           TNormCase{"./", "."}, TNormCase{"/x/y/..", "/x"}));

TEST(PathUtils, SplitsNamesAndExtensions)
{
    EXPECT_EQ(ExtractFileName("/a/b.jpg"), "b.jpg");
    EXPECT_EQ(ExtractFilePath("/a/b.jpg"), "/a/");
    EXPECT_EQ(ExtractFilePath("b.jpg"), "");
    EXPECT_EQ(ExtractFileExt("/a.d/b"), "");
    EXPECT_EQ(ExtractFileExt("/a/b.tar.gz"), ".gz");
    EXPECT_EQ(ChangeFileExt("/a/b.jpg", ".lys"), "/a/b.lys");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a//"), "/a");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
    EXPECT_EQ(JoinPath("/a", "/b"), "/a/b");
    EXPECT_EQ(ExpandFileName("../c", "/a/b/"), "/a/c");
    EXPECT_EQ(ExpandFileName("/abs", "/a/b/"), "/abs");
}
