// The filter dialogs on the offscreen platform: every page of the parameter
// dialog opens and hands back the item it was given, and Cancel after a
// preview leaves the sets in use as they were.

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

#include "imaging/ui/FilterSelectDialog.h"
#include "imaging/ui/FilterSetDialog.h"

namespace {

class ParameterPageTest : public testing::TestWithParam<int> {};

TEST_P(ParameterPageTest, OpensItsPageAndKeepsTheItem)
{
    TFilterItem item = TFilterItem::Default(static_cast<FilterKind>(GetParam()));
    // Brightness is always stored per channel by the dialog.
    if (item.Kind == FilterKind::Brightness)
        item.Parameter = TCorrectionParameter{100, true};
    TFilterSetDialog dialog(item, {});
    dialog.show();
    ASSERT_NE(dialog.Page(), nullptr);
    EXPECT_TRUE(dialog.Page()->isVisible());
    EXPECT_TRUE(dialog.windowTitle().endsWith(QString::fromStdString(std::string(FilterKindText(item.Kind)))));
    EXPECT_EQ(dialog.Item(), item);
    // Invert is the only page without a control.
    EXPECT_EQ(dialog.Page()->findChildren<QWidget*>().isEmpty(), item.Kind == FilterKind::Invert);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ParameterPageTest, testing::Range(0, FilterKindCount));

TEST(FilterSelectDialog, CancelAfterPreviewLeavesTheSetsAsTheyWere)
{
    TFilterSets sets;
    sets.Sets.push_back(TFilterSet{"one", {TFilterItem::Default(FilterKind::Grayscale)}});
    sets.Selected = 0;
    const TFilterSets before = sets;
    std::vector<TFilterList> previews;
    TFilterSelectHooks hooks;
    hooks.Preview = [&](const TFilterList& items) { previews.push_back(items); };
    hooks.EditItem = [](TFilterItem& item, const TFilterDialogHooks& itemHooks) {
        item.Parameter = int32_t{2};
        // The parameter dialog previews its values while a preview runs.
        if (itemHooks.Preview)
            itemHooks.Preview(item);
        return true;
    };
    {
        TFilterSelectDialog dialog(sets, hooks);
        dialog.FilterList()->setCurrentRow(static_cast<int>(FilterKind::Posterize));
        dialog.Preview();
        dialog.AddItem();
        dialog.Editor().SelectLine(1);
        dialog.EditItem();
        dialog.Editor().Rename("two");
        dialog.Editor().AddSet();
        dialog.reject();
        EXPECT_TRUE(dialog.Previewed());
        EXPECT_EQ(dialog.Result().Sets.size(), 2u);
    }
    EXPECT_EQ(sets, before);
    ASSERT_GE(previews.size(), 3u);
    // The edited posterize item was shown before the grayscale one.
    EXPECT_EQ(previews[1].front().Kind, FilterKind::Posterize);
    EXPECT_EQ(previews[1].front().Value(), 2);
}

TEST(FilterSelectDialog, InvertIsAddedWithoutItsDialogAndCannotBeSet)
{
    TFilterSets sets;
    sets.Sets.push_back(TFilterSet{"one", {}});
    int opened = 0;
    TFilterSelectHooks hooks;
    hooks.EditItem = [&](TFilterItem&, const TFilterDialogHooks&) { return ++opened, true; };
    TFilterSelectDialog dialog(sets, hooks);
    dialog.FilterList()->setCurrentRow(static_cast<int>(FilterKind::Invert));
    dialog.AddItem();
    EXPECT_EQ(opened, 0);
    ASSERT_EQ(dialog.Result().Sets[0].Items.size(), 1u);
    EXPECT_EQ(dialog.UseList()->count(), 2);  // the item and the end line
    dialog.UseList()->setCurrentRow(0);
    EXPECT_FALSE(dialog.Editor().CanEditItem());
}

}  // namespace
