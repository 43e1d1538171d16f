#pragma once

#include "EOTransactionSteps.h"

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
    // The steps of one transaction, committed once; an open transaction is their beginning and is over
    // afterwards.
    EOTransactionSteps::Result runTransaction(EOTransactionSteps transaction);

private:
    EOAdaptor &m_adaptor;
    bool m_open = false;
};

} // namespace eo
