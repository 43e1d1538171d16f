#pragma once

#include <QString>
#include <QStringList>

namespace admin
{

// The command line of locavia-admin:
//   locavia-admin sqlite --dir DIR [--demo] [--rooms N] [--user LOGIN] [--replace]
//   locavia-admin postgresql --url postgresql://user@host:port/db [--password P] [--demo] [--rooms N]
//                 [--user LOGIN]
//   locavia-admin backup [--dir DIR] [--daily]
//   locavia-admin restore [--dir DIR] (BACKUP | --list)
//   locavia-admin -h | --help | -v | --version
// Parsed by hand so that every refusal reads in French.
class AdminArguments
{
public:
    enum class Command { None, Sqlite, PostgreSQL, Backup, Restore };

    static constexpr int DefaultRooms = 300;
    static constexpr int MaximumRooms = 1000000;

    // Arguments without the program name. On a refusal, error() says why and the other values are unset.
    static AdminArguments parse(const QStringList &arguments);
    static QString usage();

    bool helpRequested() const { return m_help; }
    // -v or --version; help wins when both are asked for.
    bool versionRequested() const { return m_version && !m_help; }
    const QString &error() const { return m_error; }
    bool isValid() const { return m_error.isEmpty(); }

    Command command() const { return m_command; }
    // sqlite: the folder of the embedded database.
    const QString &directory() const { return m_directory; }
    // postgresql: the server's database, and the password when it is given on the command line (libpq's
    // PGPASSWORD and ~/.pgpass serve otherwise).
    const QString &url() const { return m_url; }
    const QString &password() const { return m_password; }
    bool demo() const { return m_demo; }
    int rooms() const { return m_rooms; }
    // Empty when not given: the demo account then takes the login of the user who runs the command.
    const QString &user() const { return m_user; }
    bool replace() const { return m_replace; }
    // backup --daily: the day's automatic copy, unless one was made today.
    bool daily() const { return m_daily; }
    // restore --list, or the backup to restore (its name in the backup folder, or its folder).
    bool list() const { return m_list; }
    const QString &backup() const { return m_backup; }

private:
    bool m_help = false;
    bool m_version = false;
    QString m_error;
    Command m_command = Command::None;
    QString m_directory;
    QString m_url;
    QString m_password;
    bool m_demo = false;
    int m_rooms = DefaultRooms;
    QString m_user;
    bool m_replace = false;
    bool m_daily = false;
    bool m_list = false;
    QString m_backup;
};

} // namespace admin
