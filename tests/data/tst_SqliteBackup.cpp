// Backups of the embedded database: the rotation, a copy taken while another program writes, restores of
// sound and damaged backups over sound and damaged files, a full or read-only disk, and locavia-admin.

#include "BackupRotation.h"
#include "Clock.h"
#include "EOModelGroup.h"
#include "FileWriter.h"
#include "ProgramRun.h"
#include "Resources.h"
#include "SqliteBackup.h"
#include "SqliteDatabaseInstaller.h"
#include "SqliteRestore.h"
#include "TestDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QStorageInfo>
#include <QTest>
#include <fcntl.h>
#include <sqlite3.h>

using namespace data;

namespace
{

QByteArray sum(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? SqliteBackup::checksum(file) : QByteArray();
}

// The numbers a query gives on a copy of the database (both files attached as the program attaches them).
QList<qint64> numbers(const QString &dir, const char *sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(dir + "/locavia.db").constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_busy_timeout(db, 10000);
    sqlite3_exec(db, QByteArray("ATTACH '" + QFile::encodeName(dir) + "/solma.db' AS SOLMA").constData(),
                 nullptr, nullptr, nullptr);
    sqlite3_stmt *statement = nullptr;
    QList<qint64> values;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        for (int column = 0; column < sqlite3_column_count(statement); ++column)
            values << sqlite3_column_int64(statement, column);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return values;
}

// Rooms, and rooms whose creation the history holds: equal in a copy of one moment.
const char *const roomsAndTheirHistory =
    "SELECT (SELECT COUNT(*) FROM SOLMA.SALLES), (SELECT COUNT(DISTINCT "
    "SAL_NUMERO) FROM HISTORIQUE WHERE HIS_TABLE = 'SALLES' AND HIS_OPERATION "
    "= 'création')";

void flipByte(const QString &path, qint64 offset)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(offset));
    char byte = 0;
    QVERIFY(file.getChar(&byte) && file.seek(offset) && file.putChar(char(byte ^ 0x5a)));
}

} // namespace

class TestSqliteBackup : public QObject
{
    Q_OBJECT

    QTemporaryDir scratch;
    std::unique_ptr<TestDatabase> db;
    QDateTime now;
    QString base() const { return db->directory(); }
    QString folder() const { return base() + "/sauvegardes"; }

    void addRooms(int count)
    {
        static int door = 0;
        for (int i = 0; i < count; ++i)
            QVERIFY(db->addRoom("SCI", "1", QStringLiteral("P%1").arg(++door)) > 0);
    }

private slots:
    void init()
    {
        now = QDateTime(QDate(2024, 6, 3), QTime(18, 0)); // a Monday
        platform::Clock::setSource([this] { return now; });
        db = std::make_unique<TestDatabase>();
        QVERIFY2(db->isValid(), qPrintable(db->error()));
        QVERIFY(!db->addBuilding("SCI", "SCIENCES").isEmpty());
        addRooms(3);
    }
    void cleanup()
    {
        db.reset();
        platform::Clock::setSource({});
    }

    void rotation_data()
    {
        QTest::addColumn<QStringList>("backups");  // "<date> <kind>", newest last
        QTest::addColumn<QStringList>("expected"); // removed
        QStringList days;
        for (int day = 1; day <= 10; ++day)
            days << QStringLiteral("2024-06-%1T18:00 quotidienne").arg(day, 2, 10, QLatin1Char('0'));
        QTest::newRow("seven days of ten") << days << days.mid(0, 3);
        QTest::newRow("the newest copy of a day")
            << QStringList{"2024-06-01T09:00 hebdomadaire", "2024-06-01T18:00 quotidienne"} << QStringList{};
        QTest::newRow("two copies of a day beyond the week's")
            << QStringList{"2024-06-03T09:00 quotidienne", "2024-06-03T18:00 quotidienne"}
            << QStringList{"2024-06-03T09:00 quotidienne"};
        QStringList weeks;
        for (int week = 0; week < 6; ++week)
            weeks << QDate(2024, 5, 6).addDays(7 * week).toString("yyyy-MM-ddT09:00 'hebdomadaire'");
        QStringList lastDays;
        for (int day = 11; day <= 17; ++day)
            lastDays << QStringLiteral("2024-06-%1T18:00 quotidienne").arg(day);
        QTest::newRow("four weeks of six") << weeks + lastDays << weeks.mid(0, 2);
        QStringList manual;
        QStringList others;
        for (int i = 0; i < 12; ++i) {
            manual << QStringLiteral("2024-06-01T10:%1 manuelle").arg(i, 2, 10, QLatin1Char('0'));
            others << QStringLiteral("2024-06-01T11:%1 avant-mise-a-jour").arg(i, 2, 10, QLatin1Char('0'))
                   << QStringLiteral("2024-06-01T12:%1 avant-restauration").arg(i, 2, 10, QLatin1Char('0'));
        }
        QTest::newRow("ten manual copies, kept apart from the days")
            << days + manual << days.mid(0, 3) + manual.mid(0, 2);
        QStringList removedOthers;
        for (int i = 0; i < 7; ++i)
            removedOthers << others.at(2 * i) << others.at(2 * i + 1);
        QTest::newRow("five of each other kind") << others << removedOthers;
    }
    void rotation()
    {
        QFETCH(QStringList, backups);
        QList<BackupFolder::Entry> entries;
        for (const QString &backup : backups) {
            BackupFolder::Entry entry{backup, QString(), {}};
            entry.manifest.date = QDateTime::fromString(backup.section(' ', 0, 0), Qt::ISODate);
            entry.manifest.kind = *backupKindFromId(backup.section(' ', 1));
            entries << entry;
        }
        QStringList removed = BackupRotation::surplus(entries);
        QFETCH(QStringList, expected);
        removed.sort();
        expected.sort();
        QCOMPARE(removed, expected);
    }

