#pragma once

// A small room inventory for the room tab's tests, and helpers to reach the tab's controls by name.

#include "Creation.h"
#include "EONull.h"
#include "RoomDisplayGroups.h"
#include "TestDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace roomstest
{

// Rooms by door; the comments give what the search tests rely on.
struct Salles {
    qint64 a12 = 0;    // SCIENCES 1 A12
    qint64 a12b = 0;   // SCIENCES 1 A12B, not bookable (N)
    qint64 xa12 = 0;   // SCIENCES BIS 2 XA12
    qint64 b1 = 0;     // Archives 10 B1, bookable flag null: never found
    qint64 z9 = 0;     // Archives 0 Z9
    qint64 cStar1 = 0; // Droit 1 C*1
    qint64 c21 = 0;    // Droit 1 C21
    qint64 d1 = 0;     // Droit 10 D1
    qint64 l1 = 0;     // LABO_2 0 L1
    qint64 l2 = 0;     // LABOX2 0 L2
};

// Every bookable room in building, floor and door order.
inline QStringList toutesLesPortes()
{
    return {"Z9", "C*1", "C21", "D1", "L1", "L2", "A12", "A12B", "XA12"};
}

inline QVariantMap salle(std::initializer_list<std::pair<const char *, QVariant>> valeurs)
{
    // Plain values every room shares unless it says otherwise.
    QVariantMap arguments{
        {"salCapacite", 20},         {"salSuperficie", 35.5},    {"salNbFenetres", 2},
        {"salTableau", "1"},         {"salTableauBlanc", "0"},   {"salNoPoste", "0"},
        {"salTableauPapier", "0"},   {"salEcran", "N"},          {"salRetro", "N"},
        {"salTelevision", "N"},      {"salObscur", "N"},         {"salInsonorisee", "N"},
        {"salReservable", "O"},      {"salDescriptif", "Salle"}, {"tsalNumero", 1},
        {"salPourEnseignement", 80}, {"salNbChaises", 20},       {"salNbTables", 10},
        {"salNbBureaux", 1},         {"salNbArmoires", 1},
    };
    for (const auto &[cle, valeur] : valeurs)
        arguments.insert(QString::fromLatin1(cle), valeur);
    return arguments;
}

inline Salles peupler(TestDatabase &db)
{
    for (const auto &[code, nom] :
         {std::pair{"SCI", "SCIENCES"}, std::pair{"SCB", "SCIENCES BIS"}, std::pair{"ARC", "Archives"},
          std::pair{"DRT", "Droit"}, std::pair{"LB1", "LABO_2"}, std::pair{"LB2", "LABOX2"}}) {
        if (db.addBuilding(QString::fromLatin1(code), QString::fromUtf8(nom)).isEmpty())
            qFatal("building %s refused", code);
    }
    Salles s;
    s.a12 = db.addRoom("SCI", "1", "A12",
                       salle({{"salCapacite", 30},
                              {"salSuperficie", 40.5},
                              {"salNbFenetres", 3},
                              {"salTableau", "2"},
                              {"salTableauBlanc", "1"},
                              {"salNoPoste", "10"},
                              {"salEcran", "O"},
                              {"salObscur", "O"},
                              {"salDescriptif", "Salle 50% informatique"},
                              {"salPourEnseignement", 100},
                              {"salNbChaises", 30},
                              {"salNbTables", 15},
                              {"salNbArmoires", 2}}));
    s.a12b = db.addRoom("SCI", "1", "A12B",
                        salle({{"salSuperficie", 25},
                               {"salNbFenetres", 1},
                               {"salNoPoste", "2"},
                               {"salTableauPapier", "1"},
                               {"salRetro", "O"},
                               {"salTelevision", "O"},
                               {"salInsonorisee", "O"},
                               {"salReservable", "N"},
                               {"salDescriptif", "Bureau d'O'Brien"},
                               {"tsalNumero", 2},
                               {"salPourEnseignement", 50},
                               {"salNbChaises", 4},
                               {"salNbTables", 2},
                               {"salNbBureaux", 2},
                               {"salNbArmoires", 3}}));
    s.xa12 = db.addRoom("SCB", "2", "XA12",
                        salle({{"salCapacite", 100},
                               {"salSuperficie", 120.25},
                               {"salNbFenetres", 8},
                               {"salTableau", "10"},
                               {"salTableauBlanc", "3"},
                               {"salTableauPapier", "2"},
                               {"salEcran", "O"},
                               {"salRetro", "O"},
                               {"salObscur", "O"},
                               {"salInsonorisee", "O"},
                               {"salDescriptif", "amphi_1"},
                               {"tsalNumero", 3},
                               {"salNbChaises", 100},
                               {"salNbTables", 50},
                               {"salNbArmoires", 0}}));
    s.b1 = db.addRoom("ARC", "10", "B1", salle({{"salReservable", eo::eoNull()}, {"salEcran", "O"}}));
    s.z9 = db.addRoom("ARC", "0", "Z9", salle({{"salDescriptif", "amphiA1"}}));
    s.cStar1 = db.addRoom("DRT", "1", "C*1", salle({}));
    s.c21 = db.addRoom("DRT", "1", "C21", salle({}));
    s.d1 = db.addRoom("DRT", "10", "D1", salle({{"salDescriptif", "50 places"}}));
    s.l1 = db.addRoom("LB1", "0", "L1", salle({}));
    s.l2 = db.addRoom("LB2", "0", "L2", salle({}));
    for (qint64 numero : {s.a12, s.a12b, s.xa12, s.b1, s.z9, s.cStar1, s.c21, s.d1, s.l1, s.l2}) {
        if (numero <= 0)
            qFatal("room refused: %s", qPrintable(db.takeAlerts().value(0).message));
    }
    // The department's own percentages, for the criteria on the second table.
    db.exec(QStringLiteral("INSERT INTO SALLE_TAV (SAL_NUMERO, TAV_SPORTIF, TAV_HAUTEUR_MOYEN_PLAFOND, "
                           "TAV_NOMBRE_PORTES, TAV_SURFACE_VITREE) VALUES (%1, 20, 3.2, 2, 4.75), (%2, 80, "
                           "NULL, NULL, NULL)")
                .arg(s.a12)
                .arg(s.xa12));
    return s;
}

// Units, equipment families (Mobilier 1, Réseau 4, Vide 6 without types) and their types (Chaise 2 and
// Table 3 of Mobilier, Câble 5 of Réseau).
inline void materielDeReference(TestDatabase &db)
{
    db.exec(QStringLiteral(
        "INSERT INTO UNITE (UNI_ORDRE, UNI_ABREV, UNI_LIBELLE) VALUES (1, 'u', 'unité'), (2, 'm', 'mètre');"
        "INSERT INTO TYPE_MATERIEL (TAV_TYPE, TAV_LIBELLE, TAV_NIVEAU) VALUES (1, 'Mobilier', 1), "
        "(4, 'Réseau', 1), (6, 'Vide', 1);"
        "INSERT INTO TYPE_MATERIEL (TAV_TYPE, TAV_LIBELLE, TAV_NIVEAU, TAV_PERE, TAV_UNITE_ORDRE) "
        "VALUES (2, 'Chaise', 2, 1, 1), (3, 'Table', 2, 1, 1), (5, 'Câble', 2, 4, 2);"));
}

inline QStringList portes(const QList<eo::EORecord> &salles)
{
    QStringList liste;
    for (const eo::EORecord &s : salles)
        liste.append(s->valueForKey(QStringLiteral("salPorte")).toString());
    return liste;
}

template <class Widget> Widget *controle(rooms::Creation &creation, const QString &nom)
{
    for (QWidget *vue : {creation.afficheVue(), creation.afficheBoutons(), creation.listeSalles()}) {
        if (vue->objectName() == nom)
            if (auto *w = qobject_cast<Widget *>(vue))
                return w;
        if (auto *w = vue->findChild<Widget *>(nom))
            return w;
    }
    qFatal("no control %s", qPrintable(nom));
}

inline QLineEdit *champ(rooms::Creation &c, const QString &nom)
{
    return controle<QLineEdit>(c, nom);
}
inline QPushButton *bouton(rooms::Creation &c, const QString &nom)
{
    return controle<QPushButton>(c, nom);
}

// Puts a criterion into the form the way the user would: a text, a pop-up title or a checked box.
inline void saisir(rooms::Creation &c, const QString &nom, const QVariant &valeur)
{
    QWidget *w = controle<QWidget>(c, nom);
    if (auto *ligne = qobject_cast<QLineEdit *>(w)) {
        ligne->setText(valeur.toString());
    } else if (auto *popUp = qobject_cast<QComboBox *>(w)) {
        const int index = popUp->findText(valeur.toString());
        if (index < 0)
            qFatal("%s has no item %s", qPrintable(nom), qPrintable(valeur.toString()));
        popUp->setCurrentIndex(index);
    } else if (auto *caseACocher = qobject_cast<QCheckBox *>(w)) {
        caseACocher->setChecked(valeur.toBool());
    } else if (auto *texte = qobject_cast<QPlainTextEdit *>(w)) {
        texte->setPlainText(valeur.toString());
    }
}

// Clicks a control as the user does: through its window, where Qt decides which widget takes the focus.
inline void cliquer(QWidget *controle)
{
    QWidget *fenetre = controle->window();
    QTest::mouseClick(fenetre->windowHandle(), Qt::LeftButton, {},
                      controle->mapTo(fenetre, controle->rect().center()));
}

// Shows a stored room in the form as the result list would, whatever its bookable flag.
inline void montrerSalle(TestDatabase &db, rooms::Creation &c, qint64 numero)
{
    db.dataBus().fetchTable(
        &c.tables().tableSalles, QStringLiteral("SallesVix"),
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salNumero=%@"), {numero}), {}, true);
}

} // namespace roomstest
