// Fetches declared ahead: the server is asked for them at once, and the fetches that follow take the same
// rows it would have answered one by one. A write of this client, a transaction, a closed connection or the
// end of the declaring scope sends them to the server again; a declared fetch that fails costs its round
// trip and nothing else, the fetches then reporting as usual. The embedded database reads as it always did.

#include "BackendTestCase.h"
#include "EODisplayGroup.h"
#include "EOGenericRecord.h"
#include "KORDataBusOC.h"
#include "StatementCounter.h"

#include <QTest>

namespace
{

using Fetch = eo::EOPrefetch::Fetch;
constexpr auto croissant = eo::EOSortOrdering::Selector::CompareAscending;

eo::EOQualifierPtr condition(const QString &format, const QVariantList &valeurs)
{
    return eo::EOQualifier::qualifierWithQualifierFormat(format, valeurs);
}

// Everything a group shows, key paths included, one line per row.
QStringList contenu(const eo::EODisplayGroup &groupe)
{
    QStringList lignes;
    for (int r = 0; r < groupe.rowCount(); ++r) {
        QStringList cellules;
        for (int c = 0; c < groupe.columnCount(); ++c)
            cellules.append(groupe.data(groupe.index(r, c)).toString());
        lignes.append(cellules.join(QLatin1String(" | ")));
    }
    return lignes;
}

} // namespace

class TestPrefetch : public BackendTestCase
{
    Q_OBJECT

    qint64 salle = 0;

    bool serveur() const { return backend() == TestDatabase::Backend::PostgreSQL; }
    data::KORDataBusOC &bus() const { return db->dataBus(); }

    void prepare() override
    {
        QVERIFY(!db->addBuilding(QStringLiteral("DRT"), QStringLiteral("Droit")).isEmpty());
        salle = db->addRoom(QStringLiteral("DRT"), QStringLiteral("1"), QStringLiteral("P1"));
        QVERIFY(salle > 0);
        QVERIFY(db->exec(
            QStringLiteral("INSERT INTO UNITE (UNI_ORDRE, UNI_ABREV, UNI_LIBELLE) VALUES (1, 'u', 'unité');"
                           "INSERT INTO SOLMA.DEPOSITAIRE (SAL_NUMERO, C_STRUCTURE) VALUES (%1, 'G1');"
                           "INSERT INTO DETAIL_POURCENTAGE (SAL_NUMERO, DET_TYPE, DET_POURCENTAGE, "
                           "C_STRUCTURE) VALUES (%1, 1, 60, 'SCI'), (%1, 2, 40, 'G1');"
                           "INSERT INTO CONFIGURATION (SAL_NUMERO, CONF_LIBELLE, CONF_CAPACITE) VALUES "
                           "(%1, 'Examen', 20)")
                .arg(salle)));
    }

    Fetch unites() const
    {
        return data::KORDataBusOC::declaredFetch(QStringLiteral("Unite"), {},
                                                 {{QStringLiteral("uniAbrev"), croissant}});
    }

    QStringList abreviations()
    {
        QStringList lues;
        for (const eo::EORecord &unite :
             bus().fetchArray(QStringLiteral("Unite"), {}, unites().request.sortOrderings))
            lues.append(unite->valueForKey(QStringLiteral("uniAbrev")).toString());
        return lues;
    }

