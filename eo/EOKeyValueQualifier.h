#pragma once

#include "EOQualifier.h"

#include <QVariant>

namespace eo
{

// key (a key path) compared with a value: "salEtage=%@", "salPorte like %@", "salReservable!=nil".
class EOKeyValueQualifier : public EOQualifier
{
public:
    enum class Operator {
        Equal,
        NotEqual,
        Less,
        Greater,
        LessOrEqual,
        GreaterOrEqual,
        Like,
        CaseInsensitiveLike
    };

    EOKeyValueQualifier(QString key, Operator op, QVariant value);

    const QString &key() const { return m_key; }
    Operator selector() const { return m_operator; }
    const QVariant &value() const { return m_value; }

    bool evaluateWithObject(const EOGenericRecord &record) const override;
    QString description() const override;
    void appendSql(EOSQLExpression &expression, QString &out) const override;

    static QString operatorText(Operator op);
    // Evaluation shared with the key comparison qualifier.
    static bool compareWith(Operator op, const QVariant &left, const QVariant &right);

private:
    QString m_key;
    Operator m_operator;
    QVariant m_value;
};

} // namespace eo
