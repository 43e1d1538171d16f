#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace platform
{

QString locaviaVersion()
{
    return QStringLiteral(LOCAVIA_VERSION);
}

QCommandLineOption CommandLine::helpOption()
{
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                              QStringLiteral("Affiche cette aide et s'arrête."));
}

QCommandLineOption CommandLine::versionOption()
{
    return QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                              QStringLiteral("Affiche la version et s'arrête."));
}

QString CommandLine::versionText(const QString &program)
{
    if (program.compare(QLatin1String("locavia"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Locavia %1\n").arg(locaviaVersion());
    return QStringLiteral("%1 (Locavia) %2\n").arg(program, locaviaVersion());
}

QString CommandLine::statusText(const QList<Status> &statuses)
{
    QString text = QStringLiteral("Codes de sortie :\n");
    for (const Status &status : statuses)
        text += QStringLiteral("  %1  %2\n").arg(status.code).arg(status.meaning);
    return text;
}

QString CommandLine::helpText(const QString &program, const QCommandLineParser &parser,
                              const QList<Status> &statuses)
{
    // The parser names the program as it was started, folder included.
    QString text = parser.helpText();
    const QStringList arguments = QCoreApplication::arguments();
    const qsizetype firstLineEnd = text.indexOf(QLatin1Char('\n'));
    if (!arguments.isEmpty() && firstLineEnd > 0) {
        QString firstLine = text.left(firstLineEnd);
        firstLine.replace(arguments.first(), program);
        text = firstLine + text.mid(firstLineEnd);
    }
    return text + QLatin1Char('\n') + statusText(statuses);
}

QString CommandLine::usageError(const QString &program, const QString &message)
{
    return QStringLiteral("%1 : %2\nEssayez « %1 --help » pour en savoir plus.\n").arg(program, message);
}

} // namespace platform
