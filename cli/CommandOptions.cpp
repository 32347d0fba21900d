#include "cli/CommandOptions.h"

namespace arb::cli
{

std::vector<OptionSpec> ShapingOptionSpecs()
{
    return {{QStringLiteral("column")}, {QStringLiteral("points")}, {QStringLiteral("scale")}};
}

OptionSpec OutputOptionSpec()
{
    return {QStringLiteral("output"), true, QLatin1Char('o')};
}

OptionSpec FormatOptionSpec()
{
    return {QStringLiteral("format")};
}

} // namespace arb::cli
