// The window on the embedded database: a line or a bar lists the right rooms, the current search restricts
// the figures, a view's table and chart leave as files read back by independent readers, the report prints;
// and the pieces under it: French figures, the parts a long list of rooms is read in.

#include "AlertPanel.h"
#include "FileOpener.h"
#include "FrenchFigures.h"
#include "RoomScope.h"
#include "SavePanel.h"
#include "SpreadsheetReader.h"
#include "StatisticsChartPanel.h"
#include "StatisticsFixture.h"
#include "StatisticsLegend.h"
#include "StatisticsReport.h"
#include "StatisticsTable.h"
#include "Statistiques.h"
#include "TestFont.h"

#include <QAbstractBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFile>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <poppler-qt6.h>

using namespace statistics;

class tst_StatisticsWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { PIN_TEST_FONT(); }
    void init();
    void cleanup();
    void chiffresFrancais_data();
    void chiffresFrancais();
    void partiesDUneListe_data();
    void partiesDUneListe();
    void ligneEtBarreListentLeursSalles();
    void rechercheEnCours();
    void tableauExporte_data();
    void tableauExporte();
    void graphiqueEtRapport();
    void rapportSansLigneCoupee_data();
    void rapportSansLigneCoupee();
    void fenetreALaTailleDeLEcran();
    void vuesEntieres_data();
    void vuesEntieres();

private:
    std::unique_ptr<TestDatabase> db;
    statstest::Salles s;
    QList<qint64> recherche;
    QList<std::pair<QList<qint64>, QString>> ouvertes;
    QStringList fichiersOuverts;
    QTemporaryDir dossier;

    std::unique_ptr<Statistiques> fenetre()
    {
        Statistiques::Liens liens;
        liens.sallesDeLaRecherche = [this] { return recherche; };
        liens.ouvrirSalles = [this](const QList<qint64> &salles, const QString &nom) {
            QList<qint64> triees = salles;
            std::sort(triees.begin(), triees.end());
            ouvertes.append({triees, nom});
        };
        auto statistiques = std::make_unique<Statistiques>(db->dataBus(), std::move(liens));
        statistiques->ouvrir();
        statistiques->fenetre()->resize(1200, 700);
        return statistiques;
    }
};

void tst_StatisticsWindow::init()
{
    db = std::make_unique<TestDatabase>();
    QVERIFY2(db->isValid(), qPrintable(db->error()));
    s = statstest::peupler(*db);
    recherche.clear();
    ouvertes.clear();
    fichiersOuverts.clear();
    platform::FileOpener::setOpener([this](const QString &chemin) {
        fichiersOuverts.append(chemin);
        return true;
    });
}

void tst_StatisticsWindow::cleanup()
{
    TestFont::pin();
    platform::FileOpener::setOpener({});
    platform::SavePanel::clearAnswers();
    db.reset();
}

void tst_StatisticsWindow::chiffresFrancais_data()
{
    QTest::addColumn<qint64>("valeur");
    QTest::addColumn<int>("echelle");
    QTest::addColumn<QString>("affiche");
    QTest::addColumn<QString>("exporte");
    const QString nbsp(FrenchFigures::thousandsSeparator);
    QTest::newRow("centièmes") << qint64(123456789) << 2
                               << QStringLiteral("1") + nbsp + QStringLiteral("234") + nbsp +
                                      QStringLiteral("567,89")
                               << QStringLiteral("1234567.89");
    QTest::newRow("moitié arrondie vers le haut")
        << qint64(2025000) << 6 << QStringLiteral("2,03") << QStringLiteral("2.03");
    QTest::newRow("sous la moitié") << qint64(2024999) << 6 << QStringLiteral("2,02")
                                    << QStringLiteral("2.02");
    QTest::newRow("négatif") << qint64(-1234500000) << 6
                             << QStringLiteral("-1") + nbsp + QStringLiteral("234,50")
                             << QStringLiteral("-1234.50");
    QTest::newRow("moins que la moitié d'un centième")
        << qint64(-4000) << 6 << QStringLiteral("0,00") << QStringLiteral("0.00");
    QTest::newRow("zéro") << qint64(0) << 2 << QStringLiteral("0,00") << QStringLiteral("0.00");
    QTest::newRow("mille pile") << qint64(100000) << 2
                                << QStringLiteral("1") + nbsp + QStringLiteral("000,00")
                                << QStringLiteral("1000.00");
}

