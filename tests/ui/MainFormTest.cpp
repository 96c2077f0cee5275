#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QDialog>
#include <QCoreApplication>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QTreeView>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QRadioButton>
#include <QSpinBox>
#include <QSlider>
#include <QSplitter>
#include <QToolButton>
#include <QUrl>
#include <QWheelEvent>
#include <chrono>
#include <functional>
#include <thread>

#include "app/AppCore.h"
#include "browser/Marker.h"
#include "browser/ui/FilePane.h"
#include "collections/MediaFiles.h"
#include "collections/ui/MediumPropertyDialog.h"
#include "browser/ui/KeyCustomizeDialog.h"
#include "browser/ui/MainForm.h"
#include "browser/ui/SearchPane.h"
#include "browser/ui/SearchProgressWindow.h"
#include "collections/ui/SearchFrame.h"
#include "browser/ui/StatusBarPane.h"
#include "browser/ui/TreePane.h"
#include "base/PathUtils.h"
#include "common/IniFile.h"
#include "loading/SPIs.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/SingleInstance.h"
#include "platform/qt/InstanceListener.h"
#include "support/FakeBook.h"
#include "support/PumpEvents.h"
#include "support/TempFolder.h"
#include "shellviews/ui/ArchiveListView.h"
#include "shellviews/ui/FileListView.h"
#include "shellviews/ui/FolderTreeView.h"
#include "viewer/ui/ImageViewFrame.h"

namespace {

using enum TActionId;

// Page i's colour as the window paints it.
QColor PageColourOf(int i)
{
    const TFakeColour c = PageColour(i);
    return QColor(c.Red, c.Green, c.Blue);
}

// Fills each scaled pixel from its display coordinates and counts what it
// scaled, so a page stitched from moved pixels and new strips can be told
// from one scaled whole.
class TCountingScaler : public TPageScaler {
public:
    void Scale(const TBitmap&, bool, TBitmap& destination, int, int, int x, int y, const TRect& region) override
    {
        ++Regions;
        Pixels += static_cast<int64_t>(region.Width()) * region.Height();
        const int bpp = destination.BytesPerPixel();
        for (int row = 0; row < region.Height(); ++row)
            for (int col = 0; col < region.Width(); ++col) {
                uint8_t* p = destination.ScanLine(y + row) + static_cast<size_t>(x + col) * bpp;
                for (int b = 0; b < bpp; ++b)
                    p[b] = static_cast<uint8_t>((region.Left + col) * (b + 1) + (region.Top + row) * (3 - b));
            }
    }
    int Regions = 0;
    int64_t Pixels = 0;
};

// A started viewer over a temporary tree: the core with the chosen loaders
// and the window, shown and settled.
class MainFormTest : public ::testing::Test {
protected:
    void Start(const std::vector<std::string>& args, TLoaders loaders = TLoaders::ldFake,
               TPageScaler* scaler = nullptr)
    {
        fCore = fProgram.Start(args, loaders);
        fForm = std::make_unique<TMainForm>(*fCore, scaler);
        fForm->SetMessageSink([this](const std::string& text, TMessageIcon) {
            fMessages.push_back(text);
            fLabelsAtMessages.push_back(fForm->View()->PageText().toStdString());
        });
        bool settled = false;
        fForm->SetSettledHandler([&settled] { settled = true; });
        fForm->resize(400, 300);
        fForm->show();
        ASSERT_TRUE(PumpUntil([&] { return settled; }));
        fForm->Settle(10000);
    }

    // A book of count pages of 20 x 30 (portrait, shown at 100 %: fitting
    // never enlarges) in work/book.
    void WriteBook(int count) { fProgram.WriteBook(count); }

    void TearDown() override
    {
        fForm.reset();
        fCore.reset();
    }

    // A page step gathering its pictures completes through the event loop:
    // what the window shows is looked at once it has.
    void AwaitSteps() const
    {
        // A key reaches the view through the event queue first.
        QCoreApplication::processEvents();
        EXPECT_TRUE(PumpUntil([this] { return !fForm->Model().Viewer().StepPending(); }));
    }
    std::string Shown() const
    {
        AwaitSteps();
        return ExtractFileName(fForm->Model().ShownFile());
    }
    std::string Label() const
    {
        AwaitSteps();
        return fForm->Model().PageLabel();
    }
    std::string Title() const
    {
        AwaitSteps();
        return fForm->windowTitle().toStdString();
    }
    const TPageLayout& Layout() const
    {
        AwaitSteps();
        return fForm->Model().Viewer().Layout();
    }
    QWidget* Area() const { return fForm->View()->Area(); }

    QImage Painted() const
    {
        AwaitSteps();
        return Area()->grab().toImage();
    }
    // The colour painted at the centre of a page (or of the area when the
    // page is not shown).
    QColor PageCentre(int page) const
    {
        const QImage shot = Painted();
        const TRect rect = Layout().PageRect(page);
        if (rect.IsEmpty())
            return shot.pixelColor(shot.width() / 2, shot.height() / 2);
        return shot.pixelColor((rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2);
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(Area(), &press);
        AwaitSteps();
    }

    TFakeProgram fProgram;
    TTempFolder& fTree = fProgram.Tree;
    std::unique_ptr<TAppCore> fCore;
    std::unique_ptr<TMainForm> fForm;
    std::vector<std::string> fMessages;
    // The page label the window showed when each message came.
    std::vector<std::string> fLabelsAtMessages;
};

}  // namespace

// The window opens where it was left, in 96-dpi units from the work area,
// with the tree pane as wide as it was, and writes both back when it closes.
TEST_F(MainFormTest, TakesItsKeptRectangleAndTreeWidthAndWritesThemAtClose)
{
    WriteBook(3);
    fTree.Write("data/Mireva.ini", "[STATE]\nLeft=10\nTop=20\nWidth=700\nHeight=500\nFolderSplitter=150\n");
    fCore = fProgram.Start({"book"}, TLoaders::ldFake);
    fForm = std::make_unique<TMainForm>(*fCore);
    const TScreenInfo screens = fForm->ScreenInfo();
    const double scale = screens.Scale;
    EXPECT_EQ(fForm->geometry(), QRect(screens.WorkArea.Left + ToPixels(10, scale), screens.WorkArea.Top + ToPixels(20, scale),
                                       ToPixels(700, scale), ToPixels(500, scale)));
    bool settled = false;
    fForm->SetSettledHandler([&settled] { settled = true; });
    fForm->show();
    ASSERT_TRUE(PumpUntil([&] { return settled; }));
    const QSplitter* tree = fForm->findChild<QSplitter*>("splTree");
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->sizes().front(), ToPixels(150, scale));
    fForm->resize(ToPixels(640, scale), ToPixels(480, scale));
    // A column the user widens keeps its width.
    fForm->Files()->FileView()->header()->resizeSection(0, 123);
    fForm->close();
    const TIniFile ini(fTree.File("data/Mireva.ini"));
    EXPECT_EQ(ini.ReadInteger("STATE", "Width", 0), 640);
    EXPECT_EQ(ini.ReadInteger("STATE", "Height", 0), 480);
    EXPECT_EQ(ini.ReadInteger("STATE", "FolderSplitter", 0), 150);
    EXPECT_EQ(ini.ReadString("STATE", "Dir", ""), fTree.File("work/book/"));
    EXPECT_TRUE(ini.ReadString("STATE", "ShellHeader", "").starts_with("123,")) << ini.ReadString("STATE", "ShellHeader", "");
}

