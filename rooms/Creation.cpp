#include "Creation.h"

#include "AlertPanel.h"
#include "Historique.h"
#include "KORAction.h"
#include "KORConversions.h"
#include "KORDataBusOC.h"
#include "KORFormHelpers.h"
#include "NSCursorExtensions.h"
#include "NotificationCenter.h"
#include "RoomBuildingChooser.h"
#include "RoomConflictCheck.h"
#include "RoomCustodianChooser.h"
#include "RoomDecimalDelegate.h"
#include "RoomDeleter.h"
#include "RoomEquipmentEditor.h"
#include "RoomFieldValidator.h"
#include "RoomForm.h"
#include "RoomKeyboard.h"
#include "RoomListActions.h"
#include "RoomListColumns.h"
#include "RoomListPlacement.h"
#include "RoomOccupationEditor.h"
#include "RoomOutletEditor.h"
#include "RoomQuitPrompt.h"
#include "RoomRefusedFieldCue.h"
#include "RoomSaveCheck.h"
#include "RoomSaver.h"
#include "RoomSearchBuilder.h"
#include "RoomSubListFetch.h"
#include "UncertainSave.h"
#include "ui_Creation.h"
#include "ui_ListeSalles.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QScrollArea>
#include <QScrollBar>

namespace rooms
{

using framework::KORFormHelpers;

namespace
{

const QString changementAuxBatiments = QStringLiteral("changementAuxBatiments");
constexpr auto sansCasse = eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending;

QList<eo::EOSortOrdering> typesParLibelle()
{
    return {{QStringLiteral("tsalLibelle"), sansCasse}};
}

QList<eo::EOSortOrdering> batimentsParAppellation()
{
    return {{QStringLiteral("appellation"), sansCasse}};
}

} // namespace

Creation::Creation(data::KORDataBusOC &dataBus, QWidget *barre, QWidget *contenu, QObject *parent)
    : QObject(parent), m_dataBus(dataBus), m_formulaire(contenu), ui(std::make_unique<Ui::Creation>()),
      uiListe(std::make_unique<Ui::ListeSalles>())
{
    construireVues(barre);
    m_champs = std::make_unique<RoomForm>(*ui, m_tables);
    m_remplissage = std::make_unique<RoomFormFiller>(m_dataBus, *m_champs, m_tables);
    m_sauvegarde = std::make_unique<RoomSaver>(m_dataBus, m_tables);
    m_suppression = std::make_unique<RoomDeleter>(m_dataBus, m_tables);
    m_verification = std::make_unique<RoomConflictCheck>(m_dataBus);
    m_incertain = std::make_unique<data::UncertainSave>(m_dataBus, RoomSaver::incertitudes());
    m_depositaires = new RoomCustodianChooser(
        m_dataBus, m_tables, {ui->boutonAjoutDepositaire, nullptr, ui->boutonSupprDepositaire}, m_vue, this);
    m_batiments = new RoomBuildingChooser(m_dataBus, ui->localisationBatiment, m_tables, m_vue, this);
    m_prises =
        new RoomOutletEditor(m_tables, {nullptr, ui->boutonModifPrises, ui->boutonSupprPrises}, m_vue, this);
    m_materiels = new RoomEquipmentEditor(
        m_dataBus, m_tables, {ui->boutonAjoutMatos, ui->boutonModifMatos, ui->boutonSupprMatos}, m_vue, this);
    m_occupations = new RoomOccupationEditor(
        m_dataBus, m_tables, {nullptr, nullptr, ui->boutonSupprDetailPourcentage}, m_vue, this);
    m_actionsListe = new RoomListActions(m_dataBus, m_tables.tableSalles, *uiListe, m_listeSalles,
                                         ui->boutonImprimerFiche, this);
    for (eo::EODisplayGroup *groupe : m_tables.all())
        groupe->setDelegate(this);
    m_quitter = std::make_unique<RoomQuitPrompt>(
        m_vue,
        QList<const QAbstractItemModel *>{&m_tables.tableDepositaire, &m_tables.tablePrise,
                                          &m_tables.tableDetailSalle, &m_tables.tableDetailPourcentage});
    relierBoutons();
    relierSousListes();
}

Creation::~Creation()
{
    for (eo::EODisplayGroup *groupe : m_tables.all())
        groupe->setDelegate(nullptr);
}

void Creation::construireVues(QWidget *barre)
{
    // The interface file holds the bar of buttons above the form; the shell shows the bar in its own place.
    ui->setupUi(m_formulaire.racine());
    m_formulaire.placer(ui->boutons, barre);
    m_boutons = ui->boutons;
    m_vue = m_formulaire.racine();

    RoomDisplayGroups::montrerDans(ui->vueDepositaire, m_tables.tableDepositaire, true);
    RoomDisplayGroups::montrerDans(ui->vuePrise, m_tables.tablePrise, true);
    RoomDisplayGroups::montrerDans(ui->vueDetailSalle, m_tables.tableDetailSalle, true);
    RoomDisplayGroups::montrerDans(ui->vueDetailPourcentage, m_tables.tableDetailPourcentage, true);
    // The names (group, family, equipment, department, kind) take the width; codes and numbers stay narrow.
    RoomListColumns::ajusterSousListe(ui->vueDepositaire, {1});
    RoomListColumns::ajusterSousListe(ui->vuePrise, {1});
    RoomListColumns::ajusterSousListe(ui->vueDetailSalle, {0, 1});
    RoomListColumns::ajusterSousListe(ui->vueDetailPourcentage, {0, 1});

    // The result window belongs to the form's window, above which it stays.
    m_listeSalles = new QWidget(m_vue, Qt::Window);
    uiListe->setupUi(m_listeSalles);
    m_listeSalles->setAttribute(Qt::WA_QuitOnClose, false);
    m_listeSalles->installEventFilter(this);
    QTableView *vueSalles = uiListe->vueSalles;
    RoomDisplayGroups::montrerDans(vueSalles, m_tables.tableSalles, false);
    // No column is sorted until the user clicks one; the search's own order stands until then.
    vueSalles->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    vueSalles->setSortingEnabled(true);
    vueSalles->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    vueSalles->setItemDelegateForColumn(5, new RoomDecimalDelegate(vueSalles));
    m_placement = new RoomListPlacement(m_listeSalles, m_boutons, this);

    const auto accepte = [this](const QLineEdit *champ) {
        return RoomFieldValidator::verifier(champ->objectName(), champ->text(), m_etat).accepte;
    };
    m_refus = new RoomRefusedFieldCue(accepte, this);

    RoomKeyboard::Actions actions;
    actions.valider = [this](QLineEdit *champ) { return controlIsValidObject(champ); };
    actions.accepte = accepte;
    actions.signalerRefus = [this](QLineEdit *champ) { m_refus->signaler(champ); };
    actions.rechercheEnSaisie = [this]() {
        return m_etat == Etat::saisieRecherche && ui->boutonRecherche->isEnabled() &&
               ui->boutonRecherche->isChecked();
    };
    actions.lancerRecherche = [this]() { ui->boutonRecherche->click(); };
    m_clavier = new RoomKeyboard(std::move(actions), this);
    const QStringList &numeriques = RoomFieldValidator::champsNumeriques();
    for (QLineEdit *champ : m_vue->findChildren<QLineEdit *>())
        m_clavier->surveiller(champ, numeriques.contains(champ->objectName()));
    for (QWidget *controle :
         {static_cast<QWidget *>(ui->localisationBatiment), static_cast<QWidget *>(ui->typePopup)})
        m_clavier->surveiller(controle, false);
    for (QCheckBox *caseACocher : m_vue->findChildren<QCheckBox *>())
        m_clavier->surveiller(caseACocher, false);
    m_clavier->garder(m_vue);
    m_clavier->garder(m_boutons);
    m_clavier->toujoursPermis(ui->boutonAnnuler);
}

void Creation::relierBoutons()
{
    using framework::connectAction;
    connectAction(ui->boutonRecherche, &QPushButton::clicked, this,
                  [this]() { recherche(ui->boutonRecherche); });
    connectAction(ui->boutonCreer, &QPushButton::clicked, this, [this]() { create(ui->boutonCreer); });
    connectAction(ui->boutonSupprimer, &QPushButton::clicked, this,
                  [this]() { suppression(ui->boutonSupprimer); });
    connectAction(ui->boutonModifier, &QPushButton::clicked, this,
                  [this]() { modifier(ui->boutonModifier); });
    connectAction(ui->boutonAnnuler, &QPushButton::clicked, this,
                  [this]() { annulation(ui->boutonAnnuler); });
    connectAction(ui->boutonHistorique, &QPushButton::clicked, this,
                  [this]() { historique(ui->boutonHistorique); });
    connectAction(ui->boutonReprendre, &QPushButton::clicked, this,
                  [this]() { reprendreCriteres(ui->boutonReprendre); });
}

void Creation::relierSousListes()
{
    // Each button hands itself to its helper's action, as the sender.
    const auto relier = [this](QAbstractButton *bouton, auto *objet,
                               void (std::remove_pointer_t<decltype(objet)>::*action)(QObject *)) {
        framework::connectAction(bouton, &QAbstractButton::clicked, this,
                                 [bouton, objet, action]() { (objet->*action)(bouton); });
    };
    relier(ui->boutonAjoutDepositaire, m_depositaires, &RoomCustodianChooser::ajoutDepositaire);
    relier(ui->boutonSupprDepositaire, m_depositaires, &RoomCustodianChooser::supprDepositaire);
    relier(ui->boutonChoixBatiment, m_batiments, &RoomBuildingChooser::choisirBatiment);
    relier(ui->boutonAjoutPrises, m_prises, &RoomOutletEditor::ajoutPrise);
    relier(ui->boutonModifPrises, m_prises, &RoomOutletEditor::modifPrise);
    relier(ui->boutonSupprPrises, m_prises, &RoomOutletEditor::supprPrise);
    relier(ui->boutonAjoutMatos, m_materiels, &RoomEquipmentEditor::afficherMatos);
    relier(ui->boutonModifMatos, m_materiels, &RoomEquipmentEditor::afficherMatos);
    relier(ui->boutonSupprMatos, m_materiels, &RoomEquipmentEditor::supprimerMatos);
    relier(ui->boutonAjoutDetailPourcentage, m_occupations, &RoomOccupationEditor::ajoutDetailPourcentage);
    relier(ui->boutonSupprDetailPourcentage, m_occupations, &RoomOccupationEditor::supprDetailPourcentage);
}

// --- Set-up ---------------------------------------------------------------------------------------------

void Creation::initObjet()
{
    m_etat = Etat::repos;
    m_rechercheOuverte = false;
    initPanel(false, true);
    m_prises->oublierSuppressions();

    // The types and the buildings are read together: one wait for a server across a slow link.
    const eo::EOPrefetch enAvance = m_dataBus.prefetch(lecturesInitiales());
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableTypeSalle, QStringLiteral("TypeSalle"), {},
                               typesParLibelle(), false);
    m_champs->listerTypes(m_tables.tableTypeSalle.displayedObjects());

