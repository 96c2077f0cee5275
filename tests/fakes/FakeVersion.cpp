// A fake plug-in that reports a version text the program does not know; it
// must be ignored however well it behaves otherwise.

#include "FakeCommon.h"

extern "C" {

SPI_EXPORT int32_t GetPluginInfo(int32_t number, char* buffer, int32_t length)
{
    static const char* const texts[] = {"00XX", "Plug-in of another kind", "*.xx", "XX"};
    if (number < 0 || number >= 4)
        return 0;
    return fake::CopyText(texts[number], buffer, length);
}

SPI_EXPORT int32_t IsSupported(const char*, const void*)
{
    return 1;
}

}  // extern "C"