TEST_F(MainFormTest, FolderOpensItsFirstPagesAsASpreadInNameOrder)
{
    fTree.Write("work/book/b.fake", FakePage(1));
    fTree.Write("work/book/A.fake", FakePage(0));
    fTree.Write("work/book/c10.fake", FakePage(3));
    fTree.Write("work/book/c9.fake", FakePage(2));
    fTree.Write("work/book/0.txt", "not a picture");
    Start({"book"});
    EXPECT_EQ(fForm->Model().Images(), (std::vector<std::string>{fTree.File("work/book/A.fake"), fTree.File("work/book/b.fake"),
                                                         fTree.File("work/book/c9.fake"),
                                                         fTree.File("work/book/c10.fake")}));
    EXPECT_EQ(Shown(), "A.fake");
    EXPECT_TRUE(Layout().SpreadActive());
    // Right-bound: the first page on the right, the caption in screen order.
    EXPECT_EQ(Title(), "Mireva - b.fake (20 x 30 x 24bit) [100%]   <<   A.fake (20 x 30 x 24bit) [100%]");
    EXPECT_EQ(Label(), "2・1 / 4");
    EXPECT_EQ(PageCentre(0), PageColourOf(0));
    EXPECT_EQ(PageCentre(1), PageColourOf(1));
    EXPECT_LT(Layout().PageRect(1).Left, Layout().PageRect(0).Left);
    EXPECT_EQ(fForm->View()->PageText().toStdString(), "2・1 / 4");
    EXPECT_EQ(fCore->State(), TAppState::asReady);
}

struct TBindCase {
    const char* Name;
    TActionId Binding;
    const char* Label;
    bool FirstPageOnLeft;
};

class MainFormBindingTest : public MainFormTest, public ::testing::WithParamInterface<TBindCase> {};

TEST_P(MainFormBindingTest, DecidesWhichPageIsOnTheLeft)
{
    WriteBook(6);
    Start({"book"});
    fForm->RunAction(GetParam().Binding);
    fForm->RunAction(actNext);
    EXPECT_EQ(Label(), GetParam().Label);
    const bool firstLeft = Layout().PageRect(0).Left < Layout().PageRect(1).Left;
    EXPECT_EQ(firstLeft, GetParam().FirstPageOnLeft);
    EXPECT_EQ(PageCentre(0), PageColourOf(2));
    EXPECT_EQ(PageCentre(1), PageColourOf(3));
}

INSTANTIATE_TEST_SUITE_P(Rows, MainFormBindingTest,
                         ::testing::Values(TBindCase{"Right", actBindRight, "4・3 / 6", false},
                                           TBindCase{"Left", actBindLeft, "3・4 / 6", true}),
                         [](const auto& info) { return std::string(info.param.Name); });

struct TMoveKeyCase {
    const char* Name;
    int Key;
    bool LeftBound;
    const char* Label;  // from the pair {2, 3}
};

class MainFormMoveKeyTest : public MainFormTest, public ::testing::WithParamInterface<TMoveKeyCase> {};

