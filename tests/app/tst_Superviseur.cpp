// The start-up of the application: its order, the rights test and what a refusal leaves behind, the tabs,
// the menus, the question before quitting with unsaved work, and the start-ups that cannot open the
// database.

#include "ApplicationIcon.h"
#include "ApplicationLog.h"
#include "CommandLine.h"
#include "DatabaseAddress.h"
#include "EOModel.h"
#include "EOPostgreSQLAdaptor.h"
#include "KORDataBusOC.h"
#include "NotificationCenter.h"
#include "QuestionPanel.h"
#include "ShellFixture.h"
#include "TestFont.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using app::Superviseur;

namespace
{

const QString applicationTitle = QStringLiteral("Locavia - (locavia.db)");
const QString refusalMessage = QStringLiteral(
    "L'application de reservations des salles s'appelle Horalis.app !\nCelle-ci est reservee au TAV !");

QStringList logged;
QtMessageHandler defaultHandler = nullptr;

void recordLog(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String(">>>>> ")))
        logged << message;
    else if (defaultHandler)
        defaultHandler(type, context, message);
}

// An outlet of the main window, found by its name.
template <class Widget> Widget *outlet(app::Superviseur &application, const char *name)
{
    return application.mainWindow()->findChild<Widget *>(QLatin1String(name));
}

QTabBar *onglets(app::Superviseur &application)
{
    return outlet<QTabBar>(application, "onglets");
}

QStackedWidget *swapView(app::Superviseur &application, const char *name)
{
    return outlet<QStackedWidget>(application, name);
}

bool menuEnabled(app::Superviseur &application, const char *name)
{
    QMenu *menu = outlet<QMenu>(application, name);
    return menu && menu->isEnabled() && menu->menuAction()->isEnabled();
}

qsizetype firstStartingWith(const QStringList &events, const QString &prefix)
{
    for (qsizetype i = 0; i < events.size(); ++i) {
        if (events.at(i).startsWith(prefix))
            return i;
    }
    return -1;
}

QAction *actionTitled(QMainWindow *window, const QString &text)
{
    const QList<QAction *> actions = window->findChildren<QAction *>();
    for (QAction *action : actions) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

// A user of the demo group, allowed to use the application.
void allowedUser(ShellRun &run, const QString &login)
{
    run.addPerson(1, login, {QStringLiteral("SCI")});
    run.allowGroups({QStringLiteral("SCI")});
}

} // namespace

class TestSuperviseur : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void startsInOrderOnceLaunchingIsOver();
    void startsOnAServerInThreeRoundTrips();
    void rightsTest_data();
    void rightsTest();
    void tabs();
    void menus();
    void quitAsksAboutUnsavedWork();
    void databaseThatCannotBeOpened_data();
    void databaseThatCannotBeOpened();
    void databaseNamedOnTheCommandLine_data();
    void databaseNamedOnTheCommandLine();
    void aboutLocavia();
    void windowIcon();
};

void TestSuperviseur::initTestCase()
{
    defaultHandler = qInstallMessageHandler(recordLog);
}

void TestSuperviseur::init()
{
    logged.clear();
    ShellApplication::systemUser = QStringLiteral("amartin");
}

