// The building register: the arguments of insLocal and majLocal, the modes of the window, the list after a
// creation and after a modification, the selection held while a building is typed, the refusals of the
// database, and a building that cannot be read back after its modification.

#include "BuildingArguments.h"
#include "BuildingsFixture.h"
#include "EONull.h"

#include <QApplication>
#include <QTableView>

using buildings::Batiment;
using buildings::BuildingArguments;
using buildings::EtatBatiment;
using buildings::SaisieBatiment;
using namespace buildingstest;

Q_DECLARE_METATYPE(buildings::SaisieBatiment)

namespace
{

QVariantMap constantesInsLocal()
{
    return {{"adrbp", ""},     {"adrlisteRouge", "O"}, {"adrnation", "100"},  {"adrqualite", "BATIMENT"},
            {"insBisTer", ""}, {"insCVoie", ""},       {"insCpEtranger", ""}, {"insNoVoie", ""},
            {"insNomVoie", ""}};
}

QVariantMap constantesMajLocal()
{
    return {{"adrbp", ""},      {"majNoVoie", ""},   {"majBisTer", ""},     {"majCVoie", ""},
            {"majNomVoie", ""}, {"majCPays", "100"}, {"majCpEtranger", ""}, {"majAdrListeRouge", "O"}};
}

QVariantMap avec(QVariantMap base, const QVariantMap &valeurs)
{
    for (auto it = valeurs.constBegin(); it != valeurs.constEnd(); ++it)
        base.insert(it.key(), it.value());
    return base;
}

} // namespace

class TestBuildingRegister : public QObject
{
    Q_OBJECT

public:
    explicit TestBuildingRegister(TestDatabase::Backend backend) : m_backend(backend) {}

private:
    const TestDatabase::Backend m_backend;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<Batiment> batiment;

    Ui::Batiment &ui() { return batiment->form(); }
    QStringList alertes()
    {
        QStringList liste;
        for (const TestDatabase::Alert &alerte : db->takeAlerts())
            liste.append(alerte.title + QLatin1String(": ") + alerte.message);
        return liste;
    }
    QVariant stocke(const QString &sql, const QVariantList &valeurs = {}) { return db->scalar(sql, valeurs); }

private slots:
    void init()
    {
        LOCAVIA_REQUIRE_BACKEND(m_backend);
        db = std::make_unique<TestDatabase>(m_backend);
        QVERIFY2(db->isValid(), qPrintable(db->error()));
        // Names whose order differs with and without regard to case.
        for (const auto &[code, nom] :
             {std::pair{"SCI", "SCIENCES"}, std::pair{"ARC", "archives"}, std::pair{"DRT", "Droit"}})
            QVERIFY(!db->addBuilding(QString::fromLatin1(code), QString::fromLatin1(nom)).isEmpty());
        QVERIFY(db->exec(QStringLiteral("INSERT INTO IMPLANTATION_GEO (C_IMPLANTATION, LC_IMPLANTATION_GEO) "
                                        "VALUES ('BAY', 'Campus de Bayonne')")));
        batiment = std::make_unique<Batiment>(db->dataBus());
    }
    void cleanup()
    {
        batiment.reset();
        db.reset();
    }

    // --- The arguments of the two procedures (no database needed, but cheap enough to share init) ---

