#include "RoomEquipmentEditor.h"

#include "AlertPanel.h"
#include "EOGenericRecord.h"
#include "KORAction.h"
#include "KORConversions.h"
#include "KORDataBusOC.h"
#include "KORFormHelpers.h"
#include "ModalPanelRunner.h"
#include "RoomDisplayGroups.h"
#include "ui_PanelAjoutModifMatos.h"
#include <QPushButton>

#include <QDialog>

namespace rooms
{

using framework::KORConversions;
using framework::KORFormHelpers;

namespace
{

constexpr auto sansCasse = eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending;

qint64 typeDe(const eo::EORecord &ligne)
{
    return KORFormHelpers::recupererOrdre(ligne->valueForKey(QStringLiteral("tavType")));
}

} // namespace

RoomEquipmentEditor::RoomEquipmentEditor(data::KORDataBusOC &dataBus, RoomDisplayGroups &tables,
                                         const RoomSubListButtons &boutons, QWidget *proprietaire,
                                         QObject *parent)
    : QObject(parent), m_dataBus(dataBus), m_boutons(boutons), m_tables(tables),
      uiMatos(std::make_unique<Ui::PanelAjoutModifMatos>())
{
    m_panel = new QDialog(proprietaire);
    uiMatos->setupUi(m_panel);
    RoomDisplayGroups::montrerDans(uiMatos->vueFamilleMatos, m_tables.tableFamilleMatos, true);
    RoomDisplayGroups::montrerDans(uiMatos->vueTypeMateriel, m_tables.tableTypeMateriel, true);

    framework::connectAction(uiMatos->boutonValiderMatos, &QPushButton::clicked, this,
                             [this]() { validerMatos(uiMatos->boutonValiderMatos); });
    framework::connectAction(uiMatos->boutonFermerMatos, &QPushButton::clicked, this,
                             [this]() { fermerMatos(uiMatos->boutonFermerMatos); });
}

RoomEquipmentEditor::~RoomEquipmentEditor() = default;

const QString &RoomEquipmentEditor::titreAjout()
{
    static const QString titre = QStringLiteral("Ajout d'un materiel");
    return titre;
}

const QString &RoomEquipmentEditor::titreModification()
{
    static const QString titre = QStringLiteral("Modification d'un materiel");
    return titre;
}

void RoomEquipmentEditor::setTitre(const QString &titre)
{
    m_panel->setWindowTitle(titre);
    uiMatos->titreMatos->setText(titre);
}

void RoomEquipmentEditor::afficherMatos(QObject *sender)
{
    const bool ajout = sender == m_boutons.ajouter;
    const eo::EORecord ligne = m_tables.tableDetailSalle.selectedObject();
    if (!ajout && !ligne)
        return; // nothing selected to modify

    // Selecting the first family loads its types (the room form's selection handler).
    KORFormHelpers::fetchTable(
        m_dataBus, &m_tables.tableFamilleMatos, QStringLiteral("TypeMateriel"),
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("tavNiveau=1"), {}),
        {{QStringLiteral("tavLibelle"), sansCasse}}, true);
    if (ajout) {
        setTitre(titreAjout());
        uiMatos->nombreMatos->clear();
    } else {
        setTitre(titreModification());
        // The line's family is chosen, which loads its types and chooses the line's own type.
        const qint64 famille = KORFormHelpers::recupererOrdre(ligne->valueForKey(QStringLiteral("tavPere")));
        const QList<eo::EORecord> &familles = m_tables.tableFamilleMatos.displayedObjects();
        for (qsizetype i = 0; i < familles.size(); ++i) {
            if (typeDe(familles.at(i)) == famille) {
                m_tables.tableFamilleMatos.setSelectionIndexes({int(i)});
                break;
            }
        }
        uiMatos->nombreMatos->setText(
            KORConversions::recupererChaine(ligne->valueForKey(QStringLiteral("dsaPourcentage"))));
    }
    uiMatos->nombreMatos->selectAll();
    uiMatos->nombreMatos->setFocus(Qt::OtherFocusReason);
    widgets::ModalPanelRunner::run(m_panel);
}

void RoomEquipmentEditor::refuser(const QString &message)
{
    platform::NSRunAlertPanel(QStringLiteral("ATTENTION"), message, QStringLiteral("OK"));
}

void RoomEquipmentEditor::validerMatos(QObject *sender)
{
    if (m_tables.tableFamilleMatos.selectionIndexes().isEmpty()) {
        refuser(QStringLiteral("Il faut selectionner une famille de materiel"));
        return;
    }
    const eo::EORecord type = m_tables.tableTypeMateriel.selectedObject();
    if (!type) {
        refuser(QStringLiteral("Il faut selectionner un type de materiel"));
        return;
    }
    const QString quantite = uiMatos->nombreMatos->text();
    if (quantite.isEmpty()) {
        refuser(QStringLiteral("Il faut une quantite"));
        uiMatos->nombreMatos->selectAll();
        uiMatos->nombreMatos->setFocus(Qt::OtherFocusReason);
        return;
    }

    eo::EORecord ligne;
    if (m_panel->windowTitle() == titreAjout()) {
        // A room lists an equipment type once: its quantity says how many.
        for (const eo::EORecord &existante : m_tables.tableDetailSalle.displayedObjects()) {
            if (typeDe(existante) == typeDe(type)) {
                refuser(QStringLiteral("Ce type de materiel est deja present dans le detail de la salle"));
                return;
            }
        }
        ligne = eo::EOGenericRecord::create();
    } else {
        ligne = m_tables.tableDetailSalle.selectedObject();
    }
    if (ligne) {
        ligne->takeValueForKey(KORConversions::recupererEntier(quantite), QStringLiteral("dsaPourcentage"));
        ligne->takeValueForKey(type->valueForKey(QStringLiteral("tavType")), QStringLiteral("tavType"));
        ligne->takeValueForKey(type->valueForKey(QStringLiteral("tavPere")), QStringLiteral("tavPere"));
        ligne->takeValueForKey(type->valueForKey(QStringLiteral("pereLibelle")),
                               QStringLiteral("pereLibelle"));
        ligne->takeValueForKey(type->valueForKey(QStringLiteral("tavUniteOrdre")),
                               QStringLiteral("uniOrdre"));
        ligne->takeValueForKey(type->valueForKey(QStringLiteral("tavLibelle")), QStringLiteral("tavLibelle"));
        ligne->takeValueForKey(type->valueForKey(QStringLiteral("toUnite_uniAbrev")),
                               QStringLiteral("uniAbrev"));
        if (m_panel->windowTitle() == titreAjout())
            m_tables.tableDetailSalle.insertObjectAtIndex(ligne, 0);
        m_tables.tableDetailSalle.redisplay();
        const bool choisie = !m_tables.tableDetailSalle.selectionIndexes().isEmpty();
        m_boutons.retirer->setEnabled(choisie);
        m_boutons.modifier->setEnabled(choisie);
    }
    fermerMatos(sender);
}

void RoomEquipmentEditor::fermerMatos(QObject *)
{
    widgets::ModalPanelRunner::stop();
    m_panel->hide();
}

void RoomEquipmentEditor::supprimerMatos(QObject *)
{
    m_tables.tableDetailSalle.deleteSelection();
    if (m_tables.tableDetailSalle.selectionIndexes().isEmpty()) {
        m_boutons.retirer->setEnabled(false);
        m_boutons.modifier->setEnabled(false);
    }
}

} // namespace rooms
