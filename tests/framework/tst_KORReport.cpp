// Report templates rendered to HTML and printed to PDF and PostScript: the values as the reader sees them,
// the list cut into pages with its column headers and page numbers on each, nothing lost or repeated
// between the parts of a long list, cancellation, broken templates.

#include "Clock.h"
#include "EODecimal.h"
#include "EOGenericRecord.h"
#include "EOModelGroup.h"
#include "EONull.h"
#include "KORReport.h"
#include "KORReportProgress.h"
#include "KORReportTemplate.h"
#include "Resources.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>
#include <poppler-qt6.h>

using framework::KORReport;
using framework::KORReportTemplate;

using Pieces = QMap<QString, QString>;

namespace
{

// A template folder of its own, with the given pieces.
QString writeTemplate(const QTemporaryDir &dir, const QString &name, const Pieces &pieces)
{
    QDir(dir.path()).mkpath(name);
    const QString folder = dir.filePath(name);
    for (auto it = pieces.constBegin(); it != pieces.constEnd(); ++it) {
        QFile file(folder + QLatin1Char('/') + it.key());
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file.fileName()));
        file.write(it.value().toUtf8());
    }
    return folder;
}

// The text of each page of a PDF.
QStringList pageTexts(const QByteArray &pdf)
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(pdf);
    QStringList pages;
    if (!document)
        return pages;
    for (int i = 0; i < document->numPages(); ++i)
        pages.append(document->page(i)->text(QRectF()));
    return pages;
}

QVariantMap room(int number)
{
    return {{"salEtage", QString::number(number % 7)},
            {"salPorte", QStringLiteral("P%1").arg(number, 4, 10, QLatin1Char('0'))},
            {"toTypeSalle_tsalLibelle", QStringLiteral("Salle de cours")},
            {"salCapacite", 20 + number % 30},
            {"salSuperficie", 12.5 + number % 9},
            // Every tenth room has a long description of its use, so that rows differ in height.
            {"repartition", number % 10 == 0
                                ? QStringLiteral(", 10% Adm., 20% Doc., 30% Ens., 10% Rech., 10% "
                                                 "Tech., 5% Soc., 5% Acc., 10% Sport")
                                : QStringLiteral(", 100% Ens.")},
            {"repartService", QStringLiteral(",SCIENCES")}};
}

} // namespace

class TestKORReport : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

