#include "ModalSession.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace platform
{

ModalSession::ModalSession(QObject *window) : m_window(window) {}

int ModalSession::run()
{
    if (m_response)
        return *m_response;
    QEventLoop loop;
    m_loop = &loop;
    loop.exec(QEventLoop::DialogExec);
    m_loop = nullptr;
    return response();
}

int ModalSession::runOnce()
{
    if (!m_response)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    return response();
}

void ModalSession::stop(int response)
{
    if (m_response)
        return;
    m_response = response;
    if (m_loop)
        m_loop->exit(response);
}

} // namespace platform
