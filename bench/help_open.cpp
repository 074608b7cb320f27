// SPDX-License-Identifier: GPL-3.0-or-later
// Opening time of the help window: from the F1 key press in a calculator
// until the help window has painted its page, measured inside the program
// as the user starts it (the menu, the calculator opened from it, the help
// plugin loaded from the build tree).
//   bench_help_open [REPEATS]
// For each of the five calculators: the first F1 of the run ("cold": the
// help plugin and Qt PrintSupport are loaded, for the first calculator
// only), then REPEATS times close the help window and press F1 again
// ("warm": a new help window, everything loaded), and F1 while the help is
// open (it is read again and raised), then REPEATS times an input changed and
// the calculate button clicked, until the help has painted the worked
// calculation again (not for the keypad). Prints one line per calculator:
//   <window> <cold ms or -> <median warm ms> <max warm ms> <raise ms>
//   <median click ms or -> <max click ms or ->
// Runs on any display; bench/help_open.sh runs it on a private Xvfb.

#include "companions.h"
#include "design.h"
#include "figures.h"
#include "shell.h"

#include "form.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace orvella;

namespace {

// Notes the first paint of a help window's page.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            auto* w = qobject_cast<QWidget*>(watched);
            if (w && w->window()->objectName() == QLatin1String("helpWindow") && w->parent() &&
                w->parent()->objectName() == QLatin1String("helpBrowser"))
                painted = true;
        }
        return false;
    }
};

QWidget* helpOf(const QWidget* owner)
{
    for (QWidget* w : owner->findChildren<QWidget*>(QStringLiteral("helpWindow"), Qt::FindDirectChildrenOnly))
        if (w->isVisible())
            return w;
    return nullptr;
}

// Presses F1 in `window` and returns the milliseconds until the help page is
// painted; with `untilPainted` false, until the events F1 posted are handled
// (an open help with an unchanged page need not paint again).
double pressF1(QWidget* window, PaintWatch& watch, bool untilPainted = true)
{
    watch.painted = false;
    QElapsedTimer timer;
    timer.start();
    if (QWidget* focus = window->focusWidget(); focus && QApplication::activeWindow() == window) {
        QTest::keyClick(focus, Qt::Key_F1);
    } else {
        // Without a window manager the window may not be active; the F1
        // command is the same action either way.
        for (QAction* a : window->actions())
            if (a->shortcut() == QKeySequence(Qt::Key_F1))
                a->trigger();
    }
    if (!untilPainted)
        QCoreApplication::processEvents();
    while (untilPainted && !watch.painted && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return timer.nsecsElapsed() / 1e6;
}

// Clicks the calculate button of each formula in `window` with its first input
// changed, and returns the milliseconds from each click until the help has
// painted its page again.
std::vector<double> clicksRefreshingTheHelp(QWidget* window, PaintWatch& watch, int repeats)
{
    std::vector<double> times;
    const auto* calculator = qobject_cast<const CalculatorWindow*>(window);
    for (const CalculatorModel* m : calculator ? calculator->models() : std::vector<const CalculatorModel*>{}) {
        auto* button = window->findChild<QAbstractButton*>(QString::fromStdString(m->calculateButton));
        auto* edit = m->inputs.empty() ? nullptr
                                       : window->findChild<QLineEdit*>(QString::fromStdString(m->inputs[0].field));
        for (int r = 0; button && edit && r < repeats; ++r) {
            edit->setText(r % 2 ? QStringLiteral("3") : QStringLiteral("4"));
            QCoreApplication::processEvents();
            watch.painted = false;
            QElapsedTimer timer;
            timer.start();
            QTest::mouseClick(button, Qt::LeftButton);
            while (!watch.painted && timer.elapsed() < 10000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
    }
    return times;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0.0 : (n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
}

}  // namespace

int main(int argc, char* argv[])
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    installDesignFonts();
    installQtTranslations();
    installCompanionCommands();
    addCompanionPluginPath(QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR));

    PaintWatch watch;
    app.installEventFilter(&watch);
    Shell shell;
    shell.menu().show();
    if (!QTest::qWaitForWindowExposed(shell.menu().window()))
        return 1;

    const char* const buttons[] = {"Command5", "Command3", "Command2", "Command4", "Command1"};
    const char* const names[] = {"frmDLprognose", "frmFeuchte", "frmSchall", "frmTemperatur",
                                 "frmCalculator"};
    bool cold = true;
    int failures = 0;
    for (int i = 0; i < 5; ++i) {
        shell.menu().show();
        QWidget* menu = shell.menu().window();
        menu->findChild<QAbstractButton*>(QString::fromLatin1(buttons[i]))->click();
        QWidget* window = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String(names[i]) && w->isVisible())
                window = w;
        if (!window || !QTest::qWaitForWindowExposed(window)) {
            std::fprintf(stderr, "%s did not open\n", names[i]);
            return 1;
        }
        // Without a window manager the window may stay inactive; pressF1 then
        // triggers the F1 command itself.
        (void)QTest::qWaitForWindowActive(window, 1000);
        QTest::qWait(50);

        const double first = pressF1(window, watch);
        failures += watch.painted ? 0 : 1;
        std::vector<double> warm;
        for (int r = 0; r < repeats; ++r) {
            if (QWidget* help = helpOf(window))
                help->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QTest::qWait(20);
            warm.push_back(pressF1(window, watch));
            failures += watch.painted ? 0 : 1;
        }
        // F1 with the help open reads the window again and raises it.
        const double raiseMs = pressF1(window, watch, false);
        const std::vector<double> clicks = clicksRefreshingTheHelp(window, watch, repeats);
        const QByteArray clickMedian = clicks.empty() ? "-" : figure(median(clicks));
        const QByteArray clickMax = clicks.empty() ? "-" : figure(*std::max_element(clicks.begin(), clicks.end()));

        std::printf("%-14s %8s %8s %8s %8s %8s %8s\n", names[i], cold ? figure(first).constData() : "-",
                    figure(median(warm)).constData(), figure(*std::max_element(warm.begin(), warm.end())).constData(),
                    figure(raiseMs).constData(), clickMedian.constData(), clickMax.constData());
        std::fflush(stdout);
        cold = false;
        window->findChild<QAbstractButton*>(QStringLiteral("cmdUload"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::qWait(20);
    }
    if (failures) {
        std::fprintf(stderr, "%d openings did not paint a help page\n", failures);
        return 1;
    }
    return 0;
}
