#include "scope/PortMessages.h"

namespace arb
{

QString ScopeFailureTitle()
{
    return QStringLiteral("失败!");
}

QString ScopeReadFailureTitle()
{
    return QStringLiteral("失败1");
}

QString IdentifyFailedMessage()
{
    return QStringLiteral("与示波器连接失败！");
}

QString TraceFailedMessage()
{
    return QStringLiteral("从示波器读取数据出错！");
}

QString PortOpenFailedMessage(PortOpenResult result, const QString &label, const QString &device)
{
    const QString port =
        device == label || device.isEmpty() ? label : QStringLiteral("%1（%2）").arg(label, device);
    switch (result) {
    case PortOpenResult::NotFound: return QStringLiteral("串口%1不存在，无法连接示波器！").arg(port);
    case PortOpenResult::Busy: return QStringLiteral("串口%1正被其他程序使用，无法打开！").arg(port);
    case PortOpenResult::NoPermission: return QStringLiteral("没有打开串口%1的权限！").arg(port);
    case PortOpenResult::BadSettings: return QStringLiteral("串口%1不支持所选的通信参数！").arg(port);
    case PortOpenResult::Opened:
    case PortOpenResult::Failed: break;
    }
    return QStringLiteral("无法打开串口%1！").arg(port);
}

QString PortClosedMessage(const QString &label)
{
    return QStringLiteral("串口%1没有打开，命令未发送！").arg(label);
}

QString PortWriteFailedMessage(const QString &label)
{
    return QStringLiteral("向串口%1发送命令失败！").arg(label);
}

} // namespace arb
