#include "Options.h"

#include "AlertPanel.h"
#include "EONull.h"
#include "KORAction.h"
#include "KORDataBusOC.h"
#include "KORFormHelpers.h"
#include "SaveTransaction.h"
#include "ui_Options.h"

#include <QHeaderView>

namespace reference
{

using framework::KORFormHelpers;

namespace
{

const QString salles = QStringLiteral("SallesVix");
constexpr auto sansCasse = eo::EOSortOrdering::Selector::CompareCaseInsensitiveAscending;

void montrerListeDans(QTableView *vue, eo::EODisplayGroup &groupe)
{
    vue->setModel(&groupe);
    vue->setSelectionModel(groupe.selectionModel());
    vue->setWordWrap(false);
    vue->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    vue->verticalHeader()->setDefaultSectionSize(vue->fontMetrics().height() + 6);
}

void colonnesDesSalles(eo::EODisplayGroup &groupe)
{
    constexpr Qt::Alignment droite = Qt::AlignRight | Qt::AlignVCenter;
    groupe.addColumn(QStringLiteral("appellation"), QStringLiteral("Bâtiment"));
    groupe.addColumn(QStringLiteral("salEtage"), QStringLiteral("Étage"));
    groupe.addColumn(QStringLiteral("salPorte"), QStringLiteral("Porte"));
    groupe.addColumn(QStringLiteral("tsalLibelle"), QStringLiteral("Type"));
    groupe.addColumn(QStringLiteral("salNumero"), QStringLiteral("N°"), droite);
}

void largeursDesSalles(QTableView *vue)
{
    // Fixed widths: measuring the contents would read every row of a long list.
    const int largeurs[] = {170, 50, 65, 120};
    for (int colonne = 0; colonne < int(std::size(largeurs)); ++colonne)
        vue->setColumnWidth(colonne, largeurs[colonne]);
}

void probleme(const QString &message)
{
    platform::NSRunAlertPanel(QStringLiteral("PROBLEME"), message, QStringLiteral("OK"));
}

} // namespace

Options::Options(data::KORDataBusOC &dataBus, QWidget *barre, QWidget *contenu, QObject *parent)
    : QObject(parent), m_dataBus(dataBus), m_formulaire(contenu), ui(std::make_unique<Ui::Options>())
{
    // The interface file holds the bar of buttons above the content; the shell shows the bar in its own
    // place.
    ui->setupUi(m_formulaire.racine());
    m_formulaire.placer(ui->boutons, barre);
    ui->mode->setId(ui->modeCorrespondance, int(Mode::correspondance));
    ui->mode->setId(ui->modeBatiment, int(Mode::rattachement));
    m_boutons = ui->boutons;
    m_vue = m_formulaire.racine();

    construireListes();
    // Every action runs inside the action boundary: an error ends that action, never reaches Qt.
    using framework::connectAction;
    connectAction(ui->boutonRecharger, &QPushButton::clicked, this,
                  [this] { reloadOptions(ui->boutonRecharger); });
    connectAction(ui->boutonCorresp, &QPushButton::clicked, this,
                  [this] { miseEnCorrespondance(ui->boutonCorresp); });
    connectAction(ui->boutonAjouter, &QPushButton::clicked, this,
                  [this] { ajouterAuBatiment(ui->boutonAjouter); });
    connect(ui->mode, &QButtonGroup::idToggled, this, [this](int, bool choisi) {
        if (choisi)
            framework::performAction([this] { changeMode(ui->mode); });
    });
}

Options::~Options() = default;

void Options::construireListes()
{
    colonnesDesSalles(m_tableOption);
    colonnesDesSalles(m_tableSalle);
    m_tableBatiment.addColumn(QStringLiteral("cLocal"), QStringLiteral("Code"));
    m_tableBatiment.addColumn(QStringLiteral("appellation"), QStringLiteral("Bâtiment"));
    montrerListeDans(ui->vueOption, m_tableOption);
    montrerListeDans(ui->vueSalle, m_tableSalle);
    montrerListeDans(ui->vueBatiment, m_tableBatiment);
    largeursDesSalles(ui->vueOption);
    largeursDesSalles(ui->vueSalle);
    ui->vueBatiment->setColumnWidth(0, 70);
}

void Options::initObjet()
{
    const QList<eo::EOSortOrdering> parSalle{{QStringLiteral("appellation"), sansCasse},
                                             {QStringLiteral("salEtage"), sansCasse},
                                             {QStringLiteral("salPorte"), sansCasse}};
    m_tableOption.setSortOrderings(parSalle);
    m_tableSalle.setSortOrderings(parSalle);
    m_tableBatiment.setSortOrderings({{QStringLiteral("appellation"), sansCasse}});
    changeMode(ui->mode);
}

void Options::reloadOptions(QObject *)
{
    // Each list keeps its own orderings. They are handed to the fetches too, so that the database returns
    // the rows in that order and a long list of rooms need not be sorted again in memory.
    KORFormHelpers::fetchTable(
        m_dataBus, &m_tableOption, salles,
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salReservable=%@"), {eo::eoNull()}),
        m_tableOption.sortOrderings(), true);
    KORFormHelpers::fetchTable(
        m_dataBus, &m_tableSalle, salles,
        eo::EOQualifier::qualifierWithQualifierFormat(QStringLiteral("salReservable!=%@"), {eo::eoNull()}),
        m_tableSalle.sortOrderings(), true);
    KORFormHelpers::fetchTable(m_dataBus, &m_tableBatiment, QStringLiteral("LocalVix"), {},
                               m_tableBatiment.sortOrderings(), true);
}

void Options::changeMode(QObject *sender)
{
    ui->boutonCorresp->setEnabled(false);
    ui->boutonAjouter->setEnabled(false);
    const auto *matrice = qobject_cast<const QButtonGroup *>(sender);
    const int tag = matrice ? matrice->checkedId() : -1;
    if (tag == int(Mode::correspondance)) {
        ui->contenuView->setCurrentWidget(ui->salles);
        ui->boutonCorresp->setEnabled(true);
    } else if (tag == int(Mode::rattachement)) {
        ui->contenuView->setCurrentWidget(ui->batiment);
        ui->boutonAjouter->setEnabled(true);
    }
}

void Options::miseEnCorrespondance(QObject *)
{
    const eo::EORecord option = m_tableOption.selectedObject();
    const eo::EORecord destination = m_tableSalle.selectedObject();
    if (!option || !destination)
        return;
    const QVariantMap arguments{
        {QStringLiteral("clocal"), eo::eoNull()},
        {QStringLiteral("salnumerosource"), option->valueForKey(QStringLiteral("salNumero"))},
        {QStringLiteral("salnumerodestination"), destination->valueForKey(QStringLiteral("salNumero"))}};
    if (!data::SaveTransaction::executer(m_dataBus, QStringLiteral("corresSalle"), arguments)) {
        probleme(QStringLiteral("La mise en correspondance n'a pas ete faite !!"));
        return;
    }
    m_tableOption.deleteSelection();
}

void Options::ajouterAuBatiment(QObject *)
{
    const eo::EORecord option = m_tableOption.selectedObject();
    const eo::EORecord batiment = m_tableBatiment.selectedObject();
    if (!option || !batiment)
        return;
    const QVariant cLocal = batiment->valueForKey(QStringLiteral("cLocal"));
    const QVariantMap arguments{
        {QStringLiteral("clocal"), cLocal},
        {QStringLiteral("salnumerosource"), option->valueForKey(QStringLiteral("salNumero"))},
        {QStringLiteral("salnumerodestination"), eo::eoNull()}};
    if (!data::SaveTransaction::executer(m_dataBus, QStringLiteral("corresSalle"), arguments)) {
        probleme(QStringLiteral("L'ajout de la salle n'a pas ete fait !!"));
        return;
    }
    // In memory until the next reload: the room now belongs to the building and is a managed room, shown
    // first whatever its building's name, with that name in its row.
    option->takeValueForKey(cLocal, QStringLiteral("cLocal"));
    option->takeValueForKey(eo::EOGenericRecord::toVariant(batiment), QStringLiteral("local"));
    option->takeValueForKey(batiment->valueForKey(QStringLiteral("appellation")),
                            QStringLiteral("appellation"));
    m_tableSalle.insertObjectAtIndex(option, 0);
    m_tableSalle.redisplay();
    m_tableOption.deleteSelection();
}

} // namespace reference
