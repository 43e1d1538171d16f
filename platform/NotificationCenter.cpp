#include "NotificationCenter.h"

#include <algorithm>

namespace platform
{

NotificationCenter::NotificationCenter(QObject *parent) : QObject(parent) {}

NotificationCenter::~NotificationCenter() = default;

NotificationCenter &NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

void NotificationCenter::addObserver(QObject *observer, Handler handler, const QString &name,
                                     const QObject *sender)
{
    if (!observer || !handler)
        return;
    const bool known = std::any_of(m_entries.cbegin(), m_entries.cend(), [observer](const Entry &entry) {
        return entry.observerAddress == observer;
    });
    m_entries.append(
        Entry{m_nextId++, observer, observer, std::move(handler), name, sender, sender == nullptr});
    if (!known)
        connect(observer, &QObject::destroyed, this, [this, observer] { forget(observer); });
}

void NotificationCenter::forget(const QObject *observer)
{
    m_entries.removeIf([observer](const Entry &entry) { return entry.observerAddress == observer; });
}

void NotificationCenter::removeObserver(const QObject *observer)
{
    forget(observer);
    if (observer)
        disconnect(observer, &QObject::destroyed, this, nullptr);
}

void NotificationCenter::removeObserver(const QObject *observer, const QString &name)
{
    m_entries.removeIf([observer, &name](const Entry &entry) {
        return entry.observerAddress == observer && entry.name == name;
    });
    const bool stillKnown = std::any_of(m_entries.cbegin(), m_entries.cend(), [observer](const Entry &entry) {
        return entry.observerAddress == observer;
    });
    if (observer && !stillKnown)
        disconnect(observer, &QObject::destroyed, this, nullptr);
}

void NotificationCenter::postNotification(const Notification &notification)
{
    // Handlers may add or remove observers, or destroy them: work on the ids of the registrations present at
    // the time of posting and deliver only to those still registered and alive when their turn comes.
    QList<quint64> ids;
    for (const Entry &entry : std::as_const(m_entries)) {
        if (!entry.name.isEmpty() && entry.name != notification.name)
            continue;
        if (!entry.anySender && (entry.sender.isNull() || entry.sender.data() != notification.object))
            continue;
        ids.append(entry.id);
    }
    for (const quint64 id : std::as_const(ids)) {
        const auto found = std::find_if(m_entries.cbegin(), m_entries.cend(),
                                        [id](const Entry &entry) { return entry.id == id; });
        if (found == m_entries.cend() || found->observer.isNull())
            continue;
        const Handler handler = found->handler; // the entry may go while the handler runs
        handler(notification);
    }
}

void NotificationCenter::postNotificationName(const QString &name, QObject *object,
                                              const QVariantMap &userInfo)
{
    postNotification(Notification{name, object, userInfo});
}

} // namespace platform
