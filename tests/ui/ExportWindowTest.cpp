// The CSV export command in the window, run as a snapshot run runs it: with
// the setting left when the dialog last closed, over the list shown.

#include <gtest/gtest.h>

#include "browser/ListKind.h"
#include "browser/ui/MainForm.h"
#include "collections/GroupFolder.h"
#include "collections/ItemIdList.h"
#include "collections/Shelf.h"
#include "common/IniFile.h"
#include "export/ExportSettings.h"
#include "platform/FileSystem.h"
#include "support/FakeBook.h"
#include "support/PumpEvents.h"

namespace {

struct TExportCase {
    const char* Name;
    const char* Output;    // relative to the tree; "" for none
    bool SelectedOnly;     // b.txt is selected, and only the selection is written
    std::string Expected;  // the file's bytes; empty when the export fails
};

class ExportWindow : public testing::TestWithParam<TExportCase> {};

TEST_P(ExportWindow, ShelfWritesTheChosenColumns)
{
    TFakeProgram program;
    TTempFolder& tree = program.Tree;
    tree.Write("work/pics/b.txt", "12345");
    tree.Write("work/pics/a.txt", "1");
    {
        TGroupList shelves;
        shelves.Add("棚", 0, "");
        std::vector<TGroupFolder::TNewItem> items;
        for (const char* name : {"work/pics/b.txt", "work/pics/a.txt"})
            items.push_back({tree.File(name), TItemIdList::FromPath(tree.File(name))});
        shelves.Group(0)->AddItems(std::move(items));
        ForceDirectories(tree.File("data/"));
        TShelfStore(tree.File("data/")).Save(shelves);
    }
    std::unique_ptr<TAppCore> core = program.Start({});
    TMainForm form(*core);
    std::vector<std::string> messages;
    form.SetMessageSink([&](const std::string& text, TMessageIcon) { messages.push_back(text); });
    form.show();
    form.Settle(10000);
    ASSERT_TRUE(form.Model().ShowShelf("棚", ""));
    form.Settle(10000);
    ASSERT_EQ(form.Model().ListKind(), TListKind::lkShelf);

    TExportSetting setting = TExportSettingsStore::DefaultSetting();
    setting.Export.Columns = {0, 8, 5, 3};
    std::erase_if(setting.Available, [](int column) { return column == 0 || column == 8 || column == 5 || column == 3; });
    setting.Export.Options.Selected = GetParam().SelectedOnly;
    TExportSettingsStore(tree.File("data/")).Save(std::nullopt, setting);
    if (GetParam().SelectedOnly) {
        ASSERT_TRUE(form.SelectByNames({"b.txt"}).empty());
        form.Settle(10000);
    }
    const std::string output = *GetParam().Output ? tree.File(GetParam().Output) : std::string();
    TIniFile settings(core->ProgramSettingsPath());
    WriteExportState(settings, {"", output});
    settings.UpdateFile();

    const bool written = form.RunAction(TActionId::actExport);
    EXPECT_EQ(written, !GetParam().Expected.empty());
    if (written) {
        EXPECT_EQ(tree.Read(GetParam().Output), GetParam().Expected);
        EXPECT_TRUE(messages.empty());
    } else {
        EXPECT_EQ(messages.size(), 1u);
        EXPECT_FALSE(FileExists(tree.File("none/out.csv")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, ExportWindow,
    testing::Values(
        // The members in the list's order, each named with its shelf.
        TExportCase{"Written", "out.csv", false,
                    "名前,本棚名,サイズ,親フォルダ\r\na.txt,棚,1,pics\r\nb.txt,棚,5,pics\r\n"},
        TExportCase{"SelectionOnly", "out.csv", true, "名前,本棚名,サイズ,親フォルダ\r\nb.txt,棚,5,pics\r\n"},
        TExportCase{"FolderMissing", "none/out.csv", false, ""}, TExportCase{"NoFileChosen", "", false, ""}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
