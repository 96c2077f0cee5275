#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "support/TempFolder.h"
#include "unit/cli/RunCli.h"

namespace {

TCliRun Cli(const TTempFolder& home, const std::string& args)
{
    return RunCli(home.Path(), args);
}

TEST(CliMedia, CatalogueShowCompareAndReload)
{
    TTempFolder home;
    home.Write("disc/a/one.jpg", "12345");
    home.Write("disc/top.jpg", "x");
    const std::string disc = "'" + home.File("disc") + "'";

    EXPECT_EQ(Cli(home, "media add " + disc + " --name 'My/Disc' --label DISC --serial 1a2b-3c4d --type 7").Out,
              "'My/Disc': 2 files, 1 folders\n");
    EXPECT_NE(Cli(home, "media add " + disc + " --name my/disc").ExitCode, 0);
    EXPECT_NE(Cli(home, "media add " + disc + " --serial xyz").ExitCode, 0);
    const std::string list = Cli(home, "media list").Out;
    EXPECT_EQ(list.substr(0, list.find('\t', list.find("7\t"))), "My/Disc\tDISC\t1A2B-3C4D\t7");

    const TCliRun top = Cli(home, "media show my/disc");
    ASSERT_EQ(top.ExitCode, 0);
    EXPECT_EQ(top.Out.substr(0, top.Out.find('\t')), "a/");
    EXPECT_NE(top.Out.find("top.jpg\t1\t"), std::string::npos);
    EXPECT_EQ(Cli(home, "media show My/Disc a").Out.substr(0, 10), "one.jpg\t5\t");
    EXPECT_NE(Cli(home, "media show My/Disc nowhere").ExitCode, 0);

    EXPECT_EQ(Cli(home, "media diff My/Disc " + disc).Out, "");
    home.Write("disc/a/one.jpg", "123456");
    home.Write("disc/new.jpg", "n");
    ASSERT_EQ(unlink(home.File("disc/top.jpg").c_str()), 0);
    EXPECT_EQ(Cli(home, "media diff My/Disc " + disc).Out, "changed\ta/one.jpg\nadded\tnew.jpg\nremoved\ttop.jpg\n");
    EXPECT_EQ(Cli(home, "media reload My/Disc " + disc).ExitCode, 0);
    EXPECT_EQ(Cli(home, "media diff My/Disc " + disc).Out, "");

    // A damaged catalogue shows what could be read and says so by its exit code.
    std::string bytes = home.Read("home/Media/My%2FDisc.mf");
    bytes.resize(bytes.size() - 5);
    home.Write("home/Media/My%2FDisc.mf", bytes);
    const TCliRun damaged = Cli(home, "media show My/Disc");
    EXPECT_EQ(damaged.ExitCode, 1);
    EXPECT_NE(damaged.Err.find("damaged"), std::string::npos);

    EXPECT_EQ(Cli(home, "media delete My/Disc").ExitCode, 0);
    EXPECT_EQ(Cli(home, "media list").Out, "");
}

}  // namespace
