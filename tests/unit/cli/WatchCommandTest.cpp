// mireva-cli watch, run as a script runs it: changes made while it watches
// come out one line each, and it ends when the folder goes away.

#include <gtest/gtest.h>

#include "RunCli.h"
#include "support/TempFolder.h"

namespace {

// The script waits (boundedly) until the program's change queue holds its
// watch, makes its changes, waits for their lines, and then moves the folder
// away, which ends the run.
TEST(WatchCommand, PrintsEachChangeAndEndsWhenTheFolderGoes)
{
    TTempFolder tree;
    tree.Write("d/x", "");
    tree.Write("d/m", "1");
    tree.Write("d/new\nline", "");
    const std::string script =
        "'" MIREVA_BIN_DIR "/mireva-cli' --home home watch d --seconds 60 > out 2> err & pid=$!\n"
        "i=0; until grep -qs 'inotify wd' /proc/$pid/fdinfo/*; do\n"
        "  i=$((i+1)); [ $i -gt 2000 ] && break; sleep 0.01; done\n"
        ": > d/a; mkdir d/sub; mv d/x d/y; echo 2 >> d/m; mv 'd/new\nline' 'd/t\tab'\n"
        "i=0; until [ $(wc -l < out) -ge 5 ]; do\n"
        "  i=$((i+1)); [ $i -gt 2000 ] && break; sleep 0.01; done\n"
        "mv d gone\n"
        "wait $pid; echo \"exit $?\" >> out\n"
        "cat out; cat err >&2\n";
    const TCliRun run = RunProgram(tree.Path(), script);
    EXPECT_EQ(run.Out, "added a\nadded sub\nrenamed x y\nmodified m\nrenamed new\\nline t\\tab\ngone\nexit 0\n");
    EXPECT_EQ(run.Err, "");
}

struct TWatchErrorCase {
    const char* Name;
    const char* Arguments;
    int ExitCode;
    const char* ErrHas;
};

class WatchCommandErrorTest : public ::testing::TestWithParam<TWatchErrorCase> {};

TEST_P(WatchCommandErrorTest, SaysWhyInOneLine)
{
    TTempFolder tree;
    tree.Write("file", "x");
    const TCliRun run = RunCli(tree.Path(), GetParam().Arguments);
    EXPECT_EQ(run.ExitCode, GetParam().ExitCode);
    EXPECT_EQ(run.Out, "");
    EXPECT_NE(run.Err.find(GetParam().ErrHas), std::string::npos) << run.Err;
}

const TWatchErrorCase ErrorCases[] = {
    {"MissingFolder", "watch missing --seconds 0", 1, "missing/' : No such file or directory"},
    {"NotAFolder", "watch file --seconds 0", 1, "file/' : Not a directory"},
    {"NegativeTime", "watch . --seconds -1", 2, "--seconds needs a whole number"},
    {"NoFolder", "watch", 2, "wrong number of arguments"},
};

INSTANTIATE_TEST_SUITE_P(Runs, WatchCommandErrorTest, ::testing::ValuesIn(ErrorCases),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
