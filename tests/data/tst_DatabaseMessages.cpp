// What the user reads when the embedded database's files are damaged, empty, read-only or full, or when a
// search is too much for it: a French message that names the file in question (the inventory locavia.db or
// the reference file solma.db) and says what to do, never the other, healthy file, never SQLite's English.

#include "EOException.h"
#include "EOModelGroup.h"
#include "EOPostgreSQLConnection.h"
#include "EOQualifier.h"
#include "EOSQLiteAdaptor.h"
#include "TestDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>
#include <functional>
#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

bool isEnglish(const QString &message)
{
    for (const char *words : {"database is", "no such", "disk image", "not a database", "pattern too",
                              "readonly", "attempt to"}) {
        if (message.contains(QLatin1String(words)))
            return true;
    }
    return false;
}

// For its life, the process acts as a plain account: file permissions do not hold back the superuser that
// runs the tests on a build machine.
class PlainAccount
{
public:
    PlainAccount()
    {
        if (geteuid() != 0)
            return;
        const passwd *nobody = getpwnam("nobody");
        m_switched = nobody && setegid(nobody->pw_gid) == 0 && seteuid(nobody->pw_uid) == 0;
    }
    ~PlainAccount()
    {
        if (m_switched) {
            [[maybe_unused]] const int user = seteuid(0);
            [[maybe_unused]] const int group = setegid(0);
        }
    }
    bool isPlain() const { return geteuid() != 0; }

private:
    bool m_switched = false;
};

struct SqliteMessages : eo::EOSQLiteAdaptor {
    using eo::EOSQLiteAdaptor::messageOf;
};

} // namespace

class TestDatabaseMessages : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> db;

    QString file(const char *name) const { return db->directory() + QLatin1Char('/') + QLatin1String(name); }

    // A new data bus on the test's files (the fixture's own connection is closed first), running one
    // operation; answers the message the user reads, from the error or from the alert.
    QString messageOf(const std::function<void(data::KORDataBusOC &)> &operation)
    {
        db->dataBus().dataBusAdaptor()->close();
        eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
        data::KORDataBusOC bus;
        bus.initDataBusWithModel(db->model().name(), &context);
        db->takeAlerts();
        try {
            operation(bus);
        } catch (const eo::EOException &error) {
            return error.message();
        }
        const auto alerts = db->takeAlerts();
        return alerts.isEmpty() ? QString() : alerts.last().message;
    }

    static void fetchRooms(data::KORDataBusOC &bus)
    {
        bus.fetchArray(QStringLiteral("SallesVix"), eo::EOQualifierPtr(), {});
    }

    // A room is kept in the reference file.
    static void addRoom(data::KORDataBusOC &bus)
    {
        bus.executeProcedure(
            QStringLiteral("insSalle"),
            TestDatabase::roomArguments(QStringLiteral("SCI"), QStringLiteral("2"), QStringLiteral("C3")));
    }

