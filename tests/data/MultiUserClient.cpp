// One client of the multi-user test: for a bounded time it searches rooms, creates rooms with their
// sub-lists, modifies and deletes its own rooms, all through the data bus and the procedures, each call in a
// transaction of its own as the room tab makes them. Now and then it makes a call the server must refuse.
// At the end it writes a report (JSON): the operations done, the errors it caused, the errors it did not
// cause, and the rooms it believes the server holds, with every value and line, for another client to check.
//
//   locavia_multiuser_client --url postgresql://... --index N --seconds S --report FILE

#include "AlertPanel.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "EOSQLQualifier.h"
#include "KORDataBusOC.h"
#include "Resources.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRandomGenerator>

namespace
{

struct Room {
    qint64 number = 0;
    QString building;
    QString floor;
    QString door;
    int capacity = 0;
    QString description;
    QString ceiling;                               // tavhauteurMoyenPlafond
    QString reception;                             // tavaccueil
    QMap<qint64, QPair<qint64, qint64>> equipment; // type -> (quantity, unit)
    QList<QPair<qint64, int>> occupation;          // (kind of use, percentage), department SCI
    QMap<qint64, QPair<QString, QString>> outlets; // key -> (code, kind)
};

class Client
{
public:
    Client(int index, quint32 seed) : m_index(index), m_random(seed) {}

    bool start(const QString &url)
    {
        eo::EOModel &model = eo::EOModelGroup::defaultGroup().addModelWithFile(
            platform::resourcePath(QStringLiteral("models/Locavia.json")));
        QVariantMap dictionary = model.connectionDictionary();
        dictionary.insert(QStringLiteral("URL"), url);
        dictionary.insert(QStringLiteral("username"), QString());
        dictionary.insert(QStringLiteral("password"), QString());
        model.setConnectionDictionary(dictionary);
        m_bus.initDataBusWithModel(model.name(), &m_context);
        platform::setAlertPresenter([this](const QString &, const QString &message, const QString &) {
            m_alerts.append(message);
            return 1;
        });
        try {
            for (const eo::EORecord &type :
                 m_bus.fetchArray(QStringLiteral("TypeMateriel"), QStringLiteral("tavNiveau=2"), {}, {}))
                m_types.append({type->valueForKey(QStringLiteral("tavType")).toLongLong(),
                                type->valueForKey(QStringLiteral("tavUniteOrdre")).toLongLong()});
            for (const eo::EORecord &building :
                 m_bus.fetchArray(QStringLiteral("LocalVix"), eo::EOQualifierPtr(), {}))
                m_buildings.append(building->valueForKey(QStringLiteral("cLocal")).toString());
        } catch (const eo::EOException &error) {
            m_unexpected.append(error.message());
        }
        return !m_types.isEmpty() && !m_buildings.isEmpty();
    }

    void run(int seconds)
    {
        const QDeadlineTimer deadline(qint64(seconds) * 1000);
        while (!deadline.hasExpired()) {
            const int draw = int(m_random.bounded(100));
            try {
                if (draw < 30 || m_rooms.isEmpty())
                    draw < 30 ? search() : create();
                else if (draw < 55)
                    create();
                else if (draw < 85)
                    modify();
                else if (draw < 95)
                    remove();
                else
                    refusal();
            } catch (const eo::EOException &error) {
                m_unexpected.append(error.message());
            }
            // Alerts that no deliberate refusal explains are errors this client did not cause.
            for (const QString &message : std::as_const(m_alerts))
                m_unexpected.append(message);
            m_alerts.clear();
        }
        // The last word: this client's rooms as a search finds them.
        try {
            checkOwnRooms();
        } catch (const eo::EOException &error) {
            m_unexpected.append(error.message());
        }
    }

