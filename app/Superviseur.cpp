#include "Superviseur.h"

#include "AboutLocavia.h"
#include "AlertPanel.h"
#include "ApplicationLog.h"
#include "Batiment.h"
#include "Bienvenue.h"
#include "Calendrier.h"
#include "CommandLine.h"
#include "Creation.h"
#include "DataFolder.h"
#include "DatabaseAddress.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "FirstDatabase.h"
#include "KORAction.h"
#include "KORConversions.h"
#include "KORDataBusOC.h"
#include "KORFormHelpers.h"
#include "MatosUnite.h"
#include "NotificationCenter.h"
#include "RememberedDatabase.h"
#include "StartupFailure.h"
#include "Statistiques.h"
#include "ui_Identification.h"
#include "ui_MainMenu.h"

#include <QAction>
#include <QDebug>
#include <QDialog>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>

namespace app
{

namespace
{

// The columns of the tab bar.
constexpr int cellCreation = 0;
constexpr int cellOptions = 1;

// The room tab's form shows whole, without scrolling, at the size the main window opens at on a screen of
// 1366×768 or more; its minimum size keeps the fields from being squashed (below it the form scrolls).
void fitContent(QMainWindow *window, QScrollArea *area)
{
    QWidget *content = area->widget();
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!content || !screen)
        return;
    window->layout()->activate();
    const QSize chrome = window->size() - area->maximumViewportSize();
    const QSize frame = window->frameGeometry().size() - window->size();
    const QSize room = screen->availableGeometry().size() - frame;
    const QSize minimum = (content->minimumSizeHint() + chrome).boundedTo(room);
    window->setMinimumSize(minimum);
    window->resize((content->sizeHint() + chrome).boundedTo(room).expandedTo(minimum));
}

void centre(QWidget *window)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size = window->size().boundedTo(area.size());
    window->resize(size);
    window->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

QVariantMap connectionOfTheDefaultModel(const eo::EOModel *opened)
{
    if (opened)
        return opened->connectionDictionary();
    const auto &models = eo::EOModelGroup::defaultGroup().models();
    return models.empty() ? QVariantMap() : models.front()->connectionDictionary();
}

} // namespace

const QString Superviseur::didFinishLaunchingNotification =
    QStringLiteral("NSApplicationDidFinishLaunchingNotification");
const QString Superviseur::startupTitle = QStringLiteral("Initialisation de l'application Locavia...");

Superviseur::Superviseur(int &argc, char **argv, ControllerFactory factory)
    : BugFixApplication(argc, argv), m_factory(std::move(factory))
{
}

Superviseur::~Superviseur()
{
    platform::NotificationCenter::defaultCenter().removeObserver(this);
    // The controllers first, then the main window, which holds their views.
    m_statistiques.reset();
    m_sauvegardes.reset();
    m_toCreation.reset();
    m_toOptions.reset();
    m_toBatiment.reset();
    m_toMatosUnite.reset();
    m_calendrier.reset();
    m_panneau.reset();
    m_window.reset();
}

widgets::Calendrier &Superviseur::calendrier()
{
    if (!m_calendrier)
        m_calendrier = std::make_unique<widgets::Calendrier>();
    return *m_calendrier;
}

Superviseur *Superviseur::instance()
{
    return qobject_cast<Superviseur *>(QCoreApplication::instance());
}

Superviseur *NSApp()
{
    return Superviseur::instance();
}

void Superviseur::loadMainInterface()
{
    if (m_window)
        return;
    m_window = std::make_unique<QMainWindow>();
    ui = std::make_unique<Ui::MainMenu>();
    ui->setupUi(m_window.get());

    QTabBar *onglets = ui->onglets;
    onglets->addTab(QStringLiteral("Salles"));
    onglets->addTab(QStringLiteral("Options"));
    onglets->setExpanding(false);
    // The tabs wait for the rights test.
    onglets->setTabEnabled(cellCreation, false);
    onglets->setTabEnabled(cellOptions, false);
    framework::connectAction(onglets, &QTabBar::currentChanged, this, [this] { changeOnglets(ui->onglets); });
    framework::connectAction(ui->actionMasquer, &QAction::triggered, this, [this] { masquer(); });
    framework::connectAction(ui->actionQuitter, &QAction::triggered, this,
                             [this] { terminate(ui->actionQuitter); });
    framework::connectAction(ui->actionAPropos, &QAction::triggered, this,
                             [this] { aPropos(ui->actionAPropos); });
    framework::connectAction(ui->actionStatistiques, &QAction::triggered, this,
                             [this] { ouvrirStatistiques(ui->actionStatistiques); });
    framework::connectAction(ui->actionSauvegarder, &QAction::triggered, this, [this] {
        if (m_sauvegardes)
            m_sauvegardes->sauvegarder(ui->actionSauvegarder);
    });
    framework::connectAction(ui->actionRestaurer, &QAction::triggered, this, [this] {
        if (m_sauvegardes)
            m_sauvegardes->restaurer(ui->actionRestaurer);
    });

    m_window->installEventFilter(this);
    setSuperWindow(m_window.get());
    setParametreEOD(&m_parametreEOD);
    awakeFromNib();
}

