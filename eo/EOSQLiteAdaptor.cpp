#include "EOSQLiteAdaptor.h"

#include "EOCollation.h"
#include "EOColumnInterner.h"
#include "EODecimal.h"
#include "EOException.h"
#include "EOHiddenCharacter.h"
#include "EONull.h"
#include "EOValues.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sqlite3.h>

namespace eo
{

namespace
{

bool isFullDisk(int systemError)
{
    return systemError == ENOSPC || systemError == EDQUOT;
}

// Oracle's to_number for the counts stored as text: NULL for a null, an empty or a non-numeric text.
void toNumberFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (argc < 1) {
        sqlite3_result_null(context);
        return;
    }
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER:
        sqlite3_result_int64(context, sqlite3_value_int64(argv[0]));
        return;
    case SQLITE_FLOAT:
        if (std::fabs(sqlite3_value_double(argv[0])) < 1e308)
            sqlite3_result_double(context, sqlite3_value_double(argv[0]));
        else
            sqlite3_result_null(context);
        return;
    case SQLITE_NULL:
        sqlite3_result_null(context);
        return;
    default:
        break;
    }
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0]))).trimmed();
    bool ok = false;
    const qint64 integer = text.toLongLong(&ok);
    if (ok) {
        sqlite3_result_int64(context, integer);
        return;
    }
    const double number = text.toDouble(&ok);
    // A number of 309 digits or more before its point is no number: the server refuses the same values.
    if (ok && std::fabs(number) < 1e308)
        sqlite3_result_double(context, number);
    else
        sqlite3_result_null(context);
}

// UPPER and LOWER for every letter, as the server does: SQLite's own change only ASCII letters, so an
// accented description would never match its upper-cased search text.
template <bool Upper> void caseFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (argc < 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])),
                                           sqlite3_value_bytes(argv[0]));
    const QByteArray result = (Upper ? text.toUpper() : text.toLower()).toUtf8();
    sqlite3_result_text(context, result.constData(), int(result.size()), SQLITE_TRANSIENT);
}

// hidden_character(text): how a message names the first control or invisible format character of a text
// ("U+202E"), NULL when it has none; the procedures refuse such characters in codes.
void hiddenCharacterFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (argc < 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    // Decoded whole: QString::fromUtf8 would drop a leading U+FEFF, one of the characters looked for.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    const QString text = utf8(QByteArrayView(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])),
                                             sqlite3_value_bytes(argv[0])));
    const std::optional<char32_t> hidden = EOHiddenCharacter::firstIn(text);
    if (!hidden) {
        sqlite3_result_null(context);
        return;
    }
    const QByteArray name = EOHiddenCharacter::name(*hidden).toUtf8();
    sqlite3_result_text(context, name.constData(), int(name.size()), SQLITE_TRANSIENT);
}

// txid_current(): a number of the current transaction, drawn at its first use and forgotten when the
// transaction ends (the commit and rollback hooks), so that every statement of one transaction reads the
// same number and two transactions, of this connection or of another one, hardly ever do.
void transactionNumberFunction(sqlite3_context *context, int, sqlite3_value **)
{
    auto *number = static_cast<qint64 *>(sqlite3_user_data(context));
    while (*number == 0) {
        sqlite3_randomness(int(sizeof(*number)), number);
        *number &= 0x3fffffffffffffff;
    }
    sqlite3_result_int64(context, *number);
}

int transactionCommitted(void *number)
{
    *static_cast<qint64 *>(number) = 0;
    return 0; // the commit goes on
}

void transactionRolledBack(void *number)
{
    *static_cast<qint64 *>(number) = 0;
}

int frenchCollation(void *, int aBytes, const void *a, int bBytes, const void *b)
{
    return EOCollation::compareUtf8(static_cast<const char *>(a), aBytes, static_cast<const char *>(b),
                                    bBytes);
}

int frenchLettersCollation(void *, int aBytes, const void *a, int bBytes, const void *b)
{
    return EOCollation::compareLettersUtf8(static_cast<const char *>(a), aBytes, static_cast<const char *>(b),
                                           bBytes);
}

// Statement guard: finalized whatever happens.
struct Statement {
    sqlite3_stmt *handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

// A kept statement is reset, not finalized, when its use ends (which also ends its read of the database).
struct KeptStatement {
    sqlite3_stmt *handle = nullptr;
    ~KeptStatement() { sqlite3_reset(handle); }
};

} // namespace

EOSQLiteAdaptor::~EOSQLiteAdaptor()
{
    close();
}

