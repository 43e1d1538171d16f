// Where a controller's form lives: a child of the widget that shows it, or a window of its own; never
// deleted twice, whichever of the form's owner and its host goes first.

#include "FormHost.h"

#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

using framework::FormHost;

namespace
{

// A form as an interface file lays it out: a bar of buttons above the content.
struct Form {
    QPointer<QWidget> barre;
    QPointer<QWidget> contenu;

    explicit Form(QWidget *racine)
    {
        auto *rangee = new QVBoxLayout(racine);
        barre = new QLabel(QStringLiteral("boutons"), racine);
        contenu = new QLabel(QStringLiteral("contenu"), racine);
        rangee->addWidget(barre);
        rangee->addWidget(contenu);
    }
};

} // namespace

class TestFormHost : public QObject
{
    Q_OBJECT

private slots:
    void withoutHostTheFormIsAWindowOfItsOwn()
    {
        auto hote = std::make_unique<FormHost>(nullptr);
        QPointer<QWidget> racine = hote->racine();
        QVERIFY(racine);
        const Form form(racine);
        hote->placer(form.barre, nullptr);
        // Nothing shows it elsewhere: the bar stays above the content, in one window.
        QCOMPARE(form.barre->parentWidget(), racine.data());
        QVERIFY(!racine->isWindow());
        racine->window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(racine->window()));
        QVERIFY(form.barre->isVisible() && form.contenu->isVisible());
        // Its owner takes the whole form with it.
        hote.reset();
        QVERIFY(!racine && !form.barre && !form.contenu);
    }

    void theHostsOwnTheFormAndShowItWhenTheyChoose_data()
    {
        QTest::addColumn<bool>("hostsGoFirst");
        QTest::newRow("the controller goes first") << false;
        QTest::newRow("the main window goes first") << true;
    }
    void theHostsOwnTheFormAndShowItWhenTheyChoose()
    {
        QFETCH(bool, hostsGoFirst);
        auto fenetre = std::make_unique<QWidget>();
        auto *rangee = new QVBoxLayout(fenetre.get());
        auto *barres = new QWidget;
        auto *contenus = new QWidget;
        rangee->addWidget(barres);
        rangee->addWidget(contenus);
        fenetre->show();
        QVERIFY(QTest::qWaitForWindowExposed(fenetre.get()));

        auto hote = std::make_unique<FormHost>(contenus);
        QPointer<QWidget> racine = hote->racine();
        const Form form(racine);
        hote->placer(form.barre, barres);
        QCOMPARE(racine->parentWidget(), contenus);
        QCOMPARE(form.barre->parentWidget(), barres);
        // Not shown on top of what the window shows until it is taken in.
        QVERIFY(racine->isHidden());
        QVERIFY(form.barre->isHidden());
        // The rest of the form keeps its place without the bar's margins.
        QCOMPARE(racine->layout()->contentsMargins(), QMargins());

        if (hostsGoFirst) {
            fenetre.reset();
            QVERIFY(!racine && !form.barre);
            QCOMPARE(hote->racine(), nullptr);
            hote.reset(); // nothing left to delete, nothing deleted twice
        } else {
            hote.reset();
            QVERIFY(racine && form.barre && form.contenu);
            fenetre.reset();
            QVERIFY(!racine && !form.barre);
        }
    }
};

QTEST_MAIN(TestFormHost)
#include "tst_FormHost.moc"
