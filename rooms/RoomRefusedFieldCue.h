#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

class QLineEdit;

namespace rooms
{

// Shows why a numeric field of the room form refuses its entry, without an alert: a red frame around the
// field and a tooltip in French giving the expected form, shown at once beside the field. The cue stays
// while the entry is refused and goes as soon as the user has corrected it (or the form is cleaned).
class RoomRefusedFieldCue : public QObject
{
    Q_OBJECT
public:
    // Whether a field's entry, as it stands, would be accepted when the field is left.
    using Accepte = std::function<bool(const QLineEdit *)>;

    RoomRefusedFieldCue(Accepte accepte, QObject *parent = nullptr);

    // "Nombre attendu, par exemple 12.50, >20 ou <3"
    static const QString &message();

    void signaler(QLineEdit *champ);
    void effacer(QLineEdit *champ);
    void toutEffacer();
    bool estSignale(const QLineEdit *champ) const;

private:
    void texteChange(QLineEdit *champ);

    Accepte m_accepte;
    // The fields shown refused, with the tooltip each had before.
    QHash<QLineEdit *, QString> m_signales;
};

} // namespace rooms
