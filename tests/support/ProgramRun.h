#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// One run of a program to its end, for the tests that start Locavia's programs themselves.
struct ProgramRun {
    int status = -1; // the exit status; -1 when the program crashed or did not end within two minutes
    QString out;
    QString err;

    static ProgramRun of(const QString &program, const QStringList &arguments,
                         const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                         const QString &workingDirectory = {});
    // Everything, for a failure message.
    QString report() const;
};
