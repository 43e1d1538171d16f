// The date panel: it opens on today, hands the chosen day at midnight to the observers of "dateCalendrier"
// when validated (button, Enter, double click) and nothing when cancelled (button, Escape, close box).

#include "CalendarMatrix.h"
#include "Calendrier.h"
#include "NotificationCenter.h"
#include "TestFont.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <ctime>

using widgets::CalendarMatrix;
using widgets::Calendrier;

namespace
{

const QDateTime now(QDate(2024, 3, 14), QTime(10, 30, 12));

// The panel on a fixed clock, opened, with an observer that records the days it posts.
struct Fixture {
    Calendrier calendrier;
    CalendarMatrix *matrix = calendrier.calendar();
    QObject observer;
    QList<QVariantMap> posted;

    Fixture()
    {
        matrix->setClock([] { return now; });
        platform::NotificationCenter::defaultCenter().addObserver(
            &observer,
            [this](const platform::Notification &notification) {
                QCOMPARE(notification.object, &calendrier);
                posted << notification.userInfo;
            },
            QStringLiteral("dateCalendrier"));
        calendrier.afficherPanel(nullptr);
    }

    // The panel's widgets by their object names.
    template <typename Widget> Widget *outlet(const char *name) const
    {
        return calendrier.calendarPanel()->findChild<Widget *>(QLatin1String(name));
    }
    QPushButton *button(const char *name) const { return outlet<QPushButton>(name); }
    void click(int day) const
    {
        QTest::mouseClick(matrix, Qt::LeftButton, {},
                          matrix->cellRect(matrix->startOffset() + day - 1).center());
    }
};

} // namespace

class TestCalendrier : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { PIN_TEST_FONT(); }
    void opensOnTodayReadyForTheKeyboard();
    void closingThePanel_data();
    void closingThePanel();
    void midnightOfADay_data();
    void midnightOfADay();
    void withoutADayNothingIsPosted();
};

void TestCalendrier::opensOnTodayReadyForTheKeyboard()
{
    Fixture fixture;
    QVERIFY(QTest::qWaitForWindowExposed(fixture.calendrier.calendarPanel()));
    QCOMPARE(fixture.matrix->selectedDay(), now);
    QCOMPARE(fixture.outlet<QLabel>("monthName")->text(), QStringLiteral("mars 2024"));
    QCOMPARE(fixture.outlet<QLabel>("dayLabel")->text(), QStringLiteral("14 mars 2024"));
    QTRY_COMPARE(QApplication::focusWidget(), fixture.matrix);

    // setDate keeps the date as given; opened again, the panel starts on today.
    const QDateTime given(QDate(2019, 7, 4), QTime(8, 15, 30));
    fixture.calendrier.setDate(given);
    QCOMPARE(fixture.matrix->selectedDay(), given);
    QCOMPARE(fixture.calendrier.ladate(), QDateTime(QDate(2019, 7, 4), QTime(0, 0)));
    fixture.calendrier.afficherPanel(nullptr);
    QCOMPARE(fixture.matrix->selectedDay(), now);
}

void TestCalendrier::closingThePanel_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("posts");
    QTest::newRow("Valider") << "boutonValider" << true;
    QTest::newRow("Enter on the calendar") << "enter" << true;
    QTest::newRow("Return on the cancel button") << "return" << true;
    QTest::newRow("double click on the day") << "double" << true;
    QTest::newRow("Annuler") << "boutonAnnuler" << false;
    QTest::newRow("Escape") << "escape" << false;
    QTest::newRow("close box") << "close" << false;
}

