// How the models' connection dictionaries are completed from the directory service: who is asked, which
// keys come from the service, which stored keys stay, and models that are never touched.

#include "EOModelGroup.h"
#include "EONull.h"
#include "KORConnectionDictionaries.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using framework::KORConnectionDictionaries;
using Answers = QMap<QString, QVariant>;
using Configuration = QMap<QString, QString>;

namespace
{

const QMap<QString, QString> configured{
    {QStringLiteral("APP_ID"), QStringLiteral("APP")},
    {QStringLiteral("APP_ALIAS"), QStringLiteral("ALIAS")},
    {QStringLiteral("MIRL_URL"), QStringLiteral("https://mirl.test/api")}};

// A directory service that answers from a table and remembers who asked what.
struct FakeService {
    Answers answers;
    QStringList asked;
    QList<QVariant> aliases;
    QStringList urls;

    KORConnectionDictionaries::ConnectionInfoSource source()
    {
        return [this](const QString &url, const QString &modelId, const QVariant &alias) {
            urls << url;
            asked << modelId;
            aliases << alias;
            return answers.value(modelId);
        };
    }
};

std::unique_ptr<eo::EOModel> model(const QString &name, const QVariantMap &connection,
                                   const QVariantMap &userInfo)
{
    QJsonObject root{{QStringLiteral("name"), name},
                     {QStringLiteral("connectionDictionary"), QJsonObject::fromVariantMap(connection)},
                     {QStringLiteral("entities"), QJsonArray()}};
    if (!userInfo.isEmpty())
        root.insert(QStringLiteral("userInfo"), QJsonObject::fromVariantMap(userInfo));
    return eo::EOModel::modelWithJson(QJsonDocument(root).toJson(), name);
}

const QVariantMap fromApp{
    {"username", "app_user"}, {"password", "app_pw"}, {"serverId", "app-srv"}, {"URL", "app-url"}};

} // namespace

class TestKORConnectionDictionaries : public QObject
{
    Q_OBJECT

private slots:
    void completesAModel_data();
    void completesAModel();
    void asksTheServiceForAnIdentifier_data();
    void asksTheServiceForAnIdentifier();
    void completesEveryModelInOrder();
    void mergesDictionaries();
};