TEST_P(MainFormMoveKeyTest, RunsItsMoveFromThePair)
{
    WriteBook(8);
    Start({"book"});
    if (GetParam().LeftBound)
        fForm->RunAction(actBindLeft);
    Key(Qt::Key_Down);
    ASSERT_EQ(fForm->Model().Viewer().Shown().Primary, 2);
    Key(GetParam().Key);
    fForm->Settle(10000);
    EXPECT_EQ(Label(), GetParam().Label);
    EXPECT_TRUE(fMessages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MainFormMoveKeyTest,
    ::testing::Values(TMoveKeyCase{"DownNext", Qt::Key_Down, false, "6・5 / 8"},
                      TMoveKeyCase{"UpPrior", Qt::Key_Up, false, "2・1 / 8"},
                      TMoveKeyCase{"LeftOneNext", Qt::Key_Left, false, "5・4 / 8"},
                      TMoveKeyCase{"RightOnePrior", Qt::Key_Right, false, "3・2 / 8"},
                      TMoveKeyCase{"HomeFirst", Qt::Key_Home, false, "2・1 / 8"},
                      TMoveKeyCase{"EndLast", Qt::Key_End, false, "8・7 / 8"},
                      // Left-bound: the one-page keys swap, the others do not.
                      TMoveKeyCase{"LeftBoundLeftOnePrior", Qt::Key_Left, true, "2・3 / 8"},
                      TMoveKeyCase{"LeftBoundRightOneNext", Qt::Key_Right, true, "4・5 / 8"},
                      TMoveKeyCase{"LeftBoundDownNext", Qt::Key_Down, true, "5・6 / 8"}),
    [](const auto& info) { return std::string(info.param.Name); });

// How a scroll key moves the content from the middle of a page four times
// the view's size: by a share of the view (page scrolls), by 10 pixels (line
// scrolls), or to a corner.
struct TScrollKeyCase {
    const char* Name;
    int Key;
    Qt::KeyboardModifiers Modifiers;
    int ViewsX, ViewsY;  // views moved: +1 content right (or down)
    int LineX, LineY;    // line scrolls
    int Corner;          // 0 none; 1 top right (the origin of a right-bound book); 2 bottom left
};

class MainFormScrollKeyTest : public MainFormTest, public ::testing::WithParamInterface<TScrollKeyCase> {};

TEST_P(MainFormScrollKeyTest, MovesTheContent)
{
    const TScrollKeyCase& row = GetParam();
    fTree.Write("work/big.fake", FakePicture(1000, 1000, fkColor, 1, 2, 3));
    TCountingScaler scaler;
    Start({"big.fake"}, TLoaders::ldFake, &scaler);
    fForm->RunAction(act400);
    const TSize client = Layout().ClientSize();
    TRect content = Layout().ContentRect();
    ASSERT_GT(content.Width(), 3 * client.Width);
    ASSERT_GT(content.Height(), 3 * client.Height);
    fForm->Model().Viewer().Layout().ScrollBy(-(content.Width() - client.Width) / 2 - content.Left, 0);
    fForm->Model().Viewer().Layout().ScrollBy(0, -(content.Height() - client.Height) / 2 - content.Top);
    const TRect before = Layout().ContentRect();

    Key(row.Key, row.Modifiers);
    const TRect after = Layout().ContentRect();
    if (row.Corner == 1) {
        EXPECT_EQ(after.Right, client.Width);
        EXPECT_EQ(after.Top, 0);
    } else if (row.Corner == 2) {
        EXPECT_EQ(after.Left, 0);
        EXPECT_EQ(after.Bottom, client.Height);
    } else {
        EXPECT_EQ(after.Left - before.Left, row.ViewsX * client.Width + row.LineX);
        EXPECT_EQ(after.Top - before.Top, row.ViewsY * client.Height + row.LineY);
    }
    EXPECT_EQ(fForm->Model().Viewer().Shown().Primary, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MainFormScrollKeyTest,
    ::testing::Values(TScrollKeyCase{"PageUp", Qt::Key_PageUp, Qt::NoModifier, 0, 1, 0, 0, 0},
                      TScrollKeyCase{"PageDown", Qt::Key_PageDown, Qt::NoModifier, 0, -1, 0, 0, 0},
                      TScrollKeyCase{"PageLeft", Qt::Key_PageDown, Qt::ControlModifier, 1, 0, 0, 0, 0},
                      TScrollKeyCase{"PageRight", Qt::Key_PageUp, Qt::ControlModifier, -1, 0, 0, 0, 0},
                      TScrollKeyCase{"LineUp", Qt::Key_Up, Qt::ControlModifier, 0, 0, 0, 10, 0},
                      TScrollKeyCase{"LineDown", Qt::Key_Down, Qt::ControlModifier, 0, 0, 0, -10, 0},
                      TScrollKeyCase{"LineLeft", Qt::Key_Left, Qt::ControlModifier, 0, 0, 10, 0, 0},
                      TScrollKeyCase{"LineRight", Qt::Key_Right, Qt::ControlModifier, 0, 0, -10, 0, 0},
                      TScrollKeyCase{"Origin", Qt::Key_Home, Qt::ControlModifier, 0, 0, 0, 0, 1},
                      TScrollKeyCase{"Diagonal", Qt::Key_End, Qt::ControlModifier, 0, 0, 0, 0, 2}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MainFormTest, PageDownAtTheBottomTurnsThePage)
{
    fTree.Write("work/tall/1.fake", FakePicture(30, 1000, fkColor, 1, 2, 3));
    fTree.Write("work/tall/2.fake", FakePicture(30, 1000, fkColor, 4, 5, 6));
    TCountingScaler scaler;
    Start({"tall"}, TLoaders::ldFake, &scaler);
    fForm->RunAction(actSingle);
    fForm->RunAction(act100);
    Key(Qt::Key_End, Qt::ControlModifier);
    ASSERT_EQ(Layout().ContentRect().Bottom, Layout().ClientSize().Height);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(Shown(), "2.fake");
    EXPECT_EQ(Layout().ContentRect().Top, 0);
    // Page up at its top goes back and shows the page from its bottom.
    Key(Qt::Key_PageUp);
    EXPECT_EQ(Shown(), "1.fake");
    EXPECT_EQ(Layout().ContentRect().Bottom, Layout().ClientSize().Height);
}

TEST_F(MainFormTest, ScrollAfterAZoomScalesOnlyTheNewStrip)
{
    fTree.Write("work/p.fake", FakePicture(400, 400, fkColor, 9, 9, 9));
    TCountingScaler scaler;
    Start({"p.fake"}, TLoaders::ldFake, &scaler);
    fForm->RunAction(actSingle);
    fForm->RunAction(act200);
    fForm->View()->Render();
    scaler = TCountingScaler{};
    Key(Qt::Key_Space, Qt::ControlModifier);  // 拡大
    fForm->View()->Render();
    const TSize client = Layout().ClientSize();
    const TRect visible = Layout().VisiblePart(0);
    ASSERT_EQ(visible.Width(), client.Width) << "the zoomed page covers the view";
    ASSERT_EQ(visible.Height(), client.Height);
    EXPECT_EQ(scaler.Pixels, static_cast<int64_t>(client.Width) * client.Height) << "the zoom scales the view once";

    scaler = TCountingScaler{};
    fForm->View()->ResetStats();
    Key(Qt::Key_Down, Qt::ControlModifier);  // 小スクロール－下
    const QImage stitched = Painted();
    EXPECT_EQ(scaler.Regions, 1);
    EXPECT_EQ(scaler.Pixels, static_cast<int64_t>(client.Width) * 10);
    EXPECT_EQ(fForm->View()->Stats().PixelsKept, static_cast<int64_t>(client.Width) * (client.Height - 10));

    // What was moved and what was scaled anew paint the same page as a
    // page scaled in one go.
    fForm->View()->InvalidatePages();
    EXPECT_EQ(Painted(), stitched);
    EXPECT_EQ(scaler.Pixels, static_cast<int64_t>(client.Width) * 10 + static_cast<int64_t>(client.Width) * client.Height);
}

TEST_F(MainFormTest, DamagedPartnerShowsTheGoodPageAndTheNewLabelBeforeItsMessage)
{
    fTree.Write("work/book/0.fake", FakePage(0));
    fTree.Write("work/book/1.fake", "FAKE");
    Start({"book"});
    ASSERT_EQ(fMessages.size(), 1u);
    EXPECT_EQ(fMessages[0], "'1.fake' は読み込めませんでした  ");
    EXPECT_EQ(fLabelsAtMessages[0], "1 / 2");
    EXPECT_EQ(PageCentre(0), PageColourOf(0));
}

// With the image cache off, the window loads both pages of a spread itself;
// the first is scaled for the view while its partner decodes.
TEST_F(MainFormTest, FirstPageOfASpreadIsScaledWhileItsPartnerLoads)
{
    // Only the image view, so that no pane settling after the start changes
    // the size the page was scaled for.
    fTree.Write("data/Mireva.ini",
                "[CACHE]\nImageCache=0\nFileCache=0\n[PICTURE]\nStretch=4\n[VIEW]\nTree=0\nFile=0\n");
    for (int i = 0; i < 2; ++i)
        fTree.Write("work/book/" + std::to_string(i) + ".fake", FakePage(i, 300, 450));
    Start({"book"});
    ASSERT_TRUE(Layout().SpreadActive());
    const TSize display = Layout().PageSize(0);
    ASSERT_LT(display.Width, 300);
    EXPECT_TRUE(fForm->Model().Viewer().Primary().ScaledFor(display.Width, display.Height, TStretchMode::smLanczos3));
}

// The browser window around a folder: the seven menus, the folder tree at
// the shown folder, the file list with the shown page selected, the status
// bar's counts; pane commands switch panes; a command of a later part of the
// program stays greyed and does nothing.
TEST_F(MainFormTest, BrowserWindowShowsTheFolderInItsPanes)
{
    WriteBook(3);
    Start({"book"});
    QStringList menus;
    for (QAction* menu : fForm->menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, QStringList({QString::fromUtf8("ファイル(&F)"), QString::fromUtf8("編集(&E)"),
                                  QString::fromUtf8("移動(&M)"), QString::fromUtf8("イメージ(&I)"),
                                  QString::fromUtf8("表示(&V)"), QString::fromUtf8("オプション(&O)"),
                                  QString::fromUtf8("ヘルプ(&H)")}));
    const TTreeNode* node = fForm->Trees()->Tree(TTreeKind::tkFolder).Selected();
    ASSERT_TRUE(node);
    EXPECT_EQ(node->Text(), "book");
    EXPECT_EQ(fForm->Files()->FileView()->model()->rowCount(), 3);
    EXPECT_TRUE(fForm->Files()->ArchiveView()->isHidden());
    EXPECT_EQ(fForm->StatusPanels().Texts[5], "1 / 3 ファイル");

    // A selection made by name shows in the list's view.
    EXPECT_TRUE(fForm->SelectByNames({"2.fake"}).empty());
    fForm->Settle(10000);
    EXPECT_TRUE(fForm->Files()->FileView()->selectionModel()->isRowSelected(2, QModelIndex()));
    EXPECT_EQ(fForm->StatusPanels().Texts[0], "2.fake");

    EXPECT_TRUE(fForm->RunAction(actTree));
    EXPECT_TRUE(fForm->Trees()->isHidden());
    EXPECT_TRUE(fForm->RunAction(actStatusBar));
    EXPECT_TRUE(fForm->Status()->isHidden());

    // A command still to come stays greyed and runs nothing.
    EXPECT_FALSE(fForm->Action(actFileMask)->isEnabled());
    EXPECT_FALSE(fForm->RunAction(actFileMask));
    // The image menu's sub-menus stay open to the reader.
    auto* rotate = fForm->menuBar()->findChild<QMenu*>(QString::fromUtf8("回転・反転(R)"));
    ASSERT_TRUE(rotate);
    EXPECT_TRUE(rotate->isEnabled());
}

// The search command shows the panel; a search lists its results as list
// kind 10, and another tree hides the panel again.
TEST_F(MainFormTest, SearchShowsItsPanelAndListsTheResults)
{
    WriteBook(3);
    fTree.Write("work/book/notes.txt", "x");
    Start({"book"});
    EXPECT_TRUE(fForm->RunAction(actSearch));
    TSearchFrame* frame = fForm->Search()->Frame();
    EXPECT_TRUE(frame->isVisible());
    // Without fixed targets the shown folder is the target.
    ASSERT_EQ(frame->Targets().size(), 1u);
    EXPECT_EQ(frame->Targets()[0].Name, fTree.File("work/book"));
    frame->NameBox()->setEditText("*.fake");
    ASSERT_TRUE(frame->Search());
    EXPECT_TRUE(PumpUntil([&] { return !fForm->Search()->Folder().Searching(); }, 10000));
    EXPECT_EQ(fForm->Model().ListKind(), TListKind::lkSearch);
    EXPECT_EQ(fForm->Files()->FileView()->model()->rowCount(), 3);
    EXPECT_TRUE(fForm->RunAction(actFolder));
    EXPECT_TRUE(frame->isHidden());
    // The other trees' commands switch the tree and check their item.
    for (const auto& [action, kind] : {std::pair{actShelf, TTreeKind::tkShelf}, {actMedia, TTreeKind::tkMedia},
                                       {actCategory, TTreeKind::tkCategory}}) {
        EXPECT_TRUE(fForm->RunAction(action)) << static_cast<int>(kind);
        EXPECT_EQ(fForm->Model().ViewStates().TreeKind, kind);
        EXPECT_TRUE(fForm->Action(action)->isChecked()) << static_cast<int>(kind);
    }
    // Leaving the panel discards the results unless they are to be kept.
    EXPECT_EQ(fForm->Search()->Folder().Count(), 0);
    EXPECT_TRUE(fForm->RunAction(actSearch));
    for (QCheckBox* box : frame->findChildren<QCheckBox*>())
        if (box->text() == QString::fromUtf8("検索結果を破棄しない(&J)"))
            box->setChecked(true);
    ASSERT_TRUE(frame->Search());
    EXPECT_TRUE(PumpUntil([&] { return !fForm->Search()->Folder().Searching(); }, 10000));
    EXPECT_TRUE(fForm->RunAction(actFolder));
    EXPECT_EQ(fForm->Search()->Folder().Count(), 3);
}

// A running search shows its progress window; its cancel stops the search
// and closes it, and a search that ends by itself closes it too.
TEST_F(MainFormTest, ASearchShowsItsProgressUntilItEndsOrIsCancelled)
{
    WriteBook(3);
    Start({"book"});
    EXPECT_TRUE(fForm->RunAction(actSearch));
    TSearchFrame* frame = fForm->Search()->Frame();
    TSearchProgressWindow* progress = fForm->Search()->Progress();
    ASSERT_TRUE(frame->Search());
    ASSERT_NE(progress->Dialog(), nullptr);
    EXPECT_TRUE(progress->Dialog()->isVisible());
    QPushButton* cancel = progress->Dialog()->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    cancel->click();
    EXPECT_FALSE(fForm->Search()->Folder().Searching());
    EXPECT_EQ(progress->Dialog(), nullptr);
    ASSERT_TRUE(frame->Search());
    EXPECT_TRUE(PumpUntil([&] { return !fForm->Search()->Folder().Searching(); }, 10000));
    EXPECT_EQ(progress->Dialog(), nullptr);
}

// Deleting the chosen medium from the list of media asks first; a snapshot
// run reports the question and answers it as --yes says.
TEST_F(MainFormTest, DeletingAMediumFromTheListAsksFirst)
{
    WriteBook(1);
    Start({"book"});
    fForm->Media().Add("disc", 0, "");
    fForm->Media().Add("other", 0, "");
    TTreePlace media;
    media.Kind = TTreePlaceKind::tpMedia;
    ASSERT_TRUE(fForm->Model().ShowTreePlace(media));
    for (const bool yes : {false, true}) {
        ASSERT_TRUE(fForm->SelectByNames({"disc"}).empty());
        fMessages.clear();
        fForm->SetAnswerYes(yes);
        EXPECT_TRUE(fForm->RunAction(actDelete));
        ASSERT_EQ(fMessages.size(), 1u);
        EXPECT_EQ(fMessages[0].rfind("選択されたメディアを削除してもよろしいですか？  ", 0), 0u);
        EXPECT_EQ(fForm->Media().Count(), yes ? 1 : 2);
    }
    EXPECT_EQ(fForm->Media().Folder(0)->Name(), "other");
}

// The property dialog of the chosen medium renames it; the list file follows.
TEST_F(MainFormTest, ThePropertyDialogOfTheChosenMediumRenamesIt)
{
    WriteBook(1);
    Start({"book"});
    fForm->Media().Add("disc", 0, "");
    TTreePlace media;
    media.Kind = TTreePlaceKind::tpMedia;
    ASSERT_TRUE(fForm->Model().ShowTreePlace(media));
    ASSERT_TRUE(fForm->SelectByNames({"disc"}).empty());
    fForm->Files()->FocusList();
    ASSERT_TRUE(fForm->ActionStateOf(actProperties).Enabled);
    fForm->SetMessageSink(nullptr);
    QTimer::singleShot(0, [] {
        auto* dialog = dynamic_cast<TMediumPropertyDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->NameEdit()->setText("photos 2024");
        dialog->accept();
    });
    EXPECT_TRUE(fForm->RunAction(actProperties));
    EXPECT_EQ(fForm->Media().Folder(0)->Name(), "photos 2024");
    const std::string saved = fTree.Read(TMediaStore(fTree.File("data/")).ListPath().substr(fTree.Path().size()));
    EXPECT_NE(saved.find("photos 2024"), std::string::npos);
    EXPECT_EQ(saved.find("disc"), std::string::npos);
}

// Files copied into the shown folder by another program reach the list and
// the book without a refresh; the page being read stays shown.
TEST_F(MainFormTest, FilesMadeInTheShownFolderJoinTheListAndTheBook)
{
    WriteBook(2);
    Start({"book"});
    ASSERT_EQ(fForm->Model().Images().size(), 2u);
    const std::string shown = Shown();
    fTree.Write("work/book/9.fake", FakePage(9));
    fTree.Write("work/book/notes.txt", "x");
    EXPECT_TRUE(PumpUntil([&] { return fForm->Model().Items().size() == 4; }, 10000));
    EXPECT_EQ(fForm->Model().Images().size(), 3u);
    EXPECT_EQ(fForm->Files()->FileView()->model()->rowCount(), 4);
    EXPECT_EQ(Shown(), shown);
}

// The file context menu: over a list it opens the selection and has no tree
// items; over a tree it expands and collapses instead.
TEST_F(MainFormTest, FileContextMenuFitsWhereItOpens)
{
    WriteBook(2);
    Start({"book"});
    const auto itemsOf = [](QWidget* view) {
        QStringList items;
        QTimer::singleShot(0, [&items] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* action : menu->actions())
                    if (!action->isSeparator())
                        items << action->text().section('\t', 0, 0);
                menu->close();
            }
        });
        emit view->customContextMenuRequested(QPoint(5, 5));
        return items;
    };
    const QStringList list = itemsOf(fForm->Files()->FileView());
    EXPECT_TRUE(list.contains(QString::fromUtf8("開く(&O)"))) << list.join('|').toStdString();
    EXPECT_FALSE(list.contains(QString::fromUtf8("展開(&X)")));
    const QStringList tree = itemsOf(fForm->Trees()->ActiveView());
    EXPECT_FALSE(tree.contains(QString::fromUtf8("開く(&O)"))) << tree.join('|').toStdString();
}