private slots:
    void init()
    {
        db = std::make_unique<TestDatabase>();
        QVERIFY2(db->isValid(), qPrintable(db->error()));
        QVERIFY(!db->addBuilding(QStringLiteral("SCI"), QStringLiteral("SCIENCES")).isEmpty());
        QVERIFY(db->addRoom(QStringLiteral("SCI"), QStringLiteral("1"), QStringLiteral("B12")) > 0);
        db->dataBus().dataBusAdaptor()->close();
    }

    void cleanup() { db.reset(); }

    // Both databases' own text (English, naming tables and statements) goes to the log with what was
    // running; the user reads in French what happened and what to do.
    void technicalTextGoesToTheLog_data()
    {
        QTest::addColumn<int>("code"); // SQLite's result code, 0 for the server
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QString>("french");
        const auto row = [](int code, const char *state, const char *detail, const char *french) {
            QTest::newRow(detail) << code << QByteArray(state) << QString::fromUtf8(detail)
                                  << QString::fromUtf8(french);
        };
        row(SQLITE_CANTOPEN, "", "unable to open database file", "ne peut pas être ouverte");
        row(SQLITE_IOERR, "", "disk I/O error", "Le disque n'a pas pu lire ou écrire");
        row(SQLITE_CONSTRAINT, "", "UNIQUE constraint failed: UNITE.UNI_ABREV", "déjà enregistrée");
        row(SQLITE_CONSTRAINT, "", "NOT NULL constraint failed: UNITE.UNI_LIBELLE",
            "valeur obligatoire manque");
        row(SQLITE_ERROR, "", "near \"SELEKT\": syntax error", "si l'erreur revient");
        row(0, "42501", "permission denied for table salles", "Droits insuffisants");
        row(0, "23505", "duplicate key value violates unique constraint \"unite_pkey\"", "déjà enregistrée");
        row(0, "23502", "null value in column \"uni_abrev\" violates not-null constraint",
            "obligatoire manque");
        row(0, "22001", "value too long for type character varying(3)", "trop long");
        row(0, "53100", "could not extend file \"base/1/2\": No space left on device", "est plein");
        row(0, "25006", "cannot execute UPDATE in a read-only transaction", "n'accepte que des lectures");
        row(0, "42601", "syntax error at or near \"SELEKT\"", "si l'erreur revient");
    }

    void technicalTextGoesToTheLog()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, state);
        QFETCH(QString, detail);
        QFETCH(QString, french);
        const QString context = QStringLiteral("SELECT * FROM SOLMA.SALLES");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(detail) + ".*" +
                                                              QRegularExpression::escape(context)));
        eo::EOPostgreSQLConnection::Parameters server;
        server.server = QStringLiteral("db.example:5432");
        const QString message =
            code ? SqliteMessages().messageOf(code, detail, {}, context)
                 : eo::EOPostgreSQLConnection::errorForState(state, detail, server, context).message();
        QVERIFY2(message.contains(french) && !message.contains(detail) && !message.contains(context) &&
                     !isEnglish(message),
                 qPrintable(message));
    }

    void damagedFilesAreNamed_data()
    {
        QTest::addColumn<QString>("damaged");
        QTest::addColumn<bool>("truncated");
        QTest::newRow("corrupt solma.db") << "solma.db" << false;
        QTest::newRow("truncated solma.db") << "solma.db" << true;
        QTest::newRow("corrupt locavia.db") << "locavia.db" << false;
    }

    void damagedFilesAreNamed()
    {
        QFETCH(QString, damaged);
        QFETCH(bool, truncated);
        QFile target(db->directory() + QLatin1Char('/') + damaged);
        if (truncated) {
            QVERIFY(target.size() > 2 * 4096);
            QVERIFY(target.resize(2 * 4096));
        } else {
            QVERIFY(target.open(QIODevice::WriteOnly));
            target.write(QByteArray(8192, 'z'));
            target.close();
        }
        const QString message = messageOf(fetchRooms);
        const QString healthy =
            damaged == u"solma.db" ? QStringLiteral("locavia.db") : QStringLiteral("solma.db");
        QVERIFY2(message.contains(QStringLiteral("/%1 » est endommagé").arg(damaged)), qPrintable(message));
        // The healthy file is named only to be kept.
        QVERIFY2(message.contains(QStringLiteral("/%1 », n'est pas en cause : gardez-le").arg(healthy)),
                 qPrintable(message));
        QVERIFY2(!isEnglish(message), qPrintable(message));
    }

    void anEmptyInventoryIsSaidEmpty()
    {
        QFile inventory(file("locavia.db"));
        QVERIFY(inventory.open(QIODevice::WriteOnly | QIODevice::Truncate));
        inventory.close();
        const QString message = messageOf(fetchRooms);
        QVERIFY2(message.contains(QStringLiteral("/locavia.db » est vide")) &&
                     message.contains(QStringLiteral("locavia-admin sqlite --dir")),
                 qPrintable(message));
        QVERIFY2(!isEnglish(message), qPrintable(message));
    }

    void aReadOnlyReferenceFileIsNamed()
    {
        // The reference file may be shared read-only with the department; the inventory stays writable.
        QVERIFY(QFile::setPermissions(db->directory(), QFile::ReadOwner | QFile::WriteOwner |
                                                           QFile::ExeOwner | QFile::ReadOther |
                                                           QFile::WriteOther | QFile::ExeOther));
        QVERIFY(QFile::setPermissions(file("locavia.db"), QFile::ReadOwner | QFile::WriteOwner |
                                                              QFile::ReadOther | QFile::WriteOther));
        QVERIFY(QFile::setPermissions(file("solma.db"), QFile::ReadOwner | QFile::ReadOther));
        QString message;
        {
            const PlainAccount account;
            QVERIFY(account.isPlain());
            // Reading still works.
            QCOMPARE(messageOf(fetchRooms), QString());
            message = messageOf(addRoom);
        }
        QVERIFY2(message.contains(QStringLiteral("lire « %1 »").arg(file("solma.db"))), qPrintable(message));
        QVERIFY2(!message.contains(QStringLiteral("locavia.db")), qPrintable(message));
        QVERIFY2(!isEnglish(message), qPrintable(message));
    }

    void aFullDiskIsSaid()
    {
        QString message = messageOf([](data::KORDataBusOC &bus) {
            auto *adaptor = static_cast<eo::EOSQLiteAdaptor *>(bus.dataBusAdaptor());
            // The inventory may not grow any more: what a full disk does to a write.
            sqlite3_exec(adaptor->handle(), "PRAGMA main.max_page_count = 1", nullptr, nullptr, nullptr);
            for (int unit = 0; unit < 200; ++unit) {
                if (!bus.executeProcedure(QStringLiteral("insUnite"),
                                          {{"uniabrev", QStringLiteral("u%1").arg(unit)},
                                           {"unilibelle", QString(40, QLatin1Char('u'))}}))
                    return;
            }
        });
        QVERIFY2(message.contains(QStringLiteral("est plein")) &&
                     message.contains(QStringLiteral("locavia.db")),
                 qPrintable(message));
        QVERIFY2(!isEnglish(message), qPrintable(message));
    }

    void aSearchTooComplexIsSaid()
    {
        const QString message = messageOf([](data::KORDataBusOC &bus) {
            bus.fetchArray(QStringLiteral("SallesVix"), QStringLiteral("salPorte like %@"),
                           {QString(60000, QLatin1Char('*'))}, {});
        });
        QVERIFY2(message.contains(QStringLiteral("trop long ou contient trop de caractères spéciaux")),
                 qPrintable(message));
        QVERIFY2(!isEnglish(message), qPrintable(message));
    }
};

QTEST_GUILESS_MAIN(TestDatabaseMessages)
#include "tst_DatabaseMessages.moc"
