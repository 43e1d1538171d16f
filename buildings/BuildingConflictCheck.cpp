#include "BuildingConflictCheck.h"

#include "AlertPanel.h"
#include "ChangeHistory.h"
#include "EOException.h"
#include "KORDataBusOC.h"
#include "StoredState.h"

namespace buildings
{

BuildingConflictCheck::BuildingConflictCheck(data::KORDataBusOC &dataBus) : m_dataBus(dataBus) {}

QStringList BuildingConflictCheck::etatStocke(bool tenir) const
{
    // On the server the building is held first, in the same round trip, by a function that only a room
    // manager may call; the embedded database's transaction holds the whole file already.
    const history::StoredState::Requete tenue{QStringLiteral("SELECT tenir_batiment(?)"), {m_code}};
    return history::StoredState::lire(
        m_dataBus,
        {{QStringLiteral("SELECT * FROM SOLMA.LOCAL WHERE C_LOCAL = ?"), {m_code}},
         {QStringLiteral("SELECT a.* FROM SOLMA.ADRESSE a JOIN SOLMA.LOCAL l "
                         "ON a.ADR_ORDRE = l.ID_ADRESSE_ADMIN WHERE l.C_LOCAL = ?"),
          {m_code}}},
        tenir ? &tenue : nullptr);
}

bool BuildingConflictCheck::prendre(const QString &code)
{
    m_code = code;
    m_photo = etatStocke(false);
    try {
        m_repere = history::ChangeHistory::dernierDuBatiment(m_dataBus, code);
    } catch (const eo::EOException &) {
        m_repere = 0; // a database without history: the alerts then cannot say who
    }
    return !m_photo.isEmpty();
}

void BuildingConflictCheck::oublier()
{
    m_code.clear();
    m_photo.clear();
    m_repere = 0;
}

BuildingConflictCheck::Etat BuildingConflictCheck::verifier(bool comparer)
{
    if (m_code.isEmpty())
        return Etat::inchange;
    const QStringList stocke =
        etatStocke(!m_dataBus.dataBusAdaptor()->dialect().transactionHoldsWholeDatabase());
    if (stocke.isEmpty())
        return Etat::disparu;
    return comparer && stocke != m_photo ? Etat::modifie : Etat::inchange;
}

QString BuildingConflictCheck::messageModifie() const
{
    QStringList qui;
    try {
        QList<history::Change> changements = history::ChangeHistory::duBatiment(m_dataBus, m_code, m_repere);
        if (changements.isEmpty())
            changements = history::ChangeHistory::derniereTransaction(
                history::ChangeHistory::duBatiment(m_dataBus, m_code));
        qui = history::ChangeHistory::resume(changements, history::ChangeHistory::references(m_dataBus));
    } catch (const eo::EOException &) {
        qui.clear();
    }
    QString message = QStringLiteral("Ce bâtiment a été modifié pendant votre modification.");
    if (!qui.isEmpty())
        message += QStringLiteral("\n\n") + qui.join(QLatin1Char('\n'));
    message +=
        QStringLiteral("\n\nRecharger : afficher le bâtiment enregistré, vos saisies sont abandonnées.\n"
                       "Écraser : enregistrer vos saisies à la place.\n"
                       "Annuler : reprendre la modification.");
    return message;
}

BuildingConflictCheck::Reponse BuildingConflictCheck::demander() const
{
    const int reponse = platform::NSRunChoicePanel(
        QStringLiteral("ATTENTION"), messageModifie(),
        {QStringLiteral("Recharger"), QStringLiteral("Écraser"), QStringLiteral("Annuler")}, 2);
    return reponse == 0 ? Reponse::recharger : reponse == 1 ? Reponse::ecraser : Reponse::annuler;
}

QString BuildingConflictCheck::messageDisparu() const
{
    QString quoi = QStringLiteral("a été modifié par un autre utilisateur");
    try {
        const QList<history::Change> departs =
            history::ChangeHistory::codeQuitte(m_dataBus, m_code, m_repere);
        if (!departs.isEmpty()) {
            const history::Change &depart = departs.first();
            quoi = depart.nouvelle.isEmpty()
                       ? QStringLiteral("a été supprimé (%1)").arg(history::ChangeHistory::auteur(depart))
                       : QStringLiteral("a pris le code « %1 » (%2)")
                             .arg(depart.nouvelle, history::ChangeHistory::auteur(depart));
        }
    } catch (const eo::EOException &) {
        // no history: the message names nobody
    }
    return QStringLiteral(
               "Le bâtiment « %1 » %2 pendant votre modification : vos saisies ne peuvent pas être "
               "enregistrées. La liste des bâtiments est relue.")
        .arg(m_code, quoi);
}

} // namespace buildings
