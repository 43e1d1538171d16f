#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace rooms
{

// The criteria of the search that produced the room list, kept for its export: the list's name (the
// spreadsheet's sheet and the file proposed), and the rows of the "Critères" sheet.
class RoomListCriteria
{
public:
    struct Critere {
        QString champ;      // the form control, by outlet name
        QString libelle;    // "Bâtiment (nom contenant)"
        QString valeur;     // as typed or chosen: ">20", "SCIENCES", "Oui"
        bool coche = false; // a check box, named alone in the list's name
    };

    // Keeps the criteria of a search: the form's values by outlet name and the fields that added a
    // condition, in the order the search read them.
    void retenir(const QHash<QString, QVariant> &valeurs, const QStringList &champsRetenus);
    void oublier() { m_criteres.clear(); }
    const QList<Critere> &criteres() const { return m_criteres; }

    // "Toutes les salles" without criteria, else "Salles - " and the criteria in short
    // ("Salles - Bâtiment SCIENCES, Places >20").
    QString nom() const;
    // The name as a file name, without the characters that file systems refuse.
    QString nomDeFichier() const;
    // The rows of the criteria sheet: each criterion, then the number of rooms, the order of the list and
    // the time of the export.
    QList<QStringList> lignes(qsizetype salles, const QString &ordre, const QDateTime &moment) const;

    // What the criterion of a field is called in the sheet, and in the list's name.
    static QString libelle(const QString &champ);
    static QString libelleCourt(const QString &champ);

private:
    QList<Critere> m_criteres;
};

} // namespace rooms