void EOSQLiteAdaptor::close()
{
    for (sqlite3_stmt *statement : std::as_const(m_statements))
        sqlite3_finalize(statement);
    m_statements.clear();
    m_procedureBodies.clear();
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

QString EOSQLiteAdaptor::pathForURL(const QString &url)
{
    QString path = url;
    if (path.startsWith(QLatin1String("sqlite://"), Qt::CaseInsensitive))
        path = path.mid(9);
    else if (path.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive))
        path = path.mid(7);
    if (path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    return path.isEmpty() ? path : QDir::cleanPath(path);
}

sqlite3 *EOSQLiteAdaptor::handle()
{
    const Call call(*this);
    open();
    return m_db;
}

void EOSQLiteAdaptor::raiseErrorFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    const char *text = argc > 0 ? reinterpret_cast<const char *>(sqlite3_value_text(argv[0])) : nullptr;
    // The whole message: a value it quotes may hold a NUL character (stored before such values were
    // refused), where SQLite's C string would end the sentence.
    QString message = text ? QString::fromUtf8(text, sqlite3_value_bytes(argv[0]))
                           : QStringLiteral("Erreur de la procédure.");
    message.replace(QChar(0), EOHiddenCharacter::name(0));
    // Remembered, so that the refusal of a procedure is told from the database's own errors.
    static_cast<EOSQLiteAdaptor *>(sqlite3_user_data(context))->m_raised = message;
    const QByteArray utf8 = message.toUtf8();
    sqlite3_result_error(context, utf8.constData(), int(utf8.size()));
}

int EOSQLiteAdaptor::busyHandler(void *data, int attempts)
{
    auto *self = static_cast<EOSQLiteAdaptor *>(data);
    if (attempts == 0)
        self->m_waitTimer.start();
    const qint64 elapsed = self->m_waitTimer.elapsed();
    const int limit = self->lockTimeout();
    if (limit > 0 && elapsed >= qint64(limit) * 1000)
        return 0;
    if (self->observeWait(elapsed))
        return 0;
    sqlite3_sleep(20);
    return 1;
}

QString EOSQLiteAdaptor::quoted(const QStringList &files)
{
    QStringList quotedFiles;
    for (const QString &file : files)
        quotedFiles << QStringLiteral("« %1 »").arg(file);
    if (quotedFiles.size() < 2)
        return quotedFiles.value(0);
    const QString last = quotedFiles.takeLast();
    return QStringLiteral("%1 et %2").arg(quotedFiles.join(QStringLiteral(", ")), last);
}

QStringList EOSQLiteAdaptor::files() const
{
    QStringList paths{m_path};
    for (const Attachment &attachment : m_attachments)
        paths << attachment.path;
    return paths;
}

QString EOSQLiteAdaptor::bothFiles() const
{
    return quoted(files());
}

QString EOSQLiteAdaptor::filesInQuestion(const QString &file) const
{
    return file.isEmpty() ? QStringLiteral("(%1)").arg(bothFiles()) : QStringLiteral("« %1 »").arg(file);
}

QString EOSQLiteAdaptor::fileOfSchema(const QString &schema) const
{
    for (const Attachment &attachment : m_attachments) {
        if (attachment.alias.compare(schema, Qt::CaseInsensitive) == 0)
            return attachment.path;
    }
    return m_path;
}

QString EOSQLiteAdaptor::readOnlyFiles() const
{
    QStringList readOnly;
    for (qsizetype i = 0; i < m_attachedCount && m_db; ++i) {
        if (sqlite3_db_readonly(m_db, m_attachments.at(i).alias.toUtf8().constData()) == 1)
            readOnly << m_attachments.at(i).path;
    }
    if (m_db && sqlite3_db_readonly(m_db, "main") == 1)
        readOnly << m_path;
    // Writable files in a folder where the journal cannot be made: the folder is the one to open up.
    if (readOnly.isEmpty())
        return QStringLiteral("du dossier « %1 »").arg(QFileInfo(m_path).absolutePath());
    return quoted(readOnly);
}

QString EOSQLiteAdaptor::damagedFile()
{
    if (!m_db)
        return m_path;
    QList<QPair<QByteArray, QString>> schemas{{"main", m_path}};
    for (qsizetype i = 0; i < m_attachedCount; ++i)
        schemas.append({m_attachments.at(i).alias.toUtf8(), m_attachments.at(i).path});
    for (const auto &[schema, path] : std::as_const(schemas)) {
        const QByteArray sql = "PRAGMA " + schema + ".quick_check(1)";
        sqlite3_stmt *raw = nullptr;
        const int rc = sqlite3_prepare_v2(m_db, sql.constData(), -1, &raw, nullptr);
        Statement check{raw};
        const bool healthy =
            rc == SQLITE_OK && sqlite3_step(check.handle) == SQLITE_ROW &&
            QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(check.handle, 0))) == "ok";
        if (!healthy)
            return path;
    }
    return m_path;
}

