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
    if (etat == State::Unknown) {
        platform::NSRunAlertPanel(QStringLiteral("ATTENTION"), m_textes.toujoursInconnue,
                                  QStringLiteral("OK"));
        return Reponse::toujoursInconnue;
    }
    bool enregistree = etat == State::Committed;
    if (!etat && m_creation && !m_textes.trouverLaCreation.isEmpty())
        enregistree = !m_dataBus.executeSQLQuery(m_textes.trouverLaCreation, {m_cle}).isEmpty();
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
