// A page turned to whose decoding takes long never holds the window: the
// decode runs on a worker, the window's events go on meanwhile, and the page
// appears once its pixels are there. The loader here holds one page's decode until
// the test lets it go (ten seconds at most, so that a window that waits
// fails the test instead of hanging it).

#include <gtest/gtest.h>

#include <QApplication>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "app/AppCore.h"
#include "base/PathUtils.h"
#include "browser/ui/MainForm.h"
#include "support/FakeBook.h"
#include "support/PumpEvents.h"
#include "support/SettledForm.h"

namespace {

using enum TActionId;

class THeldPage {
public:
    // The first freePasses decodes of the page go through unheld.
    explicit THeldPage(std::string name, int freePasses = 0) : fName(std::move(name)), fFreePasses(freePasses) {}

    // Called by the loader on whichever thread decodes.
    void Passing(const std::string& fileName)
    {
        if (ExtractFileName(fileName) != fName || fFreePasses-- > 0)
            return;
        if (QThread::currentThread() == QCoreApplication::instance()->thread())
            OnWindowThread = true;
        std::unique_lock lock(fMutex);
        fWaiting = true;
        fChanged.wait_for(lock, std::chrono::seconds(10), [this] { return fOpen; });
        fWaiting = false;
    }
    bool Waiting()
    {
        std::lock_guard lock(fMutex);
        return fWaiting;
    }
    void Open()
    {
        std::lock_guard lock(fMutex);
        fOpen = true;
        fChanged.notify_all();
    }

    std::atomic<bool> OnWindowThread = false;

private:
    const std::string fName;
    std::atomic<int> fFreePasses;
    std::mutex fMutex;  // guards fOpen and fWaiting
    std::condition_variable fChanged;
    bool fOpen = false;
    bool fWaiting = false;
};

class THeldLoader : public TFakeLoader {
public:
    explicit THeldLoader(std::shared_ptr<THeldPage> held) : fHeld(std::move(held)) {}
    std::unique_ptr<TBitmap> LoadFromFile(const std::string& fileName, int64_t offset, bool dialog) override
    {
        fHeld->Passing(fileName);
        return TFakeLoader::LoadFromFile(fileName, offset, dialog);
    }

private:
    std::shared_ptr<THeldPage> fHeld;
};

// A book of twelve pages whose loader holds one page's decode (after
// freePasses decodes of it go through).
class ResponsiveView : public ::testing::Test {
protected:
    void Start(const std::string& heldPage, int freePasses = 0)
    {
        fProgram.WriteBook(12);
        fCore = fProgram.Start({"book"});
        fHeld = std::make_shared<THeldPage>(heldPage, freePasses);
        fCore->Registry().SetBuiltinFactory([held = fHeld]() -> std::unique_ptr<TImageLoader> {
            return std::make_unique<THeldLoader>(held);
        });
        fCore->Registry().Reload();
    }
    // Once the decode is held: the window's timers still fire.
    void ExpectTheWindowRuns()
    {
        ASSERT_TRUE(PumpUntil([&] { return fHeld->Waiting(); }));
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
        timer.start(1);
        EXPECT_TRUE(PumpUntil([&] { return ticks >= 5 || !fHeld->Waiting(); }));
        EXPECT_TRUE(fHeld->Waiting()) << "the window waited for the decode";
    }

    TFakeProgram fProgram;
    std::unique_ptr<TAppCore> fCore;
    std::shared_ptr<THeldPage> fHeld;
    std::vector<std::string> fMessages;
};

TEST_F(ResponsiveView, APageTurnedToThatStillDecodesNeverHoldsTheWindow)
{
    Start("11.fake");
    const std::unique_ptr<TMainForm> form = ShowSettledForm(*fCore, fMessages);
    ASSERT_EQ(ExtractFileName(form->Model().ShownFile()), "0.fake");

    ASSERT_TRUE(form->RunAction(actLast));
    ExpectTheWindowRuns();
    // Its commands still run.
    EXPECT_TRUE(form->RunAction(actSpread));
    fHeld->Open();
    EXPECT_TRUE(form->Settle(10000));
    EXPECT_EQ(ExtractFileName(form->Model().ShownFile()), "11.fake");
    EXPECT_FALSE(fHeld->OnWindowThread);
}

// Opening a book whose first picture is slow to decode: the window runs on
// at once, the page label names the page already, and the picture shows
// once decoded.
TEST_F(ResponsiveView, AFirstPictureStillDecodingShowsItsLabelAndComesLater)
{
    Start("0.fake");
    TMainForm form(*fCore);
    form.SetMessageSink([this](const std::string& text, TMessageIcon) { fMessages.push_back(text); });
    bool settled = false;
    form.SetSettledHandler([&settled] { settled = true; });
    form.resize(400, 300);
    form.show();
    ExpectTheWindowRuns();
    EXPECT_FALSE(settled) << "settled before the first picture showed";
    EXPECT_FALSE(form.Model().Viewer().Primary().HasBitmap());
    EXPECT_EQ(form.Model().PageLabel(), "1 / 12");
    fHeld->Open();
    EXPECT_TRUE(PumpUntil([&] { return settled; }));
    EXPECT_EQ(ExtractFileName(form.Model().ShownFile()), "0.fake");
    EXPECT_FALSE(fHeld->OnWindowThread);
    EXPECT_TRUE(fMessages.empty());
}

// A rotation loads the shown page again: on a worker too, the window running
// on meanwhile, as for an opened page.
TEST_F(ResponsiveView, APageLoadedAgainForARotationNeverHoldsTheWindow)
{
    Start("0.fake", 1);
    const std::unique_ptr<TMainForm> form = ShowSettledForm(*fCore, fMessages);
    ASSERT_EQ(ExtractFileName(form->Model().ShownFile()), "0.fake");

    ASSERT_TRUE(form->RunAction(actR90));
    ExpectTheWindowRuns();
    EXPECT_EQ(form->Model().PageLabel(), "1 / 12");
    fHeld->Open();
    EXPECT_TRUE(form->Settle(10000));
    EXPECT_EQ(ExtractFileName(form->Model().ShownFile()), "0.fake");
    EXPECT_EQ(form->Model().Viewer().ViewState().Rotation, TRotation::rtRight90);
    EXPECT_FALSE(fHeld->OnWindowThread);
}

}  // namespace
