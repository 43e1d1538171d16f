#include "TestDatabase.h"

#include "AlertPanel.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "EONull.h"
#include "EOPostgreSQLAdaptor.h"
#include "EOPostgreSQLConnection.h"
#include "EOSQLiteAdaptor.h"
#include "PostgreSQLDatabaseInstaller.h"
#include "Resources.h"
#include "SqliteDatabaseInstaller.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTest>
#include <QUrl>
#include <libpq-fe.h>
#include <sqlite3.h>

namespace
{

const QString modelName = QStringLiteral("Locavia");

eo::EOModel *locaviaModel()
{
    eo::EOModelGroup &group = eo::EOModelGroup::defaultGroup();
    if (eo::EOModel *model = group.modelNamed(modelName))
        return model;
    return &group.addModelWithFile(platform::resourcePath(QStringLiteral("models/Locavia.json")));
}

// The rows that make login a room manager, as docs/server.md has an administrator write them: an account
// whose person belongs to a group named by SALLE_STRUCTURE. Their keys are below the generators' range, so
// that the rows the tests make keep the keys they expect; the group is one of its own, in no list the
// program shows.
QString roomManagerAccount(QString login)
{
    login = QLatin1Char('\'') + login.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
    return QStringLiteral(
               "INSERT INTO SOLMA.STRUCTURE (C_STRUCTURE, LC_STRUCTURE, LL_STRUCTURE) "
               "VALUES ('GSAL', 'GESTION SALLES', 'Gestionnaires des salles');"
               "INSERT INTO SOLMA.INDIVIDU (PERS_ID, NOM_USUEL, PRENOM) VALUES (-1, 'Gestionnaire', "
               "'Test');"
               "INSERT INTO SOLMA.REPART_COMPTE (CPT_ORDRE, CPT_LOGIN, PERS_ID) VALUES (-1, %1, -1);"
               "INSERT INTO SOLMA.REPART_STRUCTURE (PERS_ID, C_STRUCTURE) VALUES (-1, 'GSAL');"
               "INSERT INTO SOLMA.SOLMA_PARAMETRES (PARAM_ORDRE, PARAM_KEY, PARAM_VALUE) "
               "VALUES (-1, 'SALLE_STRUCTURE', 'GSAL')")
        .arg(login);
}

// The database of this test program on the test server: made and installed by the administration role on
// first use, emptied for each fixture, dropped when the program ends.
class PostgreSQLTestServer
{
public:
    static PostgreSQLTestServer &instance()
    {
        static PostgreSQLTestServer server;
        return server;
    }

    ~PostgreSQLTestServer() { drop(); }

    // Drops the program's database. Run when the application object goes, while libpq's password exchange
    // still has its cryptography (which is gone by the time static objects are destroyed).
    void drop()
    {
        if (m_database.isEmpty())
            return;
        m_connection.reset();
        try {
            data::PostgreSQLDatabaseInstaller::dropDatabase(m_server, m_database);
        } catch (const eo::EOException &error) {
            qWarning("%s", qPrintable(error.message()));
        }
        m_database.clear();
    }

    // The dictionary of the program's database as a login connects (its password is in the cluster's
    // password file); empty before the database is made.
    QVariantMap dictionary(const QString &login) const
    {
        if (m_database.isEmpty())
            return {};
        QVariantMap dictionary = m_dictionary;
        QUrl url(dictionary.value(QStringLiteral("URL")).toString());
        url.setUserName(login);
        dictionary.insert(QStringLiteral("URL"), url.toString());
        return dictionary;
    }

