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
    // The transaction is over whether the commit succeeds or not.
    m_open = false;
    m_adaptor.commitTransaction();
}

void EOAdaptorContext::rollbackTransaction()
{
    if (!m_open)
        return;
    m_open = false;
    m_adaptor.rollbackTransaction();
}

} // namespace eo
