#include "scope/CaptureMessages.h"

#include "link/visa/NetworkResource.h"
#include "scope/CaptureBlock.h"

namespace arb
{

namespace
{

QString Text(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A reply shown in a message: at most 80 characters, control characters
// as "?".
QString Shown(const std::string &reply)
{
    QString shown =
        QString::fromLatin1(reply.data(), static_cast<qsizetype>(std::min<std::size_t>(reply.size(), 80)));
    for (QChar &c : shown)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.unicode() > 0x7E)
            c = QLatin1Char('?');
    if (reply.size() > 80)
        shown += QStringLiteral("…");
    return shown;
}

// "RIGOL TECHNOLOGIES 示波器" or "示波器".
QString Scope(const std::string &maker)
{
    return maker.empty() ? QStringLiteral("示波器") : Shown(maker) + QStringLiteral(" 示波器");
}

QString Seconds(unsigned ms)
{
    return QString::number(ms / 1000.0, 'g', 3);
}

} // namespace

QString CaptureTitle()
{
    return QStringLiteral("从示波器导入");
}

QString AddressFaultMessage(AddressFault fault)
{
    const QString forms =
        QStringLiteral("可用的地址：TCPIP0::主机::端口::SOCKET、TCPIP0::主机::INSTR、USB0::…::INSTR，"
                       "或只写主机名或 IP 地址（即 TCPIP0::主机::5025::SOCKET）。");
    switch (fault) {
    case AddressFault::None: return {};
    case AddressFault::Empty: return QStringLiteral("请填写示波器的地址。") + forms;
    case AddressFault::TooLong: return QStringLiteral("地址太长（最多 %1 个字符）。").arg(kMaxAddressLength);
    case AddressFault::BadCharacters:
        return QStringLiteral("地址只能由英文字母、数字和 : . - _ [ ] 组成。") + forms;
    case AddressFault::Malformed: return QStringLiteral("无法识别这个地址。") + forms;
    }
    return {};
}

QString CaptureFaultMessage(const CaptureFault &fault, const std::string &maker, const std::string &resource,
                            unsigned stallMs)
{
    const QString address = Text(resource);
    const QString command = QStringLiteral("“%1”").arg(Shown(fault.command));
    const QString who = Scope(maker);
    switch (fault.kind) {
    case CaptureFaultKind::None:
    case CaptureFaultKind::Cancelled: return {};
    case CaptureFaultKind::BadAddress: return AddressFaultMessage(AddressFault::Malformed);
    case CaptureFaultKind::OpenFailed:
        return QStringLiteral("无法打开仪器 %1。请检查它是否已连接、已开机，且没有被其他程序占用。")
            .arg(address);
    case CaptureFaultKind::HostNotFound: {
        const std::optional<visa::SocketResource> socket = visa::ParseSocketResource(resource);
        return QStringLiteral("找不到主机“%1”。").arg(socket ? Text(socket->host) : address);
    }
    case CaptureFaultKind::ConnectRefused:
        return QStringLiteral("%1 拒绝连接：这个端口上没有服务。请检查 IP 地址和端口号。").arg(address);
    case CaptureFaultKind::ConnectTimedOut:
        return QStringLiteral("连接 %1 超时：3 秒内没有应答。请检查网线和 IP 地址。").arg(address);
    case CaptureFaultKind::NeedsVendorVisa: {
        const std::optional<std::string> host = visa::ParseVxi11Resource(resource);
        return QStringLiteral("%1 是 VXI-11 地址，需要安装仪器厂商的 VISA 库才能打开。"
                              "没有 VISA 库时请改用套接字地址，例如 TCPIP0::%2::5025::SOCKET。")
            .arg(address, host ? Text(*host) : QStringLiteral("主机"));
    }
    case CaptureFaultKind::Stalled:
        return QStringLiteral("%1对 %2 的应答中断了 %3 秒，读取失败。").arg(who, command, Seconds(stallMs));
    case CaptureFaultKind::LinkLost: return QStringLiteral("与%1的连接在 %2 时断开。").arg(who, command);
    case CaptureFaultKind::UnknownMaker: return QStringLiteral("不支持的示波器：") + Shown(fault.detail);
    case CaptureFaultKind::BadReply:
        if (fault.expected != 0)
            return QStringLiteral("%1对 %2 的应答应有 %3 个字段，收到 %4 个：“%5”。")
                .arg(who, command)
                .arg(fault.expected)
                .arg(fault.received)
                .arg(Shown(fault.detail));
        if (fault.detail.empty())
            return QStringLiteral("%1给出的换算系数太大，%2 的数据无法换算为电压。").arg(who, command);
        return QStringLiteral("%1对 %2 的应答不是可用的数值：“%3”。").arg(who, command, Shown(fault.detail));
    case CaptureFaultKind::BadBlock:
        return QStringLiteral("%1对 %2 的应答不是定长数据块（# 开头）。").arg(who, command);
    case CaptureFaultKind::ShortBlock:
        return QStringLiteral("%1对 %2 的数据块不完整：应有 %3 字节，只收到 %4 字节。")
            .arg(who, command)
            .arg(fault.expected)
            .arg(fault.received);
    case CaptureFaultKind::TooManyPoints:
        return QStringLiteral("%1的记录有 %2 点（%3），超过了 %4 点的上限。")
            .arg(who)
            .arg(fault.expected)
            .arg(command)
            .arg(kMaxCapturePoints);
    case CaptureFaultKind::TooFewPoints:
        return QStringLiteral("%1的记录只有 %2 点（%3），至少需要 %4 点。")
            .arg(who)
            .arg(fault.expected)
            .arg(command)
            .arg(kMinCapturePoints);
    }
    return {};
}

} // namespace arb
