#include "RoomSheetPrinter.h"

#include "AlertPanel.h"
#include "Clock.h"
#include "FileOpener.h"
#include "FileWriter.h"
#include "KORApplicationOC.h"
#include "KORConversions.h"
#include "KORReport.h"
#include "KORReportProgress.h"
#include "RoomSheet.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace rooms
{

using framework::KORConversions;

const QString RoomSheetPrinter::modele = QStringLiteral("FicheSalle");

namespace
{

QString pourNomDeFichier(QString texte)
{
    for (QChar &c : texte) {
        if (QStringLiteral("<>:\"/\\|?* ").contains(c) || c.unicode() < 0x20)
            c = u'_';
    }
    return texte;
}

} // namespace

RoomSheetPrinter::RoomSheetPrinter(data::KORDataBusOC &dataBus) : m_dataBus(dataBus) {}

QString RoomSheetPrinter::nomFichier(const QList<eo::EORecord> &salles, const QDateTime &moment)
{
    const QString heure = moment.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    if (salles.size() == 1) {
        const eo::EORecord &salle = salles.first();
        const QString batiment =
            KORConversions::recupererChaine(salle->valueForKey(QStringLiteral("appellation")));
        const QString porte = KORConversions::recupererChaine(salle->valueForKey(QStringLiteral("salPorte")));
        return pourNomDeFichier(
            QStringLiteral("fiche_salle-%1-%2_%3.pdf").arg(batiment.left(40), porte, heure));
    }
    return QStringLiteral("fiches_salles-%1_%2.pdf").arg(salles.size()).arg(heure);
}

QString RoomSheetPrinter::imprimer(const QList<eo::EORecord> &salles, QWidget *parent)
{
    if (salles.isEmpty())
        return {};
    if (salles.size() > fichesAuPlus) {
        platform::NSRunAlertPanel(
            QStringLiteral("IMPRESSION ANNULEE"),
            QStringLiteral("Une fiche par salle : choisissez au plus %1 salles (%2 sont "
                           "choisies).")
                .arg(fichesAuPlus)
                .arg(salles.size()),
            QStringLiteral("OK"));
        return {};
    }
    const QString dossier = framework::KORApplicationOC::temporaryDirectory();
    if (dossier.isEmpty()) {
        platform::NSRunAlertPanel(QStringLiteral("ERREUR"),
                                  QStringLiteral("Pas de TEMP ou HOME directory, probleme grave !"),
                                  QStringLiteral("OK"));
        return {};
    }

    framework::KORReportProgress progression(salles.size() > 1
                                                 ? QStringLiteral("Impression des fiches de salle...")
                                                 : QStringLiteral("Impression de la fiche de salle..."),
                                             parent);
    const framework::KORReport::Result rapport = framework::KORReport::PDFReportWithTemplateNameOrPath(
        modele, RoomSheet::fiches(m_dataBus, salles), {}, progression.callback());
    if (rapport.cancelled)
        return {};

    // Two prints within the same second keep their own files: the first may still be open in the viewer.
    const QFileInfo nom(QDir(dossier).filePath(nomFichier(salles, platform::Clock::now())));
    QString chemin = nom.absoluteFilePath();
    for (int numero = 2; QFileInfo::exists(chemin); ++numero)
        chemin = QDir(dossier).filePath(QStringLiteral("%1-%2.pdf").arg(nom.completeBaseName()).arg(numero));
    QString raison = rapport.error;
    if (!rapport.succeeded() || !platform::FileWriter::writeAtomically(chemin, rapport.data, &raison)) {
        qWarning().noquote()
            << QStringLiteral(">>>>> Impression de la fiche de salle impossible : %1").arg(raison);
        platform::NSRunAlertPanel(QStringLiteral("PROBLEME"),
                                  QStringLiteral("La fiche n'a pas pu être créée : %1").arg(raison),
                                  QStringLiteral("OK"));
        return {};
    }
    const QString natif = QDir::toNativeSeparators(chemin);
    if (!platform::FileOpener::openFile(natif)) {
        // The sheet is there: the user is told where, rather than left waiting for a viewer.
        qWarning().noquote() << QStringLiteral(">>>>> Le fichier %1 n'a pas pu être ouvert.").arg(natif);
        platform::NSRunAlertPanel(
            QStringLiteral("Attention"),
            QStringLiteral("La fiche est enregistrée dans « %1 », mais aucune application n'a pu l'ouvrir.")
                .arg(natif),
            QStringLiteral("OK"));
    }
    return natif;
}

} // namespace rooms
