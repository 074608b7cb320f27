// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the benchmarks of the companion windows that draw charts (the study on
// F2, the measurement evaluation on F3) share: the program's set-up with its
// companion commands, the open-plan office prognosis made active, and a key
// pressed there until the companion is exposed and painted.

#include "companions.h"
#include "design.h"
#include "shell.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QWindow>

#include <cstdio>

namespace orvella::bench {

// Whether Qt Charts is mapped into this process.
inline bool chartsMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Charts");
}

// Runs the event loop until `done` or 5 s have passed; false on the timeout.
template <class Done>
bool waitFor(Done done)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > 5000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// The program's fonts, its companion commands and the plugins of the build
// tree, as the program sets them up at start.
inline void setUpProgram()
{
    installDesignFonts();
    addCompanionPluginPath(QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR));
    installCompanionCommands();
}

// The menu shown and the prognosis opened from it and active; null (with a
// line on stderr from `program`) when it does not become active.
inline QWidget* openActivePrognosis(Shell& shell, const char* program)
{
    shell.menu().show();
    shell.open(Calculator::OpenPlanOffice);
    QWidget* calculator = shell.calculator(Calculator::OpenPlanOffice)->window();
    calculator->activateWindow();
    if (QTest::qWaitForWindowActive(calculator))
        return calculator;
    std::fprintf(stderr, "%s: the calculator did not become active\n", program);
    return nullptr;
}

// Presses `key` (with `modifiers`) in `calculator` and waits until its companion `name` is
// exposed, then paints it; the time from the key to the end of the painting
// in ms, or -1 when the companion does not appear. `exposedMs`, when given,
// gets the time until it was exposed.
inline double openCompanionByKey(QWidget* calculator, Qt::Key key, const QString& name, QWidget** companion,
                                 double* exposedMs = nullptr, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* focus = calculator->focusWidget() ? calculator->focusWidget() : calculator;
    QElapsedTimer t;
    t.start();
    QTest::keyClick(focus, key, modifiers);
    *companion = findCompanion(calculator, name);
    if (!*companion || !waitFor([&] { return (*companion)->windowHandle() && (*companion)->windowHandle()->isExposed(); }))
        return -1.0;
    if (exposedMs)
        *exposedMs = double(t.nsecsElapsed()) / 1e6;
    (*companion)->repaint();
    return double(t.nsecsElapsed()) / 1e6;
}

}  // namespace orvella::bench
