// The identification of the user and the rights test of the application object.

#include "AlertPanel.h"
#include "EONull.h"
#include "EOQualifier.h"
#include "EOSortOrdering.h"
#include "KORAction.h"
#include "KORConversions.h"
#include "KORDataBusOC.h"
#include "KORFormHelpers.h"
#include "OperatingSystemUser.h"
#include "Superviseur.h"
#include "ui_Identification.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <optional>

namespace app
{

namespace
{

// The panel may be refused this many times before the application ends.
constexpr int maximumRefusals = 3;

// What the password check answers when its verdict cannot be read.
const QVariantMap unreadableVerdict{
    {QStringLiteral("errno"), 1},
    {QStringLiteral("msg"), QStringLiteral("Le service d'identification ne peut pas être joint")},
};

// The dictionary of a password check's answer; nothing when the answer is not one.
std::optional<QVariantMap> verdictOf(const QVariant &answer)
{
    if (answer.metaType() == QMetaType::fromType<QVariantMap>())
        return answer.toMap();
    if (answer.metaType() == QMetaType::fromType<QVariantHash>()) {
        QVariantMap verdict;
        const QVariantHash hash = answer.toHash();
        for (auto it = hash.cbegin(); it != hash.cend(); ++it)
            verdict.insert(it.key(), it.value());
        return verdict;
    }
    return std::nullopt;
}

} // namespace

void Superviseur::initIdentification()
{
    m_cptPasswd = 0;
    m_localUser = getCASUserName();
    // A name from the launcher ends the identification, and so does a launcher that answers nothing at
    // all: the rights test then finds no account.
    if (!m_localUser.isValid() || !m_localUser.toString().isEmpty())
        return;
    const QVariant mirlUser =
        getStringValue(QStringLiteral("MIRL_USER"), QStringLiteral("SOLMA.SOLMA_PARAMETRES"));
    m_localUser = operatingSystemUser().toLower();
    const QString demande = eo::isNullOrNone(mirlUser) ? QString() : mirlUser.toString();
    if (demande == QLatin1String("YES") || demande == QLatin1String("OUI"))
        openIdentification();
}

QString Superviseur::operatingSystemUser() const
{
    return operatingSystemUserName();
}

void Superviseur::buildIdentificationPanel()
{
    if (m_panneau)
        return;
    m_panneau = std::make_unique<QDialog>();
    uiIdentification = std::make_unique<Ui::Identification>();
    uiIdentification->setupUi(m_panneau.get());
    // Only the panel's own button ends it; the main window waits behind it.
    m_panneau->setAttribute(Qt::WA_QuitOnClose, false);
    framework::connectAction(uiIdentification->boutonValider, &QPushButton::clicked, this,
                             [this] { validerIdentification(uiIdentification->boutonValider); });
}

void Superviseur::openIdentification()
{
    buildIdentificationPanel();
    QDialog *panneau = m_panneau.get();
    panneau->setWindowTitle(superTitle());
    uiIdentification->bigLogin->setText(framework::KORConversions::recupererChaine(m_localUser));
    uiIdentification->bigPasswd->selectAll();
    uiIdentification->bigPasswd->setFocus();
    panneau->adjustSize();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        panneau->move(screen->availableGeometry().center() - panneau->rect().center());

    m_loginAccepted = false;
    runModalForWindow(panneau);
    panneau->hide();
    // A panel closed without an accepted login (its close box, Escape) leaves the user unidentified.
    if (!m_loginAccepted && !m_terminated)
        endApplication(1);
}

bool Superviseur::loginAccepted(const QVariant &answer)
{
    if (!answer.isValid())
        return true; // no password check is configured
    // An answer that is no verdict (the null marker...) refuses: a configured check decides.
    const std::optional<QVariantMap> verdict = verdictOf(answer);
    return verdict && framework::KORConversions::leadingInteger(
                          framework::KORConversions::textOf(verdict->value(QStringLiteral("errno")))) <= 0;
}

void Superviseur::validerIdentification(QObject *)
{
    QLineEdit *bigLogin = uiIdentification->bigLogin;
    QLineEdit *bigPasswd = uiIdentification->bigPasswd;
    m_localUser = bigLogin->text().toLower();
    const QVariant answer = initIdentification(m_localUser.toString(), bigPasswd->text());
    if (loginAccepted(answer)) {
        m_loginAccepted = true;
        stopModal();
        m_panneau->hide();
        return;
    }

    const QVariantMap verdict = verdictOf(answer).value_or(unreadableVerdict);
    platform::NSRunAlertPanel(
        QString(),
        QStringLiteral("ERREUR %1 : %2...")
            .arg(framework::KORConversions::recupererChaine(verdict.value(QStringLiteral("errno"))),
                 framework::KORConversions::recupererChaine(verdict.value(QStringLiteral("msg")))),
        QStringLiteral("OK"));
    bigPasswd->selectAll();
    bigPasswd->setFocus();
    ++m_cptPasswd;
    if (m_cptPasswd >= maximumRefusals ||
        framework::KORConversions::recupererChaine(bigPasswd->text()).isEmpty()) {
        stopModal();
        m_panneau->hide();
        endApplication(1);
    }
}

QList<eo::EORecord> Superviseur::getValues(const QString &key)
{
    data::KORDataBusOC *bus = superDataBus();
    if (!bus)
        return {};
    return framework::KORFormHelpers::getValues(*bus, key);
}

QList<eo::EOPrefetch::Fetch> Superviseur::lecturesDesDroits() const
{
    const QString login = framework::KORConversions::recupererChaine(m_localUser);
    // The login is a bound value: a quote or qualifier words in it are part of the login.
    return {
        data::KORDataBusOC::declaredFetch(
            QStringLiteral("RepartCompteVix"),
            eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("cptLogin = %@"), {login}),
            {eo::EOSortOrdering(QStringLiteral("cptOrdre"), eo::EOSortOrdering::Selector::CompareAscending)}),
        framework::KORFormHelpers::valuesFetch(QStringLiteral("SALLE_STRUCTURE"))};
}

bool Superviseur::TAVouKOR()
{
    data::KORDataBusOC *bus = superDataBus();
    if (!bus)
        return false;
    const eo::EOPrefetch::Fetch comptes = lecturesDesDroits().first();
    const QList<eo::EORecord> accounts = bus->fetchEntityName(
        comptes.request.entityName, comptes.request.qualifier, comptes.request.sortOrderings);
    if (accounts.isEmpty())
        return false;

    // Nobody is let in when no group is configured.
    const QList<eo::EORecord> groups = getValues(QStringLiteral("SALLE_STRUCTURE"));
    if (groups.isEmpty())
        return false;
    QStringList conditions;
    QVariantList arguments{accounts.first()->valueForKey(QStringLiteral("persId"))};
    for (const eo::EORecord &group : groups) {
        conditions << QStringLiteral("cStructure = %@");
        arguments << group->valueForKey(QStringLiteral("paramValue"));
    }
    const eo::EOQualifierPtr membership = eo::EOQualifier::qualifierWithQualifierFormat(
        QStringLiteral("persId = %@ and (%1)").arg(conditions.join(QStringLiteral(" or "))), arguments);
    return !bus->fetchEntityName(QStringLiteral("RepartStructIndVix"), membership, {}).isEmpty();
}

} // namespace app
