#pragma once

// The subcommands of mireva-cli, one function each; CommandTable.inc lists
// them with their usage lines.

#include "cli/CliCommand.h"

int RunVersion(TCliContext& context);

// CollectionCommands.cpp
int RunShelf(TCliContext& context);
int RunLs(TCliContext& context);
