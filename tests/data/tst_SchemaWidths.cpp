// The widths the model declares for its texts are the ones each database's schema declares: the program cuts
// a text to the model's width before writing it, and the database refuses what is longer than its own.

#include "BackendTestCase.h"
#include "EOModelGroup.h"
#include "Resources.h"

#include <QRegularExpression>
#include <QTest>

class TestSchemaWidths : public BackendTestCase
{
    Q_OBJECT

    // Every width the schema declares for a column of that name, in whichever table holds one.
    QList<int> declaredWidths(const QString &column) const
    {
        QList<int> widths;
        if (backend() == TestDatabase::Backend::PostgreSQL) {
            for (const QVariantMap &row :
                 db->query(QStringLiteral(
                               "SELECT c.character_maximum_length FROM information_schema.columns c "
                               "JOIN information_schema.tables t USING (table_schema, table_name) "
                               "WHERE t.table_type = 'BASE TABLE' AND c.table_schema IN ('locavia', 'solma') "
                               "AND c.column_name = lower(?) AND c.character_maximum_length IS NOT NULL"),
                           {column}))
                widths.append(row.value(QStringLiteral("Attribute0")).toInt());
            return widths;
        }
        // The embedded database keeps texts as TEXT with a check of their length.
        const QRegularExpression check(
            QStringLiteral("length\\(%1\\)\\s*(?:<=\\s*(\\d+)|BETWEEN\\s+\\d+\\s+AND\\s+(\\d+))").arg(column),
            QRegularExpression::CaseInsensitiveOption);
        for (const char *schema : {"main", "SOLMA"}) {
            for (const QVariantMap &row :
                 db->query(QStringLiteral("SELECT sql FROM %1.sqlite_master WHERE type = 'table'")
                               .arg(QLatin1String(schema)))) {
                auto match = check.globalMatch(row.value(QStringLiteral("Attribute0")).toString());
                while (match.hasNext()) {
                    const QRegularExpressionMatch found = match.next();
                    widths.append(
                        (found.captured(1).isEmpty() ? found.captured(2) : found.captured(1)).toInt());
                }
            }
        }
        return widths;
    }

private slots:
    void theSchemaDeclaresTheModelsWidths_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<int>("width");
        eo::EOModelGroup &group = eo::EOModelGroup::defaultGroup();
        const eo::EOModel &model =
            group.modelNamed(QStringLiteral("Locavia"))
                ? *group.modelNamed(QStringLiteral("Locavia"))
                : group.addModelWithFile(platform::resourcePath(QStringLiteral("models/Locavia.json")));
        for (const QString &name : model.entityNames()) {
            for (const eo::EOAttribute &attribute : model.entity(name).attributes()) {
                if (attribute.width > 0 && !attribute.columnName.isEmpty())
                    QTest::newRow(qPrintable(name + u'.' + attribute.name))
                        << attribute.columnName << attribute.width;
            }
        }
    }

    void theSchemaDeclaresTheModelsWidths()
    {
        QFETCH(QString, column);
        QFETCH(int, width);
        const QList<int> declared = declaredWidths(column);
        // The texts the program writes are all declared; a column of a view only may have no table of its
        // own.
        static const QStringList written{"SAL_ETAGE",       "SAL_PORTE",  "SAL_DESCRIPTIF", "SAL_NO_POSTE",
                                         "SAL_IDENT_ACCES", "SAL_NATURE", "PRI_CODE",       "C_LOCAL",
                                         "APPELLATION",     "UNI_ABREV",  "UNI_LIBELLE",    "TAV_LIBELLE"};
        QVERIFY2(!declared.isEmpty() || !written.contains(column), qPrintable(column));
        for (int declaredWidth : declared)
            QCOMPARE(declaredWidth, width);
    }
};

QTEST_GUILESS_MAIN(TestSchemaWidths)
#include "tst_SchemaWidths.moc"
