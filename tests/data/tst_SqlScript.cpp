// The SQL scripts' inclusions: a shared part written once, its parameters renamed for each procedure that
// includes it, its views made temporary where they must be, and the mistakes in a directive found before
// anything is installed.

#include "EOException.h"
#include "SqlScript.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using data::SqlScript;

class TestSqlScript : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;

    void write(const QString &path, const QByteArray &text)
    {
        QVERIFY(QDir(m_root.path()).mkpath(QFileInfo(path).path()));
        QFile file(m_root.filePath(path));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        write(QStringLiteral("checks/part.sql"),
              "SELECT raise_error('Le code :a dépasse') WHERE length(:a) > 3 AND :ab IS NULL;\n"
              "-- :a in a comment\n"
              "/* :a in a block */ SELECT \"x:a\", CAST(:a AS TEXT)::text, :b;\n");
        write(QStringLiteral("views/v.sql"), "DROP VIEW IF EXISTS V;\nCREATE VIEW V AS SELECT 1;\n");
        write(QStringLiteral("checks/nested.sql"), "--@include checks/part.sql :a=:x\n");
        write(QStringLiteral("checks/loop.sql"), "--@include checks/loop.sql\n");
    }

    void expands_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no inclusion: the text as it is") << "SELECT :a;\n"
                                                         << "SELECT :a;\n";
        QTest::newRow("parameters renamed, quoted texts and comments left alone")
            << "BEGIN;\n--@include checks/part.sql :a=:insCode :b=NULL\nEND;\n"
            << "BEGIN;\n"
               "SELECT raise_error('Le code :a dépasse') WHERE length(:insCode) > 3 AND :ab IS NULL;\n"
               "-- :a in a comment\n"
               "/* :a in a block */ SELECT \"x:a\", CAST(:insCode AS TEXT)::text, NULL;\n"
               "END;\n";
        QTest::newRow("directive continued on the next lines")
            << "--@include checks/part.sql\n--@ :a=:code\n  --@ :b=:autre\n"
            << "SELECT raise_error('Le code :a dépasse') WHERE length(:code) > 3 AND :ab IS NULL;\n"
               "-- :a in a comment\n"
               "/* :a in a block */ SELECT \"x:a\", CAST(:code AS TEXT)::text, :autre;\n";
        QTest::newRow("included file that includes another")
            << "--@include checks/nested.sql :x=:code\n"
            << "SELECT raise_error('Le code :a dépasse') WHERE length(:code) > 3 AND :ab IS NULL;\n"
               "-- :a in a comment\n"
               "/* :a in a block */ SELECT \"x:a\", CAST(:code AS TEXT)::text, :b;\n";
        QTest::newRow("temporary views") << "--@include views/v.sql temporary\n"
                                         << "DROP VIEW IF EXISTS temp.V;\nCREATE TEMP VIEW V AS SELECT 1;\n";
        QTest::newRow("views as they are") << "--@include views/v.sql\n"
                                           << "DROP VIEW IF EXISTS V;\nCREATE VIEW V AS SELECT 1;\n";
    }
    void expands()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QCOMPARE(SqlScript::expand(script, m_root.path(), QStringLiteral("essai.sql")), expected);
    }

    void refusesWhatItCannotRead_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << "--@include checks/absent.sql\n"
                                      << "Le fichier « %1/checks/absent.sql » est introuvable ou illisible.";
        QTest::newRow("renaming a parameter the file does not use")
            << "--@include checks/part.sql :c=:code\n"
            << "« essai.sql » renomme le paramètre :c, que « checks/part.sql » n'utilise pas.";
        QTest::newRow("unknown word")
            << "--@include checks/part.sql temporaire\n"
            << "L'inclusion « --@include checks/part.sql temporaire » de « essai.sql "
               "» doit s'écrire";
        QTest::newRow("renaming to an expression")
            << "--@include checks/part.sql :a=1\n"
            << "L'inclusion « --@include checks/part.sql :a=1 » de « essai.sql » doit s'écrire";
        QTest::newRow("no file") << "--@include\n"
                                 << "L'inclusion « --@include » de « essai.sql » doit s'écrire";
        QTest::newRow("continuation without inclusion")
            << "SELECT 1;\n--@ :a=:b\n"
            << "La ligne « --@ :a=:b » de « essai.sql » continue une inclusion qui ne la précède pas.";
        QTest::newRow("outside the sql folder")
            << "--@include ../secret.sql\n"
            << "« essai.sql » inclut « ../secret.sql », qui n'est pas sous le dossier sql des ressources.";
        QTest::newRow("a file that includes itself") << "--@include checks/loop.sql\n"
                                                     << "les inclusions bouclent";
    }
    void refusesWhatItCannotRead()
    {
        QFETCH(QString, script);
        QFETCH(QString, message);
        if (message.contains(QLatin1String("%1")))
            message = message.arg(QDir::toNativeSeparators(m_root.path()));
        try {
            SqlScript::expand(script, m_root.path(), QStringLiteral("essai.sql"));
            QFAIL("the script must be refused");
        } catch (const eo::EOException &error) {
            QCOMPARE(error.kind(), eo::EOException::Kind::Database);
            QVERIFY2(error.message().contains(message), qPrintable(error.message()));
        }
    }
};

QTEST_GUILESS_MAIN(TestSqlScript)
#include "tst_SqlScript.moc"
