#include "link/generator/GeneratorMessages.h"

namespace arb
{

QString GeneratorTitle()
{
    return QStringLiteral("提示信息");
}

QString LinkLostMessage()
{
    return QStringLiteral("与仪器连接有误，已断开！请重新连接！");
}

QString OpenFailureMessage(GeneratorDriver::OpenResult result)
{
    switch (result) {
    case GeneratorDriver::OpenResult::Opened: return QString();
    case GeneratorDriver::OpenResult::NotUsb: return QStringLiteral("非USB接口，连接失败！重新检测接口");
    case GeneratorDriver::OpenResult::OpenFailed: return QStringLiteral("Error! 仪器打开失败，重新检测接口");
    case GeneratorDriver::OpenResult::TimeoutFailed:
        return QStringLiteral("Error! 延时设置失败，重新检测接口");
    }
    return QString();
}

QString NotConnectedMessage()
{
    return QStringLiteral("没有与仪器连接，连接后发送！");
}

QString DefaultNameMessage()
{
    return QStringLiteral("默认波形名称，不必发送！");
}

QString BadNameMessage()
{
    // A name that is not one to six letters or digits is never sent.
    return QStringLiteral("任意波名称必须为1到6个数字或字母，未发送！");
}

} // namespace arb
