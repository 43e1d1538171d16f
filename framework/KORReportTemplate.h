#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <memory>
#include <optional>

namespace framework
{

// A report template: a folder (resources/reports/<name>/) holding Mustache templates over HTML.
//
// - <name>.html, the document. Its list of objects is the section {{#objects}}...{{/objects}}; the
//   sections {{#debut}}...{{/debut}} and {{#fin}}...{{/fin}} hold what comes before the first object and
//   after the last one (a long list is printed in parts, and only the first part opens the document).
// - entete.html and pied.html (optional): the running header and footer of every page, which also see
//   {{page}} and {{pages}}.
// - rapport.conf (optional, strings-file format): "format" (A4, A3, Letter), "orientation" ("portrait" or
//   "paysage"), "marge" (in millimetres), "pageParObjet" ("oui": each object begins a page, as a sheet per
//   room does).
//
// Every piece sees the extra values of the report (userInfo), "dateEdition" (dd/MM/yyyy) and
// "heureEdition" (HH:mm) read from the application's clock, and "nombreObjets". Inside the list each object
// answers the keys the document uses (key paths such as local.appellation included), with "rang" (from 1)
// and "lignePaire". The section {{#enumeration}}...{{/enumeration}} writes a list joined by commas as a
// reader expects it (", A,B" becomes "A, B"). Values are shown as the French reader expects: decimal comma,
// no thousands separator, dates as dd/MM/yyyy; an empty value (none, null, "") is false for a section and
// prints nothing. Values are escaped for HTML unless written {{{like_this}}}.
class KORReportTemplate
{
public:
    struct PageSettings {
        QPageSize::PageSizeId size = QPageSize::A4;
        QPageLayout::Orientation orientation = QPageLayout::Portrait;
        double marginMillimetres = 12;
        bool pagePerObject = false; // "pageParObjet" = "oui": each object on pages of its own
    };

    // The folder of a template given by its name (looked up in the resources' reports folder) or by a path.
    static QString folderFor(const QString &nameOrPath);
    // Reads and compiles a template; nothing (and the reason in error) when its document is missing or a
    // piece is not valid Mustache.
    static std::optional<KORReportTemplate> load(const QString &nameOrPath, QString *error = nullptr);

    const PageSettings &page() const;
    const QString &name() const;

    // The values of one report: objects are records (eo::EORecord) or dictionaries.
    void setValues(const QVariantList &objects, const QVariantMap &userInfo);
    qsizetype objectCount() const;

    // The document for the objects [from, to), with its opening and its closing when asked.
    QString document(qsizetype from, qsizetype to, bool opening, bool closing) const;
    // The whole document, every object in it.
    QString document() const { return document(0, objectCount(), true, true); }
    QString header(int page, int pages) const;
    QString footer(int page, int pages) const;

private:
    struct Private;
    std::shared_ptr<Private> d;
};

} // namespace framework