    // Six weeks of sessions, with the clock of each evening: one copy a day, the week's first kept 4 weeks.
    void dailyCopiesOverSixWeeks()
    {
        for (int day = 0; day < 42; ++day) {
            now = QDateTime(QDate(2024, 6, 3).addDays(day), QTime(18, 0));
            const std::optional<BackupFolder::Entry> made = SqliteBackup::daily(base(), folder());
            QVERIFY(made && made->manifest.rooms == 3);
            QCOMPARE(made->manifest.kind, day % 7 == 0 ? BackupKind::Weekly : BackupKind::Daily);
            now = now.addSecs(3600);
            QVERIFY(!SqliteBackup::daily(base(), folder()));
        }
        QStringList kept;
        for (const BackupFolder::Entry &backup : BackupFolder::list(folder()))
            kept.prepend(backup.name);
        QStringList expected;
        for (int day : {14, 21, 28, 35, 36, 37, 38, 39, 40, 41})
            expected << QDate(2024, 6, 3).addDays(day).toString("yyyy-MM-dd_18-00-00_") +
                            (day % 7 == 0 ? "hebdomadaire" : "quotidienne");
        QCOMPARE(kept, expected);
    }

    // Another program creates rooms all along (each room and its history line in one transaction over both
    // files): every copy is the state of one moment.
    void copyWhileAnotherProgramWrites()
    {
        const QString stop = scratch.filePath("stop");
        QProcess writer;
        writer.start(LOCAVIA_BACKUP_WRITER, {"--dir", base(), "--building", "SCI", "--stop", stop});
        QVERIFY(writer.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(numbers(base(), "SELECT COUNT(*) FROM SOLMA.SALLES").value(0) > 10, 20000);
        QList<qint64> counts;
        for (int i = 0; i < 8; ++i) {
            const BackupFolder::Entry copy =
                SqliteBackup::create(base(), folder(), BackupKind::Manual, 20000);
            const QList<qint64> found = numbers(copy.path, roomsAndTheirHistory);
            QCOMPARE(found.size(), 2);
            QCOMPARE(found.at(0), found.at(1));
            QCOMPARE(found.at(0), copy.manifest.rooms);
            counts << copy.manifest.rooms;
        }
        QFile(stop).open(QIODevice::WriteOnly);
        QVERIFY(writer.waitForFinished(30000));
        QCOMPARE(writer.exitCode(), 0);
        QVERIFY2(counts.first() < counts.last(), "the program wrote nothing while the copies were taken");
        QVERIFY(writer.readAllStandardOutput().trimmed().toLongLong() + 3 >= counts.last());
    }

    void damagedBackupRefused_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        const QString changed = QStringLiteral("n'est pas celui qu'elle a enregistré");
        QTest::newRow("a byte changed") << "octet" << changed;
        QTest::newRow("a file of another backup") << "autre" << changed;
        QTest::newRow("a file cut short") << "tronqué" << changed;
        QTest::newRow("a manifest rewritten") << "manifeste"
                                              << "compte 3 salles au lieu des 5 enregistrées";
    }
    void damagedBackupRefused()
    {
        QFETCH(QString, damage);
        const BackupFolder::Entry older = SqliteBackup::create(base(), folder(), BackupKind::Manual);
        addRooms(1);
        const BackupFolder::Entry newer = SqliteBackup::create(base(), folder(), BackupKind::Manual);
        const QString solma = older.path + "/solma.db";
        if (damage == "octet")
            flipByte(older.path + "/locavia.db", QFileInfo(older.path + "/locavia.db").size() / 2);
        else if (damage == "autre")
            QVERIFY(QFile::remove(solma) && QFile::copy(newer.path + "/solma.db", solma));
        else if (damage == "tronqué")
            QVERIFY(QFile::resize(solma, QFileInfo(solma).size() - 4096));
        else {
            QFile manifest(older.path + "/sauvegarde.json");
            QVERIFY(manifest.open(QIODevice::ReadOnly));
            const QByteArray text = manifest.readAll().replace("\"salles\": 3", "\"salles\": 5");
            manifest.close();
            QVERIFY(platform::FileWriter::writeAtomically(manifest.fileName(), text));
        }
        const QByteArray before = sum(base() + "/locavia.db") + sum(base() + "/solma.db");
        QString refusal;
        try {
            SqliteRestore::restore(base(), folder(), BackupFolder::find(folder(), older.name),
                                   platform::resourcesDirectory());
        } catch (const eo::EOException &error) {
            refusal = error.message();
        }
        QFETCH(QString, message);
        QVERIFY2(refusal.contains("est endommagée") && refusal.contains(message), qPrintable(refusal));
        QCOMPARE(sum(base() + "/locavia.db") + sum(base() + "/solma.db"), before);
        QCOMPARE(BackupFolder::list(folder()).size(), 2);
        QCOMPARE(QDir(base()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void restore_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("keptChecked");
        QTest::addColumn<int>("keptFiles");
        QTest::newRow("sound files") << "saine" << true << 2;
        QTest::newRow("locavia.db damaged") << "endommagée" << false << 2;
        QTest::newRow("solma.db deleted") << "effacée" << false << 1;
    }
    void restore()
    {
        QFETCH(QString, state);
        const BackupFolder::Entry backup = SqliteBackup::create(base(), folder(), BackupKind::Daily);
        addRooms(2);
        // Another user's program, which has the files open.
        sqlite3 *other = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(base() + "/solma.db").constData(), &other), SQLITE_OK);
        QCOMPARE(sqlite3_exec(other, "SELECT COUNT(*) FROM SALLES", nullptr, nullptr, nullptr), SQLITE_OK);
        if (state == "endommagée") {
            QFile file(base() + "/locavia.db");
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                    file.write(QByteArray(9000, 'x')));
        } else if (state == "effacée") {
            QVERIFY(QFile::remove(base() + "/solma.db"));
        }
        const QByteArray current = sum(base() + (state == "effacée" ? "/locavia.db" : "/solma.db"));

