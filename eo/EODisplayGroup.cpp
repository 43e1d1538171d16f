#include "EODisplayGroup.h"

#include "EOEditingContext.h"
#include "EOException.h"
#include "EOValues.h"

#include <algorithm>

namespace eo
{

EODisplayGroup::EODisplayGroup(QObject *parent) : QAbstractTableModel(parent), m_selectionModel(this)
{
    connect(&m_selectionModel, &QItemSelectionModel::selectionChanged, this,
            &EODisplayGroup::onSelectionModelChanged);
}

EODisplayGroup::~EODisplayGroup() = default;

void EODisplayGroup::resetDisplayed(const QList<EORecord> &keepSelected)
{
    beginResetModel();
    QList<EORecord> displayed;
    if (m_qualifier) {
        displayed.reserve(m_allObjects.size());
        for (const EORecord &record : std::as_const(m_allObjects)) {
            if (record && m_qualifier->evaluateWithObject(*record))
                displayed.append(record);
        }
    } else {
        displayed = m_allObjects;
    }
    EOSortOrdering::sortArrayUsingKeyOrderArray(displayed, m_sortOrderings);
    m_displayedObjects = std::move(displayed);
    m_selection.clear();
    endResetModel();

    QList<int> indexes;
    for (const EORecord &record : keepSelected) {
        const qsizetype index = m_displayedObjects.indexOf(record);
        if (index >= 0)
            indexes.append(int(index));
    }
    applySelection(indexes, true);
}

QStringList EODisplayGroup::keyPathsOf(const QList<Column> &columns)
{
    QStringList keyPaths;
    for (const Column &column : columns) {
        if (column.key.contains(QLatin1Char('.')) && !keyPaths.contains(column.key))
            keyPaths.append(column.key);
    }
    return keyPaths;
}

void EODisplayGroup::fetchShownKeyPaths(const QList<EORecord> &records, const QList<Column> &columns)
{
    const QStringList keyPaths = keyPathsOf(columns);
    if (keyPaths.isEmpty())
        return;
    QList<EOEditingContext *> contexts;
    for (const EORecord &record : records) {
        EOEditingContext *context = record ? record->editingContext() : nullptr;
        if (context && (contexts.isEmpty() || contexts.last() != context) && !contexts.contains(context))
            contexts.append(context);
    }
    for (EOEditingContext *context : std::as_const(contexts))
        context->prefetchKeyPaths(records, keyPaths);
}

void EODisplayGroup::setObjectArray(const QList<EORecord> &objects)
{
    // Before anything changes: a failure to read them leaves the group as it was.
    fetchShownKeyPaths(objects, m_columns);
    const QList<EORecord> previouslySelected = selectedObjects();
    m_allObjects = objects;
    if (m_selectsFirst) {
        resetDisplayed({});
        if (!m_displayedObjects.isEmpty())
            applySelection({0}, true);
    } else {
        resetDisplayed(previouslySelected);
    }
    // A selection that was emptied by the new rows is a change too.
    if (m_selection.isEmpty() && !previouslySelected.isEmpty())
        notifySelectionChange();
}

void EODisplayGroup::updateDisplayedObjects()
{
    fetchShownKeyPaths(m_allObjects, m_columns);
    resetDisplayed(selectedObjects());
}

void EODisplayGroup::redisplay()
{
    // Records refreshed in place may lead elsewhere now.
    fetchShownKeyPaths(m_displayedObjects, m_columns);
    if (!m_displayedObjects.isEmpty() && !m_columns.isEmpty())
        emit dataChanged(index(0, 0), index(int(m_displayedObjects.size()) - 1, int(m_columns.size()) - 1));
}

void EODisplayGroup::insertObjectAtIndex(const EORecord &record, int index)
{
    fetchShownKeyPaths({record}, m_columns);
    const int at = std::clamp(index, 0, int(m_displayedObjects.size()));
    // Keep the same place among all the records as among the displayed ones.
    qsizetype allIndex = m_allObjects.size();
    if (at < m_displayedObjects.size())
        allIndex = m_allObjects.indexOf(m_displayedObjects.at(at));
    beginInsertRows(QModelIndex(), at, at);
    m_allObjects.insert(allIndex < 0 ? m_allObjects.size() : allIndex, record);
    m_displayedObjects.insert(at, record);
    endInsertRows();
    // The selected rows moved down with the insertion; without this, inserting at the selected row looked
    // like no change and the delegate was not told that the new record is now the selected one.
    for (int &row : m_selection) {
        if (row >= at)
            ++row;
    }
    applySelection({at}, true);
}

bool EODisplayGroup::deleteSelection()
{
    if (m_selection.isEmpty())
        return false;
    const QList<int> indexes = m_selection;
    const int first = indexes.first();
    m_selection.clear();
    // The selection model drops the removed rows and signals it; those signals echo this removal, not a
    // choice of the user, and must not reach the delegate as extra selection changes.
    m_syncing = true;
    for (auto it = indexes.crbegin(); it != indexes.crend(); ++it) {
        const int row = *it;
        beginRemoveRows(QModelIndex(), row, row);
        const EORecord record = m_displayedObjects.takeAt(row);
        m_allObjects.removeOne(record);
        endRemoveRows();
    }
    m_syncing = false;
    QList<int> next;
    if (!m_displayedObjects.isEmpty())
        next.append(std::min(first, int(m_displayedObjects.size()) - 1));
    applySelection(next, true);
    if (next.isEmpty())
        notifySelectionChange();
    return true;
}

bool EODisplayGroup::setSelectionIndexes(const QList<int> &indexes)
{
    for (int index : indexes) {
        if (index < 0 || index >= m_displayedObjects.size())
            return false;
    }
    applySelection(indexes, true);
    return true;
}

void EODisplayGroup::applySelection(QList<int> indexes, bool notify)
{
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    const bool changed = indexes != m_selection;
    m_selection = indexes;
    syncSelectionModel();
    if (changed && notify)
        notifySelectionChange();
}

void EODisplayGroup::notifySelectionChange()
{
    // The signal and the delegate always tell the same changes.
    emit selectionDidChange();
    if (m_delegate)
        m_delegate->displayGroupDidChangeSelection(this);
}

void EODisplayGroup::syncSelectionModel()
{
    m_syncing = true;
    QItemSelection selection;
    const int lastColumn = std::max(0, int(m_columns.size()) - 1);
    for (int row : std::as_const(m_selection))
        selection.select(index(row, 0), index(row, lastColumn));
    m_selectionModel.select(selection, QItemSelectionModel::ClearAndSelect);
    if (!m_selection.isEmpty())
        m_selectionModel.setCurrentIndex(index(m_selection.first(), 0), QItemSelectionModel::NoUpdate);
    m_syncing = false;
}

void EODisplayGroup::onSelectionModelChanged()
{
    if (m_syncing)
        return;
    QList<int> rows;
    const QModelIndexList selected = m_selectionModel.selectedIndexes();
    for (const QModelIndex &index : selected)
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    applySelection(rows, true);
}

QList<EORecord> EODisplayGroup::selectedObjects() const
{
    QList<EORecord> objects;
    for (int index : m_selection)
        objects.append(m_displayedObjects.at(index));
    return objects;
}

EORecord EODisplayGroup::selectedObject() const
{
    return m_selection.isEmpty() ? EORecord() : m_displayedObjects.at(m_selection.first());
}

bool EODisplayGroup::selectObject(const EORecord &record)
{
    const qsizetype index = m_displayedObjects.indexOf(record);
    if (index < 0)
        return false;
    applySelection({int(index)}, true);
    return true;
}

void EODisplayGroup::setColumns(const QList<Column> &columns)
{
    fetchShownKeyPaths(m_allObjects, columns);
    beginResetModel();
    m_columns = columns;
    endResetModel();
    syncSelectionModel();
}

void EODisplayGroup::addColumn(const QString &key, const QString &title, Qt::Alignment alignment)
{
    QList<Column> columns = m_columns;
    columns.append(Column{key, title, alignment});
    setColumns(columns);
}

int EODisplayGroup::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_displayedObjects.size());
}

int EODisplayGroup::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant EODisplayGroup::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_displayedObjects.size() || index.column() >= m_columns.size())
        return {};
    const Column &column = m_columns.at(index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(column.alignment);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const EORecord &record = m_displayedObjects.at(index.row());
    try {
        // Drawing never reaches the database: what the key paths lead to was read with the rows.
        return EOValues::displayText(record->heldValueForKeyPath(column.key));
    } catch (const EOException &) {
        // A column naming a key the rows do not have shows nothing rather than breaking the view.
        return QString();
    }
}

QVariant EODisplayGroup::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_columns.size())
        return m_columns.at(section).title;
    return QAbstractTableModel::headerData(section, orientation, role);
}

void EODisplayGroup::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_sortOrderings = {EOSortOrdering(m_columns.at(column).key,
                                      order == Qt::AscendingOrder
                                          ? EOSortOrdering::Selector::CompareCaseInsensitiveAscending
                                          : EOSortOrdering::Selector::CompareCaseInsensitiveDescending)};
    updateDisplayedObjects();
}

} // namespace eo
