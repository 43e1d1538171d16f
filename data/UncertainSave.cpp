#include "UncertainSave.h"

#include "AlertPanel.h"
#include "KORDataBusOC.h"

namespace data
{

UncertainSave::UncertainSave(KORDataBusOC &dataBus, Textes textes)
    : m_dataBus(dataBus), m_textes(std::move(textes))
{
}

void UncertainSave::retenir(bool creation, const QVariant &cle)
{
    m_enAttente = true;
    m_creation = creation;
    m_cle = cle;
}

void UncertainSave::oublier()
{
    m_enAttente = false;
    m_cle.clear();
}

UncertainSave::Reponse UncertainSave::demander()
{
    using State = eo::EOTransactionSteps::State;
    const std::optional<State> etat = m_dataBus.confirmPendingTransaction();
    if (etat == State::Committed || etat == State::RolledBack)
        return annoncer(etat == State::Committed);
    if (m_dataBus.hasPendingTransaction()) {
        // The server still cannot be reached: nothing is written meanwhile.
        platform::NSRunAlertPanel(QStringLiteral("ATTENTION"), m_textes.toujoursInconnue,
                                  QStringLiteral("OK"));
        return Reponse::toujoursInconnue;
    }
    // The server cannot say what became of that transaction (it never learnt which one it was, or has
    // forgotten), but the lost session is over: a key is never given twice, so a new record is stored
    // exactly when it is found.
    if (m_creation && !m_textes.trouverLaCreation.isEmpty())
        return annoncer(!m_dataBus.executeSQLQuery(m_textes.trouverLaCreation, {m_cle}).isEmpty());
    return annoncer(false);
}

UncertainSave::Reponse UncertainSave::annoncer(bool enregistree)
{
    if (!enregistree) {
        // Nothing was stored: the save is made again as typed.
        oublier();
        return Reponse::rienDEnregistre;
    }
    m_enAttente = false;
    platform::NSRunAlertPanel(QStringLiteral("Attention"),
                              m_creation ? m_textes.creationEnregistree : m_textes.modificationEnregistree,
                              QStringLiteral("OK"));
    return Reponse::enregistree;
}

} // namespace data
