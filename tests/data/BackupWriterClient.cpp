// A user who keeps creating rooms while a backup is taken: through the data bus and the procedure insSalle,
// each room in a transaction of its own that writes both files (the room in solma.db, its history in
// locavia.db). It stops when the stop file appears, then prints how many rooms it created.
//
//   locavia_backup_writer --dir DOSSIER --building CODE --stop FICHIER

#include "AlertPanel.h"
#include "EOModelGroup.h"
#include "KORDataBusOC.h"
#include "Resources.h"
#include "TestDatabase.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption dir(QStringLiteral("dir"), QString(), QStringLiteral("dossier"));
    const QCommandLineOption building(QStringLiteral("building"), QString(), QStringLiteral("code"));
    const QCommandLineOption stop(QStringLiteral("stop"), QString(), QStringLiteral("fichier"));
    parser.addOptions({dir, building, stop});
    parser.process(application);

    eo::EOModel &model = eo::EOModelGroup::defaultGroup().addModelWithFile(
        platform::resourcePath(QStringLiteral("models/Locavia.json")));
    QVariantMap dictionary = model.connectionDictionary();
    dictionary.insert(QStringLiteral("URL"), QStringLiteral("sqlite://%1/locavia.db").arg(parser.value(dir)));
    model.setConnectionDictionary(dictionary);
    eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
    data::KORDataBusOC bus;
    bus.initDataBusWithModel(model.name(), &context);
    bus.setSessionLogin(QStringLiteral("ecrivain"));
    QStringList alerts;
    platform::setAlertPresenter([&alerts](const QString &, const QString &message, const QString &) {
        alerts << message;
        return 1;
    });

    int created = 0;
    while (!QFileInfo::exists(parser.value(stop)) && created < 100000) {
        const QVariantMap room = TestDatabase::roomArguments(
            parser.value(building), QString::number(created % 9), QStringLiteral("W%1").arg(created));
        QVariantMap result;
        if (bus.executeProcedure(result, QStringLiteral("insSalle"), room))
            ++created;
    }
    QTextStream(stdout) << created << "\n";
    for (const QString &alert : std::as_const(alerts))
        QTextStream(stderr) << alert << "\n";
    return alerts.isEmpty() ? 0 : 1;
}
