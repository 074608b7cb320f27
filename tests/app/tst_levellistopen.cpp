// SPDX-License-Identifier: GPL-3.0-or-later
// The level list as the program opens it: the menu and every calculator come
// up without its plugin in the process; F2 or "Pegelliste…" in the dB
// Calculator's context menu loads it and opens "Pegelliste – dB Calculator"
// beside the calculator, once, closed with it. The other windows keep their
// own F2. This test links the program's windows but not the level list, so
// the process maps exactly what the program maps.

#include "about.h"
#include "clipboard.h"
#include "companions.h"
#include "shell.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

namespace {

bool mapped(const char* library)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
}

QList<QWidget*> openCompanions(const QWidget* owner)
{
    QList<QWidget*> list;
    for (QWidget* w : owner->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w->isWindow() && w->isVisible())
            list << w;
    return list;
}

QAction* actionNamed(const QWidget* w, const QString& text)
{
    for (QAction* a : w->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

}  // namespace

class TestLevelListOpen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initProgram();
        QApplication::setQuitOnLastWindowClosed(false);
        addCompanionPluginPath(QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR));
        installCopyCommand();  // as main() installs them
        installCompanionCommands();
        installAboutCommand();
    }
    void cleanup() { processDeferredDeletes(); }

    void startUpWithoutThePlugin();
    void offeredOnlyByTheKeypad_data();
    void offeredOnlyByTheKeypad();
    void f2OpensItOnce();
    void contextMenuEntryOpensIt();
};

void TestLevelListOpen::startUpWithoutThePlugin()
{
    Shell shell;
    const char* const buttons[] = {"Command1", "Command2", "Command3", "Command4", "Command5"};
    const char* const windows[] = {"frmCalculator", "frmSchall", "frmFeuchte", "frmTemperatur", "frmDLprognose"};
    for (int i = 0; i < 5; ++i) {
        shell.menu().show();
        QVERIFY2(openFromMenu(shell.menu(), buttons[i], windows[i]), windows[i]);
    }
    QVERIFY(!mapped("orvella_levellist"));
}

void TestLevelListOpen::offeredOnlyByTheKeypad_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("f2");  // the entry F2 stands for; empty: none
    QTest::newRow("frmCalculator") << "Command1" << "frmCalculator" << "Pegelliste…";
    QTest::newRow("frmSchall") << "Command2" << "frmSchall" << "Parameterstudie…";
    QTest::newRow("frmFeuchte") << "Command3" << "frmFeuchte" << "Parameterstudie…";
}

void TestLevelListOpen::offeredOnlyByTheKeypad()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    QFETCH(QString, f2);
    Shell shell;
    shell.menu().show();
    // The menu has no "Pegelliste…".
    QVERIFY(!actionNamed(shell.menu().window(), QStringLiteral("Pegelliste…")));
    QWidget* w = openFromMenu(shell.menu(), button, window);
    QVERIFY(w);
    QStringList onF2;
    for (const QAction* a : w->actions())
        if (a->shortcut() == QKeySequence(Qt::Key_F2))
            onF2 << a->text();
    QCOMPARE(onF2, QStringList{f2});
}

void TestLevelListOpen::f2OpensItOnce()
{
    Shell shell;
    shell.menu().show();
    QWidget* keypad = openFromMenu(shell.menu(), QStringLiteral("Command1"), QStringLiteral("frmCalculator"));
    QVERIFY(keypad);
    QVERIFY(QTest::qWaitForWindowActive(keypad));
    QWidget* focus = keypad->focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, Qt::Key_F2);
    QVERIFY(mapped("orvella_levellist"));
    QList<QWidget*> companions = openCompanions(keypad);
    QCOMPARE(companions.size(), 1);
    QPointer<QWidget> list = companions.first();
    QCOMPARE(list->windowTitle(), QStringLiteral("Pegelliste – dB Calculator"));
    // The keypad keeps its focus control and its display.
    QCOMPARE(keypad->focusWidget(), focus);
    QCOMPARE(textOf(keypad, QStringLiteral("txtDisplay")), QStringLiteral("0"));

    // Again: the same window, raised.
    QTest::keyClick(keypad, Qt::Key_F2);
    QCOMPARE(openCompanions(keypad), QList<QWidget*>{list.data()});

    // It goes with its calculator.
    click(keypad, QStringLiteral("cmdUload"));
    processDeferredDeletes();
    QVERIFY(!list);
}

void TestLevelListOpen::contextMenuEntryOpensIt()
{
    Shell shell;
    shell.menu().show();
    QWidget* keypad = openFromMenu(shell.menu(), QStringLiteral("Command1"), QStringLiteral("frmCalculator"));
    QVERIFY(keypad);
    QAction* entry = actionNamed(keypad, QStringLiteral("Pegelliste…"));
    QVERIFY(entry);
    entry->trigger();
    const QList<QWidget*> companions = openCompanions(keypad);
    QCOMPARE(companions.size(), 1);
    QCOMPARE(companions.first()->objectName(), QStringLiteral("levelListWindow"));
}

QTEST_MAIN(TestLevelListOpen)
#include "tst_levellistopen.moc"