    // The groups of a room's lists, each with the columns a form shows.
    struct Liste {
        QString entite;
        QStringList colonnes;
    };
    QList<Liste> listes(int nombre) const
    {
        const QList<Liste> toutes{
            {QStringLiteral("DepositaireVix"), {"cStructure", "structureZebVix.llStructure"}},
            {QStringLiteral("DetailPourcentage"),
             {"detPourcentage", "structureZebVix.llStructure", "tocLibelle"}},
            {QStringLiteral("Configuration"), {"confLibelle", "confCapacite"}},
            {QStringLiteral("SallesVix"), {"salPorte", "local.appellation", "local.toAdresseVix.ville"}},
        };
        return toutes.mid(0, nombre);
    }

private slots:
    // Declared, then read: the same rows and related rows as read without it, for one round trip (two with
    // the related rows of the key paths), the fetches themselves then costing none on the server.
    void theReadsTakeWhatWasReadAhead_data()
    {
        QTest::addColumn<int>("nombre");
        QTest::addColumn<int>("aller");   // round trips of the prefetch on the server
        QTest::addColumn<int>("lecture"); // then of the fetches (a second level of key path is not declared)

        QTest::newRow("one list and its groups") << 1 << 2 << 0;
        QTest::newRow("three lists") << 3 << 2 << 0;
        QTest::newRow("with a key path of two levels") << 4 << 2 << 1;
    }

    void theReadsTakeWhatWasReadAhead()
    {
        QFETCH(int, nombre);
        QFETCH(int, aller);
        QFETCH(int, lecture);
        const eo::EOQualifierPtr laSalle = condition(QStringLiteral("salNumero=%@"), {salle});
        auto remplir = [&](std::vector<std::unique_ptr<eo::EODisplayGroup>> &groupes) {
            for (const Liste &liste : listes(nombre)) {
                groupes.push_back(std::make_unique<eo::EODisplayGroup>());
                for (const QString &colonne : liste.colonnes)
                    groupes.back()->addColumn(colonne, colonne);
                bus().fetchTable(groupes.back().get(), liste.entite, laSalle, {}, false);
            }
        };

        // Read alone first; the records go with their groups, and with them what they had read.
        StatementCounter compteur(*db);
        QList<QStringList> attendus;
        qint64 sansAvance = 0;
        {
            std::vector<std::unique_ptr<eo::EODisplayGroup>> seuls;
            remplir(seuls);
            sansAvance = compteur.count();
            for (const auto &groupe : seuls)
                attendus.append(contenu(*groupe));
        }
        // The bus keeps its last result: another fetch lets those records go too.
        abreviations();

        std::vector<std::unique_ptr<eo::EODisplayGroup>> groupes;
        QList<Fetch> lectures;
        for (const Liste &liste : listes(nombre)) {
            groupes.push_back(std::make_unique<eo::EODisplayGroup>());
            for (const QString &colonne : liste.colonnes)
                groupes.back()->addColumn(colonne, colonne);
            lectures.append(
                data::KORDataBusOC::declaredFetch(liste.entite, laSalle, {}, groupes.back().get()));
        }
        compteur.reset();
        const eo::EOPrefetch enAvance = bus().prefetch(lectures);
        QCOMPARE(enAvance.holdsAnswers(), serveur());
        QCOMPARE(compteur.count(), serveur() ? qint64(aller) : qint64(0));
        // What is held already is not asked for again.
        compteur.reset();
        QVERIFY(!bus().prefetch(lectures).holdsAnswers());
        QCOMPARE(compteur.count(), qint64(0));

        compteur.reset();
        for (size_t i = 0; i < groupes.size(); ++i)
            bus().fetchTable(groupes[i].get(), listes(nombre).at(int(i)).entite, laSalle, {}, false);
        QCOMPARE(compteur.count(), serveur() ? qint64(lecture) : sansAvance);
        for (size_t i = 0; i < groupes.size(); ++i)
            QCOMPARE(contenu(*groupes[i]), attendus.at(int(i)));
        QVERIFY(contenu(*groupes[0]).value(0).endsWith(QStringLiteral("Dépositaires sciences")));
        QCOMPARE(db->takeAlerts().size(), 0);
    }

