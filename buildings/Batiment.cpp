#include "Batiment.h"

#include "AlertPanel.h"
#include "BugFixApplication.h"
#include "BuildingArguments.h"
#include "BuildingConflictCheck.h"
#include "BuildingForm.h"
#include "Clock.h"
#include "FileOpener.h"
#include "FileWriter.h"
#include "Historique.h"
#include "KORAction.h"
#include "KORApplicationOC.h"
#include "KORConversions.h"
#include "KORDataBusOC.h"
#include "KORFormHelpers.h"
#include "KORReport.h"
#include "KORReportProgress.h"
#include "ModalSession.h"
#include "NotificationCenter.h"
#include "RoomListExport.h"
#include "RoomListPrint.h"
#include "SavePanel.h"
#include "SaveTransaction.h"
#include "UncertainSave.h"
#include "ui_Batiment.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QHeaderView>
#include <QScreen>
#include <algorithm>

namespace buildings
{

using framework::KORConversions;
using framework::KORFormHelpers;

namespace
{

const QString changementAuxBatiments = QStringLiteral("changementAuxBatiments");
constexpr auto sansCasse = eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending;

void centrer(QWidget *fenetre)
{
    QScreen *ecran = fenetre->screen() ? fenetre->screen() : QGuiApplication::primaryScreen();
    if (!ecran)
        return;
    const QRect zone = ecran->availableGeometry();
    const QSize taille = fenetre->size().boundedTo(zone.size());
    fenetre->resize(taille);
    fenetre->move(zone.center() - QPoint(taille.width() / 2, taille.height() / 2));
}

} // namespace

Batiment::Batiment(data::KORDataBusOC &dataBus, QWidget *fenetre, QObject *parent)
    : QObject(parent), m_dataBus(dataBus), m_fenetres(fenetre), ui(std::make_unique<Ui::Batiment>())
{
    ui->setupUi(m_fenetres.racine());
    m_formulaire = std::make_unique<BuildingForm>(*ui);
    m_verification = std::make_unique<BuildingConflictCheck>(m_dataBus);
    m_incertain = std::make_unique<data::UncertainSave>(
        m_dataBus,
        data::UncertainSave::Textes{
            QStringLiteral(
                "Le serveur ne répond toujours pas : impossible de savoir si l'enregistrement "
                "précédent de ce bâtiment a été fait. Rien n'est enregistré de nouveau ; réessayez "
                "dans un instant."),
            QStringLiteral("Le serveur confirme que le nouveau bâtiment a bien été enregistré avant que la "
                           "connexion ne soit perdue : il n'est pas enregistré une seconde fois."),
            QStringLiteral("Le serveur confirme que les modifications du bâtiment ont bien été enregistrées "
                           "avant que la connexion ne soit perdue."),
            QStringLiteral("SELECT 1 FROM SOLMA.LOCAL WHERE C_LOCAL = ?")});

    m_tableBatiment.setColumns({{QStringLiteral("cLocal"), QStringLiteral("Code")},
                                {QStringLiteral("appellation"), QStringLiteral("Nom")}});
    m_tableBatiment.setDelegate(this);
    QTableView *vue = ui->tableViewBatiment;
    vue->setModel(&m_tableBatiment);
    vue->setSelectionModel(m_tableBatiment.selectionModel());
    vue->setColumnWidth(0, 70);
    vue->verticalHeader()->setDefaultSectionSize(vue->fontMetrics().height() + 6);
    // The list keeps the order of the register: a header click would move the row being edited.
    vue->setSortingEnabled(false);

    m_formulaire->montrer(EtatBatiment::consultation, true, false);
    relierBoutons();
}

Batiment::~Batiment()
{
    m_tableBatiment.setDelegate(nullptr);
    if (m_session)
        m_session->stop(platform::NSModalResponseAbort);
}

QDialog *Batiment::fenetreBatiment() const
{
    return ui->fenetreBatiment;
}

QDialog *Batiment::fenetreExport() const
{
    return ui->fenetreExport;
}

void Batiment::relierBoutons()
{
    // Every action runs inside the action boundary: an error ends it, never reaches Qt.
    framework::connectAction(ui->boutonCreer, &QPushButton::clicked, this,
                             [this] { creer(ui->boutonCreer); });
    framework::connectAction(ui->boutonModifier, &QPushButton::clicked, this,
                             [this] { modifier(ui->boutonModifier); });
    framework::connectAction(ui->boutonSupprimer, &QPushButton::clicked, this,
                             [this] { supprimer(ui->boutonSupprimer); });
    framework::connectAction(ui->boutonHistorique, &QPushButton::clicked, this,
                             [this] { historique(ui->boutonHistorique); });
    framework::connectAction(ui->boutonFinir, &QPushButton::clicked, this,
                             [this] { finir(ui->boutonFinir); });
    framework::connectAction(ui->boutonExporter, &QPushButton::clicked, this,
                             [this] { exportToFile(ui->boutonExporter); });
    framework::connectAction(ui->boutonImprimer, &QPushButton::clicked, this,
                             [this] { imprimerListe(ui->boutonImprimer); });
    framework::connectAction(ui->boutonFermerExport, &QPushButton::clicked, this,
                             [this] { fermerExport(ui->boutonFermerExport); });
    // Escape or the close box during a creation or modification cancel it, as the cancel button does.
    framework::connectAction(ui->fenetreBatiment, &QDialog::finished, this, [this] { fenetreFermee(); });
}

// --- Modal windows ---------------------------------------------------------------------------------------

void Batiment::executerModal(QDialog *fenetre)
{
    centrer(fenetre);
    if (auto *application = widgets::BugFixApplication::instance()) {
        application->runModalForWindow(fenetre);
        return;
    }
    // Without the application class (a tool, a test), the window runs a session of its own.
    platform::ModalSession session(fenetre);
    m_session = &session;
    fenetre->setWindowModality(Qt::ApplicationModal);
    fenetre->show();
    fenetre->raise();
    fenetre->activateWindow();
    const QMetaObject::Connection fermee = connect(
        fenetre, &QDialog::finished, this, [&session] { session.stop(platform::NSModalResponseAbort); });
    session.run();
    disconnect(fermee);
    m_session = nullptr;
}

void Batiment::arreterModal(QDialog *fenetre)
{
    if (auto *application = widgets::BugFixApplication::instance())
        application->stopModal();
    else if (m_session)
        m_session->stop(platform::NSModalResponseStop);
    fenetre->hide();
}

void Batiment::fenetreFermee()
{
    if (m_etat != EtatBatiment::consultation) {
        // The window went away in the middle of a typing: nothing is written, the next opening shows the
        // selected building again.
        ui->boutonFinir->setChecked(false);
        finir(nullptr);
    }
}

// --- The building register -------------------------------------------------------------------------------

void Batiment::chargerBatiments()
{
    KORFormHelpers::fetchTable(m_dataBus, &m_tableBatiment, QStringLiteral("LocalVix"), {},
                               {{QStringLiteral("appellation"), sansCasse}}, true);
}

void Batiment::ouvertureFenetre(QObject *)
{
    m_etat = EtatBatiment::consultation;
    bool batiments = !m_tableBatiment.displayedObjects().isEmpty();
    if (!batiments) {
        chargerBatiments();
        remplirPopupVoie();
        remplirPopupImplantation();
        batiments = !m_tableBatiment.displayedObjects().isEmpty();
        // Loading the export list fetches the buildings again and selects the first one, now that the
        // site pop-up can show its site.
        if (batiments)
            chargeExport();
    }
    m_formulaire->montrer(EtatBatiment::consultation, false, batiments);
    executerModal(ui->fenetreBatiment);
}

void Batiment::remplirPopupImplantation()
{
    const QList<eo::EORecord> sites = KORFormHelpers::fetchArrayWithNomTable(
        m_dataBus, QStringLiteral("ImplantationGeo"), {}, {{QStringLiteral("lcImplantationGeo"), sansCasse}});
    QComboBox *popUp = ui->popupImplantation;
    popUp->clear();
    popUp->addItem(QString());
    for (const eo::EORecord &site : sites)
        popUp->addItem(
            KORConversions::recupererChaine(site->valueForKey(QStringLiteral("lcImplantationGeo"))));
}

void Batiment::creer(QObject *)
{
    if (ui->boutonCreer->isChecked()) {
        m_incertain->oublier();
        m_etat = EtatBatiment::creation;
        m_formulaire->montrer(m_etat, true, false);
        m_formulaire->selectionnerCode();
        return;
    }
    enregistrer();
}

void Batiment::enregistrer()
{
    // A save the server did not confirm is asked about first: stored already, it is shown, not made twice.
    if (m_incertain->enAttente()) {
        switch (m_incertain->demander()) {
        case data::UncertainSave::Reponse::toujoursInconnue:
            ui->boutonCreer->setChecked(true);
            return;
        case data::UncertainSave::Reponse::enregistree:
            batimentEnregistre(m_incertain->creation(), m_incertain->cle().toString());
            consulter();
            return;
        case data::UncertainSave::Reponse::rienDEnregistre:
            break;
        }
    }
    if (const std::optional<BuildingForm::Refus> refus = m_formulaire->refus()) {
        // Nothing is written: the form stays as typed, the cursor in the field to type again.
        platform::NSRunAlertPanel(QStringLiteral("ATTENTION"), refus->message, QStringLiteral("OK"));
        ui->boutonCreer->setChecked(true);
        refus->champ->setFocus(Qt::OtherFocusReason);
        refus->champ->selectAll();
        return;
    }
    const SaisieBatiment saisie = m_formulaire->saisie();
    const QString site = cleDuSite(m_formulaire->site());
    if (!ecrire(saisie, site)) {
        // The database refused the building: the form stays as typed, in the same mode, so that the user
        // corrects it and saves again (or cancels).
        ui->boutonCreer->setChecked(true);
        return;
    }
    consulter();
}

void Batiment::consulter()
{
    m_etat = EtatBatiment::consultation;
    const bool batiments = !m_tableBatiment.displayedObjects().isEmpty();
    if (batiments)
        displayGroupDidChangeSelection(&m_tableBatiment);
    m_formulaire->montrer(m_etat, false, batiments);
}

QString Batiment::cleDuSite(const QString &libelle)
{
    const QList<eo::EORecord> sites = KORFormHelpers::fetchArrayWithNomTable(
        m_dataBus, QStringLiteral("ImplantationGeo"),
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("lcImplantationGeo=%@"), {libelle}), {});
    return sites.isEmpty()
               ? QString()
               : KORConversions::recupererChaine(sites.first()->valueForKey(QStringLiteral("cImplantation")));
}

