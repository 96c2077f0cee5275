#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QRadioButton>
#include <QSplitter>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>

#include "app/AppCore.h"
#include "base/PathUtils.h"
#include "browser/ui/FilePane.h"
#include "browser/ui/ImageWindowForm.h"
#include "browser/ui/MainForm.h"
#include "common/IniFile.h"
#include "fileops/FileLists.h"
#include "support/FakeBook.h"
#include "support/PumpEvents.h"
#include "support/SettledForm.h"
#include "support/TempFolder.h"
#include "viewer/ui/ImageViewFrame.h"

namespace {

using enum TActionId;

class ImageWindowTest : public ::testing::Test {
protected:
    void Start(const std::vector<std::string>& args)
    {
        fCore = fProgram.Start(args, TLoaders::ldFake);
        fForm = ShowSettledForm(*fCore, fMessages, QSize(500, 400));
        fForm->Settle(10000);
    }

    void TearDown() override
    {
        fForm.reset();
        fCore.reset();
    }

    // A book of six pages shown as a spread; whether two pages of their own show.
    bool StartSpread()
    {
        fProgram.WriteBook(6);
        Start({"book"});
        if (!fForm->RunAction(actSpread))
            return false;
        fForm->Settle(10000);
        return !fForm->Model().PageFile(1).empty() && fForm->Model().PageFile(0) != fForm->Model().PageFile(1);
    }

    std::string Shown() const { return ExtractFileName(fForm->Model().ShownFile()); }
    QSplitter* ImagePane() const { return fForm->findChild<QSplitter*>("splFile2"); }
    bool ViewInBrowserPane() const { return ImagePane()->indexOf(fForm->View()) >= 0; }
    bool ViewInWindow() const
    {
        const TImageWindowForm* window = fForm->ImageWindow();
        return window && window->isAncestorOf(fForm->View()) && window->centralWidget() == fForm->View();
    }

    TFakeProgram fProgram;
    TTempFolder& fTree = fProgram.Tree;
    std::unique_ptr<TAppCore> fCore;
    std::unique_ptr<TMainForm> fForm;
    std::vector<std::string> fMessages;
};

}  // namespace

// The one view moves into the separate window and back; the window's menu
// bar holds the browser's own actions, and a key pressed there runs the
// browser's command.
TEST_F(ImageWindowTest, ViewMovesToItsOwnWindowAndBack)
{
    fProgram.WriteBook(6);
    Start({"book"});
    ASSERT_EQ(Shown(), "0.fake");
    ASSERT_TRUE(ViewInBrowserPane());
    TImageViewFrame* view = fForm->View();

    ASSERT_TRUE(fForm->RunAction(actViewForm));
    TImageWindowForm* window = fForm->ImageWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(fForm->View(), view);
    EXPECT_TRUE(ViewInWindow());
    EXPECT_FALSE(ViewInBrowserPane());
    // With only the image in it, the browser's image panel gives its room up.
    EXPECT_FALSE(ImagePane()->isVisible());
    EXPECT_TRUE(fForm->Action(actViewForm)->isChecked());
    EXPECT_TRUE(fForm->Model().ViewStates().ViewForm);
    EXPECT_TRUE(fForm->Action(actActiveChange)->isEnabled());

    const QMenu* move = window->menuBar()->findChild<QMenu*>("移動(M)");
    ASSERT_NE(move, nullptr);
    EXPECT_TRUE(move->actions().contains(fForm->Action(actNext)));
    const QMenu* browserMove = fForm->menuBar()->findChild<QMenu*>("移動(M)", Qt::FindDirectChildrenOnly);
    ASSERT_NE(browserMove, nullptr);
    EXPECT_FALSE(browserMove->menuAction()->isVisible());
    EXPECT_TRUE(move->menuAction()->isVisible());

    // A key pressed anywhere in the window goes the browser's way: Down
    // turns to the next spread.
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &down);
    EXPECT_TRUE(down.isAccepted());
    // The turn's pictures are gathered off the window's thread.
    ASSERT_TRUE(PumpUntil([this] { return !fForm->Model().Viewer().StepPending(); }));
    EXPECT_EQ(Shown(), "2.fake");
    EXPECT_EQ(window->windowTitle().toStdString().find("2.fake") != std::string::npos, true)
        << window->windowTitle().toStdString();

    // The window's menu bar follows the image menu command.
    ASSERT_TRUE(window->menuBar()->isVisibleTo(window));
    ASSERT_TRUE(fForm->RunAction(actImageMenu));
    EXPECT_FALSE(window->menuBar()->isVisibleTo(window));
    EXPECT_FALSE(fForm->Model().ViewStates().ImageMenu);
    ASSERT_TRUE(fForm->RunAction(actImageMenu));
    EXPECT_TRUE(window->menuBar()->isVisibleTo(window));

    // Back: the same view in the browser's pane, the picture still shown.
    ASSERT_TRUE(fForm->RunAction(actViewForm));
    EXPECT_EQ(fForm->ImageWindow(), nullptr);
    EXPECT_EQ(fForm->View(), view);
    EXPECT_TRUE(ViewInBrowserPane());
    EXPECT_TRUE(view->isVisibleTo(fForm.get()));
    EXPECT_TRUE(browserMove->menuAction()->isVisible());
    EXPECT_EQ(Shown(), "2.fake");
    EXPECT_FALSE(fForm->Action(actActiveChange)->isEnabled());
    // The window goes with the events already queued.
    const QPointer<TImageWindowForm> gone(window);
    EXPECT_TRUE(PumpUntil([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return gone.isNull();
    }));
}

