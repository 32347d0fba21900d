#include "cli/Arguments.h"
#include "cli/Console.h"
#include "cli/HelpText.h"
#include "cli/InstrumentCommands.h"
#include "cli/InstrumentVisa.h"
#include "link/generator/GeneratorDriver.h"
#include "link/visa/VisaSession.h"

#include <vector>

namespace arb::cli
{

namespace
{

// How long one instrument may take to answer "*IDN?" in all.
constexpr visa::ViUInt32 kIdentifyBoundMs = 2000;
// The longest identification taken.
constexpr std::size_t kMaxReplyBytes = 4096;

QString Identify(visa::VisaApi &visa, const QString &resource)
{
    const visa::SteadySessionClock clock;
    visa::VisaSession session(visa, resource.toLocal8Bit().toStdString(), kIdentifyBoundMs, clock);
    if (!session.isOpen() || !session.send("*IDN?"))
        return QString();
    std::vector<visa::ViByte> reply;
    while (!session.ended() && reply.size() < kMaxReplyBytes && session.readSome(kMaxReplyBytes, reply)) {
        if (!reply.empty() && reply.back() == '\n')
            break;
    }
    return QString::fromLocal8Bit(reinterpret_cast<const char *>(reply.data()),
                                  static_cast<qsizetype>(reply.size()))
        .trimmed();
}

} // namespace

ExitStatus RunList(const QStringList &arguments)
{
    const ArgumentsResult parsed = ParseArguments(arguments, {});
    if (!parsed.ok())
        return UsageError(parsed.error);
    if (parsed.arguments.help) {
        PrintOut(CommandHelpText(QStringLiteral("list")));
        return kSuccess;
    }
    if (!parsed.arguments.positional.isEmpty())
        return UsageError(QStringLiteral("list 不带参数：%1").arg(parsed.arguments.positional.front()));

    QString error;
    const std::unique_ptr<visa::VisaApi> visa = OpenInstrumentVisa(error);
    if (!visa) {
        PrintError(error);
        return kInstrument;
    }
    QStringList found;
    {
        GeneratorDriver driver(*visa);
        GeneratorDriver::Discovery discovery;
        driver.adoptResourceManager(driver.discover(discovery));
        found = driver.found();
        driver.shutDown();
    }
    if (found.isEmpty()) {
        PrintError(NoInstrumentText());
        return kInstrument;
    }
    for (const QString &resource : found) {
        const QString reply = Identify(*visa, resource);
        PrintOut(resource + QLatin1Char('\t') + (reply.isEmpty() ? QStringLiteral("无应答") : reply));
    }
    return kSuccess;
}

} // namespace arb::cli