bool Batiment::ecrire(const SaisieBatiment &saisie, const QString &site, bool ecraser)
{
    const bool creation = m_etat == EtatBatiment::creation;
    QVariantMap arguments;
    if (creation) {
        arguments = BuildingArguments::insLocal(saisie, site);
    } else {
        const eo::EORecord batiment = m_tableBatiment.selectedObject();
        const QString ancienCode =
            batiment ? KORConversions::recupererChaine(batiment->valueForKey(QStringLiteral("cLocal")))
                     : QString();
        arguments = BuildingArguments::majLocal(saisie, site, ancienCode);
    }
    const QString refus = creation
                              ? QStringLiteral("Le nouveau batiment n'a pas ete enregistre !!")
                              : QStringLiteral("Les modifications du batiment n'a pas ete enregistrees !!");
    data::SaveTransaction enregistrement(m_dataBus, refus);
    if (!creation) {
        // Nothing is written over what someone else stored since the modification began.
        const BuildingConflictCheck::Etat etat = m_verification->verifier(!ecraser);
        if (etat != BuildingConflictCheck::Etat::inchange) {
            enregistrement.abandonner();
            return resoudreConflit(etat == BuildingConflictCheck::Etat::disparu, saisie, site);
        }
    }
    enregistrement.etape(true);
    enregistrement.ajouter(creation ? QStringLiteral("insLocal") : QStringLiteral("majLocal"), arguments,
                           refus);
    switch (enregistrement.terminer()) {
    case data::SaveTransaction::Issue::enregistree:
        break;
    case data::SaveTransaction::Issue::incertaine:
        m_incertain->retenir(creation, BuildingArguments::champ(saisie.code, BuildingArguments::largeurCode));
        return false;
    case data::SaveTransaction::Issue::refusee:
        return false;
    }
    batimentEnregistre(creation, BuildingArguments::champ(saisie.code, BuildingArguments::largeurCode));
    return true;
}