void tst_StatisticsWindow::chiffresFrancais()
{
    QFETCH(qint64, valeur);
    QFETCH(int, echelle);
    QFETCH(QString, affiche);
    QFETCH(QString, exporte);
    QCOMPARE(FrenchFigures::decimal(valeur, echelle, 2), affiche);
    QCOMPARE(FrenchFigures::decimalText(valeur, echelle, 2), exporte);
}

void tst_StatisticsWindow::partiesDUneListe_data()
{
    QTest::addColumn<QList<qint64>>("salles");
    QTest::addColumn<int>("parties");
    QList<qint64> suite;
    for (qint64 i = 1; i <= 5000; ++i)
        suite.append(i);
    QList<qint64> eparses;
    for (qint64 i = 0; i < 1200; ++i)
        eparses.append(i * 7 + 3);
    QList<qint64> melange = {9, 9, 2, 3, 4, 100, 50, 51};
    // Nearly every room of 1 to 5000: each tenth left out, 500 numbers in all.
    QList<qint64> presqueToutes;
    for (qint64 i = 1; i <= 5000; ++i)
        if (i % 10 != 0)
            presqueToutes.append(i);
    QTest::newRow("vide") << QList<qint64>{} << 0;
    QTest::newRow("une suite: un intervalle") << suite << 1;
    QTest::newRow("éparses: par 500") << eparses << 3;
    QTest::newRow("seules et doubles") << melange << 1;
    QTest::newRow("presque toutes: par intervalles") << presqueToutes << 2;
}

void tst_StatisticsWindow::partiesDUneListe()
{
    QFETCH(QList<qint64>, salles);
    QFETCH(int, parties);
    const QList<RoomScope::Part> liste = RoomScope::parmi(salles).parts(QStringLiteral("v.N"));
    QCOMPARE(liste.size(), parties);
    // Each room is covered exactly once, whatever the parts: an interval less the numbers it leaves out, or
    // the rooms one by one.
    QSet<qint64> couvertes;
    qint64 nombre = 0;
    for (const RoomScope::Part &part : liste) {
        QVERIFY(part.bindings.size() <= RoomScope::bindingsParPartie);
        QCOMPARE(part.condition.count(QLatin1Char('?')), part.bindings.size());
        if (part.condition.contains(QStringLiteral("BETWEEN"))) {
            QSet<qint64> laissees;
            for (qsizetype i = 2; i < part.bindings.size(); ++i)
                laissees.insert(part.bindings.at(i).toLongLong());
            for (qint64 n = part.bindings.at(0).toLongLong(); n <= part.bindings.at(1).toLongLong(); ++n) {
                if (!laissees.contains(n)) {
                    couvertes.insert(n);
                    ++nombre;
                }
            }
        } else {
            for (const QVariant &salle : part.bindings) {
                couvertes.insert(salle.toLongLong());
                ++nombre;
            }
        }
    }
    const QSet<qint64> attendues(salles.cbegin(), salles.cend());
    QCOMPARE(couvertes, attendues);
    QCOMPARE(nombre, qint64(attendues.size()));
}

