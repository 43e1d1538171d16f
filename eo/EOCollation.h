#pragma once

#include <QStringView>

namespace eo
{

// The order of texts sorted "without regard to case": French order, as a French reader expects it. Letters
// are compared first without their accents and case ("Câblage", "Chaise", "Écran motorisé", "Entrée"), then
// by their accents, then by their case (lower case first); texts that are still equal are ordered by their
// characters' code points, so that the order is total. It is ICU's French collation (through QCollator);
// the embedded database sorts with it as a collation registered on each connection, and the server with
// the same ICU collation, so that a list comes out in the same order from either database and in memory.
//
// A list sorted by several such keys (building, floor, door) compares each key by its letters only first
// (compareLetters: "Rdc" and "RDC" tie, so the door decides), and only rows whose keys all tie are then
// ordered by accents and case, key by key (compare). In SQL each key appears twice: first with the letters'
// collation, then, after all the keys, with the full one.
class EOCollation
{
public:
    EOCollation() = delete;

    // The collations' names in the SQL of both databases (ORDER BY ... COLLATE FRANCAIS_LETTRES, ...
    // COLLATE FRANCAIS).
    static constexpr const char *name = "FRANCAIS";
    static constexpr const char *lettersName = "FRANCAIS_LETTRES";

    // Negative, zero or positive as a sorts before, with or after b; zero only for the same text.
    static int compare(QStringView a, QStringView b);
    // The same on UTF-8 texts, as the embedded database hands them to its collations.
    static int compareUtf8(const char *a, int aBytes, const char *b, int bBytes);

    // The letters alone, accents and case aside (ICU's first level): zero for "Étage" and "etage".
    static int compareLetters(QStringView a, QStringView b);
    static int compareLettersUtf8(const char *a, int aBytes, const char *b, int bBytes);
};

} // namespace eo
