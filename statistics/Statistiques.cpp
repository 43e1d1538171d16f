#include "Statistiques.h"

#include "AlertPanel.h"
#include "Clock.h"
#include "EOException.h"
#include "FileOpener.h"
#include "FileWriter.h"
#include "FrenchFigures.h"
#include "KORAction.h"
#include "KORApplicationOC.h"
#include "NSCursorExtensions.h"
#include "SavePanel.h"
#include "StatisticsChartPanel.h"
#include "StatisticsCharts.h"
#include "StatisticsFiles.h"
#include "StatisticsReader.h"
#include "StatisticsReport.h"
#include "StatisticsTable.h"
#include "StatisticsTables.h"
#include "StatisticsViewFit.h"
#include "TwoLineHeaderModel.h"
#include "ui_Statistiques.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

namespace statistics
{

namespace
{

// The wait cursor for as long as the database works, whatever happens.
struct Attente {
    Attente() { data::StartWaitCursor(); }
    ~Attente() { data::StopWaitCursor(); }
    Attente(const Attente &) = delete;
    Attente &operator=(const Attente &) = delete;
};

void alerte(const QString &titre, const QString &message)
{
    platform::NSRunAlertPanel(titre, message, QStringLiteral("OK"));
}

} // namespace

Statistiques::Statistiques(data::KORDataBusOC &dataBus, Liens liens, QWidget *parent)
    : m_dataBus(dataBus), m_liens(std::move(liens)), ui(std::make_unique<Ui::Statistiques>())
{
    m_fenetre = new QWidget(parent, Qt::Window);
    ui->setupUi(m_fenetre);
    m_fenetre->setAttribute(Qt::WA_QuitOnClose, false);
    QTableView *vues[NombreDeVues] = {ui->vueBatiments, ui->vueTypes, ui->vueUsages, ui->vueDepartements};
    QWidget *graphes[NombreDeVues] = {ui->grapheBatiments, ui->grapheTypes, ui->grapheUsages,
                                      ui->grapheDepartements};
    QSplitter *separations[NombreDeVues] = {ui->separationBatiments, ui->separationTypes,
                                            ui->separationUsages, ui->separationDepartements};
    for (int vue = 0; vue < NombreDeVues; ++vue) {
        m_tables[vue] = new StatisticsTable(this);
        auto *entetes = new TwoLineHeaderModel(*m_tables[vue], this);
        vues[vue]->setModel(entetes);
        vues[vue]->verticalHeader()->hide();
        // Lines as tall as their text, so that the use table under its charts shows several.
        vues[vue]->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        vues[vue]->horizontalHeader()->setHighlightSections(false);
        auto *couche = new QVBoxLayout(graphes[vue]);
        couche->setContentsMargins(0, 0, 0, 0);
        m_graphes[vue] = new StatisticsChartPanel(graphes[vue]);
        couche->addWidget(m_graphes[vue]);
        m_ajustements[vue] =
            new StatisticsViewFit(separations[vue], vues[vue], entetes, graphes[vue], m_graphes[vue], this);
    }
    relier();
}

Statistiques::~Statistiques()
{
    delete m_fenetre;
}

void Statistiques::relier()
{
    using framework::connectAction;
    using framework::performAction;
    connectAction(ui->boutonActualiser, &QPushButton::clicked, this, [this] { actualiser(); });
    for (QRadioButton *choix : {ui->choixInventaire, ui->choixRecherche}) {
        connect(choix, &QRadioButton::toggled, this, [this](bool coche) {
            if (coche)
                performAction([this] { choisirSelection(); });
        });
    }
    connectAction(ui->boutonExporterTableau, &QPushButton::clicked, this,
                  [this] { exporterTableau(ui->boutonExporterTableau); });
    connectAction(ui->boutonExporterGraphique, &QPushButton::clicked, this,
                  [this] { exporterGraphique(ui->boutonExporterGraphique); });
    connectAction(ui->boutonImprimer, &QPushButton::clicked, this, [this] { imprimer(ui->boutonImprimer); });
    connectAction(ui->boutonFermer, &QPushButton::clicked, this, [this] { m_fenetre->close(); });
    for (int vue = 0; vue < NombreDeVues; ++vue) {
        connect(vueTable(Vue(vue)), &QTableView::clicked, this, [this, vue](const QModelIndex &index) {
            performAction([this, vue, index] { ouvrirSalles(m_tables[vue]->filtre(index.row())); });
        });
        connect(m_graphes[vue], &StatisticsChartPanel::barreChoisie, this, [this](const RoomFilter &filtre) {
            performAction([this, filtre] { ouvrirSalles(filtre); });
        });
    }
}

QTableView *Statistiques::vueTable(Vue vue) const
{
    switch (vue) {
    case ParBatiment:
        return ui->vueBatiments;
    case ParType:
        return ui->vueTypes;
    case ParUsage:
        return ui->vueUsages;
    case ParDepartement:
    case NombreDeVues:
        break;
    }
    return ui->vueDepartements;
}

Statistiques::Vue Statistiques::vueCourante() const
{
    const int index = ui->onglets->currentIndex();
    return index >= 0 && index < NombreDeVues ? Vue(index) : ParBatiment;
}

QString Statistiques::descriptionSelection() const
{
    const qint64 salles = m_figures.total().salles;
    const QString nombre = QStringLiteral("%1 %2").arg(
        FrenchFigures::integer(salles), salles > 1 ? QStringLiteral("salles") : QStringLiteral("salle"));
    return m_selection.estToutes() ? QStringLiteral("Tout l'inventaire (%1)").arg(nombre)
                                   : QStringLiteral("Salles de la recherche en cours (%1)").arg(nombre);
}

void Statistiques::placer()
{
    QWidget *principale = m_fenetre->parentWidget();
    QScreen *ecran = principale ? principale->screen() : m_fenetre->screen();
    if (!ecran)
        ecran = QGuiApplication::primaryScreen();
    if (!ecran)
        return;
    const QRect place = ecran->availableGeometry();
    // The window manager frames this window as it frames the main window.
    const QSize cadre = principale && principale->isVisible()
                            ? principale->frameGeometry().size() - principale->size()
                            : QSize(0, 0);
    const QSize taille = (place.size() - cadre).expandedTo(QSize(1, 1));
    m_fenetre->setMinimumSize(m_fenetre->minimumSize().boundedTo(taille));
    m_fenetre->resize(taille);
    m_fenetre->move(place.topLeft());
}

void Statistiques::ouvrir()
{
    // The first time, the whole screen of the main window: the tables and charts take the room they get. The
    // size the user gives it afterwards stays.
    if (!m_placee) {
        placer();
        m_placee = true;
    }
    m_fenetre->show();
    m_fenetre->raise();
    m_fenetre->activateWindow();
    actualiser();
}

void Statistiques::choisirSelection()
{
    if (m_fenetre->isVisible())
        actualiser();
}

void Statistiques::actualiser()
{
    RoomScope selection = RoomScope::toutes();
    if (ui->choixRecherche->isChecked()) {
        const QList<qint64> salles =
            m_liens.sallesDeLaRecherche ? m_liens.sallesDeLaRecherche() : QList<qint64>();
        if (salles.isEmpty()) {
            alerte(QStringLiteral("Statistiques"),
                   QStringLiteral(
                       "Aucune recherche en cours : les statistiques portent sur tout l'inventaire."));
            const QSignalBlocker bloque(ui->choixInventaire);
            ui->choixInventaire->setChecked(true);
        } else {
            selection = RoomScope::parmi(salles);
        }
    }
    RoomStatistics figures;
    try {
        const Attente attente;
        figures = StatisticsReader::lire(m_dataBus, selection);
    } catch (const eo::EOException &erreur) {
        alerte(QStringLiteral("ERREUR"),
               QStringLiteral("Les statistiques n'ont pas pu être lues : %1").arg(erreur.message()));
        return;
    }
    m_selection = selection;
    m_figures = std::move(figures);

    StatisticsTables::remplir(*m_tables[ParBatiment], StatisticsTables::parBatiment(m_figures));
    StatisticsTables::remplir(*m_tables[ParType], StatisticsTables::parType(m_figures));
    StatisticsTables::remplir(*m_tables[ParUsage], StatisticsTables::parUsage(m_figures));
    StatisticsTables::remplir(*m_tables[ParDepartement], StatisticsTables::parDepartement(m_figures));
    m_graphes[ParBatiment]->montrer(StatisticsCharts::parBatiment(m_figures));
    m_graphes[ParType]->montrer(StatisticsCharts::parType(m_figures));
    m_graphes[ParUsage]->montrer(StatisticsCharts::parUsage(m_figures));
    m_graphes[ParDepartement]->montrer(StatisticsCharts::parDepartement(m_figures));
    QLabel *notes[NombreDeVues] = {ui->noteBatiments, ui->noteTypes, ui->noteUsages, ui->noteDepartements};
    for (int vue = 0; vue < NombreDeVues; ++vue) {
        notes[vue]->setText(m_tables[vue]->note());
        notes[vue]->setVisible(!m_tables[vue]->note().isEmpty());
        m_ajustements[vue]->ajuster();
    }
    const RoomStatistics::Groupe total = m_figures.total();
    ui->resume->setText(QStringLiteral("%1 — %2 m²")
                            .arg(descriptionSelection(),
                                 FrenchFigures::decimal(total.surface, RoomStatistics::surfaceScale, 2)));
}

void Statistiques::ouvrirSalles(const RoomFilter &filtre)
{
    if (filtre.estVide() || !m_liens.ouvrirSalles)
        return;
    QList<qint64> salles;
    try {
        const Attente attente;
        salles = StatisticsReader::salles(m_dataBus, m_selection, filtre);
    } catch (const eo::EOException &erreur) {
        alerte(QStringLiteral("ERREUR"),
               QStringLiteral("Les salles n'ont pas pu être lues : %1").arg(erreur.message()));
        return;
    }
    if (salles.isEmpty()) {
        alerte(QStringLiteral("Statistiques"),
               QStringLiteral("Aucune salle ne correspond à « %1 ».").arg(filtre.description()));
        return;
    }
    m_liens.ouvrirSalles(salles, filtre.description());
}

void Statistiques::exporterTableau(QObject *)
{
    const StatisticsTable &table = *m_tables[vueCourante()];
    platform::SavePanelRequest demande;
    demande.title = QStringLiteral("Exporter le tableau");
    demande.directory = m_dossier.isEmpty() || !QFileInfo(m_dossier).isDir() ? QDir::homePath() : m_dossier;
    demande.fileName = QStringLiteral("Statistiques - %1").arg(table.titre());
    demande.fileTypes = {
        {QStringLiteral("Classeur Excel"), QStringLiteral("xlsx")},
        {QStringLiteral("Texte CSV pour tableur (séparateur « ; »)"), QStringLiteral("csv")}};
    const std::optional<platform::SavePanelAnswer> reponse =
        platform::SavePanel::runModalWithChoices(demande);
    if (!reponse || reponse->path.isEmpty())
        return;
    const spreadsheet::TableFormat format =
        reponse->fileType == 1 ? spreadsheet::TableFormat::Csv : spreadsheet::TableFormat::Xlsx;
    const spreadsheet::TableWriteResult resultat =
        StatisticsFiles::ecrireTableau(format, table, descriptionSelection(), reponse->path);
    if (!resultat.succeeded()) {
        if (resultat.outcome == spreadsheet::TableWriteResult::Outcome::Failed)
            alerte(QStringLiteral("ERREUR"),
                   QStringLiteral("Le tableau n'a pas été exporté : %1").arg(resultat.error));
        return;
    }
    m_dossier = QFileInfo(reponse->path).absolutePath();
}

void Statistiques::exporterGraphique(QObject *)
{
    const Vue vue = vueCourante();
    platform::SavePanelRequest demande;
    demande.title = QStringLiteral("Exporter le graphique");
    demande.directory = m_dossier.isEmpty() || !QFileInfo(m_dossier).isDir() ? QDir::homePath() : m_dossier;
    demande.fileName = QStringLiteral("Statistiques - %1").arg(m_tables[vue]->titre());
    demande.fileTypes = {{QStringLiteral("Image PNG"), QStringLiteral("png")},
                         {QStringLiteral("Document PDF"), QStringLiteral("pdf")}};
    const std::optional<platform::SavePanelAnswer> reponse =
        platform::SavePanel::runModalWithChoices(demande);
    if (!reponse || reponse->path.isEmpty())
        return;
    const QString erreur =
        StatisticsFiles::ecrireGraphique(*m_graphes[vue], m_tables[vue]->titre(), reponse->path);
    if (!erreur.isEmpty()) {
        alerte(QStringLiteral("ERREUR"), QStringLiteral("Le graphique n'a pas été exporté : %1").arg(erreur));
        return;
    }
    m_dossier = QFileInfo(reponse->path).absolutePath();
}

void Statistiques::imprimer(QObject *)
{
    const QString dossier = framework::KORApplicationOC::temporaryDirectory();
    const QString chemin =
        dossier.isEmpty()
            ? QString()
            : QDir(dossier).filePath(
                  QStringLiteral("Statistiques_%1.pdf")
                      .arg(platform::Clock::now().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"))));
    QList<StatisticsReport::Page> pages;
    for (int vue = 0; vue < NombreDeVues; ++vue)
        pages.append({m_tables[vue], m_graphes[vue]});
    const QString erreur = chemin.isEmpty() ? QStringLiteral("il n'y a pas de dossier temporaire.")
                                            : StatisticsReport::ecrire(pages, descriptionSelection(), chemin);
    if (!erreur.isEmpty()) {
        alerte(QStringLiteral("PROBLEME"), QStringLiteral("Le fichier n'a pas pu etre cree !\n\n%1")
                                               .arg(platform::FileWriter::sentence(erreur)));
        return;
    }
    platform::FileOpener::openFile(chemin);
}

} // namespace statistics
