#pragma once

#include "EOQualifier.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace eo
{

// Reads the qualifier format language: comparisons of key paths with values or keys (=, ==, !=, <>, <, >,
// <=, >=, like, caseInsensitiveLike), and, or, not, parentheses, nil, quoted literals and numbers, and the
// placeholders %@, %d and %s filled in order from the arguments. A placeholder is always data: a value, a key
// name where a key is expected, or a qualifier object where a condition is expected.
class EOQualifierParser
{
public:
    EOQualifierParser(const QString &format, const QVariantList &arguments);
    EOQualifierPtr parse();

private:
    struct Token {
        enum class Kind {
            End,
            Identifier,
            Value,
            Argument,
            Operator,
            LeftParen,
            RightParen
        } kind = Kind::End;
        QString text;   // identifier, operator or keyword as written
        QVariant value; // literal or argument
        int position = 0;
    };

    void tokenize();
    QVariant nextArgument(QChar conversion, int position);
    QString readQuoted(qsizetype &i, QChar quote);

    EOQualifierPtr parseOr();
    EOQualifierPtr parseAnd();
    EOQualifierPtr parseNot();
    EOQualifierPtr parsePrimary();
    bool isKeyword(const Token &token, const char *keyword) const;
    bool atConditionEnd(int index) const;
    [[noreturn]] void fail(const QString &what, int position) const;

    QString m_format;
    QVariantList m_arguments;
    int m_nextArgument = 0;
    QList<Token> m_tokens;
    int m_index = 0;
};

} // namespace eo
