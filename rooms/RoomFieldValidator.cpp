#include "RoomFieldValidator.h"

#include "KORFormHelpers.h"

#include <QSet>

namespace rooms
{

const QStringList &RoomFieldValidator::champsNumeriques()
{
    static const QStringList champs{
        QStringLiteral("architecturePlaces"),
        QStringLiteral("architectureSurface"),
        QStringLiteral("architectureFenetres"),
        QStringLiteral("hauteurMoyenPlafond"),
        QStringLiteral("nbPortes"),
        QStringLiteral("surfaceVitree"),
        QStringLiteral("nbTablNoir"),
        QStringLiteral("nbTablBlanc"),
        QStringLiteral("nbTablPapier"),
        QStringLiteral("nbPostesTP"),
        QStringLiteral("nombreChaises"),
        QStringLiteral("nombreTables"),
        QStringLiteral("nombreBureaux"),
        QStringLiteral("nombreArmoires"),
        QStringLiteral("pourcEnseignement"),
        QStringLiteral("pourcRecherche"),
        QStringLiteral("pourcAdministration"),
        QStringLiteral("pourcDocumentation"),
        QStringLiteral("pourcTechnique"),
        QStringLiteral("pourcVieSociale"),
        QStringLiteral("pourcAccueil"),
        QStringLiteral("pourcSanitaire"),
        QStringLiteral("pourcCirculation"),
        QStringLiteral("pourcRestauration"),
        QStringLiteral("pourcParking"),
        QStringLiteral("pourcSportif"),
    };
    return champs;
}

bool RoomFieldValidator::estDecimal(const QString &champ)
{
    static const QSet<QString> decimaux{
        QStringLiteral("pourcEnseignement"),   QStringLiteral("pourcRecherche"),
        QStringLiteral("pourcAdministration"), QStringLiteral("pourcDocumentation"),
        QStringLiteral("pourcTechnique"),      QStringLiteral("pourcVieSociale"),
        QStringLiteral("pourcAccueil"),        QStringLiteral("pourcSanitaire"),
        QStringLiteral("pourcCirculation"),    QStringLiteral("pourcRestauration"),
        QStringLiteral("pourcParking"),        QStringLiteral("pourcSportif"),
        QStringLiteral("architectureSurface"), QStringLiteral("hauteurMoyenPlafond"),
        QStringLiteral("surfaceVitree"),
    };
    return decimaux.contains(champ);
}

QString RoomFieldValidator::signesAutorises(Etat etat)
{
    return etat == Etat::saisieRecherche ? QStringLiteral("<>") : QString();
}

RoomFieldValidator::Resultat RoomFieldValidator::verifier(const QString &champ, const QString &texte,
                                                          Etat etat)
{
    // An empty field stays empty: written back as "0.00" it would become a value the user never typed (an
    // "equal to 0" criterion in a search).
    if (texte.isEmpty())
        return {true, QString()};
    const framework::KORCheckedEntry entree = framework::KORFormHelpers::verifierChaine(
        texte, QStringLiteral("0123456789."), estDecimal(champ), signesAutorises(etat));
    if (entree.isRefused())
        return {false, QString()};
    return {true, entree.texte};
}

} // namespace rooms