    QJsonObject report() const
    {
        QJsonObject operations;
        for (auto it = m_operations.constBegin(); it != m_operations.constEnd(); ++it)
            operations.insert(it.key(), it.value());
        QJsonArray rooms;
        for (const Room &room : m_rooms) {
            QJsonArray equipment;
            for (auto it = room.equipment.constBegin(); it != room.equipment.constEnd(); ++it)
                equipment.append(QJsonArray{it.key(), it.value().first, it.value().second});
            QJsonArray occupation;
            for (const auto &[kind, percentage] : room.occupation)
                occupation.append(QJsonArray{kind, percentage});
            QJsonArray outlets;
            for (auto it = room.outlets.constBegin(); it != room.outlets.constEnd(); ++it)
                outlets.append(QJsonArray{it.key(), it.value().first, it.value().second});
            rooms.append(QJsonObject{{"number", room.number},
                                     {"building", room.building},
                                     {"floor", room.floor},
                                     {"door", room.door},
                                     {"capacity", room.capacity},
                                     {"description", room.description},
                                     {"ceiling", room.ceiling},
                                     {"reception", room.reception},
                                     {"equipment", equipment},
                                     {"occupation", occupation},
                                     {"outlets", outlets}});
        }
        return QJsonObject{{"index", m_index},
                           {"operations", operations},
                           {"causedErrors", m_caused},
                           {"unexpectedErrors", QJsonArray::fromStringList(m_unexpected)},
                           {"rooms", rooms}};
    }

private:
    int pick(int bound) { return int(m_random.bounded(bound)); }

    // One call in a transaction of its own; a refusal here is an error this client did not cause.
    bool call(const QString &procedure, const QVariantMap &arguments, QVariantMap *result = nullptr)
    {
        QVariantMap outputs;
        const bool ok = m_bus.executeProcedure(outputs, procedure, arguments);
        if (result)
            *result = outputs;
        return ok;
    }

    QString decimal(int hundredths) const
    {
        return QStringLiteral("%1.%2").arg(hundredths / 100).arg(hundredths % 100, 2, 10, QLatin1Char('0'));
    }

    QVariantMap roomArguments(const Room &room) const
    {
        return {{"salCapacite", room.capacity},
                {"salDescriptif", room.description},
                {"salEcran", "O"},
                {"salEtage", room.floor},
                {"salIdentAcces", ""},
                {"salInsonorisee", "N"},
                {"salNature", "ENSEIGNEMENT"},
                {"salNbArmoires", 1},
                {"salNbBureaux", 1},
                {"salNbChaises", room.capacity},
                {"salNbFenetres", 2},
                {"salNbTables", room.capacity / 2},
                {"salNoPoste", "0"},
                {"salObscur", "N"},
                {"salPorte", room.door},
                {"salPourAdministration", ""},
                {"salPourDocumentation", ""},
                {"salPourEnseignement", 100},
                {"salPourRecherche", ""},
                {"salPourTechnique", ""},
                {"salReservable", "N"},
                {"salRetro", "N"},
                {"salSuperficie", "42.50"},
                {"salTableau", "1"},
                {"salTableauBlanc", "1"},
                {"salTableauPapier", "0"},
                {"salTelevision", "N"},
                {"tsalNumero", 1}};
    }

    QVariantMap complement(const Room &room) const
    {
        return {{"salnumero", room.number},
                {"tavhauteurMoyenPlafond", room.ceiling},
                {"tavnombrePortes", 1},
                {"tavsurfaceVitree", "3.50"},
                {"tavaccueil", room.reception},
                {"tavcirculation", ""},
                {"tavrestauration", ""},
                {"tavparking", ""},
                {"tavvieSocial", ""},
                {"tavsportif", ""},
                {"tavsanitaire", ""}};
    }

    void fillLines(Room &room)
    {
        room.equipment.clear();
        room.occupation.clear();
        for (int i = 0, n = 1 + pick(4); i < n; ++i) {
            const auto &[type, unit] = m_types.at(pick(int(m_types.size())));
            room.equipment.insert(type, {1 + pick(50), unit});
        }
        for (int i = 0, n = 1 + pick(3); i < n; ++i)
            room.occupation.append({1 + pick(2), 10 * pick(11)});
    }

