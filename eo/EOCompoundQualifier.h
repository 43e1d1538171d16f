#pragma once

#include "EOQualifier.h"

#include <QList>

namespace eo
{

// A conjunction or a disjunction of conditions: what "and" and "or" share. With no condition, a conjunction
// holds for every record and a disjunction for none.
class EOCompoundQualifier : public EOQualifier
{
public:
    const QList<EOQualifierPtr> &qualifiers() const { return m_qualifiers; }

    bool evaluateWithObject(const EOGenericRecord &record) const override;
    QString description() const override;
    void appendSql(EOSQLExpression &expression, QString &out) const override;

protected:
    enum class Junction { And, Or };
    EOCompoundQualifier(QList<EOQualifierPtr> qualifiers, Junction junction);

private:
    QList<EOQualifierPtr> m_qualifiers;
    Junction m_junction;
};

} // namespace eo
