#include "HistoryFieldLabels.h"

namespace history
{

namespace
{

using Libelles = QHash<QString, QString>;

// Table.column → label, for every column the triggers record.
const Libelles &libelles()
{
    static const Libelles table = {
        // The room record.
        {QStringLiteral("SALLES.C_LOCAL"), QStringLiteral("Bâtiment")},
        {QStringLiteral("SALLES.TSAL_NUMERO"), QStringLiteral("Type de salle")},
        {QStringLiteral("SALLES.SAL_ETAGE"), QStringLiteral("Étage")},
        {QStringLiteral("SALLES.SAL_PORTE"), QStringLiteral("Porte")},
        {QStringLiteral("SALLES.SAL_CAPACITE"), QStringLiteral("Places")},
        {QStringLiteral("SALLES.SAL_SUPERFICIE"), QStringLiteral("Surface (m²)")},
        {QStringLiteral("SALLES.SAL_NB_FENETRES"), QStringLiteral("Fenêtres")},
        {QStringLiteral("SALLES.SAL_NB_TABLES"), QStringLiteral("Tables")},
        {QStringLiteral("SALLES.SAL_NB_CHAISES"), QStringLiteral("Chaises")},
        {QStringLiteral("SALLES.SAL_NB_BUREAUX"), QStringLiteral("Bureaux")},
        {QStringLiteral("SALLES.SAL_NB_ARMOIRES"), QStringLiteral("Armoires")},
        {QStringLiteral("SALLES.SAL_NO_POSTE"), QStringLiteral("Postes de TP")},
        {QStringLiteral("SALLES.SAL_TABLEAU"), QStringLiteral("Tableaux noirs")},
        {QStringLiteral("SALLES.SAL_TABLEAU_BLANC"), QStringLiteral("Tableaux blancs")},
        {QStringLiteral("SALLES.SAL_TABLEAU_PAPIER"), QStringLiteral("Tableaux papier")},
        {QStringLiteral("SALLES.SAL_ECRAN"), QStringLiteral("Écran")},
        {QStringLiteral("SALLES.SAL_RETRO"), QStringLiteral("Rétroprojecteur")},
        {QStringLiteral("SALLES.SAL_TELEVISION"), QStringLiteral("Télévision")},
        {QStringLiteral("SALLES.SAL_OBSCUR"), QStringLiteral("Obscurité")},
        {QStringLiteral("SALLES.SAL_INSONORISEE"), QStringLiteral("Insonorisée")},
        {QStringLiteral("SALLES.SAL_RESERVABLE"), QStringLiteral("Réservable")},
        {QStringLiteral("SALLES.SAL_DESCRIPTIF"), QStringLiteral("Descriptif")},
        {QStringLiteral("SALLES.SAL_POUR_ADMINISTRATION"),
         QStringLiteral("Utilisation : administration (%)")},
        {QStringLiteral("SALLES.SAL_POUR_DOCUMENTATION"), QStringLiteral("Utilisation : documentation (%)")},
        {QStringLiteral("SALLES.SAL_POUR_ENSEIGNEMENT"), QStringLiteral("Utilisation : enseignement (%)")},
        {QStringLiteral("SALLES.SAL_POUR_RECHERCHE"), QStringLiteral("Utilisation : recherche (%)")},
        {QStringLiteral("SALLES.SAL_POUR_TECHNIQUE"), QStringLiteral("Utilisation : technique (%)")},
        {QStringLiteral("SALLES.SAL_IDENT_ACCES"), QStringLiteral("Identifiant d'accès")},
        {QStringLiteral("SALLES.SAL_NATURE"), QStringLiteral("Nature")},
        {QStringLiteral("SALLES.SAL_PAS_NUM"), QStringLiteral("Pas de numérotation")},
        {QStringLiteral("SALLES.SAL_TEM_HANDICAP"), QStringLiteral("Accès handicapé")},
        {QStringLiteral("SALLES.SAL_TEM_EN_SERVICE"), QStringLiteral("En service")},
        {QStringLiteral("SALLES.SAL_CAPA_EXAM"), QStringLiteral("Capacité en examen")},
        {QStringLiteral("SALLES.SAL_NB_PLACES_EXAM_LIB"), QStringLiteral("Places d'examen libres")},
        {QStringLiteral("SALLES.SAL_SALLE_PROCHE_TEL"), QStringLiteral("Salle proche du téléphone")},
        {QStringLiteral("SALLES.SAL_NUM_DEPART"), QStringLiteral("Salle de départ")},
        {QStringLiteral("SALLES.SAL_PRISE_EN_CHARGE"), QStringLiteral("Prise en charge")},
        // The department's complement.
        {QStringLiteral("SALLE_TAV.TAV_HAUTEUR_MOYEN_PLAFOND"),
         QStringLiteral("Hauteur moyenne sous plafond (m)")},
        {QStringLiteral("SALLE_TAV.TAV_NOMBRE_PORTES"), QStringLiteral("Portes")},
        {QStringLiteral("SALLE_TAV.TAV_SURFACE_VITREE"), QStringLiteral("Surface vitrée (m²)")},
        {QStringLiteral("SALLE_TAV.TAV_VIE_SOCIAL"), QStringLiteral("Utilisation : vie sociale (%)")},
        {QStringLiteral("SALLE_TAV.TAV_ACCUEIL"), QStringLiteral("Utilisation : accueil (%)")},
        {QStringLiteral("SALLE_TAV.TAV_SANITAIRE"), QStringLiteral("Utilisation : sanitaire (%)")},
        {QStringLiteral("SALLE_TAV.TAV_CIRCULATION"), QStringLiteral("Utilisation : circulation (%)")},
        {QStringLiteral("SALLE_TAV.TAV_RESTAURATION"), QStringLiteral("Utilisation : restauration (%)")},
        {QStringLiteral("SALLE_TAV.TAV_PARKING"), QStringLiteral("Utilisation : parking (%)")},
        {QStringLiteral("SALLE_TAV.TAV_SPORTIF"), QStringLiteral("Utilisation : sportif (%)")},
        // The sub-lists, after the name of their line.
        {QStringLiteral("DEPOSITAIRE.C_STRUCTURE"), QStringLiteral("Dépositaire")},
        {QStringLiteral("PRISES.PRI_CODE"), QStringLiteral("code")},
        {QStringLiteral("PRISES.PRI_TYPE"), QStringLiteral("type")},
        {QStringLiteral("DETAIL_SALLE.DSA_POURCENTAGE"), QStringLiteral("quantité")},
        {QStringLiteral("DETAIL_SALLE.UNI_ORDRE"), QStringLiteral("unité")},
        {QStringLiteral("DETAIL_POURCENTAGE.DET_POURCENTAGE"), QStringLiteral("pourcentage")},
        // The building and its address.
        {QStringLiteral("LOCAL.C_LOCAL"), QStringLiteral("Code")},
        {QStringLiteral("LOCAL.APPELLATION"), QStringLiteral("Nom")},
        {QStringLiteral("ADRESSE.ADR_ADRESSE1"), QStringLiteral("Adresse")},
        {QStringLiteral("ADRESSE.ADR_ADRESSE2"), QStringLiteral("Complément d'adresse")},
        {QStringLiteral("ADRESSE.ADR_BP"), QStringLiteral("Boîte postale")},
        {QStringLiteral("ADRESSE.CODE_POSTAL"), QStringLiteral("Code postal")},
        {QStringLiteral("ADRESSE.VILLE"), QStringLiteral("Localité")},
        {QStringLiteral("ADRESSE.LOCALITE"), QStringLiteral("Localité (acheminement)")},
        {QStringLiteral("ADRESSE.NO_VOIE"), QStringLiteral("Numéro dans la voie")},
        {QStringLiteral("ADRESSE.BIS_TER"), QStringLiteral("Indice de répétition")},
        {QStringLiteral("ADRESSE.C_VOIE"), QStringLiteral("Type de voie")},
        {QStringLiteral("ADRESSE.NOM_VOIE"), QStringLiteral("Nom de la voie")},
        {QStringLiteral("ADRESSE.C_PAYS"), QStringLiteral("Pays")},
        {QStringLiteral("ADRESSE.CP_ETRANGER"), QStringLiteral("Code postal étranger")},
        {QStringLiteral("ADRESSE.ADR_QUALITE"), QStringLiteral("Qualité de l'adresse")},
        {QStringLiteral("ADRESSE.ADR_LISTE_ROUGE"), QStringLiteral("Liste rouge")},
        {QStringLiteral("ADRESSE.C_IMPLANTATION"), QStringLiteral("Site géographique")},
    };
    return table;
}

bool estDrapeau(const QString &table, const QString &colonne)
{
    static const QStringList drapeaux = {
        QStringLiteral("SAL_ECRAN"),           QStringLiteral("SAL_RETRO"),
        QStringLiteral("SAL_TELEVISION"),      QStringLiteral("SAL_OBSCUR"),
        QStringLiteral("SAL_INSONORISEE"),     QStringLiteral("SAL_RESERVABLE"),
        QStringLiteral("SAL_TEM_HANDICAP"),    QStringLiteral("SAL_TEM_EN_SERVICE"),
        QStringLiteral("SAL_PRISE_EN_CHARGE"), QStringLiteral("ADR_LISTE_ROUGE"),
    };
    return (table == u"SALLES" || table == u"ADRESSE") && drapeaux.contains(colonne);
}

// The codes the building register writes into a building's address, as the user knows them: the country
// (100 is France in the reference schema's numbering), the kind of address, the repetition index of a
// street number. A code not listed here is shown as stored.
const QString *codeAdresse(const QString &colonne, const QString &code)
{
    static const QHash<QString, Libelles> codes = {
        {QStringLiteral("C_PAYS"), {{QStringLiteral("100"), QStringLiteral("France")}}},
        {QStringLiteral("ADR_QUALITE"), {{QStringLiteral("BATIMENT"), QStringLiteral("Bâtiment")}}},
        {QStringLiteral("BIS_TER"),
         {{QStringLiteral("B"), QStringLiteral("bis")},
          {QStringLiteral("T"), QStringLiteral("ter")},
          {QStringLiteral("Q"), QStringLiteral("quater")}}},
    };
    const auto liste = codes.constFind(colonne);
    if (liste == codes.constEnd())
        return nullptr;
    const auto libelle = liste->constFind(code);
    return libelle == liste->constEnd() ? nullptr : &*libelle;
}

// The label behind a key, or the key itself when the list no longer has it.
QString libelleOuCle(const QHash<QString, QString> &liste, const QString &cle)
{
    const QString libelle = liste.value(cle);
    return libelle.isEmpty() ? cle : libelle;
}

} // namespace

QString HistoryFieldLabels::champ(const QString &table, const QString &colonne, const QString &ligne,
                                  const References &references)
{
    const QString libelle = libelles().value(table + QLatin1Char('.') + colonne, colonne);
    if (table == u"PRISES")
        return QStringLiteral("Prise n° %1 : %2").arg(ligne, libelle);
    if (table == u"DETAIL_SALLE")
        return QStringLiteral("Matériel « %1 » : %2")
            .arg(libelleOuCle(references.typesMateriel, ligne), libelle);
    if (table == u"DETAIL_POURCENTAGE") {
        // C_STRUCTURE/DET_TYPE: the department and the kind of use.
        const QString service = ligne.section(QLatin1Char('/'), 0, 0);
        const QString type = ligne.section(QLatin1Char('/'), 1);
        return QStringLiteral("Occupation %1 – %2 : %3")
            .arg(service, libelleOuCle(references.typesOccupation, type), libelle);
    }
    return libelle;
}

QString HistoryFieldLabels::valeur(const QString &table, const QString &colonne, const QString &texte,
                                   const References &references)
{
    if (texte.isEmpty())
        return texte;
    if (estDrapeau(table, colonne)) {
        if (texte == u"O")
            return QStringLiteral("oui");
        if (texte == u"N")
            return QStringLiteral("non");
        return texte;
    }
    if (colonne == u"TSAL_NUMERO")
        return libelleOuCle(references.typesSalle, texte);
    if (colonne == u"UNI_ORDRE")
        return libelleOuCle(references.unites, texte);
    if (colonne == u"C_IMPLANTATION")
        return libelleOuCle(references.sites, texte);
    if (table == u"ADRESSE") {
        if (const QString *libelle = codeAdresse(colonne, texte))
            return *libelle;
    }
    if (table == u"PRISES" && colonne == u"PRI_TYPE") {
        if (texte == u"I")
            return QStringLiteral("informatique");
        if (texte == u"T")
            return QStringLiteral("téléphone");
        if (texte == u"V")
            return QStringLiteral("vidéo");
    }
    return texte;
}

QString HistoryFieldLabels::changement(const QString &ancienne, const QString &nouvelle)
{
    const QString vide = QStringLiteral("(vide)");
    return QStringLiteral("%1 → %2").arg(ancienne.isEmpty() ? vide : ancienne,
                                         nouvelle.isEmpty() ? vide : nouvelle);
}

} // namespace history
