#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPixmap>
#include <QSlider>
#include <QToolButton>
#include <QUrl>
#include <QWheelEvent>
#include <archive.h>
#include <archive_entry.h>
#include <chrono>
#include <functional>
#include <thread>

#include "app/AppCore.h"
#include "browser/ui/MainForm.h"
#include "base/PathUtils.h"
#include "loading/SPIs.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/SingleInstance.h"
#include "platform/qt/InstanceListener.h"
#include "support/TempFolder.h"
#include "viewer/ui/ImageViewFrame.h"

namespace {

using enum TActionId;

// A picture format only these tests read: "FAKE", width and height (16-bit
// little-endian), a kind (0 colour, 1 gray, 2 palette) and a colour (blue,
// green, red) that fills the whole picture.
enum TFakeKind : uint8_t { fkColor, fkGray, fkPalette };

std::string FakePicture(int width, int height, TFakeKind kind, uint8_t blue, uint8_t green, uint8_t red)
{
    std::string bytes = "FAKE";
    for (int value : {width, height}) {
        bytes += static_cast<char>(value & 0xFF);
        bytes += static_cast<char>(value >> 8);
    }
    bytes += static_cast<char>(kind);
    bytes += static_cast<char>(blue);
    bytes += static_cast<char>(green);
    bytes += static_cast<char>(red);
    return bytes;
}

// Page i of a test book: a colour of its own.
QColor PageColour(int i)
{
    return QColor(40 + i * 20, 200 - i * 20, 60 + (i % 3) * 60);
}

std::string FakePage(int i, int width = 20, int height = 30)
{
    const QColor c = PageColour(i);
    return FakePicture(width, height, fkColor, static_cast<uint8_t>(c.blue()), static_cast<uint8_t>(c.green()),
                       static_cast<uint8_t>(c.red()));
}

std::unique_ptr<TBitmap> DecodeFake(const std::string& bytes)
{
    if (bytes.size() < 12 || bytes.compare(0, 4, "FAKE") != 0)
        return nullptr;
    const auto at = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
    const int width = at(4) | at(5) << 8;
    const int height = at(6) | at(7) << 8;
    const auto kind = static_cast<TFakeKind>(at(8));
    if (width == 0 || height == 0)
        return nullptr;
    auto bitmap = std::make_unique<TBitmap>(width, height, kind == fkColor ? 24 : 8);
    if (kind == fkGray)
        bitmap->SetGrayPalette();
    if (kind == fkPalette)
        bitmap->Palette() = {TRGBQuad{at(9), at(10), at(11), 0}};
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bitmap->ScanLine(y);
        for (int x = 0; x < width; ++x) {
            if (kind == fkColor) {
                row[x * 3] = at(9);
                row[x * 3 + 1] = at(10);
                row[x * 3 + 2] = at(11);
            } else {
                row[x] = kind == fkGray ? at(9) : 0;
            }
        }
    }
    return bitmap;
}

class TFakeLoader : public TImageLoader {
public:
    TFakeLoader()
    {
        Extensions = {"*.fake"};
        Descriptions = {"Fake (*.fake)"};
    }
    bool IsSupported(const std::string&, const uint8_t* header) override
    {
        return std::string_view(reinterpret_cast<const char*>(header), 4) == "FAKE";
    }
    std::unique_ptr<TBitmap> LoadFromFile(const std::string& fileName, int64_t, bool) override
    {
        return DecodeFake(ReadWholeFile(fileName));
    }
    std::unique_ptr<TBitmap> LoadFromStream(TMemoryStream& stream, int64_t, bool) override
    {
        return DecodeFake(std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size())));
    }
    std::unique_ptr<TLoadImage> LoadImage(TMemoryStream&) override { return nullptr; }
};

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

// Writes a zip archive (members stored) with the given files.
void WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& files)
{
    archive* zip = archive_write_new();
    ASSERT_EQ(archive_write_set_format_zip(zip), ARCHIVE_OK);
    ASSERT_EQ(archive_write_open_filename(zip, path.c_str()), ARCHIVE_OK);
    for (const auto& [name, bytes] : files) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, name.c_str());
        archive_entry_set_filetype(entry, AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        archive_entry_set_size(entry, static_cast<la_int64_t>(bytes.size()));
        ASSERT_EQ(archive_write_header(zip, entry), ARCHIVE_OK);
        ASSERT_EQ(archive_write_data(zip, bytes.data(), bytes.size()), static_cast<la_ssize_t>(bytes.size()));
        archive_entry_free(entry);
    }
    ASSERT_EQ(archive_write_close(zip), ARCHIVE_OK);
    archive_write_free(zip);
}

