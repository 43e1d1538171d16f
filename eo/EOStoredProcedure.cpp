#include "EOStoredProcedure.h"

namespace eo
{

const EOStoredProcedure::Argument *EOStoredProcedure::argumentNamed(const QString &argumentName) const
{
    for (const Argument &argument : arguments) {
        if (argument.name == argumentName)
            return &argument;
    }
    return nullptr;
}

} // namespace eo
