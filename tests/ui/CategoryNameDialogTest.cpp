// The name settings of a category: the levels follow the rules through every
// edit of the rule list, and the level buttons move parts between the lists
// as the export's column lists move columns.

#include <gtest/gtest.h>

#include <QListWidget>

#include "browser/ui/CategoryNameDialog.h"
#include "export/ui/NameDivideDialog.h"

namespace {

TNameDivideInfo Rule(const char* name)
{
    return {0, name, dkBefore, {"-"}, {}, false, true};
}

std::vector<std::string> Texts(const TCategoryNameDialog& dialog, const char* list)
{
    std::vector<std::string> texts;
    const auto* widget = dialog.findChild<QListWidget*>(list);
    for (int i = 0; i < widget->count(); ++i)
        texts.push_back(widget->item(i)->text().toStdString());
    return texts;
}

TEST(CategoryNameDialog, LevelsFollowTheRuleListEdits)
{
    TCategoryNameDialog dialog({Rule("作者"), Rule("題名"), Rule("巻")}, {2, 0}, nullptr);
    EXPECT_EQ(Texts(dialog, "lbSrc"), std::vector<std::string>{"題名"});
    EXPECT_EQ(Texts(dialog, "lbDst"), (std::vector<std::string>{"巻", "作者", ""}));

    TNameDivideRuleList& rules = *dialog.RuleList();
    rules.EditRule = [](const TNameDivideInfo* old) -> std::optional<TNameDivideInfo> {
        return Rule(old ? "著者" : "版");
    };
    rules.Select(0);
    rules.Change();
    rules.Add();
    EXPECT_EQ(Texts(dialog, "lbSrc"), (std::vector<std::string>{"題名", "版"}));
    EXPECT_EQ(Texts(dialog, "lbDst"), (std::vector<std::string>{"巻", "著者", ""}));

    rules.Select(2);
    rules.Delete();  // "巻": its level goes
    EXPECT_EQ(dialog.Parts().Order(), std::vector<int32_t>{0});
    EXPECT_EQ(Texts(dialog, "lbDst"), (std::vector<std::string>{"著者", ""}));

    // A cancelled rule dialog changes nothing.
    rules.EditRule = [](const TNameDivideInfo*) { return std::optional<TNameDivideInfo>(); };
    rules.Add();
    EXPECT_EQ(dialog.Parts().Rules().size(), 3u);
}

TEST(CategoryNameDialog, LevelButtonsUseTheSelectedEntries)
{
    TCategoryNameDialog dialog({Rule("a"), Rule("b"), Rule("c")}, {}, nullptr);
    auto* unused = dialog.findChild<QListWidget*>("lbSrc");
    auto* levels = dialog.findChild<QListWidget*>("lbDst");
    unused->setCurrentRow(2);
    dialog.Use();  // "c" onto the empty entry: appended
    unused->setCurrentRow(0);
    levels->setCurrentRow(0);
    dialog.Use();  // "a" before "c"; the selection stays on "c"
    EXPECT_EQ(Texts(dialog, "lbDst"), (std::vector<std::string>{"a", "c", ""}));
    EXPECT_EQ(levels->currentRow(), 1);
    dialog.MoveLevel(-1);
    EXPECT_EQ(dialog.Parts().Order(), (std::vector<int32_t>{2, 0}));
    levels->setCurrentRow(1);
    dialog.Unuse();  // "a" goes back before "b"
    EXPECT_EQ(Texts(dialog, "lbSrc"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(unused->currentRow(), 0);
    EXPECT_EQ(levels->currentRow(), 0);
    levels->setCurrentRow(1);
    dialog.Unuse();  // the empty entry is no part
    EXPECT_EQ(dialog.Parts().Order(), std::vector<int32_t>{2});
}

}  // namespace
