#include "RoomSaver.h"

#include "KORDataBusOC.h"
#include "KORFormHelpers.h"
#include "RoomConflictCheck.h"
#include "RoomDisplayGroups.h"
#include "RoomTransaction.h"
#include "RoomTransactionBatch.h"
#include "ui_Creation.h"

#include <QDebug>

namespace rooms
{

using framework::KORFormHelpers;

namespace
{

const QString alerteMaterielsEnregistres = QStringLiteral("Probleme enregistrement de materiels !!");
const QString alerteOccupationsEnregistrees = QStringLiteral("Probleme enregistrement d'occupations !!");

QVariant valeurDe(const QList<eo::EORecord> &lignes, const char *cle, bool premiere)
{
    if (lignes.isEmpty())
        return {};
    return (premiere ? lignes.first() : lignes.last())->valueForKey(QString::fromLatin1(cle));
}

} // namespace

RoomSaver::RoomSaver(data::KORDataBusOC &dataBus, Ui::Creation &ui, RoomDisplayGroups &tables)
    : m_dataBus(dataBus), ui(ui), m_tables(tables)
{
}

eo::EOPrefetch::Fetch RoomSaver::lectureType() const
{
    return data::KORDataBusOC::declaredFetch(
        QStringLiteral("TypeSalle"),
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("tsalLibelle=%@"),
                                                      {ui.typePopup->currentText()}),
        {}, &m_tables.tableTypeSalle);
}

eo::EOPrefetch::Fetch RoomSaver::lectureBatiment() const
{
    return data::KORDataBusOC::declaredFetch(
        QStringLiteral("LocalVix"),
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("appellation = %@"),
                                                      {ui.localisationBatiment->currentText()}),
        {}, &m_tables.tableBatiments);
}

eo::EOPrefetch::Fetch RoomSaver::lectureComplement(const QVariant &numero) const
{
    return data::KORDataBusOC::declaredFetch(
        QStringLiteral("SalleTav"),
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salNumero=%@"), {numero}), {},
        &m_tables.tableSalleTAV);
}

RoomSaveArguments::Cles RoomSaver::preparer(bool creation)
{
    // A room that cannot be reserved has no custodian.
    if (!ui.reservable->isChecked())
        KORFormHelpers::viderTable(&m_tables.tableDepositaire);

    RoomSaveArguments::Cles cles;
    const eo::EOPrefetch::Fetch type = lectureType();
    const eo::EOPrefetch::Fetch batiment = lectureBatiment();
    const eo::EOPrefetch enAvance = m_dataBus.prefetch({type, batiment});
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableTypeSalle, type.request.entityName,
                               type.request.qualifier, {}, true);
    cles.tsalNumero = valeurDe(m_tables.tableTypeSalle.displayedObjects(), "tsalNumero", false);
    // A building or type that no longer exists gives no key: the procedure then refuses the room with
    // its own message.
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableBatiments, batiment.request.entityName,
                               batiment.request.qualifier, {}, true);
    cles.cLocal = valeurDe(m_tables.tableBatiments.displayedObjects(), "cLocal", creation);
    return cles;
}

QVariant RoomSaver::creer()
{
    const RoomSaveArguments::Cles cles = preparer(true);
    QVariant numero;
    {
        RoomTransaction salle(m_dataBus, QStringLiteral("La nouvelle salle n'a pas ete enregistree !!"));
        if (salle.appeler(QStringLiteral("insSalle"), RoomSaveArguments::salle(ui, m_tables, cles, {}),
                          QStringLiteral("La nouvelle salle n'a pas ete enregistree !!"))) {
            numero = QVariant::fromValue(
                KORFormHelpers::recupererOrdre(salle.sorties().value(QStringLiteral("salNumero"))));
            salle.ajouter(QStringLiteral("insSalleTav"), RoomSaveArguments::complement(ui, numero),
                          QString());
        }
        if (!salle.terminer())
            return {};
    }

    RoomTransactionBatch suite(m_dataBus);
    remplacer(suite, numero, materiels(numero, true));
    remplacer(suite, numero, occupations(numero, true));
    for (const eo::EORecord &prise : m_tables.tablePrise.displayedObjects()) {
        appelSeul(suite, QStringLiteral("insPrises"), RoomSaveArguments::prise(prise, numero, false),
                  QStringLiteral("Les prises n'ont pas ete enregistrees !!"));
    }
    suite.envoyer();
    return numero;
}

