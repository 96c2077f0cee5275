#pragma once

// The loader registry of one mireva-cli run, made and filled the way the
// viewer fills its own at start, so that a subcommand reads exactly the files
// the viewer reads.

#include <memory>

#include "cli/CliCommand.h"
#include "loading/FileLoader.h"

std::unique_ptr<TFileLoaderList> MakeCliRegistry(TCliContext& context);
