// The application class: modal sessions and the window they keep, the modal-window guard, the native
// handle, the message box of the alerts; the boundary that catches an error escaping an action before it
// reaches Qt's frames, and the last net of the event dispatch.

#include "AlertPanel.h"
#include "BugFixApplication.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "KORAction.h"
#include "MessageBoxAlertPresenter.h"
#include "ModalSession.h"
#include "TestDatabase.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>

using widgets::BugFixApplication;

namespace
{

QStringList logged;
QtMessageHandler defaultHandler = nullptr;

void recordLog(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String(">>>>> ")))
        logged << message;
    else if (defaultHandler)
        defaultHandler(type, context, message);
}

struct Alert {
    QString title;
    QString message;
};

// Runs a function once the next modal loop has started.
void inTheSession(std::function<void()> function)
{
    QTimer::singleShot(0, qApp, std::move(function));
}

// A button whose action fails the way a fetch fails, connected as every action is.
class FailingAction : public QPushButton
{
public:
    explicit FailingAction(eo::EOException::Kind kind) : m_kind(kind)
    {
        setText(QStringLiteral("Chercher"));
        framework::connectAction(this, &QPushButton::clicked, this, [this] {
            ++runs;
            throw eo::EOException(m_kind, QStringLiteral("La connexion à la base a été perdue."));
        });
    }
    int runs = 0;

private:
    eo::EOException::Kind m_kind;
};

// An object that fails on an event of its own, outside any action's boundary.
class FailingReceiver : public QObject
{
public:
    static QEvent::Type type()
    {
        static const auto registered = QEvent::Type(QEvent::registerEventType());
        return registered;
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == type())
            throw std::runtime_error("Valeur inattendue");
        return QObject::event(event);
    }
};

// What the last net of the event dispatch logged (an error that crossed Qt's frames).
int escapedThroughQt()
{
    return int(std::count_if(logged.cbegin(), logged.cend(), [](const QString &line) {
        return line.contains(QStringLiteral("sortie de son action"));
    }));
}

} // namespace

class TestBugFixApplication : public QObject
{
    Q_OBJECT
public:
    explicit TestBugFixApplication(BugFixApplication &application) : app(application) {}

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void aSessionKeepsItsWindow();
    void stopWithACode();
    void aWindowClosedOrDestroyedEndsItsSession_data();
    void aWindowClosedOrDestroyedEndsItsSession();
    void sessionsAreNotStacked();
    void aSessionRunStepByStep();
    void theNativeHandle();
    void theGuardBringsTheModalWindowBack();
    void theGuardDoesNothingOutsideASession();
    void theGuardAnswersActivationsOnlyOnceSubscribed_data();
    void theGuardAnswersActivationsOnlyOnceSubscribed();
    void alertsInAMessageBox();
    void anErrorEndsItsActionOnly_data();
    void anErrorEndsItsActionOnly();
    void anErrorRollsBackTheOpenTransaction();
    void theLastNetOnlyLogs();

private:
    QList<Alert> alerts;
    BugFixApplication &app;
};

void TestBugFixApplication::initTestCase()
{
    defaultHandler = qInstallMessageHandler(recordLog);
}

void TestBugFixApplication::init()
{
    alerts.clear();
    logged.clear();
    platform::setAlertPresenter([this](const QString &title, const QString &message, const QString &) {
        alerts.append({title, message});
        return 1;
    });
}

void TestBugFixApplication::cleanup()
{
    platform::setAlertPresenter({});
    platform::NotificationCenter::defaultCenter().removeObserver(&app);
}

void TestBugFixApplication::aSessionKeepsItsWindow()
{
    QLabel panel(QStringLiteral("Saisie"));
    QPointer<QWidget> kept;
    bool running = false;
    bool modal = false;
    app.beginModalSessionWithHWND(reinterpret_cast<void *>(0x1234));
    void *handleDuring = reinterpret_cast<void *>(0x1);
    inTheSession([&] {
        kept = app.theModalWindow();
        running = app.isRunningModal();
        modal = QApplication::activeModalWidget() == &panel;
        handleDuring = app.hWnd();
        app.stopModal();
    });

    QCOMPARE(app.runModalForWindow(&panel), int(platform::NSModalResponseStop));
    QCOMPARE(kept.data(), &panel);
    QVERIFY(running);
    QVERIFY(modal);
    QCOMPARE(handleDuring, nullptr);
    QCOMPARE(app.theModalWindow(), nullptr);
    QVERIFY(!app.isRunningModal());
    // The window is an ordinary one again once its session is over.
    QCOMPARE(panel.windowModality(), Qt::NonModal);
}

