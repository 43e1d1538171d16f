#include "SaisieSalle.h"

#include "KORConversions.h"

namespace rooms
{

using framework::KORConversions;

namespace
{

bool drapeau(const QVariant &valeur)
{
    return KORConversions::recupererChaine(valeur) == QLatin1String("O");
}

} // namespace

QVariantList SaisieSalle::pourcentages() const
{
    return {enseignement, recherche, administration, documentation, technique, vieSociale,
            accueil,      sanitaire, circulation,    restauration,  parking,   sportif};
}

SaisieSalle SaisieSalle::depuis(const eo::EORecord &salle)
{
    auto valeur = [&salle](const char *cle) { return salle->valueForKey(QString::fromLatin1(cle)); };
    auto texte = [&valeur](const char *cle) { return KORConversions::recupererChaine(valeur(cle)); };
    auto nombre = [&valeur](const char *cle) {
        const QVariant v = valeur(cle);
        return KORConversions::recupererChaine(v).isEmpty() ? QVariant() : v;
    };
    SaisieSalle s;
    s.numero = valeur("salNumero");
    s.identAcces = texte("salIdentAcces");
    s.nature = texte("salNature");
    s.batiment = texte("appellation");
    s.etage = texte("salEtage");
    s.porte = texte("salPorte");
    s.type = texte("toTypeSalle_tsalLibelle");
    s.reservable = drapeau(valeur("salReservable"));
    s.places = nombre("salCapacite");
    s.surface = nombre("salSuperficie");
    s.fenetres = nombre("salNbFenetres");
    s.hauteurPlafond = nombre("tavHauteurMoyenPlafond");
    s.portes = nombre("tavNombrePortes");
    s.surfaceVitree = nombre("tavSurfaceVitree");
    s.ecran = drapeau(valeur("salEcran"));
    s.retroprojecteur = drapeau(valeur("salRetro"));
    s.television = drapeau(valeur("salTelevision"));
    s.obscurite = drapeau(valeur("salObscur"));
    s.insonorisee = drapeau(valeur("salInsonorisee"));
    s.tableauxNoirs = texte("salTableau");
    s.tableauxBlancs = texte("salTableauBlanc");
    s.tableauxPapier = texte("salTableauPapier");
    s.postesTP = texte("salNoPoste");
    s.chaises = nombre("salNbChaises");
    s.tables = nombre("salNbTables");
    s.bureaux = nombre("salNbBureaux");
    s.armoires = nombre("salNbArmoires");
    s.enseignement = nombre("salPourEnseignement");
    s.recherche = nombre("salPourRecherche");
    s.administration = nombre("salPourAdministration");
    s.documentation = nombre("salPourDocumentation");
    s.technique = nombre("salPourTechnique");
    s.vieSociale = nombre("tavVieSocial");
    s.accueil = nombre("tavAccueil");
    s.sanitaire = nombre("tavSanitaire");
    s.circulation = nombre("tavCirculation");
    s.restauration = nombre("tavRestauration");
    s.parking = nombre("tavParking");
    s.sportif = nombre("tavSportif");
    s.descriptif = texte("salDescriptif");
    return s;
}

SaisieSalle::Prise SaisieSalle::prise(const eo::EORecord &ligne)
{
    return {KORConversions::recupererChaine(ligne->valueForKey(QStringLiteral("priCode"))),
            KORConversions::recupererChaine(ligne->valueForKey(QStringLiteral("priType"))),
            ligne->valueForKey(QStringLiteral("priOrdre"))};
}

SaisieSalle::Materiel SaisieSalle::materiel(const eo::EORecord &ligne)
{
    return {ligne->valueForKey(QStringLiteral("tavType")),
            ligne->valueForKey(QStringLiteral("dsaPourcentage")),
            ligne->valueForKey(QStringLiteral("uniOrdre"))};
}

SaisieSalle::Occupation SaisieSalle::occupation(const eo::EORecord &ligne)
{
    return {KORConversions::recupererChaine(ligne->valueForKey(QStringLiteral("cStructure"))),
            ligne->valueForKey(QStringLiteral("detType")),
            ligne->valueForKey(QStringLiteral("detPourcentage"))};
}

} // namespace rooms
