#include "MatosUnite.h"

#include "AlertPanel.h"
#include "EONull.h"
#include "KORAction.h"
#include "KORConversions.h"
#include "KORDataBusOC.h"
#include "KORFormHelpers.h"
#include "KORTextCheck.h"
#include "ModalPanelRunner.h"
#include "SaveTransaction.h"
#include "ui_MatosUnite.h"

#include <QHeaderView>
#include <QLineEdit>

namespace reference
{

using framework::KORFormHelpers;

namespace
{

const QString typeMateriel = QStringLiteral("TypeMateriel");
const QString unite = QStringLiteral("Unite");
constexpr auto sansCasse = eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending;

// The widths of the columns the labels and abbreviations are stored in.
constexpr quint64 largeurLibelle = 50;
constexpr quint64 largeurAbreviation = 5;

void montrerListeDans(QTableView *vue, eo::EODisplayGroup &groupe)
{
    vue->setModel(&groupe);
    vue->setSelectionModel(groupe.selectionModel());
    vue->setWordWrap(false);
    vue->verticalHeader()->setDefaultSectionSize(vue->fontMetrics().height() + 6);
}

void attention(const QString &message)
{
    platform::NSRunAlertPanel(QStringLiteral("ATTENTION"), message, QStringLiteral("OK"));
}

QVariant valeur(const eo::EORecord &record, const QString &cle)
{
    return record ? record->valueForKey(cle) : eo::eoNull();
}

QString colonne(const QString &texte, quint64 largeur)
{
    return KORFormHelpers::truncateString(texte, 0, largeur);
}

// Runs a panel modally, the cursor in its first field, until its closing action.
void ouvrir(QWidget *panneau, QLineEdit *champ = nullptr)
{
    if (champ) {
        // Given now, the focus goes to the field as soon as the panel becomes the active window.
        champ->setFocus(Qt::OtherFocusReason);
        champ->selectAll();
    }
    widgets::ModalPanelRunner::run(panneau);
}

void fermer(QWidget *panneau)
{
    // A shown panel is the innermost modal run (it blocks every other window); a hidden one has none to end.
    if (panneau->isVisible())
        widgets::ModalPanelRunner::stop();
    panneau->hide();
}

} // namespace

MatosUnite::MatosUnite(data::KORDataBusOC &dataBus, QWidget *fenetre, QObject *parent)
    : QObject(parent), m_dataBus(dataBus), m_formulaire(fenetre), ui(std::make_unique<Ui::MatosUnite>())
{
    ui->setupUi(m_formulaire.racine());

    m_tableFamille.addColumn(QStringLiteral("tavLibelle"), QStringLiteral("Famille"));
    m_tableTypeMateriel.addColumn(QStringLiteral("tavLibelle"), QStringLiteral("Type de matériel"));
    m_tableTypeMateriel.addColumn(QStringLiteral("toUnite_uniAbrev"), QStringLiteral("Unité"));
    m_tableGestionUnite.addColumn(QStringLiteral("uniAbrev"), QStringLiteral("Abréviation"));
    m_tableGestionUnite.addColumn(QStringLiteral("uniLibelle"), QStringLiteral("Libellé"));
    montrerListeDans(ui->vueFamille, m_tableFamille);
    montrerListeDans(ui->vueTypeMateriel, m_tableTypeMateriel);
    montrerListeDans(ui->vueGestionUnite, m_tableGestionUnite);
    ui->vueTypeMateriel->setColumnWidth(0, 200);
    ui->vueGestionUnite->setColumnWidth(0, 110);

    for (eo::EODisplayGroup *groupe :
         {&m_tableFamille, &m_tableTypeMateriel, &m_tableUnite, &m_tableGestionUnite})
        groupe->setDelegate(this);
    relierBoutons();
}

MatosUnite::~MatosUnite()
{
    for (eo::EODisplayGroup *groupe :
         {&m_tableFamille, &m_tableTypeMateriel, &m_tableUnite, &m_tableGestionUnite})
        groupe->setDelegate(nullptr);
}

void MatosUnite::relierBoutons()
{
    // Every button runs its action inside the action boundary: an error ends that action, never reaches Qt.
    using framework::connectAction;
    connectAction(ui->boutonFermerGestionMatos, &QPushButton::clicked, this,
                  [this] { fermerGestionMatos(ui->boutonFermerGestionMatos); });
    connectAction(ui->ajoutFamille, &QPushButton::clicked, this,
                  [this] { ajouterFamille(ui->ajoutFamille); });
    connectAction(ui->ajoutTypeMateriel, &QPushButton::clicked, this,
                  [this] { ajouterFamille(ui->ajoutTypeMateriel); });
    connectAction(ui->supprFamille, &QPushButton::clicked, this,
                  [this] { supprimerFamille(ui->supprFamille); });
    connectAction(ui->supprTypeMateriel, &QPushButton::clicked, this,
                  [this] { supprimerFamille(ui->supprTypeMateriel); });
    connectAction(ui->boutonValiderFamille, &QPushButton::clicked, this,
                  [this] { validerFamille(ui->boutonValiderFamille); });
    connectAction(ui->boutonFermerFamille, &QPushButton::clicked, this,
                  [this] { fermerFamille(ui->boutonFermerFamille); });

    connectAction(ui->boutonFermerGestionUnite, &QPushButton::clicked, this,
                  [this] { fermerGestionUnite(ui->boutonFermerGestionUnite); });
    connectAction(ui->ajoutUnite, &QPushButton::clicked, this, [this] { ajouterUnite(ui->ajoutUnite); });
    connectAction(ui->supprUnite, &QPushButton::clicked, this, [this] { supprimerUnite(ui->supprUnite); });
    connectAction(ui->boutonValiderUnite, &QPushButton::clicked, this,
                  [this] { validerUnite(ui->boutonValiderUnite); });
    connectAction(ui->boutonFermerUnite, &QPushButton::clicked, this,
                  [this] { fermerUnite(ui->boutonFermerUnite); });
}

// --- Lists ----------------------------------------------------------------------------------------------

void MatosUnite::chargerFamilles()
{
    KORFormHelpers::fetchTable(m_dataBus, &m_tableFamille, typeMateriel,
                               eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("tavNiveau=1")),
                               {{QStringLiteral("tavLibelle"), sansCasse}}, true);
}

