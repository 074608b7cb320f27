// SPDX-License-Identifier: GPL-3.0-or-later
// Records entries into a history file as fast as it can, for the tests that
// run it as a separate process (two at once, or killed in the middle):
//   history_driver DATABASE COUNT TAG
// Entry i (0 <= i < COUNT) is a calculation of the critical humidity with
// the expression "TAG i". After each commit the driver writes "<id> <i>" on
// a line of its own to stdout, unbuffered, so that every line a killed
// driver has written stands for an entry that was committed before the kill.
// Exits 0 when every entry was recorded; 1 at the first one that was not,
// with the notice on stderr.

#include "historystore.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <string>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 4) {
        std::fputs("usage: history_driver DATABASE COUNT TAG\n", stderr);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const long count = std::strtol(argv[2], nullptr, 10);
    const std::string tag = argv[3];

    orvella::HistoryStore store(path, [](const QString& notice) {
        std::fprintf(stderr, "%s\n", notice.toUtf8().constData());
    });
    orvella::CalculationRecord r;
    r.calculatorId = "frmFeuchte";
    r.window = "frmFeuchte";
    r.calculator = "Kritische Feuchte Calculator";
    r.programVersion = "driver";
    for (long i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        r.timeUtcMs = 1'700'000'000'000 + i;
        r.expression = tag + " " + n;
        r.inputs = {{"thetaR", "Raumtemperatur", "°C", "txRaum", n, double(i)},
                    {"thetaO", "Oberflächentemperatur", "°C", "txOberfl", tag, 0.0}};
        r.results = {{"phi100", "Tauwasser", "%", "txTau", n + ",5"}};
        const std::optional<std::int64_t> id = store.record(r);
        if (!id)
            return 1;
        // One write(2) per line: nothing waits in a buffer of this process.
        const std::string line = std::to_string(*id) + " " + n + "\n";
        if (::write(STDOUT_FILENO, line.data(), line.size()) != ssize_t(line.size()))
            return 1;
    }
    return 0;
}