QString EOSQLiteAdaptor::messageOf(int code, const QString &detail, const QString &file,
                                   const QString &context)
{
    const QString message = frenchMessageOf(code, detail, file);
    // SQLite's own text (English, with names of tables and statements) helps whoever maintains the
    // database, not the user: it goes to the log beside what the user read.
    if (!detail.isEmpty() && message != detail) {
        qWarning().noquote() << QStringLiteral(">>>>> %1 [SQLite %2 : %3%4]")
                                    .arg(message)
                                    .arg(code)
                                    .arg(detail,
                                         context.isEmpty() ? QString() : QStringLiteral(" ; ") + context);
    }
    return message;
}

QString EOSQLiteAdaptor::frenchMessageOf(int code, const QString &detail, const QString &file)
{
    const QString what = capitalizedActivity();
    switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        if (waitWasCancelled()) {
            return QStringLiteral(
                       "%1 a été annulée pendant qu'elle attendait la base de données (%2), occupée par "
                       "un autre programme : rien n'a été enregistré.")
                .arg(what, bothFiles());
        }
        return QStringLiteral(
                   "La base de données (%1) est occupée par un autre programme : %2 a attendu %3 s "
                   "sans pouvoir y accéder. Rien n'a été enregistré ; réessayez dans un instant.")
            .arg(bothFiles(), activity())
            .arg(lockTimeout());
    case SQLITE_INTERRUPT:
        return QStringLiteral("%1 a été annulée : rien n'a été enregistré.").arg(what);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT: {
        const QString damaged = file.isEmpty() ? damagedFile() : file;
        QStringList others = files();
        others.removeAll(damaged);
        QString message =
            QStringLiteral("Le fichier « %1 » est endommagé ou n'est pas une base de données valide : "
                           "remplacez-le par sa dernière sauvegarde.")
                .arg(damaged);
        if (others.size() == 1)
            message += QStringLiteral(" L'autre fichier de la base, %1, n'est pas en cause : gardez-le.")
                           .arg(quoted(others));
        else if (others.size() > 1)
            message +=
                QStringLiteral(" Les autres fichiers de la base, %1, ne sont pas en cause : gardez-les.")
                    .arg(quoted(others));
        return message;
    }
    case SQLITE_READONLY:
        return QStringLiteral(
                   "La base de données ne peut pas être modifiée : votre compte n'a que le droit de "
                   "lire %1. Demandez le droit d'y écrire ; rien n'a été enregistré.")
            .arg(file.isEmpty() ? readOnlyFiles() : QStringLiteral("« %1 »").arg(file));
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral(
                   "Le système refuse l'accès à la base de données %1 : vérifiez que votre compte peut "
                   "lire et écrire ses fichiers et leur dossier. Rien n'a été enregistré.")
            .arg(filesInQuestion(file));
    case SQLITE_CANTOPEN:
        return QStringLiteral(
                   "La base de données « %1 » ne peut pas être ouverte : vérifiez que le "
                   "fichier et son dossier existent et que votre compte peut les lire et y écrire.")
            .arg(file.isEmpty() ? m_path : file);
    case SQLITE_FULL:
        return QStringLiteral("Le disque qui contient la base de données %1 est plein : libérez de la place "
                              "puis recommencez. Rien n'a été enregistré.")
            .arg(filesInQuestion(file));
    case SQLITE_IOERR:
        return QStringLiteral("Le disque n'a pas pu lire ou écrire la base de données %1 : vérifiez le "
                              "disque (ou le partage réseau qui la porte) et recommencez. Rien n'a été "
                              "enregistré.")
            .arg(filesInQuestion(file));
    case SQLITE_NOMEM:
        return QStringLiteral("Mémoire insuffisante pour %1 : fermez d'autres programmes et recommencez.")
            .arg(activity());
    case SQLITE_TOOBIG:
        return QStringLiteral("Une valeur est trop grande pour la base de données : raccourcissez-la.");
    case SQLITE_MISMATCH:
        return QStringLiteral("Une valeur n'a pas la forme que la base de données attend (un nombre à la "
                              "place d'un texte, par exemple) : corrigez-la et recommencez.");
    case SQLITE_ABORT:
        return QStringLiteral("%1 a été interrompue par la base de données : rien n'en a été enregistré. "
                              "Recommencez.")
            .arg(what);
    case SQLITE_SCHEMA:
        return QStringLiteral("La structure de la base de données a changé pendant %1 : recommencez.")
            .arg(activity());
    case SQLITE_PROTOCOL:
        return QStringLiteral("La base de données (%1) est occupée par un autre programme : rien n'a été "
                              "enregistré ; réessayez dans un instant.")
            .arg(bothFiles());
    case SQLITE_NOLFS:
        return QStringLiteral("Le système ne permet pas à la base de données %1 de grandir davantage : "
                              "prévenez l'administrateur du poste. Rien n'a été enregistré.")
            .arg(filesInQuestion(file));
    case SQLITE_CONSTRAINT:
        // A trigger's RAISE speaks to the user, like a procedure's refusal.
        if (code == SQLITE_CONSTRAINT_TRIGGER)
            return QStringLiteral("Contrainte d'intégrité non respectée : %1").arg(detail);
        return constraintMessage(detail);
    case SQLITE_ERROR: {
        // raise_error() of a procedure: its message is already the user's.
        if (!m_raised.isEmpty() && detail == m_raised)
            return detail;
        static const QRegularExpression missingTable(QStringLiteral("^no such (table|view): (\\S+)"));
        static const QRegularExpression missingColumn(QStringLiteral("^no such column: (\\S+)"));
        if (const QRegularExpressionMatch match = missingTable.match(detail); match.hasMatch()) {
            const QString table = match.captured(2);
            const QString schema = table.contains(QLatin1Char('.')) ? table.section(QLatin1Char('.'), 0, 0)
                                                                    : QStringLiteral("main");
            const QString path = fileOfSchema(schema);
            if (m_db && isEmpty(schema.toUtf8().constData())) {
                // An empty file (made by mistake, or by a creation that was stopped) holds nothing to lose.
                return QStringLiteral("La base de données « %1 » est vide : elle n'a aucune des tables du "
                                      "modèle. %2")
                    .arg(path, installAdvice());
            }
            return QStringLiteral(
                       "La base de données « %1 » n'a pas la table %2 : elle n'a pas été installée "
                       "pour ce modèle ou date d'une autre version. %3")
                .arg(path, table, upgradeAdvice());
        }
        if (const QRegularExpressionMatch match = missingColumn.match(detail); match.hasMatch()) {
            return QStringLiteral(
                       "La base de données (%1) n'a pas la colonne %2 : elle date d'une autre version "
                       "de Locavia. %3")
                .arg(bothFiles(), match.captured(1), upgradeAdvice());
        }
        if (detail.contains(QLatin1String("pattern too complex"))) {
            return QStringLiteral(
                "Le texte cherché est trop long ou contient trop de caractères spéciaux pour "
                "la base de données : raccourcissez-le.");
        }
        if (detail.contains(QLatin1String("too many SQL variables")) ||
            detail.contains(QLatin1String("too many terms"))) {
            return QStringLiteral("La demande est trop complexe pour la base de données : donnez moins de "
                                  "critères.");
        }
        break;
    }
    default:
        break;
    }
    return QStringLiteral("Erreur de la base de données %1 pendant %2 : l'opération n'a pas été faite. "
                          "Recommencez ; si l'erreur revient, prévenez l'administrateur de la base (le "
                          "détail est écrit dans le journal du programme).")
        .arg(filesInQuestion(file), activity());
}

