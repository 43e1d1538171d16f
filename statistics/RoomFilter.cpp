#include "RoomFilter.h"

namespace statistics
{

QString RoomFilter::description() const
{
    switch (kind) {
    case Kind::Batiment:
        return QStringLiteral("Bâtiment %1").arg(libelle);
    case Kind::Type:
        return QStringLiteral("Type %1").arg(libelle);
    case Kind::Departements:
        return codes.size() == 1 ? QStringLiteral("Département %1").arg(libelle)
                                 : QStringLiteral("Départements %1").arg(libelle);
    case Kind::NonAffecte:
        return libelle;
    case Kind::Aucun:
        break;
    }
    return QString();
}

} // namespace statistics
