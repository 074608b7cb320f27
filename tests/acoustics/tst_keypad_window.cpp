// SPDX-License-Identifier: GPL-3.0-or-later
// frmCalculator through its real buttons: the worked key sequences, the
// failures that leave the display alone, the layout of the keypad, and the
// state that survives CLOSE through the menu.

#include "frmcalculator.h"
#include "shell.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

namespace {

// The object name of the key with this caption.
QString keyNamed(const QString& caption)
{
    if (caption == u"0")
        return QStringLiteral("cmdNumber(9)");
    if (caption.size() == 1 && caption[0] >= u'1' && caption[0] <= u'9')
        return QStringLiteral("cmdNumber(%1)").arg(caption.toInt() - 1);
    if (caption == u"x")
        return QStringLiteral("cmdOperator(1)");
    if (caption == u"+")
        return QStringLiteral("cmdOperator(3)");
    if (caption == u".")
        return QStringLiteral("cmdPoint");
    if (caption == u"=")
        return QStringLiteral("cmdEqual");
    if (caption == u"C")
        return QStringLiteral("cmdAllClear");
    qFatal("no key %s", qPrintable(caption));
}

// Clicks the keys of a blank-separated sequence of captions with the mouse.
void pressKeys(const QWidget* window, const QString& keys)
{
    for (const QString& key : keys.split(u' ', Qt::SkipEmptyParts))
        click(window, keyNamed(key));
}

QString display(const QWidget* window) { return textOf(window, QStringLiteral("txtDisplay")); }

}  // namespace

class TestKeypadWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initProgram(); }
    void cleanup() { processDeferredDeletes(); }

    void keySequences_data();
    void keySequences();
    void failuresLeaveTheDisplay_data();
    void failuresLeaveTheDisplay();
    void resultIgnoresRegionalSettings_data();
    void resultIgnoresRegionalSettings();
    void displayTakesNoTyping();
    void equalSpansTwoColumns();
    void tabOrder();
    void captionIsProductNameAlone();
    void pendingOperatorSurvivesClose();
    void clearForgetsPendingOperatorAcrossClose();
};

void TestKeypadWindow::keySequences_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");

    QTest::newRow("fresh window shows 0") << "" << "0";
    // Two sources: 10 lg(10^a/10 + 10^b/10), rounded to one decimal.
    QTest::newRow("60 + 60 = 63.01") << "6 0 + 6 0 =" << " 63";
    QTest::newRow("50 + 40 = 50.41") << "5 0 + 4 0 =" << " 50.4";
    QTest::newRow("70 + 70 = 73.01") << "7 0 + 7 0 =" << " 73";
    QTest::newRow("80 + 60 = 80.04") << "8 0 + 6 0 =" << " 80";
    // Equal sources: level + 10 lg count.
    QTest::newRow("60 x 10 = 70") << "6 0 x 1 0 =" << " 70";
    QTest::newRow("60 x 4 = 66.02") << "6 0 x 4 =" << " 66";
    QTest::newRow("60 x 2 = 63.01") << "6 0 x 2 =" << " 63";
    QTest::newRow("4 x 60 = 21.78, order matters") << "4 x 6 0 =" << " 21.8";
    QTest::newRow("60 x 0.5 = 56.99") << "6 0 x 0 . 5 =" << " 57";
    QTest::newRow("60 + 0 = 60, 0 dB is a source") << "6 0 + 0 =" << " 60";
    QTest::newRow("60 + = uses 60 twice") << "6 0 + =" << " 63";
    QTest::newRow("= without operator changes nothing") << "6 0 =" << "60";
    QTest::newRow("= without operator keeps a result") << "6 0 + 6 0 = =" << " 63";
    QTest::newRow("1 + 2 + 3 = is 2 + 3 = 5.54") << "1 + 2 + 3 =" << " 5.5";
    QTest::newRow("last operator counts: 60 + x 2 =") << "6 0 + x 2 =" << " 63";
    QTest::newRow("result continues: 63 + 60 = 64.76") << "6 0 + 6 0 = + 6 0 =" << " 64.8";
    QTest::newRow("digit after = starts a new number") << "6 0 + 6 0 = 5" << "5";
    QTest::newRow("point on fresh display") << "." << "0.";
    QTest::newRow("second point ignored") << ". . 5 ." << "0.5";
    QTest::newRow("point after = starts 0.") << "6 0 + 6 0 = ." << "0.";
    QTest::newRow("point after operator starts 0.") << "6 0 + . 5" << "0.5";
    QTest::newRow("0 on 0 stays 0") << "0 0" << "0";
    QTest::newRow("leading 0 replaced") << "0 7" << "7";
    QTest::newRow("digit after 0. appended") << "0 . 0 5" << "0.05";
    QTest::newRow("all ten digits: captions of cmdNumber") << "1 2 3 4 5 6 7 8 9 0" << "1234567890";
    QTest::newRow("result below 1: zero before point") << ". 5 x 1 =" << " 0.5";
    QTest::newRow("result above -1: 0 x 0.9 = -0.46") << "0 x . 9 =" << "-0.5";
    QTest::newRow("negative whole: 0 x 0.5 = -3.01") << "0 x . 5 =" << "-3";
    QTest::newRow("C after a result") << "6 0 + 6 0 = C" << "0";
    QTest::newRow("C drops the pending operator") << "6 0 + 5 C 7 =" << "7";
    QTest::newRow("C after typing") << "1 2 . 5 C" << "0";
}

