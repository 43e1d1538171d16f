#include "Bienvenue.h"

#include "AlertPanel.h"
#include "BugFixApplication.h"
#include "EOException.h"
#include "FirstDatabase.h"
#include "KORAction.h"
#include "NSCursorExtensions.h"
#include "OpenPanel.h"
#include "ui_Bienvenue.h"

#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

namespace app
{

Bienvenue::Bienvenue(QString dossier, QString login, QVariantMap connexionModele, QWidget *parent)
    : m_dossier(std::move(dossier)), m_login(std::move(login)), m_connexionModele(std::move(connexionModele)),
      m_fenetre(std::make_unique<QDialog>(parent)), ui(std::make_unique<Ui::Bienvenue>())
{
    ui->setupUi(m_fenetre.get());
    m_fenetre->setAttribute(Qt::WA_QuitOnClose, false);
    m_fenetre->installEventFilter(this);
    QFont titre = ui->titreBienvenue->font();
    titre.setPointSizeF(titre.pointSizeF() * 1.4);
    ui->titreBienvenue->setFont(titre);
    const std::pair<QPushButton *, void (Bienvenue::*)(QObject *)> actions[] = {
        {ui->boutonBaseVide, &Bienvenue::creerBaseVide},
        {ui->boutonBaseDemo, &Bienvenue::creerBaseDemo},
        {ui->boutonOuvrirBase, &Bienvenue::ouvrirBase},
        {ui->boutonServeur, &Bienvenue::afficherServeur},
        {ui->boutonConnecter, &Bienvenue::connecterServeur},
        {ui->boutonRetour, &Bienvenue::retour},
        {ui->boutonQuitter, &Bienvenue::quitter},
    };
    for (const auto &[bouton, action] : actions) {
        framework::connectAction(bouton, &QPushButton::clicked, this,
                                 [this, bouton, action] { (this->*action)(bouton); });
    }
}

Bienvenue::~Bienvenue() = default;

void Bienvenue::preparer(const QString &explication, const QVariantMap &serveur)
{
    m_choix.clear();
    ui->texteExplication->setText(explication);
    ui->texteExplication->setVisible(!explication.isEmpty());
    ui->texteDossier->setText(QStringLiteral("Les bases créées ici vont dans le dossier « %1 ».")
                                  .arg(QDir::toNativeSeparators(m_dossier)));
    ui->texteErreurServeur->clear();
    ui->texteErreurServeur->hide();
    ui->champMotDePasse->clear();
    if (serveur.isEmpty()) {
        ui->pages->setCurrentWidget(ui->pageChoix);
        ui->boutonBaseVide->setFocus();
    } else {
        ui->champAdresse->setText(serveur.value(QStringLiteral("URL")).toString());
        ui->champCompte->setText(serveur.value(QStringLiteral("username")).toString());
        ui->pages->setCurrentWidget(ui->pageServeur);
        ui->champMotDePasse->setFocus();
    }
    m_fenetre->adjustSize();
}

std::optional<QVariantMap> Bienvenue::choisir(const QString &explication, const QVariantMap &serveur)
{
    preparer(explication, serveur);
    QDialog *fenetre = m_fenetre.get();
    fenetre->resize(fenetre->size().expandedTo(QSize(620, 0)));
    if (QScreen *screen = QGuiApplication::primaryScreen())
        fenetre->move(screen->availableGeometry().center() - fenetre->rect().center());
    m_enSession = true;
    if (auto *application = widgets::BugFixApplication::instance())
        application->runModalForWindow(fenetre);
    else
        fenetre->exec();
    m_enSession = false;
    fenetre->hide();
    if (m_choix.isEmpty())
        return std::nullopt;
    return m_choix;
}

template <typename Choice> void Bienvenue::essayer(Choice choice)
{
    try {
        const data::WaitCursorScope attente;
        retenir(choice());
    } catch (const eo::EOException &erreur) {
        platform::NSRunAlertPanel(QStringLiteral("ERREUR"), erreur.message(), QStringLiteral("OK"));
    }
}

void Bienvenue::creerBaseVide(QObject *)
{
    essayer([this] { return FirstDatabase::createEmpty(m_dossier, m_login); });
}

void Bienvenue::creerBaseDemo(QObject *)
{
    essayer([this] { return FirstDatabase::createDemo(m_dossier, m_login); });
}

void Bienvenue::ouvrirBase(QObject *)
{
    const std::optional<QString> dossier = platform::OpenPanel::runModal(
        {QStringLiteral("Ouvrir une base Locavia (le dossier de locavia.db et solma.db)"), QDir::homePath()});
    if (!dossier)
        return;
    essayer([&dossier] { return FirstDatabase::openExisting(*dossier); });
}

void Bienvenue::afficherServeur(QObject *)
{
    ui->pages->setCurrentWidget(ui->pageServeur);
    ui->texteErreurServeur->hide();
    (ui->champAdresse->text().isEmpty() ? ui->champAdresse : ui->champMotDePasse)->setFocus();
    agrandir();
}

void Bienvenue::agrandir()
{
    // The server's page and its message are taller than the choices the window was sized for: it grows to
    // show them whole rather than squeeze the fields.
    QDialog *fenetre = m_fenetre.get();
    QLayout *disposition = fenetre->layout();
    disposition->activate();
    const int hauteur = disposition->hasHeightForWidth() ? disposition->totalHeightForWidth(fenetre->width())
                                                         : disposition->totalSizeHint().height();
    if (hauteur > fenetre->height())
        fenetre->resize(fenetre->width(), hauteur);
}

void Bienvenue::connecterServeur(QObject *)
{
    try {
        const data::WaitCursorScope attente;
        retenir(FirstDatabase::connect(m_connexionModele, ui->champAdresse->text(), ui->champCompte->text(),
                                       ui->champMotDePasse->text()));
    } catch (const eo::EOException &erreur) {
        // Said on the page itself, so that the address or the password can be corrected and tried again.
        ui->texteErreurServeur->setText(erreur.message());
        ui->texteErreurServeur->show();
        agrandir();
        ui->champMotDePasse->selectAll();
        ui->champMotDePasse->setFocus();
    }
}

void Bienvenue::retour(QObject *)
{
    ui->pages->setCurrentWidget(ui->pageChoix);
    ui->boutonServeur->setFocus();
}

void Bienvenue::quitter(QObject *)
{
    m_choix.clear();
    m_fenetre->hide();
}

void Bienvenue::retenir(const QVariantMap &adresse)
{
    m_choix = adresse;
    if (m_enSession) {
        if (auto *application = widgets::BugFixApplication::instance())
            application->stopModal();
        else
            m_fenetre->accept();
    }
}

bool Bienvenue::eventFilter(QObject *watched, QEvent *event)
{
    // Escape on the server's page goes back to the choices; on the choices it closes the window (quits).
    if (watched == m_fenetre.get() && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape &&
        ui->pages->currentWidget() == ui->pageServeur) {
        framework::performAction([this] { retour(ui->boutonRetour); });
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace app
