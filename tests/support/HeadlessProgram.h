#pragma once
// The built program run as a command with no display at all: no X server,
// no Wayland, and no platform chosen for Qt. Needs VASTREL_PROGRAM, its path.

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace vastrel::testing {

struct CommandRun {
    int exitCode = -1;  // -1: it did not end normally within a minute
    QByteArray standardOutput, standardError;
};

inline CommandRun runHeadless(const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY"})
        environment.remove(QLatin1String(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VASTREL_PROGRAM), arguments);
    CommandRun run;
    if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit) return run;
    run.exitCode = program.exitCode();
    run.standardOutput = program.readAllStandardOutput();
    run.standardError = program.readAllStandardError();
    return run;
}

}  // namespace vastrel::testing
