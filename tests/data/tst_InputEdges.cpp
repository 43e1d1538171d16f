// Bad input at the database's edge, on the embedded database and on the server (the whole class runs once
// per backend, writes as a room manager): a NUL character is refused in any value, whatever reads it, and
// the message is whole; codes refuse control and invisible format characters with the sentence the form's
// own check gives; a failure of the database reads in French, its own English text going to the log.

#include "BackendTestCase.h"
#include "EOException.h"
#include "EOHiddenCharacter.h"
#include "EONull.h"
#include "KORTextCheck.h"

#include <QTest>

namespace
{

// The ">>>>> " lines written while it lives.
class LogCapture
{
public:
    LogCapture() { s_lines.clear(), m_previous = qInstallMessageHandler(handler); }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    QString text() const { return s_lines.join(u'\n'); }

private:
    static void handler(QtMsgType, const QMessageLogContext &, const QString &message)
    {
        if (message.startsWith(QLatin1String(">>>>> ")))
            s_lines.append(message);
    }
    static inline QStringList s_lines;
    QtMessageHandler m_previous = nullptr;
};

QVariantMap merged(QVariantMap arguments, const QVariantMap &overrides)
{
    for (auto it = overrides.constBegin(); it != overrides.constEnd(); ++it)
        arguments.insert(it.key(), it.value());
    return arguments;
}

QVariantMap building(const QString &code)
{
    return {{"adradresse1", ""},
            {"adradresse2", ""},
            {"adrbp", ""},
            {"adrcp", "64000"},
            {"adrlisteRouge", "O"},
            {"adrnation", "100"},
            {"adrnom", "NOUVEAU " + code},
            {"adrqualite", "BATIMENT"},
            {"adrville", "PAU"},
            {"batabrev", code},
            {"insBisTer", ""},
            {"insCImplantation", ""},
            {"insCVoie", ""},
            {"insCpEtranger", ""},
            {"insLocalite", "PAU"},
            {"insNoVoie", ""},
            {"insNomVoie", ""}};
}

QString nul(const char *before, const char *after)
{
    return QString::fromLatin1(before) + QChar(0) + QString::fromLatin1(after);
}

QString character(char32_t c)
{
    if (!QChar::requiresSurrogates(c))
        return QString(QChar(c));
    const QChar pair[] = {QChar(QChar::highSurrogate(c)), QChar(QChar::lowSurrogate(c))};
    return QString(pair, 2);
}

} // namespace

class TestInputEdges : public BackendTestCase
{
    Q_OBJECT

private:
    qint64 m_optionRoom = 0;

    void prepare() override
    {
        QVERIFY(!db->addBuilding(QStringLiteral("SCI"), QStringLiteral("SCIENCES")).isEmpty());
        QVERIFY((m_optionRoom = db->addRoom(QStringLiteral("SCI"), QStringLiteral("1"), QStringLiteral("O1"),
                                            {{"salReservable", eo::eoNull()}})) > 0);
    }

    // The alert of a procedure called as the room tab calls it, "" when it wrote.
    QString refusal(const QString &procedure, const QVariantMap &arguments)
    {
        db->takeAlerts();
        if (db->roomManagerBus().executeProcedure(procedure, arguments))
            return {};
        return db->takeAlerts().value(0).message;
    }

    qint64 rows()
    {
        return db
            ->scalar(QStringLiteral("SELECT (SELECT COUNT(*) FROM SOLMA.LOCAL) + (SELECT COUNT(*) FROM "
                                    "SOLMA.SALLES) + (SELECT COUNT(*) FROM UNITE) + (SELECT COUNT(*) FROM "
                                    "SOLMA.SALLE_CORRESPONDANCE)"))
            .toLongLong();
    }

    QVariantMap arguments(const QString &procedure, const QVariantMap &overrides)
    {
        if (procedure == u"insLocal")
            return merged(building(QStringLiteral("NEW")), overrides);
        if (procedure == u"insSalle")
            return merged(
                TestDatabase::roomArguments(QStringLiteral("SCI"), QStringLiteral("2"), QStringLiteral("B2")),
                overrides);
        if (procedure == u"insUnite")
            return merged({{"uniabrev", "kg"}, {"unilibelle", "kilogramme"}}, overrides);
        return merged({{"clocal", "SCI"}, {"salnumerosource", m_optionRoom}, {"salnumerodestination", ""}},
                      overrides);
    }

private slots:
    void nulIsRefusedInEveryValue_data()
    {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QVariantMap>("value");
        QTest::newRow("building code") << "insLocal" << QVariantMap{{"batabrev", nul("AB", "")}};
        QTest::newRow("building name") << "insLocal" << QVariantMap{{"adrnom", nul("SCI", "ENCES")}};
        QTest::newRow("door") << "insSalle" << QVariantMap{{"salPorte", nul("A", "1")}};
        QTest::newRow("description") << "insSalle" << QVariantMap{{"salDescriptif", nul("Salle ", "claire")}};
        QTest::newRow("unit label") << "insUnite" << QVariantMap{{"unilibelle", nul("kilo", "gramme")}};
        // The message quoting the code was cut at the NUL.
        QTest::newRow("building of an option room")
            << "corresSalle" << QVariantMap{{"clocal", nul("AB", "")}};
    }

    void nulIsRefusedInEveryValue()
    {
        QFETCH(QString, procedure);
        QFETCH(QVariantMap, value);
        const qint64 before = rows();
        QCOMPARE(refusal(procedure, arguments(procedure, value)), eo::EOHiddenCharacter::nulRefusal());
        QCOMPARE(rows(), before);
    }