    void argumentTables_data()
    {
        QTest::addColumn<SaisieBatiment>("saisie");
        QTest::addColumn<QVariantMap>("insLocal");
        QTest::addColumn<QVariantMap>("majLocal");

        const SaisieBatiment minuscules{"bib", "bibliothèque", "1 rue des écoles", "bât. b", "64000", "pau"};
        QTest::newRow("upper-cased") << minuscules
                                     << avec(constantesInsLocal(), {{"adradresse1", "1 RUE DES ÉCOLES"},
                                                                    {"adradresse2", "BÂT. B"},
                                                                    {"adrcp", "64000"},
                                                                    {"adrnom", "BIBLIOTHÈQUE"},
                                                                    {"adrville", "PAU"},
                                                                    {"batabrev", "BIB"},
                                                                    {"insCImplantation", "PAU"},
                                                                    {"insLocalite", "PAU"}})
                                     << avec(constantesMajLocal(), {{"adradresse1", "1 RUE DES ÉCOLES"},
                                                                    {"adradresse2", "BÂT. B"},
                                                                    {"adrcp", "64000"},
                                                                    {"adrnom", "BIBLIOTHÈQUE"},
                                                                    {"adrville", "PAU"},
                                                                    {"batabrev", "BIB"},
                                                                    {"majCImplantation", "PAU"},
                                                                    {"majLocalite", "PAU"},
                                                                    {"oldCLocal", "bIb"}});

        const QString soixanteDix = QString(70, QLatin1Char('a'));
        const SaisieBatiment longue{"abcde", soixanteDix, soixanteDix, soixanteDix, "6400012", soixanteDix};
        QTest::newRow("cut to the columns") << longue
                                            << avec(constantesInsLocal(), {{"adradresse1", QString(60, 'A')},
                                                                           {"adradresse2", QString(40, 'A')},
                                                                           {"adrcp", "64000"},
                                                                           {"adrnom", QString(50, 'A')},
                                                                           {"adrville", QString(30, 'A')},
                                                                           {"batabrev", "ABC"},
                                                                           {"insCImplantation", "PAU"},
                                                                           {"insLocalite", QString(26, 'A')}})
                                            << avec(constantesMajLocal(), {{"adradresse1", QString(60, 'A')},
                                                                           {"adradresse2", QString(40, 'A')},
                                                                           {"adrcp", "64000"},
                                                                           {"adrnom", QString(50, 'A')},
                                                                           {"adrville", QString(30, 'A')},
                                                                           {"batabrev", "ABC"},
                                                                           {"majCImplantation", "PAU"},
                                                                           {"majLocalite", QString(26, 'A')},
                                                                           {"oldCLocal", "bIb"}});

        const SaisieBatiment vide;
        QTest::newRow("empty form") << vide
                                    << avec(constantesInsLocal(), {{"adradresse1", ""},
                                                                   {"adradresse2", ""},
                                                                   {"adrcp", ""},
                                                                   {"adrnom", ""},
                                                                   {"adrville", ""},
                                                                   {"batabrev", ""},
                                                                   {"insCImplantation", "PAU"},
                                                                   {"insLocalite", ""}})
                                    << avec(constantesMajLocal(), {{"adradresse1", ""},
                                                                   {"adradresse2", ""},
                                                                   {"adrcp", ""},
                                                                   {"adrnom", ""},
                                                                   {"adrville", ""},
                                                                   {"batabrev", ""},
                                                                   {"majCImplantation", "PAU"},
                                                                   {"majLocalite", ""},
                                                                   {"oldCLocal", "bIb"}});
    }
    void argumentTables()
    {
        QFETCH(SaisieBatiment, saisie);
        QFETCH(QVariantMap, insLocal);
        QFETCH(QVariantMap, majLocal);
        QCOMPARE(BuildingArguments::insLocal(saisie, "PAU"), insLocal);
        QCOMPARE(insLocal.size(), 17);
        // The stored code of the building modified is passed as it is stored.
        QCOMPARE(BuildingArguments::majLocal(saisie, "PAU", "bIb"), majLocal);
        QCOMPARE(majLocal.size(), 17);
    }

    // --- Modes ---

