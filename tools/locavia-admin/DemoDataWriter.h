#pragma once

#include "DemoCatalogue.h"
#include "DemoDataGenerator.h"
#include "SqliteStatement.h"

#include <QHash>
#include <QList>
#include <QString>
#include <array>
#include <memory>
#include <random>
#include <utility>

struct sqlite3;

namespace admin
{

// Writes the demo data through one connection (locavia.db with solma.db attached as SOLMA) inside the
// caller's transaction: the reference rows first, then the rooms with their sub-lists, then the offices.
// The random source has a fixed seed, so the same calls write the same data.
class DemoDataWriter
{
public:
    DemoDataWriter(sqlite3 *db, const QString &login, DemoDataGenerator::Summary *summary);
    ~DemoDataWriter();
    DemoDataWriter(const DemoDataWriter &) = delete;
    DemoDataWriter &operator=(const DemoDataWriter &) = delete;

    void referenceData();
    void rooms(int count);
    void offices();
    // Only what lets the user in, for a database without demo data: the groups allowed to manage rooms
    // (with the university above them), the user's account in the first, the parameters of the rights test.
    void access();

private:
    using Use = DemoCatalogue::Use;

    // The twelve use percentages of a room, in hundredths: the five of the room record, then the seven of
    // the department's complement.
    struct Percentages {
        enum Index {
            Administration,
            Documentation,
            Teaching,
            Research,
            Technical,
            SocialLife,
            Reception,
            Sanitary,
            Circulation,
            Catering,
            Parking,
            Sport,
            Count
        };
        std::array<int, Count> value{};
    };
    struct RoomTypeRow {
        const DemoCatalogue::RoomType *type;
        qint64 key;
    };
    struct BuildingRow {
        const DemoCatalogue::Building *building;
        int index;
    };
    struct EquipmentRow {
        const DemoCatalogue::Equipment *equipment;
        qint64 type;
        qint64 unit;
    };

    int below(int bound) { return bound <= 1 ? 0 : int(m_random() % unsigned(bound)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename Row> const Row &weighted(const QList<Row> &rows, int total);

    void sites();
    void structures();
    void buildings();
    void roomTypes();
    void occupationKinds();
    void units();
    void equipment();
    void persons();
    void account();
    void parameters();

    Percentages percentages(Use use);
    void room(int index);
    void outlets(qint64 room, int buildingIndex, int index, Use use, int capacity);
    void equipmentLines(qint64 room, Use use, int capacity);
    void occupationLines(qint64 room, const DemoCatalogue::Building &building, const Percentages &share);

    sqlite3 *m_db;
    QString m_login;
    DemoDataGenerator::Summary *m_summary;
    std::mt19937 m_random;

    QList<BuildingRow> m_buildings;
    int m_buildingWeight = 0;
    QList<RoomTypeRow> m_roomTypes;
    int m_roomTypeWeight = 0;
    QHash<QString, qint64> m_occupationKinds;
    QHash<QString, qint64> m_units;
    QList<EquipmentRow> m_equipment;
    QList<std::pair<qint64, QString>> m_persons; // key, department
    QList<std::pair<qint64, QString>> m_offices; // room, department of its building

    std::unique_ptr<SqliteStatement> m_insertRoom;
    std::unique_ptr<SqliteStatement> m_insertTav;
    std::unique_ptr<SqliteStatement> m_insertCustodian;
    std::unique_ptr<SqliteStatement> m_insertOutlet;
    std::unique_ptr<SqliteStatement> m_insertEquipment;
    std::unique_ptr<SqliteStatement> m_insertOccupation;
    std::unique_ptr<SqliteStatement> m_insertConfiguration;
};

} // namespace admin
