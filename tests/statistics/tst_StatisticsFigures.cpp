// Every figure of every view against a hand computation, on both databases; a list of rooms restricts the
// figures to exactly those rooms; the rooms behind a line are the right ones.

#include "BackendTestCase.h"
#include "FrenchFigures.h"
#include "StatisticsFixture.h"
#include "StatisticsReader.h"
#include "StatisticsTables.h"
#include "UseKinds.h"

#include <QTest>
#include <algorithm>

using namespace statistics;

namespace
{

// A figure in hundredths (surfaces) or millionths (weighted surfaces) as the table shows it.
QString m2(qint64 valeur, int scale)
{
    return FrenchFigures::decimal(valeur, scale, 2);
}

QList<qint64> trie(QList<qint64> liste)
{
    std::sort(liste.begin(), liste.end());
    return liste;
}

const RoomStatistics::Usages *usagesDe(const RoomStatistics &figures, const QString &code)
{
    for (const RoomStatistics::Usages &usages : figures.parUsage)
        if (usages.cle.toString() == code)
            return &usages;
    return nullptr;
}

qsizetype indexUsage(const QString &libelle)
{
    const QList<UseKind> &usages = UseKinds::usages();
    for (qsizetype i = 0; i < usages.size(); ++i)
        if (usages.at(i).libelle == libelle)
            return i;
    return -1;
}

} // namespace

class tst_StatisticsFigures : public BackendTestCase
{
    Q_OBJECT

protected:
    void prepare() override { s = statstest::peupler(*db); }

private slots:
    void parBatiment();
    void parType();
    void parUsage();
    void parDepartement();
    void rechercheEnCours();
    void sallesDUneLigne_data();
    void sallesDUneLigne();
    void tableauxAvecTotaux();

private:
    statstest::Salles s;
};

void tst_StatisticsFigures::parBatiment()
{
    const RoomStatistics figures = StatisticsReader::lire(db->dataBus(), RoomScope::toutes());
    // Largest surface first; the room without the bookable flag (R6) is nowhere.
    QCOMPARE(figures.parBatiment.size(), 3);
    struct Attendu {
        const char *code;
        const char *nom;
        qint64 salles, places;
        const char *surface, *vitree;
        qint64 sansSurface;
    };
    const Attendu attendus[] = {{"SCI", "SCIENCES", 3, 134, "160,75", "4,75", 1},
                                {"DRT", "Droit", 2, 22, "47,84", "0,00", 0},
                                {"ARC", "Archives", 1, 10, "0,01", "0,00", 0}};
    for (int i = 0; i < 3; ++i) {
        const RoomStatistics::Groupe &groupe = figures.parBatiment.at(i);
        QCOMPARE(groupe.cle.toString(), QString::fromLatin1(attendus[i].code));
        QCOMPARE(groupe.libelle, QString::fromUtf8(attendus[i].nom));
        QCOMPARE(groupe.salles, attendus[i].salles);
        QCOMPARE(groupe.places, attendus[i].places);
        QCOMPARE(m2(groupe.surface, RoomStatistics::surfaceScale), QString::fromUtf8(attendus[i].surface));
        QCOMPARE(m2(groupe.surfaceVitree, RoomStatistics::surfaceScale),
                 QString::fromUtf8(attendus[i].vitree));
        QCOMPARE(groupe.sansSurface, attendus[i].sansSurface);
    }
    const RoomStatistics::Groupe total = figures.total();
    QCOMPARE(total.salles, 6);
    QCOMPARE(total.places, 166);
    // Exactly 208.60: 40.50 + 120.25 + 12.34 + 35.50 + 0.01, no binary rounding on the way.
    QCOMPARE(total.surface, 20860);
    QCOMPARE(total.sansSurface, 1);
}

