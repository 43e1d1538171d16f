// Where the programs find their resources: the override, an installation around the program wherever it was
// moved, the source tree only for a program run from its build folder, and never the source tree otherwise.

#include "Resources.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using platform::ResourceLocations;

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void lookup_data();
    void lookup();
    void runningProgramUsesTheOverride();

private:
    QTemporaryDir m_dir;
    QString path(const QString &relative) const { return m_dir.filePath(relative); }
};

void TestResources::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QDir root(m_dir.path());
    // An installation, a copy of it moved elsewhere, a build folder beside its source tree, a build folder
    // whose name extends another's, and an installation left without its resources.
    for (const char *folder :
         {"usr/bin", "usr/share/locavia/models", "moved/opt/bin", "moved/opt/share/locavia/models",
          "src/resources/models", "src/build/app", "src/build-other/app", "empty/bin", "override/models"}) {
        QVERIFY(root.mkpath(QLatin1String(folder)));
    }
}

void TestResources::lookup_data()
{
    QTest::addColumn<QString>("override");
    QTest::addColumn<QString>("executable");
    QTest::addColumn<QString>("sourceResources"); // of the tree the program was built from
    QTest::addColumn<QString>("expected");

    const QString source = QStringLiteral("src/resources");
    QTest::newRow("installed") << ""
                               << "usr/bin" << source << "usr/share/locavia";
    QTest::newRow("installation moved") << ""
                                        << "moved/opt/bin" << source << "moved/opt/share/locavia";
    QTest::newRow("installed, source tree gone") << ""
                                                 << "usr/bin"
                                                 << "gone/resources"
                                                 << "usr/share/locavia";
    QTest::newRow("override wins over an installation") << "override"
                                                        << "usr/bin" << source << "override";
    QTest::newRow("run from the build folder") << ""
                                               << "src/build/app" << source << source;
    QTest::newRow("run from the build folder, source tree gone") << ""
                                                                 << "src/build/app"
                                                                 << "gone/resources"
                                                                 << "gone/resources";
    // A program copied out of its build folder must not read the source tree, even when it is there: it
    // looks where its installation would be, so that messages name that place.
    QTest::newRow("outside the build folder, source tree present")
        << ""
        << "empty/bin" << source << "empty/share/locavia";
    QTest::newRow("a folder whose name extends the build folder's")
        << ""
        << "src/build-other/app" << source << "src/build-other/share/locavia";
}

void TestResources::lookup()
{
    QFETCH(QString, override);
    QFETCH(QString, executable);
    QFETCH(QString, sourceResources);
    QFETCH(QString, expected);

    ResourceLocations locations;
    locations.override = override.isEmpty() ? QString() : path(override);
    locations.executableDirectory = path(executable);
    locations.buildDirectory = path(QStringLiteral("src/build"));
    locations.sourceResources = path(sourceResources);
    QCOMPARE(platform::resourcesDirectory(locations), QDir::cleanPath(path(expected)));
}

void TestResources::runningProgramUsesTheOverride()
{
    // CTest points every test at the source tree's resources through LOCAVIA_RESOURCES.
    const QString override = qEnvironmentVariable("LOCAVIA_RESOURCES");
    QVERIFY(!override.isEmpty());
    QCOMPARE(platform::resourcesDirectory(), QDir(override).absolutePath());
    QCOMPARE(platform::resourcePath(QStringLiteral("models/Locavia.json")),
             QDir(override).absolutePath() + QStringLiteral("/models/Locavia.json"));
    QVERIFY(QFileInfo::exists(platform::resourcePath(QStringLiteral("models/Locavia.json"))));
}

QTEST_GUILESS_MAIN(TestResources)
#include "tst_Resources.moc"
