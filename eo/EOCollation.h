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
class EOCollation
{
public:
    EOCollation() = delete;

    // The collation's name in the SQL of both databases (ORDER BY ... COLLATE FRANCAIS).
    static constexpr const char *name = "FRANCAIS";

    // Negative, zero or positive as a sorts before, with or after b; zero only for the same text.
    static int compare(QStringView a, QStringView b);
    // The same on UTF-8 texts, as the embedded database hands them to its collations.
    static int compareUtf8(const char *a, int aBytes, const char *b, int bBytes);
};

} // namespace eo
