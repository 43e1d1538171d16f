// Saving and deleting rooms from the room tab, on the embedded database and on the server (the whole
// class runs once per backend): the checks before a save, the arguments the procedures receive, the
// sequence of calls and transactions, what survives a refusal or a dropped connection at each step, the
// deletion, and one room typed through the real widgets, saved, read back, modified and read back again.

#include "BugFixApplication.h"
#include "EODecimal.h"
#include "EOException.h"
#include "EOPostgreSQLAdaptor.h"
#include "EOPostgreSQLConnection.h"
#include "KORConversions.h"
#include "PanelsFixture.h"
#include "RoomCustodianChooser.h"
#include "RoomEquipmentEditor.h"
#include "RoomOccupationEditor.h"
#include "RoomOutletEditor.h"
#include "RoomsFixture.h"
#include "SaveTransaction.h"

#include <QDialog>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>
#include <libpq-fe.h>

using namespace roomstest;
using framework::KORConversions;
using rooms::Creation;
using rooms::Etat;

namespace
{

// A value as stored, numbers whatever their type on the backend (20, 20.0 and "20.00" read alike).
QString nombre(const QVariant &valeur)
{
    const QString texteValeur = KORConversions::recupererChaine(valeur);
    if (!eo::EODecimal::fromString(texteValeur).isValid())
        return texteValeur;
    return KORConversions::recupererDecimalNumber(texteValeur).value<eo::EODecimal>().toString();
}

} // namespace

class TestRoomSave : public QObject
{
    Q_OBJECT

public:
    explicit TestRoomSave(TestDatabase::Backend backend) : m_backend(backend) {}

protected:
    const TestDatabase::Backend m_backend;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<Creation> creation;
    Salles salles;
    QStringList journal;
    QString panneSur; // the table that a simulated fault makes refuse
    QString coupureA; // the write before which the server ends the session
    int coupureRang = 0;

    bool surServeur() const { return m_backend == TestDatabase::Backend::PostgreSQL; }

    // The alerts shown since the last call, "title: message | ...".
    QString alertesVues()
    {
        QStringList vues;
        for (const TestDatabase::Alert &alerte : db->takeAlerts())
            vues.append(alerte.title + QStringLiteral(": ") + alerte.message);
        return vues.join(QLatin1String(" | "));
    }

    // --- What is stored ---------------------------------------------------------------------------------

    // Read with raw queries: a fetch would refresh the records the form is editing.
    QList<QStringList> lignes(const QString &sql, const QVariantList &valeurs)
    {
        QList<QStringList> resultat;
        for (const QVariantMap &ligne : db->dataBus().executeSQLQuery(sql, valeurs)) {
            QStringList colonnes;
            for (int i = 0; i < ligne.size(); ++i)
                colonnes.append(nombre(ligne.value(QStringLiteral("Attribute%1").arg(i))));
            resultat.append(colonnes);
        }
        return resultat;
    }

    QStringList triees(const QString &format, const QString &sql, qint64 numero)
    {
        QStringList liste;
        for (const QStringList &l : lignes(sql, {numero})) {
            QString texteLigne = format;
            for (const QString &colonne : l)
                texteLigne = texteLigne.arg(colonne);
            liste.append(texteLigne);
        }
        liste.sort();
        return liste;
    }

    // The room record with its complement, as far as the scenarios change them: floor, door, places, sport.
    QString salleStockee(qint64 numero)
    {
        const QList<QStringList> salle =
            lignes(QStringLiteral(
                       "SELECT s.SAL_ETAGE, s.SAL_PORTE, s.SAL_CAPACITE, t.TAV_SPORTIF FROM SOLMA.SALLES s "
                       "LEFT JOIN SALLE_TAV t ON t.SAL_NUMERO = s.SAL_NUMERO WHERE s.SAL_NUMERO = ?"),
                   {numero});
        return salle.isEmpty() ? QString() : salle.first().join(u'|');
    }

    QStringList materielsStockes(qint64 numero)
    {
        return triees(
            QStringLiteral("%1:%2"),
            QStringLiteral("SELECT TAV_TYPE, DSA_POURCENTAGE FROM DETAIL_SALLE WHERE SAL_NUMERO = ?"),
            numero);
    }

    QStringList occupationsStockees(qint64 numero)
    {
        return triees(QStringLiteral("%1/%2:%3"),
                      QStringLiteral("SELECT C_STRUCTURE, DET_TYPE, DET_POURCENTAGE FROM DETAIL_POURCENTAGE "
                                     "WHERE SAL_NUMERO = ?"),
                      numero);
    }

    QStringList prisesStockees(qint64 numero)
    {
        return triees(QStringLiteral("%1%2"),
                      QStringLiteral("SELECT PRI_TYPE, PRI_CODE FROM PRISES WHERE SAL_NUMERO = ?"), numero);
    }

    qint64 salleDeLaPorte(const QString &porte)
    {
        const QList<QStringList> trouvees =
            lignes(QStringLiteral("SELECT SAL_NUMERO FROM SOLMA.SALLES WHERE SAL_PORTE = ?"), {porte});
        return trouvees.size() == 1 ? trouvees.first().first().toLongLong() : -trouvees.size();
    }

    // --- Faults --------------------------------------------------------------------------------------

    // Makes the database refuse a kind of write on a table ("SOLMA.SALLES", "PRISES"), when the condition
    // (SQL on NEW or OLD) holds.
    void panne(const QString &table, const QString &evenement, const QString &condition)
    {
        const bool reference = table.startsWith(QLatin1String("SOLMA."));
        const QString nom = reference ? table.mid(6) : table;
        if (surServeur()) {
            db->exec(
                QStringLiteral("CREATE OR REPLACE FUNCTION locavia.panne_simulee() RETURNS trigger "
                               "LANGUAGE plpgsql AS $$ BEGIN IF %1 THEN RAISE EXCEPTION 'Panne simulée'; "
                               "END IF; IF TG_OP = 'DELETE' THEN RETURN OLD; END IF; RETURN NEW; END $$;"
                               "CREATE TRIGGER panne_simulee BEFORE %2 ON %3.%4 FOR EACH ROW "
                               "EXECUTE FUNCTION locavia.panne_simulee();")
                    .arg(condition.isEmpty() ? QStringLiteral("true") : condition, evenement,
                         reference ? QStringLiteral("solma") : QStringLiteral("locavia"), nom));
        } else {
            db->exec(QStringLiteral("CREATE TRIGGER %1panne_simulee BEFORE %2 ON %3 %4 "
                                    "BEGIN SELECT RAISE(ABORT, 'Panne simulée'); END;")
                         .arg(reference ? QStringLiteral("SOLMA.") : QString(), evenement, nom,
                              condition.isEmpty() ? QString() : QStringLiteral("WHEN ") + condition));
        }
        panneSur = table;
    }

    void reparer()
    {
        if (panneSur.isEmpty())
            return;
        const bool reference = panneSur.startsWith(QLatin1String("SOLMA."));
        if (surServeur()) {
            db->exec(QStringLiteral("DROP TRIGGER IF EXISTS panne_simulee ON %1.%2")
                         .arg(reference ? QStringLiteral("solma") : QStringLiteral("locavia"),
                              reference ? panneSur.mid(6) : panneSur));
        } else {
            db->exec(QStringLiteral("DROP TRIGGER IF EXISTS %1panne_simulee")
                         .arg(reference ? QStringLiteral("SOLMA.") : QString()));
        }
        panneSur.clear();
    }

