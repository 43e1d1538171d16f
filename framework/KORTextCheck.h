#pragma once

#include <QString>

namespace framework
{

// The checks of a typed text before a procedure stores it, each answering the sentence of the alert that
// names the field ("" when the text passes). champ names the field as the sentence begins: "Le numéro de
// porte", "Le code du bâtiment". The procedures refuse the same texts with the same sentences, for the
// clients that skip these checks.
class KORTextCheck
{
public:
    KORTextCheck() = delete;

    // A code (building code, door number, unit abbreviation) holds no control character and no invisible
    // format character (a bidi override, a zero-width space, ...): two codes that look alike would differ.
    static QString refusCode(const QString &champ, const QString &texte);
    // Any other text holds no NUL character, which neither database keeps whole.
    static QString refusTexte(const QString &champ, const QString &texte);
};

} // namespace framework
