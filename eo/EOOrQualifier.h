#pragma once

#include "EOQualifier.h"

#include <QList>

namespace eo
{

// The disjunction of conditions; with none, no record qualifies.
class EOOrQualifier : public EOQualifier
{
public:
    explicit EOOrQualifier(QList<EOQualifierPtr> qualifiers);

    const QList<EOQualifierPtr> &qualifiers() const { return m_qualifiers; }

    bool evaluateWithObject(const EOGenericRecord &record) const override;
    QString description() const override;
    void appendSql(EOSQLExpression &expression, QString &out) const override;

private:
    QList<EOQualifierPtr> m_qualifiers;
};

} // namespace eo
