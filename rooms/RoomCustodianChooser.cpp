#include "RoomCustodianChooser.h"

#include "EOGenericRecord.h"
#include "KORAction.h"
#include "KORDataBusOC.h"
#include "KORFormHelpers.h"
#include "ModalPanelRunner.h"
#include "RoomDisplayGroups.h"
#include "ui_ListeDepositaires.h"
#include <QPushButton>

#include <QDialog>

namespace rooms
{

using framework::KORFormHelpers;

RoomCustodianChooser::RoomCustodianChooser(data::KORDataBusOC &dataBus, RoomDisplayGroups &tables,
                                           const RoomSubListButtons &boutons, QWidget *proprietaire,
                                           QObject *parent)
    : QObject(parent), m_dataBus(dataBus), m_boutons(boutons), m_tables(tables),
      uiListe(std::make_unique<Ui::ListeDepositaires>())
{
    m_fenetre = new QDialog(proprietaire);
    uiListe->setupUi(m_fenetre);
    RoomDisplayGroups::montrerDans(uiListe->tableViewDepositaire, m_tables.tableGroupe, true);
    RoomDisplayGroups::montrerDans(uiListe->vueAdresseGroupe, m_tables.tableAdresseGroupe, true);

    framework::connectAction(uiListe->tableViewDepositaire, &QAbstractItemView::doubleClicked, this,
                             [this]() { validerDepositaire(); });
    framework::connectAction(uiListe->boutonChoisirDepositaire, &QPushButton::clicked, this,
                             [this]() { validerDepositaire(); });
    framework::connectAction(uiListe->boutonAnnulerDepositaire, &QPushButton::clicked, this,
                             [this]() { annulerDepositaire(); });
}

RoomCustodianChooser::~RoomCustodianChooser() = default;

void RoomCustodianChooser::ajoutDepositaire(QObject *)
{
    // The custodian groups change seldom: they are read once and kept.
    if (m_tables.tableGroupe.displayedObjects().isEmpty()) {
        KORFormHelpers::fetchTable(
            m_dataBus, &m_tables.tableGroupe, QStringLiteral("StructureZebVix"),
            eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("lcStructure='DEPOS'"), {}),
            {{QStringLiteral("perelcStructure"),
              eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending}},
            true);
    }
    if (m_tables.tableGroupe.displayedObjects().isEmpty())
        return;
    uiListe->tableViewDepositaire->setFocus(Qt::OtherFocusReason);
    widgets::ModalPanelRunner::run(m_fenetre);
    // A window left without choosing adds nothing: the add button stays offered then.
    boutonsSelonLaListe();
}

void RoomCustodianChooser::validerDepositaire()
{
    widgets::ModalPanelRunner::stop();
    m_fenetre->hide();
    if (m_tables.tableGroupe.selectionIndexes().size() != 1)
        return;
    const eo::EORecord groupe = m_tables.tableGroupe.selectedObject();
    const eo::EORecord depositaire = eo::EOGenericRecord::create();
    depositaire->takeValueForKey(groupe->valueForKey(QStringLiteral("cStructure")),
                                 QStringLiteral("cStructure"));
    depositaire->takeValueForKey(eo::EOGenericRecord::toVariant(groupe), QStringLiteral("structureZebVix"));
    m_tables.tableDepositaire.insertObjectAtIndex(depositaire, 0);
}

void RoomCustodianChooser::annulerDepositaire()
{
    widgets::ModalPanelRunner::stop();
    m_fenetre->hide();
}

void RoomCustodianChooser::supprDepositaire(QObject *)
{
    if (m_tables.tableDepositaire.selectionIndexes().isEmpty())
        return;
    m_tables.tableDepositaire.deleteSelection();
    boutonsSelonLaListe();
}

void RoomCustodianChooser::boutonsSelonLaListe()
{
    const bool aUnDepositaire = !m_tables.tableDepositaire.displayedObjects().isEmpty();
    m_boutons.ajouter->setEnabled(!aUnDepositaire);
    m_boutons.retirer->setEnabled(aUnDepositaire);
}

} // namespace rooms