QString EOSQLiteAdaptor::constraintMessage(const QString &detail)
{
    // The columns and rules that SQLite names go to the log with its text.
    if (detail.startsWith(QLatin1String("UNIQUE constraint failed")) ||
        detail.startsWith(QLatin1String("PRIMARY KEY must be unique")))
        return QStringLiteral("Contrainte d'intégrité non respectée : cette valeur est déjà enregistrée. "
                              "Changez-la et recommencez.");
    if (detail.startsWith(QLatin1String("NOT NULL constraint failed")))
        return QStringLiteral("Contrainte d'intégrité non respectée : une valeur obligatoire manque. "
                              "Remplissez-la et recommencez.");
    if (detail.startsWith(QLatin1String("CHECK constraint failed")))
        return QStringLiteral("Contrainte d'intégrité non respectée : une valeur sort des limites permises. "
                              "Corrigez-la et recommencez.");
    if (detail.contains(QLatin1String("FOREIGN KEY")))
        return QStringLiteral("Contrainte d'intégrité non respectée : un enregistrement lié manque, ou est "
                              "encore utilisé ailleurs.");
    return QStringLiteral("Contrainte d'intégrité non respectée : corrigez les valeurs saisies et "
                          "recommencez.");
}

QString EOSQLiteAdaptor::installAdvice() const
{
    const QString hint = connectionDictionary().value(QStringLiteral("installHint")).toString();
    return hint.isEmpty() ? QStringLiteral("Installez-y le schéma du modèle.") : hint;
}

