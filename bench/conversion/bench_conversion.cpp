// The conversion of a workbook whose "Sayfa1" holds 65,000 records, as a ratio to the workbook
// library reading all its cells in this process in the same run (goal: at most 1.5x), and the
// same records as the terminal's CSV. The conversion includes everything the button does
// after the dialog: the reader child, the lines, the append to veri.txt and its fsync.

#include "conversion.h"
#include "prompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <freexl.h>
#include <sys/resource.h>
#include <vector>

namespace {

class QuietPrompt : public Prompt {
public:
    void message(const QString& text) override { failures << text; }
    void warning(const QString& text) override { failures << text; }
    bool confirm(const QString&) override { return false; }
    void error(const QString& text) override { failures << text; }
    QString openFileName(const QString&, const QString&) override { return {}; }
    QStringList openFileNames(const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
    QStringList failures;
};

class NoMemo : public LineSink {
public:
    void clear() override {}
    void addLine(const QString&) override {}
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double msSince(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

// Processor time of this process and of its finished children, in ms: on a busy machine it
// says more about the work than the wall clock does.
double cpuMs() {
    double ms = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        ms += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
              double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    }
    return ms;
}

struct Timing {
    double wall;
    double cpu;
};

double median(const std::vector<Timing>& v, double Timing::*field) {
    std::vector<double> values;
    for (const Timing& t : v)
        values.push_back(t.*field);
    return median(values);
}

// Opens the workbook and reads every cell of Sayfa1 in this process: the least any reader
// of the file has to do.
Timing freexlReadAll(const QString& path, long& cellsRead) {
    const double cpu = cpuMs();
    QElapsedTimer timer;
    timer.start();
    const void* handle = nullptr;
    if (freexl_open(QFile::encodeName(path).constData(), &handle) != FREEXL_OK || !handle)
        return {-1, -1};
    unsigned int sheets = 0;
    freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheets);
    for (unsigned int i = 0; i < sheets; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(handle, static_cast<unsigned short>(i), &name) == FREEXL_OK &&
            qstrcmp(name, "Sayfa1") == 0)
            freexl_select_active_worksheet(handle, static_cast<unsigned short>(i));
    }
    unsigned int rows = 0;
    unsigned short columns = 0;
    freexl_worksheet_dimensions(handle, &rows, &columns);
    cellsRead = 0;
    for (unsigned int row = 0; row < rows; ++row) {
        for (unsigned short column = 0; column < columns; ++column) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(handle, row, column, &cell) == FREEXL_OK)
                ++cellsRead;
        }
    }
    freexl_close(handle);
    return {msSince(timer), cpuMs() - cpu};
}

Timing convert(const QString& path, int expectedLines) {
    QTemporaryDir folder;
    TextFormats formats;
    applyConversionTextFormats(formats);
    QuietPrompt prompt;
    NoMemo memo;
    NullProgress progress;
    const double cpu = cpuMs();
    QElapsedTimer timer;
    timer.start();
    const auto lines =
        convertExportFile(folder.path() + QLatin1Char('/'), path, formats, prompt, memo, progress);
    const Timing timing{msSince(timer), cpuMs() - cpu};
    if (lines != expectedLines) {
        std::fprintf(stderr, "conversion of %s gave %d lines, expected %d: %s\n", qPrintable(path),
                     lines.value_or(-1), expectedLines,
                     qPrintable(prompt.failures.join(QLatin1String(" / "))));
        std::exit(1);
    }
    return timing;
}

