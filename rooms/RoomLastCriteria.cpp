#include "RoomLastCriteria.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace rooms
{

RoomLastCriteria::Valeurs RoomLastCriteria::lire(const QWidget *vue, const QStringList &champs)
{
    Valeurs valeurs;
    for (const QString &nom : champs) {
        QWidget *controle = vue->findChild<QWidget *>(nom);
        if (auto *champ = qobject_cast<QLineEdit *>(controle))
            valeurs.insert(nom, champ->text());
        else if (auto *popUp = qobject_cast<QComboBox *>(controle))
            valeurs.insert(nom, popUp->currentIndex() > 0 ? popUp->currentText() : QString());
        else if (auto *caseACocher = qobject_cast<QCheckBox *>(controle))
            valeurs.insert(nom, caseACocher->isChecked());
        else if (auto *texte = qobject_cast<QPlainTextEdit *>(controle))
            valeurs.insert(nom, texte->toPlainText());
    }
    return valeurs;
}

void RoomLastCriteria::ecrire(QWidget *vue, const Valeurs &valeurs)
{
    for (auto it = valeurs.constBegin(); it != valeurs.constEnd(); ++it) {
        QWidget *controle = vue->findChild<QWidget *>(it.key());
        if (auto *champ = qobject_cast<QLineEdit *>(controle)) {
            champ->setText(it.value().toString());
        } else if (auto *popUp = qobject_cast<QComboBox *>(controle)) {
            const QString titre = it.value().toString();
            const int index = titre.isEmpty() ? 0 : popUp->findText(titre, Qt::MatchExactly);
            popUp->setCurrentIndex(index > 0 ? index : 0);
        } else if (auto *caseACocher = qobject_cast<QCheckBox *>(controle)) {
            caseACocher->setChecked(it.value().toBool());
        } else if (auto *texte = qobject_cast<QPlainTextEdit *>(controle)) {
            texte->setPlainText(it.value().toString());
        }
    }
}

bool RoomLastCriteria::existe() const
{
    for (const QVariant &valeur : m_valeurs) {
        if (valeur.typeId() == QMetaType::Bool ? valeur.toBool() : !valeur.toString().isEmpty())
            return true;
    }
    return false;
}

} // namespace rooms
