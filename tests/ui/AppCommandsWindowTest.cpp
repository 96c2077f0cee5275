// Handing files to other programs: the registration dialog's rows and
// fields, the launcher starting a real program detached, and the window's
// application items running a registered program on the selection.

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <QTreeWidget>

#include <sys/stat.h>

#include "app/AppCore.h"
#include "browser/ui/DesktopLauncher.h"
#include "browser/ui/DropWindow.h"
#include "browser/ui/MainForm.h"
#include "browser/ui/RegisterApplicationDialog.h"
#include "platform/FileSystem.h"
#include "support/FakeBook.h"
#include "support/PumpEvents.h"
#include "support/TempFolder.h"

namespace {

// What a started program wrote, once it has written it.
std::string Output(const TTempFolder& tree, const std::string& name)
{
    return FileExists(tree.File(name)) ? tree.Read(name) : std::string();
}

TRegApplication App(std::string path, std::string name)
{
    return {std::move(path), std::move(name), "", TAppWindow::awNormal, false, false};
}

std::string Rows(QTreeWidget& list)
{
    std::string text;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        text += (i ? "|" : "") + (list.topLevelItem(i)->text(0) + list.topLevelItem(i)->text(1)).toStdString();
    return text;
}

TEST(RegisterApplicationDialog, EditsMovesAddsAndDeletesRows)
{
    TRegisterApplicationDialog dialog({App("/usr/bin/a", "A"), App("/usr/bin/b", "B")});
    auto& list = *dialog.findChild<QTreeWidget*>("lvList");
    auto* name = dialog.findChildren<QLineEdit*>().front();
    std::vector<std::string> asked;
    dialog.SetChooser([&](QWidget*, const std::string& start) {
        asked.push_back(start);
        return std::string("/opt/tools/view.sh");
    });

    // Without a selection nothing can be edited or moved.
    EXPECT_EQ(dialog.SelectedRow(), -1);
    EXPECT_TRUE(name->isReadOnly());
    for (QToolButton* move : dialog.findChildren<QToolButton*>())
        EXPECT_FALSE(move->isEnabled());

    dialog.SelectRow(1);
    EXPECT_FALSE(name->isReadOnly());
    EXPECT_EQ(name->text(), "B");
    name->setText("  Bee  ");
    emit name->textEdited(name->text());
    EXPECT_EQ(dialog.Records()[1].DisplayName, "Bee");
    dialog.Move(-1);
    EXPECT_EQ(Rows(list), "1:Bee|2:A");
    EXPECT_EQ(dialog.SelectedRow(), 0);
    EXPECT_EQ(dialog.Records()[0].Path, "/usr/bin/b");

    dialog.SetLastFolder("/opt/");
    dialog.Add();
    EXPECT_EQ(Rows(list), "1:Bee|2:A|3:view");
    EXPECT_EQ(dialog.SelectedRow(), 2);
    EXPECT_EQ(dialog.Records()[2].Path, "/opt/tools/view.sh");
    // Browsing to the same file changes nothing; the next add starts where
    // the last program was found.
    dialog.Browse();
    EXPECT_EQ(dialog.Records()[2].DisplayName, "view");
    EXPECT_EQ(asked, (std::vector<std::string>{"/opt/", "/opt/tools/"}));

    dialog.SelectRow(0);
    dialog.Delete();
    EXPECT_EQ(Rows(list), "1:A|2:view");
    ASSERT_EQ(dialog.Records().size(), 2u);
    EXPECT_EQ(dialog.Records()[0].Path, "/usr/bin/a");

    while (dialog.Records().size() < MaxRegApplications)
        dialog.Add();
    dialog.Add();
    EXPECT_EQ(dialog.Records().size(), static_cast<size_t>(MaxRegApplications));
}

TEST(DesktopLauncher, StartsADesktopEntryDetachedWithTheFiles)
{
    TTempFolder home;
    const std::string script = home.Write("bin/record", "#!/bin/sh\nprintf '%s|' \"$@\" > \"$0.out\"\npwd >> \"$0.out\"\n");
    ASSERT_EQ(::chmod(script.c_str(), 0755), 0);
    const std::string entry =
        home.Write("apps/record.desktop", "[Desktop Entry]\nType=Application\nExec=" + script + " --one %F\n");
    const std::string picture = home.Write("pics/a b.jpg", "x");
    EXPECT_TRUE(IsStartableProgram(script));
    EXPECT_TRUE(IsStartableProgram(entry));
    EXPECT_FALSE(IsStartableProgram(picture));

    TDesktopLauncher launcher(nullptr);
    const std::vector<TLaunchCommand> commands =
        CommandsFor(launcher, entry, "-x", {picture}, TAppWindow::awNormal);
    ASSERT_EQ(commands.size(), 1u);
    ASSERT_TRUE(launcher.Start(commands.front()));
    const std::string expected = "--one|-x|" + picture + "|" + home.File("pics") + "\n";
    EXPECT_TRUE(PumpUntil([&] { return Output(home, "bin/record.out") == expected; }))
        << Output(home, "bin/record.out");
}

TEST(DropWindow, ListsTheFilesAndKeepsItsSizeAboveTheMinimum)
{
    TDropWindow window({"/p/a.jpg", "/p/sub/"}, TDropWindowSettings{false, 400, 250});
    const auto* list = window.findChild<QListWidget*>("lvFiles");
    ASSERT_TRUE(list);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text(), "sub");
    const TDropWindowSettings kept = window.Settings();
    EXPECT_FALSE(kept.Foreground);
    ASSERT_TRUE(kept.Width && kept.Height);
    EXPECT_EQ(*kept.Width, 400);
    EXPECT_EQ(*kept.Height, 250);
    window.resize(10, 10);
    EXPECT_GE(*window.Settings().Width, DropWindowMinWidth);
    EXPECT_GE(*window.Settings().Height, DropWindowMinHeight);
}

