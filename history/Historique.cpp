#include "Historique.h"

#include "AlertPanel.h"
#include "BugFixApplication.h"
#include "EOException.h"
#include "KORAction.h"
#include "ModalSession.h"
#include "ui_Historique.h"

#include <QDialog>
#include <QHeaderView>

namespace history
{

Historique::Historique(data::KORDataBusOC &dataBus, QObject *parent)
    : QObject(parent), m_dataBus(dataBus), ui(std::make_unique<Ui::Historique>()),
      m_fenetre(std::make_unique<QDialog>())
{
    ui->setupUi(m_fenetre.get());
    QTableView *vue = ui->tableViewHistorique;
    vue->setModel(&m_modele);
    // Fixed widths: measuring the contents would read every change of a long history.
    vue->setColumnWidth(HistoryTableModel::Date, 140);
    vue->setColumnWidth(HistoryTableModel::Utilisateur, 150);
    vue->setColumnWidth(HistoryTableModel::Champ, 290);
    vue->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    vue->verticalHeader()->setDefaultSectionSize(vue->fontMetrics().height() + 6);

    using framework::connectAction;
    QDialog *fenetre = m_fenetre.get();
    connectAction(ui->boutonFermer, &QPushButton::clicked, fenetre, [fenetre] { fenetre->accept(); });
    connectAction(ui->filtreUtilisateur, &QComboBox::currentIndexChanged, this, [this] { filtrer(); });
    connectAction(ui->filtreDu, &QDateEdit::dateChanged, this, [this] { filtrer(); });
    connectAction(ui->filtreAu, &QDateEdit::dateChanged, this, [this] { filtrer(); });
}

Historique::~Historique() = default;

void Historique::afficherSalle(qint64 numero, const QString &titre, QWidget *parent)
{
    if (chargerSalle(numero, titre))
        executer(parent);
}

void Historique::afficherBatiment(const QString &code, const QString &titre, QWidget *parent)
{
    if (chargerBatiment(code, titre))
        executer(parent);
}

bool Historique::chargerSalle(qint64 numero, const QString &titre)
{
    return charger([this, numero] { return ChangeHistory::deLaSalle(m_dataBus, numero); }, titre);
}

bool Historique::chargerBatiment(const QString &code, const QString &titre)
{
    return charger([this, code] { return ChangeHistory::duBatiment(m_dataBus, code); }, titre);
}

bool Historique::charger(const std::function<QList<Change>()> &lecture, const QString &titre)
{
    try {
        QList<Change> changements = lecture();
        m_modele.setChangements(std::move(changements), ChangeHistory::references(m_dataBus));
    } catch (const eo::EOException &erreur) {
        platform::NSRunAlertPanel(
            QStringLiteral("ATTENTION"),
            QStringLiteral("L'historique ne peut pas être lu : %1").arg(erreur.message()),
            QStringLiteral("OK"));
        return false;
    }
    ui->titreHistorique->setText(titre);
    m_fenetre->setWindowTitle(QStringLiteral("Historique – %1").arg(titre));
    remplirFiltres();
    filtrer();
    return true;
}

void Historique::remplirFiltres()
{
    // The filters start wide open: every user, from the first change to today.
    const QSignalBlocker utilisateur(ui->filtreUtilisateur);
    const QSignalBlocker du(ui->filtreDu);
    const QSignalBlocker au(ui->filtreAu);
    ui->filtreUtilisateur->clear();
    ui->filtreUtilisateur->addItem(QStringLiteral("Tous les utilisateurs"));
    for (const QString &nom : m_modele.utilisateurs())
        ui->filtreUtilisateur->addItem(HistoryTableModel::nomUtilisateur(nom), nom);
    const QList<Change> &changements = m_modele.changements();
    const QDate aujourdhui = QDate::currentDate();
    const QDate premier = changements.isEmpty() ? aujourdhui : changements.last().date.toLocalTime().date();
    const QDate dernier = changements.isEmpty() ? aujourdhui : changements.first().date.toLocalTime().date();
    ui->filtreDu->setDate(std::min(premier, aujourdhui));
    ui->filtreAu->setDate(std::max(dernier, aujourdhui));
}

void Historique::filtrer()
{
    std::optional<QString> utilisateur;
    if (ui->filtreUtilisateur->currentIndex() > 0)
        utilisateur = ui->filtreUtilisateur->currentData().toString();
    m_modele.filtrer(utilisateur, ui->filtreDu->date(), ui->filtreAu->date());
    const qsizetype affiches = m_modele.affiches().size();
    const qsizetype tous = m_modele.changements().size();
    QString nombre = affiches == 0   ? QStringLiteral("Aucun changement")
                     : affiches == 1 ? QStringLiteral("1 changement")
                                     : QStringLiteral("%1 changements").arg(affiches);
    if (affiches != tous)
        nombre += QStringLiteral(" sur %1").arg(tous);
    ui->nombreChangements->setText(nombre);
}

void Historique::executer(QWidget *parent)
{
    QDialog *fenetre = m_fenetre.get();
    // Above the window that opens it, and given back afterwards: this object keeps the window.
    fenetre->setParent(parent, fenetre->windowFlags() | Qt::Dialog);
    fenetre->setWindowModality(Qt::ApplicationModal);
    if (auto *application = widgets::BugFixApplication::instance()) {
        const QMetaObject::Connection fermee =
            connect(fenetre, &QDialog::finished, application, [application] { application->stopModal(); });
        application->runModalForWindow(fenetre);
        disconnect(fermee);
    } else {
        platform::ModalSession session(fenetre);
        fenetre->show();
        fenetre->raise();
        fenetre->activateWindow();
        const QMetaObject::Connection fermee = connect(
            fenetre, &QDialog::finished, this, [&session] { session.stop(platform::NSModalResponseStop); });
        session.run();
        disconnect(fermee);
    }
    fenetre->hide();
    fenetre->setParent(nullptr, fenetre->windowFlags());
}

} // namespace history
