// The window's file commands on real files: a selected file deleted to the
// trash after the question, and brought back by undo.

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/AppCore.h"
#include "browser/ui/MainForm.h"
#include "platform/FileSystem.h"
#include "support/FakeBook.h"
#include "support/PumpEvents.h"
#include "support/TempFolder.h"

namespace {

using enum TActionId;

TEST(FileCommandsWindow, DeleteOfTheSelectedFileGoesToTheTrashAndUndoBringsItBack)
{
    TFakeProgram program;
    // The trash of this test alone.
    ::setenv("XDG_DATA_HOME", program.Tree.File("xdg").c_str(), 1);
    program.WriteBook(3);
    std::unique_ptr<TAppCore> core = program.Start({"book"});
    auto form = std::make_unique<TMainForm>(*core);
    std::vector<std::string> messages;
    form->SetMessageSink([&](const std::string& text, TMessageIcon) { messages.push_back(text); });
    bool settled = false;
    form->SetSettledHandler([&settled] { settled = true; });
    form->resize(400, 300);
    form->show();
    ASSERT_TRUE(PumpUntil([&] { return settled; }));
    const std::string file = program.Tree.File("work/book/1.fake");
    auto listed = [&] {
        for (const TBrowserItem& item : form->Model().Items())
            if (item.Path == file)
                return true;
        return false;
    };

    ASSERT_TRUE(form->SelectByNames({"1.fake"}).empty());
    // Nobody to answer in this run: the question is answered no.
    EXPECT_TRUE(form->RunAction(actDelete));
    EXPECT_TRUE(FileExists(file));
    ASSERT_EQ(messages.size(), 1u);

    form->SetAnswerYes(true);
    ASSERT_TRUE(form->SelectByNames({"1.fake"}).empty());
    EXPECT_TRUE(form->RunAction(actDelete));
    EXPECT_FALSE(PathExists(file)) << ::testing::PrintToString(messages);
    EXPECT_TRUE(FileExists(program.Tree.File("xdg/Trash/files/1.fake")));
    EXPECT_FALSE(listed());
    EXPECT_TRUE(form->ActionStateOf(actUndo).Enabled);

    EXPECT_TRUE(form->RunAction(actUndo));
    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(listed());
    EXPECT_FALSE(PathExists(program.Tree.File("xdg/Trash/info/1.fake.trashinfo")));
    EXPECT_FALSE(form->ActionStateOf(actUndo).Enabled);
    form.reset();
    ::unsetenv("XDG_DATA_HOME");
}

}  // namespace