void MatosUnite::chargerTypes()
{
    const QVariant famille = valeur(m_tableFamille.selectedObject(), QStringLiteral("tavType"));
    KORFormHelpers::fetchTable(m_dataBus, &m_tableTypeMateriel, typeMateriel,
                               eo::EOQualifier::qualifierWithQualifierFormat(
                                   QStringLiteral("tavNiveau=2 and tavPere=%@"), {famille}),
                               {{QStringLiteral("tavLibelle"), sansCasse}}, true);
}

void MatosUnite::chargerUnites()
{
    KORFormHelpers::fetchTable(m_dataBus, &m_tableGestionUnite, unite, {},
                               {{QStringLiteral("uniAbrev"), sansCasse}}, true);
}

void MatosUnite::displayGroupDidChangeSelection(eo::EODisplayGroup *group)
{
    // Called from a list's selection signal: the fetch of a family's types must not throw into Qt.
    framework::performAction([this, group] { selectionChangee(group); });
}

void MatosUnite::selectionChangee(eo::EODisplayGroup *group)
{
    if (group == &m_tableFamille) {
        const bool uneFamille = m_tableFamille.selectionIndexes().size() == 1;
        if (uneFamille)
            chargerTypes();
        else
            KORFormHelpers::viderTable(&m_tableTypeMateriel);
        ui->supprFamille->setEnabled(uneFamille);
        ui->ajoutTypeMateriel->setEnabled(uneFamille);
    } else if (group == &m_tableTypeMateriel) {
        ui->supprTypeMateriel->setEnabled(!m_tableTypeMateriel.selectionIndexes().isEmpty());
    } else if (group == &m_tableGestionUnite) {
        ui->supprUnite->setEnabled(!m_tableGestionUnite.selectionIndexes().isEmpty());
    }
}

