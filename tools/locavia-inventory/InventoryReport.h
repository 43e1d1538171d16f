#pragma once

#include <QString>
#include <QTextStream>

namespace data
{
class KORDataBusOC;
}

// What a user checks first in an inventory: the buildings, the rooms of each, and the reference lists.
class InventoryReport
{
public:
    InventoryReport(data::KORDataBusOC &dataBus, QTextStream &out) : m_dataBus(dataBus), m_out(out) {}

    void printBuildings();
    void printRoomsPerBuilding();
    void printReferenceLists();

private:
    void printList(const QString &title, const QString &entity, const QString &key,
                   const QString &format = {});

    data::KORDataBusOC &m_dataBus;
    QTextStream &m_out;
};
