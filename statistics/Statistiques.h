#pragma once

#include "RoomFilter.h"
#include "RoomScope.h"
#include "RoomStatistics.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class QTableView;
#include <QWidget>

namespace Ui
{
class Statistiques;
}

namespace data
{
class KORDataBusOC;
}

namespace statistics
{

class StatisticsChartPanel;
class StatisticsTable;
class StatisticsViewFit;

// The window "Statistiques": the surfaces and use of the whole inventory or of the rooms of the current
// search, by building, by room type, by use and by department, each as a table beside its chart. A line or
// a bar lists its rooms in the room tab's result window; each view leaves as a spreadsheet or an image, and
// the whole window prints as a PDF report.
class Statistiques : public QObject
{
    Q_OBJECT
public:
    // What the window needs of the room tab, without knowing it.
    struct Liens {
        // The rooms of the current search, by number (none without a search).
        std::function<QList<qint64>()> sallesDeLaRecherche;
        // Lists the rooms in the result window under the given name.
        std::function<void(const QList<qint64> &salles, const QString &nom)> ouvrirSalles;
    };
    enum Vue { ParBatiment, ParType, ParUsage, ParDepartement, NombreDeVues };

    // The window is a window of its own above parent, which does not own this object.
    Statistiques(data::KORDataBusOC &dataBus, Liens liens, QWidget *parent = nullptr);
    ~Statistiques() override;

    // Shows the window in front, with the figures read again.
    void ouvrir();
    // Reads the figures of the chosen rooms and shows them.
    void actualiser();
    // Lists the rooms behind a line or a bar in the result window.
    void ouvrirSalles(const RoomFilter &filtre);

    void exporterTableau(QObject *sender);
    void exporterGraphique(QObject *sender);
    void imprimer(QObject *sender);

    QWidget *fenetre() const { return m_fenetre; }
    const RoomScope &selection() const { return m_selection; }
    const RoomStatistics &figures() const { return m_figures; }
    StatisticsTable &table(Vue vue) const { return *m_tables[vue]; }
    StatisticsChartPanel &graphe(Vue vue) const { return *m_graphes[vue]; }
    QTableView *vueTable(Vue vue) const;
    Vue vueCourante() const;
    // "Tout l'inventaire (1 234 salles)", "Salles de la recherche en cours (12 salles)".
    QString descriptionSelection() const;

private:
    void relier();
    void choisirSelection();
    // At the size of the available area of the main window's screen, in its top left corner.
    void placer();

    data::KORDataBusOC &m_dataBus;
    Liens m_liens;
    std::unique_ptr<Ui::Statistiques> ui;
    QPointer<QWidget> m_fenetre;
    StatisticsTable *m_tables[NombreDeVues] = {};
    StatisticsChartPanel *m_graphes[NombreDeVues] = {};
    StatisticsViewFit *m_ajustements[NombreDeVues] = {};
    RoomScope m_selection;
    RoomStatistics m_figures;
    QString m_dossier; // where the last file went
    bool m_placee = false;
};

} // namespace statistics
