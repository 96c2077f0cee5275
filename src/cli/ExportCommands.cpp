// mireva-cli divide and export: names cut by name-division rules as the CSV
// export cuts them, and the CSV export of a folder, a shelf, a medium or a
// search.

#include <cstdint>

#include "cli/Commands.h"
#include "collections/NameDivide.h"
#include "common/Text.h"

namespace {

TNameDivideRules RulesFrom(TCliContext& context)
{
    TNameDivideRules rules;
    for (const std::string& text : context.TakeOptions("--rule")) {
        std::optional<TNameDivideInfo> rule = ParseNameDivideInfo(text, static_cast<int32_t>(rules.size()));
        if (!rule)
            throw ECliUsage("a rule has six fields: NAME,KIND,DELIMITERS,CLOSING,FROMEND,REMOVE; not '" + text + "'");
        rules.push_back(std::move(*rule));
    }
    return rules;
}

}  // namespace

int RunDivide(TCliContext& context)
{
    const bool forCategory = context.TakeFlag("--category");
    const TNameDivideRules rules = RulesFrom(context);
    if (rules.empty())
        throw ECliUsage("give at least one --rule");
    const std::vector<std::string>& names = context.Positional(1, SIZE_MAX);
    for (const std::string& name : names) {
        const TDividedName divided = forCategory ? DivideNameForCategory(rules, name) : DivideName(rules, name);
        for (const std::string& part : divided.Parts)
            context.Out << EscapeControls(part) << '\t';
        context.Out << EscapeControls(divided.Rest) << '\n';
    }
    return 0;
}
