#include "ProgramRun.h"

#include <QProcess>

ProgramRun ProgramRun::of(const QString &program, const QStringList &arguments,
                          const QProcessEnvironment &environment, const QString &workingDirectory)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    ProgramRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished(3000);
        run.err = process.errorString();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString ProgramRun::report() const
{
    return QStringLiteral("statut %1\nsortie :\n%2\nerreurs :\n%3").arg(status).arg(out, err);
}
