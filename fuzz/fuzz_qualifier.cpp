// Feeds arbitrary formats and arguments to the qualifier readers: the format language of EOQualifier and
// the raw SQL conditions of EOSQLQualifier. A refusal must be an EOException; a qualifier that is read must
// describe itself, evaluate on a record and write its SQL for the room entity. The SQL written for a parsed
// format carries every value as a bound parameter, so no quote may appear in it.
//
// Input layout: the first byte picks the reader, then the format and the text arguments separated by zero
// bytes; a number and the null marker follow the text arguments.

#include "EOException.h"
#include "EOGenericRecord.h"
#include "EOModel.h"
#include "EONull.h"
#include "EOQualifier.h"
#include "EOSQLDialect.h"
#include "EOSQLExpression.h"
#include "EOSQLQualifier.h"
#include "Resources.h"

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace
{

const eo::EOEntity *rooms = nullptr;

void writeSql(const eo::EOQualifierPtr &qualifier, const eo::EOSQLDialect &dialect, bool mustBeBound)
{
    eo::EOSQLExpression expression(*rooms, dialect);
    eo::EOFetchRequest fetchSpec;
    fetchSpec.entityName = rooms->name;
    fetchSpec.qualifier = qualifier;
    QString sql = expression.selectStatement(fetchSpec);
    if (!mustBeBound)
        return;
    sql.remove(dialect.likeEscapeClause());
    if (sql.contains(u'\''))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static std::unique_ptr<eo::EOModel> model =
        eo::EOModel::modelWithContentsOfFile(platform::resourcePath(QStringLiteral("models/Locavia.json")));
    rooms = model->entityNamed(QStringLiteral("SallesVix"));
    if (!rooms)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const bool rawSql = data[0] & 1;
    const QList<QByteArray> parts =
        QByteArray(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1)).split('\0');
    const QString format = QString::fromUtf8(parts.first());
    QVariantList arguments;
    for (qsizetype i = 1; i < parts.size(); ++i)
        arguments.append(QString::fromUtf8(parts.at(i)));
    arguments.append(qint64(size));
    arguments.append(eo::eoNull());

    eo::EOQualifierPtr qualifier;
    try {
        qualifier = rawSql ? std::make_shared<const eo::EOSQLQualifier>(QStringLiteral("SallesVix"), format,
                                                                        arguments)
                           : eo::EOQualifier::qualifierWithQualifierFormat(format, arguments);
    } catch (const eo::EOException &) {
        return 0;
    }
    if (!qualifier)
        return 0;
    (void)qualifier->description();

    // Keys the record or the entity do not know are refused with an EOException, nothing else.
    try {
        eo::EOGenericRecord record;
        record.takeValueForKey(QStringLiteral("B12"), QStringLiteral("cLocal"));
        record.takeValueForKey(3, QStringLiteral("salEtage"));
        record.takeValueForKey(eo::eoNull(), QStringLiteral("salPorte"));
        (void)qualifier->evaluateWithObject(record);
    } catch (const eo::EOException &) {
    }
    try {
        writeSql(qualifier, eo::EOSQLiteDialect(), !rawSql);
        writeSql(qualifier, eo::EOPostgreSQLDialect(), !rawSql);
    } catch (const eo::EOException &) {
    }
    return 0;
}
