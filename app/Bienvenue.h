#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>
#include <memory>
#include <optional>

class QDialog;

namespace Ui
{
class Bienvenue;
}

namespace app
{

// The welcome of the first start, when the user's data folder holds no database yet (or the one chosen last
// time is gone): "Créer une base vide", "Créer une base de démonstration", "Ouvrir une base…", "Se connecter
// à un serveur…", or "Quitter". A choice that fails says why in French and leaves the window open; one that
// succeeds ends it with the address of the database to open.
class Bienvenue : public QObject
{
    Q_OBJECT
public:
    // dossier: the data folder where the two "Créer" choices make the database; login: the account they let
    // in; connexionModele: the model's connection, which completes a server's (its schemas, time limits).
    Bienvenue(QString dossier, QString login, QVariantMap connexionModele, QWidget *parent = nullptr);
    ~Bienvenue() override;

    // Runs the window modally until a database is chosen (its address) or the user quits (nothing).
    // explication: why the welcome opens again ("" at the first start); serveur: a server remembered, whose
    // page opens at once with its address and account.
    std::optional<QVariantMap> choisir(const QString &explication = {}, const QVariantMap &serveur = {});
    // Sets the window up as choisir shows it, without running it.
    void preparer(const QString &explication = {}, const QVariantMap &serveur = {});

    // The actions of the buttons, each taking its sender.
    void creerBaseVide(QObject *sender);
    void creerBaseDemo(QObject *sender);
    void ouvrirBase(QObject *sender);
    void afficherServeur(QObject *sender);
    void connecterServeur(QObject *sender);
    void retour(QObject *sender);
    void quitter(QObject *sender);

    // The address chosen; empty while none is.
    const QVariantMap &choix() const { return m_choix; }
    QDialog *fenetreBienvenue() const { return m_fenetre.get(); }
    Ui::Bienvenue &form() const { return *ui; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    template <typename Choice> void essayer(Choice choice);
    void retenir(const QVariantMap &adresse);
    void agrandir();

    QString m_dossier;
    QString m_login;
    QVariantMap m_connexionModele;
    QVariantMap m_choix;
    bool m_enSession = false;
    std::unique_ptr<QDialog> m_fenetre;
    std::unique_ptr<Ui::Bienvenue> ui;
};

} // namespace app