// Closing the window forgets the picture, keeps the arrangement and the
// rectangle; the next picture opens a window where the last one was.
TEST_F(ImageWindowTest, ClosedWindowForgetsThePictureAndTheNextOneOpensWhereItWas)
{
    fProgram.WriteBook(4);
    fTree.Write("data/Mireva.ini", "[VIEW]\nViewForm=1\n[IMAGEWINDOW]\nLeft=30\nTop=40\nWidth=320\nHeight=240\n");
    Start({"book"});
    // Kept separate: the start's picture made the window.
    TImageWindowForm* window = fForm->ImageWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(ViewInWindow());
    const TScreenInfo screens = fForm->ScreenInfo();
    const QRect opened = window->geometry();
    EXPECT_EQ(opened.width(), ToPixels(320, screens.Scale));
    EXPECT_EQ(opened.height(), ToPixels(240, screens.Scale));

    window->resize(ToPixels(300, screens.Scale), ToPixels(200, screens.Scale));
    window->close();
    EXPECT_EQ(fForm->ImageWindow(), nullptr);
    EXPECT_TRUE(fForm->Action(actViewForm)->isChecked());
    EXPECT_EQ(fForm->Model().ShownFile(), "");
    EXPECT_FALSE(ViewInBrowserPane());
    const TIniFile ini(fTree.File("data/Mireva.ini"));
    EXPECT_EQ(ini.ReadInteger("IMAGEWINDOW", "Width", 0), 300);
    EXPECT_EQ(ini.ReadInteger("IMAGEWINDOW", "Height", 0), 200);
    EXPECT_FALSE(ini.ReadBool("IMAGEWINDOW", "Max", true));

    fForm->Model().OpenPathFromUser(fTree.File("work/book/1.fake"));
    window = fForm->ImageWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Shown(), "1.fake");
    EXPECT_EQ(window->size(), QSize(ToPixels(300, screens.Scale), ToPixels(200, screens.Scale)));
    EXPECT_TRUE(ViewInWindow());

    // Ending the program keeps the shown picture for the last location.
    fForm->close();
    const TIniFile after(fTree.File("data/Mireva.ini"));
    EXPECT_EQ(after.ReadString("STATE", "ImagePath", ""), fTree.File("work/book/1.fake"));
    EXPECT_TRUE(after.ReadBool("VIEW", "ViewForm", false));
}

// Switching with nothing shown makes no window yet; files dropped on the
// window open in the browser; full screen takes the image window.
TEST_F(ImageWindowTest, NoWindowWithoutAPictureThenDropsAndFullScreenGoThroughTheBrowser)
{
    fTree.Write("work/empty/readme.txt", "none");
    fTree.Write("elsewhere/2.fake", FakePage(2));
    fTree.Write("elsewhere/3.fake", FakePage(3));
    Start({"empty"});
    ASSERT_TRUE(fForm->RunAction(actViewForm));
    EXPECT_EQ(fForm->ImageWindow(), nullptr);
    EXPECT_FALSE(ViewInBrowserPane());
    EXPECT_TRUE(fForm->Files()->isVisible());

    fForm->Model().OpenPathFromUser(fTree.File("elsewhere/2.fake"));
    TImageWindowForm* window = fForm->ImageWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Shown(), "2.fake");

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(fTree.File("elsewhere/3.fake")))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
    EXPECT_EQ(Shown(), "3.fake");
    EXPECT_EQ(fForm->ImageWindow(), window);

    ASSERT_TRUE(fForm->RunAction(actFullScreen));
    EXPECT_TRUE(window->windowState().testFlag(Qt::WindowFullScreen));
    EXPECT_FALSE(fForm->windowState().testFlag(Qt::WindowFullScreen));
    // The browser keeps its panes; the arrangement cannot change meanwhile.
    EXPECT_TRUE(fForm->Files()->isVisible());
    EXPECT_FALSE(fForm->Action(actViewForm)->isEnabled());
    // Closing the window ends its full screen first.
    window->close();
    EXPECT_FALSE(fForm->Action(actFullScreen)->isChecked());
    EXPECT_TRUE(fForm->Action(actViewForm)->isEnabled());
}