    initPopUpBatiment();

    platform::NotificationCenter &centre = platform::NotificationCenter::defaultCenter();
    centre.removeObserver(this, changementAuxBatiments);
    centre.addObserver(
        this, [this](const platform::Notification &) { initPopUpBatiment(); }, changementAuxBatiments);
}

QList<eo::EOPrefetch::Fetch> Creation::lecturesInitiales() const
{
    return {data::KORDataBusOC::declaredFetch(QStringLiteral("TypeSalle"), {}, typesParLibelle(),
                                              &m_tables.tableTypeSalle),
            data::KORDataBusOC::declaredFetch(QStringLiteral("LocalVix"), {}, batimentsParAppellation(),
                                              &m_tables.tableBatiments)};
}

void Creation::initPopUpBatiment()
{
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableBatiments, QStringLiteral("LocalVix"), {},
                               batimentsParAppellation(), true);
    m_champs->listerBatiments(m_tables.tableBatiments.displayedObjects());
}

// --- Modes ----------------------------------------------------------------------------------------------

void Creation::initPanel(bool actif, bool clean)
{
    m_champs->initPanel(m_etat, actif, clean);
    // A mode change leaves no field marked refused: its entry is either gone or checked again when left.
    m_refus->toutEffacer();
    ui->boutonReprendre->setEnabled(!enEdition(m_etat) && m_derniersCriteres.existe());
    boutonsDeLaSalle();
}