    // Ends the data bus's session from another connection, as a server restart would.
    void couperLaSession()
    {
        auto *adaptor = static_cast<eo::EOPostgreSQLAdaptor *>(db->dataBus().dataBusAdaptor());
        const int pid = PQbackendPID(adaptor->handle());
        const auto parametres =
            eo::EOPostgreSQLConnection::parametersForDictionary(db->connectionDictionary());
        const eo::EOPostgreSQLConnection::Handle autre = eo::EOPostgreSQLConnection::connect(parametres);
        eo::EOPostgreSQLConnection::execute(autre.get(), parametres,
                                            QStringLiteral("SELECT pg_terminate_backend(%1, 5000)").arg(pid));
    }

    // --- The form ------------------------------------------------------------------------------------

    void ouvrirSalle(qint64 numero)
    {
        bouton(*creation, "boutonRecherche")->click();
        bouton(*creation, "boutonRecherche")->click();
        const QList<eo::EORecord> &trouvees = creation->tables().tableSalles.displayedObjects();
        for (qsizetype i = 0; i < trouvees.size(); ++i) {
            if (trouvees.at(i)->valueForKey(QStringLiteral("salNumero")).toLongLong() == numero)
                creation->tables().tableSalles.setSelectionIndexes({int(i)});
        }
        QCOMPARE(creation->tables()
                     .tableSalles.selectedObject()
                     ->valueForKey(QStringLiteral("salNumero"))
                     .toLongLong(),
                 numero);
    }

    void modifierSalle(qint64 numero)
    {
        ouvrirSalle(numero);
        bouton(*creation, "boutonModifier")->click();
        QCOMPARE(creation->etat(), Etat::modification);
    }

    // A valid new room in building Droit, not bookable.
    void nouvelleSalle(const QString &porte)
    {
        bouton(*creation, "boutonCreer")->click();
        QCOMPARE(creation->etat(), Etat::creation);
        saisir(*creation, "localisationBatiment", "Droit");
        saisir(*creation, "localisationEtage", "3");
        saisir(*creation, "localisationPorte", porte);
        saisir(*creation, "typePopup", "Bureau");
    }

    void enregistrer() { bouton(*creation, "boutonCreer")->click(); }

    // A12 being modified: floor 1 to 5, places 30 to 45, teaching 100 to 70, sport 20 to 30; its equipment
    // (Chaise 12) replaced by Table 4 and Câble 6; its occupation (SCI/1 40) by SCI/1 30 and SCI/2 25; its
    // outlets I10 changed to I15, T11 removed, V12 added.
    void modificationDeA12()
    {
        modifierSalle(salles.a12);
        rooms::RoomDisplayGroups &t = creation->tables();
        saisir(*creation, "localisationEtage", "5");
        saisir(*creation, "architecturePlaces", "45");
        saisir(*creation, "pourcEnseignement", "70.00");
        saisir(*creation, "pourcSportif", "30.00");
        t.tableDetailSalle.setObjectArray({ligne({{"tavType", 3}, {"dsaPourcentage", 4}, {"uniOrdre", 1}}),
                                           ligne({{"tavType", 5}, {"dsaPourcentage", 6}, {"uniOrdre", 2}})});
        t.tableDetailPourcentage.setObjectArray(
            {ligne({{"cStructure", "SCI"}, {"detType", 1}, {"detPourcentage", 30}}),
             ligne({{"cStructure", "SCI"}, {"detType", 2}, {"detPourcentage", 25}})});
        QCOMPARE(t.tablePrise.displayedObjects().size(), 2);
        t.tablePrise.displayedObjects().at(0)->takeValueForKey(QStringLiteral("15"),
                                                               QStringLiteral("priCode"));
        t.tablePrise.setSelectionIndexes({1});
        bouton(*creation, "boutonSupprPrises")->click();
        t.tablePrise.insertObjectAtIndex(
            ligne({{"priCode", "12"}, {"priType", "V"}, {"priOrdre", qint64(-1)}}), 0);
    }

    // A new room N1 with the same lists as the modification of A12.
    void creationDeN1()
    {
        nouvelleSalle(QStringLiteral("n1"));
        saisir(*creation, "architecturePlaces", "45");
        saisir(*creation, "pourcSportif", "30.00");
        rooms::RoomDisplayGroups &t = creation->tables();
        t.tableDetailSalle.setObjectArray({ligne({{"tavType", 3}, {"dsaPourcentage", 4}, {"uniOrdre", 1}}),
                                           ligne({{"tavType", 5}, {"dsaPourcentage", 6}, {"uniOrdre", 2}})});
        t.tableDetailPourcentage.setObjectArray(
            {ligne({{"cStructure", "SCI"}, {"detType", 1}, {"detPourcentage", 30}}),
             ligne({{"cStructure", "SCI"}, {"detType", 2}, {"detPourcentage", 25}})});
        t.tablePrise.setObjectArray({ligne({{"priCode", "12"}, {"priType", "V"}, {"priOrdre", qint64(-1)}}),
                                     ligne({{"priCode", "15"}, {"priType", "I"}, {"priOrdre", qint64(-1)}})});
    }

    // Every value the form shows, and its lists, by outlet name.
    QMap<QString, QString> formulaire(Creation &c)
    {
        QMap<QString, QString> valeurs;
        for (QLineEdit *champ : c.afficheVue()->findChildren<QLineEdit *>()) {
            // The panels' fields belong to windows of their own.
            if (champ->window() == c.afficheVue()->window())
                valeurs.insert(champ->objectName(), champ->text());
        }
        for (QCheckBox *caseACocher : c.afficheVue()->findChildren<QCheckBox *>())
            valeurs.insert(caseACocher->objectName(), caseACocher->isChecked() ? "O" : "N");
        for (const char *nom : {"localisationBatiment", "typePopup"})
            valeurs.insert(QString::fromLatin1(nom),
                           controle<QComboBox>(c, QString::fromLatin1(nom))->currentText());
        valeurs.insert(QStringLiteral("descriptif"),
                       controle<QPlainTextEdit>(c, "descriptif")->toPlainText());
        const auto liste = [](const eo::EODisplayGroup &groupe,
                              const std::function<QString(const eo::EORecord &)> &f) {
            QStringList lignes;
            for (const eo::EORecord &l : groupe.displayedObjects())
                lignes.append(f(l));
            lignes.sort();
            return lignes.join(QLatin1String(", "));
        };
        rooms::RoomDisplayGroups &t = c.tables();
        valeurs.insert(
            QStringLiteral("tableDepositaire"),
            liste(t.tableDepositaire, [](const eo::EORecord &l) { return texte(l, "cStructure"); }));
        valeurs.insert(QStringLiteral("tablePrise"), liste(t.tablePrise, [](const eo::EORecord &l) {
                           return texte(l, "priType") + texte(l, "priCode");
                       }));
        valeurs.insert(
            QStringLiteral("tableDetailSalle"), liste(t.tableDetailSalle, [](const eo::EORecord &l) {
                return QStringLiteral("%1/%2:%3")
                    .arg(texte(l, "pereLibelle"), texte(l, "tavLibelle"), texte(l, "dsaPourcentage"));
            }));
        valeurs.insert(QStringLiteral("tableDetailPourcentage"),
                       liste(t.tableDetailPourcentage, [](const eo::EORecord &l) {
                           return QStringLiteral("%1/%2:%3")
                               .arg(texte(l, "cStructure"), texte(l, "tocLibelle"),
                                    texte(l, "detPourcentage"));
                       }));
        return valeurs;
    }

    void ajouterPrise(const QString &code, const char *type)
    {
        QDialog *panneau = creation->prises().panelAjoutPrise();
        QVERIFY(dansLePanneau(bouton(*creation, "boutonAjoutPrises"), panneau, [&] {
            dans<QLineEdit>(panneau, "textAjoutPrise")->setText(code);
            dans<QRadioButton>(panneau, type)->click();
            dans<QPushButton>(panneau, "boutonValideAjoutPrise")->click();
        }));
    }

