// SPDX-License-Identifier: GPL-3.0-or-later
// Timings of the history store and its table model (bench/history_bench.sh):
//   bench_history FOLDER [ENTRIES]
// Writes FOLDER/orvella/verlauf.sqlite, as the program would in a data
// folder FOLDER: the first entry into a new file, 1000 entries one by one
// (the cost of recording on the calculator's thread), then ENTRIES (default
// 100 000) in all, and 200 more entries one by one into the full history.
// Then, each on a store opened afresh, the Verlauf's table: opening (the
// file and the first page), searches, and pages fetched while scrolling
// down. Prints, times in milliseconds:
//   record_first <ms>                      (new file: folder, schema, entry)
//   record <median> <p99> <max> <cpu median> <cpu p99> <cpu max>
//                                          (1000 entries, small history;
//                                          wall clock, then the thread's CPU)
//   record_full ...                        (200 entries, full history)
//   open <median> <max>                    (store + model's first page)
//   search "<text>" <median> <max> <rows>  (first page of the result)
//   fetch <median> <max>                   (each further page of 256)
//   index_step <median> <p99> <max> <steps>  (the search index taking
//                                          the entries, 32 a step)
//   entries <n>  file_mib <size>

#include "historymodel.h"
#include "historystore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlQuery>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace orvella;

namespace {

struct Stats {
    double median;
    double p99;
    double max;
};

Stats stats(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 99 / 100)], v.back()};
}

double msSince(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

// CPU time of the calling thread, in ms: what recording costs the thread,
// without the time another process held the processor.
double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

const char* const kIds[] = {"frmFeuchte", "frmTemperatur", "frmSchall.l", "frmSchall.p", "frmDLprognose"};
const char* const kNames[] = {"Kritische Feuchte Calculator", "KritischeTemperatur Calculator",
                              "Schallleistung - Schalldruck", "Schallleistung - Schalldruck",
                              "Großraumbüro DL2 Prognose"};

// Calculation i, with inputs and results that differ from one to the next.
CalculationRecord sample(int i)
{
    CalculationRecord r;
    const int k = i % 5;
    r.timeUtcMs = 1'700'000'000'000 + std::int64_t(i) * 60'000;
    r.calculatorId = kIds[k];
    r.window = r.calculatorId.substr(0, r.calculatorId.find('.'));
    r.calculator = kNames[k];
    r.programVersion = "1.1.0";
    const std::string a = std::to_string(15 + i % 10) + "," + std::to_string(i % 7);
    const std::string b = std::to_string(i % 13);
    r.inputs = {{"a", "Raumtemperatur", "°C", "txRaum", a, 0.0},
                {"b", "Oberflächentemperatur", "°C", "txOberflaeche", b, 0.0},
                {"c", "Abstand", "m", "txAbstand", std::to_string(1 + i % 16), 0.0}};
    r.results = {{"x", "Oberflächenkondensation", "%", "txKondens", std::to_string(40 + i % 50) + ",57"},
                 {"y", "Schimmelpilzbildungsgefahr", "%", "txSchimel", std::to_string(50 + i % 40) + ",72"}};
    return r;
}

// Records `count` entries from `first` on, one by one; prints the wall
// clock and the thread's CPU time per entry under `name`.
bool recordTimed(HistoryStore& store, int first, int count, const char* name)
{
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = first; i < first + count; ++i) {
        QElapsedTimer t;
        const double c = threadCpuMs();
        t.start();
        if (!store.record(sample(i)))
            return false;
        wall.push_back(msSince(t));
        cpu.push_back(threadCpuMs() - c);
    }
    const Stats w = stats(wall);
    const Stats c = stats(cpu);
    std::printf("%s %.3f %.3f %.3f %.3f %.3f %.3f\n", name, w.median, w.p99, w.max, c.median, c.p99, c.max);
    return true;
}

