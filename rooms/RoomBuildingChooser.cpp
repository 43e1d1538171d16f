#include "RoomBuildingChooser.h"

#include "KORAction.h"
#include "KORConversions.h"
#include "KORDataBusOC.h"
#include "KORFormHelpers.h"
#include "ModalPanelRunner.h"
#include "RoomDisplayGroups.h"
#include "ui_ListeBatiments.h"
#include <QComboBox>

#include <QDialog>

namespace rooms
{

using framework::KORConversions;

RoomBuildingChooser::RoomBuildingChooser(data::KORDataBusOC &dataBus, QComboBox *batiments,
                                         RoomDisplayGroups &tables, QWidget *proprietaire, QObject *parent)
    : QObject(parent), m_dataBus(dataBus), m_batiments(batiments), m_tables(tables),
      uiListe(std::make_unique<Ui::ListeBatiments>())
{
    m_fenetre = new QDialog(proprietaire);
    uiListe->setupUi(m_fenetre);
    RoomDisplayGroups::montrerDans(uiListe->tableViewBatiment, m_tables.tableBatiments, true);
    uiListe->tableViewBatiment->setColumnWidth(0, 70);

    framework::connectAction(uiListe->tableViewBatiment, &QAbstractItemView::doubleClicked, this,
                             [this]() { valideBatiment(); });
    framework::connectAction(uiListe->boutonChoisirBatiment, &QPushButton::clicked, this,
                             [this]() { valideBatiment(); });
    framework::connectAction(uiListe->boutonAnnulerBatiment, &QPushButton::clicked, this,
                             [this]() { annulerBatiment(); });
}

RoomBuildingChooser::~RoomBuildingChooser() = default;

void RoomBuildingChooser::choisirBatiment(QObject *)
{
    // Every building, read again: a save leaves only the building it looked up in this list.
    framework::KORFormHelpers::fetchTable(
        m_dataBus, &m_tables.tableBatiments, QStringLiteral("LocalVix"), {},
        {{QStringLiteral("appellation"), eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending}},
        true);
    const QString choisi = m_batiments->currentIndex() > 0 ? m_batiments->currentText() : QString();
    const QList<eo::EORecord> &batiments = m_tables.tableBatiments.displayedObjects();
    for (qsizetype i = 0; i < batiments.size(); ++i) {
        if (!choisi.isEmpty() && KORConversions::recupererChaine(
                                     batiments.at(i)->valueForKey(QStringLiteral("appellation"))) == choisi) {
            m_tables.tableBatiments.setSelectionIndexes({int(i)});
            break;
        }
    }
    uiListe->tableViewBatiment->setFocus(Qt::OtherFocusReason);
    widgets::ModalPanelRunner::run(m_fenetre);
}

void RoomBuildingChooser::valideBatiment()
{
    widgets::ModalPanelRunner::stop();
    m_fenetre->hide();
    const eo::EORecord batiment = m_tables.tableBatiments.selectedObject();
    if (!batiment)
        return;
    const int index = m_batiments->findText(
        KORConversions::recupererChaine(batiment->valueForKey(QStringLiteral("appellation"))));
    if (index > 0)
        m_batiments->setCurrentIndex(index);
}

void RoomBuildingChooser::annulerBatiment()
{
    widgets::ModalPanelRunner::stop();
    m_fenetre->hide();
}

} // namespace rooms
