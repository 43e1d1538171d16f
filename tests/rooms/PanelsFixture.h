#pragma once

// Helpers for the tests that go through the room tab's panels: running a panel modally while a gesture
// acts in it, reaching its controls, choosing a row of a list, building a line as a panel would.

#include "EOGenericRecord.h"
#include "KORConversions.h"

#include <QAbstractButton>
#include <QDialog>
#include <QTimer>
#include <functional>

namespace roomstest
{

inline QString texte(const eo::EORecord &ligne, const char *cle)
{
    return framework::KORConversions::recupererChaine(ligne->valueForKey(QString::fromLatin1(cle)));
}

inline eo::EORecord ligne(std::initializer_list<std::pair<const char *, QVariant>> valeurs)
{
    const eo::EORecord nouvelle = eo::EOGenericRecord::create();
    for (const auto &[cle, valeur] : valeurs)
        nouvelle->takeValueForKey(valeur, QString::fromLatin1(cle));
    return nouvelle;
}

// Selects the row of a group whose key holds the text; false when none does.
inline bool choisir(eo::EODisplayGroup &groupe, const char *cle, const QString &valeur)
{
    const QList<eo::EORecord> &lignes = groupe.displayedObjects();
    for (qsizetype i = 0; i < lignes.size(); ++i) {
        if (texte(lignes.at(i), cle) == valeur)
            return groupe.setSelectionIndexes({int(i)});
    }
    return false;
}

template <class Widget> Widget *dans(QWidget *panneau, const char *nom)
{
    auto *w = panneau->findChild<Widget *>(QString::fromLatin1(nom));
    if (!w)
        qFatal("no %s in %s", nom, qPrintable(panneau->objectName()));
    return w;
}

// Clicks ouvrir and runs geste while the panel it opens runs modally. A panel the gesture leaves open is
// closed afterwards as by its close box, so that a failing check cannot leave the test waiting. False when
// the panel never ran modally.
inline bool dansLePanneau(QAbstractButton *ouvrir, QDialog *panneau, const std::function<void()> &geste)
{
    bool ouvert = false;
    QTimer minuteur;
    minuteur.setSingleShot(true);
    QObject::connect(&minuteur, &QTimer::timeout, panneau, [&] {
        ouvert = panneau->isVisible() && panneau->isModal();
        geste();
        if (panneau->isVisible())
            panneau->close();
    });
    minuteur.start(0);
    ouvrir->click();
    return ouvert;
}

} // namespace roomstest
