#include "EOAdaptor.h"

#include <QDebug>

#include "EOException.h"
#include "EOPostgreSQLAdaptor.h"
#include "EOSQLiteAdaptor.h"

namespace eo
{

std::unique_ptr<EOAdaptor> EOAdaptor::adaptorWithConnectionDictionary(const QVariantMap &dictionary)
{
    const QString url = dictionary.value(QStringLiteral("URL")).toString();
    std::unique_ptr<EOAdaptor> adaptor;
    if (url.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive)) {
        adaptor = std::make_unique<EOSQLiteAdaptor>();
    } else if (url.startsWith(QLatin1String("postgresql:"), Qt::CaseInsensitive) ||
               url.startsWith(QLatin1String("postgres:"), Qt::CaseInsensitive)) {
        adaptor = std::make_unique<EOPostgreSQLAdaptor>();
    } else {
        throw EOException(EOException::Kind::Connection,
                          QStringLiteral("L'adresse de base de données « %1 » n'est pas reconnue : "
                                         "elle doit commencer par sqlite:// ou postgresql://.")
                              .arg(url));
    }
    adaptor->setConnectionDictionary(dictionary);
    return adaptor;
}

EOAdaptor::Activity::Activity(EOAdaptor &adaptor, const QString &name)
    : m_adaptor(adaptor), m_previous(adaptor.m_activity)
{
    m_adaptor.m_activity = name;
}

EOAdaptor::Activity::~Activity()
{
    m_adaptor.m_activity = m_previous;
}

QString EOAdaptor::activity() const
{
    return m_activity.isEmpty() ? QStringLiteral("l'accès à la base de données") : m_activity;
}

QString EOAdaptor::capitalizedActivity() const
{
    QString text = activity();
    text[0] = text.at(0).toUpper();
    return text;
}

int EOAdaptor::secondsOf(const QVariantMap &dictionary, const QString &key, int defaultValue)
{
    bool ok = false;
    const int value = dictionary.value(key).toString().trimmed().toInt(&ok);
    return ok && value >= 0 ? value : defaultValue;
}

int EOAdaptor::lockTimeout() const
{
    return secondsOf(m_connectionDictionary, QStringLiteral("lockTimeout"), DefaultLockTimeout);
}

int EOAdaptor::statementTimeout() const
{
    return secondsOf(m_connectionDictionary, QStringLiteral("statementTimeout"), DefaultStatementTimeout);
}

EOAdaptor::Call::Call(EOAdaptor &adaptor) : m_adaptor(adaptor)
{
    if (m_adaptor.m_waiting) {
        throw EOException(EOException::Kind::Database,
                          QStringLiteral("%1 attend déjà la base de données : attendez qu'elle se termine ou "
                                         "annulez-la (Échap).")
                              .arg(m_adaptor.capitalizedActivity()));
    }
    if (m_adaptor.m_calls++ == 0)
        m_adaptor.m_cancelled = false;
}

EOAdaptor::Call::~Call()
{
    if (--m_adaptor.m_calls > 0 || !m_adaptor.m_observerTold)
        return;
    m_adaptor.m_observerTold = false;
    if (m_adaptor.m_waitObserver)
        m_adaptor.m_waitObserver->databaseWaitEnded();
}

bool EOAdaptor::observeWait(qint64 elapsedMilliseconds)
{
    if (!m_waitObserver || m_cancelled)
        return m_cancelled;
    m_observerTold = true;
    m_waiting = true;
    try {
        m_cancelled = m_waitObserver->databaseIsWaiting(activity(), elapsedMilliseconds);
    } catch (...) {
        // The observer's failure must not leave the connection in the middle of a statement: give up.
        m_cancelled = true;
    }
    m_waiting = false;
    return m_cancelled;
}

void EOAdaptor::setSessionLogin(const QString &login)
{
    m_sessionLogin = login;
    if (isOpen())
        applySessionLogin();
}

std::vector<QList<QVariantMap>> EOAdaptor::rawRowsTogether(const std::vector<RawQuery> &queries)
{
    std::vector<QList<QVariantMap>> rows;
    rows.reserve(queries.size());
    for (const auto &[sql, bindings] : queries)
        rows.push_back(rawRows(sql, bindings));
    return rows;
}

EOTransactionSteps::Result EOAdaptor::runTransaction(const EOTransactionSteps &transaction)
{
    // One call for the wait observer: a wait the user gave up gives up the later waits of the steps too.
    const Call call(*this);
    EOTransactionSteps::Result result;
    result.steps.resize(transaction.steps.size());
    // Only what the database refuses is an outcome; anything else ends the action with the transaction
    // rolled back.
    struct Rollback {
        EOAdaptor &adaptor;
        bool armed = true;
        ~Rollback()
        {
            if (!armed)
                return;
            try {
                adaptor.rollbackTransaction();
            } catch (...) {
                // The failure that ends the action is the one the caller reads.
            }
        }
    } rollback{*this};
    if (!transaction.continuesOpenTransaction) {
        transaction.note(QStringLiteral("begin"));
        try {
            beginTransaction();
        } catch (const EOException &error) {
            result.message = error.message();
            return result;
        }
    }
    for (size_t s = 0; s < transaction.steps.size(); ++s) {
        const EOTransactionSteps::Step &step = transaction.steps[s];
        EOTransactionSteps::StepOutcome &outcome = result.steps[s];
        stepSavepoint(StepSavepoint::Set);
        for (size_t c = 0; c < step.calls.size() && !outcome.refused; ++c) {
            transaction.note(step.calls[c].name);
            try {
                outcome.outputs =
                    executeStoredProcedure(step.calls[c].requireProcedure(), step.calls[c].values);
            } catch (const EOException &error) {
                outcome.refused = true;
                outcome.refusedCall = int(c);
                outcome.message = error.message();
            }
        }
        if (!outcome.refused) {
            stepSavepoint(StepSavepoint::Release);
            continue;
        }
        if (step.essential) {
            transaction.note(QStringLiteral("rollback"));
            return result; // rolled back whole as the guard goes
        }
        transaction.note(QStringLiteral("rollback step"));
        stepSavepoint(StepSavepoint::RollBack);
    }
    transaction.note(QStringLiteral("commit"));
    rollback.armed = false;
    try {
        commitTransaction();
        result.state = EOTransactionSteps::State::Committed;
    } catch (const EOException &error) {
        // A refused commit has rolled the transaction back already.
        result.message = error.message();
    }
    return result;
}

void EOAdaptor::checkArguments(const EOStoredProcedure &procedure, const QVariantMap &values)
{
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        if (!procedure.argumentNamed(it.key())) {
            throw EOException(
                EOException::Kind::Database,
                QStringLiteral("La procédure %1 n'a pas d'argument « %2 ».").arg(procedure.name, it.key()));
        }
    }
}

} // namespace eo
