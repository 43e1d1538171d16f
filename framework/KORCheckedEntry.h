#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

namespace framework
{

// A numeric entry once checked: the comparison sign it began with ("=" without one, "-1" when the entry
// is refused), its value (an exact decimal or the null marker when formatted, a qint64 otherwise; 0 when
// refused) and the text to put back into the control ("" when refused).
struct KORCheckedEntry {
    QString signe;
    QVariant valeur;
    QString texte;

    static QString refusalSign() { return QStringLiteral("-1"); }
    bool isRefused() const { return signe == refusalSign(); }
    // The three objects in their fixed order: sign, value, text.
    QVariantList toList() const { return {signe, valeur, texte}; }
};

} // namespace framework