    void nulIsRefusedInASearch()
    {
        try {
            db->roomManagerBus().fetchArray(QStringLiteral("SallesVix"), QStringLiteral("salPorte = %@"),
                                            {nul("O", "1")}, {});
            QFAIL("a search for a text holding a NUL ran");
        } catch (const eo::EOException &error) {
            QCOMPARE(error.message(), eo::EOHiddenCharacter::nulRefusal());
        }
    }

    void codesRefuseHiddenCharacters_data()
    {
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("shown"); // the character as the message names it, "" when accepted
        const QList<std::tuple<const char *, const char *, const char *, QString>> codes{
            {"insLocal", "batabrev", "Le code du bâtiment", QStringLiteral("A%1B")},
            {"insSalle", "salPorte", "Le numéro de porte", QStringLiteral("B%12")},
            {"insUnite", "uniabrev", "L'abréviation de l'unité", QStringLiteral("k%1g")},
        };
        const QList<char32_t> hidden{0x0009, 0x001B, 0x007F, 0x0085, 0x00AD, 0x061C, 0x200B, 0x200D, 0x200E,
                                     0x200F, 0x2028, 0x202A, 0x202E, 0x2060, 0x2066, 0x2069, 0xFEFF, 0xE0001};
        for (const auto &[procedure, key, field, code] : codes) {
            for (const char32_t c : hidden) {
                const QString name = eo::EOHiddenCharacter::name(c);
                QTest::addRow("%s %s", key, qPrintable(name))
                    << procedure << key << field << code.arg(character(c)) << name;
            }
            // Letters, accents and a space are no hidden characters.
            QTest::addRow("%s with a space", key)
                << procedure << key << field << code.arg(QStringLiteral(" ")) << "";
            QTest::addRow("%s accented", key)
                << procedure << key << field << code.arg(QStringLiteral("É")) << "";
        }
    }

    void codesRefuseHiddenCharacters()
    {
        QFETCH(QString, procedure);
        QFETCH(QString, key);
        QFETCH(QString, field);
        QFETCH(QString, code);
        QFETCH(QString, shown);
        const QString expected =
            shown.isEmpty() ? QString()
                            : QStringLiteral("%1 contient un caractère invisible ou de contrôle (%2), refusé "
                                             "dans un code : retirez ce caractère.")
                                  .arg(field, shown);
        // The form's check says the same as the procedure, which refuses it for any client.
        QCOMPARE(framework::KORTextCheck::refusCode(field, code), expected);
        const qint64 before = rows();
        QCOMPARE(refusal(procedure, arguments(procedure, {{key, code}})), expected);
        QCOMPARE(rows(), before + (shown.isEmpty() ? 1 : 0));
    }

    void databaseTextGoesToTheLog_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("french");
        QTest::addColumn<QStringList>("technical"); // the database's own text, one of which the log holds
        QTest::newRow("a key given twice")
            << "INSERT INTO essai VALUES (1, 'a'), (1, 'b')"
            << "cette valeur est déjà enregistrée" << QStringList{"UNIQUE constraint", "duplicate key"};
        QTest::newRow("a required value")
            << "INSERT INTO essai VALUES (2, NULL)"
            << "une valeur obligatoire manque" << QStringList{"NOT NULL constraint", "null value"};
        QTest::newRow("a statement the database cannot read")
            << "SELEKT 1"
            << "si l'erreur revient" << QStringList{"syntax error"};
    }

    void databaseTextGoesToTheLog()
    {
        QFETCH(QString, sql);
        QFETCH(QString, french);
        QFETCH(QStringList, technical);
        // A table of the session's own, which a room manager may write.
        db->roomManagerBus().executeSQLQuery(
            QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS essai (k INTEGER PRIMARY KEY, v TEXT NOT NULL)"));
        const LogCapture log;
        QString message;
        try {
            db->roomManagerBus().executeSQLQuery(sql);
        } catch (const eo::EOException &error) {
            message = error.message();
        }
        QVERIFY2(message.contains(french), qPrintable(message));
        bool logged = false;
        for (const QString &text : technical) {
            QVERIFY2(!message.contains(text, Qt::CaseInsensitive), qPrintable(message));
            logged = logged || log.text().contains(text);
        }
        QVERIFY2(logged && log.text().contains(sql), qPrintable(log.text()));
    }

    void aRoomManagerWithoutTheRightIsToldInFrench()
    {
        if (backend() != TestDatabase::Backend::PostgreSQL)
            QSKIP("the embedded database has no rights of its own");
        const LogCapture log;
        QString message;
        try {
            db->roomManagerBus().executeSQLQuery(QStringLiteral("DELETE FROM SOLMA.SALLES"), {});
        } catch (const eo::EOException &error) {
            message = error.message();
        }
        QVERIFY2(message.startsWith(QStringLiteral("Droits insuffisants")) &&
                     message.contains(QStringLiteral("Demandez les droits")) &&
                     !message.contains(QStringLiteral("permission")) &&
                     !message.contains(QStringLiteral("DELETE")),
                 qPrintable(message));
        QVERIFY2(log.text().contains(QStringLiteral("permission denied")) &&
                     log.text().contains(QStringLiteral("DELETE FROM SOLMA.SALLES")),
                 qPrintable(log.text()));
        QVERIFY(db->scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLES")).toLongLong() > 0);
    }
};

QTEST_GUILESS_MAIN(TestInputEdges)
#include "tst_InputEdges.moc"