    void writeLines(Room &room)
    {
        for (auto it = room.equipment.constBegin(); it != room.equipment.constEnd(); ++it)
            call(QStringLiteral("insDetailSalle"), {{"dsapourcentage", it.value().first},
                                                    {"salnumero", room.number},
                                                    {"tavtype", it.key()},
                                                    {"uniordre", it.value().second}});
        for (const auto &[kind, percentage] : std::as_const(room.occupation))
            call(QStringLiteral("insDetailPourcentage"), {{"detpourcentage", percentage},
                                                          {"dettype", kind},
                                                          {"salnumero", room.number},
                                                          {"cstructure", "SCI"}});
    }

    void addOutlet(Room &room)
    {
        const QString code = QString::number(100000 + pick(900000));
        const QString kind = QStringLiteral("ITV").mid(pick(3), 1);
        QVariantMap result;
        if (call(QStringLiteral("insPrises"),
                 {{"pricode", code}, {"pritype", kind}, {"salnumero", room.number}}, &result))
            room.outlets.insert(result.value(QStringLiteral("priOrdre")).toLongLong(), {code, kind});
    }

    void search()
    {
        ++m_operations[QStringLiteral("search")];
        const QList<eo::EOSortOrdering> sort{
            {QStringLiteral("appellation"), eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending},
            {QStringLiteral("salPorte"), eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending}};
        if (pick(2) == 0) {
            m_bus.fetchArray(QStringLiteral("SallesVix"), QStringLiteral("cLocal=%@"),
                             {m_buildings.at(pick(int(m_buildings.size())))}, sort);
        } else {
            const auto raw = std::make_shared<eo::EOSQLQualifier>(
                QStringLiteral("SallesVix"),
                QStringLiteral("SAL_CAPACITE %s %@ and UPPER(SAL_DESCRIPTIF) like '%%%@%%'"),
                QVariantList{QStringLiteral(">"), pick(40), QStringLiteral("SALLE")});
            m_bus.fetchArray(QStringLiteral("SallesVix"), raw, sort);
        }
    }

    void create()
    {
        ++m_operations[QStringLiteral("create")];
        Room room;
        room.building = m_buildings.at(pick(int(m_buildings.size())));
        room.floor = QString::number(pick(5));
        room.door = QStringLiteral("C%1-%2").arg(m_index).arg(++m_created);
        room.capacity = 10 + pick(90);
        room.description = QStringLiteral("Salle d'essai n°%1 du client %2").arg(m_created).arg(m_index);
        room.ceiling = decimal(250 + pick(200));
        room.reception = QString::number(pick(101));
        QVariantMap arguments = roomArguments(room);
        arguments.insert(QStringLiteral("insCLocal"), room.building);
        arguments.insert(QStringLiteral("insCStructure"), QString());
        QVariantMap result;
        if (!call(QStringLiteral("insSalle"), arguments, &result))
            return;
        room.number = result.value(QStringLiteral("salNumero")).toLongLong();
        call(QStringLiteral("insSalleTav"), complement(room));
        fillLines(room);
        writeLines(room);
        for (int i = 0, n = 1 + pick(4); i < n; ++i)
            addOutlet(room);
        m_rooms.insert(room.number, room);
    }

