// The printed report: the lines of a table cut into pages, then whole reports read back with poppler as a
// reader sees them: no figure or word cut, the header on every page, the total never without its table.

#include "FrenchFigures.h"
#include "StatisticsChartPanel.h"
#include "StatisticsCharts.h"
#include "StatisticsReport.h"
#include "StatisticsReportTable.h"
#include "StatisticsTable.h"
#include "TestFont.h"
#include "UseKinds.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <poppler-qt6.h>

using namespace statistics;
using Tranches = QList<StatisticsReportTable::Tranche>;
Q_DECLARE_METATYPE(StatisticsReportTable::Tranche)

namespace
{

// A table of lignes lines of a building each and its totals line, with colonnes - 1 columns of figures: a
// use's surface, up to a hundred thousand square metres a building.
void remplir(StatisticsTable &table, int lignes, int colonnes = 2)
{
    QList<spreadsheet::TableColumn> titres{{QStringLiteral("Bâtiment"), spreadsheet::ColumnKind::Text, 0}};
    for (int c = 1; c < colonnes; ++c)
        titres.append({UseKinds::usages().value(c - 1, UseKinds::usages().first()).libelle + " (m²)",
                       spreadsheet::ColumnKind::Decimal, 2});
    QList<StatisticsTable::Ligne> contenu;
    for (int i = 0; i <= lignes; ++i) {
        QList<StatisticsTable::Cellule> cellules{
            {i == lignes ? QStringLiteral("Total")
                         : QStringLiteral("Pavillon-%1 du génie civil").arg(i + 100),
             {}}};
        for (int c = 1; c < colonnes; ++c)
            cellules.append({FrenchFigures::decimal(100000 * (i == lignes ? 10 : 1) + i * 7 + c, 0, 2), {}});
        contenu.append({cellules, RoomFilter(), i == lignes});
    }
    table.remplir(QStringLiteral("Par bâtiment"), titres, contenu,
                  QStringLiteral("Une note sous le tableau."));
}

// Each page's text, line by line as they stand on the page (no-break spaces read as spaces); the words
// drawn over one another in chevauchements.
QList<QStringList> lignesDesPages(const QString &pdf, QStringList *chevauchements = nullptr)
{
    QList<QStringList> pages;
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(pdf);
    if (!document)
        return pages;
    for (int p = 0; p < document->numPages(); ++p) {
        std::vector<std::unique_ptr<Poppler::TextBox>> mots = document->page(p)->textList();
        std::sort(mots.begin(), mots.end(), [](const auto &a, const auto &b) {
            const QRectF ra = a->boundingBox();
            const QRectF rb = b->boundingBox();
            return std::abs(ra.center().y() - rb.center().y()) > 2 ? ra.center().y() < rb.center().y()
                                                                   : ra.left() < rb.left();
        });
        QStringList lignes;
        QRectF avant(0, -100, 0, 0);
        for (const auto &mot : mots) {
            const QRectF boite = mot->boundingBox();
            if (std::abs(boite.center().y() - avant.center().y()) > 2)
                lignes.append(QString());
            else if (chevauchements && avant.right() > boite.left() + 0.5)
                chevauchements->append(lignes.last() + mot->text());
            lignes.last() += (lignes.last().isEmpty() ? QString() : QStringLiteral(" ")) +
                             QString(mot->text()).replace(QChar(0x00A0), QLatin1Char(' '));
            avant = boite;
        }
        pages.append(lignes);
    }
    return pages;
}

// The first line of a page that holds text, or -1.
int ligneDe(const QStringList &lignes, const QString &texte)
{
    const QString cherche = QString(texte).replace(QChar(0x00A0), QLatin1Char(' '));
    const auto trouvee = std::find_if(lignes.cbegin(), lignes.cend(),
                                      [&cherche](const QString &ligne) { return ligne.contains(cherche); });
    return trouvee == lignes.cend() ? -1 : int(trouvee - lignes.cbegin());
}

} // namespace

class tst_StatisticsReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { PIN_TEST_FONT(); }
    void pagination_data();
    void pagination();
    void rapportRelu_data();
    void rapportRelu();
    void grapheJamaisMontre();

private:
    QTemporaryDir dossier;
};

void tst_StatisticsReport::pagination_data()
{
    // Rooms in lines of the table (all as tall), past the header; the note goes with the totals line. Under
    // the charts, a line that cannot have its total with it begins the next page.
    QTest::addColumn<int>("lignes");
    QTest::addColumn<qreal>("premiere");
    QTest::addColumn<qreal>("suivantes");
    QTest::addColumn<Tranches>("attendues");
    QTest::newRow("whole") << 4 << 12.5 << 20.5 << Tranches{{0, 5}};
    QTest::newRow("total alone") << 9 << 9.5 << 20.5 << Tranches{{0, 8}, {8, 10}};
    QTest::newRow("note with the total") << 9 << 10.2 << 20.5 << Tranches{{0, 8}, {8, 10}};
    QTest::newRow("a line and not its total") << 1 << 1.5 << 20.5 << Tranches{{0, 0}, {0, 2}};
    QTest::newRow("no room for a line") << 6 << 0.5 << 20.5 << Tranches{{0, 0}, {0, 7}};
    QTest::newRow("three pages") << 29 << 10.5 << 12.5 << Tranches{{0, 10}, {10, 22}, {22, 30}};
    QTest::newRow("total alone, third page") << 22 << 10.5 << 12.5 << Tranches{{0, 10}, {10, 21}, {21, 23}};
}

