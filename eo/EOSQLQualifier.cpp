#include "EOSQLQualifier.h"

#include "EOEntity.h"
#include "EOException.h"
#include "EONull.h"
#include "EOSQLDialect.h"
#include "EOSQLExpression.h"
#include "EOValues.h"

#include <QSet>

namespace eo
{

namespace
{

[[noreturn]] void refuse(const QString &format, const QString &what)
{
    throw EOException(EOException::Kind::Qualifier,
                      QStringLiteral("Condition SQL invalide « %1 » : %2.").arg(format.left(200), what));
}

bool isSqlWord(const QString &upper)
{
    static const QSet<QString> words{
        QStringLiteral("AND"),    QStringLiteral("OR"),   QStringLiteral("NOT"),   QStringLiteral("LIKE"),
        QStringLiteral("IS"),     QStringLiteral("NULL"), QStringLiteral("IN"),    QStringLiteral("BETWEEN"),
        QStringLiteral("ESCAPE"), QStringLiteral("TRUE"), QStringLiteral("FALSE"), QStringLiteral("CASE"),
        QStringLiteral("WHEN"),   QStringLiteral("THEN"), QStringLiteral("ELSE"),  QStringLiteral("END"),
    };
    return words.contains(upper);
}

bool isComparisonOperator(const QString &text)
{
    static const QSet<QString> operators{QStringLiteral("<"),  QStringLiteral(">"),  QStringLiteral("="),
                                         QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("!="),
                                         QStringLiteral("<>")};
    return operators.contains(text.trimmed());
}

// A value written into a raw numeric comparison: a text that holds a number is bound as that number, so the
// database compares numbers with numbers.
QVariant rawValue(const QVariant &argument)
{
    if (argument.metaType().id() == QMetaType::QString) {
        const QString text = argument.toString().trimmed();
        bool ok = false;
        const qint64 integer = text.toLongLong(&ok);
        if (ok)
            return integer;
        const double number = text.toDouble(&ok);
        if (ok)
            return number;
    }
    return argument.isValid() ? argument : eoNull();
}

} // namespace

EOSQLQualifier::EOSQLQualifier(QString entityName, const QString &format, const QVariantList &arguments)
    : m_entityName(std::move(entityName))
{
    parse(format, arguments);
}

void EOSQLQualifier::parse(const QString &format, const QVariantList &arguments)
{
    int nextArgument = 0;
    auto takeArgument = [&](QChar conversion) {
        if (nextArgument >= arguments.size())
            refuse(format, QStringLiteral("il manque une valeur pour %%%1").arg(conversion));
        return arguments.at(nextArgument++);
    };
    auto appendText = [this](const QString &text) {
        if (!m_pieces.isEmpty() && m_pieces.last().kind == Piece::Kind::Text)
            m_pieces.last().text += text;
        else
            m_pieces.append(Piece{Piece::Kind::Text, text, {}});
    };
    auto lastWordIsLike = [this]() {
        if (m_pieces.isEmpty() || m_pieces.last().kind != Piece::Kind::Text)
            return false;
        return m_pieces.last().text.trimmed().endsWith(QLatin1String("like"), Qt::CaseInsensitive);
    };

    const qsizetype n = format.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = format.at(i);
        if (c == u';' || c == u'?' || (c == u'-' && i + 1 < n && format.at(i + 1) == u'-') ||
            (c == u'/' && i + 1 < n && format.at(i + 1) == u'*')) {
            refuse(format, QStringLiteral("« %1 » n'est pas admis dans une condition").arg(format.mid(i, 2)));
        }
        if (c == u'\'') {
            // A quoted literal; with a placeholder inside, the whole literal becomes one bound value.
            QString literal;
            QString likeLiteral;
            bool hasArgument = false;
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar d = format.at(i);
                if (d == u'\'') {
                    if (i + 1 < n && format.at(i + 1) == u'\'') {
                        literal += QLatin1Char('\'');
                        likeLiteral += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                if (d == u'%' && i + 1 < n) {
                    const QChar conversion = format.at(i + 1);
                    if (conversion == u'%') {
                        literal += QLatin1Char('%');
                        likeLiteral += QLatin1Char('%');
                        i += 2;
                        continue;
                    }
                    if (conversion == u'@' || conversion == u'd' || conversion == u's') {
                        const QVariant argument = takeArgument(conversion);
                        const QString text =
                            isNullOrNone(argument) ? QString() : EOValues::displayText(argument);
                        literal += text;
                        // The text goes between the literal's own characters as typed: its % and _ are
                        // the pattern's wild cards, as the format means them; only the escape character
                        // is doubled, so that a backslash stays a backslash on every database.
                        likeLiteral += QString(text).replace(QLatin1Char('\\'), QLatin1String("\\\\"));
                        hasArgument = true;
                        i += 2;
                        continue;
                    }
                }
                literal += d;
                likeLiteral += d == u'\\' ? QStringLiteral("\\\\") : QString(d);
                ++i;
            }
            if (!closed)
                refuse(format, QStringLiteral("texte entre apostrophes non terminé"));
            if (!hasArgument) {
                QString quoted = literal;
                quoted.replace(QLatin1Char('\''), QLatin1String("''"));
                appendText(QLatin1Char('\'') + quoted + QLatin1Char('\''));
            } else if (lastWordIsLike()) {
                m_pieces.append(Piece{Piece::Kind::LikeValue, literal, likeLiteral});
            } else {
                m_pieces.append(Piece{Piece::Kind::Value, literal, literal});
            }
            continue;
        }
        if (c == u'%' && i + 1 < n) {
            const QChar conversion = format.at(i + 1);
            i += 2;
            if (conversion == u'%') {
                appendText(QStringLiteral("%"));
            } else if (conversion == u's') {
                const QString op = takeArgument(conversion).toString().trimmed();
                if (!isComparisonOperator(op))
                    refuse(format,
                           QStringLiteral("« %1 » n'est pas un opérateur de comparaison").arg(op.left(20)));
                appendText(op);
            } else if (conversion == u'd') {
                qint64 number = 0;
                const QVariant argument = takeArgument(conversion);
                if (!EOValues::toInteger(argument, &number))
                    refuse(format, QStringLiteral("%d attend un nombre entier"));
                m_pieces.append(Piece{Piece::Kind::Value, QString::number(number), number});
            } else if (conversion == u'@') {
                const QVariant value = rawValue(takeArgument(conversion));
                m_pieces.append(Piece{Piece::Kind::Value, EOValues::literalText(value), value});
            } else {
                refuse(format,
                       QStringLiteral("« %%%1 » n'est pas un emplacement de valeur connu").arg(conversion));
            }
            continue;
        }
        if (c.isLetter() || c == u'_') {
            qsizetype j = i + 1;
            while (j < n && (format.at(j).isLetterOrNumber() || format.at(j) == u'_' || format.at(j) == u'.'))
                ++j;
            const QString word = format.mid(i, j - i);
            qsizetype k = j;
            while (k < n && format.at(k).isSpace())
                ++k;
            const bool isFunction = k < n && format.at(k) == u'(';
            if (word.contains(QLatin1Char('.')) || isFunction || isSqlWord(word.toUpper()))
                appendText(word);
            else
                m_pieces.append(Piece{Piece::Kind::Column, word, {}});
            i = j;
            continue;
        }
        appendText(QString(c));
        ++i;
    }

    for (const Piece &piece : m_pieces) {
        switch (piece.kind) {
        case Piece::Kind::Text:
        case Piece::Kind::Column:
            m_description += piece.text;
            break;
        case Piece::Kind::Value:
            // The value itself: the text of a %@ piece is already written as a literal, and quoting it
            // again showed 'vue' as '\'vue\''.
            m_description += EOValues::literalText(piece.value);
            break;
        case Piece::Kind::LikeValue:
            m_description += EOValues::literalText(piece.text);
            break;
        }
    }
}

bool EOSQLQualifier::evaluateWithObject(const EOGenericRecord &) const
{
    throw EOException(
        EOException::Kind::Qualifier,
        QStringLiteral("La condition SQL « %1 » ne peut être évaluée que par la base de données.")
            .arg(m_description));
}

QString EOSQLQualifier::description() const
{
    return m_description;
}

void EOSQLQualifier::appendSql(EOSQLExpression &expression, QString &out) const
{
    if (expression.entity().name != m_entityName) {
        throw EOException(EOException::Kind::Qualifier,
                          QStringLiteral("La condition SQL « %1 » porte sur l'entité %2, pas sur %3.")
                              .arg(m_description, m_entityName, expression.entity().name));
    }
    for (const Piece &piece : m_pieces) {
        switch (piece.kind) {
        case Piece::Kind::Text:
            out += piece.text;
            break;
        case Piece::Kind::Column:
            out += expression.sqlForColumn(piece.text);
            break;
        case Piece::Kind::Value:
            out += expression.bindValue(piece.value);
            break;
        case Piece::Kind::LikeValue:
            out += expression.bindValue(piece.value) + expression.dialect().likeEscapeClause();
            break;
        }
    }
}

} // namespace eo
