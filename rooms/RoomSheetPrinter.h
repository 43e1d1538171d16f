#pragma once

#include "EOGenericRecord.h"

#include <QDateTime>
#include <QList>
#include <QString>

class QWidget;

namespace data
{
class KORDataBusOC;
}

namespace rooms
{

// "Imprimer la fiche": the sheet of each room given, one after the other in one PDF document (template
// FicheSalle), written to the temporary folder and opened with the desktop's viewer. A print that lasts
// longer than a second shows a progress dialog whose "Annuler" stops it.
class RoomSheetPrinter
{
public:
    explicit RoomSheetPrinter(data::KORDataBusOC &dataBus);

    // The path of the document opened; "" when nothing was printed (cancelled, too many rooms, or a
    // failure told in an alert).
    QString imprimer(const QList<eo::EORecord> &salles, QWidget *parent = nullptr);

    // "fiche_salle-<building>-<door>_<yyyy-MM-dd_HH-mm-ss>.pdf" for one room, "fiches_salles-<count>_..."
    // for several; the names' characters that file systems refuse become "_".
    static QString nomFichier(const QList<eo::EORecord> &salles, const QDateTime &moment);
    static const QString modele; // FicheSalle
    // The sheets one print makes at most: a document of tens of thousands of pages helps no one, and its
    // making would take the machine's memory.
    static constexpr qsizetype fichesAuPlus = 500;

private:
    data::KORDataBusOC &m_dataBus;
};

} // namespace rooms
