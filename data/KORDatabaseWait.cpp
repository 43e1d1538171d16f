#include "KORDatabaseWait.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>

namespace data
{

namespace
{

bool isInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::Close:
    case QEvent::DragEnter:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}

} // namespace

KORDatabaseWait::KORDatabaseWait(std::function<void(const QString &)> setTitle,
                                 std::function<QString()> applicationTitle)
    : m_setTitle(std::move(setTitle)), m_applicationTitle(std::move(applicationTitle))
{
}

KORDatabaseWait::~KORDatabaseWait()
{
    databaseWaitEnded();
}

bool KORDatabaseWait::databaseIsWaiting(const QString &activity, qint64 elapsedMilliseconds)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application || elapsedMilliseconds < ShownAfter)
        return m_cancelled;
    if (!m_shown) {
        m_shown = true;
        m_cursor.emplace();
        application->installEventFilter(this);
        if (m_setTitle)
            m_setTitle(QStringLiteral("Veuillez Patienter, %1... (Échap pour abandonner)").arg(activity));
    }
    // The title and the windows are drawn; the input the filter holds back is dropped.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return m_cancelled;
}

void KORDatabaseWait::databaseWaitEnded()
{
    m_cancelled = false;
    if (!m_shown)
        return;
    m_shown = false;
    if (QCoreApplication *application = QCoreApplication::instance())
        application->removeEventFilter(this);
    if (m_setTitle)
        m_setTitle(m_applicationTitle ? m_applicationTitle() : QString());
    m_cursor.reset();
}

bool KORDatabaseWait::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_shown || !isInput(event->type()))
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
        m_cancelled = true;
    return true;
}

} // namespace data