QString EOSQLiteAdaptor::upgradeAdvice() const
{
    return QStringLiteral("Installer la base à nouveau la met à jour en gardant ses données. %1")
        .arg(installAdvice());
}

void EOSQLiteAdaptor::fail(int code, const QString &context, const QString &file)
{
    const QString detail =
        m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(code));
    const int primary = code & 0xff;
    const EOException::Kind kind =
        primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT || primary == SQLITE_CANTOPEN
            ? EOException::Kind::Connection
            : EOException::Kind::Database;
    // The extended code tells a trigger's refusal from a broken constraint, and the system's error a disk
    // that filled up in the middle of a write from one that failed.
    int reason = code;
    if (m_db && (sqlite3_extended_errcode(m_db) & 0xff) == primary)
        reason = sqlite3_extended_errcode(m_db);
    if (primary == SQLITE_IOERR && m_db && isFullDisk(sqlite3_system_errno(m_db)))
        reason = SQLITE_FULL;
    const QString message = messageOf(reason, detail, file, context);
    m_raised.clear();
    throw EOException(kind, message);
}

QList<EOSQLiteAdaptor::Attachment> EOSQLiteAdaptor::attachedDatabases() const
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    const QDir folder = QFileInfo(m_path).absoluteDir();
    QList<Attachment> attachments;
    const QVariantMap attached = connectionDictionary().value(QStringLiteral("attachedDatabases")).toMap();
    for (auto it = attached.constBegin(); it != attached.constEnd(); ++it) {
        if (!identifier.match(it.key()).hasMatch()) {
            throw EOException(EOException::Kind::Connection,
                              QStringLiteral("Le nom « %1 » sous lequel une base de données est rattachée "
                                             "n'est pas un nom SQL (lettres, chiffres et _).")
                                  .arg(it.key()));
        }
        const QString path = folder.absoluteFilePath(pathForURL(it.value().toString()));
        if (it.value().toString().isEmpty() || !QFileInfo(path).isFile()) {
            throw EOException(
                EOException::Kind::Connection,
                QStringLiteral(
                    "La base de données « %1 », rattachée sous le nom %2, est introuvable à côté de "
                    "la base « %3 ».")
                    .arg(path, it.key(), m_path));
        }
        attachments.append({it.key(), path});
    }
    return attachments;
}