void TestBugFixApplication::stopWithACode()
{
    QLabel panel(QStringLiteral("Saisie"));
    inTheSession([&] { app.stopModalWithCode(42); });
    QCOMPARE(app.runModalForWindow(&panel), 42);

    inTheSession([&] { app.abortModal(); });
    QCOMPARE(app.runModalForWindow(&panel), int(platform::NSModalResponseAbort));
    // Outside a session stopping does nothing.
    app.stopModal();
    QVERIFY(!app.isRunningModal());
}

void TestBugFixApplication::aWindowClosedOrDestroyedEndsItsSession_data()
{
    QTest::addColumn<bool>("destroy");
    QTest::newRow("closed") << false;
    QTest::newRow("destroyed") << true;
}

void TestBugFixApplication::aWindowClosedOrDestroyedEndsItsSession()
{
    QFETCH(bool, destroy);
    auto *panel = new QLabel(QStringLiteral("Saisie"));
    // Should the session outlive its window, this ends the test's wait with another answer.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, &app, [this] { app.stopModalWithCode(-1); });
    watchdog.start(5000);
    inTheSession([&] {
        if (destroy)
            delete panel;
        else
            panel->close();
    });
    QCOMPARE(app.runModalForWindow(panel), int(platform::NSModalResponseAbort));
    QVERIFY(!app.isRunningModal());
    QCOMPARE(app.theModalWindow(), nullptr);
    if (!destroy)
        delete panel;
}

void TestBugFixApplication::sessionsAreNotStacked()
{
    QLabel outer(QStringLiteral("Bâtiments"));
    QLabel inner(QStringLiteral("Nouvelle famille"));
    QWidget *keptInInner = nullptr;
    QWidget *keptAfterInner = &outer;
    bool runningAfterInner = false;
    int innerResponse = 0;
    inTheSession([&] {
        inTheSession([&] {
            keptInInner = app.theModalWindow();
            app.stopModal();
        });
        innerResponse = app.runModalForWindow(&inner);
        keptAfterInner = app.theModalWindow();
        runningAfterInner = app.isRunningModal();
        app.stopModal();
    });

    QCOMPARE(app.runModalForWindow(&outer), int(platform::NSModalResponseStop));
    QCOMPARE(innerResponse, int(platform::NSModalResponseStop));
    QCOMPARE(keptInInner, &inner);
    // Ending the inner session leaves no window kept, though the outer one still runs.
    QCOMPARE(keptAfterInner, nullptr);
    QVERIFY(runningAfterInner);
}

void TestBugFixApplication::aSessionRunStepByStep()
{
    QLabel panel(QStringLiteral("Export"));
    std::unique_ptr<platform::ModalSession> session = app.beginModalSessionForWindow(&panel);
    QVERIFY(panel.isVisible());
    QCOMPARE(app.theModalWindow(), &panel);
    QCOMPARE(app.runModalSession(*session), int(platform::NSModalResponseContinue));
    QCOMPARE(app.runModalSession(*session), int(platform::NSModalResponseContinue));
    app.stopModal();
    QCOMPARE(app.runModalSession(*session), int(platform::NSModalResponseStop));
    app.endModalSession(std::move(session));
    QCOMPARE(app.theModalWindow(), nullptr);
    QVERIFY(!app.isRunningModal());
}

void TestBugFixApplication::theNativeHandle()
{
    int native = 0;
    app.beginModalSessionWithHWND(&native);
    QCOMPARE(app.hWnd(), &native);
    app.endHWNDModalSession();
    QCOMPARE(app.hWnd(), nullptr);

    // A window session forgets the handle when it begins and when it ends.
    QLabel panel(QStringLiteral("Saisie"));
    std::unique_ptr<platform::ModalSession> session = app.beginModalSessionForWindow(&panel);
    QCOMPARE(app.hWnd(), nullptr);
    app.beginModalSessionWithHWND(&native);
    app.endModalSession(std::move(session));
    QCOMPARE(app.hWnd(), nullptr);
}