        now = now.addSecs(60);
        const SqliteRestore::Report report =
            SqliteRestore::restore(base(), folder(), backup, platform::resourcesDirectory(), 2000);
        QCOMPARE(report.rooms, 3);
        QCOMPARE(numbers(base(), roomsAndTheirHistory), (QList<qint64>{3, 3}));
        QCOMPARE(sum(base() + "/locavia.db") + sum(base() + "/solma.db"),
                 sum(backup.path + "/locavia.db") + sum(backup.path + "/solma.db"));
        QCOMPARE(report.kept.manifest.kind, BackupKind::BeforeRestore);
        QTEST(report.kept.manifest.checked, "keptChecked");
        QTEST(int(report.kept.manifest.files.size()), "keptFiles");
        QCOMPARE(report.kept.manifest.rooms, state == "saine" ? 5 : -1);
        QCOMPARE(sum(report.kept.path + (state == "effacée" ? "/locavia.db" : "/solma.db")), current);
        // The program that had the former files open can no longer write them: its work would be lost.
        QCOMPARE(sqlite3_exec(other, "UPDATE SALLES SET SAL_PORTE = 'X'", nullptr, nullptr, nullptr) & 0xff,
                 SQLITE_READONLY);
        sqlite3_close(other);
        QCOMPARE(QDir(base()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    // A restore stopped between its two files (the machine switched off) is finished by the next program
    // that opens the database, before it reads anything.
    void interruptedRestoreIsFinished()
    {
        const BackupFolder::Entry backup = SqliteBackup::create(base(), folder(), BackupKind::Manual);
        addRooms(4);
        QVERIFY(QFile::remove(base() + "/locavia.db") &&
                QFile::copy(backup.path + "/locavia.db", base() + "/locavia.db"));
        QVERIFY(
            QFile::copy(backup.path + "/solma.db", base() + "/" + SqliteRestore::stagedFileName("solma.db")));
        QVERIFY(platform::FileWriter::writeAtomically(base() + "/" + SqliteRestore::markerFileName(),
                                                      backup.name.toUtf8()));

        eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
        KORDataBusOC bus;
        bus.initDataBusWithModel("Locavia", &context);
        QCOMPARE(bus.executeSQLQuery("SELECT COUNT(*) FROM SOLMA.SALLES").value(0).values().value(0).toInt(),
                 3);
        QCOMPARE(numbers(base(), roomsAndTheirHistory), (QList<qint64>{3, 3}));
        QCOMPARE(QDir(base()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void failedBackupLeavesNothing_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("message");
        QTest::newRow("full disk") << "size=4m"
                                   << "Le disque est plein : libérez de la place";
        QTest::newRow("read-only disk") << "size=4m,ro"
                                        << "est sur un disque en lecture seule";
    }
    void failedBackupLeavesNothing()
    {
        QFETCH(QString, options);
        const QString disk = scratch.filePath("disque");
        QVERIFY(QDir().mkpath(disk));
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", options, "tmpfs", disk}) != 0) {
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL("a small file system cannot be mounted");
            QSKIP("a small file system can be mounted by the superuser only");
        }
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {disk}); });
        if (!options.endsWith("ro")) {
            QVERIFY(QDir(disk).mkdir("sauvegardes"));
            QFile filler(disk + "/remplissage");
            QVERIFY(filler.open(QIODevice::WriteOnly) &&
                    ::posix_fallocate(filler.handle(), 0, QStorageInfo(disk).bytesAvailable() - 16384) == 0);
        }
        const QByteArray before = sum(base() + "/locavia.db") + sum(base() + "/solma.db");
        QString failure;
        try {
            SqliteBackup::create(base(), disk + "/sauvegardes", BackupKind::Daily);
        } catch (const eo::EOException &error) {
            failure = error.message();
        }
        QFETCH(QString, message);
        QVERIFY2(failure.contains(message) && !failure.contains("No space"), qPrintable(failure));
        QCOMPARE(
            QDir(disk + "/sauvegardes").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());
        QCOMPARE(sum(base() + "/locavia.db") + sum(base() + "/solma.db"), before);
    }

