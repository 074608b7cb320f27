// SPDX-License-Identifier: GPL-3.0-or-later
// Timings of the level list, on a real X display (bench/levellist_bench.sh):
//   bench_levellist [REPEATS]
// Opens the dB Calculator and its level list through the plugin, as the
// program does (the first opening: the plugin loaded, until the list is
// exposed and painted), and puts 100 000 levels on the clipboard (in both decimal
// marks, with units). Then REPEATS times: empties the list, presses Ctrl+V
// in it and measures until the results are computed and until the window
// is repainted with them; then, with the 100 000 levels in the list, an edit
// of one level and a key typed into "Fremdgeräusch LB", each until
// repainted, and REPEATS times the list closed and opened again until it is
// exposed and painted. Prints
//   first_open_ms <ms>
//   reopen_ms <median> <max>
//   paste_100000_results_ms <median> <max>
//   paste_100000_painted_ms <median> <max>
//   edit_one_of_100000_ms <median> <max>
//   background_key_100000_ms <median> <max>
// Exit status 1 when the window does not appear or does not hold the levels.
// Under callgrind with --collect-atstart=no only the pastes and the repaints
// after them are counted (bench/levellist_profile.sh).

#include "companions.h"
#include "figures.h"
#include "frmcalculator.h"
#include "design.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QWindow>

#include <valgrind/callgrind.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace orvella;

namespace {

std::pair<double, double> medianAndMax(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back()};
}

void print(const char* name, const std::vector<double>& v)
{
    const auto [median, max] = medianAndMax(v);
    std::printf("%s %s %s\n", name, figure(median).constData(), figure(max).constData());
}

double since(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

// Runs the event loop until `window` is exposed, then paints it; false when it
// is not exposed within 5 s.
bool shownAndPainted(QWidget* window)
{
    QElapsedTimer t;
    t.start();
    while (!(window->windowHandle() && window->windowHandle()->isExposed())) {
        if (t.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    window->repaint();
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    installDesignFonts();
    addCompanionPluginPath(QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR));
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;

    auto form = makeCalculatorForm([] {});
    form->show();
    auto* calculator = qobject_cast<CalculatorWindow*>(form->window());
    if (!QTest::qWaitForWindowExposed(calculator))
        return 1;
    QString error;
    QElapsedTimer opening;
    opening.start();
    CompanionPlugin* plugin = loadCompanionPlugin(QStringLiteral("orvella_levellist"), &error);
    if (!plugin) {
        std::fprintf(stderr, "bench_levellist: %s\n", qPrintable(error));
        return 1;
    }
    QWidget* list = plugin->open(companionRequest(*calculator));
    const double first = list && shownAndPainted(list) ? since(opening) : -1.0;
    if (!list || first < 0 || !QTest::qWaitForWindowActive(list)) {
        std::fprintf(stderr, "bench_levellist: the level list did not become active\n");
        return 1;
    }
    auto* levels = list->findChild<QTableView*>(QStringLiteral("levels"));
    auto* results = list->findChild<QTableWidget*>(QStringLiteral("results"));
    auto* clear = list->findChild<QPushButton*>(QStringLiteral("clearList"));
    auto* background = list->findChild<QLineEdit*>(QStringLiteral("background"));
    if (!levels || !results || !clear || !background)
        return 1;

    QString text;
    for (int i = 0; i < 100000; ++i)
        text += i % 3 == 0 ? QStringLiteral("62,4 dB\n") : i % 3 == 1 ? QStringLiteral("58.7\n") : QStringLiteral("60\n");
    QApplication::clipboard()->setText(text);

    std::vector<double> results100k, painted100k;
    for (int i = 0; i < repeats; ++i) {
        QTest::mouseClick(clear, Qt::LeftButton);
        list->repaint();
        levels->setFocus();
        QElapsedTimer t;
        t.start();
        CALLGRIND_TOGGLE_COLLECT;
        QTest::keyClick(levels, Qt::Key_V, Qt::ControlModifier);
        results100k.push_back(since(t));
        list->repaint();
        painted100k.push_back(since(t));
        CALLGRIND_TOGGLE_COLLECT;
        if (results->item(0, 2)->text() != QLatin1String("100000")) {
            std::fprintf(stderr, "bench_levellist: the list holds %s levels\n", qPrintable(results->item(0, 2)->text()));
            return 1;
        }
    }

    std::vector<double> edit, key;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer t;
        t.start();
        levels->model()->setData(levels->model()->index(i, 0), i % 2 ? QStringLiteral("61") : QStringLiteral("63"));
        list->repaint();
        edit.push_back(since(t));
    }
    background->setFocus();
    for (int i = 0; i < 2 * repeats; ++i) {
        QElapsedTimer t;
        t.start();
        QTest::keyClick(background, i % 2 ? Qt::Key_Backspace : Qt::Key_5);
        list->repaint();
        key.push_back(since(t));
    }

    // Closed and opened again, the 100 000 levels kept.
    std::vector<double> reopen;
    for (int i = 0; i < repeats; ++i) {
        list->close();
        QTest::qWait(20);
        QElapsedTimer t;
        t.start();
        if (plugin->open(companionRequest(*calculator)) != list || !shownAndPainted(list)) {
            std::fprintf(stderr, "bench_levellist: the level list did not open again\n");
            return 1;
        }
        reopen.push_back(since(t));
    }

    std::printf("first_open_ms %s\n", figure(first).constData());
    print("reopen_ms", reopen);
    print("paste_100000_results_ms", results100k);
    print("paste_100000_painted_ms", painted100k);
    print("edit_one_of_100000_ms", edit);
    print("background_key_100000_ms", key);
    return 0;
}
