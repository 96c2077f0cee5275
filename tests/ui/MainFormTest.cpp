#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPixmap>
#include <chrono>
#include <functional>
#include <thread>

#include "app/AppCore.h"
#include "browser/ui/MainForm.h"
#include "browser/ui/PictureView.h"
#include "common/PathUtils.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/SingleInstance.h"
#include "platform/qt/InstanceListener.h"
#include "support/TempFolder.h"

namespace {

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
        const std::string bytes = ReadWholeFile(fileName);
        if (bytes.size() < 12)
            return nullptr;
        const auto at = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
        const int width = at(4) | at(5) << 8;
        const int height = at(6) | at(7) << 8;
        const auto kind = static_cast<TFakeKind>(at(8));
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
    std::unique_ptr<TBitmap> LoadFromStream(TMemoryStream&, int64_t, bool) override { return nullptr; }
    std::unique_ptr<TLoadImage> LoadImage(TMemoryStream&) override { return nullptr; }
};

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

// A started viewer over a temporary tree: the core with the fake format as
// its only loader, and the window, shown and settled.
class MainFormTest : public ::testing::Test {
protected:
    // fake: the fake format is the only one read; else the program's own
    // loaders.
    void Start(const std::vector<std::string>& args, bool fake = true)
    {
        TAppFolders folders;
        folders.ProgramFolder = fTree.Path();
        folders.DataFolder = fTree.File("data/");
        folders.WorkingFolder = fTree.File("work/");
        folders.TemporaryBase = fTree.Path();
        folders.TemporaryName = "Mireva";
        ForceDirectories(folders.DataFolder);
        ForceDirectories(folders.WorkingFolder);
        fCore = std::make_unique<TAppCore>(folders, args);
        if (fake) {
            fCore->Registry().SetBuiltinFactory([](int kind) -> std::unique_ptr<TImageLoader> {
                return kind == 0 ? std::make_unique<TFakeLoader>() : nullptr;
            });
            fCore->Registry().Reload();
        }
        fForm = std::make_unique<TMainForm>(*fCore);
        fForm->SetMessageSink([this](const std::string& text, TMessageIcon) { fMessages.push_back(text); });
        bool settled = false;
        fForm->SetSettledHandler([&settled] { settled = true; });
        fForm->resize(400, 300);
        fForm->show();
        ASSERT_TRUE(PumpUntil([&] { return settled; }));
    }

    void TearDown() override
    {
        fForm.reset();
        fCore.reset();
    }

    std::string Shown() const { return ExtractFileName(fForm->ShownFile()); }

    // The colour at the centre of the window as painted.
    QColor CentreColour() const
    {
        const QImage shot = fForm->View()->grab().toImage();
        return shot.pixelColor(shot.width() / 2, shot.height() / 2);
    }

    void Key(int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(fForm.get(), &press);
    }

    TTempFolder fTree;
    std::unique_ptr<TAppCore> fCore;
    std::unique_ptr<TMainForm> fForm;
    std::vector<std::string> fMessages;
};

}  // namespace

TEST_F(MainFormTest, FolderShowsItsFirstPictureInNameOrder)
{
    fTree.Write("work/book/b.fake", FakePicture(20, 30, fkColor, 0, 0, 255));
    fTree.Write("work/book/A.fake", FakePicture(20, 30, fkColor, 255, 0, 0));
    fTree.Write("work/book/0.txt", "not a picture");
    Start({"book"});
    EXPECT_EQ(Shown(), "A.fake");
    EXPECT_EQ(fForm->Images().size(), 2u);
    EXPECT_EQ(CentreColour(), QColor(0, 0, 255));
    EXPECT_EQ(fForm->windowTitle(), "A.fake - Mireva");
    EXPECT_EQ(fCore->State(), TAppState::asReady);
}

TEST_F(MainFormTest, FileShowsThatPictureAndKeysStepThroughTheFolder)
{
    for (const char* name : {"01.fake", "02.fake", "03.fake"})
        fTree.Write(std::string("work/book/") + name, FakePicture(8, 8, fkColor, 10, 20, 30));
    Start({"book/02.fake"});
    EXPECT_EQ(Shown(), "02.fake");
    Key(Qt::Key_Right);
    EXPECT_EQ(Shown(), "03.fake");
    Key(Qt::Key_Space);
    EXPECT_EQ(Shown(), "03.fake") << "the last picture stays";
    Key(Qt::Key_Home);
    EXPECT_EQ(Shown(), "01.fake");
    Key(Qt::Key_Left);
    EXPECT_EQ(Shown(), "01.fake") << "the first picture stays";
    Key(Qt::Key_End);
    EXPECT_EQ(Shown(), "03.fake");
}

