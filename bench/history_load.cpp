// SPDX-License-Identifier: GPL-3.0-or-later
// The first calculation recorded in a session, as the program will do it
// (bench/history_bench.sh): loads the history plugin from the build tree
// (and with it Qt SQL), then records one entry, which loads SQLite's driver
// and opens the file in the user's data folder (XDG_DATA_HOME); then ten
// more. Links what the program links, not the history. Prints, in ms:
//   sql_mapped_before <0|1>
//   load_plugin <ms>
//   first_record <ms>
//   next_record <median> <max>

#include "historyservice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace orvella;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    addCompanionPluginPath(QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR));
    QFile maps(QStringLiteral("/proc/self/maps"));
    const bool before = maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Sql");
    std::printf("sql_mapped_before %d\n", before ? 1 : 0);

    QElapsedTimer t;
    t.start();
    QString error;
    HistoryService* history = loadHistoryService(&error);
    if (!history) {
        std::fprintf(stderr, "bench_history_load: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("load_plugin %.3f\n", double(t.nsecsElapsed()) / 1e6);

    CalculationRecord r;
    r.calculatorId = "frmFeuchte";
    r.window = "frmFeuchte";
    r.calculator = "Kritische Feuchte Calculator";
    r.inputs = {{"thetaR", "Raumtemperatur", "°C", "txRaum", "20,5", 20.5},
                {"thetaS", "Oberflächentemperatur", "°C", "txOberflaeche", "10", 10.0}};
    r.results = {{"phiK", "Oberflächenkondensation", "%", "txKondens", "52,57"}};
    t.start();
    if (!history->record(r))
        return 1;
    std::printf("first_record %.3f\n", double(t.nsecsElapsed()) / 1e6);
    std::vector<double> times;
    for (int i = 0; i < 11; ++i) {
        t.start();
        if (!history->record(r))
            return 1;
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf("next_record %.3f %.3f\n", times[times.size() / 2], times.back());
    return 0;
}