void Superviseur::awakeFromNib()
{
    platform::NotificationCenter::defaultCenter().addObserver(
        this, [this](const platform::Notification &) { initApp(); }, didFinishLaunchingNotification);
    setDelegate(this);
}

void Superviseur::initApp()
{
    if (m_launched)
        return;
    m_launched = true;
    try {
        startUp();
    } catch (const std::exception &error) {
        const QString message = StartupFailure::message(error, connectionOfTheDefaultModel(superModel()));
        qWarning().noquote() << QStringLiteral(">>>>> Démarrage interrompu : %1")
                                    .arg(framework::KORFormHelpers::traitementException(error));
        if (m_panneau)
            m_panneau->hide();
        platform::NSRunAlertPanel(StartupFailure::title(), message, QStringLiteral("OK"));
        endApplication(1);
    }
}

void Superviseur::startUp()
{
    if (!m_window)
        loadMainInterface();
    QMainWindow *window = m_window.get();
    centre(window);
    window->setWindowTitle(startupTitle);
    window->show();
    window->raise();
    window->activateWindow();

    loadModels();
    initAccesBase();
    if (m_terminated)
        return;
    // The window keeps its start-up title until the first fetch puts the application's title there.
    window->setWindowTitle(startupTitle);

    initIdentification();
    if (m_terminated)
        return;
    // Every write of this session is recorded in the change history under the identified login.
    if (data::KORDataBusOC *bus = superDataBus())
        bus->setSessionLogin(framework::KORConversions::recupererChaine(m_localUser));

    loadControllers();

    // The rights test's first reads and the tabs' lists depend on nothing else: a server across a slow
    // link is asked for them at once.
    QList<eo::EOPrefetch::Fetch> lectures = lecturesDesDroits();
    for (const TabController *onglet : {m_toCreation.get(), m_toOptions.get()}) {
        if (onglet)
            lectures += onglet->lecturesInitiales();
    }
    data::KORDataBusOC *bus = superDataBus();
    const eo::EOPrefetch enAvance = bus ? bus->prefetch(lectures) : eo::EOPrefetch();

    if (!TAVouKOR()) {
        platform::NSRunAlertPanel(QStringLiteral("ATTENTION"),
                                  QStringLiteral("L'application de reservations des salles s'appelle "
                                                 "Horalis.app !\nCelle-ci est reservee au TAV !"),
                                  QStringLiteral("OK"));
        setDelegate(nullptr);
        endApplication(1);
        return;
    }

    m_tagOnglet = 0;
    ui->onglets->setCurrentIndex(cellCreation);
    ui->onglets->setTabEnabled(cellCreation, true);
    ui->onglets->setTabEnabled(cellOptions, true);
    m_droitsAccordes = true;
    enableMenus();

    if (m_toCreation)
        m_toCreation->initObjet();
    if (m_toOptions)
        m_toOptions->initObjet();
    afficheOnglet();
    fitContent(window, ui->defilementContenu);
    centre(window);

    // Nothing in the application posts it today; a controller may ask the main window to show the tab
    // selected in the tab bar again.
    platform::NotificationCenter::defaultCenter().addObserver(
        this, [this](const platform::Notification &) { afficheOnglet(); }, QStringLiteral("afficheOnglet"));
    emit started();
}

void Superviseur::initAccesBase()
{
    const auto &models = eo::EOModelGroup::defaultGroup().models();
    if (databaseAddress().isEmpty() && useDatabase() && !models.empty() &&
        RememberedDatabase::opensTheDataFolder(models.front()->connectionDictionary())) {
        // The models' connections as the base class completes them (the directory service may name another
        // database), before the choice.
        resetAllModels();
        const std::optional<QVariantMap> chosen = chooseDatabase(models.front()->connectionDictionary());
        if (!chosen)
            return;
        setDatabaseAddress(*chosen);
    }
    KORApplicationOC::initAccesBase();
}