void TestKeypadWindow::keySequences()
{
    QFETCH(QString, keys);
    auto form = makeCalculatorForm([] {});
    form->show();
    pressKeys(form->window(), keys);
    QTEST(display(form->window()), "shown");
}

void TestKeypadWindow::failuresLeaveTheDisplay_data()
{
    QTest::addColumn<QString>("keys");  // the last key fails
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("thenKeys");  // the window goes on working
    QTest::addColumn<QString>("thenShown");

    QTest::newRow("60 x 0 =") << "6 0 x 0 =" << "0" << "2 =" << " 63";
    QTest::newRow("C x =") << "C x =" << "0" << "C 6 0 + =" << " 63";
    QTest::newRow("negative result as level and count") << "0 x . 9 = x =" << "-0.5" << "1 =" << "-0.5";
    QTest::newRow("4000 dB overflows") << "4 0 0 0 + =" << "4000" << "C 5 0 + 4 0 =" << " 50.4";
    QTest::newRow("second level 3083 dB overflows") << "6 0 + 3 0 8 3 =" << "3083" << "C 8 0 + 6 0 =" << " 80";
}

void TestKeypadWindow::failuresLeaveTheDisplay()
{
    QFETCH(QString, keys);
    QFETCH(QString, thenKeys);
    auto form = makeCalculatorForm([] {});
    form->show();
    auto* window = qobject_cast<CalculatorWindow*>(form->window());
    QVERIFY(window);
    QSignalSpy stopped(window, &CalculatorWindow::calculationStopped);

    pressKeys(window, keys);
    QCOMPARE(stopped.count(), 1);
    QTEST(display(window), "shown");
    QVERIFY(window->isVisible());

    pressKeys(window, thenKeys);
    QCOMPARE(stopped.count(), 1);
    QTEST(display(window), "thenShown");
}

void TestKeypadWindow::resultIgnoresRegionalSettings_data()
{
    QTest::addColumn<QString>("decimalMark");
    QTest::newRow("point") << "point";
    QTest::newRow("comma") << "comma";
}

void TestKeypadWindow::resultIgnoresRegionalSettings()
{
    QFETCH(QString, decimalMark);
    LocaleScope locale(localeNamed(decimalMark));
    auto form = makeCalculatorForm([] {});
    form->show();
    pressKeys(form->window(), "5 0 + 4 0 =");
    QCOMPARE(display(form->window()), QStringLiteral(" 50.4"));
    // And the shown result reads back whole: 50.4 + 50.4 = 53.41.
    pressKeys(form->window(), "+ =");
    QCOMPARE(display(form->window()), QStringLiteral(" 53.4"));
}

void TestKeypadWindow::displayTakesNoTyping()
{
    auto form = makeCalculatorForm([] {});
    form->show();
    QLineEdit* box = fieldOf(form->window(), QStringLiteral("txtDisplay"));
    pressKeys(form->window(), "6 0");
    box->setFocus();
    // Characters that are keys of the keypad click their key (tested with
    // the keyboard's keys); the others, and editing keys, change nothing.
    QTest::keyClicks(box, "ab-");
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), QStringLiteral("60"));
    pressKeys(form->window(), "+ =");
    QCOMPARE(box->text(), QStringLiteral(" 63"));
}

