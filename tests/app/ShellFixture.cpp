#include "ShellFixture.h"

#include "AlertPanel.h"
#include "Batiment.h"
#include "MatosUnite.h"
#include "Resources.h"

#include <QDialog>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>

namespace
{

// Notes the main window's titles and the opening of the login panel.
class EventRecorder : public QObject
{
public:
    explicit EventRecorder(QStringList &events) : m_events(events) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::WindowTitleChange && qobject_cast<QMainWindow *>(widget))
            m_events << QStringLiteral("title:") + widget->windowTitle();
        else if (event->type() == QEvent::Show &&
                 widget->objectName() == QLatin1String("panneauIdentification"))
            m_events << QStringLiteral("panel");
        return false;
    }

private:
    QStringList &m_events;
};

} // namespace

ShellResources::ShellResources()
{
    if (!m_dir.isValid())
        return;
    const QDir real(platform::resourcesDirectory());
    const QDir mine(m_dir.path());
    for (const QString &folder : {QStringLiteral("models"), QStringLiteral("sql")}) {
        if (!QFile::link(real.filePath(folder), mine.filePath(folder)))
            return;
    }
    QFile config(mine.filePath(QStringLiteral("Application.config")));
    if (!config.open(QIODevice::WriteOnly))
        return;
    config.write("\"DEFAULT_TITLE\" = \"Locavia\";\n"
                 "\"DEFAULT_TIME_ZONE\" = \"Europe/Paris\";\n"
                 "\"APP_ALIAS\" = \"LOCAVIA\";\n"
                 "\"MIRL_URL\" = \"http://127.0.0.1:9/mirl\";\n"
                 "\"DEFAULT_PREFIXE\" = \"LOCAVIA\";\n");
    config.close();
    qputenv("LOCAVIA_RESOURCES", m_dir.path().toUtf8());
    m_valid = true;
}

ShellRun::ShellRun(std::optional<QVariant> launcherUser, TestDatabase::Backend backend) : m_db(backend)
{
    m_argumentBytes.push_back(QByteArrayLiteral("locavia"));
    if (launcherUser) {
        for (const char *word : {"-HalvanePort", "4321", "-HalvaneTicket", "ST-42"})
            m_argumentBytes.push_back(QByteArray(word));
    }
    for (QByteArray &bytes : m_argumentBytes)
        m_arguments.push_back(bytes.data());
    m_arguments.push_back(nullptr);
    m_argc = int(m_argumentBytes.size());

    platform::setAlertPresenter([this](const QString &title, const QString &message, const QString &) {
        events << QStringLiteral("alert:") + title;
        alerts.append({title, message});
        return 1;
    });

    auto recorder = std::make_unique<EventRecorder>(events);
    app::ControllerFactory factory = app::ControllerFactory::standard();
    app::ControllerFactory recording;
    auto note = [this](const QString &name) {
        events << QStringLiteral("load:") + name;
        titlesSeen << (m_app && m_app->mainWindow() ? m_app->mainWindow()->windowTitle() : QString());
    };
    recording.creation = [this, note, make = factory.creation](data::KORDataBusOC &bus,
                                                               const app::ControllerFactory::Places &places) {
        note(QStringLiteral("Creation"));
        return std::unique_ptr<app::TabController>(
            std::make_unique<RecordingTab>(QStringLiteral("Creation"), make(bus, places), events));
    };
    recording.options = [this, note, make = factory.options](data::KORDataBusOC &bus,
                                                             const app::ControllerFactory::Places &places) {
        note(QStringLiteral("Options"));
        return std::unique_ptr<app::TabController>(
            std::make_unique<RecordingTab>(QStringLiteral("Options"), make(bus, places), events));
    };
    recording.batiment = [note, make = factory.batiment](data::KORDataBusOC &bus,
                                                         const app::ControllerFactory::Places &places) {
        note(QStringLiteral("Batiment"));
        return make(bus, places);
    };
    recording.matosUnite = [note, make = factory.matosUnite](data::KORDataBusOC &bus,
                                                             const app::ControllerFactory::Places &places) {
        note(QStringLiteral("MatosUnite"));
        return make(bus, places);
    };

    m_app = std::make_unique<ShellApplication>(m_argc, m_arguments.data(), std::move(recording));
    framework::KORDirectoryServices services;
    services.netId = [this, launcherUser](const QString &, const QString &, const QString &) {
        events << QStringLiteral("launcher");
        titlesSeen << (m_app->mainWindow() ? m_app->mainWindow()->windowTitle() : QString());
        return launcherUser.value_or(QVariant());
    };
    services.userInfo = [this](const QString &, const QString &login, const QString &, const QString &) {
        events << QStringLiteral("check:") + login;
        return verdicts.isEmpty() ? QVariant() : verdicts.takeFirst();
    };
    services.connectionInfo = [](const QString &, const QString &, const QVariant &) { return QVariant(); };
    m_app->setDirectoryServices(std::move(services));
    m_app->installEventFilter(recorder.get());
    m_recorder = std::move(recorder);
    m_app->loadMainInterface();
}

