#include "RoomSaveArguments.h"

#include "EONull.h"
#include "KORConversions.h"
#include "RoomTextWidths.h"

namespace rooms
{

using framework::KORConversions;

namespace
{

QString drapeau(bool oui)
{
    return oui ? QStringLiteral("O") : QStringLiteral("N");
}

// A number of the value as the procedure takes it: the null marker where none is given.
QVariant nombre(const QVariant &valeur)
{
    return eo::isNullOrNone(valeur) ? eo::eoNull() : valeur;
}

} // namespace

QString RoomSaveArguments::chaine(const QString &texte, int largeur)
{
    return KORConversions::recupererChaine(
        largeur > 0 ? KORConversions::truncateString(texte, 0, quint64(largeur)) : texte);
}

QString RoomSaveArguments::texteOuZero(const QString &texte)
{
    return texte.isEmpty() ? QStringLiteral("0") : texte;
}

QVariantMap RoomSaveArguments::salle(const SaisieSalle &salle, const Cles &cles)
{
    const bool creation = salle.nouvelle();
    // A new room takes the first custodian of its list, a modified one the last; one that cannot be
    // reserved has none.
    QString depositaire;
    if (salle.reservable && !salle.depositaires.isEmpty())
        depositaire = creation ? salle.depositaires.first() : salle.depositaires.last();
    // The extra columns of the reference schema that the room tab does not know: left as stored.
    const QString prefixe = creation ? QStringLiteral("insSal") : QStringLiteral("majSal");
    QVariantMap arguments{
        {creation ? QStringLiteral("insCStructure") : QStringLiteral("grpOrdre"), depositaire},
        {creation ? QStringLiteral("insCLocal") : QStringLiteral("clocal"), cles.cLocal},
        {QStringLiteral("salCapacite"), nombre(salle.places)},
        {QStringLiteral("salDescriptif"), chaine(salle.descriptif, RoomTextWidths::descriptif())},
        {QStringLiteral("salEcran"), drapeau(salle.ecran)},
        {QStringLiteral("salEtage"), chaine(salle.etage, RoomTextWidths::etage())},
        {QStringLiteral("salIdentAcces"), chaine(salle.identAcces, RoomTextWidths::identAcces())},
        {QStringLiteral("salInsonorisee"), drapeau(salle.insonorisee)},
        {QStringLiteral("salNature"), chaine(salle.nature, RoomTextWidths::nature())},
        {QStringLiteral("salNbArmoires"), nombre(salle.armoires)},
        {QStringLiteral("salNbBureaux"), nombre(salle.bureaux)},
        {QStringLiteral("salNbChaises"), nombre(salle.chaises)},
        {QStringLiteral("salNbFenetres"), nombre(salle.fenetres)},
        {QStringLiteral("salNbTables"), nombre(salle.tables)},
        {QStringLiteral("salNoPoste"), texteOuZero(chaine(salle.postesTP, RoomTextWidths::postesTP()))},
        {QStringLiteral("salObscur"), drapeau(salle.obscurite)},
        {QStringLiteral("salPorte"), chaine(salle.porte.toUpper(), RoomTextWidths::porte())},
        {QStringLiteral("salPourAdministration"), nombre(salle.administration)},
        {QStringLiteral("salPourDocumentation"), nombre(salle.documentation)},
        {QStringLiteral("salPourEnseignement"), nombre(salle.enseignement)},
        {QStringLiteral("salPourRecherche"), nombre(salle.recherche)},
        {QStringLiteral("salPourTechnique"), nombre(salle.technique)},
        {QStringLiteral("salReservable"), drapeau(salle.reservable)},
        {QStringLiteral("salRetro"), drapeau(salle.retroprojecteur)},
        {QStringLiteral("salSuperficie"), nombre(salle.surface)},
        {QStringLiteral("salTableau"), texteOuZero(salle.tableauxNoirs)},
        {QStringLiteral("salTableauBlanc"), texteOuZero(salle.tableauxBlancs)},
        {QStringLiteral("salTableauPapier"), texteOuZero(salle.tableauxPapier)},
        {QStringLiteral("salTelevision"), drapeau(salle.television)},
        {QStringLiteral("tsalNumero"), cles.tsalNumero},
        {prefixe + QStringLiteral("PasNum"), eo::eoNull()},
        {prefixe + QStringLiteral("TemHandicap"), QString()},
        {prefixe + QStringLiteral("TemEnService"), QString()},
        {prefixe + QStringLiteral("CapaExam"), eo::eoNull()},
        {prefixe + QStringLiteral("NbPlacesExamLib"), eo::eoNull()},
        {prefixe + QStringLiteral("SalleProcheTel"), eo::eoNull()},
        {creation ? QStringLiteral("insSalNumDepart") : QStringLiteral("majSalSalleNumDepart"), eo::eoNull()},
    };
    if (!creation)
        arguments.insert(QStringLiteral("salNumero"), salle.numero);
    return arguments;
}

QVariantMap RoomSaveArguments::complement(const SaisieSalle &salle, const QVariant &numero)
{
    return {
        {QStringLiteral("salnumero"), numero},
        {QStringLiteral("tavhauteurMoyenPlafond"), nombre(salle.hauteurPlafond)},
        {QStringLiteral("tavnombrePortes"), nombre(salle.portes)},
        {QStringLiteral("tavsurfaceVitree"), nombre(salle.surfaceVitree)},
        {QStringLiteral("tavaccueil"), nombre(salle.accueil)},
        {QStringLiteral("tavcirculation"), nombre(salle.circulation)},
        {QStringLiteral("tavrestauration"), nombre(salle.restauration)},
        {QStringLiteral("tavparking"), nombre(salle.parking)},
        {QStringLiteral("tavvieSocial"), nombre(salle.vieSociale)},
        {QStringLiteral("tavsportif"), nombre(salle.sportif)},
        {QStringLiteral("tavsanitaire"), nombre(salle.sanitaire)},
    };
}

QVariantMap RoomSaveArguments::ligneMateriel(const SaisieSalle::Materiel &ligne, const QVariant &numero)
{
    return {
        {QStringLiteral("dsapourcentage"), ligne.quantite},
        {QStringLiteral("salnumero"), numero},
        {QStringLiteral("tavtype"), ligne.type},
        {QStringLiteral("uniordre"), ligne.unite},
    };
}

QVariantMap RoomSaveArguments::ligneOccupation(const SaisieSalle::Occupation &ligne, const QVariant &numero)
{
    return {
        {QStringLiteral("detpourcentage"), ligne.pourcentage},
        {QStringLiteral("dettype"), ligne.type},
        {QStringLiteral("salnumero"), numero},
        {QStringLiteral("cstructure"), ligne.departement},
    };
}

QVariantMap RoomSaveArguments::prise(const SaisieSalle::Prise &prise, const QVariant &numero, bool avecOrdre)
{
    QVariantMap arguments{
        {QStringLiteral("pricode"), chaine(prise.code, RoomTextWidths::codePrise())},
        {QStringLiteral("pritype"), prise.type},
        {QStringLiteral("salnumero"), numero},
    };
    if (avecOrdre)
        arguments.insert(QStringLiteral("priordre"), prise.ordre);
    return arguments;
}

} // namespace rooms
