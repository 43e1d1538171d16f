#pragma once

#include <QJsonObject>
#include <QString>

// A spreadsheet file as an independent reader sees it (read_spreadsheet.py: openpyxl for XLSX, Python's
// csv module for CSV), as the JSON that script prints. An empty object (and error set) when the file could
// not be read.
QJsonObject readSpreadsheet(const QString &path, QString *error = nullptr);