    void modes_data()
    {
        QTest::addColumn<QStringList>("clics");
        QTest::addColumn<int>("etat");
        QTest::addColumn<bool>("editables");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("site");
        QTest::addColumn<bool>("popup");
        QTest::addColumn<bool>("creer");
        QTest::addColumn<bool>("finir");
        QTest::addColumn<bool>("selection");

        // The first building in the list is "archives" (ARC), on the site "Campus de Pau".
        QTest::newRow("opening") << QStringList{} << 3 << false << "ARC"
                                 << "Campus de Pau" << false << false << false << true;
        QTest::newRow("creation") << QStringList{"boutonCreer"} << 0 << true << ""
                                  << "" << true << true << true << false;
        QTest::newRow("modification") << QStringList{"boutonModifier"} << 1 << true << "ARC"
                                      << "Campus de Pau" << true << true << true << false;
        QTest::newRow("creation cancelled")
            << QStringList{"boutonCreer", "boutonFinir"} << 3 << false << "ARC"
            << "Campus de Pau" << false << false << false << true;
        QTest::newRow("modification cancelled")
            << QStringList{"boutonModifier", "boutonFinir"} << 3 << false << "ARC"
            << "Campus de Pau" << false << false << false << true;
    }
    void modes()
    {
        QFETCH(QStringList, clics);
        QFETCH(int, etat);
        QFETCH(bool, editables);
        QFETCH(QString, code);
        QFETCH(QString, site);
        QFETCH(bool, popup);
        QFETCH(bool, creer);
        QFETCH(bool, finir);
        QFETCH(bool, selection);
        pendantLaFenetre(*batiment, [&] {
            for (const QString &clic : clics) {
                if (clic == QLatin1String("boutonFinir"))
                    ui().tfCodeBatiment->setText(QStringLiteral("typed, then cancelled"));
                batiment->fenetreBatiment()->findChild<QPushButton *>(clic)->click();
            }
            QCOMPARE(int(batiment->etat()), etat);
            for (QLineEdit *champ : batiment->fenetreBatiment()->findChildren<QLineEdit *>())
                QVERIFY2(champ->isReadOnly() != editables, qPrintable(champ->objectName()));
            QCOMPARE(ui().tfCodeBatiment->text(), code);
            QCOMPARE(ui().tfAppellationBatiment->text().isEmpty(), code.isEmpty());
            QCOMPARE(ui().popupImplantation->currentText(), site);
            QCOMPARE(ui().popupImplantation->isEnabled(), popup);
            QCOMPARE(ui().boutonCreer->isChecked(), creer);
            QCOMPARE(ui().boutonFinir->isChecked(), finir);
            QCOMPARE(ui().boutonModifier->isEnabled(), selection);
            QCOMPARE(ui().boutonSupprimer->isEnabled(), selection);
        });
        QVERIFY(!batiment->fenetreBatiment()->isVisible());
        QVERIFY(alertes().isEmpty());
    }

    void openingLoadsOnceAndCloses()
    {
        pendantLaFenetre(*batiment, [&] {
            QCOMPARE(noms(batiment->tableBatiment()), (QStringList{"archives", "Droit", "SCIENCES"}));
            QCOMPARE(ui().popupImplantation->count(), 3);
            QCOMPARE(ui().popupImplantation->itemText(0), QString());
            QCOMPARE(ui().popupImplantation->itemText(1), QStringLiteral("Campus de Bayonne"));
            QCOMPARE(ui().listeBatiments->count(), 3);
            // Viewing mode: the finishing button closes the window.
            ui().boutonFinir->click();
            QVERIFY(!batiment->fenetreBatiment()->isVisible());
        });
        QVERIFY(!db->addBuilding("BIB", "Bibliothèque").isEmpty());
        db->exec(QStringLiteral("INSERT INTO IMPLANTATION_GEO (C_IMPLANTATION, LC_IMPLANTATION_GEO) "
                                "VALUES ('ANG', 'Anglet')"));
        // A second opening neither fetches the list nor fills the site pop-up again.
        pendantLaFenetre(*batiment, [&] {
            QCOMPARE(batiment->tableBatiment().displayedObjects().size(), 3);
            QCOMPARE(ui().popupImplantation->count(), 3);
        });
    }

