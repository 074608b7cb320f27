// SPDX-License-Identifier: GPL-3.0-or-later
// The keypad state machine on its own: the state fields after each kind of
// key, and what a failing "=" or operator key leaves behind.

#include "checked.h"
#include "keypad.h"
#include "keypadmodel.h"

#include <QStringList>
#include <QTest>

#include <string>

using orvella::ArithmeticError;
using orvella::Keypad;
using orvella::KeypadState;
using orvella::keypadStateOf;

namespace {

// Presses the keys of a blank-separated sequence of captions.
void press(Keypad& k, const QString& keys)
{
    for (const QString& key : keys.split(u' ', Qt::SkipEmptyParts)) {
        const std::string c = key.toStdString();
        if (key == u"+" || key == u"x")
            k.pressOperator(c);
        else if (key == u".")
            k.pressPoint();
        else if (key == u"=")
            k.pressEqual();
        else if (key == u"C")
            k.pressAllClear();
        else
            k.pressDigit(c);
    }
}

struct Snapshot {
    std::string display;
    double operand1, operand2;
    std::string pendingOperator;
    bool newEntry;
    double result;
};

Snapshot snapshot(const Keypad& k)
{
    return {k.display(), k.operand1(), k.operand2(), k.pendingOperator(), k.newEntry(), k.result()};
}

}  // namespace

class TestKeypad : public QObject {
    Q_OBJECT
private slots:
    void startsAtZeroInAppendingMode();
    void stateAfterKeys_data();
    void stateAfterKeys();
    void allClearResetsEveryField();
    void equalWithoutOperatorOnlyTakesOperand2();
    void failingEqualKeepsAllButOperand2_data();
    void failingEqualKeepsAllButOperand2();
    void unreadableDisplayStopsOperatorKey();
    void stateReadsBackForTheHelp_data();
    void stateReadsBackForTheHelp();
};

void TestKeypad::startsAtZeroInAppendingMode()
{
    const Keypad k;
    QCOMPARE(k.display(), std::string("0"));
    QCOMPARE(k.operand1(), 0.0);
    QCOMPARE(k.operand2(), 0.0);
    QCOMPARE(k.pendingOperator(), std::string());
    QCOMPARE(k.newEntry(), false);
    QCOMPARE(k.result(), 0.0);
}

void TestKeypad::stateAfterKeys_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("display");
    QTest::addColumn<double>("operand1");
    QTest::addColumn<double>("operand2");
    QTest::addColumn<QString>("pending");
    QTest::addColumn<bool>("newEntry");
    QTest::addColumn<double>("result");

    QTest::newRow("operator takes operand1, keeps display") << "6 0 +" << "60" << 60.0 << 0.0 << "+" << true << 0.0;
    QTest::newRow("second operator replaces operand1 and operator")
        << "6 0 + 5 x" << "5" << 5.0 << 0.0 << "x" << true << 0.0;
    QTest::newRow("= keeps operand1, clears operator")
        << "6 0 + 6 0 =" << " 63" << 60.0 << 60.0 << "" << true << 63.0;
    QTest::newRow("result already rounded") << "5 0 + 4 0 =" << " 50.4" << 50.0 << 40.0 << "" << true << 50.4;
    QTest::newRow("digit after = starts new number, appending")
        << "6 0 + 6 0 = 7" << "7" << 60.0 << 60.0 << "" << false << 63.0;
    QTest::newRow("operator after = takes the result")
        << "6 0 + 6 0 = +" << " 63" << 63.0 << 60.0 << "+" << true << 63.0;
    QTest::newRow("second = does nothing but read operand2")
        << "6 0 + 6 0 = =" << " 63" << 60.0 << 63.0 << "" << true << 63.0;
    QTest::newRow("point after operator starts 0.")
        << "6 0 + ." << "0." << 60.0 << 0.0 << "+" << false << 0.0;
}

void TestKeypad::stateAfterKeys()
{
    QFETCH(QString, keys);
    Keypad k;
    press(k, keys);
    QTEST(QString::fromStdString(k.display()), "display");
    QTEST(k.operand1(), "operand1");
    QTEST(k.operand2(), "operand2");
    QTEST(QString::fromStdString(k.pendingOperator()), "pending");
    QTEST(k.newEntry(), "newEntry");
    QTEST(k.result(), "result");
}

void TestKeypad::allClearResetsEveryField()
{
    Keypad k;
    press(k, "6 0 + 6 0 = x 2");
    QVERIFY(k.operand1() != 0.0 && k.operand2() != 0.0 && k.result() != 0.0);
    k.pressAllClear();
    QCOMPARE(k.display(), std::string("0"));
    QCOMPARE(k.operand1(), 0.0);
    QCOMPARE(k.operand2(), 0.0);
    QCOMPARE(k.pendingOperator(), std::string());
    QCOMPARE(k.newEntry(), false);
    QCOMPARE(k.result(), 0.0);
}

