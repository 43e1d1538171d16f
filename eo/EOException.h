#pragma once

#include <QString>
#include <stdexcept>

namespace eo
{

// The one error type of the object-relational layer. Its message is written for the user (in French):
// the data bus shows it as is in its alerts.
class EOException : public std::runtime_error
{
public:
    enum class Kind {
        Model,      // unknown entity, key, relationship or procedure; unreadable model file
        Qualifier,  // a qualifier format that does not parse, or a bad argument for it
        Database,   // the database refused a statement or a procedure
        Connection, // the database cannot be opened or reached
    };

    EOException(Kind kind, const QString &message)
        : std::runtime_error(message.toStdString()), m_kind(kind), m_message(message)
    {
    }

    Kind kind() const { return m_kind; }
    const QString &message() const { return m_message; }

private:
    Kind m_kind;
    QString m_message;
};

} // namespace eo
