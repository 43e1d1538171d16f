#pragma once

#include "EODisplayGroupDelegate.h"
#include "EOEditingContext.h" // complete type for the QPointer accessors below
#include "EOGenericRecord.h"
#include "EOQualifier.h"
#include "EOSortOrdering.h"

#include <QAbstractTableModel>
#include <QItemSelectionModel>
#include <QList>
#include <QPointer>

namespace eo
{

// The ordered records behind one list of a window, with its selection, sort orderings, qualifier and
// delegate. It is also the Qt model of that list: columns are declared by the list's owner, and its selection
// model is shared with the view, so a click in the view and a selection set by the program are the same
// thing. A column may show a key path ("local.appellation"): what it leads to is read for all the records
// when they come into the group (a few fetches, not one per row), so that drawing the list never runs SQL.
class EODisplayGroup : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Column {
        QString key; // a key path of the records
        QString title;
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    };

    explicit EODisplayGroup(QObject *parent = nullptr);
    ~EODisplayGroup() override;

    // Records and display
    const QList<EORecord> &allObjects() const { return m_allObjects; }
    const QList<EORecord> &displayedObjects() const { return m_displayedObjects; }
    // Replaces the records; the displayed ones follow the qualifier and the sort orderings; the first row is
    // selected when selectsFirstObjectAfterFetch is on, else the selected records that remain stay selected.
    void setObjectArray(const QList<EORecord> &objects);
    // Inserts a record at a displayed index (clamped) and selects it.
    void insertObjectAtIndex(const EORecord &record, int index);
    // Removes the selected records from the group (not from the database); the row that takes the place of
    // the first removed one is selected, if any.
    bool deleteSelection();
    void updateDisplayedObjects();
    // Tells the views to draw the records again (values may have changed in place).
    void redisplay();

    // Selection
    QList<int> selectionIndexes() const { return m_selection; }
    bool setSelectionIndexes(const QList<int> &indexes);
    QList<EORecord> selectedObjects() const;
    EORecord selectedObject() const;
    bool selectObject(const EORecord &record);
    bool clearSelection() { return setSelectionIndexes({}); }
    QItemSelectionModel *selectionModel() { return &m_selectionModel; }

    // Settings
    bool selectsFirstObjectAfterFetch() const { return m_selectsFirst; }
    void setSelectsFirstObjectAfterFetch(bool on) { m_selectsFirst = on; }
    const QList<EOSortOrdering> &sortOrderings() const { return m_sortOrderings; }
    void setSortOrderings(const QList<EOSortOrdering> &orderings) { m_sortOrderings = orderings; }
    const EOQualifierPtr &qualifier() const { return m_qualifier; }
    void setQualifier(const EOQualifierPtr &qualifier) { m_qualifier = qualifier; }
    EODisplayGroupDelegate *delegate() const { return m_delegate; }
    void setDelegate(EODisplayGroupDelegate *delegate) { m_delegate = delegate; }
    EOEditingContext *editingContext() const { return m_editingContext.data(); }
    void setEditingContext(EOEditingContext *context) { m_editingContext = context; }

    // Columns shown by the views
    void setColumns(const QList<Column> &columns);
    void addColumn(const QString &key, const QString &title,
                   Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
    const QList<Column> &columns() const { return m_columns; }
    // The key paths the columns follow through relationships ("local.appellation"), read with the rows.
    QStringList shownKeyPaths() const { return keyPathsOf(m_columns); }

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Clicking a column header sorts by that column without regard to case, keeping the selected records.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    void selectionDidChange();

private:
    static QStringList keyPathsOf(const QList<Column> &columns);
    static void fetchShownKeyPaths(const QList<EORecord> &records, const QList<Column> &columns);
    void applySelection(QList<int> indexes, bool notify);
    void notifySelectionChange();
    void syncSelectionModel();
    void onSelectionModelChanged();
    void resetDisplayed(const QList<EORecord> &keepSelected);

    QList<EORecord> m_allObjects;
    QList<EORecord> m_displayedObjects;
    QList<int> m_selection;
    QItemSelectionModel m_selectionModel;
    bool m_syncing = false;
    bool m_selectsFirst = false;
    QList<EOSortOrdering> m_sortOrderings;
    EOQualifierPtr m_qualifier;
    EODisplayGroupDelegate *m_delegate = nullptr;
    QPointer<EOEditingContext> m_editingContext;
    QList<Column> m_columns;
};

} // namespace eo
