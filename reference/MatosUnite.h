#pragma once

#include "EODisplayGroup.h"
#include "EODisplayGroupDelegate.h"
#include "FormHost.h"

#include <QObject>
#include <QWidget>
#include <memory>

namespace Ui
{
class MatosUnite;
}

namespace data
{
class KORDataBusOC;
}

namespace reference
{

// The reference lists that the equipment lines of rooms draw on: the equipment catalogue (families, and the
// types of each family with their unit) and the units of measure, each kept in a modal panel opened from
// the administration menu, with an entry panel for a new row. Rows are added and deleted through stored
// procedures, one transaction each; the database refuses to delete what is still in use, and its message
// reaches the user in the data bus's alert. There is no modification of an existing row.
class MatosUnite : public QObject, public eo::EODisplayGroupDelegate
{
    Q_OBJECT
public:
    // The panels belong to fenetre, the window they open above; without it, to a window of their own.
    explicit MatosUnite(data::KORDataBusOC &dataBus, QWidget *fenetre = nullptr, QObject *parent = nullptr);
    ~MatosUnite() override;

    // The equipment catalogue: the families in a list, the types of the selected family beside it.
    void afficherGestionMatos(QObject *sender);
    void fermerGestionMatos(QObject *sender);
    // The entry panel, for a family when the sender is ajoutFamille, else for a type of the selected family.
    void ajouterFamille(QObject *sender);
    void validerFamille(QObject *sender);
    void fermerFamille(QObject *sender);
    // Deletes the selected family with all its types when the sender is supprFamille, else the selected type.
    void supprimerFamille(QObject *sender);

    // The units of measure.
    void afficherGestionUnite(QObject *sender);
    void fermerGestionUnite(QObject *sender);
    void ajouterUnite(QObject *sender);
    void validerUnite(QObject *sender);
    void fermerUnite(QObject *sender);
    void supprimerUnite(QObject *sender);

    // The types follow the selected family; the delete buttons follow the selections.
    void displayGroupDidChangeSelection(eo::EODisplayGroup *group) override;

    Ui::MatosUnite &form() { return *ui; }
    // The widget the four panels belong to, where their controls are found by name.
    QWidget *panneaux() const { return m_formulaire.racine(); }
    eo::EODisplayGroup &tableFamille() { return m_tableFamille; }
    eo::EODisplayGroup &tableTypeMateriel() { return m_tableTypeMateriel; }
    eo::EODisplayGroup &tableUnite() { return m_tableUnite; }
    eo::EODisplayGroup &tableGestionUnite() { return m_tableGestionUnite; }

private:
    void relierBoutons();
    void selectionChangee(eo::EODisplayGroup *group);
    void chargerFamilles();
    void chargerTypes();
    void chargerUnites();
    bool remplirUnites();
    QVariant uniteChoisie();

    data::KORDataBusOC &m_dataBus;
    eo::EODisplayGroup m_tableFamille;      // families (TypeMateriel of level 1), by label
    eo::EODisplayGroup m_tableTypeMateriel; // types of the selected family, by label
    eo::EODisplayGroup m_tableUnite;        // working list of units, for the unit pop-up of a new type
    eo::EODisplayGroup m_tableGestionUnite; // every unit, by abbreviation
    framework::FormHost m_formulaire;       // holds the panels; after the lists its views show
    std::unique_ptr<Ui::MatosUnite> ui;
};

} // namespace reference
