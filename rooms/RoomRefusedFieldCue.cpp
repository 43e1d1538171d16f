#include "RoomRefusedFieldCue.h"

#include <QLineEdit>
#include <QToolTip>

namespace rooms
{

namespace
{

// Only the frame changes: the field keeps the colours and font of its mode.
const QString cadreRouge = QStringLiteral("QLineEdit { border: 2px solid #d01010; border-radius: 2px; }");

} // namespace

RoomRefusedFieldCue::RoomRefusedFieldCue(Accepte accepte, QObject *parent)
    : QObject(parent), m_accepte(std::move(accepte))
{
}

const QString &RoomRefusedFieldCue::message()
{
    static const QString texte = QStringLiteral("Nombre attendu, par exemple 12.50, >20 ou <3");
    return texte;
}

void RoomRefusedFieldCue::signaler(QLineEdit *champ)
{
    if (!champ)
        return;
    if (!m_signales.contains(champ)) {
        m_signales.insert(champ, champ->toolTip());
        champ->setStyleSheet(cadreRouge);
        champ->setToolTip(message());
        connect(champ, &QLineEdit::textChanged, this, [this, champ]() { texteChange(champ); });
        connect(champ, &QObject::destroyed, this, [this, champ]() { m_signales.remove(champ); });
    }
    // Shown at once under the field, where the user looks, rather than on a later hover.
    if (champ->isVisible())
        QToolTip::showText(champ->mapToGlobal(QPoint(0, champ->height())), message(), champ);
}

void RoomRefusedFieldCue::effacer(QLineEdit *champ)
{
    const auto trouve = m_signales.constFind(champ);
    if (trouve == m_signales.constEnd())
        return;
    const QString ancienneBulle = *trouve;
    m_signales.erase(trouve);
    disconnect(champ, nullptr, this, nullptr);
    champ->setStyleSheet(QString());
    champ->setToolTip(ancienneBulle);
    if (QToolTip::isVisible() && QToolTip::text() == message())
        QToolTip::hideText();
}

void RoomRefusedFieldCue::toutEffacer()
{
    const QList<QLineEdit *> champs = m_signales.keys();
    for (QLineEdit *champ : champs)
        effacer(champ);
}

bool RoomRefusedFieldCue::estSignale(const QLineEdit *champ) const
{
    return m_signales.contains(const_cast<QLineEdit *>(champ));
}

void RoomRefusedFieldCue::texteChange(QLineEdit *champ)
{
    if (m_accepte && m_accepte(champ))
        effacer(champ);
}

} // namespace rooms
