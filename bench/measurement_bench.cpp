// SPDX-License-Identifier: GPL-3.0-or-later
// Timings of the measurement evaluation, on a real X display
// (bench/measurement_bench.sh):
//   bench_measurement [REPEATS]
// Opens the open-plan office prognosis as the program does, presses F3 and
// measures until the measurement window is exposed and completely painted:
// the first time, when the plugin and Qt Charts are loaded. Then it pastes
// 1000 positions and measures, REPEATS times, an edit of one cell until the
// evaluation, the results and both charts are redrawn, and REPEATS times
// the window closed and opened again with F3. Prints
//   first_open_ms <ms>
//   recompute_1000_ms <median> <max>
//   reopen_ms <median> <max>
//   charts_loaded_before_f3 <0|1>   (Qt Charts mapped into the process)
// Exit status 1 when the window does not appear or does not evaluate.

#include "companionbench.h"
#include "figures.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QLabel>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace orvella;
using namespace orvella::bench;

namespace {

constexpr int kPositions = 1000;

// The number of positions the window evaluated, as its results show it: the
// value of the last result row ("n").
QString positionsShown(QWidget* window)
{
    auto* box = window->findChild<QWidget*>(QStringLiteral("results"));
    auto* grid = box ? qobject_cast<QGridLayout*>(box->layout()) : nullptr;
    QLayoutItem* item = grid ? grid->itemAtPosition(grid->rowCount() - 1, 2) : nullptr;
    auto* label = item ? qobject_cast<QLabel*>(item->widget()) : nullptr;
    return label ? label->text() : QString();
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    setUpProgram();
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    Shell shell;
    QWidget* calculator = openActivePrognosis(shell, "bench_measurement");
    if (!calculator)
        return 1;
    const bool chartsBefore = chartsMapped();

    QWidget* window = nullptr;
    const double first = openCompanionByKey(calculator, Qt::Key_F3, QStringLiteral("measurementWindow"), &window);
    if (first < 0) {
        std::fprintf(stderr, "bench_measurement: no measurement window after F3\n");
        return 1;
    }

    // 1000 positions from 1 to 20 m, pasted as from a spreadsheet; the
    // plugin's classes are not linked here (that would load Qt Charts at
    // start), so the table is worked through its view and model.
    auto* table = window->findChild<QTableView*>(QStringLiteral("positions"));
    if (!table) {
        std::fprintf(stderr, "bench_measurement: no table of positions\n");
        return 1;
    }
    QString rows;
    for (int i = 0; i < kPositions; ++i)
        rows += QStringLiteral("%1\t%2\t0.%3\t38\n").arg(1 + i % 20).arg(60 - i % 20).arg(80 - 3 * (i % 20));
    QApplication::clipboard()->setText(rows);
    table->setFocus();
    table->setCurrentIndex(table->model()->index(0, 0));
    QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
    window->repaint();
    if (positionsShown(window) != QString::number(kPositions / 20 * 15)) {
        std::fprintf(stderr, "bench_measurement: the 1000 positions were not evaluated (%s)\n",
                     qPrintable(positionsShown(window)));
        return 1;
    }

    // Each edit changes the level at 2 m, which enters the regression:
    // 59 -> 58 -> 59 ...
    QAbstractItemModel* model = table->model();
    std::vector<double> recompute;
    for (int i = 0; i < 2 * repeats; ++i) {
        QElapsedTimer edit;
        edit.start();
        model->setData(model->index(1, 1), i % 2 ? QStringLiteral("59") : QStringLiteral("58"));
        window->repaint();
        recompute.push_back(double(edit.nsecsElapsed()) / 1e6);
    }
    std::sort(recompute.begin(), recompute.end());

    // Closed and opened again with F3, the 1000 positions kept.
    std::vector<double> reopen;
    for (int i = 0; i < repeats; ++i) {
        window->close();
        calculator->activateWindow();
        if (!QTest::qWaitForWindowActive(calculator))
            return 1;
        const double ms = openCompanionByKey(calculator, Qt::Key_F3, QStringLiteral("measurementWindow"), &window);
        if (ms < 0) {
            std::fprintf(stderr, "bench_measurement: no measurement window after F3 again\n");
            return 1;
        }
        reopen.push_back(ms);
    }
    std::sort(reopen.begin(), reopen.end());

    std::printf("first_open_ms %s\n", figure(first).constData());
    std::printf("recompute_1000_ms %s %s\n", figure(recompute[recompute.size() / 2]).constData(),
                figure(recompute.back()).constData());
    std::printf("reopen_ms %s %s\n", figure(reopen[reopen.size() / 2]).constData(), figure(reopen.back()).constData());
    std::printf("charts_loaded_before_f3 %d\n", chartsBefore ? 1 : 0);
    return 0;
}
