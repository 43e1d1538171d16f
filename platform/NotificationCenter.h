#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <functional>

namespace platform
{

// What a notification carries: its name, the object that posted it (may be null) and its user information.
struct Notification {
    QString name;
    QObject *object = nullptr;
    QVariantMap userInfo;
};

// Posts notifications by name to the observers that asked for them ("changementAuxBatiments" from the
// building register to the room tab, "afficheOnglet"...). An observer is a QObject with a callback; it stops
// receiving when it is destroyed, without having to remove itself. Delivery is synchronous, in the order the
// observers were added.
class NotificationCenter : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(const Notification &)>;

    explicit NotificationCenter(QObject *parent = nullptr);
    ~NotificationCenter() override;

    // The application's centre.
    static NotificationCenter &defaultCenter();

    // Calls handler for each notification of that name (every name when empty) posted by sender (any sender
    // when null). The same observer may be added several times, for several names.
    void addObserver(QObject *observer, Handler handler, const QString &name,
                     const QObject *sender = nullptr);
    // Removes every registration of the observer, or only those for a name.
    void removeObserver(const QObject *observer);
    void removeObserver(const QObject *observer, const QString &name);

    void postNotification(const Notification &notification);
    void postNotificationName(const QString &name, QObject *object = nullptr,
                              const QVariantMap &userInfo = {});

    qsizetype observerCount() const { return m_entries.size(); }

private:
    struct Entry {
        quint64 id;
        QPointer<QObject> observer;
        const QObject *observerAddress; // kept to find entries once the QPointer has gone null
        Handler handler;
        QString name;
        QPointer<const QObject> sender;
        bool anySender;
    };

    void forget(const QObject *observer);

    QList<Entry> m_entries;
    quint64 m_nextId = 1;
};

} // namespace platform
