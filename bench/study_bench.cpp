// SPDX-License-Identifier: GPL-3.0-or-later
// Timings of the parameter study, on a real X display (bench/study_bench.sh):
//   bench_study [REPEATS]
// Opens the open-plan office prognosis as the program does, presses F2 and
// measures until the study window is exposed and completely painted: the
// first time (the plugin and Qt Charts are loaded then), and REPEATS times
// each a new study window (of the calculator opened afresh from the menu)
// and the study reopened after it was closed. Then, with 1001 points over R,
// it measures each change of the range until the window is repainted, and
// prints
//   first_open_ms <ms>
//   later_open_ms <median> <max>     (new windows)
//   reopen_ms <median> <max>
//   recompute_1001_ms <median> <max>
//   charts_loaded_before_f2 <0|1>   (Qt Charts mapped into the process)
// Exit status 1 when a window does not appear.
// Under callgrind started with --collect-atstart=no (study_bench.sh
// --instructions) only the new study windows are counted: from F2 until the
// window is painted.

#include "companionbench.h"
#include "figures.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <vector>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_TOGGLE_COLLECT
#endif

using namespace orvella;
using namespace orvella::bench;

namespace {

// F2 in `calculator` until the study is exposed and painted; -1 when it does
// not appear.
double openStudy(QWidget* calculator, QWidget** study)
{
    double exposed = 0.0;
    const double painted = openCompanionByKey(calculator, Qt::Key_F2, QStringLiteral("studyWindow"), study, &exposed);
    if (painted >= 0 && qEnvironmentVariableIsSet("BENCH_STUDY_DETAIL"))
        std::fprintf(stderr, "detail: exposed %s painted %s\n", figure(exposed).constData(),
                     figure(painted).constData());
    return painted;
}

std::pair<double, double> medianAndMax(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back()};
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    setUpProgram();
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    Shell shell;
    QWidget* calculator = openActivePrognosis(shell, "bench_study");
    if (!calculator)
        return 1;
    const bool chartsBefore = chartsMapped();

    QWidget* study = nullptr;
    const double first = openStudy(calculator, &study);
    if (first < 0) {
        std::fprintf(stderr, "bench_study: no study window\n");
        return 1;
    }
    // Later studies: in a new window (the calculator closed with CLOSE and
    // opened again from the menu), and reopened after closing the study.
    std::vector<double> later, reopened;
    auto activate = [&calculator] {
        calculator->activateWindow();
        return QTest::qWaitForWindowActive(calculator);
    };
    for (int i = 0; i < repeats; ++i) {
        study->close();
        if (!activate())
            return 1;
        const double again = openStudy(calculator, &study);
        QTest::mouseClick(calculator->findChild<QPushButton*>(QStringLiteral("cmdUload")), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        shell.open(Calculator::OpenPlanOffice);
        calculator = shell.calculator(Calculator::OpenPlanOffice)->window();
        if (!activate())
            return 1;
        CALLGRIND_TOGGLE_COLLECT;
        const double fresh = openStudy(calculator, &study);
        CALLGRIND_TOGGLE_COLLECT;
        if (again < 0 || fresh < 0)
            return 1;
        reopened.push_back(again);
        later.push_back(fresh);
    }

    // 1001 points over R from 1 to 32 m (the window opens over R); each key
    // press in "bis" changes the range: 32 -> 3 -> 32 ...
    study->findChild<QSpinBox*>(QStringLiteral("points"))->setValue(1001);
    auto* to = study->findChild<QLineEdit*>(QStringLiteral("to"));
    to->setFocus();
    to->end(false);
    study->repaint();
    std::vector<double> recompute;
    for (int i = 0; i < 2 * repeats; ++i) {
        QElapsedTimer t;
        t.start();
        QTest::keyClick(to, i % 2 ? Qt::Key_2 : Qt::Key_Backspace);
        study->repaint();
        recompute.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    // The plugin's classes are not linked here (that would load Qt Charts
    // at start): the table tells the number of points.
    auto* table = study->findChild<QTableView*>(QStringLiteral("table"));
    if (!table || table->model()->rowCount() != 1001) {
        std::fprintf(stderr, "bench_study: the study did not compute 1001 points\n");
        return 1;
    }

    const auto [laterMedian, laterMax] = medianAndMax(later);
    const auto [reopenedMedian, reopenedMax] = medianAndMax(reopened);
    const auto [recomputeMedian, recomputeMax] = medianAndMax(recompute);
    std::printf("first_open_ms %s\n", figure(first).constData());
    std::printf("later_open_ms %s %s\n", figure(laterMedian).constData(), figure(laterMax).constData());
    std::printf("reopen_ms %s %s\n", figure(reopenedMedian).constData(), figure(reopenedMax).constData());
    std::printf("recompute_1001_ms %s %s\n", figure(recomputeMedian).constData(),
                figure(recomputeMax).constData());
    std::printf("charts_loaded_before_f2 %d\n", chartsBefore ? 1 : 0);
    return 0;
}
