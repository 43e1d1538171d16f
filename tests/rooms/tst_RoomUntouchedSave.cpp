// Saving a room changes only what the user typed, on the embedded database and on the server (the whole
// class runs once per backend): numbers left empty are stored NULL, and a room shown, modified without a
// keystroke and saved keeps every stored value, NULL or 0, with no line in its history.

#include "BugFixApplication.h"
#include "RoomsFixture.h"

#include <functional>

using namespace roomstest;
using rooms::Creation;
using rooms::Etat;

namespace
{

// Every number of a room record and of its department complement that the form may leave empty (the
// board counts are texts, sent as "0" when empty).
const QStringList nombres{"s.SAL_CAPACITE",
                          "s.SAL_NB_ARMOIRES",
                          "s.SAL_NB_BUREAUX",
                          "s.SAL_NB_CHAISES",
                          "s.SAL_NB_FENETRES",
                          "s.SAL_NB_TABLES",
                          "s.SAL_SUPERFICIE",
                          "s.SAL_POUR_ADMINISTRATION",
                          "s.SAL_POUR_DOCUMENTATION",
                          "s.SAL_POUR_ENSEIGNEMENT",
                          "s.SAL_POUR_RECHERCHE",
                          "s.SAL_POUR_TECHNIQUE",
                          "t.TAV_HAUTEUR_MOYEN_PLAFOND",
                          "t.TAV_NOMBRE_PORTES",
                          "t.TAV_SURFACE_VITREE",
                          "t.TAV_ACCUEIL",
                          "t.TAV_CIRCULATION",
                          "t.TAV_RESTAURATION",
                          "t.TAV_PARKING",
                          "t.TAV_VIE_SOCIAL",
                          "t.TAV_SPORTIF",
                          "t.TAV_SANITAIRE"};

} // namespace

class TestRoomUntouchedSave : public QObject
{
    Q_OBJECT

public:
    explicit TestRoomUntouchedSave(TestDatabase::Backend backend) : m_backend(backend) {}

private:
    const TestDatabase::Backend m_backend;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<Creation> creation;

    // "COLUMN=value" for each number of the list that is not NULL.
    QStringList remplis(qint64 numero, const QStringList &colonnes)
    {
        QStringList valeurs;
        for (const QString &colonne : colonnes) {
            const QVariant valeur = db->scalar(
                QStringLiteral(
                    "SELECT %1 FROM SOLMA.SALLES s JOIN SALLE_TAV t ON t.SAL_NUMERO = s.SAL_NUMERO "
                    "WHERE s.SAL_NUMERO = ?")
                    .arg(colonne),
                {numero});
            if (!eo::isNullOrNone(valeur))
                valeurs.append(colonne.mid(2) + QLatin1Char('=') +
                               QString::number(valeur.toString().toDouble()));
        }
        return valeurs;
    }

    qint64 historique() { return db->scalar(QStringLiteral("SELECT COUNT(*) FROM HISTORIQUE")).toLongLong(); }

    qint64 creerSalleVide()
    {
        bouton(*creation, "boutonCreer")->click();
        saisir(*creation, "localisationBatiment", "Droit");
        saisir(*creation, "localisationEtage", "3");
        saisir(*creation, "localisationPorte", "V1");
        saisir(*creation, "typePopup", "Bureau");
        bouton(*creation, "boutonCreer")->click();
        if (creation->etat() != Etat::salleAffichee)
            return 0;
        return db->scalar(QStringLiteral("SELECT SAL_NUMERO FROM SOLMA.SALLES WHERE SAL_PORTE = 'V1'"))
            .toLongLong();
    }

    // Modifier, then the save, with what the user types in between.
    void modifierEtEnregistrer(const std::function<void()> &frappe = {})
    {
        bouton(*creation, "boutonModifier")->click();
        QCOMPARE(creation->etat(), Etat::modification);
        if (frappe)
            frappe();
        bouton(*creation, "boutonCreer")->click();
        QCOMPARE(creation->etat(), Etat::salleAffichee);
    }

private slots:
    void init()
    {
        LOCAVIA_REQUIRE_BACKEND(m_backend);
        db = std::make_unique<TestDatabase>(m_backend);
        QVERIFY2(db->isValid(), qPrintable(db->error()));
        QVERIFY(!db->addBuilding(QStringLiteral("DRT"), QStringLiteral("Droit")).isEmpty());
        creation = std::make_unique<Creation>(db->dataBus());
        creation->initObjet();
    }