void TestKeypadWindow::equalSpansTwoColumns()
{
    auto form = makeCalculatorForm([] {});
    form->show();
    const QWidget* w = form->window();
    const QRect equal = buttonOf(w, "cmdEqual")->geometry();
    QCOMPARE(equal.left(), buttonOf(w, "cmdNumber(2)")->geometry().left());   // "3" column
    QCOMPARE(equal.right(), buttonOf(w, "cmdOperator(3)")->geometry().right());  // "+" column
    QCOMPARE(equal.top(), buttonOf(w, "cmdNumber(9)")->geometry().top());     // "0" row
    // The display spans the four columns above the keys.
    const QRect shown = fieldOf(w, "txtDisplay")->geometry();
    QCOMPARE(shown.left(), buttonOf(w, "cmdNumber(6)")->geometry().left());
    QCOMPARE(shown.right(), buttonOf(w, "cmdAllClear")->geometry().right());
    QVERIFY(shown.bottom() < buttonOf(w, "cmdNumber(6)")->geometry().top());
}

void TestKeypadWindow::tabOrder()
{
    auto form = makeCalculatorForm([] {});
    form->show();
    const QWidget* w = form->window();
    const QStringList expected = {
        "cmdNumber(6)", "txtDisplay",   "cmdNumber(7)",   "cmdNumber(8)",   "cmdNumber(5)",
        "cmdNumber(4)", "cmdNumber(3)", "cmdNumber(0)",   "cmdNumber(1)",   "cmdNumber(2)",
        "cmdNumber(9)", "cmdPoint",     "cmdOperator(1)", "cmdOperator(3)", "cmdEqual",
        "cmdAllClear",  "cmdUload",
    };
    QWidget* first = w->findChild<QWidget*>(expected.first());
    QCOMPARE(w->focusWidget(), first);  // "7" holds the focus when the window opens
    QCOMPARE(focusChain(w, expected.first()), expected);
}

void TestKeypadWindow::captionIsProductNameAlone()
{
    auto form = makeCalculatorForm([] {});
    form->show();
    QCOMPARE(form->window()->windowTitle(), QStringLiteral("Orvella"));
    QCOMPARE(form->window()->objectName(), QStringLiteral("frmCalculator"));
}

namespace {

// Opens the decibel calculator from a freshly shown menu, as the user does.
QWidget* openFromMenu()
{
    QWidget* menu = visibleWindow(QStringLiteral("frmOption"));
    if (!menu)
        return nullptr;
    click(menu, QStringLiteral("Command1"));
    processDeferredDeletes();
    return visibleWindow(QStringLiteral("frmCalculator"));
}

// CLOSE: back to the menu.
void closeCalculator(QWidget* calculator)
{
    click(calculator, QStringLiteral("cmdUload"));
    processDeferredDeletes();
}

}  // namespace

void TestKeypadWindow::pendingOperatorSurvivesClose()
{
    Shell shell;
    shell.menu().show();
    QWidget* calc = openFromMenu();
    QVERIFY(calc);
    QVERIFY(!visibleWindow(QStringLiteral("frmOption")));
    pressKeys(calc, "6 0 +");

    closeCalculator(calc);
    QVERIFY(!visibleWindow(QStringLiteral("frmCalculator")));
    calc = openFromMenu();
    QVERIFY(calc);
    QCOMPARE(display(calc), QStringLiteral("0"));

    // The pending "+" and its 60 are still there; so is the new-number mode.
    pressKeys(calc, "6 0 =");
    QCOMPARE(display(calc), QStringLiteral(" 63"));

    // A result on screen is not carried over: the display starts at 0 and a
    // digit appends to nothing.
    closeCalculator(calc);
    calc = openFromMenu();
    QVERIFY(calc);
    QCOMPARE(display(calc), QStringLiteral("0"));
    pressKeys(calc, "5");
    QCOMPARE(display(calc), QStringLiteral("5"));
}

void TestKeypadWindow::clearForgetsPendingOperatorAcrossClose()
{
    Shell shell;
    shell.menu().show();
    QWidget* calc = openFromMenu();
    QVERIFY(calc);
    pressKeys(calc, "6 0 + C");
    closeCalculator(calc);
    calc = openFromMenu();
    QVERIFY(calc);
    pressKeys(calc, "6 0 =");
    QCOMPARE(display(calc), QStringLiteral("60"));
    pressKeys(calc, "+ =");
    QCOMPARE(display(calc), QStringLiteral(" 63"));
}

QTEST_MAIN(TestKeypadWindow)
#include "tst_keypad_window.moc"
