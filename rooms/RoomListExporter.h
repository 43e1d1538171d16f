#pragma once

#include "EOGenericRecord.h"
#include "TableDocument.h"
#include "TableExport.h"

#include <QDateTime>
#include <QList>
#include <QString>

class QTableView;
class QWidget;

namespace data
{
class KORDataBusOC;
}

namespace eo
{
class EODisplayGroup;
}

namespace platform
{
class UserDefaults;
}

namespace rooms
{

class RoomListCriteria;

// "Exporter la liste…" of the room result window: the rooms listed, with the columns shown in the order
// shown (or every column) and in the order the user sorted them, to an XLSX workbook or a CSV file chosen
// in the save panel. The file is in place whole or not at all; a failure is told in French. The folder of
// the last export is proposed next time.
class RoomListExporter
{
public:
    struct Options {
        spreadsheet::TableFormat format = spreadsheet::TableFormat::Xlsx;
        bool toutesLesColonnes = false;
    };

    // The list (its group and the view that shows it) and the criteria must outlive the exporter.
    RoomListExporter(data::KORDataBusOC &dataBus, eo::EODisplayGroup &salles, const QTableView &vue,
                     const RoomListCriteria &criteres);

    // Where the folder of the last export is kept; none keeps nothing.
    void setUserDefaults(platform::UserDefaults *defaults) { m_defaults = defaults; }

    // The action: the save panel, then the file, with a progress dialog (over parent) whose "Annuler"
    // stops the export and leaves no file.
    void exporterListe(QWidget *parent);
    // The file itself, without panel nor dialog.
    spreadsheet::TableWriteResult exporter(const QString &chemin, const Options &options,
                                           const spreadsheet::TableProgress &progress = {});

    // The rooms in the order the view shows them.
    QList<eo::EORecord> sallesAffichees() const;
    // The folder the save panel opens in: the last one used while it exists, else the home folder.
    QString dossierPropose() const;
    // "Bâtiment, Étage, Porte" (the search's order), or the column the user sorted by.
    QString ordre() const;

    // The user default that keeps the folder of the last export.
    static const QString cleDossier;

private:
    data::KORDataBusOC &m_dataBus;
    eo::EODisplayGroup &m_salles;
    const QTableView &m_vue;
    const RoomListCriteria &m_criteres;
    platform::UserDefaults *m_defaults = nullptr;
};

} // namespace rooms
