// The spreadsheet writers read back by readers that share nothing with them (openpyxl, Python's csv
// module): values and their types, the header row, the annexes, CSV quoting and numbers for French
// spreadsheets, sheet names, and a file that is in place whole or not at all.

#include "CsvTableWriter.h"
#include "ItemModelTableSource.h"
#include "SpreadsheetReader.h"
#include "TableCell.h"
#include "TableExport.h"
#include "XlsxTableWriter.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

using namespace spreadsheet;

namespace
{

// A table held in memory.
class Rows : public TableSource
{
public:
    Rows(QList<TableColumn> columns, QList<QVariantList> rows)
        : m_columns(std::move(columns)), m_rows(std::move(rows))
    {
    }

    const QList<TableColumn> &columns() const override { return m_columns; }
    qsizetype rowCount() const override { return m_rows.size(); }
    void readRow(qsizetype row, QVariantList &values) const override { values = m_rows.at(row); }

private:
    QList<TableColumn> m_columns;
    QList<QVariantList> m_rows;
};

const QString description = QStringLiteral("Salle « rénovée » ; dite \"l'aquarium\"\nvitrée côté cour");

Rows rooms()
{
    return Rows({{QStringLiteral("Bâtiment")},
                 {QStringLiteral("Places"), ColumnKind::Integer},
                 {QStringLiteral("Surface (m²)"), ColumnKind::Decimal},
                 {QStringLiteral("Descriptif")}},
                {
                    {QStringLiteral("SCIENCES"), 30, 40.5, description},
                    // Empty values of every sort; counts and decimals given as text.
                    {QStringLiteral("Droit"), QVariant(), QStringLiteral(""),
                     QVariant(QMetaType::fromType<QString>())},
                    {QStringLiteral("Archives"), QStringLiteral("12"), QStringLiteral("12,345"),
                     QStringLiteral("=1+1")},
                    // What is not a number stays text rather than being lost.
                    {QStringLiteral("LABO_2"), QStringLiteral("env. 20"), QStringLiteral("-3.5"), QString()},
                });
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

QJsonValue value(const QJsonObject &sheet, int row, int column)
{
    return sheet.value("rows").toArray().at(row).toArray().at(column);
}

} // namespace

class TestTableExport : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

private slots:
    void xlsxHoldsTypedCellsUnderAFrozenFilteredHeader()
    {
        const Rows table = rooms();
        TableDocument document{QStringLiteral("Salles [SCI]"),
                               &table,
                               {{QStringLiteral("Critères"),
                                 {QStringLiteral("Critère"), QStringLiteral("Valeur")},
                                 {{QStringLiteral("Bâtiment (nom contenant)"), QStringLiteral("SCI")},
                                  {QStringLiteral("Places"), QStringLiteral(">20")}}}}};
        const QString path = dir.filePath("salles.xlsx");
        QVERIFY(TableExport::write(TableFormat::Xlsx, document, path).succeeded());

        QString error;
        const QJsonObject read = readSpreadsheet(path, &error);
        QVERIFY2(!read.isEmpty(), qPrintable(error));
        const QJsonArray sheets = read.value("sheets").toArray();
        QCOMPARE(sheets.size(), 2);
        const QJsonObject main = sheets.at(0).toObject();
        QCOMPARE(main.value("name").toString(), QStringLiteral("Salles -SCI-"));
        QCOMPARE(main.value("freeze").toString(), QStringLiteral("A2"));
        QCOMPARE(main.value("autofilter").toString(), QStringLiteral("A1:D5"));

        const QJsonArray header = main.value("rows").toArray().at(0).toArray();
        QCOMPARE(header.size(), 4);
        for (int c = 0; c < 4; ++c) {
            QVERIFY(header.at(c).toObject().value("b").toBool());
            QCOMPARE(header.at(c).toObject().value("v").toString(), table.columns().at(c).title);
        }

        // Row by row: [column, value, type, number format].
        auto cell = [&main](int row, int column) { return value(main, row, column).toObject(); };
        QCOMPARE(cell(1, 0).value("v").toString(), QStringLiteral("SCIENCES"));
        QCOMPARE(cell(1, 1).value("t").toString(), QStringLiteral("n"));
        QCOMPARE(cell(1, 1).value("v").toDouble(), 30.0);
        QCOMPARE(cell(1, 2).value("t").toString(), QStringLiteral("n"));
        QCOMPARE(cell(1, 2).value("v").toDouble(), 40.5);
        QCOMPARE(cell(1, 2).value("f").toString(), QStringLiteral("0.00"));
        QCOMPARE(cell(1, 3).value("v").toString(), description);
        QVERIFY(!cell(1, 3).value("b").toBool());
        // Empty values are no cells at all.
        for (int c = 1; c < 4; ++c)
            QVERIFY2(value(main, 2, c).isNull() || value(main, 2, c).isUndefined(),
                     qPrintable(QString::number(c)));
        QCOMPARE(cell(3, 1).value("v").toDouble(), 12.0);
        QCOMPARE(cell(3, 1).value("t").toString(), QStringLiteral("n"));
        QCOMPARE(cell(3, 2).value("v").toDouble(), 12.345);
        // A text that looks like a formula is a text, never computed.
        QCOMPARE(cell(3, 3).value("v").toString(), QStringLiteral("=1+1"));
        QCOMPARE(cell(3, 3).value("t").toString(), QStringLiteral("s"));
        QCOMPARE(cell(4, 1).value("v").toString(), QStringLiteral("env. 20"));
        QCOMPARE(cell(4, 1).value("t").toString(), QStringLiteral("s"));
        QCOMPARE(cell(4, 2).value("v").toDouble(), -3.5);

        // Widths follow the content: the description is wider than the counts, within bounds.
        const QJsonObject widths = main.value("widths").toObject();
        for (const char *letter : {"A", "B", "C", "D"})
            QVERIFY2(widths.value(letter).isDouble(), qPrintable(letter));
        QVERIFY(widths.value("D").toDouble() > widths.value("B").toDouble());
        QVERIFY(widths.value("D").toDouble() <= 61);

        const QJsonObject annex = sheets.at(1).toObject();
        QCOMPARE(annex.value("name").toString(), QStringLiteral("Critères"));
        QCOMPARE(value(annex, 0, 0).toObject().value("v").toString(), QStringLiteral("Critère"));
        QVERIFY(value(annex, 0, 0).toObject().value("b").toBool());
        QCOMPARE(value(annex, 1, 1).toObject().value("v").toString(), QStringLiteral("SCI"));
        QCOMPARE(value(annex, 2, 1).toObject().value("v").toString(), QStringLiteral(">20"));
        QCOMPARE(value(annex, 2, 1).toObject().value("t").toString(), QStringLiteral("s"));
    }

