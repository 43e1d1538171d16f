// The display group behind the lists of the windows: a well-behaved Qt model whatever is done to it, its
// selection rules, and a delegate told of every selection change once, wherever the change comes from.

#include "EODisplayGroup.h"
#include "EODisplayGroupDelegate.h"
#include "EONull.h"
#include "EOQualifier.h"
#include "EOTestModel.h"
#include "EOTestSupport.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace eo;
using Selector = EOSortOrdering::Selector;

namespace
{

class CountingDelegate : public EODisplayGroupDelegate
{
public:
    void displayGroupDidChangeSelection(EODisplayGroup *group) override
    {
        ++selectionChanges;
        seen.append(group->selectionIndexes());
    }
    void displayGroupDidFetchObjects(EODisplayGroup *, const QList<EORecord> &) override { ++fetches; }

    int selectionChanges = 0;
    int fetches = 0;
    QList<QList<int>> seen;
};

EORecord line(const QString &name, int number)
{
    return makeLine({{QStringLiteral("nom"), name}, {QStringLiteral("num"), number}});
}

QList<EORecord> lines(const QStringList &names)
{
    QList<EORecord> records;
    for (qsizetype i = 0; i < names.size(); ++i)
        records.append(line(names.at(i), int(i)));
    return records;
}

QStringList namesOf(const QList<EORecord> &records)
{
    QStringList names;
    for (const EORecord &record : records)
        names.append(record->valueForKey(QStringLiteral("nom")).toString());
    return names;
}

// The rows selected in the selection model that the views share.
QList<int> rowsSelectedInModel(EODisplayGroup &group)
{
    QList<int> rows;
    for (const QModelIndex &index : group.selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

class TestEODisplayGroup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void selectsFirstAfterSettingObjectsWhenOn();
    void keepsSelectedRecordsWhenOff();
    void settingObjectsDoesNotReportAFetch();
    void setSelectionIndexes();
    void insertSelectsTheInsertedRow_data();
    void insertSelectsTheInsertedRow();
    void insertAmongFilteredRows();
    void deleteSelectionSelectsTheRowTakingThePlace_data();
    void deleteSelectionSelectsTheRowTakingThePlace();
    void deleteSelectionWithoutSelection();
    void selectionMadeThroughTheSelectionModel();
    void displayedObjectsFollowQualifierAndSort();
    void sortByColumnKeepsTheSelectedRecord();
    void dataAndHeaders();

private:
    void expectSelection(const QList<int> &rows, int delegateCalls);

    std::unique_ptr<EODisplayGroup> m_group;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
    std::unique_ptr<QSignalSpy> m_spy;
    CountingDelegate m_delegate;
};

void TestEODisplayGroup::init()
{
    m_delegate = CountingDelegate();
    m_group = std::make_unique<EODisplayGroup>();
    m_group->addColumn(QStringLiteral("nom"), QStringLiteral("Nom"));
    m_group->addColumn(QStringLiteral("num"), QStringLiteral("N°"), Qt::AlignRight | Qt::AlignVCenter);
    m_group->setDelegate(&m_delegate);
    m_tester = std::make_unique<QAbstractItemModelTester>(
        m_group.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    m_spy = std::make_unique<QSignalSpy>(m_group.get(), &EODisplayGroup::selectionDidChange);
}

void TestEODisplayGroup::cleanup()
{
    m_spy.reset();
    m_tester.reset();
    m_group.reset();
}

// The selection as the group, its shared selection model and its listeners see it.
void TestEODisplayGroup::expectSelection(const QList<int> &rows, int delegateCalls)
{
    QCOMPARE(m_group->selectionIndexes(), rows);
    QCOMPARE(rowsSelectedInModel(*m_group), rows);
    QCOMPARE(m_delegate.selectionChanges, delegateCalls);
    // The signal and the delegate tell the same changes.
    QCOMPARE(int(m_spy->count()), delegateCalls);
    if (!rows.isEmpty()) {
        QCOMPARE(m_group->selectedObject().get(), m_group->displayedObjects().at(rows.first()).get());
        QCOMPARE(m_group->selectionModel()->currentIndex().row(), rows.first());
    } else {
        QVERIFY(!m_group->selectedObject());
    }
    if (delegateCalls > 0)
        QCOMPARE(m_delegate.seen.last(), rows); // the delegate reads the final selection
}

void TestEODisplayGroup::selectsFirstAfterSettingObjectsWhenOn()
{
    m_group->setSelectsFirstObjectAfterFetch(true);
    m_group->setObjectArray(lines({"Droit", "Lettres", "Sciences"}));
    QCOMPARE(m_group->rowCount(), 3);
    expectSelection({0}, 1);

    m_group->setSelectionIndexes({2});
    expectSelection({2}, 2);

    // New rows: the first is selected again, one change told.
    m_group->setObjectArray(lines({"Arts", "Médecine"}));
    expectSelection({0}, 3);

    // No row: nothing selected, one change told.
    m_group->setObjectArray({});
    QCOMPARE(m_group->rowCount(), 0);
    expectSelection({}, 4);

    // Still no row: no change.
    m_group->setObjectArray({});
    expectSelection({}, 4);
}

void TestEODisplayGroup::keepsSelectedRecordsWhenOff()
{
    const QList<EORecord> first = lines({"A", "B", "C", "D"});
    m_group->setObjectArray(first);
    expectSelection({}, 0);

    QVERIFY(m_group->setSelectionIndexes({3, 1}));
    expectSelection({1, 3}, 1);
    QCOMPARE(namesOf(m_group->selectedObjects()), (QStringList{"B", "D"}));

    // B and D come back in other places: they stay selected there.
    const EORecord x = line(QStringLiteral("X"), 9);
    m_group->setObjectArray({first.at(3), x, first.at(1)});
    expectSelection({0, 2}, 2);
    QCOMPARE(namesOf(m_group->selectedObjects()), (QStringList{"D", "B"}));

    // Only D remains.
    m_group->setObjectArray({x, first.at(3)});
    expectSelection({1}, 3);

    // None remains.
    m_group->setObjectArray({x});
    expectSelection({}, 4);
}

void TestEODisplayGroup::settingObjectsDoesNotReportAFetch()
{
    m_group->setSelectsFirstObjectAfterFetch(true);
    m_group->setObjectArray(lines({"A", "B"}));
    QCOMPARE(m_delegate.fetches, 0);
    QCOMPARE(namesOf(m_group->allObjects()), (QStringList{"A", "B"}));
}

void TestEODisplayGroup::setSelectionIndexes()
{
    m_group->setObjectArray(lines({"A", "B", "C"}));
    QVERIFY(m_group->setSelectionIndexes({1}));
    expectSelection({1}, 1);
    // The same selection again is no change.
    QVERIFY(m_group->setSelectionIndexes({1}));
    QVERIFY(m_group->selectObject(m_group->displayedObjects().at(1)));
    expectSelection({1}, 1);
    // Out of range: refused, the selection stays.
    QVERIFY(!m_group->setSelectionIndexes({0, 3}));
    QVERIFY(!m_group->setSelectionIndexes({-1}));
    expectSelection({1}, 1);
    // Unordered and repeated indexes make one ordered selection.
    QVERIFY(m_group->setSelectionIndexes({2, 0, 2}));
    expectSelection({0, 2}, 2);
    // A record that is not shown cannot be selected.
    QVERIFY(!m_group->selectObject(line(QStringLiteral("Z"), 0)));
    expectSelection({0, 2}, 2);
    QVERIFY(m_group->clearSelection());
    expectSelection({}, 3);
    QVERIFY(m_group->clearSelection());
    expectSelection({}, 3);
}

void TestEODisplayGroup::insertSelectsTheInsertedRow_data()
{
    QTest::addColumn<QList<int>>("selectedBefore");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("expectedRow");

    QTest::newRow("at the top, nothing selected") << QList<int>{} << 0 << 0;
    // New lines of a sub-list go to the top while the first row is often the selected one.
    QTest::newRow("at the top, top row selected") << QList<int>{0} << 0 << 0;
    QTest::newRow("at the top, other row selected") << QList<int>{2} << 0 << 0;
    QTest::newRow("in the middle, same row selected") << QList<int>{1} << 1 << 1;
    QTest::newRow("past the end is the end") << QList<int>{0} << 99 << 3;
    QTest::newRow("before the start is the start") << QList<int>{1} << -5 << 0;
}

void TestEODisplayGroup::insertSelectsTheInsertedRow()
{
    QFETCH(QList<int>, selectedBefore);
    QFETCH(int, index);
    QFETCH(int, expectedRow);

    m_group->setObjectArray(lines({"A", "B", "C"}));
    QVERIFY(m_group->setSelectionIndexes(selectedBefore));
    const int callsBefore = m_delegate.selectionChanges;

    const EORecord inserted = line(QStringLiteral("Nouveau"), -1);
    m_group->insertObjectAtIndex(inserted, index);
    QCOMPARE(m_group->rowCount(), 4);
    QCOMPARE(m_group->displayedObjects().at(expectedRow).get(), inserted.get());
    QCOMPARE(m_group->allObjects().size(), 4);
    QVERIFY(m_group->allObjects().contains(inserted));
    // The inserted record is now the selected one, and the delegate hears of it once.
    expectSelection({expectedRow}, callsBefore + 1);
    QCOMPARE(m_group->selectedObject().get(), inserted.get());
}

void TestEODisplayGroup::insertAmongFilteredRows()
{
    m_group->setQualifier(EOQualifier::qualifierWithQualifierFormat(QStringLiteral("num >= 1")));
    m_group->setObjectArray(lines({"A", "B", "C", "D"})); // B, C, D shown
    QCOMPARE(namesOf(m_group->displayedObjects()), (QStringList{"B", "C", "D"}));
    m_group->insertObjectAtIndex(line(QStringLiteral("N"), 5), 1);
    QCOMPARE(namesOf(m_group->displayedObjects()), (QStringList{"B", "N", "C", "D"}));
    // Among all the records it comes before the one it was inserted before.
    QCOMPARE(namesOf(m_group->allObjects()), (QStringList{"A", "B", "N", "C", "D"}));
    expectSelection({1}, 1);
}

void TestEODisplayGroup::deleteSelectionSelectsTheRowTakingThePlace_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QStringList>("remaining");
    QTest::addColumn<QList<int>>("selectedAfter");

    const QStringList five{"A", "B", "C", "D", "E"};
    QTest::newRow("first row") << five << QList<int>{0} << QStringList{"B", "C", "D", "E"} << QList<int>{0};
    QTest::newRow("middle row") << five << QList<int>{2} << QStringList{"A", "B", "D", "E"} << QList<int>{2};
    QTest::newRow("last row") << five << QList<int>{4} << QStringList{"A", "B", "C", "D"} << QList<int>{3};
    QTest::newRow("two rows") << five << QList<int>{1, 3} << QStringList{"A", "C", "E"} << QList<int>{1};
    QTest::newRow("three rows to the end")
        << five << QList<int>{2, 3, 4} << QStringList{"A", "B"} << QList<int>{1};
    QTest::newRow("only row") << QStringList{"A"} << QList<int>{0} << QStringList{} << QList<int>{};
    QTest::newRow("every row") << five << QList<int>{0, 1, 2, 3, 4} << QStringList{} << QList<int>{};
}

void TestEODisplayGroup::deleteSelectionSelectsTheRowTakingThePlace()
{
    QFETCH(QStringList, names);
    QFETCH(QList<int>, selected);
    QFETCH(QStringList, remaining);
    QFETCH(QList<int>, selectedAfter);

    m_group->setObjectArray(lines(names));
    QVERIFY(m_group->setSelectionIndexes(selected));
    QCOMPARE(m_delegate.selectionChanges, 1);

    QVERIFY(m_group->deleteSelection());
    QCOMPARE(namesOf(m_group->displayedObjects()), remaining);
    QCOMPARE(namesOf(m_group->allObjects()), remaining);
    QCOMPARE(m_group->rowCount(), int(remaining.size()));
    expectSelection(selectedAfter, 2);
}

void TestEODisplayGroup::deleteSelectionWithoutSelection()
{
    m_group->setObjectArray(lines({"A", "B"}));
    QVERIFY(!m_group->deleteSelection());
    QCOMPARE(m_group->rowCount(), 2);
    expectSelection({}, 0);
}

void TestEODisplayGroup::selectionMadeThroughTheSelectionModel()
{
    // What a table view does when the user clicks, ctrl-clicks and clears.
    m_group->setObjectArray(lines({"A", "B", "C", "D"}));
    QItemSelectionModel *model = m_group->selectionModel();
    const auto row = [this](int r) {
        return QItemSelection(m_group->index(r, 0), m_group->index(r, m_group->columnCount() - 1));
    };

    model->select(row(2), QItemSelectionModel::ClearAndSelect);
    QCOMPARE(m_group->selectionIndexes(), (QList<int>{2}));
    QCOMPARE(m_delegate.selectionChanges, 1);
    QCOMPARE(m_group->selectedObject()->valueForKey(QStringLiteral("nom")).toString(), QStringLiteral("C"));

    model->setCurrentIndex(m_group->index(0, 1),
                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QCOMPARE(m_group->selectionIndexes(), (QList<int>{0}));
    QCOMPARE(m_delegate.selectionChanges, 2);

    model->select(row(3), QItemSelectionModel::Select);
    QCOMPARE(m_group->selectionIndexes(), (QList<int>{0, 3}));
    QCOMPARE(m_delegate.selectionChanges, 3);

    // Selecting what is selected already changes nothing.
    model->select(row(3), QItemSelectionModel::Select);
    QCOMPARE(m_delegate.selectionChanges, 3);

    model->select(row(0), QItemSelectionModel::Deselect);
    QCOMPARE(m_group->selectionIndexes(), (QList<int>{3}));
    QCOMPARE(m_delegate.selectionChanges, 4);

    model->clearSelection();
    QCOMPARE(m_group->selectionIndexes(), QList<int>{});
    QCOMPARE(m_delegate.selectionChanges, 5);
    QCOMPARE(int(m_spy->count()), 5);
    QCOMPARE(m_delegate.seen, (QList<QList<int>>{{2}, {0}, {0, 3}, {3}, {}}));

    // And the program's selection shows in the model the views draw.
    QVERIFY(m_group->setSelectionIndexes({1}));
    QCOMPARE(rowsSelectedInModel(*m_group), (QList<int>{1}));
    QVERIFY(model->isSelected(m_group->index(1, 1)));
    QCOMPARE(m_delegate.selectionChanges, 6);
}

void TestEODisplayGroup::displayedObjectsFollowQualifierAndSort()
{
    const QList<EORecord> all = lines({"delta", "Alpha", "charlie", "Bravo", "echo"});
    m_group->setObjectArray(all);
    m_group->setQualifier(EOQualifier::qualifierWithQualifierFormat(QStringLiteral("num != %@"), {2}));
    m_group->setSortOrderings(
        {EOSortOrdering(QStringLiteral("nom"), Selector::CompareCaseInsensitiveDescending)});
    m_group->updateDisplayedObjects();
    QCOMPARE(namesOf(m_group->displayedObjects()), (QStringList{"echo", "delta", "Bravo", "Alpha"}));
    QCOMPARE(m_group->rowCount(), 4);
    QCOMPARE(m_group->data(m_group->index(2, 0)).toString(), QStringLiteral("Bravo"));
    QCOMPARE(namesOf(m_group->allObjects()), namesOf(all));

    // New records pass through the same qualifier and order.
    m_group->setObjectArray(lines({"x", "Y", "z"}));
    QCOMPARE(namesOf(m_group->displayedObjects()), (QStringList{"Y", "x"}));

    m_group->setQualifier({});
    m_group->setSortOrderings({EOSortOrdering(QStringLiteral("nom"), Selector::CompareAscending)});
    m_group->updateDisplayedObjects();
    QCOMPARE(namesOf(m_group->displayedObjects()), (QStringList{"Y", "x", "z"}));
}

void TestEODisplayGroup::sortByColumnKeepsTheSelectedRecord()
{
    m_group->setObjectArray(lines({"b", "C", "a", "D"}));
    QVERIFY(m_group->setSelectionIndexes({1})); // C
    const EORecord selected = m_group->selectedObject();

    m_group->sort(0, Qt::AscendingOrder);
    QCOMPARE(namesOf(m_group->displayedObjects()), (QStringList{"a", "b", "C", "D"}));
    QCOMPARE(m_group->selectedObject().get(), selected.get());
    expectSelection({2}, 2);

    m_group->sort(0, Qt::DescendingOrder);
    QCOMPARE(namesOf(m_group->displayedObjects()), (QStringList{"D", "C", "b", "a"}));
    QCOMPARE(m_group->selectedObject().get(), selected.get());
    QCOMPARE(m_group->selectionIndexes(), (QList<int>{1}));
    QCOMPARE(m_group->sortOrderings().size(), 1);
    QCOMPARE(m_group->sortOrderings().first().key(), QStringLiteral("nom"));

    // The number column sorts numbers as numbers.
    m_group->setObjectArray({line(QStringLiteral("dix"), 10), line(QStringLiteral("neuf"), 9),
                             line(QStringLiteral("cent"), 100)});
    m_group->sort(1, Qt::AscendingOrder);
    QCOMPARE(namesOf(m_group->displayedObjects()), (QStringList{"neuf", "dix", "cent"}));

    // A column that does not exist leaves everything as it is.
    m_group->sort(7, Qt::AscendingOrder);
    QCOMPARE(namesOf(m_group->displayedObjects()), (QStringList{"neuf", "dix", "cent"}));
}

void TestEODisplayGroup::dataAndHeaders()
{
    m_group->setObjectArray(
        {line(QStringLiteral("Amphi"), 120), makeLine({{QStringLiteral("nom"), eoNull()}})});
    QCOMPARE(m_group->columnCount(), 2);
    QCOMPARE(m_group->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Nom"));
    QCOMPARE(m_group->headerData(1, Qt::Horizontal).toString(), QStringLiteral("N°"));
    QCOMPARE(m_group->data(m_group->index(0, 0)).toString(), QStringLiteral("Amphi"));
    QCOMPARE(m_group->data(m_group->index(0, 1)).toString(), QStringLiteral("120"));
    // Nulls and absent keys show as nothing.
    QCOMPARE(m_group->data(m_group->index(1, 0)).toString(), QString());
    QCOMPARE(m_group->data(m_group->index(1, 1)).toString(), QString());
    QCOMPARE(m_group->data(m_group->index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignRight | Qt::AlignVCenter);
    QVERIFY(!m_group->data(m_group->index(5, 0)).isValid());

    // A column naming a key that records of an entity do not have shows nothing rather than failing.
    const auto model = makeTestModel();
    const EORecord room = EOGenericRecord::create(&model->entity(QStringLiteral("TypeSalle")));
    room->takeValueForKey(QStringLiteral("Amphi"), QStringLiteral("tsalLibelle"));
    EODisplayGroup types;
    types.addColumn(QStringLiteral("tsalLibelle"), QStringLiteral("Type"));
    types.addColumn(QStringLiteral("inconnu"), QStringLiteral("?"));
    types.setObjectArray({room});
    QCOMPARE(types.data(types.index(0, 0)).toString(), QStringLiteral("Amphi"));
    QCOMPARE(types.data(types.index(0, 1)).toString(), QString());

    // A redisplay tells the views that every cell may have changed.
    QSignalSpy changed(m_group.get(), &QAbstractItemModel::dataChanged);
    m_group->redisplay();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().at(0).toModelIndex(), m_group->index(0, 0));
    QCOMPARE(changed.first().at(1).toModelIndex(), m_group->index(1, 1));
}

QTEST_GUILESS_MAIN(TestEODisplayGroup)
#include "tst_eodisplaygroup.moc"
