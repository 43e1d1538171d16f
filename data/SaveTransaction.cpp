#include "SaveTransaction.h"

#include "AlertPanel.h"
#include "EOException.h"
#include "KORDataBusOC.h"

#include <QDebug>

namespace data
{

namespace
{

SaveTransaction::Journal &journal()
{
    static SaveTransaction::Journal suivi;
    return suivi;
}

void alerte(const QString &titre, const QString &message)
{
    if (!message.isEmpty())
        platform::NSRunAlertPanel(titre, message, QStringLiteral("OK"));
}

} // namespace

SaveTransaction::SaveTransaction(KORDataBusOC &dataBus, const QString &alerteValidation)
    : m_dataBus(dataBus), m_alerteValidation(alerteValidation)
{
    noter(QStringLiteral("begin"));
    m_dataBus.beginTransaction();
}

bool SaveTransaction::executer(KORDataBusOC &dataBus, const QString &procedure, const QVariantMap &arguments)
{
    SaveTransaction ecriture(dataBus, QString());
    ecriture.etape(true);
    ecriture.ajouter(procedure, arguments, QString());
    return ecriture.terminer() == Issue::enregistree;
}

SaveTransaction::~SaveTransaction()
{
    if (!m_ouverte)
        return;
    // An exception left the action in the middle: nothing of it may stay.
    try {
        noter(QStringLiteral("rollback"));
        m_dataBus.rollbackTransaction();
    } catch (const std::exception &erreur) {
        qWarning().noquote() << QStringLiteral(">>>>> Annulation de la transaction impossible : %1")
                                    .arg(QString::fromUtf8(erreur.what()));
    }
}

void SaveTransaction::setJournal(Journal suivi)
{
    journal() = std::move(suivi);
}

void SaveTransaction::noter(const QString &evenement)
{
    if (journal())
        journal()(evenement);
}

bool SaveTransaction::appeler(const QString &procedure, const QVariantMap &arguments, const QString &alerte)
{
    if (m_refusee)
        return false;
    noter(procedure);
    if (m_dataBus.executeProcedureSansTransaction(procedure, arguments)) {
        m_sorties = m_dataBus.dataBusAdaptorChannel()->returnValuesForLastStoredProcedureInvocation();
        return true;
    }
    m_refusee = true;
    m_alerte = alerte;
    return false;
}

void SaveTransaction::etape(bool essentielle)
{
    m_etapes.steps.push_back({{}, essentielle});
    m_alertes.append(QStringList());
}

void SaveTransaction::ajouter(const QString &procedure, const QVariantMap &arguments, const QString &alerte)
{
    if (m_refusee)
        return;
    if (m_etapes.steps.empty())
        etape();
    m_etapes.steps.back().calls.push_back({procedure, nullptr, arguments});
    m_alertes.last().append(alerte);
}

void SaveTransaction::abandonner()
{
    if (!m_ouverte)
        return;
    m_ouverte = false;
    m_refusee = true;
    noter(QStringLiteral("rollback"));
    m_dataBus.rollbackTransaction();
}

SaveTransaction::Issue SaveTransaction::terminer()
{
    if (!m_ouverte)
        return m_refusee ? Issue::refusee : Issue::enregistree;
    m_ouverte = false;
    if (m_refusee) {
        noter(QStringLiteral("rollback"));
        m_dataBus.rollbackTransaction();
        alerte(QStringLiteral("ATTENTION"), m_alerte);
        return Issue::refusee;
    }
    if (!m_etapes.steps.empty())
        return envoyerLesEtapes();
    try {
        noter(QStringLiteral("commit"));
        m_dataBus.commitTransaction();
    } catch (const eo::EOException &erreur) {
        // What the calls wrote is lost with the commit, or cannot be known: the user hears which.
        m_refusee = true;
        alerte(QStringLiteral("ERREUR..."), erreur.message());
        if (m_dataBus.hasPendingTransaction())
            return Issue::incertaine;
        alerte(QStringLiteral("ATTENTION"), m_alerteValidation);
        return Issue::refusee;
    }
    return Issue::enregistree;
}

SaveTransaction::Issue SaveTransaction::envoyerLesEtapes()
{
    using State = eo::EOTransactionSteps::State;
    m_etapes.sent = [](const QString &evenement) { noter(evenement); };
    m_resultat =
        m_dataBus.executeTransaction(std::exchange(m_etapes, {}), QStringLiteral("l'enregistrement"));

    // Each refused step, as a call refused on its own would be told.
    QString dernierMessage;
    for (size_t e = 0; e < m_resultat.steps.size(); ++e) {
        const eo::EOTransactionSteps::StepOutcome &issue = m_resultat.steps[e];
        if (!issue.refused)
            continue;
        alerte(QStringLiteral("ERREUR..."), issue.message);
        alerte(QStringLiteral("ATTENTION"), m_alertes.value(qsizetype(e)).value(issue.refusedCall));
        dernierMessage = issue.message;
    }
    switch (m_resultat.state) {
    case State::Committed:
        if (m_resultat.confirmedAfterLoss) {
            alerte(QStringLiteral("Attention"),
                   QStringLiteral("La connexion au serveur a été perdue à la fin de l'enregistrement ; le "
                                  "serveur, interrogé de nouveau, confirme que tout a été enregistré."));
        }
        return Issue::enregistree;
    case State::Unknown:
        m_refusee = true;
        alerte(QStringLiteral("ERREUR..."), m_resultat.message);
        return Issue::incertaine;
    case State::RolledBack:
        break;
    }
    m_refusee = true;
    // A refused commit, or a link lost and nothing stored: the action's own alert follows the reason (an
    // essential step refused has been told already).
    if (!m_resultat.message.isEmpty()) {
        // A wait the user gave up ends the whole action: its step has said why already.
        if (m_resultat.message != dernierMessage)
            alerte(QStringLiteral("ERREUR..."), m_resultat.message);
        alerte(QStringLiteral("ATTENTION"), m_alerteValidation);
    }
    return Issue::refusee;
}

bool SaveTransaction::etapeEnregistree(qsizetype etape) const
{
    return etape >= 0 && size_t(etape) < m_resultat.steps.size() && m_resultat.stored(size_t(etape));
}

QVariantMap SaveTransaction::sortiesDeLEtape(qsizetype etape) const
{
    if (etape < 0 || size_t(etape) >= m_resultat.steps.size())
        return {};
    return m_resultat.steps[size_t(etape)].outputs;
}

} // namespace data
