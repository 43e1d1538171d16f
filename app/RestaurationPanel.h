#pragma once

#include "BackupFolder.h"

#include <QList>
#include <QStringList>
#include <memory>
#include <optional>

class QDialog;
class QWidget;

namespace Ui
{
class Restauration;
}

namespace app
{

// The panel of "Restaurer une sauvegarde…": the backups of the database, newest first, with their date,
// kind, rooms and the version that made them; "Restaurer" takes the one selected (a double click too).
class RestaurationPanel
{
public:
    RestaurationPanel(QList<data::BackupFolder::Entry> sauvegardes, const QString &dossier, QWidget *parent);
    ~RestaurationPanel();
    RestaurationPanel(const RestaurationPanel &) = delete;
    RestaurationPanel &operator=(const RestaurationPanel &) = delete;

    // Runs the panel application-modal; the backup chosen, nothing when the panel was cancelled or closed.
    std::optional<data::BackupFolder::Entry> choisir();
    QDialog *panneau() const { return m_panneau.get(); }

    // One line of the list: date, kind, rooms, version.
    static QStringList ligne(const data::BackupFolder::Entry &sauvegarde);

private:
    void valider();

    QList<data::BackupFolder::Entry> m_sauvegardes;
    std::unique_ptr<QDialog> m_panneau;
    std::unique_ptr<Ui::Restauration> ui;
    std::optional<data::BackupFolder::Entry> m_choix;
};

} // namespace app
