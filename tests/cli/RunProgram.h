#pragma once

// Runs the program as a user's shell would, without a display: DISPLAY,
// WAYLAND_DISPLAY and QT_QPA_PLATFORM are not set, so that a command that
// loaded a display plugin would fail.
#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

#ifndef ARB_VXARB_PROGRAM
#error "ARB_VXARB_PROGRAM is the path of the program under test"
#endif

// Texts in failure reports as text, not as arrays of code units.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace arb::test
{

struct ProgramRun {
    int status = -1;
    QString out;
    QString err;
    bool finished = false;
};

struct ProgramOptions {
    QString program = QStringLiteral(ARB_VXARB_PROGRAM);
    // Set in the child's environment, after the display's variables are taken out.
    QStringList environment;
    QString workingDirectory;
    // Runs in the child before the program starts (e.g. to drop root).
    std::function<void()> childSetup;
    int timeoutMs = 120000;
};

// The test process's own application: a QApplication (on the tests'
// offscreen platform), since some tests compare with the real window; made
// when first needed and ended with the test program, so that it frees what
// it holds.
class ApplicationEnvironment final : public ::testing::Environment
{
  public:
    static QApplication *&instance()
    {
        static QApplication *app = nullptr;
        return app;
    }
    void TearDown() override
    {
        delete instance();
        instance() = nullptr;
    }
};

inline void EnsureCoreApplication()
{
    static int argc = 1;
    static char name[] = "test_cli";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);
        ApplicationEnvironment::instance() = new QApplication(argc, argv);
    }
}

inline QProcessEnvironment EnvironmentWithoutDisplay(const QStringList &extra)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    for (const QString &assignment : extra)
        env.insert(assignment.section(QLatin1Char('='), 0, 0), assignment.section(QLatin1Char('='), 1));
    return env;
}

inline ProgramRun RunProgram(const QStringList &arguments, const ProgramOptions &options = {})
{
    EnsureCoreApplication();
    QProcess p;
    p.setProcessEnvironment(EnvironmentWithoutDisplay(options.environment));
    if (!options.workingDirectory.isEmpty())
        p.setWorkingDirectory(options.workingDirectory);
    if (options.childSetup)
        p.setChildProcessModifier(options.childSetup);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(options.program, arguments);
    ProgramRun r;
    if (!p.waitForStarted(30000)) {
        ADD_FAILURE() << "the program did not start: " << options.program.toStdString();
        return r;
    }
    // The test's own event loop runs meanwhile, so that a peer in the test
    // (a serial instrument on a pseudo-terminal) answers the program.
    const QDeadlineTimer deadline(options.timeoutMs);
    while (p.state() != QProcess::NotRunning && !p.waitForFinished(5) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    r.finished = p.state() == QProcess::NotRunning;
    if (!r.finished) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << "the program did not end: " << arguments.join(QLatin1Char(' ')).toStdString();
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace arb::test