void Creation::boutonsDeLaSalle()
{
    if (m_actionsListe)
        m_actionsListe->mettreAJour(m_etat == Etat::salleAffichee);
    // A shown room is modified or deleted only when it is the one room selected in the result list: with
    // several rooms selected the form is empty, and saving it would write an empty room over the first.
    const bool uneSalle = m_tables.tableSalles.selectionIndexes().size() == 1;
    ui->boutonHistorique->setEnabled(m_etat == Etat::salleAffichee && uneSalle);
    if (m_etat != Etat::salleAffichee)
        return;
    ui->boutonModifier->setEnabled(uneSalle);
    ui->boutonSupprimer->setEnabled(uneSalle);
}

void Creation::windowWillClose(QWidget *fenetre)
{
    m_rechercheOuverte = false;
    if (fenetre == m_listeSalles) {
        m_etat = Etat::repos;
        initPanel(false, true);
    }
}

bool Creation::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_listeSalles && event->type() == QEvent::Close)
        windowWillClose(m_listeSalles);
    return QObject::eventFilter(watched, event);
}

void Creation::displayGroupDidChangeSelection(eo::EODisplayGroup *group)
{
    // Called from the list's selection signal: the fetches of the room's sub-lists must not throw into Qt.
    framework::performAction([this, group] { selectionChangee(group); });
}

