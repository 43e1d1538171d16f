#pragma once

#include "ControllerFactory.h"
#include "Superviseur.h"
#include "TabController.h"
#include "TestDatabase.h"

#include <QDir>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

// A resources folder for the shell's tests: the real models and SQL, and a configuration whose MIRL service
// address is set (the tests answer in its place), so that the password check is asked.
class ShellResources
{
public:
    ShellResources();
    bool isValid() const { return m_valid; }

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
};

// The application object of a test: it records that it would end instead of ending the test's process.
class ShellApplication : public app::Superviseur
{
public:
    using app::Superviseur::Superviseur;
    int quits = 0;
    int lastStatus = -1;
    // The operating system's login of the tests' user.
    static inline QString systemUser = QStringLiteral("amartin");

protected:
    void quitApplication(int status) override
    {
        ++quits;
        lastStatus = status;
    }
    QString operatingSystemUser() const override { return systemUser; }
};

// A tab controller that notes what the main window asks of it, around the real one.
class RecordingTab : public app::TabController
{
public:
    RecordingTab(QString name, std::unique_ptr<app::TabController> inner, QStringList &events)
        : m_name(std::move(name)), m_inner(std::move(inner)), m_events(events)
    {
    }
    void initObjet() override
    {
        m_events << QStringLiteral("initObjet:") + m_name;
        ++inits;
        m_inner->initObjet();
    }
    QList<eo::EOPrefetch::Fetch> lecturesInitiales() const override { return m_inner->lecturesInitiales(); }
    QWidget *afficheBoutons() const override
    {
        ++boutons;
        return m_inner->afficheBoutons();
    }
    QWidget *afficheVue() const override
    {
        ++vues;
        return m_inner->afficheVue();
    }
    QObject *controller() const override { return m_inner->controller(); }
    bool applicationShouldTerminate() override { return m_inner->applicationShouldTerminate(); }

    int inits = 0;
    mutable int boutons = 0;
    mutable int vues = 0;

private:
    QString m_name;
    std::unique_ptr<app::TabController> m_inner;
    QStringList &m_events;
};

// One start of the application on a throwaway database, with the launcher, the password check and the
// alerts answered by the test, and everything that happens noted in order in events:
// "title:<window title>", "launcher", "check:<login>", "load:<controller>", "initObjet:<tab>",
// "panel", "alert:<title>".
class ShellRun
{
public:
    struct Alert {
        QString title;
        QString message;
    };

    // launcherUser: what the launcher answers when given; without it no launcher is configured. The database
    // is a fresh one of that backend.
    explicit ShellRun(std::optional<QVariant> launcherUser = std::nullopt,
                      TestDatabase::Backend backend = TestDatabase::Backend::SQLite);
    ~ShellRun();
    ShellRun(const ShellRun &) = delete;
    ShellRun &operator=(const ShellRun &) = delete;

    ShellApplication &app() { return *m_app; }
    TestDatabase &db() { return m_db; }
    RecordingTab *creation() const;
    RecordingTab *options() const;

    // Reference data
    void addPerson(int persId, const QString &login, const QStringList &groups);
    void addAccount(int cptOrdre, const QString &login, int persId);
    void allowGroups(const QStringList &groups);
    void setMirlUser(const QString &value);

    // What the password check answers, in turn (none when the list runs out).
    QList<QVariant> verdicts;
    QStringList events;
    QList<Alert> alerts;
    // The main window's title at each launcher question and each controller load.
    QStringList titlesSeen;

private:
    std::vector<QByteArray> m_argumentBytes;
    std::vector<char *> m_arguments;
    int m_argc = 0;
    TestDatabase m_db;
    std::unique_ptr<QObject> m_recorder;
    std::unique_ptr<ShellApplication> m_app;
};

// Answers the login panel as a user would: each entry is typed and validated in turn, while the panel is
// open. An entry without a login leaves the proposed one. Should the panel wait for more than the entries
// give, it is closed after a while (two seconds by default) so that no test hangs.
class PanelDriver : public QObject
{
public:
    struct Entry {
        std::optional<QString> login;
        QString password;
    };
    // What the panel showed when each entry was typed.
    struct Seen {
        QString title;
        QString proposedLogin;
        int cptPasswd;
        QString mainWindowTitle;
    };

    // patience: how many turns of 10 ms the panel may wait once the entries are used up.
    PanelDriver(app::Superviseur &application, QList<Entry> entries, int patience = 200);
    QList<Seen> seen;
    bool closedForLackOfEntries = false;

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    app::Superviseur &m_app;
    QList<Entry> m_entries;
    int m_idleTicks = 0;
    int m_patience;
};
