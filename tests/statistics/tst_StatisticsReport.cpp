// The printed report: the lines of a table cut into pages (the header on each, the totals line never alone),
// then whole reports read back with poppler, line by line as a reader sees them: no figure and no word cut
// across two lines, the header at the top of every page a table spans, the total with a line of its table.

#include "FrenchFigures.h"
#include "StatisticsChartPanel.h"
#include "StatisticsCharts.h"
#include "StatisticsReport.h"
#include "StatisticsReportTable.h"
#include "StatisticsTable.h"
#include "StatisticsTables.h"
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

// A table of lignes lines of a building each and its totals line (ten times plus); colonnes - 1 figures of
// about plus square metres.
void remplir(StatisticsTable &table, int lignes, int colonnes = 2, qint64 plus = 100000)
{
    QList<spreadsheet::TableColumn> titres{{QStringLiteral("Bâtiment"), spreadsheet::ColumnKind::Text, 0}};
    for (int c = 1; c < colonnes; ++c)
        titres.append(
            {QStringLiteral("Surface administrative %1 (m²)").arg(c), spreadsheet::ColumnKind::Decimal, 2});
    QList<StatisticsTable::Ligne> contenu;
    for (int i = 0; i <= lignes; ++i) {
        const bool total = i == lignes;
        QList<StatisticsTable::Cellule> cellules{
            {total ? QStringLiteral("Total")
                   : QStringLiteral("Pavillon-%1 Nord").arg(i, 3, 10, QLatin1Char('0')),
             {}}};
        for (int c = 1; c < colonnes; ++c)
            cellules.append({FrenchFigures::decimal(plus * (total ? 10 : 1) + i * 7 + c, 0, 2), {}});
        contenu.append({cellules, RoomFilter(), total});
    }
    table.remplir(QStringLiteral("Par bâtiment"), titres, contenu,
                  QStringLiteral("Une note sous le tableau, qui reste avec son total."));
}

// The use table of buildings of some hundred thousand square metres each, with long names: fifteen columns
// of long figures.
void remplirUsages(StatisticsTable &table, int batiments)
{
    RoomStatistics figures;
    for (int i = 0; i < batiments; ++i) {
        RoomStatistics::Usages usages;
        usages.libelle =
            QStringLiteral("Pavillon-%1 des sciences de l'ingénieur").arg(i, 3, 10, QLatin1Char('0'));
        usages.surface = 12345678 + i;
        for (int u = 0; u < UseKinds::nombre(); ++u)
            usages.parUsage.append(usages.surface * 10000 / 20 + u);
        figures.parUsage.append(usages);
    }
    StatisticsTables::remplir(table, StatisticsTables::parUsage(figures));
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
        qreal y = -100;
        QRectF avant;
        for (const auto &mot : mots) {
            if (std::abs(mot->boundingBox().center().y() - y) > 2) {
                lignes.append(QString());
            } else {
                lignes.last() += QLatin1Char(' ');
                if (chevauchements && avant.right() > mot->boundingBox().left() + 0.5)
                    chevauchements->append(lignes.last() + mot->text());
            }
            y = mot->boundingBox().center().y();
            avant = mot->boundingBox();
            lignes.last() += QString(mot->text()).replace(QChar(0x00A0), QLatin1Char(' '));
        }
        pages.append(lignes);
    }
    return pages;
}

// The first line of a page that holds text, or -1.
int ligneDe(const QStringList &lignes, const QString &texte)
{
    const QString cherche = QString(texte).replace(QChar(0x00A0), QLatin1Char(' '));
    for (qsizetype i = 0; i < lignes.size(); ++i) {
        if (lignes.at(i).contains(cherche))
            return int(i);
    }
    return -1;
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
    // Rooms in lines of the table (all as tall), past the header; the note goes with the totals line.
    QTest::addColumn<int>("lignes");
    QTest::addColumn<qreal>("premiere");
    QTest::addColumn<qreal>("suivantes");
    QTest::addColumn<bool>("note");
    QTest::addColumn<Tranches>("attendues");
    QTest::newRow("whole on its page") << 4 << 12.5 << 20.5 << false << Tranches{{0, 5}};
    QTest::newRow("total alone at the top: the line before goes along")
        << 9 << 9.5 << 20.5 << false << Tranches{{0, 8}, {8, 10}};
    QTest::newRow("the note does not fit with the total")
        << 9 << 10.2 << 20.5 << true << Tranches{{0, 8}, {8, 10}};
    QTest::newRow("under the charts, a line but not its total: next page")
        << 1 << 1.5 << 20.5 << false << Tranches{{0, 0}, {0, 2}};
    QTest::newRow("under the charts, no room for a line")
        << 6 << 0.5 << 20.5 << false << Tranches{{0, 0}, {0, 7}};
    QTest::newRow("three pages, the last holds more than the total")
        << 29 << 10.5 << 12.5 << false << Tranches{{0, 10}, {10, 22}, {22, 30}};
    QTest::newRow("three pages, the total at the foot of the second")
        << 22 << 10.5 << 12.5 << false << Tranches{{0, 10}, {10, 21}, {21, 23}};
}

