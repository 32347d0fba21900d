#include "core/files/FileMessages.h"

namespace arb
{

QString FileCommandsTitle()
{
    return QStringLiteral("任意波处理");
}

QString WrongEndingMessage()
{
    return QStringLiteral("你没有选择数据文件,数据未读入\n请重新打开文件读取数据");
}

QString FileFormatMessage()
{
    return QStringLiteral("文件格式有误！");
}

QString FileOpenFailedMessage()
{
    return QStringLiteral("文件无法打开，数据未读入！");
}

QString FileReadFailedMessage()
{
    return QStringLiteral("文件读取出错，数据未全部读入！");
}

QString FileCreateFailedMessage()
{
    return QStringLiteral("文件无法创建，波形未保存！");
}

QString FileWriteFailedMessage()
{
    return QStringLiteral("文件写入出错，波形未保存！");
}

} // namespace arb
