#include "cli/CliRegistry.h"

std::unique_ptr<TFileLoaderList> MakeCliRegistry(TCliContext& context)
{
    auto registry = std::make_unique<TFileLoaderList>();
    registry->Reload();
    return registry;
}