// "タスクトレイ収納" hides the window behind a tray icon; where the desktop has
// no tray (as here) the window is minimised instead.
TEST_F(MainFormTest, TrayCommandMinimisesWithoutATray)
{
    WriteBook(1);
    Start({"book"});
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_TRUE(fForm->RunAction(actTaskTray));
    EXPECT_TRUE(PumpUntil([&] { return fForm->isMinimized(); }, 2000));
    EXPECT_TRUE(fForm->isVisible());
}

// The sort sub-menu is made from the shown list's columns and sorts it.
TEST_F(MainFormTest, SortMenuSortsTheShownList)
{
    WriteBook(3);
    Start({"book"});
    auto* sort = fForm->menuBar()->findChild<QMenu*>(QString::fromUtf8("並び順(S)"));
    ASSERT_TRUE(sort);
    emit sort->aboutToShow();
    QAction* descending = nullptr;
    for (QAction* action : sort->actions())
        if (action->text() == QString::fromUtf8("降順(&W)"))
            descending = action;
    ASSERT_TRUE(descending);
    EXPECT_GE(sort->actions().size(), 7);  // four columns, a separator, two directions
    descending->trigger();
    EXPECT_EQ(fForm->Model().FileList().SortOrder().Dir, TSortDir::sdDesc);
    EXPECT_EQ(fForm->Model().Items().front().Name, "2.fake");
}

