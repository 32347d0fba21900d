#include "cli/Arguments.h"

#include <algorithm>

namespace arb::cli
{

namespace
{

const OptionSpec *FindLong(const std::vector<OptionSpec> &options, const QString &name)
{
    const auto it =
        std::find_if(options.begin(), options.end(), [&](const OptionSpec &o) { return o.name == name; });
    return it == options.end() ? nullptr : &*it;
}

const OptionSpec *FindShort(const std::vector<OptionSpec> &options, QChar name)
{
    const auto it = std::find_if(options.begin(), options.end(), [&](const OptionSpec &o) {
        return !o.shortName.isNull() && o.shortName == name;
    });
    return it == options.end() ? nullptr : &*it;
}

QString Spelled(const OptionSpec &o)
{
    return QStringLiteral("--") + o.name;
}

} // namespace

ArgumentsResult ParseArguments(const QStringList &arguments, const std::vector<OptionSpec> &options)
{
    ArgumentsResult r;
    ParsedArguments &out = r.arguments;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (optionsEnded || a == QLatin1String("-") || !a.startsWith(QLatin1Char('-'))) {
            out.positional << a;
            continue;
        }
        if (a == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            out.help = true;
            continue;
        }
        const OptionSpec *known = nullptr;
        std::optional<QString> attached;
        if (a.startsWith(QLatin1String("--"))) {
            const qsizetype eq = a.indexOf(QLatin1Char('='));
            known = FindLong(options, a.mid(2, eq < 0 ? -1 : eq - 2));
            if (eq >= 0)
                attached = a.mid(eq + 1);
        } else {
            known = FindShort(options, a.at(1));
            if (known && a.size() > 2)
                attached = a.mid(2);
        }
        if (!known) {
            r.error = QStringLiteral("未知的选项 %1").arg(a.section(QLatin1Char('='), 0, 0));
            return r;
        }
        if (!known->takesValue) {
            if (attached) {
                r.error = QStringLiteral("选项 %1 不带值").arg(Spelled(*known));
                return r;
            }
            out.options.insert(known->name, QString());
            continue;
        }
        if (!attached) {
            if (i + 1 >= arguments.size()) {
                r.error = QStringLiteral("选项 %1 缺少值").arg(Spelled(*known));
                return r;
            }
            attached = arguments[++i];
        }
        out.options.insert(known->name, *attached);
    }
    return r;
}

std::optional<int> BoundedInteger(const QString &text, int low, int high)
{
    // Digits only: no blanks, no sign other than a leading minus, no "0x".
    const QString t = text;
    if (t.isEmpty())
        return std::nullopt;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        if (!(c.isDigit() && c.unicode() < 128) && !(i == 0 && c == QLatin1Char('-') && t.size() > 1))
            return std::nullopt;
    }
    bool ok = false;
    const long long v = t.toLongLong(&ok);
    if (!ok || v < low || v > high)
        return std::nullopt;
    return static_cast<int>(v);
}

} // namespace arb::cli
