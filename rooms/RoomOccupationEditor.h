#pragma once

#include "RoomSubListButtons.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <memory>

class QWidget;

namespace Ui
{
class PanelAjoutDetailPourcentage;
} // namespace Ui

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

struct RoomDisplayGroups;

// The occupation lines of the room being created or modified (a percentage of use by a department for a
// kind of occupation), added in memory through the panel panelAjoutDetailPourcentage, or removed. The
// departments and the kinds are read again each time the panel opens.
class RoomOccupationEditor : public QObject
{
    Q_OBJECT
public:
    RoomOccupationEditor(data::KORDataBusOC &dataBus, RoomDisplayGroups &tables,
                         const RoomSubListButtons &boutons, QWidget *proprietaire, QObject *parent = nullptr);
    ~RoomOccupationEditor() override;

    void ajoutDetailPourcentage(QObject *sender);
    void valideDetailPourcentage(QObject *sender);
    void annuleDetailPourcentage(QObject *sender);
    void supprDetailPourcentage(QObject *sender);

    QDialog *panelAjoutDetailPourcentage() const { return m_panel; }

private:
    void refuser(const QString &message);

    data::KORDataBusOC &m_dataBus;
    RoomSubListButtons m_boutons;
    RoomDisplayGroups &m_tables;
    std::unique_ptr<Ui::PanelAjoutDetailPourcentage> uiOccupation;
    QPointer<QDialog> m_panel; // child of the form's view
};

} // namespace rooms
