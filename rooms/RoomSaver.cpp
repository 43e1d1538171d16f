#include "RoomSaver.h"

#include "KORDataBusOC.h"
#include "KORFormHelpers.h"
#include "RoomConflictCheck.h"
#include "RoomDisplayGroups.h"

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

RoomSaver::RoomSaver(data::KORDataBusOC &dataBus, RoomDisplayGroups &tables)
    : m_dataBus(dataBus), m_tables(tables)
{
}

eo::EOPrefetch::Fetch RoomSaver::lectureType(const SaisieSalle &salle) const
{
    return data::KORDataBusOC::declaredFetch(
        QStringLiteral("TypeSalle"),
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("tsalLibelle=%@"), {salle.type}), {},
        &m_tables.tableTypeSalle);
}

eo::EOPrefetch::Fetch RoomSaver::lectureBatiment(const SaisieSalle &salle) const
{
    return data::KORDataBusOC::declaredFetch(
        QStringLiteral("LocalVix"),
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("appellation = %@"), {salle.batiment}),
        {}, &m_tables.tableBatiments);
}

eo::EOPrefetch::Fetch RoomSaver::lectureComplement(const QVariant &numero) const
{
    return data::KORDataBusOC::declaredFetch(
        QStringLiteral("SalleTav"),
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salNumero=%@"), {numero}), {},
        &m_tables.tableSalleTAV);
}

RoomSaveArguments::Cles RoomSaver::preparer(const SaisieSalle &salle)
{
    RoomSaveArguments::Cles cles;
    const eo::EOPrefetch::Fetch type = lectureType(salle);
    const eo::EOPrefetch::Fetch batiment = lectureBatiment(salle);
    const eo::EOPrefetch enAvance = m_dataBus.prefetch({type, batiment});
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableTypeSalle, type.request.entityName,
                               type.request.qualifier, {}, true);
    cles.tsalNumero = valeurDe(m_tables.tableTypeSalle.displayedObjects(), "tsalNumero", false);
    // A building or type that no longer exists gives no key: the procedure then refuses the room with
    // its own message.
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableBatiments, batiment.request.entityName,
                               batiment.request.qualifier, {}, true);
    cles.cLocal = valeurDe(m_tables.tableBatiments.displayedObjects(), "cLocal", salle.nouvelle());
    return cles;
}

data::UncertainSave::Textes RoomSaver::incertitudes()
{
    return {
        QStringLiteral("Le serveur ne répond toujours pas : impossible de savoir si l'enregistrement "
                       "précédent de cette salle a été fait. Rien n'est enregistré de nouveau ; réessayez "
                       "dans un instant."),
        QStringLiteral("Le serveur confirme que la nouvelle salle a bien été enregistrée avant que la "
                       "connexion ne soit perdue : elle n'est pas enregistrée une seconde fois. La salle "
                       "enregistrée est affichée."),
        QStringLiteral("Le serveur confirme que vos modifications ont bien été enregistrées avant que la "
                       "connexion ne soit perdue. La salle enregistrée est affichée."),
        QStringLiteral("SELECT 1 FROM SOLMA.SALLES WHERE SAL_NUMERO = ?")};
}

RoomSaver::Issue RoomSaver::issueDe(data::SaveTransaction::Issue issue)
{
    switch (issue) {
    case data::SaveTransaction::Issue::enregistree:
        return Issue::enregistree;
    case data::SaveTransaction::Issue::incertaine:
        return Issue::incertaine;
    case data::SaveTransaction::Issue::refusee:
        break;
    }
    return Issue::refusee;
}

RoomSaver::Issue RoomSaver::creer(const SaisieSalle &salle, QVariant *numero)
{
    const RoomSaveArguments::Cles cles = preparer(salle);
    const QString refus = QStringLiteral("La nouvelle salle n'a pas ete enregistree !!");
    data::SaveTransaction enregistrement(m_dataBus, refus);
    if (!enregistrement.appeler(QStringLiteral("insSalle"), RoomSaveArguments::salle(salle, cles), refus)) {
        enregistrement.terminer();
        return Issue::refusee;
    }
    *numero = QVariant::fromValue(
        KORFormHelpers::recupererOrdre(enregistrement.sorties().value(QStringLiteral("salNumero"))));
    // The complement goes with the record: a room never exists without it.
    enregistrement.etape(true);
    enregistrement.ajouter(QStringLiteral("insSalleTav"), RoomSaveArguments::complement(salle, *numero),
                           QString());
    ecrire(enregistrement, *numero, materiels(salle, *numero));
    ecrire(enregistrement, *numero, occupations(salle, *numero));
    for (const SaisieSalle::Prise &prise : salle.prises) {
        enregistrement.etape();
        enregistrement.ajouter(QStringLiteral("insPrises"), RoomSaveArguments::prise(prise, *numero, false),
                               QStringLiteral("Les prises n'ont pas ete enregistrees !!"));
    }
    return issueDe(enregistrement.terminer());
}

