#pragma once

#include "EODisplayGroup.h"
#include "EODisplayGroupDelegate.h"
#include "EtatBatiment.h"
#include "FormHost.h"

#include <QObject>
#include <QWidget>
#include <memory>

class QDialog;

namespace Ui
{
class Batiment;
}

namespace data
{
class KORDataBusOC;
class UncertainSave;
} // namespace data

namespace platform
{
class ModalSession;
}

namespace history
{
class Historique;
}

namespace buildings
{

class BuildingConflictCheck;
class BuildingForm;
struct SaisieBatiment;

// The building register: a modal window listing every building, where buildings are created and modified
// (never deleted: that is the central department's business), and the export window of a building's room
// list, to a text file or to a printed PDF. After each building written it posts "changementAuxBatiments",
// on which the room tab reloads its buildings.
class Batiment : public QObject, public eo::EODisplayGroupDelegate
{
    Q_OBJECT
public:
    // The windows belong to fenetre, the window they open above; without it, to a window of their own.
    explicit Batiment(data::KORDataBusOC &dataBus, QWidget *fenetre = nullptr, QObject *parent = nullptr);
    ~Batiment() override;

    Ui::Batiment &form() { return *ui; }
    QDialog *fenetreBatiment() const;
    QDialog *fenetreExport() const;

    // The building window, run modally until it is closed.
    void ouvertureFenetre(QObject *sender);
    void remplirPopupImplantation();
    // The street types are not kept by the client: nothing to fill.
    void remplirPopupVoie() {}
    // First click: a new building is typed; second click: the typed building is saved.
    void creer(QObject *sender);
    void modifier(QObject *sender);
    void supprimer(QObject *sender);
    // The "Historique" window of the selected building.
    void historique(QObject *sender);
    // During a creation or modification: cancels it; otherwise closes the window.
    void finir(QObject *sender);
    // The fields follow the selected building; while one is being typed the selection does not move.
    void displayGroupDidChangeSelection(eo::EODisplayGroup *group) override;
    // Buildings by name, case-sensitive (negative, zero or positive, as a comparison answers).
    static int triBatiment(const eo::EORecord &premier, const eo::EORecord &second);

    // The export window of a building's room list.
    void ouvertureExport(QObject *sender);
    void fermerExport(QObject *sender);
    void chargeExport();
    void exportToFile(QObject *sender);
    void imprimerListe(QObject *sender);

    EtatBatiment etat() const { return m_etat; }
    int selectedBatiment() const { return m_selectedBatiment; }
    eo::EODisplayGroup &tableBatiment() { return m_tableBatiment; }
    eo::EODisplayGroup &tableSalles() { return m_tableSalles; }
    eo::EODisplayGroup &tableDetailPourcentage() { return m_tableDetailPourcentage; }

private:
    void relierBoutons();
    void chargerBatiments();
    void enregistrer();
    // Back to viewing the buildings, after a save.
    void consulter();
    // ecraser: the user chose to write over the changes someone else made meanwhile.
    bool ecrire(const SaisieBatiment &saisie, const QString &site, bool ecraser = false);
    // The building stored under that code: the list read again, the other windows told.
    void batimentEnregistre(bool creation, const QString &code);
    // A modification whose building someone else changed or took away meanwhile: true when the window goes
    // back to viewing (the building reloaded, or written anyway), false to stay in the modification.
    bool resoudreConflit(bool disparu, const SaisieBatiment &saisie, const QString &site);
    // The building shown read again as stored, its fields filled again.
    void rafraichirBatiment(const QString &code);
    void reprendreApresModification(const QString &code);
    QString cleDuSite(const QString &libelle);
    QString batimentChoisi() const;
    void executerModal(QDialog *fenetre);
    void arreterModal(QDialog *fenetre);
    void fenetreFermee();

    data::KORDataBusOC &m_dataBus;
    framework::FormHost m_fenetres; // holds the windows
    std::unique_ptr<Ui::Batiment> ui;
    std::unique_ptr<BuildingForm> m_formulaire;
    std::unique_ptr<BuildingConflictCheck> m_verification;
    std::unique_ptr<data::UncertainSave> m_incertain;
    std::unique_ptr<history::Historique> m_historique;
    eo::EODisplayGroup m_tableBatiment;
    eo::EODisplayGroup m_tableSalles;
    eo::EODisplayGroup m_tableDetailPourcentage;
    platform::ModalSession *m_session = nullptr; // the window's own session, without the application class

    EtatBatiment m_etat = EtatBatiment::consultation;
    int m_selectedBatiment = 0;
    // The export list still shows the names read before a building was created or renamed.
    bool m_listeExportPerimee = false;
};

} // namespace buildings