void TestSuperviseur::startsInOrderOnceLaunchingIsOver()
{
    ShellRun run(QVariant(QStringLiteral("amartin")));
    allowedUser(run, QStringLiteral("amartin"));
    run.setMirlUser(QStringLiteral("YES"));
    ShellApplication &app = run.app();
    // Loading the main interface starts nothing: start-up waits for the end of launching.
    QVERIFY(!run.events.contains(QStringLiteral("launcher")));
    QCOMPARE(run.creation(), nullptr);
    run.events.clear();

    platform::NotificationCenter::defaultCenter().postNotificationName(
        Superviseur::didFinishLaunchingNotification, &app);
    QVERIFY(!app.hasTerminated());
    const QStringList &events = run.events;
    QCOMPARE(events.value(0), QStringLiteral("title:") + Superviseur::startupTitle);
    const qsizetype launcher = events.indexOf(QStringLiteral("launcher"));
    const qsizetype creation = events.indexOf(QStringLiteral("load:Creation"));
    const qsizetype options = events.indexOf(QStringLiteral("load:Options"));
    const qsizetype batiment = events.indexOf(QStringLiteral("load:Batiment"));
    const qsizetype matosUnite = events.indexOf(QStringLiteral("load:MatosUnite"));
    const qsizetype rights =
        firstStartingWith(events, QStringLiteral("title:Veuillez Patienter, RECHERCHE : RepartCompteVix"));
    const qsizetype initCreation = events.indexOf(QStringLiteral("initObjet:Creation"));
    const qsizetype initOptions = events.indexOf(QStringLiteral("initObjet:Options"));
    QVERIFY2(launcher > 0 && launcher < creation && creation < options && options < batiment &&
                 batiment < matosUnite && matosUnite < rights && rights < initCreation &&
                 initCreation < initOptions,
             qPrintable(events.join(u'\n')));
    // The launcher's user needs no panel, whatever MIRL_USER says.
    QVERIFY(!events.contains(QStringLiteral("panel")));
    QCOMPARE(firstStartingWith(events, QStringLiteral("check:")), -1);
    QCOMPARE(app.localUser().toString(), QStringLiteral("amartin"));
    // The window keeps the start-up title until the first fetch.
    QCOMPARE(run.titlesSeen, QStringList(5, Superviseur::startupTitle));
    QCOMPARE(app.mainWindow()->windowTitle(), applicationTitle);

    // The room tab is shown.
    QCOMPARE(app.tagOnglet(), 0);
    QCOMPARE(onglets(app)->currentIndex(), 0);
    QVERIFY(onglets(app)->isTabEnabled(0));
    QVERIFY(onglets(app)->isTabEnabled(1));
    QCOMPARE(swapView(app, "buttonView")->currentWidget(), run.creation()->afficheBoutons());
    QCOMPARE(swapView(app, "contenuView")->currentWidget(), run.creation()->afficheVue());
    QVERIFY(app.mainWindow()->isVisible());

    // It runs once.
    const qsizetype count = events.size();
    platform::NotificationCenter::defaultCenter().postNotificationName(
        Superviseur::didFinishLaunchingNotification, &app);
    QCOMPARE(run.events.size(), count);
    QCOMPARE(run.creation()->inits, 1);
    QCOMPARE(run.options()->inits, 1);
}

// On a department's server, a user named by the launcher waits for the server three times at start-up: once
// to open the connection (the schema's rights and the session's login together), once for the rights test's
// first reads and the tabs' lists together, once for the membership that depends on them.
void TestSuperviseur::startsOnAServerInThreeRoundTrips()
{
    LOCAVIA_REQUIRE_BACKEND(TestDatabase::Backend::PostgreSQL);
    ShellRun run(QVariant(QStringLiteral("amartin")), TestDatabase::Backend::PostgreSQL);
    QVERIFY2(run.db().isValid(), qPrintable(run.db().error()));
    allowedUser(run, QStringLiteral("amartin"));
    ShellApplication &app = run.app();
    app.initApp();
    QVERIFY2(!app.hasTerminated(), qPrintable(run.events.join(u'\n')));
    QVERIFY(run.alerts.isEmpty());
    const auto *adaptor = dynamic_cast<eo::EOPostgreSQLAdaptor *>(app.superDataBus()->dataBusAdaptor());
    QVERIFY(adaptor);
    QVERIFY2(adaptor->roundTrips() <= 3, qPrintable(QString::number(adaptor->roundTrips())));
    // The tab's lists came with the rights test's reads.
    auto *types = app.mainWindow()->findChild<QComboBox *>(QStringLiteral("typePopup"));
    QVERIFY(types);
    QCOMPARE(types->count(), 4);
}

