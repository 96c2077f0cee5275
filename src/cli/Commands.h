#pragma once

// The subcommands of mireva-cli, one function each; CommandTable.inc lists
// them with their usage lines.

#include "cli/CliCommand.h"

int RunVersion(TCliContext& context);
int RunResolve(TCliContext& context);
