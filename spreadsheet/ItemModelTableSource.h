#pragma once

#include "TableSource.h"

#include <QAbstractItemModel>
#include <QList>

namespace spreadsheet
{

// The rows of a Qt item model (a list of a window, a table of figures) as a table to export: the columns
// are sections of the model, titled by its horizontal header, read in the given role.
class ItemModelTableSource : public TableSource
{
public:
    // sections: the model's columns to export, in that order (all of them when empty).
    explicit ItemModelTableSource(const QAbstractItemModel &model, const QList<int> &sections = {},
                                  int role = Qt::DisplayRole);

    // A column (by its place in the table) holding numbers.
    void setColumnKind(qsizetype column, ColumnKind kind, int decimals = 2);

    const QList<TableColumn> &columns() const override { return m_columns; }
    qsizetype rowCount() const override;
    void readRow(qsizetype row, QVariantList &values) const override;

private:
    const QAbstractItemModel &m_model;
    QList<int> m_sections;
    QList<TableColumn> m_columns;
    int m_role;
};

} // namespace spreadsheet
