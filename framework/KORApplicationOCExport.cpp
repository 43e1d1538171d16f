// KORApplicationOC: files named after the time, exports to files chosen by the user, reports printed and
// shown at once.

#include "KORApplicationOC.h"

#include "AlertPanel.h"
#include "Clock.h"
#include "FileOpener.h"
#include "FileWriter.h"
#include "KORReport.h"
#include "KORReportProgress.h"
#include "Resources.h"
#include "SavePanel.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace framework
{

QString KORApplicationOC::temporaryDirectory()
{
    const QString temporary = QDir::tempPath();
    if (!temporary.isEmpty() && QFileInfo(temporary).isDir())
        return temporary;
    // Without HOME, Qt answers the root folder, which is nobody's home.
    const QString home = QDir::homePath();
    if (!home.isEmpty() && home != QDir::rootPath() && QFileInfo(home).isDir())
        return home;
    return {};
}

QString KORApplicationOC::creerFichierTemporaire(const QString &nom, const QString &type)
{
    const QString fichier =
        QStringLiteral("%1_%2.%3")
            .arg(nom, platform::Clock::now().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")), type);
    const QString repertoire = temporaryDirectory();
    if (repertoire.isEmpty()) {
        platform::NSRunAlertPanel(
            QStringLiteral("ERREUR"),
            QStringLiteral("Pas de TEMP ou HOME directory, probleme grave, on quitte l'application !"),
            QStringLiteral("OK"));
        quitApplication(1);
        return {};
    }
    return QDir(repertoire).filePath(fichier);
}

void KORApplicationOC::exporterElementsDeFichier(const QString &fichier, const QString &modele)
{
    const QString base = trouverFichier(modele, QStringLiteral("xls"));
    const QString classeur = platform::resourcePath(base + QStringLiteral(".xls"));
    for (const QString &path : {classeur, fichier}) {
        if (!platform::FileOpener::openFile(path))
            qWarning().noquote() << QStringLiteral(">>>>> Le fichier %1 n'a pas pu être ouvert.").arg(path);
    }
}

void KORApplicationOC::exporterElements(const QString &texte)
{
    platform::SavePanelRequest request;
    request.title = QStringLiteral("Enregistrer");
    request.directory = QDir::homePath();
    request.requiredExtension = QStringLiteral("txt");
    const std::optional<QString> chemin = platform::SavePanel::runModal(request);
    if (chemin && !chemin->isEmpty()) {
        QString raison;
        if (!platform::FileWriter::writeAtomically(*chemin, platform::FileWriter::windows1252(texte),
                                                   &raison)) {
            qWarning().noquote()
                << QStringLiteral(">>>>> Écriture de %1 impossible : %2").arg(*chemin, raison);
            QApplication::beep();
            // What happened and what to do come under the message the users know.
            platform::NSRunAlertPanel(QStringLiteral("ERREUR"),
                                      QStringLiteral("Problème lors de l'écriture du fichier.\n\n%1")
                                          .arg(platform::FileWriter::sentence(raison)),
                                      QStringLiteral("OK"));
        }
    }
    stopModal();
}

QString KORApplicationOC::trouverRapport(const QString &nom) const
{
    const QString variante = nom + m_localAbreviation;
    if (!m_localAbreviation.isEmpty() &&
        QFileInfo(platform::resourcePath(QStringLiteral("reports/") + variante)).isDir())
        return variante;
    return nom;
}

void KORApplicationOC::printPDF(const QString &modele, const QVariantList &objects, const QVariantMap &info)
{
    printReport(modele, objects, info, false);
}

void KORApplicationOC::printEPS(const QString &modele, const QVariantList &objects, const QVariantMap &info)
{
    printReport(modele, objects, info, true);
}

void KORApplicationOC::printReport(const QString &modele, const QVariantList &objects,
                                   const QVariantMap &info, bool postScript)
{
    const QString base = trouverRapport(modele);
    const QString chemin =
        creerFichierTemporaire(modele, postScript ? QStringLiteral("eps") : QStringLiteral("pdf"));
    if (chemin.isEmpty())
        return;

    KORReportProgress progression(QStringLiteral("Impression en cours..."), activeWindow());
    const KORReport::Result rapport =
        postScript ? KORReport::PSReportWithTemplateNameOrPath(base, objects, info, progression.callback())
                   : KORReport::PDFReportWithTemplateNameOrPath(base, objects, info, progression.callback());
    if (rapport.cancelled)
        return;
    QString raison = rapport.error;
    if (!raison.isEmpty()) {
        qWarning().noquote() << QStringLiteral(">>>>> Impression de %1 impossible : %2").arg(modele, raison);
        platform::NSRunAlertPanel(QStringLiteral("PROBLEME"),
                                  QStringLiteral("Le fichier n'a pas pu etre cree !"), QStringLiteral("OK"));
        return;
    }
    if (!platform::FileWriter::writeAtomically(chemin, rapport.data, &raison)) {
        qWarning().noquote() << QStringLiteral(">>>>> Impression de %1 impossible : %2").arg(modele, raison);
        platform::NSRunAlertPanel(QStringLiteral("PROBLEME"),
                                  QStringLiteral("Le fichier n'a pas pu etre cree !\n\n%1")
                                      .arg(platform::FileWriter::sentence(raison)),
                                  QStringLiteral("OK"));
        return;
    }
    platform::FileOpener::openFile(chemin);
}

} // namespace framework