void tst_StatisticsFigures::parType()
{
    const RoomStatistics figures = StatisticsReader::lire(db->dataBus(), RoomScope::toutes());
    QCOMPARE(figures.parType.size(), 3);
    QCOMPARE(figures.parType.at(0).libelle, QStringLiteral("Amphithéâtre"));
    QCOMPARE(figures.parType.at(0).surface, 12025);
    QCOMPARE(figures.parType.at(0).places, 100);
    QCOMPARE(figures.parType.at(1).libelle, QStringLiteral("Salle de cours"));
    QCOMPARE(figures.parType.at(1).salles, 3);
    QCOMPARE(figures.parType.at(1).places, 60);
    QCOMPARE(figures.parType.at(1).surface, 7601);
    QCOMPARE(figures.parType.at(2).libelle, QStringLiteral("Bureau"));
    QCOMPARE(figures.parType.at(2).salles, 2);
    QCOMPARE(figures.parType.at(2).surface, 1234);
    QCOMPARE(figures.parType.at(2).sansSurface, 1);
    QCOMPARE(figures.parType.at(2).cle.toLongLong(), 2);
}

void tst_StatisticsFigures::parUsage()
{
    const RoomStatistics figures = StatisticsReader::lire(db->dataBus(), RoomScope::toutes());
    const qsizetype enseignement = indexUsage(QStringLiteral("Enseignement"));
    const qsizetype recherche = indexUsage(QStringLiteral("Recherche"));
    const qsizetype administration = indexUsage(QStringLiteral("Administration"));
    const qsizetype sportif = indexUsage(QStringLiteral("Sportif"));
    const RoomStatistics::Usages *sciences = usagesDe(figures, QStringLiteral("SCI"));
    const RoomStatistics::Usages *droit = usagesDe(figures, QStringLiteral("DRT"));
    const RoomStatistics::Usages *archives = usagesDe(figures, QStringLiteral("ARC"));
    QVERIFY(sciences && droit && archives);
    // SCIENCES: 40.50 × 60 % + 120.25 × 100 % = 144.55; 40.50 × 33.33 % = 13.49865; 40.50 × 5 % = 2.025;
    // what R1's 1.67 % leave over: 0.67635. R3 has no surface and adds nothing.
    QCOMPARE(sciences->parUsage.at(enseignement), 144550000);
    QCOMPARE(sciences->parUsage.at(recherche), 13498650);
    QCOMPARE(sciences->parUsage.at(sportif), 2025000);
    QCOMPARE(sciences->nonReparti(), 676350);
    QCOMPARE(m2(sciences->parUsage.at(sportif), RoomStatistics::weightedScale), QStringLiteral("2,03"));
    QCOMPARE(m2(sciences->parUsage.at(recherche), RoomStatistics::weightedScale), QStringLiteral("13,50"));
    QCOMPARE(sciences->sansSurface, 1);
    // Droit: 12.34 administration; 35.50 × 80 % = 28.40 teaching, 7.10 left over.
    QCOMPARE(droit->parUsage.at(administration), 12340000);
    QCOMPARE(droit->parUsage.at(enseignement), 28400000);
    QCOMPARE(droit->nonReparti(), 7100000);
    // Archives: 0.01 × 80 % = 0.008.
    QCOMPARE(archives->parUsage.at(enseignement), 8000);
    QCOMPARE(archives->nonReparti(), 2000);
    const RoomStatistics::Usages total = figures.totalUsages();
    QCOMPARE(total.parUsage.at(enseignement), 172958000);
    QCOMPARE(m2(total.parUsage.at(enseignement), RoomStatistics::weightedScale), QStringLiteral("172,96"));
    qint64 somme = total.nonReparti();
    for (const qint64 part : total.parUsage)
        somme += part;
    QCOMPARE(somme, total.surface * 10000);
}