std::optional<QVariantMap> Superviseur::chooseDatabase(const QVariantMap &connection)
{
    if (!RememberedDatabase::opensTheDataFolder(connection))
        return QVariantMap();
    const QVariantMap remembered = RememberedDatabase::recall();
    QString explication;
    QVariantMap serveur;
    if (!remembered.isEmpty()) {
        explication = RememberedDatabase::whyGone(remembered);
        if (explication.isEmpty() && !remembered.value(QStringLiteral("URL"))
                                          .toString()
                                          .startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive)) {
            // A server's password is never remembered: one that asks for it (or no longer answers) opens
            // its page again, the address and account filled in.
            try {
                FirstDatabase::check(connection, remembered);
            } catch (const eo::EOException &error) {
                explication =
                    QStringLiteral("La base de données choisie au démarrage précédent ne peut pas être "
                                   "ouverte. Son mot de passe n'est jamais enregistré : tapez-le ci-dessous, "
                                   "ou revenez aux autres choix avec « Retour ».\n%1")
                        .arg(error.message());
                serveur = remembered;
            }
        }
        if (explication.isEmpty())
            return remembered;
    } else if (!RememberedDatabase::dataFolderIsEmpty()) {
        return QVariantMap(); // the data folder's own database, as always
    }

    Bienvenue bienvenue(data::DataFolder::path(), operatingSystemUser().toLower(), connection,
                        m_window.get());
    const std::optional<QVariantMap> choix = bienvenue.choisir(explication, serveur);
    if (!choix) {
        endApplication(0);
        return std::nullopt;
    }
    if (!RememberedDatabase::remember(*choix)) {
        qWarning().noquote() << QStringLiteral(">>>>> Le choix de la base ne peut pas être enregistré.");
        platform::NSRunAlertPanel(
            QStringLiteral("ATTENTION"),
            QStringLiteral("Locavia ouvre la base choisie, mais ne peut pas enregistrer ce "
                           "choix dans ses préférences (disque plein, ou dossier "
                           "~/.config protégé) : il vous la demandera au prochain "
                           "démarrage."),
            QStringLiteral("OK"));
    }
    return choix;
}

void Superviseur::loadControllers()
{
    data::KORDataBusOC *bus = superDataBus();
    if (!bus) {
        throw eo::EOException(eo::EOException::Kind::Model,
                              QStringLiteral("Le bus de données n'est pas initialisé."));
    }
    // Each controller loads its own interface file as it is built, in this order, its views children of the
    // main window's widgets that show them.
    const ControllerFactory::Places places{ui->buttonView, ui->contenuView, m_window.get()};
    if (m_factory.creation)
        m_toCreation = m_factory.creation(*bus, places);
    if (m_factory.options)
        m_toOptions = m_factory.options(*bus, places);
    if (m_factory.batiment) {
        m_toBatiment = m_factory.batiment(*bus, places);
        buildings::Batiment *batiment = m_toBatiment.get();
        if (batiment) {
            framework::connectAction(
                ui->actionOuvertureFenetre, &QAction::triggered, batiment,
                [this, batiment] { batiment->ouvertureFenetre(ui->actionOuvertureFenetre); });
            framework::connectAction(
                ui->actionOuvertureExport, &QAction::triggered, batiment,
                [this, batiment] { batiment->ouvertureExport(ui->actionOuvertureExport); });
        }
    }
    if (m_factory.matosUnite)
        m_toMatosUnite = m_factory.matosUnite(*bus, places);
    if (m_toMatosUnite) {
        // The reference lists open from the administration menu, which the rights test enables.
        reference::MatosUnite *matosUnite = m_toMatosUnite.get();
        framework::connectAction(ui->actionGestionMatos, &QAction::triggered, matosUnite, [this, matosUnite] {
            matosUnite->afficherGestionMatos(ui->actionGestionMatos);
        });
        framework::connectAction(ui->actionGestionUnite, &QAction::triggered, matosUnite, [this, matosUnite] {
            matosUnite->afficherGestionUnite(ui->actionGestionUnite);
        });
    }

    // The statistics reach the room tab through two links only: the rooms of its result window, and the
    // listing of other rooms there.
    statistics::Statistiques::Liens liens;
    auto *creation = m_toCreation ? qobject_cast<rooms::Creation *>(m_toCreation->controller()) : nullptr;
    if (creation) {
        QPointer<rooms::Creation> salles(creation);
        liens.sallesDeLaRecherche = [salles] { return salles ? salles->sallesListees() : QList<qint64>(); };
        liens.ouvrirSalles = [salles](const QList<qint64> &numeros, const QString &nom) {
            if (salles)
                salles->afficherSalles(numeros, nom);
        };
    }
    m_statistiques = std::make_unique<statistics::Statistiques>(*bus, std::move(liens), m_window.get());
    // A restore ends the application as "Quitter" does, without the day's copy of the base just restored.
    m_sauvegardes = std::make_unique<Sauvegardes>(
        *this, Sauvegardes::Liens{m_window.get(), [this] { return applicationShouldTerminate(); },
                                  [this] { endApplication(0); }});
}