void TestSuperviseur::rightsTest_data()
{
    QTest::addColumn<QString>("systemUser");
    QTest::addColumn<QStringList>("accounts");    // cptOrdre:login:persId
    QTest::addColumn<QStringList>("memberships"); // persId:group
    QTest::addColumn<QStringList>("allowed");
    QTest::addColumn<bool>("passes");

    const QStringList sci{QStringLiteral("SCI")};
    QTest::newRow("member of the configured group")
        << "amartin" << QStringList{"10:amartin:1"} << QStringList{"1:SCI"} << sci << true;
    QTest::newRow("member of the second configured group")
        << "amartin" << QStringList{"10:amartin:1"} << QStringList{"1:G1"} << QStringList{"SCI", "G1"}
        << true;
    QTest::newRow("memberships outside the configured groups")
        << "amartin" << QStringList{"10:amartin:1"} << QStringList{"1:UNIV", "1:G1"} << sci << false;
    QTest::newRow("no account") << "pdurand" << QStringList{"10:amartin:1"} << QStringList{"1:SCI"} << sci
                                << false;
    QTest::newRow("no configured group")
        << "amartin" << QStringList{"10:amartin:1"} << QStringList{"1:SCI"} << QStringList{} << false;
    QTest::newRow("several accounts: only the first person counts")
        << "amartin" << QStringList{"10:amartin:2", "20:amartin:1"} << QStringList{"1:SCI"} << sci << false;
    QTest::newRow("several accounts: the first person is a member")
        << "amartin" << QStringList{"10:amartin:1", "20:amartin:2"} << QStringList{"1:SCI"} << sci << true;
    QTest::newRow("system name in capitals")
        << "AMartin" << QStringList{"10:amartin:1"} << QStringList{"1:SCI"} << sci << true;
    QTest::newRow("quote in the login")
        << "o'brien" << QStringList{"10:o'brien:1"} << QStringList{"1:SCI"} << sci << true;
    QTest::newRow("login written as a condition")
        << "x' or '1'='1" << QStringList{"10:amartin:1"} << QStringList{"1:SCI"} << sci << false;
    QTest::newRow("qualifier words in the login")
        << "amartin or cptLogin = amartin" << QStringList{"10:amartin:1"} << QStringList{"1:SCI"} << sci
        << false;
    QTest::newRow("wildcard login") << "*" << QStringList{"10:amartin:1"} << QStringList{"1:SCI"} << sci
                                    << false;
}

