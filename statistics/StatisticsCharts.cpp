#include "StatisticsCharts.h"

#include "FrenchFigures.h"
#include "StatisticsReader.h"
#include "UseKinds.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QHorizontalBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QLocale>
#include <QValueAxis>

namespace statistics
{

namespace
{

const QColor couleurSurface(0x1f, 0x77, 0xb4);
const QColor couleurVitree(0x9e, 0xc9, 0xe8);

double metres(qint64 valeur, int scale)
{
    return FrenchFigures::approximate(valeur, scale);
}

std::unique_ptr<QChart> nouveauGraphique(const QString &titre)
{
    auto chart = std::make_unique<QChart>();
    chart->setTitle(titre);
    chart->setLocale(QLocale(QLocale::French, QLocale::France));
    chart->setLocalizeNumbers(true);
    chart->setAnimationOptions(QChart::NoAnimation);
    // The series are named under the view's charts (StatisticsLegend), where every name shows whole.
    chart->legend()->hide();
    chart->setMargins(QMargins(4, 4, 4, 4));
    return chart;
}

// The series with its categories on the side of the bars and the surfaces along them.
// A category axis keeps each label once: two buildings of the same name get a number after the second.
QStringList distinctes(const QStringList &categories)
{
    QStringList resultat;
    for (const QString &categorie : categories) {
        QString libelle = categorie.isEmpty() ? QStringLiteral("?") : categorie;
        for (int rang = 2; resultat.contains(libelle); ++rang)
            libelle = QStringLiteral("%1 (%2)").arg(categorie).arg(rang);
        resultat.append(libelle);
    }
    return resultat;
}

void placerAxes(QChart &chart, QAbstractBarSeries *series, const QStringList &categories, bool horizontal)
{
    chart.addSeries(series);
    auto *axeCategories = new QBarCategoryAxis(&chart);
    axeCategories->append(distinctes(categories));
    auto *axeValeurs = new QValueAxis(&chart);
    axeValeurs->setLabelFormat(QStringLiteral("%.0f"));
    axeValeurs->setTitleText(QStringLiteral("m²"));
    chart.addAxis(axeCategories, horizontal ? Qt::AlignLeft : Qt::AlignBottom);
    chart.addAxis(axeValeurs, horizontal ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(axeCategories);
    series->attachAxis(axeValeurs);
    axeValeurs->applyNiceNumbers();
    if (axeValeurs->max() <= 0)
        axeValeurs->setRange(0, 1);
}

QBarSet *serie(const QString &libelle, const QColor &couleur)
{
    auto *barres = new QBarSet(libelle);
    barres->setColor(couleur);
    barres->setBorderColor(couleur.darker(115));
    return barres;
}

} // namespace

std::vector<StatisticsCharts::Graphique> StatisticsCharts::parBatiment(const RoomStatistics &figures)
{
    Graphique graphique;
    graphique.chart = nouveauGraphique(QStringLiteral("Surfaces par bâtiment"));
    auto *series = new QHorizontalBarSeries(graphique.chart.get());
    QBarSet *surface = serie(QStringLiteral("Surface (m²)"), couleurSurface);
    QBarSet *vitree = serie(QStringLiteral("Surface vitrée (m²)"), couleurVitree);
    QStringList categories;
    // Horizontal bars are drawn from the bottom up: the largest building last, so that it is on top.
    for (auto groupe = figures.parBatiment.crbegin(); groupe != figures.parBatiment.crend(); ++groupe) {
        categories.append(groupe->libelle);
        surface->append(metres(groupe->surface, RoomStatistics::surfaceScale));
        vitree->append(metres(groupe->surfaceVitree, RoomStatistics::surfaceScale));
        graphique.filtres.append(RoomFilter::batiment(groupe->cle, groupe->libelle));
    }
    series->append(surface);
    series->append(vitree);
    graphique.series = series;
    graphique.legende = true;
    placerAxes(*graphique.chart, series, categories, true);
    std::vector<Graphique> graphiques;
    graphiques.push_back(std::move(graphique));
    return graphiques;
}

std::vector<StatisticsCharts::Graphique> StatisticsCharts::parType(const RoomStatistics &figures)
{
    Graphique graphique;
    graphique.chart = nouveauGraphique(QStringLiteral("Surfaces par type de salle"));
    // Bars along the labels, which stay whole; the largest type on top.
    auto *series = new QHorizontalBarSeries(graphique.chart.get());
    QBarSet *surface = serie(QStringLiteral("Surface (m²)"), couleurSurface);
    QStringList categories;
    for (auto groupe = figures.parType.crbegin(); groupe != figures.parType.crend(); ++groupe) {
        categories.append(groupe->libelle);
        surface->append(metres(groupe->surface, RoomStatistics::surfaceScale));
        graphique.filtres.append(RoomFilter::type(groupe->cle, groupe->libelle));
    }
    series->append(surface);
    graphique.series = series;
    placerAxes(*graphique.chart, series, categories, true);
    std::vector<Graphique> graphiques;
    graphiques.push_back(std::move(graphique));
    return graphiques;
}

std::vector<StatisticsCharts::Graphique> StatisticsCharts::parUsage(const RoomStatistics &figures)
{
    const QList<UseKind> &usages = UseKinds::usages();
    auto empiler = [&usages](QChart *chart, const QList<const RoomStatistics::Usages *> &lignes) {
        auto *series = new QHorizontalStackedBarSeries(chart);
        QList<QBarSet *> barres;
        for (const UseKind &usage : usages)
            barres.append(serie(usage.libelle, usage.couleur));
        barres.append(serie(UseKinds::libelleNonReparti(), UseKinds::couleurNonReparti()));
        for (const RoomStatistics::Usages *ligne : lignes) {
            for (qsizetype i = 0; i < usages.size(); ++i)
                barres[i]->append(metres(ligne->parUsage.value(i), RoomStatistics::weightedScale));
            // Percentages past 100 % would draw a bar backwards: the table tells them.
            barres.last()->append(std::max(0.0, metres(ligne->nonReparti(), RoomStatistics::weightedScale)));
        }
        for (QBarSet *barre : barres)
            series->append(barre);
        return series;
    };

    std::vector<Graphique> graphiques;
    const RoomStatistics::Usages total = figures.totalUsages();
    Graphique ensemble;
    ensemble.chart = nouveauGraphique(QStringLiteral("Ensemble de la sélection"));
    ensemble.series = empiler(ensemble.chart.get(), {&total});
    ensemble.filtres.append(RoomFilter());
    placerAxes(*ensemble.chart, ensemble.series, {QStringLiteral("Ensemble")}, true);
    // One bar, named by the chart's title: neither its scale nor its name, which the narrow chart would cut.
    for (QAbstractAxis *axe : ensemble.chart->axes()) {
        axe->setLabelsVisible(false);
        axe->setTitleVisible(false);
    }
    ensemble.hauteurFixe = 72;

    Graphique batiments;
    batiments.chart = nouveauGraphique(QStringLiteral("Surfaces par usage et par bâtiment"));
    QList<const RoomStatistics::Usages *> lignes;
    QStringList categories;
    for (auto ligne = figures.parUsage.crbegin(); ligne != figures.parUsage.crend(); ++ligne) {
        lignes.append(&*ligne);
        categories.append(ligne->libelle);
        batiments.filtres.append(RoomFilter::batiment(ligne->cle, ligne->libelle));
    }
    batiments.series = empiler(batiments.chart.get(), lignes);
    placerAxes(*batiments.chart, batiments.series, categories, true);
    // One legend names the colours of both charts.
    batiments.legende = true;
    graphiques.push_back(std::move(ensemble));
    graphiques.push_back(std::move(batiments));
    return graphiques;
}

std::vector<StatisticsCharts::Graphique> StatisticsCharts::parDepartement(const RoomStatistics &figures)
{
    Graphique graphique;
    graphique.chart = nouveauGraphique(QStringLiteral("Surfaces par département"));
    struct Barre {
        QString libelle;
        qint64 surface;
        RoomFilter filtre;
    };
    QList<Barre> barres;
    QStringList autres;
    qint64 surfaceAutres = 0;
    for (qsizetype i = 0; i < figures.parDepartement.size(); ++i) {
        const RoomStatistics::Departement &departement = figures.parDepartement.at(i);
        if (i < premiersDepartements) {
            barres.append({departement.nomCourt, departement.surface,
                           RoomFilter::departements({departement.code}, departement.nomCourt)});
        } else {
            autres.append(departement.code);
            surfaceAutres += departement.surface;
        }
    }
    if (!autres.isEmpty())
        barres.append({QStringLiteral("Autres"), surfaceAutres,
                       RoomFilter::departements(autres, QStringLiteral("Autres"))});
    if (figures.sallesNonAffectees > 0)
        barres.append({StatisticsReader::libelleNonAffecte(), figures.nonAffecte,
                       RoomFilter::nonAffecte(StatisticsReader::libelleNonAffecte())});

    auto *series = new QHorizontalBarSeries(graphique.chart.get());
    QBarSet *surface = serie(QStringLiteral("Surface pondérée (m²)"), couleurSurface);
    QStringList categories;
    for (auto barre = barres.crbegin(); barre != barres.crend(); ++barre) {
        categories.append(barre->libelle);
        surface->append(metres(barre->surface, RoomStatistics::weightedScale));
        graphique.filtres.append(barre->filtre);
    }
    series->append(surface);
    graphique.series = series;
    placerAxes(*graphique.chart, series, categories, true);
    std::vector<Graphique> graphiques;
    graphiques.push_back(std::move(graphique));
    return graphiques;
}

} // namespace statistics