// Rows are drawn in the colours of the settings: here an extension's.
TEST_F(MainFormTest, FileListDrawsTheExtensionColours)
{
    fTree.Write("data/Mireva.ini", "[EXTCOLOR]\n.txt=$00FF0000\n");
    WriteBook(1);
    fTree.Write("work/book/notes.txt", "x");
    Start({"book"});
    const QAbstractItemModel* rows = fForm->Files()->FileView()->model();
    ASSERT_EQ(rows->rowCount(), 2);
    const QVariant text = rows->index(1, 0).data(Qt::ForegroundRole);
    ASSERT_TRUE(text.canConvert<QColor>());
    EXPECT_EQ(text.value<QColor>(), QColor(0, 0, 255));
    EXPECT_NE(rows->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
}

TEST_F(MainFormTest, FolderWithoutPicturesShowsNothing)
{
    ForceDirectories(fTree.File("work/empty"));
    Start({"empty"});
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(fForm->Model().ShownPlace().Kind, TPlaceKind::pkFolder);
    EXPECT_TRUE(fMessages.empty());
    EXPECT_EQ(PageCentre(0), QColor(Qt::black));
    EXPECT_EQ(Label(), "");
}

// The wheel with Ctrl bound to "拡大" zooms the pages about the pointer.
TEST_F(MainFormTest, CtrlWheelBoundToEnlargeZooms)
{
    WriteBook(4);
    fTree.Write("data/Mireva.ini", "[MOUSECUSTOMINFO]\nVersion=261\n[MOUSECOMMAND]\n86=76\n");
    Start({"book"});
    const double before = Layout().PageRatio(0);
    QWheelEvent up(QPointF(60, 60), QPointF(60, 60), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
                   Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Area(), &up);
    EXPECT_GT(Layout().PageRatio(0), before);
    EXPECT_EQ(Label(), "2・1 / 4");
}

TEST_F(MainFormTest, ClickInAQuarterRunsItsCommand)
{
    WriteBook(8);
    fTree.Write("data/Mireva.ini",
                "[MOUSECUSTOMINFO]\nVersion=261\n[MOUSEDIVIDE]\n1=1\n[MOUSECOMMAND]\n1=39, 0, 40, 0\n");
    Start({"book"});
    const auto click = [this](int x, int y) {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, QPointF(x, y), QPointF(x, y), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(Area(), &event);
        }
    };
    click(5, 5);
    EXPECT_EQ(Label(), "4・3 / 8");
    click(Area()->width() - 5, 5);  // top right: nothing bound
    EXPECT_EQ(Label(), "4・3 / 8");
    click(5, Area()->height() - 5);
    EXPECT_EQ(Label(), "2・1 / 8");
}

