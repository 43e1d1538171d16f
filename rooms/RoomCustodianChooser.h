#pragma once

#include "RoomSubListButtons.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <memory>

class QWidget;

namespace Ui
{
class ListeDepositaires;
} // namespace Ui

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

struct RoomDisplayGroups;

// The custodian of the room being created or modified: the group responsible for it, chosen in the window
// listeDepositaires among the custodian groups (a double click in tableViewDepositaire, or "Choisir"), or
// removed. A room has at most one custodian, so the add button is offered only while it has none.
class RoomCustodianChooser : public QObject
{
    Q_OBJECT
public:
    RoomCustodianChooser(data::KORDataBusOC &dataBus, RoomDisplayGroups &tables,
                         const RoomSubListButtons &boutons, QWidget *proprietaire, QObject *parent = nullptr);
    ~RoomCustodianChooser() override;

    void ajoutDepositaire(QObject *sender);
    void validerDepositaire();
    void supprDepositaire(QObject *sender);
    // "Annuler", Escape or the close box: no custodian is added.
    void annulerDepositaire();

    QDialog *listeDepositaires() const { return m_fenetre; }

private:
    void boutonsSelonLaListe();

    data::KORDataBusOC &m_dataBus;
    RoomSubListButtons m_boutons;
    RoomDisplayGroups &m_tables;
    std::unique_ptr<Ui::ListeDepositaires> uiListe;
    QPointer<QDialog> m_fenetre; // child of the form's view
};

} // namespace rooms