void TestSuperviseur::rightsTest()
{
    QFETCH(QString, systemUser);
    QFETCH(QStringList, accounts);
    QFETCH(QStringList, memberships);
    QFETCH(QStringList, allowed);
    QFETCH(bool, passes);
    ShellApplication::systemUser = systemUser;

    ShellRun run;
    QSet<int> persons;
    for (const QString &account : accounts)
        persons.insert(account.section(u':', 2).toInt());
    for (const QString &membership : memberships)
        persons.insert(membership.section(u':', 0, 0).toInt());
    for (int person : std::as_const(persons))
        run.addPerson(person, QString(), {});
    for (const QString &account : accounts)
        run.addAccount(account.section(u':', 0, 0).toInt(), account.section(u':', 1, -2),
                       account.section(u':', -1).toInt());
    for (const QString &membership : memberships) {
        run.db().query(
            QStringLiteral("INSERT INTO SOLMA.REPART_STRUCTURE (PERS_ID, C_STRUCTURE) VALUES (?, ?)"),
            {membership.section(u':', 0, 0).toInt(), membership.section(u':', 1)});
    }
    run.allowGroups(allowed);
    ShellApplication &app = run.app();

    app.initApp();
    QCOMPARE(app.localUser().toString(), systemUser.toLower());
    const QStringList &events = run.events;
    QVERIFY(events.contains(QStringLiteral("load:MatosUnite")));
    if (passes) {
        QVERIFY2(!app.hasTerminated(), qPrintable(events.join(u'\n')));
        QVERIFY(run.alerts.isEmpty());
        QCOMPARE(run.creation()->inits, 1);
        QVERIFY(onglets(app)->isTabEnabled(0));
        QVERIFY(menuEnabled(app, "menuAdministration"));
        return;
    }

    QCOMPARE(run.alerts.size(), 1);
    QCOMPARE(run.alerts.first().title, QStringLiteral("ATTENTION"));
    QCOMPARE(run.alerts.first().message, refusalMessage);
    // Identification and the four controllers came before the refusal.
    QVERIFY(events.indexOf(QStringLiteral("load:MatosUnite")) <
            events.indexOf(QStringLiteral("alert:ATTENTION")));
    QVERIFY(app.hasTerminated());
    QCOMPARE(app.exitStatus(), 1);
    QCOMPARE(app.quits, 1);
    QCOMPARE(app.delegate(), nullptr);
    // Nothing of the running application was set up.
    QCOMPARE(run.creation()->inits, 0);
    QCOMPARE(run.options()->inits, 0);
    QCOMPARE(run.creation()->boutons, 0);
    QCOMPARE(swapView(app, "buttonView")->count(), 0);
    QCOMPARE(swapView(app, "contenuView")->count(), 0);
    QVERIFY(!onglets(app)->isTabEnabled(0));
    QVERIFY(!onglets(app)->isTabEnabled(1));
    QVERIFY(!outlet<QMenu>(app, "menuAdministration")->isEnabled());
    QVERIFY(!outlet<QMenu>(app, "menuCreationBatiment")->isEnabled());
}

void TestSuperviseur::tabs()
{
    ShellRun run;
    allowedUser(run, QStringLiteral("amartin"));
    ShellApplication &app = run.app();
    PIN_TEST_FONT(); // the tabs' sizes are compared below
    app.initApp();
    QVERIFY(!app.hasTerminated());
    RecordingTab *creation = run.creation();
    RecordingTab *options = run.options();
    QTabBar *bar = onglets(app);
    QStackedWidget *buttonView = swapView(app, "buttonView");
    QStackedWidget *contenuView = swapView(app, "contenuView");
    QCOMPARE(creation->boutons, 1);
    QCOMPARE(creation->vues, 1);
    QCOMPARE(options->boutons, 0);

    // The tab already shown: nothing is shown again.
    app.changeOnglets(bar);
    QCOMPARE(creation->boutons, 1);
    QCOMPARE(creation->vues, 1);

    // The options tab.
    bar->setCurrentIndex(1);
    QCOMPARE(app.tagOnglet(), 1);
    QCOMPARE(options->boutons, 1);
    QCOMPARE(options->vues, 1);
    QCOMPARE(buttonView->currentWidget(), options->afficheBoutons());
    QCOMPARE(contenuView->currentWidget(), options->afficheVue());
    // The tab shown alone sizes the content area: the taller room form does not make the options scroll.
    QWidget *vueSalles = contenuView->widget(0);
    QCOMPARE(contenuView->minimumSizeHint().height(),
             contenuView->currentWidget()->minimumSizeHint().height());
    QVERIFY(contenuView->minimumSizeHint().height() < vueSalles->minimumSizeHint().height());
    app.changeOnglets(bar);
    QCOMPARE(options->boutons, 2); // the two calls above, not a redisplay
    QCOMPARE(options->vues, 2);

    // Any column but the first shows the options.
    bar->addTab(QStringLiteral("Autre"));
    bar->setCurrentIndex(2);
    QCOMPARE(app.tagOnglet(), 2);
    QCOMPARE(options->boutons, 3);
    QCOMPARE(buttonView->currentWidget(), options->afficheBoutons());

    bar->setCurrentIndex(0);
    QCOMPARE(app.tagOnglet(), 0);
    QCOMPARE(creation->boutons, 2);
    QCOMPARE(buttonView->currentWidget(), creation->afficheBoutons());
    QCOMPARE(contenuView->currentWidget(), creation->afficheVue());
    QCOMPARE(contenuView->minimumSizeHint().height(), vueSalles->minimumSizeHint().height());
    // Each view is swapped in once and shown again later.
    QCOMPARE(buttonView->count(), 2);
    QCOMPARE(contenuView->count(), 2);
    // Every view belongs to the widget that shows it, the building and reference windows to the main
    // window: they go with it, not with their controller.
    for (const RecordingTab *tab : {creation, options}) {
        QCOMPARE(tab->afficheBoutons()->parentWidget(), buttonView);
        QCOMPARE(tab->afficheVue()->parentWidget(), contenuView);
    }
    for (const char *fenetre : {"fenetreBatiment", "fenetreExport", "panelGestionMatos", "panelUnite"})
        QVERIFY2(app.mainWindow()->findChild<QDialog *>(QLatin1String(fenetre)), fenetre);

    // The notification shows the selected tab again.
    const int before = creation->boutons;
    platform::NotificationCenter::defaultCenter().postNotificationName(QStringLiteral("afficheOnglet"));
    QCOMPARE(creation->boutons, before + 1);
    // Nobody handles the comment line; posting it changes nothing.
    platform::NotificationCenter::defaultCenter().postNotificationName(QStringLiteral("ligneCommentaire"));
    QCOMPARE(app.tagOnglet(), 0);
    QVERIFY(!app.hasTerminated());
}

