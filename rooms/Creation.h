#pragma once

#include "EODisplayGroupDelegate.h"
#include "EOPrefetch.h"
#include "FormHost.h"
#include "RoomConflictCheck.h"
#include "RoomDisplayGroups.h"
#include "RoomEtat.h"
#include "RoomFormFiller.h"
#include "RoomLastCriteria.h"

#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QWidget>
#include <memory>

class QLineEdit;

namespace Ui
{
class Creation;
class ListeSalles;
} // namespace Ui

namespace data
{
class KORDataBusOC;
class UncertainSave;
} // namespace data

namespace history
{
class Historique;
}

namespace rooms
{

class RoomBuildingChooser;
class RoomCustodianChooser;
class RoomDeleter;
class RoomEquipmentEditor;
class RoomKeyboard;
class RoomListPlacement;
class RoomListActions;
class RoomOccupationEditor;
class RoomOutletEditor;
class RoomQuitPrompt;
class RoomRefusedFieldCue;
class RoomForm;
class RoomSaver;
struct SaisieSalle;

// The room tab: one room at a time in a large form, its four sub-lists, the search by example with its
// result window, and the modes the tab moves through (idle, search entry, room shown, creation,
// modification). The shell shows afficheBoutons() in its button bar and afficheVue() as the tab's content.
class Creation : public QObject, public eo::EODisplayGroupDelegate
{
    Q_OBJECT
public:
    // Everything the tab reads and writes goes through the data bus it is given. The bar of buttons is made a
    // child of barre and the form a child of contenu, the widgets that show them; without them the tab is a
    // window of its own.
    explicit Creation(data::KORDataBusOC &dataBus, QWidget *barre = nullptr, QWidget *contenu = nullptr,
                      QObject *parent = nullptr);
    ~Creation() override;

    // Set-up, once the database is open: idle mode, the room types, the buildings, and the reloading of
    // the buildings whenever the building register changes them.
    void initObjet();
    void initPopUpBatiment();
    // What initObjet reads (the room types, the buildings), for a caller that reads more at the same time.
    QList<eo::EOPrefetch::Fetch> lecturesInitiales() const;

    QWidget *afficheBoutons() const { return m_boutons; }
    QWidget *afficheVue() const { return m_vue; }
    QWidget *listeSalles() const { return m_listeSalles; }

    // Enables and looks of the whole form for the current mode; active: editable, clean: emptied.
    void initPanel(bool actif, bool clean);
    // A window of the tab is closing (the result window's close box).
    void windowWillClose(QWidget *fenetre);
    void displayGroupDidChangeSelection(eo::EODisplayGroup *group) override;
    // Checks and normalises the numeric field being left; false keeps the user in it.
    bool controlIsValidObject(QLineEdit *control);

    // Actions of the tab's buttons
    void recherche(QObject *sender);
    // Starts a new room when the click pressed the button, saves the form when it released it.
    void create(QObject *sender);
    void suppression(QObject *sender);
    void modifier(QObject *sender);
    void annulation(QObject *sender);
    // The "Historique" window of the room shown.
    void historique(QObject *sender);
    // Puts the criteria of the last search back in the form ("Reprendre les critères", Ctrl+R), while
    // criteria are typed.
    void reprendreCriteres(QObject *sender);

    // Asked before the application ends: a creation or modification with changes asks the user first.
    bool applicationShouldTerminate();
    // Whether a numeric field of the form shows its entry refused (red frame, tooltip).
    bool champSignale(const QLineEdit *champ) const;

    // Lists the given rooms (by number) in the result window, in the search's order, named as given
    // ("Bâtiment SCIENCES"), and shows the first. Refused with an alert while a room is being created,
    // modified or searched for: the form holds what the user typed. False when refused or none was found.
    bool afficherSalles(const QList<qint64> &salles, const QString &nom);
    // The rooms of the result window, by number, while it is open (none otherwise).
    QList<qint64> sallesListees() const;

    Etat etat() const { return m_etat; }
    bool rechercheOuverte() const { return m_rechercheOuverte; }
    // Keys of the stored outlets removed since creation or modification began.
    const QVariantList &prisesSupprimees() const;
    RoomDisplayGroups &tables() { return m_tables; }

    // The helpers that edit the sub-lists, each with its panel.
    RoomCustodianChooser &depositaires() const { return *m_depositaires; }
    RoomBuildingChooser &batiments() const { return *m_batiments; }
    RoomOutletEditor &prises() const { return *m_prises; }
    RoomEquipmentEditor &materiels() const { return *m_materiels; }
    RoomOccupationEditor &occupations() const { return *m_occupations; }
    // The export of the result list and the printed sheets of rooms.
    RoomListActions &actionsListe() const { return *m_actionsListe; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void construireVues(QWidget *barre);
    void selectionChangee(eo::EODisplayGroup *group);
    void relierBoutons();
    void lancerRecherche();
    void relierSousListes();
    void commencerCreation();
    void enregistrer();
    // A save left uncertain by a lost link, asked about: true when nothing more is to be done (it landed and
    // the stored room is shown, or the server still cannot say).
    bool enregistrementDejaFait();
    void salleCreee(const QVariant &numero);
    void salleModifiee();
    void salleEnregistree();
    // After a save that found the room changed by someone else: the user's answer.
    void resoudreConflit(const SaisieSalle &salle);
    // The room shown left the database (someone else deleted it): the list drops it.
    void salleSupprimeeAilleurs(RoomConflictCheck::Action action);
    QVariant numeroTypeSalle(const QString &libelle);
    RoomLastCriteria::Valeurs valeursDuFormulaire() const;
    void selectionnerPourSaisie(QLineEdit *champ);
    // The first editable numeric field whose entry the field check refuses (malformed, or a number its
    // column cannot hold): marked, the user sent back into it; false when every field passes.
    bool refusEnCours();
    void montrerListe();
    void compterSalles();
    void boutonsDeLaSalle();

    data::KORDataBusOC &m_dataBus;
    framework::FormHost m_formulaire; // declared first: the form outlives what points into it
    std::unique_ptr<Ui::Creation> ui;
    std::unique_ptr<Ui::ListeSalles> uiListe;
    QPointer<QWidget> m_boutons;
    QPointer<QWidget> m_vue;
    QPointer<QWidget> m_listeSalles;
    RoomDisplayGroups m_tables;
    std::unique_ptr<RoomForm> m_champs; // the form's fields read and filled as a room value
    std::unique_ptr<RoomFormFiller> m_remplissage;
    std::unique_ptr<RoomSaver> m_sauvegarde;
    std::unique_ptr<RoomDeleter> m_suppression;
    std::unique_ptr<RoomConflictCheck> m_verification;
    std::unique_ptr<data::UncertainSave> m_incertain;
    std::unique_ptr<history::Historique> m_historique;
    RoomKeyboard *m_clavier = nullptr;        // child of this object
    RoomRefusedFieldCue *m_refus = nullptr;   // child of this object
    RoomListPlacement *m_placement = nullptr; // child of this object
    std::unique_ptr<RoomQuitPrompt> m_quitter;
    RoomLastCriteria m_derniersCriteres;
    // Children of this object; their panels are windows of the form's view.
    RoomCustodianChooser *m_depositaires = nullptr;
    RoomBuildingChooser *m_batiments = nullptr;
    RoomOutletEditor *m_prises = nullptr;
    RoomEquipmentEditor *m_materiels = nullptr;
    RoomOccupationEditor *m_occupations = nullptr;
    RoomListActions *m_actionsListe = nullptr;

    Etat m_etat = Etat::repos;
    bool m_rechercheOuverte = false;
};

} // namespace rooms