    // Whatever could make the rows read ahead stale sends the fetch to the database again.
    void aReadAfterAWriteSeesIt_data()
    {
        QTest::addColumn<QString>("ecriture");
        QTest::newRow("a procedure") << QStringLiteral("procédure");
        QTest::newRow("a raw statement") << QStringLiteral("requête");
        QTest::newRow("another user's write, then a transaction") << QStringLiteral("transaction");
        QTest::newRow("another user's write, then the connection closed") << QStringLiteral("fermeture");
        QTest::newRow("another user's write, then the end of the prefetch") << QStringLiteral("fin");
    }

    void aReadAfterAWriteSeesIt()
    {
        QFETCH(QString, ecriture);
        const QString autreUtilisateur =
            QStringLiteral("INSERT INTO UNITE (UNI_ABREV, UNI_LIBELLE) VALUES ('zz', 'ajoutée')");
        {
            const eo::EOPrefetch enAvance = bus().prefetch({unites()});
            QCOMPARE(enAvance.holdsAnswers(), serveur());
            if (ecriture == u"procédure") {
                QVERIFY(bus().executeProcedure(QStringLiteral("insUnite"),
                                               {{QStringLiteral("uniabrev"), QStringLiteral("zz")},
                                                {QStringLiteral("unilibelle"), QStringLiteral("ajoutée")}}));
            } else if (ecriture == u"requête") {
                // On the server a room manager writes through the procedures only, by SQL as well.
                bus().executeSQLQuery(
                    serveur()
                        ? QStringLiteral("SELECT * FROM insunite(uniabrev => 'zz', unilibelle => 'ajoutée')")
                        : autreUtilisateur);
            } else if (ecriture == u"transaction") {
                QVERIFY(db->exec(autreUtilisateur));
                bus().beginTransaction();
                QCOMPARE(abreviations(), QStringList({"u", "zz"}));
                bus().rollbackTransaction();
            } else if (ecriture == u"fermeture") {
                QVERIFY(db->exec(autreUtilisateur));
                bus().dataBusAdaptor()->close();
            } else {
                QVERIFY(db->exec(autreUtilisateur));
                // Until then the rows are those of the moment they were declared, as if read then.
                QCOMPARE(abreviations(), serveur() ? QStringList({"u"}) : QStringList({"u", "zz"}));
            }
            if (ecriture != u"fin")
                QCOMPARE(abreviations(), QStringList({"u", "zz"}));
        }
        QCOMPARE(abreviations(), QStringList({"u", "zz"}));
        QCOMPARE(db->takeAlerts().size(), 0);
    }

    // A declared fetch the database refuses keeps nothing and shows nothing: each fetch then runs alone and
    // fails, or not, exactly as without the prefetch.
    void aRefusedFetchFallsBackToTheFetchItself()
    {
        QVERIFY(db->exec(QStringLiteral("ALTER TABLE CONFIGURATION RENAME TO CONFIGURATION_DEPLACEE")));
        const eo::EOQualifierPtr laSalle = condition(QStringLiteral("salNumero=%@"), {salle});
        const auto configurations = [&] {
            try {
                bus().fetchArray(QStringLiteral("Configuration"), laSalle, {});
            } catch (const eo::EOException &erreur) {
                return erreur.message();
            }
            return QString();
        };
        const QString sansAvance = configurations();
        QVERIFY(!sansAvance.isEmpty());

        StatementCounter compteur(*db);
        const eo::EOPrefetch enAvance = bus().prefetch(
            {unites(), data::KORDataBusOC::declaredFetch(QStringLiteral("Configuration"), laSalle)});
        QVERIFY(!enAvance.holdsAnswers());
        QCOMPARE(compteur.count(), qint64(serveur() ? 1 : 0));
        QCOMPARE(db->takeAlerts().size(), 0);
        compteur.reset();
        QCOMPARE(abreviations(), QStringList({"u"}));
        QCOMPARE(configurations(), sansAvance);
        if (serveur())
            QCOMPARE(compteur.count(), qint64(2));
        QCOMPARE(db->takeAlerts().size(), 0);
    }
};

QTEST_MAIN(TestPrefetch)
#include "tst_Prefetch.moc"
