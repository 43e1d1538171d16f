#include "RoomListCriteria.h"

#include "RoomSearchBuilder.h"

namespace rooms
{

namespace
{

struct Libelles {
    const char *champ;
    const char *court;   // in the list's name
    const char *suffixe; // what the condition does, when it is not plain equality
};

// UTF-8 labels of the criteria, as the room form shows them.
constexpr Libelles libelles[] = {
    {"typePopup", "Type de salle", ""},
    {"nbTablNoir", "Tableaux noirs", ""},
    {"nbTablBlanc", "Tableaux blancs", ""},
    {"nbPostesTP", "Postes de TP", ""},
    {"nbTablPapier", "Tableaux papier", ""},
    {"equipementEcran", "Écran", ""},
    {"equipementRetro", "Rétroprojecteur", ""},
    {"equipementTV", "Télévision", ""},
    {"equipementObscurite", "Obscurité", ""},
    {"equipementInsonorise", "Insonorisée", ""},
    {"reservable", "Réservable", ""},
    {"localisationBatiment", "Bâtiment", " (nom contenant)"},
    {"localisationEtage", "Étage", ""},
    {"localisationPorte", "Porte", " (contenant)"},
    {"descriptif", "Descriptif", " (contenant)"},
    {"architecturePlaces", "Places", ""},
    {"architectureSurface", "Surface (m²)", ""},
    {"architectureFenetres", "Fenêtres", ""},
    {"pourcEnseignement", "Enseignement (%)", ""},
    {"pourcRecherche", "Recherche (%)", ""},
    {"pourcAdministration", "Administration (%)", ""},
    {"pourcDocumentation", "Documentation (%)", ""},
    {"pourcTechnique", "Technique (%)", ""},
    {"pourcVieSociale", "Vie sociale (%)", ""},
    {"pourcAccueil", "Accueil (%)", ""},
    {"pourcSanitaire", "Sanitaire (%)", ""},
    {"pourcCirculation", "Circulation (%)", ""},
    {"pourcRestauration", "Restauration (%)", ""},
    {"pourcParking", "Parking (%)", ""},
    {"pourcSportif", "Sportif (%)", ""},
    {"nombreChaises", "Chaises", ""},
    {"nombreTables", "Tables", ""},
    {"nombreBureaux", "Bureaux", ""},
    {"nombreArmoires", "Armoires", ""},
};

const Libelles *libellesDe(const QString &champ)
{
    for (const Libelles &l : libelles) {
        if (champ == QLatin1String(l.champ))
            return &l;
    }
    return nullptr;
}

} // namespace

QString RoomListCriteria::libelleCourt(const QString &champ)
{
    const Libelles *l = libellesDe(champ);
    return l ? QString::fromUtf8(l->court) : champ;
}

QString RoomListCriteria::libelle(const QString &champ)
{
    const Libelles *l = libellesDe(champ);
    return l ? QString::fromUtf8(l->court) + QString::fromUtf8(l->suffixe) : champ;
}

void RoomListCriteria::retenir(const QHash<QString, QVariant> &valeurs, const QStringList &champsRetenus)
{
    m_criteres.clear();
    for (const RoomSearchBuilder::Critere &critere : RoomSearchBuilder::criteres()) {
        if (!champsRetenus.contains(critere.champ))
            continue;
        const QVariant valeur = valeurs.value(critere.champ);
        const QString texte = critere.genre == RoomSearchBuilder::Genre::Coche
                                  ? QStringLiteral("Oui")
                                  : valeur.toString().simplified();
        m_criteres.append(
            {critere.champ, libelle(critere.champ), texte, critere.genre == RoomSearchBuilder::Genre::Coche});
    }
}

QString RoomListCriteria::nom() const
{
    if (m_criteres.isEmpty())
        return QStringLiteral("Toutes les salles");
    QStringList parties;
    for (const Critere &critere : m_criteres) {
        const QString court = libelleCourt(critere.champ);
        parties.append(critere.coche ? court : court + QLatin1Char(' ') + critere.valeur);
    }
    return QStringLiteral("Salles - ") + parties.join(QStringLiteral(", "));
}

QString RoomListCriteria::nomDeFichier() const
{
    QString texte = nom();
    // What Windows and the usual file systems refuse, and control characters.
    for (QChar &c : texte) {
        if (QStringLiteral("<>:\"/\\|?*").contains(c) || c.unicode() < 0x20)
            c = u'_';
    }
    texte = texte.left(80).trimmed();
    while (texte.endsWith(QLatin1Char('.')))
        texte.chop(1);
    return texte.isEmpty() ? QStringLiteral("Salles") : texte;
}

QList<QStringList> RoomListCriteria::lignes(qsizetype salles, const QString &ordre,
                                            const QDateTime &moment) const
{
    QList<QStringList> lignes;
    for (const Critere &critere : m_criteres)
        lignes.append({critere.libelle, critere.valeur});
    if (m_criteres.isEmpty())
        lignes.append({QStringLiteral("Aucun critère"), QStringLiteral("toutes les salles")});
    lignes.append({QString(), QString()});
    lignes.append({QStringLiteral("Salles listées"), QString::number(salles)});
    lignes.append({QStringLiteral("Ordre de la liste"), ordre});
    lignes.append({QStringLiteral("Exportée le"), moment.toString(QStringLiteral("dd/MM/yyyy 'à' HH:mm"))});
    return lignes;
}

} // namespace rooms
