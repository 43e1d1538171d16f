#include "EOQualifierParser.h"

#include "EOAndQualifier.h"
#include "EOException.h"
#include "EOKeyComparisonQualifier.h"
#include "EOKeyValueQualifier.h"
#include "EONotQualifier.h"
#include "EONull.h"
#include "EOOrQualifier.h"
#include "EOValues.h"

#include <QRegularExpression>

namespace eo
{

namespace
{

bool isKeyPathText(const QString &text)
{
    static const QRegularExpression keyPath(
        QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*(\\.[A-Za-z_][A-Za-z0-9_]*)*$"));
    return keyPath.match(text).hasMatch();
}

bool operatorFromText(const QString &text, EOKeyValueQualifier::Operator *op)
{
    using Op = EOKeyValueQualifier::Operator;
    const QString lower = text.toLower();
    if (text == u"=" || text == u"==")
        *op = Op::Equal;
    else if (text == u"!=" || text == u"<>")
        *op = Op::NotEqual;
    else if (text == u"<")
        *op = Op::Less;
    else if (text == u">")
        *op = Op::Greater;
    else if (text == u"<=" || text == u"=<")
        *op = Op::LessOrEqual;
    else if (text == u">=" || text == u"=>")
        *op = Op::GreaterOrEqual;
    else if (lower == u"like")
        *op = Op::Like;
    else if (lower == u"caseinsensitivelike")
        *op = Op::CaseInsensitiveLike;
    else
        return false;
    return true;
}

} // namespace

EOQualifierPtr EOQualifier::qualifierWithQualifierFormat(const QString &format, const QVariantList &arguments)
{
    return EOQualifierParser(format, arguments).parse();
}

EOQualifierParser::EOQualifierParser(const QString &format, const QVariantList &arguments)
    : m_format(format), m_arguments(arguments)
{
}

void EOQualifierParser::fail(const QString &what, int position) const
{
    throw EOException(EOException::Kind::Qualifier,
                      QStringLiteral("Condition invalide « %1 » : %2 (position %3).")
                          .arg(m_format.left(200), what)
                          .arg(position + 1));
}

QVariant EOQualifierParser::nextArgument(QChar conversion, int position)
{
    if (m_nextArgument >= m_arguments.size())
        fail(QStringLiteral("il manque une valeur pour %%%1").arg(conversion), position);
    const QVariant argument = m_arguments.at(m_nextArgument++);
    if (conversion == u'd') {
        qint64 number = 0;
        if (!EOValues::toInteger(argument, &number))
            fail(QStringLiteral("%d attend un nombre entier"), position);
        return QVariant(number);
    }
    return argument;
}

QString EOQualifierParser::readQuoted(qsizetype &i, QChar quote)
{
    const int start = int(i);
    QString text;
    ++i; // opening quote
    while (i < m_format.size()) {
        const QChar c = m_format.at(i);
        if (c == u'\\' && i + 1 < m_format.size()) {
            text.append(m_format.at(i + 1));
            i += 2;
            continue;
        }
        if (c == quote) {
            ++i;
            return text;
        }
        if (c == u'%' && i + 1 < m_format.size()) {
            const QChar conversion = m_format.at(i + 1);
            if (conversion == u'@' || conversion == u'd' || conversion == u's') {
                // The argument's own text goes into the literal as data.
                const QVariant argument = nextArgument(conversion, int(i));
                text.append(isEONull(argument) ? QString() : EOValues::displayText(argument));
                i += 2;
                continue;
            }
            if (conversion == u'%') {
                text.append(QLatin1Char('%'));
                i += 2;
                continue;
            }
        }
        text.append(c);
        ++i;
    }
    fail(QStringLiteral("texte entre guillemets non terminé"), start);
}

void EOQualifierParser::tokenize()
{
    qsizetype i = 0;
    const qsizetype n = m_format.size();
    while (i < n) {
        const QChar c = m_format.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token token;
        token.position = int(i);
        if (c == u'(' || c == u')') {
            token.kind = c == u'(' ? Token::Kind::LeftParen : Token::Kind::RightParen;
            token.text = c;
            ++i;
        } else if (c == u'\'' || c == u'"') {
            token.kind = Token::Kind::Value;
            token.value = readQuoted(i, c);
        } else if (c == u'%') {
            const QChar conversion = i + 1 < n ? m_format.at(i + 1) : QChar();
            if (conversion != u'@' && conversion != u'd' && conversion != u's')
                fail(
                    QStringLiteral("« %1 » n'est pas un emplacement de valeur connu").arg(m_format.mid(i, 2)),
                    int(i));
            token.kind = Token::Kind::Argument;
            token.value = nextArgument(conversion, int(i));
            i += 2;
        } else if (c.isDigit() || ((c == u'-' || c == u'+') && i + 1 < n && m_format.at(i + 1).isDigit())) {
            qsizetype j = i + 1;
            while (j < n && (m_format.at(j).isDigit() || m_format.at(j) == u'.'))
                ++j;
            const QString text = m_format.mid(i, j - i);
            bool ok = false;
            const qint64 integer = text.toLongLong(&ok);
            if (ok) {
                token.value = integer;
            } else {
                const double number = text.toDouble(&ok);
                if (!ok)
                    fail(QStringLiteral("nombre « %1 » illisible").arg(text), int(i));
                token.value = number;
            }
            token.kind = Token::Kind::Value;
            i = j;
        } else if (c.isLetter() || c == u'_') {
            qsizetype j = i + 1;
            while (j < n &&
                   (m_format.at(j).isLetterOrNumber() || m_format.at(j) == u'_' || m_format.at(j) == u'.'))
                ++j;
            token.text = m_format.mid(i, j - i);
            EOKeyValueQualifier::Operator op;
            token.kind = operatorFromText(token.text, &op) ? Token::Kind::Operator : Token::Kind::Identifier;
            i = j;
        } else if (c == u'=' || c == u'!' || c == u'<' || c == u'>') {
            qsizetype j = i + 1;
            if (j < n && (m_format.at(j) == u'=' || (c == u'<' && m_format.at(j) == u'>')))
                ++j;
            token.text = m_format.mid(i, j - i);
            EOKeyValueQualifier::Operator op;
            if (!operatorFromText(token.text, &op))
                fail(QStringLiteral("opérateur « %1 » inconnu").arg(token.text), int(i));
            token.kind = Token::Kind::Operator;
            i = j;
        } else {
            fail(QStringLiteral("caractère « %1 » inattendu").arg(c), int(i));
        }
        m_tokens.append(token);
    }
    Token end;
    end.position = int(n);
    m_tokens.append(end);
}

bool EOQualifierParser::isKeyword(const Token &token, const char *keyword) const
{
    return token.kind == Token::Kind::Identifier &&
           token.text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
}

bool EOQualifierParser::atConditionEnd(int index) const
{
    const Token &token = m_tokens.at(index);
    return token.kind == Token::Kind::End || token.kind == Token::Kind::RightParen ||
           isKeyword(token, "and") || isKeyword(token, "or");
}

EOQualifierPtr EOQualifierParser::parse()
{
    tokenize();
    if (m_tokens.size() == 1)
        fail(QStringLiteral("condition vide"), 0);
    EOQualifierPtr qualifier = parseOr();
    if (m_tokens.at(m_index).kind != Token::Kind::End)
        fail(QStringLiteral("suite inattendue « %1 »").arg(m_format.mid(m_tokens.at(m_index).position, 20)),
             m_tokens.at(m_index).position);
    return qualifier;
}

EOQualifierPtr EOQualifierParser::parseOr()
{
    QList<EOQualifierPtr> terms{parseAnd()};
    while (isKeyword(m_tokens.at(m_index), "or")) {
        ++m_index;
        terms.append(parseAnd());
    }
    return terms.size() == 1 ? terms.first() : std::make_shared<EOOrQualifier>(terms);
}

EOQualifierPtr EOQualifierParser::parseAnd()
{
    QList<EOQualifierPtr> terms{parseNot()};
    while (isKeyword(m_tokens.at(m_index), "and")) {
        ++m_index;
        terms.append(parseNot());
    }
    return terms.size() == 1 ? terms.first() : std::make_shared<EOAndQualifier>(terms);
}

EOQualifierPtr EOQualifierParser::parseNot()
{
    if (isKeyword(m_tokens.at(m_index), "not")) {
        ++m_index;
        return std::make_shared<EONotQualifier>(parseNot());
    }
    return parsePrimary();
}

EOQualifierPtr EOQualifierParser::parsePrimary()
{
    using Op = EOKeyValueQualifier::Operator;
    const Token &first = m_tokens.at(m_index);
    if (first.kind == Token::Kind::LeftParen) {
        ++m_index;
        EOQualifierPtr inner = parseOr();
        if (m_tokens.at(m_index).kind != Token::Kind::RightParen)
            fail(QStringLiteral("parenthèse fermante attendue"), m_tokens.at(m_index).position);
        ++m_index;
        return inner;
    }
    // A placeholder standing for a whole condition.
    if (first.kind == Token::Kind::Argument && atConditionEnd(m_index + 1)) {
        if (first.value.metaType() == QMetaType::fromType<EOQualifierPtr>()) {
            ++m_index;
            EOQualifierPtr qualifier = first.value.value<EOQualifierPtr>();
            if (!qualifier)
                fail(QStringLiteral("condition absente"), first.position);
            return qualifier;
        }
        fail(QStringLiteral("une condition est attendue à la place de la valeur"), first.position);
    }

    QString key;
    if (first.kind == Token::Kind::Identifier && !isKeyword(first, "nil") && !isKeyword(first, "null")) {
        key = first.text;
    } else if (first.kind == Token::Kind::Argument && first.value.metaType().id() == QMetaType::QString) {
        // "%@ != %@": the program names the key.
        key = first.value.toString();
    } else if (first.kind == Token::Kind::End) {
        fail(QStringLiteral("condition incomplète"), first.position);
    } else {
        fail(QStringLiteral("un nom de clé est attendu"), first.position);
    }
    if (!isKeyPathText(key))
        fail(QStringLiteral("« %1 » n'est pas un nom de clé").arg(key.left(60)), first.position);
    ++m_index;

    const Token &opToken = m_tokens.at(m_index);
    Op op;
    if (opToken.kind != Token::Kind::Operator || !operatorFromText(opToken.text, &op))
        fail(QStringLiteral("un opérateur de comparaison est attendu après « %1 »").arg(key),
             opToken.position);
    ++m_index;

    const Token &right = m_tokens.at(m_index);
    ++m_index;
    switch (right.kind) {
    case Token::Kind::Value:
        return std::make_shared<EOKeyValueQualifier>(key, op, right.value);
    case Token::Kind::Argument:
        if (right.value.metaType() == QMetaType::fromType<EOQualifierPtr>())
            fail(QStringLiteral("une valeur est attendue, pas une condition"), right.position);
        return std::make_shared<EOKeyValueQualifier>(key, op, right.value.isValid() ? right.value : eoNull());
    case Token::Kind::Identifier:
        if (isKeyword(right, "nil") || isKeyword(right, "null"))
            return std::make_shared<EOKeyValueQualifier>(key, op, eoNull());
        if (isKeyword(right, "and") || isKeyword(right, "or") || isKeyword(right, "not"))
            fail(QStringLiteral("une valeur est attendue après l'opérateur"), right.position);
        return std::make_shared<EOKeyComparisonQualifier>(key, op, right.text);
    default:
        fail(QStringLiteral("une valeur est attendue après l'opérateur"), right.position);
    }
}

} // namespace eo
