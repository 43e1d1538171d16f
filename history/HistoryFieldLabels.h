#pragma once

#include <QHash>
#include <QString>

namespace history
{

// How the change history speaks to the user: the French label of every field the database records (the
// table and column as the history stores them, "SALLES" and "SAL_ETAGE" → "Étage"), the line of a sub-list
// a change belongs to, and a stored value as the room form shows it. The one place where these labels are
// kept.
class HistoryFieldLabels
{
public:
    // Labels of the reference lists that the stored keys name (room types, units, equipment types, kinds
    // of use, sites), read from the database by ChangeHistory::references().
    struct References {
        QHash<QString, QString> typesSalle;      // TSAL_NUMERO → label
        QHash<QString, QString> unites;          // UNI_ORDRE → abbreviation
        QHash<QString, QString> typesMateriel;   // TAV_TYPE → label
        QHash<QString, QString> typesOccupation; // TOC_ORDRE → label
        QHash<QString, QString> sites;           // C_IMPLANTATION → label
    };

    HistoryFieldLabels() = delete;

    // "Étage", "Prise n° 12 : code", "Matériel « Chaise » : quantité", "Adresse : code postal"; a field the
    // list does not know keeps its column name, so that no change is ever hidden.
    static QString champ(const QString &table, const QString &colonne, const QString &ligne,
                         const References &references = {});
    // A value as the user reads it: "oui" / "non" for a flag, the label behind a key, the kind of an outlet
    // in words, the country and kind of a building's address by name ("France", "Bâtiment"), "" for none.
    static QString valeur(const QString &table, const QString &colonne, const QString &texte,
                          const References &references = {});
    // "ancienne → nouvelle", with "(vide)" for a missing side.
    static QString changement(const QString &ancienne, const QString &nouvelle);
};

} // namespace history