// Started separate, the view comes back beside the tree at the width kept
// for it; the tree's width over the whole window is never kept.
TEST_F(ImageWindowTest, ViewComesBackBesideTheTreeAtItsKeptWidth)
{
    fProgram.WriteBook(2);
    fTree.Write("data/Mireva.ini", "[VIEW]\nViewForm=1\n[STATE]\nFolderSplitter=150\n");
    Start({"book"});
    ASSERT_NE(fForm->ImageWindow(), nullptr);
    const QSplitter* tree = fForm->findChild<QSplitter*>("splTree");
    ASSERT_NE(tree, nullptr);
    const int kept = ToPixels(150, fForm->ScreenInfo().Scale);

    ASSERT_TRUE(fForm->RunAction(actViewForm));
    EXPECT_TRUE(PumpUntil([&] { return tree->sizes().value(0) == kept; }, 2000)) << tree->sizes().value(0);
    EXPECT_TRUE(PumpUntil([&] { return fForm->View()->width() > 200; }, 2000)) << fForm->View()->width();

    ASSERT_TRUE(fForm->RunAction(actViewForm));
    fForm->close();
    const TIniFile ini(fTree.File("data/Mireva.ini"));
    EXPECT_EQ(ini.ReadInteger("STATE", "FolderSplitter", 0), 150);
}