    void emptyRegister()
    {
        db->exec(QStringLiteral("DELETE FROM SOLMA.LOCAL"));
        pendantLaFenetre(*batiment, [&] {
            QVERIFY(!ui().boutonModifier->isEnabled());
            QVERIFY(!ui().boutonSupprimer->isEnabled());
            ui().boutonCreer->click();
            saisir(*batiment, "x", "y");
            ui().boutonFinir->click();
            // Nothing to show: the fields are emptied.
            QCOMPARE(ui().tfCodeBatiment->text(), QString());
            QVERIFY(ui().tfCodeBatiment->isReadOnly());
            QCOMPARE(ui().listeBatiments->count(), 0);
        });
    }

    // --- Writes ---

    void creationStoresUpperCaseAndRefetches()
    {
        Changements changements;
        pendantLaFenetre(*batiment, [&] {
            ui().boutonCreer->click();
            saisir(*batiment, "bibli", "bibliothèque", "2 allée des sciences", "", "64000", "pau");
            ui().popupImplantation->setCurrentIndex(ui().popupImplantation->findText("Campus de Bayonne"));
            ui().boutonCreer->click();
            QCOMPARE(int(batiment->etat()), 3);
            // Fetched again, without regard to case.
            QCOMPARE(noms(batiment->tableBatiment()),
                     (QStringList{"archives", "BIBLIOTHÈQUE", "Droit", "SCIENCES"}));
            QVERIFY(ui().tfCodeBatiment->isReadOnly());
            QVERIFY(ui().boutonModifier->isEnabled());
            QVERIFY(!ui().boutonFinir->isChecked());
        });
        QCOMPARE(changements.nombre, 1);
        QVERIFY(alertes().isEmpty());
        QCOMPARE(stocke("SELECT APPELLATION FROM SOLMA.LOCAL WHERE C_LOCAL = 'BIB'").toString(),
                 QStringLiteral("BIBLIOTHÈQUE"));
        QCOMPARE(stocke("SELECT a.C_IMPLANTATION FROM SOLMA.LOCAL l JOIN SOLMA.ADRESSE a ON "
                        "a.ADR_ORDRE = l.ID_ADRESSE_ADMIN WHERE l.C_LOCAL = 'BIB'")
                     .toString(),
                 QStringLiteral("BAY"));
        QCOMPARE(stocke("SELECT a.VILLE FROM SOLMA.LOCAL l JOIN SOLMA.ADRESSE a ON "
                        "a.ADR_ORDRE = l.ID_ADRESSE_ADMIN WHERE l.C_LOCAL = 'BIB'")
                     .toString(),
                 QStringLiteral("PAU"));
    }

    void modificationSortsCaseSensitively()
    {
        Changements changements;
        pendantLaFenetre(*batiment, [&] {
            batiment->tableBatiment().setSelectionIndexes({1}); // Droit
            ui().boutonModifier->click();
            saisir(*batiment, "dro", "droit et éco", "3 place", "", "64100", "bayonne");
            ui().boutonCreer->click();
            QCOMPARE(int(batiment->etat()), 3);
            // Sorted in memory, with regard to case: lower-case names come last.
            QCOMPARE(noms(batiment->tableBatiment()), (QStringList{"DROIT ET ÉCO", "SCIENCES", "archives"}));
            const eo::EORecord modifie = batiment->tableBatiment().displayedObjects().first();
            QCOMPARE(modifie->valueForKeyPath("toAdresseVix.ville").toString(), QStringLiteral("BAYONNE"));
        });
        QCOMPARE(changements.nombre, 1);
        QVERIFY(alertes().isEmpty());
        QCOMPARE(stocke("SELECT C_LOCAL FROM SOLMA.LOCAL WHERE APPELLATION = 'DROIT ET ÉCO'").toString(),
                 QStringLiteral("DRO"));
        QCOMPARE(stocke("SELECT COUNT(*) FROM SOLMA.LOCAL").toInt(), 3);
    }

