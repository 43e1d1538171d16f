#include "KORReportTemplate.h"

#include "Clock.h"
#include "EODecimal.h"
#include "EOEntity.h"
#include "EOException.h"
#include "EOGenericRecord.h"
#include "EONull.h"
#include "KORConversions.h"
#include "Resources.h"
#include "StringsFileParser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <cmath>
#include <kainjow/mustache.hpp>

namespace framework
{

namespace mustache = kainjow::mustache;

namespace
{

// The names the engine gives itself; an object never answers them.
const QSet<QString> reservedNames{
    QStringLiteral("objects"), QStringLiteral("debut"),       QStringLiteral("fin"),
    QStringLiteral("rang"),    QStringLiteral("lignePaire"),  QStringLiteral("page"),
    QStringLiteral("pages"),   QStringLiteral("enumeration"), QStringLiteral(".")};

// Every name a template looks up, in variables and sections alike.
QStringList tagNames(const QString &text)
{
    static const QRegularExpression tag(
        QStringLiteral(R"(\{\{\s*[#^&{]?\s*([^\s{}!>=/#^&][^\s{}]*)\s*\}?\}\})"));
    QStringList names;
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const QString name = it.next().captured(1);
        if (!names.contains(name) && !reservedNames.contains(name))
            names.append(name);
    }
    return names;
}

const QLocale &frenchLocale()
{
    static const QLocale locale = [] {
        QLocale french(QLocale::French, QLocale::France);
        french.setNumberOptions(QLocale::OmitGroupSeparator);
        return french;
    }();
    return locale;
}

std::string text(const QString &value)
{
    return value.toStdString();
}

bool answersKey(const eo::EOGenericRecord &record, const QString &key)
{
    if (const eo::EOEntity *entity = record.entity()) {
        if (entity->attributeIndex(key) >= 0 || entity->relationshipNamed(key))
            return true;
    }
    return record.allKeys().contains(key);
}

mustache::data valueData(const QVariant &value, const QStringList &names);

void insertPath(QVariantMap &tree, const QStringList &steps, qsizetype step, const QVariant &value)
{
    if (step + 1 == steps.size()) {
        tree.insert(steps.at(step), value);
        return;
    }
    QVariantMap inner = tree.value(steps.at(step)).toMap();
    insertPath(inner, steps, step + 1, value);
    tree.insert(steps.at(step), inner);
}

// An object of the report (a record or a dictionary) with the keys the template uses. A key the object
// does not know is left out, so that the template finds it among the report's own values.
mustache::data objectData(const QVariant &object, const QStringList &names)
{
    const eo::EORecord record = eo::EOGenericRecord::fromVariant(object);
    const QVariantMap map = record ? QVariantMap() : object.toMap();
    QVariantMap tree;
    for (const QString &name : names) {
        const QString first = name.section(QLatin1Char('.'), 0, 0);
        QVariant value;
        if (record) {
            if (!answersKey(*record, first))
                continue;
            try {
                value = record->valueForKeyPath(name);
            } catch (const eo::EOException &) {
                // A key path that goes on past what the record's relations know: the template shows
                // nothing there, as for an empty value.
                continue;
            }
        } else {
            if (!map.contains(first))
                continue;
            value = map.value(first);
            const QStringList rest = name.split(QLatin1Char('.')).mid(1);
            for (const QString &step : rest) {
                const eo::EORecord inner = eo::EOGenericRecord::fromVariant(value);
                value = inner ? inner->valueForKeyPath(step) : value.toMap().value(step);
            }
        }
        // Key paths become nested objects, as Mustache reads them.
        insertPath(tree, name.split(QLatin1Char('.')), 0, value);
    }
    mustache::data data{mustache::data::type::object};
    for (auto it = tree.constBegin(); it != tree.constEnd(); ++it)
        data.set(text(it.key()), valueData(it.value(), names));
    return data;
}

// A value as the French reader expects it; an empty one is false.
mustache::data valueData(const QVariant &value, const QStringList &names)
{
    if (!value.isValid() || eo::isEONull(value))
        return mustache::data(false);
    const QMetaType type = value.metaType();
    if (type == QMetaType::fromType<eo::EORecord>())
        return objectData(value, names);
    if (type == QMetaType::fromType<eo::EODecimal>()) {
        const eo::EODecimal decimal = value.value<eo::EODecimal>();
        if (!decimal.isValid())
            return mustache::data(false);
        return mustache::data(text(QString(decimal.toString()).replace(QLatin1Char('.'), QLatin1Char(','))));
    }
    switch (type.id()) {
    case QMetaType::Bool:
        return mustache::data(value.toBool());
    case QMetaType::Double:
    case QMetaType::Float: {
        const double number = value.toDouble();
        if (std::isnan(number))
            return mustache::data(false);
        return mustache::data(text(frenchLocale().toString(number, 'f', QLocale::FloatingPointShortest)));
    }
    case QMetaType::QDate:
        return mustache::data(text(value.toDate().toString(QStringLiteral("dd/MM/yyyy"))));
    case QMetaType::QDateTime:
        return mustache::data(text(value.toDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"))));
    case QMetaType::QVariantMap: {
        mustache::data data{mustache::data::type::object};
        const QVariantMap map = value.toMap();
        for (auto it = map.constBegin(); it != map.constEnd(); ++it)
            data.set(text(it.key()), valueData(it.value(), names));
        return data;
    }
    case QMetaType::QVariantList: {
        mustache::data list{mustache::data::type::list};
        const QVariantList items = value.toList();
        for (const QVariant &item : items)
            list.push_back(item.metaType().id() == QMetaType::QVariantMap ? valueData(item, names)
                                                                          : objectData(item, names));
        return list;
    }
    default:
        break;
    }
    if (type == QMetaType::fromType<QList<eo::EORecord>>()) {
        mustache::data list{mustache::data::type::list};
        for (const eo::EORecord &record : value.value<QList<eo::EORecord>>())
            list.push_back(objectData(eo::EOGenericRecord::toVariant(record), names));
        return list;
    }
    if (KORConversions::isEmptyValue(value))
        return mustache::data(false);
    return mustache::data(text(KORConversions::textOf(value)));
}

// A list written as items joined by commas (", 60% Ens., 40% Rech." or ",SCI,DROIT"), as a reader expects
// it: no separator before the first item, a space after each comma.
std::string enumeration(const std::string &rendered)
{
    QString items = QString::fromStdString(rendered).trimmed();
    while (items.startsWith(QLatin1Char(',')))
        items = items.mid(1).trimmed();
    static const QRegularExpression comma(QStringLiteral(",(?=\\S)"));
    items.replace(comma, QStringLiteral(", "));
    return text(items);
}

QPageSize::PageSizeId pageSizeNamed(const QString &name)
{
    const QString key = name.trimmed().toLower();
    if (key == QLatin1String("a3"))
        return QPageSize::A3;
    if (key == QLatin1String("a5"))
        return QPageSize::A5;
    if (key == QLatin1String("letter"))
        return QPageSize::Letter;
    if (key == QLatin1String("legal"))
        return QPageSize::Legal;
    return QPageSize::A4;
}

} // namespace

struct KORReportTemplate::Private {
    QString name;
    PageSettings page;
    mustache::mustache document{std::string()};
    std::optional<mustache::mustache> header;
    std::optional<mustache::mustache> footer;
    QStringList names; // looked up on each object

    mustache::data common{mustache::data::type::object};
    std::vector<mustache::data> objects;
};

QString KORReportTemplate::folderFor(const QString &nameOrPath)
{
    const QFileInfo given(nameOrPath);
    if (given.isAbsolute() || nameOrPath.contains(QLatin1Char('/')))
        return given.absoluteFilePath();
    return platform::resourcePath(QStringLiteral("reports/") + nameOrPath);
}

std::optional<KORReportTemplate> KORReportTemplate::load(const QString &nameOrPath, QString *error)
{
    const QDir folder(folderFor(nameOrPath));
    const QString name = folder.dirName();
    auto fail = [error](const QString &reason) -> std::optional<KORReportTemplate> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    auto read = [&folder](const QString &file, QString *content) {
        QFile f(folder.filePath(file));
        if (!f.open(QIODevice::ReadOnly))
            return false;
        *content = QString::fromUtf8(f.readAll());
        return true;
    };
    auto compile = [](const QString &content, QString *reason) -> std::optional<mustache::mustache> {
        mustache::mustache compiled(text(content));
        if (!compiled.is_valid()) {
            *reason = QString::fromStdString(compiled.error_message());
            return std::nullopt;
        }
        return compiled;
    };

    QString documentText;
    if (!read(name + QStringLiteral(".html"), &documentText))
        return fail(QStringLiteral("Le modèle d'impression %1 est introuvable.")
                        .arg(folder.filePath(name + ".html")));

    KORReportTemplate result;
    result.d = std::make_shared<Private>();
    Private &p = *result.d;
    p.name = name;
    QString reason;
    std::optional<mustache::mustache> document = compile(documentText, &reason);
    if (!document)
        return fail(QStringLiteral("Le modèle d'impression %1 est incorrect : %2").arg(name, reason));
    p.document = std::move(*document);
    p.names = tagNames(documentText);

    for (const auto &[file, slot] : {std::pair{QStringLiteral("entete.html"), &p.header},
                                     std::pair{QStringLiteral("pied.html"), &p.footer}}) {
        QString content;
        if (!read(file, &content))
            continue;
        *slot = compile(content, &reason);
        if (!*slot)
            return fail(
                QStringLiteral("Le modèle d'impression %1 est incorrect (%2) : %3").arg(name, file, reason));
    }

    if (QFileInfo::exists(folder.filePath(QStringLiteral("rapport.conf")))) {
        platform::StringsFileError fault;
        const auto settings =
            platform::StringsFileParser::parseFile(folder.filePath(QStringLiteral("rapport.conf")), &fault);
        if (!settings) {
            return fail(
                QStringLiteral("Les réglages du modèle d'impression %1 sont incorrects (ligne %2) : %3")
                    .arg(name)
                    .arg(fault.line)
                    .arg(fault.message));
        }
        p.page.size = pageSizeNamed(settings->value(QStringLiteral("format")));
        const QString orientation = settings->value(QStringLiteral("orientation")).trimmed().toLower();
        if (orientation == QLatin1String("paysage") || orientation == QLatin1String("landscape"))
            p.page.orientation = QPageLayout::Landscape;
        bool ok = false;
        const double margin = settings->value(QStringLiteral("marge")).toDouble(&ok);
        if (ok && margin >= 0 && margin <= 50)
            p.page.marginMillimetres = margin;
        const QString perObject = settings->value(QStringLiteral("pageParObjet")).trimmed().toLower();
        p.page.pagePerObject = perObject == QLatin1String("oui") || perObject == QLatin1String("yes");
    }
    result.setValues({}, {});
    return result;
}

const KORReportTemplate::PageSettings &KORReportTemplate::page() const
{
    return d->page;
}

const QString &KORReportTemplate::name() const
{
    return d->name;
}

void KORReportTemplate::setValues(const QVariantList &objects, const QVariantMap &userInfo)
{
    Private &p = *d;
    p.common = mustache::data(mustache::data::type::object);
    for (auto it = userInfo.constBegin(); it != userInfo.constEnd(); ++it)
        p.common.set(text(it.key()), valueData(it.value(), p.names));
    const QDateTime now = platform::Clock::now();
    p.common.set("dateEdition", text(now.toString(QStringLiteral("dd/MM/yyyy"))));
    p.common.set("heureEdition", text(now.toString(QStringLiteral("HH:mm"))));
    p.common.set("nombreObjets", text(QString::number(objects.size())));
    p.common.set("enumeration",
                 mustache::lambda2([](const std::string &section, const mustache::renderer &render) {
                     return enumeration(render(section));
                 }));

    p.objects.clear();
    p.objects.reserve(size_t(objects.size()));
    for (qsizetype i = 0; i < objects.size(); ++i) {
        mustache::data object = objectData(objects.at(i), p.names);
        object.set("rang", text(QString::number(i + 1)));
        object.set("lignePaire", mustache::data(i % 2 == 1));
        p.objects.push_back(std::move(object));
    }
}

qsizetype KORReportTemplate::objectCount() const
{
    return qsizetype(d->objects.size());
}

QString KORReportTemplate::document(qsizetype from, qsizetype to, bool opening, bool closing) const
{
    Private &p = *d;
    from = std::clamp<qsizetype>(from, 0, objectCount());
    to = std::clamp<qsizetype>(to, from, objectCount());
    mustache::data data = p.common;
    mustache::data list{mustache::data::type::list};
    for (qsizetype i = from; i < to; ++i)
        list.push_back(p.objects[size_t(i)]);
    data.set("objects", list);
    data.set("debut", mustache::data(opening));
    data.set("fin", mustache::data(closing));
    return QString::fromStdString(p.document.render(data));
}

QString KORReportTemplate::header(int page, int pages) const
{
    if (!d->header)
        return {};
    mustache::data data = d->common;
    data.set("page", text(QString::number(page)));
    data.set("pages", text(QString::number(pages)));
    return QString::fromStdString(d->header->render(data));
}

QString KORReportTemplate::footer(int page, int pages) const
{
    if (!d->footer)
        return {};
    mustache::data data = d->common;
    data.set("page", text(QString::number(page)));
    data.set("pages", text(QString::number(pages)));
    return QString::fromStdString(d->footer->render(data));
}

} // namespace framework