void tst_StatisticsWindow::ligneEtBarreListentLeursSalles()
{
    const auto statistiques = fenetre();
    // A click on a building's line lists its managed rooms under the building's name.
    QTableView *batiments = statistiques->vueTable(Statistiques::ParBatiment);
    QCOMPARE(batiments->model()->index(0, 0).data().toString(), QStringLiteral("SCIENCES"));
    QTest::mouseClick(batiments->viewport(), Qt::LeftButton, {},
                      batiments->visualRect(batiments->model()->index(0, 0)).center());
    QCOMPARE(ouvertes.size(), 1);
    QCOMPARE(ouvertes.at(0).first, (QList<qint64>{s.r1, s.r2, s.r3}));
    QCOMPARE(ouvertes.at(0).second, QStringLiteral("Bâtiment SCIENCES"));
    // The totals line lists nothing.
    const int total = batiments->model()->rowCount() - 1;
    QTest::mouseClick(batiments->viewport(), Qt::LeftButton, {},
                      batiments->visualRect(batiments->model()->index(total, 0)).center());
    QCOMPARE(ouvertes.size(), 1);

    // A bar of the department chart: the bars go from the bottom up, "Non affecté" first.
    StatisticsChartPanel &graphe = statistiques->graphe(Statistiques::ParDepartement);
    QCOMPARE(graphe.nombre(), 1);
    auto *series = qobject_cast<QAbstractBarSeries *>(graphe.vue(0)->chart()->series().value(0));
    QVERIFY(series);
    QCOMPARE(series->barSets().value(0)->count(), 3);
    emit series->clicked(0, series->barSets().value(0));
    emit series->clicked(2, series->barSets().value(0));
    QCOMPARE(ouvertes.size(), 3);
    QCOMPARE(ouvertes.at(1).first, (QList<qint64>{s.r2, s.r4, s.r7}));
    QCOMPARE(ouvertes.at(1).second, QStringLiteral("Non affecté"));
    QCOMPARE(ouvertes.at(2).first, (QList<qint64>{s.r1, s.r2, s.r3}));
    QCOMPARE(ouvertes.at(2).second, QStringLiteral("Département SCIENCES"));

    // A type's bar.
    auto *types = qobject_cast<QAbstractBarSeries *>(
        statistiques->graphe(Statistiques::ParType).vue(0)->chart()->series().value(0));
    QVERIFY(types);
    // Bottom up: Bureau, Salle de cours, Amphithéâtre.
    emit types->clicked(0, types->barSets().value(0));
    QCOMPARE(ouvertes.last().first, (QList<qint64>{s.r3, s.r4}));
    QCOMPARE(ouvertes.last().second, QStringLiteral("Type Bureau"));
}

void tst_StatisticsWindow::rechercheEnCours()
{
    const auto statistiques = fenetre();
    QCOMPARE(statistiques->figures().total().salles, 6);
    auto *choixRecherche =
        statistiques->fenetre()->findChild<QRadioButton *>(QStringLiteral("choixRecherche"));
    QVERIFY(choixRecherche);

    // Without a search the choice falls back on the whole inventory, with a message.
    db->takeAlerts();
    choixRecherche->setChecked(true);
    QCOMPARE(db->takeAlerts().size(), 1);
    QVERIFY(!choixRecherche->isChecked());
    QVERIFY(statistiques->selection().estToutes());

    recherche = {s.r4, s.r2, s.r5};
    choixRecherche->setChecked(true);
    QVERIFY(db->takeAlerts().isEmpty());
    QCOMPARE(statistiques->selection().salles(), (QList<qint64>{s.r2, s.r4, s.r5}));
    QCOMPARE(statistiques->figures().total().salles, 3);
    QCOMPARE(statistiques->descriptionSelection(),
             QStringLiteral("Salles de la recherche en cours (3 salles)"));
    // A line lists only the rooms of the search.
    QTableView *batiments = statistiques->vueTable(Statistiques::ParBatiment);
    QTest::mouseClick(batiments->viewport(), Qt::LeftButton, {},
                      batiments->visualRect(batiments->model()->index(0, 0)).center());
    QCOMPARE(ouvertes.last().first, (QList<qint64>{s.r2}));
}

void tst_StatisticsWindow::tableauExporte_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("xlsx") << 0;
    QTest::newRow("csv") << 1;
}

