#include "KORParameters.h"

#include "EOException.h"
#include "KORDataBusOC.h"

#include <QRegularExpression>

namespace framework
{

namespace
{

const QString parametersEntity = QStringLiteral("Parametres");
const QString stringType = QStringLiteral("STRING");
const QString numberType = QStringLiteral("NUMBER");

} // namespace

KORParameters::KORParameters(data::KORDataBusOC &dataBus, QString prefix, LastLookup *last)
    : m_dataBus(dataBus), m_prefix(std::move(prefix)), m_last(last ? *last : m_ownLast)
{
}

QList<eo::EORecord> KORParameters::fetchKey(const QString &key)
{
    m_last.qualifier = eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("paramKey = %@"), {key});
    m_last.qualifierText = m_last.qualifier->description();
    const QList<eo::EORecord> rows = m_dataBus.fetchEntityName(parametersEntity, m_last.qualifier, {});
    m_last.result.clear();
    for (const eo::EORecord &row : rows)
        m_last.result.append(eo::EOGenericRecord::toVariant(row));
    return rows;
}

QList<eo::EORecord> KORParameters::getValues(const QString &key, const QString &type)
{
    const QList<eo::EORecord> rows = fetchKey(key);
    if (!rows.isEmpty())
        return rows;
    if (type == stringType || type == numberType) {
        // Without a prefix there is no fallback key: nothing can match it.
        if (m_prefix.isEmpty()) {
            m_last.result.clear();
            return {};
        }
        return fetchKey(m_prefix + (type == stringType ? QStringLiteral("_DEFAULT_STRING")
                                                       : QStringLiteral("_DEFAULT_NUMBER")));
    }
    return fetchKey(key);
}

QVariant KORParameters::firstValue(const QList<eo::EORecord> &rows) const
{
    if (rows.isEmpty())
        return {};
    return rows.first()->valueForKey(QStringLiteral("paramValue"));
}

QVariant KORParameters::getStringValue(const QString &key)
{
    return firstValue(getValues(key, stringType));
}

QVariant KORParameters::getNumberValue(const QString &key)
{
    return firstValue(getValues(key, numberType));
}

bool KORParameters::isTableName(const QString &table)
{
    static const QRegularExpression identifier(
        QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*(\\.[A-Za-z_][A-Za-z0-9_]*)?$"));
    return identifier.match(table).hasMatch();
}

QList<QVariantMap> KORParameters::getValues(const QString &key, const QString &table, const QString &)
{
    if (!isTableName(table)) {
        throw eo::EOException(eo::EOException::Kind::Model,
                              QStringLiteral("« %1 » n'est pas un nom de table de paramètres.").arg(table));
    }
    return m_dataBus.executeSQLQuery(
        QStringLiteral("select param_value from %1 where param_key = ?").arg(table), {key});
}

QVariant KORParameters::valueFromTable(const QString &key, const QString &table, const QString &type)
{
    const QList<QVariantMap> rows = getValues(key, table, type);
    m_last.result.clear();
    for (const QVariantMap &row : rows)
        m_last.result.append(row);
    if (!rows.isEmpty())
        return rows.first().value(QStringLiteral("Attribute0"));
    return type == stringType ? getStringValue(key) : getNumberValue(key);
}

QVariant KORParameters::getStringValue(const QString &key, const QString &table)
{
    return valueFromTable(key, table, stringType);
}

QVariant KORParameters::getNumberValue(const QString &key, const QString &table)
{
    return valueFromTable(key, table, numberType);
}

} // namespace framework