// --- Equipment catalogue --------------------------------------------------------------------------------

void MatosUnite::afficherGestionMatos(QObject *)
{
    chargerFamilles();
    ouvrir(ui->panelGestionMatos);
}

void MatosUnite::fermerGestionMatos(QObject *)
{
    fermer(ui->panelGestionMatos);
}

void MatosUnite::ajouterFamille(QObject *sender)
{
    const bool famille = sender == ui->ajoutFamille;
    ui->panelFamille->setWindowTitle(famille ? QStringLiteral("Ajout d'une famille de materiel")
                                             : QStringLiteral("Ajout d'un type de materiel"));
    // The pop-up of units, enabled, is what tells the validation that the entry is a type.
    ui->familleChampsLayout->setRowVisible(ui->familleUnites, !famille);
    ui->familleUnites->setEnabled(!famille);
    if (!famille && !remplirUnites()) {
        attention(QStringLiteral(
            "Afin de pouvoir saisir un type de materiel, il faut avoir au moins une unite de mesure !"));
        return;
    }
    ui->familleText->setText(QString());
    ouvrir(ui->panelFamille, ui->familleText);
}

bool MatosUnite::remplirUnites()
{
    QComboBox *unites = ui->familleUnites;
    unites->clear();
    unites->insertItem(0, QString());
    KORFormHelpers::fetchTable(m_dataBus, &m_tableUnite, unite, {}, {}, true);
    const QList<eo::EORecord> &liste = m_tableUnite.displayedObjects();
    if (liste.isEmpty())
        return false;
    for (int i = 0; i < liste.size(); ++i)
        unites->insertItem(i + 1, framework::KORConversions::recupererChaine(
                                      liste.at(i)->valueForKey(QStringLiteral("uniAbrev"))));
    unites->setCurrentIndex(1);
    unites->removeItem(0);
    return true;
}

QVariant MatosUnite::uniteChoisie()
{
    KORFormHelpers::fetchTable(m_dataBus, &m_tableUnite, unite,
                               eo::EOQualifier::qualifierWithQualifierFormat(
                                   QStringLiteral("uniAbrev=%@"), {ui->familleUnites->currentText()}),
                               {}, true);
    // A unit deleted meanwhile by someone else leaves no number: the database then refuses the type.
    const QList<eo::EORecord> &trouvees = m_tableUnite.displayedObjects();
    return trouvees.isEmpty() ? eo::eoNull() : trouvees.last()->valueForKey(QStringLiteral("uniOrdre"));
}

void MatosUnite::validerFamille(QObject *)
{
    const bool type = ui->familleUnites->isEnabled();
    const QString libelle = ui->familleText->text();
    if (libelle.isEmpty()) {
        attention(QStringLiteral("Il faut un libelle !"));
        ui->familleText->setFocus(Qt::OtherFocusReason);
        return;
    }
    QVariantMap arguments{{QStringLiteral("tavlibelle"), colonne(libelle, largeurLibelle)}};
    if (type) {
        arguments.insert(QStringLiteral("tavniveau"), 2);
        arguments.insert(QStringLiteral("tavpere"),
                         valeur(m_tableFamille.selectedObject(), QStringLiteral("tavType")));
        arguments.insert(QStringLiteral("tavuniteOrdre"), uniteChoisie());
    } else {
        arguments.insert(QStringLiteral("tavniveau"), 1);
        arguments.insert(QStringLiteral("tavpere"), -1);
        arguments.insert(QStringLiteral("tavuniteOrdre"), -1);
    }
    if (!data::SaveTransaction::executer(m_dataBus, QStringLiteral("insTypeMat"), arguments))
        return; // the entry panel stays open with its text
    if (type)
        selectionChangee(&m_tableFamille);
    else
        chargerFamilles();
    fermerFamille(ui->boutonValiderFamille);
}

void MatosUnite::fermerFamille(QObject *)
{
    fermer(ui->panelFamille);
}

