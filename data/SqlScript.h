#pragma once

#include <QString>

namespace data
{

// The SQL scripts of the resources, with the parts they share written once. A line
//
//   --@include sqlite/checks/room.sql :cLocal=:insCLocal :cStructure=NULL
//   --@        :salPasNum=:insSalPasNum
//
// (continued by the lines that begin with "--@ ") stands for the text of that file, relative to the sql/
// folder of the resources, with its named parameters renamed (:a=:b) or replaced by NULL (:a=NULL), in
// quoted texts and comments left alone. The word "temporary" makes the file's views temporary ones
// (CREATE TEMP VIEW, dropped from temp): views that read the files of two embedded databases cannot be
// kept in either. The word "in=SCHEMA" makes them in that schema (CREATE VIEW SCHEMA.name), the name of an
// attached file. An included file may include others.
//
// A missing file, a directive that cannot be read, or a renamed parameter that the file does not use
// throws eo::EOException (Kind::Database) with a French message: a script is checked as it is read, before
// anything is installed.
class SqlScript
{
public:
    // The script <sqlRoot>/<path> with its inclusions in place.
    static QString read(const QString &sqlRoot, const QString &path);
    // A text already read; origin names it in the messages.
    static QString expand(const QString &text, const QString &sqlRoot, const QString &origin);
};

} // namespace data
