#include "EODecimal.h"

namespace eo
{

EODecimal EODecimal::fromString(const QString &text)
{
    const QString trimmed = text.trimmed();
    qsizetype i = 0;
    if (i < trimmed.size() && (trimmed.at(i) == u'-' || trimmed.at(i) == u'+'))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < trimmed.size(); ++i) {
        const QChar c = trimmed.at(i);
        if (c >= u'0' && c <= u'9') {
            digits = true;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return {};
        }
    }
    EODecimal decimal;
    if (digits)
        decimal.m_text = trimmed.startsWith(u'+') ? trimmed.mid(1) : trimmed;
    return decimal;
}

} // namespace eo