void TestBugFixApplication::theGuardBringsTheModalWindowBack()
{
    QLabel main(QStringLiteral("Fenêtre principale"));
    QLabel panel(QStringLiteral("Saisie"));
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    bool panelActiveFirst = false;
    bool mainActive = false;
    bool panelBack = false;
    bool panelStaysForItself = false;
    inTheSession([&] {
        panelActiveFirst = QTest::qWaitForWindowActive(&panel);
        // Another window becomes key while the session runs (the guard's handler is not subscribed here).
        main.activateWindow();
        mainActive = QTest::qWaitForWindowActive(&main);
        app.windowDidBecomeKey({BugFixApplication::windowDidBecomeKeyNotification, &main, {}});
        panelBack = QTest::qWaitForWindowActive(&panel) && panel.isVisible();
        app.windowDidBecomeKey({BugFixApplication::windowDidBecomeKeyNotification, &panel, {}});
        panelStaysForItself = QApplication::activeWindow() == &panel;
        app.stopModal();
    });
    app.runModalForWindow(&panel);
    QVERIFY(panelActiveFirst);
    QVERIFY(mainActive);
    QVERIFY(panelBack);
    QVERIFY(panelStaysForItself);
}

void TestBugFixApplication::theGuardDoesNothingOutsideASession()
{
    QLabel main(QStringLiteral("Fenêtre principale"));
    QLabel other(QStringLiteral("Autre"));
    other.show();
    main.show();
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));
    // A session that has ended keeps nothing to bring back.
    inTheSession([&] { app.stopModal(); });
    app.runModalForWindow(&other);
    main.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&main));

    app.windowDidBecomeKey({BugFixApplication::windowDidBecomeKeyNotification, &main, {}});
    QTest::qWait(50);
    QCOMPARE(QApplication::activeWindow(), &main);
}

void TestBugFixApplication::theGuardAnswersActivationsOnlyOnceSubscribed_data()
{
    QTest::addColumn<bool>("subscribed");
    QTest::newRow("not subscribed") << false;
    QTest::newRow("subscribed by awakeFromNib") << true;
}

void TestBugFixApplication::theGuardAnswersActivationsOnlyOnceSubscribed()
{
    QFETCH(bool, subscribed);
    QLabel main(QStringLiteral("Fenêtre principale"));
    QLabel panel(QStringLiteral("Saisie"));
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    int activationsOfMain = 0;
    QObject watcher;
    platform::NotificationCenter::defaultCenter().addObserver(
        &watcher,
        [&](const platform::Notification &notification) {
            if (notification.object == &main)
                ++activationsOfMain;
        },
        BugFixApplication::windowDidBecomeKeyNotification);
    if (subscribed)
        app.awakeFromNib();

    bool panelActiveFirst = false;
    QWidget *activeAfterClick = nullptr;
    inTheSession([&] {
        panelActiveFirst = QTest::qWaitForWindowActive(&panel);
        // The user clicks the main window while the panel runs.
        main.activateWindow();
        QTest::qWait(50);
        activeAfterClick = QApplication::activeWindow();
        app.stopModal();
    });
    app.runModalForWindow(&panel);
    QVERIFY(panelActiveFirst);
    // The application posts the activation of each of its windows.
    QVERIFY(activationsOfMain > 0);
    QCOMPARE(activeAfterClick, subscribed ? static_cast<QWidget *>(&panel) : static_cast<QWidget *>(&main));
}