void TestKORConnectionDictionaries::completesAModel_data()
{
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<QVariantMap>("userInfo");
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QVariantMap>("expected");
    QTest::addColumn<QStringList>("asked");

    const QVariantMap fromModel{{"username", "own_user"}, {"userName", "Own"}, {"password", "own_pw"},
                                {"serverId", "own-srv"},  {"URL", "own-url"},  {"junk", "not copied"}};
    const Answers both{{"APP", fromApp}, {"M1", fromModel}};

    QTest::newRow("a userName is never changed, and nobody is asked")
        << QVariantMap{{"userName", "scott"}, {"password", "tiger"}, {"modelId", "M1"}}
        << QVariantMap{{"modelId", "M1"}} << both
        << QVariantMap{{"userName", "scott"}, {"password", "tiger"}, {"modelId", "M1"}} << QStringList{};
    QTest::newRow("nor is a username")
        << QVariantMap{{"username", "scott"}, {"URL", "mine"}} << QVariantMap{} << both
        << QVariantMap{{"username", "scott"}, {"URL", "mine"}} << QStringList{};
    QTest::newRow("a user name that reads as empty is none")
        << QVariantMap{{"userName", "<null>"}, {"username", ""}, {"URL", "old"}} << QVariantMap{} << both
        << QVariantMap{{"userName", "<null>"},
                       {"username", "app_user"},
                       {"password", "app_pw"},
                       {"serverId", "app-srv"},
                       {"URL", "app-url"}}
        << QStringList{"APP"};
    QTest::newRow("no model information: the application's connection")
        << QVariantMap{{"modelId", "M1"}, {"URL", "old"}, {"kept", "yes"}} << QVariantMap{} << both
        << QVariantMap{{"modelId", "M1"},      {"kept", "yes"},         {"username", "app_user"},
                       {"password", "app_pw"}, {"serverId", "app-srv"}, {"URL", "app-url"}}
        << QStringList{"APP"};
    QTest::newRow("empty modelId stored: the application's, not the model's own")
        << QVariantMap{{"modelId", ""}, {"URL", "old"}} << QVariantMap{{"modelId", "M1"}} << both
        << QVariantMap{{"modelId", ""},
                       {"username", "app_user"},
                       {"password", "app_pw"},
                       {"serverId", "app-srv"},
                       {"URL", "app-url"}}
        << QStringList{"APP"};
    QTest::newRow("no modelId stored: the application's")
        << QVariantMap{{"URL", "old"}} << QVariantMap{{"modelId", "M1"}} << both
        << QVariantMap{{"username", "app_user"},
                       {"password", "app_pw"},
                       {"serverId", "app-srv"},
                       {"URL", "app-url"}}
        << QStringList{"APP"};
    QTest::newRow("the model's own answer: service keys win, other stored keys stay")
        << QVariantMap{{"modelId", "M1"}, {"URL", "old"}, {"password", "old"}, {"timeout", "30"}}
        << QVariantMap{{"modelId", "M1"}} << both
        << QVariantMap{{"modelId", "M1"},   {"timeout", "30"},      {"username", "own_user"},
                       {"userName", "Own"}, {"password", "own_pw"}, {"serverId", "own-srv"},
                       {"URL", "own-url"}}
        << QStringList{"M1"};
    QTest::newRow("the identifier asked is the model information's")
        << QVariantMap{{"modelId", "STORED"}} << QVariantMap{{"modelId", "M1"}} << both
        << QVariantMap{{"modelId", "STORED"},  {"username", "own_user"}, {"userName", "Own"},
                       {"password", "own_pw"}, {"serverId", "own-srv"},  {"URL", "own-url"}}
        << QStringList{"M1"};
    QTest::newRow("a partial answer replaces only what it sends")
        << QVariantMap{{"modelId", "M1"}, {"URL", "old"}, {"password", "old"}}
        << QVariantMap{{"modelId", "M1"}} << Answers{{"M1", QVariantMap{{"password", "new"}}}}
        << QVariantMap{{"modelId", "M1"}, {"URL", "old"}, {"password", "new"}} << QStringList{"M1"};
    QTest::newRow("no answer for the model: the application's")
        << QVariantMap{{"modelId", "M1"}, {"URL", "old"}} << QVariantMap{{"modelId", "M1"}}
        << Answers{{"M1", eo::eoNull()}, {"APP", fromApp}}
        << QVariantMap{{"modelId", "M1"},
                       {"username", "app_user"},
                       {"password", "app_pw"},
                       {"serverId", "app-srv"},
                       {"URL", "app-url"}}
        << QStringList{"M1", "APP"};
    QTest::newRow("no answer at all: the stored entries stay")
        << QVariantMap{{"modelId", "M1"}, {"URL", "old"}} << QVariantMap{{"modelId", "M1"}} << Answers{}
        << QVariantMap{{"modelId", "M1"}, {"URL", "old"}} << QStringList{"M1", "APP"};
    QTest::newRow("an answer that is not a dictionary is none")
        << QVariantMap{{"URL", "old"}} << QVariantMap{} << Answers{{"APP", QStringLiteral("erreur 500")}}
        << QVariantMap{{"URL", "old"}} << QStringList{"APP"};
}

void TestKORConnectionDictionaries::completesAModel()
{
    QFETCH(QVariantMap, stored);
    QFETCH(QVariantMap, userInfo);
    QFETCH(Answers, answers);
    QFETCH(QVariantMap, expected);
    QFETCH(QStringList, asked);

    FakeService service{answers, {}, {}, {}};
    const KORConnectionDictionaries dictionaries(configured, service.source());
    const auto subject = model(QStringLiteral("M"), stored, userInfo);

    dictionaries.resetModel(*subject);

    QCOMPARE(subject->connectionDictionary(), expected);
    QCOMPARE(service.asked, asked);
    for (const QString &url : std::as_const(service.urls))
        QCOMPARE(url, QStringLiteral("https://mirl.test/api"));
    for (const QVariant &alias : std::as_const(service.aliases))
        QCOMPARE(alias, QVariant(QStringLiteral("ALIAS")));
}

