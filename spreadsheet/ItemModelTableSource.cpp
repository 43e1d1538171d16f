#include "ItemModelTableSource.h"

namespace spreadsheet
{

ItemModelTableSource::ItemModelTableSource(const QAbstractItemModel &model, const QList<int> &sections,
                                           int role)
    : m_model(model), m_sections(sections), m_role(role)
{
    if (m_sections.isEmpty()) {
        for (int section = 0; section < model.columnCount(); ++section)
            m_sections.append(section);
    }
    for (const int section : std::as_const(m_sections))
        m_columns.append({model.headerData(section, Qt::Horizontal, Qt::DisplayRole).toString()});
}

void ItemModelTableSource::setColumnKind(qsizetype column, ColumnKind kind, int decimals)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].kind = kind;
    m_columns[column].decimals = decimals;
}

qsizetype ItemModelTableSource::rowCount() const
{
    return m_model.rowCount();
}

void ItemModelTableSource::readRow(qsizetype row, QVariantList &values) const
{
    values.clear();
    for (const int section : m_sections)
        values.append(m_model.index(int(row), section).data(m_role));
}

} // namespace spreadsheet
