#pragma once

#include "EOAttribute.h"
#include "EOSQLDialect.h"
#include "EOStoredProcedure.h"

#include <QList>
#include <QVariant>
#include <QVariantMap>
#include <memory>
#include <vector>

namespace eo
{

// The link to one database: it opens the connection on first use from its connection dictionary, runs the
// SQL that the layer writes with bound values, runs stored procedures, and owns the transaction.
// Every failure is an EOException with a French message.
class EOAdaptor
{
public:
    virtual ~EOAdaptor() = default;

    // The adaptor that the URL of the dictionary names ("sqlite:///...", "postgresql://..."); throws
    // EOException (Kind::Connection) for an unknown kind of database.
    static std::unique_ptr<EOAdaptor> adaptorWithConnectionDictionary(const QVariantMap &dictionary);

    const QVariantMap &connectionDictionary() const { return m_connectionDictionary; }
    // Takes effect at the next connection.
    void setConnectionDictionary(const QVariantMap &dictionary) { m_connectionDictionary = dictionary; }

    virtual const EOSQLDialect &dialect() const = 0;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;

    // Rows of a SELECT, each value read as the attribute type at its position says.
    virtual std::vector<QList<QVariant>> selectRows(const QString &sql, const QVariantList &bindings,
                                                    const QList<EOAttribute::Type> &types) = 0;
    // Rows of a raw query, the columns named "Attribute0", "Attribute1", ... in select-list order.
    virtual QList<QVariantMap> rawRows(const QString &sql, const QVariantList &bindings) = 0;
    // Runs a procedure with named argument values; answers its output values.
    virtual QVariantMap executeStoredProcedure(const EOStoredProcedure &procedure,
                                               const QVariantMap &values) = 0;

    virtual void beginTransaction() = 0;
    virtual void commitTransaction() = 0;
    virtual void rollbackTransaction() = 0;

    // The login of the application's user, given to the connection where the database's own code reads it
    // (the change history records it): at once when a connection is open, and again on every connection
    // opened later (after a dropped one). Given outside a transaction, so that no rollback takes it back.
    void setSessionLogin(const QString &login);
    const QString &sessionLogin() const { return m_sessionLogin; }

protected:
    // Gives sessionLogin() to the open connection; nothing to do without one.
    virtual void applySessionLogin() = 0;

    // Checks the argument names against the procedure's declaration.
    static void checkArguments(const EOStoredProcedure &procedure, const QVariantMap &values);

private:
    QVariantMap m_connectionDictionary;
    QString m_sessionLogin;
};

} // namespace eo
