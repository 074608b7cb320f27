// SPDX-License-Identifier: GPL-3.0-or-later
// The program's windows calculating as fast as they can, recorded in the
// Verlauf as the program records them, for the test that kills it in the
// middle of a burst:
//   verlauf_driver PLUGIN_FOLDER COUNT
// Starts like the program (the history in the user's data folder), opens
// the critical humidity from the menu and its Verlauf (Ctrl+H), then types
// "20,<i>" into the room temperature and clicks the calculate button, for
// i = 0 .. COUNT-1. After each click (the entry is committed once the click
// has returned) it writes "<i>" on a line of its own, with one write(2), so
// that every line a killed driver has written stands for a calculation that
// completed before the kill. Exits 0 when every calculation showed its
// results; 1 otherwise.

#include "companions.h"
#include "historyrecording.h"
#include "shell.h"
#include "testsupport.h"

#include <QApplication>
#include <QTest>

#include <cstdio>
#include <string>
#include <unistd.h>

using namespace orvella;
using namespace orvella::test;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: verlauf_driver PLUGIN_FOLDER COUNT\n", stderr);
        return 2;
    }
    addCompanionPluginPath(QString::fromLocal8Bit(argv[1]));
    const long count = std::strtol(argv[2], nullptr, 10);
    initProgram();
    installCompanionCommands();
    installHistoryCommand();
    installHistoryRecording();

    Shell shell;
    QWidget* w = openFromMenu(shell.menu(), QStringLiteral("Command3"), QStringLiteral("frmFeuchte"));
    if (!w)
        return 1;
    QTest::keyClick(w, Qt::Key_H, Qt::ControlModifier);
    if (!visibleWindow(QStringLiteral("verlaufWindow")))
        return 1;
    setTextOf(w, QStringLiteral("txOberflaeche"), QStringLiteral("10"));
    for (long i = 0; i < count; ++i) {
        setTextOf(w, QStringLiteral("txRaum"), QStringLiteral("20,%1").arg(i));
        setTextOf(w, QStringLiteral("txKondens"), QString());
        click(w, QStringLiteral("cmdRun_Feuchte"));
        if (textOf(w, QStringLiteral("txKondens")).isEmpty())
            return 1;
        const std::string line = std::to_string(i) + "\n";
        if (::write(STDOUT_FILENO, line.data(), line.size()) != ssize_t(line.size()))
            return 1;
        QCoreApplication::processEvents();
    }
    return 0;
}
