// SPDX-License-Identifier: GPL-3.0-or-later
// A number typed into the keypad from the level list: which keys, when they
// are refused, and what the keypad then computes with them.

#include "keypad.h"
#include "keypadentry.h"

#include <QTest>

using namespace orvella;

namespace {

KeypadState stateOf(const QString& display, bool newEntry, const QString& pending = {})
{
    KeypadState s;
    s.display = display.toStdString();
    s.newEntry = newEntry;
    s.pendingOperator = pending.toStdString();
    return s;
}

// Presses blank-separated keys ("6 0 +") on the keypad.
void press(Keypad& keypad, const QString& keys)
{
    for (const QString& k : keys.split(u' ', Qt::SkipEmptyParts)) {
        if (k == "+" || k == "x")
            keypad.pressOperator(k.toStdString());
        else if (k == "=")
            keypad.pressEqual();
        else if (k == "C")
            keypad.pressAllClear();
        else if (k == ".")
            keypad.pressPoint();
        else
            keypad.pressDigit(k.toStdString());
    }
}

// Types the entry's keys as the keypad window does: a digit key per digit,
// the point key for ".".
void type(Keypad& keypad, const std::string& keys)
{
    for (const char c : keys) {
        if (c == '.')
            keypad.pressPoint();
        else
            keypad.pressDigit(std::string(1, c));
    }
}

KeypadState stateOf(const Keypad& k)
{
    KeypadState s;
    s.display = k.display();
    s.newEntry = k.newEntry();
    s.pendingOperator = k.pendingOperator();
    return s;
}

}  // namespace

class TestKeypadEntry : public QObject {
    Q_OBJECT
private slots:
    void keys_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("display");
        QTest::addColumn<bool>("newEntry");
        QTest::addColumn<QString>("keys");  // empty: refused

        QTest::newRow("fresh display 0, decimal comma") << "63,01" << "0" << false << "63.01";
        QTest::newRow("after an operator: a new number") << "63.01" << "60" << true << "63.01";
        QTest::newRow("after =: replaces the result") << "69,03" << " 63" << true << "69.03";
        QTest::newRow("a whole number") << "8" << "0" << false << "8";
        QTest::newRow("blanks around it") << " 12,5 " << "0" << false << "12.5";
        QTest::newRow("below 1") << "0,5" << "0" << false << "0.5";
        QTest::newRow("a number being typed would be extended") << "63,01" << "60" << false << "";
        QTest::newRow("a point just typed") << "63,01" << "0." << false << "";
        QTest::newRow("negative") << "-9,55" << "0" << false << "";
        QTest::newRow("negative with the minus sign") << "\u22123" << "0" << false << "";
        QTest::newRow("exponent form") << "1E+15" << "0" << false << "";
        QTest::newRow("two marks") << "1.000,5" << "0" << false << "";
        QTest::newRow("no value") << "–" << "0" << false << "";
        QTest::newRow("empty") << "" << "0" << false << "";
    }

    void keys()
    {
        QFETCH(QString, number);
        QFETCH(QString, display);
        QFETCH(bool, newEntry);
        QFETCH(QString, keys);
        const KeypadEntry e = keypadEntry(number.toStdString(), stateOf(display, newEntry));
        QCOMPARE(QString::fromStdString(e.keys), keys);
        QCOMPARE(e.refusal.empty(), !keys.isEmpty());
    }

    void refusalsSayWhy_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("words");
        QTest::newRow("negative") << "-3" << "0" << "Minuszeichen";
        QTest::newRow("exponent") << "1E+15" << "0" << "Exponentenschreibweise";
        QTest::newRow("typing") << "60" << "12" << "„12“";
    }

    void refusalsSayWhy()
    {
        QFETCH(QString, number);
        QFETCH(QString, display);
        QFETCH(QString, words);
        const KeypadEntry e = keypadEntry(number.toStdString(), stateOf(display, false));
        QVERIFY2(QString::fromStdString(e.refusal).contains(words), e.refusal.c_str());
    }

    // The keys do on the keypad what the user means: the number becomes the
    // display's number, and "=" computes with it.
    void keypadComputesWithTheTypedNumber_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("display");
        // 60 + 63.01: 10·lg(10^6 + 10^6.301) = 60 + 10·lg 2.99986 = 64.771.
        QTest::newRow("60 + the sum of 60 and 60") << "6 0 +" << "63.01" << "=" << " 64.8";
        // 63.01 + 70: 70 + 10·lg(1 + 10^-0.699) = 70.7901.
        QTest::newRow("the sum as the first operand") << "" << "63.01" << "+ 7 0 =" << " 70.8";
        // 8 equal sources of 60 dB: 60 + 10·lg 8 = 69.03.
        QTest::newRow("the count n for x") << "6 0 x" << "8" << "=" << " 69";
        QTest::newRow("after = the result is replaced") << "6 0 + 6 0 =" << "12.5" << "" << "12.5";
        QTest::newRow("after C") << "6 0 + C" << "0.5" << "" << "0.5";
    }

    void keypadComputesWithTheTypedNumber()
    {
        QFETCH(QString, before);
        QFETCH(QString, number);
        QFETCH(QString, after);
        Keypad keypad;
        press(keypad, before);
        const KeypadEntry e = keypadEntry(number.toStdString(), stateOf(keypad));
        QVERIFY2(e.refusal.empty(), e.refusal.c_str());
        type(keypad, e.keys);
        QCOMPARE(QString::fromStdString(keypad.display()), number);
        press(keypad, after);
        QTEST(QString::fromStdString(keypad.display()), "display");
    }
};

QTEST_APPLESS_MAIN(TestKeypadEntry)
#include "tst_keypadentry.moc"
