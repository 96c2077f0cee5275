#pragma once

// Shared bits of the fake plug-ins the tests build: a hook the test can set
// to run code inside every plug-in call (to see that the loader lock is
// held), and call counters.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
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

inline void Enter(const char* function)
{
    ++Calls()[function];
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
        auto found = fake::Calls().find(function);                                           \
        return found == fake::Calls().end() ? 0 : found->second;                             \
    }