// Copies the first `block` entries until the history holds `total`, in one
// transaction: the filling is not what is measured.
bool multiply(HistoryStore& store, int block, int total)
{
    QSqlQuery q(store.database());
    if (!q.exec("BEGIN"))
        return false;
    for (int k = 1; k * block < total; ++k) {
        const int n = std::min(block, total - k * block);
        const QString shift = QString::number(std::int64_t(k) * block);
        if (!q.exec(QStringLiteral(
                "INSERT INTO entry (id, time_utc_ms, calculator_id, window, calculator, part,"
                " program_version, expression, note, search)"
                " SELECT id + %1, time_utc_ms + %1 * 60000, calculator_id, window, calculator, part,"
                " program_version, expression, note, search FROM entry WHERE id <= %2")
                        .arg(shift).arg(n)) ||
            !q.exec(QStringLiteral("INSERT INTO quantity SELECT entry_id + %1, kind, position, key, label,"
                                   " unit, field, text, number FROM quantity WHERE entry_id <= %2")
                        .arg(shift).arg(n)))
            return false;
    }
    // The filling's one large transaction leaves a log of its own size;
    // copied and cut off here, so that the first entry after it does not
    // pay for cutting it.
    return q.exec("COMMIT") && q.exec("PRAGMA wal_checkpoint(TRUNCATE)");
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: bench_history FOLDER [ENTRIES]\n", stderr);
        return 2;
    }
    const QString path = QDir(QString::fromLocal8Bit(argv[1])).filePath("orvella/verlauf.sqlite");
    const int total = argc > 2 ? std::atoi(argv[2]) : 100000;
    constexpr int kBlock = 1000;
    auto fail = [](const char* what) {
        std::fprintf(stderr, "bench_history: %s failed\n", what);
        return 1;
    };

    {
        HistoryStore store(path);
        QElapsedTimer t;
        t.start();
        if (!store.record(sample(0)))
            return fail("the first entry");
        std::printf("record_first %.3f\n", msSince(t));

        if (!recordTimed(store, 1, kBlock - 1, "record"))
            return fail("recording");

        if (!multiply(store, kBlock, total - 200))
            return fail("filling");
        // A few entries with a note that only they have.
        for (std::int64_t id : {7, 50007, 90007})
            store.setNote(id, QStringLiteral("Schirmhöhe 1,6 m im 2. OG angenommen"));
        if (!recordTimed(store, total - 200, 200, "record_full"))
            return fail("recording into the full history");
        std::printf("entries %lld\n", static_cast<long long>(store.count()));
        // What the writer does while it is idle: the search index takes
        // the entries in steps of 32 (an entry that comes meanwhile waits
        // for one step at the most).
        std::vector<double> steps;
        for (bool more = true; more;) {
            QElapsedTimer t;
            t.start();
            more = store.indexSearch(32);
            steps.push_back(msSince(t));
        }
        const Stats s = stats(steps);
        std::printf("index_step %.3f %.3f %.3f %zu\n", s.median, s.p99, s.max, steps.size());
    }
    std::printf("file_mib %.1f\n", double(QFileInfo(path).size()) / (1024.0 * 1024.0));

    // The Verlauf opened: the file, then the first page of the newest entries.
    std::vector<double> opens;
    for (int i = 0; i < 9; ++i) {
        QElapsedTimer t;
        t.start();
        HistoryStore store(path);
        HistoryModel model(store);
        opens.push_back(msSince(t));
        if (model.rowCount() != HistoryModel::kFetchSize)
            return fail("opening");
    }
    const Stats o = stats(opens);
    std::printf("open %.3f %.3f\n", o.median, o.max);

    HistoryStore store(path);
    HistoryModel model(store);
    for (const char* text : {"Raumtemperatur", "17,3", "52.57 65,72", "Schirmhöhe", "Nachhallzeit"}) {
        std::vector<double> times;
        for (int i = 0; i < 9; ++i) {
            QElapsedTimer t;
            t.start();
            model.setSearchText(QString::fromUtf8(text));
            times.push_back(msSince(t));
        }
        const Stats s = stats(times);
        std::printf("search \"%s\" %.3f %.3f %d\n", text, s.median, s.max, model.rowCount());
    }
    model.setSearchText({});
    std::vector<double> fetches;
    for (int i = 0; i < 100 && model.canFetchMore({}); ++i) {
        QElapsedTimer t;
        t.start();
        model.fetchMore({});
        fetches.push_back(msSince(t));
    }
    const Stats s = stats(fetches);
    std::printf("fetch %.3f %.3f %zu\n", s.median, s.max, fetches.size());
    return 0;
}
