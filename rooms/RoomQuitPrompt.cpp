#include "RoomQuitPrompt.h"

#include "QuestionPanel.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace rooms
{

RoomQuitPrompt::RoomQuitPrompt(QWidget *vue, QList<const QAbstractItemModel *> sousListes)
    : m_vue(vue), m_sousListes(std::move(sousListes))
{
}

QStringList RoomQuitPrompt::etat() const
{
    QStringList etat;
    if (!m_vue)
        return etat;
    // The form's own controls only: the panels of the sub-lists are windows of their own.
    for (const QWidget *controle : m_vue->findChildren<QWidget *>()) {
        if (controle->window() != m_vue->window())
            continue;
        if (const auto *champ = qobject_cast<const QLineEdit *>(controle))
            etat << champ->objectName() + QLatin1Char('=') + champ->text();
        else if (const auto *popUp = qobject_cast<const QComboBox *>(controle))
            etat << popUp->objectName() + QLatin1Char('=') + popUp->currentText();
        else if (const auto *caseACocher = qobject_cast<const QCheckBox *>(controle))
            etat << caseACocher->objectName() +
                        (caseACocher->isChecked() ? QStringLiteral("=1") : QStringLiteral("=0"));
        else if (const auto *texte = qobject_cast<const QPlainTextEdit *>(controle))
            etat << texte->objectName() + QLatin1Char('=') + texte->toPlainText();
    }
    for (const QAbstractItemModel *liste : m_sousListes) {
        QStringList lignes;
        for (int ligne = 0; ligne < liste->rowCount(); ++ligne) {
            QStringList cellules;
            for (int colonne = 0; colonne < liste->columnCount(); ++colonne)
                cellules << liste->index(ligne, colonne).data().toString();
            lignes << cellules.join(QLatin1Char('\t'));
        }
        etat << lignes.join(QLatin1Char('\n'));
    }
    return etat;
}

void RoomQuitPrompt::commencer()
{
    m_enCours = true;
    m_depart = etat();
}

void RoomQuitPrompt::oublier()
{
    m_enCours = false;
    m_depart.clear();
}

bool RoomQuitPrompt::modifie() const
{
    return m_enCours && etat() != m_depart;
}

bool RoomQuitPrompt::peutQuitter() const
{
    if (!modifie())
        return true;
    return platform::NSRunQuestionPanel(QStringLiteral("Attention"),
                                        QStringLiteral("Quitter sans enregistrer les modifications ?"),
                                        QStringLiteral("Quitter"), QStringLiteral("Annuler")) == 1;
}

} // namespace rooms
