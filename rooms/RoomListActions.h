#pragma once

#include "RoomListCriteria.h"

#include <QObject>
#include <QPointer>
#include <memory>

class QAction;
class QPushButton;
class QWidget;

namespace Ui
{
class ListeSalles;
}

namespace data
{
class KORDataBusOC;
}

namespace eo
{
class EODisplayGroup;
}

namespace rooms
{

class RoomListExporter;
class RoomSheetPrinter;

// What leaves the room tab as a file: the export of the result list ("Exporter la liste…", Ctrl+E) and the
// printed sheets of rooms ("Imprimer la fiche", Ctrl+P), from the result window's buttons and context menu,
// and the room form's "Imprimer la fiche" for the room it shows.
class RoomListActions : public QObject
{
    Q_OBJECT
public:
    RoomListActions(data::KORDataBusOC &dataBus, eo::EODisplayGroup &salles, Ui::ListeSalles &liste,
                    QWidget *fenetre, QPushButton *boutonFiche, QObject *parent = nullptr);
    ~RoomListActions() override;

    RoomListCriteria &criteres() { return m_criteres; }
    RoomListExporter &exportation() { return *m_exportation; }
    RoomSheetPrinter &impression() { return *m_impression; }
    QAction *actionExporter() const { return m_actionExporter; }
    QAction *actionImprimer() const { return m_actionImprimer; }

    // The actions
    void exporterListe(QObject *sender);
    // The sheets of the rooms selected in the result window.
    void imprimerFiches(QObject *sender);
    // The sheet of the room the form shows.
    void imprimerFiche(QObject *sender);

    // What is offered for the list and its selection; the form's button only while a room is shown.
    void mettreAJour(bool salleAffichee);

private:
    void menuContextuel(const QPoint &position);

    eo::EODisplayGroup &m_salles;
    Ui::ListeSalles &m_liste;
    QPointer<QWidget> m_fenetre;
    QPointer<QPushButton> m_boutonFiche;
    RoomListCriteria m_criteres;
    std::unique_ptr<RoomListExporter> m_exportation;
    std::unique_ptr<RoomSheetPrinter> m_impression;
    QPointer<QAction> m_actionExporter; // children of the result window
    QPointer<QAction> m_actionImprimer;
    bool m_salleAffichee = false;
};

} // namespace rooms