    // Empties every table and restarts the keys, then writes the room manager's account again; false (and
    // why) when the database cannot be had.
    bool reset(QString *error)
    {
        if (!m_tried)
            prepare();
        if (!m_error.isEmpty()) {
            *error = m_error;
            return false;
        }
        try {
            eo::EOPostgreSQLConnection::execute(m_connection.get(), m_parameters, QStringLiteral(R"(
DO $$
DECLARE
    tables text;
BEGIN
    SELECT string_agg(format('%I.%I', schemaname, tablename), ', ') INTO tables
    FROM pg_tables WHERE schemaname IN ('locavia', 'solma');
    EXECUTE 'TRUNCATE ' || tables || ' RESTART IDENTITY';
END
$$)"));
            eo::EOPostgreSQLConnection::execute(
                m_connection.get(), m_parameters,
                roomManagerAccount(TestDatabase::login(TestDatabase::Role::RoomManager)),
                QStringLiteral("compte du gestionnaire des salles"));
        } catch (const eo::EOException &exception) {
            *error = exception.message();
            return false;
        }
        return true;
    }

private:
    void prepare()
    {
        m_tried = true;
        const QString url = qEnvironmentVariable("LOCAVIA_TEST_PG_OWNER_URL");
        try {
            m_server = eo::EOPostgreSQLConnection::parametersForDictionary({{QStringLiteral("URL"), url}});
            const QString name = QStringLiteral("locavia_t%1_%2")
                                     .arg(QCoreApplication::applicationPid())
                                     .arg(QRandomGenerator::global()->generate() % 100000);
            QUrl database(url);
            database.setPath(QLatin1Char('/') + name);
            m_dictionary = {{QStringLiteral("URL"), database.toString()},
                            {QStringLiteral("serverId"), name},
                            {QStringLiteral("username"), QString()},
                            {QStringLiteral("password"), QString()}};
            m_database = name;
            qAddPostRoutine([] { instance().drop(); });
            data::PostgreSQLDatabaseInstaller::install(m_dictionary, platform::resourcesDirectory());
            m_parameters = eo::EOPostgreSQLConnection::parametersForDictionary(m_dictionary);
            m_connection = eo::EOPostgreSQLConnection::connect(m_parameters);
        } catch (const eo::EOException &exception) {
            m_error = QStringLiteral("Base de test PostgreSQL indisponible : %1").arg(exception.message());
        }
    }

    bool m_tried = false;
    QString m_error;
    eo::EOPostgreSQLConnection::Parameters m_server;
    eo::EOPostgreSQLConnection::Parameters m_parameters;
    eo::EOPostgreSQLConnection::Handle m_connection;
    QString m_database;
    QVariantMap m_dictionary; // the administration role's
};

} // namespace

QString TestDatabase::backendName(Backend backend)
{
    return backend == Backend::SQLite ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL");
}

QString TestDatabase::unavailableReason(Backend backend)
{
    if (backend != Backend::PostgreSQL)
        return {};
    for (const char *variable : {"LOCAVIA_TEST_PG_URL", "LOCAVIA_TEST_PG_OWNER_URL"}) {
        if (qEnvironmentVariableIsEmpty(variable))
            return QStringLiteral(
                       "%1 n'est pas défini : pas de serveur PostgreSQL pour ce test (scripts/test en "
                       "démarre un).")
                .arg(QLatin1String(variable));
    }
    if (login(Role::RoomManager).isEmpty())
        return QStringLiteral("LOCAVIA_TEST_PG_URL ne nomme pas le compte du gestionnaire des salles.");
    return {};
}

QString TestDatabase::login(Role role)
{
    switch (role) {
    case Role::Owner:
        return QUrl(qEnvironmentVariable("LOCAVIA_TEST_PG_OWNER_URL")).userName();
    case Role::RoomManager:
        return QUrl(qEnvironmentVariable("LOCAVIA_TEST_PG_URL")).userName();
    case Role::Member:
        return qEnvironmentVariable("LOCAVIA_TEST_PG_MEMBER");
    case Role::Outsider:
        return qEnvironmentVariable("LOCAVIA_TEST_PG_OUTSIDER");
    }
    return {};
}

bool TestDatabase::backendSelected(Backend backend)
{
    const QString selected = qEnvironmentVariable("LOCAVIA_TEST_BACKEND").trimmed();
    return selected.isEmpty() || selected.compare(backendName(backend), Qt::CaseInsensitive) == 0;
}

bool TestDatabase::backendRequired()
{
    return qEnvironmentVariable("LOCAVIA_REQUIRE_PG") == u"1";
}

QString TestDatabase::serverUrl(Role role, const QString &database)
{
    QUrl url(qEnvironmentVariable("LOCAVIA_TEST_PG_OWNER_URL"));
    url.setUserName(login(role));
    url.setPath(QLatin1Char('/') + database);
    return url.toString();
}

QVariantMap TestDatabase::connectionDictionary(Role role) const
{
    return m_backend == Backend::PostgreSQL ? PostgreSQLTestServer::instance().dictionary(login(role))
                                            : QVariantMap();
}

bool TestDatabase::prepareSQLite(QVariantMap &dictionary)
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("Pas de dossier temporaire pour la base de test.");
        return false;
    }
    data::SqliteDatabaseInstaller::install(m_dir.path(), platform::resourcesDirectory());
    dictionary.insert(QStringLiteral("URL"),
                      QStringLiteral("sqlite://") + m_dir.path() + QStringLiteral("/locavia.db"));
    return true;
}

