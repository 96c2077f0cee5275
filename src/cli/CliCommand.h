#pragma once

// The frame of mireva-cli: each subcommand is a function over a TCliContext,
// listed once in the table of CliMain.cpp. A subcommand returns the exit code;
// it raises ECliUsage for wrong arguments and any EMirevaError for a failure,
// which main prints as one line and turns into a non-zero exit.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "base/Errors.h"

class ECliUsage : public EMirevaError {
public:
    using EMirevaError::EMirevaError;
};

struct TCliContext {
    std::string ProgramFolder;  // the program's own files (plug-ins)
    std::string HomeOption;     // --home as given; empty when absent
    std::vector<std::string> Args;  // the subcommand's arguments, options still in place
    std::ostream& Out;
    std::ostream& Err;
    // The program runs from an installed tree: its folder is not a
    // portable copy's data folder.
    bool Installed = false;

    // The data folder (settings and list files): --home, MIREVA_HOME, or the
    // viewer's own rule. Created when missing.
    std::string DataFolder() const;

    // Removes "--name VALUE" (or "--name=VALUE") from Args and returns VALUE.
    std::optional<std::string> TakeOption(std::string_view name);
    // All values of a repeatable option, in order.
    std::vector<std::string> TakeOptions(std::string_view name);
    // Removes "--name" from Args; true when it was there.
    bool TakeFlag(std::string_view name);
    // After the options: exactly count positional arguments remain (at least
    // min and at most max with the second form); raises ECliUsage otherwise,
    // also for a leftover "--option".
    const std::vector<std::string>& Positional(size_t count);
    const std::vector<std::string>& Positional(size_t min, size_t max);
};

using TCliHandler = int (*)(TCliContext&);

struct TCliCommand {
    const char* Name;
    const char* Usage;  // one line: arguments after the name
    TCliHandler Run;
    bool Hidden = false;  // left out of the usage list (commands for scripts and tests)
};
