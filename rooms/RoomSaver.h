#pragma once

#include "EOGenericRecord.h"
#include "EOPrefetch.h"
#include "RoomSaveArguments.h"

#include <QString>
#include <QVariant>
#include <QVariantList>

namespace Ui
{
class Creation;
}

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

class RoomConflictCheck;
class RoomTransactionBatch;
struct RoomDisplayGroups;

// Writes the room of the form through the stored procedures, once the form's checks have passed:
// - the room record and its department complement in one transaction, so that a room never exists
//   without its complement and a refused save can be tried again without making a second room;
// - the equipment lines, then the occupation lines, each list in one transaction of its own (in a
//   modification the stored lines are deleted first): a list is stored wholly as typed or stays wholly as
//   it was;
// - the outlets one by one: new ones inserted, stored ones updated, removed ones deleted.
// A refused sub-list or outlet is reported by its own alert and the save goes on with the next one. The
// transactions after the record's are sent together, and the record's last calls with its commit: on a
// server far away a save costs a few round trips, not one per call.
// A modification first checks, in the record's transaction, that nobody changed or deleted the room since
// the modification began, and holds the room until its last transaction (RoomConflictCheck).
class RoomSaver
{
public:
    // What became of a modification.
    enum class Issue {
        enregistree,       // stored
        refusee,           // the record or complement refused: the stored room is unchanged
        modifieeAilleurs,  // someone else changed the room meanwhile: nothing written
        supprimeeAilleurs, // someone else deleted the room meanwhile: nothing written
    };

    RoomSaver(data::KORDataBusOC &dataBus, Ui::Creation &ui, RoomDisplayGroups &tables);

    // The new room's number; none when its record or complement was refused (nothing is stored then).
    QVariant creer();
    // ecraser: the user chose to write over the changes someone else made meanwhile.
    Issue modifier(const eo::EORecord &salle, const QVariantList &prisesSupprimees,
                   RoomConflictCheck &verification, bool ecraser = false);

private:
    struct Liste {
        QString suppression;       // the procedure that deletes the stored lines ("" in a creation)
        QString alerteSuppression; // shown when it is refused
        QString insertion;         // the procedure that stores one line
        QString alerteInsertion;   // shown when a line is refused
        QList<QVariantMap> lignes;
    };

    // The room's custodian, its building and type, as the record needs them.
    RoomSaveArguments::Cles preparer(bool creation);
    // The reads of the save's start: the chosen type, the chosen building, the room's complement.
    eo::EOPrefetch::Fetch lectureType() const;
    eo::EOPrefetch::Fetch lectureBatiment() const;
    eo::EOPrefetch::Fetch lectureComplement(const QVariant &numero) const;
    void remplacer(RoomTransactionBatch &suite, const QVariant &numero, const Liste &liste);
    Liste materiels(const QVariant &numero, bool creation) const;
    Liste occupations(const QVariant &numero, bool creation) const;
    void appelSeul(RoomTransactionBatch &suite, const QString &procedure, const QVariantMap &arguments,
                   const QString &alerte);

    data::KORDataBusOC &m_dataBus;
    Ui::Creation &ui;
    RoomDisplayGroups &m_tables;
};

} // namespace rooms