    void materiel(bool ajout, const QString &famille, const QString &type, const QString &quantite)
    {
        QDialog *panneau = creation->materiels().panelAjoutModifMatos();
        rooms::RoomDisplayGroups &t = creation->tables();
        QVERIFY(
            dansLePanneau(bouton(*creation, ajout ? "boutonAjoutMatos" : "boutonModifMatos"), panneau, [&] {
                QVERIFY(choisir(t.tableFamilleMatos, "tavLibelle", famille));
                QVERIFY(choisir(t.tableTypeMateriel, "tavLibelle", type));
                dans<QLineEdit>(panneau, "nombreMatos")->setText(quantite);
                dans<QPushButton>(panneau, "boutonValiderMatos")->click();
            }));
    }

    void occupation(const QString &genre, const QString &pourcentage)
    {
        QDialog *panneau = creation->occupations().panelAjoutDetailPourcentage();
        QVERIFY(dansLePanneau(bouton(*creation, "boutonAjoutDetailPourcentage"), panneau, [&] {
            QVERIFY(choisir(creation->tables().tableServices, "cStructure", QStringLiteral("SCI")));
            dans<QComboBox>(panneau, "popupDetailPourcentage")->setCurrentText(genre);
            dans<QLineEdit>(panneau, "textAjoutDetailPourcentage")->setText(pourcentage);
            dans<QPushButton>(panneau, "boutonValideDetailPourcentage")->click();
        }));
    }

    void remplirTout(const QMap<QString, QString> &valeurs)
    {
        for (auto it = valeurs.constBegin(); it != valeurs.constEnd(); ++it) {
            if (it.key().startsWith(u"table"))
                continue;
            QWidget *w = controle<QWidget>(*creation, it.key());
            if (auto *caseACocher = qobject_cast<QCheckBox *>(w))
                caseACocher->setChecked(it.value() == u"O");
            else
                saisir(*creation, it.key(), it.value());
        }
    }

private slots:
    void init()
    {
        LOCAVIA_REQUIRE_BACKEND(m_backend);
        db = std::make_unique<TestDatabase>(m_backend);
        QVERIFY2(db->isValid(), qPrintable(db->error()));
        salles = peupler(*db);
        materielDeReference(*db);
        // A12's lists: its custodian, an equipment line, an occupation line, two outlets.
        db->exec(QStringLiteral("INSERT INTO SOLMA.DEPOSITAIRE (SAL_NUMERO, C_STRUCTURE) VALUES (%1, 'G1');"
                                "INSERT INTO DETAIL_SALLE (SAL_NUMERO, TAV_TYPE, DSA_POURCENTAGE, UNI_ORDRE) "
                                "VALUES (%1, 2, 12, 1);"
                                "INSERT INTO DETAIL_POURCENTAGE (SAL_NUMERO, DET_TYPE, DET_POURCENTAGE, "
                                "C_STRUCTURE) VALUES (%1, 1, 40, 'SCI');"
                                "INSERT INTO PRISES (SAL_NUMERO, PRI_CODE, PRI_TYPE) VALUES (%1, '10', 'I'), "
                                "(%1, '11', 'T');")
                     .arg(salles.a12));
        creation = std::make_unique<Creation>(db->dataBus());
        creation->initObjet();
        journal.clear();
        coupureA.clear();
        coupureRang = 0;
        data::SaveTransaction::setJournal([this](const QString &evenement) {
            journal.append(evenement);
            if (!coupureA.isEmpty() && evenement == coupureA && --coupureRang == 0)
                couperLaSession();
        });
    }

    void cleanup()
    {
        data::SaveTransaction::setJournal({});
        if (db && db->isValid())
            reparer();
        creation.reset();
        db.reset();
    }

    void checks_data()
    {
        QTest::addColumn<QStringList>("pourcentages"); // teaching, research, administration
        QTest::addColumn<QString>("batiment");
        QTest::addColumn<QString>("etage");
        QTest::addColumn<QString>("type");
        QTest::addColumn<bool>("reservable");
        QTest::addColumn<int>("depositaires");
        QTest::addColumn<QString>("message"); // "" when the room is saved
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("porte"); // the door field afterwards (typed b7)

        const QStringList aucun;
        QTest::newRow("percentages above 100")
            << QStringList{"33.33", "33.33", "33.35"} << "Droit"
            << "2"
            << "Bureau" << false << 0 << "La somme des pourcentages depasse 100 !!!"
            << "pourcEnseignement"
            << "b7";
        QTest::newRow("33.33 + 33.33 + 33.34 is 100") << QStringList{"33.33", "33.33", "33.34"} << "Droit"
                                                      << "2"
                                                      << "Bureau" << false << 0 << ""
                                                      << ""
                                                      << "B7";
        QTest::newRow("exactly 100") << QStringList{"100", "", ""} << "Droit"
                                     << "2"
                                     << "Bureau" << false << 0 << ""
                                     << ""
                                     << "B7";
        QTest::newRow("50.5 and 49.5") << QStringList{"50.5", "49.5", ""} << "Droit"
                                       << "2"
                                       << "Bureau" << false << 0 << ""
                                       << ""
                                       << "B7";
        QTest::newRow("no building") << aucun << ""
                                     << ""
                                     << "" << true << 0 << "Vous n'avez pas saisi de batiment !!"
                                     << "descriptif"
                                     << "b7";
        QTest::newRow("no floor") << aucun << "Droit"
                                  << ""
                                  << "" << true << 0 << "Vous n'avez pas saisi l'etage !!"
                                  << "localisationEtage"
                                  << "b7";
        QTest::newRow("no door") << aucun << "Droit"
                                 << "2"
                                 << "" << true << 0 << "Vous n'avez pas saisi de numero de porte !!"
                                 << "localisationPorte"
                                 << "";
        QTest::newRow("no type, the door upper-cased all the same")
            << aucun << "Droit"
            << "2"
            << "" << true << 0 << "Il faut remplir le type de salle !"
            << "descriptif"
            << "B7";
        QTest::newRow("bookable without custodian")
            << aucun << "Droit"
            << "2"
            << "Bureau" << true << 0 << "Vous n'avez pas de depositaire !!"
            << "descriptif"
            << "B7";
        QTest::newRow("a NUL in the floor")
            << aucun << "Droit" << QStringLiteral("2") + QChar(0) << "Bureau" << false << 0
            << "L'étage contient un caractère nul (U+0000), que la base de données n'accepte pas : retirez "
               "ce caractère."
            << "localisationEtage"
            << "B7";
        QTest::newRow("two custodians") << aucun << "Droit"
                                        << "2"
                                        << "Bureau" << false << 2 << "Il ne faut qu'un seul depositaire !!"
                                        << "descriptif"
                                        << "B7";
        QTest::newRow("not bookable without custodian") << aucun << "Droit"
                                                        << "2"
                                                        << "Bureau" << false << 0 << ""
                                                        << ""
                                                        << "B7";
        QTest::newRow("not bookable, its custodian dropped") << aucun << "Droit"
                                                             << "2"
                                                             << "Bureau" << false << 1 << ""
                                                             << ""
                                                             << "B7";
        QTest::newRow("bookable with its custodian") << aucun << "Droit"
                                                     << "2"
                                                     << "Bureau" << true << 1 << ""
                                                     << ""
                                                     << "B7";
    }

    void checks()
    {
        QFETCH(QStringList, pourcentages);
        QFETCH(QString, batiment);
        QFETCH(QString, etage);
        QFETCH(QString, type);
        QFETCH(bool, reservable);
        QFETCH(int, depositaires);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(QString, porte);

        auto principale = std::make_unique<QWidget>();
        auto *rangee = new QVBoxLayout(principale.get());
        rangee->addWidget(creation->afficheBoutons());
        rangee->addWidget(creation->afficheVue());
        principale->show();
        principale->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(principale.get()));

