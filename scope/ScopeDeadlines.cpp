#include "scope/ScopeDeadlines.h"

#include "core/ArbStore.h"

namespace arb
{

namespace
{

double BaudOf(const QString &baudText)
{
    return baudText.trimmed().toDouble();
}

} // namespace

int IdentifyDeadlineSeconds(const QString &baudText)
{
    double r = BaudOf(baudText);
    if (r <= 0.0)
        r = 600.0;
    // Milliseconds for 600 bits plus one second, held as whole seconds.
    const int g = RoundHalfEven((600.0 / r * 1000.0 + 1000.0) / 1000.0);
    return RoundHalfEven(g / 1000.0 + 1.0);
}

int TraceDeadlineSeconds(const QString &baudText)
{
    const double t = BaudOf(baudText);
    // Milliseconds for 25000 bits plus two seconds, at most 65535.
    int ms = 65535;
    if (t > 0.0) {
        const double exact = 25000.0 / t * 1000.0 + 2000.0;
        if (exact < 65535.0)
            ms = RoundHalfEven(exact);
    }
    if (ms >= 65535)
        ms = 65535;
    return RoundHalfEven(ms / 1000.0 + 2.0);
}

} // namespace arb