    void cleanup()
    {
        creation.reset();
        db.reset();
    }

    void emptyNumbersAreStoredNullAndKeptNull()
    {
        const qint64 numero = creerSalleVide();
        QVERIFY2(numero > 0, qPrintable(db->takeAlerts().value(0).message));
        QCOMPARE(remplis(numero, nombres), QStringList());
        // The form shows the stored nulls (the decimals as 0.00); saved untouched, nothing changes.
        QCOMPARE(champ(*creation, "pourcAccueil")->text(), QStringLiteral("0.00"));
        const qint64 avant = historique();
        modifierEtEnregistrer();
        QCOMPARE(db->takeAlerts().size(), 0);
        QCOMPARE(remplis(numero, nombres), QStringList());
        QCOMPARE(historique(), avant);
    }

    void storedAndTypedZerosAreKept()
    {
        const qint64 numero = creerSalleVide();
        QVERIFY(numero > 0);
        // Zeros stored by someone else are real values: shown and saved untouched, they stay.
        QVERIFY(db->exec(QStringLiteral("UPDATE SOLMA.SALLES SET SAL_POUR_TECHNIQUE = 0, SAL_NB_TABLES = 0 "
                                        "WHERE SAL_NUMERO = %1;"
                                        "UPDATE SALLE_TAV SET TAV_PARKING = 0 WHERE SAL_NUMERO = %1")
                             .arg(numero)));
        db->dataBus().fetchTable(
            &creation->tables().tableSalles, QStringLiteral("SallesVix"),
            eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salNumero=%@"), {numero}), {},
            true);
        const QStringList zeros{"SAL_NB_TABLES=0", "SAL_POUR_TECHNIQUE=0", "TAV_PARKING=0"};
        QCOMPARE(remplis(numero, nombres), zeros);
        const qint64 avant = historique();
        modifierEtEnregistrer();
        QCOMPARE(remplis(numero, nombres), zeros);
        QCOMPARE(historique(), avant);

        // A 0 typed over a shown null is a value: the only change stored and recorded.
        modifierEtEnregistrer([this] {
            QLineEdit *accueil = champ(*creation, "pourcAccueil");
            accueil->selectAll();
            QTest::keyClicks(accueil, QStringLiteral("0"));
        });
        QCOMPARE(remplis(numero, nombres),
                 (QStringList{"SAL_NB_TABLES=0", "SAL_POUR_TECHNIQUE=0", "TAV_ACCUEIL=0", "TAV_PARKING=0"}));
        QCOMPARE(historique(), avant + 1);
    }
};

class TestRoomUntouchedSaveOnSQLite : public TestRoomUntouchedSave
{
    Q_OBJECT
public:
    TestRoomUntouchedSaveOnSQLite() : TestRoomUntouchedSave(TestDatabase::Backend::SQLite) {}
};

class TestRoomUntouchedSaveOnPostgreSQL : public TestRoomUntouchedSave
{
    Q_OBJECT
public:
    TestRoomUntouchedSaveOnPostgreSQL() : TestRoomUntouchedSave(TestDatabase::Backend::PostgreSQL) {}
};

int main(int argc, char *argv[])
{
    widgets::BugFixApplication application(argc, argv);
    int status = 0;
    if (TestDatabase::backendSelected(TestDatabase::Backend::SQLite)) {
        TestRoomUntouchedSaveOnSQLite test;
        status |= QTest::qExec(&test, argc, argv);
    }
    if (TestDatabase::backendSelected(TestDatabase::Backend::PostgreSQL)) {
        TestRoomUntouchedSaveOnPostgreSQL test;
        status |= QTest::qExec(&test, argc, argv);
    }
    return status;
}

#include "tst_RoomUntouchedSave.moc"