void Batiment::batimentEnregistre(bool creation, const QString &code)
{
    m_verification->oublier();
    if (creation)
        chargerBatiments();
    else
        reprendreApresModification(code);
    m_listeExportPerimee = true;
    platform::NotificationCenter::defaultCenter().postNotificationName(changementAuxBatiments, this);
}

bool Batiment::resoudreConflit(bool disparu, const SaisieBatiment &saisie, const QString &site)
{
    if (disparu) {
        platform::NSRunAlertPanel(QStringLiteral("ATTENTION"), m_verification->messageDisparu(),
                                  QStringLiteral("OK"));
        m_verification->oublier();
        chargerBatiments();
        m_listeExportPerimee = true;
        return true;
    }
    switch (m_verification->demander()) {
    case BuildingConflictCheck::Reponse::annuler:
        return false;
    case BuildingConflictCheck::Reponse::ecraser:
        return ecrire(saisie, site, true);
    case BuildingConflictCheck::Reponse::recharger:
        break;
    }
    const QString code = m_verification->code();
    m_verification->oublier();
    rafraichirBatiment(code);
    return true;
}

void Batiment::rafraichirBatiment(const QString &code)
{
    // The editing context keeps one record per row: the building of the list is read again in place.
    const eo::EORecord batiment = m_dataBus.fetchObject(
        QStringLiteral("LocalVix"),
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("cLocal=%@"), {code}));
    if (!batiment)
        return;
    const eo::EORecord adresse = m_dataBus.fetchObject(
        QStringLiteral("AdresseVix"),
        eo::EOQualifier::qualifierWithQualifierFormat(
            QStringLiteral("adrOrdre=%@"), {batiment->valueForKey(QStringLiteral("idAdresseAdmin"))}));
    if (adresse)
        batiment->takeValueForKey(eo::EOGenericRecord::toVariant(adresse), QStringLiteral("toAdresseVix"));
    m_tableBatiment.redisplay();
    if (const eo::EORecord choisi = m_tableBatiment.selectedObject())
        m_formulaire->remplir(choisi);
}

