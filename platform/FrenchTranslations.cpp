#include "FrenchTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace platform
{

QStringList FrenchTranslations::catalogues()
{
    // Widgets, Gui, Core, Sql and Network all take their texts from qtbase.
    return {QStringLiteral("qtbase")};
}

QString FrenchTranslations::directory()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

QStringList FrenchTranslations::install()
{
    const QLocale french(QLocale::French, QLocale::France);
    QLocale::setDefault(french);
    QStringList missing;
    QCoreApplication *application = QCoreApplication::instance();
    for (const QString &catalogue : catalogues()) {
        // Owned by the application object, which outlives every text it translates.
        auto *translator = new QTranslator(application);
        if (!application || !translator->load(french, catalogue, QStringLiteral("_"), directory()) ||
            !QCoreApplication::installTranslator(translator)) {
            delete translator;
            missing.append(QStringLiteral("%1/%2_fr.qm").arg(directory(), catalogue));
        }
    }
    return missing;
}

} // namespace platform