void TestKORConnectionDictionaries::asksTheServiceForAnIdentifier_data()
{
    QTest::addColumn<Configuration>("configuration");
    QTest::addColumn<QString>("modelId");
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<QVariantMap>("expected");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QVariant>("alias");

    const QVariantMap everything{{"username", "u"}, {"userName", "U"}, {"password", "p"}, {"serverId", "s"},
                                 {"URL", "l"},      {"errno", 0},      {"modelId", "X"}};
    const QVariantMap kept{
        {"username", "u"}, {"userName", "U"}, {"password", "p"}, {"serverId", "s"}, {"URL", "l"}};
    QMap<QString, QString> withoutUrl = configured;
    withoutUrl.insert(QStringLiteral("MIRL_URL"), QString());
    QMap<QString, QString> withoutAlias = configured;
    withoutAlias.remove(QStringLiteral("APP_ALIAS"));
    QVariantHash hash;
    for (auto it = everything.constBegin(); it != everything.constEnd(); ++it)
        hash.insert(it.key(), it.value());

    QTest::newRow("only the five connection keys")
        << configured << QStringLiteral("M1") << QVariant(everything) << kept << true
        << QVariant(QStringLiteral("ALIAS"));
    QTest::newRow("a hash answer") << configured << QStringLiteral("M1") << QVariant(hash) << kept << true
                                   << QVariant(QStringLiteral("ALIAS"));
    QTest::newRow("empty identifier")
        << configured << QString() << QVariant(everything) << QVariantMap{} << false << QVariant();
    QTest::newRow("identifier that reads as empty")
        << configured << QStringLiteral("*nil*") << QVariant(everything) << QVariantMap{} << false
        << QVariant();
    QTest::newRow("no service address")
        << withoutUrl << QStringLiteral("M1") << QVariant(everything) << QVariantMap{} << false << QVariant();
    QTest::newRow("no configuration") << QMap<QString, QString>{} << QStringLiteral("M1")
                                      << QVariant(everything) << QVariantMap{} << false << QVariant();
    QTest::newRow("no alias configured: sent as none")
        << withoutAlias << QStringLiteral("M1") << QVariant(everything) << kept << true << QVariant();
    QTest::newRow("null marker answer") << configured << QStringLiteral("M1") << eo::eoNull() << QVariantMap{}
                                        << true << QVariant(QStringLiteral("ALIAS"));
}

void TestKORConnectionDictionaries::asksTheServiceForAnIdentifier()
{
    QFETCH(Configuration, configuration);
    QFETCH(QString, modelId);
    QFETCH(QVariant, answer);
    QFETCH(QVariantMap, expected);
    QFETCH(bool, asked);
    QFETCH(QVariant, alias);

    FakeService service{{{modelId, answer}}, {}, {}, {}};
    const KORConnectionDictionaries dictionaries(configuration, service.source());
    QCOMPARE(dictionaries.connectionDictionaryForID(modelId), expected);
    QCOMPARE(service.asked.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(service.asked.first(), modelId);
        QCOMPARE(service.aliases.first().isValid(), alias.isValid());
        QCOMPARE(service.aliases.first(), alias);
    }
}

void TestKORConnectionDictionaries::completesEveryModelInOrder()
{
    eo::EOModelGroup group;
    group.addModel(model(QStringLiteral("First"), {{"modelId", "F"}, {"URL", "f"}}, {{"modelId", "F"}}));
    group.addModel(model(QStringLiteral("Second"), {{"userName", "fixed"}}, {{"modelId", "S"}}));
    group.addModel(model(QStringLiteral("Third"), {{"URL", "t"}}, {}));

    FakeService service{{{"F", QVariantMap{{"serverId", "f-srv"}}}, {"APP", fromApp}}, {}, {}, {}};
    KORConnectionDictionaries(configured, service.source()).resetAllModels(group);

    QCOMPARE(service.asked, (QStringList{"F", "APP"}));
    QCOMPARE(group.modelNamed(QStringLiteral("First"))->connectionDictionary(),
             (QVariantMap{{"modelId", "F"}, {"URL", "f"}, {"serverId", "f-srv"}}));
    QCOMPARE(group.modelNamed(QStringLiteral("Second"))->connectionDictionary(),
             (QVariantMap{{"userName", "fixed"}}));
    QCOMPARE(group.modelNamed(QStringLiteral("Third"))->connectionDictionary(), fromApp);
}

void TestKORConnectionDictionaries::mergesDictionaries()
{
    const QVariantMap a{{"k", "a"}, {"onlyA", 1}};
    const QVariantMap b{{"k", "b"}, {"onlyB", 2}};
    QCOMPARE(KORConnectionDictionaries::resetDictionary(a, b),
             (QVariantMap{{"k", "b"}, {"onlyA", 1}, {"onlyB", 2}}));
    QCOMPARE(KORConnectionDictionaries::resetDictionary(b, a),
             (QVariantMap{{"k", "a"}, {"onlyA", 1}, {"onlyB", 2}}));
    QCOMPARE(KORConnectionDictionaries::resetDictionary({}, b), b);
    QCOMPARE(KORConnectionDictionaries::resetDictionary(a, {}), a);

    QVariantMap target{{"kept", "x"}};
    KORConnectionDictionaries::addKey(QStringLiteral("login"), {{"login", "jd"}}, QStringLiteral("userName"),
                                      target);
    KORConnectionDictionaries::addKey(QStringLiteral("absent"), {{"login", "jd"}}, QStringLiteral("kept"),
                                      target);
    KORConnectionDictionaries::addKey(QStringLiteral("empty"), {{"empty", ""}}, QStringLiteral("password"),
                                      target);
    QCOMPARE(target, (QVariantMap{{"kept", "x"}, {"userName", "jd"}, {"password", ""}}));
}

QTEST_GUILESS_MAIN(TestKORConnectionDictionaries)
#include "tst_KORConnectionDictionaries.moc"
