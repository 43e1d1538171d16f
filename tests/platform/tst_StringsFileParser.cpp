// The strings-file reader of the configuration files: entries, escapes, comments, encodings, and the line
// reported for a broken file.

#include "StringsFileParser.h"

#include <QTemporaryDir>
#include <QTest>

using platform::StringsFileError;
using platform::StringsFileParser;
using Dictionary = StringsFileParser::Dictionary;

class TestStringsFileParser : public QObject
{
    Q_OBJECT

private slots:
    void parsesEntries_data();
    void parsesEntries();
    void reportsTheLineOfTheFault_data();
    void reportsTheLineOfTheFault();
    void decodesTheFileEncodings_data();
    void decodesTheFileEncodings();
    void readsFiles();
};

void TestStringsFileParser::parsesEntries_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Dictionary>("expected");

    QTest::newRow("empty file") << QString() << Dictionary{};
    QTest::newRow("blank and comments only")
        << QStringLiteral("  \n/* rien */\n// toujours rien\n\t") << Dictionary{};
    QTest::newRow("configuration")
        << QStringLiteral("\"DEFAULT_TITLE\" = \"Locavia\";\n\"DEFAULT_TIME_ZONE\" = \"Europe/Paris\";\n"
                          "\"MIRL_URL\" = \"\";\n")
        << Dictionary{{QStringLiteral("DEFAULT_TITLE"), QStringLiteral("Locavia")},
                      {QStringLiteral("DEFAULT_TIME_ZONE"), QStringLiteral("Europe/Paris")},
                      {QStringLiteral("MIRL_URL"), QString()}};
    QTest::newRow("no blanks at all")
        << QStringLiteral("\"A\"=\"1\";\"B\"=\"2\";")
        << Dictionary{{QStringLiteral("A"), QStringLiteral("1")}, {QStringLiteral("B"), QStringLiteral("2")}};
    QTest::newRow("simple escapes") << QStringLiteral(R"("k" = "a\"b\\c\nd\te\'f";)")
                                    << Dictionary{{QStringLiteral("k"), QStringLiteral("a\"b\\c\nd\te'f")}};
    QTest::newRow("octal and unicode escapes")
        << QStringLiteral(R"("k" = "\101\102-\U00e9t\u00E9-\u20AC-\0101";)")
        << Dictionary{{QStringLiteral("k"), QStringLiteral("AB-été-€-\u00081")}};
    QTest::newRow("unknown escape keeps the character")
        << QStringLiteral(R"("k" = "\q\?";)") << Dictionary{{QStringLiteral("k"), QStringLiteral("q?")}};
    QTest::newRow("single quotes") << QStringLiteral("'k' = 'il dit \"oui\"';")
                                   << Dictionary{{QStringLiteral("k"), QStringLiteral("il dit \"oui\"")}};
    QTest::newRow("unquoted words") << QStringLiteral("APP_ALIAS = LOCAVIA;\nURL = http://h:8080/a.b-c$d;")
                                    << Dictionary{
                                           {QStringLiteral("APP_ALIAS"), QStringLiteral("LOCAVIA")},
                                           {QStringLiteral("URL"), QStringLiteral("http://h:8080/a.b-c$d")}};
    QTest::newRow("key alone is its own value")
        << QStringLiteral("\"OUI\";") << Dictionary{{QStringLiteral("OUI"), QStringLiteral("OUI")}};
    QTest::newRow("comments everywhere")
        << QStringLiteral("/* entête\n \"X\" = \"piège\"; */\n\"A\" /* ; = */ = // fin\n \"1\" // ici\n;\n"
                          "// \"B\" = \"2\";\n")
        << Dictionary{{QStringLiteral("A"), QStringLiteral("1")}};
    QTest::newRow("comment markers inside quotes are text")
        << QStringLiteral("\"URL\" = \"https://mirl.example/api\";\n\"C\" = \"/* pas un commentaire */\";")
        << Dictionary{{QStringLiteral("URL"), QStringLiteral("https://mirl.example/api")},
                      {QStringLiteral("C"), QStringLiteral("/* pas un commentaire */")}};
    QTest::newRow("value over several lines")
        << QStringLiteral("\"k\" = \"ligne 1\nligne 2\";")
        << Dictionary{{QStringLiteral("k"), QStringLiteral("ligne 1\nligne 2")}};
    QTest::newRow("last of a repeated key wins") << QStringLiteral("\"k\" = \"1\"; \"k\" = \"2\";")
                                                 << Dictionary{{QStringLiteral("k"), QStringLiteral("2")}};
    QTest::newRow("byte-order mark") << QStringLiteral("\uFEFF\"k\" = \"v\";")
                                     << Dictionary{{QStringLiteral("k"), QStringLiteral("v")}};
    QTest::newRow("non-ASCII text") << QStringLiteral("\"Intitulé\" = \"Réservation des salles\";")
                                    << Dictionary{{QStringLiteral("Intitulé"),
                                                   QStringLiteral("Réservation des salles")}};
}

void TestStringsFileParser::parsesEntries()
{
    QFETCH(QString, text);
    QFETCH(Dictionary, expected);

    StringsFileError error{-1, QStringLiteral("untouched")};
    const std::optional<Dictionary> parsed = StringsFileParser::parse(text, &error);
    QVERIFY2(parsed.has_value(),
             qPrintable(QStringLiteral("line %1: %2").arg(error.line).arg(error.message)));
    QCOMPARE(*parsed, expected);
}

