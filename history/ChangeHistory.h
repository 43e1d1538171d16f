#pragma once

#include "HistoryFieldLabels.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace data
{
class KORDataBusOC;
}

namespace history
{

// One changed field, as the database's triggers recorded it.
struct Change {
    qint64 ordre = 0;       // the row's number: a later change has a greater one
    QDateTime date;         // UTC
    qint64 transaction = 0; // the changes of one transaction share it
    QString utilisateur;    // the login the application identified ("" when none was given)
    QString role;           // the database role on the server ("" on the embedded database)
    QString table;          // SALLES, SALLE_TAV, DEPOSITAIRE, PRISES, DETAIL_SALLE, DETAIL_POURCENTAGE,
                            // LOCAL, ADRESSE
    QString ligne;          // the line of a sub-list ("" for the record itself)
    QString champ;          // the column
    QString ancienne;       // "" for none
    QString nouvelle;       // "" for none
    QString operation;      // création, modification, suppression
};

// Reads the change history that the database keeps (table HISTORIQUE), newest first (the fields of one
// transaction in the order they were written), through the data bus's own connection. A database made before
// the history was added has no such table: the reads then throw an eo::EOException whose message says to
// upgrade the database.
class ChangeHistory
{
public:
    ChangeHistory() = delete;

    // The changes of a room, newer than the row numbered apres (0: all).
    static QList<Change> deLaSalle(data::KORDataBusOC &dataBus, qint64 numero, qint64 apres = 0);
    // The changes of a building under its present code and the codes it had before.
    static QList<Change> duBatiment(data::KORDataBusOC &dataBus, const QString &code, qint64 apres = 0);
    // The building that left a code (a new code, or its deletion) after the row numbered apres.
    static QList<Change> codeQuitte(data::KORDataBusOC &dataBus, const QString &code, qint64 apres);
    // The number of the room's latest change (0 when none), a mark for the changes made after it.
    static qint64 dernierDeLaSalle(data::KORDataBusOC &dataBus, qint64 numero);
    static qint64 dernierDuBatiment(data::KORDataBusOC &dataBus, const QString &code);
    // The labels of the reference lists that changed values name.
    static HistoryFieldLabels::References references(data::KORDataBusOC &dataBus);

    // A date as the history stores it ("2026-12-07 11:49:10.123", UTC, fraction optional).
    static QDateTime dateUtc(const QString &texte);
    // The changes of the most recent transaction among them (they come newest first).
    static QList<Change> derniereTransaction(const QList<Change> &changements);
    // "dupont le 07/12/2026 à 14:32" (local time), or "un autre utilisateur le ..." when the login is not
    // known.
    static QString auteur(const Change &changement);
    // The lines of a message that tells who changed what and when, grouped by transaction, newest first,
    // at most limite changed fields (then "… et N autres changements").
    static QStringList resume(const QList<Change> &changements,
                              const HistoryFieldLabels::References &references, int limite = 12);

private:
    static QList<Change> lire(data::KORDataBusOC &dataBus, const QString &sql, const QVariantList &valeurs);
};

} // namespace history
