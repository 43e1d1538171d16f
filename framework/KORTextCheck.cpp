#include "KORTextCheck.h"

#include "EOHiddenCharacter.h"

namespace framework
{

QString KORTextCheck::refusCode(const QString &champ, const QString &texte)
{
    const std::optional<char32_t> cache = eo::EOHiddenCharacter::firstIn(texte);
    if (!cache)
        return {};
    return QStringLiteral("%1 contient un caractère invisible ou de contrôle (%2), refusé dans un code : "
                          "retirez ce caractère.")
        .arg(champ, eo::EOHiddenCharacter::name(*cache));
}

QString KORTextCheck::refusTexte(const QString &champ, const QString &texte)
{
    if (!texte.contains(QChar(0)))
        return {};
    return QStringLiteral("%1 contient un caractère nul (U+0000), que la base de données n'accepte pas : "
                          "retirez ce caractère.")
        .arg(champ);
}

} // namespace framework