namespace {

// Where the image view's context menu opens, what it must and must not
// show there, and the item chosen with the page whose file its command must
// act on (-1: the page the command falls back to without one).
struct TImagePopupCase {
    const char* Name;
    int Opened;  // 0 or 1: right click over that page; -1: off the pages; 2: the menu key; 3: Shift+F10
    std::vector<QString> Shown;
    std::vector<QString> Hidden;
    QString Choose;
    int ActedOn = 0;
};

void PrintTo(const TImagePopupCase& c, std::ostream* out)
{
    *out << c.Name;
}

class ImagePopupTest : public ImageWindowTest, public ::testing::WithParamInterface<TImagePopupCase> {
protected:
    // A point of the view's area over page (0 or 1), or off both (-1).
    QPoint PointOn(int page) const
    {
        const TPageLayout& layout = fForm->Model().Viewer().Layout();
        if (page >= 0) {
            const TRect rect = layout.PageRect(page);
            return {(rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2};
        }
        const QWidget* area = fForm->View()->Area();
        for (const QPoint corner : {QPoint(1, 1), QPoint(area->width() - 2, area->height() - 2)})
            if (!layout.PageRect(0).Contains({corner.x(), corner.y()}) &&
                !layout.PageRect(1).Contains({corner.x(), corner.y()}))
                return corner;
        ADD_FAILURE() << "both pages cover the view's corners";
        return {};
    }
};

}  // namespace

TEST_P(ImagePopupTest, ShowsWhatFitsWhereItOpensAndActsOnThatPage)
{
    const TImagePopupCase& c = GetParam();
    ASSERT_TRUE(StartSpread());
    QApplication::clipboard()->clear();
    fForm->Model().Select({}, -1);

    QStringList shown;
    bool opened = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || menu->objectName() != "ImagePopupMenu")
            return;
        opened = true;
        for (QAction* action : menu->actions())
            if (!action->isSeparator())
                shown << action->objectName();
        menu->close();
        for (QAction* action : menu->actions())
            if (action->objectName() == c.Choose)
                action->trigger();
    });
    TImageArea* area = fForm->View()->Area();
    if (c.Opened >= 2) {
        QKeyEvent key(QEvent::KeyPress, c.Opened == 2 ? Qt::Key_Menu : Qt::Key_F10,
                      c.Opened == 2 ? Qt::NoModifier : Qt::ShiftModifier);
        QCoreApplication::sendEvent(area, &key);
    } else {
        const QPointF at = PointOn(c.Opened);
        for (const bool press : {true, false}) {
            QMouseEvent event(press ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, at,
                              area->mapToGlobal(at), Qt::RightButton, press ? Qt::RightButton : Qt::NoButton,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(area, &event);
        }
    }
    ASSERT_TRUE(opened);
    for (const QString& name : c.Shown)
        EXPECT_TRUE(shown.contains(name)) << name.toStdString() << " in " << shown.join('|').toStdString();
    for (const QString& name : c.Hidden)
        EXPECT_FALSE(shown.contains(name)) << name.toStdString();
    if (c.Choose == "pmiPathCopy") {
        EXPECT_EQ(QApplication::clipboard()->text().toStdString(), fForm->Model().PageFile(c.ActedOn));
    } else if (c.Choose == "pmiSelImage") {
        const std::string path = fForm->Model().PageFile(c.ActedOn);
        ASSERT_EQ(fForm->Model().Selection().size(), 1u);
        EXPECT_EQ(fForm->Model().Items()[static_cast<size_t>(fForm->Model().Selection().front())].Path, path);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Places, ImagePopupTest,
    ::testing::Values(
        TImagePopupCase{"PartnerPage",
                        1,
                        {"pmiExecute", "pmiClose", "pmiCopy", "pmiPathCopy", "pmiDelete", "pmiSelImage", "pmiMove"},
                        {"pmiFullScreen", "pmiMainMenu", "pmiSeekBar", "pmiGridSet", "pmiLoupeSet"},
                        "pmiPathCopy",
                        1},
        TImagePopupCase{"PartnerPageSelected", 1, {"pmiSelImage", "pmiNotSelImage"}, {"pmiViewForm"}, "pmiSelImage", 1},
        TImagePopupCase{"PrimaryPage", 0, {"pmiExecute", "pmiApplication", "pmiClipBoard"}, {"pmiTaskTray"}, {}, 0},
        TImagePopupCase{"OffThePages",
                        -1,
                        {"pmiFullScreen", "pmiViewForm", "pmiMainMenu", "pmiImageToolBar", "pmiSeekBar", "pmiMove"},
                        {"pmiExecute", "pmiPathCopy", "pmiSelImage", "pmiImageMenu"},
                        {},
                        0},
        // From the keyboard no page is meant: the command takes the primary.
        TImagePopupCase{"MenuKey", 2, {"pmiPathCopy", "pmiFullScreen", "pmiMainMenu"}, {"pmiImageMenu"},
                        "pmiPathCopy", 0},
        TImagePopupCase{"ShiftF10", 3, {"pmiPathCopy", "pmiFullScreen"}, {"pmiImageMenu"}, {}, 0}),
    [](const ::testing::TestParamInfo<TImagePopupCase>& info) { return std::string(info.param.Name); });

// A page command from a key or the menu bar during a spread asks which file
// it is for: the right one, the left one, both, or none when cancelled.
struct TPageChoiceCase {
    const char* Name;
    const char* Choice;  // the radio button chosen; null cancels
    std::vector<bool> RightLeft;  // the files meant: the right page, then the left one
};

class PageChoiceTest : public ImageWindowTest, public ::testing::WithParamInterface<TPageChoiceCase> {};

TEST_P(PageChoiceTest, PageCommandsAskWhichPageOfTheSpread)
{
    const TPageChoiceCase& c = GetParam();
    ASSERT_TRUE(StartSpread());
    QApplication::clipboard()->setText("before");
    fForm->SetMessageSink(nullptr);
    bool asked = false;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || dialog->objectName() != "PageChoice")
            return;
        asked = true;
        if (c.Choice) {
            dialog->findChild<QRadioButton*>(c.Choice)->setChecked(true);
            static_cast<QDialog*>(dialog)->accept();
        } else {
            static_cast<QDialog*>(dialog)->reject();
        }
    });
    fForm->View()->Area()->setFocus();
    EXPECT_EQ(fForm->RunAction(actPathCopy), c.Choice != nullptr);
    EXPECT_TRUE(asked);
    const bool primaryOnRight = fForm->Model().Viewer().ViewState().Binding != TBinding::bdLeft;
    std::vector<std::string> meant;
    for (const int side : {0, 1})  // 0 right, 1 left
        if (c.RightLeft[static_cast<size_t>(side)])
            meant.push_back(fForm->Model().PageFile((side == 0) == primaryOnRight ? 0 : 1));
    // Both come primary first.
    if (meant.size() == 2 && !primaryOnRight)
        std::swap(meant[0], meant[1]);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), meant.empty() ? "before" : PathCopyText(meant, false));
}

INSTANTIATE_TEST_SUITE_P(Choices, PageChoiceTest,
                         ::testing::Values(TPageChoiceCase{"Right", "rbRight", {true, false}},
                                           TPageChoiceCase{"Left", "rbLeft", {false, true}},
                                           TPageChoiceCase{"Both", "rbBoth", {true, true}},
                                           TPageChoiceCase{"Cancelled", nullptr, {false, false}}),
                         [](const ::testing::TestParamInfo<TPageChoiceCase>& info) { return std::string(info.param.Name); });

// "タスクトレイ収納" takes the separate image window along; without a tray
// (as here) both windows are minimised.
TEST_F(ImageWindowTest, TrayCommandTakesTheImageWindowAlong)
{
    fProgram.WriteBook(2);
    Start({"book"});
    ASSERT_TRUE(fForm->RunAction(actViewForm));
    TImageWindowForm* window = fForm->ImageWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    EXPECT_TRUE(fForm->RunAction(actTaskTray));
    EXPECT_TRUE(PumpUntil([&] { return fForm->isMinimized() && window->isMinimized(); }, 2000));
}