    void selectionHeldWhileTyping()
    {
        pendantLaFenetre(*batiment, [&] {
            batiment->tableBatiment().setSelectionIndexes({2}); // SCIENCES
            QCOMPARE(batiment->selectedBatiment(), 2);
            ui().boutonModifier->click();
            ui().tfAppellationBatiment->setText(QStringLiteral("en cours"));
            // A click on another building (through the view, as the user would) does not move it.
            QTableView *vue = ui().tableViewBatiment;
            vue->selectRow(0);
            QCOMPARE(batiment->tableBatiment().selectionIndexes(), QList<int>{2});
            QCOMPARE(ui().tfAppellationBatiment->text(), QStringLiteral("en cours"));
            ui().boutonFinir->click();
            // Back to viewing, the selection follows the user again.
            vue->selectRow(0);
            QCOMPARE(ui().tfAppellationBatiment->text(), QStringLiteral("archives"));
            QCOMPARE(batiment->selectedBatiment(), 0);
        });
    }

    void refusalsKeepWhatWasTyped_data()
    {
        QTest::addColumn<bool>("creation");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("alerte");
        QTest::newRow("duplicate code on creation")
            << true << "sci"
            << "ATTENTION: Le nouveau batiment n'a pas ete enregistre !!";
        QTest::newRow("empty code on creation") << true << ""
                                                << "ATTENTION: Le nouveau batiment n'a pas ete enregistre !!";
        QTest::newRow("duplicate code on modification")
            << false << "drt"
            << "ATTENTION: Les modifications du batiment n'a pas ete enregistrees !!";
        QTest::newRow("empty code on modification")
            << false << ""
            << "ATTENTION: Les modifications du batiment n'a pas ete enregistrees !!";
    }
    void refusalsKeepWhatWasTyped()
    {
        QFETCH(bool, creation);
        QFETCH(QString, code);
        QFETCH(QString, alerte);
        Changements changements;
        pendantLaFenetre(*batiment, [&] {
            (creation ? ui().boutonCreer : ui().boutonModifier)->click();
            saisir(*batiment, code, "nouveau nom", "rue", "", "64000", "pau");
            ui().boutonCreer->click();
            const QStringList vues = alertes();
            QCOMPARE(vues.size(), 2);
            QVERIFY2(vues.first().startsWith(QLatin1String("ERREUR...: ")), qPrintable(vues.first()));
            QCOMPARE(vues.last(), alerte);
            // Still typing, nothing lost: the next click saves again.
            QCOMPARE(int(batiment->etat()), creation ? 0 : 1);
            QCOMPARE(ui().tfCodeBatiment->text(), code);
            QCOMPARE(ui().tfAppellationBatiment->text(), QStringLiteral("nouveau nom"));
            QVERIFY(!ui().tfCodeBatiment->isReadOnly());
            QVERIFY(ui().boutonCreer->isChecked());
            QVERIFY(ui().boutonFinir->isChecked());
            QCOMPARE(noms(batiment->tableBatiment()), (QStringList{"archives", "Droit", "SCIENCES"}));
            // The typing corrected, the save goes through.
            ui().tfCodeBatiment->setText(QStringLiteral("nou"));
            ui().boutonCreer->click();
            QCOMPARE(int(batiment->etat()), 3);
        });
        QCOMPARE(changements.nombre, 1);
        QCOMPARE(stocke("SELECT APPELLATION FROM SOLMA.LOCAL WHERE C_LOCAL = 'NOU'").toString(),
                 QStringLiteral("NOUVEAU NOM"));
        QVERIFY(!db->dataBus().hasOpenTransaction());
    }

