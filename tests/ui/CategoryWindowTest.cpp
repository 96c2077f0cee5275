// The window's category commands: categories selected in the list of
// categories are deleted after the question (answered in a batch run as
// --yes says), and the property command is offered where its dialog is built.

#include <gtest/gtest.h>

#include "app/AppCore.h"
#include "browser/ui/FilePane.h"
#include "browser/ui/MainForm.h"
#include "collections/CategoryFile.h"
#include "platform/FileSystem.h"
#include "support/FakeBook.h"
#include "support/PumpEvents.h"
#include "support/SettledForm.h"

namespace {

using enum TActionId;

class CategoryWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        TCategoryList list;
        for (const char* name : {"年", "作者", "条件"})
            list.Add(name, 0, "");
        ForceDirectories(fProgram.Tree.File("data/"));
        TCategoryStore(fProgram.Tree.File("data/")).Save(list);
        fProgram.WriteBook(1);
        fCore = fProgram.Start({"book"});
        fForm = ShowSettledForm(*fCore, fMessages);
        ASSERT_TRUE(fForm->RunAction(actCategory));
    }
    void TearDown() override
    {
        fForm.reset();
        fCore.reset();
    }
    std::vector<std::string> Stored() const
    {
        TCategoryList list;
        TCategoryStore(fProgram.Tree.File("data/")).Load(list);
        std::vector<std::string> names;
        for (int i = 0; i < list.Count(); ++i)
            names.push_back(list.Category(i)->Name());
        return names;
    }

    TFakeProgram fProgram;
    std::unique_ptr<TAppCore> fCore;
    std::unique_ptr<TMainForm> fForm;
    std::vector<std::string> fMessages;
};

TEST_F(CategoryWindow, DeleteAsksAndDeletesTheSelectedCategories)
{
    ASSERT_TRUE(fForm->Model().ShowTreePlace({.Kind = TTreePlaceKind::tpCategories}));
    ASSERT_EQ(fForm->Model().ListKind(), TListKind::lkCategories);
    ASSERT_TRUE(fForm->SelectByNames({"作者", "条件"}).empty());
    EXPECT_TRUE(fForm->ActionStateOf(actProperties).Enabled);
    // Nobody answers: no.
    EXPECT_FALSE(fForm->RunAction(actDelete));
    EXPECT_EQ(Stored().size(), 3u);
    ASSERT_EQ(fMessages.size(), 1u);
    EXPECT_EQ(fMessages[0].rfind("選択されたカテゴリを削除してもよろしいですか？", 0), 0u);

    fForm->SetAnswerYes(true);
    ASSERT_TRUE(fForm->SelectByNames({"作者", "条件"}).empty());
    EXPECT_TRUE(fForm->RunAction(actDelete));
    EXPECT_EQ(Stored(), std::vector<std::string>{"年"});
    EXPECT_EQ(fForm->Model().Items().size(), 1u);
}

TEST_F(CategoryWindow, PropertiesAreOfferedForTheCategoryListed)
{
    ASSERT_TRUE(fForm->Model().ShowTreePlace({.Kind = TTreePlaceKind::tpCategory, .ListIndex = 1}));
    ASSERT_EQ(fForm->Model().ListKind(), TListKind::lkCategory);
    fForm->Files()->FocusList();
    EXPECT_TRUE(fForm->ActionStateOf(actProperties).Enabled);
}

}  // namespace
