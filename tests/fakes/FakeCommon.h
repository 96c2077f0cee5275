#pragma once

// Shared bits of the fake plug-ins the tests build: a hook the test can set
// to run code inside every plug-in call (to see that the loader lock is
// held, or that two threads are inside at once), and call counters. The
// counters are left unguarded in the fakes that do not declare themselves
// thread-safe, so that ThreadSanitizer reports any call made outside the
// loader lock; the one that declares it guards them with a lock of its own.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "sdk/spi.h"

namespace fake {

using THook = void (*)(const char* function);

inline THook& Hook()
{
    static THook hook = nullptr;
    return hook;
}

inline std::map<std::string, int>& Calls()
{
    static std::map<std::string, int> calls;
    return calls;
}

// Held around the counters by the thread-safe fake only.
struct TCallsGuard {
#ifdef FAKE_THREAD_SAFE
    TCallsGuard() { Lock().lock(); }
    ~TCallsGuard() { Lock().unlock(); }
    static std::mutex& Lock()
    {
        static std::mutex lock;
        return lock;
    }
#endif
};

inline void Enter(const char* function)
{
    {
        [[maybe_unused]] const TCallsGuard guard;
        ++Calls()[function];
    }
    if (Hook())
        Hook()(function);
}

inline int32_t CopyText(const char* text, char* buffer, int32_t length)
{
    if (!text || length <= 0)
        return 0;
    const size_t copy = std::min(std::strlen(text), static_cast<size_t>(length - 1));
    std::memcpy(buffer, text, copy);
    buffer[copy] = 0;
    return static_cast<int32_t>(copy);
}

}  // namespace fake

#define FAKE_TEST_EXPORTS                                                                    \
    extern "C" SPI_EXPORT void FakeSetCallHook(fake::THook hook) { fake::Hook() = hook; }     \
    extern "C" SPI_EXPORT int32_t FakeCallCount(const char* function)                        \
    {                                                                                        \
        [[maybe_unused]] const fake::TCallsGuard guard;                                      \
        auto found = fake::Calls().find(function);                                           \
        return found == fake::Calls().end() ? 0 : found->second;                             \
    }
