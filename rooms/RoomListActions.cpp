#include "RoomListActions.h"

#include "EODisplayGroup.h"
#include "KORAction.h"
#include "KORApplicationOC.h"
#include "RoomListExporter.h"
#include "RoomSheetPrinter.h"
#include "ui_ListeSalles.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

namespace rooms
{

RoomListActions::RoomListActions(data::KORDataBusOC &dataBus, eo::EODisplayGroup &salles,
                                 Ui::ListeSalles &liste, QWidget *fenetre, QPushButton *boutonFiche,
                                 QObject *parent)
    : QObject(parent), m_salles(salles), m_liste(liste), m_fenetre(fenetre), m_boutonFiche(boutonFiche),
      m_exportation(std::make_unique<RoomListExporter>(dataBus, salles, *liste.vueSalles, m_criteres)),
      m_impression(std::make_unique<RoomSheetPrinter>(dataBus))
{
    if (auto *application = framework::KORApplicationOC::instance())
        m_exportation->setUserDefaults(&application->userDefaults());

    // The shortcuts work anywhere in the result window; the context menu offers the same actions.
    m_actionExporter = new QAction(QStringLiteral("Exporter la liste…"), fenetre);
    m_actionExporter->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    m_actionImprimer = new QAction(QStringLiteral("Imprimer la fiche"), fenetre);
    m_actionImprimer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    for (QAction *action : {m_actionExporter.data(), m_actionImprimer.data()}) {
        action->setShortcutContext(Qt::WindowShortcut);
        fenetre->addAction(action);
    }
    // Every action runs inside the action boundary: an error ends it, never reaches Qt.
    using framework::connectAction;
    connectAction(m_actionExporter.data(), &QAction::triggered, this,
                  [this] { exporterListe(m_actionExporter.data()); });
    connectAction(m_actionImprimer.data(), &QAction::triggered, this,
                  [this] { imprimerFiches(m_actionImprimer.data()); });
    connectAction(m_liste.boutonExporterListe, &QPushButton::clicked, this,
                  [this] { exporterListe(m_liste.boutonExporterListe); });
    connectAction(m_liste.boutonImprimerFiches, &QPushButton::clicked, this,
                  [this] { imprimerFiches(m_liste.boutonImprimerFiches); });
    if (m_boutonFiche)
        connectAction(m_boutonFiche.data(), &QPushButton::clicked, this,
                      [this] { imprimerFiche(m_boutonFiche); });
    m_liste.vueSalles->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_liste.vueSalles, &QWidget::customContextMenuRequested, this, [this](const QPoint &position) {
        framework::performAction([this, position] { menuContextuel(position); });
    });

    // The offer follows the list and its selection.
    const auto suivre = [this] { mettreAJour(m_salleAffichee); };
    connect(&m_salles, &eo::EODisplayGroup::selectionDidChange, this, suivre);
    connect(&m_salles, &QAbstractItemModel::modelReset, this, suivre);
    connect(&m_salles, &QAbstractItemModel::rowsInserted, this, suivre);
    connect(&m_salles, &QAbstractItemModel::rowsRemoved, this, suivre);
    mettreAJour(false);
}

RoomListActions::~RoomListActions() = default;

void RoomListActions::mettreAJour(bool salleAffichee)
{
    m_salleAffichee = salleAffichee;
    // The result window, with its buttons and actions, may go before the tab.
    if (!m_fenetre || !m_actionExporter || !m_actionImprimer)
        return;
    const bool liste = !m_salles.displayedObjects().isEmpty();
    const qsizetype choisies = m_salles.selectionIndexes().size();
    m_actionExporter->setEnabled(liste);
    m_liste.boutonExporterListe->setEnabled(liste);
    const QString imprimer = choisies > 1 ? QStringLiteral("Imprimer les fiches (%1)").arg(choisies)
                                          : QStringLiteral("Imprimer la fiche");
    m_actionImprimer->setText(imprimer);
    m_actionImprimer->setEnabled(choisies > 0);
    m_liste.boutonImprimerFiches->setText(imprimer);
    m_liste.boutonImprimerFiches->setEnabled(choisies > 0);
    if (m_boutonFiche)
        m_boutonFiche->setEnabled(salleAffichee && choisies == 1);
}

void RoomListActions::menuContextuel(const QPoint &position)
{
    QMenu menu(m_liste.vueSalles);
    menu.addAction(m_actionExporter);
    menu.addAction(m_actionImprimer);
    menu.exec(m_liste.vueSalles->viewport()->mapToGlobal(position));
}

void RoomListActions::exporterListe(QObject *)
{
    m_exportation->exporterListe(m_fenetre);
}

void RoomListActions::imprimerFiches(QObject *)
{
    m_impression->imprimer(m_salles.selectedObjects(), m_fenetre);
}

void RoomListActions::imprimerFiche(QObject *)
{
    if (!m_salleAffichee || m_salles.selectionIndexes().size() != 1)
        return;
    m_impression->imprimer({m_salles.selectedObject()}, m_boutonFiche ? m_boutonFiche->window() : nullptr);
}

} // namespace rooms