void TestKeypad::equalWithoutOperatorOnlyTakesOperand2()
{
    Keypad k;
    press(k, "4 2 . 5");
    k.pressEqual();
    QCOMPARE(k.display(), std::string("42.5"));
    QCOMPARE(k.operand2(), 42.5);
    QCOMPARE(k.newEntry(), false);  // the next digit still appends
    k.pressDigit("1");
    QCOMPARE(k.display(), std::string("42.51"));
}

void TestKeypad::failingEqualKeepsAllButOperand2_data()
{
    QTest::addColumn<QString>("keys");      // pressed before the failing "="
    QTest::addColumn<double>("operand2");   // what the failing "=" reads

    QTest::newRow("count 0: 60 x 0") << "6 0 x 0" << 0.0;
    QTest::newRow("count 0 after C: C x") << "C x" << 0.0;
    // -0.5 from 0 x 0.9 (0 + 10 lg 0.9 = -0.46), then used as level and count.
    QTest::newRow("negative count: result x =") << "0 x . 9 = x" << -0.5;
    QTest::newRow("level overflow: 4000 +") << "4 0 0 0 +" << 4000.0;
    QTest::newRow("second level overflows: 60 + 3083") << "6 0 + 3 0 8 3" << 3083.0;
}

void TestKeypad::failingEqualKeepsAllButOperand2()
{
    QFETCH(QString, keys);
    QFETCH(double, operand2);
    Keypad k;
    press(k, "7 0 + 7 0 =");  // a result and operand2 to be kept or replaced
    press(k, keys);
    const Snapshot before = snapshot(k);

    QVERIFY_THROWS_EXCEPTION(ArithmeticError, k.pressEqual());

    QCOMPARE(k.operand2(), operand2);
    QCOMPARE(k.display(), before.display);
    QCOMPARE(k.operand1(), before.operand1);
    QCOMPARE(k.pendingOperator(), before.pendingOperator);
    QCOMPARE(k.newEntry(), before.newEntry);
    QCOMPARE(k.result(), before.result);
    QVERIFY(!k.pendingOperator().empty());  // "=" can be pressed again after a correction
}

void TestKeypad::unreadableDisplayStopsOperatorKey()
{
    // A 1 and 309 zeros: more than a double can hold.
    Keypad k;
    press(k, "6 0 + 6 0 = x 2 = +");
    k.pressDigit("1");
    for (int i = 0; i < 309; ++i)
        k.pressDigit("0");
    const Snapshot before = snapshot(k);
    QCOMPARE(before.display.size(), std::size_t(310));

    QVERIFY_THROWS_EXCEPTION(ArithmeticError, k.pressOperator("x"));
    QCOMPARE(k.operand1(), before.operand1);
    QCOMPARE(k.pendingOperator(), std::string("+"));
    QCOMPARE(k.newEntry(), false);

    QVERIFY_THROWS_EXCEPTION(ArithmeticError, k.pressEqual());
    QCOMPARE(k.display(), before.display);
    QCOMPARE(k.operand2(), before.operand2);  // not readable: not taken
    QCOMPARE(k.result(), before.result);
    QCOMPARE(k.pendingOperator(), std::string("+"));
}

void TestKeypad::stateReadsBackForTheHelp_data()
{
    QTest::addColumn<QString>("operand1");  // as the window's state holds it
    QTest::addColumn<double>("expected");

    QTest::newRow("17 digits with a point") << "63.010299956639812" << 63.010299956639812;
    // A state written where the C library's locale writes a decimal comma.
    QTest::newRow("17 digits with a comma") << "63,010299956639812" << 63.010299956639812;
    QTest::newRow("negative with an exponent") << "-1.5e-07" << -1.5e-07;
    QTest::newRow("whole number") << "60" << 60.0;
    QTest::newRow("missing") << "" << 0.0;
    QTest::newRow("not a number") << "6O" << 0.0;
}

void TestKeypad::stateReadsBackForTheHelp()
{
    QFETCH(QString, operand1);
    QFETCH(double, expected);
    const KeypadState k = keypadStateOf({{"display", " 63"},
                                         {"operand1", operand1.toStdString()},
                                         {"operand2", "60"},
                                         {"pendingOperator", "+"},
                                         {"newEntry", "1"}});
    QCOMPARE(k.operand1, expected);
    QCOMPARE(k.operand2, 60.0);
    QCOMPARE(k.display, std::string(" 63"));
    QCOMPARE(k.pendingOperator, std::string("+"));
    QVERIFY(k.newEntry);
    QCOMPARE(k.result, 0.0);
}

QTEST_APPLESS_MAIN(TestKeypad)
#include "tst_keypad.moc"