void tst_StatisticsFigures::parDepartement()
{
    const RoomStatistics figures = StatisticsReader::lire(db->dataBus(), RoomScope::toutes());
    QCOMPARE(figures.parDepartement.size(), 2);
    // SCIENCES: 40.50 × 70 % + 120.25 × 50 % + (no surface) = 88.475; LETTRES: 40.50 × 30 % + 35.50 = 47.65.
    QCOMPARE(figures.parDepartement.at(0).code, QStringLiteral("SCI"));
    QCOMPARE(figures.parDepartement.at(0).nomCourt, QStringLiteral("SCIENCES"));
    QCOMPARE(figures.parDepartement.at(0).salles, 3);
    QCOMPARE(figures.parDepartement.at(0).surface, 88475000);
    QCOMPARE(m2(figures.parDepartement.at(0).surface, RoomStatistics::weightedScale),
             QStringLiteral("88,48"));
    QCOMPARE(figures.parDepartement.at(1).nomLong, QStringLiteral("Faculté des lettres"));
    QCOMPARE(figures.parDepartement.at(1).salles, 2);
    QCOMPARE(figures.parDepartement.at(1).surface, 47650000);
    // Unclaimed: R2's other half 60.125, R4 12.34 and R7 0.01 without lines; R3's 100 % claims it all.
    QCOMPARE(figures.nonAffecte, 72475000);
    QCOMPARE(figures.sallesNonAffectees, 3);
    QCOMPARE(figures.sallesSansOccupation, 2);
    QCOMPARE(figures.parDepartement.at(0).surface + figures.parDepartement.at(1).surface + figures.nonAffecte,
             figures.total().surface * 10000);
}

void tst_StatisticsFigures::rechercheEnCours()
{
    // The listed rooms, and a room that is not managed: it stays out as in the whole inventory.
    const RoomScope scope = RoomScope::parmi({s.r5, s.r2, s.r4, s.r6});
    const RoomStatistics figures = StatisticsReader::lire(db->dataBus(), scope);
    QCOMPARE(figures.parBatiment.size(), 2);
    QCOMPARE(figures.parBatiment.at(0).libelle, QStringLiteral("SCIENCES"));
    QCOMPARE(figures.parBatiment.at(0).salles, 1);
    QCOMPARE(figures.parBatiment.at(0).surface, 12025);
    QCOMPARE(figures.parBatiment.at(0).sansSurface, 0);
    QCOMPARE(figures.parBatiment.at(1).salles, 2);
    QCOMPARE(figures.parBatiment.at(1).surface, 4784);
    QCOMPARE(figures.total().salles, 3);
    QCOMPARE(figures.parDepartement.size(), 2);
    QCOMPARE(figures.parDepartement.at(0).code, QStringLiteral("SCI"));
    QCOMPARE(figures.parDepartement.at(0).surface, 60125000);
    QCOMPARE(figures.parDepartement.at(1).surface, 35500000);
    QCOMPARE(figures.nonAffecte, 72465000);
    QCOMPARE(figures.sallesNonAffectees, 2);

    // An empty list has no figure at all.
    const RoomStatistics vide = StatisticsReader::lire(db->dataBus(), RoomScope::parmi({}));
    QVERIFY(vide.parBatiment.isEmpty());
    QCOMPARE(vide.total().salles, 0);
}

void tst_StatisticsFigures::sallesDUneLigne_data()
{
    QTest::addColumn<int>("genre");
    QTest::addColumn<QVariant>("cle");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<bool>("recherche");
    QTest::addColumn<QStringList>("portes");
    using K = RoomFilter::Kind;
    QTest::newRow("bâtiment") << int(K::Batiment) << QVariant("SCI") << QStringList() << false
                              << QStringList{"R1", "R2", "R3"};
    QTest::newRow("bâtiment, recherche")
        << int(K::Batiment) << QVariant("SCI") << QStringList() << true << QStringList{"R2"};
    QTest::newRow("type") << int(K::Type) << QVariant(2) << QStringList() << false << QStringList{"R3", "R4"};
    QTest::newRow("département") << int(K::Departements) << QVariant() << QStringList{"LET"} << false
                                 << QStringList{"R1", "R5"};
    QTest::newRow("départements, recherche")
        << int(K::Departements) << QVariant() << QStringList{"LET", "SCI"} << true << QStringList{"R2", "R5"};
    QTest::newRow("non affecté") << int(K::NonAffecte) << QVariant() << QStringList() << false
                                 << QStringList{"R2", "R4", "R7"};
    QTest::newRow("non affecté, recherche")
        << int(K::NonAffecte) << QVariant() << QStringList() << true << QStringList{"R2", "R4"};
}

