#include "EOAdaptorContext.h"

#include "EOAdaptor.h"

namespace eo
{

void EOAdaptorContext::beginTransaction()
{
    if (m_open)
        return;
    m_adaptor.beginTransaction();
    m_open = true;
}

void EOAdaptorContext::commitTransaction()
{
    if (!m_open)
        return;
    // The transaction is over whether the commit succeeds or not: a refused commit must not leave the
    // connection inside it, where every later call would fail and its locks would block other programs.
    m_open = false;
    try {
        m_adaptor.commitTransaction();
    } catch (...) {
        try {
            m_adaptor.rollbackTransaction();
        } catch (...) {
            // The commit's own failure is the one the caller must read.
        }
        throw;
    }
}

void EOAdaptorContext::rollbackTransaction()
{
    if (!m_open)
        return;
    m_open = false;
    m_adaptor.rollbackTransaction();
}

EOTransactionSteps::Result EOAdaptorContext::runTransaction(EOTransactionSteps transaction)
{
    transaction.continuesOpenTransaction = m_open;
    try {
        EOTransactionSteps::Result result = m_adaptor.runTransaction(transaction);
        m_open = false;
        return result;
    } catch (...) {
        // The steps could not even start: the open transaction is rolled back as after any failure.
        rollbackTransaction();
        throw;
    }
}

} // namespace eo
