#include "EODatabaseContext.h"

#include "EODatabaseChannel.h"
#include "EOEditingContext.h"
#include "EOModel.h"

namespace eo
{

EODatabaseContext::EODatabaseContext(const EOModel &model, EOEditingContext &editingContext)
    : m_model(model), m_editingContext(editingContext),
      m_adaptor(EOAdaptor::adaptorWithConnectionDictionary(model.connectionDictionary())),
      m_adaptorContext(std::make_unique<EOAdaptorContext>(*m_adaptor))
{
}

EODatabaseContext::~EODatabaseContext() = default;

EODatabaseContext &EODatabaseContext::registeredDatabaseContextForModel(const EOModel &model,
                                                                        EOEditingContext &context)
{
    return context.databaseContextForModel(model);
}

EODatabaseChannel &EODatabaseContext::availableChannel()
{
    if (m_channels.empty())
        return createChannel();
    return *m_channels.front();
}

EODatabaseChannel &EODatabaseContext::createChannel()
{
    m_channels.push_back(std::make_unique<EODatabaseChannel>(*this));
    return *m_channels.back();
}

} // namespace eo
