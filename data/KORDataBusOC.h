#pragma once

#include "EOAdaptor.h"
#include "EOAdaptorChannel.h"
#include "EOAdaptorContext.h"
#include "EODatabaseChannel.h"
#include "EODatabaseContext.h"
#include "EODisplayGroup.h"
#include "EOEditingContext.h"
#include "EOException.h"
#include "EOFetchRequest.h"
#include "EOModel.h"
#include "EOPrefetch.h"
#include "EOStoredProcedure.h"

#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <optional>

namespace data
{

class KORDatabaseWait;

// The one object through which the application reads and writes the database: fetches into display groups
// and arrays, transactions, stored procedures with named arguments, raw queries and new records.
// Procedure errors are caught here and shown in the "ERREUR..." alert; fetch errors go to the caller.
//
// Naming: each operation is named by its first keyword. The controllers' fetch
// (fetchTable:withNomTable:withQualifier:withSort:selectionnePremier:, which then informs the delegate) is
// fetchTable(group, nomTable, qualifier, sort, selectionnePremier); the plain member of the family with the
// same arguments (fetchTable:::::) is fetchTablePlain.
//
// While the database makes a call wait (another user's lock, a long statement), the data bus shows it after
// a second (KORDatabaseWait) and Escape gives the call up. Nested wait cursors of its fetches keep the wait
// cursor until the outermost ends, so that filling a list with the rows is covered too.
class KORDataBusOC
{
public:
    using Sort = QList<eo::EOSortOrdering>;

    KORDataBusOC();
    ~KORDataBusOC();
    KORDataBusOC(const KORDataBusOC &) = delete;
    KORDataBusOC &operator=(const KORDataBusOC &) = delete;

    // Builds the stack for the model of that name in the default model group; throws EOException when the
    // model is not loaded.
    void initDataBusWithModel(const QString &modelName, eo::EOEditingContext *context);

    // The login the application identified, given to the database connection (now and after every
    // reconnection) so that the change history the database keeps says who wrote. Set outside a transaction.
    void setSessionLogin(const QString &login);
    QString sessionLogin() const { return myAdaptor ? myAdaptor->sessionLogin() : QString(); }

    // How the data bus writes its wait message into the main window's title, set by the application.
    void setTitleHooks(std::function<void(const QString &)> setWindowTitle,
                       std::function<QString()> applicationTitle);

    eo::EOModel *dataBusModel() const { return myModel; }
    eo::EOAdaptor *dataBusAdaptor() const { return myAdaptor; }
    eo::EODatabaseContext *dataBusDatabaseContext() const { return myDatabaseContext; }
    eo::EODatabaseChannel *dataBusDatabaseChannel() const { return myDatabaseChannel; }
    eo::EOAdaptorContext *dataBusAdaptorContext() const { return myAdaptorContext; }
    eo::EOAdaptorChannel *dataBusAdaptorChannel() const { return myAdaptorChannel; }
    eo::EOEditingContext *dataBusEditingContext() const { return myEditingContext; }
    const QVariantMap &myExecutedProcResult() const { return myExecutedProcResultDict; }

    void clearTable(eo::EODisplayGroup *group);
    void notRefreshFetchedObjects() { refreshObjects = false; }
    bool refreshesNextFetch() const { return refreshObjects; }
    eo::EOQualifierPtr newCondition(const QString &format);

    // Fetches into display groups
    void fetchTable(eo::EODisplayGroup *group, const QString &entity, const QString &format,
                    const QVariantList &arguments, const Sort &sort, bool selectFirst);
    void fetchTablePlain(eo::EODisplayGroup *group, const QString &entity,
                         const eo::EOQualifierPtr &qualifier, const Sort &sort, bool selectFirst);
    void fetchTableWithEOC(eo::EOEditingContext *context, eo::EODisplayGroup *group, const QString &entity,
                           const eo::EOQualifierPtr &qualifier, const Sort &sort, bool selectFirst);
    void fetchTableWithEOC(eo::EOEditingContext *context, eo::EODisplayGroup *group, const QString &entity,
                           const eo::EOQualifierPtr &qualifier, const Sort &sort, bool selectFirst,
                           bool distinct);
    void refetchTable(eo::EODisplayGroup *group, const QString &entity);
    void refetchWithSameSelection(eo::EODisplayGroup *group, const QString &entity);
    void fetchTable(eo::EODisplayGroup *group, const QString &nomTable, const eo::EOQualifierPtr &qualifier,
                    const Sort &sort, bool selectionnePremier);

    // Fetches into arrays
    QList<eo::EORecord> fetchArray(const QString &entity, const QString &format,
                                   const QVariantList &arguments, const Sort &sort);
    QList<eo::EORecord> fetchArray(const QString &entity, const eo::EOQualifierPtr &qualifier,
                                   const Sort &sort);
    QList<eo::EORecord> fetchArrayWithEOC(eo::EOEditingContext *context, const QString &entity,
                                          const eo::EOQualifierPtr &qualifier, const Sort &sort);
    QList<eo::EORecord> fetchArrayWithEOC(eo::EOEditingContext *context, const QString &entity,
                                          const eo::EOQualifierPtr &qualifier, const Sort &sort,
                                          bool distinct);
    QList<eo::EORecord> fetchArrayWithEOC(eo::EOEditingContext *context, const QString &entity,
                                          const eo::EOQualifierPtr &qualifier, const Sort &sort,
                                          bool distinct, bool refresh);
    eo::EORecord fetchObject(const QString &entity, const QString &format, const QVariantList &arguments);
    eo::EORecord fetchObject(const QString &entity, const eo::EOQualifierPtr &qualifier);
    eo::EORecord fetchObjectWithEOC(eo::EOEditingContext *context, const QString &entity,
                                    const eo::EOQualifierPtr &qualifier);
    QList<eo::EORecord> fetchEntityName(const QString &entity, const eo::EOQualifierPtr &qualifier,
                                        const Sort &sort);
    QList<eo::EORecord> fetchSansMessageEntityName(const QString &entity, const eo::EOQualifierPtr &qualifier,
                                                   const Sort &sort);