void EOSQLiteAdaptor::open()
{
    if (m_db)
        return;
    const QString url = connectionDictionary().value(QStringLiteral("URL")).toString();
    m_path = pathForURL(url);
    m_attachments.clear();
    m_attachedCount = 0;
    if (m_path.isEmpty() || !QFileInfo(m_path).isFile()) {
        QString message =
            QStringLiteral("La base de données « %1 » est introuvable : corrigez l'adresse URL du "
                           "modèle ou installez la base.")
                .arg(m_path.isEmpty() ? url : m_path);
        const QString hint = connectionDictionary().value(QStringLiteral("installHint")).toString();
        if (!hint.isEmpty())
            message += QLatin1Char(' ') + hint;
        throw EOException(EOException::Kind::Connection, message);
    }
    m_attachments = attachedDatabases();

    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(m_path.toUtf8().constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    m_db = db;
    try {
        if (rc != SQLITE_OK)
            fail(rc, QString(), m_path);
        sqlite3_extended_result_codes(m_db, 0);
        sqlite3_busy_handler(m_db, busyHandler, this);
        sqlite3_create_function(m_db, "raise_error", 1, SQLITE_UTF8, this, raiseErrorFunction, nullptr,
                                nullptr);
        sqlite3_create_function(m_db, "to_number", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                toNumberFunction, nullptr, nullptr);
        sqlite3_create_function(m_db, "hidden_character", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                hiddenCharacterFunction, nullptr, nullptr);
        sqlite3_create_function(m_db, "upper", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                caseFunction<true>, nullptr, nullptr);
        sqlite3_create_function(m_db, "lower", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                caseFunction<false>, nullptr, nullptr);
        m_transactionNumber = 0;
        sqlite3_create_function(m_db, "txid_current", 0, SQLITE_UTF8, &m_transactionNumber,
                                transactionNumberFunction, nullptr, nullptr);
        sqlite3_commit_hook(m_db, transactionCommitted, &m_transactionNumber);
        sqlite3_rollback_hook(m_db, transactionRolledBack, &m_transactionNumber);
        // Lists sorted without regard to case come in French order, as from the server.
        sqlite3_create_collation_v2(m_db, EOCollation::name, SQLITE_UTF8, nullptr, frenchCollation, nullptr);
        sqlite3_create_collation_v2(m_db, EOCollation::lettersName, SQLITE_UTF8, nullptr,
                                    frenchLettersCollation, nullptr);
        execute(QStringLiteral("PRAGMA case_sensitive_like = ON"));
        execute(QStringLiteral("PRAGMA foreign_keys = ON"));
        // Reading each file's schema tells a database from any other file, and rolls back what a program
        // killed in the middle of a write left in its journal.
        checkOpenedFile("main", m_path);
        for (const Attachment &attachment : std::as_const(m_attachments)) {
            Statement attach{prepare(QStringLiteral("ATTACH DATABASE ? AS %1").arg(attachment.alias))};
            bind(attach.handle, 1, attachment.path);
            const int attached = sqlite3_step(attach.handle);
            if (attached != SQLITE_DONE)
                fail(attached, QString(), attachment.path);
            ++m_attachedCount;
            checkOpenedFile(attachment.alias.toUtf8().constData(), attachment.path);
        }
        execute(QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS EO_SESSION (LOGIN TEXT)"));
        applySessionLogin();
        const QString session = procedureBody(QStringLiteral("#session"));
        if (!session.isEmpty())
            execute(session);
    } catch (...) {
        close();
        throw;
    }
}

void EOSQLiteAdaptor::checkOpenedFile(const char *schema, const QString &path)
{
    const QByteArray sql = QByteArray("SELECT count(*) FROM ") + schema + ".sqlite_master";
    sqlite3_stmt *raw = nullptr;
    int rc = sqlite3_prepare_v2(m_db, sql.constData(), -1, &raw, nullptr);
    Statement count{raw};
    if (rc == SQLITE_OK)
        rc = sqlite3_step(count.handle);
    if (rc != SQLITE_ROW)
        fail(rc, QString(), path);
}

bool EOSQLiteAdaptor::isEmpty(const char *schema)
{
    const QByteArray sql = QByteArray("SELECT count(*) FROM ") + schema + ".sqlite_master";
    sqlite3_stmt *raw = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, sql.constData(), -1, &raw, nullptr);
    Statement count{raw};
    return rc == SQLITE_OK && sqlite3_step(count.handle) == SQLITE_ROW &&
           sqlite3_column_int(count.handle, 0) == 0;
}

void EOSQLiteAdaptor::execute(const QString &sql)
{
    char *error = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    sqlite3_free(error);
    if (rc != SQLITE_OK)
        fail(rc, sql.left(80));
}

sqlite3_stmt *EOSQLiteAdaptor::cachedStatement(const QString &sql)
{
    if (sqlite3_stmt *kept = m_statements.value(sql)) {
        sqlite3_reset(kept);
        sqlite3_clear_bindings(kept);
        return kept;
    }
    // A bounded cache: the fetches of a session use a few dozen distinct statements; searches with
    // ever-new criteria must not keep theirs for ever.
    if (m_statements.size() >= 128) {
        for (sqlite3_stmt *statement : std::as_const(m_statements))
            sqlite3_finalize(statement);
        m_statements.clear();
    }
    sqlite3_stmt *statement = prepare(sql);
    m_statements.insert(sql, statement);
    return statement;
}

sqlite3_stmt *EOSQLiteAdaptor::prepare(const QString &sql)
{
    sqlite3_stmt *statement = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &statement, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        fail(rc, sql.left(120));
    }
    return statement;
}