void TestSuperviseur::menus()
{
    ShellRun run;
    allowedUser(run, QStringLiteral("amartin"));
    ShellApplication &app = run.app();
    QMainWindow *window = app.mainWindow();
    QAction *masquer = actionTitled(window, QStringLiteral("Masquer"));
    QAction *quitter = actionTitled(window, QStringLiteral("Quitter"));
    QVERIFY(masquer && quitter);
    // Until the rights test has passed, nothing can be chosen.
    QVERIFY(!masquer->isEnabled());
    QVERIFY(!quitter->isEnabled());
    QVERIFY(!outlet<QMenu>(app, "menuAdministration")->isEnabled());
    QVERIFY(!outlet<QMenu>(app, "menuCreationBatiment")->isEnabled());
    QVERIFY(!outlet<QMenu>(app, "menuAdministration")->menuAction()->isEnabled());
    QAction *registre = actionTitled(window, QStringLiteral("Registre des bâtiments..."));
    QAction *listeDesSalles = actionTitled(window, QStringLiteral("Liste des salles d'un bâtiment..."));
    QVERIFY(registre && listeDesSalles);
    QVERIFY(!registre->isEnabled());
    for (QAction *action : outlet<QMenu>(app, "menuAdministration")->actions())
        QVERIFY2(!action->isEnabled(), qPrintable(action->text()));

    app.initApp();
    QVERIFY(masquer->isEnabled());
    QVERIFY(quitter->isEnabled());
    QVERIFY(menuEnabled(app, "menuAdministration"));
    QVERIFY(menuEnabled(app, "menuCreationBatiment"));
    // The building items open their windows, modally; each is closed by its own button.
    for (const auto &[item, fenetre, bouton] :
         {std::tuple{registre, "fenetreBatiment", "boutonFinir"},
          std::tuple{listeDesSalles, "fenetreExport", "boutonFermerExport"}}) {
        QVERIFY(item->isEnabled());
        bool ouverte = false;
        QTimer::singleShot(0, &app, [&, fenetre = fenetre, bouton = bouton] {
            QWidget *trouvee = nullptr;
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (w->objectName() == QLatin1String(fenetre))
                    trouvee = w;
            }
            ouverte = trouvee && trouvee->isVisible() && app.isRunningModal();
            if (trouvee)
                trouvee->findChild<QPushButton *>(QLatin1String(bouton))->click();
        });
        item->trigger();
        QVERIFY2(ouverte, fenetre);
        QVERIFY(!app.isRunningModal());
    }

    // The administration menu opens the reference panels, each run modally until it is closed.
    QStringList items;
    QStringList opened;
    for (QAction *action : outlet<QMenu>(app, "menuAdministration")->actions()) {
        items << action->text();
        QVERIFY(action->isEnabled());
        QTimer::singleShot(0, &app, [&app, &opened] {
            if (QWidget *panel = app.theModalWindow()) {
                opened << panel->objectName();
                panel->hide();
            }
        });
        action->trigger();
        QVERIFY(!app.isRunningModal());
    }
    QCOMPARE(items, (QStringList{"Familles et types de matériel...", "Unités de mesure..."}));
    QCOMPARE(opened, (QStringList{"panelGestionMatos", "panelGestionUnite"}));

    masquer->trigger();
    QTRY_VERIFY(window->windowState() & Qt::WindowMinimized);
    QVERIFY(!app.hasTerminated());

    quitter->trigger();
    QVERIFY(app.hasTerminated());
    QCOMPARE(app.exitStatus(), 0);
    QCOMPARE(app.lastStatus, 0);
}

