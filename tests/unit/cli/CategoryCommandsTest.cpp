// mireva-cli's category command from end to end: a category of each kind made
// over one folder of files, its paths and the members of one path listed back
// in name order, and malformed settings refused without touching the file.

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

#include "RunCli.h"
#include "common/DateTime.h"
#include "platform/FileSystem.h"
#include "platform/SafeFiles.h"
#include "support/TempFolder.h"

namespace {

struct TKindRow {
    const char* By;       // the --by value and any further options
    const char* Paths;    // what "show NAME" lists
    const char* Path;     // one category
    const char* Members;  // its members' names, one a line
};

class CategoryKindCli : public testing::TestWithParam<TKindRow> {
protected:
    void SetUp() override
    {
        // Noon, so that no time zone moves a file to another day.
        const auto write = [&](const char* name, int year, int month, int day) {
            const std::string path = fFolder.Write(std::string("pics/") + name, "x");
            ASSERT_TRUE(SetFileModifiedTime(path, DateTimeToUnix(EncodeDateTime({year, month, day, 12, 0, 0, 0}))));
        };
        write("Abe - Sea [v10].jpg", 2004, 3, 5);
        write("Abe - Sea [v9].jpg", 2004, 3, 9);
        write("Abe - Sky.jpg", 2004, 11, 1);
        write("Cole - Sun.png", 2006, 7, 1);
        write("Dee.jpg", 2006, 7, 2);
        fFolder.Write("conds", "jpg\t*.jpg\n  old\t\tbefore:2005/01/01\npng\t*.png\n");
    }
    TCliRun Run(const std::string& arguments) { return RunCli(fFolder.Path(), arguments); }

    TTempFolder fFolder;
};

TEST_P(CategoryKindCli, PathsAndMembersComeBackInNameOrder)
{
    const TKindRow& row = GetParam();
    const TCliRun add = Run(std::string("category add C --by ") + row.By + " pics");
    ASSERT_EQ(add.ExitCode, 0) << add.Err;
    EXPECT_EQ(Run("category show C").Out, row.Paths);
    const TCliRun members = Run(std::string("category show C '") + row.Path + "'");
    ASSERT_EQ(members.ExitCode, 0) << members.Err;
    std::string expected;
    for (std::string_view rest = row.Members; !rest.empty();) {
        const size_t end = std::min(rest.find('\n'), rest.size());
        expected += fFolder.File("pics/" + std::string(rest.substr(0, end))) + "\n";
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    EXPECT_EQ(members.Out, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, CategoryKindCli,
    testing::Values(
        // Members in name order: v9 before v10.
        TKindRow{"date:ym", "2004/\t0\n2004/03/\t2\n2004/11/\t1\n2006/\t0\n2006/07/\t2\n", "2004/03",
                 "Abe - Sea [v9].jpg\nAbe - Sea [v10].jpg"},
        // Year and day without the month: one level "mm-dd" below the year.
        TKindRow{"date:yd",
                 "2004/\t0\n2004/03-05/\t1\n2004/03-09/\t1\n2004/11-01/\t1\n2006/\t0\n2006/07-01/\t1\n2006/07-02/\t1\n",
                 "2004/03-09", "Abe - Sea [v9].jpg"},
        // Author, then title, two rules in one text. The part keeps the blank
        // before its delimiter; a name without the first delimiter stays at
        // the root, which is not listed.
        TKindRow{"'name:Author,0,-,,0,1,Title,0,[;.,,0,1'", "Abe /\t0\nAbe /Sea /\t2\nAbe /Sky/\t1\nCole /\t0\nCole /Sun/\t1\n",
                 "Abe /Sea ", "Abe - Sea [v9].jpg\nAbe - Sea [v10].jpg"},
        // The same rules by --rule, shown title first: a name without an
        // author stops after its title.
        TKindRow{"name --rule Author,0,-,,0,1 --rule 'Title,0,[;.,,0,1' --order 2,1",
                 "Dee/\t1\nSea /\t0\nSea /Abe /\t2\nSky/\t0\nSky/Abe /\t1\nSun/\t0\nSun/Cole /\t1\n", "Sky/Abe ",
                 "Abe - Sky.jpg"},
        TKindRow{"conditions:conds", "jpg/\t1\njpg/old/\t3\npng/\t1\n", "jpg", "Dee.jpg"},
        // With the sub-contents, a category lists the files below it too.
        TKindRow{"conditions:conds --sub-contents", "jpg/\t1\njpg/old/\t3\npng/\t1\n", "jpg",
                 "Abe - Sea [v9].jpg\nAbe - Sea [v10].jpg\nAbe - Sky.jpg\nDee.jpg"}));

TEST(CategoryCli, MalformedSettingsAreRefusedAndWriteNothing)
{
    TTempFolder folder;
    folder.Write("pics/a.jpg", "x");
    ASSERT_EQ(RunCli(folder.Path(), "category add Kept --by date:y pics").ExitCode, 0);
    const std::string before = folder.Read("home/Category.lst");
    for (const char* arguments : {
             "category add X --by name pics",                          // no rule at all
             "category add X --by name:A,0,-,,0 pics",                 // five fields
             "category add X --by name:A,0,-,,0,1,B,0,_ pics",         // a second rule cut short
             "category add X --by name:,0,-,,0,1 pics",                // a rule without a name
             "category add X --by name:A,2,[,,0,1 pics",               // enclosed without closing
             "category add X --by name:A,0,-,,0,1 --order 2 pics",     // no second rule to order
             "category add X --by date:yq pics",                       // no such unit
             "category add kept --by date:y pics",                     // the name is taken
             "category add X --by nothing pics",                       // no such kind
         }) {
        const TCliRun run = RunCli(folder.Path(), arguments);
        EXPECT_NE(run.ExitCode, 0) << arguments;
        EXPECT_FALSE(run.Err.empty()) << arguments;
    }
    EXPECT_EQ(folder.Read("home/Category.lst"), before);
    EXPECT_EQ(RunCli(folder.Path(), "category list").Out, "Kept\tdate\t1\t\n");
}

}  // namespace
