#include "TestDatabase.h"

#include "AlertPanel.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "EONull.h"
#include "EOSQLiteAdaptor.h"
#include "Resources.h"
#include "SqliteDatabaseInstaller.h"

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

} // namespace

TestDatabase::TestDatabase()
{
    if (!m_dir.isValid())
        return;
    data::SqliteDatabaseInstaller::install(m_dir.path(), platform::resourcesDirectory());
    m_model = locaviaModel();
    QVariantMap dictionary = m_model->connectionDictionary();
    dictionary.insert(QStringLiteral("URL"),
                      QStringLiteral("sqlite://") + m_dir.path() + QStringLiteral("/locavia.db"));
    dictionary.remove(QStringLiteral("solmaURL"));
    m_model->setConnectionDictionary(dictionary);
    m_context = std::make_unique<eo::EOEditingContext>(eo::EOModelGroup::defaultGroup());
    m_dataBus = std::make_unique<data::KORDataBusOC>();
    m_dataBus->initDataBusWithModel(modelName, m_context.get());
    platform::setAlertPresenter([this](const QString &title, const QString &message, const QString &) {
        m_alerts.append({title, message});
        return 1;
    });

    exec(QStringLiteral(
        "INSERT INTO TYPE_SALLE (TSAL_NUMERO, TSAL_LIBELLE) VALUES (1, 'Salle de cours'), (2, 'Bureau'), "
        "(3, 'Amphithéâtre');"
        "INSERT INTO IMPLANTATION_GEO (C_IMPLANTATION, LC_IMPLANTATION_GEO) VALUES ('PAU', 'Campus de Pau');"
        "INSERT INTO TYPE_OCCUPATION (TOC_ORDRE, TOC_LIBELLE) VALUES (1, 'Enseignement'), (2, 'Recherche');"
        "INSERT INTO SOLMA.STRUCTURE (C_STRUCTURE, LC_STRUCTURE, LL_STRUCTURE, C_TYPE_STRUCTURE) "
        "VALUES ('UNIV', 'UNIV', 'Université', 'E');"
        "INSERT INTO SOLMA.STRUCTURE (C_STRUCTURE, LC_STRUCTURE, LL_STRUCTURE, C_TYPE_STRUCTURE, "
        "C_STRUCTURE_PERE) "
        "VALUES ('SCI', 'SCIENCES', 'Faculté des sciences', 'S', 'UNIV'), "
        "('G1', 'DEPOS', 'Dépositaires sciences', 'G', 'SCI');"));
    m_valid = true;
}

TestDatabase::~TestDatabase()
{
    platform::setAlertPresenter({});
    m_dataBus.reset();
    m_context.reset();
}

void TestDatabase::exec(const QString &sql) const
{
    auto *adaptor = static_cast<eo::EOSQLiteAdaptor *>(m_dataBus->dataBusAdaptor());
    char *error = nullptr;
    const int rc = sqlite3_exec(adaptor->handle(), sql.toUtf8().constData(), nullptr, nullptr, &error);
    const QString message = error ? QString::fromUtf8(error) : QString();
    sqlite3_free(error);
    if (rc != SQLITE_OK)
        throw eo::EOException(eo::EOException::Kind::Database, message + QStringLiteral(" [") + sql + u']');
}

QVariant TestDatabase::scalar(const QString &sql, const QVariantList &bindings) const
{
    const QList<QVariantMap> rows = m_dataBus->executeSQLQuery(sql, bindings);
    return rows.isEmpty() ? QVariant() : rows.first().value(QStringLiteral("Attribute0"));
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
