#include "RestaurationPanel.h"

#include "KORAction.h"
#include "ModalPanelRunner.h"
#include "ui_Restauration.h"

#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>

namespace app
{

RestaurationPanel::RestaurationPanel(QList<data::BackupFolder::Entry> sauvegardes, const QString &dossier,
                                     QWidget *parent)
    : m_sauvegardes(std::move(sauvegardes)), m_panneau(std::make_unique<QDialog>(parent)),
      ui(std::make_unique<Ui::Restauration>())
{
    ui->setupUi(m_panneau.get());
    ui->dossierSauvegardes->setText(QStringLiteral("Dossier : %1").arg(QDir::toNativeSeparators(dossier)));
    for (const data::BackupFolder::Entry &sauvegarde : std::as_const(m_sauvegardes)) {
        auto *item = new QTreeWidgetItem(ui->listeSauvegardes, ligne(sauvegarde));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(0, QDir::toNativeSeparators(sauvegarde.path));
    }
    QHeaderView *entete = ui->listeSauvegardes->header();
    entete->setStretchLastSection(false);
    entete->setSectionResizeMode(QHeaderView::ResizeToContents);
    entete->setSectionResizeMode(1, QHeaderView::Stretch);

    QTreeWidget *liste = ui->listeSauvegardes;
    QObject::connect(liste, &QTreeWidget::itemSelectionChanged, m_panneau.get(), [this] {
        ui->boutonRestaurer->setEnabled(!ui->listeSauvegardes->selectedItems().isEmpty());
    });
    framework::connectAction(liste, &QTreeWidget::itemDoubleClicked, m_panneau.get(), [this] { valider(); });
    framework::connectAction(ui->boutonRestaurer, &QPushButton::clicked, m_panneau.get(),
                             [this] { valider(); });
    framework::connectAction(ui->boutonAnnulerRestauration, &QPushButton::clicked, m_panneau.get(),
                             [this] { m_panneau->hide(); });
}

RestaurationPanel::~RestaurationPanel() = default;

std::optional<data::BackupFolder::Entry> RestaurationPanel::choisir()
{
    m_choix.reset();
    if (ui->listeSauvegardes->topLevelItemCount() > 0)
        ui->listeSauvegardes->setCurrentItem(ui->listeSauvegardes->topLevelItem(0));
    widgets::ModalPanelRunner::run(m_panneau.get());
    return m_choix;
}

QStringList RestaurationPanel::ligne(const data::BackupFolder::Entry &sauvegarde)
{
    const data::BackupManifest &manifeste = sauvegarde.manifest;
    QString type = data::backupKindLabel(manifeste.kind);
    if (!manifeste.checked)
        type += QStringLiteral(" (non vérifiée)");
    return {manifeste.date.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")), type,
            manifeste.rooms < 0 ? QStringLiteral("?") : QLocale(QLocale::French).toString(manifeste.rooms),
            manifeste.version};
}

void RestaurationPanel::valider()
{
    const int rang = ui->listeSauvegardes->indexOfTopLevelItem(ui->listeSauvegardes->currentItem());
    if (rang < 0 || rang >= m_sauvegardes.size())
        return;
    m_choix = m_sauvegardes.at(rang);
    m_panneau->hide();
}

} // namespace app