void TestBugFixApplication::alertsInAMessageBox()
{
    QWidget main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    widgets::MessageBoxAlertPresenter::install();
    QString title;
    QString text;
    QString buttonText;
    bool tracked = false;
    inTheSession([&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        text = box->text();
        tracked = app.theModalWindow() == box;
        const QList<QAbstractButton *> buttons = box->buttons();
        if (buttons.size() == 1) {
            buttonText = buttons.first()->text();
            buttons.first()->click();
        }
    });
    const int answer = platform::NSRunAlertPanel(QStringLiteral("PROBLEME"),
                                                 QStringLiteral("L'ajout de la salle n'a pas ete fait !!"));
    QCOMPARE(answer, 1);
    QCOMPARE(title, QStringLiteral("PROBLEME"));
    QCOMPARE(text, QStringLiteral("L'ajout de la salle n'a pas ete fait !!"));
    QCOMPARE(buttonText, QStringLiteral("OK"));
    QVERIFY(tracked);
    QVERIFY(!app.isRunningModal());
}

void TestBugFixApplication::anErrorEndsItsActionOnly_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("lost connection") << int(eo::EOException::Kind::Connection);
    QTest::newRow("refused fetch") << int(eo::EOException::Kind::Database);
}

void TestBugFixApplication::anErrorEndsItsActionOnly()
{
    QFETCH(int, kind);
    FailingAction button(static_cast<eo::EOException::Kind>(kind));
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));

    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(button.runs, 1);
    QCOMPARE(alerts.size(), 1);
    QCOMPARE(alerts.first().title, QStringLiteral("ERREUR"));
    QCOMPARE(alerts.first().message, QStringLiteral("La connexion à la base a été perdue."));
    QCOMPARE(logged.size(), 1);
    QVERIFY(logged.first().contains(QStringLiteral("La connexion à la base a été perdue.")));
    // Caught at the action's boundary: nothing went through Qt's event dispatch.
    QCOMPARE(escapedThroughQt(), 0);

    // The application goes on: the next action runs, and so do queued ones.
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(button.runs, 2);
    QCOMPARE(alerts.size(), 2);
    bool later = false;
    QMetaObject::invokeMethod(
        &app, [] { framework::performAction([] { throw std::runtime_error("Valeur inattendue"); }); },
        Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        &app, [&later] { later = true; }, Qt::QueuedConnection);
    QTRY_VERIFY(later);
    QCOMPARE(alerts.size(), 3);
    QCOMPARE(alerts.last().message, QStringLiteral("Valeur inattendue"));
    QCOMPARE(escapedThroughQt(), 0);
}

void TestBugFixApplication::anErrorRollsBackTheOpenTransaction()
{
    TestDatabase db;
    QVERIFY(db.isValid());
    framework::KORApplicationOC::loadModels();
    app.initAccesBase();
    data::KORDataBusOC *bus = app.superDataBus();
    QVERIFY(bus);
    const qint64 before = db.scalar(QStringLiteral("SELECT COUNT(*) FROM TYPE_SALLE")).toLongLong();
    db.takeAlerts();

    QPushButton button(QStringLiteral("Créer"));
    framework::connectAction(&button, &QPushButton::clicked, &button, [bus] {
        bus->beginTransaction();
        bus->executeSQLQuery(
            QStringLiteral("INSERT INTO TYPE_SALLE (TSAL_NUMERO, TSAL_LIBELLE) VALUES (90, 'Atelier')"));
        throw eo::EOException(eo::EOException::Kind::Connection, QStringLiteral("Connexion perdue."));
    });
    button.click();
    QVERIFY(!bus->hasOpenTransaction());
    QCOMPARE(db.scalar(QStringLiteral("SELECT COUNT(*) FROM TYPE_SALLE")).toLongLong(), before);
    const QList<TestDatabase::Alert> shown = db.takeAlerts();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().message, QStringLiteral("Connexion perdue."));
}

void TestBugFixApplication::theLastNetOnlyLogs()
{
    // Something that escaped every boundary is logged and the dispatch goes on; the user is not shown an
    // alert for what no action of theirs did.
    FailingReceiver receiver;
    QEvent event(FailingReceiver::type());
    QVERIFY(!app.notify(&receiver, &event));
    QCOMPARE(escapedThroughQt(), 1);
    QVERIFY(logged.first().contains(QStringLiteral("Valeur inattendue")));
    QVERIFY(alerts.isEmpty());
}

int main(int argc, char *argv[])
{
    BugFixApplication application(argc, argv);
    TestBugFixApplication test(application);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_BugFixApplication.moc"