void TestSuperviseur::quitAsksAboutUnsavedWork()
{
    ShellRun run;
    allowedUser(run, QStringLiteral("amartin"));
    ShellApplication &app = run.app();
    app.initApp();
    QMainWindow *window = app.mainWindow();
    QAction *quitter = actionTitled(window, QStringLiteral("Quitter"));
    QStringList questions;
    int reponse = 0;
    platform::setQuestionPresenter(
        [&](const QString &, const QString &message, const QString &, const QString &) {
            questions << message;
            return reponse;
        });
    const auto sansQuestion = qScopeGuard([] { platform::setQuestionPresenter({}); });

    // A room being created, a floor typed: "Annuler" keeps the application, by the menu or the close box.
    window->findChild<QPushButton *>(QStringLiteral("boutonCreer"))->click();
    window->findChild<QLineEdit *>(QStringLiteral("localisationEtage"))->setText(QStringLiteral("2"));
    quitter->trigger();
    QVERIFY(!app.hasTerminated());
    QCloseEvent fermeture;
    QApplication::sendEvent(window, &fermeture);
    QVERIFY(!fermeture.isAccepted());
    QVERIFY(!app.hasTerminated());
    QCOMPARE(questions, QStringList(2, QStringLiteral("Quitter sans enregistrer les modifications ?")));

    // Cancelled, nothing is left to lose: no question.
    window->findChild<QPushButton *>(QStringLiteral("boutonAnnuler"))->click();
    QCloseEvent sansRien;
    QApplication::sendEvent(window, &sansRien);
    QVERIFY(sansRien.isAccepted());
    QCOMPARE(questions.size(), 2);

    // "Quitter" ends it.
    window->findChild<QPushButton *>(QStringLiteral("boutonCreer"))->click();
    window->findChild<QLineEdit *>(QStringLiteral("localisationEtage"))->setText(QStringLiteral("2"));
    reponse = 1;
    quitter->trigger();
    QCOMPARE(questions.size(), 3);
    QVERIFY(app.hasTerminated());
    QCOMPARE(app.exitStatus(), 0);
}

void TestSuperviseur::databaseThatCannotBeOpened_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QByteArray>("content"); // written at the URL's place when not empty
    QTest::addColumn<QString>("advice");
    QTest::newRow("missing file") << "sqlite://%1/absent/locavia.db" << QByteArray() << "locavia-admin";
    QTest::newRow("not a database") << "sqlite://%1/broken/locavia.db"
                                    << QByteArray("Ceci n'est pas une base de données.\n").repeated(200)
                                    << "locavia-admin";
    QTest::newRow("server down") << "postgresql://127.0.0.1:1/locavia" << QByteArray() << "serveur";
}

