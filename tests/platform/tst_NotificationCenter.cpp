// The notification centre: delivery by name and sender, user information, and observers that go away, even
// while a notification is being delivered.

#include "NotificationCenter.h"

#include <QTest>

using platform::Notification;
using platform::NotificationCenter;

class TestNotificationCenter : public QObject
{
    Q_OBJECT

private slots:
    void deliversByName();
    void filtersBySender();
    void stopsWhenTheObserverIsDestroyed();
    void removesObservers();
    void observersChangedDuringDelivery();
    void defaultCenterIsShared();
};

void TestNotificationCenter::deliversByName()
{
    NotificationCenter center;
    QObject roomTab;
    QObject everything;
    QStringList received;
    QVariantMap info;
    QObject *poster = nullptr;
    center.addObserver(
        &roomTab,
        [&](const Notification &n) {
            received << QStringLiteral("room:") + n.name;
            info = n.userInfo;
            poster = n.object;
        },
        QStringLiteral("changementAuxBatiments"));
    center.addObserver(
        &everything, [&](const Notification &n) { received << QStringLiteral("all:") + n.name; }, QString());

    QObject building;
    center.postNotificationName(QStringLiteral("changementAuxBatiments"), &building,
                                {{QStringLiteral("code"), QStringLiteral("B12")}});
    center.postNotificationName(QStringLiteral("afficheOnglet"));

    QCOMPARE(received,
             (QStringList{"room:changementAuxBatiments", "all:changementAuxBatiments", "all:afficheOnglet"}));
    QCOMPARE(info.value(QStringLiteral("code")), QVariant(QStringLiteral("B12")));
    QCOMPARE(poster, &building);
}

void TestNotificationCenter::filtersBySender()
{
    NotificationCenter center;
    QObject observer;
    auto calendar = std::make_unique<QObject>();
    QObject other;
    int count = 0;
    center.addObserver(
        &observer, [&](const Notification &) { ++count; }, QStringLiteral("dateCalendrier"), calendar.get());

    center.postNotificationName(QStringLiteral("dateCalendrier"), &other);
    center.postNotificationName(QStringLiteral("dateCalendrier"));
    QCOMPARE(count, 0);
    center.postNotificationName(QStringLiteral("dateCalendrier"), calendar.get());
    QCOMPARE(count, 1);

    // Once the sender has gone, nothing posted by another object at the same address reaches the observer.
    calendar.reset();
    center.postNotificationName(QStringLiteral("dateCalendrier"));
    QCOMPARE(count, 1);
}

void TestNotificationCenter::stopsWhenTheObserverIsDestroyed()
{
    NotificationCenter center;
    int count = 0;
    auto observer = std::make_unique<QObject>();
    QObject stays;
    center.addObserver(
        observer.get(), [&](const Notification &) { ++count; }, QStringLiteral("a"));
    center.addObserver(
        observer.get(), [&](const Notification &) { ++count; }, QStringLiteral("b"));
    center.addObserver(
        &stays, [&](const Notification &) { count += 100; }, QStringLiteral("a"));
    QCOMPARE(center.observerCount(), 3);

    observer.reset();
    QCOMPARE(center.observerCount(), 1);
    center.postNotificationName(QStringLiteral("a"));
    center.postNotificationName(QStringLiteral("b"));
    QCOMPARE(count, 100);
}

void TestNotificationCenter::removesObservers()
{
    NotificationCenter center;
    QObject observer;
    QStringList received;
    center.addObserver(
        &observer, [&](const Notification &n) { received << n.name; }, QStringLiteral("a"));
    center.addObserver(
        &observer, [&](const Notification &n) { received << n.name; }, QStringLiteral("b"));

    center.removeObserver(&observer, QStringLiteral("a"));
    center.postNotificationName(QStringLiteral("a"));
    center.postNotificationName(QStringLiteral("b"));
    QCOMPARE(received, QStringList{QStringLiteral("b")});

    center.removeObserver(&observer);
    center.postNotificationName(QStringLiteral("b"));
    QCOMPARE(received, QStringList{QStringLiteral("b")});
    QCOMPARE(center.observerCount(), 0);

    // Added again after a removal, the observer receives again.
    center.addObserver(
        &observer, [&](const Notification &n) { received << n.name; }, QStringLiteral("c"));
    center.postNotificationName(QStringLiteral("c"));
    QCOMPARE(received, (QStringList{"b", "c"}));
}

void TestNotificationCenter::observersChangedDuringDelivery()
{
    NotificationCenter center;
    QStringList received;
    auto second = std::make_unique<QObject>();
    QObject first;
    QObject third;
    QObject late;
    center.addObserver(
        &first,
        [&](const Notification &) {
            received << QStringLiteral("first");
            second.reset(); // destroyed before its turn
            center.addObserver(
                &late, [&](const Notification &) { received << QStringLiteral("late"); },
                QStringLiteral("x"));
        },
        QStringLiteral("x"));
    center.addObserver(
        second.get(), [&](const Notification &) { received << QStringLiteral("second"); },
        QStringLiteral("x"));
    center.addObserver(
        &third,
        [&](const Notification &) {
            received << QStringLiteral("third");
            center.removeObserver(&third); // removes itself while running
        },
        QStringLiteral("x"));

    center.postNotificationName(QStringLiteral("x"));
    QCOMPARE(received, (QStringList{"first", "third"}));

    received.clear();
    center.postNotificationName(QStringLiteral("x"));
    QCOMPARE(received, (QStringList{"first", "late"}));
}

void TestNotificationCenter::defaultCenterIsShared()
{
    QObject observer;
    int count = 0;
    NotificationCenter::defaultCenter().addObserver(
        &observer, [&](const Notification &) { ++count; }, QStringLiteral("afficheOnglet"));
    NotificationCenter::defaultCenter().postNotificationName(QStringLiteral("afficheOnglet"));
    QCOMPARE(count, 1);
    QCOMPARE(&NotificationCenter::defaultCenter(), &NotificationCenter::defaultCenter());
}

QTEST_GUILESS_MAIN(TestNotificationCenter)
#include "tst_NotificationCenter.moc"
