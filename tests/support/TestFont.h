#pragma once

#include <QString>
#include <QStringList>
#include <QTest>

// The fonts a test measures widgets with. What fontconfig picks changes with the fonts a machine has: the
// room form's fields ask for "Helvetica", which is Nimbus Sans where fonts-urw-base35 is installed and
// DejaVu Sans where it is not, and the default sans-serif family becomes Noto Sans with fonts-noto-core;
// the same form is then a hundred pixels taller. So a test that measures sizes, positions or pixels pins
// the fonts itself, before it builds its widgets, to a family scripts/install-deps installs.
class TestFont
{
public:
    // The family and size measuring tests use: DejaVu Sans (fonts-dejavu-core) at 9 points, Qt's size
    // when no desktop says otherwise.
    static const QString family;
    static constexpr int points = 9;
    // The sans-serif families desktops commonly have, which a layout that claims to fit must fit with.
    static QStringList desktopFamilies();

    // Makes family at points the application's font, and family what the names the program asks for
    // (Helvetica) give. Answers "" when done, else why not: the family is not one fontconfig has (the
    // message names the Debian package that brings it), or another family came in its place.
    static QString pin(const QString &family = TestFont::family, int points = TestFont::points);
};

// Pins the fonts in a test function (initTestCase, usually), failing it with the reason when it cannot.
#define PIN_TEST_FONT(...)                                                                                   \
    do {                                                                                                     \
        const QString pinTestFontReason = TestFont::pin(__VA_ARGS__);                                        \
        QVERIFY2(pinTestFontReason.isEmpty(), qPrintable(pinTestFontReason));                                \
    } while (false)
