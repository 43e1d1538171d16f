#include "RoomSaveArguments.h"

#include "EONull.h"
#include "KORConversions.h"
#include "KORFormHelpers.h"
#include "RoomDisplayGroups.h"
#include "ui_Creation.h"

namespace rooms
{

using framework::KORConversions;

namespace
{

QString drapeau(const QCheckBox *caseACocher)
{
    return caseACocher->isChecked() ? QStringLiteral("O") : QStringLiteral("N");
}

} // namespace

QString RoomSaveArguments::chaine(const QString &texte, int largeur)
{
    return KORConversions::recupererChaine(KORConversions::truncateString(texte, 0, quint64(largeur)));
}

QVariant RoomSaveArguments::entier(const QString &texte)
{
    return KORConversions::recupererEntier(texte);
}

QVariant RoomSaveArguments::decimal(const QString &texte)
{
    return KORConversions::recupererDecimalNumber(texte);
}

QVariant RoomSaveArguments::decimal(const QLineEdit *champ)
{
    return framework::KORFormHelpers::recupererDecimalAffiche(champ);
}

QString RoomSaveArguments::texteOuZero(const QString &texte)
{
    return texte.isEmpty() ? QStringLiteral("0") : texte;
}

QVariantMap RoomSaveArguments::salle(const Ui::Creation &ui, const RoomDisplayGroups &tables,
                                     const Cles &cles, const eo::EORecord &salle)
{
    const bool creation = !salle;
    const QList<eo::EORecord> &depositaires = tables.tableDepositaire.displayedObjects();
    QString depositaire;
    if (!depositaires.isEmpty()) {
        const eo::EORecord &ligne = creation ? depositaires.first() : depositaires.last();
        depositaire = KORConversions::recupererChaine(ligne->valueForKey(QStringLiteral("cStructure")));
    }
    // The extra columns of the reference schema that the room tab does not know: left as stored.
    const QString prefixe = creation ? QStringLiteral("insSal") : QStringLiteral("majSal");
    QVariantMap arguments{
        {creation ? QStringLiteral("insCStructure") : QStringLiteral("grpOrdre"), depositaire},
        {creation ? QStringLiteral("insCLocal") : QStringLiteral("clocal"), cles.cLocal},
        {QStringLiteral("salCapacite"), entier(ui.architecturePlaces->text())},
        {QStringLiteral("salDescriptif"), chaine(ui.descriptif->toPlainText(), 209)},
        {QStringLiteral("salEcran"), drapeau(ui.equipementEcran)},
        {QStringLiteral("salEtage"), chaine(ui.localisationEtage->text(), 9)},
        {QStringLiteral("salInsonorisee"), drapeau(ui.equipementInsonorise)},
        {QStringLiteral("salNbArmoires"), entier(ui.nombreArmoires->text())},
        {QStringLiteral("salNbBureaux"), entier(ui.nombreBureaux->text())},
        {QStringLiteral("salNbChaises"), entier(ui.nombreChaises->text())},
        {QStringLiteral("salNbFenetres"), entier(ui.architectureFenetres->text())},
        {QStringLiteral("salNbTables"), entier(ui.nombreTables->text())},
        {QStringLiteral("salNoPoste"), texteOuZero(chaine(ui.nbPostesTP->text(), 5))},
        {QStringLiteral("salObscur"), drapeau(ui.equipementObscurite)},
        {QStringLiteral("salPorte"), chaine(ui.localisationPorte->text().toUpper(), 10)},
        {QStringLiteral("salPourAdministration"), decimal(ui.pourcAdministration)},
        {QStringLiteral("salPourDocumentation"), decimal(ui.pourcDocumentation)},
        {QStringLiteral("salPourEnseignement"), decimal(ui.pourcEnseignement)},
        {QStringLiteral("salPourRecherche"), decimal(ui.pourcRecherche)},
        {QStringLiteral("salPourTechnique"), decimal(ui.pourcTechnique)},
        {QStringLiteral("salReservable"), drapeau(ui.reservable)},
        {QStringLiteral("salRetro"), drapeau(ui.equipementRetro)},
        {QStringLiteral("salSuperficie"), decimal(ui.architectureSurface)},
        {QStringLiteral("salTableau"), texteOuZero(ui.nbTablNoir->text())},
        {QStringLiteral("salTableauBlanc"), texteOuZero(ui.nbTablBlanc->text())},
        {QStringLiteral("salTableauPapier"), texteOuZero(ui.nbTablPapier->text())},
        {QStringLiteral("salTelevision"), drapeau(ui.equipementTV)},
        {QStringLiteral("tsalNumero"), cles.tsalNumero},
        {prefixe + QStringLiteral("PasNum"), entier(QString())},
        {prefixe + QStringLiteral("TemHandicap"), QString()},
        {prefixe + QStringLiteral("TemEnService"), QString()},
        {prefixe + QStringLiteral("CapaExam"), eo::eoNull()},
        {prefixe + QStringLiteral("NbPlacesExamLib"), eo::eoNull()},
        {prefixe + QStringLiteral("SalleProcheTel"), eo::eoNull()},
        {creation ? QStringLiteral("insSalNumDepart") : QStringLiteral("majSalSalleNumDepart"), eo::eoNull()},
    };
    if (creation) {
        arguments.insert(QStringLiteral("salIdentAcces"), chaine(QString(), 12));
        arguments.insert(QStringLiteral("salNature"), chaine(QString(), 18));
    } else {
        arguments.insert(QStringLiteral("salIdentAcces"), KORConversions::recupererChaine(salle->valueForKey(
                                                              QStringLiteral("salIdentAcces"))));
        arguments.insert(QStringLiteral("salNature"),
                         KORConversions::recupererChaine(salle->valueForKey(QStringLiteral("salNature"))));
        arguments.insert(QStringLiteral("salNumero"), salle->valueForKey(QStringLiteral("salNumero")));
    }
    return arguments;
}

QVariantMap RoomSaveArguments::complement(const Ui::Creation &ui, const QVariant &numero)
{
    return {
        {QStringLiteral("salnumero"), numero},
        {QStringLiteral("tavhauteurMoyenPlafond"), decimal(ui.hauteurMoyenPlafond)},
        {QStringLiteral("tavnombrePortes"), entier(ui.nbPortes->text())},
        {QStringLiteral("tavsurfaceVitree"), decimal(ui.surfaceVitree)},
        {QStringLiteral("tavaccueil"), decimal(ui.pourcAccueil)},
        {QStringLiteral("tavcirculation"), decimal(ui.pourcCirculation)},
        {QStringLiteral("tavrestauration"), decimal(ui.pourcRestauration)},
        {QStringLiteral("tavparking"), decimal(ui.pourcParking)},
        {QStringLiteral("tavvieSocial"), decimal(ui.pourcVieSociale)},
        {QStringLiteral("tavsportif"), decimal(ui.pourcSportif)},
        {QStringLiteral("tavsanitaire"), decimal(ui.pourcSanitaire)},
    };
}

QVariantMap RoomSaveArguments::ligneMateriel(const eo::EORecord &ligne, const QVariant &numero)
{
    return {
        {QStringLiteral("dsapourcentage"), ligne->valueForKey(QStringLiteral("dsaPourcentage"))},
        {QStringLiteral("salnumero"), numero},
        {QStringLiteral("tavtype"), ligne->valueForKey(QStringLiteral("tavType"))},
        {QStringLiteral("uniordre"), ligne->valueForKey(QStringLiteral("uniOrdre"))},
    };
}

QVariantMap RoomSaveArguments::ligneOccupation(const eo::EORecord &ligne, const QVariant &numero)
{
    return {
        {QStringLiteral("detpourcentage"), ligne->valueForKey(QStringLiteral("detPourcentage"))},
        {QStringLiteral("dettype"), ligne->valueForKey(QStringLiteral("detType"))},
        {QStringLiteral("salnumero"), numero},
        {QStringLiteral("cstructure"), ligne->valueForKey(QStringLiteral("cStructure"))},
    };
}

QVariantMap RoomSaveArguments::prise(const eo::EORecord &prise, const QVariant &numero, bool avecOrdre)
{
    QVariantMap arguments{
        {QStringLiteral("pricode"),
         chaine(KORConversions::recupererChaine(prise->valueForKey(QStringLiteral("priCode"))), 14)},
        {QStringLiteral("pritype"),
         KORConversions::recupererChaine(prise->valueForKey(QStringLiteral("priType")))},
        {QStringLiteral("salnumero"), numero},
    };
    if (avecOrdre)
        arguments.insert(QStringLiteral("priordre"), prise->valueForKey(QStringLiteral("priOrdre")));
    return arguments;
}

} // namespace rooms
