#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace app
{

// The command line of the desktop application:
//   locavia [--database DOSSIER | FICHIER.db | postgresql://compte@serveur:port/base] [-Clé valeur ...]
//   locavia -h | --help | -v | --version
// The "-Clé valeur" pairs are user defaults for this run (-HalvanePort 4321 -HalvaneTicket ST-42); they are
// left to the user defaults. Texts are French once Qt's French translations are installed.
class LocaviaCommandLine
{
public:
    // The whole command line, the program first.
    static LocaviaCommandLine parse(const QStringList &arguments);

    // Whether the program stops here (help, version, a usage error) with exitStatus() and the texts below.
    bool exits() const { return m_exits; }
    int exitStatus() const { return m_exitStatus; }
    const QString &output() const { return m_output; }
    const QString &errorOutput() const { return m_errorOutput; }
    // The database named by --database (data::DatabaseAddress); empty for the model's own.
    const QVariantMap &databaseAddress() const { return m_databaseAddress; }

    // The words the command-line parser sees: the user-default pairs taken out.
    static QStringList withoutUserDefaults(const QStringList &arguments);

private:
    bool m_exits = false;
    int m_exitStatus = 0;
    QString m_output;
    QString m_errorOutput;
    QVariantMap m_databaseAddress;
};

} // namespace app
