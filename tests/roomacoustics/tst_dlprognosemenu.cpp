// SPDX-License-Identifier: GPL-3.0-or-later
// The prognosis window in the program's window flow: opened from the menu,
// back to the menu with CLOSE, fresh design texts on the next opening.

#include "shell.h"
#include "testsupport.h"

#include <QTest>

using namespace orvella;
using namespace orvella::test;

class TestDLprognoseMenu : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initProgram(); }
    void openCalculateCloseReopen();
};

void TestDLprognoseMenu::openCalculateCloseReopen()
{
    LocaleScope locale(localeNamed("comma"));
    Shell shell;
    QWidget* w = openFromMenu(shell.menu(), "Command5", "frmDLprognose");
    QVERIFY(w);
    QVERIFY(!visibleWindow("frmOption"));
    QCOMPARE(w->focusWidget(), buttonOf(w, "cmdUload"));

    setTextOf(w, "txL1", "58,5");
    click(w, "cmdRUNDL");
    QCOMPARE(textOf(w, "txDL2"), QStringLiteral("4,6"));
    QCOMPARE(textOf(w, "txL4"), QStringLiteral("53,4"));
    QCOMPARE(textOf(w, "txLr"), QStringLiteral("48,8"));
    QCOMPARE(textOf(w, "txALPHAcell"), QStringLiteral("0.1"));

    click(w, "cmdUload");
    processDeferredDeletes();
    QVERIFY(visibleWindow("frmOption"));
    QVERIFY(!visibleWindow("frmDLprognose"));

    w = openFromMenu(shell.menu(), "Command5", "frmDLprognose");
    QVERIFY(w);
    QCOMPARE(textOf(w, "txALPHAcell"), QStringLiteral("0,1"));
    QCOMPARE(textOf(w, "txL1"), QStringLiteral("58"));
    QCOMPARE(textOf(w, "txDL2"), QString());
    QCOMPARE(textOf(w, "txLr"), QString());
}

QTEST_MAIN(TestDLprognoseMenu)
#include "tst_dlprognosemenu.moc"
