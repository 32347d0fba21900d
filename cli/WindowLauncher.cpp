#include "cli/WindowLauncher.h"

#include "cli/Console.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>

#ifndef ARB_WINDOW_LIBRARY
#error "ARB_WINDOW_LIBRARY is the file name of the window's library"
#endif
#ifndef ARB_WINDOW_LIBRARY_FOLDER
#error "ARB_WINDOW_LIBRARY_FOLDER is the installed library's folder relative to the program's"
#endif

namespace arb::cli
{

namespace
{

// The window's entry point in its library.
using WindowMain = int (*)(int, char **);
constexpr char kWindowMain[] = "vxarb_window_main";

// Qt's options of a GUI program (QGuiApplication, QApplication, the xcb
// platform); one or two dashes, the value after a blank or "=".
const char *const kQtValueOptions[] = {
    "platform",        "platformpluginpath",
    "platformtheme",   "plugin",
    "qwindowgeometry", "qwindowicon",
    "qwindowtitle",    "session",
    "display",         "geometry",
    "style",           "stylesheet",
    "title",           "name",
    "visual",          "qmljsdebugger",
    "dialogs",         "fontengine",
};
const char *const kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

bool OneOf(const QString &name, const char *const *first, const char *const *last)
{
    for (; first != last; ++first)
        if (name == QLatin1String(*first))
            return true;
    return false;
}

QString ProgramFolder(const char *argv0)
{
#ifdef Q_OS_LINUX
    const QString self = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    if (!self.isEmpty())
        return QFileInfo(self).absolutePath();
#endif
    return QFileInfo(QFile::decodeName(argv0)).absolutePath();
}

} // namespace

WindowArguments CheckWindowArguments(const QStringList &arguments)
{
    WindowArguments w;
    QStringList files;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        if (a.size() < 2 || !a.startsWith(QLatin1Char('-'))) {
            files << a;
            continue;
        }
        const QString bare = a.mid(a.startsWith(QLatin1String("--")) ? 2 : 1);
        const QString name = bare.section(QLatin1Char('='), 0, 0);
        if (OneOf(name, std::begin(kQtValueOptions), std::end(kQtValueOptions))) {
            w.platformGiven = w.platformGiven || name == QLatin1String("platform");
            if (!bare.contains(QLatin1Char('=')))
                ++i;
            continue;
        }
        if (OneOf(name, std::begin(kQtFlagOptions), std::end(kQtFlagOptions)) &&
            !bare.contains(QLatin1Char('=')))
            continue;
        w.error = QStringLiteral("未知的选项 %1").arg(a.section(QLatin1Char('='), 0, 0));
        return w;
    }
    if (files.size() > 1) {
        w.error = QStringLiteral("窗口一次只能读入一个文件");
        return w;
    }
    w.file = files.value(0);
    return w;
}

bool DisplayAvailable(const WindowArguments &arguments)
{
#if defined(Q_OS_LINUX)
    return arguments.platformGiven || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    Q_UNUSED(arguments);
    return true;
#endif
}

QStringList WindowLibraryCandidates(const QString &programFolder)
{
    const QDir here(programFolder);
    return {here.filePath(QStringLiteral(ARB_WINDOW_LIBRARY)),
            QDir::cleanPath(here.filePath(QStringLiteral(ARB_WINDOW_LIBRARY_FOLDER "/" ARB_WINDOW_LIBRARY)))};
}

int RunWindow(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const WindowArguments checked = CheckWindowArguments(arguments);
    if (!checked.error.isEmpty())
        return UsageError(checked.error);
    // A file named where no window can open (over ssh, in a container) is
    // more likely a command mistyped than a wish for the window: say so
    // instead of letting Qt abort.
    if (!checked.file.isEmpty() && !DisplayAvailable(checked))
        return UsageError(
            QStringLiteral("没有显示器，无法打开窗口读入 %1（不打开窗口的命令见下）").arg(checked.file));

    const QStringList candidates = WindowLibraryCandidates(ProgramFolder(argv[0]));
    QString failure;
    for (const QString &path : candidates) {
        if (!QFileInfo::exists(path))
            continue;
        QLibrary library(path);
        const auto entry = reinterpret_cast<WindowMain>(library.resolve(kWindowMain));
        if (entry)
            return entry(argc, argv);
        failure = library.errorString();
        break;
    }
    PrintError(QStringLiteral("无法加载窗口程序库 %1%2")
                   .arg(candidates.join(QStringLiteral(" 或 ")),
                        failure.isEmpty() ? QString() : QStringLiteral("：") + failure));
    return kRefused;
}

} // namespace arb::cli
