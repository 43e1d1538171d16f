#include "HistoryTableModel.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>

namespace history
{

HistoryTableModel::HistoryTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void HistoryTableModel::setChangements(QList<Change> changements, HistoryFieldLabels::References references)
{
    beginResetModel();
    m_tous = std::move(changements);
    m_affiches = m_tous;
    m_references = std::move(references);
    endResetModel();
}

void HistoryTableModel::filtrer(const std::optional<QString> &utilisateur, const QDate &du, const QDate &au)
{
    beginResetModel();
    m_affiches.clear();
    for (const Change &c : std::as_const(m_tous)) {
        const QDate jour = c.date.toLocalTime().date();
        if (utilisateur && c.utilisateur != *utilisateur)
            continue;
        if ((du.isValid() && jour < du) || (au.isValid() && jour > au))
            continue;
        m_affiches.append(c);
    }
    endResetModel();
}

QStringList HistoryTableModel::utilisateurs() const
{
    QStringList noms;
    bool inconnu = false;
    for (const Change &c : m_tous) {
        if (c.utilisateur.isEmpty())
            inconnu = true;
        else if (!noms.contains(c.utilisateur))
            noms.append(c.utilisateur);
    }
    QCollator ordre(QLocale(QLocale::French, QLocale::France));
    ordre.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(noms.begin(), noms.end(), ordre);
    if (inconnu)
        noms.append(QString());
    return noms;
}

QString HistoryTableModel::nomUtilisateur(const QString &utilisateur)
{
    return utilisateur.isEmpty() ? QStringLiteral("(inconnu)") : utilisateur;
}

int HistoryTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_affiches.size());
}

int HistoryTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : NombreDeColonnes;
}

QString HistoryTableModel::texte(const Change &c, int colonne) const
{
    switch (colonne) {
    case Date:
        return QLocale(QLocale::French, QLocale::France)
            .toString(c.date.toLocalTime(), QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    case Utilisateur:
        // On the server, a change made outside the application (psql) names the database role.
        return !c.role.isEmpty() && c.role != c.utilisateur
                   ? QStringLiteral("%1 (rôle %2)").arg(nomUtilisateur(c.utilisateur), c.role)
                   : nomUtilisateur(c.utilisateur);
    case Champ:
        return HistoryFieldLabels::champ(c.table, c.champ, c.ligne, m_references);
    case Modification:
        return HistoryFieldLabels::changement(
            HistoryFieldLabels::valeur(c.table, c.champ, c.ancienne, m_references),
            HistoryFieldLabels::valeur(c.table, c.champ, c.nouvelle, m_references));
    default:
        return {};
    }
}

QVariant HistoryTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_affiches.size())
        return {};
    const Change &c = m_affiches.at(index.row());
    if (role == Qt::DisplayRole)
        return texte(c, index.column());
    if (role == Qt::ToolTipRole && index.column() == Modification)
        return QStringLiteral("%1 (%2)").arg(texte(c, Modification), c.operation);
    return {};
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Date:
        return QStringLiteral("Date");
    case Utilisateur:
        return QStringLiteral("Utilisateur");
    case Champ:
        return QStringLiteral("Champ");
    case Modification:
        return QStringLiteral("Ancienne → nouvelle valeur");
    default:
        return {};
    }
}

} // namespace history
