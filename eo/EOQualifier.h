#pragma once

#include <QMetaType>
#include <QString>
#include <QVariantList>
#include <memory>

namespace eo
{

class EOGenericRecord;
class EOSQLExpression;
class EOQualifier;
using EOQualifierPtr = std::shared_ptr<const EOQualifier>;

// A condition on the records of an entity. It is evaluated by the database (SQL with bound values only) or
// in memory on records; its text form is the one shown in the wait message of the main window.
class EOQualifier
{
public:
    virtual ~EOQualifier() = default;

    // Parses a format such as "salEtage=%@ and salReservable!=nil" with its arguments. Every argument is
    // data: it is bound as a value, never read as qualifier syntax or SQL. Throws EOException
    // (Kind::Qualifier) with a French message when the format does not parse or lacks arguments.
    static EOQualifierPtr qualifierWithQualifierFormat(const QString &format,
                                                       const QVariantList &arguments = {});

    virtual bool evaluateWithObject(const EOGenericRecord &record) const = 0;
    virtual QString description() const = 0;
    // Appends the SQL of the condition to out, adding joins and bound values to the expression.
    virtual void appendSql(EOSQLExpression &expression, QString &out) const = 0;
};

} // namespace eo

Q_DECLARE_METATYPE(eo::EOQualifierPtr)
