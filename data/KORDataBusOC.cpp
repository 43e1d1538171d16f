#include "KORDataBusOC.h"

#include "AlertPanel.h"
#include "DataFolder.h"
#include "EOModelGroup.h"
#include "KORDatabaseWait.h"
#include "NSCursorExtensions.h"

#include <QDebug>
#include <optional>

namespace data
{

KORDataBusOC::KORDataBusOC()
    : m_wait(std::make_unique<KORDatabaseWait>(
          [this](const QString &title) {
              if (m_setWindowTitle)
                  m_setWindowTitle(title);
          },
          [this] { return m_applicationTitle ? m_applicationTitle() : QString(); }))
{
}

KORDataBusOC::~KORDataBusOC()
{
    // The adaptor belongs to the editing context, which may outlive the data bus.
    if (myAdaptor && myAdaptor->waitObserver() == m_wait.get())
        myAdaptor->setWaitObserver(nullptr);
}

void KORDataBusOC::initDataBusWithModel(const QString &modelName, eo::EOEditingContext *context)
{
    myExecutedProcResultDict.clear();
    refreshObjects = true;
    myEditingContext = context;
    myModel = eo::EOModelGroup::defaultGroup().modelNamed(modelName);
    if (!myModel || !context) {
        throw eo::EOException(eo::EOException::Kind::Model,
                              QStringLiteral("Le modèle de données « %1 » n'est pas chargé.").arg(modelName));
    }
    myDatabaseContext = &eo::EODatabaseContext::registeredDatabaseContextForModel(*myModel, *context);
    myAdaptorContext = &myDatabaseContext->adaptorContext();
    myAdaptor = &myDatabaseContext->adaptor();
    // The adaptor connects with the model's dictionary as the application left it, the user's data folder
    // in place of ${LOCAVIA_DATA}.
    myAdaptor->setConnectionDictionary(DataFolder::resolved(myModel->connectionDictionary()));
    myAdaptor->setWaitObserver(m_wait.get());
    try {
        myDatabaseChannel = &myDatabaseContext->availableChannel();
    } catch (const eo::EOException &) {
        myDatabaseChannel = &myDatabaseContext->createChannel();
    }
    myAdaptorChannel = &myDatabaseChannel->adaptorChannel();
}

void KORDataBusOC::setSessionLogin(const QString &login)
{
    requireStack();
    myAdaptor->setSessionLogin(login);
}

void KORDataBusOC::setTitleHooks(std::function<void(const QString &)> setWindowTitle,
                                 std::function<QString()> applicationTitle)
{
    m_setWindowTitle = std::move(setWindowTitle);
    m_applicationTitle = std::move(applicationTitle);
}

void KORDataBusOC::requireStack() const
{
    if (!myEditingContext) {
        throw eo::EOException(eo::EOException::Kind::Model,
                              QStringLiteral("Le bus de données n'est pas initialisé."));
    }
}

void KORDataBusOC::clearTable(eo::EODisplayGroup *group)
{
    group->setObjectArray({});
    group->redisplay();
}

eo::EOQualifierPtr KORDataBusOC::newCondition(const QString &format)
{
    return eo::EOQualifier::qualifierWithQualifierFormat(format);
}

// --- Arrays -----------------------------------------------------------------------------------------------

QList<eo::EORecord> KORDataBusOC::fetchArrayWithEOC(eo::EOEditingContext *context, const QString &entity,
                                                    const eo::EOQualifierPtr &qualifier, const Sort &sort,
                                                    bool distinct, bool refresh)
{
    WaitCursorScope cursor;
    if (!context)
        requireStack();
    std::optional<eo::EOAdaptor::Activity> activity;
    if (myAdaptor)
        activity.emplace(*myAdaptor, QStringLiteral("la recherche %1").arg(entity));
    eo::EOFetchRequest fetchSpec;
    fetchSpec.entityName = entity;
    fetchSpec.qualifier = qualifier;
    fetchSpec.sortOrderings = sort;
    fetchSpec.refreshesRefetchedObjects = refresh;
    fetchSpec.usesDistinct = distinct;
    myFetch = fetchSpec;
    eo::EOEditingContext *ec = context ? context : myEditingContext;
    // The request to skip the refresh covers one fetch only, even a failing one.
    refreshObjects = true;
    myResult = ec->objectsWithFetchRequest(fetchSpec);
    if (!sort.isEmpty() && !myResult.isEmpty())
        eo::EOSortOrdering::sortArrayUsingKeyOrderArray(myResult, sort);
    return myResult;
}

QList<eo::EORecord> KORDataBusOC::fetchArrayWithEOC(eo::EOEditingContext *context, const QString &entity,
                                                    const eo::EOQualifierPtr &qualifier, const Sort &sort,
                                                    bool distinct)
{
    return fetchArrayWithEOC(context, entity, qualifier, sort, distinct, refreshObjects);
}

QList<eo::EORecord> KORDataBusOC::fetchArrayWithEOC(eo::EOEditingContext *context, const QString &entity,
                                                    const eo::EOQualifierPtr &qualifier, const Sort &sort)
{
    return fetchArrayWithEOC(context, entity, qualifier, sort, true, refreshObjects);
}

QList<eo::EORecord> KORDataBusOC::fetchArray(const QString &entity, const eo::EOQualifierPtr &qualifier,
                                             const Sort &sort)
{
    return fetchArrayWithEOC(myEditingContext, entity, qualifier, sort, true, refreshObjects);
}

QList<eo::EORecord> KORDataBusOC::fetchArray(const QString &entity, const QString &format,
                                             const QVariantList &arguments, const Sort &sort)
{
    myQualifier = eo::EOQualifier::qualifierWithQualifierFormat(format, arguments);
    return fetchArrayWithEOC(myEditingContext, entity, myQualifier, sort, true, refreshObjects);
}

eo::EORecord KORDataBusOC::fetchObjectWithEOC(eo::EOEditingContext *context, const QString &entity,
                                              const eo::EOQualifierPtr &qualifier)
{
    const QList<eo::EORecord> found = fetchArrayWithEOC(context, entity, qualifier, {}, true, refreshObjects);
    return found.isEmpty() ? eo::EORecord() : found.first();
}

eo::EORecord KORDataBusOC::fetchObject(const QString &entity, const eo::EOQualifierPtr &qualifier)
{
    return fetchObjectWithEOC(myEditingContext, entity, qualifier);
}

eo::EORecord KORDataBusOC::fetchObject(const QString &entity, const QString &format,
                                       const QVariantList &arguments)
{
    myQualifier = eo::EOQualifier::qualifierWithQualifierFormat(format, arguments);
    return fetchObjectWithEOC(myEditingContext, entity, myQualifier);
}

QList<eo::EORecord> KORDataBusOC::fetchSansMessageEntityName(const QString &entity,
                                                             const eo::EOQualifierPtr &qualifier,
                                                             const Sort &sort)
{
    WaitCursorScope cursor;
    myResult = fetchArrayWithEOC(myEditingContext, entity, qualifier, sort, true, refreshObjects);
    return myResult;
}

QList<eo::EORecord> KORDataBusOC::fetchEntityName(const QString &entity, const eo::EOQualifierPtr &qualifier,
                                                  const Sort &sort)
{
    // The title comes back to the application's title however the fetch ends.
    struct TitleScope {
        KORDataBusOC &bus;
        ~TitleScope()
        {
            if (bus.m_setWindowTitle)
                bus.m_setWindowTitle(bus.m_applicationTitle ? bus.m_applicationTitle() : QString());
        }
    } title{*this};
    if (m_setWindowTitle) {
        m_setWindowTitle(QStringLiteral("Veuillez Patienter, RECHERCHE : %1 -> %2")
                             .arg(entity, qualifier ? qualifier->description() : QStringLiteral("(null)")));
    }
    return fetchSansMessageEntityName(entity, qualifier, sort);
}

// --- Display groups ---------------------------------------------------------------------------------------

void KORDataBusOC::fetchTableWithEOC(eo::EOEditingContext *context, eo::EODisplayGroup *group,
                                     const QString &entity, const eo::EOQualifierPtr &qualifier,
                                     const Sort &sort, bool selectFirst, bool distinct)
{
    WaitCursorScope cursor;
    group->setSelectsFirstObjectAfterFetch(selectFirst);
    const QList<eo::EORecord> records =
        fetchArrayWithEOC(context, entity, qualifier, sort, distinct, refreshObjects);
    if (!group->editingContext())
        group->setEditingContext(context ? context : myEditingContext);
    group->setObjectArray(records);
    refreshObjects = true;
}

void KORDataBusOC::fetchTableWithEOC(eo::EOEditingContext *context, eo::EODisplayGroup *group,
                                     const QString &entity, const eo::EOQualifierPtr &qualifier,
                                     const Sort &sort, bool selectFirst)
{
    fetchTableWithEOC(context, group, entity, qualifier, sort, selectFirst, true);
}

void KORDataBusOC::fetchTablePlain(eo::EODisplayGroup *group, const QString &entity,
                                   const eo::EOQualifierPtr &qualifier, const Sort &sort, bool selectFirst)
{
    fetchTableWithEOC(myEditingContext, group, entity, qualifier, sort, selectFirst, true);
}

void KORDataBusOC::fetchTable(eo::EODisplayGroup *group, const QString &entity, const QString &format,
                              const QVariantList &arguments, const Sort &sort, bool selectFirst)
{
    myQualifier = eo::EOQualifier::qualifierWithQualifierFormat(format, arguments);
    fetchTableWithEOC(myEditingContext, group, entity, myQualifier, sort, selectFirst, true);
}

void KORDataBusOC::fetchTable(eo::EODisplayGroup *group, const QString &nomTable,
                              const eo::EOQualifierPtr &qualifier, const Sort &sort, bool selectionnePremier)
{
    fetchTableWithEOC(myEditingContext, group, nomTable, qualifier, sort, selectionnePremier, true);
    if (eo::EODisplayGroupDelegate *delegate = group->delegate())
        delegate->displayGroupDidFetchObjects(group, group->displayedObjects());
}

void KORDataBusOC::refetchTable(eo::EODisplayGroup *group, const QString &entity)
{
    fetchTableWithEOC(myEditingContext, group, entity, group->qualifier(), group->sortOrderings(), false,
                      true);
}

void KORDataBusOC::refetchWithSameSelection(eo::EODisplayGroup *group, const QString &entity)
{
    if (group->displayedObjects().isEmpty())
        return;
    const QList<int> selection = group->selectionIndexes();
    const int index = selection.isEmpty() ? 0 : selection.first();
    refetchTable(group, entity);
    const int count = int(group->displayedObjects().size());
    if (count == 0) {
        group->clearSelection();
        return;
    }
    group->setSelectionIndexes({index < count ? index : count - 1});
}

// --- Reads declared ahead -------------------------------------------------------------------------------

eo::EOPrefetch KORDataBusOC::prefetch(const QList<eo::EOPrefetch::Fetch> &fetches)
{
    if (fetches.isEmpty() || !myEditingContext || !myAdaptor || !myAdaptor->sendsReadsAhead())
        return {};
    WaitCursorScope cursor;
    const eo::EOAdaptor::Activity activity(*myAdaptor, QStringLiteral("la lecture de la base de données"));
    return eo::EOPrefetch(*myEditingContext, fetches);
}

eo::EOPrefetch::Fetch KORDataBusOC::declaredFetch(const QString &entity, const eo::EOQualifierPtr &qualifier,
                                                  const Sort &sort, const eo::EODisplayGroup *group)
{
    eo::EOPrefetch::Fetch fetch;
    fetch.request.entityName = entity;
    fetch.request.qualifier = qualifier;
    fetch.request.sortOrderings = sort;
    fetch.request.usesDistinct = true;
    if (group)
        fetch.keyPaths = group->shownKeyPaths();
    return fetch;
}

// --- Transactions ------------------------------------------------------------------------------------------

void KORDataBusOC::beginTransaction()
{
    requireStack();
    myAdaptorContext->beginTransaction();
}

void KORDataBusOC::commitTransaction()
{
    requireStack();
    const eo::EOAdaptor::Activity activity(*myAdaptor, QStringLiteral("l'enregistrement de la transaction"));
    myAdaptorContext->commitTransaction();
}

void KORDataBusOC::rollbackTransaction()
{
    requireStack();
    myAdaptorContext->rollbackTransaction();
}

eo::EOTransactionSteps::Result KORDataBusOC::executeTransaction(eo::EOTransactionSteps transaction,
                                                                const QString &activity)
{
    requireStack();
    WaitCursorScope cursor;
    const eo::EOAdaptor::Activity waiting(*myAdaptor, activity);
    for (eo::EOTransactionSteps::Step &step : transaction.steps) {
        for (eo::EOTransactionSteps::Call &call : step.calls)
            call.procedure = myModel ? myModel->storedProcedureNamed(call.name) : nullptr;
    }
    return myAdaptorContext->runTransaction(std::move(transaction));
}

std::optional<eo::EOTransactionSteps::State> KORDataBusOC::confirmPendingTransaction()
{
    requireStack();
    WaitCursorScope cursor;
    const eo::EOAdaptor::Activity waiting(*myAdaptor,
                                          QStringLiteral("la vérification du dernier enregistrement"));
    return myAdaptor->confirmPendingTransaction();
}

// --- Stored procedures -------------------------------------------------------------------------------------

bool KORDataBusOC::runProcedure(const QString &name, const QVariantMap &arguments, bool transactional,
                                QVariantMap *result)
{
    myProcedure = myModel ? myModel->storedProcedureNamed(name) : nullptr;
    myError = 1;
    // Waiting for the transaction to begin (another program writing) is waiting for this procedure too.
    std::optional<eo::EOAdaptor::Activity> activity;
    if (myAdaptor)
        activity.emplace(*myAdaptor, QStringLiteral("la procédure %1").arg(name));
    try {
        requireStack();
        if (transactional)
            beginTransaction();
        if (!myProcedure) {
            throw eo::EOException(eo::EOException::Kind::Model,
                                  QStringLiteral("La procédure « %1 » n'existe pas dans le modèle %2.")
                                      .arg(name, myModel ? myModel->name() : QString()));
        }
        myAdaptorChannel->executeStoredProcedure(*myProcedure, arguments);
    } catch (const eo::EOException &error) {
        platform::NSRunAlertPanel(QStringLiteral("ERREUR..."), error.message(), QStringLiteral("OK"));
        myError = 0;
    } catch (const std::exception &error) {
        // Not a failure of the database's (memory, a library): its English text is for the log.
        const QString message =
            QStringLiteral("La procédure %1 n'a pas pu être exécutée à cause d'une erreur inattendue : rien "
                           "n'en a été enregistré. Recommencez ; si l'erreur revient, prévenez "
                           "l'administrateur (le détail est écrit dans le journal du programme).")
                .arg(name);
        qWarning().noquote() << QStringLiteral(">>>>> %1 [%2]").arg(message, QString::fromUtf8(error.what()));
        platform::NSRunAlertPanel(QStringLiteral("ERREUR..."), message, QStringLiteral("OK"));
        myError = 0;
    }
    if (!transactional)
        return myError == 1;
    try {
        if (myError == 1) {
            commitTransaction();
            myDico = myAdaptorChannel->returnValuesForLastStoredProcedureInvocation();
            for (auto it = myDico.constBegin(); it != myDico.constEnd(); ++it)
                result->insert(it.key(), it.value());
        } else if (myAdaptorContext) {
            rollbackTransaction();
        }
    } catch (const eo::EOException &error) {
        // A commit that fails loses the call's effect: say so rather than report a success.
        platform::NSRunAlertPanel(QStringLiteral("ERREUR..."), error.message(), QStringLiteral("OK"));
        myError = 0;
    }
    return myError == 1;
}

bool KORDataBusOC::executeProcedure(QVariantMap &result, const QString &name, const QVariantMap &arguments)
{
    return runProcedure(name, arguments, true, &result);
}

bool KORDataBusOC::executeProcedure(const QString &name, const QVariantMap &arguments)
{
    return runProcedure(name, arguments, true, &myExecutedProcResultDict);
}

bool KORDataBusOC::executerProcedure(const QString &name, const QVariantMap &arguments)
{
    return runProcedure(name, arguments, true, &myExecutedProcResultDict);
}

bool KORDataBusOC::executeProcedureSansTransaction(const QString &name, const QVariantMap &arguments)
{
    return runProcedure(name, arguments, false, nullptr);
}

int KORDataBusOC::executerIntFonction(const QString &name, const QVariantMap &arguments)
{
    const bool ok = executeProcedure(name, arguments);
    myError = ok ? 1 : 0;
    return ok ? myExecutedProcResultDict.value(QStringLiteral("returnValue")).toInt() : 0;
}

QVariant KORDataBusOC::executerNumberFonction(const QString &name, const QVariantMap &arguments)
{
    const bool ok = executeProcedure(name, arguments);
    myError = ok ? 1 : 0;
    return ok ? myExecutedProcResultDict.value(QStringLiteral("returnValue")) : QVariant(0);
}

QString KORDataBusOC::executerStringFonction(const QString &name, const QVariantMap &arguments)
{
    const bool ok = executeProcedure(name, arguments);
    myError = ok ? 1 : 0;
    return ok ? myExecutedProcResultDict.value(QStringLiteral("returnValue")).toString() : QString();
}

// --- Raw SQL and new records -------------------------------------------------------------------------------

QList<QVariantMap> KORDataBusOC::executeSQLQuery(const QString &sql, const QVariantList &bindings)
{
    requireStack();
    const eo::EOAdaptor::Activity activity(*myAdaptor, QStringLiteral("la lecture de la base de données"));
    return myEditingContext->rawRowsWithSQL(sql, myModel->name(), bindings);
}

std::vector<QList<QVariantMap>>
KORDataBusOC::executeSQLQueries(const std::vector<eo::EOAdaptor::RawQuery> &queries)
{
    requireStack();
    const eo::EOAdaptor::Activity activity(*myAdaptor, QStringLiteral("la lecture de la base de données"));
    return myAdaptor->rawRowsTogether(queries);
}

eo::EORecord KORDataBusOC::newObjectLikeEntity(const QString &entity, eo::EOEditingContext *context)
{
    const eo::EOEntity *description = eo::EOModelGroup::defaultGroup().entityNamed(entity);
    if (!description)
        return {};
    return eo::EOGenericRecord::create(description, context);
}

eo::EORecord KORDataBusOC::newObjectLikeEntity(const QString &entity)
{
    return newObjectLikeEntity(entity, myEditingContext);
}

eo::EORecord KORDataBusOC::newObjectInEntity(const QString &entity, eo::EOEditingContext *context)
{
    eo::EORecord record = newObjectLikeEntity(entity, context);
    if (record && context)
        context->insertObject(record);
    return record;
}

eo::EORecord KORDataBusOC::newObjectInEntity(const QString &entity)
{
    return newObjectInEntity(entity, myEditingContext);
}

QString KORDataBusOC::traitementException(const QString &reason)
{
    const QString rest = reason.mid(11);
    const qsizetype ora = rest.indexOf(QLatin1String("ORA"));
    return ora < 0 ? rest : rest.left(ora);
}

} // namespace data
