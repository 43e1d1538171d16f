#include "RoomListPrint.h"

#include "EONull.h"
#include "EOOrQualifier.h"
#include "KORConversions.h"
#include "KORDataBusOC.h"

#include <QHash>
#include <QSet>
#include <cmath>

namespace buildings
{

using framework::KORConversions;

namespace
{

struct Usage {
    const char *cle;
    const char *abreviation;
};

constexpr Usage usages[] = {
    {"salPourAdministration", "% Adm."},
    {"salPourDocumentation", "% Doc."},
    {"salPourEnseignement", "% Ens."},
    {"salPourRecherche", "% Rech."},
    {"salPourTechnique", "% Tech."},
    {"tavVieSocial", "% Soc."},
    {"tavAccueil", "% Acc."},
    {"tavSanitaire", "% San."},
    {"tavCirculation", "% Circ."},
    {"tavRestauration", "% Rest."},
    {"tavParking", "% Park."},
    {"tavSportif", "% Sport"},
};

// Departments looked up per fetch: a disjunction stays well within what a statement may bind.
constexpr qsizetype structuresParFetch = 200;

} // namespace

QString RoomListPrint::repartition(const eo::EORecord &salle)
{
    QString texte;
    for (const Usage &usage : usages) {
        const QVariant valeur = salle->valueForKey(QLatin1String(usage.cle));
        if (KORConversions::isEmptyValue(valeur))
            continue;
        // Whole percentages: the fraction is dropped.
        const double nombre = std::trunc(double(KORConversions::recupererValeur(valeur)));
        if (!(nombre > 0))
            continue;
        texte += QStringLiteral(", ") + QString::number(qint64(nombre)) + QLatin1String(usage.abreviation);
    }
    return texte;
}

QString RoomListPrint::repartService(const eo::EORecord &salle)
{
    QString texte;
    const QVariant lignes = salle->valueForKey(QStringLiteral("detailPourcentages"));
    for (const QVariant &element : lignes.toList()) {
        const eo::EORecord ligne = eo::EOGenericRecord::fromVariant(element);
        if (!ligne)
            continue;
        const eo::EORecord structure =
            eo::EOGenericRecord::fromVariant(ligne->valueForKey(QStringLiteral("structureZebVix")));
        const QString libelle =
            structure ? KORConversions::recupererChaine(structure->valueForKey(QStringLiteral("lcStructure")))
                      : QString();
        texte += QLatin1Char(',') + libelle;
    }
    return texte;
}

QString RoomListPrint::nomFichier(const QDateTime &moment)
{
    return QStringLiteral("liste_salle-%1.pdf").arg(moment.toString(QStringLiteral("_yyyy-MM-dd-sszzz")));
}

void RoomListPrint::relier(data::KORDataBusOC &dataBus, const QList<eo::EORecord> &salles,
                           const RoomListExport::LignesParSalle &lignes)
{
    QStringList codes;
    QSet<QString> vus;
    for (const QList<eo::EORecord> &lignesDUneSalle : lignes) {
        for (const eo::EORecord &ligne : lignesDUneSalle) {
            const QString code =
                KORConversions::recupererChaine(ligne->valueForKey(QStringLiteral("cStructure")));
            if (!code.isEmpty() && !vus.contains(code)) {
                vus.insert(code);
                codes.append(code);
            }
        }
    }
    QHash<QString, eo::EORecord> structures;
    for (qsizetype debut = 0; debut < codes.size(); debut += structuresParFetch) {
        QList<eo::EOQualifierPtr> conditions;
        for (const QString &code : codes.mid(debut, structuresParFetch))
            conditions.append(
                eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("cStructure=%@"), {code}));
        const QList<eo::EORecord> trouvees = dataBus.fetchArray(
            QStringLiteral("StructureZebVix"), std::make_shared<eo::EOOrQualifier>(conditions), {});
        for (const eo::EORecord &structure : trouvees)
            structures.insert(
                KORConversions::recupererChaine(structure->valueForKey(QStringLiteral("cStructure"))),
                structure);
    }

    for (const eo::EORecord &salle : salles) {
        QVariantList detail;
        for (const eo::EORecord &ligne :
             lignes.value(salle->valueForKey(QStringLiteral("salNumero")).toLongLong())) {
            const eo::EORecord structure = structures.value(
                KORConversions::recupererChaine(ligne->valueForKey(QStringLiteral("cStructure"))));
            ligne->takeValueForKey(structure ? eo::EOGenericRecord::toVariant(structure)
                                             : QVariant(eo::eoNull()),
                                   QStringLiteral("structureZebVix"));
            detail.append(eo::EOGenericRecord::toVariant(ligne));
        }
        salle->takeValueForKey(detail, QStringLiteral("detailPourcentages"));
    }
}

void RoomListPrint::etiqueter(const QList<eo::EORecord> &salles)
{
    for (const eo::EORecord &salle : salles) {
        salle->takeValueForKey(repartition(salle), QStringLiteral("repartition"));
        salle->takeValueForKey(repartService(salle), QStringLiteral("repartService"));
    }
}

} // namespace buildings
