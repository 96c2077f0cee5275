#include <gtest/gtest.h>

#include <QIcon>
#include <QLineEdit>

#include "collections/ui/ShelfPropertyDialog.h"

namespace {

struct TNameCase {
    const char* Typed;
    const char* Original;  // the name the dialog opened with
    const char* Warning;   // empty: accepted
};

class ShelfPropertyNames : public ::testing::TestWithParam<TNameCase> {};

TEST_P(ShelfPropertyNames, RefuseEmptyAndAnotherShelfsName)
{
    TGroupList list;
    list.Add("Comics", 0, "");
    list.Add("新しい本棚1", 0, "");
    TShelfPropertyDialog dialog(nullptr, TShelfPropertyDialog::AddCaption, list, GetParam().Original, 2, "", 3,
                                [](int) { return QIcon(); });
    std::vector<std::string> warnings;
    dialog.SetWarn([&](const std::string& message) { warnings.push_back(message); });
    dialog.NameEdit()->setText(QString::fromUtf8(GetParam().Typed));
    dialog.accept();
    const std::string expected = GetParam().Warning;
    EXPECT_EQ(dialog.result(), expected.empty() ? QDialog::Accepted : QDialog::Rejected);
    EXPECT_EQ(warnings, expected.empty() ? std::vector<std::string>{} : std::vector<std::string>{expected});
    EXPECT_EQ(dialog.ImageIndex(), 2);
}

INSTANTIATE_TEST_SUITE_P(Rows, ShelfPropertyNames,
                         ::testing::Values(TNameCase{"   ", "", "名前を入力してください  "},
                                           TNameCase{"comics", "", "同名の本棚が存在します  "},
                                           TNameCase{"COMICS", "Comics", ""},
                                           TNameCase{"comics", "新しい本棚1", "同名の本棚が存在します  "},
                                           TNameCase{" Fresh ", "", ""}));

TEST(ShelfPropertyDialog, ProposesTheFirstFreeNumberForANewShelf)
{
    TGroupList list;
    list.Add("新しい本棚2", 0, "");
    TShelfPropertyDialog dialog(nullptr, TShelfPropertyDialog::AddCaption, list, "", 0, "", 1, nullptr);
    EXPECT_EQ(dialog.Name(), "新しい本棚1");
    EXPECT_EQ(dialog.windowTitle(), "本棚の追加");
}

}  // namespace