        const qint64 avant = db->scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLES")).toLongLong();
        bouton(*creation, "boutonCreer")->click();
        if (!batiment.isEmpty())
            saisir(*creation, "localisationBatiment", batiment);
        saisir(*creation, "localisationEtage", etage);
        saisir(*creation, "localisationPorte", message.contains(QStringLiteral("porte")) ? "" : "b7");
        if (!type.isEmpty())
            saisir(*creation, "typePopup", type);
        saisir(*creation, "reservable", reservable);
        const QStringList champs{"pourcEnseignement", "pourcRecherche", "pourcAdministration"};
        for (qsizetype i = 0; i < pourcentages.size(); ++i)
            saisir(*creation, champs.at(i), pourcentages.at(i));
        for (int i = 0; i < depositaires; ++i)
            creation->tables().tableDepositaire.insertObjectAtIndex(ligne({{"cStructure", "G1"}}), 0);
        auto *descriptif = controle<QPlainTextEdit>(*creation, "descriptif");
        descriptif->setFocus();
        QTRY_VERIFY(descriptif->hasFocus());

        enregistrer();
        const QList<TestDatabase::Alert> alertes = db->takeAlerts();
        QCOMPARE(champ(*creation, "localisationPorte")->text(), porte);
        const qint64 apres = db->scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLES")).toLongLong();
        if (!message.isEmpty()) {
            QCOMPARE(alertes.size(), 1);
            QCOMPARE(alertes.first().title, QStringLiteral("ATTENTION"));
            QCOMPARE(alertes.first().message, message);
            QCOMPARE(QApplication::focusWidget()->objectName(), focus);
            QCOMPARE(creation->etat(), Etat::creation);
            QVERIFY(bouton(*creation, "boutonCreer")->isChecked());
            QCOMPARE(apres, avant);
            return;
        }
        QVERIFY2(alertes.isEmpty(), qPrintable(alertes.value(0).message));
        QCOMPARE(apres, avant + 1);
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        QVERIFY(!bouton(*creation, "boutonCreer")->isChecked());
        const qint64 numero = salleDeLaPorte(QStringLiteral("B7"));
        QVERIFY(numero > 0);
        // A room that cannot be reserved is stored without custodian, and its list emptied.
        const qint64 gardiens =
            db->scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.DEPOSITAIRE WHERE SAL_NUMERO = ?"),
                       {numero})
                .toLongLong();
        QCOMPARE(gardiens, reservable ? depositaires : 0);
        QCOMPARE(creation->tables().tableDepositaire.displayedObjects().size(),
                 reservable ? depositaires : 0);
    }

    void numbersTheColumnsCannotHoldAreRefusedBeforeAnyCall_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("entree");
        QTest::newRow("places of ten digits") << "architecturePlaces"
                                              << "9999999999";
        QTest::newRow("a surface of 309 digits")
            << "architectureSurface" << (QStringLiteral("1") + QString(308, u'0'));
        QTest::newRow("a surface with two points") << "architectureSurface"
                                                   << "35.5.0";
        QTest::newRow("boards beyond five characters") << "nbTablBlanc"
                                                       << "123456";
    }

    void numbersTheColumnsCannotHoldAreRefusedBeforeAnyCall()
    {
        QFETCH(QString, nom);
        QFETCH(QString, entree);
        const qint64 avant = db->scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLES")).toLongLong();
        nouvelleSalle(QStringLiteral("N9"));
        saisir(*creation, nom, entree);
        enregistrer();
        // Refused in the field, as when the user leaves it: no procedure was asked, nothing stored.
        QVERIFY(db->takeAlerts().isEmpty());
        QCOMPARE(creation->etat(), Etat::creation);
        QVERIFY(bouton(*creation, "boutonCreer")->isChecked());
        QCOMPARE(champ(*creation, nom)->text(), entree);
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLES")).toLongLong(), avant);
        // Corrected, the same click saves.
        saisir(*creation, nom, "");
        enregistrer();
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        QCOMPARE(db->scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLES")).toLongLong(), avant + 1);
    }

    void valuesAsTheProceduresReceiveThem()
    {
        nouvelleSalle(QStringLiteral("abcdefghijkl"));
        saisir(*creation, "localisationEtage", "123456789");
        controle<QPlainTextEdit>(*creation, "descriptif")->setPlainText(QString(250, u'd'));
        saisir(*creation, "nbPortes", "3");
        saisir(*creation, "hauteurMoyenPlafond", "2.75");
        // Outlet codes typed in the panel are at most 14 digits; one read from elsewhere is cut.
        creation->tables().tablePrise.setObjectArray(
            {ligne({{"priCode", "12345678901234567890"}, {"priType", "T"}, {"priOrdre", qint64(-1)}})});
        enregistrer();
        QCOMPARE(alertesVues(), QString());
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        // The field shows the door as typed, upper-cased; the record holds its first ten characters.
        QCOMPARE(champ(*creation, "localisationPorte")->text(), QStringLiteral("ABCDEFGHIJ"));
        const qint64 numero = salleDeLaPorte(QStringLiteral("ABCDEFGHIJ"));
        QVERIFY(numero > 0);
        const auto colonnes = [&](const QString &select) {
            const QList<QVariantMap> lignes = db->dataBus().executeSQLQuery(
                QStringLiteral("SELECT %1 FROM SOLMA.SALLES WHERE SAL_NUMERO = ?").arg(select), {numero});
            QStringList valeurs;
            for (const QVariant &v : lignes.value(0))
                valeurs.append(eo::isNullOrNone(v) ? QStringLiteral("NULL") : KORConversions::textOf(v));
            return valeurs;
        };
        QCOMPARE(colonnes(QStringLiteral("SAL_ETAGE")), QStringList{"123456789"});
        QCOMPARE(colonnes(QStringLiteral("length(SAL_DESCRIPTIF)")), QStringList{"209"});
        // Empty board counts are sent as "0"; empty counts stay empty.
        QCOMPARE(colonnes(QStringLiteral(
                     "SAL_TABLEAU || SAL_TABLEAU_BLANC || SAL_TABLEAU_PAPIER || SAL_NO_POSTE")),
                 QStringList{"0000"});
        QCOMPARE(
            colonnes(QStringLiteral("COALESCE(SAL_CAPACITE, SAL_NB_CHAISES, SAL_NB_TABLES, SAL_NB_BUREAUX, "
                                    "SAL_NB_ARMOIRES, SAL_NB_FENETRES, SAL_SUPERFICIE)")),
            QStringList{"NULL"});
        QCOMPARE(prisesStockees(numero), QStringList{"T12345678901234"});
        QCOMPARE(
            nombre(db->scalar(QStringLiteral("SELECT TAV_NOMBRE_PORTES FROM SALLE_TAV WHERE SAL_NUMERO = ?"),
                              {numero})),
            QStringLiteral("3"));
        QCOMPARE(nombre(db->scalar(
                     QStringLiteral("SELECT TAV_HAUTEUR_MOYEN_PLAFOND FROM SALLE_TAV WHERE SAL_NUMERO = ?"),
                     {numero})),
                 QStringLiteral("2.75"));

        // Saved again without a change: the empty counts stay empty, places stored as a whole number.
        bouton(*creation, "boutonModifier")->click();
        enregistrer();
        QCOMPARE(alertesVues(), QString());
        QCOMPARE(
            colonnes(QStringLiteral("COALESCE(SAL_CAPACITE, SAL_NB_CHAISES, SAL_NB_TABLES, SAL_NB_BUREAUX, "
                                    "SAL_NB_ARMOIRES, SAL_NB_FENETRES)")),
            QStringList{"NULL"});
        bouton(*creation, "boutonModifier")->click();
        saisir(*creation, "architecturePlaces", "40");
        enregistrer();
        const QString entier = surServeur() ? QStringLiteral("pg_typeof(SAL_CAPACITE)::text")
                                            : QStringLiteral("typeof(SAL_CAPACITE)");
        QCOMPARE(colonnes(QStringLiteral("SAL_CAPACITE, %1").arg(entier)), (QStringList{"40", "integer"}));
    }

    // Empty numbers are stored NULL; saved without a keystroke, NULL (shown 0.00) and 0 stay, no history.
    void aSaveChangesOnlyWhatWasTyped()
    {
        const QString nombres = QStringLiteral(
            "SAL_CAPACITE, SAL_NB_ARMOIRES, SAL_NB_BUREAUX, SAL_NB_CHAISES, SAL_NB_FENETRES, SAL_NB_TABLES, "
            "SAL_SUPERFICIE, SAL_POUR_ADMINISTRATION, SAL_POUR_DOCUMENTATION, SAL_POUR_ENSEIGNEMENT, "
            "SAL_POUR_RECHERCHE, SAL_POUR_TECHNIQUE, TAV_HAUTEUR_MOYEN_PLAFOND, TAV_NOMBRE_PORTES, "
            "TAV_SURFACE_VITREE, TAV_ACCUEIL, TAV_CIRCULATION, TAV_RESTAURATION, TAV_PARKING, "
            "TAV_VIE_SOCIAL, "
            "TAV_SPORTIF, TAV_SANITAIRE FROM SOLMA.SALLES JOIN SALLE_TAV USING (SAL_NUMERO) WHERE SAL_NUMERO "
            "= ?");
        const auto stockes = [&](qint64 numero) {
            return lignes("SELECT " + nombres, {numero}).value(0).join(u'|');
        };
        const auto historique = [&] { return db->scalar(QStringLiteral("SELECT COUNT(*) FROM HISTORIQUE")); };
        nouvelleSalle(QStringLiteral("v1"));
        enregistrer();
        const qint64 numero = salleDeLaPorte(QStringLiteral("V1"));
        QVERIFY(numero > 0);
        QCOMPARE(stockes(numero), QString(21, u'|'));
        db->exec(QStringLiteral("UPDATE SOLMA.SALLES SET SAL_POUR_TECHNIQUE = 0 WHERE SAL_NUMERO = %1")
                     .arg(numero));
        montrerSalle(*db, *creation, numero);
        const QVariant avant = historique();
        bouton(*creation, "boutonModifier")->click();
        enregistrer();
        QCOMPARE(stockes(numero), QString(11, u'|') + QStringLiteral("0") + QString(10, u'|'));
        QCOMPARE(historique(), avant);
    }

    void creationWithoutSubList()
    {
        nouvelleSalle(QStringLiteral("s1"));
        enregistrer();
        QCOMPARE(journal, (QStringList{"begin", "insSalle", "insSalleTav", "commit"}));
        QCOMPARE(alertesVues(), QString());
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        QVERIFY(champ(*creation, "localisationEtage")->isReadOnly());
        const QList<eo::EORecord> &liste = creation->tables().tableSalles.displayedObjects();
        QCOMPARE(liste.size(), 1);
        QCOMPARE(texte(liste.first(), "salPorte"), QStringLiteral("S1"));
        QCOMPARE(creation->tables().tableSalles.selectionIndexes(), QList<int>{0});
    }

    void anErrorThatEndsTheSaveLeavesNothingHalfWritten()
    {
        nouvelleSalle(QStringLiteral("e1"));
        // An error escaping the action between the room record and its complement, as a lost server would.
        data::SaveTransaction::setJournal([](const QString &evenement) {
            if (evenement == u"insSalleTav")
                throw eo::EOException(eo::EOException::Kind::Connection, QStringLiteral("Connexion perdue."));
        });
        QPushButton *creer = bouton(*creation, "boutonCreer");
        creer->setChecked(false); // released by the user's click
        bool interrompue = false;
        try {
            creation->create(creer);
        } catch (const eo::EOException &) {
            interrompue = true; // the action's boundary
        }
        data::SaveTransaction::setJournal({});
        QVERIFY(interrompue);
        QVERIFY(!db->dataBus().hasOpenTransaction());
        QCOMPARE(salleDeLaPorte(QStringLiteral("E1")), 0);
        // The form as typed, the button pressed: the next click saves it, once.
        QCOMPARE(creation->etat(), Etat::creation);
        QVERIFY(creer->isChecked());
        enregistrer();
        QCOMPARE(alertesVues(), QString());
        QVERIFY(salleDeLaPorte(QStringLiteral("E1")) > 0);
    }

    void modificationCallSequence_data()
    {
        QTest::addColumn<bool>("complement");
        QTest::newRow("the room has its complement") << true;
        QTest::newRow("the room has no complement yet") << false;
    }

    void modificationCallSequence()
    {
        QFETCH(bool, complement);
        if (!complement)
            db->exec(QStringLiteral("DELETE FROM SALLE_TAV WHERE SAL_NUMERO = %1").arg(salles.a12));
        modificationDeA12();
        journal.clear();
        enregistrer();
        QCOMPARE(alertesVues(), QString());
        const QString tav = complement ? QStringLiteral("updSalleTav") : QStringLiteral("insSalleTav");
        // One transaction: the record and its complement, each outlet, each removed outlet, each list.
        QCOMPARE(journal,
                 (QStringList{"begin", "majSalles", tav, "insPrises", "updPrises", "delPrises",
                              "delDetailSalle", "insDetailSalle", "insDetailSalle", "delDetailPourcentage",
                              "insDetailPourcentage", "insDetailPourcentage", "commit"}));
        QCOMPARE(salleStockee(salles.a12), QStringLiteral("5|A12|45|30"));
        QCOMPARE(prisesStockees(salles.a12), (QStringList{"I15", "V12"}));
        QCOMPARE(materielsStockes(salles.a12), (QStringList{"3:4", "5:6"}));
        QCOMPARE(occupationsStockees(salles.a12), (QStringList{"SCI/1:30", "SCI/2:25"}));
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        // The result list is back, its row brought up to date in place.
        QVERIFY(creation->listeSalles()->isVisible());
        QCOMPARE(texte(creation->tables().tableSalles.selectedObject(), "salEtage"), QStringLiteral("5"));

        // The outlets now carry their stored keys: a further save updates them, never inserts them again.
        bouton(*creation, "boutonModifier")->click();
        journal.clear();
        enregistrer();
        QCOMPARE(journal.count(QStringLiteral("insPrises")), 0);
        QCOMPARE(journal.count(QStringLiteral("updPrises")), 2);
        QCOMPARE(prisesStockees(salles.a12), (QStringList{"I15", "V12"}));
    }

    void aCreatedRoomModifiedTwiceKeepsItsOutletsOnce()
    {
        nouvelleSalle(QStringLiteral("s2"));
        enregistrer();
        const qint64 numero = salleDeLaPorte(QStringLiteral("S2"));
        QVERIFY(!creation->rechercheOuverte());
        bouton(*creation, "boutonModifier")->click();
        creation->tables().tablePrise.insertObjectAtIndex(
            ligne({{"priCode", "7"}, {"priType", "I"}, {"priOrdre", qint64(-1)}}), 0);
        enregistrer();
        bouton(*creation, "boutonModifier")->click();
        enregistrer();
        QCOMPARE(alertesVues(), QString());
        QCOMPARE(prisesStockees(numero), QStringList{"I7"});
    }

    void failures_data()
    {
        QTest::addColumn<bool>("creer");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("evenement");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("alerte"); // after the "ERREUR..." one; "" for none
        QTest::addColumn<bool>("enregistree");
        QTest::addColumn<QString>("salle");       // old, new
        QTest::addColumn<QString>("materiels");   // old, new, first (the first new line only)
        QTest::addColumn<QString>("occupations"); // old, new
        QTest::addColumn<QStringList>("prises");

        const QString deuxieme =
            QStringLiteral("(SELECT COUNT(*) FROM %1 WHERE SAL_NUMERO = NEW.SAL_NUMERO) >= 1");
        const QStringList anciennes{"I10", "T11"};
        const QStringList nouvelles{"I15", "V12"};
        QTest::newRow("majSalles") << false << "SOLMA.SALLES"
                                   << "UPDATE"
                                   << ""
                                   << "La salle n'a pas ete enregistree !!" << false << "old"
                                   << "old"
                                   << "old" << anciennes;
        QTest::newRow("updSalleTav") << false << "SALLE_TAV"
                                     << "UPDATE"
                                     << ""
                                     << "" << false << "old"
                                     << "old"
                                     << "old" << anciennes;
        QTest::newRow("insPrises") << false << "PRISES"
                                   << "INSERT"
                                   << ""
                                   << "Probleme enregistrement de prise !!" << true << "new"
                                   << "new"
                                   << "new" << QStringList{"I15"};
        QTest::newRow("updPrises") << false << "PRISES"
                                   << "UPDATE"
                                   << ""
                                   << "Probleme enregistrement de prises !!" << true << "new"
                                   << "new"
                                   << "new" << QStringList{"I10", "V12"};
        QTest::newRow("delPrises") << false << "PRISES"
                                   << "DELETE"
                                   << ""
                                   << "Probleme suppression de prises !!" << true << "new"
                                   << "new"
                                   << "new" << QStringList{"I15", "T11", "V12"};
        QTest::newRow("delDetailSalle") << false << "DETAIL_SALLE"
                                        << "DELETE"
                                        << ""
                                        << "Probleme suppression de materiels !!" << true << "new"
                                        << "old"
                                        << "new" << nouvelles;
        QTest::newRow("insDetailSalle, second line")
            << false << "DETAIL_SALLE"
            << "INSERT" << deuxieme.arg("DETAIL_SALLE") << "Probleme enregistrement de materiels !!" << true
            << "new"
            << "old"
            << "new" << nouvelles;
        QTest::newRow("delDetailPourcentage") << false << "DETAIL_POURCENTAGE"
                                              << "DELETE"
                                              << ""
                                              << "Probleme suppression d'occupations !!" << true << "new"
                                              << "new"
                                              << "old" << nouvelles;
        QTest::newRow("insDetailPourcentage, second line")
            << false << "DETAIL_POURCENTAGE"
            << "INSERT" << deuxieme.arg("DETAIL_POURCENTAGE") << "Probleme enregistrement d'occupations !!"
            << true << "new"
            << "new"
            << "old" << nouvelles;

        // A creation: "old" is nothing stored.
        QTest::newRow("insSalle") << true << "SOLMA.SALLES"
                                  << "INSERT"
                                  << ""
                                  << "La nouvelle salle n'a pas ete enregistree !!" << false << "old"
                                  << "old"
                                  << "old" << QStringList{};
        QTest::newRow("insSalleTav") << true << "SALLE_TAV"
                                     << "INSERT"
                                     << ""
                                     << "" << false << "old"
                                     << "old"
                                     << "old" << QStringList{};
        // In a creation each line is a step of its own: the refused line alone is missing.
        QTest::newRow("insDetailSalle in a creation")
            << true << "DETAIL_SALLE"
            << "INSERT" << deuxieme.arg("DETAIL_SALLE") << "Probleme enregistrement de materiels !!" << true
            << "new"
            << "first"
            << "new" << nouvelles;
        QTest::newRow("insPrises in a creation")
            << true << "PRISES"
            << "INSERT"
            << "NEW.PRI_CODE = '12'"
            << "Les prises n'ont pas ete enregistrees !!" << true << "new"
            << "new"
            << "new" << QStringList{"I15"};
    }

    void failures()
    {
        QFETCH(bool, creer);
        QFETCH(QString, table);
        QFETCH(QString, evenement);
        QFETCH(QString, condition);
        QFETCH(QString, alerte);
        QFETCH(bool, enregistree);
        QFETCH(QString, salle);
        QFETCH(QString, materiels);
        QFETCH(QString, occupations);
        QFETCH(QStringList, prises);

        panne(table, evenement, condition);
        if (creer)
            creationDeN1();
        else
            modificationDeA12();
        enregistrer();
        reparer();

        QList<TestDatabase::Alert> alertes = db->takeAlerts();
        QVERIFY(!alertes.isEmpty());
        QCOMPARE(alertes.first().title, QStringLiteral("ERREUR..."));
        QVERIFY2(alertes.first().message.contains(QStringLiteral("Panne simulée")),
                 qPrintable(alertes.first().message));
        QCOMPARE(alertes.size(), alerte.isEmpty() ? 1 : 2);
        if (!alerte.isEmpty())
            QCOMPARE(alertes.at(1).message, alerte);
        QCOMPARE(creation->etat(),
                 enregistree ? Etat::salleAffichee : (creer ? Etat::creation : Etat::modification));
        QCOMPARE(bouton(*creation, "boutonCreer")->isChecked(), !enregistree);

        const qint64 numero = creer ? salleDeLaPorte(QStringLiteral("N1")) : salles.a12;
        if (creer && salle == u"old") {
            QCOMPARE(numero, 0); // no room at all, not even one without its complement
        } else {
            QVERIFY(numero > 0);
            const QString nouvelle = creer ? QStringLiteral("3|N1|45|30") : QStringLiteral("5|A12|45|30");
            QCOMPARE(salleStockee(numero), salle == u"new" ? nouvelle : QStringLiteral("1|A12|30|20"));
            const QStringList materielsAvant = creer ? QStringList{} : QStringList{"2:12"};
            const QStringList occupationsAvant = creer ? QStringList{} : QStringList{"SCI/1:40"};
            const QStringList materielsApres{"3:4", "5:6"};
            const QStringList occupationsApres{"SCI/1:30", "SCI/2:25"};
            QCOMPARE(materielsStockes(numero), materiels == u"new"     ? materielsApres
                                               : materiels == u"first" ? materielsApres.mid(0, 1)
                                                                       : materielsAvant);
            QCOMPARE(occupationsStockees(numero),
                     occupations == u"new" ? occupationsApres : occupationsAvant);
            QCOMPARE(prisesStockees(numero), prises);
        }

        // The program goes on: saved again, the room is stored whole, once.
        if (enregistree)
            return;
        enregistrer();
        QCOMPARE(alertesVues(), QString());
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        const qint64 refaite = creer ? salleDeLaPorte(QStringLiteral("N1")) : salles.a12;
        QVERIFY(refaite > 0);
        QCOMPARE(materielsStockes(refaite), (QStringList{"3:4", "5:6"}));
        QCOMPARE(occupationsStockees(refaite), (QStringList{"SCI/1:30", "SCI/2:25"}));
        QCOMPARE(prisesStockees(refaite), (QStringList{"I15", "V12"}));
    }

    void deletion_data()
    {
        QTest::addColumn<QString>("etage");
        QTest::addColumn<int>("restantes");
        QTest::addColumn<bool>("listeDevant");
        // Droit holds C*1 and C21 on floor 1, D1 on floor 10.
        QTest::newRow("from three rooms") << "" << 2 << true;
        QTest::newRow("from two rooms") << "1" << 1 << false;
    }

    void deletion()
    {
        QFETCH(QString, etage);
        QFETCH(int, restantes);
        QFETCH(bool, listeDevant);
        bouton(*creation, "boutonRecherche")->click();
        saisir(*creation, "localisationBatiment", "Droit");
        saisir(*creation, "localisationEtage", etage);
        bouton(*creation, "boutonRecherche")->click();
        QCOMPARE(creation->tables().tableSalles.displayedObjects().size(), restantes + 1);
        const qint64 premiere =
            creation->tables().tableSalles.selectedObject()->valueForKey("salNumero").toLongLong();
        creation->listeSalles()->hide(); // behind the form, as when the user went back to it
        journal.clear();
        bouton(*creation, "boutonSupprimer")->click();
        QCOMPARE(journal, (QStringList{"begin", "delSalles", "commit"}));
        QCOMPARE(alertesVues(), QString());
        QCOMPARE(
            db->scalar(QStringLiteral("SELECT COUNT(*) FROM SOLMA.SALLES WHERE SAL_NUMERO = ?"), {premiere})
                .toLongLong(),
            0);
        QCOMPARE(creation->tables().tableSalles.displayedObjects().size(), restantes);
        QCOMPARE(creation->listeSalles()->isVisible(), listeDevant);
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        // The form shows the room now selected.
        QCOMPARE(champ(*creation, "localisationPorte")->text(),
                 texte(creation->tables().tableSalles.selectedObject(), "salPorte"));
    }

    void deletionOfAnOfficeIsRefused()
    {
        db->exec(QStringLiteral("INSERT INTO SOLMA.INDIVIDU (PERS_ID, NOM_USUEL) VALUES (77, 'MARTIN');"
                                "INSERT INTO SOLMA.REPART_BUREAU (BUR_ORDRE, PERS_ID) VALUES (%1, 77);")
                     .arg(salles.c21));
        ouvrirSalle(salles.c21);
        const qsizetype listees = creation->tables().tableSalles.displayedObjects().size();
        bouton(*creation, "boutonSupprimer")->click();
        const QList<TestDatabase::Alert> alertes = db->takeAlerts();
        QCOMPARE(alertes.size(), 2);
        QCOMPARE(alertes.at(0).title, QStringLiteral("ERREUR..."));
        QVERIFY2(alertes.at(0).message.contains(QStringLiteral(
                     "est encore le bureau de 1 personne(s) : elle ne peut pas être supprimée")),
                 qPrintable(alertes.at(0).message));
        QCOMPARE(alertes.at(1).title, QStringLiteral("ATTENTION"));
        QCOMPARE(alertes.at(1).message, QStringLiteral("La salle n'a pas ete supprimee !!"));
        QCOMPARE(creation->tables().tableSalles.displayedObjects().size(), listees);
        QCOMPARE(creation->tables().tableSalles.selectedObject()->valueForKey("salNumero").toLongLong(),
                 salles.c21);
        QCOMPARE(champ(*creation, "localisationPorte")->text(), QStringLiteral("C21"));
        QCOMPARE(salleStockee(salles.c21).section(u'|', 1, 1), QStringLiteral("C21"));
    }

    void roundTripThroughTheWidgets()
    {
        const QMap<QString, QString> premiere{
            {"localisationBatiment", "SCIENCES BIS"},
            {"localisationEtage", "4"},
            {"localisationPorte", "R2D2"},
            {"typePopup", QStringLiteral("Amphithéâtre")},
            {"architecturePlaces", "120"},
            {"architectureSurface", "150.75"},
            {"architectureFenetres", "6"},
            {"hauteurMoyenPlafond", "3.50"},
            {"nbPortes", "2"},
            {"surfaceVitree", "12.25"},
            {"reservable", "O"},
            {"equipementEcran", "O"},
            {"equipementRetro", "N"},
            {"equipementTV", "O"},
            {"equipementObscurite", "O"},
            {"equipementInsonorise", "N"},
            {"nbTablNoir", "1"},
            {"nbTablBlanc", "2"},
            {"nbTablPapier", "3"},
            {"nbPostesTP", "4"},
            {"nombreChaises", "120"},
            {"nombreTables", "60"},
            {"nombreBureaux", "1"},
            {"nombreArmoires", "2"},
            {"pourcEnseignement", "40.00"},
            {"pourcRecherche", "10.50"},
            {"pourcAdministration", "5.00"},
            {"pourcDocumentation", "4.50"},
            {"pourcTechnique", "5.00"},
            {"pourcVieSociale", "5.00"},
            {"pourcAccueil", "5.00"},
            {"pourcSanitaire", "5.00"},
            {"pourcCirculation", "10.00"},
            {"pourcRestauration", "5.00"},
            {"pourcParking", "2.50"},
            {"pourcSportif", "2.50"},
            {"descriptif", QStringLiteral("Amphi rénové, deux écrans ; accès « PMR »")},
            {"tableDepositaire", "G1"},
            {"tablePrise", "T101, V102"},
            {"tableDetailSalle", QStringLiteral("Mobilier/Chaise:120, Réseau/Câble:30")},
            {"tableDetailPourcentage", "SCI/Enseignement:70, SCI/Recherche:30"},
        };
        bouton(*creation, "boutonCreer")->click();
        remplirTout(premiere);
        QDialog *depositaires = creation->depositaires().listeDepositaires();
        QVERIFY(dansLePanneau(bouton(*creation, "boutonAjoutDepositaire"), depositaires,
                              [&] { dans<QPushButton>(depositaires, "boutonChoisirDepositaire")->click(); }));
        ajouterPrise(QStringLiteral("101"), "typeAjoutPriseT");
        ajouterPrise(QStringLiteral("102"), "typeAjoutPriseV");
        materiel(true, QStringLiteral("Mobilier"), QStringLiteral("Chaise"), QStringLiteral("120"));
        materiel(true, QStringLiteral("Réseau"), QStringLiteral("Câble"), QStringLiteral("30"));
        occupation(QStringLiteral("Enseignement"), QStringLiteral("70"));
        occupation(QStringLiteral("Recherche"), QStringLiteral("30"));
        enregistrer();
        QCOMPARE(alertesVues(), QString());
        QCOMPARE(creation->etat(), Etat::salleAffichee);
        QCOMPARE(formulaire(*creation), premiere);

        // Read back by another room tab, as another user would.
        const qint64 numero = salleDeLaPorte(QStringLiteral("R2D2"));
        QVERIFY(numero > 0);
        {
            Creation lecteur(db->dataBus());
            lecteur.initObjet();
            montrerSalle(*db, lecteur, numero);
            QCOMPARE(formulaire(lecteur), premiere);
        }

        QMap<QString, QString> seconde = premiere;
        seconde.insert({{"localisationBatiment", "Droit"},
                        {"localisationEtage", "5"},
                        {"localisationPorte", "R2D3"},
                        {"typePopup", "Bureau"},
                        {"architecturePlaces", ""},
                        {"architectureSurface", "20.00"},
                        {"architectureFenetres", "1"},
                        {"hauteurMoyenPlafond", "2.80"},
                        {"nbPortes", "1"},
                        {"surfaceVitree", "0.50"},
                        {"reservable", "N"},
                        {"equipementEcran", "N"},
                        {"equipementRetro", "O"},
                        {"equipementTV", "N"},
                        {"equipementObscurite", "N"},
                        {"equipementInsonorise", "O"},
                        {"nbTablNoir", "0"},
                        {"nbTablBlanc", "1"},
                        {"nbTablPapier", "0"},
                        {"nbPostesTP", "0"},
                        {"nombreChaises", "4"},
                        {"nombreTables", ""},
                        {"nombreBureaux", "2"},
                        {"nombreArmoires", "3"},
                        {"pourcEnseignement", "0.00"},
                        {"pourcRecherche", "0.00"},
                        {"pourcAdministration", "100.00"},
                        {"pourcDocumentation", "0.00"},
                        {"pourcTechnique", "0.00"},
                        {"pourcVieSociale", "0.00"},
                        {"pourcAccueil", "0.00"},
                        {"pourcSanitaire", "0.00"},
                        {"pourcCirculation", "0.00"},
                        {"pourcRestauration", "0.00"},
                        {"pourcParking", "0.00"},
                        {"pourcSportif", "0.00"},
                        {"descriptif", "Bureau du directeur"},
                        {"tableDepositaire", ""},
                        {"tablePrise", "I111, V103"},
                        {"tableDetailSalle", "Mobilier/Chaise:100, Mobilier/Table:50"},
                        {"tableDetailPourcentage", "SCI/Recherche:10, SCI/Recherche:30"}});
        bouton(*creation, "boutonModifier")->click();
        remplirTout(seconde);
        bouton(*creation, "boutonSupprDepositaire")->click();
        rooms::RoomDisplayGroups &t = creation->tables();
        // Outlets by kind then code: T101, V102.
        t.tablePrise.setSelectionIndexes({0});
        QDialog *modif = creation->prises().panelModifPrise();
        QVERIFY(dansLePanneau(bouton(*creation, "boutonModifPrises"), modif, [&] {
            dans<QLineEdit>(modif, "textModifPrise")->setText(QStringLiteral("111"));
            dans<QRadioButton>(modif, "typeModifPriseI")->click();
            dans<QPushButton>(modif, "boutonValideModifPrise")->click();
        }));
        t.tablePrise.setSelectionIndexes({1});
        bouton(*creation, "boutonSupprPrises")->click();
        ajouterPrise(QStringLiteral("103"), "typeAjoutPriseV");
        QVERIFY(choisir(t.tableDetailSalle, "tavLibelle", QStringLiteral("Câble")));
        bouton(*creation, "boutonSupprMatos")->click();
        QVERIFY(choisir(t.tableDetailSalle, "tavLibelle", QStringLiteral("Chaise")));
        materiel(false, QStringLiteral("Mobilier"), QStringLiteral("Chaise"), QStringLiteral("100"));
        materiel(true, QStringLiteral("Mobilier"), QStringLiteral("Table"), QStringLiteral("50"));
        QVERIFY(choisir(t.tableDetailPourcentage, "tocLibelle", QStringLiteral("Enseignement")));
        bouton(*creation, "boutonSupprDetailPourcentage")->click();
        occupation(QStringLiteral("Recherche"), QStringLiteral("10"));
        enregistrer();
        QCOMPARE(alertesVues(), QString());
        QCOMPARE(formulaire(*creation), seconde);
        {
            Creation lecteur(db->dataBus());
            lecteur.initObjet();
            montrerSalle(*db, lecteur, numero);
            QCOMPARE(formulaire(lecteur), seconde);
        }
    }
};