bool TestDatabase::preparePostgreSQL(QVariantMap &dictionary)
{
    m_error = unavailableReason(m_backend);
    if (!m_error.isEmpty())
        return false;
    PostgreSQLTestServer &server = PostgreSQLTestServer::instance();
    if (!server.reset(&m_error))
        return false;
    const QVariantMap manager = server.dictionary(login(Role::RoomManager));
    for (auto it = manager.constBegin(); it != manager.constEnd(); ++it)
        dictionary.insert(it.key(), it.value());
    return true;
}

TestDatabase::Bus TestDatabase::makeBus(const QVariantMap &dictionary) const
{
    // The adaptor keeps the dictionary the model has when the data bus is made.
    const QVariantMap kept = m_model->connectionDictionary();
    QVariantMap changed = kept;
    for (auto it = dictionary.constBegin(); it != dictionary.constEnd(); ++it)
        changed.insert(it.key(), it.value());
    m_model->setConnectionDictionary(changed);
    Bus made{std::make_unique<eo::EOEditingContext>(eo::EOModelGroup::defaultGroup()),
             std::make_unique<data::KORDataBusOC>()};
    try {
        made.bus->initDataBusWithModel(modelName, made.context.get());
    } catch (...) {
        m_model->setConnectionDictionary(kept);
        throw;
    }
    m_model->setConnectionDictionary(kept);
    return made;
}

TestDatabase::TestDatabase(Backend backend) : m_backend(backend)
{
    m_model = locaviaModel();
    QVariantMap dictionary = m_model->connectionDictionary();
    if (!(backend == Backend::SQLite ? prepareSQLite(dictionary) : preparePostgreSQL(dictionary)))
        return;
    m_model->setConnectionDictionary(dictionary);
    m_context = std::make_unique<eo::EOEditingContext>(eo::EOModelGroup::defaultGroup());
    m_dataBus = std::make_unique<data::KORDataBusOC>();
    m_dataBus->initDataBusWithModel(modelName, m_context.get());
    platform::setAlertPresenter([this](const QString &title, const QString &message, const QString &) {
        m_alerts.append({title, message});
        return 1;
    });

    try {
        if (backend == Backend::PostgreSQL)
            m_owner = makeBus(connectionDictionary(Role::Owner));
        run(QStringLiteral(
            "INSERT INTO TYPE_SALLE (TSAL_NUMERO, TSAL_LIBELLE) VALUES (1, 'Salle de cours'), (2, 'Bureau'), "
            "(3, 'Amphithéâtre');"
            "INSERT INTO IMPLANTATION_GEO (C_IMPLANTATION, LC_IMPLANTATION_GEO) VALUES ('PAU', 'Campus de "
            "Pau');"
            "INSERT INTO TYPE_OCCUPATION (TOC_ORDRE, TOC_LIBELLE) VALUES (1, 'Enseignement'), (2, "
            "'Recherche');"
            "INSERT INTO SOLMA.STRUCTURE (C_STRUCTURE, LC_STRUCTURE, LL_STRUCTURE, C_TYPE_STRUCTURE) "
            "VALUES ('UNIV', 'UNIV', 'Université', 'E');"
            "INSERT INTO SOLMA.STRUCTURE (C_STRUCTURE, LC_STRUCTURE, LL_STRUCTURE, C_TYPE_STRUCTURE, "
            "C_STRUCTURE_PERE) "
            "VALUES ('SCI', 'SCIENCES', 'Faculté des sciences', 'S', 'UNIV'), "
            "('G1', 'DEPOS', 'Dépositaires sciences', 'G', 'SCI');"));
    } catch (const eo::EOException &exception) {
        m_error = exception.message();
        return;
    }
    m_valid = true;
}

