#include "SqlScript.h"

#include "EOException.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace data
{

namespace
{

constexpr int MaximumDepth = 8;
const QString directive = QStringLiteral("--@include");
const QString continuation = QStringLiteral("--@ ");

[[noreturn]] void fail(const QString &message)
{
    throw eo::EOException(eo::EOException::Kind::Database, message);
}

bool isNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// The text with its named parameters renamed; quoted texts, quoted names and comments are left as they are.
QString renameParameters(const QString &sql, const QHash<QString, QString> &renames, QSet<QString> &used)
{
    QString out;
    out.reserve(sql.size());
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql.at(i);
        if (c == u'\'' || c == u'"') {
            // To the closing quote; a doubled quote is part of the text.
            qsizetype end = i + 1;
            while (end < n) {
                if (sql.at(end) == c) {
                    if (end + 1 < n && sql.at(end + 1) == c) {
                        end += 2;
                        continue;
                    }
                    break;
                }
                ++end;
            }
            out += sql.mid(i, end - i + 1);
            i = end;
        } else if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') {
            const qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            const qsizetype stop = end < 0 ? n : end;
            out += sql.mid(i, stop - i);
            i = stop - 1;
        } else if (c == u'/' && i + 1 < n && sql.at(i + 1) == u'*') {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            out += sql.mid(i, stop - i);
            i = stop - 1;
        } else if (c == u':' && i + 1 < n && isNameCharacter(sql.at(i + 1)) &&
                   !(i > 0 && sql.at(i - 1) == u':')) {
            qsizetype end = i + 1;
            while (end < n && isNameCharacter(sql.at(end)))
                ++end;
            const QString name = sql.mid(i + 1, end - i - 1);
            const auto renamed = renames.constFind(name);
            if (renamed != renames.constEnd()) {
                out += renamed.value();
                used.insert(name);
            } else {
                out += sql.mid(i, end - i);
            }
            i = end - 1;
        } else {
            out += c;
        }
    }
    return out;
}

// The views of the text made in another schema: "temp" for temporary ones, or the name of an attached file.
QString viewsIn(QString sql, const QString &schema)
{
    static const QRegularExpression create(QStringLiteral("^(\\s*)CREATE\\s+VIEW\\s+(\\w+)"),
                                           QRegularExpression::MultilineOption |
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression drop(QStringLiteral("^(\\s*)DROP\\s+VIEW\\s+IF\\s+EXISTS\\s+(\\w+)"),
                                         QRegularExpression::MultilineOption |
                                             QRegularExpression::CaseInsensitiveOption);
    if (schema == u"temp") {
        sql.replace(create, QStringLiteral("\\1CREATE TEMP VIEW \\2"));
    } else {
        sql.replace(create, QStringLiteral("\\1CREATE VIEW %1.\\2").arg(schema));
    }
    sql.replace(drop, QStringLiteral("\\1DROP VIEW IF EXISTS %1.\\2").arg(schema));
    return sql;
}

QString readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("Le fichier « %1 » est introuvable ou illisible.")
                 .arg(QDir::toNativeSeparators(path)));
    return QString::fromUtf8(file.readAll());
}

QString expandText(const QString &text, const QString &sqlRoot, const QString &origin, int depth);

// One inclusion: the words after --@include, continuation lines included.
QString include(const QStringList &words, const QString &line, const QString &sqlRoot, const QString &origin,
                int depth)
{
    const QString usage =
        QStringLiteral("L'inclusion « %1 » de « %2 » doit s'écrire --@include fichier [:nom=:autre] "
                       "[:nom=NULL] [temporary] [in=SCHEMA].")
            .arg(line, origin);
    if (words.isEmpty())
        fail(usage);
    const QString path = QDir::cleanPath(words.first());
    if (QDir::isAbsolutePath(path) || path.startsWith(QLatin1String("..")))
        fail(QStringLiteral("« %1 » inclut « %2 », qui n'est pas sous le dossier sql des ressources.")
                 .arg(origin, words.first()));
    if (depth >= MaximumDepth)
        fail(QStringLiteral("« %1 » inclut « %2 » à plus de %3 niveaux : les inclusions bouclent.")
                 .arg(origin, path)
                 .arg(MaximumDepth));

    static const QRegularExpression renaming(QStringLiteral("^:(\\w+)=(?::(\\w+)|(NULL))$"));
    static const QRegularExpression inSchema(QStringLiteral("^in=(\\w+)$"));
    QHash<QString, QString> renames;
    QString viewSchema;
    for (qsizetype w = 1; w < words.size(); ++w) {
        const QString &word = words.at(w);
        const QRegularExpressionMatch match = renaming.match(word);
        const QRegularExpressionMatch schema = inSchema.match(word);
        if (word == u"temporary" && viewSchema.isEmpty())
            viewSchema = QStringLiteral("temp");
        else if (schema.hasMatch() && viewSchema.isEmpty())
            viewSchema = schema.captured(1);
        else if (match.hasMatch() && !renames.contains(match.captured(1)))
            renames.insert(match.captured(1), match.captured(3).isEmpty()
                                                  ? QLatin1Char(':') + match.captured(2)
                                                  : QStringLiteral("NULL"));
        else
            fail(usage);
    }

    QString included = expandText(readFile(QDir(sqlRoot).filePath(path)), sqlRoot, path, depth + 1);
    QSet<QString> used;
    included = renameParameters(included, renames, used);
    for (auto it = renames.constBegin(); it != renames.constEnd(); ++it) {
        // A renaming that finds nothing to rename is a mistake in the map, found now rather than when the
        // procedure runs.
        if (!used.contains(it.key()))
            fail(QStringLiteral("« %1 » renomme le paramètre :%2, que « %3 » n'utilise pas.")
                     .arg(origin, it.key(), path));
    }
    return viewSchema.isEmpty() ? included : viewsIn(included, viewSchema);
}

QString expandText(const QString &text, const QString &sqlRoot, const QString &origin, int depth)
{
    if (!text.contains(QLatin1String("--@")))
        return text;
    const QStringList lines = text.split(QLatin1Char('\n'));
    QString out;
    for (qsizetype l = 0; l < lines.size(); ++l) {
        const QString line = lines.at(l).trimmed();
        if (!line.startsWith(directive) ||
            !(line.size() == directive.size() || line.at(directive.size()).isSpace())) {
            if (line.startsWith(continuation))
                fail(QStringLiteral("La ligne « %1 » de « %2 » continue une inclusion qui ne la précède pas.")
                         .arg(line, origin));
            out += lines.at(l);
            if (l + 1 < lines.size())
                out += QLatin1Char('\n');
            continue;
        }
        QString words = line.mid(directive.size());
        QString written = line;
        while (l + 1 < lines.size() && lines.at(l + 1).trimmed().startsWith(continuation)) {
            ++l;
            words += QLatin1Char(' ') + lines.at(l).trimmed().mid(continuation.size());
            written += QLatin1Char(' ') + lines.at(l).trimmed();
        }
        out += include(words.split(QLatin1Char(' '), Qt::SkipEmptyParts), written, sqlRoot, origin, depth);
        if (!out.endsWith(QLatin1Char('\n')))
            out += QLatin1Char('\n');
    }
    return out;
}

} // namespace

QString SqlScript::read(const QString &sqlRoot, const QString &path)
{
    return expand(readFile(QDir(sqlRoot).filePath(path)), sqlRoot, path);
}

QString SqlScript::expand(const QString &text, const QString &sqlRoot, const QString &origin)
{
    return expandText(text, sqlRoot, origin, 0);
}

} // namespace data