void tst_StatisticsFigures::sallesDUneLigne()
{
    QFETCH(int, genre);
    QFETCH(QVariant, cle);
    QFETCH(QStringList, codes);
    QFETCH(bool, recherche);
    QFETCH(QStringList, portes);
    const RoomFilter filtre{RoomFilter::Kind(genre), cle, codes, QStringLiteral("x")};
    const RoomScope scope = recherche ? RoomScope::parmi({s.r2, s.r4, s.r5}) : RoomScope::toutes();
    const QHash<QString, qint64> parPorte{{"R1", s.r1}, {"R2", s.r2}, {"R3", s.r3}, {"R4", s.r4},
                                          {"R5", s.r5}, {"R6", s.r6}, {"R7", s.r7}};
    QList<qint64> attendues;
    for (const QString &porte : portes)
        attendues.append(parPorte.value(porte));
    QCOMPARE(trie(StatisticsReader::salles(db->dataBus(), scope, filtre)), trie(attendues));
}

void tst_StatisticsFigures::tableauxAvecTotaux()
{
    const RoomStatistics figures = StatisticsReader::lire(db->dataBus(), RoomScope::toutes());
    const StatisticsTables::Contenu batiments = StatisticsTables::parBatiment(figures);
    QCOMPARE(batiments.lignes.size(), 4);
    const StatisticsTable::Ligne &total = batiments.lignes.last();
    QVERIFY(total.total);
    QVERIFY(total.filtre.estVide());
    QCOMPARE(total.cellules.at(4).affichage, QStringLiteral("208,60"));
    QCOMPARE(total.cellules.at(4).valeur.toString(), QStringLiteral("208.60"));
    QCOMPARE(batiments.note,
             QStringLiteral("1 salle sans surface : comptée dans les salles, sans rien ajouter aux "
                            "surfaces."));

    const StatisticsTables::Contenu departements = StatisticsTables::parDepartement(figures);
    // SCIENCES, LETTRES, Non affecté, Total; shares of 208.60 m².
    QCOMPARE(departements.lignes.size(), 4);
    QCOMPARE(departements.lignes.at(0).cellules.at(4).affichage, QStringLiteral("42,41"));
    QCOMPARE(departements.lignes.at(2).cellules.at(0).affichage, QStringLiteral("Non affecté"));
    QCOMPARE(departements.lignes.at(2).cellules.at(3).affichage, QStringLiteral("72,48"));
    QCOMPARE(departements.lignes.at(2).filtre.kind, RoomFilter::Kind::NonAffecte);
    QCOMPARE(departements.lignes.at(3).cellules.at(3).affichage, QStringLiteral("208,60"));
    QCOMPARE(departements.lignes.at(3).cellules.at(4).affichage, QStringLiteral("100,00"));
    QVERIFY(departements.note.contains(QStringLiteral("2 salles sans ligne d'occupation")));

    const StatisticsTables::Contenu usages = StatisticsTables::parUsage(figures);
    // Building, surface, twelve uses, what is left over.
    QCOMPARE(usages.colonnes.size(), 15);
    QCOMPARE(usages.lignes.last().cellules.at(2).affichage, QStringLiteral("172,96"));
}

QTEST_MAIN(tst_StatisticsFigures)
#include "tst_StatisticsFigures.moc"
