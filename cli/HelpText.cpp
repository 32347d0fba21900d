#include "cli/HelpText.h"

#ifndef ARB_VERSION
#error "ARB_VERSION is the version of project()"
#endif

namespace arb::cli
{

namespace
{

QString Synopsis()
{
    return QStringLiteral("用法：vxarb [文件]\n"
                          "      vxarb <命令> [参数和选项]\n"
                          "\n"
                          "不带参数时打开编辑器窗口。给出文件时打开窗口并读入该文件：本软件的三种波形\n"
                          "文件格式按“打开”读入，其他文件按“导入波形”及其对话框的默认选择读入。\n"
                          "\n"
                          "命令（不打开窗口，无需显示器）：\n"
                          "  convert   读入波形文件，按导入对话框的选择整形后另存为其他格式\n"
                          "  list      列出找到的仪器（函数发生器和示波器）及其识别回复\n"
                          "  send      把波形文件下载到函数发生器\n"
                          "  capture   从泰克 TDS 示波器读取一条波形并保存\n");
}

QString ShapingOptions()
{
    return QStringLiteral(
        "  --column K          数据列，从 1 数起（默认：最后一列）\n"
        "  --points N          点数 4..16384（默认：源数据的行数，限于 4..16384；\n"
        "                      与行数不同时线性插值重采样）\n"
        "  --scale keep|peak|full\n"
        "                      keep 保持原值（超出 ±1 的截断），peak 峰值归一化，\n"
        "                      full 满量程（默认：该列数值都在 ±1 以内时 keep，否则 full）\n");
}

QString FormatOption()
{
    return QStringLiteral("  --format csv|arb|txt\n"
                          "                      csv：“导出波形”的 CSV 数值表；arb：“导出波形”的带文件头\n"
                          "                      格式；txt：“保存”写的本软件格式（名称、点数、数值，\n"
                          "                      峰值不足 1 时先放大到满量程）。默认按 OUT 的扩展名\n"
                          "                      .csv、.arb、.txt 选择\n");
}

QString ConvertHelp()
{
    return QStringLiteral("vxarb convert IN -o OUT [--column K] [--points N] [--scale keep|peak|full]\n"
                          "              [--format csv|arb|txt]\n"
                          "  按“导入波形”读入 IN（数值表、带文件头的格式、本软件的格式），按导入对话框\n"
                          "  的选择整形，写入 OUT。\n"
                          "  -o, --output OUT    输出文件；只有整个命令成功后才写入，写入失败时原有的\n"
                          "                      OUT 保持不变\n") +
           ShapingOptions() + FormatOption();
}

QString ListHelp()
{
    return QStringLiteral("vxarb list\n"
                          "  每个找到的仪器一行：资源名、制表符、识别回复（*IDN?），无回复时为“无应答”。\n");
}

QString SendHelp()
{
    return QStringLiteral(
               "vxarb send IN [--resource R] [--slot 0..9] [--name NAME] [--column K] [--points N]\n"
               "              [--scale keep|peak|full]\n"
               "  读入 IN（本软件的格式按“打开”，其他按 convert），像窗口的“波形输出”一样分段\n"
               "  下载到函数发生器，发送的命令与窗口逐字节相同。标准错误输出是终端时显示进度。\n"
               "  --resource R        仪器资源名，如 USB0::0x1AB1::0x0588::DG1234::INSTR\n"
               "                      （默认：找到的第一台仪器，与窗口启动时的选择相同）\n"
               "  --slot N            任意波编号 0..9（默认 0）\n"
               "  --name NAME         任意波名称，1 到 6 个字母或数字（默认：2.0 格式文件中的\n"
               "                      名称，否则 ArbNo 加编号）；不合规则的名称在发送前被拒绝\n") +
           ShapingOptions();
}

QString CaptureHelp()
{
    return QStringLiteral("vxarb capture [--resource R | --port COMn] -o OUT [--format csv|arb|txt]\n"
                          "  像“读取数据”一样从泰克 TDS 示波器读取一条 2500 点的波形，按 convert 的格式写入\n"
                          "  OUT。\n"
                          "  --port COMn         RS-232 端口，使用面板的默认设置（9600 波特，无校验，8 位，\n"
                          "                      硬件流控，LF 结尾，通道 CH1）。Linux 上 COMn 为\n"
                          "                      /dev/ttyUSB(n-1)，不存在时为 /dev/ttyS(n-1)\n"
                          "                      （默认 COM1）；也可直接给出设备文件的路径\n"
                          "  --resource R        USB 示波器的资源名\n"
                          "  -o, --output OUT    输出文件；只有整个命令成功后才写入\n") +
           FormatOption();
}

QString Closing()
{
    return QStringLiteral("通用选项：\n"
                          "  -h, --help          显示帮助（命令之后给出时只显示该命令的帮助）\n"
                          "  -v, --version       显示版本\n"
                          "\n"
                          "退出状态：\n"
                          "  0  成功\n"
                          "  1  输入被拒绝（错误信息与窗口相同，写在标准错误输出上），或输出文件无法写入\n"
                          "  2  命令行用法错误\n"
                          "  3  仪器错误：未找到仪器、无应答或连接中断\n"
                          "\n"
                          "环境变量：\n"
                          "  ARB_VISA_LIBRARY    要加载的 VISA 库的路径（默认在系统中查找，找不到时\n"
                          "                      直接使用内核的 usbtmc 驱动）\n");
}

} // namespace

QString VersionText()
{
    return QStringLiteral("vxarb " ARB_VERSION);
}

QString HelpText()
{
    return Synopsis() + QLatin1Char('\n') + ConvertHelp() + QLatin1Char('\n') + ListHelp() +
           QLatin1Char('\n') + SendHelp() + QLatin1Char('\n') + CaptureHelp() + QLatin1Char('\n') + Closing();
}

QString CommandHelpText(const QString &command)
{
    if (command == QLatin1String("convert"))
        return ConvertHelp();
    if (command == QLatin1String("list"))
        return ListHelp();
    if (command == QLatin1String("send"))
        return SendHelp();
    if (command == QLatin1String("capture"))
        return CaptureHelp();
    return HelpText();
}

} // namespace arb::cli
