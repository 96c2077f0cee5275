#pragma once

// Runs the built mireva-cli as a user would, in a folder of the test's own,
// and gives back its exit code and standard output.

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

struct TCliRun {
    int ExitCode = -1;
    std::string Out;
};

// Runs mireva-cli in folder (ending in '/') with its data folder at
// folder + "home" and the arguments (already quoted for the shell).
inline TCliRun RunCli(const std::string& folder, const std::string& arguments)
{
    const std::string command = "cd '" + folder + "' && '" MIREVA_BIN_DIR "/mireva-cli' --home '" + folder +
                                "home' " + arguments + " 2>/dev/null";
    TCliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    std::array<char, 4096> buffer {};
    size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.Out.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
