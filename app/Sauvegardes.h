#pragma once

#include <QString>
#include <functional>

class QObject;
class QWidget;

namespace framework
{
class KORApplicationOC;
}

namespace app
{

// The backups of the embedded database as the desktop application makes them: "Sauvegarder la base…" and
// "Restaurer une sauvegarde…" in the Locavia menu, and the day's automatic copy when the application ends.
// On a server database there is nothing of the kind here (the server has its own).
class Sauvegardes
{
public:
    // What the application does for a restore: whether it may end now (unsaved work asks the user), and how
    // it ends once the base is restored.
    struct Liens {
        QWidget *fenetre = nullptr;
        std::function<bool()> peutTerminer;
        std::function<void()> terminer;
    };
    // Starts a new Locavia on the restored base; answers whether it started. Tests replace it.
    using Relance = std::function<bool()>;

    Sauvegardes(framework::KORApplicationOC &application, Liens liens);

    // Whether the database in use is an embedded one.
    bool disponible() const;
    // The database's folder and the folder of its backups; empty on a server.
    QString dossierBase() const;
    QString dossierSauvegardes() const;

    // "Sauvegarder la base…": a manual copy, told when done. A failure ends the action with its "ERREUR".
    void sauvegarder(QObject *sender);
    // "Restaurer une sauvegarde…": the list, the choice confirmed, the restore, then the application starts
    // again on the restored base.
    void restaurer(QObject *sender);
    // At the end of a session: the day's copy when none was made today. A failure is logged, and told once
    // a day; it never keeps the application from ending.
    void sauvegardeDuJour();

    static Relance setRelance(Relance relance);
    // The user default that remembers the day a failed copy was told.
    static QString cleEchecSignale() { return QStringLiteral("SauvegardeEchecSignale"); }

private:
    int attente() const;

    framework::KORApplicationOC &m_application;
    Liens m_liens;
};

} // namespace app
