#include "FrenchTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <clocale>
#include <functional>

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
    // Owned by the application object, which outlives every text it translates.
    auto installed = [application](const std::function<bool(QTranslator &)> &load) {
        auto *translator = new QTranslator(application);
        if (application && load(*translator) && QCoreApplication::installTranslator(translator))
            return true;
        delete translator;
        return false;
    };
    for (const QString &catalogue : catalogues()) {
        if (!installed(
                [&](QTranslator &t) { return t.load(french, catalogue, QStringLiteral("_"), directory()); }))
            missing.append(QStringLiteral("%1/%2_fr.qm").arg(directory(), catalogue));
    }
    // Installed last, so that it is asked first.
    if (!installed([](QTranslator &t) { return t.load(complement()); }))
        missing.append(complement());
    return missing;
}

void FrenchTranslations::useFrenchConventions()
{
    // The C library takes the session's conventions now. When the application object sets them again from
    // the environment changed below, either the system knows fr_FR.UTF-8 and only time and messages change,
    // or it does not and the C library keeps what it has: nothing else of the session is lost either way.
    std::setlocale(LC_ALL, "");
    const QByteArray all = qgetenv("LC_ALL");
    if (!all.isEmpty()) {
        // LC_ALL would hide LC_TIME and LC_MESSAGES: its value goes to each convention it stood for.
        for (const char *category :
             {"LC_CTYPE", "LC_NUMERIC", "LC_COLLATE", "LC_MONETARY", "LC_MESSAGES", "LC_PAPER", "LC_NAME",
              "LC_ADDRESS", "LC_TELEPHONE", "LC_MEASUREMENT", "LC_IDENTIFICATION"})
            qputenv(category, all);
        qunsetenv("LC_ALL");
    }
    qputenv("LC_TIME", "fr_FR.UTF-8");
    qputenv("LC_MESSAGES", "fr_FR.UTF-8");
    // A list of preferred languages would win over LC_MESSAGES.
    if (!qEnvironmentVariableIsEmpty("LANGUAGE"))
        qputenv("LANGUAGE", "fr_FR:fr");
}

} // namespace platform
