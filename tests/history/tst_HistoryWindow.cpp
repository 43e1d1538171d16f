// The "Historique" window, offscreen, on both backends: a room's changes newest first in French, the
// filters by user and by period, the window opened from the room form when a room is shown and from the
// building register, and a database made before the history, which says what to do instead of failing.

#include "Batiment.h"
#include "Creation.h"
#include "Historique.h"
#include "HistoryTableModel.h"
#include "TestDatabase.h"
#include "ui_Batiment.h"
#include "ui_Historique.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeZone>
#include <QTimer>
#include <memory>

using history::Historique;
using history::HistoryTableModel;

namespace
{

// Runs the actions while a modal window is up, then closes it; a watchdog closes it should they not.
void pendant(const std::function<void()> &ouvrir, const std::function<void(QDialog *)> &actions)
{
    bool fini = false;
    QTimer::singleShot(0, [&] {
        QDialog *fenetre = nullptr;
        for (QWidget *w : QApplication::allWidgets()) {
            if (w->objectName() == u"fenetreHistorique" && w->isVisible())
                fenetre = qobject_cast<QDialog *>(w);
        }
        if (!fenetre) {
            qWarning("no history window is shown");
            return;
        }
        actions(fenetre);
        fini = true;
        fenetre->reject();
    });
    QTimer garde;
    garde.setSingleShot(true);
    QObject::connect(&garde, &QTimer::timeout, [] {
        for (QWidget *w : QApplication::allWidgets()) {
            if (auto *d = qobject_cast<QDialog *>(w); d && d->isVisible())
                d->reject();
        }
    });
    garde.start(60000);
    ouvrir();
    QVERIFY2(fini, "the history window did not open");
}

QStringList lignes(const HistoryTableModel &modele)
{
    QStringList liste;
    for (int r = 0; r < modele.rowCount(); ++r) {
        QStringList colonnes;
        for (int c = HistoryTableModel::Utilisateur; c < HistoryTableModel::NombreDeColonnes; ++c)
            colonnes.append(modele.data(modele.index(r, c)).toString());
        liste.append(colonnes.join(QLatin1String(" | ")));
    }
    return liste;
}

} // namespace

class TestHistoryWindow : public QObject
{
    Q_OBJECT

public:
    explicit TestHistoryWindow(TestDatabase::Backend backend) : m_backend(backend) {}

private:
    const TestDatabase::Backend m_backend;
    std::unique_ptr<TestDatabase> db;
    qint64 salle = 0;

    // A user as the window names them: on the server with the database role that wrote.
    QString qui(const QString &utilisateur)
    {
        if (m_backend == TestDatabase::Backend::SQLite)
            return utilisateur;
        return QStringLiteral("%1 (rôle %2)")
            .arg(utilisateur, TestDatabase::login(TestDatabase::Role::RoomManager));
    }

    // The room as created, with a few values changed.
    QVariantMap salleCreee() const
    {
        QVariantMap arguments =
            TestDatabase::roomArguments(QStringLiteral("SCI"), QStringLiteral("1"), QStringLiteral("A12"));
        arguments.insert(QStringLiteral("salEcran"), QStringLiteral("N"));
        return arguments;
    }
    bool majSalle(const QVariantMap &valeurs)
    {
        return db->dataBus().executeProcedure(
            QStringLiteral("majSalles"), TestDatabase::roomUpdateArguments(salle, salleCreee(), valeurs));
    }

private slots:
    void init()
    {
        LOCAVIA_REQUIRE_BACKEND(m_backend);
        db = std::make_unique<TestDatabase>(m_backend);
        QVERIFY2(db->isValid(), qPrintable(db->error()));
        QCOMPARE(db->addBuilding(QStringLiteral("SCI"), QStringLiteral("SCIENCES")), QStringLiteral("SCI"));
        salle = db->addRoom(QStringLiteral("SCI"), QStringLiteral("1"), QStringLiteral("A12"), salleCreee());
        QVERIFY(salle > 0);
        // The room's history starts with two changes of long ago, one by nobody the application knew.
        QVERIFY(db->exec(QStringLiteral("DELETE FROM HISTORIQUE")));
        QVERIFY(db->exec(
            QStringLiteral("INSERT INTO HISTORIQUE (HIS_DATE, HIS_TRANSACTION, HIS_UTILISATEUR, SAL_NUMERO, "
                           "HIS_TABLE, HIS_CHAMP, HIS_ANCIENNE, HIS_NOUVELLE, HIS_OPERATION) VALUES "
                           "('2020-03-15 10:00:00', 1, 'claire', %1, 'SALLES', 'SAL_ECRAN', 'O', 'N', "
                           "'modification'), "
                           "('2021-06-01 08:30:00.5', 2, NULL, %1, 'SALLES', 'TSAL_NUMERO', '2', '1', "
                           "'modification')")
                .arg(salle)));
        db->dataBus().setSessionLogin(QStringLiteral("alice"));
        QVERIFY(majSalle({{"salEtage", "2"}}));
        db->dataBus().setSessionLogin(QStringLiteral("bruno"));
        QVERIFY(majSalle({{"salEtage", "2"}, {"salCapacite", 25}, {"salEcran", "O"}}));
    }
    void cleanup() { db.reset(); }

