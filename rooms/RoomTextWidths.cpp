#include "RoomTextWidths.h"

#include "EOModelGroup.h"

namespace rooms
{

namespace
{

int salle(const char *attribut)
{
    return eo::EOModelGroup::defaultGroup().widthOf(QStringLiteral("SallesVix"),
                                                    QString::fromLatin1(attribut));
}

} // namespace

int RoomTextWidths::etage()
{
    return salle("salEtage");
}

int RoomTextWidths::porte()
{
    return salle("salPorte");
}

int RoomTextWidths::descriptif()
{
    return salle("salDescriptif");
}

int RoomTextWidths::postesTP()
{
    return salle("salNoPoste");
}

int RoomTextWidths::identAcces()
{
    return salle("salIdentAcces");
}

int RoomTextWidths::nature()
{
    return salle("salNature");
}

int RoomTextWidths::codePrise()
{
    return eo::EOModelGroup::defaultGroup().widthOf(QStringLiteral("Prises"), QStringLiteral("priCode"));
}

} // namespace rooms