    void buildingNotReadBackAfterModification()
    {
        // Another writer moves the building to another code as soon as its name changes.
        if (m_backend == TestDatabase::Backend::SQLite) {
            QVERIFY(db->exec(QStringLiteral(
                "CREATE TRIGGER SOLMA.deplace AFTER UPDATE OF APPELLATION ON LOCAL WHEN NEW.C_LOCAL <> 'ZZZ' "
                "BEGIN UPDATE LOCAL SET C_LOCAL = 'ZZZ' WHERE C_LOCAL = NEW.C_LOCAL; END")));
        } else {
            QVERIFY(db->exec(QStringLiteral(
                "CREATE FUNCTION solma.deplace() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                "UPDATE solma.LOCAL SET C_LOCAL = 'ZZZ' WHERE C_LOCAL = NEW.C_LOCAL; RETURN NULL; END $$")));
            QVERIFY(
                db->exec(QStringLiteral("CREATE TRIGGER deplace AFTER UPDATE OF APPELLATION ON solma.LOCAL "
                                        "FOR EACH ROW WHEN (NEW.C_LOCAL <> 'ZZZ') EXECUTE FUNCTION "
                                        "solma.deplace()")));
        }
        pendantLaFenetre(*batiment, [&] {
            ui().boutonModifier->click(); // archives
            ui().tfAppellationBatiment->setText(QStringLiteral("archives centrales"));
            ui().boutonCreer->click();
            QCOMPARE(int(batiment->etat()), 3);
            // The list is read again as a whole.
            QCOMPARE(noms(batiment->tableBatiment(), "cLocal"), (QStringList{"ZZZ", "DRT", "SCI"}));
        });
        QVERIFY(alertes().isEmpty());
        if (m_backend == TestDatabase::Backend::SQLite) {
            db->exec(QStringLiteral("DROP TRIGGER SOLMA.deplace"));
        } else {
            db->exec(QStringLiteral("DROP TRIGGER deplace ON solma.LOCAL"));
            db->exec(QStringLiteral("DROP FUNCTION solma.deplace()"));
        }
    }

    void deletionIsForTheCentralDepartment()
    {
        pendantLaFenetre(*batiment, [&] {
            ui().boutonSupprimer->click();
            QCOMPARE(alertes(),
                     QStringList{"ATTENTION: Pour supprimer un batiment, vous devez telephoner au KOR !"});
            QCOMPARE(int(batiment->etat()), 3);
        });
        QCOMPARE(stocke("SELECT COUNT(*) FROM SOLMA.LOCAL").toInt(), 3);
    }

    void closeBoxCancelsTheTyping()
    {
        pendantLaFenetre(*batiment, [&] {
            ui().boutonModifier->click();
            ui().tfAppellationBatiment->setText(QStringLiteral("abandonné"));
            batiment->fenetreBatiment()->reject();
        });
        QCOMPARE(int(batiment->etat()), 3);
        QCOMPARE(ui().tfAppellationBatiment->text(), QStringLiteral("archives"));
        QCOMPARE(stocke("SELECT COUNT(*) FROM SOLMA.LOCAL WHERE APPELLATION = 'archives'").toInt(), 1);
    }
};

class TestBuildingRegisterOnSQLite : public TestBuildingRegister
{
    Q_OBJECT
public:
    TestBuildingRegisterOnSQLite() : TestBuildingRegister(TestDatabase::Backend::SQLite) {}
};

class TestBuildingRegisterOnPostgreSQL : public TestBuildingRegister
{
    Q_OBJECT
public:
    TestBuildingRegisterOnPostgreSQL() : TestBuildingRegister(TestDatabase::Backend::PostgreSQL) {}
};

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    int status = 0;
    if (TestDatabase::backendSelected(TestDatabase::Backend::SQLite)) {
        TestBuildingRegisterOnSQLite test;
        status |= QTest::qExec(&test, argc, argv);
    }
    if (TestDatabase::backendSelected(TestDatabase::Backend::PostgreSQL)) {
        TestBuildingRegisterOnPostgreSQL test;
        status |= QTest::qExec(&test, argc, argv);
    }
    return status;
}

#include "tst_BuildingRegister.moc"
