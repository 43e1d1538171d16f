#include "RoomListExport.h"

#include "KORConversions.h"
#include "KORDataBusOC.h"

namespace buildings
{

namespace
{

constexpr auto sansCasse = eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending;
constexpr auto croissant = eo::EOSortOrdering::Selector::CompareAscending;

} // namespace

eo::EOQualifierPtr RoomListExport::qualifierSalles(const QString &appellation)
{
    return eo::EOQualifier::qualifierWithQualifierFormat(
        QStringLiteral("local.appellation=%@ and salReservable!=nil"), {appellation});
}

QList<eo::EOSortOrdering> RoomListExport::ordreDuFichier()
{
    return {{QStringLiteral("cLocal"), sansCasse},
            {QStringLiteral("salEtage"), sansCasse},
            {QStringLiteral("salPorte"), sansCasse}};
}

RoomListExport::LignesParSalle RoomListExport::lignesParSalle(data::KORDataBusOC &dataBus,
                                                               const QString &appellation,
                                                               QList<eo::EORecord> *toutes)
{
    // One fetch for the whole building rather than one per room: the lines of a room come out as its own
    // fetch would give them, in the order of their numbers.
    const QList<eo::EORecord> lignes = dataBus.fetchArray(
        QStringLiteral("DetailPourcentage"),
        eo::EOQualifier::qualifierWithQualifierFormat(
            QStringLiteral("salle.appellation=%@ and salle.salReservable!=nil"), {appellation}),
        {{QStringLiteral("salNumero"), croissant}, {QStringLiteral("detOrdre"), croissant}});
    LignesParSalle parSalle;
    for (const eo::EORecord &ligne : lignes)
        parSalle[ligne->valueForKey(QStringLiteral("salNumero")).toLongLong()].append(ligne);
    if (toutes)
        *toutes = lignes;
    return parSalle;
}

QString RoomListExport::entete()
{
    return QStringLiteral("Code Batiment|Nom Batiment|Etage|Numero Porte|Nb places|Superficie|%Administration|"
                          "%Documentation|%Enseignement|%Recherche|%Technique|%Vie Sociale"
                          "|%Accueil|%Sanitaire|%Circulation|%Restauration|%Parking|%Sportif|Type Salle|"
                          "Descriptif|% par Service\n");
}

const QStringList &RoomListExport::champs()
{
    static const QStringList keys{
        QStringLiteral("cLocal"),
        QStringLiteral("local.appellation"),
        QStringLiteral("salEtage"),
        QStringLiteral("salPorte"),
        QStringLiteral("salCapacite"),
        QStringLiteral("salSuperficie"),
        QStringLiteral("salPourAdministration"),
        QStringLiteral("salPourDocumentation"),
        QStringLiteral("salPourEnseignement"),
        QStringLiteral("salPourRecherche"),
        QStringLiteral("salPourTechnique"),
        QStringLiteral("tavVieSocial"),
        QStringLiteral("tavAccueil"),
        QStringLiteral("tavSanitaire"),
        QStringLiteral("tavCirculation"),
        QStringLiteral("tavRestauration"),
        QStringLiteral("tavParking"),
        QStringLiteral("tavSportif"),
        QStringLiteral("toTypeSalle_tsalLibelle"),
        QStringLiteral("salDescriptif"),
    };
    return keys;
}

QString RoomListExport::champ(const QVariant &valeur)
{
    QString texte = framework::KORConversions::recupererChaine(valeur);
    if (texte.contains(QLatin1Char('\r')) || texte.contains(QLatin1Char('\n'))) {
        texte.replace(QLatin1String("\r\n"), QLatin1String(" "));
        texte.replace(QLatin1Char('\r'), QLatin1Char(' '));
        texte.replace(QLatin1Char('\n'), QLatin1Char(' '));
    }
    texte.replace(QChar::LineSeparator, QLatin1Char(' '));
    texte.replace(QChar::ParagraphSeparator, QLatin1Char(' '));
    texte.replace(QLatin1Char('|'), QChar(0x00A6));
    return texte;
}

QString RoomListExport::ligne(const eo::EORecord &salle, const QList<eo::EORecord> &lignes)
{
    QString texte;
    for (const QString &cle : champs()) {
        // The room view carries its building's name (local.appellation) beside the room: read there, it
        // spares a fetch of the building for every room.
        const QVariant valeur = cle == QLatin1String("local.appellation")
                                    ? salle->valueForKey(QStringLiteral("appellation"))
                                    : salle->valueForKey(cle);
        texte += champ(valeur);
        texte += QLatin1Char('|');
    }
    for (const eo::EORecord &pourcentage : lignes) {
        texte += champ(pourcentage->valueForKey(QStringLiteral("cgrLibelle")));
        texte += QLatin1Char('|');
        texte += champ(pourcentage->valueForKey(QStringLiteral("detPourcentage")));
        texte += QLatin1Char('|');
        texte += champ(pourcentage->valueForKey(QStringLiteral("tocLibelle")));
        texte += QLatin1Char('|');
    }
    texte += QLatin1Char('\n');
    return texte;
}

QString RoomListExport::texte(const QList<eo::EORecord> &salles, const LignesParSalle &lignes)
{
    QString texte = entete();
    texte.reserve(texte.size() + salles.size() * 200);
    static const QList<eo::EORecord> aucune;
    for (const eo::EORecord &salle : salles) {
        const auto trouvees = lignes.constFind(salle->valueForKey(QStringLiteral("salNumero")).toLongLong());
        texte += ligne(salle, trouvees == lignes.constEnd() ? aucune : trouvees.value());
    }
    // Decimal commas, as French spreadsheets read numbers; the whole text is concerned.
    texte.replace(QLatin1Char('.'), QLatin1Char(','));
    return texte;
}

} // namespace buildings