    void csvIsWrittenForFrenchSpreadsheets()
    {
        const Rows table = rooms();
        const QString path = dir.filePath("salles.csv");
        QVERIFY(
            TableExport::write(TableFormat::Csv, {QStringLiteral("ignoré"), &table, {}}, path).succeeded());

        QString error;
        const QJsonObject read = readSpreadsheet(path, &error);
        QVERIFY2(!read.isEmpty(), qPrintable(error));
        QVERIFY(read.value("bom").toBool());
        QVERIFY(read.value("crlf").toBool());
        QList<QStringList> rows;
        for (const QJsonValue &row : read.value("rows").toArray()) {
            QStringList fields;
            for (const QJsonValue &field : row.toArray())
                fields.append(field.toString());
            rows.append(fields);
        }
        const QList<QStringList> expected{
            {QStringLiteral("Bâtiment"), "Places", QStringLiteral("Surface (m²)"), "Descriptif"},
            {"SCIENCES", "30", "40,50", description},
            {"Droit", "", "", ""},
            {"Archives", "12", "12,35", "=1+1"},
            {"LABO_2", "env. 20", "-3,50", ""},
        };
        QCOMPARE(rows, expected);
    }

    void csvFieldsAreQuotedOnlyWhenNeeded_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << "A12"
                               << "A12";
        QTest::newRow("comma stays bare") << "12,50"
                                          << "12,50";
        QTest::newRow("separator") << "a;b"
                                   << "\"a;b\"";
        QTest::newRow("quotes doubled") << "dit \"A\""
                                        << "\"dit \"\"A\"\"\"";
        QTest::newRow("line feed") << "a\nb"
                                   << "\"a\nb\"";
        QTest::newRow("carriage return") << "a\rb"
                                         << "\"a\rb\"";
        QTest::newRow("empty") << ""
                               << "";
    }
    void csvFieldsAreQuotedOnlyWhenNeeded()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QCOMPARE(CsvTableWriter::field(text), written);
    }

    void cellsAreReadByTheKindOfTheirColumn_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("french");

        const int text = int(ColumnKind::Text), integer = int(ColumnKind::Integer),
                  decimal = int(ColumnKind::Decimal);
        const int empty = int(TableCell::Type::Empty), number = int(TableCell::Type::Number),
                  texte = int(TableCell::Type::Text);
        QTest::newRow("decimal with two places") << QVariant(12.5) << decimal << number << "12,50";
        QTest::newRow("decimal comma typed") << QVariant("12,5") << decimal << number << "12,50";
        QTest::newRow("rounded as read, half up") << QVariant("0.125") << decimal << number << "0,13";
        QTest::newRow("rounded as read, not as stored") << QVariant(2.675) << decimal << number << "2,68";
        QTest::newRow("rounded down") << QVariant(-2.674) << decimal << number << "-2,67";
        QTest::newRow("no negative zero") << QVariant(-0.001) << decimal << number << "0,00";
        QTest::newRow("count") << QVariant(30) << integer << number << "30";
        QTest::newRow("count as text, spaces around") << QVariant(" 7 ") << integer << number << "7";
        QTest::newRow("count with a fraction keeps it") << QVariant(2.5) << integer << number << "2,5";
        QTest::newRow("no exponent") << QVariant("1e5") << integer << texte << "1e5";
        QTest::newRow("two separators") << QVariant("1.2.3") << decimal << texte << "1.2.3";
        QTest::newRow("sign alone") << QVariant("-") << integer << texte << "-";
        QTest::newRow("not finite") << QVariant(std::nan("")) << decimal << empty << "";
        QTest::newRow("empty text") << QVariant("") << integer << empty << "";
        QTest::newRow("invalid") << QVariant() << text << empty << "";
        QTest::newRow("null") << QVariant(QMetaType::fromType<int>()) << integer << empty << "";
        QTest::newRow("number in a text column") << QVariant(30) << text << texte << "30";
        QTest::newRow("digits in a text column stay as typed") << QVariant("007") << text << texte << "007";
        QTest::newRow("yes") << QVariant(true) << text << texte << "Oui";
        QTest::newRow("no") << QVariant(false) << text << texte << "Non";
    }
    void cellsAreReadByTheKindOfTheirColumn()
    {
        QFETCH(QVariant, value);
        QFETCH(int, kind);
        QFETCH(int, type);
        QFETCH(QString, french);
        const TableColumn column{QStringLiteral("x"), ColumnKind(kind), 2};
        const TableCell cell = TableCell::from(value, column);
        QCOMPARE(int(cell.type), type);
        QCOMPARE(cell.frenchText(column), french);
    }

    void sheetNamesAreValid_data()
    {
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("name");
        QTest::newRow("as it is") << "Salles" << QStringList{} << "Salles";
        QTest::newRow("forbidden characters") << "a[b]c:d*e?f/g\\h" << QStringList{} << "a-b-c-d-e-f-g-h";
        QTest::newRow("cut to 31") << QString(40, u'x') << QStringList{} << QString(31, u'x');
        QTest::newRow("no apostrophe at the ends") << "'Salles'" << QStringList{} << "Salles";
        QTest::newRow("line breaks") << "Salles\nA" << QStringList{} << "Salles A";
        QTest::newRow("empty") << "" << QStringList{} << "Feuille";
        QTest::newRow("taken, any case") << "Critères" << QStringList{"CRITÈRES"} << "Critères (2)";
        QTest::newRow("taken twice, long")
            << QString(31, u'y') << QStringList{QString(31, u'y'), QString(27, u'y') + " (2)"}
            << QString(27, u'y') + " (3)";
    }
    void sheetNamesAreValid()
    {
        QFETCH(QString, wanted);
        QFETCH(QStringList, taken);
        QFETCH(QString, name);
        QCOMPARE(XlsxTableWriter::sheetName(wanted, taken), name);
    }

    void anItemModelIsExportedByItsSections()
    {
        QStandardItemModel model(2, 3);
        model.setHorizontalHeaderLabels({"Code", "Nom", "Salles"});
        const QList<QStringList> cells{{"SCI", "Sciences", "12"}, {"DRT", "Droit", "7"}};
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c)
                model.setItem(r, c, new QStandardItem(cells.at(r).at(c)));
        ItemModelTableSource table(model, {2, 0});
        table.setColumnKind(0, ColumnKind::Integer);
        const QString path = dir.filePath("modele.csv");
        QVERIFY(TableExport::write(TableFormat::Csv, {{}, &table, {}}, path).succeeded());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\xEF\xBB\xBFSalles;Code\r\n12;SCI\r\n7;DRT\r\n"));
    }

    void aCancelledWritingLeavesNothing_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("cancelAt"); // the call of the progress that answers no
        QTest::addColumn<bool>("existing");
        for (const auto format : {TableFormat::Xlsx, TableFormat::Csv}) {
            const QString name = TableExport::extension(format);
            QTest::addRow("%s, before the first row", qPrintable(name)) << int(format) << 1 << false;
            QTest::addRow("%s, halfway", qPrintable(name)) << int(format) << 3 << false;
            QTest::addRow("%s, halfway, over a file", qPrintable(name)) << int(format) << 3 << true;
        }
    }
    void aCancelledWritingLeavesNothing()
    {
        QFETCH(int, format);
        QFETCH(int, cancelAt);
        QFETCH(bool, existing);
        QTemporaryDir folder;
        const QString path = folder.filePath("liste." + TableExport::extension(TableFormat(format)));
        if (existing) {
            QFile before(path);
            QVERIFY(before.open(QIODevice::WriteOnly));
            before.write("avant");
        }
        QList<QVariantList> many;
        for (int i = 0; i < 3 * int(progressStep); ++i)
            many.append({QStringLiteral("Salle %1").arg(i), i});
        const Rows table({{"Porte"}, {"Places", ColumnKind::Integer}}, many);
        int calls = 0;
        qsizetype lastDone = -1;
        const TableWriteResult result = TableExport::write(TableFormat(format), {{}, &table, {}}, path,
                                                           [&](qsizetype done, qsizetype total) {
                                                               [&] {
                                                                   QCOMPARE(total, table.rowCount());
                                                                   QVERIFY(done > lastDone);
                                                               }();
                                                               lastDone = done;
                                                               return ++calls < cancelAt;
                                                           });
        QCOMPARE(int(result.outcome), int(TableWriteResult::Outcome::Cancelled));
        QCOMPARE(calls, cancelAt);
        QCOMPARE(filesIn(folder.path()), existing ? QStringList{QFileInfo(path).fileName()} : QStringList{});
        if (existing) {
            QFile after(path);
            QVERIFY(after.open(QIODevice::ReadOnly));
            QCOMPARE(after.readAll(), QByteArray("avant"));
        }
    }

    void aFolderThatTakesNoFileIsAFailureInFrench_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << dir.filePath("absent/liste.xlsx") << "n'existe pas";
        QTest::newRow("a file for a folder") << dir.filePath("fichier/liste.xlsx") << "n'existe pas";
        QTest::newRow("a folder for a file") << dir.filePath("dossier") << "est un dossier";
        // Even the superuser cannot create a file there.
        QTest::newRow("folder refusing files") << "/proc/liste.xlsx"
                                               << "n'accepte pas de nouveau fichier";
    }
    void aFolderThatTakesNoFileIsAFailureInFrench()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        QFile plain(dir.filePath("fichier"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QDir(dir.path()).mkpath("dossier");
        const Rows table = rooms();
        for (const auto format : {TableFormat::Xlsx, TableFormat::Csv}) {
            const TableWriteResult result = TableExport::write(format, {{}, &table, {}}, path);
            QCOMPARE(int(result.outcome), int(TableWriteResult::Outcome::Failed));
            QVERIFY2(result.error.contains(reason), qPrintable(result.error));
        }
        QVERIFY(!QFileInfo(path).isFile());
    }

    void aFileIsReplacedWhole()
    {
        const QString path = dir.filePath("remplace.csv");
        QFile before(path);
        QVERIFY(before.open(QIODevice::WriteOnly));
        before.write(QByteArray(100000, 'x'));
        before.close();
        const Rows table({{"Porte"}}, {{QStringLiteral("A12")}});
        QVERIFY(TableExport::write(TableFormat::Csv, {{}, &table, {}}, path).succeeded());
        QFile after(path);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), QByteArray("\xEF\xBB\xBFPorte\r\nA12\r\n"));
        QCOMPARE(filesIn(dir.path()).filter(QStringLiteral(".remplace")), QStringList{});
    }
};

QTEST_MAIN(TestTableExport)
#include "tst_TableExport.moc"
