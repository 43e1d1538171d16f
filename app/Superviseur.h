#pragma once

#include "BugFixApplication.h"
#include "ControllerFactory.h"
#include "EODisplayGroup.h"
#include "EOGenericRecord.h"
#include "Sauvegardes.h"
#include "TabController.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <memory>

class QDialog;
class QMainWindow;
class QStackedWidget;

namespace Ui
{
class MainMenu;
class Identification;
} // namespace Ui

namespace buildings
{
class Batiment;
}

namespace reference
{
class MatosUnite;
}

namespace statistics
{
class Statistiques;
}

namespace widgets
{
class Calendrier;
}

namespace app
{

// The application object of Locavia. It builds the main window (two tabs, rooms and options, over a bar of
// buttons and a content area, and the menus), and once launching is over it starts the application in a
// fixed order: the database, the user's identification, the four controllers with their forms, the rights
// test (only the members of the configured groups may go on), then the tabs and the menus.
class Superviseur : public widgets::BugFixApplication
{
    Q_OBJECT
public:
    // The notification after which initApp runs, posted once the event loop has started.
    static const QString didFinishLaunchingNotification;
    // The main window's title while the application starts.
    static const QString startupTitle;

    Superviseur(int &argc, char **argv, ControllerFactory factory = ControllerFactory::standard());
    ~Superviseur() override;

    // The application object, or null when none (or another kind) exists.
    static Superviseur *instance();

    // Builds the main window from its interface file, then awakeFromNib.
    void loadMainInterface();
    // Subscribes initApp to the end of launching and makes the application its own delegate. The key-window
    // subscription of the base class is left out on purpose.
    void awakeFromNib() override;
    // The start-up sequence; runs once.
    void initApp();
    // Opens the database as the base class does; in place of the model's default database (the user's data
    // folder), the one remembered from an earlier start, or the welcome's choice at the first start (or when
    // the one remembered is gone), then remembered. Opens nothing when the user quits the welcome (the
    // application then ends with status 0).
    void initAccesBase() override;

    // The tabs: afficheOnglet shows the selected tab's buttons and content; changeOnglets does so only
    // when another tab than the one shown is selected.
    void afficheOnglet();
    void changeOnglets(QObject *sender);

    // Identification: the launcher's user, else the system's user in lower case, confirmed with a password
    // through the login panel when the reference parameter MIRL_USER asks for it.
    void initIdentification();
    using KORApplicationOC::initIdentification;
    void openIdentification();
    void validerIdentification(QObject *sender);
    // The rights test: the user's first account belongs to one of the groups of SALLE_STRUCTURE.
    bool TAVouKOR();
    // Its first reads (the user's accounts, the groups of SALLE_STRUCTURE), which depend on nothing else.
    QList<eo::EOPrefetch::Fetch> lecturesDesDroits() const;
    // The reference parameter rows of a key (entity SolmaParametres), possibly none.
    QList<eo::EORecord> getValues(const QString &key);
    using KORApplicationOC::getValues;

    // "Statistiques" (Locavia menu, Ctrl+T): the surfaces and use of the inventory or of the current search.
    void ouvrirStatistiques(QObject *sender);
    statistics::Statistiques *statistiques() const { return m_statistiques.get(); }

    // Ends the application ("Quitter"), unless a tab with unsaved work is told to stay.
    void terminate(QObject *sender);
    // Asks each tab whether the application may end now (a creation or modification with typed changes
    // asks the user).
    bool applicationShouldTerminate();
    // "À propos de Locavia": the version, the database in use and the log file.
    void aPropos(QObject *sender);
    bool hasTerminated() const { return m_terminated; }
    // 0 after "Quitter"; 1 when start-up ended the application (identification, rights, database).
    int exitStatus() const { return m_exitStatus; }
    QObject *delegate() const { return m_delegate; }
    void setDelegate(QObject *delegate) { m_delegate = delegate; }

    // State and outlets
    int tagOnglet() const { return m_tagOnglet; }
    const QVariant &localUser() const { return m_localUser; }
    int cptPasswd() const { return m_cptPasswd; }
    TabController *toCreation() const { return m_toCreation.get(); }
    TabController *toOptions() const { return m_toOptions.get(); }
    buildings::Batiment *toBatiment() const { return m_toBatiment.get(); }
    reference::MatosUnite *toMatosUnite() const { return m_toMatosUnite.get(); }
    QMainWindow *mainWindow() const { return m_window.get(); }
    // The date panel any window may open (afficherPanel); the chosen day comes back through the
    // notification "dateCalendrier". Built at the first call.
    widgets::Calendrier &calendrier();
    // The backups of the embedded database (Locavia menu, and the day's copy at the end); null before the
    // database is open.
    Sauvegardes *sauvegardes() const { return m_sauvegardes.get(); }
    QDialog *panneauIdentification() const { return m_panneau.get(); }

signals:
    // The start-up sequence has shown the room tab.
    void started();

protected:
    // How the application ends once it has decided to; tests keep the process and their event loops.
    void quitApplication(int status) override;
    // The operating system's login of the user (operatingSystemUserName); tests name the user they need.
    virtual QString operatingSystemUser() const;
    // The main window's close box asks the tabs first, as "Quitter" does.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void startUp();
    // The database to open in place of the model's (empty: the model's own), nothing when the user gave up.
    std::optional<QVariantMap> chooseDatabase(const QVariantMap &connection);
    void loadControllers();
    void enableMenus();
    void masquer();
    void endApplication(int status);
    void sauvegardeDuJour();
    void buildIdentificationPanel();
    bool loginAccepted(const QVariant &answer);
    static void montrer(QStackedWidget *swapView, QWidget *view);

    ControllerFactory m_factory;
    std::unique_ptr<QMainWindow> m_window;
    std::unique_ptr<Ui::MainMenu> ui;
    eo::EODisplayGroup m_parametreEOD;

    std::unique_ptr<TabController> m_toCreation;
    std::unique_ptr<TabController> m_toOptions;
    std::unique_ptr<buildings::Batiment> m_toBatiment;
    std::unique_ptr<reference::MatosUnite> m_toMatosUnite;
    std::unique_ptr<widgets::Calendrier> m_calendrier;
    std::unique_ptr<statistics::Statistiques> m_statistiques;
    std::unique_ptr<Sauvegardes> m_sauvegardes;
    int m_tagOnglet = 0;

    std::unique_ptr<QDialog> m_panneau; // panneauIdentification
    std::unique_ptr<Ui::Identification> uiIdentification;
    int m_cptPasswd = 0;
    QVariant m_localUser;
    bool m_loginAccepted = false;

    QPointer<QObject> m_delegate;
    bool m_launched = false;
    bool m_droitsAccordes = false;
    bool m_terminated = false;
    int m_exitStatus = 0;
};

// The application object, as every part of the program reaches it.
Superviseur *NSApp();

} // namespace app