ShellRun::~ShellRun()
{
    m_app.reset();
    platform::setAlertPresenter({});
}

RecordingTab *ShellRun::creation() const
{
    return dynamic_cast<RecordingTab *>(m_app->toCreation());
}

RecordingTab *ShellRun::options() const
{
    return dynamic_cast<RecordingTab *>(m_app->toOptions());
}

void ShellRun::addPerson(int persId, const QString &login, const QStringList &groups)
{
    m_db.query(QStringLiteral(
                   "INSERT INTO SOLMA.INDIVIDU (PERS_ID, NOM_USUEL, PRENOM) VALUES (?, 'Martin', 'Anne')"),
               {persId});
    if (!login.isEmpty())
        addAccount(persId * 10, login, persId);
    for (const QString &group : groups) {
        m_db.query(QStringLiteral("INSERT INTO SOLMA.REPART_STRUCTURE (PERS_ID, C_STRUCTURE) VALUES (?, ?)"),
                   {persId, group});
    }
}

void ShellRun::addAccount(int cptOrdre, const QString &login, int persId)
{
    m_db.query(QStringLiteral("INSERT INTO SOLMA.REPART_COMPTE (CPT_ORDRE, CPT_LOGIN, "
                              "CPT_DOMAINE, PERS_ID) VALUES (?, ?, 'univ.fr', ?)"),
               {cptOrdre, login, persId});
}

void ShellRun::allowGroups(const QStringList &groups)
{
    for (const QString &group : groups) {
        m_db.query(
            QStringLiteral(
                "INSERT INTO SOLMA.SOLMA_PARAMETRES (PARAM_KEY, PARAM_VALUE) VALUES ('SALLE_STRUCTURE', ?)"),
            {group});
    }
}

void ShellRun::setMirlUser(const QString &value)
{
    m_db.query(
        QStringLiteral("INSERT INTO SOLMA.SOLMA_PARAMETRES (PARAM_KEY, PARAM_VALUE) VALUES ('MIRL_USER', ?)"),
        {value});
}

PanelDriver::PanelDriver(app::Superviseur &application, QList<Entry> entries, int patience)
    : m_app(application), m_entries(std::move(entries)), m_patience(patience)
{
    startTimer(10);
}

void PanelDriver::timerEvent(QTimerEvent *)
{
    QDialog *panel = m_app.panneauIdentification();
    if (!panel || !panel->isVisible())
        return;
    if (m_entries.isEmpty()) {
        if (++m_idleTicks > m_patience) {
            closedForLackOfEntries = true;
            panel->close();
        }
        return;
    }
    auto *login = panel->findChild<QLineEdit *>(QStringLiteral("bigLogin"));
    auto *password = panel->findChild<QLineEdit *>(QStringLiteral("bigPasswd"));
    auto *validate = panel->findChild<QPushButton *>(QStringLiteral("boutonValider"));
    if (!login || !password || !validate)
        return;
    const Entry entry = m_entries.takeFirst();
    seen.append({panel->windowTitle(), login->text(), m_app.cptPasswd(),
                 m_app.mainWindow() ? m_app.mainWindow()->windowTitle() : QString()});
    if (entry.login)
        login->setText(*entry.login);
    password->setText(entry.password);
    validate->click();
}