void tst_StatisticsWindow::tableauExporte()
{
    QFETCH(int, format);
    const auto statistiques = fenetre();
    statistiques->fenetre()
        ->findChild<QTabWidget *>(QStringLiteral("onglets"))
        ->setCurrentIndex(Statistiques::ParDepartement);
    const QString chemin =
        dossier.filePath(format == 0 ? QStringLiteral("dep.xlsx") : QStringLiteral("dep.csv"));
    platform::SavePanel::setNextAnswer(platform::SavePanelAnswer(chemin, format));
    statistiques->exporterTableau(nullptr);
    QString erreur;
    const QJsonObject lu = readSpreadsheet(chemin, &erreur);
    QVERIFY2(!lu.isEmpty(), qPrintable(erreur));
    const QJsonArray lignes = format == 0
                                  ? lu.value("sheets").toArray().at(0).toObject().value("rows").toArray()
                                  : lu.value("rows").toArray();
    // Titles, SCIENCES, LETTRES, Non affecté, Total.
    QCOMPARE(lignes.size(), 5);
    auto cellule = [&](int ligne, int colonne) {
        const QJsonValue valeur = lignes.at(ligne).toArray().at(colonne);
        return format == 0 ? valeur.toObject().value("v").toVariant() : valeur.toVariant();
    };
    QCOMPARE(cellule(0, 3).toString(), QStringLiteral("Surface pondérée (m²)"));
    QCOMPARE(cellule(1, 0).toString(), QStringLiteral("SCIENCES"));
    if (format == 0) {
        // Numbers a spreadsheet adds up, exact to the hundredth.
        QCOMPARE(lignes.at(1).toArray().at(3).toObject().value("t").toString(), QStringLiteral("n"));
        QCOMPARE(cellule(1, 3).toDouble(), 88.48);
        QCOMPARE(cellule(4, 3).toDouble(), 208.6);
        QCOMPARE(cellule(3, 2).toInt(), 3);
        const QJsonArray notes = lu.value("sheets").toArray().at(1).toObject().value("rows").toArray();
        QCOMPARE(lu.value("sheets").toArray().at(1).toObject().value("name").toString(),
                 QStringLiteral("Notes"));
        QVERIFY(notes.size() >= 3);
    } else {
        QCOMPARE(cellule(1, 3).toString(), QStringLiteral("88,48"));
        QCOMPARE(cellule(3, 0).toString(), QStringLiteral("Non affecté"));
        QCOMPARE(cellule(4, 3).toString(), QStringLiteral("208,60"));
    }
}

void tst_StatisticsWindow::graphiqueEtRapport()
{
    const auto statistiques = fenetre();
    statistiques->fenetre()
        ->findChild<QTabWidget *>(QStringLiteral("onglets"))
        ->setCurrentIndex(Statistiques::ParUsage);
    // The use view has two charts: the whole selection above, the buildings below, the uses in the same
    // colours.
    StatisticsChartPanel &usages = statistiques->graphe(Statistiques::ParUsage);
    QCOMPARE(usages.nombre(), 2);
    const auto ensemble =
        qobject_cast<QAbstractBarSeries *>(usages.vue(0)->chart()->series().value(0))->barSets();
    const auto batiments =
        qobject_cast<QAbstractBarSeries *>(usages.vue(1)->chart()->series().value(0))->barSets();
    QCOMPARE(ensemble.size(), 13);
    for (qsizetype i = 0; i < ensemble.size(); ++i) {
        QCOMPARE(ensemble.at(i)->label(), batiments.at(i)->label());
        QCOMPARE(ensemble.at(i)->color(), batiments.at(i)->color());
    }

    const QString png = dossier.filePath(QStringLiteral("usages.png"));
    platform::SavePanel::setNextAnswer(platform::SavePanelAnswer(png, 0));
    statistiques->exporterGraphique(nullptr);
    const QImage image(png);
    QVERIFY(!image.isNull());
    QVERIFY(image.width() >= 1280);
    // Drawn, not blank: the teaching colour is there.
    bool bleu = false;
    for (int y = 0; y < image.height() && !bleu; y += 2)
        for (int x = 0; x < image.width() && !bleu; x += 2)
            bleu = image.pixelColor(x, y) == ensemble.at(0)->color();
    QVERIFY(bleu);

    const QString pdf = dossier.filePath(QStringLiteral("usages.pdf"));
    platform::SavePanel::setNextAnswer(platform::SavePanelAnswer(pdf, 1));
    statistiques->exporterGraphique(nullptr);
    QFile fichierPdf(pdf);
    QVERIFY(fichierPdf.open(QIODevice::ReadOnly));
    QVERIFY(fichierPdf.read(5) == "%PDF-");

    // The report: one PDF of four pages at least, opened with the viewer.
    statistiques->imprimer(nullptr);
    QCOMPARE(fichiersOuverts.size(), 1);
    QFile rapport(fichiersOuverts.at(0));
    QVERIFY(rapport.open(QIODevice::ReadOnly));
    const QByteArray contenu = rapport.readAll();
    QVERIFY(contenu.startsWith("%PDF-"));
    QVERIFY(contenu.count("/Type /Page\n") + contenu.count("/Type /Page ") + contenu.count("/Type /Page>") >=
                4 ||
            contenu.count("/Page") >= 5);
    rapport.remove();
}

void tst_StatisticsWindow::rapportSansLigneCoupee_data()
{
    QTest::addColumn<int>("lignes");
    QTest::newRow("two pages") << 60;
    QTest::newRow("many pages") << 400;
}

