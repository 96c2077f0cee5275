#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

#include "support/TempFolder.h"

namespace {

struct TRun {
    int Code = -1;
    std::string Out;
};

// Runs mireva-cli with a private data folder; stderr is dropped.
TRun Cli(const TTempFolder& home, const std::string& args)
{
    const std::string command =
        std::string(MIREVA_BIN_DIR) + "/mireva-cli --home '" + home.File("data") + "' " + args + " 2>/dev/null";
    TRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 4096> buffer{};
    size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.Out.append(buffer.data(), got);
    const int status = ::pclose(pipe);
    run.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
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
    EXPECT_NE(Cli(home, "shelf add Books '" + pics + "/none.jpg'").Code, 0);
    EXPECT_NE(Cli(home, "shelf show Missing").Code, 0);
    EXPECT_NE(Cli(home, "shelf add '  ' '" + pics + "'").Code, 0);
    EXPECT_NE(Cli(home, "shelf add '" + std::string(51, 'n') + "' '" + pics + "'").Code, 0);
    EXPECT_EQ(Cli(home, "shelf add '" + std::string(50, 'n') + "' '" + pics + "'").Code, 0);
    EXPECT_EQ(Cli(home, "shelf list").Out, "Books\t2\t\n" + std::string(50, 'n') + "\t1\t\n");

    EXPECT_EQ(Cli(home, "shelf export Books '" + home.File("out.txt") + "'").Code, 0);
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
    EXPECT_EQ(Cli(home, "shelf add U '" + u + "/caf\xE9.jpg' '" + u + "/日本.jpg' '" + u + "/plain.jpg'").Code, 0);
    EXPECT_EQ(Cli(home, "shelf export U '" + home.File("u.txt") + "'").Code, 0);
    EXPECT_EQ(Cli(home, "shelf import V '" + home.File("u.txt") + "'").Out, "3 added to 'V'\n");
    home.Write("some.txt", u + "/plain.jpg\nrelative.jpg\n");
    const TRun some = Cli(home, "shelf import W '" + home.File("some.txt") + "'");
    EXPECT_EQ(some.Out, "1 added to 'W'\n");
    EXPECT_EQ(some.Code, 1);

    // The last member is cut short: what was read is listed, and the exit
    // code says it is not all.
    std::string bytes = home.Read("data/Shelf.lst");
    bytes.resize(bytes.size() - 3);
    home.Write("data/Shelf.lst", bytes);
    const TRun list = Cli(home, "shelf list");
    EXPECT_EQ(list.Out, "U\t3\t\nV\t3\t\nW\t0\t\n");
    EXPECT_EQ(list.Code, 1);
    EXPECT_EQ(home.Read("data/Shelf.lst"), bytes);
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
    EXPECT_NE(Cli(home, "ls '" + home.File("missing") + "'").Code, 0);
}

}  // namespace