// A script that writes its arguments, one a line, beside itself.
std::string RecordingScript(const TTempFolder& tree, const std::string& name)
{
    const std::string script = tree.Write(name, "#!/bin/sh\nfor a; do echo \"$a\"; done > \"$0.out\"\n");
    ::chmod(script.c_str(), 0755);
    return script;
}

TEST(AppCommandsWindow, ApplicationItemsShowTheListsAndRunOnTheSelection)
{
    TFakeProgram program;
    program.WriteBook(3);
    const std::string registered = RecordingScript(program.Tree, "bin/registered");
    const std::string recent = RecordingScript(program.Tree, "bin/recent.sh");
    program.Tree.Write("data/Mireva.ini", "[FILE]\nRegApplication1=" + registered + ",Rec,--first,0,0,0\n" +
                                              "UseApplication1=" + recent + "\n");
    std::unique_ptr<TAppCore> core = program.Start({"book"});
    auto form = std::make_unique<TMainForm>(*core);
    bool settled = false;
    form->SetSettledHandler([&settled] { settled = true; });
    form->show();
    ASSERT_TRUE(PumpUntil([&] { return settled; }));

    const auto item = [&](const char* name) { return form->findChild<QAction*>(name); };
    ASSERT_TRUE(item("actRegApp1") && item("actRegApp2") && item("actUseApp1"));
    EXPECT_TRUE(item("actRegApp1")->isVisible());
    EXPECT_TRUE(item("actRegApp1")->text().startsWith("&1: Rec"));
    EXPECT_FALSE(item("actRegApp2")->isVisible());
    EXPECT_TRUE(item("actUseApp1")->text().startsWith("&2: recent"));

    ASSERT_TRUE(form->SelectByNames({"2.fake", "0.fake"}).empty());
    EXPECT_TRUE(form->RunAction(TActionId::actRegApp1));
    const std::string book = program.Tree.File("work/book/");
    const std::string expected = "--first\n" + book + "0.fake\n" + book + "2.fake\n";
    EXPECT_TRUE(PumpUntil([&] { return Output(program.Tree, "bin/registered.out") == expected; }))
        << Output(program.Tree, "bin/registered.out");
    form.reset();
}

}  // namespace
