#pragma once

#include "EODisplayGroup.h"
#include "FormHost.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>

namespace Ui
{
class Options;
}

namespace data
{
class KORDataBusOC;
}

namespace reference
{

// The options tab: the option rooms (rooms of the shared reference schema whose bookable flag is not set,
// which the department does not manage yet) beside either the managed rooms or the buildings, according to
// the mode. The user matches the selected option room with a managed room, or attaches it to a building;
// each is one call of corresSalle in a transaction of its own, after which the lists are updated in memory
// until the next reload. The shell shows afficheBoutons() in its button bar and afficheVue() as the tab's
// content.
class Options : public QObject
{
    Q_OBJECT
public:
    // The operations of the tab, as the tags of its mode buttons.
    enum class Mode : int {
        correspondance = 0, // the option room is matched with a managed room
        rattachement = 1,   // the option room is attached to a building
    };

    // The bar of buttons is made a child of barre and the content a child of contenu, the widgets that show
    // them; without them the tab is a window of its own.
    explicit Options(data::KORDataBusOC &dataBus, QWidget *barre = nullptr, QWidget *contenu = nullptr,
                     QObject *parent = nullptr);
    ~Options() override;

    // Set-up, once the database is open: the lists' orderings and the mode selected in the form. The lists
    // stay empty until the first reload.
    void initObjet();

    QWidget *afficheBoutons() const { return m_boutons; }
    QWidget *afficheVue() const { return m_vue; }

    // Actions
    void reloadOptions(QObject *sender);
    // Shows the managed rooms or the buildings, and enables the one button of the mode the sender (the
    // mode buttons) has selected; with no known mode selected, both buttons are off.
    void changeMode(QObject *sender);
    void miseEnCorrespondance(QObject *sender);
    void ajouterAuBatiment(QObject *sender);

    Ui::Options &form() { return *ui; }
    eo::EODisplayGroup &tableOption() { return m_tableOption; }
    eo::EODisplayGroup &tableSalle() { return m_tableSalle; }
    eo::EODisplayGroup &tableBatiment() { return m_tableBatiment; }

private:
    void construireListes();

    data::KORDataBusOC &m_dataBus;
    eo::EODisplayGroup m_tableOption;   // option rooms (SallesVix, bookable flag null)
    eo::EODisplayGroup m_tableSalle;    // managed rooms (SallesVix, bookable flag set, "O" or "N")
    eo::EODisplayGroup m_tableBatiment; // buildings (LocalVix)
    framework::FormHost m_formulaire;   // after the lists its views show, before what points into it
    std::unique_ptr<Ui::Options> ui;
    QPointer<QWidget> m_boutons;
    QPointer<QWidget> m_vue;
};

} // namespace reference
