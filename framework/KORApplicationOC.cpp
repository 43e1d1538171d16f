#include "KORApplicationOC.h"

#include "DatabaseAddress.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "KORConfigurationFile.h"
#include "KORConnectionDictionaries.h"
#include "KORConversions.h"
#include "KORTimeZone.h"
#include "Resources.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <utility>

namespace framework
{

namespace
{

// How an absent value reads in a title, as the platform has always written it.
QString orAbsent(const QVariant &value)
{
    return value.isValid() && !value.isNull() ? value.toString() : QStringLiteral("(null)");
}

} // namespace

KORApplicationOC::KORApplicationOC(int &argc, char **argv)
    : QApplication(argc, argv),
      m_userDefaults(std::make_unique<platform::UserDefaults>(QCoreApplication::arguments())),
      m_services(KORDirectoryServices::standard())
{
    init();
}

KORApplicationOC::~KORApplicationOC()
{
    // The data bus goes before the editing context it works in.
    m_dataBus.reset();
    m_ownEditingContext.reset();
}

KORApplicationOC *KORApplicationOC::instance()
{
    return qobject_cast<KORApplicationOC *>(QCoreApplication::instance());
}

void KORApplicationOC::init()
{
    initApplication();
}

void KORApplicationOC::initApplication()
{
    KORTimeZone::setDefaultTimeZone(KORTimeZone::defaultZoneName());
    const QString baseName = trouverFichier(QStringLiteral("Application"), QStringLiteral("config"));
    m_parameters =
        KORConfigurationFile::read(platform::resourcePath(QStringLiteral("%1.config").arg(baseName)));
    initTimeZone();
    m_localTitle =
        QStringLiteral("%1 - Identification...").arg(orAbsent(parameter(QStringLiteral("DEFAULT_TITLE"))));
}

void KORApplicationOC::initTimeZone()
{
    KORTimeZone::initTimeZone(parameter(QStringLiteral("DEFAULT_TIME_ZONE")).toString());
}

QString KORApplicationOC::trouverFichier(const QString &nom, const QString &type)
{
    m_myPath = platform::resourcePath(QStringLiteral("%1%2.%3").arg(nom, m_localAbreviation, type));
    if (QFileInfo::exists(m_myPath))
        return nom + m_localAbreviation;
    return nom;
}

void KORApplicationOC::loadModels()
{
    eo::EOModelGroup &group = eo::EOModelGroup::defaultGroup();
    const QDir folder(platform::resourcePath(QStringLiteral("models")));
    const QStringList files = folder.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    for (const QString &file : files) {
        std::unique_ptr<eo::EOModel> model = eo::EOModel::modelWithContentsOfFile(folder.filePath(file));
        if (!group.modelNamed(model->name()))
            group.addModel(std::move(model));
    }
}

void KORApplicationOC::initAccesBase()
{
    if (useDatabase()) {
        resetAllModels();
        const auto &models = eo::EOModelGroup::defaultGroup().models();
        if (models.empty()) {
            throw eo::EOException(eo::EOException::Kind::Model,
                                  QStringLiteral("Aucun modèle de données n'est chargé : le dossier %1 n'en "
                                                 "contient pas.")
                                      .arg(platform::resourcePath(QStringLiteral("models"))));
        }
        if (!m_databaseAddress.isEmpty()) {
            models.front()->setConnectionDictionary(
                data::DatabaseAddress::applied(models.front()->connectionDictionary(), m_databaseAddress));
        }
        eo::EOEditingContext *context = m_parametreEOD ? m_parametreEOD->editingContext() : nullptr;
        if (!context) {
            if (!m_ownEditingContext)
                m_ownEditingContext =
                    std::make_unique<eo::EOEditingContext>(eo::EOModelGroup::defaultGroup());
            context = m_ownEditingContext.get();
            if (m_parametreEOD)
                m_parametreEOD->setEditingContext(context);
        }
        auto dataBus = std::make_unique<data::KORDataBusOC>();
        dataBus->setTitleHooks([this](const QString &title) { setTitle(title); },
                               [this] { return superTitle(); });
        dataBus->initDataBusWithModel(models.front()->name(), context);
        // The time limits of the database sessions, in seconds, when the configuration gives them; the
        // adaptor's defaults otherwise.
        QVariantMap dictionary = dataBus->dataBusAdaptor()->connectionDictionary();
        for (const auto &[key, entry] : {std::pair{"DB_LOCK_TIMEOUT", "lockTimeout"},
                                         std::pair{"DB_STATEMENT_TIMEOUT", "statementTimeout"}}) {
            const QString value = parameter(QLatin1String(key)).toString().trimmed();
            if (!value.isEmpty())
                dictionary.insert(QLatin1String(entry), value);
        }
        dataBus->dataBusAdaptor()->setConnectionDictionary(dictionary);
        m_dataBus = std::move(dataBus);
    }
    const eo::EOModel *model = superModel();
    const QVariant server =
        model ? model->connectionDictionary().value(QStringLiteral("serverId")) : QVariant();
    m_localTitle = QStringLiteral("%1 - (%2)")
                       .arg(orAbsent(parameter(QStringLiteral("DEFAULT_TITLE"))), orAbsent(server));
    setTitle(m_localTitle);
}

void KORApplicationOC::quitApplication(int status)
{
    QCoreApplication::exit(status);
}

void KORApplicationOC::setTitle(const QString &title)
{
    if (m_myWindow)
        m_myWindow->setWindowTitle(title);
}

void KORApplicationOC::resetAllModels()
{
    KORConnectionDictionaries(m_parameters.value_or(Configuration()), m_services.connectionInfo)
        .resetAllModels(eo::EOModelGroup::defaultGroup());
}

QVariantMap KORApplicationOC::defaultConnectionDictionary() const
{
    return KORConnectionDictionaries(m_parameters.value_or(Configuration()), m_services.connectionInfo)
        .defaultConnectionDictionary();
}

QVariantMap KORApplicationOC::connectionDictionaryForID(const QString &modelId) const
{
    return KORConnectionDictionaries(m_parameters.value_or(Configuration()), m_services.connectionInfo)
        .connectionDictionaryForID(modelId);
}

void KORApplicationOC::addKey(const QString &sourceKey, const QVariantMap &properties,
                              const QString &targetKey, QVariantMap &dico)
{
    KORConnectionDictionaries::addKey(sourceKey, properties, targetKey, dico);
}

QVariantMap KORApplicationOC::resetDictionary(const QVariantMap &a, const QVariantMap &b)
{
    return KORConnectionDictionaries::resetDictionary(a, b);
}

QVariant KORApplicationOC::getCASUserName() const
{
    const QString port =
        KORConversions::recupererChaine(m_userDefaults->objectForKey(QStringLiteral("HalvanePort")));
    const QString ticket =
        KORConversions::recupererChaine(m_userDefaults->objectForKey(QStringLiteral("HalvaneTicket")));
    if (port.isEmpty() || ticket.isEmpty() || !m_services.netId)
        return QString(QLatin1String(""));
    return m_services.netId(QString(QLatin1String("")), port, ticket);
}

QVariant KORApplicationOC::initIdentification(const QString &login, const QString &password) const
{
    const QString url = KORConversions::recupererChaine(parameter(QStringLiteral("MIRL_URL")));
    if (url.isEmpty() || !m_services.userInfo)
        return {};
    const QString alias = KORConversions::recupererChaine(parameter(QStringLiteral("APP_ALIAS")));
    return m_services.userInfo(url, login, password, alias);
}

QVariant KORApplicationOC::parameter(const QString &key) const
{
    if (!m_parameters)
        return {};
    const auto found = m_parameters->constFind(key);
    return found == m_parameters->constEnd() ? QVariant() : QVariant(*found);
}

// --- Parameters
// ---------------------------------------------------------------------------------------------

KORParameters KORApplicationOC::parameterReader()
{
    if (!m_dataBus) {
        throw eo::EOException(eo::EOException::Kind::Model,
                              QStringLiteral("Le bus de données n'est pas initialisé."));
    }
    return KORParameters(*m_dataBus, parameter(QStringLiteral("DEFAULT_PREFIXE")).toString(), &m_last);
}

QList<eo::EORecord> KORApplicationOC::getValues(const QString &key, const QString &type)
{
    return parameterReader().getValues(key, type);
}

QVariant KORApplicationOC::getStringValue(const QString &key)
{
    return parameterReader().getStringValue(key);
}

QVariant KORApplicationOC::getNumberValue(const QString &key)
{
    return parameterReader().getNumberValue(key);
}

QList<QVariantMap> KORApplicationOC::getValues(const QString &key, const QString &table, const QString &type)
{
    return parameterReader().getValues(key, table, type);
}

QVariant KORApplicationOC::getStringValue(const QString &key, const QString &table)
{
    return parameterReader().getStringValue(key, table);
}

QVariant KORApplicationOC::getNumberValue(const QString &key, const QString &table)
{
    return parameterReader().getNumberValue(key, table);
}

// --- Conversions
// --------------------------------------------------------------------------------------------

QString KORApplicationOC::recupererChaine(const QVariant &value)
{
    return KORConversions::recupererChaine(value);
}

QString KORApplicationOC::recupererLong(const QVariant &value)
{
    return KORConversions::recupererLong(value);
}

QVariant KORApplicationOC::recupererEntier(const QVariant &value)
{
    return KORConversions::recupererEntier(value);
}

QVariant KORApplicationOC::recupererDecimal(const QVariant &value)
{
    return KORConversions::recupererDecimal(value);
}

QVariant KORApplicationOC::recupererDecimalNumber(const QVariant &value)
{
    return KORConversions::recupererDecimalNumber(value);
}

QVariant KORApplicationOC::recupererDate(const QVariant &value)
{
    return KORConversions::recupererDate(value);
}

float KORApplicationOC::recupererValeur(const QVariant &value)
{
    return KORConversions::recupererValeur(value);
}

QString KORApplicationOC::truncateString(const QString &text, quint64 debut, quint64 longueur)
{
    return KORConversions::truncateString(text, debut, longueur);
}

void KORApplicationOC::initialiserCellule(QWidget *control, bool active, bool vide)
{
    KORConversions::initialiserCellule(control, active, vide);
}

void KORApplicationOC::configurerPopUpButton(QComboBox *popUp, const QString &entite, const QString &cle,
                                             const QString &limitation)
{
    if (!m_dataBus) {
        throw eo::EOException(eo::EOException::Kind::Model,
                              QStringLiteral("Le bus de données n'est pas initialisé."));
    }
    const KORConversions::PopUpFetch fetched =
        KORConversions::configurerPopUpButton(popUp, *m_dataBus, entite, cle, limitation);
    m_last.qualifier = fetched.qualifier;
    m_last.qualifierText = fetched.qualifier ? fetched.qualifier->description() : QString();
    m_last.result.clear();
    for (const eo::EORecord &row : fetched.rows)
        m_last.result.append(eo::EOGenericRecord::toVariant(row));
}

// --- Shared objects
// -----------------------------------------------------------------------------------------

eo::EOModel *KORApplicationOC::superModel() const
{
    return m_dataBus ? m_dataBus->dataBusModel() : nullptr;
}

eo::EOAdaptor *KORApplicationOC::superAdaptor() const
{
    return m_dataBus ? m_dataBus->dataBusAdaptor() : nullptr;
}

eo::EODatabaseContext *KORApplicationOC::superDatabaseContext() const
{
    return m_dataBus ? m_dataBus->dataBusDatabaseContext() : nullptr;
}

eo::EODatabaseChannel *KORApplicationOC::superDatabaseChannel() const
{
    return m_dataBus ? m_dataBus->dataBusDatabaseChannel() : nullptr;
}

eo::EOAdaptorContext *KORApplicationOC::superAdaptorContext() const
{
    return m_dataBus ? m_dataBus->dataBusAdaptorContext() : nullptr;
}

eo::EOAdaptorChannel *KORApplicationOC::superAdaptorChannel() const
{
    return m_dataBus ? m_dataBus->dataBusAdaptorChannel() : nullptr;
}

eo::EOEditingContext *KORApplicationOC::superEditingContext() const
{
    return m_dataBus ? m_dataBus->dataBusEditingContext() : nullptr;
}

} // namespace framework