void MatosUnite::supprimerFamille(QObject *sender)
{
    const QString supprimer = QStringLiteral("delTypeMat");
    if (sender != ui->supprFamille) {
        const eo::EORecord type = m_tableTypeMateriel.selectedObject();
        if (!type)
            return;
        if (data::SaveTransaction::executer(
                m_dataBus, supprimer,
                {{QStringLiteral("tavordre"), type->valueForKey(QStringLiteral("tavType"))}}))
            m_tableTypeMateriel.deleteSelection();
        return;
    }

    if (m_tableFamille.selectionIndexes().size() != 1)
        return;
    const eo::EORecord famille = m_tableFamille.selectedObject();
    // The database keeps a family that still has types: they go first, in the order of the list, and the
    // first refusal stops the deletion.
    const QList<eo::EORecord> types = m_tableTypeMateriel.displayedObjects();
    for (const eo::EORecord &type : types) {
        if (!data::SaveTransaction::executer(
                m_dataBus, supprimer,
                {{QStringLiteral("tavordre"), type->valueForKey(QStringLiteral("tavType"))}})) {
            // The types deleted before the refusal are gone: the list shows those that remain.
            chargerTypes();
            return;
        }
    }
    KORFormHelpers::viderTable(&m_tableTypeMateriel);
    if (data::SaveTransaction::executer(
            m_dataBus, supprimer,
            {{QStringLiteral("tavordre"), famille->valueForKey(QStringLiteral("tavType"))}}))
        m_tableFamille.deleteSelection();
    else
        chargerTypes(); // a type entered meanwhile by another user keeps the family: it is shown
}

// --- Units ----------------------------------------------------------------------------------------------

void MatosUnite::afficherGestionUnite(QObject *)
{
    chargerUnites();
    ouvrir(ui->panelGestionUnite);
}

void MatosUnite::fermerGestionUnite(QObject *)
{
    fermer(ui->panelGestionUnite);
}

void MatosUnite::ajouterUnite(QObject *)
{
    ui->uniteAbrev->setText(QString());
    ui->uniteLibelle->setText(QString());
    ouvrir(ui->panelUnite, ui->uniteAbrev);
}

void MatosUnite::validerUnite(QObject *)
{
    const QString abreviation = ui->uniteAbrev->text();
    const QString libelle = ui->uniteLibelle->text();
    if (abreviation.isEmpty()) {
        attention(QStringLiteral("Il faut une abreviation !"));
        ui->uniteAbrev->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (libelle.isEmpty()) {
        attention(QStringLiteral("Il faut un libelle !"));
        ui->uniteLibelle->setFocus(Qt::OtherFocusReason);
        return;
    }
    // An abbreviation is a code that equipment types are looked up by: nothing hidden in it.
    for (const auto &[refus, champ] :
         {std::pair{framework::KORTextCheck::refusCode(QStringLiteral("L'abréviation de l'unité"),
                                                       colonne(abreviation, largeurAbreviation)),
                    ui->uniteAbrev},
          std::pair{framework::KORTextCheck::refusTexte(QStringLiteral("Le libellé de l'unité"),
                                                        colonne(libelle, largeurLibelle)),
                    ui->uniteLibelle}}) {
        if (!refus.isEmpty()) {
            attention(refus);
            champ->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    if (!data::SaveTransaction::executer(
            m_dataBus, QStringLiteral("insUnite"),
            {{QStringLiteral("uniabrev"), colonne(abreviation, largeurAbreviation)},
             {QStringLiteral("unilibelle"), colonne(libelle, largeurLibelle)}}))
        return; // the entry panel stays open with its texts
    chargerUnites();
    fermerUnite(ui->boutonValiderUnite);
}

void MatosUnite::fermerUnite(QObject *)
{
    fermer(ui->panelUnite);
}

void MatosUnite::supprimerUnite(QObject *)
{
    const eo::EORecord choisie = m_tableGestionUnite.selectedObject();
    if (!choisie)
        return;
    if (data::SaveTransaction::executer(
            m_dataBus, QStringLiteral("delUnite"),
            {{QStringLiteral("uniordre"), choisie->valueForKey(QStringLiteral("uniOrdre"))}}))
        m_tableGestionUnite.deleteSelection();
}

} // namespace reference
