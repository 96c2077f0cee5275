#include "cli/Commands.h"

int RunVersion(TCliContext& context)
{
    context.Positional(0);
    context.Out << "mireva-cli " << MIREVA_VERSION << '\n';
    return 0;
}