// The dialog's OK puts its bindings to use at once and saves them.
TEST_F(MainFormTest, MouseCustomizeTakesTheDialogsBindingsOver)
{
    WriteBook(4);
    Start({"book"});
    ASSERT_TRUE(fForm->Action(actMouseCustom)->isEnabled());
    bool shown = false;
    QTimer::singleShot(0, [&shown] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_TRUE(dialog);
        shown = true;
        dialog->findChild<QCheckBox*>("cbxRightPopup")->setChecked(false);
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_TRUE(fForm->RunAction(actMouseCustom));
    EXPECT_TRUE(shown);
    EXPECT_FALSE(fForm->Model().Mouse().RightPopup);
    const TIniFile saved(fTree.File("data/Mireva.ini"));
    EXPECT_EQ(saved.ReadString("MOUSECOMMAND", "RightPopup", ""), "0");
    EXPECT_EQ(saved.ReadString("MOUSECOMMAND", "97", ""), "1, 0, 0, 0");
    EXPECT_EQ(saved.ReadInteger("MOUSECUSTOM", "Page", -1), 0);
}

TEST_F(MainFormTest, DoubleClickInTheFileListOpensTheItem)
{
    WriteBook(3);
    Start({"book"});
    TFileListView* view = fForm->Files()->FileView();
    const QPoint at = view->visualRect(view->model()->index(2, 0)).center();
    const auto send = [view, at](QEvent::Type type, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(at), view->viewport()->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    EXPECT_EQ(Shown(), "0.fake");
    send(QEvent::MouseButtonDblClick, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    fForm->Settle(10000);
    EXPECT_EQ(Shown(), "2.fake");
}

struct TPaintCase {
    const char* Name;
    TFakeKind Kind;
    uint8_t Blue, Green, Red;
    QColor Expected;
};

class MainFormPaintTest : public MainFormTest, public ::testing::WithParamInterface<TPaintCase> {};

TEST_P(MainFormPaintTest, PaintsThePicturesPixels)
{
    const TPaintCase& row = GetParam();
    fTree.Write("work/p.fake", FakePicture(40, 40, row.Kind, row.Blue, row.Green, row.Red));
    Start({"p.fake"});
    ASSERT_EQ(Shown(), "p.fake");
    const TBitmap* picture = fForm->Model().Viewer().Primary().Bitmap.get();
    ASSERT_NE(picture, nullptr);
    // Prepared: 24-bit, or 8-bit gray with the identity palette.
    EXPECT_TRUE(picture->BitsPerPixel() == 24 || picture->IsGray());
    EXPECT_EQ(PageCentre(0), row.Expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, MainFormPaintTest,
                         ::testing::Values(TPaintCase{"Colour", fkColor, 0x10, 0x80, 0xF0, QColor(0xF0, 0x80, 0x10)},
                                           TPaintCase{"Gray", fkGray, 0x64, 0, 0, QColor(0x64, 0x64, 0x64)},
                                           TPaintCase{"Palette", fkPalette, 0x20, 0x40, 0x60,
                                                      QColor(0x60, 0x40, 0x20)}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MainFormTest, ImageBarWheelAndSeekBarTurnPages)
{
    WriteBook(8);
    Start({"book"});
    fForm->View()->ImageBarButton(TImageBarButton::ibLeft)->click();
    EXPECT_EQ(Label(), "4・3 / 8");

    QWheelEvent down(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Area(), &down);
    EXPECT_EQ(Label(), "6・5 / 8");
    QWheelEvent oneBack(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, 120), Qt::NoButton,
                        Qt::ControlModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Area(), &oneBack);
    EXPECT_EQ(Label(), "5・4 / 8");

    fForm->RunAction(actSeekBar);
    EXPECT_TRUE(fForm->View()->SeekBarShown());
    QLineEdit* edit = fForm->View()->SeekEdit();
    edit->setText("2");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(edit, &enter);
    EXPECT_EQ(Label(), "3・2 / 8");
    EXPECT_EQ(fForm->View()->SeekBar()->value(), 1);
}

TEST_F(MainFormTest, ArrowKeysTurnPagesAgainAfterAJumpFromThePageBox)
{
    WriteBook(8);
    Start({"book"});
    fForm->RunAction(actSeekBar);
    fForm->activateWindow();
    ASSERT_TRUE(PumpUntil([&] { return QApplication::activeWindow() == fForm.get(); }));
    QLineEdit* edit = fForm->View()->SeekEdit();
    edit->setFocus(Qt::MouseFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), edit);
    edit->setText("3");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(edit, &enter);
    EXPECT_EQ(Label(), "4・3 / 8");
    // The next key goes where the keyboard focus is, as typing would.
    EXPECT_EQ(QApplication::focusWidget(), Area());
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(QApplication::focusWidget(), &down);
    EXPECT_EQ(Label(), "6・5 / 8");
}

TEST_F(MainFormTest, PrefetchReportsReachTheWindowsThread)
{
    WriteBook(8);
    Start({"book"});
    std::vector<std::thread::id> reports;
    fForm->Model().Viewer().SetPrefetchListener([&reports](int, bool) { reports.push_back(std::this_thread::get_id()); });
    // The first step starts the cache thread, which then reads ahead.
    Key(Qt::Key_Down);
    ASSERT_TRUE(PumpUntil([&] { return !reports.empty(); }));
    for (const std::thread::id thread : reports)
        EXPECT_EQ(thread, std::this_thread::get_id());
}

TEST_F(MainFormTest, DroppedFolderOpens)
{
    fTree.Write("work/a/1.fake", FakePage(1));
    fTree.Write("elsewhere/2.fake", FakePage(2));
    Start({"a"});
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(fTree.File("elsewhere")))});
    // A drop reaches the widget that accepted the drag's entry.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(fForm.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(fForm.get(), &drop);
    EXPECT_EQ(Shown(), "2.fake");
    EXPECT_EQ(fForm->Model().ShownPlace().Folder, fTree.File("elsewhere/"));
}

TEST_F(MainFormTest, SettingsFileGivesTheViewState)
{
    WriteBook(4);
    fTree.Write("data/Mireva.ini", "[IMAGE]\nView=1\nBind=1\nWindow=-1\nRatio=1\n[VIEW]\nImageBar=0\n");
    Start({"book"});
    EXPECT_TRUE(fForm->Action(actSingle)->isChecked());
    EXPECT_TRUE(fForm->Action(actBindLeft)->isChecked());
    EXPECT_TRUE(fForm->Action(act50)->isChecked());
    EXPECT_FALSE(fForm->View()->ImageBarShown());
    EXPECT_EQ(Title(), "Mireva - 0.fake (20 x 30 x 24bit) [50%]");
    EXPECT_EQ(Label(), "1 / 4");
}

TEST_F(MainFormTest, HandOverOverTheSocketOpensThePath)
{
    fTree.Write("work/a/1.fake", FakePicture(4, 4, fkColor, 1, 2, 3));
    fTree.Write("other/2.fake", FakePicture(4, 4, fkColor, 1, 2, 3));
    Start({"a"});
    ASSERT_EQ(Shown(), "1.fake");

    TTempFolder runtime;
    TSingleInstance running(runtime.Path());
    ASSERT_EQ(running.Start(THandOver{}, nullptr), TInstanceRole::irFirst);
    TInstanceListener listener(*running.Server(), [this](const THandOver& message) { fForm->HandOver(message); });

    // The later start runs beside the event loop, as another process would.
    std::atomic<bool> done = false;
    TInstanceRole role = TInstanceRole::irEnded;
    std::thread later([&] {
        TSingleInstance second(runtime.Path(), InstanceName, {5000, 1000});
        role = second.Start(THandOver{fTree.File("other/"), {"/usr/bin/mireva", "2.fake"}}, nullptr);
        done = true;
    });
    const bool finished = PumpUntil([&] { return done.load() && Shown() == "2.fake"; });
    later.join();
    EXPECT_TRUE(finished);
    EXPECT_EQ(role, TInstanceRole::irHandedOver);
    EXPECT_EQ(fForm->Model().ShownPlace().Folder, fTree.File("other/"));
}

