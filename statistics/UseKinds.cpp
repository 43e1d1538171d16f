#include "UseKinds.h"

namespace statistics
{

const QList<UseKind> &UseKinds::usages()
{
    // Twelve colours told apart on screen and on paper; the first five (the uses asked about most) the
    // strongest.
    static const QList<UseKind> liste{
        {QStringLiteral("Enseignement"), QStringLiteral("SAL_POUR_ENSEIGNEMENT"), QColor(0x1f, 0x77, 0xb4)},
        {QStringLiteral("Recherche"), QStringLiteral("SAL_POUR_RECHERCHE"), QColor(0xd6, 0x27, 0x28)},
        {QStringLiteral("Administration"), QStringLiteral("SAL_POUR_ADMINISTRATION"),
         QColor(0x2c, 0xa0, 0x2c)},
        {QStringLiteral("Documentation"), QStringLiteral("SAL_POUR_DOCUMENTATION"), QColor(0xff, 0x7f, 0x0e)},
        {QStringLiteral("Technique"), QStringLiteral("SAL_POUR_TECHNIQUE"), QColor(0x94, 0x67, 0xbd)},
        {QStringLiteral("Vie sociale"), QStringLiteral("TAV_VIE_SOCIAL"), QColor(0x8c, 0x56, 0x4b)},
        {QStringLiteral("Accueil"), QStringLiteral("TAV_ACCUEIL"), QColor(0xe3, 0x77, 0xc2)},
        {QStringLiteral("Sanitaire"), QStringLiteral("TAV_SANITAIRE"), QColor(0x17, 0xbe, 0xcf)},
        {QStringLiteral("Circulation"), QStringLiteral("TAV_CIRCULATION"), QColor(0xbc, 0xbd, 0x22)},
        {QStringLiteral("Restauration"), QStringLiteral("TAV_RESTAURATION"), QColor(0xff, 0xbb, 0x78)},
        {QStringLiteral("Parking"), QStringLiteral("TAV_PARKING"), QColor(0x52, 0x52, 0x52)},
        {QStringLiteral("Sportif"), QStringLiteral("TAV_SPORTIF"), QColor(0x98, 0xdf, 0x8a)},
    };
    return liste;
}

} // namespace statistics
