#include "Creation.h"

#include "AlertPanel.h"
#include "EONull.h"
#include "KORAction.h"
#include "KORConversions.h"
#include "KORDataBusOC.h"
#include "KORFormHelpers.h"
#include "NSCursorExtensions.h"
#include "NotificationCenter.h"
#include "RoomDecimalDelegate.h"
#include "RoomFieldValidator.h"
#include "RoomFormModes.h"
#include "RoomKeyboard.h"
#include "RoomSearchBuilder.h"
#include "ui_Creation.h"
#include "ui_ListeSalles.h"

#include <QCloseEvent>
#include <QHeaderView>

namespace rooms
{

using framework::KORFormHelpers;

namespace
{

const QString changementAuxBatiments = QStringLiteral("changementAuxBatiments");
constexpr auto sansCasse = eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending;

void montrerListeDans(QTableView *vue, eo::EODisplayGroup &groupe, bool uneLigneALaFois)
{
    vue->setModel(&groupe);
    vue->setSelectionModel(groupe.selectionModel());
    vue->setWordWrap(false);
    vue->verticalHeader()->setDefaultSectionSize(vue->fontMetrics().height() + 6);
    if (uneLigneALaFois)
        vue->setSelectionMode(QAbstractItemView::SingleSelection);
}

} // namespace

Creation::Creation(data::KORDataBusOC &dataBus, QObject *parent)
    : QObject(parent), m_dataBus(dataBus), ui(std::make_unique<Ui::Creation>()),
      uiListe(std::make_unique<Ui::ListeSalles>())
{
    construireVues();
    m_remplissage = std::make_unique<RoomFormFiller>(m_dataBus, *ui, m_tables);
    for (eo::EODisplayGroup *groupe : m_tables.all())
        groupe->setDelegate(this);
    relierBoutons();
}

Creation::~Creation()
{
    for (eo::EODisplayGroup *groupe : m_tables.all())
        groupe->setDelegate(nullptr);
    // The shell may have taken the two views into its own windows; whoever goes first deletes them.
    delete m_boutons.data();
    delete m_vue.data(); // the result window goes with it
}

void Creation::construireVues()
{
    // The interface file holds the button bar and the form side by side; the shell shows them in two
    // different places, so each is taken out on its own.
    QWidget racine;
    ui->setupUi(&racine);
    m_boutons = ui->boutons;
    m_vue = ui->vueSalle;
    m_boutons->setParent(nullptr);
    m_vue->setParent(nullptr);

    montrerListeDans(ui->vueDepositaire, m_tables.tableDepositaire, true);
    montrerListeDans(ui->vuePrise, m_tables.tablePrise, true);
    montrerListeDans(ui->vueDetailSalle, m_tables.tableDetailSalle, true);
    montrerListeDans(ui->vueDetailPourcentage, m_tables.tableDetailPourcentage, true);

    // The result window belongs to the form's window, above which it stays.
    m_listeSalles = new QWidget(m_vue, Qt::Window);
    uiListe->setupUi(m_listeSalles);
    m_listeSalles->setAttribute(Qt::WA_QuitOnClose, false);
    m_listeSalles->installEventFilter(this);
    QTableView *vueSalles = uiListe->vueSalles;
    montrerListeDans(vueSalles, m_tables.tableSalles, false);
    // No column is sorted until the user clicks one; the search's own order stands until then.
    vueSalles->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    vueSalles->setSortingEnabled(true);
    // Fixed widths: measuring the contents would read every row of a large result.
    const int largeurs[] = {180, 60, 70, 150, 60, 90};
    for (int colonne = 0; colonne < int(std::size(largeurs)); ++colonne)
        vueSalles->setColumnWidth(colonne, largeurs[colonne]);
    vueSalles->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    vueSalles->setItemDelegateForColumn(5, new RoomDecimalDelegate(vueSalles));

    RoomKeyboard::Actions actions;
    actions.valider = [this](QLineEdit *champ) { return controlIsValidObject(champ); };
    actions.rechercheEnSaisie = [this]() {
        return m_etat == etats::saisieRecherche && ui->boutonRecherche->isEnabled() &&
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
}

void Creation::relierBoutons()
{
    using framework::connectAction;
    connectAction(ui->boutonRecherche, &QPushButton::clicked, this,
                  [this]() { recherche(ui->boutonRecherche); });
    connectAction(ui->boutonCreer, &QPushButton::clicked, this, [this]() { create(ui->boutonCreer); });
    connectAction(ui->boutonModifier, &QPushButton::clicked, this,
                  [this]() { modifier(ui->boutonModifier); });
    connectAction(ui->boutonAnnuler, &QPushButton::clicked, this,
                  [this]() { annulation(ui->boutonAnnuler); });
}

// --- Set-up ---------------------------------------------------------------------------------------------

void Creation::initObjet()
{
    m_etat = etats::repos;
    m_rechercheOuverte = false;
    initPanel(false, true);
    m_prisesSupprimees.clear();

    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableTypeSalle, QStringLiteral("TypeSalle"), {},
                               {{QStringLiteral("tsalLibelle"), sansCasse}}, false);
    while (ui->typePopup->count() > 1)
        ui->typePopup->removeItem(ui->typePopup->count() - 1);
    for (const eo::EORecord &type : m_tables.tableTypeSalle.displayedObjects())
        ui->typePopup->addItem(
            framework::KORConversions::recupererChaine(type->valueForKey(QStringLiteral("tsalLibelle"))));

    initPopUpBatiment();

    platform::NotificationCenter &centre = platform::NotificationCenter::defaultCenter();
    centre.removeObserver(this, changementAuxBatiments);
    centre.addObserver(
        this, [this](const platform::Notification &) { initPopUpBatiment(); }, changementAuxBatiments);
}

void Creation::initPopUpBatiment()
{
    KORFormHelpers::fetchTable(m_dataBus, &m_tables.tableBatiments, QStringLiteral("LocalVix"), {},
                               {{QStringLiteral("appellation"), sansCasse}}, true);
    // The building shown or being typed stays chosen when the list is reloaded under it.
    const QString choisi =
        ui->localisationBatiment->currentIndex() > 0 ? ui->localisationBatiment->currentText() : QString();
    for (int index = ui->localisationBatiment->count() - 1; index >= 1; --index)
        ui->localisationBatiment->removeItem(index);
    for (const eo::EORecord &batiment : m_tables.tableBatiments.displayedObjects())
        ui->localisationBatiment->addItem(
            framework::KORConversions::recupererChaine(batiment->valueForKey(QStringLiteral("appellation"))));
    const int index = choisi.isEmpty() ? 0 : ui->localisationBatiment->findText(choisi);
    ui->localisationBatiment->setCurrentIndex(index >= 0 ? index : 0);
}

// --- Modes ----------------------------------------------------------------------------------------------

void Creation::initPanel(bool actif, bool clean)
{
    RoomFormModes::initPanel(*ui, m_tables, m_etat, actif, clean);
    boutonsDeLaSalle();
}

void Creation::boutonsDeLaSalle()
{
    // A shown room is modified or deleted only when it is the one room selected in the result list: with
    // several rooms selected the form is empty, and saving it would write an empty room over the first.
    if (m_etat != etats::salleAffichee)
        return;
    const bool uneSalle = m_tables.tableSalles.selectionIndexes().size() == 1;
    ui->boutonModifier->setEnabled(uneSalle);
    ui->boutonSupprimer->setEnabled(uneSalle);
}

void Creation::windowWillClose(QWidget *fenetre)
{
    m_rechercheOuverte = false;
    if (fenetre == m_listeSalles) {
        m_etat = etats::repos;
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
}

// --- Actions ---------------------------------------------------------------------------------------------

void Creation::recherche(QObject *)
{
    // A list still open is closed as by its close box: the tab goes back to idle first.
    if (m_listeSalles->isVisible())
        m_listeSalles->close();

    if (ui->boutonRecherche->isChecked()) {
        m_etat = etats::saisieRecherche;
        initPanel(true, true);
        ui->typePopup->setCurrentIndex(0);
        selectionnerPourSaisie(ui->localisationEtage);
        return;
    }
    lancerRecherche();
}

void Creation::lancerRecherche()
{
    const RoomSearchBuilder::Resultat recherche = RoomSearchBuilder::construire(
        valeursDuFormulaire(), [this](const QString &libelle) { return numeroTypeSalle(libelle); });

    if (!recherche.pourcentageTropGrand.isEmpty()) {
        platform::NSRunAlertPanel(QStringLiteral("Attention"),
                                  QStringLiteral("Pas de pourcentage > a 100 !!!!"), QStringLiteral("OK"));
        if (auto *champ = m_vue->findChild<QLineEdit *>(recherche.pourcentageTropGrand))
            selectionnerPourSaisie(champ);
        ui->boutonRecherche->setChecked(true);
        return;
    }

    if (!recherche.champRefuse.isEmpty()) {
        // Refused as when the user leaves the field: back into it, the criteria kept, still searching.
        if (auto *champ = m_vue->findChild<QLineEdit *>(recherche.champRefuse))
            selectionnerPourSaisie(champ);
        ui->boutonRecherche->setChecked(true);
        return;
    }

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
        m_etat = etats::saisieRecherche;
        ui->boutonRecherche->setChecked(true);
        throw;
    }

    if (!m_tables.tableSalles.displayedObjects().isEmpty()) {
        m_etat = etats::salleAffichee;
        m_rechercheOuverte = true;
        initPanel(false, false);
        montrerListe();
        uiListe->vueSalles->doItemsLayout();
    } else {
        m_etat = etats::repos;
        initPanel(false, true);
        platform::NSRunAlertPanel(QStringLiteral("Recherche de salles"),
                                  QStringLiteral("Pas de salle trouvee pour les criteres demandes !"),
                                  QStringLiteral("OK"));
    }
}

QVariant Creation::numeroTypeSalle(const QString &libelle)
{
    KORFormHelpers::fetchTable(
        m_dataBus, &m_tables.tableTypeSalle, QStringLiteral("TypeSalle"),
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("tsalLibelle=%@"), {libelle}), {}, true);
    const eo::EORecord type = m_tables.tableTypeSalle.selectedObject();
    return type ? type->valueForKey(QStringLiteral("tsalNumero")) : QVariant();
}