// Processes events until done() or a deadline; false when the deadline won.
bool PumpUntil(const std::function<bool()>& done, int milliseconds = 5000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

enum class TLoaders { ldFake, ldProgram, ldShipped };

// A started viewer over a temporary tree: the core with the chosen loaders
// and the window, shown and settled.
class MainFormTest : public ::testing::Test {
protected:
    void Start(const std::vector<std::string>& args, TLoaders loaders = TLoaders::ldFake,
               TPageScaler* scaler = nullptr)
    {
        TAppFolders folders;
        folders.ProgramFolder = fTree.Path();
        folders.DataFolder = fTree.File("data/");
        folders.WorkingFolder = fTree.File("work/");
        folders.TemporaryBase = fTree.Path();
        folders.TemporaryName = "Mireva";
        ForceDirectories(folders.DataFolder);
        ForceDirectories(folders.WorkingFolder);
        TPluginScanner scanner;
        if (loaders == TLoaders::ldShipped)
            scanner = [](TFileLoaderList& registry) {
                ScanPlugins(registry, TPluginFolders{MIREVA_BIN_DIR "/", ""});
            };
        fCore = std::make_unique<TAppCore>(folders, args, scanner);
        if (loaders == TLoaders::ldFake) {
            fCore->Registry().SetBuiltinFactory([](int kind) -> std::unique_ptr<TImageLoader> {
                return kind == 0 ? std::make_unique<TFakeLoader>() : nullptr;
            });
            fCore->Registry().Reload();
        }
        fForm = std::make_unique<TMainForm>(*fCore, scaler);
        fForm->SetMessageSink([this](const std::string& text, TMessageIcon) { fMessages.push_back(text); });
        bool settled = false;
        fForm->SetSettledHandler([&settled] { settled = true; });
        fForm->resize(400, 300);
        fForm->show();
        ASSERT_TRUE(PumpUntil([&] { return settled; }));
        fForm->Settle(10000);
    }

    // A book of count pages of 20 x 30 (portrait, shown at 100 %: fitting
    // never enlarges) in work/book.
    void WriteBook(int count)
    {
        for (int i = 0; i < count; ++i)
            fTree.Write("work/book/" + std::to_string(i) + ".fake", FakePage(i));
    }

    void TearDown() override
    {
        fForm.reset();
        fCore.reset();
    }

    std::string Shown() const { return ExtractFileName(fForm->ShownFile()); }
    std::string Label() const { return fForm->PageLabel(); }
    std::string Title() const { return fForm->windowTitle().toStdString(); }
    const TPageLayout& Layout() const { return fForm->Viewer().Layout(); }
    QWidget* Area() const { return fForm->View()->Area(); }

    QImage Painted() const { return Area()->grab().toImage(); }
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
    }

    TTempFolder fTree;
    std::unique_ptr<TAppCore> fCore;
    std::unique_ptr<TMainForm> fForm;
    std::vector<std::string> fMessages;
};

}  // namespace