void TestStringsFileParser::reportsTheLineOfTheFault_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("inMessage");

    QTest::newRow("semicolon missing") << QStringLiteral("\"A\" = \"1\"\n\"B\" = \"2\";") << 1
                                       << QStringLiteral("« ; » attendu après la valeur de la clé « A »");
    QTest::newRow("semicolon missing at the end")
        << QStringLiteral("\"A\" = \"1\";\n\n\"B\" = \"2\"\n") << 3 << QStringLiteral("« B »");
    QTest::newRow("equals sign missing") << QStringLiteral("// c\n\"A\" \"1\";") << 2
                                         << QStringLiteral("« = » ou « ; » attendu après la clé « A »");
    QTest::newRow("key at the end of the file")
        << QStringLiteral("\"A\" = \"1\";\n\"B\"") << 2 << QStringLiteral("« B »");
    QTest::newRow("value missing") << QStringLiteral("\n\"A\" = ;") << 2 << QStringLiteral("« ; » inattendu");
    QTest::newRow("value at the end of the file")
        << QStringLiteral("\"A\" =\n\n") << 3 << QStringLiteral("la valeur de la clé « A »");
    QTest::newRow("string never closed, reported where it opens")
        << QStringLiteral("\"A\" = \"1\";\n\"B\" = \"deux;\n// C\n\n") << 2
        << QStringLiteral("jamais refermé");
    QTest::newRow("backslash at the very end")
        << QStringLiteral("\"A\" = \"1\\") << 1 << QStringLiteral("jamais refermé");
    QTest::newRow("comment never closed")
        << QStringLiteral("\"A\" = \"1\";\n\n/* début\n\"B\" = \"2\";") << 3 << QStringLiteral("/*");
    QTest::newRow("stray character") << QStringLiteral("\"A\" = \"1\";\n\n\n@\"B\" = \"2\";") << 4
                                     << QStringLiteral("« @ »");
    QTest::newRow("property-list value")
        << QStringLiteral("\"A\" = { \"x\" = \"y\"; };") << 1 << QStringLiteral("« { »");
    QTest::newRow("unicode escape without digits")
        << QStringLiteral("\"A\" =\n \"x\\Uzz\";") << 2 << QStringLiteral("hexadécimaux");
    QTest::newRow("line count goes through escaped line ends and comments")
        << QStringLiteral("\"A\" = \"a\\\nb\";\n/*\n\n*/\n\"B\" = \"2\" \"C\";") << 6
        << QStringLiteral("« B »");
}

void TestStringsFileParser::reportsTheLineOfTheFault()
{
    QFETCH(QString, text);
    QFETCH(int, line);
    QFETCH(QString, inMessage);

    StringsFileError error;
    const std::optional<Dictionary> parsed = StringsFileParser::parse(text, &error);
    QVERIFY(!parsed.has_value());
    QCOMPARE(error.line, line);
    QVERIFY2(error.message.contains(inMessage), qPrintable(error.message));
}

void TestStringsFileParser::decodesTheFileEncodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("UTF-8") << QByteArray("\"T\" = \"\xc3\xa9t\xc3\xa9\";")
                           << QStringLiteral("\"T\" = \"été\";");
    QTest::newRow("UTF-8 with byte-order mark")
        << QByteArray("\xef\xbb\xbf\"T\" = \"\xc3\xa9\";") << QStringLiteral("\"T\" = \"é\";");
    QTest::newRow("Latin-1") << QByteArray("\"T\" = \"\xe9t\xe9\";") << QStringLiteral("\"T\" = \"été\";");
    QTest::newRow("UTF-16LE with byte-order mark")
        << QByteArray("\xff\xfe\"\0T\0\"\0=\0\"\0\xe9\0\"\0;\0", 18) << QStringLiteral("\"T\"=\"é\";");
}

void TestStringsFileParser::decodesTheFileEncodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);

    QString decoded = StringsFileParser::decode(bytes);
    const auto parsed = StringsFileParser::parse(decoded);
    QVERIFY(parsed.has_value());
    QCOMPARE(*parsed, *StringsFileParser::parse(text));
    QCOMPARE(decoded.remove(QChar(0xFEFF)), text);
}

void TestStringsFileParser::readsFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());

    StringsFileError error;
    QVERIFY(!StringsFileParser::parseFile(dir.filePath(QStringLiteral("absent.config")), &error).has_value());
    QCOMPARE(error.line, 0);
    QVERIFY(!error.message.isEmpty());

    QFile file(dir.filePath(QStringLiteral("Application.config")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("/* Locavia */\n\"DEFAULT_TITLE\" = \"Locavia\";\n\"APP_ALIAS\" = \"LOCAVIA\";\n");
    file.close();
    const auto parsed = StringsFileParser::parseFile(file.fileName(), &error);
    QVERIFY(parsed.has_value());
    QCOMPARE(parsed->value(QStringLiteral("DEFAULT_TITLE")), QStringLiteral("Locavia"));
    QCOMPARE(parsed->value(QStringLiteral("APP_ALIAS")), QStringLiteral("LOCAVIA"));
    QCOMPARE(parsed->size(), 2);
}

QTEST_APPLESS_MAIN(TestStringsFileParser)
#include "tst_StringsFileParser.moc"
