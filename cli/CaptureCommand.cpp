#include "cli/Arguments.h"
#include "cli/CommandOptions.h"
#include "cli/Console.h"
#include "cli/HelpText.h"
#include "cli/InstrumentCommands.h"
#include "cli/InstrumentVisa.h"
#include "cli/OutputFile.h"
#include "core/ArbStore.h"
#include "core/NameRules.h"
#include "scope/PortMessages.h"
#include "scope/PortNames.h"
#include "scope/QtSerialPortIo.h"
#include "scope/ScopeClock.h"
#include "scope/ScopeSettings.h"
#include "scope/SerialTds.h"
#include "scope/TdsCommands.h"
#include "scope/UsbTds.h"

#include <QEventLoop>
#include <QRegularExpression>
#include <QTimer>
#include <memory>
#include <optional>

namespace arb::cli
{

namespace
{

// However the instrument behaves, a capture ends within this time; the
// transports' own deadlines normally end it much sooner.
constexpr int kCaptureBoundMs = 120000;

// Where --port points: a port number COMn, or a device file's path.
struct PortChoice {
    int number = 1;
    QString device; // empty: COMn as the panel resolves it
};

std::optional<PortChoice> PortFrom(const QString &text)
{
    static const QRegularExpression com(QStringLiteral("^COM([1-9][0-9]{0,2})$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = com.match(text);
    if (m.hasMatch())
        return PortChoice{m.captured(1).toInt(), QString()};
    if (text.contains(QLatin1Char('/')))
        return PortChoice{1, text};
    return std::nullopt;
}

// One identification, then one trace, as "连接TEK示波器" and "读取数据" do;
// the trace's point bytes, or none with the message printed.
std::optional<QByteArray> ReadOneTrace(ScopeTransport &transport, const QString &source)
{
    QEventLoop loop;
    std::optional<QByteArray> trace;
    QString failure;
    bool asked = false;
    const auto fail = [&](const QString &text) {
        failure = text;
        loop.quit();
    };
    QObject::connect(&transport, &ScopeTransport::identified, &loop, [&] {
        if (asked)
            return;
        asked = true;
        const QString refused = transport.readTrace(source);
        if (!refused.isEmpty())
            fail(refused);
    });
    QObject::connect(&transport, &ScopeTransport::identifyFailed, &loop,
                     [&] { fail(IdentifyFailedMessage()); });
    QObject::connect(&transport, &ScopeTransport::traceFailed, &loop, [&] { fail(TraceFailedMessage()); });
    QObject::connect(&transport, &ScopeTransport::traceRead, &loop, [&](const QByteArray &points) {
        trace = points;
        loop.quit();
    });
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, [&] { fail(IdentifyFailedMessage()); });

    const QString refused = transport.identify();
    if (!refused.isEmpty()) {
        PrintError(refused);
        transport.close();
        return std::nullopt;
    }
    bound.start(kCaptureBoundMs);
    loop.exec();
    transport.close();
    if (!trace || trace->size() < kTracePoints) {
        PrintError(failure.isEmpty() ? TraceFailedMessage() : failure);
        return std::nullopt;
    }
    return trace;
}

// The link frame's settings once the window has started: the start-up
// values, then the first entry of each list (the baud rate's last, 9600).
ScopeSettings PanelDefaults()
{
    ScopeSettings settings;
    settings.SetStartUpValues();
    settings.SelectPort(PortEntries().front());
    settings.SelectBaud(BaudEntries().back());
    settings.SelectParity(ParityEntries().front());
    settings.SelectFlow(FlowEntries().front());
    settings.SelectEol(EolEntries().front());
    settings.SelectSource(SourceEntries().front());
    return settings;
}

std::optional<QByteArray> CaptureSerial(const PortChoice &port)
{
    ScopeSettings settings = PanelDefaults();
    settings.ScopePort = port.number;
    QtSerialPortIo io;
    SteadyScopeClock clock;
    PortNameResolver resolve;
    if (!port.device.isEmpty())
        resolve = [device = port.device](int) { return device; };
    SerialTds serial(settings, io, resolve, clock);
    serial.startUp();
    return ReadOneTrace(serial, settings.ScopeSource);
}

std::optional<QByteArray> CaptureUsb(const QString &resource)
{
    QString error;
    const std::unique_ptr<visa::VisaApi> visa = OpenInstrumentVisa(error);
    if (!visa) {
        PrintError(error);
        return std::nullopt;
    }
    ScopeSettings settings = PanelDefaults();
    UsbTds usb(settings, *visa);
    if (!usb.instruments().contains(resource)) {
        PrintError(QStringLiteral("未找到仪器 %1").arg(resource));
        return std::nullopt;
    }
    settings.ScopeResource = resource;
    std::optional<QByteArray> trace = ReadOneTrace(usb, settings.ScopeSource);
    usb.wait();
    return trace;
}

} // namespace

ExitStatus RunCapture(const QStringList &arguments)
{
    const ArgumentsResult parsed = ParseArguments(
        arguments,
        {{QStringLiteral("resource")}, {QStringLiteral("port")}, OutputOptionSpec(), FormatOptionSpec()});
    if (!parsed.ok())
        return UsageError(parsed.error);
    const ParsedArguments &args = parsed.arguments;
    if (args.help) {
        PrintOut(CommandHelpText(QStringLiteral("capture")));
        return kSuccess;
    }
    if (!args.positional.isEmpty())
        return UsageError(QStringLiteral("capture 不读输入文件：%1").arg(args.positional.front()));
    if (!args.has(QStringLiteral("output")))
        return UsageError(QStringLiteral("capture 缺少输出文件：-o OUT"));
    const bool usb = args.has(QStringLiteral("resource"));
    if (usb && args.has(QStringLiteral("port")))
        return UsageError(QStringLiteral("--resource 和 --port 只能给出一个"));
    std::optional<PortChoice> port = PortChoice{};
    if (args.has(QStringLiteral("port"))) {
        port = PortFrom(args.value(QStringLiteral("port")));
        if (!port)
            return UsageError(QStringLiteral("--port 应为 COM1、COM2 …… 或设备文件的路径：%1")
                                  .arg(args.value(QStringLiteral("port"))));
    }
    const QString out = args.value(QStringLiteral("output"));
    const OutputFormResult form = OutputFormFor(args, out);
    if (!form.error.isEmpty())
        return UsageError(form.error);

    const std::optional<QByteArray> points =
        usb ? CaptureUsb(args.value(QStringLiteral("resource"))) : CaptureSerial(*port);
    if (!points)
        return kInstrument;

    // As the window takes a trace: points 0..2499, the length 2500.
    ArbStore store;
    for (int i = 0; i < kTracePoints; ++i)
        store.ArbData[i] = TracePointValue(static_cast<unsigned char>((*points)[i]));
    store.ArbLength = static_cast<float>(kTracePoints);
    const QByteArray bytes = OutputBytes(store, form.form, DefaultArbName(0), QString::number(kTracePoints));
    if (const std::optional<QString> failure = WriteOutput(out, bytes)) {
        PrintError(out + QStringLiteral(": ") + *failure);
        return kRefused;
    }
    return kSuccess;
}

} // namespace arb::cli
