// The result window: where it opens beside or over the main window on screens of several sizes, its place
// and size remembered from one session to the next, and its columns and the sub-lists' sized to their text,
// a cut text shown whole as a tooltip.

#include "RoomListPlacement.h"
#include "RoomsFixture.h"
#include "TestFont.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QSettings>
#include <QToolTip>
#include <QVBoxLayout>

using namespace roomstest;
using rooms::Creation;
using rooms::RoomListPlacement;

class TestRoomResultWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<QWidget> principale;
    std::unique_ptr<Creation> creation;

    void ouvrir()
    {
        creation = std::make_unique<Creation>(db->dataBus());
        creation->initObjet();
        principale = std::make_unique<QWidget>();
        auto *rangee = new QVBoxLayout(principale.get());
        rangee->addWidget(creation->afficheBoutons());
        rangee->addWidget(creation->afficheVue());
        principale->show();
        QVERIFY(QTest::qWaitForWindowExposed(principale.get()));
    }

    void chercherTout()
    {
        bouton(*creation, "boutonRecherche")->click();
        bouton(*creation, "boutonRecherche")->click();
        QVERIFY(creation->listeSalles()->isVisible());
    }

    QRect barre() const
    {
        QWidget *boutons = creation->afficheBoutons();
        return {boutons->mapToGlobal(QPoint(0, 0)), boutons->size()};
    }

