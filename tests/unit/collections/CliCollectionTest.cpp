#include <gtest/gtest.h>

#include <string>

#include "support/TempFolder.h"
#include "unit/cli/RunCli.h"

namespace {

// Runs mireva-cli with a private data folder.
TCliRun Cli(const TTempFolder& home, const std::string& args)
{
    return RunCli(home.Path(), args);
}

TEST(CliCollections, ShelfCommandsShareTheShelfFile)
{
    TTempFolder home;
    home.Write("pics/a.jpg", "x");
    home.Write("pics/sub/b.jpg", "x");
    const std::string pics = home.File("pics");

    EXPECT_EQ(Cli(home, "shelf add Books '" + pics + "' '" + pics + "/a.jpg' '" + pics + "/a.jpg'").Out,
              "2 added to 'Books'\n");
    EXPECT_EQ(Cli(home, "shelf add books '" + pics + "/a.jpg'").Out, "0 added to 'Books'\n");
    EXPECT_EQ(Cli(home, "shelf list").Out, "Books\t2\t\n");
    EXPECT_EQ(Cli(home, "shelf show BOOKS").Out, pics + "/\n" + pics + "/a.jpg\n");
    EXPECT_NE(Cli(home, "shelf add Books '" + pics + "/none.jpg'").ExitCode, 0);
    EXPECT_NE(Cli(home, "shelf show Missing").ExitCode, 0);
    EXPECT_NE(Cli(home, "shelf add '  ' '" + pics + "'").ExitCode, 0);
    EXPECT_NE(Cli(home, "shelf add '" + std::string(51, 'n') + "' '" + pics + "'").ExitCode, 0);
    EXPECT_EQ(Cli(home, "shelf add '" + std::string(50, 'n') + "' '" + pics + "'").ExitCode, 0);
    EXPECT_EQ(Cli(home, "shelf list").Out, "Books\t2\t\n" + std::string(50, 'n') + "\t1\t\n");

    EXPECT_EQ(Cli(home, "shelf export Books '" + home.File("out.txt") + "'").ExitCode, 0);
    EXPECT_EQ(home.Read("out.txt"), pics + "\n" + pics + "/a.jpg\n");
    home.Write("in.txt", pics + "/sub/b.jpg\n" + pics + "/a.jpg\n");
    EXPECT_EQ(Cli(home, "shelf import Other '" + home.File("in.txt") + "'").Out, "2 added to 'Other'\n");
    EXPECT_EQ(Cli(home, "shelf list").Out, "Books\t2\t\n" + std::string(50, 'n') + "\t1\t\nOther\t2\t\n");
}

TEST(CliCollections, ShelfCommandsReportWhatTheyCouldNotDo)
{
    TTempFolder home;
    for (const char* name : {"u/caf\xE9.jpg", "u/日本.jpg", "u/plain.jpg"})
        home.Write(name, "x");
    const std::string u = home.File("u");
    EXPECT_EQ(Cli(home, "shelf add U '" + u + "/caf\xE9.jpg' '" + u + "/日本.jpg' '" + u + "/plain.jpg'").ExitCode, 0);
    EXPECT_EQ(Cli(home, "shelf export U '" + home.File("u.txt") + "'").ExitCode, 0);
    EXPECT_EQ(Cli(home, "shelf import V '" + home.File("u.txt") + "'").Out, "3 added to 'V'\n");
    home.Write("some.txt", u + "/plain.jpg\nrelative.jpg\n");
    const TCliRun some = Cli(home, "shelf import W '" + home.File("some.txt") + "'");
    EXPECT_EQ(some.Out, "1 added to 'W'\n");
    EXPECT_EQ(some.ExitCode, 1);

    // The last member is cut short: what was read is listed, and the exit
    // code says it is not all.
    std::string bytes = home.Read("home/Shelf.lst");
    bytes.resize(bytes.size() - 3);
    home.Write("home/Shelf.lst", bytes);
    const TCliRun list = Cli(home, "shelf list");
    EXPECT_EQ(list.Out, "U\t3\t\nV\t3\t\nW\t0\t\n");
    EXPECT_EQ(list.ExitCode, 1);
    EXPECT_EQ(home.Read("home/Shelf.lst"), bytes);
}

TEST(CliCollections, LsListsInNameOrderThroughTheMask)
{
    TTempFolder home;
    for (const char* name : {"p10.jpg", "p2.jpg", "P1.png", "notes.txt", ".hidden.jpg"})
        home.Write(std::string("dir/") + name, "");
    home.Write("dir/sub/x", "");
    const std::string dir = home.File("dir");
    EXPECT_EQ(Cli(home, "ls '" + dir + "'").Out, "notes.txt\nP1.png\np2.jpg\np10.jpg\nsub/\n");
    EXPECT_EQ(Cli(home, "ls --mask '*.jpg or *.png' '" + dir + "'").Out, "P1.png\np2.jpg\np10.jpg\n");
    EXPECT_EQ(Cli(home, "ls --all --mask '*.jpg' '" + dir + "'").Out, ".hidden.jpg\np2.jpg\np10.jpg\n");
    EXPECT_NE(Cli(home, "ls '" + home.File("missing") + "'").ExitCode, 0);
}

}  // namespace