void Creation::selectionChangee(eo::EODisplayGroup *group)
{
    if (group == &m_tables.tableSalles) {
        if (m_tables.tableSalles.selectionIndexes().size() == 1)
            m_remplissage->remplir(m_tables.tableSalles.selectedObject());
        else
            initPanel(false, true);
        boutonsDeLaSalle();
    } else if (group == &m_tables.tableGroupe) {
        m_remplissage->groupeChoisi();
    } else if (group == &m_tables.tableFamilleMatos) {
        m_remplissage->familleChoisie();
    }
}

bool Creation::controlIsValidObject(QLineEdit *control)
{
    if (!control)
        return true;
    const RoomFieldValidator::Resultat resultat =
        RoomFieldValidator::verifier(control->objectName(), control->text(), m_etat);
    if (!resultat.accepte)
        return false;
    if (control->text() != resultat.texte)
        control->setText(resultat.texte);
    return true;
}

void Creation::selectionnerPourSaisie(QLineEdit *champ)
{
    champ->setFocus(Qt::OtherFocusReason);
    champ->selectAll();
    // The shell shows the form in a scrolling area: the field the user is sent to is brought into view.
    for (QWidget *parent = champ->parentWidget(); parent; parent = parent->parentWidget()) {
        if (auto *defilement = qobject_cast<QScrollArea *>(parent)) {
            defilement->ensureWidgetVisible(champ);
            break;
        }
    }
}

bool Creation::refusEnCours()
{
    // Nothing runs while a field shows a refused entry: the user is sent back to it, and told why.
    QLineEdit *champ = m_clavier->champRefuse();
    if (!champ)
        return false;
    m_refus->signaler(champ);
    selectionnerPourSaisie(champ);
    return true;
}

bool Creation::champSignale(const QLineEdit *champ) const
{
    return m_refus->estSignale(champ);
}

// --- Actions ---------------------------------------------------------------------------------------------

void Creation::recherche(QObject *)
{
    // A list still open is closed as by its close box: the tab goes back to idle first.
    if (m_listeSalles->isVisible())
        m_listeSalles->close();

    if (ui->boutonRecherche->isChecked()) {
        m_etat = Etat::saisieRecherche;
        initPanel(true, true);
        ui->typePopup->setCurrentIndex(0);
        selectionnerPourSaisie(ui->localisationEtage);
        return;
    }
    lancerRecherche();
}

