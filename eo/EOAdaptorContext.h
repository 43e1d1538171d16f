#pragma once

#include "EOTransactionBatch.h"

#include <vector>

namespace eo
{

class EOAdaptor;

// Owns the transaction of an adaptor: at most one is open at a time.
class EOAdaptorContext
{
public:
    explicit EOAdaptorContext(EOAdaptor &adaptor) : m_adaptor(adaptor) {}

    EOAdaptor &adaptor() const { return m_adaptor; }
    bool hasOpenTransaction() const { return m_open; }
    // Opens a transaction unless one is open already.
    void beginTransaction();
    // End whatever transaction is open; nothing happens when none is. A commit that fails has rolled the
    // transaction back before its error reaches the caller.
    void commitTransaction();
    void rollbackTransaction();
    // The batch's transactions; an open transaction is the first one's beginning and is over afterwards.
    std::vector<EOTransactionBatch::Outcome> runTransactions(EOTransactionBatch batch);

private:
    EOAdaptor &m_adaptor;
    bool m_open = false;
};

} // namespace eo