class TestRoomSaveOnSQLite : public TestRoomSave
{
    Q_OBJECT
public:
    TestRoomSaveOnSQLite() : TestRoomSave(TestDatabase::Backend::SQLite) {}
};

// A session that the server ends in the middle of a save: only the server has sessions to lose.
class TestRoomSaveOnPostgreSQL : public TestRoomSave
{
    Q_OBJECT
public:
    TestRoomSaveOnPostgreSQL() : TestRoomSave(TestDatabase::Backend::PostgreSQL) {}

private slots:
    void droppedConnection_data()
    {
        QTest::addColumn<bool>("creer");
        QTest::addColumn<QString>("avant");  // the write before which the session ends
        QTest::addColumn<int>("rang");       // which one of them
        QTest::addColumn<QString>("alerte"); // the room tab's own alert; "-" for no alert at all
        QTest::addColumn<bool>("enregistree");
        QTest::addColumn<QString>("salle");
        QTest::addColumn<QString>("materiels");
        QTest::addColumn<QString>("occupations");

        // A transaction whose first call finds the session gone begins again on a new one: nothing is lost.
        // A modification's first call holds and reads the room; majSalles comes after it, in the transaction.
        QTest::newRow("the modification's first transaction, before its first call")
            << false << "begin" << 1 << "-" << true << "new"
            << "new"
            << "new";
        QTest::newRow("majSalles, after the room is held")
            << false << "majSalles" << 1 << "La salle n'a pas ete enregistree !!" << false << "old"
            << "old"
            << "old";
        // Everything after the hold goes with the commit, in one transaction: a session lost before it leaves
        // loses the whole save, told with the record's alert, and nothing of it is half-written.
        QTest::newRow("updSalleTav") << false << "updSalleTav" << 1 << "La salle n'a pas ete enregistree !!"
                                     << false << "old"
                                     << "old"
                                     << "old";
        QTest::newRow("the commit") << false << "commit" << 1 << "La salle n'a pas ete enregistree !!"
                                    << false << "old"
                                    << "old"
                                    << "old";
        QTest::newRow("insDetailPourcentage")
            << false << "insDetailPourcentage" << 2 << "La salle n'a pas ete enregistree !!" << false << "old"
            << "old"
            << "old";
        QTest::newRow("insSalleTav in a creation")
            << true << "insSalleTav" << 1 << "La nouvelle salle n'a pas ete enregistree !!" << false << "old"
            << "old"
            << "old";
    }

