#include <gtest/gtest.h>

#include "app/Init.h"
#include "app/RegistryPluginSettings.h"
#include "common/IniFile.h"
#include "loading/FileLoader.h"

TEST(RegistryPluginSettings, LoadingHandsThePluginSettingsToTheRegistryAndRebuildsIt)
{
    TLoaderRegistry registry;
    // The scan sees the settings already in place and, like the real one,
    // drops an entry whose plug-in is gone.
    int scans = 0;
    std::string pathAtScan;
    registry.SetPluginScanner([&](TPluginSettings& settings, TPluginScan&) {
        ++scans;
        pathAtScan = settings.SPIPath;
        settings.UseInList.erase(settings.UseInList.begin());
    });
    TRegistryPluginSettings store(registry);
    TOptionLinks links;
    links.Plugins = &store;

    TIniFile ini;
    ini.LoadFromText("[PLUGIN]\nSearchDirs1=0\nSearchDirs3=1\nSPIPath=/opt/spi/\nUseBmpSPI=1\nMacBinary=1\n"
                     "[PLUGIN_USE_IN]\ngone.spi=1\nifpng.spi=0\n[PLUGIN_USE_AM]\naxzip.spi=1\n");
    TOptions options;
    LoadOptions(ini, options, links);

    EXPECT_EQ(scans, 1);
    EXPECT_EQ(pathAtScan, "/opt/spi/");
    const TPluginSettings held = registry.Settings();
    EXPECT_FALSE(held.SearchProgramFolder);
    EXPECT_FALSE(held.SearchSusieFolder);
    EXPECT_TRUE(held.SearchPluginPath);
    EXPECT_TRUE(held.UseBmpSPI);
    EXPECT_TRUE(held.MacBinary);
    ASSERT_EQ(held.UseAmList.size(), 1u);
    EXPECT_EQ(held.UseAmList[0].FileName, "axzip.spi");
    // The bitmap loader was placed after the plug-ins (there are none here).
    EXPECT_EQ(registry.Snapshot()->ImageLoaderCount(), 1);

    // Saving writes what the registry holds after its scan.
    WriteOptions(ini, options, true, links);
    EXPECT_EQ(ini.ReadSectionValues("PLUGIN_USE_IN"),
              (std::vector<std::pair<std::string, std::string>>{{"ifpng.spi", "0"}}));
    EXPECT_EQ(ini.ReadString("PLUGIN", "UseBmpSPI", ""), "1");
}