TEST_F(MainFormTest, FolderOpensItsFirstPagesAsASpreadInNameOrder)
{
    fTree.Write("work/book/b.fake", FakePage(1));
    fTree.Write("work/book/A.fake", FakePage(0));
    fTree.Write("work/book/c10.fake", FakePage(3));
    fTree.Write("work/book/c9.fake", FakePage(2));
    fTree.Write("work/book/0.txt", "not a picture");
    Start({"book"});
    EXPECT_EQ(fForm->Images(), (std::vector<std::string>{fTree.File("work/book/A.fake"), fTree.File("work/book/b.fake"),
                                                         fTree.File("work/book/c9.fake"),
                                                         fTree.File("work/book/c10.fake")}));
    EXPECT_EQ(Shown(), "A.fake");
    EXPECT_TRUE(Layout().SpreadActive());
    // Right-bound: the first page on the right, the caption in screen order.
    EXPECT_EQ(Title(), "Mireva - b.fake (20 x 30 x 24bit) [100%]   <<   A.fake (20 x 30 x 24bit) [100%]");
    EXPECT_EQ(Label(), "2・1 / 4");
    EXPECT_EQ(PageCentre(0), PageColour(0));
    EXPECT_EQ(PageCentre(1), PageColour(1));
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
    EXPECT_EQ(PageCentre(0), PageColour(2));
    EXPECT_EQ(PageCentre(1), PageColour(3));
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
    ASSERT_EQ(fForm->Viewer().Shown().Primary, 2);
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
    fForm->Viewer().Layout().ScrollBy(-(content.Width() - client.Width) / 2 - content.Left, 0);
    fForm->Viewer().Layout().ScrollBy(0, -(content.Height() - client.Height) / 2 - content.Top);
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
    EXPECT_EQ(fForm->Viewer().Shown().Primary, 0);
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

TEST_F(MainFormTest, ComicArchiveOpensAtItsBookFolder)
{
    Start({MIREVA_BIN_DIR "/sample/Sample Book.cbz"}, TLoaders::ldShipped);
    EXPECT_EQ(fForm->ShownPlace().Kind, TPlaceKind::pkArchive);
    EXPECT_EQ(fForm->ShownPlace().ArchiveFolder, "Sample Book/");
    const std::vector<std::string> images = fForm->Images();
    ASSERT_EQ(images.size(), 11u);
    EXPECT_EQ(images.front(), "Sample Book/01.jpg");
    EXPECT_EQ(images[5], "Sample Book/06-07.jpg");
    EXPECT_EQ(fForm->ShownFile(), MIREVA_BIN_DIR "/sample/Sample Book.cbz//Sample Book/01.jpg");
    EXPECT_EQ(Label(), "2・1 / 11");
    // The page before the spread picture and the spread picture stand
    // alone: the partner of the first is landscape.
    fForm->RunAction(actNext);
    EXPECT_EQ(Label(), "4・3 / 11");
    fForm->RunAction(actNext);
    EXPECT_EQ(Label(), "5 / 11");
    fForm->RunAction(actNext);
    EXPECT_EQ(Label(), "6 / 11");
    EXPECT_NE(Title().find("06-07.jpg (1200 x 848 x 24bit)"), std::string::npos) << Title();
    fForm->RunAction(actNext);
    EXPECT_EQ(Label(), "8・7 / 11");
    EXPECT_TRUE(fMessages.empty());
}

TEST_F(MainFormTest, ArchiveInsideAnArchiveOpens)
{
    ForceDirectories(fTree.File("work"));
    WriteZip(fTree.File("work/shelf.zip"),
             {{"books/Sample Book.cbz", ReadWholeFile(MIREVA_BIN_DIR "/sample/Sample Book.cbz")},
              {"books/readme.txt", "text"}});
    Start({"shelf.zip/books/Sample Book.cbz"}, TLoaders::ldShipped);
    EXPECT_EQ(fForm->ShownPlace().ArchivePath, fTree.File("work/shelf.zip"));
    EXPECT_EQ(fForm->ShownPlace().ArchiveFolder, "books/Sample Book.cbz//Sample Book/");
    EXPECT_EQ(Label(), "2・1 / 11");
    fForm->RunAction(actLast);
    fForm->Settle(10000);
    EXPECT_EQ(Label(), "11・10 / 11");
    EXPECT_TRUE(fMessages.empty());
}

TEST_F(MainFormTest, DamagedPictureGivesTheNotReadMessage)
{
    fTree.Write("work/book/bad.fake", "FAKE");
    Start({"book"});
    EXPECT_TRUE(Shown().empty());
    ASSERT_EQ(fMessages.size(), 1u);
    EXPECT_EQ(fMessages[0], "'bad.fake' は読み込めませんでした  ");
    EXPECT_EQ(Title(), "Mireva");
}

TEST_F(MainFormTest, WithoutAPathTheWorkingFolderOpens)
{
    fTree.Write("work/here.fake", FakePicture(4, 4, fkGray, 200, 0, 0));
    Start({});
    EXPECT_EQ(Shown(), "here.fake");
    EXPECT_EQ(fForm->ShownPlace().Folder, fTree.File("work/"));
    EXPECT_EQ(Label(), "1 / 1");
}

TEST_F(MainFormTest, FolderWithoutPicturesShowsNothing)
{
    ForceDirectories(fTree.File("work/empty"));
    Start({"empty"});
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(fForm->ShownPlace().Kind, TPlaceKind::pkFolder);
    EXPECT_TRUE(fMessages.empty());
    EXPECT_EQ(PageCentre(0), QColor(Qt::black));
    EXPECT_EQ(Label(), "");
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
    const TBitmap* picture = fForm->Viewer().Primary().Bitmap.get();
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

TEST_F(MainFormTest, RotationTurnsTheShownPicture)
{
    fTree.Write("work/wide.fake", FakePicture(30, 20, fkColor, 1, 2, 3));
    Start({"wide.fake"});
    fForm->RunAction(actR90);
    EXPECT_EQ(fForm->Viewer().Primary().Width(), 20);
    EXPECT_EQ(fForm->Viewer().Primary().Height(), 30);
    // The caption keeps the size as loaded.
    EXPECT_EQ(Title(), "Mireva - wide.fake (30 x 20 x 24bit) [100%]");
}

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
    fForm->Viewer().SetPrefetchListener([&reports](int, bool) { reports.push_back(std::this_thread::get_id()); });
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
    EXPECT_EQ(fForm->ShownPlace().Folder, fTree.File("elsewhere/"));
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
    EXPECT_EQ(fForm->ShownPlace().Folder, fTree.File("other/"));
}

TEST_F(MainFormTest, HandOverWithoutArgumentsChangesNothing)
{
    fTree.Write("work/a/1.fake", FakePicture(4, 4, fkColor, 1, 2, 3));
    Start({"a/1.fake"});
    fForm->HandOver(THandOver{});
    EXPECT_EQ(Shown(), "1.fake");
    EXPECT_FALSE(fForm->isFullScreen());
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

TEST_F(MainFormTest, HandOverSwitchesTheSettingsFileAndTheWindowFollowsIt)
{
    ForceDirectories(fTree.File("work/empty"));
    fTree.Write("work/blue.lys", "[PICTURE]\nBack=$00FF0000\n[IMAGE]\nView=2\n");
    Start({"empty"});
    EXPECT_EQ(PageCentre(0), QColor(Qt::black));
    fForm->HandOver(THandOver{fTree.File("work/"), {"m", "-s", "blue.lys"}});
    EXPECT_EQ(fCore->SettingsPath(), fTree.File("work/blue.lys"));
    EXPECT_EQ(PageCentre(0), QColor(0, 0, 255));
    EXPECT_TRUE(fForm->Action(actSpread)->isChecked());
    EXPECT_TRUE(fMessages.empty());
}

TEST_F(MainFormTest, HandOverIsIgnoredOnceClosing)
{
    fTree.Write("work/a/1.fake", FakePicture(4, 4, fkColor, 1, 2, 3));
    fTree.Write("work/b/2.fake", FakePicture(4, 4, fkColor, 1, 2, 3));
    Start({"a"});
    fForm->close();
    fForm->HandOver(THandOver{fTree.File("work/"), {"m", "b"}});
    EXPECT_EQ(Shown(), "1.fake");
}

TEST_F(MainFormTest, SampleBookFolderLoadsEveryPage)
{
    Start({MIREVA_BIN_DIR "/sample/Sample Book"}, TLoaders::ldProgram);
    ASSERT_EQ(Shown(), "01.bmp");
    std::vector<std::string> names;
    for (const std::string& image : fForm->Images())
        names.push_back(ExtractFileName(image));
    EXPECT_EQ(names, (std::vector<std::string>{"01.bmp", "02.bmp", "03.bmp", "04.bmp", "05.bmp", "06-07.bmp",
                                               "08.bmp", "09.bmp", "10.bmp", "11.bmp", "12.bmp"}));
    fForm->RunAction(actSingle);
    int spreads = 0;
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        fForm->Viewer().GoToIndex(i);
        const TImageSlot& page = fForm->Viewer().Primary();
        ASSERT_TRUE(page.HasBitmap()) << names[static_cast<size_t>(i)];
        EXPECT_EQ(page.Height(), 848);
        if (page.Width() == 2 * 600)
            ++spreads;
        else
            EXPECT_EQ(page.Width(), 600);
    }
    EXPECT_EQ(spreads, 1);
    EXPECT_TRUE(fMessages.empty());
}
