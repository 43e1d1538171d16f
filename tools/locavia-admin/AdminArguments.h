#pragma once

#include <QString>
#include <QStringList>

namespace admin
{

// The command line of locavia-admin:
//   locavia-admin sqlite --dir DIR [--demo] [--rooms N] [--user LOGIN] [--replace]
// Parsed by hand so that every refusal reads in French.
class AdminArguments
{
public:
    static constexpr int DefaultRooms = 300;
    static constexpr int MaximumRooms = 1000000;

    // Arguments without the program name. On a refusal, error() says why and the other values are unset.
    static AdminArguments parse(const QStringList &arguments);
    static QString usage();

    bool helpRequested() const { return m_help; }
    const QString &error() const { return m_error; }
    bool isValid() const { return m_error.isEmpty(); }

    const QString &directory() const { return m_directory; }
    bool demo() const { return m_demo; }
    int rooms() const { return m_rooms; }
    // Empty when not given: the demo account then takes the login of the user who runs the command.
    const QString &user() const { return m_user; }
    bool replace() const { return m_replace; }

private:
    bool m_help = false;
    QString m_error;
    QString m_directory;
    bool m_demo = false;
    int m_rooms = DefaultRooms;
    QString m_user;
    bool m_replace = false;
};

} // namespace admin
