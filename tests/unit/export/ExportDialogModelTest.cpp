#include <gtest/gtest.h>

#include "export/ExportDialogModel.h"
#include "support/TempFolder.h"

namespace {

TNameDivideInfo Rule(const std::string& name)
{
    TNameDivideInfo rule;
    rule.Name = name;
    rule.FirstDelimiters = {"-"};
    return rule;
}

// A model over an empty data folder with rules A, B, C and names divided.
struct TModelOnDisk {
    TTempFolder Temp;
    TExportSettingsStore Store{Temp.Path()};
    TExportDialogModel Model{Store, {}};
    int Changes = 0;
    TModelOnDisk()
    {
        for (const char* name : {"A", "B", "C"})
            Model.AddRule(Rule(name));
        Model.SetNameDivide(true);
        Model.OnChanged = [this] { ++Changes; };
    }
    // Moves the available columns listed to the output, in that order.
    void Output(const std::vector<int>& columns)
    {
        for (const int column : columns) {
            const auto& available = Model.Available();
            Model.SelectAvailable(static_cast<int>(std::find(available.begin(), available.end(), column) -
                                                   available.begin()));
            Model.SelectOutput(static_cast<int>(Model.Output().size()));
            Model.AddColumn();
        }
    }
};

struct THomeCase {
    const char* Name;
    std::vector<int> Out;  // moved to the output first
    int Removed;           // then taken back
    std::vector<int> Available;
};

class ExportDialogModelHome : public testing::TestWithParam<THomeCase> {};

// A column taken back from the output returns to its place: the fixed
// columns in number order with the name parts passed over, "名前" at the
// top, a name part after "名前" and before later rules' parts.
TEST_P(ExportDialogModelHome, RemovedColumnsGoHome)
{
    TModelOnDisk disk;
    disk.Output(GetParam().Out);
    const auto& out = disk.Model.Output();
    disk.Model.SelectOutput(static_cast<int>(std::find(out.begin(), out.end(), GetParam().Removed) - out.begin()));
    disk.Model.RemoveColumn();
    std::vector<int> head(disk.Model.Available().begin(),
                          disk.Model.Available().begin() +
                              std::min<size_t>(GetParam().Available.size(), disk.Model.Available().size()));
    EXPECT_EQ(head, GetParam().Available);
    EXPECT_EQ(disk.Model.Available()[static_cast<size_t>(disk.Model.AvailableSelected())], GetParam().Removed);
}

INSTANTIATE_TEST_SUITE_P(Columns, ExportDialogModelHome,
                         testing::Values(
                             // Rules' parts stand after "名前": 0, 17, 18, 19, 1, 2 ...
                             THomeCase{"SizeBetweenTypeAndCreated", {5}, 5, {0, 17, 18, 19, 1, 2, 3, 4, 5, 6}},
                             THomeCase{"NameAtTheTop", {0, 17}, 0, {0, 18, 19, 1}},
                             THomeCase{"PartBeforeLaterParts", {0, 18}, 18, {17, 18, 19, 1}},
                             THomeCase{"PartAfterNameBeforeFixed", {17, 18, 19}, 18, {0, 18, 1}},
                             THomeCase{"LastFixedAtTheEnd", {16}, 16, {0, 17, 18, 19, 1}}),
                         [](const auto& info) { return std::string(info.param.Name); });

// The name-part columns follow their rules: renumbered after a deletion,
// exchanged with the passed rule's column when they stood side by side.
TEST(ExportDialogModel, NamePartColumnsFollowTheirRules)
{
    TModelOnDisk disk;
    TExportDialogModel& m = disk.Model;
    EXPECT_EQ(std::vector<int>(m.Available().begin(), m.Available().begin() + 5), (std::vector<int>{0, 17, 18, 19, 1}));
    disk.Output({18});
    // B moves above A; in the available list A's column (17) has no
    // neighbour that moved, so only the numbers follow.
    m.MoveRule(1, -1);
    EXPECT_EQ(m.Rules()[0].Name, "B");
    EXPECT_EQ(m.Output(), std::vector<int>{17});
    EXPECT_EQ(m.Caption(17), "B");
    // C moves above A: their columns stood side by side, so they change
    // places too and the available list stays in rule order.
    m.MoveRule(2, -1);
    EXPECT_EQ(m.Rules()[1].Name, "C");
    EXPECT_EQ(std::vector<int>(m.Available().begin(), m.Available().begin() + 3), (std::vector<int>{0, 18, 19}));
    EXPECT_EQ(m.Caption(18), "C");
    // Deleting B (rule 0) takes its output column and renumbers the others.
    m.DeleteRule(0);
    EXPECT_TRUE(m.Output().empty());
    EXPECT_EQ(std::vector<int>(m.Available().begin(), m.Available().begin() + 3), (std::vector<int>{0, 17, 18}));
    EXPECT_EQ(m.Caption(17), "C");
    // Turning division off empties both lists of name parts.
    disk.Output({18});
    m.SetNameDivide(false);
    EXPECT_TRUE(m.Output().empty());
    EXPECT_EQ(m.Available().size(), 17u);
    EXPECT_EQ(disk.Changes, 6);
}

// The output selection stays on its entry while columns are added, and after
// taking the last real column back moves to the one before it.
TEST(ExportDialogModel, OutputSelectionFollowsEdits)
{
    TModelOnDisk disk;
    TExportDialogModel& m = disk.Model;
    disk.Output({0, 5, 7});
    m.SelectOutput(1);
    EXPECT_TRUE(m.CanMoveUp() && m.CanMoveDown());
    m.MoveColumn(1);
    EXPECT_EQ(m.Output(), (std::vector<int>{0, 7, 5}));
    EXPECT_EQ(m.OutputSelected(), 2);
    EXPECT_FALSE(m.CanMoveDown());
    m.RemoveColumn();
    EXPECT_EQ(m.OutputSelected(), 1);
    m.SelectOutput(2);  // the empty entry
    EXPECT_FALSE(m.CanRemove());
    EXPECT_EQ(WithDefaultExtension("/t/out", 1), "/t/out.csv");
    EXPECT_EQ(WithDefaultExtension("/t/out", 2), "/t/out.txt");
    EXPECT_EQ(WithDefaultExtension("/t.d/out.tsv", 2), "/t.d/out.tsv");
    EXPECT_EQ(WithDefaultExtension("/t/.hidden", 3), "/t/.hidden.csv");
}

}  // namespace
