#pragma once

#include "EOPrefetch.h"
#include "RoomSaveArguments.h"
#include "SaveTransaction.h"
#include "UncertainSave.h"

#include <QString>
#include <QVariant>
#include <QVariantList>

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

class RoomConflictCheck;
struct RoomDisplayGroups;

// Writes the room of the form through the stored procedures, once the form's checks have passed, as one
// transaction committed once (data::SaveTransaction), so that a room is never left half-saved:
// - the room record and its department complement are one essential step: refused, nothing of the room is
//   stored and a refused save can be tried again without making a second room;
// - in a creation each equipment line, occupation line and outlet is a step of its own: a refused line is
//   missing and the others are stored;
// - in a modification the outlets are steps one by one (new ones inserted, stored ones updated, removed ones
//   deleted), and the equipment lines and the occupation lines are each replaced as a whole in one step: a
//   list is stored wholly as typed or stays wholly as it was.
// A refused step is reported by its own alert and the save goes on with the next one. The steps after the
// record's first call go with the commit: on a server far away a save costs a few round trips, not one per
// call. A modification first checks, inside the transaction and holding the room, that nobody changed or
// deleted it since the modification began (RoomConflictCheck); the hold ends with the commit.
class RoomSaver
{
public:
    // What became of a save.
    enum class Issue {
        enregistree,       // stored
        refusee,           // the record or complement refused, or the commit: nothing stored
        incertaine,        // the link broke at the commit and the server cannot say yet whether it was stored
        modifieeAilleurs,  // someone else changed the room meanwhile: nothing written
        supprimeeAilleurs, // someone else deleted the room meanwhile: nothing written
    };

    // The lookups of the room type and of the building fill the tab's lists of them (tables), as a save from
    // the form does; a save without a form gives lists of its own.
    RoomSaver(data::KORDataBusOC &dataBus, RoomDisplayGroups &tables);

    // A new room (salle has no number). *numero receives its number as soon as the database gives it (an
    // uncertain save keeps it, to find the room once the server answers again).
    Issue creer(const SaisieSalle &salle, QVariant *numero);
    // The stored room salle.numero, with the removed outlets of salle.prisesSupprimees; ecraser: the user
    // chose to write over the changes someone else made meanwhile.
    Issue modifier(const SaisieSalle &salle, RoomConflictCheck &verification, bool ecraser = false);

    // What the user reads of a save left uncertain by a lost link (data::UncertainSave).
    static data::UncertainSave::Textes incertitudes();

private:
    struct Liste {
        QString suppression;       // the procedure that deletes the stored lines ("" in a creation)
        QString alerteSuppression; // shown when it is refused
        QString insertion;         // the procedure that stores one line
        QString alerteInsertion;   // shown when a line is refused
        QList<QVariantMap> lignes;
    };

    // The room's building and type, as the record needs them.
    RoomSaveArguments::Cles preparer(const SaisieSalle &salle);
    // The reads of the save's start: the chosen type, the chosen building, the room's complement.
    eo::EOPrefetch::Fetch lectureType(const SaisieSalle &salle) const;
    eo::EOPrefetch::Fetch lectureBatiment(const SaisieSalle &salle) const;
    eo::EOPrefetch::Fetch lectureComplement(const QVariant &numero) const;
    // The list's lines in the transaction: in a creation a step each, in a modification one step that
    // deletes the stored lines and inserts the typed ones.
    static void ecrire(data::SaveTransaction &enregistrement, const QVariant &numero, const Liste &liste);
    static Liste materiels(const SaisieSalle &salle, const QVariant &numero);
    static Liste occupations(const SaisieSalle &salle, const QVariant &numero);
    static Issue issueDe(data::SaveTransaction::Issue issue);

    data::KORDataBusOC &m_dataBus;
    RoomDisplayGroups &m_tables;
};

} // namespace rooms
