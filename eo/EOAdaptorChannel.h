#pragma once

#include <QVariantMap>

namespace eo
{

class EOAdaptor;
class EOStoredProcedure;

// Runs stored procedures on an adaptor and keeps the output values of the last one.
class EOAdaptorChannel
{
public:
    explicit EOAdaptorChannel(EOAdaptor &adaptor) : m_adaptor(adaptor) {}

    EOAdaptor &adaptor() const { return m_adaptor; }
    // Throws EOException when the procedure fails; the output values are then empty.
    void executeStoredProcedure(const EOStoredProcedure &procedure, const QVariantMap &values);
    const QVariantMap &returnValuesForLastStoredProcedureInvocation() const { return m_returnValues; }

private:
    EOAdaptor &m_adaptor;
    QVariantMap m_returnValues;
};

} // namespace eo
