#pragma once

#include "RoomSubListButtons.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <memory>

class QWidget;

namespace Ui
{
class PanelAjoutPrise;
class PanelModifPrise;
} // namespace Ui

namespace rooms
{

struct RoomDisplayGroups;

// The network outlets of the room being created or modified, edited in memory: the add panel
// (panelAjoutPrise), the modify panel (panelModifPrise), and the removal. An outlet added here carries the
// order number -1 until the room is saved; removing a stored outlet keeps its key in prisesSupprimees,
// newest first, for the save to delete it.
class RoomOutletEditor : public QObject
{
    Q_OBJECT
public:
    // The panels are windows of proprietaire, the form's view.
    RoomOutletEditor(RoomDisplayGroups &tables, const RoomSubListButtons &boutons, QWidget *proprietaire,
                     QObject *parent = nullptr);
    ~RoomOutletEditor() override;

    void ajoutPrise(QObject *sender);
    void valideAjoutPrise(QObject *sender);
    void modifPrise(QObject *sender);
    void valideModifPrise(QObject *sender);
    void annuleAjoutModifPrise(QObject *sender);
    void supprPrise(QObject *sender);

    const QVariantList &prisesSupprimees() const { return m_prisesSupprimees; }
    // Creation and modification begin with nothing removed.
    void oublierSuppressions() { m_prisesSupprimees.clear(); }

    // The letter of a cell of the kind matrices ("" for any other tag).
    static QString lettre(int tag);

    QDialog *panelAjoutPrise() const { return m_panelAjoutPrise; }
    QDialog *panelModifPrise() const { return m_panelModifPrise; }

private:
    RoomSubListButtons m_boutons;
    RoomDisplayGroups &m_tables;
    std::unique_ptr<Ui::PanelAjoutPrise> uiAjout;
    std::unique_ptr<Ui::PanelModifPrise> uiModif;
    QPointer<QDialog> m_panelAjoutPrise; // child of the form's view
    QPointer<QDialog> m_panelModifPrise;
    QVariantList m_prisesSupprimees;
};

} // namespace rooms