void Batiment::reprendreApresModification(const QString &code)
{
    const eo::EORecord batiment = m_dataBus.fetchObject(
        QStringLiteral("LocalVix"),
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("cLocal=%@"), {code}));
    if (!batiment) {
        // The building cannot be read back by its new code (another session changed it meanwhile): the
        // list is read again as a whole.
        chargerBatiments();
        return;
    }
    const eo::EORecord adresse = m_dataBus.fetchObject(
        QStringLiteral("AdresseVix"),
        eo::EOQualifier::qualifierWithQualifierFormat(
            QStringLiteral("adrOrdre=%@"), {batiment->valueForKey(QStringLiteral("idAdresseAdmin"))}));
    if (adresse)
        batiment->takeValueForKey(eo::EOGenericRecord::toVariant(adresse), QStringLiteral("toAdresseVix"));

    QList<eo::EORecord> batiments = m_tableBatiment.displayedObjects();
    const QList<int> selection = m_tableBatiment.selectionIndexes();
    m_tableBatiment.clearSelection();
    if (!selection.isEmpty() && selection.first() < batiments.size())
        batiments.removeAt(selection.first());
    batiments.removeAll(batiment); // the same record when the code did not change
    batiments.append(batiment);
    std::stable_sort(batiments.begin(), batiments.end(),
                     [](const eo::EORecord &a, const eo::EORecord &b) { return triBatiment(a, b) < 0; });
    m_tableBatiment.setObjectArray(batiments);
    m_tableBatiment.redisplay();
}

int Batiment::triBatiment(const eo::EORecord &premier, const eo::EORecord &second)
{
    const QString a = KORConversions::recupererChaine(premier->valueForKey(QStringLiteral("appellation")));
    const QString b = KORConversions::recupererChaine(second->valueForKey(QStringLiteral("appellation")));
    const int ordre = a.compare(b, Qt::CaseSensitive);
    return ordre < 0 ? -1 : (ordre > 0 ? 1 : 0);
}

