#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace eo
{

// Characters that a code (a key typed by the user and compared as it stands) must not hold: the controls
// (C0 and C1, the line and paragraph separators) and the invisible format characters (zero-width spaces
// and joiners, the marks and overrides that turn a text around on screen, the byte order mark, ...). Two
// codes that look alike would differ by them, and a code holding one shows something else than it is.
class EOHiddenCharacter
{
public:
    EOHiddenCharacter() = delete;

    static bool isHidden(char32_t codePoint);
    // The first hidden character of a text, none when it has none.
    static std::optional<char32_t> firstIn(QStringView text);
    // How a message names a character: "U+202E".
    static QString name(char32_t codePoint);
    // What the user reads when a value holds the NUL character, which neither database keeps whole.
    static QString nulRefusal();
};

} // namespace eo
