#pragma once

// A small inventory whose figures are worked out by hand in the comments; every test of the statistics reads
// it.

#include "EONull.h"
#include "TestDatabase.h"

#include <QTest>

namespace statstest
{

struct Salles {
    qint64 r1 = 0; // SCIENCES, Salle de cours, 30 places, 40.50 m², vitrée 4.75; 60 % ens., 33.33 % rech., 5
                   // % sportif
    qint64 r2 = 0; // SCIENCES, Amphithéâtre, 100 places, 120.25 m², 100 % ens.
    qint64 r3 = 0; // SCIENCES, Bureau, 4 places, no surface, 50 % ens.
    qint64 r4 = 0; // Droit, Bureau, 2 places, 12.34 m², 100 % admin.
    qint64 r5 = 0; // Droit, Salle de cours, 20 places, 35.50 m², 80 % ens.
    qint64 r6 = 0; // Archives, not managed (bookable flag empty): in no figure
    qint64 r7 = 0; // Archives, Salle de cours, 10 places, 0.01 m², 80 % ens.
};

inline QVariantMap piece(std::initializer_list<std::pair<const char *, QVariant>> valeurs)
{
    QVariantMap arguments;
    for (const auto &[cle, valeur] : valeurs)
        arguments.insert(QString::fromLatin1(cle), valeur);
    return arguments;
}

// Occupation lines: r1 SCIENCES 70 + LETTRES 30; r2 SCIENCES 50; r3 SCIENCES 100; r5 LETTRES 100; r4 and
// r7 none.
inline Salles peupler(TestDatabase &db)
{
    for (const auto &[code, nom] :
         {std::pair{"SCI", "SCIENCES"}, std::pair{"DRT", "Droit"}, std::pair{"ARC", "Archives"}}) {
        if (db.addBuilding(QString::fromLatin1(code), QString::fromUtf8(nom)).isEmpty())
            qFatal("building %s refused", code);
    }
    const QVariant nul = eo::eoNull();
    Salles s;
    s.r1 = db.addRoom("SCI", "1", "R1",
                      piece({{"tsalNumero", 1},
                             {"salCapacite", 30},
                             {"salSuperficie", "40.50"},
                             {"salPourEnseignement", 60},
                             {"salPourRecherche", "33.33"}}));
    s.r2 = db.addRoom("SCI", "1", "R2",
                      piece({{"tsalNumero", 3},
                             {"salCapacite", 100},
                             {"salSuperficie", "120.25"},
                             {"salPourEnseignement", 100}}));
    s.r3 = db.addRoom(
        "SCI", "2", "R3",
        piece({{"tsalNumero", 2}, {"salCapacite", 4}, {"salSuperficie", nul}, {"salPourEnseignement", 50}}));
    s.r4 = db.addRoom("DRT", "0", "R4",
                      piece({{"tsalNumero", 2},
                             {"salCapacite", 2},
                             {"salSuperficie", "12.34"},
                             {"salPourEnseignement", nul},
                             {"salPourAdministration", 100}}));
    s.r5 = db.addRoom("DRT", "0", "R5",
                      piece({{"tsalNumero", 1}, {"salCapacite", 20}, {"salSuperficie", "35.5"}}));
    s.r6 = db.addRoom("ARC", "0", "R6",
                      piece({{"tsalNumero", 1}, {"salSuperficie", 10}, {"salReservable", nul}}));
    s.r7 = db.addRoom("ARC", "0", "R7",
                      piece({{"tsalNumero", 1}, {"salCapacite", 10}, {"salSuperficie", "0.01"}}));
    for (const qint64 numero : {s.r1, s.r2, s.r3, s.r4, s.r5, s.r6, s.r7}) {
        if (numero <= 0)
            qFatal("room refused: %s", qPrintable(db.takeAlerts().value(0).message));
    }
    db.exec(QStringLiteral(
                "INSERT INTO SALLE_TAV (SAL_NUMERO, TAV_SPORTIF, TAV_SURFACE_VITREE) VALUES (%1, 5, 4.75)")
                .arg(s.r1));
    db.exec(QStringLiteral(
        "INSERT INTO SOLMA.STRUCTURE (C_STRUCTURE, LC_STRUCTURE, LL_STRUCTURE, C_TYPE_STRUCTURE) "
        "VALUES ('LET', 'LETTRES', 'Faculté des lettres', 'S')"));
    db.exec(QStringLiteral(
                "INSERT INTO DETAIL_POURCENTAGE (SAL_NUMERO, DET_TYPE, DET_POURCENTAGE, C_STRUCTURE) "
                "VALUES (%1, 1, 70, 'SCI'), (%1, 2, 30, 'LET'), (%2, 1, 50, 'SCI'), (%3, 1, 100, 'SCI'), "
                "(%4, 1, 100, 'LET')")
                .arg(s.r1)
                .arg(s.r2)
                .arg(s.r3)
                .arg(s.r5));
    return s;
}

} // namespace statstest