    void upgradeIsPrecededByABackup()
    {
        QVERIFY(db->exec("PRAGMA main.user_version = 1; PRAGMA SOLMA.user_version = 1"));
        SqliteDatabaseInstaller::install(base(), platform::resourcesDirectory());
        SqliteDatabaseInstaller::install(base(), platform::resourcesDirectory());
        const QList<BackupFolder::Entry> backups = BackupFolder::list(folder());
        QCOMPARE(backups.size(), 1);
        QCOMPARE(backups.first().manifest.kind, BackupKind::BeforeUpgrade);
        QCOMPARE(backups.first().manifest.schemaVersion, 1);
        QCOMPARE(numbers(backups.first().path, roomsAndTheirHistory), (QList<qint64>{3, 3}));
        QCOMPARE(numbers(base(), "SELECT user_version FROM pragma_user_version"), QList<qint64>{2});
    }

    void commandLine()
    {
        const auto admin = [this](const QStringList &arguments) {
            return ProgramRun::of(LOCAVIA_ADMIN_PATH, QStringList(arguments) << "--dir" << base());
        };
        ProgramRun run = admin({"backup", "--daily"});
        QVERIFY2(run.status == 0 && run.out.contains("Sauvegarde hebdomadaire faite"),
                 qPrintable(run.report()));
        run = admin({"backup", "--daily"});
        QVERIFY2(run.status == 0 && run.out.contains("déjà faite"), qPrintable(run.report()));
        addRooms(1);
        run = admin({"backup"});
        QVERIFY2(run.status == 0 && run.out.contains("(4 salles)"), qPrintable(run.report()));
        run = admin({"restore", "--list"});
        QVERIFY2(run.status == 0 && run.out.count("salles") == 2, qPrintable(run.report()));

        const QList<BackupFolder::Entry> backups = BackupFolder::list(folder());
        flipByte(backups.first().path + "/solma.db", 5000);
        run = admin({"restore", backups.first().name});
        QVERIFY2(run.status == 1 && run.err.contains("est endommagée"), qPrintable(run.report()));
        run = admin({"restore", backups.last().path});
        QVERIFY2(run.status == 0 && run.out.contains("(3 salles)"), qPrintable(run.report()));
    }
};

QTEST_GUILESS_MAIN(TestSqliteBackup)
#include "tst_SqliteBackup.moc"