    void droppedConnection()
    {
        QFETCH(bool, creer);
        QFETCH(QString, avant);
        QFETCH(int, rang);
        QFETCH(QString, alerte);
        QFETCH(bool, enregistree);
        QFETCH(QString, salle);
        QFETCH(QString, materiels);
        QFETCH(QString, occupations);

        if (creer)
            creationDeN1();
        else
            modificationDeA12();
        coupureA = avant;
        coupureRang = rang;
        enregistrer();
        coupureA.clear();

        const QList<TestDatabase::Alert> alertes = db->takeAlerts();
        if (alerte == u"-") {
            QVERIFY2(alertes.isEmpty(), qPrintable(alertes.value(0).message));
        } else {
            QVERIFY(!alertes.isEmpty());
            QCOMPARE(alertes.first().title, QStringLiteral("ERREUR..."));
            QCOMPARE(alertes.size(), alerte.isEmpty() ? 1 : 2);
            if (!alerte.isEmpty())
                QCOMPARE(alertes.at(1).message, alerte);
        }
        QCOMPARE(creation->etat(),
                 enregistree ? Etat::salleAffichee : (creer ? Etat::creation : Etat::modification));

        const qint64 numero = creer ? salleDeLaPorte(QStringLiteral("N1")) : salles.a12;
        if (creer && salle == u"old") {
            QCOMPARE(numero, 0);
        } else {
            QCOMPARE(salleStockee(numero),
                     salle == u"new" ? QStringLiteral("5|A12|45|30") : QStringLiteral("1|A12|30|20"));
            const QStringList materielsApres{"3:4", "5:6"};
            const QStringList occupationsApres{"SCI/1:30", "SCI/2:25"};
            QCOMPARE(materielsStockes(numero), materiels == u"new" ? materielsApres : QStringList{"2:12"});
            QCOMPARE(occupationsStockees(numero),
                     occupations == u"new" ? occupationsApres : QStringList{"SCI/1:40"});
        }
        // The next save runs on a new session.
        if (!enregistree) {
            enregistrer();
            QCOMPARE(alertesVues(), QString());
            const qint64 refaite = creer ? salleDeLaPorte(QStringLiteral("N1")) : salles.a12;
            QVERIFY(refaite > 0);
            QCOMPARE(materielsStockes(refaite), (QStringList{"3:4", "5:6"}));
        } else {
            bouton(*creation, "boutonModifier")->click();
            enregistrer();
            QCOMPARE(alertesVues(), QString());
        }
        QCOMPARE(creation->etat(), Etat::salleAffichee);
    }
};

int main(int argc, char *argv[])
{
    // Panels run through the application object's modal sessions, as in the program.
    widgets::BugFixApplication application(argc, argv);
    int status = 0;
    if (TestDatabase::backendSelected(TestDatabase::Backend::SQLite)) {
        TestRoomSaveOnSQLite test;
        status |= QTest::qExec(&test, argc, argv);
    }
    if (TestDatabase::backendSelected(TestDatabase::Backend::PostgreSQL)) {
        TestRoomSaveOnPostgreSQL test;
        status |= QTest::qExec(&test, argc, argv);
    }
    return status;
}

#include "tst_RoomSave.moc"
