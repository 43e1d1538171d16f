#pragma once

#include <QObject>
#include <QSet>
#include <functional>

class QLineEdit;
class QWidget;

namespace rooms
{

// Keyboard and focus rules of the room form:
// - a numeric field whose entry is refused cannot be left: Tab, Enter and a click elsewhere bring the user
//   back to it, its text selected, without a message;
// - Enter in a field while search criteria are typed runs the search.
class RoomKeyboard : public QObject
{
    Q_OBJECT
public:
    struct Actions {
        std::function<bool(QLineEdit *)> valider; // checks and normalises a numeric field
        std::function<bool()> rechercheEnSaisie;  // criteria are being typed and the search can run
        std::function<void()> lancerRecherche;
    };

    explicit RoomKeyboard(Actions actions, QObject *parent = nullptr);

    // numerique: the field is checked when left.
    void surveiller(QWidget *champ, bool numerique);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool refuse(QLineEdit *champ);
    void revenirA(QLineEdit *champ);

    Actions m_actions;
    QSet<const QObject *> m_numeriques;
};

} // namespace rooms