RoomSaver::Issue RoomSaver::modifier(const SaisieSalle &salle, RoomConflictCheck &verification, bool ecraser)
{
    const QVariant &numero = salle.numero;
    // The type, the building and the complement are read together, before the transaction opens.
    const eo::EOPrefetch::Fetch complementStocke = lectureComplement(numero);
    const eo::EOPrefetch enAvance =
        m_dataBus.prefetch({lectureType(salle), lectureBatiment(salle), complementStocke});
    const RoomSaveArguments::Cles cles = preparer(salle);
    // Whether the room has its complement already.
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableSalleTAV, complementStocke.request.entityName,
                               complementStocke.request.qualifier, {}, false);
    const QString complement = m_tables.tableSalleTAV.displayedObjects().isEmpty()
                                   ? QStringLiteral("insSalleTav")
                                   : QStringLiteral("updSalleTav");
    const QString refus = QStringLiteral("La salle n'a pas ete enregistree !!");
    data::SaveTransaction enregistrement(m_dataBus, refus);
    // The room stays held from the check to the commit: another save of it waits, then finds it changed,
    // instead of writing between this save's steps.
    const RoomConflictCheck::Etat etat = verification.verifier(!ecraser);
    if (etat != RoomConflictCheck::Etat::inchangee) {
        enregistrement.abandonner();
        return etat == RoomConflictCheck::Etat::supprimee ? Issue::supprimeeAilleurs
                                                          : Issue::modifieeAilleurs;
    }
    enregistrement.etape(true);
    enregistrement.ajouter(QStringLiteral("majSalles"), RoomSaveArguments::salle(salle, cles), refus);
    enregistrement.ajouter(complement, RoomSaveArguments::complement(salle, numero), QString());
    for (const SaisieSalle::Prise &prise : salle.prises) {
        enregistrement.etape();
        if (KORFormHelpers::recupererOrdre(prise.ordre) == -1) {
            enregistrement.ajouter(QStringLiteral("insPrises"),
                                   RoomSaveArguments::prise(prise, numero, false),
                                   QStringLiteral("Probleme enregistrement de prise !!"));
        } else {
            enregistrement.ajouter(QStringLiteral("updPrises"), RoomSaveArguments::prise(prise, numero, true),
                                   QStringLiteral("Probleme enregistrement de prises !!"));
        }
    }
    for (const QVariant &ordre : salle.prisesSupprimees) {
        enregistrement.etape();
        enregistrement.ajouter(QStringLiteral("delPrises"), {{QStringLiteral("priordre"), ordre}},
                               QStringLiteral("Probleme suppression de prises !!"));
    }
    ecrire(enregistrement, numero, materiels(salle, numero));
    ecrire(enregistrement, numero, occupations(salle, numero));
    return issueDe(enregistrement.terminer());
}

RoomSaver::Liste RoomSaver::materiels(const SaisieSalle &salle, const QVariant &numero)
{
    Liste liste;
    if (!salle.nouvelle()) {
        liste.suppression = QStringLiteral("delDetailSalle");
        liste.alerteSuppression = QStringLiteral("Probleme suppression de materiels !!");
    }
    liste.insertion = QStringLiteral("insDetailSalle");
    liste.alerteInsertion = alerteMaterielsEnregistres;
    for (const SaisieSalle::Materiel &ligne : salle.materiels)
        liste.lignes.append(RoomSaveArguments::ligneMateriel(ligne, numero));
    return liste;
}

RoomSaver::Liste RoomSaver::occupations(const SaisieSalle &salle, const QVariant &numero)
{
    Liste liste;
    if (!salle.nouvelle()) {
        liste.suppression = QStringLiteral("delDetailPourcentage");
        liste.alerteSuppression = QStringLiteral("Probleme suppression d'occupations !!");
    }
    liste.insertion = QStringLiteral("insDetailPourcentage");
    liste.alerteInsertion = alerteOccupationsEnregistrees;
    for (const SaisieSalle::Occupation &ligne : salle.occupations)
        liste.lignes.append(RoomSaveArguments::ligneOccupation(ligne, numero));
    return liste;
}

void RoomSaver::ecrire(data::SaveTransaction &enregistrement, const QVariant &numero, const Liste &liste)
{
    if (liste.suppression.isEmpty()) {
        for (const QVariantMap &ligne : liste.lignes) {
            enregistrement.etape();
            enregistrement.ajouter(liste.insertion, ligne, liste.alerteInsertion);
        }
        return;
    }
    enregistrement.etape();
    enregistrement.ajouter(liste.suppression, {{QStringLiteral("salnumero"), numero}},
                           liste.alerteSuppression);
    for (const QVariantMap &ligne : liste.lignes)
        enregistrement.ajouter(liste.insertion, ligne, liste.alerteInsertion);
}

} // namespace rooms
