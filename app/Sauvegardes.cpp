#include "Sauvegardes.h"

#include "AlertPanel.h"
#include "BackupFolder.h"
#include "Clock.h"
#include "EOSQLiteAdaptor.h"
#include "KORApplicationOC.h"
#include "KORDataBusOC.h"
#include "NSCursorExtensions.h"
#include "Resources.h"
#include "RestaurationPanel.h"
#include "SqliteBackup.h"
#include "SqliteRestore.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <limits>

namespace app
{

namespace
{

const QString titre = QStringLiteral("Sauvegarde de la base");
const QString titreRestauration = QStringLiteral("Restaurer une sauvegarde");

Sauvegardes::Relance &relance()
{
    static Sauvegardes::Relance fonction = [] {
        QStringList arguments = QCoreApplication::arguments();
        arguments.removeFirst();
        return QProcess::startDetached(QCoreApplication::applicationFilePath(), arguments);
    };
    return fonction;
}

QString quand(const data::BackupFolder::Entry &sauvegarde)
{
    return sauvegarde.manifest.date.toLocalTime().toString(QStringLiteral("dd/MM/yyyy à HH:mm"));
}

QString salles(qint64 nombre)
{
    return nombre <= 1 ? QStringLiteral("%1 salle").arg(nombre)
                       : QStringLiteral("%1 salles").arg(QLocale(QLocale::French).toString(nombre));
}

} // namespace

Sauvegardes::Sauvegardes(framework::KORApplicationOC &application, Liens liens)
    : m_application(application), m_liens(std::move(liens))
{
}

QString Sauvegardes::dossierBase() const
{
    const data::KORDataBusOC *bus = m_application.superDataBus();
    if (!bus || !bus->dataBusAdaptor())
        return QString();
    const QString url = bus->dataBusAdaptor()->connectionDictionary().value(QStringLiteral("URL")).toString();
    if (!url.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive))
        return QString();
    return QFileInfo(eo::EOSQLiteAdaptor::pathForURL(url)).absolutePath();
}

QString Sauvegardes::dossierSauvegardes() const
{
    const QString base = dossierBase();
    if (base.isEmpty())
        return QString();
    return data::BackupFolder::path(
        base, m_application.parameter(data::BackupFolder::configurationKey()).toString());
}

bool Sauvegardes::disponible() const
{
    return !dossierBase().isEmpty();
}

int Sauvegardes::attente() const
{
    // The time the application waits for a program that holds the files: DB_LOCK_TIMEOUT, 0 for no limit.
    const data::KORDataBusOC *bus = m_application.superDataBus();
    bool nombre = false;
    const int secondes = bus && bus->dataBusAdaptor() ? bus->dataBusAdaptor()
                                                            ->connectionDictionary()
                                                            .value(QStringLiteral("lockTimeout"))
                                                            .toInt(&nombre)
                                                      : 0;
    if (!nombre || secondes < 0)
        return -1;
    return secondes == 0 ? std::numeric_limits<int>::max() : secondes * 1000;
}

void Sauvegardes::sauvegarder(QObject *)
{
    if (!disponible())
        return;
    data::BackupFolder::Entry sauvegarde;
    {
        const data::WaitCursorScope curseur;
        sauvegarde = data::SqliteBackup::create(dossierBase(), dossierSauvegardes(), data::BackupKind::Manual,
                                                attente());
    }
    platform::NSRunAlertPanel(
        titre, QStringLiteral("La base est sauvegardée (%1) dans « %2 ».")
                   .arg(salles(sauvegarde.manifest.rooms), QDir::toNativeSeparators(sauvegarde.path)));
}

void Sauvegardes::restaurer(QObject *)
{
    if (!disponible())
        return;
    const QString dossier = dossierSauvegardes();
    const QList<data::BackupFolder::Entry> liste = data::BackupFolder::list(dossier);
    if (liste.isEmpty()) {
        platform::NSRunAlertPanel(titreRestauration,
                                  QStringLiteral("Aucune sauvegarde n'est gardée dans « %1 ».")
                                      .arg(QDir::toNativeSeparators(dossier)));
        return;
    }
    const std::optional<data::BackupFolder::Entry> choix =
        RestaurationPanel(liste, dossier, m_liens.fenetre).choisir();
    if (!choix)
        return;
    const QString question =
        QStringLiteral(
            "Remplacer la base actuelle par la sauvegarde %1 du %2 (%3) ?\n\nLes fichiers actuels sont "
            "d'abord gardés parmi les sauvegardes, puis Locavia redémarre sur la base restaurée.")
            .arg(data::backupKindLabel(choix->manifest.kind), quand(*choix), salles(choix->manifest.rooms));
    if (platform::NSRunChoicePanel(titreRestauration, question,
                                   {QStringLiteral("Restaurer"), QStringLiteral("Annuler")}, 1) != 0)
        return;
    // The application ends after the restore: unsaved work is asked about first.
    if (m_liens.peutTerminer && !m_liens.peutTerminer())
        return;
    data::SqliteRestore::Report rapport;
    {
        const data::WaitCursorScope curseur;
        rapport = data::SqliteRestore::restore(dossierBase(), dossier, *choix, platform::resourcesDirectory(),
                                               attente());
    }
    QString texte =
        QStringLiteral("La sauvegarde du %1 est restaurée (%2).").arg(quand(*choix), salles(rapport.rooms));
    if (!rapport.kept.name.isEmpty())
        texte += QStringLiteral(" Les fichiers remplacés sont gardés dans « %1 ».")
                     .arg(QDir::toNativeSeparators(rapport.kept.path));
    // Told before the new Locavia opens its window over the message.
    platform::NSRunAlertPanel(titreRestauration,
                              texte + QStringLiteral("\n\nLocavia redémarre sur la base restaurée."));
    if (!(relance() && relance()()))
        platform::NSRunAlertPanel(titreRestauration,
                                  QStringLiteral("Locavia n'a pas pu être relancé : relancez-le pour "
                                                 "travailler sur la base restaurée."));
    if (m_liens.terminer)
        m_liens.terminer();
}

void Sauvegardes::sauvegardeDuJour()
{
    if (!disponible())
        return;
    try {
        const data::WaitCursorScope curseur;
        data::SqliteBackup::daily(dossierBase(), dossierSauvegardes(), attente());
    } catch (const std::exception &erreur) {
        const QString raison = QString::fromUtf8(erreur.what());
        qWarning().noquote() << QStringLiteral(">>>>> Sauvegarde du jour impossible : %1").arg(raison);
        const QString aujourdhui = platform::Clock::now().date().toString(Qt::ISODate);
        platform::UserDefaults &preferences = m_application.userDefaults();
        if (preferences.stringForKey(cleEchecSignale()) == aujourdhui)
            return;
        preferences.setObject(aujourdhui, cleEchecSignale());
        platform::NSRunAlertPanel(
            titre, QStringLiteral("La sauvegarde du jour n'a pas pu être faite. %1\n\nVos données "
                                  "ne sont pas touchées ; Locavia réessaiera à la fin de la "
                                  "prochaine session.")
                       .arg(raison));
    }
}

Sauvegardes::Relance Sauvegardes::setRelance(Relance fonction)
{
    Relance avant = std::move(relance());
    relance() = std::move(fonction);
    return avant;
}

} // namespace app
