#include "cli/Arguments.h"
#include "cli/CommandOptions.h"
#include "cli/Console.h"
#include "cli/HelpText.h"
#include "cli/InputWave.h"
#include "cli/InstrumentCommands.h"
#include "cli/InstrumentVisa.h"
#include "core/NameRules.h"
#include "link/generator/DownloadChunk.h"
#include "link/generator/GeneratorDriver.h"
#include "link/generator/GeneratorMessages.h"
#include "link/generator/GeneratorName.h"

#include <QThread>

namespace arb::cli
{

namespace
{

// The window's pace: one chunk a second (its timer Timer1), so that the
// generator has taken a chunk in before the next one comes.
constexpr unsigned long kChunkPauseMs = 1000;

std::string Bytes(const QString &text)
{
    return text.toLocal8Bit().toStdString();
}

// The generator to send to: the one named, else the first found, as the
// window chooses at its start. Empty, with the message printed, when there
// is none.
QString ChooseGenerator(GeneratorDriver &driver, const QString &named)
{
    GeneratorDriver::Discovery discovery;
    driver.adoptResourceManager(driver.discover(discovery));
    const QStringList &found = driver.found();
    if (found.isEmpty()) {
        PrintError(NoInstrumentText());
        return QString();
    }
    if (named.isEmpty())
        return found.front();
    if (!found.contains(named)) {
        PrintError(QStringLiteral("未找到仪器 %1").arg(named));
        return QString();
    }
    return named;
}

// As the window's "连接": a session on the generator, "*IDN?" and its reply;
// the link then counts as connected.
bool Connect(GeneratorDriver &driver, const QString &resource)
{
    driver.choose(resource);
    const GeneratorDriver::OpenResult opened = driver.openChosen();
    if (opened != GeneratorDriver::OpenResult::Opened) {
        PrintError(OpenFailureMessage(opened));
        return false;
    }
    driver.sendIdentify();
    driver.finishIdentify();
    return true;
}

void ShowProgress(const ChunkedDownload &download, bool terminal)
{
    if (!terminal)
        return;
    const std::string percent = PercentCaption(download.chunksSent(), download.chunkCount());
    PrintProgress(QStringLiteral("\r%1").arg(QString::fromLatin1(percent.c_str())));
}

} // namespace

ExitStatus RunSend(const QStringList &arguments)
{
    std::vector<OptionSpec> specs = ShapingOptionSpecs();
    specs.push_back({QStringLiteral("resource")});
    specs.push_back({QStringLiteral("slot")});
    specs.push_back({QStringLiteral("name")});
    const ArgumentsResult parsed = ParseArguments(arguments, specs);
    if (!parsed.ok())
        return UsageError(parsed.error);
    const ParsedArguments &args = parsed.arguments;
    if (args.help) {
        PrintOut(CommandHelpText(QStringLiteral("send")));
        return kSuccess;
    }
    if (args.positional.size() != 1)
        return UsageError(args.positional.isEmpty() ? QStringLiteral("send 缺少输入文件 IN")
                                                    : QStringLiteral("send 只读一个输入文件"));
    int slot = 0;
    if (args.has(QStringLiteral("slot"))) {
        const std::optional<int> s = BoundedInteger(args.value(QStringLiteral("slot")), 0, kLastArbSlot);
        if (!s)
            return UsageError(QStringLiteral("--slot 应为 0 到 %1 之间的整数：%2")
                                  .arg(kLastArbSlot)
                                  .arg(args.value(QStringLiteral("slot"))));
        slot = *s;
    }
    const ImportRequestResult request = ImportRequestFrom(args);
    if (!request.error.isEmpty())
        return UsageError(request.error);

    const QString in = args.positional.front();
    const InputResult input = OpenWave(in, request.request, DefaultArbName(slot));
    if (!input.wave) {
        PrintError(in + QStringLiteral(": ") + input.error);
        return kRefused;
    }
    InputWave &wave = *input.wave;
    const QString name = args.has(QStringLiteral("name")) ? args.value(QStringLiteral("name")) : wave.name;
    // Refused before any instrument is looked for, let alone sent to.
    if (!IsGeneratorName(Bytes(name))) {
        PrintError(BadNameMessage());
        return kRefused;
    }

    QString error;
    const std::unique_ptr<visa::VisaApi> visa = OpenInstrumentVisa(error);
    if (!visa) {
        PrintError(error);
        return kInstrument;
    }
    GeneratorDriver driver(*visa);
    driver.startUp();
    const QString resource = ChooseGenerator(driver, args.value(QStringLiteral("resource")));
    if (resource.isEmpty() || !Connect(driver, resource)) {
        driver.shutDown();
        return kInstrument;
    }

    ChunkedDownload &download = driver.download();
    const bool terminal = ErrorIsTerminal();
    const std::string nameBytes = Bytes(name);
    const std::string count = Bytes(wave.lengthText);
    for (;;) {
        const ChunkedDownload::Step step = download.step(driver, wave.store, nameBytes, count);
        if (step == ChunkedDownload::Step::BadName) {
            PrintError(BadNameMessage());
            driver.shutDown();
            return kRefused;
        }
        if (step == ChunkedDownload::Step::LinkLost) {
            if (terminal)
                PrintProgress(QStringLiteral("\n"));
            PrintError(LinkLostMessage());
            driver.shutDown();
            return kInstrument;
        }
        ShowProgress(download, terminal);
        if (step == ChunkedDownload::Step::Finished)
            break;
        QThread::msleep(kChunkPauseMs);
    }
    if (terminal)
        PrintProgress(QStringLiteral("\n"));
    driver.closeSessions();
    return kSuccess;
}

} // namespace arb::cli