void Superviseur::ouvrirStatistiques(QObject *)
{
    if (m_statistiques)
        m_statistiques->ouvrir();
}

void Superviseur::enableMenus()
{
    // Qt menus do not enable their items by themselves: "Masquer" and "Quitter" are enabled here.
    const QList<QAction *> actions = m_window->findChildren<QAction *>();
    for (QAction *action : actions) {
        const QString text = action->text();
        if (text == QLatin1String("Masquer") || text == QLatin1String("Quitter"))
            action->setEnabled(true);
    }
    ui->menuAdministration->setEnabled(true);
    ui->menuCreationBatiment->setEnabled(true);
    // The building register's items act only when the register exists.
    ui->actionOuvertureFenetre->setEnabled(m_toBatiment != nullptr);
    ui->actionOuvertureExport->setEnabled(m_toBatiment != nullptr);
    ui->actionStatistiques->setEnabled(m_statistiques != nullptr);
    const bool sauvegardes = m_sauvegardes && m_sauvegardes->disponible();
    ui->actionSauvegarder->setEnabled(sauvegardes);
    ui->actionRestaurer->setEnabled(sauvegardes);
    ui->actionGestionMatos->setEnabled(m_toMatosUnite != nullptr);
    ui->actionGestionUnite->setEnabled(m_toMatosUnite != nullptr);
}

void Superviseur::afficheOnglet()
{
    m_tagOnglet = ui->onglets->currentIndex();
    const TabController *tab = m_tagOnglet == cellCreation ? m_toCreation.get() : m_toOptions.get();
    if (!tab)
        return;
    montrer(ui->buttonView, tab->afficheBoutons());
    montrer(ui->contenuView, tab->afficheVue());
}

void Superviseur::changeOnglets(QObject *)
{
    if (ui->onglets->currentIndex() == m_tagOnglet)
        return;
    afficheOnglet();
}

void Superviseur::montrer(QStackedWidget *swapView, QWidget *view)
{
    if (!view)
        return;
    static const char politique[] = "locaviaSizePolicy";
    if (swapView->indexOf(view) < 0) {
        view->setProperty(politique, QVariant::fromValue(view->sizePolicy()));
        swapView->addWidget(view);
    }
    // Only the tab shown gives the area its size: the room form, much taller than the options tab, would
    // otherwise push the options' lists below the window.
    for (int index = 0; index < swapView->count(); ++index) {
        QWidget *page = swapView->widget(index);
        const QVariant propre = page->property(politique);
        if (page != view)
            page->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        else if (propre.isValid())
            page->setSizePolicy(propre.value<QSizePolicy>());
    }
    swapView->setCurrentWidget(view);
}

void Superviseur::masquer()
{
    // The desktop has no application to hide: its windows go to the task bar.
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->isVisible() && window->isWindow())
            window->showMinimized();
    }
}

void Superviseur::aPropos(QObject *)
{
    const eo::EOModel *model = superModel();
    const QString database =
        model ? data::DatabaseAddress::describe(model->connectionDictionary()) : QString();
    platform::NSRunAlertPanel(
        AboutLocavia::title(),
        AboutLocavia::text(platform::locaviaVersion(), database, platform::ApplicationLog::path()),
        QStringLiteral("OK"));
}

void Superviseur::terminate(QObject *)
{
    if (!applicationShouldTerminate())
        return;
    sauvegardeDuJour();
    endApplication(0);
}

bool Superviseur::applicationShouldTerminate()
{
    for (TabController *tab : {m_toCreation.get(), m_toOptions.get()}) {
        if (tab && !tab->applicationShouldTerminate())
            return false;
    }
    return true;
}

bool Superviseur::eventFilter(QObject *watched, QEvent *event)
{
    if (m_window && watched == m_window.get() && event->type() == QEvent::Close && !m_terminated) {
        // Called by Qt: the question runs inside the action boundary; a failure keeps the window open, as a
        // failed "Quitter" does, so that unsaved work is not lost with it.
        bool closes = false;
        framework::performAction([this, &closes] { closes = applicationShouldTerminate(); });
        if (!closes) {
            event->ignore();
            return true;
        }
        sauvegardeDuJour();
    }
    return BugFixApplication::eventFilter(watched, event);
}

void Superviseur::sauvegardeDuJour()
{
    // Only a session that got past the rights test has worked on the base.
    if (m_sauvegardes && m_droitsAccordes)
        framework::performAction([this] { m_sauvegardes->sauvegardeDuJour(); });
}

void Superviseur::endApplication(int status)
{
    if (m_terminated)
        return;
    m_terminated = true;
    m_exitStatus = status;
    quitApplication(status);
}

void Superviseur::quitApplication(int status)
{
    QCoreApplication::exit(status);
}

} // namespace app
