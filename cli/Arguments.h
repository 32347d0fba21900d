#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace arb::cli
{

// An option a sub-command takes: "--name VALUE" or "--name=VALUE" when it
// takes a value, "--name" alone otherwise; shortName, when set, is the
// one-letter form ("-o VALUE", "-oVALUE").
struct OptionSpec {
    OptionSpec(const QString &longName, bool value = true, QChar letter = QChar())
        : name(longName), takesValue(value), shortName(letter)
    {
    }
    QString name;
    bool takesValue = true;
    QChar shortName;
};

struct ParsedArguments {
    QStringList positional;
    // The value of each option given (the last one when given twice); an
    // option without a value maps to an empty text.
    QMap<QString, QString> options;
    // "--help" or "-h" was among the arguments.
    bool help = false;

    bool has(const QString &name) const { return options.contains(name); }
    QString value(const QString &name) const { return options.value(name); }
};

// Parses a sub-command's arguments. Options and positional arguments may
// come in any order; "--" ends the options. The result is the parsed
// arguments, or the error text of a usage error.
struct ArgumentsResult {
    ParsedArguments arguments;
    QString error;
    bool ok() const { return error.isEmpty(); }
};
ArgumentsResult ParseArguments(const QStringList &arguments, const std::vector<OptionSpec> &options);

// A whole decimal number within [low, high], as an option's value; none
// for anything else.
std::optional<int> BoundedInteger(const QString &text, int low, int high);

} // namespace arb::cli