private slots:
    void init()
    {
        platform::Clock::setSource([] { return QDateTime(QDate(2001, 12, 31), QTime(23, 59, 7)); });
    }
    void cleanup() { platform::Clock::setSource({}); }

    void valuesAsTheReaderSeesThem_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QVariantMap>("object");
        QTest::addColumn<QString>("expected");

        const QString x = QStringLiteral("{{#objects}}[{{x}}]{{/objects}}");
        QTest::newRow("text") << x << QVariantMap{{"x", "Salle A"}} << "[Salle A]";
        QTest::newRow("escaped for HTML")
            << x << QVariantMap{{"x", "<b>R&D</b>"}} << "[&lt;b&gt;R&amp;D&lt;/b&gt;]";
        QTest::newRow("unescaped on demand")
            << "{{#objects}}{{{x}}}{{/objects}}" << QVariantMap{{"x", "<b>"}} << "<b>";
        QTest::newRow("null") << x << QVariantMap{{"x", eo::eoNull()}} << "[]";
        QTest::newRow("decimal comma") << x << QVariantMap{{"x", 35.5}} << "[35,5]";
        QTest::newRow("no thousands separator") << x << QVariantMap{{"x", 1234567.25}} << "[1234567,25]";
        QTest::newRow("whole number read as decimal") << x << QVariantMap{{"x", 80.0}} << "[80]";
        QTest::newRow("exact decimal")
            << x << QVariantMap{{"x", QVariant::fromValue(eo::EODecimal::fromString("12.50"))}} << "[12,50]";
        QTest::newRow("integer") << x << QVariantMap{{"x", qint64(4200)}} << "[4200]";
        QTest::newRow("date") << x << QVariantMap{{"x", QDate(2024, 3, 5)}} << "[05/03/2024]";
        QTest::newRow("key path") << "{{#objects}}{{local.appellation}}{{/objects}}"
                                  << QVariantMap{{"local", QVariantMap{{"appellation", "SCIENCES"}}}}
                                  << "SCIENCES";
        const QString section = QStringLiteral("{{#objects}}{{#x}}oui{{/x}}{{^x}}non{{/x}}{{/objects}}");
        QTest::newRow("empty text is false") << section << QVariantMap{{"x", ""}} << "non";
        QTest::newRow("nil text is false") << section << QVariantMap{{"x", "*nil*"}} << "non";
        QTest::newRow("a blank is true") << section << QVariantMap{{"x", " "}} << "oui";
        const QString list = QStringLiteral("{{#objects}}{{#enumeration}}{{x}}{{/enumeration}}{{/objects}}");
        QTest::newRow("uses") << list << QVariantMap{{"x", ", 60% Ens., 40% Rech."}} << "60% Ens., 40% Rech.";
        QTest::newRow("departments") << list << QVariantMap{{"x", ",SCI,DROIT"}} << "SCI, DROIT";
        QTest::newRow("no department") << list << QVariantMap{{"x", ""}} << "";
        QTest::newRow("the report's own values")
            << "{{#objects}}{{leBatiment}} {{rang}}/{{nombreObjets}}{{/objects}}" << QVariantMap{}
            << "Droit 1/1";
        // A room record without editing context cannot read its building: that place stays empty.
        if (!eo::EOModelGroup::defaultGroup().entityNamed(QStringLiteral("SallesVix")))
            eo::EOModelGroup::defaultGroup().addModelWithFile(
                platform::resourcePath(QStringLiteral("models/Locavia.json")));
        const eo::EORecord salle = eo::EOGenericRecord::create(
            eo::EOModelGroup::defaultGroup().entityNamed(QStringLiteral("SallesVix")));
        salle->takeValueForKey(QStringLiteral("A12"), QStringLiteral("salPorte"));
        QTest::newRow("key path a record cannot follow")
            << "{{#objects}}{{salPorte}} [{{local.appellation}}]{{/objects}}"
            << QVariantMap{{"record", eo::EOGenericRecord::toVariant(salle)}} << "A12 []";
        QTest::newRow("an object's key before the report's")
            << "{{#objects}}{{leBatiment}}{{/objects}}" << QVariantMap{{"leBatiment", "Mien"}} << "Mien";
    }
    void valuesAsTheReaderSeesThem()
    {
        QFETCH(QString, document);
        QFETCH(QVariantMap, object);
        QFETCH(QString, expected);
        static int counter = 0;
        const QString name = QStringLiteral("Valeurs%1").arg(++counter);
        const QString folder = writeTemplate(dir, name, {{name + ".html", document}});
        QString error;
        std::optional<KORReportTemplate> model = KORReportTemplate::load(folder, &error);
        QVERIFY2(model, qPrintable(error));
        // A row given as "record" is that record itself.
        const QVariant objet = object.contains("record") ? object.value("record") : QVariant(object);
        model->setValues({objet}, {{"leBatiment", "Droit"}});
        QCOMPARE(model->document(), expected);
    }

    void partsOpenAndCloseOnce()
    {
        const QString folder = writeTemplate(
            dir, "Parties",
            {{"Parties.html",
              "{{#debut}}<{{dateEdition}} {{heureEdition}}>{{/debut}}"
              "{{#objects}}{{rang}}{{#lignePaire}}p{{/lignePaire}} {{/objects}}{{#fin}}<fin>{{/fin}}"},
             {"pied.html", "{{page}}/{{pages}} {{leBatiment}}"}});
        std::optional<KORReportTemplate> model = KORReportTemplate::load(folder);
        QVERIFY(model);
        model->setValues({QVariantMap(), QVariantMap(), QVariantMap()}, {{"leBatiment", "Droit"}});
        QCOMPARE(model->document(), QStringLiteral("<31/12/2001 23:59>1 2p 3 <fin>"));
        QCOMPARE(model->document(1, 2, false, false), QStringLiteral("2p "));
        QCOMPARE(model->footer(2, 5), QStringLiteral("2/5 Droit"));
        QCOMPARE(model->header(1, 1), QString());
    }

    void brokenTemplatesAreRefused_data()
    {
        QTest::addColumn<Pieces>("pieces");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no document") << Pieces{{"pied.html", "x"}} << "introuvable";
        QTest::newRow("unclosed section") << Pieces{{"Casse.html", "{{#objects}}x"}} << "incorrect";
        QTest::newRow("broken footer")
            << Pieces{{"Casse.html", "x"}, {"pied.html", "{{/page}}"}} << "pied.html";
        QTest::newRow("broken settings")
            << Pieces{{"Casse.html", "x"}, {"rapport.conf", "\"format\" = "}} << "réglages";
    }
    void brokenTemplatesAreRefused()
    {
        QFETCH(Pieces, pieces);
        QFETCH(QString, reason);
        QTemporaryDir own;
        const QString folder = writeTemplate(own, "Casse", pieces);
        QString error;
        QVERIFY(!KORReportTemplate::load(folder, &error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        const KORReport::Result result = KORReport::PDFReportWithTemplateNameOrPath(folder, {}, {});
        QVERIFY(!result.succeeded());
        QVERIFY(result.data.isEmpty());
        QVERIFY(!result.error.isEmpty());
    }

    // The room list of the resources, long enough to be laid out in several parts: every room printed once,
    // in order, the column headers and the page number on every page, the title on the first only.
    void longListOnEveryPage()
    {
        QVariantList rooms;
        const int count = 700;
        for (int i = 1; i <= count; ++i)
            rooms.append(room(i));
        const KORReport::Result result = KORReport::PDFReportWithTemplateNameOrPath(
            "ListeSalles", rooms, {{"leBatiment", "SCIENCES & Co"}});
        QVERIFY2(result.succeeded(), qPrintable(result.error));
        QCOMPARE(result.title, QStringLiteral("Liste des salles - SCIENCES & Co"));
        const QStringList pages = pageTexts(result.data);
        QCOMPARE(pages.size(), result.pages);
        QVERIFY2(pages.size() > 3, qPrintable(QString::number(pages.size())));

        QStringList doors;
        static const QRegularExpression door(QStringLiteral("\\bP\\d{4}\\b"));
        for (int i = 0; i < pages.size(); ++i) {
            const QString &text = pages.at(i);
            QVERIFY2(text.contains(QStringLiteral("Porte")) && text.contains(QStringLiteral("Surface (m²)")),
                     qPrintable(QStringLiteral("page %1 has no column headers").arg(i + 1)));
            QVERIFY2(text.contains(QStringLiteral("Page %1 / %2").arg(i + 1).arg(pages.size())),
                     qPrintable(QStringLiteral("page %1 has no number").arg(i + 1)));
            QVERIFY(text.contains(QStringLiteral("Édité le 31/12/2001 à 23:59")));
            QCOMPARE(text.contains(QStringLiteral("Liste des salles du bâtiment SCIENCES & Co")), i == 0);
            for (auto it = door.globalMatch(text); it.hasNext();)
                doors.append(it.next().captured());
        }
        QStringList expected;
        for (int i = 1; i <= count; ++i)
            expected.append(QStringLiteral("P%1").arg(i, 4, 10, QLatin1Char('0')));
        QCOMPARE(doors, expected);
        QVERIFY(pages.last().contains(QStringLiteral("700 salle(s) réservable(s)")));
        // Room 1's surface, with its decimal comma.
        QVERIFY(pages.first().contains(QStringLiteral("13,5")));
    }

    // Text after the list, running over the next page: none of it is lost where the list ends.
    void closingTextAfterTheList()
    {
        const QString folder = writeTemplate(
            dir, "Notes",
            {{"Notes.html",
              "<table><thead><tr><th>Porte</th></tr></thead>{{#objects}}<tr><td>{{salPorte}}</td>"
              "</tr>{{/objects}}</table>{{#fin}}{{#notes}}<p>Note {{n}}</p>{{/notes}}{{/fin}}"},
             {"pied.html", "{{page}}/{{pages}}"}});
        QVariantList rooms;
        for (int i = 1; i <= 30; ++i)
            rooms.append(room(i));
        QVariantList notes;
        for (int n = 1; n <= 80; ++n)
            notes.append(QVariantMap{{"n", n}});
        const KORReport::Result result =
            KORReport::PDFReportWithTemplateNameOrPath(folder, rooms, {{"notes", notes}});
        QVERIFY2(result.succeeded(), qPrintable(result.error));
        QVERIFY(result.pages >= 2);
        const QString text = pageTexts(result.data).join(QLatin1Char('\n'));
        for (int n = 1; n <= 80; ++n)
            QVERIFY2(text.contains(QStringLiteral("Note %1\n").arg(n)), qPrintable(QString::number(n)));
        for (int i = 1; i <= 30; ++i)
            QVERIFY(text.contains(QStringLiteral("P%1").arg(i, 4, 10, QLatin1Char('0'))));
    }

    // A sheet per object: each begins a page of its own, a long one runs over its own pages only, the
    // pages are numbered through the document, and the print can be cancelled between two objects.
    void eachObjectOnPagesOfItsOwn()
    {
        const QString folder = writeTemplate(
            dir, "Fiche",
            {{"Fiche.html",
              "{{#objects}}<h1>Salle {{salPorte}}</h1>{{#lignes}}<p>{{salPorte}} ligne {{n}}</p>"
              "{{/lignes}}{{/objects}}"},
             {"pied.html", "Page {{page}} / {{pages}}"},
             {"rapport.conf", "\"pageParObjet\" = \"oui\";"}});
        QVariantList longue;
        for (int n = 1; n <= 120; ++n)
            longue.append(QVariantMap{{"n", n}});
        const QVariantList rooms{QVariantMap{{"salPorte", "A1"}},
                                 QVariantMap{{"salPorte", "B2"}, {"lignes", longue}},
                                 QVariantMap{{"salPorte", "C3"}}};
        const KORReport::Result result = KORReport::PDFReportWithTemplateNameOrPath(folder, rooms, {});
        QVERIFY2(result.succeeded(), qPrintable(result.error));
        const QStringList pages = pageTexts(result.data);
        QVERIFY2(pages.size() >= 4, qPrintable(QString::number(pages.size())));
        QCOMPARE(result.pages, pages.size());
        QVERIFY(pages.first().contains("Salle A1") && !pages.first().contains("B2"));
        QVERIFY(pages.at(1).contains("Salle B2") && pages.at(1).contains("B2 ligne 1\n"));
        QVERIFY(pages.last().contains("Salle C3") && !pages.last().contains("B2"));
        const QString text = pages.join(QLatin1Char('\n'));
        for (int n = 1; n <= 120; ++n)
            QVERIFY2(text.contains(QStringLiteral("B2 ligne %1\n").arg(n)), qPrintable(QString::number(n)));
        for (int i = 0; i < pages.size(); ++i)
            QVERIFY(pages.at(i).contains(QStringLiteral("Page %1 / %2").arg(i + 1).arg(pages.size())));

        // Many sheets, most of them laid out again when drawn: each on its own page still.
        QVariantList many;
        for (int i = 1; i <= 30; ++i)
            many.append(QVariantMap{{"salPorte", QStringLiteral("S%1").arg(i, 2, 10, QLatin1Char('0'))}});
        const QStringList sheets =
            pageTexts(KORReport::PDFReportWithTemplateNameOrPath(folder, many, {}).data);
        QCOMPARE(sheets.size(), 30);
        for (int i = 0; i < 30; ++i) {
            QVERIFY(sheets.at(i).contains(QStringLiteral("Salle S%1").arg(i + 1, 2, 10, QLatin1Char('0'))));
            QVERIFY(sheets.at(i).contains(QStringLiteral("Page %1 / 30").arg(i + 1)));
        }

        int told = 0;
        const KORReport::Result cancelled = KORReport::PDFReportWithTemplateNameOrPath(
            folder, rooms, {}, [&told](int, int) { return ++told < 2; });
        QVERIFY(cancelled.cancelled);
        QCOMPARE(told, 2);
    }

    void emptyListStillPrints()
    {
        const KORReport::Result result =
            KORReport::PDFReportWithTemplateNameOrPath("ListeSalles", {}, {{"leBatiment", "Vide"}});
        QVERIFY2(result.succeeded(), qPrintable(result.error));
        const QStringList pages = pageTexts(result.data);
        QCOMPARE(pages.size(), 1);
        QVERIFY(pages.first().contains(QStringLiteral("0 salle(s)")));
    }

    void cancelledBetweenTwoSteps()
    {
        QVariantList rooms;
        for (int i = 1; i <= 400; ++i)
            rooms.append(room(i));
        int told = 0;
        int lastTotal = 0;
        bool inRange = true;
        const KORReport::Result result = KORReport::PDFReportWithTemplateNameOrPath(
            "ListeSalles", rooms, {}, [&](int done, int total) -> bool {
                lastTotal = total;
                inRange = inRange && done >= 0 && done <= total;
                return ++told < 3;
            });
        QVERIFY(result.cancelled);
        QVERIFY(!result.succeeded());
        QVERIFY(result.data.isEmpty());
        QCOMPARE(told, 3);
        QVERIFY(inRange);
        QVERIFY(lastTotal > 0);
    }

    // The dialog of a long print: hidden at first, and its "Annuler" stops the printing at the next step.
    void progressDialogCancels()
    {
        framework::KORReportProgress progression(QStringLiteral("Impression..."));
        const KORReport::Progress dire = progression.callback();
        QVERIFY(dire(0, 1000));
        QVERIFY(dire(10, 1000));
        QVERIFY(!progression.dialog()->isVisible());
        QCOMPARE(progression.dialog()->maximum(), 1000);
        progression.dialog()->cancel();
        QVERIFY(!dire(20, 1000));
        QVERIFY(progression.wasCancelled());
    }

    void postScriptFromThePdf()
    {
        const KORReport::Result result = KORReport::PSReportWithTemplateNameOrPath(
            "ListeSalles", {room(1), room(2)}, {{"leBatiment", "Droit"}});
        QVERIFY2(result.succeeded(), qPrintable(result.error));
        QVERIFY(result.data.startsWith("%!PS"));
        QVERIFY(result.data.contains("%%Pages: 1"));
    }
};

QTEST_MAIN(TestKORReport)
#include "tst_KORReport.moc"
