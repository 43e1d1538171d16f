#pragma once

#include "EOAdaptor.h"
#include "EOAdaptorContext.h"

#include <memory>

namespace eo
{

class EOModel;
class EOEditingContext;
class EODatabaseChannel;

// The database side of one model for one editing context: its adaptor (made from the model's connection
// dictionary), the adaptor context that owns the transaction, and the channels that fetch.
class EODatabaseContext
{
public:
    EODatabaseContext(const EOModel &model, EOEditingContext &editingContext);
    ~EODatabaseContext();

    // The context of the model in the editing context, made on first request.
    static EODatabaseContext &registeredDatabaseContextForModel(const EOModel &model,
                                                                EOEditingContext &context);

    const EOModel &model() const { return m_model; }
    EOEditingContext &editingContext() const { return m_editingContext; }
    EOAdaptor &adaptor() const { return *m_adaptor; }
    EOAdaptorContext &adaptorContext() const { return *m_adaptorContext; }
    // The channel not busy with a fetch (fetches complete before returning, so the first one).
    EODatabaseChannel &availableChannel();
    EODatabaseChannel &createChannel();

private:
    const EOModel &m_model;
    EOEditingContext &m_editingContext;
    std::unique_ptr<EOAdaptor> m_adaptor;
    std::unique_ptr<EOAdaptorContext> m_adaptorContext;
    std::vector<std::unique_ptr<EODatabaseChannel>> m_channels;
};

} // namespace eo