void TestCalendrier::closingThePanel()
{
    QFETCH(QString, how);
    QFETCH(bool, posts);
    Fixture fixture;
    QDialog *panel = fixture.calendrier.calendarPanel();
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    fixture.click(20);
    QTest::keyClick(fixture.matrix, Qt::Key_PageDown); // 20 April, at 23:59:59

    if (how.startsWith(QLatin1String("bouton")))
        QTest::mouseClick(fixture.button(qPrintable(how)), Qt::LeftButton);
    else if (how == QLatin1String("enter"))
        QTest::keyClick(fixture.matrix, Qt::Key_Enter, Qt::KeypadModifier);
    else if (how == QLatin1String("return"))
        QTest::keyClick(fixture.button("boutonAnnuler"), Qt::Key_Return);
    else if (how == QLatin1String("double"))
        QTest::mouseDClick(fixture.matrix, Qt::LeftButton, {},
                           fixture.matrix->cellRect(fixture.matrix->selectedTag()).center());
    else if (how == QLatin1String("escape"))
        QTest::keyClick(fixture.matrix, Qt::Key_Escape);
    else
        panel->close();

    QVERIFY(!panel->isVisible());
    const QList<QVariantMap> expected{{{QStringLiteral("date"), QDateTime(QDate(2024, 4, 20), QTime(0, 0))}}};
    QCOMPARE(fixture.posted, posts ? expected : QList<QVariantMap>());
}

void TestCalendrier::midnightOfADay_data()
{
    // Days and times rather than dates, which are read in the zone of the row.
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QTime>("start");
    QTest::newRow("a day chosen at 23:59:59")
        << QByteArray("Europe/Lisbon") << QDate(2024, 3, 14) << QTime(23, 59, 59) << QTime(0, 0);
    QTest::newRow("the first second of a day")
        << QByteArray("Europe/Paris") << QDate(2024, 12, 31) << QTime(0, 0) << QTime(0, 0);
    QTest::newRow("the day summer time begins")
        << QByteArray("Europe/Paris") << QDate(2024, 3, 31) << QTime(23, 59, 59) << QTime(0, 0);
    // Where summer time begins at midnight, the day starts at 01:00.
    QTest::newRow("a day without a midnight")
        << QByteArray("America/Havana") << QDate(2024, 3, 10) << QTime(23, 59, 59) << QTime(1, 0);
    QTest::newRow("none") << QByteArray("Europe/Paris") << QDate() << QTime() << QTime();
}

void TestCalendrier::midnightOfADay()
{
    QFETCH(QByteArray, zone);
    QFETCH(QDate, day);
    QFETCH(QTime, time);
    QFETCH(QTime, start);
    const bool hadZone = qEnvironmentVariableIsSet("TZ");
    const QByteArray previous = qgetenv("TZ");
    qputenv("TZ", zone);
    tzset();

    const QDateTime result = Calendrier::dateAZeroHeure(day.isValid() ? QDateTime(day, time) : QDateTime());
    const bool valid = result.isValid();
    const QDate resultDay = result.date();
    const QTime resultTime = result.time();

    if (hadZone)
        qputenv("TZ", previous);
    else
        qunsetenv("TZ");
    tzset();
    QCOMPARE(valid, day.isValid());
    QCOMPARE(resultDay, day);
    QCOMPARE(resultTime, start);
}

void TestCalendrier::withoutADayNothingIsPosted()
{
    Fixture fixture;
    QVERIFY(QTest::qWaitForWindowExposed(fixture.calendrier.calendarPanel()));
    fixture.calendrier.setDate(QDateTime());
    QVERIFY(!fixture.button("boutonValider")->isEnabled());
    QVERIFY(!fixture.calendrier.ladate().isValid());

    fixture.calendrier.valider(nullptr);
    QTest::keyClick(fixture.matrix, Qt::Key_Return);
    QVERIFY(fixture.posted.isEmpty());
    QVERIFY(fixture.calendrier.calendarPanel()->isVisible());

    // Choosing a day lets the panel validate again.
    fixture.click(1);
    QVERIFY(fixture.button("boutonValider")->isEnabled());
}

QTEST_MAIN(TestCalendrier)
#include "tst_Calendrier.moc"
