// Reads arbitrary bytes as a settings file the way the viewer does (older
// keys converted, derived tables built, plug-in settings taken), then writes
// and reads the options twice. No input may crash. The first write may clean
// things up (line breaks inside texts, names that cannot be keys); after it,
// what is written must read back as exactly the same options.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/Init.h"
#include "app/OptionsDump.h"
#include "app/PluginSettings.h"
#include "common/IniFile.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > MaxFuzzInput)
        return 0;
    TIniFile ini;
    ini.LoadFromText(std::string_view(reinterpret_cast<const char*>(data), size));
    TOptions options;
    TPlainPluginSettings plugins;
    TOptionLinks links;
    links.Plugins = &plugins;
    LoadOptions(ini, options, links, false);
    (void)DumpOptions(options, &plugins.Settings);

    TOptions rounds[2];
    TPlainPluginSettings roundPlugins[2];
    for (int round = 0; round < 2; ++round) {
        WriteOptions(ini, round == 0 ? options : rounds[0], true, links);
        TIniFile again;
        again.LoadFromText(ini.ToText());
        links.Plugins = &roundPlugins[round];
        LoadOptions(again, rounds[round], links, false);
    }
    FUZZ_CHECK(rounds[1] == rounds[0]);
    FUZZ_CHECK(roundPlugins[1].Settings == roundPlugins[0].Settings);
    return 0;
}
