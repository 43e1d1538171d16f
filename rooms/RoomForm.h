#pragma once

#include "EOGenericRecord.h"
#include "RoomEtat.h"
#include "RoomSaveCheck.h"
#include "SaisieSalle.h"

#include <QVariantList>

class QWidget;

namespace Ui
{
class Creation;
}

namespace rooms
{

struct RoomDisplayGroups;

// The room form's one mapping between its widgets and a room value: which field holds which value, how a
// text is read (a count, an exact decimal, a flag) and how a value is shown, and what each mode of the tab
// enables (initPanel:clean:). The sub-lists are the display groups the form's lists show.
class RoomForm
{
public:
    RoomForm(Ui::Creation &ui, RoomDisplayGroups &tables);

    // The room as typed, with its sub-lists; salle is the stored room being modified (none in a creation),
    // whose keys and hidden columns the value keeps.
    SaisieSalle saisie(const eo::EORecord &salle, const QVariantList &prisesSupprimees) const;
    // Shows the room's record and complement in the fields; a field already showing its value is left
    // alone, so that moving from room to room lays out only what changed.
    void remplir(const SaisieSalle &salle);
    // The door number as it will be stored.
    void montrerPorte(const QString &porte);
    // The pop-ups' choices, after their blank item: the room types' and the buildings' names. The building
    // shown or being typed stays chosen when its list is reloaded under it.
    void listerTypes(const QList<eo::EORecord> &types);
    void listerBatiments(const QList<eo::EORecord> &batiments);
    // The field a refused check sends the user to (none: the focus stays where it is).
    QWidget *champ(RoomSaveCheck::Champ champ) const;

    // The form's look in a mode, read as already set: active makes the form editable, clean empties it.
    void initPanel(Etat etat, bool actif, bool clean);

private:
    void boutonsPrincipaux(Etat etat, bool actif);
    void sousListes(Etat etat, bool clean);
    void champs(bool actif, bool clean);
    void tabulation();

    Ui::Creation &ui;
    RoomDisplayGroups &m_tables;
};

} // namespace rooms