void Creation::lancerRecherche()
{
    if (refusEnCours()) {
        ui->boutonRecherche->setChecked(true);
        return;
    }
    const RoomLastCriteria::Valeurs criteres = valeursDuFormulaire();
    m_derniersCriteres.retenir(criteres);
    const RoomSearchBuilder::Resultat recherche = RoomSearchBuilder::construire(
        criteres, [this](const QString &libelle) { return numeroTypeSalle(libelle); });

    if (!recherche.pourcentageTropGrand.isEmpty()) {
        platform::NSRunAlertPanel(QStringLiteral("Attention"),
                                  QStringLiteral("Pas de pourcentage > a 100 !!!!"), QStringLiteral("OK"));
        if (auto *champ = m_vue->findChild<QLineEdit *>(recherche.pourcentageTropGrand))
            selectionnerPourSaisie(champ);
        ui->boutonRecherche->setChecked(true);
        return;
    }

    if (!recherche.champRefuse.isEmpty()) {
        // The search's own check of a number, should the form's have missed it: told and handled alike.
        if (auto *champ = m_vue->findChild<QLineEdit *>(recherche.champRefuse)) {
            m_refus->signaler(champ);
            selectionnerPourSaisie(champ);
        }
        ui->boutonRecherche->setChecked(true);
        return;
    }

    // The list's export names the criteria that produced it.
    m_actionsListe->criteres().retenir(criteres, recherche.champsRetenus);

    // The wait cursor stays through the filling of the list and its layout, the slow half of a large search.
    const data::WaitCursorScope attente;
    // Each search is listed in its own order, whatever column the previous list was sorted by.
    m_tables.tableSalles.setSortOrderings({});
    uiListe->vueSalles->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    try {
        KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableSalles, RoomSearchBuilder::entite(),
                                   recherche.qualifier, RoomSearchBuilder::ordreDesSalles(), true);
    } catch (...) {
        // The database failed the search (its message comes from the action's boundary): the user is left
        // with the criteria typed, still in search entry, free to change them and search again.
        m_etat = Etat::saisieRecherche;
        ui->boutonRecherche->setChecked(true);
        throw;
    }

    if (!m_tables.tableSalles.displayedObjects().isEmpty()) {
        m_etat = Etat::salleAffichee;
        m_rechercheOuverte = true;
        initPanel(false, false);
        montrerListe();
        uiListe->vueSalles->doItemsLayout();
    } else {
        m_etat = Etat::repos;
        initPanel(false, true);
        platform::NSRunAlertPanel(QStringLiteral("Recherche de salles"),
                                  QStringLiteral("Pas de salle trouvee pour les criteres demandes !"),
                                  QStringLiteral("OK"));
    }
}

bool Creation::afficherSalles(const QList<qint64> &salles, const QString &nom)
{
    if (m_etat == Etat::creation || m_etat == Etat::modification || m_etat == Etat::saisieRecherche) {
        platform::NSRunAlertPanel(
            QStringLiteral("Attention"),
            QStringLiteral("Terminez ou annulez la salle en cours avant de lister d'autres "
                           "salles."),
            QStringLiteral("OK"));
        return false;
    }
    QList<eo::EORecord> trouvees;
    for (const QList<eo::EORecord> &lignes :
         RoomSubListFetch::lire(m_dataBus, RoomSearchBuilder::entite(), salles))
        trouvees.append(lignes);
    if (trouvees.isEmpty()) {
        platform::NSRunAlertPanel(QStringLiteral("Recherche de salles"),
                                  QStringLiteral("Pas de salle trouvee pour les criteres demandes !"),
                                  QStringLiteral("OK"));
        return false;
    }
    eo::EOSortOrdering::sortArrayUsingKeyOrderArray(trouvees, RoomSearchBuilder::ordreDesSalles());
    m_actionsListe->criteres().designer(QStringLiteral("Statistiques"), nom);
    m_tables.tableSalles.setSortOrderings({});
    uiListe->vueSalles->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_tables.tableSalles.setSelectsFirstObjectAfterFetch(true);
    m_tables.tableSalles.setObjectArray(trouvees);
    m_etat = Etat::salleAffichee;
    m_rechercheOuverte = true;
    initPanel(false, false);
    montrerListe();
    return true;
}

QList<qint64> Creation::sallesListees() const
{
    QList<qint64> salles;
    if (!m_listeSalles || !m_listeSalles->isVisible())
        return salles;
    const QList<eo::EORecord> &listees = m_tables.tableSalles.displayedObjects();
    salles.reserve(listees.size());
    for (const eo::EORecord &salle : listees)
        salles.append(salle->valueForKey(QStringLiteral("salNumero")).toLongLong());
    return salles;
}

