#include "TestFont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <algorithm>

const QString TestFont::family = QStringLiteral("DejaVu Sans");

namespace
{

// The families the program asks for by name rather than through the application font: the form's fields.
const QStringList namedFamilies{QStringLiteral("Helvetica")};

// The common desktop families, each with the Debian package that brings it.
const QList<std::pair<QString, QString>> packages{
    {QStringLiteral("DejaVu Sans"), QStringLiteral("fonts-dejavu-core")},
    {QStringLiteral("Noto Sans"), QStringLiteral("fonts-noto-core")},
    {QStringLiteral("Liberation Sans"), QStringLiteral("fonts-liberation2")},
    {QStringLiteral("Nimbus Sans"), QStringLiteral("fonts-urw-base35")},
};

// Whether a name fontconfig gives is the family's: with its foundry ("Nimbus Sans [urw]") when several
// make it.
bool isFamily(const QString &name, const QString &family)
{
    return name == family || name.startsWith(family + QStringLiteral(" ["));
}

} // namespace

QStringList TestFont::desktopFamilies()
{
    QStringList families;
    for (const auto &[family, package] : packages)
        families << family;
    return families;
}

QString TestFont::pin(const QString &family, int points)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return QStringLiteral("the fonts are pinned for widgets: the test needs a QApplication");
    // Asked by name, fontconfig answers with a substitute rather than nothing: only its list of families says
    // whether the one asked for is there.
    const QStringList installed = QFontDatabase::families();
    if (std::none_of(installed.cbegin(), installed.cend(),
                     [&family](const QString &name) { return isFamily(name, family); })) {
        const auto known = std::find_if(packages.cbegin(), packages.cend(),
                                        [&family](const auto &entry) { return entry.first == family; });
        return QStringLiteral("the font \"%1\" is not installed: scripts/install-deps installs %2")
            .arg(family,
                 known == packages.cend() ? QStringLiteral("the package that has it") : known->second);
    }

    for (const QString &named : namedFamilies) {
        QFont::removeSubstitutions(named);
        QFont::insertSubstitution(named, family);
    }
    QApplication::setFont(QFont(family, points));

    const auto differs = [&family](const QFont &font) -> QString {
        const QFontInfo used(font);
        if (isFamily(used.family(), family) && used.pointSize() == font.pointSize())
            return {};
        return QStringLiteral("\"%1\" %2 pt gives %3 %4 pt, not %5")
            .arg(font.family())
            .arg(font.pointSize())
            .arg(used.family())
            .arg(used.pointSize())
            .arg(family);
    };
    QString reason = differs(QApplication::font());
    for (const QString &named : namedFamilies) {
        if (reason.isEmpty())
            reason = differs(QFont(named, points));
    }
    return reason;
}