void Batiment::modifier(QObject *)
{
    if (m_tableBatiment.selectionIndexes().size() != 1)
        return;
    // The building as stored now is what the modification starts from, and what its save compares with.
    const QString code = KORConversions::recupererChaine(
        m_tableBatiment.selectedObject()->valueForKey(QStringLiteral("cLocal")));
    if (!m_verification->prendre(code)) {
        platform::NSRunAlertPanel(QStringLiteral("ATTENTION"), m_verification->messageDisparu(),
                                  QStringLiteral("OK"));
        m_verification->oublier();
        chargerBatiments();
        m_formulaire->montrer(m_etat, m_tableBatiment.displayedObjects().isEmpty(),
                              !m_tableBatiment.displayedObjects().isEmpty());
        return;
    }
    rafraichirBatiment(code);
    m_incertain->oublier();
    m_etat = EtatBatiment::modification;
    m_formulaire->montrer(m_etat, false, false);
    m_formulaire->selectionnerCode();
}

void Batiment::historique(QObject *)
{
    const eo::EORecord batiment = m_tableBatiment.selectedObject();
    if (m_etat != EtatBatiment::consultation || !batiment)
        return;
    const QString code = KORConversions::recupererChaine(batiment->valueForKey(QStringLiteral("cLocal")));
    if (!m_historique)
        m_historique = std::make_unique<history::Historique>(m_dataBus);
    m_historique->afficherBatiment(
        code,
        QStringLiteral("Bâtiment %1 – %2")
            .arg(code, KORConversions::recupererChaine(batiment->valueForKey(QStringLiteral("appellation")))),
        ui->fenetreBatiment);
}

void Batiment::supprimer(QObject *)
{
    platform::NSRunAlertPanel(QStringLiteral("ATTENTION"),
                              QStringLiteral("Pour supprimer un batiment, vous devez telephoner au KOR !"),
                              QStringLiteral("OK"));
}

void Batiment::finir(QObject *)
{
    if (ui->boutonFinir->isChecked()) {
        arreterModal(ui->fenetreBatiment);
        ui->boutonFinir->setChecked(false);
        return;
    }
    m_verification->oublier();
    m_incertain->oublier();
    m_etat = EtatBatiment::consultation;
    const bool batiments = !m_tableBatiment.displayedObjects().isEmpty();
    if (batiments)
        displayGroupDidChangeSelection(&m_tableBatiment);
    m_formulaire->montrer(m_etat, !batiments, batiments);
}

void Batiment::displayGroupDidChangeSelection(eo::EODisplayGroup *group)
{
    if (group != &m_tableBatiment || m_tableBatiment.selectionIndexes().size() != 1)
        return;
    if (m_etat == EtatBatiment::consultation) {
        m_formulaire->remplir(m_tableBatiment.selectedObject());
        m_selectedBatiment = m_tableBatiment.selectionIndexes().first();
    } else if (m_tableBatiment.selectionIndexes().first() != m_selectedBatiment) {
        // A building is being typed: the selection stays on it.
        m_tableBatiment.setSelectionIndexes({m_selectedBatiment});
    }
}

// --- The room list ---------------------------------------------------------------------------------------

QString Batiment::batimentChoisi() const
{
    return ui->listeBatiments->currentIndex() < 0 ? QString() : ui->listeBatiments->currentText();
}

void Batiment::ouvertureExport(QObject *)
{
    if (m_tableBatiment.displayedObjects().isEmpty() || m_listeExportPerimee)
        chargeExport();
    executerModal(ui->fenetreExport);
}

void Batiment::fermerExport(QObject *)
{
    arreterModal(ui->fenetreExport);
}

void Batiment::chargeExport()
{
    chargerBatiments();
    QComboBox *liste = ui->listeBatiments;
    liste->clear();
    for (const eo::EORecord &batiment : m_tableBatiment.displayedObjects())
        liste->addItem(KORConversions::recupererChaine(batiment->valueForKey(QStringLiteral("appellation"))));
    if (liste->count() > 0)
        liste->setCurrentIndex(0);
    m_listeExportPerimee = false;
}