QVariant Creation::numeroTypeSalle(const QString &libelle)
{
    KORFormHelpers::fetchTable(
        m_dataBus, &m_tables.tableTypeSalle, QStringLiteral("TypeSalle"),
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("tsalLibelle=%@"), {libelle}), {}, true);
    const eo::EORecord type = m_tables.tableTypeSalle.selectedObject();
    return type ? type->valueForKey(QStringLiteral("tsalNumero")) : QVariant();
}

RoomLastCriteria::Valeurs Creation::valeursDuFormulaire() const
{
    QStringList champs;
    for (const RoomSearchBuilder::Critere &critere : RoomSearchBuilder::criteres())
        champs.append(critere.champ);
    return RoomLastCriteria::lire(m_vue, champs);
}

void Creation::reprendreCriteres(QObject *)
{
    if (!m_derniersCriteres.existe())
        return;
    // From an idle form or a room shown, the search's first click comes first: the criteria are typed again
    // where they were typed.
    if (m_etat == Etat::repos || m_etat == Etat::salleAffichee) {
        ui->boutonRecherche->setChecked(true);
        recherche(ui->boutonRecherche);
    }
    if (m_etat != Etat::saisieRecherche)
        return;
    RoomLastCriteria::ecrire(m_vue, m_derniersCriteres.valeurs());
    selectionnerPourSaisie(ui->localisationEtage);
}

const QVariantList &Creation::prisesSupprimees() const
{
    return m_prises->prisesSupprimees();
}

void Creation::compterSalles()
{
    const qsizetype nombre = m_tables.tableSalles.displayedObjects().size();
    uiListe->nombreSalles->setText(nombre <= 1 ? QStringLiteral("%1 salle").arg(nombre)
                                               : QStringLiteral("%1 salles").arg(nombre));
}

void Creation::montrerListe()
{
    compterSalles();
    QStringList batiments;
    for (int index = 1; index < ui->localisationBatiment->count(); ++index)
        batiments.append(ui->localisationBatiment->itemText(index));
    QStringList types;
    for (int index = 1; index < ui->typePopup->count(); ++index)
        types.append(ui->typePopup->itemText(index));
    QTableView *vue = uiListe->vueSalles;
    const int colonnes = RoomListColumns::ajusterResultats(vue, batiments, types);
    const QMargins marges = m_listeSalles->layout()->contentsMargins();
    // As wide as its columns, about twenty rooms high, the first time; the user's size afterwards.
    m_placement->placer(QSize(colonnes + vue->verticalScrollBar()->sizeHint().width() +
                                  2 * vue->frameWidth() + marges.left() + marges.right(),
                              480));
    m_listeSalles->show();
    m_listeSalles->raise();
    m_listeSalles->activateWindow();
    // The keyboard goes to the list, so that the arrow keys move from room to room at once.
    uiListe->vueSalles->setFocus(Qt::OtherFocusReason);
}

void Creation::create(QObject *)
{
    if (ui->boutonCreer->isChecked())
        commencerCreation();
    else
        enregistrer();
}

void Creation::commencerCreation()
{
    if (m_listeSalles->isVisible())
        m_listeSalles->close();
    KORFormHelpers::viderTable(&m_tables.tableSalles);
    m_prises->oublierSuppressions();
    m_incertain->oublier();
    m_etat = Etat::creation;
    m_rechercheOuverte = false;
    initPanel(true, true);
    m_quitter->commencer();
    selectionnerPourSaisie(ui->localisationEtage);
}

