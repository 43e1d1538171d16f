#include "StatisticsTables.h"

#include "FrenchFigures.h"
#include "UseKinds.h"

namespace statistics
{

namespace
{

using spreadsheet::ColumnKind;
using Cellule = StatisticsTable::Cellule;
constexpr int surfaceScale = RoomStatistics::surfaceScale;
constexpr int weightedScale = RoomStatistics::weightedScale;

Cellule texte(const QString &valeur)
{
    return {valeur, valeur};
}

Cellule nombre(qint64 valeur)
{
    return {FrenchFigures::integer(valeur), valeur};
}

// A surface to the hundredth of a square metre, from a value in units of 10^-scale.
Cellule surface(qint64 valeur, int scale)
{
    return {FrenchFigures::decimal(valeur, scale, 2), FrenchFigures::decimalText(valeur, scale, 2)};
}

spreadsheet::TableColumn colonneTexte(const QString &titre)
{
    return {titre, ColumnKind::Text, 0};
}

spreadsheet::TableColumn colonneNombre(const QString &titre)
{
    return {titre, ColumnKind::Integer, 0};
}

spreadsheet::TableColumn colonneSurface(const QString &titre)
{
    return {titre, ColumnKind::Decimal, 2};
}

QString pluriel(qint64 nombre, const QString &singulier, const QString &plurielDuMot)
{
    return QStringLiteral("%1 %2").arg(FrenchFigures::integer(nombre), nombre > 1 ? plurielDuMot : singulier);
}

} // namespace

QString StatisticsTables::noteSansSurface(qint64 salles)
{
    if (salles <= 0)
        return QString();
    return pluriel(salles, QStringLiteral("salle sans surface"), QStringLiteral("salles sans surface")) +
           QStringLiteral(" : comptée%1 dans les salles, sans rien ajouter aux surfaces.")
               .arg(salles > 1 ? QStringLiteral("s") : QString());
}

qint64 StatisticsTables::part(qint64 surfacePonderee, qint64 surfaceTotale)
{
    // surfacePonderee in millionths of m², surfaceTotale in hundredths: their ratio is the share in
    // hundredths of a percent.
    if (surfaceTotale <= 0)
        return 0;
    const qint64 quotient = surfacePonderee / surfaceTotale;
    const qint64 reste = surfacePonderee % surfaceTotale;
    return reste * 2 >= surfaceTotale ? quotient + 1 : quotient;
}

StatisticsTables::Contenu StatisticsTables::parBatiment(const RoomStatistics &figures)
{
    Contenu contenu;
    contenu.titre = QStringLiteral("Par bâtiment");
    contenu.colonnes = {colonneTexte(QStringLiteral("Bâtiment")),
                        colonneTexte(QStringLiteral("Code")),
                        colonneNombre(QStringLiteral("Salles")),
                        colonneNombre(QStringLiteral("Places")),
                        colonneSurface(QStringLiteral("Surface (m²)")),
                        colonneSurface(QStringLiteral("Surface vitrée (m²)")),
                        colonneNombre(QStringLiteral("Salles sans surface"))};
    auto ligne = [](const RoomStatistics::Groupe &groupe, const QString &code) {
        return QList<Cellule>{texte(groupe.libelle),
                              texte(code),
                              nombre(groupe.salles),
                              nombre(groupe.places),
                              surface(groupe.surface, surfaceScale),
                              surface(groupe.surfaceVitree, surfaceScale),
                              nombre(groupe.sansSurface)};
    };
    for (const RoomStatistics::Groupe &groupe : figures.parBatiment)
        contenu.lignes.append(
            {ligne(groupe, groupe.cle.toString()), RoomFilter::batiment(groupe.cle, groupe.libelle)});
    const RoomStatistics::Groupe total = figures.total();
    contenu.lignes.append({ligne(total, QString()), {}, true});
    contenu.note = noteSansSurface(total.sansSurface);
    return contenu;
}

StatisticsTables::Contenu StatisticsTables::parType(const RoomStatistics &figures)
{
    Contenu contenu;
    contenu.titre = QStringLiteral("Par type de salle");
    contenu.colonnes = {colonneTexte(QStringLiteral("Type de salle")),
                        colonneNombre(QStringLiteral("Salles")), colonneNombre(QStringLiteral("Places")),
                        colonneSurface(QStringLiteral("Surface (m²)")),
                        colonneNombre(QStringLiteral("Salles sans surface"))};
    RoomStatistics::Groupe total;
    total.libelle = QStringLiteral("Total");
    auto ligne = [](const RoomStatistics::Groupe &groupe) {
        return QList<Cellule>{texte(groupe.libelle), nombre(groupe.salles), nombre(groupe.places),
                              surface(groupe.surface, surfaceScale), nombre(groupe.sansSurface)};
    };
    for (const RoomStatistics::Groupe &groupe : figures.parType) {
        contenu.lignes.append({ligne(groupe), RoomFilter::type(groupe.cle, groupe.libelle)});
        total.salles += groupe.salles;
        total.places += groupe.places;
        total.surface += groupe.surface;
        total.sansSurface += groupe.sansSurface;
    }
    contenu.lignes.append({ligne(total), {}, true});
    contenu.note = noteSansSurface(total.sansSurface);
    return contenu;
}

StatisticsTables::Contenu StatisticsTables::parUsage(const RoomStatistics &figures)
{
    Contenu contenu;
    contenu.titre = QStringLiteral("Par usage");
    contenu.colonnes = {colonneTexte(QStringLiteral("Bâtiment")),
                        colonneSurface(QStringLiteral("Surface (m²)"))};
    for (const UseKind &usage : UseKinds::usages())
        contenu.colonnes.append(colonneSurface(usage.libelle + QStringLiteral(" (m²)")));
    contenu.colonnes.append(colonneSurface(UseKinds::libelleNonReparti() + QStringLiteral(" (m²)")));
    auto ligne = [](const RoomStatistics::Usages &usages) {
        QList<Cellule> cellules{texte(usages.libelle), surface(usages.surface, surfaceScale)};
        for (const qint64 part : usages.parUsage)
            cellules.append(surface(part, weightedScale));
        cellules.append(surface(usages.nonReparti(), weightedScale));
        return cellules;
    };
    for (const RoomStatistics::Usages &usages : figures.parUsage)
        contenu.lignes.append({ligne(usages), RoomFilter::batiment(usages.cle, usages.libelle)});
    const RoomStatistics::Usages total = figures.totalUsages();
    contenu.lignes.append({ligne(total), {}, true});
    QString note = QStringLiteral("Surface de chaque salle répartie selon ses pourcentages d'utilisation ; "
                                  "« Non réparti » : ce que les pourcentages laissent.");
    const QString sansSurface = noteSansSurface(total.sansSurface);
    if (!sansSurface.isEmpty())
        note += QLatin1Char(' ') + sansSurface;
    contenu.note = note;
    return contenu;
}

StatisticsTables::Contenu StatisticsTables::parDepartement(const RoomStatistics &figures)
{
    Contenu contenu;
    contenu.titre = QStringLiteral("Par département");
    contenu.colonnes = {colonneTexte(QStringLiteral("Département")), colonneTexte(QStringLiteral("Libellé")),
                        colonneNombre(QStringLiteral("Salles")),
                        colonneSurface(QStringLiteral("Surface pondérée (m²)")),
                        colonneSurface(QStringLiteral("Part (%)"))};
    const RoomStatistics::Groupe selection = figures.total();
    auto ligne = [&selection](const QString &nom, const QString &libelle, qint64 salles,
                              qint64 surfacePonderee) {
        const qint64 partEnCentiemes = part(surfacePonderee, selection.surface);
        return QList<Cellule>{texte(nom), texte(libelle), nombre(salles),
                              surface(surfacePonderee, weightedScale), surface(partEnCentiemes, 2)};
    };
    qint64 totalPondere = 0;
    for (const RoomStatistics::Departement &departement : figures.parDepartement) {
        contenu.lignes.append(
            {ligne(departement.nomCourt, departement.nomLong, departement.salles, departement.surface),
             RoomFilter::departements({departement.code}, departement.nomCourt)});
        totalPondere += departement.surface;
    }
    if (figures.sallesNonAffectees > 0) {
        const QString nonAffecte = QStringLiteral("Non affecté");
        contenu.lignes.append(
            {ligne(nonAffecte, QStringLiteral("Sans ligne d'occupation, ou part non occupée"),
                   figures.sallesNonAffectees, figures.nonAffecte),
             RoomFilter::nonAffecte(nonAffecte)});
        totalPondere += figures.nonAffecte;
    }
    contenu.lignes.append(
        {ligne(QStringLiteral("Total"), QString(), selection.salles, totalPondere), {}, true});
    QStringList note{QStringLiteral("Surface de chaque salle pondérée par ses lignes d'occupation "
                                    "(département × pourcentage).")};
    if (figures.sallesSansOccupation > 0)
        note.append(pluriel(figures.sallesSansOccupation, QStringLiteral("salle sans ligne d'occupation"),
                            QStringLiteral("salles sans ligne d'occupation")) +
                    QStringLiteral(", comptée%1 dans « Non affecté ».")
                        .arg(figures.sallesSansOccupation > 1 ? QStringLiteral("s") : QString()));
    const QString sansSurface = noteSansSurface(selection.sansSurface);
    if (!sansSurface.isEmpty())
        note.append(sansSurface);
    contenu.note = note.join(QLatin1Char(' '));
    return contenu;
}

} // namespace statistics
