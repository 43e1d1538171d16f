#include "RoomConflictCheck.h"

#include "ChangeHistory.h"
#include "EOException.h"
#include "KORDataBusOC.h"
#include "StoredState.h"

namespace rooms
{

namespace
{

bool &actif()
{
    static bool valeur = true;
    return valeur;
}

// What someone else may have changed: every column of the record and of the complement, the custodian and
// the three sub-lists. The occupation lines' own numbers are left out: a save gives new ones to the same
// lines.
QList<history::StoredState::Requete> requetes(const QVariant &numero)
{
    return {
        {QStringLiteral("SELECT * FROM SOLMA.SALLES WHERE SAL_NUMERO = ?"), {numero}},
        {QStringLiteral("SELECT * FROM SALLE_TAV WHERE SAL_NUMERO = ?"), {numero}},
        {QStringLiteral(
             "SELECT C_STRUCTURE FROM SOLMA.DEPOSITAIRE WHERE SAL_NUMERO = ? ORDER BY C_STRUCTURE"),
         {numero}},
        {QStringLiteral(
             "SELECT PRI_ORDRE, PRI_CODE, PRI_TYPE FROM PRISES WHERE SAL_NUMERO = ? ORDER BY PRI_ORDRE"),
         {numero}},
        {QStringLiteral("SELECT TAV_TYPE, DSA_POURCENTAGE, UNI_ORDRE FROM DETAIL_SALLE WHERE SAL_NUMERO = ? "
                        "ORDER BY TAV_TYPE"),
         {numero}},
        {QStringLiteral("SELECT C_STRUCTURE, DET_TYPE, DET_POURCENTAGE FROM DETAIL_POURCENTAGE "
                        "WHERE SAL_NUMERO = ? ORDER BY C_STRUCTURE, DET_TYPE, DET_POURCENTAGE"),
         {numero}},
    };
}

// The record's row comes first: a room that no longer exists has none.
bool existe(const QStringList &etat)
{
    return !etat.isEmpty() && etat.first().startsWith(QLatin1String("0: "));
}

} // namespace

RoomConflictCheck::RoomConflictCheck(data::KORDataBusOC &dataBus) : m_dataBus(dataBus) {}

void RoomConflictCheck::setActive(bool active)
{
    actif() = active;
}

QStringList RoomConflictCheck::etatStocke(bool tenir) const
{
    // The hold comes first, in the same round trip: the room is read once the other saves of it are over.
    // The function checks the caller's rights: a plain member of the clients' group cannot hold a room.
    const history::StoredState::Requete tenue{QStringLiteral("SELECT tenir_salle(?)"), {m_numero}};
    return history::StoredState::lire(m_dataBus, requetes(m_numero), tenir ? &tenue : nullptr);
}

bool RoomConflictCheck::prendre(const QVariant &numero)
{
    m_numero = numero;
    m_photo.clear();
    m_repere = 0;
    if (!actif())
        return true;
    m_photo = etatStocke(false);
    try {
        m_repere = history::ChangeHistory::dernierDeLaSalle(m_dataBus, numero.toLongLong());
    } catch (const eo::EOException &) {
        m_repere = 0; // a database without history: the alerts then cannot say who
    }
    return existe(m_photo);
}

void RoomConflictCheck::oublier()
{
    m_numero.clear();
    m_photo.clear();
    m_repere = 0;
}

RoomConflictCheck::Etat RoomConflictCheck::verifier(bool comparer)
{
    if (!actif() || !m_numero.isValid())
        return Etat::inchangee;
    const QStringList stocke =
        etatStocke(!m_dataBus.dataBusAdaptor()->dialect().transactionHoldsWholeDatabase());
    if (!existe(stocke))
        return Etat::supprimee;
    if (comparer && stocke != m_photo)
        return Etat::modifiee;
    return Etat::inchangee;
}

QString RoomConflictCheck::messageModifiee() const
{
    QStringList qui;
    try {
        QList<history::Change> changements =
            history::ChangeHistory::deLaSalle(m_dataBus, m_numero.toLongLong(), m_repere);
        // A change committed after the room was read but numbered before it: the latest one is shown.
        if (changements.isEmpty())
            changements = history::ChangeHistory::derniereTransaction(
                history::ChangeHistory::deLaSalle(m_dataBus, m_numero.toLongLong()));
        qui = history::ChangeHistory::resume(changements, history::ChangeHistory::references(m_dataBus));
    } catch (const eo::EOException &) {
        qui.clear();
    }
    QString message = QStringLiteral("Cette salle a été modifiée pendant votre modification.");
    if (!qui.isEmpty())
        message += QStringLiteral("\n\n") + qui.join(QLatin1Char('\n'));
    message += QStringLiteral("\n\nRecharger : afficher la salle enregistrée, vos saisies sont abandonnées.\n"
                              "Écraser : enregistrer vos saisies à la place.\n"
                              "Annuler : reprendre la modification.");
    return message;
}

QString RoomConflictCheck::messageSupprimee(Action action) const
{
    QString auteur = QStringLiteral("un autre utilisateur");
    try {
        // A room number is never given again: its deletion is the room's, whenever it happened.
        const QList<history::Change> changements =
            history::ChangeHistory::deLaSalle(m_dataBus, m_numero.toLongLong());
        for (const history::Change &c : changements) {
            if (c.table == u"SALLES" && c.operation == u"suppression") {
                auteur = history::ChangeHistory::auteur(c);
                break;
            }
        }
    } catch (const eo::EOException &) {
        // no history: the message names nobody
    }
    switch (action) {
    case Action::modification:
        return QStringLiteral("Cette salle a été supprimée par %1 : vos modifications ne peuvent pas être "
                              "enregistrées.")
            .arg(auteur);
    case Action::debutDeModification:
        return QStringLiteral("Cette salle a été supprimée par %1 : elle ne peut plus être modifiée.")
            .arg(auteur);
    case Action::suppression:
        break;
    }
    return QStringLiteral("Cette salle a déjà été supprimée par %1.").arg(auteur);
}

} // namespace rooms
