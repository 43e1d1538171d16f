// One user of the test of two saves at once on the server: a room tab of its own (offscreen) shows the room
// by its door, begins its modification and types one change, says "pret", waits for a line on its input,
// saves, answers "Annuler" should the save find the room changed, and writes what happened as one JSON line.
//
//   locavia_room_conflict_client --url postgresql://... --login L --porte A12 (--etage E | --quantite Q)
//                                [--pause MS]
//
// --pause makes the save wait that long after its first transaction, as a slow network would, so that the
// other user's save can fall between this save's transactions.

#include "AlertPanel.h"
#include "Creation.h"
#include "EOEditingContext.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "KORDataBusOC.h"
#include "Resources.h"
#include "RoomDisplayGroups.h"
#include "SaveTransaction.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <iostream>
#include <string>

namespace
{

template <class Widget> Widget *controle(rooms::Creation &creation, const char *nom)
{
    for (QWidget *vue : {creation.afficheVue(), creation.afficheBoutons()}) {
        if (auto *w = vue->findChild<Widget *>(QString::fromLatin1(nom)))
            return w;
    }
    throw eo::EOException(eo::EOException::Kind::Model, QStringLiteral("pas de contrôle %1").arg(nom));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({{"url", "base du serveur", "url"},
                       {"login", "utilisateur", "login"},
                       {"porte", "porte de la salle", "porte"},
                       {"etage", "nouvel étage", "etage"},
                       {"quantite", "nouvelle quantité de la première ligne de matériel", "quantite"},
                       {"pause", "attente après la première transaction (ms)", "ms"}});
    parser.process(application);

    QJsonObject rapport;
    QJsonArray alertes;
    bool conflit = false;
    platform::setAlertPresenter([&alertes](const QString &, const QString &message, const QString &) {
        alertes.append(message);
        return 1;
    });
    platform::setChoicePresenter(
        [&conflit](const QString &, const QString &, const QStringList &, int annuler) {
            conflit = true;
            return annuler;
        });
    try {
        eo::EOModel &model = eo::EOModelGroup::defaultGroup().addModelWithFile(
            platform::resourcePath(QStringLiteral("models/Locavia.json")));
        QVariantMap dictionary = model.connectionDictionary();
        dictionary.insert(QStringLiteral("URL"), parser.value("url"));
        dictionary.insert(QStringLiteral("username"), QString());
        dictionary.insert(QStringLiteral("password"), QString());
        model.setConnectionDictionary(dictionary);
        eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
        data::KORDataBusOC bus;
        bus.initDataBusWithModel(model.name(), &context);
        bus.setSessionLogin(parser.value("login"));

        rooms::Creation creation(bus);
        creation.initObjet();
        auto *recherche = controle<QPushButton>(creation, "boutonRecherche");
        recherche->click();
        controle<QLineEdit>(creation, "localisationPorte")->setText(parser.value("porte"));
        recherche->click();
        controle<QPushButton>(creation, "boutonModifier")->click();
        if (parser.isSet("etage"))
            controle<QLineEdit>(creation, "localisationEtage")->setText(parser.value("etage"));
        if (parser.isSet("quantite")) {
            creation.tables().tableDetailSalle.displayedObjects().value(0)->takeValueForKey(
                parser.value("quantite").toLongLong(), QStringLiteral("dsaPourcentage"));
        }
        const unsigned long pause = parser.value("pause").toULong();
        // The pause comes once the room is held and checked, as the save's writes are about to go: the
        // other save waits for this one meanwhile.
        data::SaveTransaction::setJournal([pause](const QString &evenement) {
            if (evenement == u"majSalles")
                QThread::msleep(pause);
        });
        std::cout << "pret" << std::endl;
        std::string go;
        std::getline(std::cin, go);
        controle<QPushButton>(creation, "boutonCreer")->click();
        rapport.insert("etat", int(creation.etat()));
    } catch (const eo::EOException &erreur) {
        alertes.append(erreur.message());
    }
    rapport.insert("conflit", conflit);
    rapport.insert("alertes", alertes);
    std::cout << QJsonDocument(rapport).toJson(QJsonDocument::Compact).toStdString() << std::endl;
    return 0;
}