void TestSuperviseur::databaseThatCannotBeOpened()
{
    QFETCH(QString, url);
    QFETCH(QByteArray, content);
    QFETCH(QString, advice);
    QTemporaryDir place;
    QVERIFY(place.isValid());
    const QString address = url.contains(QLatin1String("%1")) ? url.arg(place.path()) : url;
    if (!content.isEmpty()) {
        const QString path = address.mid(QStringLiteral("sqlite://").size());
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        QFile solma(QFileInfo(path).absolutePath() + QStringLiteral("/solma.db"));
        QVERIFY(solma.open(QIODevice::WriteOnly));
        solma.write(content);
    }

    ShellRun run;
    QVariantMap connection = run.db().model().connectionDictionary();
    connection.insert(QStringLiteral("URL"), address);
    connection.insert(QStringLiteral("username"), QStringLiteral("locavia"));
    connection.insert(QStringLiteral("password"), QStringLiteral("secret"));
    run.db().model().setConnectionDictionary(connection);
    ShellApplication &app = run.app();

    app.initApp();
    QCOMPARE(run.alerts.size(), 1);
    QCOMPARE(run.alerts.first().title, QStringLiteral("ERREUR"));
    const QString message = run.alerts.first().message;
    QVERIFY2(message.startsWith(QStringLiteral("Locavia ne peut pas ouvrir sa base de données.")),
             qPrintable(message));
    QVERIFY2(message.contains(advice), qPrintable(message));
    QVERIFY(app.hasTerminated());
    QCOMPARE(app.exitStatus(), 1);
    QCOMPARE(firstStartingWith(run.events, QStringLiteral("load:")), -1);
    QVERIFY(!onglets(app)->isTabEnabled(0));
    // The interruption once; the database's own words, when it gave any, on a line of their own.
    QCOMPARE(logged.filter(QStringLiteral("Démarrage interrompu")).size(), 1);
}

void TestSuperviseur::databaseNamedOnTheCommandLine_data()
{
    QTest::addColumn<QString>("argument");       // %1: a temporary folder; %db: the test database's folder
    QTest::addColumn<QString>("modelURL");       // where the model points, %1 as above
    QTest::addColumn<QString>("named");          // what the alert names; empty when the application starts
    QTest::addColumn<QString>("modelReference"); // the reference file the model attaches, %1 as above

    QTest::newRow("missing folder") << "%1/absent"
                                    << ""
                                    << "%1/absent/locavia.db"
                                    << "";
    QTest::newRow("server down") << "postgresql://127.0.0.1:1/locavia"
                                 << ""
                                 << "127.0.0.1:1"
                                 << "";
    QTest::newRow("unknown kind of address") << "mysql://h/b"
                                             << ""
                                             << "mysql://h/b"
                                             << "";
    // The database named wins over the model's, whichever of the two can be opened.
    QTest::newRow("named database opens, model's is missing") << "%db"
                                                              << "sqlite://%1/absent/locavia.db"
                                                              << ""
                                                              << "";
    // The reference file is the one beside the inventory named, wherever the model's is.
    QTest::newRow("named database with its reference file beside it") << "%db"
                                                                      << "sqlite://%1/absent/locavia.db"
                                                                      << ""
                                                                      << "%1/absent/solma.db";
}

