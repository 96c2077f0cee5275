#include <gtest/gtest.h>

#include "browser/ActionRules.h"

namespace {

using enum TActionId;
using enum TCommandTarget;

// Each row starts from an empty context (nothing focused, nothing listed)
// and sets what its case needs.
struct TRuleCase {
    const char* Name;
    TActionId Action;
    void (*Setup)(TActionContext&);
    TActionState Expected;
};

constexpr TActionState Enabled{true, true};
constexpr TActionState Greyed{false, true};
constexpr TActionState Hidden{false, false};

void FolderList(TActionContext& c)
{
    c.Target = ctFileList;
    c.ListKind = TListKind::lkFolder;
    c.PlaceOnDisk = true;
}

class RuleTest : public ::testing::TestWithParam<TRuleCase> {};

TEST_P(RuleTest, GivesTheState)
{
    const TRuleCase& row = GetParam();
    TActionContext context;
    row.Setup(context);
    EXPECT_EQ(RuleState(row.Action, context), row.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RuleTest,
    ::testing::Values(
        // Delete hides while the focused pane holds nothing deletable.
        TRuleCase{"DeleteHiddenOverUndeletable", actDelete,
                  [](TActionContext& c) { FolderList(c); c.Selection.Count = 2; }, Hidden},
        TRuleCase{"DeleteHiddenWithoutSelection", actDelete,
                  [](TActionContext& c) { FolderList(c); c.Selection.Deletable = true; }, Hidden},
        TRuleCase{"DeleteShownOverDeletable", actDelete,
                  [](TActionContext& c) { FolderList(c); c.Selection = {.Count = 1, .Deletable = true}; }, Enabled},
        TRuleCase{"DeleteAShelfOfTheList", actDelete,
                  [](TActionContext& c) {
                      c.Target = ctFileList;
                      c.ListKind = TListKind::lkShelves;
                      c.Selection.Count = 1;
                  },
                  Enabled},
        TRuleCase{"DeleteHiddenInTheArchiveList", actDelete,
                  [](TActionContext& c) { c.Target = ctArchiveList; c.ArchiveSelection = 1; }, Hidden},
        TRuleCase{"DeleteTheShownFileOfAFolder", actDelete,
                  [](TActionContext& c) { c.Target = ctImage; c.ImageShown = true; }, Enabled},
        TRuleCase{"DeleteHiddenOverAPictureOfAnArchive", actDelete,
                  [](TActionContext& c) { c.Target = ctImage; c.ImageShown = c.ArchiveShown = true; }, Hidden},
        TRuleCase{"DeleteAShelfNode", actDelete, [](TActionContext& c) { c.Target = ctTree; c.Node.Shelf = true; },
                  Enabled},
        // The grid's spacing steps within 5 ... 100.
        TRuleCase{"GridShrinkAt5", actGridShrink,
                  [](TActionContext& c) { c.GridShown = true; c.GridInterval = 5; }, Greyed},
        TRuleCase{"GridShrinkAt6", actGridShrink,
                  [](TActionContext& c) { c.GridShown = true; c.GridInterval = 6; }, Enabled},
        TRuleCase{"GridEnlargeAt100", actGridEnlarge,
                  [](TActionContext& c) { c.GridShown = true; c.GridInterval = 100; }, Greyed},
        TRuleCase{"GridEnlargeAt99", actGridEnlarge,
                  [](TActionContext& c) { c.GridShown = true; c.GridInterval = 99; }, Enabled},
        TRuleCase{"GridHidden", actGridEnlarge, [](TActionContext& c) { c.GridInterval = 20; }, Greyed},
        TRuleCase{"LoupeSizeAt1000", actLoupeSizeEnlarge,
                  [](TActionContext& c) { c.LoupeShown = true; c.LoupeSize = 1000; }, Greyed},
        TRuleCase{"LoupeSizeAt50", actLoupeSizeShrink,
                  [](TActionContext& c) { c.LoupeShown = true; c.LoupeSize = 50; }, Greyed},
        TRuleCase{"LoupeScaleAt8", actLoupeRatioEnlarge,
                  [](TActionContext& c) { c.LoupeShown = true; c.LoupeScale = 8; }, Greyed},
        TRuleCase{"LoupeScaleAt0", actLoupeRatioShrink,
                  [](TActionContext& c) { c.LoupeShown = true; c.LoupeScale = 0; }, Greyed},
        TRuleCase{"LoupeScaleAt1", actLoupeRatioShrink,
                  [](TActionContext& c) { c.LoupeShown = true; c.LoupeScale = 1; }, Enabled},
        // Full screen disables the separate image window.
        TRuleCase{"ViewFormInFullScreen", actViewForm, [](TActionContext& c) { c.FullScreen = true; }, Greyed},
        TRuleCase{"ViewFormInNormalView", actViewForm, [](TActionContext&) {}, Enabled},
        // Opening in full screen: something openable in the target pane.
        TRuleCase{"FullScreenOpenOfAFile", actF_Open,
                  [](TActionContext& c) { FolderList(c); c.Selection.Count = 1; }, Enabled},
        TRuleCase{"FullScreenOpenInTheShelfList", actF_Open,
                  [](TActionContext& c) {
                      c.Target = ctFileList;
                      c.ListKind = TListKind::lkShelves;
                      c.Selection.Count = 1;
                  },
                  Hidden},
        TRuleCase{"FullScreenOpenWhileInFullScreen", actF_Open,
                  [](TActionContext& c) { c.Target = ctImage; c.ImageShown = c.FullScreen = true; }, Hidden},
        TRuleCase{"SlideShowOpenWhileInFullScreen", actS_Open,
                  [](TActionContext& c) { c.Target = ctImage; c.ImageShown = c.FullScreen = true; }, Enabled},
        TRuleCase{"SlideShowOpenDuringASlideShow", actS_Open,
                  [](TActionContext& c) { c.Target = ctImage; c.ImageShown = c.SlideShow = true; }, Greyed},
        TRuleCase{"ExplorerOnAnArchiveNode", actExplorer,
                  [](TActionContext& c) { c.Target = ctTree; c.Node.Folder = c.Node.Archive = true; }, Hidden},
        TRuleCase{"ExecuteAnArchiveFolder", actExecute,
                  [](TActionContext& c) { c.Target = ctArchiveList; c.ArchiveSelection = 1; }, Greyed},
        // Numbered items exist only with their application or filter set.
        TRuleCase{"RegisteredApplication", actRegApp3, [](TActionContext& c) { c.RegisteredApps.set(2); }, Enabled},
        TRuleCase{"UnregisteredApplication", actRegApp3, [](TActionContext& c) { c.RegisteredApps.set(1); }, Hidden},
        TRuleCase{"SecondUsedApplication", actUseApp2, [](TActionContext& c) { c.UsedApps = 2; }, Enabled},
        TRuleCase{"ThirdUsedApplicationOfTwo", actUseApp3, [](TActionContext& c) { c.UsedApps = 2; }, Hidden},
        TRuleCase{"ThirdFilterSetOfThree", actFilter3, [](TActionContext& c) { c.FilterSets = 3; }, Enabled},
        TRuleCase{"FourthFilterSetOfThree", actFilter4, [](TActionContext& c) { c.FilterSets = 3; }, Hidden},
        TRuleCase{"EqualHeightOnOnePage", actEqualHeight, [](TActionContext& c) { c.SinglePage = true; }, Greyed},
        TRuleCase{"CloseWithoutAPicture", actClose, [](TActionContext&) {}, Greyed},
        TRuleCase{"OpenWhileAnotherWindowIsActive", actOpen,
                  [](TActionContext& c) { c.MainWindowActive = false; }, Greyed},
        // A list of collections has no files to select.
        TRuleCase{"FileSelectInTheCategoryList", actFileSelect,
                  [](TActionContext& c) { c.ListKind = TListKind::lkCategories; }, Greyed},
        TRuleCase{"FileSelectInAFolder", actFileSelect, [](TActionContext& c) { FolderList(c); }, Enabled},
        TRuleCase{"SelectAllWithoutFileView", actAllSelect, [](TActionContext& c) { c.FileViewShown = false; },
                  Greyed},
        // Paste goes into the selected folder, else the listed one.
        TRuleCase{"PasteIntoAFolderGone", actPaste,
                  [](TActionContext& c) {
                      FolderList(c);
                      c.ClipboardHasFiles = true;
                      c.Selection = {.Count = 1, .Folder = true, .OnDisk = false};
                  },
                  Greyed},
        TRuleCase{"PasteIntoTheListedFolder", actPaste,
                  [](TActionContext& c) { FolderList(c); c.ClipboardHasFiles = true; }, Enabled},
        TRuleCase{"PasteIntoAnArchive", actPaste,
                  [](TActionContext& c) { FolderList(c); c.ClipboardHasFiles = c.ArchiveShown = true; }, Greyed},
        TRuleCase{"PasteWithoutFiles", actPaste, [](TActionContext& c) { FolderList(c); }, Greyed},
        // Up: always out of an archive, never above the lists.
        TRuleCase{"UpInAnArchive", actUp, [](TActionContext& c) { c.ArchiveShown = true; }, Enabled},
        TRuleCase{"UpAtTheRoot", actUp, [](TActionContext& c) { FolderList(c); }, Greyed},
        TRuleCase{"UpInTheShelfList", actUp, [](TActionContext& c) { c.ListKind = TListKind::lkShelves; }, Greyed},
        TRuleCase{"UpFromSearchResults", actUp, [](TActionContext& c) { c.ListKind = TListKind::lkSearch; },
                  Enabled},
        TRuleCase{"NextFolderAtTheLastArchive", actNextFolder,
                  [](TActionContext& c) { c.ArchiveShown = c.HasSubFolders = true; }, Greyed},
        TRuleCase{"NextFolderIntoASubFolder", actNextFolder,
                  [](TActionContext& c) { FolderList(c); c.HasSubFolders = true; }, Enabled},
        TRuleCase{"NextFolderAtTheLastNode", actNextFolder, [](TActionContext& c) { FolderList(c); }, Greyed},
        TRuleCase{"NextFolderWithoutTree", actNextFolder,
                  [](TActionContext& c) { FolderList(c); c.TreeShown = false; }, Enabled},
        TRuleCase{"PriorFolderAtTheTop", actPriorFolder,
                  [](TActionContext& c) { c.Node.Exists = c.Node.TopLevel = true; }, Greyed},
        TRuleCase{"PriorFolderBelowTheTop", actPriorFolder, [](TActionContext& c) { c.Node.Exists = true; },
                  Enabled},
        TRuleCase{"FileViewPositionWithASeparateWindow", actFileView,
                  [](TActionContext& c) { c.SeparateWindow = true; }, Greyed},
        TRuleCase{"PropertiesOfATreeNode", actProperties,
                  [](TActionContext& c) { c.Target = ctTree; c.Node.Exists = c.Node.FileSystem = true; }, Greyed},
        TRuleCase{"ParentDeleteOfAnArchiveInACatalogue", actParentDelete,
                  [](TActionContext& c) { c.Target = ctArchiveList; c.ArchiveShown = c.InMediaCatalogue = true; },
                  Hidden},
        TRuleCase{"SaveThumbnailsInACatalogue", actSaveThumbs,
                  [](TActionContext& c) { c.ListKind = TListKind::lkMediumFolder; c.ThumbnailView = true; },
                  Greyed},
        TRuleCase{"ShelfExportWithoutSelectionInAShelf", actExportShelf,
                  [](TActionContext& c) { c.Target = ctFileList; c.ListKind = TListKind::lkShelf; }, Enabled}),
    [](const auto& info) { return std::string(info.param.Name); });

// An action built for some of its targets: the window enables it there alone,
// though its rule would enable it elsewhere too.
class PartBuiltTest : public ::testing::TestWithParam<TRuleCase> {};

TEST_P(PartBuiltTest, EnablesTheBuiltTargetsAlone)
{
    const TRuleCase& row = GetParam();
    TActionContext context;
    row.Setup(context);
    EXPECT_EQ(ActionState(row.Action, context), row.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Properties, PartBuiltTest,
    ::testing::Values(
        TRuleCase{"ASelectedCategory", actProperties,
                  [](TActionContext& c) {
                      c.Target = ctFileList;
                      c.ListKind = TListKind::lkCategories;
                      c.Selection.Count = 1;
                  },
                  Enabled},
        TRuleCase{"NoCategorySelected", actProperties,
                  [](TActionContext& c) { c.Target = ctFileList; c.ListKind = TListKind::lkCategories; }, Greyed},
        TRuleCase{"TheCategoryListed", actProperties,
                  [](TActionContext& c) { c.Target = ctFileList; c.ListKind = TListKind::lkCategory; }, Enabled},
        // A file of the category has the system's sheet, which comes later.
        TRuleCase{"AFileOfTheCategory", actProperties,
                  [](TActionContext& c) {
                      c.Target = ctFileList;
                      c.ListKind = TListKind::lkCategory;
                      c.Selection = {.Count = 1, .HasProperties = true};
                  },
                  Greyed},
        TRuleCase{"ACategoryNode", actProperties,
                  [](TActionContext& c) { c.Target = ctTree; c.Node.Exists = c.Node.Collection = c.Node.Category = true; },
                  Enabled},
        TRuleCase{"AShelfNode", actProperties,
                  [](TActionContext& c) { c.Target = ctTree; c.Node.Exists = c.Node.Collection = c.Node.Shelf = true; },
                  Enabled},
        TRuleCase{"ASelectedShelf", actProperties,
                  [](TActionContext& c) {
                      c.Target = ctFileList;
                      c.ListKind = TListKind::lkShelves;
                      c.Selection.Count = 1;
                  },
                  Enabled},
        TRuleCase{"TheMediumListed", actProperties,
                  [](TActionContext& c) { c.Target = ctFileList; c.ListKind = TListKind::lkMedium; }, Enabled},
        TRuleCase{"AFolderOfTheMedium", actProperties,
                  [](TActionContext& c) {
                      c.Target = ctFileList;
                      c.ListKind = TListKind::lkMedium;
                      c.Selection = {.Count = 1, .HasProperties = true};
                  },
                  Greyed}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ActionState, ActionsThatComeLaterStayDisabledAndShown)
{
    TActionContext context;
    FolderList(context);
    context.Selection = {.Count = 1};
    ASSERT_TRUE(RuleState(actFileMask, context).Enabled);
    EXPECT_EQ(ActionState(actFileMask, context), Greyed);
    // The open commands and the file commands follow their rules now.
    EXPECT_EQ(ActionState(actF_Open, context), Enabled);
    context.Selection.Count = 0;
    EXPECT_EQ(ActionState(actF_Open, context), Hidden);
    context.Selection = {.Count = 1, .Deletable = true};
    EXPECT_EQ(ActionState(actDelete, context), Enabled);
    // What the program does now follows its rule.
    EXPECT_EQ(ActionState(actClose, context), Greyed);
    context.ImageShown = true;
    EXPECT_EQ(ActionState(actClose, context), Enabled);
}

}  // namespace