// A table longer than its page goes on over the next pages, each line whole on one page: never drawn half
// at the foot of a page and half at the top of the next.
void tst_StatisticsWindow::rapportSansLigneCoupee()
{
    QFETCH(int, lignes);
    StatisticsTable table;
    QList<StatisticsTable::Ligne> contenu;
    for (int i = 0; i < lignes; ++i) {
        contenu.append({{{QStringLiteral("Pavillon-%1").arg(i, 3, 10, QLatin1Char('0')), {}},
                         {QStringLiteral("%1,50").arg(i), {}}},
                        RoomFilter(),
                        false});
    }
    table.remplir(QStringLiteral("Par bâtiment"),
                  {{QStringLiteral("Bâtiment"), spreadsheet::ColumnKind::Text, 0},
                   {QStringLiteral("Surface (m²)"), spreadsheet::ColumnKind::Decimal, 2}},
                  contenu, QString());
    const QString pdf = dossier.filePath(QStringLiteral("long.pdf"));
    QCOMPARE(StatisticsReport::ecrire({{&table, nullptr}}, QStringLiteral("Tout l'inventaire"), pdf),
             QString());

    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(pdf);
    QVERIFY(document && document->numPages() >= 2);
    QList<int> pagesDe(lignes, 0);
    for (int p = 0; p < document->numPages(); ++p) {
        const QString texte = document->page(p)->text(QRectF());
        for (int i = 0; i < lignes; ++i) {
            if (texte.contains(QStringLiteral("Pavillon-%1").arg(i, 3, 10, QLatin1Char('0'))))
                ++pagesDe[i];
        }
    }
    for (int i = 0; i < lignes; ++i)
        QVERIFY2(pagesDe.at(i) == 1,
                 qPrintable(QStringLiteral("ligne %1 sur %2 pages").arg(i).arg(pagesDe.at(i))));
}