RoomSaver::Issue RoomSaver::modifier(const eo::EORecord &salle, const QVariantList &prisesSupprimees,
                                     RoomConflictCheck &verification, bool ecraser)
{
    const QVariant numero = salle->valueForKey(QStringLiteral("salNumero"));
    // The type, the building and the complement are read together, before the transaction opens.
    const eo::EOPrefetch::Fetch complementStocke = lectureComplement(numero);
    const eo::EOPrefetch enAvance = m_dataBus.prefetch({lectureType(), lectureBatiment(), complementStocke});
    const RoomSaveArguments::Cles cles = preparer(false);
    // Whether the room has its complement already.
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableSalleTAV, complementStocke.request.entityName,
                               complementStocke.request.qualifier, {}, false);
    const QString complement = m_tables.tableSalleTAV.displayedObjects().isEmpty()
                                   ? QStringLiteral("insSalleTav")
                                   : QStringLiteral("updSalleTav");
    // The room stays held from the check to the last transaction: another save of it waits, then finds it
    // changed, instead of writing its lists between this save's.
    struct Liberation {
        RoomConflictCheck &verification;
        ~Liberation()
        {
            try {
                verification.liberer();
            } catch (const std::exception &erreur) {
                qWarning().noquote() << QStringLiteral(
                                            ">>>>> Fin de la réservation de la salle impossible : %1")
                                            .arg(QString::fromUtf8(erreur.what()));
            }
        }
    } liberation{verification};
    {
        RoomTransaction enregistrement(m_dataBus, QStringLiteral("La salle n'a pas ete enregistree !!"));
        const RoomConflictCheck::Etat etat = verification.verifier(!ecraser);
        if (etat != RoomConflictCheck::Etat::inchangee) {
            enregistrement.abandonner();
            return etat == RoomConflictCheck::Etat::supprimee ? Issue::supprimeeAilleurs
                                                              : Issue::modifieeAilleurs;
        }
        enregistrement.ajouter(QStringLiteral("majSalles"),
                               RoomSaveArguments::salle(ui, m_tables, cles, salle),
                               QStringLiteral("La salle n'a pas ete enregistree !!"));
        enregistrement.ajouter(complement, RoomSaveArguments::complement(ui, numero), QString());
        if (!enregistrement.terminer())
            return Issue::refusee;
    }

    RoomTransactionBatch suite(m_dataBus);
    for (const eo::EORecord &prise : m_tables.tablePrise.displayedObjects()) {
        if (KORFormHelpers::recupererOrdre(prise->valueForKey(QStringLiteral("priOrdre"))) == -1) {
            appelSeul(suite, QStringLiteral("insPrises"), RoomSaveArguments::prise(prise, numero, false),
                      QStringLiteral("Probleme enregistrement de prise !!"));
        } else {
            appelSeul(suite, QStringLiteral("updPrises"), RoomSaveArguments::prise(prise, numero, true),
                      QStringLiteral("Probleme enregistrement de prises !!"));
        }
    }
    for (const QVariant &ordre : prisesSupprimees) {
        appelSeul(suite, QStringLiteral("delPrises"), {{QStringLiteral("priordre"), ordre}},
                  QStringLiteral("Probleme suppression de prises !!"));
    }
    remplacer(suite, numero, materiels(numero, false));
    remplacer(suite, numero, occupations(numero, false));
    // The room is let go with the last writes, in the same round trip.
    suite.terminerPar(verification.liberation());
    suite.envoyer();
    return Issue::enregistree;
}

RoomSaver::Liste RoomSaver::materiels(const QVariant &numero, bool creation) const
{
    Liste liste;
    if (!creation) {
        liste.suppression = QStringLiteral("delDetailSalle");
        liste.alerteSuppression = QStringLiteral("Probleme suppression de materiels !!");
    }
    liste.insertion = QStringLiteral("insDetailSalle");
    liste.alerteInsertion = alerteMaterielsEnregistres;
    for (const eo::EORecord &ligne : m_tables.tableDetailSalle.displayedObjects())
        liste.lignes.append(RoomSaveArguments::ligneMateriel(ligne, numero));
    return liste;
}

RoomSaver::Liste RoomSaver::occupations(const QVariant &numero, bool creation) const
{
    Liste liste;
    if (!creation) {
        liste.suppression = QStringLiteral("delDetailPourcentage");
        liste.alerteSuppression = QStringLiteral("Probleme suppression d'occupations !!");
    }
    liste.insertion = QStringLiteral("insDetailPourcentage");
    liste.alerteInsertion = alerteOccupationsEnregistrees;
    for (const eo::EORecord &ligne : m_tables.tableDetailPourcentage.displayedObjects())
        liste.lignes.append(RoomSaveArguments::ligneOccupation(ligne, numero));
    return liste;
}

void RoomSaver::remplacer(RoomTransactionBatch &suite, const QVariant &numero, const Liste &liste)
{
    // A new room with no line of this list has nothing to write.
    if (liste.suppression.isEmpty() && liste.lignes.isEmpty())
        return;
    suite.commencer(liste.alerteInsertion);
    if (!liste.suppression.isEmpty())
        suite.appeler(liste.suppression, {{QStringLiteral("salnumero"), numero}}, liste.alerteSuppression);
    for (const QVariantMap &ligne : liste.lignes)
        suite.appeler(liste.insertion, ligne, liste.alerteInsertion);
}

void RoomSaver::appelSeul(RoomTransactionBatch &suite, const QString &procedure, const QVariantMap &arguments,
                          const QString &alerte)
{
    suite.commencer(alerte);
    suite.appeler(procedure, arguments, alerte);
}

} // namespace rooms
