#pragma once

#include "RoomEtat.h"

#include <QString>
#include <QStringList>

namespace rooms
{

// The check of a numeric field of the room form when the user leaves it (control:isValidObject:), and of
// each numeric criterion when a search starts: digits and one point for the decimal fields, digits only for
// the counts, and a leading "<" or ">" only while search criteria are typed. The value must fit the
// column behind the field (a count of an INTEGER column at most 2147483647, a count kept as five characters
// at most 99999, a decimal fewer than 309 digits before its point), so that no database is asked to compare
// or store a number it cannot hold. An accepted entry comes back as the field shows it: decimals with two
// places and their sign ("12.5" becomes "12.50", ">3" stays ">3"); an empty field stays empty.
class RoomFieldValidator
{
public:
    struct Resultat {
        bool accepte = false;
        QString texte; // what the field shows once left ("" when refused)
    };

    RoomFieldValidator() = delete;

    // The numeric fields of the form, by outlet name.
    static const QStringList &champsNumeriques();
    // The fields shown with two decimals: the twelve percentages and the three surfaces and heights.
    static bool estDecimal(const QString &champ);
    // "<>" while search criteria are typed, "" in every other mode.
    static QString signesAutorises(Etat etat);
    // The smallest value the column behind the field cannot hold (infinity for the percentages, whose limit
    // of 100 the search and the save check with their own message).
    static double borne(const QString &champ);
    static Resultat verifier(const QString &champ, const QString &texte, Etat etat);
};

} // namespace rooms