TestDatabase::~TestDatabase()
{
    m_outsider = {};
    m_member = {};
    m_owner = {};
    platform::setAlertPresenter({});
    m_dataBus.reset();
    m_context.reset();
}

data::KORDataBusOC &TestDatabase::dataBus(Role role)
{
    if (m_backend != Backend::PostgreSQL || role == Role::RoomManager)
        return *m_dataBus;
    Bus &bus = role == Role::Owner ? m_owner : role == Role::Member ? m_member : m_outsider;
    if (!bus.bus)
        bus = makeBus(connectionDictionary(role));
    return *bus.bus;
}

bool TestDatabase::exec(const QString &sql) const
{
    try {
        run(sql);
        return true;
    } catch (const eo::EOException &error) {
        // A failing set-up statement fails the test that runs it, with the database's reason.
        QTest::qFail(qPrintable(QStringLiteral("%1 [%2]").arg(error.message(), sql.left(300))), __FILE__,
                     __LINE__);
        return false;
    }
}

void TestDatabase::run(const QString &sql) const
{
    if (m_backend == Backend::PostgreSQL) {
        auto *adaptor = static_cast<eo::EOPostgreSQLAdaptor *>(setUpBus().dataBusAdaptor());
        const eo::EOPostgreSQLConnection::Parameters parameters =
            eo::EOPostgreSQLConnection::parametersForDictionary(adaptor->connectionDictionary());
        eo::EOPostgreSQLConnection::execute(adaptor->handle(), parameters, sql, sql.left(200));
        // Rows written with their key, as the embedded database's AUTOINCREMENT would remember them.
        if (sql.contains(QLatin1String("INSERT"), Qt::CaseInsensitive))
            eo::EOPostgreSQLConnection::execute(adaptor->handle(), parameters,
                                                QStringLiteral("SELECT locavia.sync_key_sequences()"));
        return;
    }
    auto *adaptor = static_cast<eo::EOSQLiteAdaptor *>(m_dataBus->dataBusAdaptor());
    char *error = nullptr;
    const int rc = sqlite3_exec(adaptor->handle(), sql.toUtf8().constData(), nullptr, nullptr, &error);
    const QString message = error ? QString::fromUtf8(error) : QString();
    sqlite3_free(error);
    if (rc != SQLITE_OK)
        throw eo::EOException(eo::EOException::Kind::Database, message);
}

QVariant TestDatabase::scalar(const QString &sql, const QVariantList &bindings) const
{
    try {
        const QList<QVariantMap> rows = query(sql, bindings);
        return rows.isEmpty() ? QVariant() : rows.first().value(QStringLiteral("Attribute0"));
    } catch (const eo::EOException &error) {
        QTest::qFail(qPrintable(QStringLiteral("%1 [%2]").arg(error.message(), sql.left(300))), __FILE__,
                     __LINE__);
        return {};
    }
}

bool TestDatabase::addRoomManagerAccount()
{
    return exec(roomManagerAccount(login(Role::RoomManager)));
}

QList<QVariantMap> TestDatabase::query(const QString &sql, const QVariantList &bindings) const
{
    return setUpBus().executeSQLQuery(sql, bindings);
}

QList<TestDatabase::Alert> TestDatabase::takeAlerts()
{
    QList<Alert> taken;
    taken.swap(m_alerts);
    return taken;
}

QString TestDatabase::addBuilding(const QString &code, const QString &name, const QString &town)
{
    const QVariantMap arguments{
        {QStringLiteral("adradresse1"), QStringLiteral("1 avenue de l'Université")},
        {QStringLiteral("adradresse2"), QString()},
        {QStringLiteral("adrbp"), QString()},
        {QStringLiteral("adrcp"), QStringLiteral("64000")},
        {QStringLiteral("adrlisteRouge"), QStringLiteral("O")},
        {QStringLiteral("adrnation"), QStringLiteral("100")},
        {QStringLiteral("adrnom"), name},
        {QStringLiteral("adrqualite"), QStringLiteral("BATIMENT")},
        {QStringLiteral("adrville"), town},
        {QStringLiteral("batabrev"), code},
        {QStringLiteral("insBisTer"), QString()},
        {QStringLiteral("insCImplantation"), QStringLiteral("PAU")},
        {QStringLiteral("insCVoie"), QString()},
        {QStringLiteral("insCpEtranger"), QString()},
        {QStringLiteral("insLocalite"), town},
        {QStringLiteral("insNoVoie"), QString()},
        {QStringLiteral("insNomVoie"), QString()},
    };
    return m_dataBus->executeProcedure(QStringLiteral("insLocal"), arguments) ? code : QString();
}

