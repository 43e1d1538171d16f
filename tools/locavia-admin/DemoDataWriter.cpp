#include "DemoDataWriter.h"

#include "EOException.h"

#include <sqlite3.h>
#include <type_traits>

namespace admin
{

namespace
{

using Value = SqliteStatement::Value;

constexpr unsigned Seed = 20240611;

[[noreturn]] void fail(const QString &message)
{
    throw eo::EOException(eo::EOException::Kind::Database, message);
}

// A decimal with two places, written as exact text (a hundredth is the unit).
QString decimal(int hundredths)
{
    return QStringLiteral("%1.%2").arg(hundredths / 100).arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

DemoDataWriter::DemoDataWriter(sqlite3 *db, const QString &login, DemoDataGenerator::Summary *summary)
    : m_db(db), m_login(login), m_summary(summary), m_random(Seed)
{
}

DemoDataWriter::~DemoDataWriter() = default;

template <typename Row> const Row &DemoDataWriter::weighted(const QList<Row> &rows, int total)
{
    int draw = below(total);
    for (const Row &row : rows) {
        const int weight = [&] {
            if constexpr (std::is_same_v<Row, BuildingRow>)
                return row.building->weight;
            else
                return row.type->weight;
        }();
        if (draw < weight)
            return row;
        draw -= weight;
    }
    return rows.last();
}

void DemoDataWriter::referenceData()
{
    sites();
    structures();
    buildings();
    roomTypes();
    occupationKinds();
    units();
    equipment();
    persons();
    account();
    parameters();
}

void DemoDataWriter::access()
{
    SqliteStatement insert(m_db,
                           "INSERT OR IGNORE INTO SOLMA.STRUCTURE "
                           "(C_STRUCTURE, LC_STRUCTURE, LL_STRUCTURE, C_TYPE_STRUCTURE, C_STRUCTURE_PERE) "
                           "VALUES (?1, ?2, ?3, ?4, ?5)");
    const auto allowed = DemoCatalogue::allowedGroups();
    const auto needed = [&allowed](const char *code) {
        for (const auto &structure : DemoCatalogue::structures()) {
            for (const char *group : allowed) {
                if (qstrcmp(structure.code, group) == 0 &&
                    (qstrcmp(code, group) == 0 || qstrcmp(code, structure.parent) == 0))
                    return true;
            }
        }
        return false;
    };
    // The catalogue lists a parent before its groups.
    for (const auto &structure : DemoCatalogue::structures()) {
        if (needed(structure.code))
            insert.run({structure.code, structure.shortLabel, structure.longLabel, structure.kind,
                        structure.parent});
    }
    account();
    parameters();
}

void DemoDataWriter::sites()
{
    SqliteStatement insert(m_db,
                           "INSERT OR IGNORE INTO IMPLANTATION_GEO (C_IMPLANTATION, LC_IMPLANTATION_GEO) "
                           "VALUES (?1, ?2)");
    for (const auto &site : DemoCatalogue::sites())
        insert.run({site.code, site.label});
}

void DemoDataWriter::structures()
{
    SqliteStatement insert(m_db,
                           "INSERT OR IGNORE INTO SOLMA.STRUCTURE "
                           "(C_STRUCTURE, LC_STRUCTURE, LL_STRUCTURE, C_TYPE_STRUCTURE, C_STRUCTURE_PERE) "
                           "VALUES (?1, ?2, ?3, ?4, ?5)");
    for (const auto &structure : DemoCatalogue::structures())
        insert.run(
            {structure.code, structure.shortLabel, structure.longLabel, structure.kind, structure.parent});
}

void DemoDataWriter::buildings()
{
    SqliteStatement byCode(m_db, "SELECT 1 FROM SOLMA.LOCAL WHERE C_LOCAL = ?1");
    SqliteStatement byName(m_db, "SELECT 1 FROM SOLMA.LOCAL WHERE APPELLATION = ?1");
    SqliteStatement address(m_db,
                            "INSERT INTO SOLMA.ADRESSE (ADR_ADRESSE1, ADR_ADRESSE2, CODE_POSTAL, VILLE, "
                            "LOCALITE, C_PAYS, ADR_QUALITE, ADR_LISTE_ROUGE, C_IMPLANTATION) "
                            "VALUES (?1, NULLIF(?2, ''), ?3, ?4, ?4, '100', 'BATIMENT', 'O', ?5)");
    SqliteStatement building(m_db, "INSERT INTO SOLMA.LOCAL (C_LOCAL, APPELLATION, ID_ADRESSE_ADMIN) "
                                   "VALUES (?1, ?2, last_insert_rowid())");
    int index = 0;
    for (const auto &row : DemoCatalogue::buildings()) {
        ++index;
        if (byCode.integer({row.code}) < 0) {
            // A building of the user's with the same name keeps it: this one is left out.
            if (byName.integer({row.name}) >= 0)
                continue;
            address.run({row.street, row.complement, row.postalCode, row.town, row.site});
            building.run({row.code, row.name});
        }
        m_buildings.append({&row, index});
        m_buildingWeight += row.weight;
    }
    m_summary->buildings = int(m_buildings.size());
}

void DemoDataWriter::roomTypes()
{
    SqliteStatement insert(m_db, "INSERT OR IGNORE INTO TYPE_SALLE (TSAL_LIBELLE) VALUES (?1)");
    SqliteStatement key(m_db, "SELECT TSAL_NUMERO FROM TYPE_SALLE WHERE TSAL_LIBELLE = ?1");
    for (const auto &type : DemoCatalogue::roomTypes()) {
        insert.run({type.label});
        m_roomTypes.append({&type, key.integer({type.label})});
        m_roomTypeWeight += type.weight;
    }
}

void DemoDataWriter::occupationKinds()
{
    SqliteStatement insert(m_db, "INSERT OR IGNORE INTO TYPE_OCCUPATION (TOC_LIBELLE) VALUES (?1)");
    SqliteStatement key(m_db, "SELECT TOC_ORDRE FROM TYPE_OCCUPATION WHERE TOC_LIBELLE = ?1");
    for (const char *kind : DemoCatalogue::occupationKinds()) {
        insert.run({kind});
        m_occupationKinds.insert(QString::fromUtf8(kind), key.integer({kind}));
    }
}

void DemoDataWriter::units()
{
    SqliteStatement insert(m_db, "INSERT OR IGNORE INTO UNITE (UNI_ABREV, UNI_LIBELLE) VALUES (?1, ?2)");
    SqliteStatement key(m_db, "SELECT UNI_ORDRE FROM UNITE WHERE UNI_ABREV = ?1");
    for (const auto &unit : DemoCatalogue::units()) {
        insert.run({unit.abbreviation, unit.label});
        m_units.insert(QString::fromUtf8(unit.abbreviation), key.integer({unit.abbreviation}));
    }
}

void DemoDataWriter::equipment()
{
    SqliteStatement find(m_db,
                         "SELECT TAV_TYPE FROM TYPE_MATERIEL WHERE TAV_LIBELLE = ?1 AND TAV_NIVEAU = ?2 "
                         "AND TAV_PERE = ?3");
    SqliteStatement insert(m_db,
                           "INSERT INTO TYPE_MATERIEL (TAV_LIBELLE, TAV_NIVEAU, TAV_PERE, TAV_UNITE_ORDRE) "
                           "VALUES (?1, ?2, ?3, ?4)");
    QHash<QString, qint64> families;
    auto ensure = [&](const char *label, int level, qint64 parent, qint64 unit) {
        qint64 key = find.integer({label, level, parent});
        if (key < 0) {
            insert.run({label, level, parent, unit});
            key = sqlite3_last_insert_rowid(m_db);
        }
        return key;
    };
    for (const auto &row : DemoCatalogue::equipment()) {
        const QString family = QString::fromUtf8(row.family);
        if (!families.contains(family))
            families.insert(family, ensure(row.family, 1, -1, -1));
        const qint64 unit = m_units.value(QString::fromUtf8(row.unit));
        m_equipment.append({&row, ensure(row.type, 2, families.value(family), unit), unit});
    }
}

void DemoDataWriter::persons()
{
    SqliteStatement person(m_db, "INSERT INTO SOLMA.INDIVIDU (NOM_USUEL, PRENOM) VALUES (?1, ?2)");
    SqliteStatement membership(m_db, "INSERT OR IGNORE INTO SOLMA.REPART_STRUCTURE (PERS_ID, C_STRUCTURE) "
                                     "VALUES (?1, ?2)");
    for (const auto &row : DemoCatalogue::persons()) {
        person.run({row.lastName, row.firstName});
        const qint64 key = sqlite3_last_insert_rowid(m_db);
        membership.run({key, row.department});
        m_persons.append({key, QString::fromUtf8(row.department)});
    }
}

// The account of the user who will try the application, member of the first group allowed to use it.
void DemoDataWriter::account()
{
    SqliteStatement find(m_db, "SELECT PERS_ID FROM SOLMA.REPART_COMPTE WHERE CPT_LOGIN = ?1");
    SqliteStatement person(m_db,
                           "INSERT INTO SOLMA.INDIVIDU (NOM_USUEL, PRENOM) VALUES ('Démonstration', ?1)");
    SqliteStatement insert(m_db, "INSERT INTO SOLMA.REPART_COMPTE (CPT_LOGIN, CPT_DOMAINE, PERS_ID) "
                                 "VALUES (?1, ?2, ?3)");
    SqliteStatement membership(m_db, "INSERT OR IGNORE INTO SOLMA.REPART_STRUCTURE (PERS_ID, C_STRUCTURE) "
                                     "VALUES (?1, ?2)");
    qint64 key = find.integer({m_login});
    if (key < 0) {
        person.run({m_login});
        key = sqlite3_last_insert_rowid(m_db);
        insert.run({m_login, DemoCatalogue::mainDomain(), key});
    }
    membership.run({key, DemoCatalogue::allowedGroups().front()});
    m_summary->login = m_login;
}

void DemoDataWriter::parameters()
{
    SqliteStatement solmaHas(m_db, "SELECT 1 FROM SOLMA.SOLMA_PARAMETRES WHERE PARAM_KEY = ?1 "
                                   "AND (?2 IS NULL OR PARAM_VALUE = ?2)");
    SqliteStatement solmaInsert(m_db, "INSERT INTO SOLMA.SOLMA_PARAMETRES (PARAM_KEY, PARAM_VALUE, "
                                      "PARAM_COMMENTAIRES) VALUES (?1, ?2, ?3)");
    auto solma = [&](const char *key, const char *value, bool onePerKey, const char *comment) {
        if (solmaHas.integer({key, onePerKey ? Value(nullptr) : Value(value)}) < 0)
            solmaInsert.run({key, value, comment});
    };
    solma("MIRL_USER", "NON", true, "OUI ou YES : mot de passe demandé à la connexion");
    for (const char *group : DemoCatalogue::allowedGroups())
        solma("SALLE_STRUCTURE", group, false, "Groupe dont les membres gèrent les salles");
    solma("SOLMA_DOMAINE_PRINCIPAL", DemoCatalogue::mainDomain(), true, "Domaine principal des comptes");

    SqliteStatement has(m_db, "SELECT 1 FROM PARAMETRES WHERE PARAM_KEY = ?1");
    SqliteStatement insert(m_db, "INSERT INTO PARAMETRES (PARAM_KEY, PARAM_VALUE) VALUES (?1, ?2)");
    for (const auto &[key, value] :
         {std::pair{"LOCAVIA_DEFAULT_STRING", ""}, std::pair{"LOCAVIA_DEFAULT_NUMBER", "0"}}) {
        if (has.integer({key}) < 0)
            insert.run({key, value});
    }
}

DemoDataWriter::Percentages DemoDataWriter::percentages(Use use)
{
    using P = Percentages;
    Percentages share;
    auto set = [&share](std::initializer_list<std::pair<P::Index, int>> parts) {
        for (const auto &[index, percent] : parts)
            share.value[index] = percent;
    };
    const int variant = below(3);
    switch (use) {
    case Use::Teaching:
        if (variant == 0)
            set({{P::Teaching, 10000}});
        else if (variant == 1)
            set({{P::Teaching, 8000}, {P::Research, 2000}});
        else
            set({{P::Teaching, 7500}, {P::SocialLife, 1250}});
        break;
    case Use::Lecture:
        set(variant == 0
                ? std::initializer_list<std::pair<P::Index, int>>{{P::Teaching, 10000}}
                : std::initializer_list<std::pair<P::Index, int>>{{P::Teaching, 9000}, {P::Reception, 1000}});
        break;
    case Use::Practical:
        set({{P::Teaching, variant == 0 ? 10000 : 7000}, {P::Research, variant == 0 ? 0 : 3000}});
        break;
    case Use::Computing:
        set({{P::Teaching, variant == 0 ? 10000 : 8000}, {P::Technical, variant == 0 ? 0 : 2000}});
        break;
    case Use::Office:
        if (variant == 0)
            set({{P::Administration, 10000}});
        else if (variant == 1)
            set({{P::Administration, 6250}, {P::Research, 3750}});
        else
            set({{P::Research, 10000}});
        break;
    case Use::Research:
        set({{P::Research, variant == 0 ? 10000 : 7000}, {P::Teaching, variant == 0 ? 0 : 3000}});
        break;
    case Use::Meeting:
        if (variant == 0)
            set({{P::Administration, 5000}, {P::SocialLife, 5000}});
        else if (variant == 1)
            set({{P::Administration, 10000}});
        else
            set({{P::Administration, 4000}, {P::Reception, 4000}});
        break;
    case Use::Library:
        set({{P::Documentation, variant == 0 ? 10000 : 8750}, {P::Reception, variant == 0 ? 0 : 1250}});
        break;
    case Use::Technical:
        set({{P::Technical, 10000}});
        break;
    case Use::Sanitary:
        set({{P::Sanitary, 10000}});
        break;
    case Use::Circulation:
        set({{P::Circulation, variant == 0 ? 10000 : 9000}, {P::Parking, variant == 0 ? 0 : 1000}});
        break;
    }
    return share;
}

void DemoDataWriter::rooms(int count)
{
    m_insertRoom = std::make_unique<SqliteStatement>(
        m_db,
        "INSERT INTO SOLMA.SALLES (C_LOCAL, TSAL_NUMERO, SAL_ETAGE, SAL_PORTE, SAL_CAPACITE, SAL_SUPERFICIE, "
        "SAL_NB_FENETRES, SAL_NB_TABLES, SAL_NB_CHAISES, SAL_NB_BUREAUX, SAL_NB_ARMOIRES, SAL_NO_POSTE, "
        "SAL_TABLEAU, SAL_TABLEAU_BLANC, SAL_TABLEAU_PAPIER, SAL_ECRAN, SAL_RETRO, SAL_TELEVISION, "
        "SAL_OBSCUR, SAL_INSONORISEE, SAL_RESERVABLE, SAL_DESCRIPTIF, SAL_POUR_ADMINISTRATION, "
        "SAL_POUR_DOCUMENTATION, SAL_POUR_ENSEIGNEMENT, SAL_POUR_RECHERCHE, SAL_POUR_TECHNIQUE, "
        "SAL_IDENT_ACCES, SAL_NATURE, SAL_TEM_HANDICAP, SAL_TEM_EN_SERVICE, SAL_CAPA_EXAM) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20, "
        "?21, ?22, ?23, ?24, ?25, ?26, ?27, ?28, ?29, ?30, ?31, ?32)");
    m_insertTav = std::make_unique<SqliteStatement>(
        m_db, "INSERT INTO SALLE_TAV (SAL_NUMERO, TAV_HAUTEUR_MOYEN_PLAFOND, TAV_NOMBRE_PORTES, "
              "TAV_SURFACE_VITREE, "
              "TAV_VIE_SOCIAL, TAV_ACCUEIL, TAV_SANITAIRE, TAV_CIRCULATION, TAV_RESTAURATION, TAV_PARKING, "
              "TAV_SPORTIF) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)");
    m_insertCustodian = std::make_unique<SqliteStatement>(
        m_db, "INSERT INTO SOLMA.DEPOSITAIRE (SAL_NUMERO, C_STRUCTURE) VALUES (?1, ?2)");
    m_insertOutlet = std::make_unique<SqliteStatement>(
        m_db, "INSERT INTO PRISES (SAL_NUMERO, PRI_CODE, PRI_TYPE) VALUES (?1, ?2, ?3)");
    m_insertEquipment =
        std::make_unique<SqliteStatement>(m_db, "INSERT INTO DETAIL_SALLE (SAL_NUMERO, TAV_TYPE, "
                                                "DSA_POURCENTAGE, UNI_ORDRE) VALUES (?1, ?2, ?3, ?4)");
    m_insertOccupation = std::make_unique<SqliteStatement>(
        m_db, "INSERT INTO DETAIL_POURCENTAGE (SAL_NUMERO, DET_TYPE, DET_POURCENTAGE, C_STRUCTURE) "
              "VALUES (?1, ?2, ?3, ?4)");
    m_insertConfiguration = std::make_unique<SqliteStatement>(
        m_db, "INSERT INTO CONFIGURATION (SAL_NUMERO, CONF_LIBELLE, CONF_CAPACITE) VALUES (?1, ?2, ?3)");

    if (m_buildings.isEmpty())
        fail(QStringLiteral("Aucun bâtiment de démonstration n'a pu être créé : leurs noms sont déjà pris."));
    for (int index = 0; index < count; ++index)
        room(index);
    m_summary->rooms = count;
}

void DemoDataWriter::room(int index)
{
    static const char *const Floors[] = {"-1", "RDC", "0", "1", "2", "3", "4", "5"};
    static const int FloorWeights[] = {5, 15, 10, 16, 16, 14, 12, 12};
    static const char *const Natures[] = {"ENSEIGNEMENT", "ADMINISTRATION", "RECHERCHE", "LOGISTIQUE"};

    const BuildingRow &buildingRow = weighted(m_buildings, m_buildingWeight);
    const DemoCatalogue::Building &building = *buildingRow.building;
    const RoomTypeRow &typeRow = weighted(m_roomTypes, m_roomTypeWeight);
    const DemoCatalogue::RoomType &type = *typeRow.type;
    const Use use = type.use;
    const bool teaching = use == Use::Teaching || use == Use::Lecture;
    const bool service = use == Use::Technical || use == Use::Sanitary || use == Use::Circulation;

    // A few rooms that the department does not manage yet (bookable flag not set), half of them without
    // building: the options tab takes them in hand.
    const bool option = index % 40 == 17;
    const bool withoutBuilding = option && index % 80 == 17;

    int floor = 0;
    if (use == Use::Lecture) {
        floor = 1 + below(3); // RDC, 0 or 1
    } else {
        int draw = below(100);
        while (draw >= FloorWeights[floor])
            draw -= FloorWeights[floor++];
    }
    const QString floorText = QString::fromLatin1(Floors[floor]);
    const int level = floor <= 2 ? 0 : floor - 2;
    QString door = QString(QChar(u'A' + below(4)));
    if (floor == 0)
        door = QStringLiteral("S") + QString::number(between(1, 40));
    else
        door += QString::number(level * 100 + between(1, level == 0 ? 40 : 60));
    if (chance(8))
        door += QChar(u'B' + below(2));

    const int capacity = between(type.minimumCapacity, type.maximumCapacity);
    int surface = 0; // hundredths of a square metre
    switch (use) {
    case Use::Lecture:
        surface = capacity * 110 + between(2000, 9000);
        break;
    case Use::Teaching:
        surface = capacity * 180 + between(500, 1500);
        break;
    case Use::Practical:
    case Use::Computing:
        surface = capacity * 280 + between(500, 2000);
        break;
    case Use::Office:
        surface = capacity * 900 + between(0, 600);
        break;
    case Use::Research:
        surface = capacity * 600 + between(1000, 3000);
        break;
    case Use::Meeting:
        surface = capacity * 200 + between(500, 1500);
        break;
    case Use::Library:
        surface = capacity * 300 + between(2000, 8000);
        break;
    default:
        surface = between(400, 4000);
        break;
    }
    const int windows = service ? below(2) : between(0, use == Use::Lecture ? 8 : 5);
    const int tables = teaching || use == Use::Meeting ? capacity / 2
                       : use == Use::Office            ? below(2)
                                                       : below(6);
    const int chairs = service ? 0 : use == Use::Office ? capacity + 1 : capacity;
    const int desks = use == Use::Office ? capacity : teaching ? 1 : below(2);
    const int cupboards = service ? below(2) : between(0, 3);
    const int stations = use == Use::Computing ? capacity : use == Use::Practical ? between(4, 16) : 0;

    auto flag = [](bool yes) { return yes ? "O" : "N"; };
    const char *reservable = option                            ? nullptr
                             : (service || use == Use::Office) ? flag(chance(10))
                                                               : flag(chance(85));
    QString description;
    if (chance(80)) {
        const auto phrases = DemoCatalogue::descriptions();
        const int count = int(phrases.size());
        const int first = below(count);
        description = QString::fromUtf8(phrases[first]);
        if (chance(40)) // a second, different phrase
            description +=
                QLatin1Char(' ') + QString::fromUtf8(phrases[(first + 1 + below(count - 1)) % count]);
    }
    const Percentages share = percentages(use);
    auto percent = [&share](int index) { return Value(decimal(share.value[index])); };
    const char *nature = Natures[use == Use::Office ? 1 : use == Use::Research ? 2 : service ? 3 : 0];

    m_insertRoom->run({withoutBuilding ? Value(nullptr) : Value(building.code),
                       typeRow.key,
                       floorText,
                       door,
                       capacity,
                       decimal(surface),
                       windows,
                       tables,
                       chairs,
                       desks,
                       cupboards,
                       QString::number(stations),
                       QString::number(teaching ? between(0, 2) : 0),
                       QString::number(teaching || use == Use::Meeting ? between(0, 2) : 0),
                       QString::number(use == Use::Meeting ? between(0, 1) : 0),
                       flag(use == Use::Lecture || use == Use::Computing || (teaching && chance(60))),
                       flag(teaching && chance(30)),
                       flag(use == Use::Meeting && chance(40)),
                       flag(use == Use::Lecture || chance(20)),
                       flag((use == Use::Lecture && chance(60)) || chance(10)),
                       reservable,
                       description.isEmpty() ? Value(nullptr) : Value(description),
                       percent(Percentages::Administration),
                       percent(Percentages::Documentation),
                       percent(Percentages::Teaching),
                       percent(Percentages::Research),
                       percent(Percentages::Technical),
                       chance(20) ? Value(QStringLiteral("B%1").arg(between(10000, 99999))) : Value(nullptr),
                       nature,
                       flag(chance(70)),
                       "O",
                       teaching ? Value(capacity / 2) : Value(nullptr)});
    const qint64 room = sqlite3_last_insert_rowid(m_db);
    if (option) {
        ++m_summary->optionRooms;
        return;
    }

    const int ceiling = use == Use::Lecture ? between(450, 800) : between(250, 400);
    m_insertTav->run({room, decimal(ceiling), use == Use::Lecture ? between(2, 6) : between(1, 3),
                      decimal(windows * between(120, 350)), percent(Percentages::SocialLife),
                      percent(Percentages::Reception), percent(Percentages::Sanitary),
                      percent(Percentages::Circulation), percent(Percentages::Catering),
                      percent(Percentages::Parking), percent(Percentages::Sport)});
    // A bookable room has its custodian group (the room form refuses a bookable room without one).
    if (reservable && reservable[0] == 'O')
        m_insertCustodian->run({room, building.custodian});
    if (use == Use::Office && m_offices.size() < 40)
        m_offices.append({room, QString::fromUtf8(building.department)});

    outlets(room, buildingRow.index, index, use, capacity);
    equipmentLines(room, use, capacity);
    occupationLines(room, building, share);
    if (teaching || use == Use::Meeting) {
        if (chance(50))
            m_insertConfiguration->run({room, "Examen", capacity / 2});
        if (chance(30))
            m_insertConfiguration->run({room, "Conférence", capacity});
    }
}

void DemoDataWriter::outlets(qint64 room, int buildingIndex, int index, Use use, int capacity)
{
    static const char *const Kinds[] = {"I", "I", "I", "I", "I", "I", "T", "T", "T", "V"};
    int count = 0;
    switch (use) {
    case Use::Computing:
        count = qMin(capacity + 2, 12);
        break;
    case Use::Office:
    case Use::Meeting:
        count = between(2, 4);
        break;
    case Use::Teaching:
    case Use::Lecture:
    case Use::Research:
        count = between(1, 3);
        break;
    default:
        count = below(3);
        break;
    }
    for (int outlet = 0; outlet < count; ++outlet) {
        const QString code = chance(5) ? QString()
                                       : QStringLiteral("%1%2%3")
                                             .arg(buildingIndex, 2, 10, QLatin1Char('0'))
                                             .arg(index, 6, 10, QLatin1Char('0'))
                                             .arg(outlet, 2, 10, QLatin1Char('0'));
        m_insertOutlet->run({room, code.isEmpty() ? Value(nullptr) : Value(code), Kinds[below(10)]});
        ++m_summary->outlets;
    }
}

void DemoDataWriter::equipmentLines(qint64 room, Use use, int capacity)
{
    const int count = use == Use::Circulation || use == Use::Sanitary ? below(2) : between(0, 4);
    QList<int> chosen;
    for (int line = 0; line < count; ++line) {
        const int pick = below(int(m_equipment.size()));
        if (chosen.contains(pick))
            continue;
        chosen.append(pick);
        const EquipmentRow &row = m_equipment.at(pick);
        const QString unit = QString::fromUtf8(row.equipment->unit);
        const int quantity = unit == QLatin1String("u") ? between(1, qMax(2, capacity)) : between(5, 200);
        m_insertEquipment->run({room, row.type, quantity, row.unit});
        ++m_summary->equipmentLines;
    }
}

// Occupation by department, in whole percentages that add up to at most 100: the building's department
// has most of the room, sometimes shared with the technical department.
void DemoDataWriter::occupationLines(qint64 room, const DemoCatalogue::Building &building,
                                     const Percentages &share)
{
    static const std::pair<Percentages::Index, const char *> Kinds[] = {
        {Percentages::Teaching, "Enseignement"},
        {Percentages::Research, "Recherche"},
        {Percentages::Administration, "Administration"},
        {Percentages::Documentation, "Documentation"},
        {Percentages::Technical, "Technique"}};
    const std::pair<Percentages::Index, const char *> *main = nullptr;
    for (const auto &kind : Kinds) {
        if (!main || share.value[kind.first] > share.value[main->first])
            main = &kind;
    }
    if (share.value[main->first] == 0 || chance(25))
        return;
    const qint64 kind = m_occupationKinds.value(QString::fromUtf8(main->second));
    if (chance(30)) {
        const int first = 10 * between(5, 8);
        m_insertOccupation->run({room, kind, first, building.department});
        m_insertOccupation->run({room, kind, 100 - first - 10 * below(2), "TAV"});
        m_summary->occupationLines += 2;
    } else {
        m_insertOccupation->run({room, kind, 100, building.department});
        ++m_summary->occupationLines;
    }
}

// Some offices are someone's: the persons of the building's department, or anyone.
void DemoDataWriter::offices()
{
    SqliteStatement insert(m_db,
                           "INSERT OR IGNORE INTO SOLMA.REPART_BUREAU (BUR_ORDRE, PERS_ID) VALUES (?1, ?2)");
    int next = 0;
    for (const auto &[room, department] : std::as_const(m_offices)) {
        qint64 person = -1;
        for (const auto &[key, personDepartment] : std::as_const(m_persons)) {
            if (personDepartment == department) {
                person = key;
                break;
            }
        }
        if (person < 0 || chance(30))
            person = m_persons.at(next++ % m_persons.size()).first;
        insert.run({room, person});
    }
}

} // namespace admin
