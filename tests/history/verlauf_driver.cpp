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
//   verlauf_driver PLUGIN_FOLDER levels COUNT
// Opens the dB Calculator and its level list (F2), types the levels
// "<50 + i>,25" for i = 0 .. COUNT-1 into it and "35" as the background
// level, writes "typed" and waits to be killed.
//   verlauf_driver PLUGIN_FOLDER reopen
// Opens the dB Calculator and its Verlauf, "Übernehmen" (Return) on the
// newest entry, and writes the level list it opened: a line per level,
// then the background level. Exits 1 when no list opened.

#include "companions.h"
#include "historyrecording.h"
#include "shell.h"
#include "testsupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include <cstdio>
#include <string>
#include <unistd.h>

using namespace orvella;
using namespace orvella::test;

namespace {

bool writeLine(const QString& text)
{
    const QByteArray line = text.toUtf8() + '\n';
    return ::write(STDOUT_FILENO, line.data(), std::size_t(line.size())) == line.size();
}

// The level list's table (the results are a QTableWidget).
QTableView* levelTable(QWidget* list)
{
    for (QTableView* view : list->findChildren<QTableView*>())
        if (!qobject_cast<QTableWidget*>(view))
            return view;
    return nullptr;
}

int typeLevels(QWidget* keypad, long count, QApplication& app)
{
    QTest::keyClick(keypad, Qt::Key_F2);
    QWidget* list = visibleWindow(QStringLiteral("levelListWindow"));
    QTableView* view = list ? levelTable(list) : nullptr;
    if (!view)
        return 1;
    for (long i = 0; i < count; ++i) {
        const QString text = QStringLiteral("%1,25").arg(50 + i);
        QTest::keyClick(view, text.front().toLatin1());
        QLineEdit* editor = nullptr;
        for (QLineEdit* e : view->viewport()->findChildren<QLineEdit*>())
            if (e->isVisible())
                editor = e;
        if (!editor)
            return 1;
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    setTextOf(list, QStringLiteral("background"), QStringLiteral("35"));
    if (!writeLine(QStringLiteral("typed")))
        return 1;
    return app.exec();
}

int reopenLevels(QWidget* keypad)
{
    QTest::keyClick(keypad, Qt::Key_H, Qt::ControlModifier);
    QWidget* verlauf = visibleWindow(QStringLiteral("verlaufWindow"));
    auto* table = verlauf ? verlauf->findChild<QTableView*>(QStringLiteral("verlaufTable")) : nullptr;
    if (!table || table->model()->rowCount() == 0)
        return 1;
    table->setCurrentIndex(table->model()->index(0, 0));
    QTest::keyClick(table, Qt::Key_Return);
    QWidget* list = visibleWindow(QStringLiteral("levelListWindow"));
    QTableView* view = list ? levelTable(list) : nullptr;
    if (!view)
        return 1;
    for (int r = 0; r + 1 < view->model()->rowCount(); ++r)
        writeLine(view->model()->index(r, 0).data().toString());
    writeLine(textOf(list, QStringLiteral("background")));
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString mode = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (argc != 3 && !(argc == 4 && mode == QLatin1String("levels"))) {
        std::fputs("usage: verlauf_driver PLUGIN_FOLDER COUNT | levels COUNT | reopen\n", stderr);
        return 2;
    }
    addCompanionPluginPath(QString::fromLocal8Bit(argv[1]));
    initProgram();
    installCompanionCommands();
    installHistoryCommand();
    installHistoryRecording();

    Shell shell;
    if (mode == QLatin1String("levels") || mode == QLatin1String("reopen")) {
        QWidget* keypad = openFromMenu(shell.menu(), QStringLiteral("Command1"), QStringLiteral("frmCalculator"));
        if (!keypad)
            return 1;
        return mode == QLatin1String("reopen") ? reopenLevels(keypad)
                                               : typeLevels(keypad, std::strtol(argv[3], nullptr, 10), app);
    }
    const long count = std::strtol(argv[2], nullptr, 10);
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
