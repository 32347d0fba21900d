#include "cli/Console.h"

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define ARB_ISATTY _isatty
#define ARB_FILENO _fileno
#else
#include <unistd.h>
#define ARB_ISATTY isatty
#define ARB_FILENO fileno
#endif

namespace arb::cli
{

namespace
{

void Write(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

void PrintOut(const QString &line)
{
    Write(stdout, line + QLatin1Char('\n'));
}

void PrintError(const QString &text)
{
    Write(stderr, QStringLiteral("vxarb: ") + text + QLatin1Char('\n'));
}

QString UsageHint()
{
    return QStringLiteral("用法请见 vxarb --help");
}

ExitStatus UsageError(const QString &text)
{
    PrintError(text);
    Write(stderr, UsageHint() + QLatin1Char('\n'));
    return kUsage;
}

bool ErrorIsTerminal()
{
    return ARB_ISATTY(ARB_FILENO(stderr)) != 0;
}

void PrintProgress(const QString &text)
{
    Write(stderr, text);
}

} // namespace arb::cli
