#pragma once

#include "ChangeHistory.h"

#include <QAbstractTableModel>
#include <QDate>
#include <optional>

namespace history
{

// The changes of a room or a building as the "Historique" window lists them, newest first: date (local
// time), user, field and "old → new", those of one user and one period only when asked.
class HistoryTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Colonne { Date, Utilisateur, Champ, Modification, NombreDeColonnes };

    explicit HistoryTableModel(QObject *parent = nullptr);

    void setChangements(QList<Change> changements, HistoryFieldLabels::References references);
    // Keeps the changes of one user ("" for those recorded without a login; none: every user) made between
    // two local days, both included (an invalid day leaves that end open).
    void filtrer(const std::optional<QString> &utilisateur, const QDate &du, const QDate &au);

    const QList<Change> &changements() const { return m_tous; }
    const QList<Change> &affiches() const { return m_affiches; }
    // The users of the changes, in alphabetical order ("" last for the unknown one).
    QStringList utilisateurs() const;
    // How a user appears in the list: the login, "(inconnu)" for none.
    static QString nomUtilisateur(const QString &utilisateur);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString texte(const Change &changement, int colonne) const;

    QList<Change> m_tous;
    QList<Change> m_affiches;
    HistoryFieldLabels::References m_references;
};

} // namespace history