QVariantMap TestDatabase::roomArguments(const QString &buildingCode, const QString &floor,
                                        const QString &door)
{
    const QVariant null = eo::eoNull();
    return {
        {QStringLiteral("insCStructure"), QString()},
        {QStringLiteral("insCLocal"), buildingCode},
        {QStringLiteral("salCapacite"), 20},
        {QStringLiteral("salDescriptif"), QStringLiteral("Salle claire")},
        {QStringLiteral("salEcran"), QStringLiteral("O")},
        {QStringLiteral("salEtage"), floor},
        {QStringLiteral("salIdentAcces"), QString()},
        {QStringLiteral("salInsonorisee"), QStringLiteral("N")},
        {QStringLiteral("salNature"), QString()},
        {QStringLiteral("salNbArmoires"), 1},
        {QStringLiteral("salNbBureaux"), 1},
        {QStringLiteral("salNbChaises"), 20},
        {QStringLiteral("salNbFenetres"), 2},
        {QStringLiteral("salNbTables"), 10},
        {QStringLiteral("salNoPoste"), QStringLiteral("0")},
        {QStringLiteral("salObscur"), QStringLiteral("N")},
        {QStringLiteral("salPorte"), door},
        {QStringLiteral("salPourAdministration"), null},
        {QStringLiteral("salPourDocumentation"), null},
        {QStringLiteral("salPourEnseignement"), 80},
        {QStringLiteral("salPourRecherche"), null},
        {QStringLiteral("salPourTechnique"), null},
        {QStringLiteral("salReservable"), QStringLiteral("O")},
        {QStringLiteral("salRetro"), QStringLiteral("N")},
        {QStringLiteral("salSuperficie"), 35.5},
        {QStringLiteral("salTableau"), QStringLiteral("1")},
        {QStringLiteral("salTableauBlanc"), QStringLiteral("0")},
        {QStringLiteral("salTableauPapier"), QStringLiteral("0")},
        {QStringLiteral("salTelevision"), QStringLiteral("N")},
        {QStringLiteral("tsalNumero"), 1},
        {QStringLiteral("insSalPasNum"), null},
        {QStringLiteral("insSalTemHandicap"), QString()},
        {QStringLiteral("insSalTemEnService"), QString()},
        {QStringLiteral("insSalCapaExam"), null},
        {QStringLiteral("insSalNbPlacesExamLib"), null},
        {QStringLiteral("insSalSalleProcheTel"), null},
        {QStringLiteral("insSalNumDepart"), null},
    };
}

QVariantMap TestDatabase::roomUpdateArguments(const QVariant &room, const QVariantMap &creation,
                                              const QVariantMap &overrides)
{
    QVariantMap arguments;
    for (auto it = creation.constBegin(); it != creation.constEnd(); ++it) {
        QString key = it.key();
        if (key == u"insCStructure")
            key = QStringLiteral("grpOrdre");
        else if (key == u"insCLocal")
            key = QStringLiteral("clocal");
        else if (key == u"insSalNumDepart")
            key = QStringLiteral("majSalSalleNumDepart");
        else if (key.startsWith(u"insSal"))
            key.replace(0, 6, QStringLiteral("majSal"));
        arguments.insert(key, it.value());
    }
    arguments.insert(QStringLiteral("salNumero"), room);
    for (auto it = overrides.constBegin(); it != overrides.constEnd(); ++it)
        arguments.insert(it.key(), it.value());
    return arguments;
}

qint64 TestDatabase::addRoom(const QString &buildingCode, const QString &floor, const QString &door,
                             const QVariantMap &overrides)
{
    QVariantMap arguments = roomArguments(buildingCode, floor, door);
    for (auto it = overrides.constBegin(); it != overrides.constEnd(); ++it)
        arguments.insert(it.key(), it.value());
    QVariantMap result;
    if (!m_dataBus->executeProcedure(result, QStringLiteral("insSalle"), arguments))
        return -1;
    return result.value(QStringLiteral("salNumero")).toLongLong();
}
