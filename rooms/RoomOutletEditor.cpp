#include "RoomOutletEditor.h"

#include "AlertPanel.h"
#include "EOGenericRecord.h"
#include "KORAction.h"
#include "KORConversions.h"
#include "KORFormHelpers.h"
#include "ModalPanelRunner.h"
#include "RoomDisplayGroups.h"
#include "ui_PanelAjoutPrise.h"
#include "ui_PanelModifPrise.h"
#include <QPushButton>

#include <QButtonGroup>
#include <QDialog>

namespace rooms
{

using framework::KORConversions;
using framework::KORFormHelpers;

namespace
{

const QString chiffres = QStringLiteral("0123456789");

// Only digits, and no comparison sign: an outlet code is a number written as text.
bool codeRefuse(const QString &code)
{
    return KORFormHelpers::verifierChaine(code, chiffres, false, QString()).isRefused();
}

void selectionner(QLineEdit *champ)
{
    champ->selectAll();
    champ->setFocus(Qt::OtherFocusReason);
}

void alerteType()
{
    platform::NSRunAlertPanel(QStringLiteral("ATTENTION"), QStringLiteral("Probleme de type !!!!"),
                              QStringLiteral("OK"));
}

} // namespace

RoomOutletEditor::RoomOutletEditor(RoomDisplayGroups &tables, const RoomSubListButtons &boutons,
                                   QWidget *proprietaire, QObject *parent)
    : QObject(parent), m_boutons(boutons), m_tables(tables), uiAjout(std::make_unique<Ui::PanelAjoutPrise>()),
      uiModif(std::make_unique<Ui::PanelModifPrise>())
{
    m_panelAjoutPrise = new QDialog(proprietaire);
    uiAjout->setupUi(m_panelAjoutPrise);
    m_panelModifPrise = new QDialog(proprietaire);
    uiModif->setupUi(m_panelModifPrise);

    // The cells' tags are the kinds' numbers: 0 I, 1 T, 2 V.
    uiAjout->matrixAjoutTypePrise->setId(uiAjout->typeAjoutPriseI, 0);
    uiAjout->matrixAjoutTypePrise->setId(uiAjout->typeAjoutPriseT, 1);
    uiAjout->matrixAjoutTypePrise->setId(uiAjout->typeAjoutPriseV, 2);
    uiModif->matrixModifTypePrise->setId(uiModif->typeModifPriseI, 0);
    uiModif->matrixModifTypePrise->setId(uiModif->typeModifPriseT, 1);
    uiModif->matrixModifTypePrise->setId(uiModif->typeModifPriseV, 2);

    framework::connectAction(uiAjout->boutonValideAjoutPrise, &QPushButton::clicked, this,
                             [this]() { valideAjoutPrise(uiAjout->boutonValideAjoutPrise); });
    framework::connectAction(uiAjout->boutonAnnuleAjoutPrise, &QPushButton::clicked, this,
                             [this]() { annuleAjoutModifPrise(uiAjout->boutonAnnuleAjoutPrise); });
    framework::connectAction(uiModif->boutonValideModifPrise, &QPushButton::clicked, this,
                             [this]() { valideModifPrise(uiModif->boutonValideModifPrise); });
    framework::connectAction(uiModif->boutonAnnuleModifPrise, &QPushButton::clicked, this,
                             [this]() { annuleAjoutModifPrise(uiModif->boutonAnnuleModifPrise); });
}

RoomOutletEditor::~RoomOutletEditor() = default;

QString RoomOutletEditor::lettre(int tag)
{
    switch (tag) {
    case 0:
        return QStringLiteral("I");
    case 1:
        return QStringLiteral("T");
    case 2:
        return QStringLiteral("V");
    default:
        return QString();
    }
}

void RoomOutletEditor::ajoutPrise(QObject *)
{
    // The kind keeps the last choice: outlets are usually added in runs of one kind.
    uiAjout->textAjoutPrise->clear();
    selectionner(uiAjout->textAjoutPrise);
    widgets::ModalPanelRunner::run(m_panelAjoutPrise);
}

void RoomOutletEditor::valideAjoutPrise(QObject *sender)
{
    const QString code = uiAjout->textAjoutPrise->text();
    // An outlet may be listed before its code is known: an empty code is accepted here.
    if (codeRefuse(code)) {
        selectionner(uiAjout->textAjoutPrise);
        return;
    }
    const QString type = lettre(uiAjout->matrixAjoutTypePrise->checkedId());
    if (type.isEmpty()) {
        alerteType();
        return;
    }
    const eo::EORecord prise = eo::EOGenericRecord::create();
    prise->takeValueForKey(code, QStringLiteral("priCode"));
    prise->takeValueForKey(type, QStringLiteral("priType"));
    prise->takeValueForKey(QVariant::fromValue(qint64(-1)), QStringLiteral("priOrdre"));
    m_tables.tablePrise.insertObjectAtIndex(prise, 0);

    annuleAjoutModifPrise(sender);
    m_boutons.retirer->setEnabled(true);
    m_boutons.modifier->setEnabled(true);
}

void RoomOutletEditor::modifPrise(QObject *)
{
    const eo::EORecord prise = m_tables.tablePrise.selectedObject();
    if (!prise)
        return; // the list can be left without a selection: there is nothing to modify then
    const QString type = KORConversions::recupererChaine(prise->valueForKey(QStringLiteral("priType")));
    const int tag = type == u"T" ? 1 : (type == u"V" ? 2 : 0);
    uiModif->matrixModifTypePrise->button(tag)->setChecked(true);
    uiModif->textModifPrise->setText(
        KORConversions::recupererChaine(prise->valueForKey(QStringLiteral("priCode"))));
    selectionner(uiModif->textModifPrise);
    widgets::ModalPanelRunner::run(m_panelModifPrise);
}

void RoomOutletEditor::valideModifPrise(QObject *sender)
{
    const QString code = uiModif->textModifPrise->text();
    // A stored outlet keeps a code: an empty one is refused here, unlike in adding.
    if (code.isEmpty() || codeRefuse(code)) {
        selectionner(uiModif->textModifPrise);
        return;
    }
    const QString type = lettre(uiModif->matrixModifTypePrise->checkedId());
    if (type.isEmpty()) {
        alerteType();
        return;
    }
    const QList<eo::EORecord> choisies = m_tables.tablePrise.selectedObjects();
    if (!choisies.isEmpty()) {
        // The order number stays: a stored outlet is updated in place, a new one is still to insert.
        choisies.last()->takeValueForKey(code, QStringLiteral("priCode"));
        choisies.last()->takeValueForKey(type, QStringLiteral("priType"));
        m_tables.tablePrise.redisplay();
    }
    annuleAjoutModifPrise(sender);
}

void RoomOutletEditor::annuleAjoutModifPrise(QObject *)
{
    widgets::ModalPanelRunner::stop();
    if (m_panelAjoutPrise->isVisible())
        m_panelAjoutPrise->hide();
    if (m_panelModifPrise->isVisible())
        m_panelModifPrise->hide();
}

void RoomOutletEditor::supprPrise(QObject *)
{
    if (m_tables.tablePrise.selectionIndexes().size() != 1)
        return;
    const QVariant ordre = m_tables.tablePrise.selectedObject()->valueForKey(QStringLiteral("priOrdre"));
    // An outlet added since the mode began was never stored: there is nothing to delete for it.
    if (KORFormHelpers::recupererOrdre(ordre) != -1)
        m_prisesSupprimees.prepend(ordre);
    m_tables.tablePrise.deleteSelection();
    if (m_tables.tablePrise.displayedObjects().isEmpty()) {
        m_boutons.retirer->setEnabled(false);
        m_boutons.modifier->setEnabled(false);
    }
}

} // namespace rooms
