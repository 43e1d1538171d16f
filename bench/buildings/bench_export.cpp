// The room list of a large building: its export to a text file (from the click to the file written) and its
// print to PDF (from the click to the file handed to the viewer), on a throwaway database of one building of
// 5,000 rooms with 4 use-percentage lines each. The export is compared with the bare SQL of the same rooms
// and lines, stepped through the sqlite3 C API on the same connection in the same run. Prints "name: value"
// lines.

#include "Batiment.h"
#include "BenchSupport.h"
#include "EOEditingContext.h"
#include "EOException.h"
#include "EOModelGroup.h"
#include "EOSQLiteAdaptor.h"
#include "FileOpener.h"
#include "KORDataBusOC.h"
#include "Resources.h"
#include "RoomListExport.h"
#include "SavePanel.h"
#include "SqliteDatabaseInstaller.h"
#include "ui_Batiment.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <poppler-qt6.h>
#include <sqlite3.h>
#include <sys/resource.h>

namespace
{

const QString batiment = QStringLiteral("GRAND BATIMENT");

double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

bool exec(sqlite3 *db, const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", error ? error : "sqlite error");
        sqlite3_free(error);
        return false;
    }
    return true;
}

// One building of `rooms` rooms, each with four use-percentage lines of four departments.
bool populate(sqlite3 *db, int rooms)
{
    if (!exec(
            db,
            "BEGIN;"
            "INSERT INTO TYPE_SALLE (TSAL_NUMERO, TSAL_LIBELLE) VALUES (1, 'Salle de cours'), (2, 'Bureau');"
            "INSERT INTO TYPE_OCCUPATION (TOC_ORDRE, TOC_LIBELLE) VALUES (1, 'Enseignement'), "
            "(2, 'Recherche'), (3, 'Administration'), (4, 'Technique');"
            "INSERT INTO SOLMA.STRUCTURE (C_STRUCTURE, LC_STRUCTURE, LL_STRUCTURE, C_TYPE_STRUCTURE) VALUES "
            "('UNIV', 'UNIV', 'Université', 'E'), ('SCI', 'SCIENCES', 'Faculté des sciences', 'S'), "
            "('LET', 'LETTRES', 'Faculté des lettres', 'S'), ('DRT', 'DROIT', 'Faculté de droit', 'S');"
            "INSERT INTO SOLMA.ADRESSE (ADR_ADRESSE1, VILLE) VALUES ('1 avenue de l''Université', 'PAU');"
            "INSERT INTO SOLMA.LOCAL (C_LOCAL, APPELLATION, ID_ADRESSE_ADMIN) VALUES ('GRD', 'GRAND "
            "BATIMENT', "
            "last_insert_rowid());"))
        return false;
    sqlite3_stmt *room = nullptr;
    sqlite3_prepare_v2(
        db,
        "INSERT INTO SOLMA.SALLES (SAL_NUMERO, C_LOCAL, TSAL_NUMERO, SAL_ETAGE, SAL_PORTE, SAL_CAPACITE, "
        "SAL_SUPERFICIE, SAL_RESERVABLE, SAL_DESCRIPTIF, SAL_POUR_ENSEIGNEMENT, SAL_POUR_RECHERCHE, "
        "SAL_POUR_ADMINISTRATION) VALUES (?, 'GRD', ?, ?, ?, ?, ?, 'O', ?, 60, 30, 10)",
        -1, &room, nullptr);
    sqlite3_stmt *line = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO DETAIL_POURCENTAGE (SAL_NUMERO, DET_TYPE, DET_POURCENTAGE, C_STRUCTURE) "
                       "VALUES (?, ?, 25, ?)",
                       -1, &line, nullptr);
    const char *departments[] = {"UNIV", "SCI", "LET", "DRT"};
    for (int number = 1; number <= rooms; ++number) {
        const QByteArray floor = QByteArray::number(number % 12);
        const QByteArray door = "P" + QByteArray::number(number).rightJustified(5, '0');
        const QByteArray description =
            "Salle " + QByteArray::number(number) + ", équipée d'un vidéoprojecteur";
        sqlite3_bind_int(room, 1, number);
        sqlite3_bind_int(room, 2, 1 + number % 2);
        sqlite3_bind_text(room, 3, floor.constData(), int(floor.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(room, 4, door.constData(), int(door.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int(room, 5, 20 + number % 80);
        sqlite3_bind_double(room, 6, 12.5 + number % 90);
        sqlite3_bind_text(room, 7, description.constData(), int(description.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(room) != SQLITE_DONE)
            return false;
        sqlite3_reset(room);
        for (int kind = 1; kind <= 4; ++kind) {
            sqlite3_bind_int(line, 1, number);
            sqlite3_bind_int(line, 2, kind);
            sqlite3_bind_text(line, 3, departments[kind - 1], -1, SQLITE_STATIC);
            if (sqlite3_step(line) != SQLITE_DONE)
                return false;
            sqlite3_reset(line);
        }
    }
    sqlite3_finalize(room);
    sqlite3_finalize(line);
    return exec(db, "COMMIT;");
}

int pagesOf(const QString &path)
{
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    return document ? document->numPages() : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int rooms = qEnvironmentVariableIntValue("LOCAVIA_BENCH_EXPORT_ROOMS") > 0
                          ? qEnvironmentVariableIntValue("LOCAVIA_BENCH_EXPORT_ROOMS")
                          : 5000;
    const int runs = bench::runsAsked(5);
    QTemporaryDir directory;
    QTemporaryDir output;
    qputenv("TMPDIR", QFile::encodeName(output.path()));
    QStringList opened;
    platform::FileOpener::setOpener([&opened](const QString &path) {
        opened.append(path);
        return true;
    });
    try {
        data::SqliteDatabaseInstaller::install(directory.path(), platform::resourcesDirectory());
        eo::EOModel &model = eo::EOModelGroup::defaultGroup().addModelWithFile(
            platform::resourcePath(QStringLiteral("models/Locavia.json")));
        QVariantMap dictionary = model.connectionDictionary();
        dictionary.insert(QStringLiteral("URL"),
                          QStringLiteral("sqlite://") + directory.path() + QStringLiteral("/locavia.db"));
        model.setConnectionDictionary(dictionary);
        {
            eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
            data::KORDataBusOC dataBus;
            dataBus.initDataBusWithModel(model.name(), &context);
            dataBus.fetchArray(QStringLiteral("TypeSalle"), eo::EOQualifierPtr(), {});
            if (!populate(static_cast<eo::EOSQLiteAdaptor *>(dataBus.dataBusAdaptor())->handle(), rooms))
                return 1;
        }

        std::vector<double> exportTimes, bareTimes, printTimes;
        // Processor times as well: on a shared machine the clock also counts the other programs' turns.
        std::vector<double> exportCpuTimes, bareCpuTimes, printCpuTimes;
        qsizetype exportBytes = 0;
        qsizetype exportLines = 0;
        int pages = 0;
        long long checksum = 0;
        for (int run = 0; run < runs; ++run) {
            // A fresh stack each time: the records are made, as on the first export of a session.
            eo::EOEditingContext context(eo::EOModelGroup::defaultGroup());
            data::KORDataBusOC dataBus;
            dataBus.initDataBusWithModel(model.name(), &context);
            buildings::Batiment register_(dataBus);
            register_.chargeExport();
            register_.form().listeBatiments->setCurrentIndex(
                register_.form().listeBatiments->findText(batiment));

            const QString file = output.filePath(QStringLiteral("export-%1.txt").arg(run));
            platform::SavePanel::setNextAnswer(file);
            const double exportCpuBefore = cpuMs();
            QElapsedTimer timer;
            timer.start();
            register_.exportToFile(nullptr);
            exportTimes.push_back(elapsedMs(timer));
            exportCpuTimes.push_back(cpuMs() - exportCpuBefore);
            QFile written(file);
            if (!written.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "le fichier d'export n'a pas été écrit\n");
                return 1;
            }
            const QByteArray bytes = written.readAll();
            exportBytes = bytes.size();
            exportLines = bytes.count('\n');

            auto *adaptor = static_cast<eo::EOSQLiteAdaptor *>(dataBus.dataBusAdaptor());
            const bench::BareQuery roomsQuery(model, adaptor->dialect(), QStringLiteral("SallesVix"),
                                              buildings::RoomListExport::qualifierSalles(batiment),
                                              buildings::RoomListExport::ordreDuFichier());
            const bench::BareQuery linesQuery(model, adaptor->dialect(), QStringLiteral("DetailPourcentage"),
                                              buildings::RoomListExport::qualifierLignes(batiment),
                                              buildings::RoomListExport::ordreDesLignes());
            const double bareCpuBefore = cpuMs();
            timer.restart();
            checksum += roomsQuery.run(adaptor->handle());
            checksum += linesQuery.run(adaptor->handle());
            bareTimes.push_back(elapsedMs(timer));
            bareCpuTimes.push_back(cpuMs() - bareCpuBefore);

            opened.clear();
            const double cpuBefore = cpuMs();
            timer.restart();
            register_.imprimerListe(nullptr);
            printTimes.push_back(elapsedMs(timer));
            printCpuTimes.push_back(cpuMs() - cpuBefore);
            if (opened.size() != 1) {
                std::fprintf(stderr, "la liste imprimée n'a pas été ouverte\n");
                return 1;
            }
            pages = pagesOf(opened.first());
            QFile::remove(opened.first());
        }
        const double exportMedian = bench::median(exportTimes);
        const double bareMedian = bench::median(bareTimes);
        std::printf("export_rooms: %d\n", rooms);
        std::printf("export_percentage_lines: %d\n", rooms * 4);
        std::printf("runs: %d\n", runs);
        std::printf("export_file_lines: %lld\n", (long long)exportLines);
        std::printf("export_file_bytes: %lld\n", (long long)exportBytes);
        std::printf("export_median_ms: %.1f\n", exportMedian);
        std::printf("export_bare_sqlite3_median_ms: %.1f\n", bareMedian);
        std::printf("export_to_bare_ratio: %.2f\n", bareMedian > 0 ? exportMedian / bareMedian : 0.0);
        const double exportCpu = bench::median(exportCpuTimes);
        const double bareCpu = bench::median(bareCpuTimes);
        std::printf("export_cpu_median_ms: %.1f\n", exportCpu);
        std::printf("export_bare_sqlite3_cpu_median_ms: %.1f\n", bareCpu);
        std::printf("export_to_bare_cpu_ratio: %.2f\n", bareCpu > 0 ? exportCpu / bareCpu : 0.0);
        std::printf("print_pdf_median_ms: %.1f\n", bench::median(printTimes));
        std::printf("print_pdf_cpu_median_ms: %.1f\n", bench::median(printCpuTimes));
        std::printf("print_pdf_pages: %d\n", pages);
        if (checksum == 42)
            std::fprintf(stderr, " ");
    } catch (const eo::EOException &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
