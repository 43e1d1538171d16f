#include "EOHiddenCharacter.h"

#include <QChar>

namespace eo
{

bool EOHiddenCharacter::isHidden(char32_t codePoint)
{
    switch (QChar::category(codePoint)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

std::optional<char32_t> EOHiddenCharacter::firstIn(QStringView text)
{
    // Read character by character: a conversion to UCS-4 may take a leading U+FEFF for a byte order mark.
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t codePoint = text.at(i).unicode();
        if (QChar::isHighSurrogate(codePoint) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        if (isHidden(codePoint))
            return codePoint;
    }
    return std::nullopt;
}

QString EOHiddenCharacter::name(char32_t codePoint)
{
    return QStringLiteral("U+%1").arg(uint(codePoint), 4, 16, QLatin1Char('0')).toUpper();
}

QString EOHiddenCharacter::nulRefusal()
{
    return QStringLiteral("Une valeur contient un caractère nul (U+0000), que la base de données n'accepte "
                          "pas : retirez ce caractère et recommencez.");
}

} // namespace eo
