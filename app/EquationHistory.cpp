#include "app/EquationHistory.h"

#include <QSettings>

namespace arb
{

namespace
{

const QString kKey = QStringLiteral("equation/history");

} // namespace

QStringList LoadEquationHistory(QSettings &settings)
{
    QStringList kept;
    // A hand-edited file may hold anything: only non-empty texts, each once.
    for (const QString &text : settings.value(kKey).toStringList()) {
        const QString t = text.trimmed();
        if (!t.isEmpty() && !kept.contains(t))
            kept << t;
    }
    return kept.mid(0, kEquationHistorySize);
}

void RememberEquation(QSettings &settings, const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return;
    QStringList history = LoadEquationHistory(settings);
    history.removeAll(t);
    history.prepend(t);
    settings.setValue(kKey, history.mid(0, kEquationHistorySize));
}

} // namespace arb
