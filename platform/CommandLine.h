#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>

class QCommandLineParser;

namespace platform
{

// The manners Locavia's programs share on their command line: -h/--help and -v/--version in French, the
// exit statuses listed at the end of the help, usage errors with status 2.
class CommandLine
{
public:
    CommandLine() = delete;

    enum ExitStatus : int { Success = 0, Failure = 1, UsageError = 2 };

    struct Status {
        int code;
        QString meaning;
    };

    static QCommandLineOption helpOption();
    static QCommandLineOption versionOption();
    // "<program> (Locavia) <version>", or "Locavia <version>" for the desktop application.
    static QString versionText(const QString &program);
    // The paragraph that ends a help: one line per exit status.
    static QString statusText(const QList<Status> &statuses);
    // The parser's help, the program named without its folder, followed by the exit statuses.
    static QString helpText(const QString &program, const QCommandLineParser &parser,
                            const QList<Status> &statuses);
    // "<program> : <message>" then how to get help, for the error output.
    static QString usageError(const QString &program, const QString &message);
};

// The version of Locavia, as the project declares it.
QString locaviaVersion();

} // namespace platform
