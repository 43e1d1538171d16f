#pragma once

#include <span>

namespace admin
{

// The fixed reference data of the demo database: sites, buildings, groups, room types, equipment,
// units, kinds of use, persons and the phrases the room descriptions are made of.
class DemoCatalogue
{
public:
    struct Site {
        const char *code;
        const char *label;
    };
    struct Building {
        const char *code;
        const char *name;
        const char *street;
        const char *complement;
        const char *postalCode;
        const char *town;
        const char *site;
        const char *department; // the department that occupies most of its rooms
        const char *custodian;  // the custodian group of its bookable rooms
        int weight;             // share of the rooms
    };
    struct Structure {
        const char *code;
        const char *shortLabel;
        const char *longLabel;
        const char *kind; // 'E' university, 'S' department, 'G' custodian group
        const char *parent;
    };
    // What a room is used for: decides its capacity, furniture, equipment and percentages.
    enum class Use {
        Teaching,
        Lecture,
        Practical,
        Computing,
        Office,
        Research,
        Meeting,
        Library,
        Technical,
        Sanitary,
        Circulation
    };
    struct RoomType {
        const char *label;
        Use use;
        int weight;
        int minimumCapacity;
        int maximumCapacity;
    };
    struct Unit {
        const char *abbreviation;
        const char *label;
    };
    struct Equipment {
        const char *family;
        const char *type;
        const char *unit; // abbreviation
    };
    struct Person {
        const char *lastName;
        const char *firstName;
        const char *department;
    };

    static std::span<const Site> sites();
    static std::span<const Building> buildings();
    static std::span<const Structure> structures();
    static std::span<const RoomType> roomTypes();
    static std::span<const Unit> units();
    static std::span<const Equipment> equipment();
    static std::span<const char *const> occupationKinds();
    static std::span<const Person> persons();
    static std::span<const char *const> descriptions();
    // The groups whose members may use the application (parameter SALLE_STRUCTURE).
    static std::span<const char *const> allowedGroups();
    static const char *mainDomain();
};

} // namespace admin
