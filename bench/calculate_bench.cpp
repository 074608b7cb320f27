// SPDX-License-Identifier: GPL-3.0-or-later
// A calculate click answered, and the Verlauf opened, in the program as the
// user starts it (bench/calculate_bench.sh), on a real X display:
//   bench_calculate clicks REPEATS
//     The Kritische Feuchte calculator opened from the menu; its calculate
//     button pressed and released through the X server (XTest), as a mouse
//     does. Measures from the release to the first drawing that reaches the
//     result field, seen through the X Damage extension: the first click of
//     the process (it loads the history plugin and writes the first entry,
//     which is on disk when the click returns), then REPEATS later ones, each
//     with the room temperature changed so that the results change. Prints
//       first_click_ms <ms>
//       later_click_ms <median> <max>
//   bench_calculate verlauf REPEATS
//     Ctrl+H in the calculator until the Verlauf is exposed and painted: the
//     first time (the plugin, Qt SQL and the file opened), then REPEATS times
//     closed and opened again (closing hides it). Prints
//       verlauf_first_ms <ms>
//       verlauf_reopen_ms <median> <max>
// The Verlauf is the one in XDG_DATA_HOME (the script gives each run an
// empty one or a copy of 100 000 entries). Exit status 1 when a window
// does not appear or a click is not answered.

#include "companionbench.h"
#include "figures.h"
#include "historyrecording.h"

#include "form.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace orvella;
using namespace orvella::bench;

namespace {

std::pair<double, double> medianAndMax(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back()};
}

// The program's X server seen from a connection of its own: the pointer
// driven through XTest, the drawings on one window through Damage.
class XProbe {
public:
    explicit XProbe(QWidget* window) : display_(XOpenDisplay(nullptr))
    {
        int error = 0, major = 0, minor = 0;
        if (!display_ || !XDamageQueryExtension(display_, &damageEvent_, &error) ||
            !XTestQueryExtension(display_, &error, &error, &major, &minor))
            return;
        damage_ = XDamageCreate(display_, Window(window->winId()), XDamageReportRawRectangles);
        XSync(display_, False);
        ok_ = true;
    }
    ~XProbe()
    {
        if (damage_)
            XDamageDestroy(display_, damage_);
        if (display_)
            XCloseDisplay(display_);
    }
    bool ok() const { return ok_; }

    // Milliseconds from the release of a click on `button` to the first
    // drawing that meets `field` (in its window's coordinates); -1 when none
    // comes within 5 s.
    [[gnu::noinline]] double clickUntilDrawn(QAbstractButton* button, const QRect& field)
    {
        const QPoint at = button->mapToGlobal(button->rect().center());
        XTestFakeMotionEvent(display_, -1, at.x(), at.y(), CurrentTime);
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
        XSync(display_, False);
        // The press handled and its drawing seen before the release.
        waitFor([&] { return button->isDown(); });
        QTest::qWait(30);
        discard();
        QElapsedTimer t;
        t.start();
        XTestFakeButtonEvent(display_, 1, False, CurrentTime);
        XFlush(display_);
        while (t.elapsed() < 5000) {
            QCoreApplication::processEvents();
            while (XPending(display_)) {
                XEvent event;
                XNextEvent(display_, &event);
                if (event.type != damageEvent_ + XDamageNotify)
                    continue;
                const auto& notify = reinterpret_cast<const XDamageNotifyEvent&>(event);
                const QRect area(notify.area.x, notify.area.y, notify.area.width, notify.area.height);
                if (area.intersects(field))
                    return double(t.nsecsElapsed()) / 1e6;
            }
        }
        return -1.0;
    }

private:
    void discard()
    {
        XSync(display_, False);
        while (XPending(display_)) {
            XEvent event;
            XNextEvent(display_, &event);
        }
    }

    Display* display_;
    Damage damage_ = 0;
    int damageEvent_ = 0;
    bool ok_ = false;
};

int clicks(QWidget* calculator, int repeats)
{
    const auto* window = qobject_cast<const CalculatorWindow*>(calculator);
    const CalculatorModel* model = window ? window->models().front() : nullptr;
    auto* button = model ? calculator->findChild<QAbstractButton*>(QString::fromStdString(model->calculateButton))
                         : nullptr;
    auto* input = model ? calculator->findChild<QLineEdit*>(QString::fromStdString(model->inputs[0].field)) : nullptr;
    auto* result = model ? calculator->findChild<QLineEdit*>(QString::fromStdString(model->results[0].field))
                         : nullptr;
    XProbe probe(calculator);
    if (!button || !input || !result || !probe.ok()) {
        std::fprintf(stderr, "bench_calculate: no calculate button, fields, XTest or Damage\n");
        return 1;
    }
    const QRect field(result->mapTo(calculator, QPoint(0, 0)), result->size());
    std::vector<double> times;
    for (int i = 0; i <= repeats; ++i) {
        // 20 and 21 °C in turn: every click changes the results.
        input->setText(i % 2 ? QStringLiteral("21") : QStringLiteral("20"));
        QTest::qWait(20);
        const QString before = result->text();
        const double ms = probe.clickUntilDrawn(button, field);
        if (ms < 0 || result->text() == before) {
            std::fprintf(stderr, "bench_calculate: click %d not answered in the result field\n", i + 1);
            return 1;
        }
        times.push_back(ms);
    }
    std::printf("first_click_ms %s\n", figure(times.front()).constData());
    const auto [median, max] = medianAndMax({times.begin() + 1, times.end()});
    std::printf("later_click_ms %s %s\n", figure(median).constData(), figure(max).constData());
    return 0;
}

int verlauf(QWidget* calculator, int repeats)
{
    const QString name = QStringLiteral("verlaufWindow");
    std::vector<double> times;
    for (int i = 0; i <= repeats; ++i) {
        // Ctrl+H is a command of the active window.
        calculator->activateWindow();
        if (!QTest::qWaitForWindowActive(calculator)) {
            std::fprintf(stderr, "bench_calculate: the calculator did not become active\n");
            return 1;
        }
        QWidget* window = nullptr;
        const double ms = openCompanionByKey(calculator, Qt::Key_H, name, &window, nullptr, Qt::ControlModifier);
        if (ms < 0) {
            std::fprintf(stderr, "bench_calculate: no Verlauf after Ctrl+H\n");
            return 1;
        }
        times.push_back(ms);
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::qWait(20);
    }
    std::printf("verlauf_first_ms %s\n", figure(times.front()).constData());
    const auto [median, max] = medianAndMax({times.begin() + 1, times.end()});
    std::printf("verlauf_reopen_ms %s %s\n", figure(median).constData(), figure(max).constData());
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    const bool clicking = argc > 1 && std::strcmp(argv[1], "clicks") == 0;
    if (argc < 2 || (!clicking && std::strcmp(argv[1], "verlauf") != 0)) {
        std::fprintf(stderr, "usage: bench_calculate clicks|verlauf [REPEATS]\n");
        return 2;
    }
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    QApplication app(argc, argv);
    setUpProgram();
    installHistoryCommand();
    installHistoryRecording();

    Shell shell;
    shell.menu().show();
    shell.open(Calculator::CriticalHumidity);
    QWidget* calculator = shell.calculator(Calculator::CriticalHumidity)->window();
    if (!QTest::qWaitForWindowExposed(calculator)) {
        std::fprintf(stderr, "bench_calculate: the calculator did not appear\n");
        return 1;
    }
    QTest::qWait(100);
    return clicking ? clicks(calculator, repeats) : verlauf(calculator, repeats);
}