void Batiment::exportToFile(QObject *sender)
{
    const QString nom = batimentChoisi();
    KORFormHelpers::fetchTable(m_dataBus, &m_tableSalles, QStringLiteral("SallesVix"),
                               RoomListExport::qualifierSalles(nom), RoomListExport::ordreDuFichier(), true);
    const QList<eo::EORecord> salles = m_tableSalles.displayedObjects();
    if (!salles.isEmpty()) {
        QList<eo::EORecord> toutes;
        const RoomListExport::LignesParSalle lignes = RoomListExport::lignesParSalle(m_dataBus, nom, &toutes);
        m_tableDetailPourcentage.setObjectArray(toutes);
        const QByteArray octets = platform::FileWriter::windows1252(RoomListExport::texte(salles, lignes));

        platform::SavePanelRequest demande;
        demande.title = QStringLiteral("Exporter la liste des salles");
        demande.directory = QDir::homePath();
        demande.fileName = QStringLiteral("export.txt");
        const std::optional<QString> chemin = platform::SavePanel::runModal(demande);
        QString raison;
        if (chemin && !chemin->isEmpty() &&
            !platform::FileWriter::writeAtomically(*chemin, octets, &raison)) {
            qWarning().noquote()
                << QStringLiteral(">>>>> Écriture de %1 impossible : %2").arg(*chemin, raison);
            QApplication::beep();
            platform::NSRunAlertPanel(QStringLiteral("ERREUR"),
                                      QStringLiteral("Problème lors de l'écriture du fichier."),
                                      QStringLiteral("OK"));
        }
    }
    fermerExport(sender);
}

void Batiment::imprimerListe(QObject *)
{
    QVariantMap info;
    const QString nom = batimentChoisi();
    KORFormHelpers::fetchTable(m_dataBus, &m_tableSalles, QStringLiteral("SallesVix"),
                               RoomListExport::qualifierSalles(nom), {}, true);
    const QList<eo::EORecord> salles = m_tableSalles.displayedObjects();
    if (salles.isEmpty()) {
        platform::NSRunAlertPanel(QStringLiteral("IMPRESSION ANNULEE"),
                                  QStringLiteral("Ce batiment ne contient aucune salle !"),
                                  QStringLiteral("OK"));
        return;
    }
    info.insert(QStringLiteral("leBatiment"), nom);
    QList<eo::EORecord> toutes;
    const RoomListExport::LignesParSalle lignes = RoomListExport::lignesParSalle(m_dataBus, nom, &toutes);
    m_tableDetailPourcentage.setObjectArray(toutes);
    RoomListPrint::relier(m_dataBus, salles, lignes);
    RoomListPrint::etiqueter(salles);

    QVariantList objets;
    objets.reserve(salles.size());
    for (const eo::EORecord &salle : salles)
        objets.append(eo::EOGenericRecord::toVariant(salle));
    framework::KORReportProgress progression(QStringLiteral("Impression de la liste des salles..."),
                                             ui->fenetreExport);
    const framework::KORReport::Result rapport = framework::KORReport::PDFReportWithTemplateNameOrPath(
        QStringLiteral("ListeSalles"), objets, info, progression.callback());
    if (rapport.cancelled)
        return;

    const QString fichier = RoomListPrint::nomFichier(platform::Clock::now());
    const QString dossier = framework::KORApplicationOC::temporaryDirectory();
    if (dossier.isEmpty()) {
        platform::NSRunAlertPanel(QStringLiteral("ERREUR"),
                                  QStringLiteral("Pas de TEMP ou HOME directory, probleme grave !"),
                                  QStringLiteral("OK"));
        return;
    }
    // The platform's own separator between the folder and the file.
    const QString chemin = QDir::toNativeSeparators(dossier + QLatin1Char('/') + fichier);
    QString raison = rapport.error;
    if (!rapport.succeeded() || !platform::FileWriter::writeAtomically(chemin, rapport.data, &raison)) {
        qWarning().noquote()
            << QStringLiteral(">>>>> Impression de la liste des salles impossible : %1").arg(raison);
        platform::NSRunAlertPanel(QStringLiteral("PROBLEME"),
                                  QStringLiteral("Le fichier n'a pas pu etre cree !"), QStringLiteral("OK"));
        return;
    }
    platform::FileOpener::openFile(chemin);
}

} // namespace buildings