    // Fetches about to be made, declared ahead: a server is asked for all of them at once (one wait across
    // a slow link instead of one per fetch) and the identical fetches that follow, until the guard it
    // answers ends, take their rows from there. Anything that could make them stale (a transaction, a
    // procedure, a raw query) sends the fetches to the server again. Nothing is shown when it fails: the
    // fetches then run and report as usual. Does nothing on the embedded database.
    [[nodiscard]] eo::EOPrefetch prefetch(const QList<eo::EOPrefetch::Fetch> &fetches);
    // A fetch as this bus's fetches and fetchTable write it (duplicate rows dropped), with the key paths that
    // group shows when it is the one to fill.
    static eo::EOPrefetch::Fetch declaredFetch(const QString &entity, const eo::EOQualifierPtr &qualifier,
                                               const Sort &sort = {},
                                               const eo::EODisplayGroup *group = nullptr);

    // Transactions: at most one open; commit and rollback end whatever is open.
    void beginTransaction();
    void commitTransaction();
    void rollbackTransaction();
    // The writes of one action as one transaction in steps (eo::EOTransactionSteps): each step stored wholly
    // or not at all, an essential step refused taking the whole with it, one commit at the end; a server far
    // away gets it all in one round trip. A transaction open on the data bus is their beginning and is over
    // afterwards. No alert: the caller tells the user what became of each step, in order. The procedures are
    // named as the model names them (Call::procedure is filled in here). activity names the wait.
    eo::EOTransactionSteps::Result executeTransaction(eo::EOTransactionSteps transaction,
                                                      const QString &activity);
    // What became of the last transaction whose commit the link lost and the database could not confirm
    // then, asked again now (none when there is no such transaction).
    std::optional<eo::EOTransactionSteps::State> confirmPendingTransaction();
    bool hasPendingTransaction() const { return myAdaptor && myAdaptor->hasPendingTransaction(); }
    bool hasOpenTransaction() const { return myAdaptorContext && myAdaptorContext->hasOpenTransaction(); }

    // Stored procedures: false (and the "ERREUR..." alert) when the call fails.
    bool executeProcedure(QVariantMap &result, const QString &name, const QVariantMap &arguments);
    bool executeProcedure(const QString &name, const QVariantMap &arguments);
    bool executerProcedure(const QString &name, const QVariantMap &arguments);
    bool executeProcedureSansTransaction(const QString &name, const QVariantMap &arguments);
    int executerIntFonction(const QString &name, const QVariantMap &arguments);
    QVariant executerNumberFonction(const QString &name, const QVariantMap &arguments);
    QString executerStringFonction(const QString &name, const QVariantMap &arguments);

    // Raw query; the values are bound (the SQL text comes from the program, never from the user).
    QList<QVariantMap> executeSQLQuery(const QString &sql, const QVariantList &bindings = {});
    // Several raw queries, one after the other, in one round trip on a server far away: each one's rows.
    std::vector<QList<QVariantMap>> executeSQLQueries(const std::vector<eo::EOAdaptor::RawQuery> &queries);

    // New records of an entity (none for an unknown entity)
    eo::EORecord newObjectLikeEntity(const QString &entity);
    eo::EORecord newObjectLikeEntity(const QString &entity, eo::EOEditingContext *context);
    eo::EORecord newObjectInEntity(const QString &entity);
    eo::EORecord newObjectInEntity(const QString &entity, eo::EOEditingContext *context);

    // The database's message of an error: its reason without the first 11 characters, cut before "ORA".
    static QString traitementException(const QString &reason);

    // State of the last operations
    int lastError() const { return myError; }
    const QVariantMap &lastReturnValues() const { return myDico; }
    const QList<eo::EORecord> &lastResult() const { return myResult; }
    const eo::EOQualifierPtr &lastQualifier() const { return myQualifier; }
    const eo::EOFetchRequest &lastFetch() const { return myFetch; }
    const eo::EOStoredProcedure *lastProcedure() const { return myProcedure; }

private:
    void requireStack() const;
    bool runProcedure(const QString &name, const QVariantMap &arguments, bool transactional,
                      QVariantMap *result);

    eo::EOModel *myModel = nullptr;
    eo::EOAdaptor *myAdaptor = nullptr;
    eo::EODatabaseContext *myDatabaseContext = nullptr;
    eo::EODatabaseChannel *myDatabaseChannel = nullptr;
    eo::EOAdaptorContext *myAdaptorContext = nullptr;
    eo::EOAdaptorChannel *myAdaptorChannel = nullptr;
    const eo::EOStoredProcedure *myProcedure = nullptr;
    eo::EOEditingContext *myEditingContext = nullptr;
    QVariantMap myExecutedProcResultDict; // accumulated output values of the transactional calls
    bool refreshObjects = true;
    QVariantMap myDico;
    eo::EOFetchRequest myFetch;
    eo::EOQualifierPtr myQualifier;
    QList<eo::EORecord> myResult;
    int myError = 1;

    std::function<void(const QString &)> m_setWindowTitle;
    std::function<QString()> m_applicationTitle;
    std::unique_ptr<KORDatabaseWait> m_wait;
};

} // namespace data
