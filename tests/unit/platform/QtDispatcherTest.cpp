#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QObject>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/qt/QtDispatcher.h"

namespace {

// Spins until done() or ten seconds have passed; false when time ran out.
bool SpinUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

enum class TGone { gnNothing, gnOwnerAfterPost, gnOwnerBeforePost, gnDispatcherAfterPost };

struct TDispatchCase {
    const char* Name;
    TGone Gone;
    bool Runs;
};

class QtDispatcherTest : public ::testing::TestWithParam<TDispatchCase> {};

TEST_P(QtDispatcherTest, RunsOnTheOwnersThreadOnlyWhileBothLive)
{
    const TDispatchCase& row = GetParam();
    auto owner = std::make_unique<QObject>();
    auto dispatcher = std::make_unique<TQtDispatcher>(owner.get());
    std::atomic<int> runs = 0;
    std::thread::id ranOn;
    auto post = [&] {
        std::thread worker([&] {
            dispatcher->Post([&] {
                ranOn = std::this_thread::get_id();
                ++runs;
            });
        });
        worker.join();
    };

    if (row.Gone == TGone::gnOwnerBeforePost)
        owner.reset();
    post();
    EXPECT_EQ(runs, 0) << "queued, not run on the worker";
    if (row.Gone == TGone::gnOwnerAfterPost)
        owner.reset();
    if (row.Gone == TGone::gnDispatcherAfterPost)
        dispatcher.reset();
    QCoreApplication::sendPostedEvents();

    EXPECT_EQ(runs, row.Runs ? 1 : 0);
    if (row.Runs) {
        EXPECT_EQ(ranOn, std::this_thread::get_id());
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, QtDispatcherTest,
                         ::testing::Values(TDispatchCase{"BothLive", TGone::gnNothing, true},
                                           TDispatchCase{"OwnerDiesAfterThePost", TGone::gnOwnerAfterPost, false},
                                           TDispatchCase{"OwnerDiedBeforeThePost", TGone::gnOwnerBeforePost, false},
                                           TDispatchCase{"DispatcherDiesAfterThePost", TGone::gnDispatcherAfterPost,
                                                         false}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(QtDispatcher, OwnerDyingWhileAWorkerPostsRunsNothing)
{
    // The worker keeps posting while the owner is deleted under it: no post
    // may reach the dying receiver, and nothing queued before runs.
    auto owner = std::make_unique<QObject>();
    TQtDispatcher dispatcher(owner.get());
    std::atomic<int> posted = 0;
    std::atomic<int> runs = 0;
    std::atomic<bool> stop = false;
    std::thread worker([&] {
        while (!stop) {
            dispatcher.Post([&] { ++runs; });
            ++posted;
        }
    });
    const bool started = SpinUntil([&] { return posted >= 100; });
    owner.reset();
    const int before = posted;
    const bool continued = SpinUntil([&] { return posted >= before + 100; });
    stop = true;
    worker.join();
    EXPECT_TRUE(started && continued);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(runs, 0);
}

TEST(QtDispatcher, TasksRunInTheOrderPostedAndMayPostMore)
{
    QObject owner;
    TQtDispatcher dispatcher(&owner);
    std::string ran;
    std::thread worker([&] {
        for (char c : std::string("abc"))
            dispatcher.Post([&ran, &dispatcher, c] {
                ran += c;
                if (c == 'a')
                    dispatcher.Post([&ran] { ran += 'd'; });
            });
    });
    worker.join();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(ran, "abcd");
}

}  // namespace
