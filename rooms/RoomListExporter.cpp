#include "RoomListExporter.h"

#include "AlertPanel.h"
#include "Clock.h"
#include "EODisplayGroup.h"
#include "KORReportProgress.h"
#include "RoomExportColumns.h"
#include "RoomListCriteria.h"
#include "RoomListOccupations.h"
#include "RoomListTable.h"
#include "SavePanel.h"
#include "UserDefaults.h"

#include <QAbstractProxyModel>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QTableView>
#include <climits>

namespace rooms
{

using spreadsheet::TableFormat;

const QString RoomListExporter::cleDossier = QStringLiteral("DossierExportListeSalles");

RoomListExporter::RoomListExporter(data::KORDataBusOC &dataBus, eo::EODisplayGroup &salles,
                                   const QTableView &vue, const RoomListCriteria &criteres)
    : m_dataBus(dataBus), m_salles(salles), m_vue(vue), m_criteres(criteres)
{
}

QList<eo::EORecord> RoomListExporter::sallesAffichees() const
{
    const QList<eo::EORecord> &salles = m_salles.displayedObjects();
    const auto *proxy = qobject_cast<const QAbstractProxyModel *>(m_vue.model());
    if (!proxy || proxy->sourceModel() != &m_salles)
        return salles;
    // A view that sorts or filters the list on its own: its rows, in its order.
    QList<eo::EORecord> lignes;
    lignes.reserve(proxy->rowCount());
    for (int row = 0; row < proxy->rowCount(); ++row) {
        const int source = proxy->mapToSource(proxy->index(row, 0)).row();
        if (source >= 0 && source < salles.size())
            lignes.append(salles.at(source));
    }
    return lignes;
}

QString RoomListExporter::dossierPropose() const
{
    const QString dernier = m_defaults ? m_defaults->stringForKey(cleDossier) : QString();
    if (!dernier.isEmpty() && QFileInfo(dernier).isDir())
        return dernier;
    return QDir::homePath();
}

QString RoomListExporter::ordre() const
{
    const QList<eo::EOSortOrdering> &tri = m_salles.sortOrderings();
    if (tri.isEmpty())
        return QStringLiteral("Bâtiment, Étage, Porte");
    QStringList parties;
    for (const eo::EOSortOrdering &critere : tri) {
        QString titre = critere.key();
        for (const eo::EODisplayGroup::Column &colonne : m_salles.columns()) {
            if (colonne.key == critere.key())
                titre = colonne.title;
        }
        parties.append(critere.ascending() ? titre : titre + QStringLiteral(" (décroissant)"));
    }
    return parties.join(QStringLiteral(", "));
}

spreadsheet::TableWriteResult RoomListExporter::exporter(const QString &chemin, const Options &options,
                                                         const spreadsheet::TableProgress &progress)
{
    const QList<eo::EORecord> salles = sallesAffichees();
    QList<RoomExportColumn> colonnes = options.toutesLesColonnes
                                           ? RoomExportColumns::toutes()
                                           : RoomExportColumns::affichees(m_vue, m_salles);
    RoomListOccupations occupations;
    if (options.toutesLesColonnes) {
        occupations = RoomListOccupations::lire(m_dataBus, salles);
        colonnes.append(occupations.colonnes());
    }
    const RoomListTable table(salles, colonnes, &occupations);
    spreadsheet::TableDocument document;
    document.sheetName = m_criteres.nom();
    document.table = &table;
    document.annexes.append({QStringLiteral("Critères"),
                             {QStringLiteral("Critère"), QStringLiteral("Valeur")},
                             m_criteres.lignes(salles.size(), ordre(), platform::Clock::now())});
    return spreadsheet::TableExport::write(options.format, document, chemin, progress);
}

void RoomListExporter::exporterListe(QWidget *parent)
{
    if (m_salles.displayedObjects().isEmpty())
        return;
    platform::SavePanelRequest demande;
    demande.title = QStringLiteral("Exporter la liste des salles");
    demande.directory = dossierPropose();
    demande.fileName = m_criteres.nomDeFichier() + QStringLiteral(".xlsx");
    demande.fileTypes = {
        {QStringLiteral("Classeur Excel"), QStringLiteral("xlsx")},
        {QStringLiteral("Texte CSV pour tableur (séparateur « ; »)"), QStringLiteral("csv")}};
    demande.options = {{QStringLiteral("Toutes les colonnes"), false}};
    const std::optional<platform::SavePanelAnswer> reponse =
        platform::SavePanel::runModalWithChoices(demande);
    if (!reponse || reponse->path.isEmpty())
        return;

    Options options;
    options.format = reponse->fileType == 1 ? TableFormat::Csv : TableFormat::Xlsx;
    options.toutesLesColonnes = reponse->options.value(0);
    framework::KORReportProgress progression(QStringLiteral("Exportation de la liste des salles..."), parent);
    progression.dialog()->setWindowTitle(QStringLiteral("Exportation"));
    const framework::KORReport::Progress dialogue = progression.callback();
    const spreadsheet::TableWriteResult resultat =
        exporter(reponse->path, options, [&dialogue](qsizetype fait, qsizetype total) {
            return dialogue(int(std::min<qsizetype>(fait, INT_MAX)),
                            int(std::min<qsizetype>(total, INT_MAX)));
        });
    if (resultat.succeeded() && m_defaults)
        m_defaults->setObject(QFileInfo(reponse->path).absolutePath(), cleDossier);
    if (resultat.outcome != spreadsheet::TableWriteResult::Outcome::Failed)
        return;
    qWarning().noquote() << QStringLiteral(">>>>> Exportation de la liste des salles dans %1 impossible : %2")
                                .arg(reponse->path, resultat.error);
    platform::NSRunAlertPanel(QStringLiteral("ERREUR"),
                              QStringLiteral("La liste n'a pas été exportée : %1").arg(resultat.error),
                              QStringLiteral("OK"));
}

} // namespace rooms
