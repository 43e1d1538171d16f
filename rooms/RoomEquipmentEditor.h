#pragma once

#include "RoomSubListButtons.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <memory>

class QWidget;

namespace Ui
{
class PanelAjoutModifMatos;
} // namespace Ui

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

struct RoomDisplayGroups;

// The equipment lines of the room being created or modified (a quantity of an equipment type), edited in
// memory through the panel panelAjoutModifMatos: its title tells adding ("Ajout d'un materiel") from
// modifying ("Modification d'un materiel"). The families are read again each time the panel opens, so
// that families and types just created in the reference lists are offered at once.
class RoomEquipmentEditor : public QObject
{
    Q_OBJECT
public:
    RoomEquipmentEditor(data::KORDataBusOC &dataBus, RoomDisplayGroups &tables,
                        const RoomSubListButtons &boutons, QWidget *proprietaire, QObject *parent = nullptr);
    ~RoomEquipmentEditor() override;

    // Opens the panel to add a line (sender boutonAjoutMatos) or to modify the selected one.
    void afficherMatos(QObject *sender);
    void validerMatos(QObject *sender);
    void fermerMatos(QObject *sender);
    void supprimerMatos(QObject *sender);

    QDialog *panelAjoutModifMatos() const { return m_panel; }

    static const QString &titreAjout();        // "Ajout d'un materiel"
    static const QString &titreModification(); // "Modification d'un materiel"

private:
    void setTitre(const QString &titre);
    void refuser(const QString &message);

    data::KORDataBusOC &m_dataBus;
    RoomSubListButtons m_boutons;
    RoomDisplayGroups &m_tables;
    std::unique_ptr<Ui::PanelAjoutModifMatos> uiMatos;
    QPointer<QDialog> m_panel; // child of the form's view
};

} // namespace rooms
