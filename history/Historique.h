#pragma once

#include "HistoryTableModel.h"

#include <QObject>
#include <functional>
#include <memory>

class QDialog;
class QWidget;

namespace Ui
{
class Historique;
}

namespace data
{
class KORDataBusOC;
}

namespace history
{

// The "Historique" window: the changes of one room or one building, newest first, with their date, user,
// field and old → new values, filtered by user and by period. It runs modally above the window that opens
// it (the room form, the building register) until "Fermer".
class Historique : public QObject
{
    Q_OBJECT
public:
    explicit Historique(data::KORDataBusOC &dataBus, QObject *parent = nullptr);
    ~Historique() override;

    // Fills the window and runs it; when the history cannot be read, an alert says why instead.
    void afficherSalle(qint64 numero, const QString &titre, QWidget *parent = nullptr);
    void afficherBatiment(const QString &code, const QString &titre, QWidget *parent = nullptr);

    // The window filled and shown, not run: false, after the alert, when the history cannot be read.
    bool chargerSalle(qint64 numero, const QString &titre);
    bool chargerBatiment(const QString &code, const QString &titre);
    // Runs the filled window modally above parent until it is closed.
    void executer(QWidget *parent);

    QDialog *fenetreHistorique() const { return m_fenetre.get(); }
    Ui::Historique &form() { return *ui; }
    HistoryTableModel &modele() { return m_modele; }

private:
    bool charger(const std::function<QList<Change>()> &lecture, const QString &titre);
    void remplirFiltres();
    void filtrer();

    data::KORDataBusOC &m_dataBus;
    std::unique_ptr<Ui::Historique> ui;
    std::unique_ptr<QDialog> m_fenetre;
    HistoryTableModel m_modele;
};

} // namespace history