// The window opens over the whole available area of its screen, framed as the main window is, and keeps the
// size its user gives it.
void tst_StatisticsWindow::fenetreALaTailleDeLEcran()
{
    QWidget principale;
    principale.show();
    QVERIFY(QTest::qWaitForWindowExposed(&principale));
    Statistiques statistiques(db->dataBus(), {}, &principale);
    QWidget *fenetre = statistiques.fenetre();
    statistiques.ouvrir();
    const QRect ecran = principale.screen()->availableGeometry();
    QCOMPARE(fenetre->frameGeometry(), ecran);
    QCOMPARE(fenetre->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    fenetre->resize(ecran.size() - QSize(30, 50));
    fenetre->close();
    statistiques.ouvrir();
    QCOMPARE(fenetre->size(), ecran.size() - QSize(30, 50));
}

void tst_StatisticsWindow::vuesEntieres_data()
{
    QTest::addColumn<QSize>("taille");
    QTest::addColumn<QString>("police");
    // The window over a whole screen, less a window manager's frame and title.
    for (const QString &police : TestFont::desktopFamilies()) {
        QTest::addRow("1366x768, %s", qPrintable(police)) << QSize(1364, 741) << police;
        QTest::addRow("1920x1080, %s", qPrintable(police)) << QSize(1918, 1053) << police;
    }
}

// Every view whole at the sizes of common screens, with the fonts desktops have: every column of its table
// and every line, their titles and figures uncut, its charts' names and each entry of their legend.
void tst_StatisticsWindow::vuesEntieres()
{
    QFETCH(QSize, taille);
    QFETCH(QString, police);
    PIN_TEST_FONT(police);
    // Eight buildings, as many as a campus has, with long names and large figures.
    const QStringList noms{"BIBLIOTHÈQUE UNIVERSITAIRE", "FACULTÉ DE MÉDECINE", "IUT GÉNIE CIVIL",
                           "MAISON DES ARTS", "PRÉSIDENCE"};
    for (qsizetype i = 0; i < noms.size(); ++i) {
        const QString code = QStringLiteral("B%1").arg(i);
        QVERIFY(!db->addBuilding(code, noms.at(i)).isEmpty());
        QVERIFY(db->addRoom(code, "1", "G1",
                            statstest::piece({{"tsalNumero", 1},
                                              {"salCapacite", 900},
                                              {"salSuperficie", "98765.43"},
                                              {"salPourAdministration", 40}})) > 0);
    }
    // What a cell asks for in its column's width, its text wrapped between words as the view wraps it.
    const auto demande = [](const QTableView &table, const QModelIndex &index) {
        QStyleOptionViewItem option;
        option.initFrom(&table);
        option.features = QStyleOptionViewItem::WrapText;
        option.rect = QRect(0, 0, table.columnWidth(index.column()), 0);
        return table.itemDelegateForIndex(index)->sizeHint(option, index);
    };
    const auto statistiques = fenetre();
    statistiques->fenetre()->resize(taille);
    QApplication::processEvents();
    auto *onglets = statistiques->fenetre()->findChild<QTabWidget *>(QStringLiteral("onglets"));
    for (int vue = 0; vue < Statistiques::NombreDeVues; ++vue) {
        onglets->setCurrentIndex(vue);
        QApplication::processEvents();
        const QString ici = QStringLiteral("vue %1 : ").arg(vue);
        QTableView *table = statistiques->vueTable(Statistiques::Vue(vue));
        const QAbstractItemModel *modele = table->model();
        QVERIFY2(table->horizontalScrollBar()->maximum() == 0, qPrintable(ici + "colonnes cachées"));
        // Under its charts, the use table shows more than three lines, and all of them where the screen is
        // tall enough for them and the names of the charts' bars.
        int lignesVisibles = 0;
        for (int ligne = 0; ligne < modele->rowCount(); ++ligne)
            lignesVisibles +=
                table->rowViewportPosition(ligne) >= 0 &&
                table->rowViewportPosition(ligne) + table->rowHeight(ligne) <= table->viewport()->height();
        QVERIFY(lignesVisibles > 3);
        if (vue != Statistiques::ParUsage || taille.height() > 1000)
            QVERIFY2(table->verticalScrollBar()->maximum() == 0, qPrintable(ici + "lignes cachées"));
        // ... and not more: the charts get the room left under its lines.
        const int derniere = modele->rowCount() - 1;
        if (vue == Statistiques::ParUsage)
            QVERIFY(table->viewport()->height() - table->rowViewportPosition(derniere) -
                        table->rowHeight(derniere) <
                    table->rowHeight(derniere));
        for (int colonne = 0; colonne < modele->columnCount(); ++colonne) {
            QVERIFY2(table->columnWidth(colonne) >= table->horizontalHeader()->sectionSizeHint(colonne),
                     qPrintable(ici + modele->headerData(colonne, Qt::Horizontal).toString() + " coupé"));
            for (int ligne = 0; ligne < modele->rowCount(); ++ligne) {
                const QModelIndex index = modele->index(ligne, colonne);
                const QSize voulue = demande(*table, index);
                QVERIFY2(voulue.width() <= table->columnWidth(colonne) &&
                             voulue.height() <= table->rowHeight(ligne),
                         qPrintable(ici + index.data().toString() + " coupé"));
            }
        }

        StatisticsChartPanel &graphe = statistiques->graphe(Statistiques::Vue(vue));
        for (qsizetype i = 0; i < graphe.nombre(); ++i) {
            for (const QGraphicsItem *element : graphe.vue(i)->scene()->items()) {
                const auto *texte = dynamic_cast<const QGraphicsTextItem *>(element);
                const QString nom = texte && texte->isVisible() ? texte->toPlainText() : QString();
                QVERIFY2(!nom.contains(QStringLiteral("...")), qPrintable(ici + "nom coupé : " + nom));
            }
        }
        const StatisticsLegend &legende = graphe.legende();
        QCOMPARE(legende.entrees().size(), vue == Statistiques::ParBatiment ? 2
                                           : vue == Statistiques::ParUsage  ? 13
                                                                            : 0);
        QCOMPARE(legende.isVisible(), !legende.entrees().isEmpty());
        const QList<QRectF> places =
            StatisticsLegend::disposer(legende.entrees(), QFontMetricsF(legende.font()), legende.width());
        for (const QRectF &place : places)
            QVERIFY2(QRectF(legende.rect()).contains(place), qPrintable(ici + "légende coupée"));
        QVERIFY(graphe.rect().contains(legende.geometry()));
    }
}

QTEST_MAIN(tst_StatisticsWindow)
#include "tst_StatisticsWindow.moc"
