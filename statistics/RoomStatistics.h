#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace statistics
{

// The figures of a set of rooms, added up by the database. Surfaces are whole numbers of hundredths of a
// square metre (surfaceScale); a surface weighted by percentages, of millionths (weightedScale), so that
// every sum is exact.
struct RoomStatistics {
    static constexpr int surfaceScale = 2;
    static constexpr int weightedScale = 6;

    // One building, one room type: what its rooms add up to.
    struct Groupe {
        QVariant cle;    // the building's code, the type's number; none for rooms without one
        QString libelle; // its name
        qint64 salles = 0;
        qint64 places = 0;
        qint64 surface = 0;       // hundredths of m²
        qint64 surfaceVitree = 0; // hundredths of m²
        qint64 sansSurface = 0;   // rooms whose surface is empty
    };
    // One building's surface by use.
    struct Usages {
        QVariant cle;
        QString libelle;
        qint64 salles = 0;
        qint64 sansSurface = 0;
        qint64 surface = 0;        // hundredths of m²
        QList<qint64> parUsage;    // millionths of m², one per use of UseKinds
        qint64 nonReparti() const; // millionths of m²: what the percentages leave over
    };
    // One department's surface, weighted by its occupation lines.
    struct Departement {
        QString code;
        QString nomCourt;
        QString nomLong;
        qint64 salles = 0;  // rooms with at least one line for it
        qint64 surface = 0; // millionths of m²
    };

    QList<Groupe> parBatiment;         // by surface, largest first
    QList<Groupe> parType;             // by surface, largest first
    QList<Usages> parUsage;            // by surface, largest first
    QList<Departement> parDepartement; // by surface, largest first
    // The surface no occupation line claims: rooms without lines, and the rest of rooms whose lines add up to
    // less than 100 %.
    qint64 nonAffecte = 0;         // millionths of m²
    qint64 sallesNonAffectees = 0; // rooms with an unclaimed share
    qint64 sallesSansOccupation = 0;

    // The whole selection.
    Groupe total() const;
    Usages totalUsages() const;
};

} // namespace statistics