void Creation::enregistrer()
{
    if (!enEdition(m_etat))
        return;
    // The button stays pressed until the room is stored: after a refusal, or an error that ends the
    // action, the form stays as typed and the next click saves it again.
    ui->boutonCreer->setChecked(true);
    // A save the server did not confirm is asked about first: stored already, it is shown, not made twice.
    if (enregistrementDejaFait())
        return;
    // A number the field refuses (malformed, or beyond what its column holds) is refused here too, before
    // any procedure is called, as when the user leaves the field: back into it, the form as typed.
    if (refusEnCours())
        return;
    const eo::EORecord stockee =
        m_etat == Etat::creation ? eo::EORecord() : m_tables.tableSalles.selectedObject();
    if (m_etat != Etat::creation && !stockee)
        return;
    SaisieSalle salle = m_champs->saisie(stockee, prisesSupprimees());
    const std::optional<RoomSaveCheck::Refus> refus = RoomSaveCheck::verifier(salle);
    // The door shows what will be stored, even when a later check refuses the save.
    m_champs->montrerPorte(salle.porte);
    if (refus) {
        platform::NSRunAlertPanel(QStringLiteral("ATTENTION"), refus->message, QStringLiteral("OK"));
        if (auto *champ = qobject_cast<QLineEdit *>(m_champs->champ(refus->champ)))
            selectionnerPourSaisie(champ);
        return;
    }
    // A room that cannot be reserved is saved, and shown, without a custodian.
    if (!salle.reservable)
        KORFormHelpers::viderTable(&m_tables.tableDepositaire);

    if (salle.nouvelle()) {
        QVariant numero;
        const RoomSaver::Issue issue = m_sauvegarde->creer(salle, &numero);
        if (issue == RoomSaver::Issue::incertaine)
            m_incertain->retenir(true, numero);
        if (issue == RoomSaver::Issue::enregistree)
            salleCreee(numero);
        return;
    }
    switch (m_sauvegarde->modifier(salle, *m_verification)) {
    case RoomSaver::Issue::enregistree:
        salleModifiee();
        return;
    case RoomSaver::Issue::incertaine:
        m_incertain->retenir(false, salle.numero);
        return;
    case RoomSaver::Issue::refusee:
        return;
    case RoomSaver::Issue::modifieeAilleurs:
        resoudreConflit(salle);
        return;
    case RoomSaver::Issue::supprimeeAilleurs:
        salleSupprimeeAilleurs(RoomConflictCheck::Action::modification);
        return;
    }
}

bool Creation::enregistrementDejaFait()
{
    if (!m_incertain->enAttente())
        return false;
    switch (m_incertain->demander()) {
    case data::UncertainSave::Reponse::rienDEnregistre:
        return false;
    case data::UncertainSave::Reponse::toujoursInconnue:
        return true;
    case data::UncertainSave::Reponse::enregistree:
        break;
    }
    if (m_incertain->creation())
        salleCreee(m_incertain->cle());
    else
        salleModifiee();
    return true;
}

void Creation::salleCreee(const QVariant &numero)
{
    // Stored: whatever happens while it is shown, a further click must not store it twice.
    salleEnregistree();
    m_remplissage->montrerSeule(numero);
    initPanel(false, false);
}

void Creation::salleModifiee()
{
    // Stored, over the other changes when the user chose so, or the typed changes dropped: the room as
    // stored now.
    m_verification->oublier();
    salleEnregistree();
    m_remplissage->relire();
    if (m_rechercheOuverte)
        montrerListe();
    initPanel(false, false);
}

void Creation::resoudreConflit(const SaisieSalle &salle)
{
    enum Reponse { recharger, ecraser, annuler };
    const int reponse = platform::NSRunChoicePanel(
        QStringLiteral("ATTENTION"), m_verification->messageModifiee(),
        {QStringLiteral("Recharger"), QStringLiteral("Écraser"), QStringLiteral("Annuler")}, annuler);
    if (reponse == annuler)
        return; // still in modification, everything typed kept, the button pressed
    if (reponse == ecraser) {
        switch (m_sauvegarde->modifier(salle, *m_verification, true)) {
        case RoomSaver::Issue::enregistree:
            break;
        case RoomSaver::Issue::supprimeeAilleurs:
            salleSupprimeeAilleurs(RoomConflictCheck::Action::modification);
            return;
        case RoomSaver::Issue::incertaine:
            m_incertain->retenir(false, salle.numero);
            return;
        case RoomSaver::Issue::refusee:
        case RoomSaver::Issue::modifieeAilleurs:
            return;
        }
    }
    salleModifiee();
}

void Creation::salleSupprimeeAilleurs(RoomConflictCheck::Action action)
{
    platform::NSRunAlertPanel(QStringLiteral("ATTENTION"), m_verification->messageSupprimee(action),
                              QStringLiteral("OK"));
    m_verification->oublier();
    ui->boutonCreer->setChecked(false);
    // The list drops the room; the form follows the next one, or empties when none is left.
    eo::EODisplayGroup &salles = m_tables.tableSalles;
    m_etat = salles.displayedObjects().size() > 1 ? Etat::salleAffichee : Etat::repos;
    salles.deleteSelection();
    if (m_etat == Etat::salleAffichee && m_tables.tableSalles.selectionIndexes().size() == 1) {
        initPanel(false, false);
    } else {
        m_etat = Etat::repos;
        initPanel(false, true);
    }
    compterSalles();
    if (m_rechercheOuverte && !salles.displayedObjects().isEmpty())
        montrerListe();
}

