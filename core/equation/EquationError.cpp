#include "core/equation/EquationError.h"

namespace arb
{

QString EquationError::text() const
{
    return QStringLiteral("第 %1 个字符：%2").arg(position).arg(message);
}

EquationError EquationError::At(int position, const QString &message)
{
    EquationError e;
    e.position = position;
    e.message = message;
    return e;
}

} // namespace arb