QVariantHash Creation::valeursDuFormulaire() const
{
    QVariantHash valeurs;
    for (const RoomSearchBuilder::Critere &critere : RoomSearchBuilder::criteres()) {
        QWidget *controle = m_vue->findChild<QWidget *>(critere.champ);
        if (auto *champ = qobject_cast<QLineEdit *>(controle))
            valeurs.insert(critere.champ, champ->text());
        else if (auto *popUp = qobject_cast<QComboBox *>(controle))
            valeurs.insert(critere.champ, popUp->currentIndex() > 0 ? popUp->currentText() : QString());
        else if (auto *caseACocher = qobject_cast<QCheckBox *>(controle))
            valeurs.insert(critere.champ, caseACocher->isChecked());
        else if (auto *texte = qobject_cast<QPlainTextEdit *>(controle))
            valeurs.insert(critere.champ, texte->toPlainText());
    }
    return valeurs;
}

void Creation::montrerListe()
{
    const qsizetype nombre = m_tables.tableSalles.displayedObjects().size();
    uiListe->nombreSalles->setText(nombre == 1 ? QStringLiteral("1 salle")
                                               : QStringLiteral("%1 salles").arg(nombre));
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
    m_prisesSupprimees.clear();
    m_etat = etats::creation;
    m_rechercheOuverte = false;
    initPanel(true, true);
    selectionnerPourSaisie(ui->localisationEtage);
}

