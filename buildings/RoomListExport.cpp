#include "RoomListExport.h"

#include "EOEntity.h"
#include "KORConversions.h"
#include "KORDataBusOC.h"

#include <algorithm>
#include <optional>

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

eo::EOQualifierPtr RoomListExport::qualifierLignes(const QString &appellation)
{
    return eo::EOQualifier::qualifierWithQualifierFormat(
        QStringLiteral("salle.appellation=%@ and salle.salReservable!=nil"), {appellation});
}

QList<eo::EOSortOrdering> RoomListExport::ordreDesLignes()
{
    return {{QStringLiteral("salNumero"), croissant}, {QStringLiteral("detOrdre"), croissant}};
}

RoomListExport::LignesParSalle RoomListExport::lignesParSalle(data::KORDataBusOC &dataBus,
                                                              const QString &appellation,
                                                              QList<eo::EORecord> *toutes)
{
    // One fetch for the whole building rather than one per room: the lines of a room come out as its own
    // fetch would give them, in the order of their numbers.
    const QList<eo::EORecord> lignes = dataBus.fetchArray(QStringLiteral("DetailPourcentage"),
                                                          qualifierLignes(appellation), ordreDesLignes());
    LignesParSalle parSalle;
    for (const eo::EORecord &ligne : lignes)
        parSalle[ligne->valueForKey(QStringLiteral("salNumero")).toLongLong()].append(ligne);
    if (toutes)
        *toutes = lignes;
    return parSalle;
}

QString RoomListExport::entete()
{
    return QStringLiteral(
        "Code Batiment|Nom Batiment|Etage|Numero Porte|Nb places|Superficie|%Administration|"
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
    const auto special = [](QChar c) {
        return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('|') ||
               c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
    };
    if (std::none_of(texte.cbegin(), texte.cend(), special))
        return texte;
    texte.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar &c : texte) {
        if (c == QLatin1Char('|'))
            c = QChar(0x00A6);
        else if (special(c))
            c = QLatin1Char(' ');
    }
    return texte;
}

namespace
{

// The keys of a line, looked up once for all the rooms of the list: by attribute index when the records
// are of one entity, by name otherwise.
class Lecteur
{
public:
    Lecteur(const eo::EORecord &modele, const QStringList &cles)
    {
        for (const QString &cle : cles) {
            // The room view carries its building's name (local.appellation) beside the room: read there,
            // it spares a fetch of the building for every room.
            const QString lue =
                cle == QLatin1String("local.appellation") ? QStringLiteral("appellation") : cle;
            const eo::EOEntity *entite = modele ? modele->entity() : nullptr;
            m_cles.append({lue, entite ? entite->attributeIndex(lue) : -1, entite});
        }
    }
    void ecrire(const eo::EORecord &enregistrement, QString &texte) const
    {
        for (const Cle &cle : m_cles) {
            const bool parIndex = cle.index >= 0 && enregistrement->entity() == cle.entite;
            texte += RoomListExport::champ(parIndex ? enregistrement->valueAt(cle.index)
                                                    : enregistrement->valueForKey(cle.nom));
            texte += QLatin1Char('|');
        }
    }

private:
    struct Cle {
        QString nom;
        int index;
        const eo::EOEntity *entite;
    };
    QList<Cle> m_cles;
};

const QStringList &clesDesPourcentages()
{
    static const QStringList cles{QStringLiteral("cgrLibelle"), QStringLiteral("detPourcentage"),
                                  QStringLiteral("tocLibelle")};
    return cles;
}

} // namespace

QString RoomListExport::ligne(const eo::EORecord &salle, const QList<eo::EORecord> &lignes)
{
    QString texte;
    Lecteur(salle, champs()).ecrire(salle, texte);
    if (!lignes.isEmpty()) {
        const Lecteur triple(lignes.first(), clesDesPourcentages());
        for (const eo::EORecord &pourcentage : lignes)
            triple.ecrire(pourcentage, texte);
    }
    texte += QLatin1Char('\n');
    return texte;
}

QString RoomListExport::texte(const QList<eo::EORecord> &salles, const LignesParSalle &lignes)
{
    QString texte = entete();
    texte.reserve(texte.size() + salles.size() * 240);
    if (salles.isEmpty())
        return texte;
    const Lecteur salle(salles.first(), champs());
    std::optional<Lecteur> triple;
    const int numero =
        salles.first()->entity() ? salles.first()->entity()->attributeIndex(QStringLiteral("salNumero")) : -1;
    for (const eo::EORecord &s : salles) {
        salle.ecrire(s, texte);
        const QVariant cle = numero >= 0 && s->entity() == salles.first()->entity()
                                 ? s->valueAt(numero)
                                 : s->valueForKey(QStringLiteral("salNumero"));
        const auto trouvees = lignes.constFind(cle.toLongLong());
        if (trouvees != lignes.constEnd()) {
            for (const eo::EORecord &pourcentage : trouvees.value()) {
                if (!triple)
                    triple.emplace(pourcentage, clesDesPourcentages());
                triple->ecrire(pourcentage, texte);
            }
        }
        texte += QLatin1Char('\n');
    }
    // Decimal commas, as French spreadsheets read numbers; the whole text is concerned.
    texte.replace(QLatin1Char('.'), QLatin1Char(','));
    return texte;
}

} // namespace buildings