TEST_F(MainFormTest, FullScreenIsEnteredButNeverLeftByAHandOver)
{
    fTree.Write("work/a/1.fake", FakePicture(4, 4, fkColor, 1, 2, 3));
    Start({"a"});
    fForm->HandOver(THandOver{fTree.File("work/"), {"m", "-f"}});
    EXPECT_TRUE(fForm->isFullScreen());
    fForm->HandOver(THandOver{fTree.File("work/"), {"m", "-f"}});
    EXPECT_TRUE(fForm->isFullScreen());
}

TEST_F(MainFormTest, FullScreenRoundTripGivesBackTheWindowAlsoAfterNewOptions)
{
    fTree.Write("work/a/1.fake", FakePicture(4, 4, fkColor, 1, 2, 3));
    Start({"a"});
    fForm->showNormal();
    fForm->setGeometry(40, 50, 700, 500);
    const QRect normal = fForm->geometry();
    const bool tree = fForm->Action(actTree)->isChecked();
    for (const bool changeOptions : {false, true}) {
        fForm->RunAction(actFullScreen);
        ASSERT_TRUE(fForm->isFullScreen());
        if (changeOptions) {
            TOptions options = fCore->Options();
            options.FullScreen.MouseMoveShow = !options.FullScreen.MouseMoveShow;
            fCore->ChangeOptions(options);
        }
        fForm->RunAction(actFullScreen);
        QCoreApplication::processEvents();
        EXPECT_FALSE(fForm->isFullScreen());
        EXPECT_EQ(fForm->geometry(), normal) << "options changed: " << changeOptions;
        EXPECT_EQ(fForm->Action(actTree)->isChecked(), tree);
    }
}

TEST_F(MainFormTest, OpenedPictureEntersFullScreenAndClosingItLeaves)
{
    fTree.Write("data/Mireva.ini", "[PICTURE]\nFullScreen=1\n");
    fTree.Write("work/a/1.fake", FakePicture(4, 4, fkColor, 1, 2, 3));
    fTree.Write("work/a/2.fake", FakePicture(4, 4, fkColor, 1, 2, 3));
    Start({"a/1.fake"});
    EXPECT_TRUE(fForm->isFullScreen());
    fForm->RunAction(actFullScreen);
    // A move is no opening: the window stays as the user left it.
    fForm->RunAction(actNext);
    fForm->Settle(2000);
    EXPECT_FALSE(fForm->isFullScreen());
    fForm->RunAction(actFullScreen);
    fForm->RunAction(actClose);
    QCoreApplication::processEvents();
    EXPECT_FALSE(fForm->isFullScreen());
}

// "Open in full screen" shows the chosen item in full screen, also the
// picture shown already; "open and start the slideshow" starts it on a
// picture and leaves it off in a folder without pictures.
TEST_F(MainFormTest, OpenCommandsShowTheItemInFullScreenOrWithTheSlideShow)
{
    // A long interval: no step moves on while the test looks.
    fTree.Write("data/Mireva.ini", "[SLIDESHOW]\nInterval=6000\n");
    WriteBook(3);
    ForceDirectories(fTree.File("work/book/empty"));
    Start({"book"});
    ASSERT_EQ(Shown(), "0.fake");
    const auto open = [this](const std::string& name, TActionId action) {
        EXPECT_TRUE(fForm->SelectByNames({name}).empty()) << name;
        EXPECT_TRUE(fForm->RunAction(action)) << name;
    };
    for (const char* name : {"0.fake", "2.fake"}) {
        open(name, actF_Open);
        EXPECT_EQ(Shown(), name);
        EXPECT_TRUE(fForm->isFullScreen()) << name;
        EXPECT_FALSE(fForm->Action(actSlideShow)->isChecked()) << name;
        fForm->RunAction(actFullScreen);
        ASSERT_FALSE(fForm->isFullScreen());
    }

    open("1.fake", actS_Open);
    EXPECT_EQ(Shown(), "1.fake");
    EXPECT_TRUE(fForm->Action(actSlideShow)->isChecked());
    EXPECT_FALSE(fForm->isFullScreen());
    fForm->RunAction(actSlideShow);
    ASSERT_FALSE(fForm->Action(actSlideShow)->isChecked());

    open("empty", actS_Open);
    EXPECT_EQ(fForm->Model().ShownPlace().Folder, fTree.File("work/book/empty/"));
    EXPECT_TRUE(Shown().empty());
    EXPECT_FALSE(fForm->Action(actSlideShow)->isChecked());
}

TEST_F(MainFormTest, HandOverSwitchesTheSettingsFileAndTheWindowFollowsIt)
{
    ForceDirectories(fTree.File("work/empty"));
    fTree.Write("work/blue.lys", "[PICTURE]\nBack=$00FF0000\n[IMAGE]\nView=2\n");
    Start({"empty"});
    EXPECT_EQ(PageCentre(0), QColor(Qt::black));
    fForm->HandOver(THandOver{fTree.File("work/"), {"m", "-s", "blue.lys"}});
    EXPECT_EQ(fCore->SettingsPath(), fTree.File("work/blue.lys"));
    EXPECT_EQ(PageCentre(0), QColor(0, 0, 255));
    // The menus follow once the step is over.
    QCoreApplication::processEvents();
    EXPECT_TRUE(fForm->Action(actSpread)->isChecked());
    EXPECT_TRUE(fMessages.empty());
}


TEST_F(MainFormTest, StoredKeyRunsItsCommandAndItsMenuItemShowsIt)
{
    WriteBook(4);
    // N runs "最後のファイル"; End, its default, no longer does.
    fTree.Write("data/Mireva.ini", "[IMAGE]\nView=1\n[KEYCUSTOMINFO]\nVersion=261\n[MOVE KEY]\n6=78\n");
    Start({"book"});
    EXPECT_EQ(fForm->Action(actLast)->text().toStdString(), "最後のファイル(&L)\tN");
    EXPECT_EQ(fForm->Action(actEnlarge)->text().toStdString(), "拡大(&E)\tCtrl+Space");
    Key(Qt::Key_End);
    EXPECT_EQ(Shown(), "0.fake");
    Key(Qt::Key_N);
    EXPECT_EQ(Shown(), "3.fake");
}

// The marker commands and the recent-files menu of the window, and the files
// the window writes when it closes.
TEST_F(MainFormTest, MarkersAndRecentFilesFollowTheBookAndAreSavedAtClose)
{
    WriteBook(4);
    Start({"book"});
    EXPECT_FALSE(fForm->ActionStateOf(actNextMarker).Enabled);
    ASSERT_TRUE(fForm->RunAction(actSetMark));
    EXPECT_TRUE(fForm->ActionStateOf(actNextMarker).Enabled);
    auto* recent = fForm->menuBar()->findChild<QMenu*>(QString::fromUtf8("最近開いたファイル(T)"));
    ASSERT_TRUE(recent);
    emit recent->aboutToShow();
    ASSERT_EQ(recent->actions().size(), 1);
    EXPECT_EQ(recent->actions().front()->text().toStdString(), "1: " + fTree.File("work/book/0.fake"));
    fForm->RunAction(actNext);
    ASSERT_EQ(Shown(), "2.fake");
    ASSERT_TRUE(fForm->RunAction(actNextMarker));
    EXPECT_EQ(Shown(), "0.fake");
    fForm->close();
    EXPECT_EQ(ReadMarkerList(fTree.Read("data/Marker.lst")).Entries.size(), 1u);
    EXPECT_EQ(ReadMarkerList(fTree.Read("data/Recent.lst")).Entries.at(0).FileName, "0.fake");
}