void Creation::enregistrer()
{
    // Saving the form is not written yet: the button stays pressed and the form stays as typed, so that
    // nothing the user entered is lost.
    ui->boutonCreer->setChecked(true);
}

void Creation::modifier(QObject *)
{
    if (m_etat != etats::salleAffichee || m_tables.tableSalles.selectionIndexes().size() != 1)
        return;
    // Hidden, not closed: the list comes back when the modification ends.
    if (m_listeSalles->isVisible())
        m_listeSalles->hide();
    m_prisesSupprimees.clear();
    m_etat = etats::modification;
    initPanel(true, false);
    selectionnerPourSaisie(ui->localisationEtage);
}

void Creation::annulation(QObject *)
{
    switch (m_etat) {
    case etats::saisieRecherche:
        ui->boutonRecherche->setChecked(false);
        ui->typePopup->setCurrentIndex(0);
        m_etat = etats::repos;
        initPanel(false, true);
        break;
    case etats::creation:
        ui->boutonCreer->setChecked(false);
        m_etat = etats::repos;
        initPanel(false, true);
        break;
    case etats::modification: {
        ui->boutonCreer->setChecked(false);
        if (m_rechercheOuverte) {
            m_listeSalles->show();
            m_listeSalles->raise();
        }
        // The stored room and its sub-lists are read again: lines added, changed or removed since the
        // modification began are dropped, and the form shows the stored values.
        m_etat = etats::salleAffichee;
        m_remplissage->remplir(m_tables.tableSalles.selectedObject());
        initPanel(false, false);
        break;
    }
    default:
        initPanel(false, true);
        break;
    }
}

} // namespace rooms
