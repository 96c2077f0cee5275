#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "sdk/spi.h"

class SpiMemSizeTest : public ::testing::TestWithParam<size_t> {};

TEST_P(SpiMemSizeTest, ReportsExactSizeAndFreesEverything)
{
    const size_t before = LocalLiveCount();
    HLOCAL block = LocalAlloc(LHND, GetParam());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(LocalSize(block), GetParam());
    auto* bytes = static_cast<uint8_t*>(LocalLock(block));
    ASSERT_NE(bytes, nullptr);
    for (size_t i = 0; i < GetParam(); ++i)
        ASSERT_EQ(bytes[i], 0) << "zero-initialised at " << i;
    if (GetParam() > 0)
        std::memset(bytes, 0xAB, GetParam());
    LocalUnlock(block);
    EXPECT_EQ(LocalLiveCount(), before + 1);
    EXPECT_EQ(LocalFree(block), nullptr);
    EXPECT_EQ(LocalLiveCount(), before);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SpiMemSizeTest, ::testing::Values(0, 1, 13, 428, 4096, size_t(1) << 20));

TEST(SpiMem, ReAllocKeepsContentAndZeroesGrowth)
{
    HLOCAL block = LocalAlloc(LMEM_MOVEABLE, 4);
    std::memcpy(LocalLock(block), "abcd", 4);
    LocalUnlock(block);
    ASSERT_EQ(LocalReAlloc(block, 10, LMEM_ZEROINIT), block);
    EXPECT_EQ(LocalSize(block), 10u);
    const auto* bytes = static_cast<const char*>(LocalLock(block));
    EXPECT_EQ(std::string(bytes, 4), "abcd");
    for (int i = 4; i < 10; ++i)
        EXPECT_EQ(bytes[i], 0);
    LocalUnlock(block);
    ASSERT_EQ(LocalReAlloc(block, 2, 0), block);
    EXPECT_EQ(LocalSize(block), 2u);
    EXPECT_EQ(std::string(static_cast<const char*>(LocalLock(block)), 2), "ab");
    LocalFree(block);
}

TEST(SpiMem, RefusesHandlesItDidNotHandOut)
{
    uint64_t stack[8] = {};
    auto* foreign = reinterpret_cast<HLOCAL>(stack);
    EXPECT_EQ(LocalLock(foreign), nullptr);
    EXPECT_EQ(LocalSize(foreign), 0u);
    EXPECT_EQ(LocalReAlloc(foreign, 100, 0), nullptr);
    EXPECT_EQ(LocalFree(foreign), foreign);
    EXPECT_EQ(stack[0], 0u) << "a foreign handle is never written through";

    HLOCAL block = LocalAlloc(LPTR, 8);
    EXPECT_EQ(LocalFree(block), nullptr);
    EXPECT_EQ(LocalFree(block), block) << "a second free is refused";
    EXPECT_EQ(LocalSize(block), 0u);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

TEST(SpiMem, LockCountsNest)
{
    HLOCAL block = LocalAlloc(LHND, 1);
    LocalLock(block);
    LocalLock(block);
    EXPECT_EQ(LocalUnlock(block), 1) << "still locked once";
    EXPECT_EQ(LocalUnlock(block), 0);
    EXPECT_EQ(LocalUnlock(block), 0) << "unlocking an unlocked block stays at zero";
    LocalFree(block);
}

TEST(SpiMem, ManyThreadsAllocateAndFreeSafely)
{
    const size_t before = LocalLiveCount();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            std::vector<HLOCAL> blocks;
            for (int i = 0; i < 500; ++i) {
                HLOCAL block = LocalAlloc(LPTR, static_cast<size_t>(i + t));
                static_cast<uint8_t*>(LocalLock(block))[0] = 1;
                blocks.push_back(block);
            }
            for (HLOCAL block : blocks)
                LocalFree(block);
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(LocalLiveCount(), before);
}