void Creation::salleEnregistree()
{
    ui->boutonCreer->setChecked(false);
    m_etat = Etat::salleAffichee;
    m_quitter->oublier();
}

void Creation::suppression(QObject *)
{
    if (m_etat != Etat::salleAffichee || m_tables.tableSalles.selectionIndexes().size() != 1)
        return;
    m_verification->prendre(m_tables.tableSalles.selectedObject()->valueForKey(QStringLiteral("salNumero")));
    const RoomDeleter::Issue issue = m_suppression->supprimer(*m_verification);
    if (issue == RoomDeleter::Issue::dejaSupprimee) {
        salleSupprimeeAilleurs(RoomConflictCheck::Action::suppression);
        return;
    }
    m_verification->oublier();
    if (issue != RoomDeleter::Issue::supprimee)
        return;
    // The list comes back to the front while it still offers a choice.
    if (m_tables.tableSalles.displayedObjects().size() > 1)
        montrerListe();
    else
        compterSalles();
}

void Creation::modifier(QObject *)
{
    if (m_etat != Etat::salleAffichee || m_tables.tableSalles.selectionIndexes().size() != 1)
        return;
    // The room as stored now is what the modification starts from, and what its save compares with to find
    // the changes someone else made meanwhile.
    const eo::EORecord salle = m_tables.tableSalles.selectedObject();
    if (!m_verification->prendre(salle->valueForKey(QStringLiteral("salNumero")))) {
        salleSupprimeeAilleurs(RoomConflictCheck::Action::debutDeModification);
        return;
    }
    m_remplissage->relire();
    // Hidden, not closed: the list comes back when the modification ends.
    if (m_listeSalles->isVisible())
        m_listeSalles->hide();
    m_prises->oublierSuppressions();
    m_incertain->oublier();
    m_etat = Etat::modification;
    initPanel(true, false);
    m_quitter->commencer();
    selectionnerPourSaisie(ui->localisationEtage);
}

void Creation::annulation(QObject *)
{
    m_quitter->oublier();
    m_incertain->oublier();
    switch (m_etat) {
    case Etat::saisieRecherche:
        ui->boutonRecherche->setChecked(false);
        ui->typePopup->setCurrentIndex(0);
        m_etat = Etat::repos;
        initPanel(false, true);
        break;
    case Etat::creation:
        ui->boutonCreer->setChecked(false);
        m_etat = Etat::repos;
        initPanel(false, true);
        break;
    case Etat::modification: {
        m_verification->oublier();
        ui->boutonCreer->setChecked(false);
        if (m_rechercheOuverte) {
            m_listeSalles->show();
            m_listeSalles->raise();
        }
        // The stored room and its sub-lists are read again: lines added, changed or removed since the
        // modification began are dropped, and the form shows the stored values.
        m_etat = Etat::salleAffichee;
        m_remplissage->remplir(m_tables.tableSalles.selectedObject());
        initPanel(false, false);
        break;
    }
    default:
        initPanel(false, true);
        break;
    }
}

void Creation::historique(QObject *)
{
    const eo::EORecord salle = m_tables.tableSalles.selectedObject();
    if (m_etat != Etat::salleAffichee || !salle)
        return;
    auto texte = [&salle](const char *cle) {
        return framework::KORConversions::recupererChaine(salle->valueForKey(QString::fromLatin1(cle)));
    };
    if (!m_historique)
        m_historique = std::make_unique<history::Historique>(m_dataBus);
    m_historique->afficherSalle(salle->valueForKey(QStringLiteral("salNumero")).toLongLong(),
                                QStringLiteral("Salle %1 – étage %2 – porte %3")
                                    .arg(texte("appellation"), texte("salEtage"), texte("salPorte")),
                                m_vue);
}

bool Creation::applicationShouldTerminate()
{
    return !enEdition(m_etat) || m_quitter->peutQuitter();
}

} // namespace rooms