void TestSuperviseur::databaseNamedOnTheCommandLine()
{
    QFETCH(QString, argument);
    QFETCH(QString, modelURL);
    QFETCH(QString, named);
    QFETCH(QString, modelReference);
    QTemporaryDir place;
    QVERIFY(place.isValid());
    ShellRun run;
    allowedUser(run, QStringLiteral("amartin"));
    auto expand = [&](QString text) {
        return text.replace(QLatin1String("%db"), run.db().directory())
            .replace(QLatin1String("%1"), place.path());
    };
    if (!modelURL.isEmpty()) {
        QVariantMap connection = run.db().model().connectionDictionary();
        connection.insert(QStringLiteral("URL"), expand(modelURL));
        if (!modelReference.isEmpty())
            connection.insert(QStringLiteral("attachedDatabases"),
                              QVariantMap{{QStringLiteral("SOLMA"), expand(modelReference)}});
        run.db().model().setConnectionDictionary(connection);
    }
    ShellApplication &app = run.app();
    app.setDatabaseAddress(data::DatabaseAddress::fromArgument(expand(argument)));
    app.initApp();

    if (named.isEmpty()) {
        QVERIFY2(run.alerts.isEmpty(), qPrintable(run.alerts.value(0).message));
        QVERIFY(!app.hasTerminated());
        QCOMPARE(app.superTitle(), QStringLiteral("Locavia - (%1/locavia.db)").arg(run.db().directory()));
        return;
    }
    QCOMPARE(run.alerts.size(), 1);
    QCOMPARE(run.alerts.first().title, QStringLiteral("ERREUR"));
    const QString message = run.alerts.first().message;
    QVERIFY2(message.startsWith(QStringLiteral("Locavia ne peut pas ouvrir sa base de données.")),
             qPrintable(message));
    QVERIFY2(message.contains(expand(named)), qPrintable(message));
    QVERIFY(app.hasTerminated());
    QCOMPARE(app.exitStatus(), 1);
    QCOMPARE(firstStartingWith(run.events, QStringLiteral("load:")), -1);
}

void TestSuperviseur::aboutLocavia()
{
    ShellRun run;
    allowedUser(run, QStringLiteral("amartin"));
    ShellApplication &app = run.app();
    QAction *about = actionTitled(app.mainWindow(), QStringLiteral("À propos de Locavia"));
    QVERIFY(about);
    QVERIFY(outlet<QMenu>(app, "menuLocavia")->actions().contains(about));
    // It tells what it can before the database is open, so it is enabled from the start.
    QVERIFY(about->isEnabled());
    about->trigger();
    QCOMPARE(run.alerts.size(), 1);
    QCOMPARE(run.alerts.first().title, QStringLiteral("À propos de Locavia"));
    QVERIFY2(
        run.alerts.first().message.contains(QStringLiteral("Base de données : aucune n'est encore ouverte")),
        qPrintable(run.alerts.first().message));
    QVERIFY(run.alerts.first().message.contains(QStringLiteral("Journal : non enregistré dans un fichier")));

    app.initApp();
    QVERIFY(!app.hasTerminated());
    QTemporaryDir state;
    QVERIFY(state.isValid());
    const QString logPath = state.filePath(QStringLiteral("Locavia/locavia.log"));
    QVERIFY(platform::ApplicationLog::install(logPath, QStringLiteral("locavia")));
    about->trigger();
    platform::ApplicationLog::uninstall();
    QCOMPARE(run.alerts.size(), 2);
    const QString message = run.alerts.last().message;
    QVERIFY2(message.startsWith(QStringLiteral("Locavia %1\n").arg(platform::locaviaVersion())),
             qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("Base de données : %1/locavia.db").arg(run.db().directory())),
             qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("Journal : ") + logPath), qPrintable(message));
}

void TestSuperviseur::windowIcon()
{
    ShellRun run;
    // The drawing is compiled into the program; a menu's 16 px and a dock's 256 px are both there.
    const QIcon icon = app::ApplicationIcon::icon();
    QVERIFY(!icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    QVERIFY2(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(256, 256)),
             qPrintable(QString::number(sizes.size())));
    const QImage small = icon.pixmap(16, 16).toImage();
    QVERIFY(small.pixelColor(8, 8).alpha() == 255);
}

int main(int argc, char *argv[])
{
    // Each test starts an application of its own; between them there is none.
    ShellResources resources;
    if (!resources.isValid())
        return 2;
    TestSuperviseur test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Superviseur.moc"
