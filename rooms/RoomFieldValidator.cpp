#include "RoomFieldValidator.h"

#include "KORFormHelpers.h"

#include <QSet>
#include <cerrno>
#include <cmath>
#include <cstdlib>

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

double RoomFieldValidator::borne(const QString &champ)
{
    // The counts kept as texts of five characters.
    static const QSet<QString> cinqCaracteres{
        QStringLiteral("nbTablNoir"),
        QStringLiteral("nbTablBlanc"),
        QStringLiteral("nbTablPapier"),
        QStringLiteral("nbPostesTP"),
    };
    if (cinqCaracteres.contains(champ))
        return 100000;
    // A percentage has its own limit of 100, which the search and the save check with their own message.
    if (champ.startsWith(QLatin1String("pourc")))
        return HUGE_VAL;
    // Decimals: at most 308 digits before the point, which a double holds on every database.
    if (estDecimal(champ))
        return 1e308;
    return 2147483648.0; // INTEGER columns
}

RoomFieldValidator::Resultat RoomFieldValidator::verifier(const QString &champ, const QString &texte,
                                                          Etat etat)
{
    // An empty field stays empty: written back as "0.00" it would become a value the user never typed (an
    // "equal to 0" criterion in a search).
    if (texte.isEmpty())
        return {true, QString()};
    const Resultat refus{false, QString()};
    const framework::KORCheckedEntry entree = framework::KORFormHelpers::verifierChaine(
        texte, QStringLiteral("0123456789."), estDecimal(champ), signesAutorises(etat));
    if (entree.isRefused())
        return refus;
    const QString nombre = entree.signe == u"=" ? texte : texte.mid(1);
    // "35.5.0" is no number: reading it as 35.5 would compare or store something else than what was typed.
    if (nombre.count(QLatin1Char('.')) > 1)
        return refus;
    const QByteArray chiffres = nombre.toLatin1();
    char *fin = nullptr;
    errno = 0;
    const double valeur = std::strtod(chiffres.constData(), &fin);
    const double limite = borne(champ);
    if (fin != chiffres.constData() && std::isfinite(limite) &&
        (errno == ERANGE || !std::isfinite(valeur) || valeur >= limite))
        return refus;
    return {true, entree.texte};
}

} // namespace rooms
