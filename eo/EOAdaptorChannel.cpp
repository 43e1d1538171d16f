#include "EOAdaptorChannel.h"

#include "EOAdaptor.h"

namespace eo
{

void EOAdaptorChannel::executeStoredProcedure(const EOStoredProcedure &procedure, const QVariantMap &values)
{
    m_returnValues.clear();
    m_returnValues = m_adaptor.executeStoredProcedure(procedure, values);
}

} // namespace eo
