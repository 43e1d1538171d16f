#pragma once

#include "RoomFilter.h"
#include "TableColumn.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QVariant>

namespace statistics
{

// One view's table: titled columns, one line per building, type or department with the rooms it stands
// for, and the totals line last. Each cell holds the text shown (French figures) and, in the edit role, the
// value a spreadsheet gets (a whole number, an exact decimal text).
class StatisticsTable : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Cellule {
        QString affichage;
        QVariant valeur;
    };
    struct Ligne {
        QList<Cellule> cellules;
        RoomFilter filtre; // none for the totals line
        bool total = false;
    };

    explicit StatisticsTable(QObject *parent = nullptr);

    // The view's name ("Par bâtiment"), its columns, its lines and the note under it.
    void remplir(const QString &titre, const QList<spreadsheet::TableColumn> &colonnes,
                 const QList<Ligne> &lignes, const QString &note);
    const QString &titre() const { return m_titre; }
    const QString &note() const { return m_note; }
    const QList<spreadsheet::TableColumn> &colonnes() const { return m_colonnes; }
    const QList<Ligne> &lignes() const { return m_lignes; }
    // The rooms behind a line (none for the totals line, or out of range).
    RoomFilter filtre(int ligne) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString m_titre;
    QString m_note;
    QList<spreadsheet::TableColumn> m_colonnes;
    QList<Ligne> m_lignes;
};

} // namespace statistics
