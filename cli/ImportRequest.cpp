#include "cli/ImportRequest.h"

#include "cli/Arguments.h"
#include "core/ArbStore.h"

#include <limits>

namespace arb::cli
{

ImportRequestResult ImportRequestFrom(const ParsedArguments &arguments)
{
    ImportRequestResult r;
    if (arguments.has(QStringLiteral("column"))) {
        const QString text = arguments.value(QStringLiteral("column"));
        const std::optional<int> k = BoundedInteger(text, 1, std::numeric_limits<int>::max());
        if (!k) {
            r.error = QStringLiteral("--column 应为从 1 数起的列号：%1").arg(text);
            return r;
        }
        r.request.column = *k - 1;
    }
    if (arguments.has(QStringLiteral("points"))) {
        const QString text = arguments.value(QStringLiteral("points"));
        const std::optional<int> n = BoundedInteger(text, kMinArbLength, kMaxArbLength);
        if (!n) {
            r.error = QStringLiteral("--points 应为 %1 到 %2 之间的整数：%3")
                          .arg(kMinArbLength)
                          .arg(kMaxArbLength)
                          .arg(text);
            return r;
        }
        r.request.points = *n;
    }
    if (arguments.has(QStringLiteral("scale"))) {
        const QString text = arguments.value(QStringLiteral("scale"));
        if (text == QLatin1String("keep"))
            r.request.scaling = ImportScaling::Keep;
        else if (text == QLatin1String("peak"))
            r.request.scaling = ImportScaling::PeakNormalise;
        else if (text == QLatin1String("full"))
            r.request.scaling = ImportScaling::FullScale;
        else
            r.error = QStringLiteral("--scale 应为 keep、peak 或 full：%1").arg(text);
    }
    return r;
}

ImportChoices ChoicesFor(const ImportTable &table, DecimalMark mark, const ImportRequest &request)
{
    ImportChoices c = DefaultImportChoices(table);
    c.decimalMark = mark;
    if (request.column) {
        c.column = *request.column;
        c.scaling = DefaultScaling(table, c.column);
    }
    if (request.points)
        c.points = *request.points;
    if (request.scaling)
        c.scaling = *request.scaling;
    return c;
}

} // namespace arb::cli