private slots:
    void initTestCase()
    {
        PIN_TEST_FONT();
        db = std::make_unique<TestDatabase>();
        QVERIFY(db->isValid());
        peupler(*db);
        QVERIFY(
            db->addBuilding(QStringLiteral("LNG"), QStringLiteral("Maison des sciences de l'homme et de la "
                                                                  "société"))
                .size());
        QVERIFY(db->addRoom("LNG", "2", "M204", salle({})) > 0);
        materielDeReference(*db);
    }

    void init()
    {
        QSettings(QStringLiteral("Locavia"), QStringLiteral("Locavia"))
            .remove(RoomListPlacement::cleDefaults);
    }

    void cleanup()
    {
        principale.reset();
        creation.reset();
        db->takeAlerts();
    }

    void placement_data()
    {
        QTest::addColumn<QRect>("ecran");
        QTest::addColumn<QRect>("principale");
        QTest::addColumn<QRect>("barre");
        QTest::addColumn<QSize>("taille");
        QTest::addColumn<QRect>("attendue");

        const QSize liste(650, 480);
        // Maximised: no room beside; over the form's right part, below the button bar.
        QTest::newRow("1366x768, maximised") << QRect(0, 0, 1366, 768) << QRect(0, 0, 1366, 768)
                                             << QRect(8, 56, 1350, 26) << liste << QRect(708, 90, 650, 480);
        // The room form's usual width, centred: neither side has room for the whole list.
        QTest::newRow("1920x1080, centred")
            << QRect(0, 0, 1920, 1080) << QRect(210, 110, 1500, 860) << QRect(218, 166, 1484, 26) << liste
            << QRect(1052, 200, 650, 480);
        QTest::newRow("1920x1080, at the left")
            << QRect(0, 0, 1920, 1080) << QRect(0, 40, 1200, 800) << QRect(8, 96, 1184, 26) << liste
            << QRect(1200, 40, 650, 480);
        QTest::newRow("2560x1440, at the right")
            << QRect(0, 0, 2560, 1440) << QRect(1300, 0, 1260, 900) << QRect(1308, 56, 1244, 26) << liste
            << QRect(650, 0, 650, 480);
        // Beside, kept on the screen when the main window sits low.
        QTest::newRow("2560x1440, low") << QRect(0, 0, 2560, 1440) << QRect(0, 1200, 1200, 240)
                                        << QRect(8, 1256, 1184, 26) << liste << QRect(1200, 960, 650, 480);
        // A second screen to the right of the first.
        QTest::newRow("second screen") << QRect(1920, 0, 1366, 768) << QRect(1920, 0, 1366, 768)
                                       << QRect(1928, 56, 1350, 26) << liste << QRect(2628, 90, 650, 480);
        // Taller than the room below the bar: shortened, never over it.
        QTest::newRow("1024x600, maximised")
            << QRect(0, 0, 1024, 600) << QRect(0, 0, 1024, 600) << QRect(8, 56, 1008, 26) << QSize(900, 700)
            << QRect(116, 90, 900, 510);
    }

    void placement()
    {
        QFETCH(QRect, ecran);
        QFETCH(QRect, principale);
        QFETCH(QRect, barre);
        QFETCH(QSize, taille);
        QFETCH(QRect, attendue);
        const QRect place = RoomListPlacement::calculer(principale, ecran, barre, taille);
        QCOMPARE(place, attendue);
        QVERIFY(ecran.contains(place));
        QVERIFY(!place.intersects(barre));
    }

    void opensClearOfTheButtonsAndIsRemembered()
    {
        ouvrir();
        principale->setGeometry(QRect(QPoint(0, 0), principale->screen()->availableSize()));
        QVERIFY(QTest::qWaitForWindowExposed(principale.get()));
        chercherTout();
        QWidget *liste = creation->listeSalles();
        const QRect ecran = principale->screen()->availableGeometry();
        QVERIFY(ecran.contains(liste->frameGeometry()));
        QVERIFY(!liste->frameGeometry().intersects(barre()));

        // Moved and resized by the user, then closed: the next session opens it there.
        const QRect choisie(40, 200, 520, 300);
        liste->move(choisie.topLeft());
        liste->resize(choisie.size());
        liste->close();
        principale.reset();
        creation.reset();
        ouvrir();
        chercherTout();
        QCOMPARE(QRect(creation->listeSalles()->pos(), creation->listeSalles()->size()), choisie);
    }

    void columnsFitTheirText()
    {
        ouvrir();
        // Rooms of other buildings only: the column still has the width of the longest building name, so
        // that the list keeps its columns from one search to the next.
        bouton(*creation, "boutonRecherche")->click();
        saisir(*creation, "localisationEtage", "1");
        bouton(*creation, "boutonRecherche")->click();
        QCOMPARE(portes(creation->tables().tableSalles.displayedObjects()),
                 (QStringList{"C*1", "C21", "A12", "A12B"}));
        auto *vue = controle<QTableView>(*creation, "vueSalles");
        const QFontMetrics mesure = vue->fontMetrics();
        const QString longNom = QStringLiteral("Maison des sciences de l'homme et de la société");
        QVERIFY(vue->columnWidth(0) > mesure.horizontalAdvance(longNom));
        QVERIFY(vue->columnWidth(3) > mesure.horizontalAdvance(QStringLiteral("Amphithéâtre")));
        // Numbers narrow and right-aligned.
        for (int colonne : {4, 5}) {
            QVERIFY(vue->columnWidth(colonne) < vue->columnWidth(0) / 2);
            QCOMPARE(vue->model()->index(0, colonne).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
                     int(Qt::AlignRight));
        }
        QVERIFY(!vue->horizontalHeader()->stretchLastSection());

        // The equipment sub-list: the names take the width, the quantity stays narrow.
        creation->listeSalles()->close();
        bouton(*creation, "boutonCreer")->click();
        principale->resize(1366, 720); // the width of the smallest screen the form is laid out for
        QVERIFY(QTest::qWaitForWindowExposed(principale.get()));
        auto *materiel = controle<QTableView>(*creation, "vueDetailSalle");
        const QHeaderView *entete = materiel->horizontalHeader();
        QCOMPARE(entete->sectionResizeMode(0), QHeaderView::Stretch);
        QCOMPARE(entete->sectionResizeMode(1), QHeaderView::Stretch);
        QCOMPARE(entete->sectionResizeMode(2), QHeaderView::ResizeToContents);
        QVERIFY(materiel->columnWidth(1) > materiel->columnWidth(2));
    }

    void cutTextShowsAsATooltip()
    {
        ouvrir();
        chercherTout();
        auto *vue = controle<QTableView>(*creation, "vueSalles");
        const QString nom = QStringLiteral("Maison des sciences de l'homme et de la société");
        const QModelIndexList trouves =
            vue->model()->match(vue->model()->index(0, 0), Qt::DisplayRole, nom, 1, Qt::MatchExactly);
        QCOMPARE(trouves.size(), 1);
        const QModelIndex derniere = trouves.first();
        vue->scrollTo(derniere);
        const auto survoler = [&](const QModelIndex &index) {
            const QPoint ici = vue->visualRect(index).center();
            QHelpEvent aide(QEvent::ToolTip, ici, vue->viewport()->mapToGlobal(ici));
            QApplication::sendEvent(vue->viewport(), &aide);
        };
        // Whole: the list's own help, not the text again.
        survoler(derniere);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), vue->toolTip());
        // Cut by a narrowed column: the whole name as the tooltip.
        vue->setColumnWidth(0, 60);
        survoler(derniere);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), nom);
        QToolTip::hideText();
    }
};

QTEST_MAIN(TestRoomResultWindow)
#include "tst_RoomResultWindow.moc"
