#pragma once

// The building register on a throwaway database, and the windows driven as a user would while they run
// modally.

#include "Batiment.h"
#include "NotificationCenter.h"
#include "TestDatabase.h"
#include "ui_Batiment.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

namespace buildingstest
{

// Runs the actions while the window is open in its modal session, then closes it, as its close box would.
// Should the actions leave a modal loop running, a watchdog closes the window so that no test hangs.
inline void pendant(QDialog *fenetre, const std::function<void()> &ouvrir,
                    const std::function<void()> &actions)
{
    bool fini = false;
    QTimer::singleShot(0, fenetre, [&] {
        if (!fenetre->isVisible())
            qWarning("the window is not shown in its session");
        actions();
        fini = true;
        if (fenetre->isVisible())
            fenetre->reject();
    });
    QTimer garde;
    garde.setSingleShot(true);
    QObject::connect(&garde, &QTimer::timeout, fenetre, [fenetre] { fenetre->reject(); });
    garde.start(60000);
    ouvrir();
    if (!fini)
        qWarning("the window closed before its actions ran");
}

inline void pendantLaFenetre(buildings::Batiment &batiment, const std::function<void()> &actions)
{
    pendant(
        batiment.fenetreBatiment(), [&] { batiment.ouvertureFenetre(nullptr); }, actions);
}

inline void pendantLExport(buildings::Batiment &batiment, const std::function<void()> &actions)
{
    pendant(
        batiment.fenetreExport(), [&] { batiment.ouvertureExport(nullptr); }, actions);
}

// What the user types in the six fields.
inline void saisir(buildings::Batiment &b, const QString &code, const QString &nom,
                   const QString &adresse1 = {}, const QString &adresse2 = {}, const QString &codePostal = {},
                   const QString &localite = {})
{
    Ui::Batiment &ui = b.form();
    ui.tfCodeBatiment->setText(code);
    ui.tfAppellationBatiment->setText(nom);
    ui.tfAdresse1->setText(adresse1);
    ui.tfAdresse2->setText(adresse2);
    ui.tfCodePostal->setText(codePostal);
    ui.tfLocalite->setText(localite);
}

inline QStringList noms(const eo::EODisplayGroup &groupe, const QString &cle = QStringLiteral("appellation"))
{
    QStringList liste;
    for (const eo::EORecord &r : groupe.displayedObjects())
        liste.append(r->valueForKey(cle).toString());
    return liste;
}

// Counts the "changementAuxBatiments" notifications while it lives.
class Changements : public QObject
{
public:
    Changements()
    {
        platform::NotificationCenter::defaultCenter().addObserver(
            this, [this](const platform::Notification &) { ++nombre; },
            QStringLiteral("changementAuxBatiments"));
    }
    int nombre = 0;
};

} // namespace buildingstest