void tst_StatisticsReport::pagination()
{
    QFETCH(int, lignes);
    QFETCH(qreal, premiere);
    QFETCH(qreal, suivantes);
    QFETCH(Tranches, attendues);
    StatisticsTable table;
    remplir(table, lignes);
    QImage page(1000, 700, QImage::Format_RGB32);
    const StatisticsReportTable tableau(table, QFont(TestFont::family, 9), &page, 1000);
    const qreal ligne = tableau.hauteurLigne(0);
    QCOMPARE(tableau.hauteurLigne(lignes), ligne); // every line on one line of text
    QVERIFY(tableau.hauteurNote() > ligne / 5);
    const Tranches tranches = tableau.paginer(tableau.hauteurEntete() + premiere * ligne,
                                              tableau.hauteurEntete() + suivantes * ligne);
    QCOMPARE(tranches, attendues);
}

void tst_StatisticsReport::rapportRelu_data()
{
    QTest::addColumn<int>("lignes");
    QTest::addColumn<int>("colonnes");
    QTest::newRow("over two pages") << 60 << 3;
    QTest::newRow("the total at the foot of the first page") << -1 << 3;
    QTest::newRow("fifteen columns of long figures, as the uses") << 40 << 15;
}

void tst_StatisticsReport::rapportRelu()
{
    QFETCH(int, lignes);
    QFETCH(int, colonnes);
    StatisticsTable table;
    const QString pdf = dossier.filePath(QStringLiteral("rapport.pdf"));
    if (lignes < 0) {
        // As many lines as the first page holds: the total would begin the second alone.
        remplir(table, 80, colonnes);
        QCOMPARE(StatisticsReport::ecrire({{&table, nullptr}}, QStringLiteral("Tout"), pdf), QString());
        const QStringList premiere = lignesDesPages(pdf).value(0);
        lignes = int(std::count_if(premiere.cbegin(), premiere.cend(),
                                   [](const QString &ligne) { return ligne.startsWith("Pavillon-"); }));
        QVERIFY(lignes > 10);
    }
    remplir(table, lignes, colonnes);
    QCOMPARE(StatisticsReport::ecrire({{&table, nullptr}}, QStringLiteral("Tout"), pdf), QString());
    QStringList chevauchements;
    const QList<QStringList> pages = lignesDesPages(pdf, &chevauchements);
    QVERIFY(pages.size() >= 2);
    QVERIFY2(chevauchements.isEmpty(), qPrintable(chevauchements.join('\n')));
    for (const StatisticsTable::Ligne &ligne : table.lignes()) {
        // Each line on exactly one page, each figure whole on the page's line of its building (whose name
        // may go on under it).
        const QString nom = ligne.cellules.at(0).affichage.section(' ', 0, 0);
        QList<int> sesPages;
        for (int p = 0; p < pages.size(); ++p) {
            if (ligneDe(pages.at(p), nom) >= 0)
                sesPages.append(p);
        }
        QVERIFY2(sesPages.size() == 1, qPrintable(nom + " pas sur une page"));
        const QStringList &page = pages.at(sesPages.first());
        const int rang = ligneDe(page, nom);
        for (const StatisticsTable::Cellule &cellule : ligne.cellules.mid(1))
            QVERIFY2(ligneDe({page.at(rang)}, cellule.affichage) == 0,
                     qPrintable(cellule.affichage + " coupé"));
        // The header above the lines of every page, its words whole, and never the total without a line of
        // its table.
        const int entete = ligneDe(page, QStringLiteral("Bâtiment"));
        QVERIFY2(entete >= 0 && entete < rang, qPrintable(nom + " sans en-tête"));
        for (const spreadsheet::TableColumn &colonne : table.colonnes()) {
            for (const QString &mot : colonne.title.split(' '))
                QVERIFY2(ligneDe(page, mot) >= 0, qPrintable(mot + " coupé dans l'en-tête"));
        }
        QVERIFY(!ligne.total || ligneDe(page, QStringLiteral("Pavillon-")) >= 0);
    }
}

// A view's charts print laid out at the page's size, though its tab was never shown, and tall enough for the
// name of each bar: neither the title nor a name cut to the few letters a chart too small has room for.
void tst_StatisticsReport::grapheJamaisMontre()
{
    RoomStatistics figures;
    for (int i = 0; i < 14; ++i)
        figures.parType.append({i + 1, QStringLiteral("Salle numéro %1").arg(i + 1), 3, 0, 12345 * (14 - i)});
    StatisticsChartPanel graphe;
    graphe.montrer(StatisticsCharts::parType(figures));
    StatisticsTable table;
    remplir(table, 3);
    const QString pdf = dossier.filePath(QStringLiteral("graphe.pdf"));
    QCOMPARE(StatisticsReport::ecrire({{&table, &graphe}}, QStringLiteral("Tout"), pdf), QString());
    const QStringList page = lignesDesPages(pdf).value(0);
    QVERIFY(ligneDe(page, QStringLiteral("Surfaces par type de salle")) >= 0);
    for (const RoomStatistics::Groupe &groupe : figures.parType)
        QVERIFY2(ligneDe(page, groupe.libelle) >= 0,
                 qPrintable(groupe.libelle + " coupé : " + page.join('|')));
}

QTEST_MAIN(tst_StatisticsReport)
#include "tst_StatisticsReport.moc"