    void modify()
    {
        ++m_operations[QStringLiteral("modify")];
        Room &room = m_rooms[m_rooms.keys().at(pick(int(m_rooms.size())))];
        room.capacity = 10 + pick(90);
        room.floor = QString::number(pick(5));
        room.description = QStringLiteral("Salle d'essai modifiée %1 fois").arg(++m_modified);
        room.ceiling = decimal(250 + pick(200));
        room.reception = QString::number(pick(101));
        QVariantMap arguments = roomArguments(room);
        arguments.insert(QStringLiteral("salNumero"), room.number);
        arguments.insert(QStringLiteral("clocal"), room.building);
        arguments.insert(QStringLiteral("grpOrdre"), QString());
        call(QStringLiteral("majSalles"), arguments);
        call(QStringLiteral("updSalleTav"), complement(room));
        // The lines of a modified room are replaced as a whole; the outlets one by one.
        call(QStringLiteral("delDetailSalle"), {{"salnumero", room.number}});
        call(QStringLiteral("delDetailPourcentage"), {{"salnumero", room.number}});
        fillLines(room);
        writeLines(room);
        if (!room.outlets.isEmpty()) {
            const qint64 changed = room.outlets.keys().at(pick(int(room.outlets.size())));
            const QString code = QString::number(100000 + pick(900000));
            if (call(
                    QStringLiteral("updPrises"),
                    {{"priordre", changed}, {"pricode", code}, {"pritype", "V"}, {"salnumero", room.number}}))
                room.outlets[changed] = {code, QStringLiteral("V")};
            const qint64 removed = room.outlets.keys().at(pick(int(room.outlets.size())));
            if (call(QStringLiteral("delPrises"), {{"priordre", removed}}))
                room.outlets.remove(removed);
        }
        addOutlet(room);
    }

    void remove()
    {
        ++m_operations[QStringLiteral("delete")];
        const qint64 number = m_rooms.keys().at(pick(int(m_rooms.size())));
        if (call(QStringLiteral("delSalles"), {{"salnumero", number}}))
            m_rooms.remove(number);
    }

    // A call the server must refuse, with its own message: the one error this client causes.
    void refusal()
    {
        ++m_operations[QStringLiteral("refusal")];
        const qint64 number = m_rooms.keys().at(pick(int(m_rooms.size())));
        if (call(QStringLiteral("insPrises"), {{"pricode", "1"}, {"pritype", "X"}, {"salnumero", number}})) {
            m_unexpected.append(QStringLiteral("une prise de type X a été acceptée"));
            return;
        }
        if (m_alerts.size() == 1 &&
            m_alerts.first() == QStringLiteral("Le type de prise « X » doit être I, T ou V.")) {
            ++m_caused;
            m_alerts.clear();
        }
    }

    void checkOwnRooms()
    {
        const auto found = m_bus.fetchArray(QStringLiteral("SallesVix"), QStringLiteral("salPorte like %@"),
                                            {QStringLiteral("C%1-*").arg(m_index)}, {});
        QSet<qint64> numbers;
        for (const eo::EORecord &room : found)
            numbers.insert(room->valueForKey(QStringLiteral("salNumero")).toLongLong());
        const QList<qint64> mine = m_rooms.keys();
        if (numbers != QSet<qint64>(mine.begin(), mine.end()))
            m_unexpected.append(QStringLiteral("la recherche de mes salles trouve %1 salles au lieu de %2")
                                    .arg(numbers.size())
                                    .arg(m_rooms.size()));
    }

    int m_index;
    QRandomGenerator m_random;
    eo::EOEditingContext m_context{eo::EOModelGroup::defaultGroup()};
    data::KORDataBusOC m_bus;
    QList<QPair<qint64, qint64>> m_types; // equipment type, its unit
    QStringList m_buildings;
    QMap<qint64, Room> m_rooms;
    QMap<QString, int> m_operations;
    QStringList m_alerts;
    QStringList m_unexpected;
    int m_caused = 0;
    int m_created = 0;
    int m_modified = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({{"url", "base du serveur", "url"},
                       {"index", "numéro du client", "index"},
                       {"seconds", "durée", "seconds"},
                       {"report", "fichier du rapport", "file"}});
    parser.process(application);
    const int index = parser.value("index").toInt();

    Client client(index, 1000 + quint32(index));
    if (client.start(parser.value("url")))
        client.run(parser.value("seconds").toInt());
    QFile report(parser.value("report"));
    if (!report.open(QIODevice::WriteOnly))
        return 2;
    report.write(QJsonDocument(client.report()).toJson());
    return 0;
}
