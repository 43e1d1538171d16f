#include "RoomOccupationEditor.h"

#include "AlertPanel.h"
#include "EOGenericRecord.h"
#include "KORAction.h"
#include "KORConversions.h"
#include "KORDataBusOC.h"
#include "KORFormHelpers.h"
#include "ModalPanelRunner.h"
#include "RoomDisplayGroups.h"
#include "ui_PanelAjoutDetailPourcentage.h"
#include <QPushButton>

#include <QDialog>

namespace rooms
{

using framework::KORConversions;
using framework::KORFormHelpers;

namespace
{

constexpr auto sansCasse = eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending;

} // namespace

RoomOccupationEditor::RoomOccupationEditor(data::KORDataBusOC &dataBus, RoomDisplayGroups &tables,
                                           const RoomSubListButtons &boutons, QWidget *proprietaire,
                                           QObject *parent)
    : QObject(parent), m_dataBus(dataBus), m_boutons(boutons), m_tables(tables),
      uiOccupation(std::make_unique<Ui::PanelAjoutDetailPourcentage>())
{
    m_panel = new QDialog(proprietaire);
    uiOccupation->setupUi(m_panel);
    RoomDisplayGroups::montrerDans(uiOccupation->vueServices, m_tables.tableServices, true);

    framework::connectAction(
        uiOccupation->boutonValideDetailPourcentage, &QPushButton::clicked, this,
        [this]() { valideDetailPourcentage(uiOccupation->boutonValideDetailPourcentage); });
    framework::connectAction(
        uiOccupation->boutonAnnuleDetailPourcentage, &QPushButton::clicked, this,
        [this]() { annuleDetailPourcentage(uiOccupation->boutonAnnuleDetailPourcentage); });
}

RoomOccupationEditor::~RoomOccupationEditor() = default;

void RoomOccupationEditor::ajoutDetailPourcentage(QObject *)
{
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableServices, QStringLiteral("ServiceVix"), {},
                               {{QStringLiteral("llStructure"), sansCasse}}, true);
    if (m_tables.tableServices.displayedObjects().isEmpty())
        return;
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableTypeOccupation, QStringLiteral("TypeOccupation"), {},
                               {{QStringLiteral("tocLibelle"), sansCasse}}, true);
    if (m_tables.tableTypeOccupation.displayedObjects().isEmpty())
        return;

    QComboBox *types = uiOccupation->popupDetailPourcentage;
    types->clear();
    for (const eo::EORecord &type : m_tables.tableTypeOccupation.displayedObjects())
        types->addItem(KORConversions::recupererChaine(type->valueForKey(QStringLiteral("tocLibelle"))));
    types->setCurrentIndex(0);

    uiOccupation->textAjoutDetailPourcentage->clear();
    uiOccupation->textAjoutDetailPourcentage->setFocus(Qt::OtherFocusReason);
    widgets::ModalPanelRunner::run(m_panel);
}

void RoomOccupationEditor::refuser(const QString &message)
{
    platform::NSRunAlertPanel(QStringLiteral("ATTENTION"), message, QStringLiteral("OK"));
}

void RoomOccupationEditor::valideDetailPourcentage(QObject *sender)
{
    const eo::EORecord service = m_tables.tableServices.selectedObject();
    if (!service) {
        refuser(QStringLiteral("Il faut un service !"));
        return;
    }
    // The leading whole number counts: "50abc" is 50.
    const QString texte = uiOccupation->textAjoutDetailPourcentage->text();
    const qint64 pourcentage = KORConversions::leadingInteger(texte);
    if (texte.isEmpty() || pourcentage > 100 || pourcentage < 0) {
        refuser(QStringLiteral("Il faut un pourcentage (compris entre 0 et 100) !"));
        return;
    }
    KORFormHelpers::fetchTable(
        m_dataBus, &m_tables.tableTypeOccupation, QStringLiteral("TypeOccupation"),
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("tocLibelle=%@"),
                                                      {uiOccupation->popupDetailPourcentage->currentText()}),
        {}, true);
    const eo::EORecord type = m_tables.tableTypeOccupation.selectedObject();
    if (!type) {
        // The kind was removed from the reference lists since the panel opened.
        refuser(QStringLiteral("Il faut un type d'occupation !"));
        return;
    }

    const eo::EORecord ligne = eo::EOGenericRecord::create();
    ligne->takeValueForKey(eo::EOGenericRecord::toVariant(service), QStringLiteral("structureZebVix"));
    ligne->takeValueForKey(KORConversions::recupererEntier(texte), QStringLiteral("detPourcentage"));
    ligne->takeValueForKey(type->valueForKey(QStringLiteral("tocOrdre")), QStringLiteral("detType"));
    ligne->takeValueForKey(service->valueForKey(QStringLiteral("cStructure")), QStringLiteral("cStructure"));
    ligne->takeValueForKey(type->valueForKey(QStringLiteral("tocLibelle")), QStringLiteral("tocLibelle"));
    // The line lives in the list only until the save writes it: cancelling reads the stored lines again.
    m_tables.tableDetailPourcentage.insertObjectAtIndex(ligne, 0);
    m_tables.tableDetailPourcentage.redisplay();
    if (!m_tables.tableDetailPourcentage.selectionIndexes().isEmpty())
        m_boutons.retirer->setEnabled(true);
    annuleDetailPourcentage(sender);
}

void RoomOccupationEditor::annuleDetailPourcentage(QObject *)
{
    widgets::ModalPanelRunner::stop();
    m_panel->hide();
}

void RoomOccupationEditor::supprDetailPourcentage(QObject *)
{
    m_tables.tableDetailPourcentage.deleteSelection();
    if (m_tables.tableDetailPourcentage.selectionIndexes().isEmpty())
        m_boutons.retirer->setEnabled(false);
}

} // namespace rooms
