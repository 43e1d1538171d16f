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
    // Where Qt's translations are installed (Debian: /usr/share/qt6/translations).
    static QString directory();
    // Installs the French catalogues into the application object, which must exist, and makes French the
    // default locale. Answers the catalogues that could not be loaded (none when all were); the program goes
    // on in that case, with Qt's English texts.
    static QStringList install();
};

} // namespace platform