void EOSQLiteAdaptor::bind(sqlite3_stmt *statement, int index, const QVariant &value)
{
    int rc = SQLITE_OK;
    if (isNullOrNone(value)) {
        rc = sqlite3_bind_null(statement, index);
    } else if (value.metaType() == QMetaType::fromType<EODecimal>()) {
        const QByteArray text = value.value<EODecimal>().toString().toUtf8();
        rc = sqlite3_bind_text(statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    } else {
        switch (value.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(statement, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(statement, index, value.toDouble());
            break;
        default: {
            const QByteArray text = value.toString().toUtf8();
            // SQLite would keep it, and every C string read of the value (a message, a comparison in a
            // function) would end there; the server refuses it: both refuse it alike.
            if (text.contains('\0'))
                throw EOException(EOException::Kind::Database, EOHiddenCharacter::nulRefusal());
            rc = sqlite3_bind_text(statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        fail(rc);
}

std::vector<QList<QVariant>> EOSQLiteAdaptor::selectRows(const QString &sql, const QVariantList &bindings,
                                                         const QList<EOAttribute::Type> &types)
{
    const Call call(*this);
    open();
    KeptStatement statement{cachedStatement(sql)};
    for (int i = 0; i < bindings.size(); ++i)
        bind(statement.handle, i + 1, bindings.at(i));
    const int columns = sqlite3_column_count(statement.handle);
    const QVariant null = eoNull();
    std::vector<EOColumnInterner> interners(size_t(std::max(columns, 0)));
    std::vector<QList<QVariant>> rows;
    int rc;
    while ((rc = sqlite3_step(statement.handle)) == SQLITE_ROW) {
        QList<QVariant> row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c) {
            const EOAttribute::Type type = c < types.size() ? types.at(c) : EOAttribute::Type::Text;
            switch (sqlite3_column_type(statement.handle, c)) {
            case SQLITE_NULL:
                row.append(null);
                break;
            case SQLITE_INTEGER:
                if (type == EOAttribute::Type::Decimal)
                    row.append(QVariant(double(sqlite3_column_int64(statement.handle, c))));
                else if (type == EOAttribute::Type::Text || type == EOAttribute::Type::Flag)
                    row.append(QVariant(QString::number(sqlite3_column_int64(statement.handle, c))));
                else
                    row.append(QVariant(qint64(sqlite3_column_int64(statement.handle, c))));
                break;
            case SQLITE_FLOAT:
                if (type == EOAttribute::Type::Text || type == EOAttribute::Type::Flag)
                    row.append(QVariant(EOValues::displayText(sqlite3_column_double(statement.handle, c))));
                else
                    row.append(QVariant(sqlite3_column_double(statement.handle, c)));
                break;
            default: {
                const unsigned char *text = sqlite3_column_text(statement.handle, c);
                const int bytes = sqlite3_column_bytes(statement.handle, c);
                row.append(QVariant(interners[size_t(c)].text(reinterpret_cast<const char *>(text), bytes)));
                break;
            }
            }
        }
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        fail(rc, sql.left(120));
    return rows;
}

QList<QVariantMap> EOSQLiteAdaptor::rawRows(const QString &sql, const QVariantList &bindings)
{
    const Call call(*this);
    open();
    KeptStatement statement{cachedStatement(sql)};
    for (int i = 0; i < bindings.size(); ++i)
        bind(statement.handle, i + 1, bindings.at(i));
    const int columns = sqlite3_column_count(statement.handle);
    QList<QVariantMap> rows;
    int rc;
    while ((rc = sqlite3_step(statement.handle)) == SQLITE_ROW) {
        QVariantMap row;
        for (int c = 0; c < columns; ++c) {
            QVariant value;
            switch (sqlite3_column_type(statement.handle, c)) {
            case SQLITE_NULL:
                value = eoNull();
                break;
            case SQLITE_INTEGER:
                value = qint64(sqlite3_column_int64(statement.handle, c));
                break;
            case SQLITE_FLOAT:
                value = sqlite3_column_double(statement.handle, c);
                break;
            default:
                value = QString::fromUtf8(
                    reinterpret_cast<const char *>(sqlite3_column_text(statement.handle, c)),
                    sqlite3_column_bytes(statement.handle, c));
                break;
            }
            row.insert(QStringLiteral("Attribute%1").arg(c), value);
        }
        rows.append(row);
    }
    if (rc != SQLITE_DONE)
        fail(rc, sql.left(120));
    return rows;
}

QString EOSQLiteAdaptor::procedureBody(const QString &name)
{
    const auto cached = m_procedureBodies.constFind(name);
    if (cached != m_procedureBodies.constEnd())
        return cached.value();
    QString body;
    {
        sqlite3_stmt *raw = nullptr;
        const int rc =
            sqlite3_prepare_v2(m_db, "SELECT BODY FROM EO_PROCEDURE WHERE NAME = ?", -1, &raw, nullptr);
        Statement statement{raw};
        if (rc == SQLITE_OK) {
            bind(statement.handle, 1, name);
            if (sqlite3_step(statement.handle) == SQLITE_ROW)
                body = QString::fromUtf8(
                    reinterpret_cast<const char *>(sqlite3_column_text(statement.handle, 0)));
        }
    }
    m_procedureBodies.insert(name, body);
    return body;
}

QVariantMap EOSQLiteAdaptor::executeStoredProcedure(const EOStoredProcedure &procedure,
                                                    const QVariantMap &values)
{
    const Call call(*this);
    open();
    checkArguments(procedure, values);
    m_raised.clear();
    const QString body = procedureBody(procedure.externalName);
    if (body.isEmpty()) {
        throw EOException(EOException::Kind::Database,
                          QStringLiteral("La procédure « %1 » n'existe pas dans la base de données « %2 ».")
                              .arg(procedure.externalName, m_path));
    }
    QVariantMap outputs;
    execute(QStringLiteral("SAVEPOINT eo_procedure"));
    try {
        const QByteArray utf8 = body.toUtf8();
        const char *tail = utf8.constData();
        const char *end = tail + utf8.size();
        while (tail < end) {
            sqlite3_stmt *raw = nullptr;
            const char *next = nullptr;
            const int rc = sqlite3_prepare_v2(m_db, tail, int(end - tail), &raw, &next);
            Statement statement{raw};
            if (rc != SQLITE_OK)
                fail(rc, procedure.name);
            tail = next;
            if (!statement.handle)
                continue; // whitespace or a comment
            const int parameters = sqlite3_bind_parameter_count(statement.handle);
            for (int p = 1; p <= parameters; ++p) {
                const char *parameterName = sqlite3_bind_parameter_name(statement.handle, p);
                const QString name = parameterName ? QString::fromUtf8(parameterName + 1) : QString();
                if (!procedure.argumentNamed(name)) {
                    throw EOException(EOException::Kind::Database,
                                      QStringLiteral("La procédure %1 utilise l'argument non déclaré « %2 ».")
                                          .arg(procedure.name, name));
                }
                bind(statement.handle, p, values.value(name));
            }
            int step;
            while ((step = sqlite3_step(statement.handle)) == SQLITE_ROW) {
                const int columns = sqlite3_column_count(statement.handle);
                for (int c = 0; c < columns; ++c) {
                    const QString column = QString::fromUtf8(sqlite3_column_name(statement.handle, c));
                    const EOStoredProcedure::Argument *argument = procedure.argumentNamed(column);
                    if (!argument || !argument->output)
                        continue;
                    switch (sqlite3_column_type(statement.handle, c)) {
                    case SQLITE_NULL:
                        outputs.insert(column, eoNull());
                        break;
                    case SQLITE_INTEGER:
                        outputs.insert(column, qint64(sqlite3_column_int64(statement.handle, c)));
                        break;
                    case SQLITE_FLOAT:
                        outputs.insert(column, sqlite3_column_double(statement.handle, c));
                        break;
                    default:
                        outputs.insert(column, QString::fromUtf8(reinterpret_cast<const char *>(
                                                   sqlite3_column_text(statement.handle, c))));
                        break;
                    }
                }
            }
            if (step != SQLITE_DONE)
                fail(step, procedure.name);
        }
    } catch (...) {
        sqlite3_exec(m_db, "ROLLBACK TO eo_procedure; RELEASE eo_procedure", nullptr, nullptr, nullptr);
        throw;
    }
    execute(QStringLiteral("RELEASE eo_procedure"));
    return outputs;
}

void EOSQLiteAdaptor::applySessionLogin()
{
    if (!m_db)
        return;
    const Call call(*this);
    execute(QStringLiteral("DELETE FROM temp.EO_SESSION"));
    if (sessionLogin().isEmpty())
        return;
    Statement insert{prepare(QStringLiteral("INSERT INTO temp.EO_SESSION (LOGIN) VALUES (?)"))};
    bind(insert.handle, 1, sessionLogin());
    const int rc = sqlite3_step(insert.handle);
    if (rc != SQLITE_DONE)
        fail(rc, QStringLiteral("EO_SESSION"));
}

void EOSQLiteAdaptor::beginTransaction()
{
    const Call call(*this);
    open();
    execute(QStringLiteral("BEGIN IMMEDIATE"));
}

void EOSQLiteAdaptor::commitTransaction()
{
    const Call call(*this);
    if (!m_db || sqlite3_get_autocommit(m_db))
        return;
    const int rc = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        return;
    const QString detail = QString::fromUtf8(sqlite3_errmsg(m_db));
    // A refused commit leaves the transaction open, with its lock that keeps every other program out:
    // it is rolled back, so that the connection is clean for the next call.
    if (!sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    const QString why = messageOf(rc, detail, QString());
    m_raised.clear();
    throw EOException(
        EOException::Kind::Database,
        QStringLiteral("L'enregistrement n'a pas pu être terminé, la transaction a été annulée. %1")
            .arg(why));
}

void EOSQLiteAdaptor::stepSavepoint(StepSavepoint action)
{
    switch (action) {
    case StepSavepoint::Set:
        execute(QStringLiteral("SAVEPOINT eo_step"));
        break;
    case StepSavepoint::Release:
        execute(QStringLiteral("RELEASE eo_step"));
        break;
    case StepSavepoint::RollBack:
        execute(QStringLiteral("ROLLBACK TO eo_step"));
        execute(QStringLiteral("RELEASE eo_step"));
        break;
    }
}

void EOSQLiteAdaptor::rollbackTransaction()
{
    const Call call(*this);
    if (m_db && !sqlite3_get_autocommit(m_db))
        execute(QStringLiteral("ROLLBACK"));
}

} // namespace eo