// The terminal's CSV of rows records and, made from it by LibreOffice as users do, the
// workbook with the dates as date cells. Made once and kept.
bool makeInputs(int rows, const QString& csv, const QString& xls) {
    if (QFile::exists(csv) && QFile::exists(xls))
        return true;
    QDir().mkpath(QFileInfo(csv).path());
    QFile out(csv);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write("No,Makine,Sicil No,Ad Soyad,Kart No,Mod,Giriş/Çıkış,Doğrulama,Tarih Saat\r\n");
    const QDateTime start(QDate(2011, 3, 1), QTime(7, 0));
    for (int i = 1; i <= rows; ++i) {
        const QDateTime when = start.addSecs(qint64(i) * 37);
        out.write(QStringLiteral("%1,%2,%3,Personel %3,0,1,%4,1,%5\r\n")
                      .arg(i)
                      .arg(1 + i % 12)
                      .arg(100 + i % 900)
                      .arg(i % 2)
                      .arg(when.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")))
                      .toUtf8());
    }
    out.close();
    QTemporaryDir work;
    const QString sheetCsv = work.filePath(QStringLiteral("Sayfa1.csv"));
    QFile::copy(csv, sheetCsv);
    QProcess soffice;
    soffice.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    soffice.start(QStringLiteral("soffice"),
                  {QStringLiteral("--headless"),
                   QStringLiteral("-env:UserInstallation=file://") + work.filePath("profile"),
                   QStringLiteral("--infilter=CSV:44,34,76,1,9/4"), QStringLiteral("--convert-to"),
                   QStringLiteral("xls:MS Excel 97"), QStringLiteral("--outdir"), work.path(),
                   sheetCsv});
    if (!soffice.waitForFinished(600000) || soffice.exitCode() != 0)
        return false;
    return QFile::rename(work.filePath(QStringLiteral("Sayfa1.xls")), xls);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool smoke = app.arguments().contains(QStringLiteral("--smoke"));
    int rows = 65000;
    QString csv;
    QString xls;
    int runs = 7;
    if (smoke) {
        rows = 4;
        runs = 1;
        csv = QStringLiteral(SELVANO_SOURCE_DIR "/tests/data/xls/csv/records.csv");
        xls = QStringLiteral(SELVANO_SOURCE_DIR "/tests/data/xls/records-date-cells.xls");
    } else {
        if (app.arguments().size() > 1)
            rows = app.arguments().at(1).toInt();
        const QString base = QStringLiteral(SELVANO_BENCH_DATA "/conversion-%1").arg(rows);
        csv = base + QStringLiteral(".csv");
        xls = base + QStringLiteral(".xls");
        if (!makeInputs(rows, csv, xls)) {
            std::fprintf(stderr, "cannot make the inputs (LibreOffice needed once)\n");
            return 2;
        }
    }

    const QString tiny = QStringLiteral(SELVANO_SOURCE_DIR "/tests/data/xls/title-only.xls");
    std::vector<Timing> library, workbook, text, child, libraryTiny;
    std::vector<double> reader, readBig, lines;
    long cells = 0;
    long tinyCells = 0;
    for (int run = 0; run < runs; ++run) {
        library.push_back(freexlReadAll(xls, cells));
        workbook.push_back(convert(xls, rows));
        text.push_back(convert(csv, rows));
        libraryTiny.push_back(freexlReadAll(tiny, tinyCells));
        child.push_back(convert(tiny, 0));
        QElapsedTimer timer;
        timer.start();
        readWorkbookSheet(tiny, QStringLiteral("Sayfa1"));
        reader.push_back(msSince(timer));
        // The parts of the workbook conversion: the child and the parsing of its answer, then
        // the lines.
        timer.restart();
        const Sheet sheet = readWorkbookSheet(xls, QStringLiteral("Sayfa1"));
        readBig.push_back(msSince(timer));
        TextFormats formats;
        applyConversionTextFormats(formats);
        NoMemo memo;
        NullProgress progress;
        timer.restart();
        exportLines(sheet, formats, memo, progress);
        lines.push_back(msSince(timer));
    }
    if (library.front().wall < 0) {
        std::fprintf(stderr, "the library cannot open %s\n", qPrintable(xls));
        return 1;
    }
    const double base = median(library, &Timing::wall);
    const double baseCpu = median(library, &Timing::cpu);
    auto report = [&](const char* what, const std::vector<Timing>& t) {
        std::printf("%s: %.1f ms = %.2fx (processor time %.1f ms = %.2fx)\n", what,
                    median(t, &Timing::wall), median(t, &Timing::wall) / base,
                    median(t, &Timing::cpu), median(t, &Timing::cpu) / baseCpu);
    };
    std::printf("rows %d, cells %ld, runs %d (medians)\n", rows, cells, runs);
    std::printf("library reads all cells in-process: %.1f ms (processor time %.1f ms)\n", base,
                baseCpu);
    report("workbook conversion", workbook);
    std::printf("  of which reading the sheet through the child: %.1f ms, building the lines: "
                "%.1f ms\n",
                median(readBig), median(lines));
    report("CSV conversion", text);
    std::printf("title-only workbook: library %.2f ms, reader child %.2f ms, whole conversion "
                "with the veri.txt fsync %.2f ms\n",
                median(libraryTiny, &Timing::wall), median(reader), median(child, &Timing::wall));
    return 0;
}