    void listsTheChangesNewestFirstInFrench()
    {
        Historique historique(db->dataBus());
        QVERIFY(historique.chargerSalle(salle, QStringLiteral("Salle SCIENCES – étage 2 – porte A12")));
        // One save's changes come together, in no particular order.
        QStringList dernieres = lignes(historique.modele()).mid(0, 2);
        dernieres.sort();
        QCOMPARE(dernieres,
                 (QStringList{qui("bruno") + " | Places | 20 → 25", qui("bruno") + " | Écran | non → oui"}));
        QCOMPARE(lignes(historique.modele()).value(2), qui("alice") + QStringLiteral(" | Étage | 1 → 2"));
        const QStringList anciennes = lignes(historique.modele()).mid(historique.modele().rowCount() - 2);
        QCOMPARE(anciennes, (QStringList{"(inconnu) | Type de salle | Bureau → Salle de cours",
                                         "claire | Écran | oui → non"}));
        // The date in local time, as written down.
        const QModelIndex premiere = historique.modele().index(historique.modele().rowCount() - 1, 0);
        QCOMPARE(historique.modele().data(premiere).toString(),
                 QDateTime(QDate(2020, 3, 15), QTime(10, 0), QTimeZone::utc())
                     .toLocalTime()
                     .toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")));
        Ui::Historique &ui = historique.form();
        QCOMPARE(ui.titreHistorique->text(), QStringLiteral("Salle SCIENCES – étage 2 – porte A12"));
        QCOMPARE(ui.filtreDu->date(),
                 QDateTime(QDate(2020, 3, 15), QTime(10, 0), QTimeZone::utc()).toLocalTime().date());
        QCOMPARE(ui.filtreAu->date(), QDate::currentDate());
        QStringList utilisateurs;
        for (int i = 0; i < ui.filtreUtilisateur->count(); ++i)
            utilisateurs.append(ui.filtreUtilisateur->itemText(i));
        QCOMPARE(utilisateurs,
                 (QStringList{"Tous les utilisateurs", "alice", "bruno", "claire", "(inconnu)"}));
    }

    void filtersByUserAndPeriod_data()
    {
        QTest::addColumn<QString>("utilisateur");
        QTest::addColumn<QDate>("du");
        QTest::addColumn<QDate>("au");
        QTest::addColumn<QStringList>("champs");
        QTest::addColumn<QString>("nombre");

        const QDate aujourdhui = QDate::currentDate();
        QTest::newRow("one user") << "bruno" << QDate(2000, 1, 1) << aujourdhui
                                  << QStringList{"Écran", "Places"} << "2 changements sur 5";
        QTest::newRow("the unknown user") << "(inconnu)" << QDate(2000, 1, 1) << aujourdhui
                                          << QStringList{"Type de salle"} << "1 changement sur 5";
        QTest::newRow("one year") << "Tous les utilisateurs" << QDate(2020, 1, 1) << QDate(2020, 12, 31)
                                  << QStringList{"Écran"} << "1 changement sur 5";
        QTest::newRow("today") << "Tous les utilisateurs" << aujourdhui << aujourdhui
                               << QStringList{"Écran", "Places", "Étage"} << "3 changements sur 5";
        QTest::newRow("a user and another period")
            << "claire" << aujourdhui << aujourdhui << QStringList{} << "Aucun changement sur 5";
    }

    void filtersByUserAndPeriod()
    {
        QFETCH(QString, utilisateur);
        QFETCH(QDate, du);
        QFETCH(QDate, au);
        QFETCH(QStringList, champs);
        QFETCH(QString, nombre);
        Historique historique(db->dataBus());
        QVERIFY(historique.chargerSalle(salle, QStringLiteral("A12")));
        Ui::Historique &ui = historique.form();
        ui.filtreUtilisateur->setCurrentIndex(ui.filtreUtilisateur->findText(utilisateur));
        ui.filtreDu->setDate(du);
        ui.filtreAu->setDate(au);
        QStringList vus;
        for (int r = 0; r < historique.modele().rowCount(); ++r)
            vus.append(
                historique.modele().data(historique.modele().index(r, HistoryTableModel::Champ)).toString());
        vus.sort();
        champs.sort();
        QCOMPARE(vus, champs);
        QCOMPARE(ui.nombreChangements->text(), nombre);
    }

    void opensFromTheRoomFormWhenARoomIsShown()
    {
        rooms::Creation creation(db->dataBus());
        creation.initObjet();
        auto *bouton =
            creation.afficheBoutons()->findChild<QPushButton *>(QStringLiteral("boutonHistorique"));
        QVERIFY(bouton);
        QVERIFY(!bouton->isEnabled());
        // A search that finds the room shows it.
        auto *recherche =
            creation.afficheBoutons()->findChild<QPushButton *>(QStringLiteral("boutonRecherche"));
        recherche->click();
        creation.afficheVue()->findChild<QLineEdit *>(QStringLiteral("localisationPorte"))->setText("A12");
        recherche->click();
        QCOMPARE(creation.etat(), rooms::Etat::salleAffichee);
        QVERIFY(bouton->isEnabled());
        pendant([&] { bouton->click(); },
                [&](QDialog *fenetre) {
                    QCOMPARE(fenetre->windowTitle(),
                             QStringLiteral("Historique – Salle SCIENCES – étage 2 – porte A12"));
                    QCOMPARE(fenetre->findChild<QLabel *>(QStringLiteral("nombreChangements"))->text(),
                             QStringLiteral("%1 changements")
                                 .arg(db->scalar(QStringLiteral(
                                                     "SELECT COUNT(*) FROM HISTORIQUE WHERE SAL_NUMERO = ?"),
                                                 {salle})
                                          .toInt()));
                });
        // Not while the room is being modified.
        creation.afficheBoutons()->findChild<QPushButton *>(QStringLiteral("boutonModifier"))->click();
        QCOMPARE(creation.etat(), rooms::Etat::modification);
        QVERIFY(!bouton->isEnabled());
    }

    void opensFromTheBuildingRegister()
    {
        // The first building of the register, by name.
        QCOMPARE(db->addBuilding(QStringLiteral("ARC"), QStringLiteral("ARCHIVES")), QStringLiteral("ARC"));
        buildings::Batiment batiment(db->dataBus());
        Ui::Batiment &ui = batiment.form();
        bool vu = false;
        QTimer::singleShot(0, [&] {
            QVERIFY(ui.boutonHistorique->isEnabled());
            pendant(
                [&] { ui.boutonHistorique->click(); },
                [&](QDialog *fenetre) {
                    QCOMPARE(fenetre->windowTitle(), QStringLiteral("Historique – Bâtiment ARC – ARCHIVES"));
                    auto *vue =
                        fenetre->findChild<QAbstractItemView *>(QStringLiteral("tableViewHistorique"));
                    QStringList champs;
                    for (int r = 0; r < vue->model()->rowCount(); ++r)
                        champs.append(
                            vue->model()->index(r, HistoryTableModel::Champ).data().toString() +
                            QStringLiteral(" | ") +
                            vue->model()->index(r, HistoryTableModel::Modification).data().toString());
                    // The address's codes read as the user knows them, not as stored (100, BATIMENT).
                    for (const char *ligne :
                         {"Nom | (vide) → ARCHIVES", "Code postal | (vide) → 64000", "Pays | (vide) → France",
                          "Qualité de l'adresse | (vide) → Bâtiment"})
                        QVERIFY2(champs.contains(QString::fromUtf8(ligne)), qPrintable(champs.join(", ")));
                    vu = true;
                });
            batiment.fenetreBatiment()->reject();
        });
        batiment.ouvertureFenetre(nullptr);
        QVERIFY(vu);
    }

    void aDatabaseWithoutHistorySaysWhatToDo()
    {
        QVERIFY(db->exec(
            QStringLiteral("DROP TABLE HISTORIQUE") +
            (m_backend == TestDatabase::Backend::PostgreSQL ? QStringLiteral(" CASCADE") : QString())));
        db->takeAlerts();
        Historique historique(db->dataBus());
        QVERIFY(!historique.chargerSalle(salle, QStringLiteral("A12")));
        const QList<TestDatabase::Alert> alertes = db->takeAlerts();
        QCOMPARE(alertes.size(), 1);
        QCOMPARE(alertes.first().message,
                 QStringLiteral("L'historique ne peut pas être lu : Cette base de données n'a pas encore "
                                "d'historique des modifications : mettez-la à jour avec locavia-admin."));
    }
};

class TestHistoryWindowOnSQLite : public TestHistoryWindow
{
    Q_OBJECT
public:
    TestHistoryWindowOnSQLite() : TestHistoryWindow(TestDatabase::Backend::SQLite) {}
};

class TestHistoryWindowOnPostgreSQL : public TestHistoryWindow
{
    Q_OBJECT
public:
    TestHistoryWindowOnPostgreSQL() : TestHistoryWindow(TestDatabase::Backend::PostgreSQL) {}
};

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    int status = 0;
    if (TestDatabase::backendSelected(TestDatabase::Backend::SQLite)) {
        TestHistoryWindowOnSQLite test;
        status |= QTest::qExec(&test, argc, argv);
    }
    if (TestDatabase::backendSelected(TestDatabase::Backend::PostgreSQL)) {
        TestHistoryWindowOnPostgreSQL test;
        status |= QTest::qExec(&test, argc, argv);
    }
    return status;
}

#include "tst_HistoryWindow.moc"
