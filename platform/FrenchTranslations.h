#pragma once

#include <QString>
#include <QStringList>

namespace platform
{

// Locavia speaks French whatever the language of the session: Qt's own texts (dialog buttons, file dialogs,
// context menus, command-line help) come from Qt's French translations, and dates and numbers that Qt
// formats follow the French conventions.
class FrenchTranslations
{
public:
    FrenchTranslations() = delete;

    // The catalogues Locavia needs, e.g. "qtbase" for qtbase_fr.qm.
    static QStringList catalogues();
    // What Locavia adds to them, from its own resources (translations/qtbase_complement_fr.ts).
    static QString complement() { return QStringLiteral(":/locavia/translations/qtbase_complement_fr.qm"); }
    // Where Qt's translations are installed (Debian: /usr/share/qt6/translations).
    static QString directory();
    // Installs the French catalogues into the application object, which must exist, and makes French the
    // default locale. Answers the catalogues that could not be loaded (none when all were); the program goes
    // on in that case, with Qt's English texts.
    static QStringList install();
    // Qt's views write dates and sizes with the session's conventions (a file dialog would show "7 Dec" and
    // "7 bytes" in an English session), which only the environment sets: the conventions of time and
    // messages become French here, the others (numbers, characters, sorting) staying the session's. To be
    // called before the application object exists.
    static void useFrenchConventions();
};

} // namespace platform
