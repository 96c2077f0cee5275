#include "cli/CliRegistry.h"

#include "loading/SPIs.h"

std::unique_ptr<TFileLoaderList> MakeCliRegistry(TCliContext& context)
{
    auto registry = std::make_unique<TFileLoaderList>();
    UsePluginFolders(*registry, {context.ProgramFolder, DefaultSusiePluginFolder()});
    registry->Reload();
    return registry;
}
