#include "browser/DialogPage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "base/Errors.h"
#include "support/TempFolder.h"

namespace {

struct TPageCase {
    const char* Name;
    const char* Stored;  // the file's text; nullptr: no file
    int Page;
};

class DialogPageReadTest : public ::testing::TestWithParam<TPageCase> {};

TEST_P(DialogPageReadTest, GivesTheStoredPageOrTheFirst)
{
    TTempFolder folder;
    if (GetParam().Stored)
        folder.Write("Mireva.ini", GetParam().Stored);
    EXPECT_EQ(ReadDialogPage(folder.File("Mireva.ini"), KeyDialogSection, 3), GetParam().Page);
}

INSTANTIATE_TEST_SUITE_P(Rows, DialogPageReadTest,
                         ::testing::Values(TPageCase{"NoFile", nullptr, 0},
                                           TPageCase{"NoKey", "[KEYCUSTOM]\n", 0},
                                           TPageCase{"Last", "[KEYCUSTOM]\nPage=2\n", 2},
                                           TPageCase{"OtherDialogsPage", "[MOUSECUSTOM]\nPage=2\n", 0},
                                           TPageCase{"PastTheLast", "[KEYCUSTOM]\nPage=3\n", 0},
                                           TPageCase{"Negative", "[KEYCUSTOM]\nPage=-1\n", 0},
                                           TPageCase{"NoNumber", "[KEYCUSTOM]\nPage=two\n", 0}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(DialogPageTest, SavingKeepsTheRestOfTheFile)
{
    TTempFolder folder;
    const std::string path = folder.Write("Mireva.ini", "[STATE]\nLeft=12\n[KEYCUSTOM]\nPage=0\n");
    SaveDialogPage(path, KeyDialogSection, 2);
    EXPECT_EQ(ReadDialogPage(path, KeyDialogSection, 3), 2);
    EXPECT_NE(folder.Read("Mireva.ini").find("Left=12"), std::string::npos);
}

TEST(DialogPageTest, AFileThatCannotBeReadIsNotWrittenOver)
{
    TTempFolder folder;
    // Larger than any settings file is read: there, but unreadable.
    const std::string path = folder.Write("Mireva.ini", "");
    ASSERT_EQ(::truncate(path.c_str(), int64_t{65} << 20), 0);
    EXPECT_THROW(SaveDialogPage(path, KeyDialogSection, 1), EFileError);
    EXPECT_EQ(std::filesystem::file_size(path), uintmax_t{65} << 20);
}

}  // namespace
