#include "SqliteFailure.h"

#include "EOAdaptor.h"

#include <QDebug>
#include <cerrno>
#include <sqlite3.h>

namespace data
{

int SqliteFailure::busyTimeoutMilliseconds()
{
    return eo::EOAdaptor::DefaultLockTimeout * 1000;
}

QString SqliteFailure::message(int code, const QString &detail, const QString &files, const QString &origin)
{
    const QString sentence = frenchMessage(code, files, origin);
    // SQLite's own text is for whoever maintains the database: it goes to the log.
    if (!detail.isEmpty())
        qWarning().noquote()
            << QStringLiteral(">>>>> %1 [SQLite %2 : %3]").arg(sentence).arg(code).arg(detail);
    return sentence;
}

QString SqliteFailure::frenchMessage(int code, const QString &files, const QString &origin)
{
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral(
                   "%1 : la base de données (%2) est occupée par un autre programme, qui la lit ou "
                   "l'écrit encore après l'attente. Rien n'a été modifié ; réessayez une fois ce "
                   "programme arrêté (Locavia par exemple).")
            .arg(origin, files);
    case SQLITE_FULL:
        return QStringLiteral("%1 : le disque qui contient la base de données (%2) est plein. Rien n'a été "
                              "modifié ; libérez de la place et recommencez.")
            .arg(origin, files);
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return QStringLiteral("%1 : votre compte ne peut pas écrire dans la base de données (%2) ou dans son "
                              "dossier. Rien n'a été modifié.")
            .arg(origin, files);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral(
                   "%1 : un fichier de la base de données (%2) est endommagé ou n'est pas une base "
                   "SQLite ; il n'est pas modifié. Remplacez-le par sa dernière sauvegarde.")
            .arg(origin, files);
    case SQLITE_CANTOPEN:
    case SQLITE_IOERR:
        return QStringLiteral("%1 : la base de données (%2) ne peut pas être lue ou écrite sur le disque. "
                              "Rien n'a été modifié ; vérifiez le disque et les droits sur le dossier, puis "
                              "recommencez.")
            .arg(origin, files);
    default:
        return QStringLiteral("%1 : la base de données (%2) a refusé l'opération. Rien n'a été modifié ; le "
                              "détail est écrit dans le journal.")
            .arg(origin, files);
    }
}

QString SqliteFailure::message(sqlite3 *db, int code, const QString &files, const QString &origin)
{
    const QString detail =
        db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(code));
    // A disk that filled up in the middle of a write may come as a failed write.
    const int systemError = db ? sqlite3_system_errno(db) : 0;
    if ((code & 0xff) == SQLITE_IOERR && (systemError == ENOSPC || systemError == EDQUOT))
        code = SQLITE_FULL;
    return message(code, detail, files, origin);
}

} // namespace data
