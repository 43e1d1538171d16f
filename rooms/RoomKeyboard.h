#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <functional>

class QLineEdit;
class QWidget;
class QWindow;

namespace rooms
{

// Keyboard, mouse and focus rules of the room form:
// - a numeric field whose entry is refused keeps the focus: Tab and Enter stay in it, and a press of the
//   mouse or a shortcut on another control of the form is not delivered (no other field takes the keyboard,
//   no other button acts), the field showing why instead; the cancel button alone always works;
// - the comma key types the decimal point in a numeric field ("20,5" is typed as "20.5");
// - Enter in a field while search criteria are typed runs the search.
class RoomKeyboard : public QObject
{
    Q_OBJECT
public:
    struct Actions {
        std::function<bool(QLineEdit *)> valider;       // checks and normalises a numeric field
        std::function<bool(const QLineEdit *)> accepte; // checks it, leaving its text as typed
        std::function<void(QLineEdit *)> signalerRefus; // shows why a field's entry is refused
        std::function<bool()> rechercheEnSaisie;        // criteria are being typed and the search can run
        std::function<void()> lancerRecherche;
    };

    explicit RoomKeyboard(Actions actions, QObject *parent = nullptr);

    // numerique: the field is checked when left.
    void surveiller(QWidget *champ, bool numerique);
    // The presses of the mouse in this widget and its children are held back while a field is refused. They
    // are caught at the window, before Qt gives the focus to the widget clicked.
    void garder(QWidget *zone);
    // A control that acts whatever a field holds (the cancel button).
    void toujoursPermis(QWidget *controle);

    // The first editable numeric field whose entry is refused, in the form's order, or none; the fields'
    // texts stay as typed.
    QLineEdit *champRefuse() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool refuse(QLineEdit *champ);
    bool numerique(const QObject *objet) const;
    bool clicRetenu(QWidget *cible);
    bool touche(QLineEdit *champ, QEvent *event);
    void surveillerFenetre(QWidget *zone);
    bool souris(QWindow *fenetre, QEvent *event);

    Actions m_actions;
    QList<QPointer<QLineEdit>> m_numeriques;
    QSet<const QObject *> m_zones;
    QSet<QObject *> m_racines;                      // the zones themselves
    QHash<QWindow *, QPointer<QWidget>> m_fenetres; // the windows watched, with their top-level widget
    // The field just refused by a press of the mouse or a key: its reason is shown again once the button or
    // the key is released, which closes any tooltip.
    QPointer<QLineEdit> m_aRappeler;
    QList<QPointer<QWidget>> m_permis;
};

} // namespace rooms
