#include "SpreadsheetReader.h"

#include <QJsonDocument>
#include <QProcess>

QJsonObject readSpreadsheet(const QString &path, QString *error)
{
    QProcess reader;
    reader.start(QStringLiteral(LOCAVIA_TEST_PYTHON), {QStringLiteral(LOCAVIA_SPREADSHEET_READER), path});
    const bool finished = reader.waitForFinished(120000);
    if (!finished || reader.exitStatus() != QProcess::NormalExit || reader.exitCode() != 0) {
        if (error)
            *error = QString::fromUtf8(reader.readAllStandardError());
        return {};
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(reader.readAllStandardOutput(), &parseError);
    if (error)
        *error = parseError.error == QJsonParseError::NoError ? QString() : parseError.errorString();
    return document.object();
}