TEST_F(MainFormTest, DamagedPictureGivesTheNotReadMessage)
{
    fTree.Write("work/book/bad.fake", "FAKE");
    Start({"book"});
    EXPECT_TRUE(Shown().empty());
    ASSERT_EQ(fMessages.size(), 1u);
    EXPECT_EQ(fMessages[0], "'bad.fake' は読み込めませんでした  ");
    EXPECT_EQ(fForm->windowTitle(), "Mireva");
}

TEST_F(MainFormTest, WithoutAPathTheWorkingFolderOpens)
{
    fTree.Write("work/here.fake", FakePicture(4, 4, fkGray, 200, 0, 0));
    Start({});
    EXPECT_EQ(Shown(), "here.fake");
    EXPECT_EQ(fForm->ShownPlace().Folder, fTree.File("work/"));
}

TEST_F(MainFormTest, FolderWithoutPicturesShowsNothing)
{
    ForceDirectories(fTree.File("work/empty"));
    Start({"empty"});
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(fForm->ShownPlace().Kind, TPlaceKind::pkFolder);
    EXPECT_TRUE(fMessages.empty());
    EXPECT_EQ(CentreColour(), QColor(Qt::black));
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
    const TBitmap* picture = fForm->View()->Picture();
    ASSERT_NE(picture, nullptr);
    // Prepared: 24-bit, or 8-bit gray with the identity palette.
    EXPECT_TRUE(picture->BitsPerPixel() == 24 || picture->IsGray());
    EXPECT_EQ(CentreColour(), row.Expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, MainFormPaintTest,
                         ::testing::Values(TPaintCase{"Colour", fkColor, 0x10, 0x80, 0xF0, QColor(0xF0, 0x80, 0x10)},
                                           TPaintCase{"Gray", fkGray, 0x64, 0, 0, QColor(0x64, 0x64, 0x64)},
                                           TPaintCase{"Palette", fkPalette, 0x20, 0x40, 0x60,
                                                      QColor(0x60, 0x40, 0x20)}),
                         [](const auto& info) { return std::string(info.param.Name); });

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
    fTree.Write("work/blue.lys", "[PICTURE]\nBack=$00FF0000\n");
    Start({"empty"});
    EXPECT_EQ(CentreColour(), QColor(Qt::black));
    fForm->HandOver(THandOver{fTree.File("work/"), {"m", "-s", "blue.lys"}});
    EXPECT_EQ(fCore->SettingsPath(), fTree.File("work/blue.lys"));
    EXPECT_EQ(CentreColour(), QColor(0, 0, 255));
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

TEST_F(MainFormTest, SampleBookOpensOnItsCoverAndEveryPageLoads)
{
    Start({MIREVA_BIN_DIR "/sample/Sample Book"}, false);
    ASSERT_EQ(Shown(), "01.bmp");
    std::vector<std::string> names;
    for (const std::string& image : fForm->Images())
        names.push_back(ExtractFileName(image));
    EXPECT_EQ(names, (std::vector<std::string>{"01.bmp", "02.bmp", "03.bmp", "04.bmp", "05.bmp", "06-07.bmp",
                                               "08.bmp", "09.bmp", "10.bmp", "11.bmp", "12.bmp"}));
    int spreads = 0;
    for (size_t i = 0; i < fForm->Images().size(); ++i) {
        fForm->ShowImageAt(static_cast<int>(i));
        const TBitmap* page = fForm->View()->Picture();
        ASSERT_NE(page, nullptr) << fForm->Images()[i];
        EXPECT_EQ(page->Height(), 848);
        if (page->Width() == 2 * 600)
            ++spreads;
        else
            EXPECT_EQ(page->Width(), 600);
    }
    EXPECT_EQ(spreads, 1);
    EXPECT_EQ(Shown(), "12.bmp");
    EXPECT_TRUE(fMessages.empty());
}

struct TFitCase {
    const char* Name;
    QSize Picture;
    QSize Area;
    QRect Expected;
};

class FitRectTest : public ::testing::TestWithParam<TFitCase> {};

TEST_P(FitRectTest, FitsWithTheAspectRatioKept)
{
    EXPECT_EQ(TPictureView::FitRect(GetParam().Picture, GetParam().Area), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FitRectTest,
    ::testing::Values(TFitCase{"PortraitInLandscape", {600, 848}, {800, 600}, {187, 0, 425, 600}},
                      TFitCase{"LandscapeInPortrait", {1200, 848}, {600, 848}, {0, 212, 600, 424}},
                      TFitCase{"SmallPictureIsEnlarged", {10, 10}, {100, 50}, {25, 0, 50, 50}},
                      TFitCase{"SameShape", {300, 200}, {600, 400}, {0, 0, 600, 400}},
                      TFitCase{"OnePixelHighPictureKeepsOneRow", {10000, 1}, {100, 100}, {0, 49, 100, 1}},
                      TFitCase{"EmptyPicture", {0, 0}, {100, 100}, {}},
                      TFitCase{"EmptyArea", {10, 10}, {0, 100}, {}}),
    [](const auto& info) { return std::string(info.param.Name); });
