#include "StringsFileParser.h"

#include <QFile>
#include <QStringDecoder>

namespace platform
{

namespace
{

bool isUnquotedCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_' ||
           u == u'$' || u == u'/' || u == u':' || u == u'.' || u == u'-';
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// Thrown inside the parser only; parse() turns it into its error result.
struct Fault {
    int line;
    QString message;
};

class Reader
{
public:
    explicit Reader(QStringView text) : m_text(text) {}

    StringsFileParser::Dictionary entries()
    {
        StringsFileParser::Dictionary result;
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == u'\uFEFF') {
            ++m_pos;
            skipBlanks();
        }
        while (m_pos < m_text.size()) {
            const QString key = readString(QStringLiteral("une clé"));
            const int keyLine = m_line;
            skipBlanks();
            if (atEnd())
                throw Fault{keyLine, QStringLiteral("« = » ou « ; » attendu après la clé « %1 »").arg(key)};
            QString value = key;
            if (m_text[m_pos] == u'=') {
                ++m_pos;
                skipBlanks();
                value = readString(QStringLiteral("la valeur de la clé « %1 »").arg(key));
                const int valueLine = m_line;
                skipBlanks();
                if (atEnd() || m_text[m_pos] != u';')
                    throw Fault{valueLine,
                                QStringLiteral("« ; » attendu après la valeur de la clé « %1 »").arg(key)};
            } else if (m_text[m_pos] != u';') {
                throw Fault{keyLine, QStringLiteral("« = » ou « ; » attendu après la clé « %1 »").arg(key)};
            }
            ++m_pos; // the semicolon
            result.insert(key, value);
            skipBlanks();
        }
        return result;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }

    void advance()
    {
        if (m_text[m_pos] == u'\n')
            ++m_line;
        ++m_pos;
    }

    // Spaces, line ends and comments.
    void skipBlanks()
    {
        while (!atEnd()) {
            const QChar c = m_text[m_pos];
            if (c.isSpace()) {
                advance();
            } else if (c == u'/' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'/') {
                while (!atEnd() && m_text[m_pos] != u'\n')
                    ++m_pos;
            } else if (c == u'/' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'*') {
                const int startLine = m_line;
                m_pos += 2;
                for (;;) {
                    if (atEnd())
                        throw Fault{startLine, QStringLiteral("commentaire « /* » jamais refermé")};
                    if (m_text[m_pos] == u'*' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == u'/') {
                        m_pos += 2;
                        break;
                    }
                    advance();
                }
            } else {
                return;
            }
        }
    }

    QString readString(const QString &what)
    {
        if (atEnd())
            throw Fault{m_line, QStringLiteral("%1 est attendue à la fin du fichier").arg(what)};
        const QChar c = m_text[m_pos];
        if (c == u'"' || c == u'\'')
            return readQuoted(c);
        if (!isUnquotedCharacter(c)) {
            throw Fault{
                m_line,
                QStringLiteral("caractère « %1 » inattendu là où %2 est attendue").arg(QString(c), what)};
        }
        const qsizetype start = m_pos;
        while (!atEnd() && isUnquotedCharacter(m_text[m_pos]))
            ++m_pos;
        return m_text.mid(start, m_pos - start).toString();
    }

    QString readQuoted(QChar quote)
    {
        const int startLine = m_line;
        ++m_pos;
        QString out;
        for (;;) {
            if (atEnd())
                throw Fault{startLine, QStringLiteral("texte entre guillemets jamais refermé")};
            const QChar c = m_text[m_pos];
            if (c == quote) {
                ++m_pos;
                return out;
            }
            if (c != u'\\') {
                out.append(c);
                advance();
                continue;
            }
            ++m_pos;
            if (atEnd())
                throw Fault{startLine, QStringLiteral("texte entre guillemets jamais refermé")};
            out.append(readEscape());
        }
    }

    // The character after a backslash (already consumed).
    QString readEscape()
    {
        const QChar c = m_text[m_pos];
        switch (c.unicode()) {
        case u'a':
            ++m_pos;
            return QStringLiteral("\a");
        case u'b':
            ++m_pos;
            return QStringLiteral("\b");
        case u'f':
            ++m_pos;
            return QStringLiteral("\f");
        case u'n':
            ++m_pos;
            return QStringLiteral("\n");
        case u'r':
            ++m_pos;
            return QStringLiteral("\r");
        case u't':
            ++m_pos;
            return QStringLiteral("\t");
        case u'v':
            ++m_pos;
            return QStringLiteral("\v");
        case u'U':
        case u'u': {
            ++m_pos;
            int code = 0;
            int digits = 0;
            while (digits < 4 && !atEnd() && hexValue(m_text[m_pos]) >= 0) {
                code = code * 16 + hexValue(m_text[m_pos]);
                ++m_pos;
                ++digits;
            }
            if (digits == 0)
                throw Fault{m_line, QStringLiteral("chiffres hexadécimaux attendus après « \\%1 »").arg(c)};
            return QString(QChar(char16_t(code)));
        }
        default:
            break;
        }
        if (c >= u'0' && c <= u'7') {
            int code = 0;
            int digits = 0;
            while (digits < 3 && !atEnd() && m_text[m_pos] >= u'0' && m_text[m_pos] <= u'7') {
                code = code * 8 + (m_text[m_pos].unicode() - u'0');
                ++m_pos;
                ++digits;
            }
            return QString(QChar(char16_t(code)));
        }
        // \" \' \\ and any other character stand for themselves.
        advance();
        return QString(c);
    }

    QStringView m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
};

} // namespace

std::optional<StringsFileParser::Dictionary> StringsFileParser::parse(QStringView text,
                                                                      StringsFileError *error)
{
    try {
        return Reader(text).entries();
    } catch (const Fault &fault) {
        if (error)
            *error = {fault.line, fault.message};
        return std::nullopt;
    }
}

QString StringsFileParser::decode(const QByteArray &bytes)
{
    if (const auto encoding = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*encoding);
        return decoder.decode(bytes);
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

std::optional<StringsFileParser::Dictionary> StringsFileParser::parseFile(const QString &path,
                                                                          StringsFileError *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = {0, QStringLiteral("le fichier ne peut pas être lu (%1)").arg(file.errorString())};
        return std::nullopt;
    }
    return parse(decode(file.readAll()), error);
}

} // namespace platform
