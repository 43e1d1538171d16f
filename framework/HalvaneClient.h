#pragma once

#include "HalvaneClientInterface.h"

#include <chrono>

namespace framework
{

// Our client of the Halvane launcher, which listens on a local port and knows the user behind each launch
// ticket. One line out, one line back (docs/directory-services.md):
//
//   client:   TICKET <ticket>\n
//   launcher: USER <login>\n     the user who started the application
//             NONE\n             the ticket is unknown
//
// Any other line, a closed connection, a refused connection or no line within the timeout is no answer.
class HalvaneClient : public HalvaneClientInterface
{
public:
    static QString className() { return QStringLiteral("HalvaneClient"); }
    static void registerComponent();

    // The bound of every lookup made by clients created afterwards (5 s unless changed).
    static std::chrono::milliseconds defaultTimeout();
    static void setDefaultTimeout(std::chrono::milliseconds timeout);
    // A longer line is not an answer.
    static constexpr qsizetype maxLineLength = 4096;

    HalvaneClient();

    // host "" is this machine (127.0.0.1); port is the launcher's port as text.
    QVariant getNetID(const QString &host, const QString &port, const QString &ticket) override;

private:
    std::chrono::milliseconds m_timeout;
};

} // namespace framework