void tst_StatisticsReport::pagination()
{
    QFETCH(int, lignes);
    QFETCH(qreal, premiere);
    QFETCH(qreal, suivantes);
    QFETCH(bool, note);
    QFETCH(Tranches, attendues);
    StatisticsTable table;
    remplir(table, lignes);
    if (!note)
        table.remplir(table.titre(), table.colonnes(), table.lignes(), QString());
    QImage page(1000, 700, QImage::Format_RGB32);
    const StatisticsReportTable tableau(table, QFont(TestFont::family, 9), &page, 1000);
    const qreal ligne = tableau.hauteurLigne(0);
    QCOMPARE(tableau.hauteurLigne(lignes), ligne); // every line on one line of text
    QCOMPARE(tableau.hauteurNote() > 0, note);
    const Tranches tranches = tableau.paginer(tableau.hauteurEntete() + premiere * ligne,
                                              tableau.hauteurEntete() + suivantes * ligne);
    QCOMPARE(tranches, attendues);
}

void tst_StatisticsReport::rapportRelu_data()
{
    QTest::addColumn<int>("lignes");
    QTest::addColumn<bool>("usages");
    QTest::newRow("over two pages") << 60 << false;
    QTest::newRow("the total at the foot of the first page") << -1 << false;
    QTest::newRow("the use table: fifteen columns of long figures") << 40 << true;
}

void tst_StatisticsReport::rapportRelu()
{
    QFETCH(int, lignes);
    QFETCH(bool, usages);
    StatisticsTable table;
    const QString pdf = dossier.filePath(QStringLiteral("rapport.pdf"));
    if (lignes < 0) {
        // As many lines as the first page holds: the total would begin the second alone.
        remplir(table, 80);
        QCOMPARE(StatisticsReport::ecrire({{&table, nullptr}}, QStringLiteral("Tout"), pdf), QString());
        const QStringList premiere = lignesDesPages(pdf).value(0);
        lignes = int(std::count_if(premiere.cbegin(), premiere.cend(),
                                   [](const QString &ligne) { return ligne.startsWith("Pavillon-"); }));
        QVERIFY(lignes > 10);
    }
    usages ? remplirUsages(table, lignes) : remplir(table, lignes, 3);
    QCOMPARE(StatisticsReport::ecrire({{&table, nullptr}}, QStringLiteral("Tout"), pdf), QString());
    QStringList chevauchements;
    const QList<QStringList> pages = lignesDesPages(pdf, &chevauchements);
    QVERIFY(pages.size() >= 2);
    QVERIFY2(chevauchements.isEmpty(), qPrintable(chevauchements.join('\n')));

    for (int i = 0; i <= lignes; ++i) {
        const StatisticsTable::Ligne &ligne = table.lignes().at(i);
        // Each line on exactly one page, each figure whole on the page's line of its building (whose name
        // may go on under it).
        const QString nom = ligne.cellules.at(0).affichage.section(' ', 0, 0);
        int page = -1;
        for (int p = 0; p < pages.size(); ++p) {
            if (ligneDe(pages.at(p), nom) >= 0) {
                QVERIFY2(page < 0, qPrintable(nom + " sur deux pages"));
                page = p;
            }
        }
        QVERIFY2(page >= 0, qPrintable(nom + " absente"));
        const int rang = ligneDe(pages.at(page), nom);
        for (const StatisticsTable::Cellule &cellule : ligne.cellules.mid(1))
            QVERIFY2(
                pages.at(page).at(rang).contains(QString(cellule.affichage).replace(QChar(0x00A0), ' ')),
                qPrintable(
                    QStringLiteral("« %1 » coupé : %2").arg(cellule.affichage, pages.at(page).at(rang))));
        // The header above the lines of every page, its words whole, and never the total without a line of
        // its table.
        const int entete = ligneDe(pages.at(page), QStringLiteral("Bâtiment"));
        QVERIFY2(entete >= 0 && entete < rang,
                 qPrintable(QStringLiteral("page %1 sans en-tête").arg(page + 1)));
        for (const spreadsheet::TableColumn &colonne : table.colonnes()) {
            for (const QString &mot : colonne.title.split(' '))
                QVERIFY2(ligneDe(pages.at(page), mot) >= 0, qPrintable(mot + " coupé dans l'en-tête"));
        }
        if (ligne.total)
            QVERIFY(ligneDe(pages.at(page), QStringLiteral("Pavillon-")) >= 0);
    }
}

// A view's charts print laid out at the page's size, though its tab was never shown, and tall enough for the
// name of each bar: neither the title nor a name cut to the few letters a chart too small has room for.
void tst_StatisticsReport::grapheJamaisMontre()
{
    RoomStatistics figures;
    for (int i = 0; i < 14; ++i) {
        RoomStatistics::Groupe groupe;
        groupe.libelle = QStringLiteral("Salle numéro %1").arg(i + 1);
        groupe.cle = i + 1;
        groupe.salles = 3;
        groupe.surface = 12345 * (14 - i);
        figures.parType.append(groupe);
    }
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
