#pragma once

// The loaders of one mireva-cli run, built the way the viewer builds its own
// at start, so that a subcommand reads exactly the files the viewer reads.

#include "cli/CliCommand.h"
#include "loading/FileLoader.h"

TLoaderSetPtr MakeCliLoaders(TCliContext& context);
