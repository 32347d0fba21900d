#include "cli/ConvertCommand.h"

#include "cli/Arguments.h"
#include "cli/CommandOptions.h"
#include "cli/Console.h"
#include "cli/HelpText.h"
#include "cli/InputWave.h"
#include "cli/OutputFile.h"
#include "core/NameRules.h"

#include <QFile>

namespace arb::cli
{

ExitStatus RunConvert(const QStringList &arguments)
{
    std::vector<OptionSpec> specs = ShapingOptionSpecs();
    specs.push_back(OutputOptionSpec());
    specs.push_back(FormatOptionSpec());
    const ArgumentsResult parsed = ParseArguments(arguments, specs);
    if (!parsed.ok())
        return UsageError(parsed.error);
    const ParsedArguments &args = parsed.arguments;
    if (args.help) {
        PrintOut(CommandHelpText(QStringLiteral("convert")));
        return kSuccess;
    }
    if (args.positional.size() != 1)
        return UsageError(args.positional.isEmpty() ? QStringLiteral("convert 缺少输入文件 IN")
                                                    : QStringLiteral("convert 只读一个输入文件"));
    if (!args.has(QStringLiteral("output")))
        return UsageError(QStringLiteral("convert 缺少输出文件：-o OUT"));
    const QString in = args.positional.front();
    const QString out = args.value(QStringLiteral("output"));
    const ImportRequestResult request = ImportRequestFrom(args);
    if (!request.error.isEmpty())
        return UsageError(request.error);
    const OutputFormResult form = OutputFormFor(args, out);
    if (!form.error.isEmpty())
        return UsageError(form.error);

    const InputResult input = ImportWave(in, request.request, DefaultArbName(0));
    if (!input.wave) {
        PrintError(in + QStringLiteral(": ") + input.error);
        return kRefused;
    }
    InputWave &wave = *input.wave;
    const QByteArray bytes = OutputBytes(wave.store, form.form, wave.name, wave.lengthText);
    if (const std::optional<QString> failure = WriteOutput(out, bytes)) {
        PrintError(out + QStringLiteral(": ") + *failure);
        return kRefused;
    }
    return kSuccess;
}

} // namespace arb::cli