// A typed address: a trailing "/" is dropped; the box shows the place
// actually reached; the typed addresses are in Input.lst once the window
// closed, newest first.
TEST_F(MainFormTest, TypedAddressesGoThereOrShowThePlaceAgainAndAreKept)
{
    WriteBook(2);
    ForceDirectories(fTree.File("work/other/"));
    Start({"book"});
    auto* box = fForm->findChild<QComboBox*>("cbxAdrsBar");
    ASSERT_TRUE(box);
    const auto type = [&](const std::string& text) {
        // Each address is typed in an event-loop turn of its own, as a user
        // types them.
        QCoreApplication::processEvents();
        box->lineEdit()->setText(QString::fromStdString(text));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(box->lineEdit(), &press);
    };
    const std::string other = fTree.File("work/other");
    type(" " + other + "/ ");
    ASSERT_TRUE(PumpUntil([&] { return box->lineEdit()->text().toStdString() == other; }));
    EXPECT_EQ(fForm->Model().ShownPlace().Folder, other + "/");
    EXPECT_EQ(Title(), "Mireva - other");

    // A path that is not there opens the nearest folder that is; the box
    // shows the place reached, not the text typed.
    type(fTree.File("work/nowhere"));
    const std::string work = fTree.File("work");
    ASSERT_TRUE(PumpUntil([&] { return box->lineEdit()->text().toStdString() == work; }))
        << box->lineEdit()->text().toStdString();
    EXPECT_EQ(fForm->Model().ShownPlace().Folder, work + "/");

    fForm->close();
    const std::string input = fTree.Read("data/Input.lst");
    EXPECT_NE(input.find("1=" + fTree.File("work/nowhere")), std::string::npos) << input;
    EXPECT_NE(input.find("2=" + other + "\n"), std::string::npos) << input;
}

struct TExchangeCase {
    const char* Name;
    const char* Flags;  // lines of MOVE KEY
    bool LeftBound;
    int Key;
    const char* Label;  // from the pair {2, 3}
    TActionId Item;     // a "移動" menu item
    const char* ItemKey;
};

class MainFormExchangeTest : public MainFormTest, public ::testing::WithParamInterface<TExchangeCase> {};

TEST_P(MainFormExchangeTest, LeftBindingSwapsTheKeysOfAPairWhoseFlagIsOn)
{
    const TExchangeCase& row = GetParam();
    WriteBook(8);
    fTree.Write("data/Mireva.ini", std::string("[KEYCUSTOMINFO]\nVersion=261\n[MOVE KEY]\n") + row.Flags);
    Start({"book"});
    if (row.LeftBound)
        fForm->RunAction(actBindLeft);
    fForm->RunAction(actNext);
    fForm->Settle(10000);
    ASSERT_EQ(fForm->Model().Viewer().Shown().Primary, 2);
    // The items are renamed once the step is over.
    QCoreApplication::processEvents();
    // The item names the key that runs it now.
    const std::string text = fForm->Action(row.Item)->text().toStdString();
    EXPECT_EQ(text.substr(text.find('\t') + 1), row.ItemKey) << text;
    Key(row.Key);
    fForm->Settle(10000);
    EXPECT_EQ(Label(), row.Label);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MainFormExchangeTest,
    ::testing::Values(
        TExchangeCase{"NextPriorSwapped", "MoveExchange=1\n", true, Qt::Key_Down, "1・2 / 8", actNext, "↑"},
        TExchangeCase{"NextPriorKept", "MoveExchange=0\n", true, Qt::Key_Down, "5・6 / 8", actNext, "↓"},
        TExchangeCase{"RightBoundIgnoresTheFlag", "MoveExchange=1\n", false, Qt::Key_Up, "2・1 / 8", actPrior, "↑"},
        TExchangeCase{"OnePairSwappedByDefault", "", true, Qt::Key_Left, "2・3 / 8", actS_Next, "→"},
        TExchangeCase{"OnePairKept", "S_MoveExchange=0\n", true, Qt::Key_Left, "4・5 / 8", actS_Next, "←"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(MainFormTest, KeyDialogOkBindsKeysAndScrollOptionsAndRemembersThePage)
{
    WriteBook(4);
    fTree.Write("data/Mireva.ini", "[IMAGE]\nView=1\n[KEYCUSTOM]\nPage=2\n");
    Start({"book"});
    int openedOn = -1;
    QTimer::singleShot(0, [&] {
        TKeyCustomizeDialog* dialog = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* found = dynamic_cast<TKeyCustomizeDialog*>(widget); found && found->isVisible())
                dialog = found;
        ASSERT_NE(dialog, nullptr);
        openedOn = dialog->Page();
        dialog->findChild<QRadioButton*>("pageByQuantity")->click();
        dialog->findChild<QSpinBox*>("pageQuantity")->setValue(640);
        // N for "最後のファイル", and End taken from it for "最初のファイル".
        dialog->SetPage(TKeyCustomizeDialog::kpImageView);
        dialog->SelectCommand({TCommandGroup::cgMove, 6});
        dialog->SetNewKey(vk::Letter('N'));
        dialog->AddKey();
        dialog->SelectCommand({TCommandGroup::cgMove, 1});
        dialog->SetNewKey(vk::End);
        dialog->AddKey([] { return true; });
        dialog->accept();
    });
    ASSERT_TRUE(fForm->RunAction(actKeyCustom));
    EXPECT_EQ(openedOn, 2);
    EXPECT_EQ(fForm->Action(actLast)->text().toStdString(), "最後のファイル(&L)\tN");
    EXPECT_EQ(fForm->Action(actFirst)->text().toStdString(), "最初のファイル(&F)\tHome");
    const TViewScrollOptions& scroll = fForm->Model().Viewer().Options().Scroll;
    EXPECT_FALSE(scroll.Page.ByRatio);
    EXPECT_EQ(scroll.Page.Quantity, 640);
    Key(Qt::Key_N);
    EXPECT_EQ(Shown(), "3.fake");
    Key(Qt::Key_End);
    EXPECT_EQ(Shown(), "0.fake");
    // Written at once: the keys and the options with them, and the page the
    // dialog closed on.
    const TIniFile written(fTree.File("data/Mireva.ini"));
    EXPECT_EQ(written.ReadString("MOVE KEY", "6", ""), "78");
    EXPECT_EQ(written.ReadString("MOVE KEY", "1", ""), "36,35");
    EXPECT_EQ(written.ReadInteger("SCROLL", "PageScrollQuantity", 0), 640);
    EXPECT_FALSE(written.ReadBool("SCROLL", "PageScrollByRatio", true));
    EXPECT_EQ(written.ReadInteger("KEYCUSTOM", "Page", -1), 1);
    EXPECT_TRUE(fMessages.empty());
}
